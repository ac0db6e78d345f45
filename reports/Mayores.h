#pragma once
// The ledgers ("Mayores"): for each chosen account, every line posted in the period to it or to any
// account below it, in date order, whatever the kind of entry, with a running balance that may start
// from the balance before the period. One block per chosen account; the first line of a block shares
// its row with the account's short code, hierarchical code and text, and a closing line ends it
// ("Total " and the block's text, the opening balance when there is one, the period's debits and
// credits and the final balance), listed in the table's `totales`.
#include "core/ConsultaSql.h"
#include "core/Contexto.h"
#include "reports/TablaReporte.h"

#include <QDate>
#include <QStringList>
#include <QVector>

// Columns of the ledger table, as the grid numbers them.
enum ColumnaMayor {
    MayCodInt = 1,
    MayCodJer,
    MayDescripcion,
    MayCodIntImputable,
    MayDescripcionImputable,
    MayFecha,
    MayAsiento,
    MayConceptoAsiento,
    MayConceptoDetalle,
    MayDebe,
    MayHaber,
    MaySaldo,
    MayColumnas = MaySaldo
};

// The titles of the ledger's columns and which of them hold amounts.
void ColumnasMayores(TablaReporte* tabla);

// One chosen account: its number (0, the root, stands for the whole chart) and the text its block
// shows.
struct BloqueMayor {
    int cuenta = 0;
    QString texto;
};

// The ledgers of the blocks of the context's company and year between the two dates (an invalid date
// leaves that side of the period open, and an open start gives no opening balance). False, with the
// engine's text in *error and *tabla empty, when a query fails.
bool ArmoMayores(const Contexto& ctx, const QDate& desde, const QDate& hasta, const QVector<BloqueMayor>& bloques,
                 bool conSaldoInicial, TablaReporte* tabla, QString* error);

// The same for the accounts named by their short codes (a summary account stands for every account
// below it), with opening balances; no code means one block for each account that has lines, in
// tree order. False with an explanation when a code names no account or a query fails.
bool TablaMayores(const Contexto& ctx, const QDate& desde, const QDate& hasta, const QStringList& codigos, TablaReporte* tabla,
                  QString* error, bool* codigoDesconocido = nullptr);

// Up to this many accounts in the chosen blocks, each block reads its lines through the index by
// account; past it (or with the whole chart chosen) the year's lines are read in one pass in date
// order. Both ways give the same table.
inline qsizetype cuentasPorIndice = 64;

// The statements, for the plan check: the lines of one block's accounts (some) in the period and the sum of
// their lines before the period start (in whole cents); every line of the year up to the period's end
// in date order (the one pass).
ConsultaSql ConsultaLineasMayor(const Contexto& ctx, const QVector<int>& cuentas, const QDate& desde,
                                const QDate& hasta);
ConsultaSql ConsultaSaldoMayor(const Contexto& ctx, const QVector<int>& cuentas, const QDate& desde);
ConsultaSql ConsultaLineasEjercicio(const Contexto& ctx, const QDate& desde, const QDate& hasta);
