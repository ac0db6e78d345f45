#include "core/Transaccion.h"

#include "core/Basedatos.h"
#include "core/Motor.h"

#include <QSqlQuery>

#include <QHash>

namespace {
thread_local QHash<QString, int> profundidades;

// Rolling back leaves UltimoError() alone: it still tells what failed, for the caller's message. A
// transaction lost with its connection was rolled back by the server already; the next statement
// opens the connection again.
void Deshecho(const Contexto& ctx, const QString& sql) {
    if (ctx.Compartida() && ConexionPerdida()) return;
    QSqlQuery q(ctx.Base());
    q.exec(sql);
}
} // namespace

int Transaccion::Profundidad(const QString& conexion) {
    return profundidades.value(conexion);
}

Transaccion::Transaccion(const Contexto& ctx) : contexto(ctx) {
    nivel = profundidades.value(contexto.conexion) + 1;
    if (nivel == 1) {
        // Run as it stands, not prepared: on a server it is the start and the writers' lock together.
        // Nothing runs yet, so a connection found lost is opened again and the start sent once more.
        const Resultado r = Ejecuto(contexto, MotorDe(contexto.Base()).dialecto.InicioEscritura());
        iniciada = r.ok;
        textoError = r.error;
        if (!iniciada) Deshecho(contexto, "ROLLBACK");
    } else {
        const Resultado r = Ejecuto(contexto, QString("SAVEPOINT nivel%1").arg(nivel));
        iniciada = r.ok;
        textoError = r.error;
    }
    if (iniciada)
        profundidades[contexto.conexion] = nivel;
    else
        terminada = true;
}

Transaccion::~Transaccion() {
    if (!terminada) Deshago();
}

bool Transaccion::Confirmo() {
    if (terminada) return false;
    const Resultado r = Ejecuto(contexto, nivel == 1 ? QStringLiteral("COMMIT")
                                                     : QString("RELEASE SAVEPOINT nivel%1").arg(nivel));
    if (!r.ok) {
        textoError = r.error;
        Deshago();
        return false;
    }
    terminada = true;
    profundidades[contexto.conexion] = nivel - 1;
    return true;
}

void Transaccion::Deshago() {
    if (terminada) return;
    if (nivel == 1) {
        Deshecho(contexto, "ROLLBACK");
    } else {
        Deshecho(contexto, QString("ROLLBACK TO SAVEPOINT nivel%1").arg(nivel));
        Deshecho(contexto, QString("RELEASE SAVEPOINT nivel%1").arg(nivel));
    }
    terminada = true;
    profundidades[contexto.conexion] = nivel - 1;
}
