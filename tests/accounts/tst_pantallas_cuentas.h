#pragma once
#include <QObject>

class PruebaPantallaCuentas : public QObject {
    Q_OBJECT
private slots:
    void rechazaSinEjercicio();
    void abreConArbolYCaption();
    void agregoYEdito();
    void preguntaAlCambiarDeCuenta();
    void borrados();
    void muevoArrastrando();
    void busquedas();
    void seleccionar();
    void conceptos();
    void otraSesionCambiaElPlan();
    void ingresoEnGrilla();
    void clicYColapsoComoCambioDeNodo_data();
    void clicYColapsoComoCambioDeNodo();
    void cadaActivacionVuelveALaBusqueda();
};

class PruebaUsoPlan : public QObject {
    Q_OBJECT
private slots:
    void planVacioHabilitaBusquedaJerarquica();
    void clicEnBusquedaJerarquica();
    void grillasConceptosSinDesplazamiento();
    void selectorDeConceptosReal();
    void busquedaCodIntSinMayusculas();
    void sugerenciaFueraDeRango();
    void busquedaJerarquicaTrasGuardar();
};
