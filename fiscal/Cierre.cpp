#include "fiscal/Cierre.h"

#include "core/Basedatos.h"
#include "core/Importe.h"
#include "core/TipoAsiento.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "fiscal/ChequeosEjercicio.h"

#include <QStringList>
#include <algorithm>
#include <vector>

namespace {

const QString SinEjercicio = QStringLiteral(
    "No puede utilizar éste módulo si todavía no seleccionó un ejercicio (EmpresaPropia-Período)");

struct Saldo {
    int cuenta = 0;
    Importe importe;
};

Generacion Rechazo(const QString& mensaje) {
    Generacion g;
    g.rechazada = true;
    g.mensaje = mensaje;
    return g;
}

// What a failed statement says; never empty, so that a failure cannot pass for a success.
QString Motivo(const Resultado& r) {
    return r.error.isEmpty() ? QStringLiteral("error desconocido del motor de base de datos") : r.error;
}

Generacion Falla(const QString& prefijo, const QString& motivo) {
    Generacion g;
    g.mensaje = prefijo + motivo;
    return g;
}

QString Periodo(const PeriodoEjercicio& p) {
    return p.comienzo.toString("dd/MM/yy") + "-" + p.fin.toString("dd/MM/yy");
}

QVariant TextoONulo(const QString& t) {
    return t.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(t);
}

int SiguienteAsiento(int empresa, int ejercicio) {
    return int(NumeroOCero(ValorCampo("Asientos", "MAX(Asiento)", "EmpresaPropia=? AND NumEjercicio=?",
                                      {empresa, ejercicio}))) +
           1;
}

// Balances of the year's result accounts (or of its balance-sheet accounts), exact to the cent, in the
// order the closing lines take: negative balances first, then zero, then positive, each by account
// number. False, with the engine's text, when the query fails.
bool LeoSaldos(int empresa, int ejercicio, bool deResultado, std::vector<Saldo>& saldos, QString& error) {
    // Summed per account first (the lines' covering index alone), then joined to the chart: one look-up
    // per account instead of one per line.
    QSqlQuery q =
        Consulto("SELECT Sumas.Cuenta, Sumas.Suma FROM (SELECT Cuenta, " + Importe::SumaSql("Importe") +
                     " AS Suma FROM DetAsientos WHERE EmpresaPropia=? AND NumEjercicio=? GROUP BY "
                     "Cuenta) AS Sumas INNER JOIN Cuentas ON Cuentas.EmpresaPropia=? AND "
                     "Cuentas.NumEjercicio=? AND Cuentas.Cuenta = Sumas.Cuenta WHERE "
                     "Cuentas.CuentaResultado" +
                     (deResultado ? "<>0" : "=0"),
                 {empresa, ejercicio, empresa, ejercicio});
    if (!q.isActive()) {
        error = TextoError(q.lastError());
        return false;
    }
    saldos.clear();
    while (q.next())
        saldos.push_back({q.value(0).toInt(), Importe::DeCentavosBase(q.value(1))});
    std::sort(saldos.begin(), saldos.end(), [](const Saldo& a, const Saldo& b) {
        return a.importe.signo() != b.importe.signo() ? a.importe.signo() < b.importe.signo()
                                                      : a.cuenta < b.cuenta;
    });
    return true;
}

Resultado EscriboCabecera(int empresa, int ejercicio, int asiento, const QDate& fecha,
                          const QString& concepto, Especial especial) {
    return Ejecuto(
        "INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Concepto, Especial) "
        "VALUES (?, ?, ?, ?, ?, ?)",
        {empresa, ejercicio, asiento, FechaSql(fecha), TextoONulo(concepto), ValorEspecial(especial)});
}

Resultado EscriboLinea(int empresa, int ejercicio, int asiento, int detalle, int cuenta, Importe importe,
                       const QDate& fechaAjuste, const QString& concepto = QString()) {
    return Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe, "
                   "FechaAjuste, Concepto) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                   {empresa, ejercicio, asiento, detalle, cuenta, importe.ValorSql(), FechaSql(fechaAjuste),
                    TextoONulo(concepto)});
}

// One closing entry: a line per non-zero balance, cancelling it, numbered 1, 2, ... without gaps.
// `total` receives the sum of the balances written; `lineas` the number of lines.
QString EscriboCancelaciones(int empresa, int ejercicio, int asiento, const QDate& fecha,
                             const std::vector<Saldo>& saldos, Importe& total, int& lineas) {
    total = Importe();
    lineas = 0;
    for (const Saldo& s : saldos) {
        if (s.importe.esCero()) continue;
        const Resultado r = EscriboLinea(empresa, ejercicio, asiento, ++lineas, s.cuenta, -s.importe, fecha);
        if (!r.ok) return Motivo(r);
        total += s.importe;
    }
    return QString();
}

