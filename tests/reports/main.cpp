#include "tst_escala.h"
#include "tst_estados.h"
#include "tst_exporto.h"
#include "tst_reajustado.h"
#include "tst_libros.h"
#include "tst_paginas.h"
#include "tst_reportes.h"

#include "tests/support/ui/EntornoPantallas.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebasPantallas<PruebaReportes, PruebaExporto, PruebaReAjustado, PruebaLibros, PruebaPaginas,
                                   PruebaEscala, PruebaEstados>(argc, argv);
}
