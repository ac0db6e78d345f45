// Partidex: double-entry bookkeeping for small firms and their accountants.
#include "accounts/ui/RegistroCuentas.h"
#include "core/ui/Arranque.h"
#include "fiscal/ui/RegistroEjercicios.h"
#include "inflation/ui/RegistroInflacion.h"
#include "journal/ui/RegistroAsientos.h"
#include "maintenance/ui/RegistroMantenimiento.h"
#include "reports/ui/RegistroReportes.h"
#include "security/ui/RegistroSeguridad.h"
#include "utilities/ui/RegistroUtilidades.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
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
