#include "tst_cuentas.h"

#include "tests/support/Entorno.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebas<PruebaCodigos, PruebaOperaciones, PruebaPantallaCuentas, PruebaUsoPlan>(argc, argv);
}