// Writes both closing entries inside the caller's transaction; the failure text, or empty.
QString EscriboCierre(int empresa, int ejercicio, const PeriodoEjercicio& p, const QString& leyendaResultados,
                      const QString& leyendaPatrimonial, int cuentaAjuste, Generacion& g) {
    QString error;
    std::vector<Saldo> saldos;
    if (!LeoSaldos(empresa, ejercicio, true, saldos, error)) return error;
    int n = SiguienteAsiento(empresa, ejercicio);
    Importe total;
    int lineas = 0;
    // Result accounts with lines get their entry even when every balance is zero: it then holds the
    // balancing line alone.
    if (!saldos.empty()) {
        Resultado r =
            EscriboCabecera(empresa, ejercicio, n, p.fin, leyendaResultados, Especial::CierreResultados);
        if (!r.ok) return Motivo(r);
        error = EscriboCancelaciones(empresa, ejercicio, n, p.fin, saldos, total, lineas);
        if (!error.isEmpty()) return error;
        r = EscriboLinea(empresa, ejercicio, n, lineas + 1, cuentaAjuste, total, p.fin,
                         ConceptoAjusteResultados);
        if (!r.ok) return Motivo(r);
        g.resultados = n++;
    }

    // The balance-sheet balances now hold the result, carried to the adjustment account.
    if (!LeoSaldos(empresa, ejercicio, false, saldos, error)) return error;
    const Resultado r =
        EscriboCabecera(empresa, ejercicio, n, p.fin, leyendaPatrimonial, Especial::CierrePatrimonial);
    if (!r.ok) return Motivo(r);
    error = EscriboCancelaciones(empresa, ejercicio, n, p.fin, saldos, total, lineas);
    if (!error.isEmpty()) return error;
    // Balanced entries leave balance-sheet balances that add up to zero; a book that does not is not
    // closed with an unbalanced entry.
    if (!total.esCero())
        return "los saldos patrimoniales no suman cero (diferencia $" + total.TextoNumeral() +
               "): hay asientos desbalanceados en el ejercicio";
    g.patrimonial = n;
    return QString();
}

} // namespace

std::optional<PeriodoEjercicio> LeoPeriodo(int empresa, int ejercicio) {
    QSqlQuery q = Consulto(
        "SELECT ComienzoEjercicio, FinEjercicio FROM Ejercicios WHERE EmpresaPropia=? AND NumEjercicio=?",
        {empresa, ejercicio});
    if (!q.next()) return std::nullopt;
    return PeriodoEjercicio{FechaDeBase(q.value(0)), FechaDeBase(q.value(1))};
}

QString LeyendaCierreResultados(const PeriodoEjercicio& p) {
    return "Cierre resultados ejercicio " + Periodo(p);
}
QString LeyendaCierrePatrimonial(const PeriodoEjercicio& p) {
    return "Cierre patrimonial ejercicio " + Periodo(p);
}
QString LeyendaApertura(const PeriodoEjercicio& p) {
    return "Apertura patrimonial ejercicio " + Periodo(p);
}

int EjercicioAnterior(int empresa, int ejercicio) {
    const std::optional<PeriodoEjercicio> p = LeoPeriodo(empresa, ejercicio);
    if (!p || !p->comienzo.isValid()) return 0;
    return int(NumeroOCero(ValorCampo("Ejercicios", "NumEjercicio", "EmpresaPropia=? AND FinEjercicio<?",
                                      {empresa, FechaSql(p->comienzo)}, "ComienzoEjercicio DESC")));
}

QString VerificoCuentaAjuste(int empresa, int ejercicio, int cuenta) {
    const Valor v =
        ValorCampo("Cuentas", "Cuenta",
                   "EmpresaPropia=? AND NumEjercicio=? AND Cuenta=? AND Cuenta<>0 AND "
                   "CuentaResultado=0 AND NOT EXISTS (SELECT 1 FROM Cuentas AS Hijas WHERE "
                   "Hijas.EmpresaPropia = Cuentas.EmpresaPropia AND Hijas.NumEjercicio = "
                   "Cuentas.NumEjercicio AND Hijas.CuentaPadre = Cuentas.Cuenta AND Hijas.Cuenta<>0)",
                   {empresa, ejercicio, cuenta});
    if (!v) return QStringLiteral("Debe elegir una IMPUTABLE ajuste de resultados que NO SEA de resultados");
    return QString();
}

