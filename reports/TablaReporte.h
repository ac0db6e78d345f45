#pragma once
// A report as a table, apart from any screen: the column titles, which columns hold amounts, and the
// rows with their font. Every report builds one from its rows; the screens pour it into their grid,
// and the exports (PDF, CSV, XLSX) and the command-line program write it, so that what is printed,
// exported and shown is the same.
#include "core/ClaseColumna.h"
#include "core/Importe.h"
#include "reports/Reporte.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One cell: an amount (written as a number with two decimals) or a text (possibly empty).
struct CeldaReporte {
    QString texto;
    std::optional<Importe> importe;

    CeldaReporte() = default;
    CeldaReporte(const QString& t) : texto(t) {}
    CeldaReporte(Importe i) : importe(i) {}
    CeldaReporte(std::optional<Importe> i) : importe(i) {}
    bool vacia() const { return !importe && texto.isEmpty(); }
    bool operator==(const CeldaReporte& o) const { return texto == o.texto && importe == o.importe; }
};

// One row as the reports build it and as readers get it back.
struct FilaReporte {
    QVector<CeldaReporte> celdas; // as many as the table's columns, or fewer (the rest empty)
    FuenteFila fuente = FuenteFila::Normal;
    QString oculto; // the row's hidden value (the grid's column 0): a key for the screen, never shown
};

// The rows of a report, stored compactly: the journal of a long year has millions of rows, and one
// object per cell would cost several times the texts themselves. Each cell is a word (an amount in
// whole cents, or where its text lies in one UTF-8 buffer), stored in the few bytes its value needs;
// a text equal to the one just above it in the same column is stored once, and so is a hidden value
// equal to the row's above. Rows go in whole (append) and come out whole, as a FilaReporte, or cell
// by cell.
class FilasReporte {
public:
    // Copies share the rows until one of them writes; a moved store is left as a copy.
    FilasReporte() = default;
    FilasReporte(const FilasReporte&) = default;
    FilasReporte& operator=(const FilasReporte&) = default;

    qsizetype size() const { return d->filas; }
    bool isEmpty() const { return d->filas == 0; }
    void clear();
    void reserve(qsizetype filas);

    void append(const FilaReporte& fila);
    // Appends every row of another store, leaving that one empty.
    void append(FilasReporte&& otras);
    FilasReporte& operator<<(const FilaReporte& fila) {
        append(fila);
        return *this;
    }

    // A row written cell by cell, in column order, without building it: the cells, then FinFila.
    // A long report writes its rows this way; the result is the same as appending the whole row.
    void EscriboTexto(const QString& texto) {
        Escribo();
        d->fila.push_back(CodigoTexto(texto, Columna()));
    }
    // A text given as its UTF-8 bytes (as the engine's reader hands it out).
    void EscriboUtf8(QByteArrayView utf8);
    void Monto(Importe importe);
    void Vacia() {
        Escribo();
        d->fila.push_back(0);
    }
    // A text stored once and put in many cells of this store (an account's name on every line of its
    // ledger): Guardo keeps it, Celda puts it as the next cell. The mark is only good for this store.
    using Guardado = uint64_t;
    Guardado Guardo(QStringView texto);
    void Celda(Guardado texto) {
        Escribo();
        d->fila.push_back(texto);
    }
    void FinFila(FuenteFila fuente = FuenteFila::Normal, const QString& oculto = QString());

    FilaReporte operator[](qsizetype fila) const { return at(fila); }
    FilaReporte at(qsizetype fila) const;

    // Cell by cell, without building the row (columna from 0).
    qsizetype celdas(qsizetype fila) const;
    CeldaReporte celda(qsizetype fila, qsizetype columna) const;
    // The amount of a cell that holds one alone; nullopt for any other cell.
    std::optional<Importe> importe(qsizetype fila, qsizetype columna) const;
    // The text of a cell as shown (an amount as TextoPlano); empty past the row's cells.
    QString texto(qsizetype fila, qsizetype columna) const;
    // The UTF-8 bytes of a cell that holds a stored text or nothing; false for any other cell (read
    // it with texto()).
    bool utf8(qsizetype fila, qsizetype columna, QByteArrayView* bytes) const;
    FuenteFila fuente(qsizetype fila) const;
    QString oculto(qsizetype fila) const { return TextoDeCodigo(Oculto(fila)); }
    // Bytes held (for the benchmark).
    size_t bytes() const;

    class const_iterator {
    public:
        using value_type = FilaReporte;
        using difference_type = qsizetype;
        const_iterator(const FilasReporte* f, qsizetype i) : filas(f), i(i) {}
        FilaReporte operator*() const { return filas->at(i); }
        const_iterator& operator++() {
            ++i;
            return *this;
        }
        bool operator!=(const const_iterator& o) const { return i != o.i; }
        bool operator==(const const_iterator& o) const { return i == o.i; }

    private:
        const FilasReporte* filas;
        qsizetype i;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    // A growing array kept in fixed pieces: growing never copies what is stored, nor holds it twice.
    template <typename T> class Trozos {
    public:
        static constexpr size_t Bits = 12, Pieza = size_t(1) << Bits;
        size_t size() const { return n; }
        T operator[](size_t i) const { return piezas[i >> Bits][i & (Pieza - 1)]; }
        T& operator[](size_t i) { return piezas[i >> Bits][i & (Pieza - 1)]; }
        // Where element i lies: the elements after it up to the end of its piece follow it.
        const T* en(size_t i) const { return piezas[i >> Bits].data() + (i & (Pieza - 1)); }
        void push_back(T v) {
            // The first piece grows as a vector does, so that a short report holds little.
            if ((n >> Bits) == piezas.size()) {
                const bool primera = piezas.empty();
                piezas.emplace_back().reserve(primera ? 0 : Pieza);
            }
            piezas.back().push_back(v);
            ++n;
        }
        size_t bytes() const {
            size_t b = 0;
            for (const std::vector<T>& p : piezas)
                b += p.capacity() * sizeof(T);
            return b;
        }

    private:
        std::vector<std::vector<T>> piezas;
        size_t n = 0;
    };

