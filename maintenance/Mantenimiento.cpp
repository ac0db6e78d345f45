#include "maintenance/Mantenimiento.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Ini.h"
#include "core/Motor.h"
#include "core/Soporte.h"
#include "core/Valores.h"
#include "schema/Esquema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QUuid>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace Mantenimiento {
namespace {

Interlocutor interlocutor;

void Informo(const QString& texto, Aviso icono) {
    if (interlocutor.informo) interlocutor.informo(texto, icono);
}
bool Pregunto(const QString& texto) {
    return interlocutor.pregunto && interlocutor.pregunto(texto);
}

// Busy pointer for the length of an operation, restored on every way out.
class Ocupado {
public:
    Ocupado() {
        if (interlocutor.espero) interlocutor.espero(true);
    }
    ~Ocupado() {
        if (interlocutor.espero) interlocutor.espero(false);
    }
    Ocupado(const Ocupado&) = delete;
    Ocupado& operator=(const Ocupado&) = delete;
};

// A connection of its own on one file, apart from the shared one, removed when it goes out of scope.
class ConexionArchivo {
public:
    ConexionArchivo(const QString& ruta, bool soloLectura)
        : nombre("mantenimiento-" + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
        QSqlDatabase db = MotorActual().Agrego(nombre, ruta, soloLectura);
        if (!db.open()) {
            error = TextoError(db.lastError());
            return;
        }
        abierta = ConfiguroConexion(db, &error);
    }
    ~ConexionArchivo() {
        {
            QSqlDatabase db = QSqlDatabase::database(nombre, false);
            if (db.isOpen()) db.close();
        }
        QSqlDatabase::removeDatabase(nombre);
    }
    ConexionArchivo(const ConexionArchivo&) = delete;
    ConexionArchivo& operator=(const ConexionArchivo&) = delete;

    QSqlDatabase Base() const { return QSqlDatabase::database(nombre, false); }
    // Runs a statement; on failure leaves the engine's text in error.
    bool Ejecuto(const QString& sql, const QVariantList& parametros = {}) {
        QSqlQuery q(Base());
        bool ok = q.prepare(sql);
        for (int i = 0; ok && i < parametros.size(); ++i)
            q.bindValue(i, parametros[i]);
        ok = ok && q.exec();
        if (!ok) error = TextoError(q.lastError());
        return ok;
    }

    bool abierta = false;
    QString error;

private:
    QString nombre;
};

QString EnUso() {
    return QStringLiteral("la base de datos está abierta por otro usuario o por otra instancia del programa; "
                          "ciérrela e intente nuevamente");
}

// Copies the whole content of the file origen into the database destino with the engine's own copy,
// under the engine's own locks. destino is rewritten in place and keeps its journal mode.
bool CopioConBackUp(const QString& origen, const QString& destino, QString* error) {
    ConexionArchivo desde(origen, true);
    if (!desde.abierta) {
        *error = desde.error;
        return false;
    }
    ConexionArchivo hacia(destino, false);
    if (!hacia.abierta) {
        *error = hacia.error;
        return false;
    }
    QSqlDatabase origenDb = desde.Base();
    QSqlDatabase destinoDb = hacia.Base();
    return MotorActual().CopioBase(origenDb, destinoDb, error);
}

// Replaces destino with a copy of origen: copied under a scratch name and renamed over destino when
// complete, so that a failed copy never destroys the previous file. Only for files nobody has open.
bool CopioArchivo(const QString& origen, const QString& destino, QString* error) {
    const QString temporal = destino + ".copia-" + QUuid::createUuid().toString(QUuid::Id128).left(8);
    if (!QFile::copy(origen, temporal)) {
        *error = !QFileInfo::exists(origen) ? "no existe el archivo " + QDir::toNativeSeparators(origen)
                                            : "no se pudo copiar " + QDir::toNativeSeparators(origen) +
                                                  " a " + QDir::toNativeSeparators(destino);
        QFile::remove(temporal);
        return false;
    }
    {
        // On disk before it takes the old file's place.
        QFile copia(temporal);
        if (copia.open(QIODevice::ReadWrite)) ::fsync(copia.handle());
    }
    if (std::rename(QFile::encodeName(temporal).constData(), QFile::encodeName(destino).constData()) != 0) {
        *error = "no se pudo reemplazar " + QDir::toNativeSeparators(destino);
        QFile::remove(temporal);
        return false;
    }
    return true;
}

bool EsSqlite(const QString& ruta) {
    return MotorActual().EsArchivoPropio(ruta);
}

// The file opens as an SQLite database and its schema can be read.
bool SeLeeComoBase(const QString& ruta) {
    if (!EsSqlite(ruta)) return false;
    ConexionArchivo c(ruta, true);
    bool ok = false;
    if (c.abierta) MotorActual().Tablas(c.Base(), &ok);
    return ok;
}

bool BorroLogs(const QString& ruta, QString* error) {
    for (const QString& r : {ruta + "-journal", ruta + "-wal", ruta + "-shm"}) {
        if (QFileInfo::exists(r) && !QFile::remove(r)) {
            *error = "no se pudo eliminar " + QDir::toNativeSeparators(r);
            return false;
        }
    }
    return true;
}

bool BorroArchivo(const QString& ruta, QString* error) {
    if (QFileInfo::exists(ruta) && !QFile::remove(ruta)) {
        *error = "no se pudo eliminar " + QDir::toNativeSeparators(ruta);
        return false;
    }
    return BorroLogs(ruta, error);
}

} // namespace

