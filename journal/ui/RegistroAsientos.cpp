#include "journal/ui/RegistroAsientos.h"

#include "core/ui/Pantallas.h"
#include "journal/ui/frmAsientos.h"
#include "journal/ui/frmBusquedaAsientos.h"
#include "journal/ui/frmConceptosAsiento.h"
#include "journal/ui/frmConceptosDetAsiento.h"

void RegistroPantallasAsientos() {
    Pantallas::Registro("frmAsientos", Pantallas::Forma::Hija,
                        [](QWidget* p) -> QWidget* { return new frmAsientos(p); });
    Pantallas::Registro("frmConceptosAsiento", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmConceptosAsiento(p); });
    Pantallas::Registro("frmConceptosDetAsiento", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmConceptosDetAsiento(p); });
    Pantallas::Registro("frmBusquedaAsientos", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmBusquedaAsientos(p); });
}
