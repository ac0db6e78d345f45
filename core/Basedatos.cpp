#include "core/Basedatos.h"

#include "core/Contrasenas.h"
#include "core/Motor.h"
#include "schema/Esquema.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace {

const char* const NombreConexion = "partidex";
QString ultimoError;

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
    return MotorDe(db).Configuro(db, error);
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
    // The header must be the engine's before the engine is let near the file.
    {
        QFile f(ruta);
        if (!f.open(QIODevice::ReadOnly)) {
            explico("no tiene permiso de lectura sobre el archivo");
            return EstadoBase::SinPermiso;
        }
    }
    if (!MotorActual().EsArchivoPropio(ruta)) {
        explico("el archivo no es una base de datos de Partidex");
        return EstadoBase::Ajena;
    }
    const QString nombre = "examen-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    EstadoBase estado = EstadoBase::Ajena;
    {
        const Motor& motor = MotorActual();
        QSqlDatabase db = motor.Agrego(nombre, ruta, true);
        if (!db.open()) {
            explico(TextoError(db.lastError()));
        } else {
            const qint64 id = motor.IdAplicacion(db);
            const int version = motor.VersionEsquema(db);
            const QStringList presentes = motor.Tablas(db);
            int tablas = 0;
            for (const char* t : {"Usuarios", "Sesiones", "Cuentas", "Asientos", "DetAsientos", "Ejercicios"})
                tablas += presentes.contains(QLatin1String(t)) ? 1 : 0;
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
        const Motor& motor = MotorActual();
        QSqlDatabase db = motor.Agrego(nombre, temporal, false);
        if (!db.open()) {
            falla = TextoError(db.lastError());
        } else {
            ok = ConfiguroConexion(db, &falla);
            QSqlQuery q(db);
            ok = ok && motor.Compartida(db, false, &falla);
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
            ok = ok && motor.FijoIdAplicacion(db, Esquema::IdAplicacion);
            ok = ok && motor.FijoVersionEsquema(db, Esquema::Version);
            ok = ok && q.exec("COMMIT");
            ok = ok && q.exec("ANALYZE");
            ok = ok && motor.Compartida(db, true, &falla);
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
    Motor& motor = MotorActual();
    QSqlDatabase db = motor.Agrego(NombreConexion, ruta, false);
    QString falla;
    bool ok = db.open();
    if (!ok) falla = TextoError(db.lastError());
    ok = ok && ConfiguroConexion(db, &falla);
    ok = ok && motor.Compartida(db, true, &falla);
    if (ok) {
        motor.MarcoEnUso(ruta);
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
    MotorActual().LiberoUso();
}

bool BaseAbierta() {
    return QSqlDatabase::contains(NombreConexion) && QSqlDatabase::database(NombreConexion, false).isOpen();
}

QSqlDatabase Conexion() {
    return QSqlDatabase::database(NombreConexion, false);
}

bool BaseEnUso(const QString& ruta) {
    return MotorActual().EnUso(ruta);
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
