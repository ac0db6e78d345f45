#include "fiscal/Cierre.h"

#include "core/Basedatos.h"
#include "core/Importe.h"
#include "core/Progreso.h"
#include "core/Contexto.h"
#include "core/TipoAsiento.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "fiscal/ChequeosEjercicio.h"
#include "journal/Escritura.h"
#include "core/Permisos.h"

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

Generacion Falla(const QString& prefijo, const QString& motivo) {
    Generacion g;
    g.mensaje = prefijo + motivo;
    return g;
}

// Refused before anything is read when the user's profile may not run it.
std::optional<Generacion> SinPermiso(const Contexto& c, const QString& modulo, const QString& prefijo) {
    QString error;
    if (Autorizo(c, modulo, Accion::Escribir, &error)) return std::nullopt;
    return Rechazo(prefijo + error);
}

QString Periodo(const PeriodoEjercicio& p) {
    return p.comienzo.toString("dd/MM/yy") + "-" + p.fin.toString("dd/MM/yy");
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

// The lines of a closing entry: one per non-zero balance, cancelling it, numbered 1, 2, ... without
// gaps. `total` receives the sum of the balances cancelled.
QList<LineaAsiento> Cancelaciones(const std::vector<Saldo>& saldos, const QDate& fecha, Importe& total) {
    QList<LineaAsiento> lineas;
    total = Importe();
    for (const Saldo& s : saldos) {
        if (s.importe.esCero()) continue;
        lineas << LineaAsiento{int(lineas.size()) + 1, s.cuenta, -s.importe, QString(), fecha};
        total += s.importe;
    }
    return lineas;
}

Escritura EntradaGenerada(TipoCambio tipo, Especial especial, const QDate& fecha, const QString& concepto,
                          const QList<LineaAsiento>& lineas) {
    Escritura e;
    e.tipo = tipo;
    e.especial = especial;
    e.fecha = fecha;
    e.concepto = concepto;
    e.lineas = lineas;
    return e;
}

// Writes both closing entries inside the caller's transaction; the failure text, or empty.
QString EscriboCierre(const Contexto& c, const PeriodoEjercicio& p, const QString& leyendaResultados,
                      const QString& leyendaPatrimonial, int cuentaAjuste, Generacion& g) {
    QString error;
    std::vector<Saldo> saldos;
    // Four steps, each of which may be the last: a closing stopped halfway is rolled back whole.
    if (!Etapa(c.progreso, "Sumando los saldos de las cuentas de resultado", 5, 0)) return TextoCancelado;
    if (!LeoSaldos(c.empresa, c.ejercicio, true, saldos, error)) return error;
    Importe total;
    // Result accounts with lines get their entry even when every balance is zero: it then holds the
    // balancing line alone.
    if (!saldos.empty()) {
        if (!Etapa(c.progreso, "Escribiendo el asiento de cierre de resultados", 5, 1)) return TextoCancelado;
        QList<LineaAsiento> lineas = Cancelaciones(saldos, p.fin, total);
        lineas << LineaAsiento{int(lineas.size()) + 1, cuentaAjuste, total, ConceptoAjusteResultados, p.fin};
        const Escrito w = EscriboAsiento(c, EntradaGenerada(TipoCambio::Cierre, Especial::CierreResultados,
                                                            p.fin, leyendaResultados, lineas));
        if (!w.ok()) return w.error;
        g.resultados = w.asiento;
    }

    // The balance-sheet balances now hold the result, carried to the adjustment account.
    if (!Etapa(c.progreso, "Sumando los saldos de las cuentas patrimoniales", 5, 2)) return TextoCancelado;
    if (!LeoSaldos(c.empresa, c.ejercicio, false, saldos, error)) return error;
    const QList<LineaAsiento> lineas = Cancelaciones(saldos, p.fin, total);
    // Balanced entries leave balance-sheet balances that add up to zero; a book that does not is not
    // closed with an unbalanced entry.
    if (!total.esCero())
        return "los saldos patrimoniales no suman cero (diferencia $" + total.TextoNumeral() +
               "): hay asientos desbalanceados en el ejercicio";
    if (!Etapa(c.progreso, "Escribiendo el asiento de cierre patrimonial", 5, 3)) return TextoCancelado;
    const Escrito w = EscriboAsiento(c, EntradaGenerada(TipoCambio::Cierre, Especial::CierrePatrimonial, p.fin,
                                                        leyendaPatrimonial, lineas));
    if (!w.ok()) return w.error;
    g.patrimonial = w.asiento;
    if (!Etapa(c.progreso, "Confirmando el cierre", 5, 4)) return TextoCancelado;
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

Generacion GeneroCierre(const Contexto& c, const QString& leyendaResultados, const QString& leyendaPatrimonial,
                        int cuentaAjuste) {
    if (const auto no = SinPermiso(c, QStringLiteral("frmCierreEjercicio"), PrefijoCierre)) return *no;
    const int empresa = c.empresa;
    const int ejercicio = c.ejercicio;
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
        const Chequeo chequeo = ChequeoCierre(empresa, ejercicio);
        if (!chequeo.ok) return Rechazo(chequeo.mensaje);
        if (!ValorCampo("DetAsientos", "Asiento", "EmpresaPropia=? AND NumEjercicio=?", {empresa, ejercicio}))
            return Rechazo(
                "No se puede cerrar ejercicio, no tiene ningún asiento con importes: no hay saldos "
                "que cerrar");
        error = EscriboCierre(c, *p, leyendaResultados, leyendaPatrimonial, cuentaAjuste, g);
        if (error.isEmpty() && !t.Confirmo()) error = t.error();
    }
    if (!error.isEmpty()) return Falla(PrefijoCierre, error);
    Avance(c.progreso, 5);
    g.ok = true;
    g.mensaje = QStringLiteral("Cierre exitoso, se han generado los sig. asientos:");
    if (g.resultados) g.mensaje += "\r\n" + leyendaResultados + ": " + QString::number(g.resultados);
    g.mensaje += "\r\n" + leyendaPatrimonial + ": " + QString::number(g.patrimonial);
    return g;
}

Generacion GeneroApertura(const Contexto& c, const QString& leyenda) {
    if (const auto no = SinPermiso(c, QStringLiteral("frmAperturaEjercicio"), PrefijoApertura)) return *no;
    const int empresa = c.empresa;
    const int ejercicio = c.ejercicio;
    const std::optional<PeriodoEjercicio> p = LeoPeriodo(empresa, ejercicio);
    if (!p) return Rechazo(SinEjercicio);

    Generacion g;
    QString error;
    {
        Transaccion t;
        if (!t.ok()) return Falla(PrefijoApertura, t.error());
        const Chequeo chequeo = ChequeoApertura(empresa, ejercicio);
        if (!chequeo.ok) return Rechazo(chequeo.mensaje);
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

        // The balance-sheet closing turned around, line by line; its line concepts are not copied.
        q = Consulto("SELECT Detalle, Cuenta, Importe FROM DetAsientos WHERE EmpresaPropia=? AND NumEjercicio=? "
                     "AND Asiento=? ORDER BY Detalle",
                     {empresa, anterior, cierre});
        if (!q.isActive()) return Falla(PrefijoApertura, TextoError(q.lastError()));
        QList<LineaAsiento> lineas;
        while (q.next())
            lineas << LineaAsiento{q.value(0).toInt(), q.value(1).toInt(), -Importe::DeBase(q.value(2)), QString(),
                                   p->comienzo};
        q.finish();
        const Escrito w = EscriboAsiento(
            c, EntradaGenerada(TipoCambio::Apertura, Especial::Apertura, p->comienzo, leyenda, lineas));
        if (!w.ok()) error = w.error;
        if (w.ok() && !t.Confirmo()) error = t.error();
        g.apertura = w.asiento;
    }
    if (!error.isEmpty()) return Falla(PrefijoApertura, error);
    g.ok = true;
    g.mensaje = "Apertura exitosa, se ha generado el sig. asiento:\r\n" + leyenda + ": " +
                QString::number(g.apertura);
    return g;
}
