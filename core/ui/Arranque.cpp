#include "core/ui/Arranque.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Configuracion.h"
#include "core/Sesiones.h"
#include "core/Soporte.h"
#include "core/ui/Ayuda.h"
#include "core/ui/Cursor.h"
#include "core/ui/DialogoProgreso.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Ventanas.h"
#include "core/ui/frmAcceso.h"
#include "core/ui/frmMain.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {
std::function<Diagnostico(int)> mantenimientoInicial;
std::function<int(const QString&)> verificoEstructura;
std::function<bool(bool&)> respaldoPrevio;
std::function<bool()> ofertaMantenimiento;
std::function<void()> ofertaInicial;
std::function<bool()> respaldoPendiente;
// Set when this start made the database: the first start, where the offer is made.
bool baseNueva = false;

QString Nativa(const QString& ruta) {
    return QDir::toNativeSeparators(ruta);
}

// A message shown with the normal pointer, whatever start-up had up.
Respuesta Aviso(const QString& texto, Icono icono, Botones botones = Botones::Ok) {
    SinEspera normal;
    return Mensaje(texto, icono, botones);
}

QString FechaArchivo(const QString& ruta) {
    return QFileInfo(ruta).lastModified().toString("dd/MM/yyyy HH:mm");
}

// What a user with a damaged or incomplete database can do: the backup by name and date.
QString ConsejoRecuperacion() {
    const QString bak = App().backupPath;
    if (!QFileInfo(bak).isFile())
        return "No hay copia de seguridad en " + Nativa(bak) + "; consulte a " + CorreoSoporte + ".";
    QString t = "Recupérela desde la copia de seguridad " + Nativa(bak) + " del " + FechaArchivo(bak) +
                " con \"Recuperar de Back Up\" en la pantalla Base de Datos";
    if (QFileInfo(bak + ".1").isFile())
        t += " (la copia anterior, " + Nativa(bak + ".1") + ", es del " + FechaArchivo(bak + ".1") + ")";
    return t + ".";
}

QString ConsejoConfiguracion() {
    return "Revise la clave Base de la sección [Base de Datos] en " + Nativa(App().LocalIni()) + ".";
}

// A database that does not exist: made on a first start, or where the settings name it when the user
// says so; a missing folder is never made.
bool CreoSiCorresponde(const QString& ruta) {
    if (!BasePorDefecto()) {
        const QString carpeta = QFileInfo(ruta).absolutePath();
        if (!QFileInfo(carpeta).isDir()) {
            Aviso("No existe la carpeta " + Nativa(carpeta) + " de la base de datos " + Nativa(ruta) +
                      "; no se crea ninguna carpeta ni base de datos. " + ConsejoConfiguracion(),
                  Icono::Error);
            return false;
        }
        if (Aviso("No existe la base de datos " + Nativa(ruta) +
                      ".\n¿Desea crear en ese lugar una base de datos nueva y vacía?\n"
                      "Responda No si la ruta está mal escrita o la unidad no está conectada; el programa "
                      "terminará sin crear nada.",
                  Icono::Pregunta, Botones::SiNo) != Respuesta::Si)
            return false;
    }
    QString error;
    if (!CreoBase(ruta, &error)) {
        Aviso("No se pudo crear la base de datos " + Nativa(ruta) + ", " + error, Icono::Error);
        return false;
    }
    baseNueva = true;
    return true;
}

// What start-up does with the book its examination found (d): leaves it ready to be opened, or refuses.
bool AtiendoBase(const QString& ruta, const Diagnostico& d) {
    switch (d.estado) {
    case EstadoBase::Partidex:
        return true;
    case EstadoBase::NoExiste:
        return CreoSiCorresponde(ruta);
    case EstadoBase::Anterior: {
        bool cancelado = false;
        if (!respaldoPrevio || !respaldoPrevio(cancelado)) {
            Aviso("La base de datos " + Nativa(ruta) + " es de una versión anterior del programa y no se actualizó, " +
                      (cancelado ? QStringLiteral("porque se canceló la copia de seguridad que se hace antes de "
                                                  "actualizarla; su estructura quedó como estaba. El programa se cerrará.")
                                 : QStringLiteral("porque antes no se pudo hacer una copia de seguridad verificada; su "
                                                  "estructura quedó como estaba.")),
                  Icono::Error);
            return false;
        }
        QString error;
        // Taking a large book to the new structure takes a while: its window says how far it has gone.
        if (!DialogoProgreso::EnOtroHilo(nullptr, "Actualización de la base de datos",
                                         [&](Progreso& p) { return ActualizoBase(ruta, &error, &p); })) {
            Aviso(error + ". La base de datos quedó como estaba; la copia de seguridad está en " +
                      Nativa(App().backupPath) + ".",
                  Icono::Error);
            return false;
        }
        return true;
    }
    case EstadoBase::Danada:
    case EstadoBase::Incompleta:
        Aviso(d.explicacion + ". " + ConsejoRecuperacion(), Icono::Error);
        // The maintenance screen is where the backup is restored; after it the file is examined again.
        if (ofertaMantenimiento && ofertaMantenimiento())
            return ExaminoBase(ruta, Examen::Completo).estado == EstadoBase::Partidex;
        return false;
    case EstadoBase::Posterior:
        Aviso(d.explicacion + "; este programa no la modificó.", Icono::Error);
        return false;
    case EstadoBase::Ajena:
    case EstadoBase::NoEsArchivo:
    case EstadoBase::SinPermiso:
    case EstadoBase::RutaInvalida:
        break;
    }
    Aviso(d.explicacion + ". " + ConsejoConfiguracion(), Icono::Error);
    return false;
}

