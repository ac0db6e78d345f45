#pragma once
// The catalogue screen: a list of (code, description) records beside a detail panel, with add,
// delete, save, select and exit commands and one set of rules for unsaved changes. Companies, entry
// concepts, line concepts, index tables, fiscal years and users are all catalogue screens.
//
// How a screen plugs in
// ---------------------
// 1. Derive from Catalogo. In the constructor: setWindowTitle(caption), setObjectName("frmX") and,
//    for a plain (code, description) table, fill `sentencias` (statements with "?" placeholders; the
//    parameter order of each statement is documented on SentenciasCatalogo). Nothing else is needed
//    for such a screen: every operation has a default built on `sentencias`.
// 2. Extra widgets:
//    - detail panel: add them to DetalleLayout() (a QVBoxLayout under the code and description frames);
//    - above the list (a company combo, list filters): add them to EncimaListaLayout();
//    - hide what does not apply: fraCodigo, fraBusqueda, btnSeleccionar are public members;
//    - retitle frames (fraCodigo->setTitle("Usuario")); a code that is not a number: drop the digits
//      validator (inpCodigo->setValidator(nullptr)) and override ValidoCampos/MuestroCampos/
//      CamposNuevos/GraboRegistro;
//    - QPushButtons of the screen never act as the dialog's default button (Enter in a field does
//      not press them).
//    - list columns: the constructor sets 2 columns (1 hidden code, 2 "Listado"); a screen may change
//      sprMaster's columns and headers in its own constructor.
//    Connect user edits of extra widgets to MarcoEditado() with VigiloCambios(...): it listens to the
//    user-only signals (textEdited, activated, clicked), so filling the fields never marks the record.
// 3. Differences: override the virtual hooks below (protected). The defaults implement the companies
//    screen's rules. Typical overrides:
//      ConsultoLista / TextosFila          a list with other columns or a filter (rows asked of a logic
//                                          function, never a statement of the screen's own)
//      FilaPosicion                        positioning rule (by code; by code or text; last row)
//      LlenoInicial                        load: combo filling, preselection rule
//      ConsultoRegistro / MuestroCampos    show the record of the active row with extra fields
//      CamposNuevos                        proposed values of a new record
//      ValidoCampos                        checks with clear messages before any statement runs
//      GraboRegistro                       insert/update; runs INSIDE a transaction the base opens and
//                                          commits (rolled back when it returns an error)
//      DespuesDeGuardar                    after a successful commit, before the list is refilled
//      BorroRegistro                       the delete (the base asks first and reports a refusal)
//      EntregoSeleccion                    what Seleccionar hands to the caller
//      Descargo                            on unload (hand-back values), before MuestroFondo
//      FocoInicial                         focus on first activation (default: the search field,
//                                          or the list when the search field is hidden)
//    An override of EntregoSeleccion also sets `elegido`, the value handed back to the caller.
//    `manejoTeclasLista` = false turns off Enter/typed-character handling in the list.
//    `posicionPorTexto` = true gives the concept catalogues' positioning: on load the list is filled
//    with code -1 and the preselection taken as text, and the active row is the last one whose code
//    equals the code or whose description equals the (non-empty) text.
// 4. Load runs on the first show (or earlier through Cargo()), so a constructor may still refuse to
//    open the screen by setting the property "rechazada" (see Pantallas.h).
// State (`dirty`, `adding`, `editRow`, `firstActivation`) and the operations are public so that
// screens and tests can drive them.
#include "core/CatalogoDatos.h"
#include "core/ui/EstadoEdicion.h"
#include "core/ui/Pantallas.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class Grilla;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QToolButton;
class QVBoxLayout;

// The edit state (`dirty`, `adding`, the ask-to-save question) is the shared EstadoEdicion; what
// Seleccionar picks is handed back as a value (Pantallas::Selector).
class Catalogo : public QDialog, public EstadoEdicion, public Pantallas::Selector {
    Q_OBJECT
public:
    explicit Catalogo(QWidget* padre = nullptr);
    ~Catalogo() override;

