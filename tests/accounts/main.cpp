#include "tst_cuentas.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int fallas = 0;
    {
        PruebaCodigos t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    {
        PruebaOperaciones t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    {
        PruebaPantallaCuentas t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    return fallas == 0 ? 0 : 1;
}
