#pragma once
#include <QObject>

// The fiscal years screen driven as a user.
class PruebaFrmEjercicios : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cargaPreseleccionaEmpresaYEjercicio();
    void agregoEjercicio();
    void fechaInvalidaSeAtrapaAntes();
    void superposicionMuestraMensaje();
    void seleccionarDevuelveElPar();
    void salirSinSeleccionarDevuelveLoRecibido();
    void cambioDeEmpresaPreguntaYSinEjercicios();
    void pegarSinCopiarYMientrasAgrega();
    void copiarYPegar();
    void borrarEjercicio();
    void tablaDeAjuste();
    void verPlanDeCuentas();
    void verPlanAbreElPlanDelEjercicio();
    void sinEmpresas();
    void desdeLaVentanaPrincipal();
    void cierreYAperturaSeControlanAlAbrir();
};
