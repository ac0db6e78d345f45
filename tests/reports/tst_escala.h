#pragma once
#include <QObject>

class PruebaEscala : public QObject {
    Q_OBJECT
private slots:
    void planesBalance_data();
    void planesBalance();
    void planesDisparadores_data();
    void planesDisparadores();
    void sumasMensuales_data();
    void sumasMensuales();
    void estadisticasAlAbrir_data();
    void estadisticasAlAbrir();
};
