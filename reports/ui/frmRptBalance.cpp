#include "reports/ui/frmRptBalance.h"
#include "core/AppState.h"

#include "core/Sesiones.h"
#include "core/ui/Controles.h"
#include "core/ui/Grilla.h"
#include "reports/ui/VuelcoTabla.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>

frmRptBalance::frmRptBalance(QWidget* padre)
    : PantallaReporte(DeInforme("frmRptBalance"), padre) {
    cmbSaldos0 = new QComboBox(this);
    cmbSaldos0->setObjectName("cmbSaldos0");
    cmbSaldos0->addItems({"Todos", "Excluir Saldos 0", "Excluir Movim 0"});
    cmbSaldos0->setAccessibleName("Saldos");
    FiltrosPropios()->addWidget(Marco(this, "fraSaldos0", "Saldos", cmbSaldos0));
    Inicio();
}

MaximosReporte& frmRptBalance::Maximos() {
    return MaximosBalance();
}

void frmRptBalance::PreparoGrilla() {
    PreparoGrillaBalance(sprRpt);
}

void frmRptBalance::ColocoFiltrosPropios() {
    cmbSaldos0->setCurrentIndex(0);
}

bool frmRptBalance::Armo(const QDate& desde, const QDate& hasta, QString* error) {
    return TablaBalance(ContextoActual(), desde, hasta, FiltroSaldos(cmbSaldos0->currentIndex()), &tabla, error);
}

void PreparoGrillaBalance(Grilla* g, bool miles) {
    // The columns of the balance's table; the balance columns come computed with the sums, to the
    // cent, from the report's table.
    PreparoGrillaReporte(g, TablaDeBalance({}), {110, 220, 220, 70, 110, 110, 110, 110}, miles);
}
