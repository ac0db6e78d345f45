#include "tst_libros.h"
#include "tst_reportes.h"

#include "tests/support/ui/EntornoPantallas.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebasPantallas<PruebaReportes, PruebaLibros>(argc, argv);
}
