#pragma once
#include <QObject>

class PruebaInflacion : public QObject {
    Q_OBJECT
private slots:
    void guardado_data();
    void guardado();
    void importo_data();
    void importo();
    void importoPublicado();
    void pantalla();
};
