#include "tst_reportes.h"

#include "tests/support/Entorno.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebas<PruebaReportes>(argc, argv);
}
