#include "maintenance/Mantenimiento.h"

#include "maintenance/Coherencia.h"

#include "core/Progreso.h"
#include "core/Archivos.h"
#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/Contrasenas.h"
#include "core/Ini.h"
#include "core/Motor.h"
#include "core/Soporte.h"
#include "core/Valores.h"
#include "journal/Escritura.h"
#include "journal/Historial.h"
#include "schema/Esquema.h"
#include "core/Permisos.h"
#include "security/Usuarios.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QUuid>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <future>
#include <optional>
#include <unistd.h>

namespace Mantenimiento {
namespace {

Interlocutor interlocutor;

// What a maintenance thread of its own says, kept for the thread that waits for it to say (a thread
// that is waited for cannot show a message on the screens' thread meanwhile).
thread_local QList<std::pair<QString, Aviso>>* guardados = nullptr;

void Informo(const QString& texto, Aviso icono) {
    if (guardados)
        guardados->append({texto, icono});
    else if (interlocutor.informo)
        interlocutor.informo(texto, icono);
}
bool Pregunto(const QString& texto) {
    return interlocutor.pregunto && interlocutor.pregunto(texto);
}

// A backup of start-up behind its progress window, with the notice of the automatic maintenance up
// for its length. *cancelado: it stopped because the user asked it to.
bool RespaldoConProgreso(const QString& titulo, const std::function<bool(Progreso*)>& trabajo, bool* cancelado) {
    *cancelado = false;
    if (interlocutor.aviso) interlocutor.aviso(true);
    bool ok;
    if (interlocutor.conProgreso)
        ok = interlocutor.conProgreso(titulo, [&](Progreso& p) {
            const bool hecho = trabajo(&p);
            // A request that came once the backup could no longer stop is not a stop.
            *cancelado = !hecho && p.Cancelado();
            return hecho;
        });
    else
        ok = trabajo(nullptr);
    if (interlocutor.aviso) interlocutor.aviso(false);
    return ok;
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
        QSqlDatabase db = MotorDeRuta(ruta).almacen.Agrego(nombre, ruta, soloLectura);
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
    // A context whose statements run on this connection.
    Contexto En(Contexto c) const {
        c.conexion = nombre;
        return c;
    }
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

// Who may do an operation on the books at ruta, read on a connection of its own to them (the shared
// one may be closed, or belong to another thread). A name and password must be those of an active user
// of the administrator profile; when the books cannot be read (missing or damaged), they are checked
// against the file that takes their place (alternativa), if one is given. On success *quien holds the
// user's login name (empty for the system's own context).
bool Identifico(const QString& ruta, const Solicitante& s, const QString& modulo, Accion accion,
                const QString& alternativa, QString* quien, QString* error) {
    if (s.nombre.isEmpty() && s.ctx.sistema) return true;
    ConexionArchivo c(ruta, true);
    Contexto ctx = c.En(s.ctx);
    const bool legible = c.abierta && ValorCampo(ctx, "Usuarios", "COUNT(*)", "1=1").has_value();
    if (!legible) {
        if (!s.nombre.isEmpty() && !alternativa.isEmpty() && !MotorDeRuta(alternativa).almacen.RespaldoPropio())
            return Identifico(alternativa, s, modulo, accion, QString(), quien, error);
        *error = "no se pudieron leer los usuarios de " + QDir::toNativeSeparators(ruta) +
                 (c.error.isEmpty() ? QString() : " (" + c.error + ")");
        return false;
    }
    if (!s.nombre.isEmpty()) {
        ctx.sistema = false;
        ctx.usuario = BuscoUsuario(ctx, s.nombre, s.contrasena);
        if (ctx.usuario < 0 ||
            int(NumeroOCero(ValorCampo(ctx, "Usuarios", "Perfil", "Usuario=?", {ctx.usuario}))) != PerfilAdministrador) {
            *error = QString::fromUtf8("la identificación o la contraseña no son las de un administrador activo de ") +
                     QDir::toNativeSeparators(ruta);
            return false;
        }
    }
    if (!Autorizo(ctx, modulo, accion, error)) return false;
    *quien = NuloAVacio(ValorCampo(ctx, "Usuarios", "NombreCorto", "Usuario=?", {ctx.usuario}));
    return true;
}

QString EnUso() {
    return QStringLiteral("la base de datos está abierta por otro usuario o por otra instancia del programa; "
                          "ciérrela e intente nuevamente");
}
// Why the books could not be held alone: in use, or the engine's own reason.
QString EnUso(const BaseExclusiva& e) {
    return e.error().isEmpty() ? EnUso() : e.error();
}

// Copies the whole content of the file origen into the database destino with the engine's own copy,
// under the engine's own locks. destino is rewritten in place and keeps its journal mode.
bool CopioConBackUp(const QString& origen, const QString& destino, QString* error, Progreso* progreso = nullptr) {
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
    return MotorDeRuta(destino).almacen.CopioBase(origenDb, destinoDb, error, progreso);
}

// Replaces destino with a copy of origen: copied under a scratch name and renamed over destino when
// complete, so that a failed copy never destroys the previous file. Only for files nobody has open.
// antes runs once the copy is complete, before it takes destino's place; its failure replaces nothing.
bool CopioArchivo(const QString& origen, const QString& destino, QString* error,
                  const std::function<bool(QString*)>& antes) {
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
    if (!antes(error)) {
        QFile::remove(temporal);
        return false;
    }
    if (std::rename(QFile::encodeName(temporal).constData(), QFile::encodeName(destino).constData()) != 0) {
        *error = "no se pudo reemplazar " + QDir::toNativeSeparators(destino);
        QFile::remove(temporal);
        return false;
    }
    return true;
}

// The file opens as one of the engine's databases and its schema can be read.
bool SeLeeComoBase(const QString& ruta) {
    const Motor& motor = MotorDeRuta(ruta);
    if (!motor.almacen.EsPropia(ruta)) return false;
    ConexionArchivo c(ruta, true);
    bool ok = false;
    if (c.abierta) motor.catalogo.Tablas(c.Base(), &ok);
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

QString NoCoherente(const QString& copia) {
    return "la copia de seguridad " + QDir::toNativeSeparators(copia) +
           " tiene datos incoherentes; la base actual no se modificó:\n";
}

bool BorroArchivo(const QString& ruta, QString* error) {
    if (QFileInfo::exists(ruta) && !QFile::remove(ruta)) {
        *error = "no se pudo eliminar " + QDir::toNativeSeparators(ruta);
        return false;
    }
    return BorroLogs(ruta, error);
}

} // namespace

QString FaltasDeCoherencia(const QString& ruta, Progreso* progreso) {
    ConexionArchivo c(ruta, true);
    if (!c.abierta) return "- no se pudo abrir: " + c.error;
    return DescriboIncoherencias(RevisoCoherencia(c.Base(), nullptr, progreso));
}

void FijoInterlocutor(Interlocutor i) {
    interlocutor = std::move(i);
}

Estructura CuentoEstructura(const QString& ruta) {
    Estructura e;
    const Motor& motor = MotorDeRuta(ruta);
    // Not there (opening it would create it), or not a database of the engine.
    if (!motor.almacen.EsPropia(ruta)) return e;
    ConexionArchivo c(ruta, true);
    if (!c.abierta) return e;
    bool ok = false;
    // Every index counts, those SQLite makes for composite keys included. Tables carry no creation
    // date in SQLite, so every table of the file counts.
    e.indices = int(motor.catalogo.Indices(c.Base(), &ok).size());
    if (!ok) return e;
    e.abierta = true;
    e.relaciones = int(motor.catalogo.Relaciones(c.Base(), &ok).size());
    return e;
}

namespace {
// The books' own rules, each broken one reported as a critical warning: 0 when they hold, else 1.
int ReglasDeLosLibros(const QString& ruta, Progreso* progreso) {
    // The same rules a restore asks of a backup; a book that breaks them is not copied over the
    // backup that may still be sound.
    const QString faltas = FaltasDeCoherencia(ruta, progreso);
    if (faltas.isEmpty()) return 0;
    Informo("ATENCION: la base de datos tiene datos incoherentes, avisar URGENTE a " + CorreoSoporte + ":\n" +
                faltas,
            Aviso::Error);
    return 1;
}
} // namespace

int VerificoEstructura(const QString& ruta, bool coherencia, Progreso* progreso) {
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
    if (coherencia && ReglasDeLosLibros(ruta, progreso) != 0) resultado = 1;
    return resultado;
}

namespace {

const QString NoCompacta = QStringLiteral("No se pudo compactar base de datos, ");

// The examination that every compaction and backup starts from: only a sound Partidex database (of
// this version, or of an older one about to be upgraded) is compacted or copied.
// *examen, when given, takes the diagnosis.
bool BaseSana(const QString& base, QString* motivo, Diagnostico* examen = nullptr, Progreso* progreso = nullptr) {
    const Diagnostico d = ExaminoBase(base, Examen::Completo, false, progreso);
    if (examen) *examen = d;
    if (d.estado == EstadoBase::Partidex || d.estado == EstadoBase::Anterior) return true;
    *motivo = d.explicacion;
    return false;
}

// Compaction of a database already examined: the engine's compacted copy into the scratch file, the scratch
// file checked page by page, and only then its content written back into the database. `progreso`, if
// any, is told how far the stage has gone (the shares are those of each part on a large book).
// Share of its size a book must lose to be worth writing back when only a gain justifies it.
constexpr double GananciaMinima = 0.1;

// antesDeEscribir, when given, is asked once the copy is checked: the copy is written back only if it
// says so (the books' rules, read meanwhile, hold). A copy stopped on request says nothing.
bool CompactoExaminada(const QString& base, const QString& aux, Progreso* progreso = nullptr,
                       Compactacion compactacion = Compactacion::Siempre,
                       const std::function<bool()>& antesDeEscribir = {}) {
    auto detenida = [&] { return progreso && progreso->Cancelado(); };
    // Held alone from here to the end: no instance may start and write while the compacted copy is
    // made and written back, or its work would be overwritten.
    const BaseExclusiva exclusiva(base);
    if (!exclusiva.ok()) {
        Informo(NoCompacta + EnUso(exclusiva), Aviso::Informacion);
        return false;
    }
    QString error;
    if (!BorroArchivo(aux, &error)) {
        Informo(NoCompacta + error, Aviso::Informacion);
        return false;
    }
    ConexionArchivo c(base, false);
    // Statistics first, so that the compacted copy (and the backup made from it) carries them.
    bool ok = c.abierta && c.Ejecuto("ANALYZE");
    // data_version moves whenever another connection commits a change to the file: a change made
    // after the compacted copy was taken must not be overwritten by it.
    QSqlDatabase db = c.Base();
    const Motor& motor = MotorDeRuta(base);
    const qint64 version = ok ? motor.catalogo.VersionDatos(db) : 0;
    ParteDeEtapa(progreso, 0.1, 0.25);
    ok = ok && version >= 0 && motor.almacen.CompactoEn(db, aux, &c.error, progreso);
    if (!ok) {
        if (!detenida()) Informo(NoCompacta + c.error, Aviso::Informacion);
        BorroArchivo(aux, &error);
        return false;
    }
    ParteDeEtapa(progreso, 0.25, 0.75);
    if (!VerificoIntegridad(aux, &error, true, progreso)) {
        if (!detenida())
            Informo(NoCompacta + "la copia compactada " + QDir::toNativeSeparators(aux) +
                        " no pasó la verificación de integridad (" + error + "); la base no se modificó",
                    Aviso::Informacion);
        BorroArchivo(aux, &error);
        return false;
    }
    if (antesDeEscribir && !antesDeEscribir()) {
        BorroArchivo(aux, &error);
        return false;
    }
    // Nobody could start meanwhile; a change all the same (this program's own) is never overwritten.
    if (motor.catalogo.VersionDatos(db) != version) {
        Informo(NoCompacta + EnUso(), Aviso::Informacion);
        return false;
    }
    // The compacted copy is sound and stays as the scratch file whether or not it is written back.
    if (compactacion == Compactacion::SiGana &&
        double(QFileInfo(aux).size()) > (1 - GananciaMinima) * double(QFileInfo(base).size()))
        return true;
    ParteDeEtapa(progreso, 0.75, 1);
    if (!CopioConBackUp(aux, base, &error, progreso)) {
        Informo(QStringLiteral("No se pudo completar compactación de base de datos, ") + error,
                Aviso::Informacion);
        return false;
    }
    return true;
}

// A compaction of the file that runs on a thread of its own while the books' rules are read: its
// compacted copy is made and checked meanwhile, and waits to be written back until Termino says the
// rules hold. Left without Termino (the rules failed, the user stopped), the copy is stopped where it
// is and thrown away; nothing of the book is touched.
class CompactacionParalela {
public:
    CompactacionParalela(const Rutas& rutas, Compactacion compactacion) {
        propia.Interrumpible();
        hecha = std::async(std::launch::async, [this, rutas, compactacion] {
            guardados = &dichos;
            return CompactoExaminada(rutas.base, rutas.auxiliar, &propia, compactacion,
                                     [this] { return escribo.get_future().get(); });
        });
    }
    // What the compaction said is left unsaid: its copy was not going to be written back.
    ~CompactacionParalela() {
        if (!hecha.valid()) return;
        propia.Cancelo();
        Decido(false);
        hecha.wait();
    }
    CompactacionParalela(const CompactacionParalela&) = delete;
    CompactacionParalela& operator=(const CompactacionParalela&) = delete;

    // The rules hold: the copy is written back as the compaction decides, and this waits for its end,
    // telling `progreso` how far the compaction has gone.
    bool Termino(Progreso* progreso) {
        Decido(true);
        do {
            if (progreso) progreso->Parte(std::max(0.0, propia.Total()));
        } while (hecha.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready);
        if (progreso) progreso->Parte(std::max(0.0, propia.Total()));
        const bool ok = hecha.get();
        for (const auto& [texto, icono] : dichos)
            Informo(texto, icono);
        return ok;
    }

private:
    Progreso propia;
    QList<std::pair<QString, Aviso>> dichos;
    std::promise<bool> escribo;
    bool decidido = false;
    std::future<bool> hecha; // last: its thread is waited for before the rest goes

    void Decido(bool si) {
        if (decidido) return;
        decidido = true;
        escribo.set_value(si);
    }
};

// Puts a new backup in place: copied under a scratch name beside the backup, checked there, then the
// previous backup becomes the older generation (.1) and the new one takes its name. A copy that fails
// its check replaces nothing.
// escribo writes the new backup into the scratch file it is given, verifico checks it there.
using Escritura = std::function<bool(const QString& temporal, QString* error)>;
using Verificacion = std::function<bool(const QString& temporal, QString* detalle)>;
bool InstaloRespaldo(const Escritura& escribo, const Verificacion& verifico, const QString& respaldo,
                     QString* error, bool conservoAnterior = true, Progreso* progreso = nullptr) {
    BorroRestos(respaldo, ".nuevo-");
    const QString temporal = respaldo + ".nuevo-" + QUuid::createUuid().toString(QUuid::Id128).left(8);
    // Stopped before the copy takes the backup's name: the scratch file goes, the backup stays as it was.
    // Its three stages, unless they end a longer series.
    if (progreso && progreso->Tramos() == 0) progreso->Serie(3);
    auto sigo = [&](const QString& que) {
        if (Etapa(progreso, que)) return true;
        QFile::remove(temporal);
        *error = TextoCancelado;
        return false;
    };
    if (!sigo("Escribiendo la copia de seguridad")) return false;
    if (!escribo(temporal, error)) {
        QFile::remove(temporal);
        return false;
    }
    {
        // On disk before it takes the old file's place.
        QFile copia(temporal);
        if (copia.open(QIODevice::ReadWrite)) ::fsync(copia.handle());
    }
    if (!sigo("Verificando la copia escrita")) return false;
    QString detalle;
    if (!verifico(temporal, &detalle)) {
        *error = "la copia escrita no pasó la verificación de integridad (" + detalle +
                 "); se conserva la copia anterior";
        QFile::remove(temporal);
        return false;
    }
    if (!sigo("Instalando la copia")) return false;
    if (progreso) progreso->SinCancelar();
    const QByteArray nuevo = QFile::encodeName(temporal);
    const QByteArray actual = QFile::encodeName(respaldo);
    const QByteArray anterior = QFile::encodeName(respaldo + ".1");
    if (conservoAnterior && QFileInfo::exists(respaldo) &&
        std::rename(actual.constData(), anterior.constData()) != 0) {
        *error = "no se pudo conservar la copia anterior como " + QDir::toNativeSeparators(respaldo + ".1");
        QFile::remove(temporal);
        return false;
    }
    if (std::rename(nuevo.constData(), actual.constData()) != 0) {
        *error = "no se pudo reemplazar " + QDir::toNativeSeparators(respaldo);
        QFile::remove(temporal);
        return false;
    }
    return true;
}

} // namespace

bool Compacto(const QString& base, const QString& aux) {
    const AlmacenMotor& almacen = MotorDeRuta(base).almacen;
    // Opening a missing file would create an empty database in its place.
    if (almacen.Falta(base)) {
        Informo(NoCompacta + "no existe el archivo " + QDir::toNativeSeparators(base), Aviso::Informacion);
        return false;
    }
    QString motivo;
    if (!BaseSana(base, &motivo)) {
        Informo(NoCompacta + motivo, Aviso::Informacion);
        return false;
    }
    if (!almacen.CompactaEnSitio()) return CompactoExaminada(base, aux);
    // As with a compacted copy: maintenance waits until no workstation has the books open, and none
    // starts while it runs.
    const BaseExclusiva exclusiva(base);
    if (!exclusiva.ok()) {
        Informo(NoCompacta + EnUso(exclusiva), Aviso::Informacion);
        return false;
    }
    ConexionArchivo c(base, false);
    QSqlDatabase db = c.Base();
    if (!c.abierta || !almacen.CompactoEnSitio(db, &c.error)) {
        Informo(NoCompacta + c.error, Aviso::Informacion);
        return false;
    }
    return true;
}

bool HagoBackUp(const Rutas& rutas, const QDate& hoy, int estructura, Progreso* progreso, Diagnostico* examen,
                Compactacion compactacion) {
    const QString noPuede = QStringLiteral("No se puede compactar / hacer back up: ");
    QString motivo;
    // Every stage reads the whole book once or so: the series says how far the backup has gone.
    Serie(progreso, estructura < 0 ? 6 : 5);
    if (!Etapa(progreso, "Examinando la base de datos")) return false;
    {
        Ocupado ocupado;
        if (!BaseSana(rutas.base, &motivo, examen, progreso)) {
            if (!examen) Informo(noPuede + motivo, Aviso::Informacion);
            return false;
        }
    }
    const Motor& motor = MotorDeRuta(rutas.base);
    // The file's compacted copy and the books' rules each read the whole book: the copy is made and
    // checked while the rules are read, and written back (if at all) only once they hold.
    std::optional<CompactacionParalela> paralela;
    // Reading the books' rules takes time with their size: a stage of its own, which may be stopped.
    if (estructura < 0) {
        if (!Etapa(progreso, "Revisando la coherencia de los libros")) return false;
        estructura = VerificoEstructura(rutas.base, false, progreso);
        if (estructura == 0) {
            if (!motor.almacen.RespaldoPropio()) paralela.emplace(rutas, compactacion);
            estructura = ReglasDeLosLibros(rutas.base, progreso);
        }
    }
    if (estructura != 0) {
        Informo(noPuede + "la cantidad de índices o de relaciones de la base de datos " +
                    QDir::toNativeSeparators(rutas.base) +
                    " no es la esperada; la copia de seguridad anterior se conserva",
                Aviso::Informacion);
        return false;
    }
    Ocupado ocupado;
    QString error;
    Escritura escribo;
    Verificacion verifico;
    // The compaction, once begun, goes to its end: it is asked whether to stop only before it.
    if (!Etapa(progreso, "Compactando la base de datos")) return false;
    if (!motor.almacen.RespaldoPropio()) {
        if (paralela ? !paralela->Termino(progreso)
                     : !CompactoExaminada(rutas.base, rutas.auxiliar, progreso, compactacion))
            return false;
        escribo = [&](const QString& temporal, QString* falla) {
            if (QFile::copy(rutas.auxiliar, temporal)) return true;
            *falla = !QFileInfo::exists(rutas.auxiliar)
                         ? "no existe el archivo " + QDir::toNativeSeparators(rutas.auxiliar)
                         : "no se pudo escribir " + QDir::toNativeSeparators(temporal);
            return false;
        };
        // A byte copy of the compacted file, which passed the full check: the quick one finds a bad copy.
        verifico = [progreso](const QString& temporal, QString* detalle) {
            return VerificoIntegridad(temporal, detalle, false, progreso);
        };
    } else {
        // A server database is compacted where it is and written out by the server's own backup,
        // a consistent snapshot even while other workstations go on working.
        if (!Compacto(rutas.base, rutas.auxiliar)) return false;
        escribo = [&](const QString& temporal, QString* falla) {
            return motor.almacen.RespaldoEn(rutas.base, temporal, falla);
        };
        verifico = [&](const QString& temporal, QString* detalle) {
            return motor.almacen.RespaldoLegible(temporal, detalle);
        };
    }
    if (!InstaloRespaldo(escribo, verifico, rutas.respaldo, &error, true, progreso)) {
        if (progreso && progreso->Cancelado()) return false; // stopped: the last backup stays, nothing to say
        Informo("No se pudo terminar BackUp base de datos, " + error, Aviso::Ninguno);
        return false;
    }
    EscriboGlobal(SeccionMantenimiento, "UltimoBackUp(dd/mm/yyyy)", FechaATexto(hoy));
    return true;
}

bool MismoArchivo(const QString& a, const QString& b) {
    const QFileInfo x(a), y(b);
    if (x.exists() && y.exists()) return x.canonicalFilePath() == y.canonicalFilePath();
    return QDir::cleanPath(x.absoluteFilePath()) == QDir::cleanPath(y.absoluteFilePath());
}

bool CopioEnArchivo(const Contexto& quien, const Rutas& rutas, const QString& archivo, const QDate& hoy,
                    QString* error, Progreso* progreso) {
    QString nombre;
    if (!Identifico(rutas.base, {quien, {}, {}}, Permisos::CopiaSeguridad, Accion::Leer, QString(), &nombre, error))
        return false;
    if (archivo.trimmed().isEmpty() || QFileInfo(archivo).isDir()) {
        *error = "elija el nombre del archivo de la copia";
        return false;
    }
    // The books themselves, or a file the engine keeps beside them, are never written over.
    const Motor& motor = MotorDeRuta(rutas.base);
    for (const QString& sufijo : QStringList{QString()} + motor.almacen.Companeros(false))
        if (MismoArchivo(archivo, rutas.base + sufijo)) {
            *error = "la copia no puede escribirse sobre la base de datos " + QDir::toNativeSeparators(rutas.base);
            return false;
        }
    Escritura escribo;
    Verificacion verifico;
    if (motor.almacen.RespaldoPropio()) {
        // The server's own backup: one snapshot, while every workstation goes on working.
        escribo = [&](const QString& temporal, QString* falla) {
            return motor.almacen.RespaldoEn(rutas.base, temporal, falla);
        };
        verifico = [&](const QString& temporal, QString* detalle) {
            return motor.almacen.RespaldoLegible(temporal, detalle);
        };
    } else {
        // A compacted copy made over a connection of its own: one consistent snapshot of the books,
        // taken while this program and the other instances keep them open.
        escribo = [&](const QString& temporal, QString* falla) {
            ConexionArchivo c(rutas.base, true);
            QSqlDatabase db = c.Base();
            if (c.abierta && motor.almacen.CompactoEn(db, temporal, &c.error, progreso)) return true;
            *falla = c.error;
            return false;
        };
        verifico = [progreso](const QString& temporal, QString* detalle) {
            return VerificoIntegridad(temporal, detalle, true, progreso);
        };
    }
    // The backup the schedule keeps is the scheduled backup: its previous generation stays, and the
    // schedule counts from today.
    const bool programada = MismoArchivo(archivo, rutas.respaldo);
    if (!InstaloRespaldo(escribo, verifico, archivo, error, programada, progreso)) return false;
    if (programada) EscriboGlobal(SeccionMantenimiento, "UltimoBackUp(dd/mm/yyyy)", FechaATexto(hoy));
    return true;
}

namespace {
bool Restauro(const Rutas& rutas, const std::function<bool()>& alEmpezar, Progreso* progreso);
}

bool RecuperoBackUp(const Rutas& rutas, const Solicitante& quien, const std::function<bool()>& alEmpezar,
                    Progreso* progreso) {
    QString nombre, error;
    if (!Identifico(rutas.base, quien, Permisos::Recuperacion, Accion::Eliminar, rutas.respaldo, &nombre, &error)) {
        Informo(QString::fromUtf8("No se pudo hacer la recuperación de la base de datos, ") + error, Aviso::Ninguno);
        return false;
    }
    if (!Restauro(rutas, alEmpezar, progreso)) return false;
    // The restored books keep the record of who put them there. Their user of that name, if they have
    // one, is the one recorded; the name is in the words either way.
    ConexionArchivo c(rutas.base, false);
    if (c.abierta) {
        Contexto ctx = c.En(Contexto::DelSistema());
        if (!nombre.isEmpty())
            ctx.usuario = int(NumeroOCero(ValorCampo(ctx, "Usuarios", "Usuario", "NombreCorto=?", {nombre})));
        RegistroEvento(ctx, int(TipoCambio::Recuperacion),
                       QString::fromUtf8("recuperación desde %1 por %2")
                           .arg(QDir::toNativeSeparators(rutas.respaldo),
                                nombre.isEmpty() ? QStringLiteral("el sistema") : nombre));
    }
    return true;
}

namespace {
bool Restauro(const Rutas& rutas, const std::function<bool()>& alEmpezar, Progreso* progreso) {
    if (!Pregunto(QString::fromUtf8("La recuperación de la Base implica sobreescribir la base actual ") +
                  rutas.base + " con " + rutas.respaldo +
                  QString::fromUtf8(". Está Ud. seguro de continuar")))
        return false;
    if (alEmpezar && !alEmpezar()) return false;
    // Until the replacement begins the restore may stop with the books untouched; from then on it
    // goes to its end.
    auto reemplazo = [&] {
        if (!Etapa(progreso, "Reemplazando la base de datos")) return false;
        if (progreso) progreso->SinCancelar();
        return true;
    };
    Serie(progreso, 3);
    if (!Etapa(progreso, "Examinando la copia de seguridad")) return false;
    const QString prefijo = QString::fromUtf8("No se pudo hacer la recuperación de la base de datos, ");
    Ocupado ocupado;
    // The books are held alone from this check to the end of the replacement: an instance that
    // starts meanwhile waits for it (and then works on the restored books), so no entry it commits
    // is lost under the restore. Refused for being in use, nothing changes.
    const BaseExclusiva exclusiva(rutas.base);
    if (!exclusiva.ok()) {
        Informo(prefijo + EnUso(exclusiva), Aviso::Ninguno);
        return false;
    }
    QString error;
    const Motor& motor = MotorDeRuta(rutas.base);
    if (motor.almacen.RespaldoPropio()) {
        // The engine's own backup, checked before anything is dropped; a database that holds another
        // program's tables is never written over.
        const Diagnostico actual = ExaminoBase(rutas.base, Examen::Rapido);
        if (actual.estado == EstadoBase::Ajena || actual.estado == EstadoBase::SinPermiso) {
            Informo(prefijo + actual.explicacion, Aviso::Ninguno);
            return false;
        }
        if (!motor.almacen.RespaldoLegible(rutas.respaldo, &error)) {
            Informo(prefijo + "la copia de seguridad " + QDir::toNativeSeparators(rutas.respaldo) +
                        " no se puede leer (" + error + ")",
                    Aviso::Ninguno);
            return false;
        }
        // What the backup holds is examined in a scratch database first: sound pages are not enough,
        // the books must keep their own rules.
        // The copy comes without its relations: those of the schema, as the live books hold them.
        QList<RelacionBase> relaciones;
        {
            ConexionArchivo vivo(rutas.base, true);
            bool leidas = false;
            if (vivo.abierta) relaciones = motor.catalogo.Relaciones(vivo.Base(), &leidas);
            if (!leidas || relaciones.isEmpty()) {
                Informo(prefijo + "no se pudieron leer las relaciones de la base actual", Aviso::Ninguno);
                return false;
            }
        }
        if (!Etapa(progreso, "Revisando la coherencia de la copia")) return false;
        QString faltas;
        if (!motor.almacen.ExaminoRespaldo(
                rutas.respaldo, rutas.base,
                [&](const QSqlDatabase& db) {
                    faltas = DescriboIncoherencias(RevisoCoherencia(db, &relaciones, progreso));
                },
                &error)) {
            Informo(prefijo + "no se pudo examinar la copia de seguridad " +
                        QDir::toNativeSeparators(rutas.respaldo) + " (" + error + ")",
                    Aviso::Ninguno);
            return false;
        }
        if (!faltas.isEmpty()) {
            Informo(prefijo + NoCoherente(rutas.respaldo) + faltas, Aviso::Ninguno);
            return false;
        }
        if (!reemplazo()) return false;
        if (!motor.almacen.RestauroDe(rutas.respaldo, rutas.base, &error)) {
            Informo(prefijo + error, Aviso::Ninguno);
            return false;
        }
        return true;
    }
    // Only a sound Partidex database may take the place of the books (one of an older version is
    // upgraded at the next start).
    const Diagnostico d = ExaminoBase(rutas.respaldo, Examen::Completo, true, progreso);
    if (d.estado != EstadoBase::Partidex && d.estado != EstadoBase::Anterior) {
        Informo(prefijo + d.explicacion, Aviso::Ninguno);
        return false;
    }
    // Sound pages are not enough: the books inside must keep their own rules.
    if (!Etapa(progreso, "Revisando la coherencia de la copia")) return false;
    const QString faltas = FaltasDeCoherencia(rutas.respaldo, progreso);
    if (!faltas.isEmpty()) {
        Informo(prefijo + NoCoherente(rutas.respaldo) + faltas, Aviso::Ninguno);
        return false;
    }
    if (!reemplazo()) return false;
    if (!QFileInfo::exists(rutas.base) || SeLeeComoBase(rutas.base)) {
        if (!CopioConBackUp(rutas.respaldo, rutas.base, &error, progreso)) {
            Informo(prefijo + error, Aviso::Ninguno);
            return false;
        }
        return true;
    }
    // A database damaged beyond SQLite's header cannot take pages through the backup. Nobody can have
    // it open as a database (held above), so the backup replaces it whole: copied beside it and
    // renamed over it, with the logs of the damaged file removed first so they are never replayed.
    // An instance waiting on the damaged file opens the new one once it has taken its place.
    if (!CopioArchivo(rutas.respaldo, rutas.base, &error,
                      [&](QString* falla) { return BorroLogs(rutas.base, falla); })) {
        Informo(prefijo + error, Aviso::Ninguno);
        return false;
    }
    return true;
}
} // namespace

void LeoRutas() {
    LeoRutasMantenimiento();
}

bool BackUpPendiente(const QDate& hoy) {
    // Bounded to a century either way, so that an absurd value cannot overflow the day count.
    const double dias = NumeroOCero(QVariant(LeoGlobal(SeccionMantenimiento, "BackUPCada(dias)", "1")));
    const int intervalo = int(std::lround(qBound(-36500.0, dias, 36500.0)));
    QDate ultimo = TextoAFecha(LeoGlobal(SeccionMantenimiento, "UltimoBackUp(dd/mm/yyyy)", ""));
    if (!ultimo.isValid()) ultimo = hoy.addDays(-2);
    return ultimo <= hoy.addDays(-intervalo);
}

Diagnostico MantenimientoInicial(const Rutas& rutas, const QDate& hoy, int estructura) {
    // Sound unless the backup's own examination finds otherwise.
    Diagnostico examen;
    examen.estado = EstadoBase::Partidex;
    if (BackUpPendiente(hoy)) {
        bool cancelado = false;
        RespaldoConProgreso(
            "Copia de seguridad programada",
            [&](Progreso* p) { return HagoBackUp(rutas, hoy, estructura, p, &examen, Compactacion::SiGana); },
            &cancelado);
        // A book the examination refuses is the start's to report, as it reports one its own
        // examination refuses; nothing else is offered meanwhile.
        if (examen.estado != EstadoBase::Partidex && examen.estado != EstadoBase::Anterior) return examen;
        if (cancelado) {
            Informo("Copia de seguridad programada cancelada: se conserva la copia anterior " +
                        QDir::toNativeSeparators(rutas.respaldo) + " y la copia se hará en el próximo inicio.",
                    Aviso::Informacion);
            // Left to the backup, the count of indexes and relations is still this start's to tell: a
            // backup stopped before it looked leaves it unsaid (one that looked and found them wrong
            // stopped itself, not cancelled). The books' rules wait for the next backup.
            if (estructura < 0) VerificoEstructura(rutas.base, false);
        }
    }
    if (LeoLocal("Varios", "Admin", "False").compare("TRUE", Qt::CaseInsensitive) == 0) OfrezcoPantalla();
    return examen;
}

bool RespaldoPrevio(const Rutas& rutas, const QDate& hoy, bool* cancelado) {
    bool parado = false;
    // The structure of an older version is not this program's: the examination alone vouches for it.
    const bool ok = RespaldoConProgreso(
        "Copia de seguridad antes de actualizar la base de datos",
        [&](Progreso* p) { return HagoBackUp(rutas, hoy, 0, p); }, &parado);
    if (cancelado) *cancelado = parado;
    return ok;
}

bool OfrezcoPantalla() {
    if (!Pregunto(QString::fromUtf8("Ingresa a Módulo de Base de Datos")) || !interlocutor.abroPantalla)
        return false;
    interlocutor.abroPantalla();
    return true;
}

} // namespace Mantenimiento
