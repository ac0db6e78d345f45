#include "core/Basedatos.h"

#include "core/Archivos.h"
#include "core/Contexto.h"
#include "core/Contrasenas.h"
#include "core/Motor.h"
#include "core/Progreso.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "schema/Actualizacion.h"
#include "schema/Esquema.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

namespace {

const char* const NombreConexion = "partidex";
const char* const ConexionPerdidaTexto = "se perdió la conexión con el servidor de base de datos";
QString ultimoError;
// Why the shared connection, lost, could not be opened again (empty: it was not tried, or it worked).
QString motivoPerdida;
// The books AbroBase was last given.
QString direccionAbierta;

QString Mensaje(const QString& ruta, const QString& motivo) {
    return QString("No se puede abrir la base de datos %1: %2").arg(QDir::toNativeSeparators(ruta), motivo);
}

} // namespace

QString TextoError(const QSqlError& e) {
    QString t = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    // A server's text: its severity word, then the message; the context lines and code follow.
    if (t.startsWith(QLatin1String("ERROR:")) || t.startsWith(QLatin1String("FATAL:")))
        t = t.mid(6).section('\n', 0, 0).trimmed();
    struct Traduccion {
        const char* ingles;
        const char* espanol;
    };
    static const Traduccion tabla[] = {
        {"database or disk is full", "el disco está lleno; libere espacio e intente nuevamente"},
        {"disk I/O error", "falló la lectura o escritura del disco"},
        {"FOREIGN KEY constraint failed", "el registro está relacionado con otros datos"},
        {"UNIQUE constraint failed", "ya existe un registro con esa clave"},
        {"NOT NULL constraint failed", "falta un dato obligatorio"},
        {"CHECK constraint failed", "un dato está fuera de los valores permitidos"},
        {"database is locked", "la base de datos está bloqueada por otro usuario"},
        {"file is not a database", "el archivo no es una base de datos"},
        {"unable to open database file", "no se puede abrir el archivo"},
        {"attempt to write a readonly database", "la base de datos es de sólo lectura"},
        // The same faults in a database server's words.
        {"violates foreign key constraint", "el registro está relacionado con otros datos"},
        {"duplicate key value violates unique constraint", "ya existe un registro con esa clave"},
        {"violates not-null constraint", "falta un dato obligatorio"},
        {"violates check constraint", "un dato está fuera de los valores permitidos"},
        {"lock timeout", "la base de datos está bloqueada por otro usuario"},
        {"read-only transaction", "la base de datos es de sólo lectura"},
        {"server closed the connection", ConexionPerdidaTexto},
        {"terminating connection", ConexionPerdidaTexto},
        {"no connection to the server", ConexionPerdidaTexto},
        {"permission denied", "el servidor no lo permite a este usuario"},
        {"row-level security", "el servidor no lo permite: el ejercicio está cerrado"},
        {"password authentication failed", "el servidor rechazó el usuario o la contraseña"},
        {"could not connect to server", "no se pudo conectar con el servidor de base de datos"},
        {"connection to server", "no se pudo conectar con el servidor de base de datos"},
    };
    for (const auto& tr : tabla)
        if (t.contains(QLatin1String(tr.ingles))) return QString::fromUtf8(tr.espanol) + " (" + t + ")";
    return t;
}

QString UltimoError() {
    return ultimoError;
}

bool ConfiguroConexion(QSqlDatabase& db, QString* error) {
    return MotorDe(db).almacen.Configuro(db, error);
}

