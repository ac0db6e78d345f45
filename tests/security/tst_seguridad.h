#pragma once
#include <QObject>

// Permission levels: the lookup and their effect on a window's marked controls.
class PruebaPermisos : public QObject {
    Q_OBJECT
private slots:
    void nivelDelPerfil_data();
    void nivelDelPerfil();
    void controlesMarcados_data();
    void controlesMarcados();
    void nivelCeroRechazaLaVentana();
    void accionesEnLaLogica_data();
    void accionesEnLaLogica();
};

// Users and passwords, headless.
class PruebaUsuarios : public QObject {
    Q_OBJECT
private slots:
    void nuevoUsuario();
    void contrasenaSoloCambiaSiSeEscribe();
    void cambioContrasena_data();
    void cambioContrasena();
    void ultimoAdministrador_data();
    void ultimoAdministrador();
};

// The password change dialog driven as a user.
class PruebaFrmCambioContrasena : public QObject {
    Q_OBJECT
private slots:
    void muestraElUsuario();
    void reglas_data();
    void reglas();
    void enterEnConfirmacionAcepta();
    void abreDesdeElRegistro();
};

// On a server the server itself enforces the permissions: a workstation's own login, used outside
// the program, can do no more than its profile allows (skipped on a file).
class PruebaServidor : public QObject {
    Q_OBJECT
private slots:
    void loginDeEstacion_data();
    void loginDeEstacion();
    void vidaDelLogin();
};
