#pragma once
#include <QObject>

// The year closing and year opening screens driven as a user, from the main window's commands.
class PruebaFrmCierre : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cierreDesdeElMenu();
    void aperturaDesdeElMenu();
};
