#pragma once
#include <QObject>

class PruebaExporto : public QObject {
    Q_OBJECT
private slots:
    void archivos_data();
    void archivos();
    void csv_data();
    void csv();
    void hojas_data();
    void hojas();
    void errores_data();
    void errores();
    void informe_data();
    void informe();
    void historial();
    void pantalla();
    void planes_data();
    void planes();
    void filas_data();
    void filas();
};
