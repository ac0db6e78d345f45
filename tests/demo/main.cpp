#include "tst_demo.h"

#include "tests/support/Entorno.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return EjecutoPruebas<PruebaDemostracion>(argc, argv);
}
