#pragma once
#include <QObject>

class PruebaEstados : public QObject {
    Q_OBJECT
private slots:
    void demostracion_data();
    void demostracion();
    void generador();
    void rubros();
};
