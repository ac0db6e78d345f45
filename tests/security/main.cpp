#include "tst_seguridad.h"
#ifdef PRUEBA_PANTALLAS
#include "tst_frmUsuarios.h"
#endif

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
#ifdef PRUEBA_PANTALLAS
    {
        PruebaFrmUsuarios t;
        fallas += QTest::qExec(&t, argc, argv);
    }
#endif
    return fallas == 0 ? 0 : 1;
}
