#pragma once
#include "core/paginado/Encabezado.h"

#include <QObject>

Q_DECLARE_METATYPE(TramoEncabezado)

class PruebaGrilla : public QObject {
    Q_OBJECT
private slots:
    void init();
    void modeloCumpleContrato();
    void almacenamientoCompacto();
    void busqueda_data();
    void busqueda();
    void numeros_data();
    void numeros();
    void numerosTipeados_data();
    void numerosTipeados();
    void mascara_data();
    void mascara();
    void mascaraTipeada();
    void fechaInvalidaRechazada();
    void soloLecturaRechazaEdicion();
    void borroEInsertoFilas();
    void formulas();
    void celdaActual();
    void senalesDeUsuario();
    void botonYCombo();
    void ocultoSuspendeAvisos();
    void separadorDelSistema();
    void accesibilidad();
    void altoDeFila();
    void encabezadoImpreso_data();
    void encabezadoImpreso();
    void impresionPdf();
};
