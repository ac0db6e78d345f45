#pragma once
// The one shared database connection, its opening and creation, and statement execution.
// Every value that comes from the user or the database is bound, never pasted into the text.
#include "core/Lector.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// Outcome of a statement that changes rows.
class Progreso;

struct Resultado {
    bool ok = true;
    int filas = 0; // rows affected
    QString error; // engine error text (in Spanish where we know it), empty when ok
};

enum class EstadoBase {
    NoExiste,     // no file at the path
    Partidex,     // a Partidex database of this program's version
    Anterior,     // a sound Partidex database of an older version: to be upgraded after a backup
    Ajena,        // a file that is not a Partidex database (another program's, or not a database at all)
    Posterior,    // a Partidex database of a newer version than this program
    Danada,       // a Partidex database that fails the engine's integrity check
    Incompleta,   // a Partidex database that lacks a table of its schema
    NoEsArchivo,  // a folder, a device, a FIFO: not a regular file (nor are its companion files)
    SinPermiso,   // the file cannot be read and written
    RutaInvalida, // an empty path, or one holding control characters
};

// How deep the examination goes: the full one runs the engine's integrity check over every page.
enum class Examen { Rapido, Completo };

struct Diagnostico {
    EstadoBase estado = EstadoBase::NoExiste;
    int version = 0;     // the schema version the file carries (0 when unknown)
    QString explicacion; // Spanish, names the file and what is wrong with it
    QString detalle;     // the engine's own words for a damaged file, the missing tables ...
};

// Examines a database file without writing to it or to its -wal / -shm / -journal companions: the
// file is read as an immutable one, or, when a companion holds changes still to be applied, a copy
// of the whole set is examined in a scratch folder. Nothing is opened before the path is known to be
// a regular file.
// paraLeer: the file is only to be read (a backup to restore from, on a medium that may be
// write-protected), so it need not be writable. The examination of every page tells `progreso` how
// far it has gone.
Diagnostico ExaminoBase(const QString& ruta, Examen profundidad = Examen::Completo, bool paraLeer = false,
                        Progreso* progreso = nullptr);
EstadoBase ExaminoBase(const QString& ruta, QString* explicacion);

// The engine's integrity check of a file (a compacted copy, a new backup), read without leaving a
// trace; on failure *detalle says what is wrong. The full check also compares every index with its
// table (17 s on a book of 7,000,000 lines here); the quick one checks the pages (1.8 s).
bool VerificoIntegridad(const QString& ruta, QString* detalle, bool completa = true, Progreso* progreso = nullptr);

// Creates a new database with the whole schema and its fixed rows. Never overwrites: fails when the
// file exists; never creates missing folders. The file appears complete or not at all.
bool CreoBase(const QString& ruta, QString* error = nullptr);

// Takes a database of an older version to the current one: the numbered steps of the schema run in
// one transaction, with the new version number; on any failure nothing changes.
// With a progress, it tells each step and may be stopped (nothing of it then stays).
bool ActualizoBase(const QString& ruta, QString* error = nullptr, Progreso* progreso = nullptr);

// Whether the books at ruta are reached with the login's user and password (a server whose
// settings name no user): then the login comes before anything opens them, and AccedoAlServidor
// takes its user and password to the server; every connection after that is his.
bool AccesoDelUsuario(const QString& ruta);
enum class AccesoServidor {
    Admitido,
    Rechazado,   // no such login, a wrong password, a login not allowed to log in
    SinServidor, // the server could not be reached: *error says why
};
AccesoServidor AccedoAlServidor(const QString& ruta, const QString& usuario, const QString& contrasena,
                         QString* error = nullptr);

bool AbroBase(const QString& ruta, QString* error = nullptr);
void CierroBase();
// The address of the books AbroBase was last given (kept once they are closed); empty before.
QString DireccionAbierta();
bool BaseAbierta();
QSqlDatabase Conexion();

// Prepares any connection to a Partidex file: foreign keys, WAL, busy timeout, the upper-case functions.
bool ConfiguroConexion(QSqlDatabase& db, QString* error = nullptr);

// True when another open connection (this program in another process, or another connection of this
// one) holds the file: then the file must not be replaced, compacted in place or restored over.
bool BaseEnUso(const QString& ruta);

class AlmacenMotor;
// Holds the database at ruta for this program alone for the guard's life (a restore, a compaction):
// from the check that no instance has it open to the end, none can start on it, and so none can
// write. Not taken (ok() false) when another instance has it open; error() then says why, or is
// empty when the reason is only that.
class BaseExclusiva {
public:
    explicit BaseExclusiva(const QString& ruta);
    ~BaseExclusiva();
    BaseExclusiva(const BaseExclusiva&) = delete;
    BaseExclusiva& operator=(const BaseExclusiva&) = delete;
    bool ok() const { return tomada; }
    const QString& error() const { return textoError; }

private:
    AlmacenMotor* almacen;
    bool tomada = false;
    QString textoError;
};

// True when the server dropped the shared connection and its driver closed it: nothing can run on
// it until it is opened again.
bool ConexionPerdida();
// When the shared connection to a server was lost (the server restarted, the network dropped; e says
// so, or the driver closed it), opens it again as it was and returns true: the caller may run its
// statement once more. Not for a statement inside a transaction: the server has rolled that back
// whole, and only its end may open the connection again.
bool ReconectoSiSePerdio(const QSqlError& e = QSqlError());

// Runs a statement that changes rows on the shared connection.
Resultado Ejecuto(const QString& sql, const QVariantList& parametros = {});
// Runs a query (forward-only) on the shared connection; check isActive() / lastError().
QSqlQuery Consulto(const QString& sql, const QVariantList& parametros = {});

struct Contexto;
// The same on the context's connection (the shared one when the context names none).
Resultado Ejecuto(const Contexto& ctx, const QString& sql, const QVariantList& parametros = {});
QSqlQuery Consulto(const Contexto& ctx, const QString& sql, const QVariantList& parametros = {});
// A long query on a connection of the context's own, read forward only, its rows coming as the engine
// finds them (a server sends them one at a time rather than all before the first): no other statement
// may run on that connection until its rows are read. On the shared connection, as Consulto.
QSqlQuery ConsultoAdelante(const Contexto& ctx, const QString& sql, const QVariantList& parametros = {});
// The rows of sql on ctx's connection through the engine's own reader (see Lector), for a long report
// that reads every value of many rows once; a failure is told by the reader's Error(). As with
// ConsultoAdelante, no other statement may run on a connection of the context's own meanwhile.
std::unique_ptr<Lector> LeoAdelante(const Contexto& ctx, const QString& sql, const QVariantList& parametros = {});
// Whether a long reading of the open books is better done on a connection of its own: a server's
// driver streams rows only on a connection nothing else uses meanwhile, and on the shared one it would
// take every row at once. Inside a transaction only the shared connection sees what it holds, so there
// the answer is no.
bool LecturaLargaAparte();

// Opens a further connection, named nombre, to the books at ruta, in the calling thread and prepared
// as the shared one: a second book beside the first, or the same book for a report run in a worker
// thread. It holds no in-use mark of its own: it is for books the program holds open already, or for
// reading. Close it with CierroConexion in the same thread.
bool AbroConexion(const QString& nombre, const QString& ruta, QString* error = nullptr);
void CierroConexion(const QString& nombre);

// Spanish text of an engine error, for the messages that follow a fixed prefix.
QString TextoError(const QSqlError& e);
// Description of the last failed statement of the shared connection (empty when the last one went well).
QString UltimoError();
