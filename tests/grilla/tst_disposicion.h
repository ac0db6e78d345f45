#pragma once
#include <QObject>

class PruebaDisposicion : public QObject {
    Q_OBJECT
private slots:
    void ventanaNormal();
    void maximizadaVuelveMaximizadaYRestaura();
    void izquierdaNegativaNoSeAplica();
    void sinDisposicionGuardada();
    void ventanaMdi();
    void columnasTodas();
    void bandas();
    void recuperoAntesDeEntrarAlMarco_data();
    void recuperoAntesDeEntrarAlMarco();
};
