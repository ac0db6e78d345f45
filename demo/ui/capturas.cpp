// Takes the README's pictures of the real program on the demonstration book: the main window with the
// chart of accounts, an entry in the journal editor and the trial balance. Run under a virtual display
// by scripts/capturas.sh; writes the PNG files into the folder given. With --pantallas it pictures
// instead every registered screen in turn, opened while the trial balance is maximized behind it, and
// names each control that the screen's size leaves cut or outside (scripts/pantallas.sh, at both scales).
#include "accounts/ui/RegistroCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Configuracion.h"
#include "core/Contexto.h"
#include "core/Sesiones.h"
#include "core/ui/Arranque.h"
#include "core/ui/Pantallas.h"
#include "core/ui/frmMain.h"
#include "demo/Demostracion.h"
#include "fiscal/ui/RegistroEjercicios.h"
#include "inflation/ui/RegistroInflacion.h"
#include "journal/ui/RegistroAsientos.h"
#include "reports/ui/PantallaReporte.h"
#include "maintenance/ui/RegistroMantenimiento.h"
#include "reports/ui/RegistroReportes.h"
#include "security/ui/RegistroSeguridad.h"
#include "utilities/ui/RegistroUtilidades.h"

#include <QApplication>
#include <QLayout>
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
// What of the window cannot be seen whole: the window smaller than its layout asks, a visible control
// reaching out of it, the window out of the screen. One line each.
QStringList Recortes(QWidget* ventana) {
    QStringList r;
    const QRect propio = ventana->rect();
    if (ventana->layout()) {
        const QSize pide = ventana->layout()->minimumSize();
        if (pide.width() > propio.width() || pide.height() > propio.height())
            r << QString("la ventana mide %1x%2 y pide %3x%4")
                     .arg(propio.width())
                     .arg(propio.height())
                     .arg(pide.width())
                     .arg(pide.height());
    }
    for (QWidget* c : ventana->findChildren<QWidget*>()) {
        if (!c->isVisibleTo(ventana) || c->isWindow() || c->objectName().isEmpty()) continue;
        if (c->objectName().startsWith("qt_")) continue;
        const QRect en(c->mapTo(ventana, QPoint(0, 0)), c->size());
        if (!propio.contains(en))
            r << QString("%1 queda fuera (%2,%3 %4x%5)")
                     .arg(c->objectName())
                     .arg(en.x())
                     .arg(en.y())
                     .arg(en.width())
                     .arg(en.height());
        else if (c->minimumSizeHint().isValid() && c->layout() == nullptr &&
                 (c->width() < c->minimumSizeHint().width() || c->height() < c->minimumSizeHint().height()))
            r << QString("%1 recortado: %2x%3 de %4x%5")
                     .arg(c->objectName())
                     .arg(c->width())
                     .arg(c->height())
                     .arg(c->minimumSizeHint().width())
                     .arg(c->minimumSizeHint().height());
    }
    const QRect pantalla = ventana->screen()->availableGeometry();
    const QRect marco = ventana->window()->frameGeometry();
    if (!pantalla.contains(marco)) r << "la ventana sale de la pantalla";
    return r;
}

// Every registered screen pictured over the maximized trial balance; false when one is cut.
bool TodasLasPantallas(QWidget* principal, const QString& destino) {
    bool enteras = true;
    auto miro = [&](const QString& nombre, QWidget* ventana) {
        Espero(600);
        Guardo(destino + "/pantalla-" + nombre + ".png");
        for (const QString& recorte : Recortes(ventana)) {
            std::printf("  %s: %s\n", qPrintable(nombre), qPrintable(recorte));
            enteras = false;
        }
    };
    for (const QString& nombre : Pantallas::Registradas()) {
        if (nombre == "frmRptBalance" || nombre == "frmMain") continue;
        if (Pantallas::FormaDe(nombre) == Pantallas::Forma::Modal) {
            QTimer::singleShot(1200, [&, nombre] {
                if (QWidget* w = QApplication::activeModalWidget()) {
                    miro(nombre, w);
                    w->close();
                }
            });
            Pantallas::Abro(nombre, principal);
        } else if (QWidget* w = Pantallas::Activo(nombre)) {
            miro(nombre, w);
            if (w->parentWidget()) w->parentWidget()->close();
        }
        // Whatever a screen left open (a message, a picker) is closed before the next.
        while (QWidget* w = QApplication::activeModalWidget())
            w->close();
    }
    return enteras;
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const bool todas = argc > 1 && QString(argv[1]) == "--pantallas";
    if (todas) {
        --argc;
        ++argv;
    }
    const QString destino = argc > 1 ? QDir(argv[1]).absolutePath() : QDir::currentPath();
    RegistroPantallasCuentas();
    RegistroPantallasAsientos();
    RegistroPantallasEjercicios();
    RegistroPantallasInflacion();
    RegistroPantallasReportes();
    RegistroPantallasSeguridad();
    RegistroPantallasMantenimiento();
    RegistroPantallasUtilidades();
    CargoTraducciones();

    QTemporaryDir carpeta;
    FijoCarpetas(carpeta.path());
    LeoConfiguracion();
    QString error;
    if (!CreoBase(App().databasePath, &error) || !AbroBase(App().databasePath, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const Demostracion::Creacion libro = Demostracion::CreoDemostracion(Contexto::DelSistema());
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
    if (todas) {
        principal.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
        principal.show();
        Espero(500);
        if (auto* balance = Pantallas::Activo("frmRptBalance"))
            if (auto* sub = qobject_cast<QMdiSubWindow*>(balance->parentWidget())) sub->showMaximized();
        const bool enteras = TodasLasPantallas(&principal, destino);
        CierroBase();
        return enteras ? 0 : 1;
    }
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
