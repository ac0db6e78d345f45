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

// Saves `cantidad` new entries into the database at `ruta` (company 1, year 1); the number of
// failures. Run in a child process to act as a second workstation.
int GraboEnOtroProceso(const QString& ruta, int cantidad);
