#pragma once
// The entry search: a modal dialog where the user states what the wanted entries look like. On
// accepting, the query of those entries is left in the application state's entry list query (empty
// after cancelling) for the journal editor to list them.
#include "core/AppState.h"

#include <QDialog>

class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmBusquedaAsientos : public QDialog {
    Q_OBJECT
public:
    explicit frmBusquedaAsientos(QWidget* padre = nullptr);

    QFrame* fraDatos;
    QLineEdit* ftrFechaDe;
    QLineEdit* ftrFechaA;
    QLineEdit* ftrAsientoDe;
    QLineEdit* ftrAsientoA;
    QLineEdit* ftrConcepto;
    QLineEdit* ftrConceptoDetalle;
    QLineEdit* ftrDescripcion;
    QLineEdit* ftrCodInt;
    QLineEdit* ftrImporteDesde;
    QLineEdit* ftrImporteHasta;
    QComboBox* cmbPorImporte;
    QRadioButton* optOrden[2];
    QPushButton* btnOk;
    QPushButton* btnCancel;

    void done(int resultado) override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    ConsultaSql consulta;

    void ArmoPantalla();
    void RecuperoFiltros();
    void EscriboSituacionFiltros();
    void Acepto();
    void EligoCuenta(QLineEdit* campo);
};
