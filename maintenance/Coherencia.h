#pragma once
// The books' own rules, checked on any connection to them: every relation holds, every entry balances
// to the cent, every line has its header and an existing account, every index value is positive and
// the schema version is one this program knows; the monthly sums are those of the lines, and the
// triggers that keep them are there, as the program makes them and firing. A restore checks a backup with it before it
// replaces anything, and the structure check runs it on the live books.
#include "core/Motor.h"

#include <QList>
#include <QSqlDatabase>

class Progreso;
#include <QString>
#include <QStringList>

namespace Mantenimiento {

// One kind of fault: how many rows have it and the first few of them, in words.
struct Incoherencia {
    QString clase;
    qint64 cantidad = 0;
    QStringList ejemplos;
};

// Every kind of fault found, in a fixed order; empty for sound books. A statement that cannot run
// is a fault of its own kind.
// relaciones: the relations to check, when db holds the rows without them (a server's backup restored
// for examination); otherwise those of db. `progreso`, if any, counts the checks done in its stage.
QList<Incoherencia> RevisoCoherencia(const QSqlDatabase& db, const QList<RelacionBase>* relaciones = nullptr,
                                     Progreso* progreso = nullptr);
// The list in Spanish, one line per kind: the count and the first few rows.
QString DescriboIncoherencias(const QList<Incoherencia>& lista);

} // namespace Mantenimiento
