#include "reports/ui/RegistroReportes.h"

#include "core/ui/Pantallas.h"
#include "reports/ui/frmRptBalance.h"
#include "reports/ui/frmRptBalanceReAjustado.h"
#include "reports/ui/frmRptDiarioGeneral.h"
#include "reports/ui/frmRptMayores.h"

namespace {
// Child windows of the main window; they refuse to open without a current fiscal year.
// Each is a command of the "Listados" menu.
template <class Forma> void RegistroInforme(const char* nombre, int orden, const char* comando, const char* caption) {
    Pantallas::Registro(
        nombre, Pantallas::Forma::Hija,
        [](QWidget* padre) -> QWidget* {
            auto* f = new Forma(padre);
            if (f->abierta()) return f;
            delete f;
            return nullptr;
        },
        {Pantallas::Comando("M_Listados", orden, comando, caption)});
}
} // namespace

void RegistroPantallasReportes() {
    RegistroInforme<frmRptDiarioGeneral>("frmRptDiarioGeneral", 10, "M_DiarioGeneral", "&Diario General");
    RegistroInforme<frmRptMayores>("frmRptMayores", 20, "M_Mayores", "&Mayores");
    RegistroInforme<frmRptBalance>("frmRptBalance", 30, "M_Balance", "&Balance Sumas y Saldos");
    RegistroInforme<frmRptBalanceReAjustado>("frmRptBalanceReAjustado", 40, "M_BalanceReAjustado",
                                             "Balance Sumas y Saldos &ReAjustado");
}
