#pragma once
// The file engine of the books: SQLite, one file, reached through Qt's QSQLITE driver. Its three
// parts, and the engine they make for the registry (core/Motor.cpp).
#include "core/Motor.h"

class DialectoSqlite : public DialectoMotor {
public:
    QString Limite(int n) const override;
    QString InsertoOIgnoro(const QString& resto) const override;
    QString Rellenado(const QString& expresion, int ancho) const override;
    QString Alfabetico(const QString& expresion) const override;
    QString OrdenDeCarga() const override;
    QString InicioEscritura() const override;
    QString PorIndice(const QString& tabla, const QString& indice) const override;
    QString Tipo(Esquema::Tipo tipo) const override;
    QString MesDe(const QString& fecha) const override;
    QStringList SumasMensuales() const override;
    QList<DisparadorBase> DisparadoresSumas() const override;
};

class CatalogoSqlite : public CatalogoMotor {
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

class AlmacenSqlite : public AlmacenMotor {
public:
    ~AlmacenSqlite() override;

    QString DireccionDeAjustes(const LectorAjustes& lee) override;
    QString Ubicacion(const QString& ruta) const override;
    Ocupacion Ocupa(const QString& ruta, const QSqlDatabase& conexion) const override;
    QString Version() const override;

    bool Falta(const QString& ruta) const override;
    bool EsPropia(const QString& ruta) const override;
    bool ExamenPrevio() const override { return true; }
    bool CreaArchivo() const override { return true; }
    bool SeReconecta() const override { return false; }
    bool CompactaEnSitio() const override { return false; }
    bool RespaldoPropio() const override { return false; }

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
    std::shared_ptr<void> Detenible(const QSqlDatabase& db, Progreso* progreso) const override;
    std::unique_ptr<Lector> Leo(const QSqlDatabase& db, const QString& sql, const QVariantList& parametros,
                                bool adelante) const override;

    bool MarcoEnUso(const QString& ruta, QString* error = nullptr) override;
    void LiberoUso() override;
    bool EnUso(const QString& ruta) const override;
    bool EnMantenimiento(const QString& ruta) const override;
    bool EsperoFinMantenimiento(const QString& ruta) const override;
    bool TomoExclusivo(const QString& ruta, QString* error) override;
    void LiberoExclusivo() override;

private:
    int descriptorUso = -1;
    int descriptorExclusivo = -1;
};

// The engine, for the registry.
const Motor& MotorSqlite();
