#include "reports/ReAjustado.h"

#include "reports/Balance.h"

#include "core/Basedatos.h"
#include "core/Dialecto.h"
#include "core/Motor.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "inflation/IndicesAjuste.h"

#include <QMap>

#include <algorithm>
#include <functional>

int TablaEjercicio(const Contexto& ctx) {
    return int(NumeroOMenosUno(ValorCampo(ctx, "Ejercicios", "TablaAjusteInflacion",
                                          "EmpresaPropia=? AND NumEjercicio=?", {ctx.empresa, ctx.ejercicio})));
}

QDate UltimoIndiceHasta(const Contexto& ctx, int tabla, const QDate& hasta) {
    const Valor v = ValorCampo(ctx, "AjustesInflacion", "MAX(Fecha)", "TablaAjusteInflacion=? AND Fecha<=?",
                               {tabla, FechaSql(hasta)});
    return v ? FechaDeBase(*v) : QDate();
}

MaximosReporte& MaximosReAjustado() {
    static MaximosReporte m(PantallaBalanceReajustado);
    return m;
}

namespace {
// The adjustable accounts of the current chart, as a set read once (not a join per line).
QString Ajustables(const Contexto& ctx, QVariantList* p) {
    *p << ctx.empresa << ctx.ejercicio;
    return "(SELECT Cuenta FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=? AND Ajustable<>0)";
}

// The lines of the current company and year whose entry's date lies in the period: D the line, A its
// entry. The entries dated in the period are read first and then their lines by key, whatever the
// planner's figures say: the index by account holds every column these statements read, and a planner
// with the figures of a smaller book, or a test of the line's account, would walk all of the year's
// lines through it.
QString LineasDelPeriodo(const Contexto& ctx, const QDate& desde, const QDate& hasta, QVariantList* p,
                         bool sinCierres) {
    *p << ctx.empresa << ctx.ejercicio << FechaSql(desde) << FechaSql(hasta);
    const DialectoMotor& d = MotorDe(ctx.Base()).dialecto;
    return " FROM " + d.PorIndice("Asientos AS A", "idxAsientosFecha") + " CROSS JOIN " + d.PorIndice("DetAsientos AS D") +
           " WHERE A.EmpresaPropia=D.EmpresaPropia AND A.NumEjercicio=D.NumEjercicio AND A.Asiento=D.Asiento"
           " AND D.EmpresaPropia=? AND D.NumEjercicio=? AND A.Fecha>=? AND A.Fecha<=?" +
           (sinCierres ? " AND " + FueraDeCierres("A") : QString());
}

// The divisor of a line: the table's value of the earliest date on or after its adjustment date, as a
// search over the dates of the values a line before the reference date can reach (at most the
// reference's own), each comparison halving them. Each value is read by its key once per statement, in
// the column's own type, so the arithmetic is the one a lookup per line would do.
QString Divisor(const QVector<ValorIndice>& serie, const std::optional<ValorIndice>& referencia, int tabla,
                QVariantList* p) {
    qsizetype n = serie.size();
    if (referencia)
        n = std::upper_bound(serie.begin(), serie.end(), referencia->fecha,
                             [](const QDate& f, const ValorIndice& v) { return f < v.fecha; }) -
            serie.begin();
    if (n == 0) return "NULL";
    // Values [desde, hasta) for a line whose date is after the value before desde.
    std::function<QString(qsizetype, qsizetype)> busco = [&](qsizetype desde, qsizetype hasta) -> QString {
        if (hasta - desde == 1) {
            *p << tabla << FechaSql(serie[desde].fecha);
            return "(SELECT X.Ajuste FROM AjustesInflacion AS X WHERE X.TablaAjusteInflacion=? AND X.Fecha=?)";
        }
        const qsizetype medio = (desde + hasta) / 2;
        *p << FechaSql(serie[medio - 1].fecha);
        const QString antes = busco(desde, medio);
        return "CASE WHEN D.FechaAjuste<=? THEN " + antes + " ELSE " + busco(medio, hasta) + " END";
    };
    // A line after the last value reachable finds none, as its lookup would.
    *p << FechaSql(serie[n - 1].fecha);
    const QString arbol = busco(0, n);
    return "(CASE WHEN D.FechaAjuste<=? THEN " + arbol + " END)";
}

QDate Mes(const QDate& d) {
    return d.isValid() ? QDate(d.year(), d.month(), 1) : QDate();
}
} // namespace

