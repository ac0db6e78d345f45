#include "reports/ui/RegistroReportes.h"

#include "core/ui/Pantallas.h"
#include "reports/ui/frmRptBalance.h"

void RegistroPantallasReportes() {
    // Child windows of the main window; they refuse to open without a current fiscal year.
    Pantallas::Registro("frmRptBalance", Pantallas::Forma::Hija, [](QWidget* padre) -> QWidget* {
        auto* f = new frmRptBalance(padre);
        if (f->abierta()) return f;
        delete f;
        return nullptr;
    });
}
