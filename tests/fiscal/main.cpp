#include "tests/support/Entorno.h"
#include "tst_fiscal.h"
#include "tst_frmEjercicios.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebas<PruebaEjercicios, PruebaFrmEjercicios>(argc, argv);
}
