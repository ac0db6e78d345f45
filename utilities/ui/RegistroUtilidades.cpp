#include "utilities/ui/RegistroUtilidades.h"

#include "core/ui/Pantallas.h"
#include "utilities/ui/frmAbout.h"
#include "utilities/ui/frmCalculadora.h"

void RegistroPantallasUtilidades() {
    Pantallas::Registro("frmCalculadora", Pantallas::Forma::Hija,
                        [](QWidget* p) -> QWidget* { return new frmCalculadora(p); });
    Pantallas::Registro("frmAbout", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmAbout(p); });
}
