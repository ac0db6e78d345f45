#pragma once
// The SQL that differs between engines, in one place. Statements elsewhere are written in the common
// dialect and ask here for the pieces that are not.
#include <QString>

namespace Dialecto {
// Upper-case of an expression, with the function the dialect switch selects.
QString Mayusculas(const QString& expresion);
// An integer expression as text padded with zeros to a width ("7" -> "007"); a wider number is
// never cut. The width may be a number or an expression (a "?" placeholder).
QString Rellenado(const QString& expresion, const QString& ancho);
QString Rellenado(const QString& expresion, int ancho);
// A text expression in alphabetical order for ORDER BY: letter case and accents ignored.
QString Alfabetico(const QString& expresion);
// Clause that keeps the first n rows.
QString Limite(int n);
// Sign of a number (-1, 0, 1).
QString Signo(const QString& expresion);
} // namespace Dialecto
