#include "tst_core.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int fallas = 0;
    {
        PruebaIni t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    {
        PruebaBase t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    return fallas == 0 ? 0 : 1;
}
