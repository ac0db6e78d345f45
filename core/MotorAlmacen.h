#pragma once
// The engine's storage: where a database lives and how a connection to it is made and prepared, its
// own checks and copies (backup, restore, compaction), and the marks of a database in use or held
// alone. What differs between a database that is a file at a path and one on a server is asked here,
// question by question, so that nobody outside the engines tells one kind from the other.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Why an instance cannot start on a database that a restore or a compaction holds alone.
extern const char* const EnMantenimientoTexto;

class Lector;
class Progreso;

class AlmacenMotor {
public:
    virtual ~AlmacenMotor() = default;

    // --- Where the database is
    // A key of the [Base de Datos] section of the local settings, or omision when it is missing.
    using LectorAjustes = std::function<QString(const QString& clave, const QString& omision)>;
    // The address of the books from those settings (the engine's own keys; a password goes where
    // the connections take it, never in the address).
    virtual QString DireccionDeAjustes(const LectorAjustes& lee) = 0;
    // The address as the about box shows it.
    virtual QString Ubicacion(const QString& ruta) const = 0;
    // What the database takes, for the about box: its bytes and those of changes not yet in it;
    // conexion, open or not, is the shared connection.
    struct Ocupacion {
        enum class Estado { Conocida, NoInformada, NoExiste };
        Estado estado = Estado::NoInformada;
        qint64 bytes = 0;
        qint64 pendientes = 0;
    };
    virtual Ocupacion Ocupa(const QString& ruta, const QSqlDatabase& conexion) const = 0;
    // Engine name and version, for the about box.
    virtual QString Version() const = 0;

    // --- What differs between a file and a server
    // Opening a database that is not there would make an empty one in its place: true when so and
    // nothing is at ruta (a server's database is only ever asked over a connection).
    virtual bool Falta(const QString& ruta) const = 0;
    // Whether what is at ruta is one of this engine's databases as far as can be told without the
    // engine; a server's database is told only once connected (true).
    virtual bool EsPropia(const QString& ruta) const = 0;
    // Whether a database is examined first from outside the engine (its path, its kind, the files
    // beside it, the permissions and the header, with LeoCabecera) and opened only then; otherwise
    // it is examined over a read-only connection alone.
    virtual bool ExamenPrevio() const = 0;
    // Whether a new database is a new file the program makes in its place (true), or the schema
    // written into an empty database the server's administrator made (false).
    virtual bool CreaArchivo() const = 0;
    // Whether a lost connection is opened anew (a server's connection may drop; a file's does not).
    virtual bool SeReconecta() const = 0;
    // Whether the engine compacts the database where it is (CompactoEnSitio); otherwise a compacted
    // copy is written into a scratch file (CompactoEn), checked and copied back (CopioBase).
    virtual bool CompactaEnSitio() const = 0;
    // Whether a backup is written and restored by the engine in its own format (RespaldoEn,
    // RestauroDe...); otherwise a backup is a copy of the database's compacted file.
    virtual bool RespaldoPropio() const = 0;

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
    // Planner statistics brought up to date cheaply, on leaving.
    virtual void Optimizo(QSqlDatabase& db) const = 0;
    // The planner's figures of each table that has grown or shrunk to half or twice its size since
    // they were gathered (or that has rows and none): gathered again when those tables together hold
    // at most filas rows, otherwise forgotten, so that the planner reasons from its neutral
    // assumptions instead of from an empty book's. Never waits for another instance's write.
    // Returns the tables whose figures were gathered again.
    virtual QStringList RenuevoEstadisticas(QSqlDatabase& db, qint64 filas) const = 0;
    // The rows RenuevoEstadisticas gathers when a book is opened: a small fraction of a second.
    static constexpr qint64 FilasAlAbrir = 300000;

    // --- Files
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

