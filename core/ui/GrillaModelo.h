#pragma once
// The grid's data: one compact text column per grid column (column 0 is the hidden value of each
// row), the per-column cell types, the per-row fonts and the header texts. Model row r is grid row
// r + 1; model column c is grid column c.
#include "core/Importe.h"
#include "core/ui/Grilla.h"

#include <QAbstractTableModel>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// The texts of one column for every row, held in one UTF-8 buffer with a (start, length) pair per
// row. A text that no longer fits its place is appended at the end; the buffer is compacted when
// more than half of it is dead space.
class ColumnaTexto {
public:
    int filas() const { return int(celdas.size()); }
    void Redimensiono(int filas);
    QString texto(int fila) const;
    bool vacia(int fila) const { return celdas[size_t(fila)].lon == 0; }
    void setTexto(int fila, QStringView texto);
    void setUtf8(int fila, const char* utf8, size_t lon);
    void BorroFilas(int fila, int cuantas);
    void InsertoFilas(int fila, int cuantas);
    void Vacio();
    size_t bytes() const { return buf.capacity() + celdas.capacity() * sizeof(Celda); }

private:
    struct Celda {
        uint32_t ini = 0;
        uint32_t lon = 0;
    };
    std::vector<char> buf;
    std::vector<Celda> celdas;
    size_t muerto = 0;
    void Compacto();
    char* Lugar(int fila, size_t lon); // where a text of lon bytes goes
};

// Number shown with `decimales` decimals, the decimal character and, when `conMiles`, the thousands
// character every three digits.
QString FormatoNumeroGrilla(double valor, int decimales, bool conMiles, QChar decimal, QChar miles);
// Reads a number typed in the grid's format (thousands characters optional). A text without the
// decimal character whose thousands characters do not group by three is read with them as the
// decimal point, so "1234.5" is 1234.5 even on a grid with a decimal comma. False when not a number.
bool LeoNumeroGrilla(const QString& texto, QChar decimal, QChar miles, double* valor);
// An amount typed or stored in a two-decimal cell (the grid's characters or C form), read exactly as
// whole cents; nullopt, with the reason in *error, when it is not an amount.
std::optional<Importe> LeoImporteGrilla(const QString& texto, QChar decimal, QChar miles,
                                        QString* error = nullptr);
// Whether a text fits a picture mask position by position: "9" a digit, "X" any character, anything
// else itself. A text shorter than the mask fits when the typed part does.
bool CumpleMascara(const QString& texto, const QString& mascara);

class GrillaModelo : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GrillaModelo(QObject* padre = nullptr);

    // Qt model interface.
    int rowCount(const QModelIndex& padre = QModelIndex()) const override;
    int columnCount(const QModelIndex& padre = QModelIndex()) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int rol = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;

    // Grid side (rows from 1, column 0 the hidden value).
    int filas() const { return nFilas; }
    int columnas() const { return int(cols.size()) - 1; }
    void setFilas(int filas);
    void setColumnas(int columnas);
    void BorroFila(int fila);
    void InsertoFila(int fila);

    QString crudo(int fila, int columna) const; // stored text (numbers in C form)
    QString mostrado(int fila, int columna) const;
    QString editado(int fila, int columna) const;
    // Stores a text as the program gives it (numbers in the grid's format or in C form).
    void setTexto(int fila, int columna, const QString& texto);
    // The same from UTF-8 bytes, stored as they are in a column that is not a number column.
    void setTextoUtf8(int fila, int columna, QByteArrayView utf8);
    void setNumero(int fila, int columna, double valor);
    double numero(int fila, int columna) const;
    // Number cells with two decimals hold amounts: stored, shown and read as whole cents.
    bool EsImporte(int columna) const;
    void setImporte(int fila, int columna, Importe valor);
    std::optional<Importe> importe(int fila, int columna) const; // nullopt when empty
    // Checks and stores a typed text; false (nothing stored) when the cell type refuses it.
    bool AceptoTipeado(int fila, int columna, const QString& texto, QString* motivo = nullptr);

    void setEncabezado(int columna, const QString& texto);
    QString encabezado(int columna) const;
    void setTipo(int columna, const TipoCelda& tipo);
    const TipoCelda& tipo(int columna) const { return tipos[size_t(columna)]; }
    void setFuenteFila(int fila, bool negrita, bool cursiva);
    bool negrita(int fila) const { return Fuente(fila - 1) & 1; }
    bool cursiva(int fila) const { return Fuente(fila - 1) & 2; }
    // Rows shown from an origin instead of the grid's own (see Grilla::Muestro).
    void Muestro(std::shared_ptr<const OrigenGrilla> origen);
    // The rows shown from an origin, and more after them (see Grilla::Amplio).
    void Amplio(std::shared_ptr<const OrigenGrilla> origen);
    // The origin shown changed one of its rows, or took one out (see Grilla::CambioEnOrigen).
    void CambioEnOrigen(int fila);
    void QuitadaDeOrigen(int fila);
    void setColorTexto(const QColor& c);
    QColor colorTexto() const { return color; }
    void setSoloLectura(bool s);
    bool soloLectura() const { return sinEdicion; }
    void setColumnaEditable(int columna, bool editable);
    void setSeparadores(QChar decimal, QChar miles);
    QChar separadorDecimal() const { return decimal; }
    QChar separadorMiles() const { return miles; }

    // While silenced, cell changes emit no signal; the end emits one change for the whole grid.
    void Silencio(bool activo);
    bool silenciado() const { return silencio; }
    // Bytes held by the cell storage (for the benchmark).
    size_t bytesCeldas() const;

signals:
    void EditadoPorUsuario(int fila, int columna);

private:
    int nFilas = 0;
    std::vector<ColumnaTexto> cols;
    std::vector<TipoCelda> tipos;
    std::vector<bool> editables;
    QStringList encabezados;
    std::vector<uint8_t> fuentes;
    QColor color;
    bool sinEdicion = false;
    QChar decimal = QLatin1Char('.');
    QChar miles = QLatin1Char(',');
    bool silencio = false;
    bool pendiente = false;

    std::shared_ptr<const OrigenGrilla> origen;

    uint8_t Fuente(int fila) const { return origen ? origen->fuente(fila) : fuentes[size_t(fila)]; }
    // Before a change: rows shown from an origin are copied into the grid's own.
    void Propio();
    void Cambio(int fila, int columna);
    QString Canonico(int columna, const QString& texto) const;
};
