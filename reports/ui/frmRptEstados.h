#pragma once
// The screens of the two financial statements: the statement of financial position (at the "Hasta"
// date) and the income statement (over the period), each beside the previous year when asked, in
// historical amounts or restated to the "Reexpresado al" date by the year's index table.
#include "reports/ui/PantallaReporte.h"

class QCheckBox;
class QLineEdit;

class frmRptEstados : public PantallaReporte {
    Q_OBJECT
public:
    // situacion: the statement of financial position (frmRptEstadoSituacion), else the income
    // statement (frmRptEstadoResultados).
    frmRptEstados(bool situacion, QWidget* padre = nullptr);

    QCheckBox* chkComparativo;
    QLineEdit* ftrAjustadoAl; // empty: historical amounts

protected:
    void PreparoGrilla() override;
    void ColocoFiltrosPropios() override;
    Armado Preparo(const QDate& desde, const QDate& hasta, QString* error) override;
    // The columns take the titles of the statement built (its dates, one or two years).
    void Vuelco() override;

private:
    bool situacion;
};
