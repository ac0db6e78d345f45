#include "tst_pantallas_cuentas.h"

#include "tests/support/ui/EntornoPantallas.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebasPantallas<PruebaPantallaCuentas, PruebaUsoPlan>(argc, argv);
}
