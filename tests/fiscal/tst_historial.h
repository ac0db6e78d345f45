#pragma once
#include <QObject>

// The one writer of entries: closed years kept closed on every path, and the chained history of
// every write, headless.
class PruebaHistorial : public QObject {
    Q_OBJECT
private slots:
    void ejercicioCerrado();
    void registros();
    void verificacion_data();
    void verificacion();
};
