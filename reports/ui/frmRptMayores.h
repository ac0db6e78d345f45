#pragma once
// The ledgers screen: the chart as a tree with a check box on every node and three searches above it;
// each ticked node gets a block with every line posted in the period to its account or below it, with
// a running balance; a double-click on a line shows its entry in the entry editor.
#include "reports/Reporte.h"
#include "reports/TablaReporte.h"
#include "reports/ui/PantallaReporte.h"

#include <QHash>

class QCheckBox;
class QLineEdit;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

class frmRptMayores : public PantallaReporte {
    Q_OBJECT
public:
    explicit frmRptMayores(QWidget* padre = nullptr);

    QSplitter* clbMaster;
    QWidget* picMaster;
    QWidget* picRpt;
    QLineEdit* inpBusqCodJer;
    QLineEdit* inpBusqDescripcion;
    QLineEdit* inpBusqCodInt;
    QTreeWidget* treMaster;
    QCheckBox* chkConSaldoInicial;

    // The level maxima of this screen: they outlive its window.
    static MaximosReporte& Maximos();

    // The node of an account (0 the root "Cuentas"), or nullptr.
    QTreeWidgetItem* Nodo(int cuenta) const { return nodos.value(cuenta); }
    // Selects the account's node without ticking it; nothing happens when there is none (-1).
    void BusquedaNodo(int cuenta);

protected:
    void PreparoGrilla() override;
    void ColocoFiltrosPropios() override;
    Armado Preparo(const QDate& desde, const QDate& hasta, QString* error) override;
    void Vuelco() override;
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QHash<int, QTreeWidgetItem*> nodos;
    bool activada = false;
    bool trasMensaje = false;

    void CargoArbol();
    void MascaraBusqueda();
    void Activacion();
    void MuestroAsiento(int fila);
};
