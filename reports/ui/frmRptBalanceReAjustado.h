#pragma once
// The inflation-restated trial balance screen: the trial balance with the lines of adjustable accounts
// restated to the "Ajustado al" date by the chosen index table.
#include "reports/ReAjustado.h"
#include "reports/ui/PantallaReporte.h"

#include <QVector>

class BotonAjustado;

class frmRptBalanceReAjustado : public PantallaReporte {
    Q_OBJECT
public:
    explicit frmRptBalanceReAjustado(QWidget* padre = nullptr);

    BotonAjustado* pnlTablaAjusteInflacion;
    QLineEdit* ftrAjustadoAl;

    int tablaAjuste() const { return indexTable; }
    // What the button does once the picker answers: the table and the date of its latest value on or
    // before "Hasta" (left empty when there is none).
    void ElijoTabla(int tabla, const QString& descripcion);

protected:
    void PreparoGrilla() override;
    void ColocoFiltrosPropios() override;
    Armado Preparo(const QDate& desde, const QDate& hasta, QString* error) override;

private:
    int indexTable = -1;
};
