#include "reports/ui/frmRptDiarioGeneral.h"
#include "core/AppState.h"

#include "core/Sesiones.h"
#include "core/ui/Controles.h"
#include "core/ui/Grilla.h"
#include "core/ui/Pantallas.h"
#include "reports/DiarioGeneral.h"
#include "reports/ui/VuelcoTabla.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>

frmRptDiarioGeneral::frmRptDiarioGeneral(QWidget* padre)
    : PantallaReporte(DeInforme("frmRptDiarioGeneral"), padre) {
    ftrDesdeAsiento = new QLineEdit(this);
    ftrDesdeAsiento->setObjectName("ftrDesdeAsiento");
    ftrDesdeAsiento->setToolTip("Número de asiento a partir del cual se enumeran");
    ftrDesdeAsiento->setValidator(new QIntValidator(-999999999, 999999999, ftrDesdeAsiento));
    ftrDesdeAsiento->setMaximumWidth(90);
    FiltrosPropios()->addWidget(Marco(this, "fraDesdeAsiento", "Desde asiento", ftrDesdeAsiento));
    connect(sprRpt, &Grilla::DobleClick, this, [this](int fila, int) { MuestroAsiento(fila); });
    Inicio();
}

void frmRptDiarioGeneral::PreparoGrilla() {
    TablaReporte columnas;
    ColumnasDiario(&columnas);
    PreparoGrillaReporte(sprRpt, columnas, {70, 60, 220, 70, 90, 220, 100, 100, 220}, false);
}

void frmRptDiarioGeneral::ColocoFiltrosPropios() {
    ftrDesdeAsiento->setText("1");
}

PantallaReporte::Armado frmRptDiarioGeneral::Preparo(const QDate& desde, const QDate& hasta, QString* error) {
    bool ok = false;
    const int desdeAsiento = ftrDesdeAsiento->text().trimmed().toInt(&ok);
    if (!ok) {
        *error = "\"Desde asiento\" debe ser un número entero.";
        return {};
    }
    VerificoRegistro(ContextoActual(), PantallaDiario);
    // A month of a large book is close to a million rows: they are shown as they are read.
    return [=, entrega = EntregaParcial()](const Contexto& ctx, TablaReporte* nueva, QString* falla) {
        return TablaDiarioGeneral(ctx, desde, hasta, desdeAsiento, nueva, falla, entrega);
    };
}

void frmRptDiarioGeneral::Vuelco() {
    VuelcoTabla(sprRpt, tabla);
}

QString frmRptDiarioGeneral::AgregadoEncabezado() const {
    return AgregadoDiario(ContextoActual());
}

void frmRptDiarioGeneral::MuestroAsiento(int fila) {
    // The rows between entries carry no entry.
    const QString asiento = sprRpt->texto(fila, 0);
    AbroAsiento(asiento);
}