void FijoInterlocutor(Interlocutor i) {
    interlocutor = std::move(i);
}

Estructura CuentoEstructura(const QString& ruta) {
    Estructura e;
    if (!QFileInfo(ruta).isFile()) return e; // opening would create it
    if (!EsSqlite(ruta)) return e;
    ConexionArchivo c(ruta, true);
    if (!c.abierta) return e;
    bool ok = false;
    // Every index counts, those SQLite makes for composite keys included. Tables carry no creation
    // date in SQLite, so every table of the file counts.
    const Motor& motor = MotorActual();
    e.indices = int(motor.Indices(c.Base(), &ok).size());
    if (!ok) return e;
    e.abierta = true;
    e.relaciones = int(motor.Relaciones(c.Base(), &ok).size());
    return e;
}

int VerificoEstructura(const QString& ruta) {
    const Estructura e = CuentoEstructura(ruta);
    if (!e.abierta) return 2;
    int resultado = 0;
    if (e.indices != Esquema::IndicesEsperados()) {
        Informo(QString::fromUtf8("ATENCION: Cantidad de índices crítica: ") + QString::number(e.indices) +
                    ", avisar URGENTE a " + CorreoSoporte,
                Aviso::Error);
        resultado = 1;
    }
    if (e.relaciones != Esquema::RelacionesEsperadas()) {
        Informo(QString::fromUtf8("ATENCION: Cantidad de relaciones crítica: ") +
                    QString::number(e.relaciones) + ", avisar URGENTE a " + CorreoSoporte,
                Aviso::Error);
        resultado = 1;
    }
    return resultado;
}

bool Compacto(const QString& base, const QString& aux) {
    const QString noCompacta = QStringLiteral("No se pudo compactar base de datos, ");
    // Opening a missing file would create an empty database in its place.
    if (!QFileInfo(base).isFile()) {
        Informo(noCompacta + "no existe el archivo " + QDir::toNativeSeparators(base), Aviso::Informacion);
        return false;
    }
    if (BaseEnUso(base)) {
        Informo(noCompacta + EnUso(), Aviso::Informacion);
        return false;
    }
    QString error;
    if (!BorroArchivo(aux, &error)) {
        Informo(noCompacta + error, Aviso::Informacion);
        return false;
    }
    ConexionArchivo c(base, false);
    // Statistics first, so that the compacted copy (and the backup made from it) carries them.
    bool ok = c.abierta && c.Ejecuto("ANALYZE");
    // data_version moves whenever another connection commits a change to the file: a change made
    // after the compacted copy was taken must not be overwritten by it.
    QSqlDatabase db = c.Base();
    const Motor& motor = MotorActual();
    const qint64 version = ok ? motor.VersionDatos(db) : 0;
    ok = ok && version >= 0 && motor.CompactoEn(db, aux, &c.error);
    if (!ok) {
        Informo(noCompacta + c.error, Aviso::Informacion);
        BorroArchivo(aux, &error);
        return false;
    }
    // Checked again: an instance may have opened or changed the database while it was being compacted.
    if (BaseEnUso(base) || motor.VersionDatos(db) != version) {
        Informo(noCompacta + EnUso(), Aviso::Informacion);
        return false;
    }
    if (!CopioConBackUp(aux, base, &error)) {
        Informo(QStringLiteral("No se pudo completar compactación de base de datos, ") + error,
                Aviso::Informacion);
        return false;
    }
    return true;
}

