#pragma once
// The headings (rubros) of the financial statements and the accounts each one gathers. A heading is
// given to an account of the chart of one company and year, and so to the whole branch beneath it:
// an account is shown under the heading of its deepest ancestor (itself included) that has one. The
// assets and liabilities headings are current or non-current per account given.
//
// A year whose headings were never stored takes a default read from its chart: the top-level groups
// say the side (assets, liabilities, equity, results, by their name, their result flag and their
// natural side), the names of the groups beneath them the heading; a group whose name says nothing
// takes the side's general heading.
#include "accounts/CodigosJerarquicos.h"
#include "core/CatalogoDatos.h"
#include "core/Contexto.h"

#include <QHash>
#include <QString>
#include <QVector>
#include <optional>

namespace Estados {

enum class Lado { Activo, Pasivo, PatrimonioNeto, Resultados };

struct Rubro {
    int codigo = 0;
    QString nombre;
    Lado lado = Lado::Activo;
};

// Every heading, in the order the statements show them.
const QVector<Rubro>& Rubros();
// The heading of a code; nullptr when there is none.
const Rubro* RubroDe(int codigo);
// Whether the heading is split into current and non-current (assets and liabilities).
bool Clasificable(const Rubro& r);

// The codes the statements compute with.
namespace Codigo {
constexpr int Ventas = 31, CostoVentas = 32, Comercializacion = 33, Administracion = 34, Financieros = 35,
              OtrosResultados = 36, ImpuestoGanancias = 37;
}

// One row of RubrosCuentas: the account (and its branch) shown under the heading.
struct Asignacion {
    int cuenta = 0;
    int rubro = 0;
    bool noCorriente = false;
    bool operator==(const Asignacion& o) const {
        return cuenta == o.cuenta && rubro == o.rubro && noCorriente == o.noCorriente;
    }
};

// The chart of one company and year as the statements read it, in tree order.
struct CuentaEstado {
    int cuenta = 0;
    int padre = 0;
    QString descripcion;
    bool resultado = false;
    bool deudora = false;
    bool tieneHijos = false;
    int nivel = 1;
    QString ruta; // the ordinals from the top level down, "1.1.3.1": the same account in another year
};

class PlanEstados {
public:
    // Reads the chart of the context's company and year; false with the engine's text in *error.
    bool Cargo(const Contexto& ctx, QString* error);
    const QVector<CuentaEstado>& cuentas() const { return lista; }
    const CuentaEstado* Busco(int cuenta) const;
    // The account with that ruta (the first in tree order, should two siblings share an ordinal).
    const CuentaEstado* PorRuta(const QString& ruta) const;
    // The account's hierarchical code as the other screens show it, and its description.
    QString Nombre(int cuenta) const;
    int empresa() const { return emp; }
    int ejercicio() const { return ej; }

private:
    QVector<CuentaEstado> lista;
    QHash<int, int> porCuenta;
    QHash<QString, int> porRuta;
    FilasPlan filas;
    MaximosNivel maximos{0};
    Contexto contexto;
    int emp = 0, ej = 0;
};

// The heading every account falls under, from the headings given.
class Clasificador {
public:
    Clasificador(const PlanEstados& plan, const QVector<Asignacion>& asignaciones);
    // The heading of the account of this chart: its own, or its deepest ancestor's; nothing when none.
    std::optional<Asignacion> De(int cuenta) const;
    // The heading of an account of another year's chart, matched by its ruta to this chart's account
    // (or, when this chart lacks it, to its nearest ancestor that exists here).
    std::optional<Asignacion> DeRuta(const QString& ruta) const;

private:
    const PlanEstados& plan;
    QHash<int, Asignacion> propias;
};

// The default headings of a chart (see above).
QVector<Asignacion> AsignacionesPorDefecto(const PlanEstados& plan);

// The headings stored for the context's year (empty when none were); false on a failing query.
bool LeoAsignaciones(const Contexto& ctx, QVector<Asignacion>* asignaciones, QString* error);
// The headings the statements of the year use: the stored ones, or the default when none were stored
// (*porDefecto tells which).
bool AsignacionesEjercicio(const Contexto& ctx, const PlanEstados& plan, QVector<Asignacion>* asignaciones,
                           bool* porDefecto, QString* error);
// Why a heading cannot be given to the account (empty when it can): the account must exist, the heading
// too, and a result account takes a heading of the income statement, a balance-sheet account one of the
// statement of financial position.
QString VerificoAsignacion(const PlanEstados& plan, const Asignacion& a);
// The headings of the year one row per account given (the default ones when none were stored), in
// tree order, for the headings' screen: Cuenta, Codigo (as users see it), Descripcion, Rubro, nomRubro,
// NoCorriente.
FilasLeidas FilasRubros(const Contexto& ctx);
// Gives the account its heading (anterior: the account the record had before, 0 for a new one), or
// takes it away; the year's headings are stored whole (the default ones, the first time).
Resultado GraboAsignacion(const Contexto& ctx, const Asignacion& a, int anterior);
Resultado BorroAsignacion(const Contexto& ctx, int cuenta);
// Replaces the year's headings by these in one transaction; refused, with nothing written, when one of
// them cannot be given (the message names the account).
bool GraboAsignaciones(const Contexto& ctx, const QVector<Asignacion>& asignaciones, QString* error);

} // namespace Estados
