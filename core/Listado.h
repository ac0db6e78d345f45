#pragma once
// Rows a screen lists belong to the company and fiscal year that were current when it listed them.
// Every later action on a listed row (show it, save over it, delete it, open it from a report) names
// that pair, and is refused while another pair is current, or when the entry no longer exists in its
// year: a change of company or year never lets a screen act on a row of the other.
#include "core/Contexto.h"

#include <QString>

struct EjercicioListado {
    int empresa = 0;
    int ejercicio = 0;
    // The context's pair.
    static EjercicioListado De(const Contexto& ctx) { return {ctx.empresa, ctx.ejercicio}; }
    bool operator==(const EjercicioListado&) const = default;
};

// "Empresa de Prueba, 01/01/24-31/12/24": the pair as the user knows it.
QString DescriboEjercicio(int empresa, int ejercicio);

// Empty when rows listed for `listado` may be acted on in the context (the pair current now); else the
// refusal to show.
QString VerificoListado(const Contexto& actual, const EjercicioListado& listado);
// The same for one listed entry, also refused when it no longer exists in its year.
QString VerificoAsientoListado(const Contexto& actual, const EjercicioListado& listado, int asiento);
