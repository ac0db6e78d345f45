#pragma once
// The automatic closing of a fiscal year and the opening of the next one.
//
// The closing writes, in one transaction, the results closing entry (every result account cancelled,
// the net result carried to a chosen balance-sheet account) and the balance-sheet closing entry (every
// balance-sheet account cancelled, the result just carried included), both dated on the year's last
// day. The opening turns the balance-sheet closing of the preceding year around, line by line, dated
// on the first day of the current year. Balances are summed in whole cents by the engine, so an
// account whose lines cancel gets no line and no amount is ever off by a fraction of a cent.
//
// Nothing here shows anything: the outcome carries the text the screen shows.
#include "core/Contexto.h"
#include "journal/Escritura.h"

#include <QDate>
#include <QString>
#include <optional>

inline const QString PrefijoCierre = QStringLiteral("No se puedo completar cierre, ");
inline const QString PrefijoApertura = QStringLiteral("No se puedo completar apertura, ");
// Concept of the line that carries the year's result to the adjustment account.
inline const QString ConceptoAjusteResultados = QStringLiteral("Ajuste resultados");

struct PeriodoEjercicio {
    QDate comienzo;
    QDate fin;
};
// The period of a year; nothing when the year does not exist.
std::optional<PeriodoEjercicio> LeoPeriodo(int empresa, int ejercicio);

// The legends the screens offer: the prefix followed by the year's start and end as dd/mm/yy.
QString LeyendaCierreResultados(const PeriodoEjercicio& p);
QString LeyendaCierrePatrimonial(const PeriodoEjercicio& p);
QString LeyendaApertura(const PeriodoEjercicio& p);

// EjercicioAnterior (the year before by dates) is the journal's: journal/Escritura.h.

// Whether an account can receive the year's result: it exists in the year's chart, has no children
// and is a balance-sheet account. Empty when it can, else the message to show.
QString VerificoCuentaAjuste(int empresa, int ejercicio, int cuenta);

// Outcome of a closing or an opening.
struct Generacion {
    bool ok = false;
    // Refused by a rule before anything was written (shown as information), as opposed to a statement
    // that failed and was rolled back (a warning).
    bool rechazada = false;
    QString mensaje;     // on success the text that names the entries made; else the whole refusal
    int resultados = 0;  // number of the results closing entry (0: none was needed)
    int patrimonial = 0; // number of the balance-sheet closing entry
    int apertura = 0;    // number of the opening entry
};

// Closes the year with the adjustment account chosen. Refused, with nothing written, when the year
// does not exist, the account cannot receive the result, the year is already closed or holds no
// entry line at all; any failing statement rolls both entries back.
// Both entries go through the one writer of entries, on behalf of the context's user and session.
Generacion GeneroCierre(const Contexto& c, const QString& leyendaResultados, const QString& leyendaPatrimonial,
                        int cuentaAjuste);

// Opens the year from the balance-sheet closing of the preceding one. Refused, with nothing written,
// when the year is already opened, the preceding year was not closed, or an account of that closing
// does not exist in this year's chart (the refusal names them).
Generacion GeneroApertura(const Contexto& c, const QString& leyenda);
