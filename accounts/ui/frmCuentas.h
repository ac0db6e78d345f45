#pragma once
// "Plan de Cuentas": maintains the chart of accounts of one company and fiscal year (App().chartCompany
// and App().chartYear, set by whoever opens it) and serves as the account picker of the journal.
#include "accounts/CodigosJerarquicos.h"
#include "accounts/OperacionesCuentas.h"

#include <QDialog>

class ArbolPlan;
class Grilla;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class QTreeWidgetItem;

class frmCuentas : public QDialog {
    Q_OBJECT
public:
    explicit frmCuentas(QWidget* padre = nullptr);

    // False when the screen refused to open (no such fiscal year); it has told the user why.
    bool abierta() const { return !rechazada; }

    // Tool strip
    QFrame* Picture1 = nullptr;
    QToolButton* btnRegAgregar = nullptr;
    QToolButton* btnRegBorrar = nullptr;
    QToolButton* btnGuardar = nullptr;
    QPushButton* btnSeleccionar = nullptr;
    QToolButton* btnSalir = nullptr;
    // Searches
    QLineEdit* inpBusqCodInt = nullptr;
    QLineEdit* inpBusqCodJer = nullptr;
    QLineEdit* inpBusqDescripcion = nullptr;
    // Tree and data panel
    ArbolPlan* treMaster = nullptr;
    QWidget* pnlDatos = nullptr;
    QLabel* lblCodigoPath = nullptr;
    QLineEdit* inpDescripcion = nullptr;
    QLineEdit* inpCodInt = nullptr;
    QGroupBox* fraNumHijo = nullptr;
    QLineEdit* inpNumHijo = nullptr;
    QRadioButton* optCondDebito[2] = {};
    QRadioButton* optCuentaResultado[2] = {};
    QRadioButton* optAjustable[2] = {};
    QGroupBox* fraConceptosDebe = nullptr;
    QGroupBox* fraConceptosHaber = nullptr;
    Grilla* sprConceptosDebe = nullptr;
    Grilla* sprConceptosHaber = nullptr;

    // Screen state
    bool dirty = false;
    bool adding = false;
    int selectedKey = 0; // account of the node the panel shows (0 = the root)
    int pickedAccount = -1;
    MaximosNivel maximos;

    // Operations (public so that the picker and tests can drive them as the buttons do).
    bool PreguntoGuardar(); // true when the user cancelled
    bool GuardoCuenta();
    void BorroCuenta();
    void Agrego();
    void Selecciono();
    void MuestroCuenta();
    void MuevoCuenta(int arrastrada, int destino);
    void BusquedaNodo(int cuenta);
    void BuscoCodInt(const QString& texto);
    void BuscoDescripcion(const QString& texto);
    void BuscoCodJer(const QString& texto);
    int CuentasEnArbol() const;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void ArmoPantalla();
    void ColoresModo();
    void Caption();
    void VerificoPlan(); // registration check: recomputes the widths when another change came
    void MascaraBusqueda();
    void LimpioConceptos(Grilla* g);
    void LlenoConceptos(Grilla* g, int cuenta, bool debe);
    void ElijoConcepto(Grilla* g, int fila);
    void BorroLineaConcepto(Grilla* g);
    QVariantList Conceptos(const Grilla* g) const;
    DatosCuenta LeoPanel() const;
    void CambioNodo(QTreeWidgetItem* actual);
    void Activacion();
    bool Cierro(); // asks to save; false when the user cancelled
    void TerminoCierre();

    int empresa = 0;
    int ejercicio = 0;
    bool rechazada = false;
    bool activada = false;
    bool cerrando = false;
    bool cambiandoNodo = false; // the tree selection is being changed by the screen itself
};