    // --- Checks and copies
    // The engine's own check of the database's pages: every page and index (completa) or a quicker
    // pass. False with the first problems, or the failure, in *detalle. Tells `progreso` (if any) how
    // far it has gone, where the engine can say.
    virtual bool Integridad(QSqlDatabase& db, bool completa, QString* detalle, Progreso* progreso) const = 0;
    // Writes a compacted copy of the database of db into a new file at destino, telling `progreso`
    // (if any) how far it has gone where the engine can say.
    virtual bool CompactoEn(QSqlDatabase& db, const QString& destino, QString* error, Progreso* progreso) const = 0;
    // Copies the whole content of desde into hacia, under the engine's own locks, in place, all of it
    // or nothing; tells `progreso` (if any) how far it has gone.
    virtual bool CopioBase(QSqlDatabase& desde, QSqlDatabase& hacia, QString* error, Progreso* progreso) const = 0;
    // While the object given lives, a statement on db stops in its middle once `progreso` is asked to
    // stop (it fails as interrupted, and its caller, who asked, says nothing of it); null where the
    // engine cannot, and its statements run to their end.
    virtual std::shared_ptr<void> Detenible(const QSqlDatabase& db, Progreso* progreso) const;
    // A reader of the rows of sql on db, with its values bound (already made storable by the dialect);
    // adelante: the rows may come as the engine finds them (nothing else runs on db meanwhile), else
    // they are fetched whole first. This one reads through QSqlQuery; an engine may give a faster one.
    virtual std::unique_ptr<Lector> Leo(const QSqlDatabase& db, const QString& sql, const QVariantList& parametros,
                                        bool adelante) const;
    // Writes the whole database at ruta into the new file archivo, in the engine's own backup format.
    virtual bool RespaldoEn(const QString& ruta, const QString& archivo, QString* error) const;
    // Whether archivo holds a whole backup in that format; on failure *detalle says why.
    virtual bool RespaldoLegible(const QString& archivo, QString* detalle) const;
    // Replaces the content of the database at ruta with the backup in archivo, all of it or nothing.
    virtual bool RestauroDe(const QString& archivo, const QString& ruta, QString* error) const;
    // Restores the tables and rows of the backup in archivo (not its relations or indexes) into a
    // scratch database beside ruta, hands examino a connection to it and drops it: what a restore
    // would bring, seen before anything is replaced.
    virtual bool ExaminoRespaldo(const QString& archivo, const QString& ruta,
                                 const std::function<void(const QSqlDatabase&)>& examino,
                                 QString* error) const;
    // Frees the room of deleted rows and brings the planner's statistics up to date, in place.
    virtual bool CompactoEnSitio(QSqlDatabase& db, QString* error) const;

    // --- Who may do what, where the server enforces it (nothing on a file, whose own permissions
    // are the guard)
    // A user of the books as the server knows him: the login name (and the one he had, when it
    // changes), his profile, a new password (empty: the one he has) and whether he may log in.
    struct Cuenta {
        QString anterior;
        QString nombre;
        int perfil = 0;
        QString contrasena;
        bool activo = true;
    };
    // On the connection of the books' owner, as the schema is written or brought up to date: one
    // group per profile granted what its levels for each module allow, the history only added to,
    // a closed year's entries and lines fixed, the users' own logins (with no password yet) and what
    // lets an administrator manage them. Inside the caller's transaction; may be run again.
    virtual bool PreparoPermisos(QSqlDatabase& db, QString* error) const;
    // The user's login made or brought in line with the row of Usuarios (GraboCuenta), dropped
    // (BorroCuenta), or given a new password (ClaveDeCuenta, by the user himself or an
    // administrator); inside the caller's transaction, so that row and login change together.
    virtual bool GraboCuenta(QSqlDatabase& db, const Cuenta& c, QString* error) const;
    virtual bool BorroCuenta(QSqlDatabase& db, const QString& nombre, QString* error) const;
    virtual bool ClaveDeCuenta(QSqlDatabase& db, const QString& nombre, const QString& contrasena,
                               QString* error) const;
    // Whether the login's user and password are what the program connects to the books at ruta with
    // (a server whose settings name no user): then AccedoComo gives them before any connection.
    virtual bool AccesoDelUsuario(const QString& ruta) const;
    virtual void AccedoComo(const QString& nombre, const QString& contrasena);

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
    // Before a start examines the database at ruta: waits a few seconds for a restore or a
    // compaction that holds it alone to end, so that it is not examined halfway through (where the
    // mark in use waits by itself, there is nothing to wait for here). False when it did not end.
    virtual bool EsperoFinMantenimiento(const QString& ruta) const = 0;
    // Holds the database at ruta for this program alone, from the check that nobody has it open to
    // LiberoExclusivo: meanwhile no instance can start on it, so none can write. False, holding
    // nothing, when another instance has it open (or a restore or compaction already holds it).
    virtual bool TomoExclusivo(const QString& ruta, QString* error) = 0;
    virtual void LiberoExclusivo() = 0;
};
