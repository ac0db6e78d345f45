#include "tst_asientos.h"
#include "tst_diario.h"

#include "journal/ui/RegistroAsientos.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // A child process of the two-workstation test: saves entries and ends.
    const QByteArray base = qgetenv("PARTIDEX_GRABADOR");
    if (!base.isEmpty()) {
        QCoreApplication app(argc, argv);
        return GraboEnOtroProceso(QString::fromLocal8Bit(base), qEnvironmentVariableIntValue("PARTIDEX_CANTIDAD"));
    }
    QApplication app(argc, argv);
    RegistroPantallasAsientos();
    return EjecutoPruebasPantallas<PruebaAsiento, PruebaEditor, PruebaBusqueda, PruebaPantallaBusqueda, PruebaTeclado>(argc, argv);
}
