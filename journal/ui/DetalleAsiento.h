#pragma once
// The lines grid of the entry editor (sprDetAsiento): the account block typed by short code,
// hierarchical code or description, debit or credit, the line concept with the account's standard
// legends for the line's side, the marker that adds a concept to them, and the adjustment date.
// Tab walks a line's cells in order; Enter after an amount starts the next line at the account
// column last used, and Enter on a line's empty amount proposes the amount that balances the entry.
// F4 on an account cell opens the chart picker; while an account cell is typed, the matching
// postable accounts are listed under it (arrows choose, Enter takes).
#include "accounts/CodigosJerarquicos.h"
#include "journal/Asiento.h"
#include "journal/LineasAsiento.h"
#include "journal/Tecleo.h"

#include <QObject>
#include <functional>

class CompletadoCuenta;
class Grilla;
class QKeyEvent;

class DetalleAsiento : public QObject {
    Q_OBJECT
public:
    enum Columna {
        ColCuenta = 1,
        ColCodInt = 2,
        ColCodJer = 3,
        ColDescripcion = 4,
        ColDebe = 5,
        ColHaber = 6,
        ColConcepto = 7,
        ColMarca = 8,
        ColFechaAjuste = 9,
        ColLeyendas = 10, // hidden: the row's drop-down list (ListaCelda)
    };
    static constexpr int FilasEdicion = 500;

    // Builds the grid's columns. `fechaAsiento` gives the entry date text (the adjustment date's
    // default), `editable` whether "Edito" is ticked.
    DetalleAsiento(Grilla* grilla, std::function<QString()> fechaAsiento, std::function<bool()> editable);

    Grilla* grilla() const { return g; }
    MaximosNivel maximos;
    // Picture mask of the hierarchical code column from the level maxima.
    void AplicoMascara();

    // Fills the grid with a stored entry's lines.
    void Cargo(const AsientoGuardado& asiento);
    // The rows as the save reads them: every row up to the last one that holds anything, empty rows
    // among them included (the save skips them and names any other row by its number).
    QList<LineaEditada> Lineas() const;
    // Some row holds something typed (an account, even unresolved, an amount, a concept, a date).
    bool HayTipeado() const;
    // Nothing typed in the row (an account cell left unresolved with its text cleared counts as empty).
    bool FilaVacia(int fila) const;

    void ActCmbConceptos(int cuenta, bool debe, const QList<int>& filas);
    void LimpioMarcas();
    // The account column last used becomes the active cell of the current row.
    void PosicionoEnCodDefault();
    // The marker button of a row: adds its concept to the account's standard legends.
    void IncorporoLeyenda(int fila);
    // Delete key on an account cell: removes the line after asking.
    void BorroLinea();
    // Runs the account lookup of an account cell just typed, if it has not run yet.
    void ProcesoPendiente();
    // Debit and credit totals of the lines, the amount being typed in an open cell included; `sinFila`
    // leaves that row out.
    TotalesAsiento Totales(int sinFila = 0) const;
    // Tells the totals again (after the screen itself filled or emptied the grid).
    void Recuento();
    // The account list shown while an account cell is typed.
    CompletadoCuenta* completado() const { return completo; }
    // A new chart or a new entry: the accounts are read again at the next keystroke.
    void OlvidoCuentas();

signals:
    void Modificado();
    void TotalesCambiados(const TotalesAsiento& totales);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    Grilla* g;
    // The grid's viewport, kept apart from the grid: its events still arrive while the grid itself is
    // being destroyed, when the grid can no longer be asked for it.
    QObject* visor = nullptr;
    std::function<QString()> fecha;
    std::function<bool()> edito;
    int pendienteFila = 0; // account cell typed whose lookup waits for its editor to close
    int pendienteColumna = 0;
    bool moviendo = false;
    CompletadoCuenta* completo = nullptr;

    void CambioCelda(int fila, int columna);
    void DobleClick(int fila, int columna);
    void Tecla(QKeyEvent* e);
    void Avanzo(bool atras);
    bool Propongo(int fila);           // the balancing amount in an empty amount cell
    void TomoCompletado();                // the highlighted account of the list fills the row
    void AbroSelector();                  // F4: the chart picker for the account cell
    void CambioFila(int anterior, int nueva);
    bool CuentaResuelta(int fila) const;
    void Marca(int fila);
};