QVector<FaltaIndice> IndicesFaltantes(const Contexto& ctx, int tabla, const QDate& desde, const QDate& hasta,
                                      const QDate& ajustadoAl, bool sinCierres) {
    // Every adjustment date that a line to restate carries, with its lines, checked against the table.
    const QVector<ValorIndice> serie = CargoValores(tabla, QDate(), QDate(), ctx);
    const auto referencia = IndiceAl(serie, ajustadoAl);
    QVariantList p;
    QString sql = "SELECT D.FechaAjuste, COUNT(*)" + LineasDelPeriodo(ctx, desde, hasta, &p, sinCierres);
    sql += " AND D.Cuenta IN " + Ajustables(ctx, &p) + " AND (D.FechaAjuste IS NULL OR D.FechaAjuste<?)";
    p << FechaSql(ajustadoAl);
    QSqlQuery q = Consulto(ctx, sql + " GROUP BY D.FechaAjuste", p);
    QMap<QDate, int> porMes; // an invalid date: lines without adjustment date
    QVector<QPair<int, int>> sinFecha;
    int lineas = 0;
    while (q.next()) {
        const int n = q.value(1).toInt();
        lineas += n;
        const QDate f = FechaDeBase(q.value(0));
        const auto i = IndiceAl(serie, f);
        if (!f.isValid() || !i || !(i->ajuste > 0)) porMes[Mes(f)] += n;
    }
    if (porMes.contains(QDate())) {
        // The first of them, for the message: the entries to open and the lines to complete.
        QVariantList ps;
        QString primeras = "SELECT A.Asiento, D.Detalle" + LineasDelPeriodo(ctx, desde, hasta, &ps, sinCierres);
        primeras += " AND D.Cuenta IN " + Ajustables(ctx, &ps) + " AND D.FechaAjuste IS NULL";
        QSqlQuery qp = Consulto(ctx, primeras + " ORDER BY A.Fecha, A.Asiento, D.Detalle" + Dialecto::Limite(SinFechaNombradas), ps);
        while (qp.next()) sinFecha << qMakePair(qp.value(0).toInt(), qp.value(1).toInt());
    }
    QVector<FaltaIndice> faltan;
    if ((!referencia || !(referencia->ajuste > 0)) && lineas > 0)
        faltan.append({Mes(ajustadoAl), lineas, true, {}});
    for (auto i = porMes.cbegin(); i != porMes.cend(); ++i)
        if (!faltan.isEmpty() && faltan.first().ajustadoAl && i.key().isValid() &&
            i.key() >= faltan.first().mes)
            continue; // lines after the last value: already counted with the reference month
        else
            faltan.append({i.key(), i.value(), false, i.key().isValid() ? QVector<QPair<int, int>>() : sinFecha});
    return faltan;
}

QString TextoFaltantes(const QVector<FaltaIndice>& faltan) {
    QStringList partes, sinFecha;
    auto lineas = [](int n) { return n == 1 ? QString("1 línea") : QString("%1 líneas").arg(n); };
    for (const FaltaIndice& f : faltan) {
        if (f.ajustadoAl)
            partes << QString("%1, el mes del Ajustado al (%2)")
                          .arg(f.mes.toString("MM/yyyy"), lineas(f.lineas));
        else if (!f.mes.isValid()) {
            // Not a gap of the table: those lines lack the date the restatement starts from.
            QStringList cuales;
            for (const auto& [asiento, linea] : f.primeras)
                cuales << QString("asiento %1, línea %2").arg(asiento).arg(linea);
            if (f.lineas > f.primeras.size()) cuales << "…";
            sinFecha << QString("hay %1 de cuentas ajustables sin fecha de ajuste (%2). Abra cada asiento en "
                                "el editor de asientos, escriba la Fecha Ajuste de esas líneas (la fecha del "
                                "asiento, si no corresponde otra) y grábelo")
                            .arg(lineas(f.lineas), cuales.join("; "));
        } else
            partes << QString("%1 (%2)").arg(f.mes.toString("MM/yyyy"), lineas(f.lineas));
    }
    QStringList texto;
    if (!partes.isEmpty())
        texto << "la tabla de ajuste no tiene valor para: " + partes.join("; ") +
                     ". Complete la tabla de ajuste para obtener el balance reajustado.";
    if (!sinFecha.isEmpty()) texto << sinFecha.first() + " para obtener el balance reajustado.";
    return texto.join(" Además, ");
}

