// Partidex: double-entry bookkeeping for small firms and their accountants.
#include "accounts/ui/RegistroCuentas.h"
#include "core/ui/Arranque.h"
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
#include <cstdio>
#include <cstring>

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

// Options that only print are answered before any window system is reached, so they work without a
// display. Returns the exit status, or -1 when the program has to start.
int OpcionDeTexto(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--version") || !std::strcmp(argv[i], "-v")) {
            std::printf("Partidex %s\n", PARTIDEX_VERSION);
            return 0;
        }
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h") ||
            !std::strcmp(argv[i], "--ayuda")) {
            std::fputs(Ayuda, stdout);
            return 0;
        }
    }
    return -1;
}
} // namespace

int main(int argc, char* argv[]) {
    if (const int estado = OpcionDeTexto(argc, argv); estado >= 0) return estado;
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--demo")) {
            // Made without any window, so it also runs without a display.
            QCoreApplication app(argc, argv);
            QCoreApplication::setApplicationName("Partidex");
            return Demostracion::DemostracionDeConsola(QCoreApplication::applicationDirPath());
        }
    QApplication app(argc, argv);
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
