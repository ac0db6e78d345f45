#include "tst_catalogo.h"

#include "fiscal/ui/RegistroEjercicios.h"
#include "inflation/ui/RegistroInflacion.h"
#include "journal/ui/RegistroAsientos.h"

#include "tests/support/ui/EntornoPantallas.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    RegistroPantallasEjercicios();
    RegistroPantallasInflacion();
    RegistroPantallasAsientos();
    return EjecutoPruebasPantallas<PruebaCatalogo, PruebaCatalogosSimples>(argc, argv);
}
