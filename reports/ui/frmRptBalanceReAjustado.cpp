#include "reports/ui/frmRptBalanceReAjustado.h"
#include "core/AppState.h"

#include "core/Valores.h"
#include "core/ui/BotonAjustado.h"
#include "core/ui/Controles.h"
#include "core/ui/Pantallas.h"
#include "inflation/IndicesAjuste.h"
#include "reports/ui/frmRptBalance.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

frmRptBalanceReAjustado::frmRptBalanceReAjustado(QWidget* padre)
    : PantallaReporte(DeInforme("frmRptBalanceReAjustado"), padre) {
    pnlTablaAjusteInflacion = new BotonAjustado(this);
    pnlTablaAjusteInflacion->setObjectName("pnlTablaAjusteInflacion");
    pnlTablaAjusteInflacion->setToolTip("Seleccionar tabla de ajuste");
    pnlTablaAjusteInflacion->setAccessibleName("Tabla Ajuste");
    pnlTablaAjusteInflacion->setMinimumWidth(200);
    ftrAjustadoAl = CampoFecha(this, "ftrAjustadoAl");
    FiltrosPropios()->addWidget(
        Marco(this, "fraTablaAjusteInflacion", "Tabla Ajuste", pnlTablaAjusteInflacion));
    FiltrosPropios()->addWidget(Marco(this, "fraAjustadoAl", "Ajustado al", ftrAjustadoAl));
    connect(pnlTablaAjusteInflacion, &QPushButton::clicked, this, [this] {
        if (const auto e = Pantallas::Elijo("frmTablasAjusteInflacion", indexTable, this);
            e && e->codigo >= 0)
            ElijoTabla(e->codigo, e->texto);
    });
    Inicio();
}

void frmRptBalanceReAjustado::PreparoGrilla() {
    PreparoGrillaBalance(sprRpt, false);
}

void frmRptBalanceReAjustado::ColocoFiltrosPropios() {
    indexTable = TablaEjercicio(ContextoActual());
    pnlTablaAjusteInflacion->setTextoCompleto(DescripcionTabla(indexTable));
    const QDate ultimo = UltimoIndiceHasta(ContextoActual(), indexTable, TextoAFecha(ftrFechaA->text()));
    ftrAjustadoAl->setText(ultimo.isValid() ? FechaATexto(ultimo) : ftrFechaDe->text());
}

void frmRptBalanceReAjustado::ElijoTabla(int tabla, const QString& descripcion) {
    indexTable = tabla;
    pnlTablaAjusteInflacion->setTextoCompleto(descripcion);
    const QDate ultimo = UltimoIndiceHasta(ContextoActual(), indexTable, TextoAFecha(ftrFechaA->text()));
    ftrAjustadoAl->setText(ultimo.isValid() ? FechaATexto(ultimo) : QString());
}

bool frmRptBalanceReAjustado::Armo(const QDate& desde, const QDate& hasta, QString* error) {
    const QDate ajustadoAl =
        ftrAjustadoAl->text().size() == 10 ? TextoAFecha(ftrAjustadoAl->text()) : QDate();
    if (!ajustadoAl.isValid()) {
        *error = "la fecha Ajustado al no es una fecha válida; escríbala como dd/mm/aaaa.";
        return false;
    }
    MaximosReAjustado().Verifico(ContextoActual());
    QVector<FilaBalance> nuevas;
    if (!ArmoBalanceReAjustado(ContextoActual(), MaximosReAjustado(), desde, hasta, indexTable, ajustadoAl, &nuevas, error))
        return false;
    tabla = TablaDeReAjustado(ContextoActual(), nuevas, desde, hasta, indexTable, ajustadoAl);
    return true;
}
