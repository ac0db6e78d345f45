#include "journal/Tecleo.h"

#include "core/Basedatos.h"
#include "core/Valores.h"

TotalesAsiento Totalizo(const QList<ImportesLinea>& lineas) {
    TotalesAsiento t;
    auto sumo = [](Importe& total, const QString& texto) {
        if (texto.trimmed().isEmpty()) return;
        if (const std::optional<Importe> i = Importe::Leo(texto.trimmed(), nullptr, u'.')) total += *i;
    };
    for (const ImportesLinea& l : lineas) {
        sumo(t.debe, l.debe);
        sumo(t.haber, l.haber);
    }
    return t;
}

std::optional<Balanceo> PropongoBalanceo(const TotalesAsiento& totales) {
    const Importe d = totales.diferencia();
    if (d.signo() == 0) return std::nullopt;
    // More debits than credits: the line that balances is a credit, and the other way round.
    return Balanceo{d.signo() < 0, d.abs()};
}

DiasEjercicio DiasDelEjercicio(const Contexto& ctx) {
    DiasEjercicio p;
    QSqlQuery q = Consulto(ctx,
                           "SELECT ComienzoEjercicio, FinEjercicio FROM Ejercicios WHERE EmpresaPropia=? AND "
                           "NumEjercicio=?",
                           {ctx.empresa, ctx.ejercicio});
    if (q.next()) {
        p.comienzo = FechaDeBase(q.value(0));
        p.fin = FechaDeBase(q.value(1));
    }
    q.finish();
    return p;
}

QDate FechaTecleada(const QString& texto, const QDate& mostrada, const DiasEjercicio& periodo) {
    const QString t = texto.trimmed();
    if (t == QLatin1String("+")) return mostrada.isValid() ? mostrada.addDays(1) : QDate();
    if (t == QLatin1String("-")) return mostrada.isValid() ? mostrada.addDays(-1) : QDate();
    const QStringList partes = t.split(QLatin1Char('/'));
    bool okDia = false, okMes = true;
    const int dia = partes.value(0).toInt(&okDia);
    if (partes.size() == 1 && okDia && t.size() <= 2) {
        // The day alone: the month and year of the date shown.
        if (!mostrada.isValid()) return QDate();
        return QDate(mostrada.year(), mostrada.month(), dia);
    }
    if (partes.size() == 2 && okDia && partes[0].size() <= 2 && partes[1].size() <= 2) {
        const int mes = partes[1].toInt(&okMes);
        if (!okMes) return QDate();
        // Day and month: the calendar year in which that day falls inside the fiscal year.
        if (periodo.comienzo.isValid() && periodo.fin.isValid())
            for (int anio = periodo.comienzo.year(); anio <= periodo.fin.year(); ++anio) {
                const QDate d(anio, mes, dia);
                if (d.isValid() && d >= periodo.comienzo && d <= periodo.fin) return d;
            }
        return mostrada.isValid() ? QDate(mostrada.year(), mes, dia) : QDate();
    }
    return TextoAFecha(t);
}
