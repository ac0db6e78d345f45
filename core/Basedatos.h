#pragma once
// The one shared database connection, its opening and creation, and statement execution.
// Every value that comes from the user or the database is bound, never pasted into the text.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// Outcome of a statement that changes rows.
struct Resultado {
    bool ok = true;
    int filas = 0; // rows affected
    QString error; // engine error text (in Spanish where we know it), empty when ok
};

enum class EstadoBase {
    NoExiste,   // no file at the path
    Partidex,   // a Partidex database of a version we can use
    Ajena,      // a file that is not a Partidex database (another program's, or not a database at all)
    Posterior,  // a Partidex database of a newer version than this program
    SinPermiso, // the file cannot be read or written
};

// Examines a database file without changing it (opened read-only). Fills a Spanish explanation.
EstadoBase ExaminoBase(const QString& ruta, QString* explicacion = nullptr);

// Creates a new database with the whole schema and its fixed rows. Never overwrites: fails when the
// file exists. The file appears complete or not at all.
bool CreoBase(const QString& ruta, QString* error = nullptr);

// Opens the shared connection on a Partidex database (creating nothing). Fails with a Spanish message,
// leaving the file untouched, when the file is not one.
bool AbroBase(const QString& ruta, QString* error = nullptr);
void CierroBase();
bool BaseAbierta();
QSqlDatabase Conexion();

// Prepares any connection to a Partidex file: foreign keys, WAL, busy timeout, the upper-case functions.
bool ConfiguroConexion(QSqlDatabase& db, QString* error = nullptr);

// True when another open connection (this program in another process, or another connection of this
// one) holds the file: then the file must not be replaced, compacted in place or restored over.
bool BaseEnUso(const QString& ruta);

// Runs a statement that changes rows on the shared connection.
Resultado Ejecuto(const QString& sql, const QVariantList& parametros = {});
// Runs a query (forward-only) on the shared connection; check isActive() / lastError().
QSqlQuery Consulto(const QString& sql, const QVariantList& parametros = {});

// Spanish text of an engine error, for the messages that follow a fixed prefix.
QString TextoError(const QSqlError& e);
// Description of the last failed statement of the shared connection (empty when the last one went well).
QString UltimoError();
