#pragma once
#include <QObject>
#include <QString>

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
    void busquedasDelPlan_data();
    void busquedasDelPlan();
};
