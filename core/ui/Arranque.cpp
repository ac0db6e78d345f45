#include "core/ui/Arranque.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Configuracion.h"
#include "core/Sesiones.h"
#include "core/ui/Ayuda.h"
#include "core/ui/Cursor.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Ventanas.h"
#include "core/ui/frmAcceso.h"
#include "core/ui/frmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
std::function<void()> mantenimientoInicial;
std::function<int(const QString&)> verificoEstructura;
} // namespace

void FijoMantenimientoInicial(std::function<void()> mantenimiento) {
    mantenimientoInicial = std::move(mantenimiento);
}
void FijoVerificoEstructura(std::function<int(const QString& ruta)> verificacion) {
    verificoEstructura = std::move(verificacion);
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
    IniciaRecursos();
    CargoTraducciones();
    InstaloTeclaAyuda();
    QApplication::setApplicationName("Partidex");
    QApplication::setWindowIcon(QIcon(":/images/partidex.png"));
    AppState& a = App();
    if (a.programFolder.isEmpty()) FijoCarpetas(QCoreApplication::applicationDirPath());

    CursorEspera();
    LeoConfiguracion();
    // The first start makes the database (with its initial user) before the maintenance sees it.
    if (!QFileInfo::exists(a.databasePath)) {
        QString error;
        if (!CreoBase(a.databasePath, &error)) {
            CursorNormal();
            Mensaje("No se pudo crear la base de datos " + a.databasePath + ", " + error, Icono::Error);
            return false;
        }
    }
    if (mantenimientoInicial) mantenimientoInicial();
    CursorNormal();

    // Its warnings are shown by the check itself; start-up goes on regardless.
    if (verificoEstructura) verificoEstructura(a.databasePath);

    QString error;
    if (!AbroBase(a.databasePath, &error)) {
        Mensaje(error, Icono::Error);
        return false;
    }
    a.helpPath = ":/help/index.html";

    {
        frmAcceso acceso;
        acceso.exec();
    }
    if (!a.loginAccepted) {
        CierroBase();
        return false;
    }

    RestauroEjercicio();
    a.preselection = QVariant();
    a.currentSession = NuevaSesion();
    if (a.currentSession == 0) {
        Mensaje("No se pudo abrir una sesión en la base de datos, " + UltimoError(), Icono::Error);
        CierroBase();
        return false;
    }
    PurgoSesiones();

    auto* principal = new frmMain;
    principal->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(principal, &frmMain::programaTerminado, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    principal->ActualizoCaption();
    CentroVentana(principal);
    principal->show();
    return true;
}