Generacion GeneroCierre(int empresa, int ejercicio, const QString& leyendaResultados,
                        const QString& leyendaPatrimonial, int cuentaAjuste) {
    const std::optional<PeriodoEjercicio> p = LeoPeriodo(empresa, ejercicio);
    if (!p) return Rechazo(SinEjercicio);
    const QString cuenta = VerificoCuentaAjuste(empresa, ejercicio, cuentaAjuste);
    if (!cuenta.isEmpty()) return Rechazo(cuenta);

    Generacion g;
    QString error;
    {
        Transaccion t;
        if (!t.ok()) return Falla(PrefijoCierre, t.error());
        // Asked again inside the transaction: another workstation may have closed it meanwhile.
        const Chequeo c = ChequeoCierre(empresa, ejercicio);
        if (!c.ok) return Rechazo(c.mensaje);
        if (!ValorCampo("DetAsientos", "Asiento", "EmpresaPropia=? AND NumEjercicio=?", {empresa, ejercicio}))
            return Rechazo(
                "No se puede cerrar ejercicio, no tiene ningún asiento con importes: no hay saldos "
                "que cerrar");
        error = EscriboCierre(empresa, ejercicio, *p, leyendaResultados, leyendaPatrimonial, cuentaAjuste, g);
        if (error.isEmpty() && !t.Confirmo()) error = t.error();
    }
    if (!error.isEmpty()) return Falla(PrefijoCierre, error);
    g.ok = true;
    g.mensaje = QStringLiteral("Cierre exitoso, se han generado los sig. asientos:");
    if (g.resultados) g.mensaje += "\r\n" + leyendaResultados + ": " + QString::number(g.resultados);
    g.mensaje += "\r\n" + leyendaPatrimonial + ": " + QString::number(g.patrimonial);
    return g;
}

Generacion GeneroApertura(int empresa, int ejercicio, const QString& leyenda) {
    const std::optional<PeriodoEjercicio> p = LeoPeriodo(empresa, ejercicio);
    if (!p) return Rechazo(SinEjercicio);

    Generacion g;
    QString error;
    {
        Transaccion t;
        if (!t.ok()) return Falla(PrefijoApertura, t.error());
        const Chequeo c = ChequeoApertura(empresa, ejercicio);
        if (!c.ok) return Rechazo(c.mensaje);
        const int anterior = EjercicioAnterior(empresa, ejercicio);
        const int cierre = int(NumeroOCero(
            ValorCampo("Asientos", "Asiento", "EmpresaPropia=? AND NumEjercicio=? AND Especial=?",
                       {empresa, anterior, ValorEspecial(Especial::CierrePatrimonial)}, "Asiento")));

        // Account numbers are carried over as they stand: each must exist in this year's chart.
        QSqlQuery q = Consulto(
            "SELECT DISTINCT DetAsientos.Cuenta, Cuentas.Descripcion FROM DetAsientos LEFT JOIN Cuentas ON "
            "Cuentas.EmpresaPropia = DetAsientos.EmpresaPropia AND Cuentas.NumEjercicio = "
            "DetAsientos.NumEjercicio AND Cuentas.Cuenta = DetAsientos.Cuenta "
            "WHERE DetAsientos.EmpresaPropia=? AND DetAsientos.NumEjercicio=? AND DetAsientos.Asiento=? AND "
            "NOT EXISTS (SELECT 1 FROM Cuentas AS Actual WHERE Actual.EmpresaPropia=? AND "
            "Actual.NumEjercicio=? AND Actual.Cuenta = DetAsientos.Cuenta) ORDER BY DetAsientos.Cuenta",
            {empresa, anterior, cierre, empresa, ejercicio});
        if (!q.isActive()) return Falla(PrefijoApertura, TextoError(q.lastError()));
        QStringList faltan;
        while (q.next())
            faltan << QString("%1 (cuenta %2)").arg(NuloAVacio(q.value(1)), q.value(0).toString());
        q.finish();
        if (!faltan.isEmpty())
            return Rechazo("No se puede generar asiento apertura, estas cuentas del cierre patrimonial del "
                           "ejercicio anterior no existen en el plan de cuentas de este ejercicio: " +
                           faltan.join(", ") +
                           ". Pegue el plan de cuentas del ejercicio anterior y vuelva a intentar");

        const int n = SiguienteAsiento(empresa, ejercicio);
        Resultado r = EscriboCabecera(empresa, ejercicio, n, p->comienzo, leyenda, Especial::Apertura);
        if (r.ok)
            r = Ejecuto(
                "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe, "
                "FechaAjuste) SELECT ?, ?, ?, Detalle, Cuenta, -Importe, ? FROM DetAsientos "
                "WHERE EmpresaPropia=? AND NumEjercicio=? AND Asiento=?",
                {empresa, ejercicio, n, FechaSql(p->comienzo), empresa, anterior, cierre});
        if (!r.ok) error = Motivo(r);
        if (r.ok && !t.Confirmo()) error = t.error();
        g.apertura = n;
    }
    if (!error.isEmpty()) return Falla(PrefijoApertura, error);
    g.ok = true;
    g.mensaje = "Apertura exitosa, se ha generado el sig. asiento:\r\n" + leyenda + ": " +
                QString::number(g.apertura);
    return g;
}
