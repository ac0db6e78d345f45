#pragma once
// The engine's schema catalogue: what a database holds (tables, indexes, relations), the schema
// version and program mark it carries, how a statement would run and whether others have written.
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

// An index as the engine keeps it (the ones the engine makes for composite keys included).
struct IndiceBase {
    QString nombre;
    QString tabla;
    QStringList columnas;
};

// A relation (foreign key) of a table to the table it refers to.
struct RelacionBase {
    QString tabla;
    QString referida;
    QStringList columnas;
    QStringList columnasReferidas;
};

// A trigger as the engine keeps it: its name, its table, what it does in the words the dialect gives the
// triggers it makes (DialectoMotor::DisparadoresSumas), and whether it fires in every session.
struct DisparadorBase {
    QString nombre;
    QString tabla;
    QString definicion;
    bool activo = true;
};

class CatalogoMotor {
public:
    virtual ~CatalogoMotor() = default;

    // ok, when given, tells a list that could not be read from an empty one.
    virtual QStringList Tablas(const QSqlDatabase& db, bool* ok = nullptr) const = 0;
    virtual QList<IndiceBase> Indices(const QSqlDatabase& db, bool* ok = nullptr) const = 0;
    virtual QList<RelacionBase> Relaciones(const QSqlDatabase& db, bool* ok = nullptr) const = 0;
    // The triggers on the tables of the database (not the engine's own, which keep its relations).
    virtual QList<DisparadorBase> Disparadores(const QSqlDatabase& db, bool* ok = nullptr) const = 0;
    // Version of the schema the database carries; -1 when it cannot be read.
    virtual int VersionEsquema(const QSqlDatabase& db) const = 0;
    virtual bool FijoVersionEsquema(QSqlDatabase& db, int version) const = 0;
    // Mark of the program that owns the database; 0 when none, -1 when it cannot be read.
    virtual qint64 IdAplicacion(const QSqlDatabase& db) const = 0;
    virtual bool FijoIdAplicacion(QSqlDatabase& db, qint64 id) const = 0;
    // How the engine will run a statement, one line per step (the tables and indexes it reads).
    virtual QStringList PlanConsulta(const QSqlDatabase& db, const QString& sql,
                                     const QVariantList& parametros = {}) const = 0;
    // A number that moves whenever another connection commits a change; -1 on failure.
    virtual qint64 VersionDatos(const QSqlDatabase& db) const = 0;
};
