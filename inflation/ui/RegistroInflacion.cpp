#include "inflation/ui/RegistroInflacion.h"

#include "core/ui/Pantallas.h"
#include "inflation/ui/frmAjustesInflacion.h"
#include "inflation/ui/frmTablasAjusteInflacion.h"

void RegistroPantallasInflacion() {
    Pantallas::Registro("frmTablasAjusteInflacion", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmTablasAjusteInflacion(p); });
    Pantallas::Registro("frmAjustesInflacion", Pantallas::Forma::Hija,
                        [](QWidget* p) -> QWidget* { return new frmAjustesInflacion(p); });
}
