#pragma once
#include <QObject>

// The year's closing entries and the next year's opening, headless.
class PruebaCierre : public QObject {
    Q_OBJECT
private slots:
    void cierre_data();
    void cierre();
    void apertura_data();
    void apertura();
    void deUnEjercicioAlSiguiente();
    void cancelado_data();
    void cancelado();
};
