#include "tst_core.h"

#include "tests/support/Entorno.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return EjecutoPruebas<PruebaIni, PruebaBase, PruebaMotor, PruebaImporte>(argc, argv);
}
