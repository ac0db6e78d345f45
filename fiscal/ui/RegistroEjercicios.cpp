#include "fiscal/ui/RegistroEjercicios.h"

#include "core/ui/Pantallas.h"
#include "fiscal/ui/frmEjercicios.h"

void RegistroPantallasEjercicios() {
    Pantallas::Registro("frmEjercicios", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmEjercicios(p); });
}
