#pragma once
// The server engine: books kept on a PostgreSQL server, for several workstations on one set of books,
// reached through Qt's QPSQL driver; its three parts, and the engine they make for the registry
// (core/Motor.cpp). Its addresses: core/DireccionPostgres.h.
#include "core/DireccionPostgres.h"
#include "core/Motor.h"

class DialectoPostgres : public DialectoMotor {
public:
    QString Limite(int n) const override;
    QString InsertoOIgnoro(const QString& resto) const override;
    QString Rellenado(const QString& expresion, int ancho) const override;
    QString Alfabetico(const QString& expresion) const override;
    QString OrdenDeCarga() const override;
    QString InicioEscritura() const override;
    QString Tipo(Esquema::Tipo tipo) const override;
    QString MesDe(const QString& fecha) const override;
    QStringList SumasMensuales() const override;
    QList<DisparadorBase> DisparadoresSumas() const override;
    QStringList Preparativos() const override;
    QVariant Guardable(const QVariant& valor) const override;
    bool LecturaIntercalada() const override { return false; }
};

class CatalogoPostgres : public CatalogoMotor {
public:
    QStringList Tablas(const QSqlDatabase& db, bool* ok = nullptr) const override;
    QList<IndiceBase> Indices(const QSqlDatabase& db, bool* ok = nullptr) const override;
    QList<RelacionBase> Relaciones(const QSqlDatabase& db, bool* ok = nullptr) const override;
    QList<DisparadorBase> Disparadores(const QSqlDatabase& db, bool* ok = nullptr) const override;
    int VersionEsquema(const QSqlDatabase& db) const override;
    bool FijoVersionEsquema(QSqlDatabase& db, int version) const override;
    qint64 IdAplicacion(const QSqlDatabase& db) const override;
    bool FijoIdAplicacion(QSqlDatabase& db, qint64 id) const override;
    QStringList PlanConsulta(const QSqlDatabase& db, const QString& sql,
                             const QVariantList& parametros = {}) const override;
    qint64 VersionDatos(const QSqlDatabase& db) const override;
};

class AlmacenPostgres : public AlmacenMotor {
public:
    // The keys Servidor, Puerto, Base and Usuario; the password of the settings (Contrasena) is used
    // only when neither ~/.pgpass nor PGPASSWORD gives one. SSL and CertificadoRaiz: how the
    // connections are encrypted (require by default, verify-full with a root certificate).
    QString DireccionDeAjustes(const LectorAjustes& lee) override;
    QString Ubicacion(const QString& ruta) const override { return ruta; }
    Ocupacion Ocupa(const QString& ruta, const QSqlDatabase& conexion) const override;
    QString Version() const override;

    bool Falta(const QString&) const override { return false; }
    bool EsPropia(const QString&) const override { return true; }
    bool ExamenPrevio() const override { return false; }
    bool CreaArchivo() const override { return false; }
    bool SeReconecta() const override { return true; }
    bool CompactaEnSitio() const override { return true; }
    bool RespaldoPropio() const override { return true; }

    QSqlDatabase Agrego(const QString& nombre, const QString& ruta, bool soloLectura) const override;
    bool Configuro(QSqlDatabase& db, QString* error = nullptr) const override;
    bool Compartida(QSqlDatabase& db, bool compartida, QString* error = nullptr) const override;
    bool ClavesForaneas(QSqlDatabase& db, bool activas) const override;
    void Optimizo(QSqlDatabase& db) const override;
    QStringList RenuevoEstadisticas(QSqlDatabase& db, qint64 filas) const override;

    Cabecera LeoCabecera(const QString& ruta) const override;
    QStringList Companeros(bool conDatos) const override;

    bool Integridad(QSqlDatabase& db, bool completa, QString* detalle, Progreso* progreso) const override;
    bool CompactoEn(QSqlDatabase& db, const QString& destino, QString* error, Progreso* progreso) const override;
    bool CopioBase(QSqlDatabase& desde, QSqlDatabase& hacia, QString* error, Progreso* progreso) const override;
    // A watch beside the connection that asks the server to cancel its statement once the operation
    // is asked to stop (core/MotorPostgresLector.cpp).
    std::shared_ptr<void> Detenible(const QSqlDatabase& db, Progreso* progreso) const override;
    // The rows through the server's client library on the driver's connection (core/MotorPostgresLector.cpp).
    std::unique_ptr<Lector> Leo(const QSqlDatabase& db, const QString& sql, const QVariantList& parametros,
                                bool adelante) const override;
    bool RespaldoEn(const QString& ruta, const QString& archivo, QString* error) const override;
    bool RespaldoLegible(const QString& archivo, QString* detalle) const override;
    bool RestauroDe(const QString& archivo, const QString& ruta, QString* error) const override;
    bool ExaminoRespaldo(const QString& archivo, const QString& ruta,
                         const std::function<void(const QSqlDatabase&)>& examino,
                         QString* error) const override;
    bool CompactoEnSitio(QSqlDatabase& db, QString* error) const override;

    bool PreparoPermisos(QSqlDatabase& db, QString* error) const override;
    bool GraboCuenta(QSqlDatabase& db, const Cuenta& c, QString* error) const override;
    bool BorroCuenta(QSqlDatabase& db, const QString& nombre, QString* error) const override;
    bool ClaveDeCuenta(QSqlDatabase& db, const QString& nombre, const QString& contrasena,
                       QString* error) const override;
    // True when the settings name no user: each workstation's user logs in as his own login.
    bool AccesoDelUsuario(const QString& ruta) const override;
    void AccedoComo(const QString& nombre, const QString& contrasena) override;

    bool MarcoEnUso(const QString& ruta, QString* error = nullptr) override;
    void LiberoUso() override;
    bool EnUso(const QString& ruta) const override;
    bool EnMantenimiento(const QString& ruta) const override;
    // The mark in use waits by itself (MarcoEnUso).
    bool EsperoFinMantenimiento(const QString&) const override { return true; }
    bool TomoExclusivo(const QString& ruta, QString* error) override;
    void LiberoExclusivo() override;

private:
    qint64 identidadLibro = 0; // what tells the book marked in use from one restored over it
    QString conexionExclusiva; // the connection that holds the book alone, while it does
};

// The engine, for the registry.
const Motor& MotorPostgres();
