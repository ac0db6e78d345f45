#pragma once
#include <QObject>

class PruebaReAjustado : public QObject {
    Q_OBJECT
private slots:
    void reajustado_data();
    void reajustado();
    void redondeo_data();
    void redondeo();
    void publicado();
    void lecturas_data();
    void lecturas();
    void plan_data();
    void plan();
    void pantalla();
};
