#pragma once
// Everything that depends on the database engine sits behind this interface: how a connection is made
// and prepared, the SQL pieces that differ between engines, what the schema holds, file-level copies
// and the mark of a database in use. Statements elsewhere are written in the common dialect and ask
// here for the rest. SQLite (a file) and PostgreSQL (a server) implement it; the driver of a
// connection, or the form of a database's path, picks one.
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>

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

class Motor {
public:
    virtual ~Motor() = default;

    // Engine name and version, for the about box.
    virtual QString Version() const = 0;
    // Bytes a server's database takes on its disks (a file engine's database is its file); -1 when
    // unknown.
    virtual qint64 TamanoEnServidor(const QSqlDatabase&) const { return -1; }
    // A database is a file at a path (true) or a database on a server named by its address.
    virtual bool PorArchivo() const { return true; }
    // Statements a new database needs before its tables (functions, collations), and a table's
    // definition in the engine's own types.
    virtual QStringList Preparativos() const { return {}; }
    virtual QString Adapto(const QString& ddl) const { return ddl; }

    // --- Connections
    // Adds a connection called nombre on the database at ruta, with the engine's options; not yet open.
    virtual QSqlDatabase Agrego(const QString& nombre, const QString& ruta, bool soloLectura) const = 0;
    // Prepares an open connection for the program's statements: the upper-case functions of both
    // names the dialect switch can select, the Spanish alphabetical order, foreign keys, waiting while
    // another instance writes.
    virtual bool Configuro(QSqlDatabase& db, QString* error = nullptr) const = 0;
    // Readers and one writer at once (true, the books in use), or one connection alone (false, a
    // database being built).
    virtual bool Compartida(QSqlDatabase& db, bool compartida, QString* error = nullptr) const = 0;
    // Relations checked or not, for the connection (repairs and tests that build broken books).
    virtual bool ClavesForaneas(QSqlDatabase& db, bool activas) const = 0;
    // The statement that starts a write transaction holding the write lock from its first statement,
    // so that two instances taking "maximum plus one" serialise instead of colliding.
    virtual QString InicioEscritura() const = 0;
    // Whether a query read forward only may stay open while other statements run on its connection
    // (a server's driver that streams rows loses them when another statement is sent).
    virtual bool LecturaIntercalada() const { return true; }
    // Planner statistics brought up to date cheaply, on leaving.
    virtual void Optimizo(QSqlDatabase& db) const = 0;

    // --- SQL pieces
    // Tail that keeps the first n rows of a query (after its ORDER BY).
    virtual QString Limite(int n) const = 0;
    // An insertion that leaves alone a row whose key already exists. resto is what follows
    // "INSERT INTO": the table, its columns and VALUES or a SELECT.
    virtual QString InsertoOIgnoro(const QString& resto) const = 0;
    // An integer expression as text padded with zeros to ancho; a wider number is never cut.
    virtual QString Rellenado(const QString& expresion, int ancho) const = 0;
    // A text expression in alphabetical order, as a whole ascending ORDER BY term: letter case and
    // accents ignored, Null first.
    virtual QString Alfabetico(const QString& expresion) const = 0;
    // Expression that orders a table's rows as they were stored.
    virtual QString OrdenDeCarga() const = 0;
    // A bound value as the engine can hold it (a server's text holds no NUL character).
    virtual QVariant Guardable(const QVariant& valor) const { return valor; }

    // --- Schema (ok, when given, tells a list that could not be read from an empty one)
    virtual QStringList Tablas(const QSqlDatabase& db, bool* ok = nullptr) const = 0;
    virtual QList<IndiceBase> Indices(const QSqlDatabase& db, bool* ok = nullptr) const = 0;
    virtual QList<RelacionBase> Relaciones(const QSqlDatabase& db, bool* ok = nullptr) const = 0;
    // Version of the schema the database carries; -1 when it cannot be read.
    virtual int VersionEsquema(const QSqlDatabase& db) const = 0;
    virtual bool FijoVersionEsquema(QSqlDatabase& db, int version) const = 0;
    // Mark of the program that owns the file; 0 when none, -1 when it cannot be read.
    virtual qint64 IdAplicacion(const QSqlDatabase& db) const = 0;
    virtual bool FijoIdAplicacion(QSqlDatabase& db, qint64 id) const = 0;
    // How the engine will run a statement, one line per step (the tables and indexes it reads).
    virtual QStringList PlanConsulta(const QSqlDatabase& db, const QString& sql,
                                     const QVariantList& parametros = {}) const = 0;
    // A number that moves whenever another connection commits a change; -1 on failure.
    virtual qint64 VersionDatos(const QSqlDatabase& db) const = 0;

