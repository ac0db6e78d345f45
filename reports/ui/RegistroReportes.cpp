#include "reports/ui/RegistroReportes.h"

#include "core/ui/Pantallas.h"
#include "reports/ui/frmRptBalance.h"
#include "reports/ui/frmRptBalanceReAjustado.h"
#include "reports/ui/frmRptDiarioGeneral.h"
#include "reports/ui/frmRptMayores.h"

namespace {
// Child windows of the main window; they refuse to open without a current fiscal year.
template <class Forma> void RegistroInforme(const char* nombre) {
    Pantallas::Registro(nombre, Pantallas::Forma::Hija, [](QWidget* padre) -> QWidget* {
        auto* f = new Forma(padre);
        if (f->abierta()) return f;
        delete f;
        return nullptr;
    });
}
} // namespace

void RegistroPantallasReportes() {
    RegistroInforme<frmRptBalance>("frmRptBalance");
    RegistroInforme<frmRptMayores>("frmRptMayores");
    RegistroInforme<frmRptDiarioGeneral>("frmRptDiarioGeneral");
    RegistroInforme<frmRptBalanceReAjustado>("frmRptBalanceReAjustado");
}
