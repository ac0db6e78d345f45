#pragma once
// The engine of books kept on a PostgreSQL server, for several workstations on one set of books,
// reached through Qt's QPSQL driver. A database on a server is named, where a file engine takes a
// path, by its address "postgresql://user@host:port/database" (a Unix socket folder as host goes in
// "?host="); the password never goes in the address.
#include "core/Motor.h"

// Where a server database is.
struct ServidorPostgres {
    QString servidor; // host name, address or the folder of a Unix socket; empty: libpq's default
    int puerto = 5432;
    QString base;
    QString usuario;
};
QString DireccionPostgres(const ServidorPostgres& s);
// True when ruta is a server address rather than a file path.
bool EsDireccionPostgres(const QString& ruta);
ServidorPostgres ServidorDe(const QString& direccion);

class MotorPostgres : public Motor {
public:
    // The password of the settings, used only when neither ~/.pgpass nor PGPASSWORD gives one.
    static void FijoContrasena(const QString& contrasena);

    QString Version() const override;
    qint64 TamanoEnServidor(const QSqlDatabase& db) const override;
    bool PorArchivo() const override { return false; }
    bool LecturaIntercalada() const override { return false; }
    QStringList Preparativos() const override;
    QString Adapto(const QString& ddl) const override;

    QSqlDatabase Agrego(const QString& nombre, const QString& ruta, bool soloLectura) const override;
    bool Configuro(QSqlDatabase& db, QString* error = nullptr) const override;
    bool Compartida(QSqlDatabase& db, bool compartida, QString* error = nullptr) const override;
    bool ClavesForaneas(QSqlDatabase& db, bool activas) const override;
    QString InicioEscritura() const override;
    void Optimizo(QSqlDatabase& db) const override;

    QString Limite(int n) const override;
    QString InsertoOIgnoro(const QString& resto) const override;
    QString Rellenado(const QString& expresion, int ancho) const override;
    QString Alfabetico(const QString& expresion) const override;
    QString OrdenDeCarga() const override;
    QVariant Guardable(const QVariant& valor) const override;

    QStringList Tablas(const QSqlDatabase& db, bool* ok = nullptr) const override;
    QList<IndiceBase> Indices(const QSqlDatabase& db, bool* ok = nullptr) const override;
    QList<RelacionBase> Relaciones(const QSqlDatabase& db, bool* ok = nullptr) const override;
    int VersionEsquema(const QSqlDatabase& db) const override;
    bool FijoVersionEsquema(QSqlDatabase& db, int version) const override;
    qint64 IdAplicacion(const QSqlDatabase& db) const override;
    bool FijoIdAplicacion(QSqlDatabase& db, qint64 id) const override;
    QStringList PlanConsulta(const QSqlDatabase& db, const QString& sql,
                             const QVariantList& parametros = {}) const override;
    qint64 VersionDatos(const QSqlDatabase& db) const override;

    bool EsArchivoPropio(const QString& ruta) const override;
    Cabecera LeoCabecera(const QString& ruta) const override;
    QStringList Companeros(bool conDatos) const override;
    bool Integridad(QSqlDatabase& db, bool completa, QString* detalle) const override;
    bool CompactoEn(QSqlDatabase& db, const QString& destino, QString* error) const override;
    bool CopioBase(QSqlDatabase& desde, QSqlDatabase& hacia, QString* error) const override;

    bool RespaldoEn(const QString& ruta, const QString& archivo, QString* error) const override;
    bool RespaldoLegible(const QString& archivo, QString* detalle) const override;
    bool RestauroDe(const QString& archivo, const QString& ruta, QString* error) const override;
    bool ExaminoRespaldo(const QString& archivo, const QString& ruta,
                         const std::function<void(const QSqlDatabase&)>& examino,
                         QString* error) const override;
    bool CompactoEnSitio(QSqlDatabase& db, QString* error) const override;

    bool MarcoEnUso(const QString& ruta, QString* error = nullptr) override;
    void LiberoUso() override;
    bool EnUso(const QString& ruta) const override;
    bool EnMantenimiento(const QString& ruta) const override;
    bool TomoExclusivo(const QString& ruta, QString* error) override;
    void LiberoExclusivo() override;

private:
    qint64 identidadLibro = 0; // what tells the book marked in use from one restored over it
    QString conexionExclusiva; // the connection that holds the book alone, while it does
};
