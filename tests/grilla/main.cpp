#include "tst_disposicion.h"
#include "tst_grilla.h"

#include "tests/support/Entorno.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebas<PruebaGrilla, PruebaDisposicion>(argc, argv);
}
