#pragma once
// The trial balance screen: every account in tree order with its debit and credit sums over the
// period and the resulting balance, summary accounts as headings with their totals.
#include "reports/Balance.h"
#include "reports/ui/PantallaReporte.h"

#include <QVector>

class QComboBox;

class frmRptBalance : public PantallaReporte {
    Q_OBJECT
public:
    explicit frmRptBalance(QWidget* padre = nullptr);

    QComboBox* cmbSaldos0;

    // The level maxima of this screen: they outlive its window.
    static MaximosReporte& Maximos();

protected:
    void PreparoGrilla() override;
    void ColocoFiltrosPropios() override;
    Armado Preparo(const QDate& desde, const QDate& hasta, QString* error) override;
};

// The eight columns of the balances and their balance formulas; `miles`: amounts with thousands separators.
void PreparoGrillaBalance(Grilla* grilla, bool miles = true);
