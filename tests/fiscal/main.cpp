#include "tst_fiscal.h"
#ifdef PRUEBA_PANTALLAS
#include "tst_frmEjercicios.h"
#endif

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int fallas = 0;
    {
        PruebaEjercicios t;
        fallas += QTest::qExec(&t, argc, argv);
    }
#ifdef PRUEBA_PANTALLAS
    {
        PruebaFrmEjercicios t;
        fallas += QTest::qExec(&t, argc, argv);
    }
#endif
    return fallas == 0 ? 0 : 1;
}
