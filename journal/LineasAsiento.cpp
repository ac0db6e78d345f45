#include "journal/LineasAsiento.h"

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

QStringList LeyendasCuenta(const Contexto& ctx, int cuenta, bool debe) {
    QStringList r;
    if (cuenta == 0) return r;
    QSqlQuery q =
        Consulto(ctx, "SELECT ConceptosDetAsiento.descConceptoDetAsiento" + DesdeLeyendas + " ORDER BY " +
                     Dialecto::Alfabetico("ConceptosDetAsiento.descConceptoDetAsiento"),
                 {ctx.empresa, ctx.ejercicio, cuenta, Lado(debe)});
    while (q.next())
        r << NuloAVacio(q.value(0));
    return r;
}

bool EsLeyendaEstandar(const Contexto& ctx, int cuenta, bool debe, const QString& concepto) {
    QSqlQuery q = Consulto(ctx, "SELECT CuentasConceptos.ConceptoDetAsiento" + DesdeLeyendas + " AND " +
                               Dialecto::Mayusculas("ConceptosDetAsiento.descConceptoDetAsiento") + "=?",
                           {ctx.empresa, ctx.ejercicio, cuenta, Lado(debe), concepto.toUpper()});
    return q.next();
}

QString PreguntaIncorporoLeyenda(const QString& concepto, const QString& descripcionCuenta, bool debe) {
    return "Está seguro de incorporar la leyenda '" + concepto + "' a las leyendas estandár de la cuenta '" +
           descripcionCuenta + "' para sus movimientos de " + (debe ? "débito" : "crédito");
}

QString IncorporoLeyenda(const Contexto& ctx, int cuenta, bool debe, const QString& concepto) {
    Transaccion t(ctx);
    if (!t.ok()) return t.error();
    // A legend of the same text (letter case aside) is linked instead of a duplicate.
    const Valor existente =
        ValorCampo(ctx, "ConceptosDetAsiento", "ConceptoDetAsiento",
                   Dialecto::Mayusculas("descConceptoDetAsiento") + "=? ORDER BY ConceptoDetAsiento",
                   {concepto.toUpper()});
    int codigo = 0;
    if (existente && !existente->isNull()) {
        codigo = existente->toInt();
    } else {
        codigo = int(NumeroOCero(ValorCampo(ctx, "ConceptosDetAsiento", "Max(ConceptoDetAsiento)", "1=1"))) + 1;
        const Resultado r = Ejecuto(
            ctx, "INSERT INTO ConceptosDetAsiento (ConceptoDetAsiento, descConceptoDetAsiento) VALUES (?, ?)",
            {codigo, concepto});
        if (!r.ok) return r.error;
    }
    const Resultado r = Ejecuto(ctx,
                                "INSERT INTO CuentasConceptos (EmpresaPropia, NumEjercicio, Cuenta, Debe, "
                                "ConceptoDetAsiento) VALUES (?, ?, ?, ?, ?)",
                                {ctx.empresa, ctx.ejercicio, cuenta, Lado(debe), codigo});
    if (!r.ok) return r.error;
    if (!t.Confirmo()) return t.error();
    return QString();
}

QDate FechaNuevoAsiento(const Contexto& ctx) {
    const QVariantList alcance{ctx.empresa, ctx.ejercicio};
    const Valor ultima = ValorCampo(ctx, "Asientos", "Max(Fecha)", "EmpresaPropia=? AND NumEjercicio=?", alcance);
    if (ultima && !ultima->isNull()) return FechaDeBase(*ultima);
    return FechaDeBase(
        ValorCampo(ctx, "Ejercicios", "ComienzoEjercicio", "EmpresaPropia=? AND NumEjercicio=?", alcance)
            .value_or(QVariant()));
}

AsientoGuardado LeoAsiento(const Contexto& ctx, int asiento, const MaximosNivel& maximos) {
    AsientoGuardado r;
    QSqlQuery q = Consulto(ctx,
                           "SELECT Asiento, Fecha, Concepto FROM Asientos WHERE EmpresaPropia=? AND "
                           "NumEjercicio=? AND Asiento=?",
                           {ctx.empresa, ctx.ejercicio, asiento});
    if (!q.next()) return r;
    r.existe = true;
    r.asiento = q.value(0).toInt();
    r.fecha = FechaDeBase(q.value(1));
    r.concepto = NuloAVacio(q.value(2));
    q.finish();
    r.huella = HuellaAsiento(ctx, asiento);

    FilasPlan plan;
    plan.Cargo(ctx);
    // Legends read once per account and side.
    QHash<QPair<int, bool>, QStringList> leyendas;
    q = Consulto(ctx, "SELECT DetAsientos.Cuenta, Cuentas.CodInt, Cuentas.Descripcion, DetAsientos.Importe, "
                 "DetAsientos.Concepto, DetAsientos.FechaAjuste FROM Cuentas INNER JOIN DetAsientos ON "
                 "Cuentas.EmpresaPropia = DetAsientos.EmpresaPropia AND Cuentas.NumEjercicio = "
                 "DetAsientos.NumEjercicio AND Cuentas.Cuenta = DetAsientos.Cuenta WHERE "
                 "DetAsientos.EmpresaPropia=? AND DetAsientos.NumEjercicio=? AND DetAsientos.Asiento=? "
                 "ORDER BY -" +
                     Dialecto::Signo("DetAsientos.Importe") + ", DetAsientos.Concepto, DetAsientos.Detalle",
                 {ctx.empresa, ctx.ejercicio, asiento});
    while (q.next()) {
        LineaGuardada l;
        l.cuenta = q.value(0).toInt();
        l.codInt = NuloAVacio(q.value(1));
        l.codJer = CodJerCuenta(l.cuenta, ctx, maximos, &plan);
        l.descripcion = NuloAVacio(q.value(2));
        l.importe = Importe::DeBase(q.value(3));
        l.concepto = NuloAVacio(q.value(4));
        l.fechaAjuste = FechaDeBase(q.value(5));
        const bool debe = l.importe.signo() >= 0;
        const auto clave = qMakePair(l.cuenta, debe);
        if (!leyendas.contains(clave)) leyendas.insert(clave, LeyendasCuenta(ctx, l.cuenta, debe));
        l.leyendas = leyendas.value(clave);
        l.marca = !l.concepto.isEmpty() && !EsLeyendaEstandar(ctx, l.cuenta, debe, l.concepto);
        r.lineas << l;
    }
    return r;
}