bool ConsultaSumasReAjustadas(const Contexto& ctx, int tabla, const QDate& desde, const QDate& hasta, const QDate& ajustadoAl,
                              ConsultaSql* consulta, QString* error, bool sinCierres) {
    const QVector<ValorIndice> serie = CargoValores(tabla, QDate(), QDate(), ctx);
    const auto referencia = IndiceAl(serie, ajustadoAl);
    // A value that is not positive (stored before values were checked) would divide by zero.
    QStringList malos;
    for (const ValorIndice& v : serie)
        if (!(v.ajuste > 0) && (!referencia || v.fecha <= referencia->fecha))
            malos << v.fecha.toString("MM/yyyy");
    if (!malos.isEmpty()) {
        *error = "la tabla de ajuste tiene valores que no son positivos en: " + malos.join(", ") +
                 ". Corrija la tabla de ajuste para obtener el balance reajustado.";
        return false;
    }
    if (!referencia) {
        // Without the reference month nothing can be restated: fine only when no line needs it.
        const QVector<FaltaIndice> faltan = IndicesFaltantes(ctx, tabla, desde, hasta, ajustadoAl, sinCierres);
        if (!faltan.isEmpty()) {
            *error = TextoFaltantes(faltan);
            return false;
        }
    }
    // Every adjustment date before the reference date finds a value (the reference month's at the
    // latest), so a line to restate lacks its divisor only when it carries no adjustment date: those
    // are counted in SinFecha.
    // The cents are multiplied as the amount's own type, not as whole numbers: the reference value takes
    // the type of what it multiplies, and whole cents would make it whole. The half cent is judged at a
    // millionth of a cent, so that a binary quotient a hair under it rounds as the decimal one does.
    // Only the lines of the adjustable accounts need a divisor: with the closing entries in, the other
    // accounts take the trial balance's own sums (whole months from the monthly sums), which are whole
    // cents already.
    const bool soloAjustables = !sinCierres;
    QVariantList p{FechaSql(ajustadoAl)};
    const QString centavos = "CAST(ROUND(D.Importe*100) AS BIGINT)";
    // Each line's restated cents stay exact (unrounded) until the account's sum, which is rounded
    // once: rounding every line first lets the errors of many lines add up to whole cents.
    QString linea = "CASE WHEN D.FechaAjuste<?";
    if (!soloAjustables) linea += " AND D.Cuenta IN " + Ajustables(ctx, &p);
    linea += " THEN ROUND(D.Importe*100)*?/";
    p << (referencia ? referencia->ajuste : 1.0);
    linea += Divisor(serie, referencia, tabla, &p) + " ELSE " + centavos + " END";
    QString sinFecha = "CASE WHEN D.FechaAjuste IS NULL";
    if (!soloAjustables) sinFecha += " AND D.Cuenta IN " + Ajustables(ctx, &p);
    sinFecha += " THEN 1 ELSE 0 END";
    // The whole year's lines (or the year's less those of the entries outside the period, when those
    // are fewer) are read from the index by account alone, in its order; a part of the year through
    // the entries dated in it.
    QString lineas;
    const LecturaLineas lectura = sinCierres ? LecturaLineas::Periodo : ElijoLectura(ctx, desde, hasta);
    if (lectura == LecturaLineas::Periodo) {
        lineas = LineasDelPeriodo(ctx, desde, hasta, &p, sinCierres);
        if (soloAjustables) lineas += " AND D.Cuenta IN " + Ajustables(ctx, &p);
    } else {
        lineas = " FROM " + MotorDe(ctx.Base()).dialecto.PorIndice("DetAsientos AS D", "idxDetAsientosCuenta") +
                 " WHERE D.EmpresaPropia=? AND D.NumEjercicio=?";
        p << ctx.empresa << ctx.ejercicio;
        if (soloAjustables) lineas += " AND D.Cuenta IN " + Ajustables(ctx, &p);
        if (lectura == LecturaLineas::EjercicioMenosFuera) {
            // The entries outside, each side of the period through the index by date.
            const QString fuera = "SELECT F.Asiento FROM " +
                                  MotorDe(ctx.Base()).dialecto.PorIndice("Asientos AS F", "idxAsientosFecha") +
                                  " WHERE F.EmpresaPropia=? AND F.NumEjercicio=? AND F.Fecha";
            lineas += " AND D.Asiento NOT IN (" + fuera + "<? UNION ALL " + fuera + ">? UNION ALL " + fuera + " IS NULL)";
            p << ctx.empresa << ctx.ejercicio << FechaSql(desde) << ctx.empresa << ctx.ejercicio << FechaSql(hasta)
              << ctx.empresa << ctx.ejercicio;
        }
    }
    consulta->sql =
        "SELECT L.Cuenta AS Cuenta, "
        "CAST(ROUND(ROUND(SUM(CASE WHEN L.Importe>0 THEN L.Centavos END), 6)) AS BIGINT) AS SumaDebe, "
        "CAST(ROUND(ROUND(SUM(CASE WHEN L.Importe<=0 THEN L.Centavos END), 6)) AS BIGINT) AS SumaHaber, "
        "SUM(L.SinFecha) AS SinFecha "
        "FROM (SELECT D.Cuenta AS Cuenta, D.Importe AS Importe, " +
        linea + " AS Centavos, " + sinFecha + " AS SinFecha" + lineas + ") AS L GROUP BY L.Cuenta";
    if (soloAjustables) {
        QDate primero, ultimo;
        const ConsultaSql llanas = ConsultaSumasBalance(
            ctx, desde, hasta, MesesEnteros(desde, hasta, &primero, &ultimo) ? LecturaLineas::Meses : lectura);
        consulta->sql += " UNION ALL SELECT P.Cuenta, P.SumaDebe, P.SumaHaber, 0 FROM (" + llanas.sql + ") AS P";
        p << llanas.parametros;
        consulta->sql += " WHERE P.Cuenta NOT IN " + Ajustables(ctx, &p);
    }
    consulta->parametros = p;
    return true;
}

