#include "reports/ui/RegistroReportes.h"

#include "core/ui/Pantallas.h"
#include "reports/Informes.h"
#include "reports/ui/frmRptBalance.h"
#include "reports/ui/frmRptBalanceReAjustado.h"
#include "reports/ui/frmRptDiarioGeneral.h"
#include "reports/ui/frmRptMayores.h"

#include <QMap>

namespace {
// Child windows of the main window; they refuse to open without a current fiscal year.
template <class Forma> QWidget* Abro(QWidget* padre) {
    auto* f = new Forma(padre);
    if (f->abierta()) return f;
    delete f;
    return nullptr;
}

// The screen of each report that has one, by the screen's name.
const QMap<QString, Pantallas::Fabrica>& Fabricas() {
    static const QMap<QString, Pantallas::Fabrica> fabricas = {
        {"frmRptDiarioGeneral", Abro<frmRptDiarioGeneral>},
        {"frmRptMayores", Abro<frmRptMayores>},
        {"frmRptBalance", Abro<frmRptBalance>},
        {"frmRptBalanceReAjustado", Abro<frmRptBalanceReAjustado>},
    };
    return fabricas;
}
} // namespace

void RegistroPantallasReportes() {
    for (const DescriptorInforme& d : Informes()) {
        if (d.forma.isEmpty()) continue;
        const Pantallas::Fabrica fabrica = Fabricas().value(d.forma);
        Q_ASSERT_X(fabrica, "RegistroPantallasReportes", qPrintable(d.forma));
        if (!fabrica) continue;
        Pantallas::Registro(d.forma, Pantallas::Forma::Hija, fabrica, {Pantallas::Comando(d.menu, d.orden, d.comando, d.caption)});
    }
}
