#pragma once
// The general journal screen: the entries of the period with their lines, renumbered from the number
// given in "Desde asiento"; a double-click on a row shows its entry in the entry editor.
#include "reports/TablaReporte.h"
#include "reports/ui/PantallaReporte.h"

class QLineEdit;

class frmRptDiarioGeneral : public PantallaReporte {
    Q_OBJECT
public:
    explicit frmRptDiarioGeneral(QWidget* padre = nullptr);

    QLineEdit* ftrDesdeAsiento;

protected:
    void PreparoGrilla() override;
    void ColocoFiltrosPropios() override;
    Armado Preparo(const QDate& desde, const QDate& hasta, QString* error) override;
    void Vuelco() override;
    QString AgregadoEncabezado() const override;
    bool Escalonado() const override { return true; }

private:
    void MuestroAsiento(int fila);
};
