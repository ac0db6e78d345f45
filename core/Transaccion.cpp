#include "core/Transaccion.h"

#include "core/Basedatos.h"

namespace {
int profundidad = 0;
}

int Transaccion::Profundidad() { return profundidad; }

Transaccion::Transaccion() {
    nivel = profundidad + 1;
    const Resultado r =
        Ejecuto(nivel == 1 ? QStringLiteral("BEGIN IMMEDIATE") : QString("SAVEPOINT nivel%1").arg(nivel));
    iniciada = r.ok;
    textoError = r.error;
    if (iniciada) profundidad = nivel;
    else terminada = true;
}

Transaccion::~Transaccion() {
    if (!terminada) Deshago();
}

bool Transaccion::Confirmo() {
    if (terminada) return false;
    const Resultado r =
        Ejecuto(nivel == 1 ? QStringLiteral("COMMIT") : QString("RELEASE SAVEPOINT nivel%1").arg(nivel));
    if (!r.ok) {
        textoError = r.error;
        Deshago();
        return false;
    }
    terminada = true;
    profundidad = nivel - 1;
    return true;
}

void Transaccion::Deshago() {
    if (terminada) return;
    if (nivel == 1) {
        Ejecuto("ROLLBACK");
    } else {
        Ejecuto(QString("ROLLBACK TO SAVEPOINT nivel%1").arg(nivel));
        Ejecuto(QString("RELEASE SAVEPOINT nivel%1").arg(nivel));
    }
    terminada = true;
    profundidad = nivel - 1;
}
