#pragma once
// The grid of every list, report and multi-row editor: a QTableView over a compact model, offering
// the system's grid interface with 1-based rows and columns. Column 0 holds one hidden value per row;
// row 0 is the header. Cells are stored compactly (one text buffer per column), never one item per cell.
#include "core/Importe.h"
#include "core/paginado/Paginado.h"
#include <QColor>
#include <QStringList>
#include <QTableView>
#include <functional>
#include <memory>
#include <vector>

class GrillaModelo;
class QPrinter;

// Type of the cells of one column.
struct TipoCelda {
    enum Clase { Texto, Numero, Fecha, TextoAjustado, Mascara, Combo, Boton };
    Clase clase = Texto;
    int decimales = 2;     // Numero
    bool miles = false;    // Numero: thousands separator shown (amounts, two decimals, always show it)
    double minimo = -1e15; // Numero: limits of a typed value
    double maximo = 1e15;
    QString mascara;      // Mascara: "9" a digit, "X" any character, anything else literal
    QStringList items;    // Combo: the list offered (editable drop-down)
    int columnaItems = 0; // Combo: when > 0, each row offers its own list, kept in that column (ListaCelda)
    QString textoBoton;   // Boton: caption of the button drawn in the cell
    Qt::Alignment alineacion = Qt::AlignLeft | Qt::AlignVCenter; // Numero: left means right
};

// The widths of the ASCII characters in a font, to tell without laying a text out whether it fits a
// column on one line (a long list measures many rows).
class AnchosAscii {
public:
    explicit AnchosAscii(const QFont& fuente);
    // The text's width as the sum of its characters'; a very large width for a text that is not plain
    // printable ASCII.
    int Ancho(QByteArrayView utf8) const;
    int Ancho(QStringView texto) const;

private:
    int anchos[128];
};

// Rows a grid shows from elsewhere instead of holding them: a long read-only report is shown from
// its own table, without a copy. Rows and columns from 0; column 0 is each row's hidden value; texts
// in the grid's stored form (amounts in C form with two decimals).
class OrigenGrilla {
public:
    virtual ~OrigenGrilla() = default;
    virtual int filas() const = 0;
    virtual QString texto(int fila, int columna) const = 0;
    virtual uint8_t fuente(int fila) const = 0; // bit 0 bold, bit 1 italic
};

class Grilla : public QTableView {
    Q_OBJECT
public:
    explicit Grilla(QWidget* padre = nullptr);
    ~Grilla() override;

    // Size. setFilas(0) empties the grid.
    void setFilas(int filas);
    int filas() const;
    void setColumnas(int columnas);
    int columnas() const;
    // Appends a row and returns its number.
    int AgregoFila();
    void BorroFila(int fila);   // rows below move up
    void InsertoFila(int fila); // an empty row before `fila`
    void LimpioBloque(int fila1, int col1, int fila2, int col2);

    // Cells (row and column from 1; column 0 is the hidden value of the row).
    // A Numero cell reads as shown (decimals, grid characters) and takes a text in the grid's format
    // or a plain number ("1234.5"); setNumero/numero avoid any doubt.
    QString texto(int fila, int columna) const;
    void setTexto(int fila, int columna, const QString& texto);
    // The same from UTF-8 bytes (a report table's store), without passing through a QString.
    void setTextoUtf8(int fila, int columna, QByteArrayView utf8);
    // Number of a Numero cell (0 when empty or not a number).
    double numero(int fila, int columna) const;
    void setNumero(int fila, int columna, double valor);
    // Amount of a two-decimal Numero cell, exact (nullopt when empty or not an amount).
    std::optional<Importe> importe(int fila, int columna) const;
    void setImporte(int fila, int columna, Importe valor);

    // Header texts (row 0) and column widths in pixels; width 0 hides a column.
    void setEncabezado(int columna, const QString& texto);
    QString encabezado(int columna) const;
    void setAnchoColumna(int columna, int ancho);
    int anchoColumna(int columna) const;

    void setTipoColumna(int columna, const TipoCelda& tipo);
    TipoCelda tipoColumna(int columna) const;

    // Whole-row font, whole-grid text colour.
    void setFuenteFila(int fila, bool negrita, bool cursiva);
    void setColorTexto(const QColor& color);
    // A column computed from the other columns of its row; recomputed by Recalculo().
    void setFormula(int columna, std::function<QString(const Grilla&, int fila)> formula);
    void Recalculo();

    // Normal (editable where the cell type allows) or read-only operation.
    void setSoloLectura(bool soloLectura);
    bool soloLectura() const;
    // Held read-only whatever the screen asks afterwards (a profile that may only read); false lets
    // setSoloLectura decide again.
    void setSoloLecturaRetenida(bool retenida);
    // Editable columns when not read-only (all by default).
    void setColumnaEditable(int columna, bool editable);

    // Decimal and thousands characters of Numero cells; by default those of the system's number format.
    void setSeparadores(QChar decimal, QChar miles);
    QChar separadorDecimal() const;

