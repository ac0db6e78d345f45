#include "tst_catalogo.h"

#include "fiscal/ui/RegistroEjercicios.h"
#include "inflation/ui/RegistroInflacion.h"
#include "journal/ui/RegistroAsientos.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    RegistroPantallasEjercicios();
    RegistroPantallasInflacion();
    RegistroPantallasAsientos();
    int fallas = 0;
    {
        PruebaCatalogo t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    {
        PruebaCatalogosSimples t;
        fallas += QTest::qExec(&t, argc, argv);
    }
    return fallas == 0 ? 0 : 1;
}
