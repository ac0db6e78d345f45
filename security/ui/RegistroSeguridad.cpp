#include "security/ui/RegistroSeguridad.h"

#include "core/ui/Pantallas.h"
#include "security/ui/frmCambioContrasena.h"

void RegistroPantallasSeguridad() {
    Pantallas::Registro("frmCambioContrasena", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmCambioContrasena(p); });
}
