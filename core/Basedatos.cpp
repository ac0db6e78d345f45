#include "core/Basedatos.h"

#include "core/Contrasenas.h"
#include "schema/Esquema.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
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

EstadoBase ExaminoBase(const QString& ruta, QString* explicacion) {
    const QFileInfo fi(ruta);
    auto explico = [&](const QString& m) {
        if (explicacion) *explicacion = Mensaje(ruta, m);
    };
    if (!fi.exists()) {
        explico("el archivo no existe");
        return EstadoBase::NoExiste;
    }
    if (fi.isDir()) {
        // An empty or mistyped Base setting names a folder.
        explico("es una carpeta, no un archivo de base de datos");
        return EstadoBase::SinPermiso;
    }
    if (!fi.isFile() || !fi.isReadable() || !fi.isWritable()) {
        explico("no tiene permiso de lectura y escritura sobre el archivo");
        return EstadoBase::SinPermiso;
    }
    // The header must be SQLite's before the engine is let near the file.
    {
        QFile f(ruta);
        if (!f.open(QIODevice::ReadOnly)) {
            explico("no tiene permiso de lectura sobre el archivo");
            return EstadoBase::SinPermiso;
        }
        if (f.read(16) != QByteArray("SQLite format 3\0", 16)) {
            explico("el archivo no es una base de datos de Partidex");
            return EstadoBase::Ajena;
        }
    }
    const QString nombre = "examen-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    EstadoBase estado = EstadoBase::Ajena;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", nombre);
        db.setDatabaseName(ruta);
        db.setConnectOptions("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=8000");
        if (!db.open()) {
            explico(TextoError(db.lastError()));
        } else {
            QSqlQuery q(db);
            int id = 0, version = 0, tablas = 0;
            if (q.exec("PRAGMA application_id") && q.next()) id = q.value(0).toInt();
            if (q.exec("PRAGMA user_version") && q.next()) version = q.value(0).toInt();
            if (q.exec("SELECT count(*) FROM sqlite_master WHERE type='table' AND name IN "
                       "('Usuarios','Sesiones','Cuentas','Asientos','DetAsientos','Ejercicios')") &&
                q.next())
                tablas = q.value(0).toInt();
            q.finish();
            if (id != Esquema::IdAplicacion || tablas != 6) {
                explico("el archivo no es una base de datos de Partidex");
            } else if (version > Esquema::Version) {
                estado = EstadoBase::Posterior;
                explico("la base de datos es de una versión más nueva del programa");
            } else {
                estado = EstadoBase::Partidex;
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(nombre);
    return estado;
}

bool CreoBase(const QString& ruta, QString* error) {
    if (QFileInfo::exists(ruta)) {
        if (error) *error = "El archivo " + QDir::toNativeSeparators(ruta) + " ya existe";
        return false;
    }
    QDir().mkpath(QFileInfo(ruta).absolutePath());
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

bool AbroBase(const QString& ruta, QString* error) {
    CierroBase();
    QString explicacion;
    if (ExaminoBase(ruta, &explicacion) != EstadoBase::Partidex) {
        if (error) *error = explicacion;
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
