#pragma once
#include <QObject>

class PruebaConfiguracion : public QObject {
    Q_OBJECT
private slots:
    void sinArchivos();
    void rutaBase_data();
    void rutaBase();
    void sqlAccess_data();
    void sqlAccess();
    void ultimoEjercicio_data();
    void ultimoEjercicio();
    void carpetaAjustes();
    void traduccionesEspanol();
    void contrasenaALaVista_data();
    void contrasenaALaVista();
};

class PruebaAcceso : public QObject {
    Q_OBJECT
private slots:
    void ventana();
    void ingreso_data();
    void ingreso();
    void cancelar();
};

class PruebaPrincipal : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void menus();
    void habilitadosSegunRegistro();
    void fondoYVentanas();
    void listaVentanas();
    void cambioEjercicio_data();
    void cambioEjercicio();
    void formaDecideComoAbre_data();
    void formaDecideComoAbre();
    void comandosAsientos();
    void preseleccionCatalogos();
    void setupImpresora();
    void ayuda();
    void salida();
    void salidaRechazada();
    void captionDesdeOtraPantalla();
};

class PruebaArranque : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void baseRechazada_data();
    void baseRechazada();
    void sinLeerEnteraAlArrancar();
    void versionAnterior_data();
    void versionAnterior();
    void respaldoInicialCancelado_data();
    void respaldoInicialCancelado();
    void primerArranque();
    void restauraEjercicio();
    void loginCancelado();
    void dosInstancias();
};

// Child process of dosInstancias: opens the database, waits for the signal and takes a session.
int ProcesoSesion(int argc, char* argv[]);