    // --- Files
    // Whether the file at ruta starts as one of this engine's databases (nothing else is opened).
    virtual bool EsArchivoPropio(const QString& ruta) const = 0;
    // What the first bytes of a database file say, read without the engine: whether it is one of the
    // engine's files and the program mark it carries (0 when none).
    struct Cabecera {
        bool legible = false;
        bool delMotor = false;
        qint64 idAplicacion = 0;
    };
    virtual Cabecera LeoCabecera(const QString& ruta) const = 0;
    // Suffixes of the files the engine keeps beside a database; conDatos: only those that may hold
    // committed changes not yet in the database file itself.
    virtual QStringList Companeros(bool conDatos) const = 0;
    // The engine's own check of the database's pages: every page and index (completa) or a quicker
    // pass. False with the first problems, or the failure, in *detalle.
    virtual bool Integridad(QSqlDatabase& db, bool completa, QString* detalle) const = 0;
    // Writes a compacted copy of the database of db into a new file at destino.
    virtual bool CompactoEn(QSqlDatabase& db, const QString& destino, QString* error) const = 0;
    // Copies the whole content of desde into hacia, under the engine's own locks, in place.
    virtual bool CopioBase(QSqlDatabase& desde, QSqlDatabase& hacia, QString* error) const = 0;

    // --- Copies of a server database (a file engine's copies are files: CompactoEn, CopioBase)
    // Writes the whole database at ruta into the new file archivo, in the engine's own backup format.
    virtual bool RespaldoEn(const QString& ruta, const QString& archivo, QString* error) const;
    // Whether archivo holds a whole backup in that format; on failure *detalle says why.
    virtual bool RespaldoLegible(const QString& archivo, QString* detalle) const;
    // Replaces the content of the database at ruta with the backup in archivo, all of it or nothing.
    virtual bool RestauroDe(const QString& archivo, const QString& ruta, QString* error) const;
    // Restores the tables and rows of the backup in archivo (not its relations or indexes) into a
    // scratch database on the server of ruta, hands examino a connection to it and drops it: what a
    // restore would bring, seen before anything is replaced.
    virtual bool ExaminoRespaldo(const QString& archivo, const QString& ruta,
                                 const std::function<void(const QSqlDatabase&)>& examino,
                                 QString* error) const;
    // Frees the room of deleted rows and brings the planner's statistics up to date, in place.
    virtual bool CompactoEnSitio(QSqlDatabase& db, QString* error) const;

    // --- In use
    // Marks the database at ruta as open by this program until LiberoUso (on a server, through the
    // shared connection, already open). Instances share the mark; a restore or a compaction that holds
    // the database alone (TomoExclusivo) keeps it from being taken: this waits a few seconds for it,
    // then gives up. False, with the reason, when the mark could not be taken: the connection must
    // not be used. Taken again on the same book (a server connection opened anew), false as well when
    // the book was replaced by a restore in between.
    virtual bool MarcoEnUso(const QString& ruta, QString* error = nullptr) = 0;
    virtual void LiberoUso() = 0;
    // True when another connection (this program in another process, or another connection of this
    // one) has the database open: then it must not be replaced, compacted in place or restored over.
    virtual bool EnUso(const QString& ruta) const = 0;
    // True while a restore or a compaction holds the database at ruta alone.
    virtual bool EnMantenimiento(const QString& ruta) const = 0;
    // Holds the database at ruta for this program alone, from the check that nobody has it open to
    // LiberoExclusivo: meanwhile no instance can start on it, so none can write. False, holding
    // nothing, when another instance has it open (or a restore or compaction already holds it).
    virtual bool TomoExclusivo(const QString& ruta, QString* error) = 0;
    virtual void LiberoExclusivo() = 0;
};

// Why an instance cannot start on a database that a restore or a compaction holds alone.
extern const char* const EnMantenimientoTexto;

// The engine of a connection, by its driver; SQLite for a connection not yet made.
Motor& MotorDe(const QSqlDatabase& db);
// The engine of a database by its path (a server address or a file).
Motor& MotorDeRuta(const QString& ruta);
// The engine of the shared connection; before it is open, the engine of the settings' database.
Motor& MotorActual();
