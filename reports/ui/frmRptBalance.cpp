#include "reports/ui/frmRptBalance.h"

#include "core/Sesiones.h"
#include "core/ui/Controles.h"
#include "core/ui/Grilla.h"
#include "reports/ui/VuelcoTabla.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>

frmRptBalance::frmRptBalance(QWidget* padre)
    : PantallaReporte({"frmRptBalance", "Balance Sumas y Saldos", "Balance", "Balance",
                       "Balance Sumas y Saldos entre ", "Actualizar en base a fechas seleccionadas"},
                      padre) {
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
    return TablaBalance(desde, hasta, FiltroSaldos(cmbSaldos0->currentIndex()), &tabla, error);
}

void PreparoGrillaBalance(Grilla* g, bool miles) {
    const QStringList titulos = {"Cód. Jerárquico", "Desc. Sumar.", "Descripción Imputable",
                                 "Cod Int.",        "Sumas Debe",   "Sumas Haber",
                                 "Saldo Debe",      "Saldo Haber"};
    const QList<int> anchos = {110, 220, 220, 70, 110, 110, 110, 110};
    g->setColumnas(titulos.size());
    for (int c = 1; c <= titulos.size(); ++c) {
        g->setEncabezado(c, titulos[c - 1]);
        g->setAnchoColumna(c, anchos[c - 1]);
    }
    TipoCelda numero;
    numero.clase = TipoCelda::Numero;
    numero.decimales = 2;
    numero.miles = miles;
    numero.minimo = -99999999.99;
    numero.maximo = 99999999.99;
    // The balance columns come computed with the sums, to the cent, from the report's table.
    for (int c = 5; c <= 8; ++c)
        g->setTipoColumna(c, numero);
}

void VuelcoBalance(Grilla* g, const QVector<FilaBalance>& filas) {
    VuelcoTabla(g, TablaDeBalance(filas));
}