bool ArmoBalanceReAjustado(const Contexto& ctx, const MaximosReporte& maximos, const QDate& desde, const QDate& hasta, int tabla,
                           const QDate& ajustadoAl, QVector<FilaBalance>* filas, QString* error) {
    filas->clear();
    if (maximos.Profundidad() == 0) return true;
    ConsultaSql sumas;
    if (!ConsultaSumasReAjustadas(ctx, tabla, desde, hasta, ajustadoAl, &sumas, error)) return false;
    int sinFecha = 0;
    if (!ArmoFilasBalance(
            ctx, maximos, ConsultaCuentas(ctx, maximos.Profundidad(), maximos.AnchoMascara(), sumas, ", S.SinFecha"),
            FiltroSaldos::Todos, filas, error,
            [&sinFecha](const QSqlQuery& q) { sinFecha += q.value(6).toInt(); }))
        return false;
    if (sinFecha > 0) {
        // Never a balance that silently leaves lines out.
        filas->clear();
        *error = TextoFaltantes(IndicesFaltantes(ctx, tabla, desde, hasta, ajustadoAl));
        return false;
    }
    return true;
}

bool TablaBalanceReAjustado(const Contexto& ctx, const QDate& desde, const QDate& hasta, int tablaAjuste, const QDate& ajustadoAl,
                            TablaReporte* tabla, QString* error) {
    QDate d1, d2;
    if (!VerificoPeriodo(ctx, FechaATexto(desde), FechaATexto(hasta), &d1, &d2, error)) return false;
    if (!ajustadoAl.isValid()) {
        *error = "La fecha Ajustado al no es una fecha válida; escríbala como dd/mm/aaaa.";
        return false;
    }
    MaximosReporte propios(PantallaBalanceReajustado);
    MaximosReporte& maximos = ctx.Compartida() ? MaximosReAjustado() : propios;
    maximos.Verifico(ctx);
    QVector<FilaBalance> filas;
    QString mensaje;
    if (!ArmoBalanceReAjustado(ctx, maximos, d1, d2, tablaAjuste, ajustadoAl, &filas, &mensaje)) {
        *error = "No se pudo armar el balance reajustado, " + mensaje;
        return false;
    }
    *tabla = TablaDeReAjustado(ctx, filas, d1, d2, tablaAjuste, ajustadoAl);
    return true;
}

bool ExisteTablaAjuste(const Contexto& ctx, int tabla, QString* descripcion) {
    const Valor v = ValorCampo(ctx, "TablasAjusteInflacion", "descTablaAjusteInflacion", "TablaAjusteInflacion=?",
                               {tabla});
    if (descripcion) *descripcion = v ? NuloAVacio(*v) : QString();
    return v.has_value();
}

TablaReporte TablaDeReAjustado(const Contexto& ctx, const QVector<FilaBalance>& filas, const QDate& desde,
                               const QDate& hasta, int tablaAjuste, const QDate& ajustadoAl) {
    TablaReporte t = TablaDeBalance(filas, true);
    t.titulo = "Balance Sumas y Saldos entre " + FechaATexto(desde) + " y " + FechaATexto(hasta);
    t.membrete = MembreteEmpresa(ctx);
    QString nombre;
    ExisteTablaAjuste(ctx, tablaAjuste, &nombre);
    t.notas = QStringList{"Tabla de ajuste: " + (nombre.isEmpty() ? QString::number(tablaAjuste) : nombre),
                          "Ajustado al " + FechaATexto(ajustadoAl)};
    return t;
}
