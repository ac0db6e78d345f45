#include "reports/ReAjustado.h"

#include "core/Basedatos.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "inflation/IndicesAjuste.h"

#include <QMap>

int TablaEjercicio() {
    const AppState& a = App();
    return int(
        NumeroOMenosUno(ValorCampo("Ejercicios", "TablaAjusteInflacion", "EmpresaPropia=? AND NumEjercicio=?",
                                   {a.currentCompany, a.currentYear})));
}

QDate UltimoIndiceHasta(int tabla, const QDate& hasta) {
    const Valor v = ValorCampo("AjustesInflacion", "MAX(Fecha)", "TablaAjusteInflacion=? AND Fecha<=?",
                               {tabla, FechaSql(hasta)});
    return v ? FechaDeBase(*v) : QDate();
}

MaximosReporte& MaximosReAjustado() {
    static MaximosReporte m(PantallaBalanceReajustado);
    return m;
}

namespace {
// The adjustable accounts of the current chart, as a set read once (not a join per line).
QString Ajustables(QVariantList* p) {
    *p << App().currentCompany << App().currentYear;
    return "(SELECT Cuenta FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=? AND Ajustable<>0)";
}

// The lines of the current company and year whose entry's date lies in the period: D the line, A its
// entry.
QString LineasDelPeriodo(const QDate& desde, const QDate& hasta, QVariantList* p) {
    *p << App().currentCompany << App().currentYear << FechaSql(desde) << FechaSql(hasta);
    return " FROM DetAsientos AS D INNER JOIN Asientos AS A ON A.EmpresaPropia=D.EmpresaPropia AND "
           "A.NumEjercicio=D.NumEjercicio AND A.Asiento=D.Asiento"
           " WHERE D.EmpresaPropia=? AND D.NumEjercicio=? AND A.Fecha>=? AND A.Fecha<=?";
}

// What the restatement of the period needs: the index value of every adjustment date that a line to
// restate carries, and what the table lacks.
struct Necesidad {
    std::optional<ValorIndice> referencia; // I(r)
    QMap<QDate, double> divisores;         // I(f) for each f of a line to restate
    QVector<FaltaIndice> faltan;
    int lineas = 0; // lines to restate
};

Necesidad Necesito(int tabla, const QDate& desde, const QDate& hasta, const QDate& ajustadoAl,
                   QString* error) {
    Necesidad n;
    const QVector<ValorIndice> serie = CargoValores(tabla);
    n.referencia = IndiceAl(serie, ajustadoAl);
    QVariantList p;
    QString sql = "SELECT D.FechaAjuste, COUNT(*)" + LineasDelPeriodo(desde, hasta, &p);
    sql += " AND D.Cuenta IN " + Ajustables(&p) + " AND (D.FechaAjuste IS NULL OR D.FechaAjuste<?)";
    p << FechaSql(ajustadoAl);
    QSqlQuery q = Consulto(sql + " GROUP BY D.FechaAjuste", p);
    if (!q.isActive()) *error = TextoError(q.lastError());
    QMap<QDate, int> porMes; // months lacking a value; an invalid date for lines without adjustment date
    while (q.next()) {
        const int lineas = q.value(1).toInt();
        n.lineas += lineas;
        const QDate f = FechaDeBase(q.value(0));
        const auto i = IndiceAl(serie, f);
        if (f.isValid() && i && i->ajuste > 0) {
            n.divisores.insert(f, i->ajuste);
            continue;
        }
        const QDate mes = f.isValid() ? QDate(f.year(), f.month(), 1) : QDate();
        porMes[mes] += lineas;
    }
    for (auto i = porMes.cbegin(); i != porMes.cend(); ++i)
        n.faltan.append({i.key(), i.value(), false});
    if ((!n.referencia || !(n.referencia->ajuste > 0)) && n.lineas > 0)
        n.faltan.prepend({QDate(ajustadoAl.year(), ajustadoAl.month(), 1), n.lineas, true});
    return n;
}
} // namespace

QVector<FaltaIndice> IndicesFaltantes(int tabla, const QDate& desde, const QDate& hasta,
                                      const QDate& ajustadoAl) {
    QString error;
    return Necesito(tabla, desde, hasta, ajustadoAl, &error).faltan;
}

