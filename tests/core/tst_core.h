#pragma once
#include <QObject>

class PruebaBase : public QObject {
    Q_OBJECT
private slots:
    void creaEsquemaCompleto();
    void relacionesSeCumplen();
    void archivosAjenosQuedanIntactos_data();
    void archivosAjenosQuedanIntactos();
    void carpetaEnLugarDeBase();
    void baseSqliteDeOtroProgramaQuedaIntacta();
    void valorCampoSeparaVacioDeNulo();
    void ordenAlfabeticoEspanol();
    void busquedaSinMayusculas_data();
    void busquedaSinMayusculas();
    void transaccionesAnidadas();
    void sesiones();
    void loginConComillasYComodines_data();
    void loginConComillasYComodines();
    void contrasenaPlanaSeReescribe();
    void baseEnUsoPorOtraConexion();
    void captionPrincipal();
    void rellenadoNoCortaNumerosAnchos_data();
    void rellenadoNoCortaNumerosAnchos();
    void conexionPerdida();
    void baseDelServidor();
    void comodinesLiterales_data();
    void comodinesLiterales();
    void lectorComoLaConsulta_data();
    void lectorComoLaConsulta();
    void sentenciaDetenible_data();
    void sentenciaDetenible();
};

// The engine seam and the layering of the sources; the schema and the plans the statements get.
class PruebaMotor : public QObject {
    Q_OBJECT
private slots:
    void soloElMotorHablaSuDialecto_data();
    void soloElMotorHablaSuDialecto();
    void logicaSinEstadoGlobal();
    void registroDeMotores_data();
    void registroDeMotores();
    void logicaSinPantallas();
    void pantallasSinSentencias_data();
    void pantallasSinSentencias();
    void unSoloEscritorDeAsientos();
    void esquemaConSusIndicesYRelaciones();
    void consultasUsanIndices_data();
    void consultasUsanIndices();
};

class PruebaIni : public QObject {
    Q_OBJECT
private slots:
    void lecturaYEscritura();
    void archivosRaros_data();
    void archivosRaros();
    void rutaCompleta_data();
    void rutaCompleta();
    void numeros_data();
    void numeros();
    void fechas_data();
    void fechas();
};

class PruebaImporte : public QObject {
    Q_OBJECT
private slots:
    void leo_data();
    void leo();
    void formato_data();
    void formato();
    void baseYSumasExactas();
};
