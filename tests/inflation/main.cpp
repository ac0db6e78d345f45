#include "tst_inflacion.h"

#include "tests/support/ui/EntornoPantallas.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebasPantallas<PruebaInflacion>(argc, argv);
}
