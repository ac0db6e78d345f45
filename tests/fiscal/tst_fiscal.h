#pragma once
#include <QObject>

// Fiscal years: period rules, numbering, deletion and the chart paste, headless.
class PruebaEjercicios : public QObject {
    Q_OBJECT
private slots:
    void periodosQueSeSuperponen_data();
    void periodosQueSeSuperponen();
    void mensajeNombraElOtroPeriodo();
    void acortarDejandoAsientosAfuera_data();
    void acortarDejandoAsientosAfuera();
    void numeracionPorEmpresa();
    void nuevoEjercicioConCuentaRaiz();
    void borrarSoloEjercicioVacio();
    void borrarConAsientosNoTocaNada();
    void pegoCopiaJerarquiaMarcasYConceptos();
    void pegoSobreEjercicioConAsientosSeRechaza();
    void pegoQueFallaDejaElPlanViejo_data();
    void pegoQueFallaDejaElPlanViejo();
    void pegoSobreSiMismoNoPierdeNada();
    void chequeosCierreYApertura_data();
    void chequeosCierreYApertura();
};