namespace {

bool ConCompaneros(const QString& ruta) {
    for (const QString& sufijo : MotorDeRuta(ruta).almacen.Companeros(false))
        if (QFileInfo::exists(ruta + sufijo)) return true;
    return false;
}

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
    // Read only: the engine reads without leaving a trace (see AlmacenMotor::Agrego); otherwise a plain
    // connection, for a scratch copy of the file.
    bool Abro(const QString& ruta, bool soloLectura, QString* error) {
        QSqlDatabase db = MotorDeRuta(ruta).almacen.Agrego(nombre, ruta, soloLectura);
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

// The copy of the file and its companions that a scratch folder holds for the examination.
bool CopioConjunto(const QString& ruta, const QString& carpeta, QString* copia, QString* error) {
    *copia = QDir(carpeta).filePath("examen.db");
    if (!QFile::copy(ruta, *copia)) {
        *error = "no se pudo leer el archivo";
        return false;
    }
    for (const QString& sufijo : MotorDeRuta(ruta).almacen.Companeros(true)) {
        if (QFileInfo::exists(ruta + sufijo) && !QFile::copy(ruta + sufijo, *copia + sufijo)) {
            *error = "no se pudo leer el archivo " + QDir::toNativeSeparators(ruta + sufijo);
            return false;
        }
    }
    return true;
}

// The end of an examination of a database of this program: every table of its schema version is
// there, and the version is the current one or an older one to upgrade.
Diagnostico ConTablas(Diagnostico d, const QStringList& tablas, Qt::CaseSensitivity mayusculas,
                      const QString& ruta) {
    QStringList faltan;
    for (const QString& t : Esquema::TablasDeVersion(d.version))
        if (!tablas.contains(t, mayusculas)) faltan << t;
    if (!faltan.isEmpty()) {
        d.detalle = faltan.join(", ");
        d.estado = EstadoBase::Incompleta;
        d.explicacion =
            Mensaje(ruta, "la base de datos está incompleta: " +
                              QString(faltan.size() > 1 ? "le faltan las tablas " : "le falta la tabla ") +
                              d.detalle);
        return d;
    }
    d.estado = d.version < Esquema::Version ? EstadoBase::Anterior : EstadoBase::Partidex;
    if (d.estado == EstadoBase::Anterior)
        d.explicacion = Mensaje(ruta, "la base de datos es de una versión anterior del programa");
    return d;
}

// What a server database holds, read on a read-only connection: nothing at all (a new, empty
// database, to be made), another program's tables, or Partidex's books of some version.
Diagnostico ExaminoServidor(const QString& ruta, Examen profundidad, Progreso* progreso) {
    Diagnostico d;
    auto resultado = [&](EstadoBase e, const QString& m) {
        d.estado = e;
        d.explicacion = Mensaje(ruta, m);
        return d;
    };
    const Motor& motor = MotorDeRuta(ruta);
    ConexionExamen c;
    QString falla;
    if (!c.Abro(ruta, true, &falla)) {
        d.detalle = falla;
        return resultado(EstadoBase::SinPermiso, "no se pudo conectar con el servidor (" + falla + ")");
    }
    QSqlDatabase db = c.Base();
    bool ok = false;
    const QStringList tablas = motor.catalogo.Tablas(db, &ok);
    const qint64 marca = ok ? motor.catalogo.IdAplicacion(db) : -1;
    d.version = ok ? motor.catalogo.VersionEsquema(db) : -1;
    if (!ok || marca < 0 || d.version < 0) {
        d.detalle = TextoError(db.lastError());
        return resultado(EstadoBase::SinPermiso, "no se pudo leer la base de datos (" + d.detalle + ")");
    }
    if (marca != Esquema::IdAplicacion)
        return tablas.isEmpty()
                   ? resultado(EstadoBase::NoExiste, "la base de datos está vacía")
                   : resultado(EstadoBase::Ajena, "el archivo no es una base de datos de Partidex");
    QString detalle;
    if (profundidad == Examen::Completo && !motor.almacen.Integridad(db, true, &detalle, progreso)) {
        d.detalle = detalle;
        return resultado(EstadoBase::Danada, "la base de datos está dañada (" + d.detalle + ")");
    }
    if (d.version > Esquema::Version)
        return resultado(EstadoBase::Posterior,
                         QString("la base de datos es de una versión más nueva del programa (estructura %1; "
                                 "este programa usa la %2). Use la versión del programa que la creó")
                             .arg(d.version)
                             .arg(Esquema::Version));
    return ConTablas(d, tablas, Qt::CaseInsensitive, ruta);
}

// The schema, its fixed rows, the program mark and the version, on an open connection inside the
// caller's transaction.
bool EscriboEsquema(QSqlDatabase& db, const Motor& motor, QString* falla) {
    QSqlQuery q(db);
    const QStringList todas = motor.dialecto.Preparativos() + Esquema::Definicion() +
                              motor.dialecto.SumasMensuales() +
                              Esquema::FilasFijas(HashContrasena(Esquema::ContrasenaInicial));
    for (const QString& s : todas) {
        if (!q.exec(motor.dialecto.Ddl(s))) {
            *falla = TextoError(q.lastError()) + " [" + s.left(60) + "]";
            return false;
        }
    }
    if (!motor.catalogo.FijoIdAplicacion(db, Esquema::IdAplicacion) ||
        !motor.catalogo.FijoVersionEsquema(db, Esquema::Version)) {
        *falla = TextoError(db.lastError());
        return false;
    }
    // Where a server enforces who may do what, its roles; the first user logs in there with the
    // first password.
    return motor.almacen.PreparoPermisos(db, falla) &&
           motor.almacen.ClaveDeCuenta(db, Esquema::UsuarioInicial, Esquema::ContrasenaInicial, falla);
}

// A new set of books in an empty server database, in one transaction: either all of it or nothing.
bool CreoEnServidor(const QString& ruta, QString* error) {
    const QString nombre = "creacion-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    const Motor& motor = MotorDeRuta(ruta);
    bool ok = false;
    QString falla;
    {
        QSqlDatabase db = motor.almacen.Agrego(nombre, ruta, false);
        if (!db.open()) {
            falla = TextoError(db.lastError());
        } else {
            ok = ConfiguroConexion(db, &falla);
            QSqlQuery q(db);
            if (ok && !q.exec(motor.dialecto.InicioEscritura())) {
                ok = false;
                falla = TextoError(q.lastError());
            }
            // Looked at under the write lock: another workstation may be making it at this moment.
            if (ok && !motor.catalogo.Tablas(db).isEmpty()) {
                ok = false;
                falla = "la base de datos " + ruta + " no está vacía";
            }
            ok = ok && EscriboEsquema(db, motor, &falla);
            if (ok && !q.exec("COMMIT")) {
                ok = false;
                falla = TextoError(q.lastError());
            }
            if (!ok) q.exec("ROLLBACK");
            if (ok) q.exec("ANALYZE");
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(nombre);
    if (!ok && error) *error = "No se pudo crear la base de datos: " + falla;
    return ok;
}

} // namespace

Diagnostico ExaminoBase(const QString& ruta, Examen profundidad, bool paraLeer, Progreso* progreso) {
    if (!MotorDeRuta(ruta).almacen.ExamenPrevio()) return ExaminoServidor(ruta, profundidad, progreso);
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
    for (const QString& sufijo : MotorDeRuta(ruta).almacen.Companeros(false)) {
        const QString c = ClaseNoComun(ruta + sufijo);
        if (!c.isEmpty())
            return resultado(EstadoBase::NoEsArchivo,
                             "junto a ella, " + RutaVisible(ruta + sufijo) + " no es un archivo sino " + c);
    }
    const QFileInfo fi(ruta);
    if (!fi.isReadable() || (!paraLeer && !fi.isWritable()))
        return resultado(EstadoBase::SinPermiso, "no tiene permiso de lectura y escritura sobre el archivo");
    const Motor& motor = MotorDeRuta(ruta);
    const AlmacenMotor::Cabecera cabecera = motor.almacen.LeoCabecera(ruta);
    if (!cabecera.legible)
        return resultado(EstadoBase::SinPermiso, "no tiene permiso de lectura sobre el archivo");
    if (cabecera.idAplicacion != Esquema::IdAplicacion)
        return resultado(EstadoBase::Ajena, "el archivo no es una base de datos de Partidex");
    if (!cabecera.delMotor) {
        d.detalle = "la cabecera del archivo está dañada";
        return resultado(EstadoBase::Danada, "la base de datos está dañada (" + d.detalle + ")");
    }

    // Read-only without leaving a trace: a file without companions is read as immutable (no lock, no
    // log, no index file made); a file in use by another instance is read as that instance's
    // neighbour; a file whose companions hold changes (a program that ended without closing) is
    // examined through a copy, so that replaying its log touches nothing here.
    QTemporaryDir carpeta;
    QString examinada = ruta, falla;
    bool soloLectura = true;
    if (ConCompaneros(ruta) && !BaseEnUso(ruta)) {
        if (!carpeta.isValid() || !CopioConjunto(ruta, carpeta.path(), &examinada, &falla))
            return resultado(EstadoBase::SinPermiso, falla.isEmpty() ? "no se pudo examinar" : falla);
        soloLectura = false;
    }
    ConexionExamen c;
    if (!c.Abro(examinada, soloLectura, &falla)) {
        d.detalle = falla;
        return resultado(EstadoBase::Danada, "la base de datos está dañada (" + falla + ")");
    }
    QSqlDatabase db = c.Base();
    d.version = motor.catalogo.VersionEsquema(db);
    bool ok = d.version >= 0;
    const QStringList tablas = ok ? motor.catalogo.Tablas(db, &ok) : QStringList();
    QString detalle;
    if (!ok || (profundidad == Examen::Completo && !motor.almacen.Integridad(db, false, &detalle, progreso))) {
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
    return ConTablas(d, tablas, Qt::CaseSensitive, ruta);
}

bool VerificoIntegridad(const QString& ruta, QString* detalle, bool completa, Progreso* progreso) {
    if (MotorDeRuta(ruta).almacen.Falta(ruta)) {
        *detalle = "no existe el archivo " + QDir::toNativeSeparators(ruta);
        return false;
    }
    ConexionExamen c;
    if (!c.Abro(ruta, true, detalle)) return false;
    QSqlDatabase db = c.Base();
    return MotorDeRuta(ruta).almacen.Integridad(db, completa, detalle, progreso);
}

EstadoBase ExaminoBase(const QString& ruta, QString* explicacion) {
    const Diagnostico d = ExaminoBase(ruta, Examen::Completo);
    if (explicacion) *explicacion = d.explicacion;
    return d.estado;
}

bool CreoBase(const QString& ruta, QString* error) {
    if (!MotorDeRuta(ruta).almacen.CreaArchivo()) return CreoEnServidor(ruta, error);
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
    BorroRestos(ruta, ".nueva-");
    const QString temporal = ruta + ".nueva-" + QUuid::createUuid().toString(QUuid::Id128).left(8);
    const QString nombre = "creacion-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    // Read and written by its owner alone (and the group that shares the folder): the file's
    // permission is what guards the books.
    QString falla;
    bool ok = CreoArchivoPrivado(temporal, true, &falla);
    if (ok) {
        const Motor& motor = MotorDeRuta(ruta);
        QSqlDatabase db = motor.almacen.Agrego(nombre, temporal, false);
        ok = false;
        if (!db.open()) {
            falla = TextoError(db.lastError());
        } else {
            ok = ConfiguroConexion(db, &falla);
            QSqlQuery q(db);
            ok = ok && motor.almacen.Compartida(db, false, &falla);
            ok = ok && q.exec("BEGIN");
            ok = ok && EscriboEsquema(db, motor, &falla);
            ok = ok && q.exec("COMMIT");
            ok = ok && q.exec("ANALYZE");
            ok = ok && motor.almacen.Compartida(db, true, &falla);
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

namespace {

// SumasMensuales filled from the lines already in the books, one month of one year at a time, so that
// each statement sorts a month's lines only and the progress tells how far it has gone.
bool LlenoSumasMensuales(QSqlDatabase& db, const Motor& motor, Progreso* progreso, QString* falla) {
    struct Tramo {
        QVariant empresa, ejercicio;
        QDate desde, hasta;
    };
    QList<Tramo> tramos;
    qint64 meses = 0;
    QSqlQuery q(db);
    if (!q.exec("SELECT EmpresaPropia, NumEjercicio, MIN(Fecha), MAX(Fecha) FROM Asientos WHERE Fecha IS NOT NULL "
                "GROUP BY EmpresaPropia, NumEjercicio")) {
        *falla = TextoError(q.lastError());
        return false;
    }
    while (q.next()) {
        const QDate desde = FechaDeBase(q.value(2)), hasta = FechaDeBase(q.value(3));
        if (!desde.isValid() || !hasta.isValid()) continue;
        const Tramo t{q.value(0), q.value(1), QDate(desde.year(), desde.month(), 1), hasta};
        meses += (hasta.year() - t.desde.year()) * 12 + hasta.month() - t.desde.month() + 1;
        tramos << t;
    }
    q.finish();
    // An entry whose date the engine does not read as one would be left out of every month.
    if (!q.exec("SELECT COUNT(*) FROM Asientos WHERE Fecha IS NOT NULL") || !q.next()) {
        *falla = TextoError(q.lastError());
        return false;
    }
    const qint64 fechados = q.value(0).toLongLong();
    q.finish();
    if (!Etapa(progreso, "Sumando los importes de cada cuenta por mes", meses)) {
        *falla = TextoCancelado;
        return false;
    }
    const QString sql = "INSERT INTO SumasMensuales (EmpresaPropia, NumEjercicio, Mes, Cuenta, Debe, Haber, Debitos, "
                        "Creditos) " +
                        motor.dialecto.SumasDeLineas(
                            "A.EmpresaPropia = ? AND A.NumEjercicio = ? AND A.Fecha >= ? AND A.Fecha < ?");
    qint64 hechos = 0, cubiertos = 0;
    for (const Tramo& t : tramos) {
        for (QDate mes = t.desde; mes <= t.hasta; mes = mes.addMonths(1)) {
            QSqlQuery i(db);
            i.prepare(sql);
            for (const QVariant& v : {t.empresa, t.ejercicio, FechaSql(mes), FechaSql(mes.addMonths(1))})
                i.addBindValue(v);
            if (!i.exec()) {
                *falla = TextoError(i.lastError());
                return false;
            }
            if (!Avance(progreso, ++hechos)) {
                *falla = TextoCancelado;
                return false;
            }
        }
        QSqlQuery c(db);
        c.prepare("SELECT COUNT(*) FROM Asientos WHERE EmpresaPropia = ? AND NumEjercicio = ? AND Fecha >= ? AND "
                  "Fecha < ?");
        for (const QVariant& v : {t.empresa, t.ejercicio, FechaSql(t.desde), FechaSql(t.hasta.addDays(1))})
            c.addBindValue(v);
        if (!c.exec() || !c.next()) {
            *falla = TextoError(c.lastError());
            return false;
        }
        cubiertos += c.value(0).toLongLong();
    }
    if (cubiertos != fechados) {
        *falla = QString("hay %1 asientos con una fecha que no se puede leer").arg(fechados - cubiertos);
        return false;
    }
    return true;
}

} // namespace

bool ActualizoBase(const QString& ruta, QString* error, Progreso* progreso) {
    const QString nombre = "actualizacion-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    QString falla;
    {
        const Motor& motor = MotorDeRuta(ruta);
        QSqlDatabase db = motor.almacen.Agrego(nombre, ruta, false);
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
            ejecuto(motor.dialecto.InicioEscritura());
            // Read inside the transaction: another instance may have upgraded it meanwhile.
            const int version = ok ? motor.catalogo.VersionEsquema(db) : -1;
            ok = ok && version >= 0;
            const QList<Esquema::Paso> pasos = ok ? Esquema::PasosDesde(version) : QList<Esquema::Paso>();
            for (const Esquema::Paso& p : pasos) {
                if (ok && !Etapa(progreso, QString("Actualizando la estructura de la base de datos a la versión %1")
                                               .arg(p.version))) {
                    ok = false;
                    falla = TextoCancelado;
                }
                for (const QString& sql : p.sentencias)
                    ejecuto(motor.dialecto.Ddl(sql));
                if (p.delMotor)
                    for (const QString& sql : p.delMotor(motor.dialecto))
                        ejecuto(sql);
                if (ok && p.llenoSumas) ok = LlenoSumasMensuales(db, motor, progreso, &falla);
            }
            if (ok && version < Esquema::Version &&
                !motor.catalogo.FijoVersionEsquema(db, Esquema::Version)) {
                ok = false;
                falla = TextoError(db.lastError());
            }
            // The server's roles follow the schema (and are made for books older than them).
            ok = ok && motor.almacen.PreparoPermisos(db, &falla);
            // Past this point it is written: the request to stop is no longer taken.
            if (ok && progreso) progreso->SinCancelar();
            ejecuto("COMMIT");
            if (!ok) q.exec("ROLLBACK");
            // The planner's statistics cover the new indexes.
            if (ok) Etapa(progreso, "Reuniendo las estadísticas de la base de datos");
            ejecuto("ANALYZE");
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(nombre);
    if (!ok && error) *error = "No se pudo actualizar la estructura de la base de datos: " + falla;
    return ok;
}

bool AccesoDelUsuario(const QString& ruta) {
    return MotorDeRuta(ruta).almacen.AccesoDelUsuario(ruta);
}

AccesoServidor AccedoAlServidor(const QString& ruta, const QString& usuario, const QString& contrasena,
                         QString* error) {
    AlmacenMotor& almacen = MotorDeRuta(ruta).almacen;
    almacen.AccedoComo(usuario, contrasena);
    const QString nombre = "acceso-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString texto;
    bool ok = false;
    {
        QSqlDatabase db = almacen.Agrego(nombre, ruta, true);
        ok = db.open();
        if (!ok) texto = db.lastError().databaseText() + " " + db.lastError().driverText();
        if (!ok && error) *error = TextoError(db.lastError());
        db.close();
    }
    QSqlDatabase::removeDatabase(nombre);
    if (ok) return AccesoServidor::Admitido;
    almacen.AccedoComo(QString(), QString());
    // The server's words for a login it does not know or does not let in.
    if (texto.contains(QLatin1String("role \"")) && texto.contains(QLatin1String("does not exist")))
        return AccesoServidor::Rechazado;
    for (const char* rechazo : {"authentication failed", "not permitted to log in", "no password supplied",
                                "permission denied for database"})
        if (texto.contains(QLatin1String(rechazo))) return AccesoServidor::Rechazado;
    return AccesoServidor::SinServidor;
}

bool AbroBase(const QString& ruta, QString* error) {
    CierroBase();
    motivoPerdida.clear();
    direccionAbierta = ruta;
    const Motor& motor = MotorDeRuta(ruta);
    // Books being restored or compacted are not examined halfway through: the start waits for them
    // (and the mark below refuses, should one begin meanwhile).
    if (!motor.almacen.EsperoFinMantenimiento(ruta)) {
        if (error) *error = Mensaje(ruta, QString::fromUtf8(EnMantenimientoTexto));
        return false;
    }
    const Diagnostico d = ExaminoBase(ruta, Examen::Rapido);
    if (d.estado != EstadoBase::Partidex) {
        if (error) *error = d.explicacion;
        return false;
    }
    QSqlDatabase db = motor.almacen.Agrego(NombreConexion, ruta, false);
    QString falla;
    bool ok = db.open();
    if (!ok) falla = TextoError(db.lastError());
    ok = ok && ConfiguroConexion(db, &falla);
    ok = ok && motor.almacen.Compartida(db, true, &falla);
    // Without the mark a restore could replace the books under this connection.
    ok = ok && motor.almacen.MarcoEnUso(ruta, &falla);
    // A book grown since its planner's figures were gathered is read as it is now.
    if (ok) motor.almacen.RenuevoEstadisticas(db, AlmacenMotor::FilasAlAbrir);
    if (!ok) {
        if (error) *error = Mensaje(ruta, falla);
        CierroBase();
    }
    return ok;
}

void CierroBase() {
    AlmacenMotor& almacen = MotorActual().almacen;
    if (QSqlDatabase::contains(NombreConexion)) {
        {
            QSqlDatabase db = QSqlDatabase::database(NombreConexion, false);
            if (db.isOpen()) db.close();
        }
        QSqlDatabase::removeDatabase(NombreConexion);
    }
    almacen.LiberoUso();
}

QString DireccionAbierta() {
    return direccionAbierta;
}

bool BaseAbierta() {
    return QSqlDatabase::contains(NombreConexion) && QSqlDatabase::database(NombreConexion, false).isOpen();
}

QSqlDatabase Conexion() {
    return QSqlDatabase::database(NombreConexion, false);
}

bool BaseEnUso(const QString& ruta) {
    return MotorDeRuta(ruta).almacen.EnUso(ruta);
}

namespace {
bool Preparo(QSqlQuery& q, const Motor& motor, const QString& sql, const QVariantList& parametros,
             bool adelante = false) {
    // Read forward only where rows may be read while other statements run; otherwise the rows are
    // fetched whole, so that a loop over them may run statements of its own.
    q.setForwardOnly(adelante || motor.dialecto.LecturaIntercalada());
    // Without values the statement runs as it stands: a server prepares only queries and changes of
    // rows, not the definitions, transaction commands and settings the program also sends.
    if (parametros.isEmpty()) return q.exec(sql);
    if (!q.prepare(sql)) return false;
    for (int i = 0; i < parametros.size(); ++i)
        q.bindValue(i, motor.dialecto.Guardable(parametros[i]));
    return q.exec();
}
} // namespace

bool ConexionPerdida() {
    const QSqlDatabase db = Conexion();
    return db.isValid() && !db.isOpen() && MotorDe(db).almacen.SeReconecta();
}

bool ReconectoSiSePerdio(const QSqlError& e) {
    static const char* const perdida[] = {"server closed the connection", "terminating connection",
                                          "no connection to the server", "connection to server was lost"};
    const QString t = e.databaseText() + " " + e.driverText();
    bool es = ConexionPerdida();
    for (const char* p : perdida)
        es = es || t.contains(QLatin1String(p));
    QSqlDatabase db = Conexion();
    if (!es || !db.isValid() || !MotorDe(db).almacen.SeReconecta()) return false;
    // A new connection with the same settings, prepared as the first one was, on the same books: one
    // that finds them restored meanwhile stays closed, and says why.
    db.close();
    if (!db.open() || !ConfiguroConexion(db)) return false;
    if (!MotorDe(db).almacen.MarcoEnUso(direccionAbierta, &motivoPerdida)) {
        db.close();
        return false;
    }
    motivoPerdida.clear();
    return true;
}

BaseExclusiva::BaseExclusiva(const QString& ruta) : almacen(&MotorDeRuta(ruta).almacen) {
    tomada = almacen->TomoExclusivo(ruta, &textoError);
}

BaseExclusiva::~BaseExclusiva() {
    if (tomada) almacen->LiberoExclusivo();
}

namespace {
// Runs a statement on the shared connection. Outside a transaction a statement lost with the
// connection runs again on a new one; inside one the whole transaction is lost on the server and the
// failure is reported (nothing is sent on a connection the driver has closed).
bool EjecutoEnConexion(QSqlQuery& q, const QString& sql, const QVariantList& parametros, QString* error) {
    q = QSqlQuery(Conexion());
    bool ok = !ConexionPerdida() && Preparo(q, MotorActual(), sql, parametros);
    if (!ok && Transaccion::Profundidad() == 0 && ReconectoSiSePerdio(q.lastError())) {
        q = QSqlQuery(Conexion());
        ok = Preparo(q, MotorActual(), sql, parametros);
    }
    if (ok) {
        ultimoError.clear();
        return true;
    }
    // The driver that closed a lost connection leaves no text of its own.
    *error = !motivoPerdida.isEmpty() && ConexionPerdida() ? motivoPerdida
             : q.lastError().type() == QSqlError::NoError && ConexionPerdida()
                 ? QString::fromUtf8(ConexionPerdidaTexto)
                 : TextoError(q.lastError());
    ultimoError = *error;
    return false;
}
} // namespace

Resultado Ejecuto(const QString& sql, const QVariantList& parametros) {
    Resultado r;
    QSqlQuery q;
    r.ok = EjecutoEnConexion(q, sql, parametros, &r.error);
    if (r.ok) r.filas = q.numRowsAffected();
    return r;
}

QSqlQuery Consulto(const QString& sql, const QVariantList& parametros) {
    QSqlQuery q;
    QString error;
    EjecutoEnConexion(q, sql, parametros, &error);
    return q;
}

QSqlDatabase Contexto::Base() const {
    return Compartida() ? Conexion() : QSqlDatabase::database(conexion, false);
}

namespace {
// A statement on a further connection: no reconnection (its owner opened it and closes it), and the
// error of the last statement is the shared connection's alone.
bool EjecutoEnOtra(QSqlQuery& q, const Contexto& ctx, const QString& sql, const QVariantList& parametros,
                   QString* error, bool adelante = false) {
    const QSqlDatabase db = ctx.Base();
    q = QSqlQuery(db);
    if (db.isValid() && db.isOpen() && Preparo(q, MotorDe(db), sql, parametros, adelante)) return true;
    *error = db.isValid() && db.isOpen() ? TextoError(q.lastError())
                                         : QString("la conexión \"%1\" no está abierta").arg(ctx.conexion);
    return false;
}
} // namespace

Resultado Ejecuto(const Contexto& ctx, const QString& sql, const QVariantList& parametros) {
    if (ctx.Compartida()) return Ejecuto(sql, parametros);
    Resultado r;
    QSqlQuery q;
    r.ok = EjecutoEnOtra(q, ctx, sql, parametros, &r.error);
    if (r.ok) r.filas = q.numRowsAffected();
    return r;
}

QSqlQuery Consulto(const Contexto& ctx, const QString& sql, const QVariantList& parametros) {
    if (ctx.Compartida()) return Consulto(sql, parametros);
    QSqlQuery q;
    QString error;
    EjecutoEnOtra(q, ctx, sql, parametros, &error);
    return q;
}

QSqlQuery ConsultoAdelante(const Contexto& ctx, const QString& sql, const QVariantList& parametros) {
    if (ctx.Compartida()) return Consulto(sql, parametros);
    QSqlQuery q;
    QString error;
    EjecutoEnOtra(q, ctx, sql, parametros, &error, true);
    return q;
}

std::unique_ptr<Lector> LeoAdelante(const Contexto& ctx, const QString& sql, const QVariantList& parametros) {
    const QSqlDatabase db = ctx.Base();
    if (!db.isValid() || !db.isOpen())
        return std::make_unique<LectorFallido>(
            ctx.Compartida() ? QString("la conexión no está abierta")
                             : QString("la conexión \"%1\" no está abierta").arg(ctx.conexion));
    const Motor& motor = MotorDe(db);
    QVariantList valores;
    valores.reserve(parametros.size());
    for (const QVariant& v : parametros)
        valores << motor.dialecto.Guardable(v);
    // On the shared connection the rows are read forward only where other statements may run meanwhile.
    return motor.almacen.Leo(db, sql, valores, !ctx.Compartida() || motor.dialecto.LecturaIntercalada());
}

bool LecturaLargaAparte() {
    return !MotorActual().dialecto.LecturaIntercalada() && Transaccion::Profundidad() == 0;
}

bool AbroConexion(const QString& nombre, const QString& ruta, QString* error) {
    const Motor& motor = MotorDeRuta(ruta);
    const Diagnostico d = ExaminoBase(ruta, Examen::Rapido);
    if (d.estado != EstadoBase::Partidex) {
        if (error) *error = d.explicacion;
        return false;
    }
    QSqlDatabase db = motor.almacen.Agrego(nombre, ruta, false);
    QString falla;
    bool ok = db.open();
    if (!ok) falla = TextoError(db.lastError());
    ok = ok && ConfiguroConexion(db, &falla);
    if (ok) motor.almacen.RenuevoEstadisticas(db, AlmacenMotor::FilasAlAbrir);
    if (!ok) {
        if (error) *error = Mensaje(ruta, falla);
        CierroConexion(nombre);
    }
    return ok;
}

void CierroConexion(const QString& nombre) {
    if (!QSqlDatabase::contains(nombre)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(nombre, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(nombre);
}
