#pragma once
#include <QObject>

class PruebaBusqueda : public QObject {
    Q_OBJECT
private slots:
    void consulta_data();
    void consulta();
    void criteriosInvalidos_data();
    void criteriosInvalidos();
    void defectosYOrdenRecordado();
    void pantalla();
    void planes_data();
    void planes();
};
