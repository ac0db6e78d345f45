#include "tst_shell.h"

#include <QApplication>
#include <QTest>
#include <cstring>

int main(int argc, char* argv[]) {
    if (argc > 1 && std::strcmp(argv[1], "--sesion") == 0) return ProcesoSesion(argc, argv);
    QApplication app(argc, argv);
    int fallas = 0;
    {
        PruebaConfiguracion t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    {
        PruebaAcceso t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    {
        PruebaPrincipal t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    {
        PruebaArranque t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    return fallas == 0 ? 0 : 1;
}
