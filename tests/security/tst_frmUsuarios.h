#pragma once
#include <QObject>

// The users screen driven as a user.
class PruebaFrmUsuarios : public QObject {
    Q_OBJECT
private slots:
    void init();
    void nivelesDePermiso_data();
    void nivelesDePermiso();
    void nuevoUsuarioEnMayusculas();
    void contrasenaNuncaSeMuestra();
    void blanquearContrasena();
    void filaConContrasenaPlana();
    void usuarioVacio();
    void filtros_data();
    void filtros();
    void captionDelUsuarioActual();
    void posicionAlCargar_data();
    void posicionAlCargar();
};
