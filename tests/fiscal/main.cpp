#include "tests/support/Entorno.h"
#include "tst_cierre.h"
#include "tst_fiscal.h"
#include "tst_historial.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return EjecutoPruebas<PruebaEjercicios, PruebaCierre, PruebaHistorial>(argc, argv);
}
