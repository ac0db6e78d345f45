#include "tst_disposicion.h"
#include "tst_grilla.h"

#include "tests/support/ui/EntornoPantallas.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebasPantallas<PruebaGrilla, PruebaDisposicion>(argc, argv);
}