QString TextoFaltantes(const QVector<FaltaIndice>& faltan) {
    QStringList partes;
    auto lineas = [](int n) { return n == 1 ? QString("1 línea") : QString("%1 líneas").arg(n); };
    for (const FaltaIndice& f : faltan) {
        if (f.ajustadoAl)
            partes << QString("%1, el mes del Ajustado al (%2)")
                          .arg(f.mes.toString("MM/yyyy"), lineas(f.lineas));
        else if (!f.mes.isValid())
            partes << QString("líneas sin fecha de ajuste (%1)").arg(lineas(f.lineas));
        else
            partes << QString("%1 (%2)").arg(f.mes.toString("MM/yyyy"), lineas(f.lineas));
    }
    return "la tabla de ajuste no tiene valor para: " + partes.join("; ") +
           ". Complete la tabla de ajuste para obtener el balance reajustado.";
}

bool ConsultaSumasReAjustadas(int tabla, const QDate& desde, const QDate& hasta, const QDate& ajustadoAl,
                              ConsultaSql* consulta, QString* error) {
    QString falla;
    const Necesidad n = Necesito(tabla, desde, hasta, ajustadoAl, &falla);
    if (!falla.isEmpty()) {
        *error = falla;
        return false;
    }
    if (!n.faltan.isEmpty()) {
        *error = TextoFaltantes(n.faltan);
        return false;
    }
    const QString centavos = "CAST(ROUND(D.Importe*100) AS BIGINT)";
    QVariantList p;
    QString linea = centavos;
    QString indices;
    if (!n.divisores.isEmpty()) {
        // Each adjustment date to restate with its index value: a line of an adjustable account that
        // finds its date here is carried to the reference month; any other line keeps its amount.
        linea = "CASE WHEN K.column2 IS NULL OR D.Cuenta NOT IN " + Ajustables(&p) + " THEN " + centavos +
                " ELSE CAST(ROUND(ROUND(D.Importe*100)*?/K.column2) AS BIGINT) END";
        p << n.referencia->ajuste;
        QStringList filas;
        for (auto i = n.divisores.cbegin(); i != n.divisores.cend(); ++i) {
            filas << "(?, ?)";
            p << FechaSql(i.key()) << i.value();
        }
        indices = " LEFT JOIN (VALUES " + filas.join(", ") + ") AS K ON K.column1=D.FechaAjuste";
    }
    QString desdeLineas = LineasDelPeriodo(desde, hasta, &p);
    desdeLineas.insert(desdeLineas.indexOf(" WHERE "), indices);
    consulta->sql = "SELECT L.Cuenta AS Cuenta, SUM(CASE WHEN L.Importe>0 THEN L.Centavos END) AS SumaDebe, "
                    "SUM(CASE WHEN L.Importe<=0 THEN L.Centavos END) AS SumaHaber FROM (SELECT D.Cuenta AS "
                    "Cuenta, D.Importe AS Importe, " +
                    linea + " AS Centavos" + desdeLineas + ") AS L GROUP BY L.Cuenta";
    consulta->parametros = p;
    return true;
}

bool ArmoBalanceReAjustado(const MaximosReporte& maximos, const QDate& desde, const QDate& hasta, int tabla,
                           const QDate& ajustadoAl, QVector<FilaBalance>* filas, QString* error) {
    filas->clear();
    if (maximos.Profundidad() == 0) return true;
    ConsultaSql sumas;
    if (!ConsultaSumasReAjustadas(tabla, desde, hasta, ajustadoAl, &sumas, error)) return false;
    return ArmoFilasBalance(maximos, ConsultaCuentas(maximos.Profundidad(), maximos.AnchoMascara(), sumas),
                            FiltroSaldos::Todos, filas, error);
}

bool TablaBalanceReAjustado(const QDate& desde, const QDate& hasta, int tablaAjuste, const QDate& ajustadoAl,
                            TablaReporte* tabla, QString* error) {
    QDate d1, d2;
    if (!VerificoPeriodo(FechaATexto(desde), FechaATexto(hasta), &d1, &d2, error)) return false;
    if (!ajustadoAl.isValid()) {
        *error = "La fecha Ajustado al no es una fecha válida; escríbala como dd/mm/aaaa.";
        return false;
    }
    MaximosReporte& maximos = MaximosReAjustado();
    maximos.Verifico();
    QVector<FilaBalance> filas;
    QString mensaje;
    if (!ArmoBalanceReAjustado(maximos, d1, d2, tablaAjuste, ajustadoAl, &filas, &mensaje)) {
        *error = "No se pudo armar el balance reajustado, " + mensaje;
        return false;
    }
    *tabla =
        TablaDeBalance("Balance Sumas y Saldos entre " + FechaATexto(d1) + " y " + FechaATexto(d2), filas);
    return true;
}
