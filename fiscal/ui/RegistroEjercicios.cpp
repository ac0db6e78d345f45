#include "fiscal/ui/RegistroEjercicios.h"

#include "core/AppState.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "fiscal/ChequeosEjercicio.h"
#include "fiscal/ui/frmAperturaEjercicios.h"
#include "fiscal/ui/frmCierreEjercicios.h"
#include "fiscal/ui/frmEjercicios.h"
#include "fiscal/ui/frmEmpresasPropia.h"

namespace {
// A refused check is told to the user and keeps its screen closed.
bool Admito(const Chequeo& c) {
    if (!c.ok) Mensaje(c.mensaje, Icono::Informacion);
    return c.ok;
}
} // namespace

void RegistroPantallasEjercicios() {
    Pantallas::Registro("frmEmpresasPropia", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmEmpresasPropia(p); });
    Pantallas::Registro("frmEjercicios", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmEjercicios(p); });
    Pantallas::Registro("frmCierreEjercicios", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmCierreEjercicios(p); });
    Pantallas::Registro("frmAperturaEjercicios", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmAperturaEjercicios(p); });
    // The closing and the opening of the current year open only when their checks allow it, from the
    // menu or from anywhere else.
    Pantallas::Condicion("frmCierreEjercicios",
                         [] { return Admito(ChequeoCierre(App().currentCompany, App().currentYear)); });
    Pantallas::Condicion("frmAperturaEjercicios",
                         [] { return Admito(ChequeoApertura(App().currentCompany, App().currentYear)); });
}
