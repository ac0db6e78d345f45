#pragma once
// "Asientos": the journal entry editor of the current company and year. The upper part lists the
// entries the search (or ListoAsiento, naming one entry) selected; the lower part shows the entry of the
// active list row, read-only until "Edito" is ticked, or a new entry being typed.
#include "accounts/CodigosJerarquicos.h"
#include "core/Listado.h"
#include "core/ui/EstadoEdicion.h"
#include "core/ui/Pantallas.h"
#include "journal/Tecleo.h"

#include <QDate>
#include <QString>
#include <QWidget>
#include <memory>

class DetalleAsiento;
class GrillaListaAsientos;
class Grilla;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;

class frmAsientos : public QWidget,
                    public EstadoEdicion,
                    public Pantallas::ConsultaCierre,
                    public Pantallas::AvisoEjercicio,
                    public Pantallas::EditorAsientos {
    Q_OBJECT
public:
    explicit frmAsientos(QWidget* padre = nullptr);
    ~frmAsientos() override;

    // Tool strip
    QFrame* Picture1 = nullptr;
    QWidget* clbMaster = nullptr;
    QToolButton* btnBuscar = nullptr;
    QToolButton* btnIzquierda = nullptr;
    QToolButton* btnDerecha = nullptr;
    QToolButton* btnUndo = nullptr;
    QToolButton* btnMas = nullptr;
    QToolButton* btnRegAgregar = nullptr;
    QToolButton* btnRegBorrar = nullptr;
    QToolButton* btnGuardar = nullptr;
    QToolButton* btnImprimir = nullptr;
    QToolButton* btnHistorial = nullptr;
    QToolButton* btnCopiar = nullptr;
    QToolButton* btnSalir = nullptr;
    // Entry list and entry panel
    Grilla* sprAsientos = nullptr;
    QWidget* picAsiento = nullptr;
    QLabel* lblNvoExistente = nullptr;
    QCheckBox* chkEdito = nullptr;
    QGroupBox* lblFecha = nullptr;
    QGroupBox* lblAsiento = nullptr;
    QGroupBox* lblConcepto = nullptr;
    QLineEdit* inpFecha = nullptr;
    QLineEdit* inpAsiento = nullptr;
    QLineEdit* inpConcepto = nullptr;
    Grilla* sprDetAsiento = nullptr;
    // Running totals under the lines
    QLabel* lblTotalDebe = nullptr;
    QLabel* lblTotalHaber = nullptr;
    QLabel* lblDiferencia = nullptr;

    // Screen state (dirty and adding are the edit state's)
    bool basedOnShown = false;
    bool copiando = false; // the new entry is a copy of the shown one: amounts and concepts too
    QDate fechaMostrada;   // the entry date before the user began typing over it
    int listRow = 0;
    bool firstActivation = true;
    MaximosNivel maximos;
    QString huella; // fingerprint of the stored entry shown
    // The company and year the list's rows (and the new entry being typed) belong to: every row is
    // listed, and every entry added to the list, while this pair is current.
    EjercicioListado listado;

    DetalleAsiento* detalle() const { return lineas; }

    // Operations, driven by the buttons and by tests alike.
    void ActSprRpt();
    void MuestroAsiento();
    void PreparoAsientoNuevo();
    void HabilitoEdicion(bool on);
    void Agrego(bool basado);
    // "Copiar asiento": a new entry with the shown entry's lines, amounts and concepts.
    void Copio();
    // The date field's text as typed short ("15", "15/3") written whole; false when it names no date.
    bool CompletoFecha();
    void Guardo();
    // True when the user cancelled (or a save failed).
    bool PreguntoGuardarAsiento(bool preguntar);
    void Muevo(int paso);
    void Deshago();
    void Borro();
    void Busco();
    void Imprimo();
    void MuestroHistorial(); // the history of the entry shown, in a read-only dialog
    // The main window's commands: a new entry, the search; each leaves the editor active.
    void NuevoAsiento() override;
    void BuscoAsientos() override;
    // Lists that entry of the current year alone (after asking about the entry being typed).
    void ListoAsiento(int asiento) override;
    void MarcoModificado();

    // The exit of the program asks before any screen closes: false keeps every screen open.
    bool AceptoCierre() override;
    void CierreSuspendido() override;
    // A change of company or year asks about the edits first, then empties the list.
    bool AceptoCambioEjercicio() override;
    void EjercicioCambiado() override;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    DetalleAsiento* lineas = nullptr;
    std::unique_ptr<GrillaListaAsientos> lista; // the rows of sprAsientos
    bool llenando = false; // the screen itself is changing fields or the list's row
    bool cerrado = false;
    bool disenoRecuperado = false;

    void ArmoPantalla();
    void Caption();
    void ColoresModo();
    void CargoPlan(); // the current pair's chart widths; the list belongs to that pair from now on
    void VerificoPlan();
    bool GraboAsiento(); // GuardoAsiento and the list row; false after telling the user
    void CambioFilaLista(int anterior, int nueva);
    void ClicEdito();
    void ElijoConcepto();
    int AsientoDeFila(int fila) const;
    void MuestroTotales(const TotalesAsiento& t);
    void FocoFecha();
    void FocoLineas(); // the first line without amounts: its amount, or its account when it has none
    void MuevoFecha(int dias);
    void SigoFecha(const QDate& nueva); // the date shown from now on
};
