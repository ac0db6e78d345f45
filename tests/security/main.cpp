#include "tests/support/Entorno.h"
#include "tst_frmUsuarios.h"
#include "tst_seguridad.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebas<PruebaPermisos, PruebaUsuarios, PruebaFrmCambioContrasena, PruebaFrmUsuarios>(argc,
                                                                                                        argv);
}
