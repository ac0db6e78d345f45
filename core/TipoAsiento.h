#pragma once
// Kinds of journal entry, kept in the column Asientos.Especial: Null for an ordinary entry, 1 the
// closing of the result accounts, 2 the closing of the balance-sheet accounts, 3 the opening of the
// year (the balance closing of the year before, turned around).
#include <QVariant>

enum class Especial {
    Ordinario = 0,         // stored as Null
    CierreResultados = 1,  // results closing
    CierrePatrimonial = 2, // balance-sheet closing
    Apertura = 3,          // opening
};

// The value to bind for the column: Null for an ordinary entry.
inline QVariant ValorEspecial(Especial e) {
    return e == Especial::Ordinario ? QVariant() : QVariant(int(e));
}
// The kind of a stored value; Null (and anything unknown) is an ordinary entry.
inline Especial EspecialDe(const QVariant& v) {
    if (v.isNull() || !v.isValid()) return Especial::Ordinario;
    const int n = v.toInt();
    return n >= 1 && n <= 3 ? Especial(n) : Especial::Ordinario;
}
