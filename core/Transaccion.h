#pragma once
// One write transaction on the shared connection: begins on construction, commits on request,
// rolls back otherwise. Nested guards become savepoints, so pieces that each need a transaction
// can be composed. The outermost begins IMMEDIATE so that two instances taking "maximum plus one"
// numbers serialise instead of colliding.
#include <QString>

class Transaccion {
public:
    Transaccion();
    ~Transaccion();
    Transaccion(const Transaccion&) = delete;
    Transaccion& operator=(const Transaccion&) = delete;

    bool ok() const { return iniciada; }
    const QString& error() const { return textoError; }
    bool Confirmo(); // commit; false (and rolled back) when the commit fails
    void Deshago();  // roll back now

    static int Profundidad();

private:
    bool iniciada = false;
    bool terminada = false;
    int nivel = 0;
    QString textoError;
};
