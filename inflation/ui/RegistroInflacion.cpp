#include "inflation/ui/RegistroInflacion.h"

#include "core/ui/Pantallas.h"
#include "inflation/ui/frmAjustesInflacion.h"
#include "inflation/ui/frmTablasAjusteInflacion.h"

void RegistroPantallasInflacion() {
    using Pantallas::Comando;
    Pantallas::Registro(
        "frmTablasAjusteInflacion", Pantallas::Forma::Modal,
        [](QWidget* p) -> QWidget* { return new frmTablasAjusteInflacion(p); },
        {Comando("M_Archivos", 70, "M_TablasAjusteInflacion", "&Tablas Ajuste Inflación", false,
                 [](QWidget* v) { Pantallas::AbroCatalogo("frmTablasAjusteInflacion", v); })});
    Pantallas::Registro("frmAjustesInflacion", Pantallas::Forma::Hija,
                        [](QWidget* p) -> QWidget* { return new frmAjustesInflacion(p); },
                        {Comando("M_Archivos", 10, "M_AjustesInflacion", "&Ajustes Inflación")});
}
