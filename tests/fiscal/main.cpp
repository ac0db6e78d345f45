#include "tst_fiscal.h"
#include "tst_frmEjercicios.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int fallas = 0;
    {
        PruebaEjercicios t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    {
        PruebaFrmEjercicios t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    return fallas == 0 ? 0 : 1;
}
