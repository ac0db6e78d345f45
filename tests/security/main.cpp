#include "tst_frmUsuarios.h"
#include "tst_seguridad.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int fallas = 0;
    {
        PruebaPermisos t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    {
        PruebaUsuarios t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    {
        PruebaFrmCambioContrasena t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    {
        PruebaFrmUsuarios t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    return fallas == 0 ? 0 : 1;
}
