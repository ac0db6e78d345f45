#pragma once
#include <QObject>

// The ledgers and the general journal: what their tables hold, the plans of their statements, and
// their screens.
class PruebaLibros : public QObject {
    Q_OBJECT
private slots:
    void mayores_data();
    void mayores();
    void diario_data();
    void diario();
    void planes_data();
    void planes();
    void pantallaMayores();
    void pantallaDiario();
    void diarioPorPartes_data();
    void diarioPorPartes();
    void cambioDeEjercicio_data();
    void cambioDeEjercicio();
    void dosLibrosYOtroHilo();
};
