#pragma once
// The financial statements of a company and year: the statement of financial position ("Estado de
// Situación Patrimonial") at a date and the income statement ("Estado de Resultados") over a range,
// each beside the previous fiscal year, in historical amounts or restated to a date.
//
// Both read every line of the period but those of the closing entries (the year is shown as it stood
// before it was closed; the opening entry counts), summed per account and gathered by heading
// (reports/estados/Rubros.h). The previous year's accounts take the headings of this year's chart
// through their hierarchical code. A restated column restates each line as the restated balance does
// (reports/ReAjustado.h), the previous year's to the same date.
//
// A statement is refused, naming the accounts, when an account with lines in a period has no heading
// or a heading of the other statement: nothing is silently left out. Equity includes the result of
// the period; should assets differ from liabilities plus equity, a warning row says by how much.
#include "core/Contexto.h"
#include "core/Importe.h"
#include "reports/TablaReporte.h"
#include "reports/estados/Rubros.h"

#include <QDate>
#include <QMap>
#include <QPair>
#include <optional>

namespace Estados {

// The amounts of one column, per heading and current (false) or non-current (true), as the statements
// show them: assets with their debit balance, liabilities, equity and results with their credit
// balance (an expense is negative).
struct Cifras {
    QMap<QPair<int, bool>, Importe> rubros;

    Importe DeRubro(int rubro) const;
    Importe DeLado(Lado lado, std::optional<bool> noCorriente = std::nullopt) const;
    Importe Activo() const { return DeLado(Lado::Activo); }
    Importe Pasivo() const { return DeLado(Lado::Pasivo); }
    // Equity as the accounts hold it, without the result of the period.
    Importe Patrimonio() const { return DeLado(Lado::PatrimonioNeto); }
    Importe Bruto() const;        // Ventas less Costo de Ventas
    Importe Operativo() const;    // less the selling and administrative expenses
    Importe AntesImpuesto() const; // with the financial and other results
    Importe Resultado() const { return DeLado(Lado::Resultados); } // after income tax
};

// One column: the context's year over a period, its headings from `clasificador` (this chart's, or
// another year's matched by code when `otroPlan`), restated to ajustadoAl by the index table when that
// date is valid. False with the refusal or the engine's text in *error.
bool CifrasPeriodo(const Contexto& ctx, const QDate& desde, const QDate& hasta, const Clasificador& clasificador,
                   bool otroPlan, int tablaAjuste, const QDate& ajustadoAl, Cifras* cifras, QString* error);

// What a statement is asked for. Invalid dates take the year's: the statement of financial position is
// at `hasta` (from the year's start), the income statement from `desde` to `hasta`.
struct Pedido {
    QDate desde;
    QDate hasta;
    bool comparativo = true; // the previous fiscal year beside, when the company has one
    int tablaAjuste = -1;
    QDate ajustadoAl; // valid: restated to this date by tablaAjuste
};

// The statements as report tables: column 0 the caption, then one amount column per year (the
// current, then the previous); `niveles` and `totales` as the balance's, the company above the title,
// and under it whether the amounts are historical or restated. False with the message in *error.
bool TablaSituacion(const Contexto& ctx, const Pedido& pedido, TablaReporte* tabla, QString* error);
bool TablaResultados(const Contexto& ctx, const Pedido& pedido, TablaReporte* tabla, QString* error);

} // namespace Estados
