#pragma once
// The inflation-restated trial balance ("Balance Sumas y Saldos ReAjustado"): the trial balance with
// every line of an adjustable account carried from the month of its adjustment date to the month of
// the "Ajustado al" date by an index table. With I(d) the table's value of the earliest date on or
// after d, a line of an adjustable account whose FechaAjuste f is before the "Ajustado al" date r
// counts Importe x I(r) / I(f), exactly; every other line counts as it is. Each account's sums are
// rounded to the cent once, after adding its lines.
// A line that would need a value the table lacks is never counted as zero or dropped: the balance
// is refused, naming the months missing and how many lines need them.
#include "reports/Balance.h"
#include "reports/TablaReporte.h"

#include <QDate>
#include <QPair>
#include <QVector>

// The level maxima of the restated balance, under its own screen code: they outlive its window.
MaximosReporte& MaximosReAjustado();

// The index table the context's fiscal year names; -1 when it names none.
int TablaEjercicio(const Contexto& ctx);
// The date of the table's latest value on or before `hasta`; an invalid date when there is none.
QDate UltimoIndiceHasta(const Contexto& ctx, int tabla, const QDate& hasta);

// A month that the table lacks and the number of lines that need it (an invalid month: the lines
// to restate that carry no adjustment date).
struct FaltaIndice {
    QDate mes;
    int lineas = 0;
    bool ajustadoAl = false; // the month of the "Ajustado al" date
    // For the lines without adjustment date: the first of them (entry, line), in date order.
    QVector<QPair<int, int>> primeras;
};
// How many of the lines without adjustment date the refusal names.
inline constexpr int SinFechaNombradas = 5;
// The months the restatement would need and the table lacks, for the lines of the period (with
// sinCierres, those of the closing entries left out).
QVector<FaltaIndice> IndicesFaltantes(const Contexto& ctx, int tabla, const QDate& desde, const QDate& hasta,
                                      const QDate& ajustadoAl, bool sinCierres = false);
// The Spanish explanation of what is missing.
QString TextoFaltantes(const QVector<FaltaIndice>& faltan);

// The sums of each account in whole cents (Cuenta, SumaDebe, SumaHaber, and SinFecha: how many of its
// lines to restate lack their adjustment date), restated; nothing when the table lacks a value (then
// *error names the months). With sinCierres the lines of the closing entries are left out.
bool ConsultaSumasReAjustadas(const Contexto& ctx, int tabla, const QDate& desde, const QDate& hasta, const QDate& ajustadoAl,
                              ConsultaSql* consulta, QString* error, bool sinCierres = false);

// The report rows, as the trial balance writes them. False with an explanation in *error when the
// table lacks values or the query fails; *filas is then empty.
bool ArmoBalanceReAjustado(const Contexto& ctx, const MaximosReporte& maximos, const QDate& desde, const QDate& hasta, int tabla,
                           const QDate& ajustadoAl, QVector<FilaBalance>* filas, QString* error);

// The restated balance as a table, for the exports and the command line: checks the period (inside the
// context's fiscal year) and the "Ajustado al" date, then builds the report.
bool TablaBalanceReAjustado(const Contexto& ctx, const QDate& desde, const QDate& hasta, int tablaAjuste, const QDate& ajustadoAl,
                            TablaReporte* tabla, QString* error);

// Whether the index table exists; its description in *descripcion.
bool ExisteTablaAjuste(const Contexto& ctx, int tabla, QString* descripcion = nullptr);
// The restated balance's table from its rows: the title with the period, the company above it, and
// under it the index table and the "Ajustado al" date.
TablaReporte TablaDeReAjustado(const Contexto& ctx, const QVector<FilaBalance>& filas, const QDate& desde,
                               const QDate& hasta, int tablaAjuste, const QDate& ajustadoAl);
