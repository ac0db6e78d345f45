#include "tst_shell.h"

#include "tests/support/ui/EntornoPantallas.h"

#include <QApplication>
#include <QTest>
#include <cstring>

int main(int argc, char* argv[]) {
    if (argc > 1 && std::strcmp(argv[1], "--sesion") == 0) return ProcesoSesion(argc, argv);
    QApplication app(argc, argv);
    return EjecutoPruebasPantallas<PruebaConfiguracion, PruebaAcceso, PruebaPrincipal, PruebaArranque>(argc,
                                                                                                       argv);
}
