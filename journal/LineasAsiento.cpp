#include "journal/LineasAsiento.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Dialecto.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "journal/Asiento.h"

#include <QHash>
#include <QPair>

namespace {
int Lado(bool debe) {
    return debe ? -1 : 0;
}

const QString DesdeLeyendas = QStringLiteral(
    " FROM ConceptosDetAsiento INNER JOIN CuentasConceptos ON ConceptosDetAsiento.ConceptoDetAsiento = "
    "CuentasConceptos.ConceptoDetAsiento WHERE CuentasConceptos.EmpresaPropia=? AND "
    "CuentasConceptos.NumEjercicio=? AND CuentasConceptos.Cuenta=? AND CuentasConceptos.Debe=?");
} // namespace

QStringList LeyendasCuenta(int cuenta, bool debe) {
    QStringList r;
    if (cuenta == 0) return r;
    QSqlQuery q =
        Consulto("SELECT ConceptosDetAsiento.descConceptoDetAsiento" + DesdeLeyendas + " ORDER BY " +
                     Dialecto::Alfabetico("ConceptosDetAsiento.descConceptoDetAsiento"),
                 {App().currentCompany, App().currentYear, cuenta, Lado(debe)});
    while (q.next())
        r << NuloAVacio(q.value(0));
    return r;
}

bool EsLeyendaEstandar(int cuenta, bool debe, const QString& concepto) {
    QSqlQuery q = Consulto("SELECT CuentasConceptos.ConceptoDetAsiento" + DesdeLeyendas + " AND " +
                               Dialecto::Mayusculas("ConceptosDetAsiento.descConceptoDetAsiento") + "=?",
                           {App().currentCompany, App().currentYear, cuenta, Lado(debe), concepto.toUpper()});
    return q.next();
}

QString PreguntaIncorporoLeyenda(const QString& concepto, const QString& descripcionCuenta, bool debe) {
    return "Está seguro de incorporar la leyenda '" + concepto + "' a las leyendas estandár de la cuenta '" +
           descripcionCuenta + "' para sus movimientos de " + (debe ? "débito" : "crédito");
}

QString IncorporoLeyenda(int cuenta, bool debe, const QString& concepto) {
    Transaccion t;
    if (!t.ok()) return t.error();
    // A legend of the same text (letter case aside) is linked instead of a duplicate.
    const Valor existente =
        ValorCampo("ConceptosDetAsiento", "ConceptoDetAsiento",
                   Dialecto::Mayusculas("descConceptoDetAsiento") + "=? ORDER BY ConceptoDetAsiento",
                   {concepto.toUpper()});
    int codigo = 0;
    if (existente && !existente->isNull()) {
        codigo = existente->toInt();
    } else {
        codigo = int(NumeroOCero(ValorCampo("ConceptosDetAsiento", "Max(ConceptoDetAsiento)", "1=1"))) + 1;
        const Resultado r = Ejecuto(
            "INSERT INTO ConceptosDetAsiento (ConceptoDetAsiento, descConceptoDetAsiento) VALUES (?, ?)",
            {codigo, concepto});
        if (!r.ok) return r.error;
    }
    const Resultado r = Ejecuto("INSERT INTO CuentasConceptos (EmpresaPropia, NumEjercicio, Cuenta, Debe, "
                                "ConceptoDetAsiento) VALUES (?, ?, ?, ?, ?)",
                                {App().currentCompany, App().currentYear, cuenta, Lado(debe), codigo});
    if (!r.ok) return r.error;
    if (!t.Confirmo()) return t.error();
    return QString();
}

QDate FechaNuevoAsiento() {
    const QVariantList alcance{App().currentCompany, App().currentYear};
    const Valor ultima = ValorCampo("Asientos", "Max(Fecha)", "EmpresaPropia=? AND NumEjercicio=?", alcance);
    if (ultima && !ultima->isNull()) return FechaDeBase(*ultima);
    return FechaDeBase(
        ValorCampo("Ejercicios", "ComienzoEjercicio", "EmpresaPropia=? AND NumEjercicio=?", alcance)
            .value_or(QVariant()));
}

AsientoGuardado LeoAsiento(int asiento, const MaximosNivel& maximos) {
    const AppState& a = App();
    AsientoGuardado r;
    QSqlQuery q = Consulto("SELECT Asiento, Fecha, Concepto FROM Asientos WHERE EmpresaPropia=? AND "
                           "NumEjercicio=? AND Asiento=?",
                           {a.currentCompany, a.currentYear, asiento});
    if (!q.next()) return r;
    r.existe = true;
    r.asiento = q.value(0).toInt();
    r.fecha = FechaDeBase(q.value(1));
    r.concepto = NuloAVacio(q.value(2));
    q.finish();
    r.huella = HuellaAsiento(asiento);

    FilasPlan plan;
    plan.Cargo(a.currentCompany, a.currentYear);
    // Legends read once per account and side.
    QHash<QPair<int, bool>, QStringList> leyendas;
    q = Consulto("SELECT DetAsientos.Cuenta, Cuentas.CodInt, Cuentas.Descripcion, DetAsientos.Importe, "
                 "DetAsientos.Concepto, DetAsientos.FechaAjuste FROM Cuentas INNER JOIN DetAsientos ON "
                 "Cuentas.EmpresaPropia = DetAsientos.EmpresaPropia AND Cuentas.NumEjercicio = "
                 "DetAsientos.NumEjercicio AND Cuentas.Cuenta = DetAsientos.Cuenta WHERE "
                 "DetAsientos.EmpresaPropia=? AND DetAsientos.NumEjercicio=? AND DetAsientos.Asiento=? "
                 "ORDER BY -" +
                     Dialecto::Signo("DetAsientos.Importe") + ", DetAsientos.Concepto, DetAsientos.Detalle",
                 {a.currentCompany, a.currentYear, asiento});
    while (q.next()) {
        LineaGuardada l;
        l.cuenta = q.value(0).toInt();
        l.codInt = NuloAVacio(q.value(1));
        l.codJer = CodJerCuenta(l.cuenta, a.currentCompany, a.currentYear, maximos, &plan);
        l.descripcion = NuloAVacio(q.value(2));
        l.importe = Importe::DeBase(q.value(3));
        l.concepto = NuloAVacio(q.value(4));
        l.fechaAjuste = FechaDeBase(q.value(5));
        const bool debe = l.importe.signo() >= 0;
        const auto clave = qMakePair(l.cuenta, debe);
        if (!leyendas.contains(clave)) leyendas.insert(clave, LeyendasCuenta(l.cuenta, debe));
        l.leyendas = leyendas.value(clave);
        l.marca = !l.concepto.isEmpty() && !EsLeyendaEstandar(l.cuenta, debe, l.concepto);
        r.lineas << l;
    }
    return r;
}
