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
// A line's amount in whole cents, as every sum of the program takes it.
QString Centavos(const QString& importe) {
    return "CAST(ROUND((" + importe + ")*100) AS BIGINT)";
}
const char* const ColumnasSumas = "SumasMensuales (EmpresaPropia, NumEjercicio, Mes, Cuenta, Debe, Haber, Debitos, Creditos)";
} // namespace

QString DialectoMotor::AlSumar() {
    return " ON CONFLICT (EmpresaPropia, NumEjercicio, Mes, Cuenta) DO UPDATE SET Debe = SumasMensuales.Debe + "
           "excluded.Debe, Haber = SumasMensuales.Haber + excluded.Haber, Debitos = SumasMensuales.Debitos + "
           "excluded.Debitos, Creditos = SumasMensuales.Creditos + excluded.Creditos";
}

QString DialectoMotor::SumoLinea(const QString& f, int signo) const {
    const QString s = QString::number(signo);
    return QString("INSERT INTO ") + ColumnasSumas + " SELECT " + f + ".EmpresaPropia, " + f + ".NumEjercicio, " +
           MesDe("A.Fecha") + ", " + f + ".Cuenta, " + s + " * CASE WHEN " + f + ".Importe > 0 THEN " +
           Centavos(f + ".Importe") + " ELSE 0 END, " + s + " * CASE WHEN " + f + ".Importe < 0 THEN " +
           Centavos(f + ".Importe") + " ELSE 0 END, CASE WHEN " + f + ".Importe > 0 THEN " + s +
           " ELSE 0 END, CASE WHEN " + f + ".Importe < 0 THEN " + s + " ELSE 0 END FROM " +
           PorIndice("Asientos AS A") + " WHERE " +
           "A.EmpresaPropia = " + f + ".EmpresaPropia AND A.NumEjercicio = " + f + ".NumEjercicio AND A.Asiento = " +
           f + ".Asiento AND A.Fecha IS NOT NULL AND " + f + ".Cuenta IS NOT NULL AND " + f + ".Importe <> 0" +
           AlSumar();
}

QString DialectoMotor::SumoLineasDe(const QString& f, int signo) const {
    const QString s = QString::number(signo);
    return QString("INSERT INTO ") + ColumnasSumas + " SELECT D.EmpresaPropia, D.NumEjercicio, " + MesDe(f + ".Fecha") +
           ", D.Cuenta, " + s + " * SUM(CASE WHEN D.Importe > 0 THEN " + Centavos("D.Importe") + " ELSE 0 END), " +
           s + " * SUM(CASE WHEN D.Importe < 0 THEN " + Centavos("D.Importe") + " ELSE 0 END), " + s +
           " * COUNT(CASE WHEN D.Importe > 0 THEN 1 END), " + s +
           " * COUNT(CASE WHEN D.Importe < 0 THEN 1 END) FROM " +
           // The entry's lines through their key: grouped by account, a planner without figures walks
           // the index by account, every line of the year for each entry written.
           PorIndice("DetAsientos AS D") + " WHERE D.EmpresaPropia = " + f +
           ".EmpresaPropia AND D.NumEjercicio = " + f + ".NumEjercicio AND D.Asiento = " + f + ".Asiento AND " + f +
           ".Fecha IS NOT NULL AND D.Cuenta IS NOT NULL AND D.Importe <> 0 GROUP BY D.EmpresaPropia, "
           "D.NumEjercicio, D.Cuenta" +
           AlSumar();
}

QString DialectoMotor::SumasDeLineas(const QString& condicion) const {
    return "SELECT D.EmpresaPropia, D.NumEjercicio, " + MesDe("A.Fecha") +
           " AS Mes, D.Cuenta, SUM(CASE WHEN D.Importe > 0 THEN " + Centavos("D.Importe") +
           " ELSE 0 END) AS Debe, SUM(CASE WHEN D.Importe < 0 THEN " + Centavos("D.Importe") +
           " ELSE 0 END) AS Haber, COUNT(CASE WHEN D.Importe > 0 THEN 1 END) AS Debitos, COUNT(CASE WHEN "
           "D.Importe < 0 THEN 1 END) AS Creditos FROM Asientos AS A CROSS JOIN " +
           // Each entry's lines through their key: the index by account would be walked for each entry.
           PorIndice("DetAsientos AS D") +
           " WHERE D.EmpresaPropia = A.EmpresaPropia AND D.NumEjercicio = A.NumEjercicio AND D.Asiento = "
           "A.Asiento AND A.Fecha IS NOT NULL AND D.Cuenta IS NOT NULL AND D.Importe <> 0" +
           (condicion.isEmpty() ? QString() : " AND " + condicion) + " GROUP BY D.EmpresaPropia, D.NumEjercicio, " +
           MesDe("A.Fecha") + ", D.Cuenta";
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
