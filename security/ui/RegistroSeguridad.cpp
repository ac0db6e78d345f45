#include "security/ui/RegistroSeguridad.h"

#include "core/ui/Pantallas.h"
#include "security/ui/frmCambioContrasena.h"
#include "security/ui/frmUsuarios.h"

namespace {
// Once the screen closes, the main window is the active one again.
Pantallas::Comando::Accion YVuelvo(const QString& nombre) {
    return [nombre](QWidget* v) {
        Pantallas::Abro(nombre, v);
        v->activateWindow();
    };
}
} // namespace

void RegistroPantallasSeguridad() {
    using Pantallas::Comando;
    Pantallas::Registro("frmUsuarios", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmUsuarios(p); },
                        {Comando("M_Contrasena", 10, "M_Usuarios", "&Usuarios", false, YVuelvo("frmUsuarios"))});
    Pantallas::Registro("frmCambioContrasena", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmCambioContrasena(p); },
                        {Comando("M_Contrasena", 20, "M_CambioContrasena", "&Cambio Contraseña", false,
                                 YVuelvo("frmCambioContrasena"))});
}
