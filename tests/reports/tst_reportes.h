#pragma once
#include <QObject>

class PruebaReportes : public QObject {
    Q_OBJECT
private slots:
    void sumarizador_data();
    void sumarizador();
    void formatoJerarquia_data();
    void formatoJerarquia();
    void filtros_data();
    void filtros();
    void totales_data();
    void totales();
    void balance_data();
    void balance();
    void maximos();
    void membrete_data();
    void membrete();
    void pantalla();
    void pantallaSinEjercicio();
};
