#pragma once
// Upgrade of a database made by an earlier version of the program: numbered steps, each taking the
// schema from the version before it to its own. A new database is built at Esquema::Version directly
// (Esquema::Definicion()); a step is only ever run on a file of an older version.
//
// To change the structure: raise Esquema::Version, change Definicion() so that a new database has the
// new structure, and append here the step with the new number whose statements bring a database of
// the previous version to the same structure (the test that upgrades an old database compares both).
#include <QList>
#include <QStringList>

class DialectoMotor;

namespace Esquema {

struct Paso {
    int version;              // the version the database has once the step has run
    QStringList sentencias;   // run in order, inside the one transaction of the upgrade; the types
                              // of their columns written as in Definicion()
    QStringList tablasNuevas; // tables the step creates (absent from databases of earlier versions)
    // Statements in the engine's own words, run after the others (triggers, functions).
    QStringList (*delMotor)(const DialectoMotor& dialecto) = nullptr;
    // The step makes SumasMensuales, which is then filled from the lines already there.
    bool llenoSumas = false;
};

// Every step, by increasing version; the last one's version is Esquema::Version.
const QList<Paso>& Pasos();

// The steps that take a database of version desde to the current one, in order.
QList<Paso> PasosDesde(int desde);

// Tables that a database of the given version must hold.
QStringList TablasDeVersion(int version);

// The oldest version that can still be upgraded (the first one that carried its number).
constexpr int VersionMinima = 1;

} // namespace Esquema
