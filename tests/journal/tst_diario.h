#pragma once
#include <QObject>

// Posting rules, legends and two workstations (logic, headless).
class PruebaAsiento : public QObject {
    Q_OBJECT
private slots:
    void init();
    void reglas_data();
    void reglas();
    void edicion();
    void borrado();
    void leyendas();
    void dosEstaciones();
};

// The entry editor driven as a user.
class PruebaEditor : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void nuevoYGuardado();
    void navegacionYPreguntas_data();
    void navegacionYPreguntas();
    void edicionDeshacerBorrado();
    void grilla();
    void teclado();
    void comandosYSalida();
    void lineasConFilasVacias_data();
    void lineasConFilasVacias();
    void cambioDeEjercicio_data();
    void cambioDeEjercicio();
    void cerradoEHistorial();
};

// Typing entries by keyboard.
class PruebaTeclado : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void fechas_data();
    void fechas();
    void busquedas_data();
    void busquedas();
    void totales_data();
    void totales();
    void comandoYCodigoCorto();
    void selector_data();
    void selector();
    void completado();
    void copiaYAtajos();
    void ventaDeTresLineas();
};

// Saves `cantidad` new entries into the database at `ruta` (company 1, year 1); the number of
// failures. Run in a child process to act as a second workstation.
int GraboEnOtroProceso(const QString& ruta, int cantidad);