    // The stored rows, shared by the copies of a store until one of them writes (a grid shows a
    // report from its table without a copy of its own).
    struct Datos {
        // A cell's word: 0 empty; tag 1 a text (length in bits 2-25, position in the text pieces above);
        // tag 2 an amount (cents in bits 2-63); tag 3 a cell kept whole in `aparte` (a text or an amount
        // too long for the word), its index above the tag. The rows' words are kept packed (see
        // TablaReporte.cpp), a row after another, in blocks of rows that never straddle two pieces.
        std::vector<std::vector<uint8_t>> bytes;
        qsizetype filas = 0;
        Trozos<uint8_t> largos;             // each row's bytes; 255: as many or more, in `largosGrandes`
        QHash<qsizetype, uint32_t> largosGrandes;
        std::vector<uint64_t> bloques;      // where each block begins: its piece (high half) and place
        std::vector<uint64_t> referencias;  // per block, the text position its texts are counted from
        std::vector<uint64_t> fila;         // the words of the row being written
        uint64_t ocultoAnterior = 0;        // the hidden value's word of the last row
        std::vector<uint8_t> empaque;       // a row being packed
        // The texts, in UTF-8, in pieces of PiezaTexto bytes; a text never straddles two pieces.
        std::vector<std::vector<char>> textos;
        std::vector<CeldaReporte> aparte;
        // The last text stored in each column (first the hidden values, then the cells), to store a
        // repeated text once.
        std::vector<QString> ultimos;
        std::vector<uint64_t> ultimosCodigos;
        std::string ascii; // a text being stored, in UTF-8
    };
    std::shared_ptr<Datos> d = std::make_shared<Datos>();
    // Makes the rows this store's own before writing.
    void Escribo() {
        if (d.use_count() > 1) d = std::make_shared<Datos>(*d);
    }

    uint64_t Codigo(const CeldaReporte& celda, size_t columna);
    uint64_t CodigoTexto(const QString& texto, size_t columna);
    uint64_t GuardoTexto(const char* utf8, size_t lon, size_t columna);
    // A cell kept whole in `aparte`, and its word.
    uint64_t GuardoAparte(CeldaReporte celda);
    const char* Bytes(uint64_t codigo) const;
    uint64_t Copio(const FilasReporte& otras, uint64_t codigo, size_t columna);
    QString TextoDeCodigo(uint64_t codigo) const;
    CeldaReporte Celda(uint64_t codigo) const;
    // The column (from 1) of the next cell of the row being written.
    size_t Columna() const { return d->fila.size() + 1; }
    // A row's packed words: where they begin, and the text position its block counts from.
    const uint8_t* Empacada(qsizetype fila, uint64_t* referencia) const;
    // The words of a row's cells (its hidden value's apart).
    void Palabras(qsizetype fila, std::vector<uint64_t>* palabras) const;
    uint64_t Palabra(qsizetype fila, qsizetype columna) const;
    uint64_t Oculto(qsizetype fila) const;
    // Packs the row being written, with its hidden value's word.
    void Empaco(FuenteFila fuente, uint64_t oculto);
};

// What takes the rows of a long report while it is still being read, a part at a time.
using EntregaFilas = std::function<void(FilasReporte&& filas)>;
// Rows of the first part handed over, and of each one after it (the tests make them small).
inline qsizetype PrimeraEntrega = 512, CadaEntrega = 131072;

struct TablaReporte {
    QString titulo; // the report's title with its period ("Balance Sumas y Saldos entre ...")
    QStringList columnas;
    QVector<bool> importes;       // per column: whether it holds amounts
    QVector<ClaseColumna> clases; // per column; a column without one: Importe by `importes`, else Texto
    FilasReporte filas;
    // Page furniture: the lines printed above the title (the company's name, its tax number and
    // address) and under it (the restated balance's index table and date).
    QStringList membrete;
    QStringList notas;
    // The general journal carries its debit and credit totals from page to page.
    bool arrastre = false;
    // The rows that carry the report's totals (the balance's grand totals and the warning under them,
    // the closing line of each ledger block), in increasing order: readers of the table (the exports,
    // the grid) tell them from the report's own rows by this list.
    QVector<qsizetype> totales;
    // Per row, the account level of a hierarchical report (1 the top level, 0 a row of no level: the
    // grand totals); empty for a report without levels. The CSV writes it in a column of its own, the
    // spreadsheet as the rows' outline levels.
    QVector<quint8> niveles;
    // The rows' hidden value, written by the exports as a column of its own under this title, right
    // after column ocultoTras (from 0): the general journal's stored entry number beside the printed
    // one. No title: the hidden value is not exported.
    QString tituloOculto;
    int ocultoTras = -1;

    bool EsTotal(qsizetype fila) const { return std::binary_search(totales.cbegin(), totales.cend(), fila); }
    quint8 NivelFila(qsizetype fila) const { return niveles.value(fila); }

    ClaseColumna Clase(qsizetype columna) const {
        if (columna < clases.size()) return clases[columna];
        return importes.value(columna) ? ClaseColumna::Importe : ClaseColumna::Texto;
    }
};
