#include "core/Motor.h"

#include "core/Basedatos.h"
#include "core/MotorPostgres.h"
#include "core/MotorSqlite.h"

#include <QList>

const char* const EnMantenimientoTexto =
    "la base de datos se está recuperando de la copia de seguridad o compactando en otra estación o "
    "instancia del programa; intente nuevamente cuando termine";

namespace {

// Every engine the program knows, one line each. An address goes to the first that recognises it:
// the file engine, which takes any path, stays last, and is the engine of whatever no other claims.
const QList<const Motor*>& Registrados() {
    static const QList<const Motor*> motores = {
        &MotorPostgres(),
        &MotorSqlite(),
    };
    return motores;
}

const Motor& PorOmision() {
    return *Registrados().last();
}

} // namespace

const Motor& MotorDe(const QSqlDatabase& db) {
    if (db.isValid())
        for (const Motor* m : Registrados())
            if (db.driverName() == QLatin1String(m->controlador)) return *m;
    return PorOmision();
}

const Motor& MotorDeRuta(const QString& ruta) {
    for (const Motor* m : Registrados())
        if (m->Reconoce(ruta)) return *m;
    return PorOmision();
}

const Motor& MotorLlamado(const QString& nombre) {
    for (const Motor* m : Registrados())
        if (nombre.compare(QLatin1String(m->nombre), Qt::CaseInsensitive) == 0) return *m;
    return PorOmision();
}

const Motor& MotorActual() {
    const QSqlDatabase db = Conexion();
    return db.isValid() ? MotorDe(db) : MotorDeRuta(DireccionAbierta());
}

QString DialectoMotor::Ddl(const QString& sentencia) const {
    return Esquema::ConTipos(sentencia, [this](Esquema::Tipo t) { return Tipo(t); });
}

namespace {
bool SinCopiaDeServidor(QString* error) {
    if (error) *error = "el motor de base de datos no hace copias de un servidor";
    return false;
}
} // namespace

bool AlmacenMotor::RespaldoEn(const QString&, const QString&, QString* error) const {
    return SinCopiaDeServidor(error);
}
bool AlmacenMotor::RespaldoLegible(const QString&, QString* detalle) const {
    return SinCopiaDeServidor(detalle);
}
bool AlmacenMotor::RestauroDe(const QString&, const QString&, QString* error) const {
    return SinCopiaDeServidor(error);
}
bool AlmacenMotor::ExaminoRespaldo(const QString&, const QString&,
                                   const std::function<void(const QSqlDatabase&)>&, QString* error) const {
    return SinCopiaDeServidor(error);
}
bool AlmacenMotor::PreparoPermisos(QSqlDatabase&, QString*) const {
    return true;
}
bool AlmacenMotor::GraboCuenta(QSqlDatabase&, const Cuenta&, QString*) const {
    return true;
}
bool AlmacenMotor::BorroCuenta(QSqlDatabase&, const QString&, QString*) const {
    return true;
}
bool AlmacenMotor::ClaveDeCuenta(QSqlDatabase&, const QString&, const QString&, QString*) const {
    return true;
}
bool AlmacenMotor::AccesoDelUsuario(const QString&) const {
    return false;
}
void AlmacenMotor::AccedoComo(const QString&, const QString&) {}
bool AlmacenMotor::CompactoEnSitio(QSqlDatabase&, QString* error) const {
    return SinCopiaDeServidor(error);
}
