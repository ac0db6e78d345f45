#include "security/ui/RegistroSeguridad.h"

#include "core/ui/Pantallas.h"
#include "security/ui/frmCambioContrasena.h"
#include "security/ui/frmUsuarios.h"

void RegistroPantallasSeguridad() {
    Pantallas::Registro("frmUsuarios", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmUsuarios(p); });
    Pantallas::Registro("frmCambioContrasena", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmCambioContrasena(p); });
}
