#pragma once
// What the entry editor works out while a bookkeeper types: the running totals of the lines and the
// amount that balances them, and a date typed short ("15", "15/3") or moved a day ("+", "-").
#include "core/Contexto.h"
#include "core/Importe.h"

#include <QDate>
#include <QList>
#include <QString>

// Debit and credit amounts of the lines so far (amount texts as the grid stores them: plain numbers
// with a point; empty or unreadable texts count as nothing).
struct TotalesAsiento {
    Importe debe;
    Importe haber;
    Importe diferencia() const { return debe - haber; } // positive: the debits exceed the credits
    bool balanceado() const { return debe == haber; }
};
struct ImportesLinea {
    QString debe;
    QString haber;
};
TotalesAsiento Totalizo(const QList<ImportesLinea>& lineas);

// The amount a new line needs to balance the entry and its side (debe: true for a debit); nothing
// when the entry already balances.
struct Balanceo {
    bool debe = true;
    Importe importe;
};
std::optional<Balanceo> PropongoBalanceo(const TotalesAsiento& totales);

// The first and last day of the context's fiscal year (invalid dates when it has none). The closing
// reads the same with LeoPeriodo (fiscal/Cierre.h), a layer above the journal.
struct DiasEjercicio {
    QDate comienzo;
    QDate fin;
};
DiasEjercicio DiasDelEjercicio(const Contexto& ctx);

// A date as typed in the entry's date field: a whole date as usual; "15" the 15th of the month of the
// date shown; "15/3" the 15th of March that falls in the fiscal year (the year of the date shown when
// neither calendar year of the fiscal year holds it); "+" and "-" the day after or before the date
// shown. An invalid date when the text names none.
QDate FechaTecleada(const QString& texto, const QDate& mostrada, const DiasEjercicio& periodo);
