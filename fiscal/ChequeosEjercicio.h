#pragma once
// Whether the year's automatic closing or opening may be generated: checked before their screens
// open, so that a year is never closed twice nor opened twice, nor opened without the balance-sheet
// closing of the year before it.
#include <QString>

struct Chequeo {
    bool ok = true;
    QString mensaje; // the whole text to show when refused
    int asiento = 0; // the entry that stands in the way (0 when none)
};

// Refused when the year already holds a closing entry (results or balance sheet); the message names
// the one of the lower kind.
Chequeo ChequeoCierre(int empresa, int ejercicio);
// Refused when the year already holds its opening entry, or when the latest year of the company that
// ends before this one starts has no balance-sheet closing (the company's first year has none).
Chequeo ChequeoApertura(int empresa, int ejercicio);
