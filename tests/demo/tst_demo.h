#pragma once
#include <QObject>

class PruebaDemostracion : public QObject {
    Q_OBJECT
private slots:
    void libro();
    void planModelo();
    void copioPlanModelo_data();
    void copioPlanModelo();
    void consola();
    void opcionesSinPantalla_data();
    void opcionesSinPantalla();
};
