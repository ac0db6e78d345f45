#include "core/Motor.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/MotorPostgres.h"
#include "core/MotorSqlite.h"

const char* const EnMantenimientoTexto =
    "la base de datos se está recuperando de la copia de seguridad o compactando en otra estación o "
    "instancia del programa; intente nuevamente cuando termine";

namespace {
MotorSqlite& Sqlite() {
    static MotorSqlite m;
    return m;
}
MotorPostgres& Postgres() {
    static MotorPostgres m;
    return m;
}
} // namespace

Motor& MotorDe(const QSqlDatabase& db) {
    if (db.isValid() && db.driverName() == QLatin1String("QPSQL")) return Postgres();
    return Sqlite();
}

Motor& MotorDeRuta(const QString& ruta) {
    if (EsDireccionPostgres(ruta)) return Postgres();
    return Sqlite();
}

Motor& MotorActual() {
    const QSqlDatabase db = Conexion();
    return db.isValid() ? MotorDe(db) : MotorDeRuta(App().databasePath);
}

namespace {
bool SinCopiaDeServidor(QString* error) {
    if (error) *error = "el motor de base de datos no hace copias de un servidor";
    return false;
}
} // namespace

bool Motor::RespaldoEn(const QString&, const QString&, QString* error) const {
    return SinCopiaDeServidor(error);
}
bool Motor::RespaldoLegible(const QString&, QString* detalle) const {
    return SinCopiaDeServidor(detalle);
}
bool Motor::RestauroDe(const QString&, const QString&, QString* error) const {
    return SinCopiaDeServidor(error);
}
bool Motor::ExaminoRespaldo(const QString&, const QString&, const std::function<void(const QSqlDatabase&)>&,
                            QString* error) const {
    return SinCopiaDeServidor(error);
}
bool Motor::CompactoEnSitio(QSqlDatabase&, QString* error) const {
    return SinCopiaDeServidor(error);
}
