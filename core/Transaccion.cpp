#include "core/Transaccion.h"

#include "core/Basedatos.h"
#include "core/Motor.h"

#include <QSqlQuery>

namespace {
int profundidad = 0;

// Rolling back leaves UltimoError() alone: it still tells what failed, for the caller's message. A
// transaction lost with its connection was rolled back by the server already; the next statement
// opens the connection again.
void Deshecho(const QString& sql) {
    if (ConexionPerdida()) return;
    QSqlQuery q(Conexion());
    q.exec(sql);
}
} // namespace

int Transaccion::Profundidad() {
    return profundidad;
}

Transaccion::Transaccion() {
    nivel = profundidad + 1;
    if (nivel == 1) {
        // Run as it stands, not prepared: on a server it is the start and the writers' lock together.
        // Nothing runs yet, so a connection found lost is opened again and the start sent once more.
        const Resultado r = Ejecuto(MotorActual().InicioEscritura());
        iniciada = r.ok;
        textoError = r.error;
        if (!iniciada) Deshecho("ROLLBACK");
    } else {
        const Resultado r = Ejecuto(QString("SAVEPOINT nivel%1").arg(nivel));
        iniciada = r.ok;
        textoError = r.error;
    }
    if (iniciada)
        profundidad = nivel;
    else
        terminada = true;
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
        Deshecho("ROLLBACK");
    } else {
        Deshecho(QString("ROLLBACK TO SAVEPOINT nivel%1").arg(nivel));
        Deshecho(QString("RELEASE SAVEPOINT nivel%1").arg(nivel));
    }
    terminada = true;
    profundidad = nivel - 1;
}
