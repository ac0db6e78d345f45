#include "fiscal/ui/RegistroEjercicios.h"

#include "core/ui/Pantallas.h"
#include "fiscal/ui/frmEmpresasPropia.h"

void RegistroPantallasEjercicios() {
    Pantallas::Registro("frmEmpresasPropia", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmEmpresasPropia(p); });
}
