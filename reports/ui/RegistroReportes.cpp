#include "reports/ui/RegistroReportes.h"

#include "core/ui/Pantallas.h"
#include "reports/ui/frmRptBalance.h"
#include "reports/ui/frmRptBalanceReAjustado.h"

void RegistroPantallasReportes() {
    // Child windows of the main window; they refuse to open without a current fiscal year.
    Pantallas::Registro("frmRptBalance", Pantallas::Forma::Hija, [](QWidget* padre) -> QWidget* {
        auto* f = new frmRptBalance(padre);
        if (f->abierta()) return f;
        delete f;
        return nullptr;
    });
    Pantallas::Registro("frmRptBalanceReAjustado", Pantallas::Forma::Hija, [](QWidget* padre) -> QWidget* {
        auto* f = new frmRptBalanceReAjustado(padre);
        if (f->abierta()) return f;
        delete f;
        return nullptr;
    });
}
