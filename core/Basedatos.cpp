#include "core/Basedatos.h"

#include "core/Archivos.h"
#include "core/Contrasenas.h"
#include "schema/Actualizacion.h"
#include "schema/Esquema.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QTemporaryDir>
#include <QUrl>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

const char* const NombreConexion = "partidex";
QString ultimoError;

// Byte range locked by every open instance, far from the bytes SQLite locks itself. Open file
// description locks conflict between any two descriptors, in one process or in two.
constexpr off_t ByteInstancia = 0x60000000;

int descriptorInstancia = -1;

bool BloqueoRango(int fd, short tipo) {
    struct flock fl = {};
    fl.l_type = tipo;
    fl.l_whence = SEEK_SET;
    fl.l_start = ByteInstancia;
    fl.l_len = 1;
    return fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

void Mayusculas(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int n = sqlite3_value_bytes(argv[0]);
    const QByteArray r = QString::fromUtf8(t, n).toUpper().toUtf8();
    sqlite3_result_text(ctx, r.constData(), int(r.size()), SQLITE_TRANSIENT);
}

// Spanish alphabetical order, ignoring letter case and accents as people read a list ("alfa",
// "Álvarez", "Beta", "zeta"); ties fall back to the exact text so the order is total.
int ComparoEspanol(void*, int n1, const void* t1, int n2, const void* t2) {
    static const QCollator orden = [] {
        QCollator c(QLocale(QLocale::Spanish, QLocale::Argentina));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const QStringView a(static_cast<const QChar*>(t1), n1 / 2);
    const QStringView b(static_cast<const QChar*>(t2), n2 / 2);
    const int r = orden.compare(a, b);
    return r != 0 ? r : a.compare(b);
}

sqlite3* Manejador(const QSqlDatabase& db) {
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

bool Pragma(QSqlDatabase& db, const QString& sql, QString* error) {
    QSqlQuery q(db);
    if (q.exec(sql)) return true;
    if (error) *error = TextoError(q.lastError());
    return false;
}

QString Mensaje(const QString& ruta, const QString& motivo) {
    return QString("No se puede abrir la base de datos %1: %2").arg(QDir::toNativeSeparators(ruta), motivo);
}

} // namespace

QString TextoError(const QSqlError& e) {
    QString t = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    struct Traduccion {
        const char* ingles;
        const char* espanol;
    };
    static const Traduccion tabla[] = {
        {"FOREIGN KEY constraint failed", "el registro está relacionado con otros datos"},
        {"UNIQUE constraint failed", "ya existe un registro con esa clave"},
        {"NOT NULL constraint failed", "falta un dato obligatorio"},
        {"CHECK constraint failed", "un dato está fuera de los valores permitidos"},
        {"database is locked", "la base de datos está bloqueada por otro usuario"},
        {"file is not a database", "el archivo no es una base de datos"},
        {"unable to open database file", "no se puede abrir el archivo"},
        {"attempt to write a readonly database", "la base de datos es de sólo lectura"},
    };
    for (const auto& tr : tabla)
        if (t.contains(QLatin1String(tr.ingles))) return QString::fromUtf8(tr.espanol) + " (" + t + ")";
    return t;
}

QString UltimoError() {
    return ultimoError;
}

bool ConfiguroConexion(QSqlDatabase& db, QString* error) {
    sqlite3* h = Manejador(db);
    if (!h) {
        if (error) *error = "no se pudo acceder al motor de base de datos";
        return false;
    }
    // Both names the dialect switch can select, so statements may use either.
    for (const char* nombre : {"UCase", "UPPER"}) {
        if (sqlite3_create_function_v2(h, nombre, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, Mayusculas,
                                       nullptr, nullptr, nullptr) != SQLITE_OK) {
            if (error) *error = QString::fromUtf8(sqlite3_errmsg(h));
            return false;
        }
    }
    if (sqlite3_create_collation_v2(h, "ESPANOL", SQLITE_UTF16, nullptr, ComparoEspanol, nullptr) !=
        SQLITE_OK) {
        if (error) *error = QString::fromUtf8(sqlite3_errmsg(h));
        return false;
    }
    return Pragma(db, "PRAGMA foreign_keys=ON", error) && Pragma(db, "PRAGMA busy_timeout=8000", error);
}

namespace {

// Companion files the engine keeps beside a database.
const char* const Companeros[] = {"-wal", "-shm", "-journal"};

// A connection of its own for the examination, removed when it goes out of scope.
class ConexionExamen {
public:
    ConexionExamen() : nombre("examen-" + QUuid::createUuid().toString(QUuid::WithoutBraces)) {}
    ~ConexionExamen() {
        {
            QSqlDatabase db = QSqlDatabase::database(nombre, false);
            if (db.isOpen()) db.close();
        }
        QSqlDatabase::removeDatabase(nombre);
    }
    ConexionExamen(const ConexionExamen&) = delete;
    ConexionExamen& operator=(const ConexionExamen&) = delete;
    // uri: an SQLite file URI; opciones: what the URI adds ("immutable=1", "mode=ro").
    bool Abro(const QString& ruta, const QString& opciones, QString* error) {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", nombre);
        QString uri = QUrl::fromLocalFile(ruta).toString(QUrl::FullyEncoded);
        if (!opciones.isEmpty()) uri += "?" + opciones;
        db.setDatabaseName(uri);
        db.setConnectOptions(opciones.isEmpty()
                                 ? "QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=8000"
                                 : "QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=8000");
        if (!db.open()) {
            *error = TextoError(db.lastError());
            return false;
        }
        return ConfiguroConexion(db, error);
    }
    QSqlDatabase Base() const { return QSqlDatabase::database(nombre, false); }

private:
    QString nombre;
};

// The engine's own check of every page of the file: "ok", or the first problems it names.
bool IntegridadSqlite(QSqlDatabase db, bool completa, QString* detalle) {
    QSqlQuery q(db);
    if (!q.exec(completa ? "PRAGMA integrity_check(5)" : "PRAGMA quick_check(5)")) {
        *detalle = TextoError(q.lastError());
        return false;
    }
    QStringList problemas;
    while (q.next())
        problemas << q.value(0).toString();
    if (problemas == QStringList{"ok"}) return true;
    *detalle = problemas.join("; ").left(300);
    return false;
}

// Schema version and application mark kept in the header of an SQLite file.
int VersionSqlite(QSqlDatabase db, bool* ok) {
    QSqlQuery q(db);
    *ok = q.exec("PRAGMA user_version") && q.next();
    return *ok ? q.value(0).toInt() : 0;
}

QStringList TablasSqlite(QSqlDatabase db, bool* ok) {
    QSqlQuery q(db);
    QStringList r;
    *ok = q.exec("SELECT name FROM sqlite_master WHERE type='table'");
    while (*ok && q.next())
        r << q.value(0).toString();
    return r;
}

// The header bytes of an SQLite file: its 16-byte mark and the application mark at offset 68.
struct Cabecera {
    bool sqlite = false;
    bool nuestra = false;
};
Cabecera LeoCabecera(const QString& ruta, bool* legible) {
    Cabecera c;
    QFile f(ruta);
    *legible = f.open(QIODevice::ReadOnly);
    if (!*legible) return c;
    const QByteArray b = f.read(100);
    c.sqlite = b.startsWith(QByteArray("SQLite format 3\0", 16));
    if (b.size() >= 72) {
        const auto* u = reinterpret_cast<const uchar*>(b.constData()) + 68;
        const quint32 id = (quint32(u[0]) << 24) | (quint32(u[1]) << 16) | (quint32(u[2]) << 8) | u[3];
        c.nuestra = id == quint32(Esquema::IdAplicacion);
    }
    return c;
}

// The copy of the file and its companions that a scratch folder holds for the examination.
bool CopioConjunto(const QString& ruta, const QString& carpeta, QString* copia, QString* error) {
    *copia = QDir(carpeta).filePath("examen.db");
    if (!QFile::copy(ruta, *copia)) {
        *error = "no se pudo leer el archivo";
        return false;
    }
    // The shared-memory index is rebuilt from the log; only the log and the journal carry data.
    for (const char* sufijo : {"-wal", "-journal"}) {
        if (QFileInfo::exists(ruta + sufijo) && !QFile::copy(ruta + sufijo, *copia + sufijo)) {
            *error = "no se pudo leer el archivo " + QDir::toNativeSeparators(ruta + sufijo);
            return false;
        }
    }
    return true;
}

} // namespace

Diagnostico ExaminoBase(const QString& ruta, Examen profundidad) {
    Diagnostico d;
    const QString visible = RutaVisible(ruta);
    auto resultado = [&](EstadoBase e, const QString& m) {
        d.estado = e;
        d.explicacion = Mensaje(ruta, m);
        return d;
    };
    if (RutaConControles(ruta)) {
        d.estado = EstadoBase::RutaInvalida;
        d.explicacion = ruta.isEmpty() ? QString("No se indicó la ruta de la base de datos")
                                       : "La ruta de la base de datos " + visible +
                                             " contiene caracteres de control; no se abre ni se crea nada";
        return d;
    }
    const QString clase = ClaseNoComun(ruta);
    if (!clase.isEmpty())
        return resultado(EstadoBase::NoEsArchivo, "no es un archivo de base de datos sino " + clase);
    if (!QFileInfo::exists(ruta)) return resultado(EstadoBase::NoExiste, "el archivo no existe");
    for (const char* sufijo : Companeros) {
        const QString c = ClaseNoComun(ruta + sufijo);
        if (!c.isEmpty())
            return resultado(EstadoBase::NoEsArchivo,
                             "junto a ella, " + RutaVisible(ruta + sufijo) + " no es un archivo sino " + c);
    }
    const QFileInfo fi(ruta);
    if (!fi.isReadable() || !fi.isWritable())
        return resultado(EstadoBase::SinPermiso, "no tiene permiso de lectura y escritura sobre el archivo");
    bool legible = false;
    const Cabecera cabecera = LeoCabecera(ruta, &legible);
    if (!legible) return resultado(EstadoBase::SinPermiso, "no tiene permiso de lectura sobre el archivo");
    if (!cabecera.nuestra)
        return resultado(EstadoBase::Ajena, "el archivo no es una base de datos de Partidex");
    if (!cabecera.sqlite) {
        d.detalle = "la cabecera del archivo está dañada";
        return resultado(EstadoBase::Danada, "la base de datos está dañada (" + d.detalle + ")");
    }

    // Read-only without leaving a trace: a file without companions is read as immutable (no lock, no
    // log, no index file made); a file in use by another instance is read as that instance's
    // neighbour; a file whose companions hold changes (a program that ended without closing) is
    // examined through a copy, so that replaying its log touches nothing here.
    bool conCompaneros = false;
    for (const char* sufijo : Companeros)
        conCompaneros = conCompaneros || QFileInfo::exists(ruta + sufijo);
    QTemporaryDir carpeta;
    QString examinada = ruta, opciones = "immutable=1", falla;
    if (conCompaneros) {
        if (BaseEnUso(ruta)) {
            opciones = "mode=ro";
        } else {
            if (!carpeta.isValid() || !CopioConjunto(ruta, carpeta.path(), &examinada, &falla))
                return resultado(EstadoBase::SinPermiso, falla.isEmpty() ? "no se pudo examinar" : falla);
            opciones.clear();
        }
    }
    ConexionExamen c;
    if (!c.Abro(examinada, opciones, &falla)) {
        d.detalle = falla;
        return resultado(EstadoBase::Danada, "la base de datos está dañada (" + falla + ")");
    }
    bool ok = false;
    d.version = VersionSqlite(c.Base(), &ok);
    const QStringList tablas = ok ? TablasSqlite(c.Base(), &ok) : QStringList();
    QString detalle;
    if (!ok || (profundidad == Examen::Completo && !IntegridadSqlite(c.Base(), false, &detalle))) {
        d.detalle = detalle.isEmpty() ? TextoError(c.Base().lastError()) : detalle;
        return resultado(EstadoBase::Danada, "la base de datos está dañada (" + d.detalle + ")");
    }
    if (d.version > Esquema::Version)
        return resultado(EstadoBase::Posterior,
                         QString("la base de datos es de una versión más nueva del programa (estructura %1; "
                                 "este programa usa la %2). Use la versión del programa que la creó")
                             .arg(d.version)
                             .arg(Esquema::Version));
    if (d.version < Esquema::VersionMinima) {
        d.detalle = "la cabecera no indica la versión de la estructura";
        return resultado(EstadoBase::Danada, "la base de datos está dañada (" + d.detalle + ")");
    }
    QStringList faltan;
    for (const QString& t : Esquema::TablasDeVersion(d.version))
        if (!tablas.contains(t)) faltan << t;
    if (!faltan.isEmpty()) {
        d.detalle = faltan.join(", ");
        return resultado(EstadoBase::Incompleta,
                         "la base de datos está incompleta: " +
                             QString(faltan.size() > 1 ? "le faltan las tablas " : "le falta la tabla ") +
                             d.detalle);
    }
    d.estado = d.version < Esquema::Version ? EstadoBase::Anterior : EstadoBase::Partidex;
    if (d.estado == EstadoBase::Anterior)
        d.explicacion = Mensaje(ruta, "la base de datos es de una versión anterior del programa");
    return d;
}

bool VerificoIntegridad(const QString& ruta, QString* detalle, bool completa) {
    if (!QFileInfo(ruta).isFile()) {
        *detalle = "no existe el archivo " + QDir::toNativeSeparators(ruta);
        return false;
    }
    bool conCompaneros = false;
    for (const char* sufijo : Companeros)
        conCompaneros = conCompaneros || QFileInfo::exists(ruta + sufijo);
    ConexionExamen c;
    return c.Abro(ruta, conCompaneros ? "mode=ro" : "immutable=1", detalle) &&
           IntegridadSqlite(c.Base(), completa, detalle);
}

EstadoBase ExaminoBase(const QString& ruta, QString* explicacion) {
    const Diagnostico d = ExaminoBase(ruta, Examen::Completo);
    if (explicacion) *explicacion = d.explicacion;
    return d.estado;
}

bool CreoBase(const QString& ruta, QString* error) {
    if (QFileInfo::exists(ruta)) {
        if (error) *error = "El archivo " + QDir::toNativeSeparators(ruta) + " ya existe";
        return false;
    }
    if (RutaConControles(ruta)) {
        if (error) *error = "La ruta " + RutaVisible(ruta) + " contiene caracteres de control";
        return false;
    }
    if (!QFileInfo(QFileInfo(ruta).absolutePath()).isDir()) {
        if (error)
            *error = "No existe la carpeta " + QDir::toNativeSeparators(QFileInfo(ruta).absolutePath());
        return false;
    }
    // Built beside the target under a scratch name and renamed when complete, so a failure leaves no
    // half-made database behind and an existing file is never overwritten.
    const QString temporal = ruta + ".nueva-" + QUuid::createUuid().toString(QUuid::Id128).left(8);
    const QString nombre = "creacion-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    QString falla;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", nombre);
        db.setDatabaseName(temporal);
        if (!db.open()) {
            falla = TextoError(db.lastError());
        } else {
            ok = ConfiguroConexion(db, &falla);
            QSqlQuery q(db);
            ok = ok && q.exec("PRAGMA journal_mode=DELETE");
            ok = ok && q.exec("BEGIN");
            const QStringList todas =
                Esquema::Definicion() + Esquema::FilasFijas(HashContrasena(Esquema::ContrasenaInicial));
            for (const QString& s : todas) {
                if (!ok) break;
                if (!q.exec(s)) {
                    ok = false;
                    falla = TextoError(q.lastError()) + " [" + s.left(60) + "]";
                }
            }
            ok = ok && q.exec(QString("PRAGMA application_id=%1").arg(Esquema::IdAplicacion));
            ok = ok && q.exec(QString("PRAGMA user_version=%1").arg(Esquema::Version));
            ok = ok && q.exec("COMMIT");
            ok = ok && q.exec("ANALYZE");
            ok = ok && q.exec("PRAGMA journal_mode=WAL");
            if (!ok && falla.isEmpty()) falla = TextoError(q.lastError());
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(nombre);
    if (ok && !QFile::rename(temporal, ruta)) {
        ok = false;
        falla = "no se pudo crear el archivo " + QDir::toNativeSeparators(ruta);
    }
    if (!ok) {
        QFile::remove(temporal);
        QFile::remove(temporal + "-wal");
        QFile::remove(temporal + "-shm");
        if (error) *error = "No se pudo crear la base de datos: " + falla;
    }
    return ok;
}

bool ActualizoBase(const QString& ruta, QString* error) {
    const QString nombre = "actualizacion-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    QString falla;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", nombre);
        db.setDatabaseName(ruta);
        db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=8000");
        if (!db.open()) {
            falla = TextoError(db.lastError());
        } else {
            ok = ConfiguroConexion(db, &falla);
            QSqlQuery q(db);
            auto ejecuto = [&](const QString& sql) {
                if (ok && !q.exec(sql)) {
                    ok = false;
                    falla = TextoError(q.lastError()) + " [" + sql.left(60) + "]";
                }
            };
            ejecuto("BEGIN IMMEDIATE");
            // Read inside the transaction: another instance may have upgraded it meanwhile.
            bool leida = false;
            const int version = ok ? VersionSqlite(db, &leida) : 0;
            ok = ok && leida;
            for (const Esquema::Paso& p : Esquema::PasosDesde(version))
                for (const QString& sql : p.sentencias)
                    ejecuto(sql);
            if (ok && version < Esquema::Version)
                ejecuto(QString("PRAGMA user_version=%1").arg(Esquema::Version));
            ejecuto("COMMIT");
            if (!ok) q.exec("ROLLBACK");
            // The planner's statistics cover the new indexes.
            ejecuto("ANALYZE");
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(nombre);
    if (!ok && error) *error = "No se pudo actualizar la estructura de la base de datos: " + falla;
    return ok;
}

bool AbroBase(const QString& ruta, QString* error) {
    CierroBase();
    const Diagnostico d = ExaminoBase(ruta, Examen::Rapido);
    if (d.estado != EstadoBase::Partidex) {
        if (error) *error = d.explicacion;
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", NombreConexion);
    db.setDatabaseName(ruta);
    db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=8000");
    QString falla;
    bool ok = db.open();
    if (!ok) falla = TextoError(db.lastError());
    ok = ok && ConfiguroConexion(db, &falla);
    ok = ok && Pragma(db, "PRAGMA journal_mode=WAL", &falla);
    if (ok) {
        descriptorInstancia = ::open(QFile::encodeName(ruta).constData(), O_RDWR | O_CLOEXEC);
        if (descriptorInstancia >= 0) BloqueoRango(descriptorInstancia, F_RDLCK);
    } else {
        if (error) *error = Mensaje(ruta, falla);
        CierroBase();
    }
    return ok;
}

void CierroBase() {
    if (QSqlDatabase::contains(NombreConexion)) {
        {
            QSqlDatabase db = QSqlDatabase::database(NombreConexion, false);
            if (db.isOpen()) db.close();
        }
        QSqlDatabase::removeDatabase(NombreConexion);
    }
    if (descriptorInstancia >= 0) {
        ::close(descriptorInstancia);
        descriptorInstancia = -1;
    }
}

bool BaseAbierta() {
    return QSqlDatabase::contains(NombreConexion) && QSqlDatabase::database(NombreConexion, false).isOpen();
}

QSqlDatabase Conexion() {
    return QSqlDatabase::database(NombreConexion, false);
}

bool BaseEnUso(const QString& ruta) {
    const int fd = ::open(QFile::encodeName(ruta).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    const bool libre = BloqueoRango(fd, F_WRLCK);
    ::close(fd); // closing the descriptor releases the probe lock
    return !libre;
}

namespace {
bool Preparo(QSqlQuery& q, const QString& sql, const QVariantList& parametros) {
    q.setForwardOnly(true);
    if (!q.prepare(sql)) return false;
    for (int i = 0; i < parametros.size(); ++i)
        q.bindValue(i, parametros[i]);
    return q.exec();
}
} // namespace

Resultado Ejecuto(const QString& sql, const QVariantList& parametros) {
    Resultado r;
    QSqlQuery q(Conexion());
    if (!Preparo(q, sql, parametros)) {
        r.ok = false;
        r.error = TextoError(q.lastError());
        ultimoError = r.error;
        return r;
    }
    r.filas = q.numRowsAffected();
    ultimoError.clear();
    return r;
}

QSqlQuery Consulto(const QString& sql, const QVariantList& parametros) {
    QSqlQuery q(Conexion());
    if (!Preparo(q, sql, parametros))
        ultimoError = TextoError(q.lastError());
    else
        ultimoError.clear();
    return q;
}
