#pragma once
// The trial balance ("Balance Sumas y Saldos"): every account of the current chart in tree order with
// the sums of its debit and credit lines between two dates, whatever the kind of entry, rolled up the
// tree by the balances' writer.
#include "core/ConsultaSql.h"
#include "core/Contexto.h"
#include "reports/Reporte.h"
#include "reports/TablaReporte.h"

#include <QDate>
#include <QVector>

// The three choices of cmbSaldos0, by index.
enum class FiltroSaldos { Todos = 0, ExcluirSaldos0 = 1, ExcluirMovim0 = 2 };

// One row per account of the current company and year: Descripcion, code text (segments of `ancho`
// digits), CodInt, SumaDebe and SumaHaber in whole cents (Null without such lines in the period), and
// PrimeroDeCuenta (a child's Cuenta, Null for a postable account); ordered by the code text.
// How the lines of the period are read: those of the entries dated in the period (Periodo); every
// line of the year, when every entry lies in the period (Ejercicio); or every line of the year less
// those of the entries outside the period, when those are fewer (EjercicioMenosFuera). The three
// give the same sums; the last two read the lines from the index by account that holds the amount,
// without looking up each line's entry. A period that holds whole calendar months takes their sums
// from SumasMensuales, kept by the engine as lines are written, and reads only the lines of the days
// before the first of them and after the last (Meses).
enum class LecturaLineas { Periodo, Ejercicio, EjercicioMenosFuera, Meses };
ConsultaSql ConsultaBalance(const Contexto& ctx, int profundidad, int ancho, const QDate& desde, const QDate& hasta,
                            LecturaLineas lectura = LecturaLineas::Periodo);
// The sums alone, one row per account with lines in the period (Cuenta, SumaDebe, SumaHaber in whole
// cents), as ConsultaCuentas takes them.
ConsultaSql ConsultaSumasBalance(const Contexto& ctx, const QDate& desde, const QDate& hasta, LecturaLineas lectura);
// The cheapest reading for the period, from the number of entries of the context's company and year
// dated in it and outside it (an undated entry counts as outside).
LecturaLineas ElijoLectura(const Contexto& ctx, const QDate& desde, const QDate& hasta);
// The reading the balance takes: Meses for a period that holds a whole calendar month, else the
// cheapest of ElijoLectura.
LecturaLineas LecturaBalance(const Contexto& ctx, const QDate& desde, const QDate& hasta);
// The whole calendar months a period holds, from the first day of the first to the last day of the
// last; false when it holds none.
bool MesesEnteros(const QDate& desde, const QDate& hasta, QDate* primero, QDate* ultimo);
// The same rows for sums computed elsewhere: `sumas` is a query of (Cuenta, SumaDebe, SumaHaber) in whole
// cents for the current company and year, one row per account at most. `extra` adds columns of the sums
// query after the six of the report record (", S.Columna").
ConsultaSql ConsultaCuentas(const Contexto& ctx, int profundidad, int ancho, const ConsultaSql& sumas,
                            const QString& extra = {});

// Whether an account stays in the report under the filter. Accounts with children always stay;
// "Excluir Saldos 0" drops accounts whose net amount in the period is zero to the cent, "Excluir
// Movim 0" accounts without any non-zero line in the period.
bool Incluyo(const RegistroReporte& registro, FiltroSaldos filtro);

// Runs the query and writes the report rows into *filas (emptied first). False, with the engine's
// text in *error, when the query fails; *filas is then left empty.
bool ArmoBalance(const Contexto& ctx, const MaximosReporte& maximos, const QDate& desde, const QDate& hasta, FiltroSaldos filtro,
                 QVector<FilaBalance>* filas, QString* error);

// The level maxima of the balance (screen code 4): they outlive any window that shows it.
MaximosReporte& MaximosBalance();

// The balance's rows as a table of the eight grid columns ("Cód. Jerárquico" ... "Saldo Haber"), the
// two balance columns computed from the sums of each row; no title. Under the grand totals, a row
// tells when the two sides differ: a fault of the books in a historical balance; in a restated one
// (`reexpresado`) the difference the restatement itself makes, which is not booked.
TablaReporte TablaDeBalance(const QVector<FilaBalance>& filas, bool reexpresado = false);

// The trial balance of the current company and year between two dates as a table, titled with the
// period ("Balance Sumas y Saldos entre 01/01/2024 y 31/12/2024"). False, with the
// engine's text in *error and *tabla untouched, when the query fails.
bool TablaBalance(const Contexto& ctx, const QDate& desde, const QDate& hasta, FiltroSaldos filtro, TablaReporte* tabla,
                  QString* error);
// The same from a query of ConsultaCuentas (a chart of only the root row writes nothing); `alLeer`
// sees every row of the query before it is written.
bool ArmoFilasBalance(const Contexto& ctx, const MaximosReporte& maximos, const ConsultaSql& consulta, FiltroSaldos filtro,
                      QVector<FilaBalance>* filas, QString* error,
                      const std::function<void(const QSqlQuery&)>& alLeer = {});
