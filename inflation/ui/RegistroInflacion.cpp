#include "inflation/ui/RegistroInflacion.h"

#include "core/ui/Pantallas.h"
#include "inflation/ui/frmTablasAjusteInflacion.h"

void RegistroPantallasInflacion() {
    Pantallas::Registro("frmTablasAjusteInflacion", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmTablasAjusteInflacion(p); });
}
