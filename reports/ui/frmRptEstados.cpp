#include "reports/ui/frmRptEstados.h"

#include "core/AppState.h"
#include "core/Valores.h"
#include "core/ui/Controles.h"
#include "reports/ReAjustado.h"
#include "reports/estados/Estados.h"
#include "reports/ui/VuelcoTabla.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpression>

frmRptEstados::frmRptEstados(bool situacion, QWidget* padre)
    : PantallaReporte(DeInforme(situacion ? "frmRptEstadoSituacion" : "frmRptEstadoResultados"), padre),
      situacion(situacion) {
    chkComparativo = new QCheckBox("Comparativo", this);
    chkComparativo->setObjectName("chkComparativo");
    chkComparativo->setAccessibleName("Comparativo con el ejercicio anterior");
    chkComparativo->setToolTip("Con el ejercicio anterior al lado");
    FiltrosPropios()->addWidget(chkComparativo);
    ftrAjustadoAl = CampoFecha(this, "ftrAjustadoAl");
    ftrAjustadoAl->setAccessibleName("Reexpresado al");
    ftrAjustadoAl->setToolTip("Vacío: importes en moneda histórica");
    FiltrosPropios()->addWidget(Marco(this, "fraAjustadoAl", "Reexpresado al", ftrAjustadoAl));
    Inicio();
    // The statement of financial position runs from the year's start to its "Hasta" date.
    if (situacion) ftrFechaDe->setEnabled(false);
}

void frmRptEstados::PreparoGrilla() {
    TablaReporte vacia;
    vacia.columnas = {"Rubro", "Actual", "Anterior"};
    vacia.importes = {false, true, true};
    PreparoGrillaReporte(sprRpt, vacia, {340, 170, 170}, true);
}

void frmRptEstados::Vuelco() {
    PreparoGrillaReporte(sprRpt, tabla, {340, 170, 170}, true);
    PantallaReporte::Vuelco();
}

void frmRptEstados::ColocoFiltrosPropios() {
    chkComparativo->setChecked(true);
    ftrAjustadoAl->clear();
}

PantallaReporte::Armado frmRptEstados::Preparo(const QDate& desde, const QDate& hasta, QString* error) {
    Estados::Pedido p;
    p.desde = desde;
    p.hasta = hasta;
    p.comparativo = chkComparativo->isChecked();
    // The field's mask leaves its separators in an empty field: no digit, no date.
    const QString al = ftrAjustadoAl->text().trimmed();
    if (al.contains(QRegularExpression("[0-9]"))) {
        p.ajustadoAl = TextoAFecha(al);
        p.tablaAjuste = TablaEjercicio(ContextoActual());
        if (al.size() != 10 || !p.ajustadoAl.isValid()) {
            *error = "La fecha Reexpresado al no es válida; escríbala como dd/mm/aaaa o déjela vacía.";
            return {};
        }
    }
    const bool deSituacion = situacion;
    return [=](const Contexto& ctx, TablaReporte* nueva, QString* falla) {
        return deSituacion ? Estados::TablaSituacion(ctx, p, nueva, falla) : Estados::TablaResultados(ctx, p, nueva, falla);
    };
}
