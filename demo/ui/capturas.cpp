// Takes the README's pictures of the real program on the demonstration book: the main window with the
// chart of accounts, an entry in the journal editor and the trial balance. Run under a virtual display
// by scripts/capturas.sh; writes the PNG files into the folder given.
#include "accounts/ui/RegistroCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Configuracion.h"
#include "core/Sesiones.h"
#include "core/ui/Arranque.h"
#include "core/ui/Pantallas.h"
#include "core/ui/frmMain.h"
#include "demo/Demostracion.h"
#include "fiscal/ui/RegistroEjercicios.h"
#include "inflation/ui/RegistroInflacion.h"
#include "journal/ui/RegistroAsientos.h"
#include "reports/ui/PantallaReporte.h"
#include "reports/ui/RegistroReportes.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <cstdio>

namespace {
void Espero(int ms) {
    QEventLoop bucle;
    QTimer::singleShot(ms, &bucle, &QEventLoop::quit);
    bucle.exec();
}

bool Guardo(const QString& ruta) {
    const bool ok = QGuiApplication::primaryScreen()->grabWindow(0).save(ruta);
    std::printf("%s %s\n", ok ? "Escrita" : "No se pudo escribir", qPrintable(ruta));
    return ok;
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString destino = argc > 1 ? QDir(argv[1]).absolutePath() : QDir::currentPath();
    RegistroPantallasCuentas();
    RegistroPantallasAsientos();
    RegistroPantallasEjercicios();
    RegistroPantallasInflacion();
    RegistroPantallasReportes();
    CargoTraducciones();

    QTemporaryDir carpeta;
    FijoCarpetas(carpeta.path());
    LeoConfiguracion();
    QString error;
    if (!CreoBase(App().databasePath, &error) || !AbroBase(App().databasePath, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const Demostracion::Creacion libro = Demostracion::CreoDemostracion(ContextoActual());
    if (!libro.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(libro.mensaje));
        return 1;
    }
    // The administrator created with every new database, on the book's open year.
    AppState& a = App();
    a.currentUser = 1;
    a.loginAccepted = true;
    a.currentCompany = libro.empresa;
    a.currentYear = 2;
    a.chartCompany = libro.empresa;
    a.chartYear = 2;
    a.currentSession = NuevaSesion();

    frmMain principal;
    principal.ActualizoCaption();
    principal.setGeometry(0, 0, 1280, 900);
    principal.show();
    Espero(500);

    bool ok = true;
    // The chart is a modal screen: pictured while it is open, then closed.
    QTimer::singleShot(1500, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            w->setGeometry(60, 40, 1000, 840);
            if (auto* arbol = w->findChild<QTreeView*>()) arbol->expandToDepth(2);
            Espero(500);
            ok = Guardo(destino + "/plan-de-cuentas.png") && ok;
            w->close();
        } else {
            ok = false;
        }
    });
    Pantallas::Abro("frmCuentas", &principal);

    if (QWidget* asientos = Pantallas::MuestroAsientoEnEditor(25)) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(asientos->parentWidget())) sub->showMaximized();
        Espero(800);
        ok = Guardo(destino + "/asiento.png") && ok;
        asientos->close();
    } else {
        ok = false;
    }

    if (auto* balance = qobject_cast<PantallaReporte*>(Pantallas::Activo("frmRptBalance"))) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(balance->parentWidget())) sub->showMaximized();
        balance->ActualizoReporte();
        Espero(800);
        ok = Guardo(destino + "/balance.png") && ok;
    } else {
        ok = false;
    }
    CierroBase();
    return ok ? 0 : 1;
}
