#pragma once
// Fiscal years of a company: period rules, numbering, creation with the root account, deletion of an
// empty year and the paste of a whole chart of accounts from one year into another.
#include "core/CatalogoDatos.h"

#include <QDate>
#include <QString>
#include <optional>

struct Contexto;

namespace Ejercicios {

// Outcome of an operation: when not ok, `mensaje` is the whole text to show the user.
struct Veredicto {
    bool ok = true;
    QString mensaje;
    QString detalle;      // the reason alone, without the message's fixed prefix
    bool deMotor = false; // refused by the database (warning), not by a rule of the system (error)
    int ejercicio = 0;    // the year number saved (GraboEjercicio)
};

// Checks a period before it is stored: valid dates, start before end, no entry of the edited year
// left outside it, no day shared with another year of the company. `ejercicio` is the year being
// edited, or -1 when a new one is being added.
Veredicto VerificoPeriodo(int empresa, int ejercicio, const QDate& desde, const QDate& hasta);

// Number the next year of the company takes: the highest of the company plus one (1 for the first).
int ProximoEjercicio(int empresa);

// Stores a year after VerificoPeriodo: a new one (ejercicio -1) gets the next number and its root
// account in the same transaction; an existing one gets its new period and index table.
// `tabla` -1 means no index table. Like every write below, refused unless the context's user may
// write years (deleting one: may delete them; the paste writes the chart).
Veredicto GraboEjercicio(const Contexto& ctx, int empresa, int ejercicio, const QDate& desde, const QDate& hasta, int tabla);

// Deletes a year whose chart holds nothing but the root account; a year with accounts or entries is
// refused by the database's relations and nothing changes.
Veredicto BorroEjercicio(const Contexto& ctx, int empresa, int ejercicio);

// Replaces the chart of the target year with a copy of the source year's chart (accounts with their
// hierarchy, codes and flags, and their line-concept links) in one transaction: on any failure the
// target keeps its old chart. A target whose accounts are used by entry lines is refused.
Veredicto PegoPlan(const Contexto& ctx, int empresaOrigen, int ejercicioOrigen, int empresaDestino, int ejercicioDestino);

// The years of a company in start-date order, and one year.
FilasLeidas LeoEjercicios(const Contexto& ctx, int empresa);
std::optional<FilaLeida> LeoEjercicio(const Contexto& ctx, int empresa, int ejercicio);
// Description of an index table (empty when there is none of that number).
QString DescripcionTabla(int tabla);
// A year as the paste question names it: the company's name, its start and end as dd/mm/yy.
QString DescripcionEjercicio(int empresa, int ejercicio);

} // namespace Ejercicios
