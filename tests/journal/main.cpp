#include "tst_asientos.h"

#include "tests/support/Entorno.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebas<PruebaBusqueda, PruebaPantallaBusqueda>(argc, argv);
}
