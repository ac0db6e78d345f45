#pragma once
// One write transaction on the context's connection (the shared one by default): begins on construction, commits on request,
// rolls back otherwise. Nested guards become savepoints, so pieces that each need a transaction
// can be composed. The outermost begins IMMEDIATE so that two instances taking "maximum plus one"
// numbers serialise instead of colliding.
#include "core/Contexto.h"

#include <QString>

class Transaccion {
public:
    explicit Transaccion(const Contexto& ctx = Contexto());
    ~Transaccion();
    Transaccion(const Transaccion&) = delete;
    Transaccion& operator=(const Transaccion&) = delete;

    bool ok() const { return iniciada; }
    const QString& error() const { return textoError; }
    bool Confirmo(); // commit; false (and rolled back) when the commit fails
    void Deshago();  // roll back now

    // Depth of the open transactions on the shared connection (in this thread: a connection belongs
    // to the thread that opened it), or on the named one.
    static int Profundidad(const QString& conexion = QString());

private:
    bool iniciada = false;
    bool terminada = false;
    int nivel = 0;
    Contexto contexto;
    QString textoError;
};
