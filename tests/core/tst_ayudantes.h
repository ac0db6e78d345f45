#pragma once
#include <QObject>

class PruebaAyudantes : public QObject {
    Q_OBJECT
private slots:
    void llenoCombo();
    void valorCampoTabla();
    void ajustoTexto_data();
    void ajustoTexto();
    void ubicoPanel_data();
    void ubicoPanel();
    void centroVentana();
    void mensajeSinRespuestaFalla_data();
    void mensajeSinRespuestaFalla();
    void ventanaProgreso_data();
    void ventanaProgreso();
    void ventanaEtapas_data();
    void ventanaEtapas();
};

class PruebaEdicion : public QObject {
    Q_OBJECT
private slots:
    void preguntoGuardar_data();
    void preguntoGuardar();
    void catalogoDatos_data();
    void catalogoDatos();
};
