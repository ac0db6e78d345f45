#pragma once
#include <QObject>

// Hostile text typed into the screens as a user types it: every value stored and read back as typed
// (or refused with a clear message), searches that take it literally, no screen that breaks or hangs.
class PruebaHostil : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void guardoYLeo_data();
    void guardoYLeo();
    void leyendas_data();
    void leyendas();
    void contrasenas_data();
    void contrasenas();
    void busquedas_data();
    void busquedas();
    void todosLosCampos_data();
    void todosLosCampos();
};
