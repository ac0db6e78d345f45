#pragma once
// The companies whose books the program keeps: a catalogue of (number, name) whose new records also
// receive a copy of the print layout rows, with the company's tax number (CUIT) and address.
#include "core/CatalogoDatos.h"

#include <QString>
#include <optional>

namespace Empresas {
// Statements of the companies catalogue: a new company gets Null in the columns no screen edits.
SentenciasCatalogo Sentencias();
// Gives a new company a copy of the print layout rows of the highest-numbered company that has any
// (none when no company has them). Runs inside the caller's transaction, with the insert.
Resultado CopioDisposicion(int empresa);
// The companies in alphabetical order of their names, for a list to choose one from.
QList<Opcion> Opciones(const Contexto& ctx);

// Check digit of the first ten digits of a CUIT: the digits weighted 5,4,3,2,7,6,5,4,3,2, and 11 less
// the remainder of their sum by 11 (11 gives 0). -1 when that comes to 10 (no number is given such a
// prefix and document) or the text is not ten digits.
int DigitoVerificadorCuit(const QString& diezDigitos);
// A CUIT as typed (digits, with or without hyphens or spaces) in its stored form XX-XXXXXXXX-X; the
// empty text for an empty field (the CUIT is optional). nullopt, with the reason in *motivo, when it
// does not have 11 digits or its check digit is wrong.
std::optional<QString> NormalizoCuit(const QString& texto, QString* motivo = nullptr);
// Stores the company's CUIT (already normalized) and address; empty texts are stored as Null. Runs
// inside the caller's transaction, after the insert or update of the company.
Resultado GraboDatosFiscales(int empresa, const QString& cuit, const QString& domicilio);
} // namespace Empresas
