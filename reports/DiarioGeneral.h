#pragma once
// The general journal ("Diario General"): every entry of the current company and year in the period,
// whatever its kind, in date order and, on one date, by number; each entry's header row (bold italic)
// carries a consecutive printed number from the one the user gives, as a bound book needs, and is
// followed by its lines, credit lines first, then lines of 0, then debit lines; an empty row separates
// consecutive entries. The real number of the entry is the hidden value of its rows.
#include "core/ConsultaSql.h"
#include "core/Contexto.h"
#include "reports/TablaReporte.h"

#include <QDate>

// Columns of the journal table, as the grid numbers them.
enum ColumnaDiario {
    DiaFecha = 1,
    DiaAsiento,
    DiaConcepto,
    DiaCodInt,
    DiaCodJer,
    DiaDescripcion,
    DiaDebe,
    DiaHaber,
    DiaDetalle,
    DiaColumnas = DiaDetalle
};

// The titles of the journal's columns and which of them hold amounts.
void ColumnasDiario(TablaReporte* tabla);

// Builds the journal of the current company and year between the two dates, numbering the entries
// from desdeAsiento. False, with the engine's text in *error and *tabla empty, when a query fails.
// With `entrego`, the rows are handed to it as they are read, a part at a time (each part ends with
// a whole entry; the empty row before the next entry begins the next part), and *tabla keeps
// everything but the rows; the rows handed over, in order, are those *tabla would have held.
bool TablaDiarioGeneral(const Contexto& ctx, const QDate& desde, const QDate& hasta, int desdeAsiento, TablaReporte* tabla,
                        QString* error, const EntregaFilas& entrego = {});

// What the journal's title adds after the dates: " para: " and the current company's name (nothing
// without a current company).
QString AgregadoDiario(const Contexto& ctx);

// The statement of the journal's lines, for the plan check.
ConsultaSql ConsultaDiario(const Contexto& ctx, const QDate& desde, const QDate& hasta);
