#pragma once
// "Plan de Cuentas": maintains the chart of accounts of one company and fiscal year (App().chartCompany
// and App().chartYear, set by whoever opens it) and serves as the account picker of the journal.
#include "accounts/CodigosJerarquicos.h"
#include "accounts/OperacionesCuentas.h"
#include "core/ui/EstadoEdicion.h"
#include "core/ui/Pantallas.h"

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

// The edit state (`dirty`, `adding`, the ask-to-save question) is the shared EstadoEdicion; the
// account picked with Seleccionar is handed back as a value (Pantallas::Selector).
class frmCuentas : public QDialog, public EstadoEdicion, public Pantallas::Selector {
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

    // Screen state besides the edit state
    int selectedKey = 0; // account of the node the panel shows (0 = the root)
    int pickedAccount = -1;
    MaximosNivel maximos;

    // Operations (public so that the picker and tests can drive them as the buttons do).
    bool PreguntoGuardar(); // true: go on (nothing edited, saved or declined); false: cancelled
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
    // The node now selected is shown through the save question (a click, even on the node already
    // shown, or a collapse): cancelled, the tree goes back to the account being edited.
    void ElijoNodo();
    // On every activation: focus to the search field of the last way of entry, the picker's search.
    void Activacion();

    // Opened only to pick an account: nothing can be changed, Enter in a search field chooses.
    bool soloElegir() const { return eligiendo; }

    // The account picked with Seleccionar; nothing when the screen was closed without choosing.
    std::optional<Eleccion> Elegido() const override { return elegido; }

public slots:
    void reject() override;

protected:
    bool event(QEvent* e) override;
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
    void Colapso(QTreeWidgetItem* nodo);
    bool Cierro(); // asks to save; false when the user cancelled
    void TerminoCierre();

    int empresa = 0;
    int ejercicio = 0;
    bool rechazada = false;
    bool activada = false;
    bool cerrando = false;
    bool cambiandoNodo = false; // the tree selection is being changed by the screen itself
    bool trasMensaje = false;   // the window lost the focus to a message box, not to another screen
    std::optional<Eleccion> elegido;
    bool eligiendo = false;
    void SoloElegir(); // read-only picker: the maintenance controls go
};
