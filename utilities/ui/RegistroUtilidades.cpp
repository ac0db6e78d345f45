#include "utilities/ui/RegistroUtilidades.h"

#include "core/ui/Pantallas.h"
#include "utilities/ui/frmAbout.h"
#include "utilities/ui/frmCalculadora.h"

void RegistroPantallasUtilidades() {
    using Pantallas::Comando;
    Pantallas::Registro("frmCalculadora", Pantallas::Forma::Hija,
                        [](QWidget* p) -> QWidget* { return new frmCalculadora(p); },
                        {Comando("M_Especiales", 10, "M_Calculadora", "C&alculadora")});
    Pantallas::Registro("frmAbout", Pantallas::Forma::Modal, [](QWidget* p) -> QWidget* { return new frmAbout(p); },
                        {Comando("M_Ayuda", 20, "M_About", "A&cerca de...", true)});
}
