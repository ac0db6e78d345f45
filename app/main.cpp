// Partidex: double-entry bookkeeping for small firms and their accountants.
#include "accounts/ui/RegistroCuentas.h"
#include "core/ui/Arranque.h"
#include "core/ui/Mensaje.h"
#include "demo/Demostracion.h"
#include "demo/ui/OfertaDemostracion.h"
#include "fiscal/ui/RegistroEjercicios.h"
#include "inflation/ui/RegistroInflacion.h"
#include "journal/ui/RegistroAsientos.h"
#include "maintenance/ui/RegistroMantenimiento.h"
#include "reports/ui/RegistroReportes.h"
#include "security/ui/RegistroSeguridad.h"
#include "utilities/ui/RegistroUtilidades.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <initializer_list>

namespace {
const char* const Ayuda =
    "Uso: Partidex [opción]\n"
    "Contabilidad por partida doble para empresas y estudios contables.\n"
    "\n"
    "Opciones:\n"
    "  --demo      crea el libro de demostración (\"Empresa Demostración S.A.\") en la base de datos\n"
    "              configurada, creándola si es el primer inicio, y termina\n"
    "  --version   muestra la versión del programa y termina\n"
    "  --help      muestra esta ayuda y termina\n"
    "\n"
    "Sin opciones abre la ventana \"Acceso a Sistema\". La configuración (Partidex.ini) y la base de\n"
    "datos (Partidex.MDB) están en la carpeta del programa o, cuando no se puede escribir en ella\n"
    "(programa instalado), en la carpeta de configuración del usuario (~/.config/Partidex).\n";

// Options Qt itself takes from the command line: those followed by a value, then those without one.
constexpr const char* OpcionesQtConValor[] = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry", "-qwindowicon",
    "-qwindowtitle", "-session", "-style", "-stylesheet", "-display", "-geometry", "-title", "-name",
    "-qmljsdebugger", "-fn", "-font", "-bg", "-background", "-fg", "-foreground", "-btn", "-button",
    "-visual", "-ncols", "-cmap", "-im", "-inputstyle", "-dialogs"};
constexpr const char* OpcionesQtSolas[] = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync",
                                           "-noxim", "-testability"};

bool Una(const char* arg, const auto& lista) {
    if (arg[0] != '-') return false;
    for (const char* o : lista) {
        // Qt accepts its options with one dash or two, and the valued ones also as -option=value.
        const char* a = arg[1] == '-' ? arg + 1 : arg;
        const size_t n = std::strlen(o);
        if (!std::strncmp(a, o, n) && (a[n] == 0 || a[n] == '=')) return true;
    }
    return false;
}

// Options that only print are answered before any window system is reached, so they work without a
// display; so is an option the program does not know. Returns the exit status, or -1 when the program
// has to start.
int OpcionDeTexto(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--version") || !std::strcmp(a, "-v")) {
            std::printf("Partidex %s\n", PARTIDEX_VERSION);
            return 0;
        }
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h") || !std::strcmp(a, "--ayuda")) {
            std::fputs(Ayuda, stdout);
            return 0;
        }
        if (!std::strcmp(a, "--demo")) continue;
        if (Una(a, OpcionesQtConValor)) {
            if (!std::strchr(a, '=')) ++i; // its value
            continue;
        }
        if (Una(a, OpcionesQtSolas)) continue;
        std::fprintf(stderr, a[0] == '-' ? "Partidex: opción desconocida: %s\n" : "Partidex: argumento desconocido: %s\n", a);
        std::fputs("Use «Partidex --help» para ver las opciones.\n", stderr);
        return 2;
    }
    return -1;
}

// Without a session bus, Qt's desktop integration makes the bus library start one of its own through
// dbus-launch, which outlives the program. The user's bus is taken where it is, else none is started.
void ElijoBusDeSesion() {
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS")) return;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const QString bus = runtime ? QString::fromLocal8Bit(runtime) + QStringLiteral("/bus") : QString();
    if (!bus.isEmpty() && QFileInfo(bus).exists())
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + bus.toLocal8Bit());
    else
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

// True when the window system can be reached, as far as can be told before Qt tries (Qt aborts the
// process when it cannot): a platform named, or an X or Wayland display.
bool HayPantalla(int argc, char* argv[]) {
    if (std::getenv("QT_QPA_PLATFORM") || std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"))
        return true;
    for (int i = 1; i < argc; ++i)
        if (Una(argv[i], std::initializer_list<const char*>{"-platform", "-display"})) return true;
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    return false;
#else
    return true;
#endif
}
// An operation that fails beyond what its screen foresaw (a sum beyond what money can hold) ends with
// a message, and the transaction it ran in rolls back as its guard unwinds; the program goes on.
class Aplicacion : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* destino, QEvent* evento) override {
        try {
            return QApplication::notify(destino, evento);
        } catch (const std::exception& e) {
            Mensaje(QString::fromUtf8(e.what()) + QStringLiteral("\nLa operación no se completó."), Icono::Error);
        }
        return false;
    }
};
} // namespace

int main(int argc, char* argv[]) {
    if (const int estado = OpcionDeTexto(argc, argv); estado >= 0) return estado;
    ElijoBusDeSesion();
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--demo")) {
            // Made without any window, so it also runs without a display.
            QCoreApplication app(argc, argv);
            QCoreApplication::setApplicationName("Partidex");
            return Demostracion::DemostracionDeConsola(QCoreApplication::applicationDirPath());
        }
    if (!HayPantalla(argc, argv)) {
        std::fputs("Partidex: no hay pantalla a la que abrir la ventana (ni DISPLAY ni WAYLAND_DISPLAY).\n"
                   "Sin pantalla, «Partidex --demo» crea el libro de demostración y partidex-informe escribe los "
                   "informes.\n",
                   stderr);
        return 1;
    }
    Aplicacion app(argc, argv);
    RegistroOfertaDemostracion();
    RegistroPantallasCuentas();
    RegistroPantallasAsientos();
    RegistroPantallasEjercicios();
    RegistroPantallasInflacion();
    RegistroPantallasSeguridad();
    RegistroPantallasMantenimiento();
    RegistroPantallasUtilidades();
    RegistroPantallasReportes();
    if (!Arranque()) return 1;
    return app.exec();
}
