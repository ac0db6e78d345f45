#include "core/Motor.h"

#include "core/Basedatos.h"
#include "core/MotorSqlite.h"

Motor& MotorDe(const QSqlDatabase&) {
    // One engine today; the driver of the connection will pick among several.
    static MotorSqlite sqlite;
    return sqlite;
}

Motor& MotorActual() {
    return MotorDe(Conexion());
}
