#pragma once
// What a logic operation acts on and on whose behalf: the connection its statements run on, the
// company, year, user and session, passed as a value so that the operation does not depend on the
// screens' global state. Two contexts on two connections are two books open side by side; a report
// run off the screens' thread takes a context on a connection opened in its own thread.
#include <QString>

class Progreso;
class QSqlDatabase;

struct Contexto {
    int empresa = 0;
    int ejercicio = 0;
    int usuario = 0;
    int sesion = 0;
    // Name of the connection (core/Basedatos.h, AbroConexion); empty: the shared one the program opened.
    QString conexion;
    // Where a long operation reports how far it has gone and learns that it must stop (core/Progreso.h);
    // none: nobody watches and nothing stops it.
    Progreso* progreso = nullptr;
    // The program acting on its own behalf (a generated book, an upgrade), never on a person's: the
    // permission levels (core/Permisos.h) do not apply. A context of no user that is not the
    // system's may do nothing that permissions govern.
    bool sistema = false;

    Contexto En(int otraEmpresa, int otroEjercicio) const {
        Contexto c = *this;
        c.empresa = otraEmpresa;
        c.ejercicio = otroEjercicio;
        return c;
    }
    Contexto conEjercicio(int otro) const {
        Contexto c = *this;
        c.ejercicio = otro;
        return c;
    }
    // A company and year on the shared connection, on behalf of no one in particular.
    static Contexto De(int empresa, int ejercicio) {
        Contexto c;
        c.empresa = empresa;
        c.ejercicio = ejercicio;
        return c;
    }
    // The system's own context for a company and year (see sistema).
    static Contexto DelSistema(int empresa = 0, int ejercicio = 0) {
        Contexto c = De(empresa, ejercicio);
        c.sistema = true;
        return c;
    }
    // The connection the context's statements run on (not valid when no such connection is open).
    QSqlDatabase Base() const;
    bool Compartida() const { return conexion.isEmpty(); }
};
