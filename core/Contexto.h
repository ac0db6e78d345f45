#pragma once
// What a logic operation acts on and on whose behalf: company, year, user and session, passed as a
// value so that the operation does not depend on the screens' global state. Statements still run on
// the one shared connection (core/Basedatos.h).
struct Contexto {
    int empresa = 0;
    int ejercicio = 0;
    int usuario = 0;
    int sesion = 0;

    Contexto conEjercicio(int otro) const {
        Contexto c = *this;
        c.ejercicio = otro;
        return c;
    }
};

// The context of the application state: the current company, year, user and session.
Contexto ContextoActual();