// Examines the database before anything writes to it: its header and catalogue, whatever its size.
bool PreparoBase(const QString& ruta) {
    return AtiendoBase(ruta, ExaminoBase(ruta, Examen::Rapido));
}

} // namespace

void FijoMantenimientoInicial(std::function<Diagnostico(int estructura)> mantenimiento) {
    mantenimientoInicial = std::move(mantenimiento);
}
void FijoVerificoEstructura(std::function<int(const QString& ruta)> verificacion) {
    verificoEstructura = std::move(verificacion);
}
void FijoRespaldoPrevio(std::function<bool(bool&)> respaldo) {
    respaldoPrevio = std::move(respaldo);
}
void FijoOfertaMantenimiento(std::function<bool()> oferta) {
    ofertaMantenimiento = std::move(oferta);
}
void FijoRespaldoPendiente(std::function<bool()> pendiente) {
    respaldoPendiente = std::move(pendiente);
}
void FijoOfertaInicial(std::function<void()> oferta) {
    ofertaInicial = std::move(oferta);
}

bool CargoTraducciones() {
    static QTranslator* traductor = nullptr;
    if (traductor) return true;
    auto* t = new QTranslator(qApp);
    if (!t->load("qtbase_es", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    traductor = t;
    return true;
}

bool Arranque() {
    baseNueva = false;
    IniciaRecursos();
    CargoTraducciones();
    InstaloTeclaAyuda();
    QApplication::setApplicationName("Partidex");
    QApplication::setWindowIcon(QIcon(":/images/partidex.png"));
    AppState& a = App();
    if (a.programFolder.isEmpty()) FijoCarpetas(QCoreApplication::applicationDirPath());

    CursorEspera();
    LeoConfiguracion();
    // Settings files that are not files, and a database that is not sound, stop here untouched.
    const QString problema = ProblemaConfiguracion();
    if (!problema.isEmpty()) {
        Aviso(problema, Icono::Error);
        CursorNormal();
        return false;
    }
    const QString aviso = AvisoConfiguracion();
    if (!aviso.isEmpty()) Aviso(aviso, Icono::Advertencia);
    // Books a server reaches with each user's own login: nothing can look at them before he logs in.
    std::unique_ptr<frmAcceso> accesoPrevio;
    if (AccesoDelUsuario(a.databasePath)) {
        SinEspera normal;
        accesoPrevio = std::make_unique<frmAcceso>(nullptr, true);
        accesoPrevio->exec();
        if (!a.loginAccepted) {
            CursorNormal();
            return false;
        }
    }
    if (!PreparoBase(a.databasePath)) {
        CursorNormal();
        return false;
    }
    // The structure check runs once; the maintenance is told its result, so that its warnings are not
    // shown a second time by the backup. A backup that is due makes it itself, with the books' rules,
    // after its examination of every page, all in its progress window.
    const bool pendiente = respaldoPendiente && respaldoPendiente();
    const int estructura = pendiente ? -1 : verificoEstructura ? verificoEstructura(a.databasePath) : 0;
    if (mantenimientoInicial) {
        const Diagnostico d = mantenimientoInicial(estructura);
        if (d.estado != EstadoBase::Partidex && d.estado != EstadoBase::Anterior &&
            !AtiendoBase(a.databasePath, d)) {
            CursorNormal();
            return false;
        }
    }
    CursorNormal();

    QString error;
    if (!AbroBase(a.databasePath, &error)) {
        Mensaje(error, Icono::Error);
        return false;
    }
    a.helpPath = ":/help/index.html";

    if (accesoPrevio) {
        accesoPrevio->VerificoEnLibro();
        accesoPrevio.reset();
    } else {
        frmAcceso acceso;
        acceso.exec();
    }
    if (!a.loginAccepted) {
        CierroBase();
        return false;
    }

    RestauroEjercicio();
    if (baseNueva && ofertaInicial) ofertaInicial();
    a.preselection = QVariant();
    a.currentSession = NuevaSesion();
    if (a.currentSession == 0) {
        Mensaje("No se pudo abrir una sesión en la base de datos, " + UltimoError(), Icono::Error);
        CierroBase();
        return false;
    }
    PurgoSesiones(App().currentSession);

    auto* principal = new frmMain;
    principal->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(principal, &frmMain::programaTerminado, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    principal->ActualizoCaption();
    CentroVentana(principal);
    principal->show();
    return true;
}