    // Controls, named as the system names them.
    QFrame* Picture1 = nullptr;
    QToolButton* btnRegAgregar = nullptr;
    QToolButton* btnRegBorrar = nullptr;
    QToolButton* btnGuardar = nullptr;
    QToolButton* btnSalir = nullptr;
    QPushButton* btnSeleccionar = nullptr;
    Grilla* sprMaster = nullptr;
    QGroupBox* fraBusqueda = nullptr;
    QLineEdit* inpBusqueda = nullptr;
    QFrame* tabMaster = nullptr;
    QGroupBox* fraCodigo = nullptr;
    QLineEdit* inpCodigo = nullptr;
    QGroupBox* fraDescripcion = nullptr;
    QLineEdit* inpDescripcion = nullptr;

    // State besides the edit state.
    int editRow = 0;
    bool firstActivation = true;
    bool manejoTeclasLista = true;
    bool posicionPorTexto = false;

    // Operations.
    void Cargo();           // load (once): centre, selection -1, colours, LlenoInicial
    void MuestroRegistro(); // Show current record
    void LlenoLista(int codigo, const QString& texto = QString()); // Fill list, positioned
    void NuevoRegistro();               // New record (panel, proposed values, green strip)
    bool Guardo();                      // Save: true when saved
    bool PreguntoGuardar();             // Ask to save: true = go on, false = cancel
    void Borro();                       // Delete (or abandon an addition)
    void MarcoEditado();                // Mark edited
    void Agrego();                      // btnRegAgregar
    void Selecciono();                  // btnSeleccionar / Enter in the list
    void IrAFila(int fila);             // active row change through Ask to save
    QString CodigoFila(int fila) const; // column 1 of a list row

    // Colour of the tool strip (EstadoEdicion::ColorMostrando / ColorAgregando).
    QColor ColorModo() const;
    // What Seleccionar picked; nothing when the screen was closed without choosing.
    std::optional<Eleccion> Elegido() const override { return elegido; }

protected:
    // Statements of a plain catalogue; the default hooks run them through CatalogoDatos.
    SentenciasCatalogo sentencias;
    CatalogoDatos Datos() const { return CatalogoDatos(sentencias); }
    std::optional<Eleccion> elegido;

    QVBoxLayout* DetalleLayout() const { return detalle; }
    QVBoxLayout* EncimaListaLayout() const { return encimaLista; }
    void VigiloCambios(QLineEdit* campo);
    void VigiloCambios(QComboBox* lista);
    void VigiloCambios(QCheckBox* casilla);
    void PongoColorModo(bool agregando);
    // Row of the list whose column 1 holds the code, or 0.
    int FilaDeCodigo(int codigo) const;
    // The number a value's text form begins with, or `siNo` ("12abc" -> 12, true -> siNo).
    static int NumeroInicial(const QVariant& v, int siNo);

    // Hooks (defaults: the companies screen's rules over `sentencias`).
    virtual void LlenoInicial();
    virtual FilasLeidas ConsultoLista();
    virtual QStringList TextosFila(const FilaLeida& r);
    virtual int FilaPosicion(int codigo, const QString& texto);
    virtual std::optional<FilaLeida> ConsultoRegistro(const QString& codigo);
    virtual void MuestroCampos(const FilaLeida& r);
    virtual void CamposNuevos();
    virtual bool ValidoCampos();
    virtual Resultado GraboRegistro(int* codigoGuardado);
    virtual void DespuesDeGuardar(int codigoGuardado, bool eraNuevo);
    virtual Resultado BorroRegistro(const QString& codigo);
    virtual void EntregoSeleccion(int fila);
    virtual void Descargo();
    virtual QWidget* FocoInicial();

    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;
    void done(int r) override;

private:
    void TeclaEnLista(QKeyEvent* e);
    void CambioDeFila(int nueva);
    void CambioBusqueda(const QString& texto);
    int ColumnaFoco() const;

    QVBoxLayout* detalle = nullptr;
    QVBoxLayout* encimaLista = nullptr;
    bool cargado = false;
    bool mostrando = false; // fields being filled by the screen, not by the user
    bool moviendo = false;  // the screen moves the active row itself
    int filaMostrada = 0;   // row whose record the panel holds
    int llenados = 0;       // how many times the list was filled (a save refills it)
    bool cerrado = false;
};
