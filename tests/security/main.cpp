#include "tests/support/ui/EntornoPantallas.h"
#include "tst_frmUsuarios.h"
#include "tst_seguridad.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebasPantallas<PruebaPermisos, PruebaUsuarios, PruebaFrmCambioContrasena,
                                   PruebaFrmUsuarios, PruebaServidor>(argc, argv);
}
