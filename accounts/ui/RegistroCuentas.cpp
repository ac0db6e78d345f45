#include "accounts/ui/RegistroCuentas.h"
#include "core/AppState.h"

#include "accounts/ui/frmCuentas.h"
#include "core/AppState.h"
#include "core/ui/Pantallas.h"

void RegistroPantallasCuentas() {
    // Opened modally by the main menu, the fiscal years screen and the account lookup, with
    // App().chartCompany and App().chartYear set; refuses when that fiscal year does not exist.
    Pantallas::Registro(
        "frmCuentas", Pantallas::Forma::Modal,
        [](QWidget* padre) -> QWidget* {
            auto* f = new frmCuentas(padre);
            if (f->abierta()) return f;
            delete f;
            return nullptr;
        },
        // From the menu: the chart of the current year, from its first account.
        {Pantallas::Comando("M_Archivos", 60, "M_PlanCuentas", "&Plan de Cuentas", false, [](QWidget* v) {
            AppState& a = App();
            a.preselection = true;
            a.chartCompany = a.currentCompany;
            a.chartYear = a.currentYear;
            Pantallas::Abro("frmCuentas", v);
        })});
}
