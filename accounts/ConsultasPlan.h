#pragma once
// What the chart of accounts screen reads: whether the chart exists, one account's data, its line
// concepts, and the searches of its three search fields (the hierarchical-code search is
// CuentaDeCodJer). Letter case is ignored, accents included, and "*" and "?" are the only wildcards.
#include "accounts/OperacionesCuentas.h"

#include <QList>
#include <QString>
#include <optional>

// True when (company, year) is a stored fiscal year: only then has it a chart to show.
bool ExistePlan(int empresa, int ejercicio);

// The stored data of an account as the data panel shows it (the ordinal as text, Null as 0; the short
// code and description Null as empty; no concepts); nothing when there is no such account.
std::optional<DatosCuenta> LeoCuenta(int empresa, int ejercicio, int cuenta);
// Stored ordinal of an account (0 when it has none).
int NumHijoDe(int empresa, int ejercicio, int cuenta);

// A line concept linked to an account.
struct ConceptoCuenta {
    QString codigo;
    QString descripcion;
};
// The debit (debe true) or credit concepts of an account, by description in alphabetical order.
QList<ConceptoCuenta> ConceptosDeCuenta(int empresa, int ejercicio, int cuenta, bool debe);

// The first account (engine order) whose short code, or whose description, holds the typed text
// anywhere; -1 when none does.
int BuscoPorCodInt(const QString& texto, int empresa, int ejercicio);
int BuscoPorDescripcion(const QString& texto, int empresa, int ejercicio);
