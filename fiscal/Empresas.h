#pragma once
// The companies whose books the program keeps: a catalogue of (number, name) whose new records also
// receive a copy of the print layout rows.
#include "core/CatalogoDatos.h"

namespace Empresas {
// Statements of the companies catalogue: a new company gets Null in the columns no screen edits.
SentenciasCatalogo Sentencias();
// Gives a new company a copy of the print layout rows of the highest-numbered company that has any
// (none when no company has them). Runs inside the caller's transaction, with the insert.
Resultado CopioDisposicion(int empresa);
// The companies in alphabetical order of their names, for a list to choose one from.
QList<Opcion> Opciones(const Contexto& ctx);
} // namespace Empresas