    // Current cell; columna -1 selects the whole row. filaActiva() is 0 when there is none.
    void setCeldaActual(int fila, int columna);
    int filaActiva() const;
    int columnaActiva() const;
    void MuestroCelda(int fila, int columna); // brings the cell into view
    void AjustoAltoFila(int fila);            // fits the row's height to its tallest text
    // Height of a text in a cell of the column, in the row font given (wrapped where the column wraps);
    // one line's height for an empty text.
    int AltoTexto(int columna, bool negrita, bool cursiva, const QString& texto) const;
    void FijoAltoFila(int fila, int altoTexto); // the row's height for texts that tall (from AltoTexto)

    // Shows the rows of an origin in place of the grid's own (which are emptied). Writing to a cell
    // or a row afterwards first copies the rows into the grid; setFilas(0) lets the origin go.
    void Muestro(std::shared_ptr<const OrigenGrilla> origen);
    // The same for an origin that holds the rows shown now and more after them (a report still being
    // read): the new rows are added at the end, the rest of the grid left as the user has it.
    void Amplio(std::shared_ptr<const OrigenGrilla> origen);
    // An origin whose owner changes it in place (the editor's list of entries, after a save or a
    // deletion) tells the grid what changed: a row's texts, or a row taken out (the origin already
    // without it); rows added at its end are shown with Amplio. The grid copies nothing.
    void CambioEnOrigen(int fila);
    void QuitadaDeOrigen(int fila);

    // Hides the grid and suspends repaints while it is filled.
    void Oculto(bool ocultar);

    // Printing of the grid as shown, with a header in the system's codes:
    // "/fb1" bold on, "/fb0" off, "/fi1" italic on, "/fi0" off, "/fz" + size (points), "/r" right part,
    // "/p" page number, "/n" new line. Opens a print preview (which can also write a PDF).
    void Imprimo(const QString& encabezado, const QString& nombreTrabajo, bool sombreado = true);
    // Writes the same pages straight to a PDF file (tests, and the preview's "PDF" action).
    bool ImprimoPdf(const QString& ruta, const QString& encabezado, const QString& nombreTrabajo,
                    bool sombreado = true);

    GrillaModelo* modelo() const;

    // Caption of the grid, its accessible name (by default the header texts).
    void setTitulo(const QString& titulo);
    QString titulo() const;
    // Fills a whole row at once: texts from column 1 on (column 0 untouched).
    void setFila(int fila, const QStringList& textos);
    // Draws the pages on a printer already set up; returns the number of pages (0 on failure).
    int ImprimoEn(QPrinter* impresora, const QString& encabezado, bool sombreado = true);
    // Stores what the open cell editor holds and closes it, leaving the current cell where it is.
    void TerminoEdicion();
    // Whether a cell editor is open.
    bool editando() const { return state() == QAbstractItemView::EditingState; }
    // The open cell editor (a drop-down's is its combo box), or null.
    QWidget* EditorAbierto() const;
    // Pages of the last print or PDF.
    int paginasImpresas() const { return ultimasPaginas; }
    // The page renderer's type, text colour and title shading for this grid.
    Paginado::Opciones OpcionesImpresion(bool sombreado) const;

signals:
    void CambioCelda(int fila, int columna); // text changed by the user
    void DobleClick(int fila, int columna);
    void SalgoCelda(int fila, int columna, int nuevaFila, int nuevaColumna);
    void CambioFila(int filaAnterior, int filaNueva); // active row changed
    void BotonPresionado(int fila, int columna);
    void TeclaAbajo(QKeyEvent* evento); // before the grid handles it; accept() to consume

protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void currentChanged(const QModelIndex& actual, const QModelIndex& anterior) override;

private:
    std::unique_ptr<GrillaModelo> datos;
    std::vector<std::function<QString(const Grilla&, int)>> formulas;
    QString tituloPropio;
    bool ocultoPorMi = false;
    bool retenida = false;
    bool estabaVisible = false;
    int ultimasPaginas = 0;

    void RecalculoFila(int fila);
    void ActualizoNombreAccesible();
};

// Grid helpers used by the screens.
// First row (from 1) whose cell in `columna` matches the search text, or filas()+1 when none does.
// Letter case is ignored; a text beginning with "*" matches a cell that contains the rest anywhere,
// any other text a cell that begins with it.
int FilaEnGrilla(const Grilla* grilla, int columna, const QString& busqueda);
// A row's drop-down list kept in one cell: items separated by tabs, a tab or a backslash inside an
// item escaped with a backslash, so that every item comes back whole, whatever it holds.
QString ListaCelda(const QStringList& items);
QStringList ItemsCelda(const QString& lista);
// The same search; the found row (or the last row) becomes current and is brought into view.
void BuscoEnGrilla(Grilla* grilla, int columna, const QString& busqueda);
// Decimal and thousands characters of a grid from the system's number format (every grid starts with
// them; this sets them again after a change of the program's locale).
void SeparadorDecimalGrilla(Grilla* grilla);
// Every grid of the window gets row 1, column 1 as current cell.
void InicioGrillas(QWidget* ventana);
