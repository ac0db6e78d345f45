#include "tst_core.h"

#include "tests/support/Entorno.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebas<PruebaIni, PruebaBase, PruebaAyudantes, PruebaEdicion>(argc, argv);
}
