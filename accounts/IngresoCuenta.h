#pragma once
// Typing an account into a row of a grid: by short code, by hierarchical code or by part of its
// description. The row's account block is four cells after an origin column O: O+1 account number
// (-1 while unresolved), O+2 short code, O+3 hierarchical code, O+4 description. When nothing matches,
// the chart screen opens as a picker, already searched with what was typed.
//
// The logic works on any row through CeldasCuenta and opens the picker through a function, so it runs
// without widgets; journal/ui/IngresoCuentaGrilla.h binds it to a Grilla row and to the chart screen.
#include "accounts/CodigosJerarquicos.h"
#include "core/Eleccion.h"

#include <QString>
#include <functional>
#include <optional>

// The cells of one row (columns counted as in the grid).
class CeldasCuenta {
public:
    virtual ~CeldasCuenta() = default;
    virtual QString texto(int columna) const = 0;
    virtual void setTexto(int columna, const QString& texto) = 0;
    virtual void Activo(int columna) = 0; // makes the cell of this row the current cell
};

// Opens the chart screen modally as a picker and returns the chosen account (number in `codigo`,
// short code in `texto`, `codJer`, `descripcion`), or nothing, for the chart, the account to preselect
// and the text to search that the request names.
struct PedidoPlan {
    int empresa = 0;
    int ejercicio = 0;
    int preseleccion = -1; // the account the row holds, -1 for none
    QString buscado;       // the text typed in the cell
};
using AbroPlan = std::function<std::optional<Eleccion>(const PedidoPlan&)>;

// Ways of typing an account, as the edited column minus the origin; also the values of
// UltFormaIngresoCuenta in [Varios] of the local settings file.
enum FormaIngreso { PorCodInt = 2, PorCodJer = 3, PorDescripcion = 4 };
int UltFormaIngresoCuenta(); // default 2
void GraboUltFormaIngresoCuenta(int forma);

// Chart that typed entry consults: the current company's EmpresaPropiaEj and NumEjercicio. A company
// that has none of them set (a freshly created one) uses the current company and year instead.
struct PlanIngreso {
    int empresa = 0;
    int ejercicio = 0;
    bool delEjercicioActual = false; // true when the company's row named no chart
};
PlanIngreso PlanDeIngreso(const Contexto& ctx);

// The account that a typed text names, or -1 (first match in the engine's order for a description).
int BuscoCuentaIngresada(int forma, const QString& texto, int empresa, int ejercicio);

// Resolves what was typed in `columna` of the row; fills the other cells or opens the picker. True
// only when the picker handed back an account.
bool IngresoCuenta(const Contexto& ctx, CeldasCuenta& fila, int columna, int origen, const MaximosNivel& maximos,
                   const AbroPlan& abroPlan);
// Opens the chart picker for the row (pre-searched with the edited cell's text) and fills the block
// with what it hands back. True when an account was chosen.
bool SeleccionoCuenta(CeldasCuenta& fila, int columna, int origen, int empresa, int ejercicio,
                      const AbroPlan& abroPlan);
