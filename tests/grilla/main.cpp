#include "tst_disposicion.h"
#include "tst_grilla.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int fallas = 0;
    {
        PruebaGrilla t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    {
        PruebaDisposicion t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    return fallas == 0 ? 0 : 1;
}
