#pragma once
#include <QObject>
#include <QString>

// Inserts an account of company 1, year 1.
void Cuenta(int cuenta, int padre, int numHijo, const QString& descripcion = QString(),
            const QString& codInt = QString());
// An entry with one line on the account (company, year).
void Linea(int cuenta, int empresa = 1, int ejercicio = 1);

class PruebaCodigos : public QObject {
    Q_OBJECT
private slots:
    void codJerCuenta_data();
    void codJerCuenta();
    void decimoHermanoEnsanchaElNivel();
    void cuentaDeCodJer_data();
    void cuentaDeCodJer();
    void mascara();
    void ultNumHijo_data();
    void ultNumHijo();
    void esAncestro();
    void arbolHuerfanosYSoloRaiz();
    void arbolProfundoYOrden();
};

class PruebaOperaciones : public QObject {
    Q_OBJECT
private slots:
    void agregoCuenta();
    void agregoBajoCuentaConLineas();
    void grabacionFallidaNoDejaNada();
    void modificoReemplazaConceptos();
    void eliminoCuenta();
    void muevoCuenta_data();
    void muevoCuenta();
    void ingresoCuenta_data();
    void ingresoCuenta();
    void ingresoSinCoincidenciaAbreSelector();
    void planDeIngreso();
};

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
