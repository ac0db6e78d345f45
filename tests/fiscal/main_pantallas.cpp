#include "tests/support/ui/EntornoPantallas.h"
#include "tst_frmCierre.h"
#include "tst_frmEjercicios.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebasPantallas<PruebaFrmEjercicios, PruebaFrmCierre>(argc, argv);
}