bool HagoBackUp(const QDate& hoy) {
    const AppState& a = App();
    if (VerificoEstructura(a.databasePath) != 0) {
        Informo("No se puede compactar / hacer back up", Aviso::Informacion);
        return false;
    }
    Ocupado ocupado;
    if (!Compacto(a.databasePath, a.auxPath)) return false;
    // Nobody opens the backup file, so the compacted scratch file is copied as it stands.
    QString error;
    if (!CopioArchivo(a.auxPath, a.backupPath, &error)) {
        Informo("No se pudo terminar BackUp base de datos, " + error, Aviso::Ninguno);
        return false;
    }
    EscriboGlobal(SeccionMantenimiento, "UltimoBackUp(dd/mm/yyyy)", FechaATexto(hoy));
    return true;
}

bool RecuperoBackUp() {
    const AppState& a = App();
    if (!Pregunto(QString::fromUtf8("La recuperación de la Base implica sobreescribir la base actual ") +
                  a.databasePath + " con " + a.backupPath +
                  QString::fromUtf8(". Está Ud. seguro de continuar")))
        return false;
    const QString prefijo = QString::fromUtf8("No se pudo hacer la recuperación de la base de datos, ");
    Ocupado ocupado;
    if (BaseEnUso(a.databasePath)) {
        Informo(prefijo + EnUso(), Aviso::Ninguno);
        return false;
    }
    // Only a Partidex database may take the place of the books.
    QString explicacion;
    if (ExaminoBase(a.backupPath, &explicacion) != EstadoBase::Partidex) {
        Informo(prefijo + explicacion, Aviso::Ninguno);
        return false;
    }
    QString error;
    if (!QFileInfo::exists(a.databasePath) || SeLeeComoBase(a.databasePath)) {
        if (!CopioConBackUp(a.backupPath, a.databasePath, &error)) {
            Informo(prefijo + error, Aviso::Ninguno);
            return false;
        }
        return true;
    }
    // A database damaged beyond SQLite's header cannot take pages through the backup. Nobody can have
    // it open as a database (checked above), so the backup replaces it whole: copied beside it and
    // renamed over it, with the logs of the damaged file removed so they are never replayed.
    if (!CopioArchivo(a.backupPath, a.databasePath, &error) || !BorroLogs(a.databasePath, &error)) {
        Informo(prefijo + error, Aviso::Ninguno);
        return false;
    }
    return true;
}

void LeoRutas() {
    AppState& a = App();
    a.backupPath = RutaCompleta(LeoLocal(SeccionMantenimiento, "Base Back Up", "Partidex.BAK"));
    a.auxPath = RutaCompleta(LeoLocal(SeccionMantenimiento, "Base Aux", "Partidex.AUX"));
}

bool BackUpPendiente(const QDate& hoy) {
    // Bounded to a century either way, so that an absurd value cannot overflow the day count.
    const double dias = NumeroOCero(QVariant(LeoGlobal(SeccionMantenimiento, "BackUPCada(dias)", "1")));
    const int intervalo = int(std::lround(qBound(-36500.0, dias, 36500.0)));
    QDate ultimo = TextoAFecha(LeoGlobal(SeccionMantenimiento, "UltimoBackUp(dd/mm/yyyy)", ""));
    if (!ultimo.isValid()) ultimo = hoy.addDays(-2);
    return ultimo <= hoy.addDays(-intervalo);
}

void MantenimientoInicial(const QDate& hoy) {
    LeoRutas();
    if (BackUpPendiente(hoy)) {
        if (interlocutor.aviso) interlocutor.aviso(true);
        HagoBackUp(hoy);
        if (interlocutor.aviso) interlocutor.aviso(false);
    }
    if (LeoLocal("Varios", "Admin", "False").compare("TRUE", Qt::CaseInsensitive) == 0 &&
        Pregunto(QString::fromUtf8("Ingresa a Módulo de Base de Datos")) && interlocutor.abroPantalla)
        interlocutor.abroPantalla();
}

} // namespace Mantenimiento
