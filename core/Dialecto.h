#pragma once
// The SQL pieces that differ between engines, asked of the engine of the shared connection
// (core/MotorDialecto.h). Statements elsewhere are written in the common dialect and take the rest from here.
#include <QString>

namespace Dialecto {
// Upper-case of an expression, with the function the dialect switch selects.
QString Mayusculas(const QString& expresion);
// An integer expression as text padded with zeros to a width ("7" -> "007"); a wider number is
// never cut.
QString Rellenado(const QString& expresion, int ancho);
// A text expression in alphabetical order, as a whole ascending ORDER BY term: letter case and accents
// ignored, Null first.
QString Alfabetico(const QString& expresion);
// Clause that keeps the first n rows.
QString Limite(int n);
// "INSERT INTO " + resto, leaving alone a row whose key already exists.
QString InsertoOIgnoro(const QString& resto);
// Sign of a number (-1, 0, 1).
QString Signo(const QString& expresion);
} // namespace Dialecto
