#include "journal/ui/RegistroAsientos.h"

#include "core/ui/Pantallas.h"
#include "journal/ui/frmAsientos.h"
#include "journal/ui/frmBusquedaAsientos.h"
#include "journal/ui/frmConceptosAsiento.h"
#include "journal/ui/frmConceptosDetAsiento.h"

namespace {
// The editor, opened (or brought to the front), takes the command.
Pantallas::Comando::Accion AlEditor(void (Pantallas::EditorAsientos::*orden)()) {
    return [orden](QWidget*) {
        if (auto* e = dynamic_cast<Pantallas::EditorAsientos*>(Pantallas::Activo("frmAsientos"))) (e->*orden)();
    };
}
} // namespace

void RegistroPantallasAsientos() {
    using Pantallas::Comando;
    using Pantallas::EditorAsientos;
    Pantallas::Registro(
        "frmAsientos", Pantallas::Forma::Hija, [](QWidget* p) -> QWidget* { return new frmAsientos(p); },
        {Comando("M_Asientos", 10, "M_IngresarNuevoAsiento", "Ingresar &Nuevo Asiento", false,
                 AlEditor(&EditorAsientos::NuevoAsiento)),
         Comando("M_Asientos", 20, "M_BuscarAsientos", "&Buscar Asiento/s", false,
                 AlEditor(&EditorAsientos::BuscoAsientos))});
    Pantallas::Registro("frmConceptosAsiento", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmConceptosAsiento(p); },
                        {Comando("M_Archivos", 20, "M_ConceptosAsiento", "&Conceptos Asiento", false,
                                 [](QWidget* v) { Pantallas::AbroCatalogo("frmConceptosAsiento", v); })});
    Pantallas::Registro("frmConceptosDetAsiento", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmConceptosDetAsiento(p); },
                        {Comando("M_Archivos", 30, "M_ConceptosDetAsiento", "C&onceptos Detalles Asiento", false,
                                 [](QWidget* v) { Pantallas::AbroCatalogo("frmConceptosDetAsiento", v); })});
    Pantallas::Registro("frmBusquedaAsientos", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmBusquedaAsientos(p); });
}
