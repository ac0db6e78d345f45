#pragma once
#include <QObject>

// The catalogue pattern, driven as a user through the companies screen.
class PruebaCatalogo : public QObject {
    Q_OBJECT
private slots:
    void init();
    void controles();
    void primeraEmpresaEsUno();
    void altaCopiaPrepararPagina();
    void altaFallidaNoDejaNada();
    void cambioDeFilaPregunta_data();
    void cambioDeFilaPregunta();
    void cambioDeCodigoUsaFilaEditada();
    void agregarPregunta_data();
    void agregarPregunta();
    void seleccionarPregunta_data();
    void seleccionarPregunta();
    void cerrarPregunta_data();
    void cerrarPregunta();
    void seleccionarSinFila();
    void enterEnListaSelecciona();
    void borrar();
    void borrarRechazadoPorRelacion();
    void borrarDuranteAlta();
    void busqueda_data();
    void busqueda();
    void teclaEnLista();
    void textosComoSeEscriben_data();
    void textosComoSeEscriben();
    void codigoInvalido_data();
    void codigoInvalido();
    void preseleccionAlCargar_data();
    void preseleccionAlCargar();
    void modeloDeLaLista();
    void cuitYDomicilio_data();
    void cuitYDomicilio();
};

// What differs in the other catalogue screens: statements, positioning, picker hand-over.
class PruebaCatalogosSimples : public QObject {
    Q_OBJECT
private slots:
    void init();
    void altaCambioYBaja_data();
    void altaCambioYBaja();
    void posicionConceptos_data();
    void posicionConceptos();
    void posicionTablas_data();
    void posicionTablas();
    void selectorEntregaEleccion_data();
    void selectorEntregaEleccion();
    void relacionesRechazan_data();
    void relacionesRechazan();
    void listadoIlegible();
    void enterEnCampoNoSelecciona();
};
