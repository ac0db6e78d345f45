#pragma once
// The list of entries the journal editor shows: one row per entry, built from the rows of the entry
// list query (one row per line, the lines of an entry consecutive).
#include "core/ConsultaSql.h"
#include "core/Importe.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>

#include <cstdint>
#include <limits>
#include <vector>

struct FilaListaAsientos {
    int asiento = 0;
    QDate fecha;
    QString concepto;     // the entry's; Null shown empty
    QString cuentasDebe;  // one text line per debit line: description, "- ", short code
    QString cuentasHaber; // the same for the credit lines
    Importe totalDebe;    // sum of the debit amounts
    bool tieneDebe = false;
    bool tieneHaber = false;
};

struct Contexto;

// One line's text in the debit or credit column.
QString TextoLineaLista(const QString& descripcion, const QString& codInt);

// The rows of the list, held compactly: the list of every entry of a long year has millions of rows,
// and a text per column per row would cost several times what the rows say. Each entry keeps its
// number, date, total and concept; each of its lines only which account text it shows (the accounts'
// texts are stored once). The columns' texts are built when they are asked for.
class ListaAsientos {
public:
    qsizetype size() const { return qsizetype(entradas.size()); }
    bool isEmpty() const { return entradas.empty(); }

    FilaListaAsientos operator[](qsizetype fila) const;
    int asiento(qsizetype fila) const { return entradas[size_t(fila)].asiento; }
    QDate fecha(qsizetype fila) const;
    QString concepto(qsizetype fila) const;
    // The debit (debe) or credit column: one text line per line of that side, in the entry's order.
    QString cuentas(qsizetype fila, bool debe) const;
    qsizetype lineas(qsizetype fila, bool debe) const;
    // The texts of one side's lines, as stored once for the whole list (their position says which).
    qsizetype textoLinea(qsizetype fila, bool debe, qsizetype linea) const;
    const QString& texto(qsizetype cual) const { return textos[size_t(cual)]; }
    qsizetype textosDistintos() const { return qsizetype(textos.size()); }
    Importe totalDebe(qsizetype fila) const { return Importe::DeCentavos(entradas[size_t(fila)].total); }
    // The row of an entry, or -1.
    qsizetype Busco(int asiento) const;

    // An entry's row as saved (its columns' texts with one line per account), at the end or in place
    // of a row; and a row taken out.
    void Agrego(const FilaListaAsientos& fila);
    void Reemplazo(qsizetype fila, const FilaListaAsientos& nueva);
    void Quito(qsizetype fila);

private:
    friend bool ArmoListaAsientos(const Contexto&, const ConsultaSql&, ListaAsientos&, QString*);
    struct Entrada {
        int asiento = 0;
        int dia = 0;           // Julian day; Nulo: no date
        std::int64_t total = 0; // debit total, in cents
        std::uint32_t concepto = 0, largoConcepto = 0; // in `conceptos`, UTF-8
        std::uint32_t primera = 0; // first line in `textosLineas`: the debit ones, then the credit ones
        std::uint32_t debe = 0, haber = 0;
    };
    static constexpr int Nulo = std::numeric_limits<int>::min();
    std::vector<Entrada> entradas;
    std::vector<std::uint32_t> textosLineas; // each line's text, as its place in `textos`
    std::vector<char> conceptos;
    std::vector<QString> textos;
    QHash<QByteArray, std::uint32_t> indice; // a line's text, UTF-8 -> its place in `textos`

    // A line's text, stored once; its place in `textos`.
    std::uint32_t Texto(const QByteArray& utf8);
    // An entry's number, date and concept; and its lines, by side, once they are known.
    Entrada Nueva(int asiento, const QDate& fecha, QByteArrayView concepto);
    void Lineas(Entrada& e, const std::vector<std::uint32_t>& debe, const std::vector<std::uint32_t>& haber);
    Entrada Armo(const FilaListaAsientos& fila);
};

// Runs the query on the context's connection and folds its rows into one row per entry, in the query's
// order, telling the context's progress how far it went. False with the engine's explanation in *error
// when the query fails, or TextoCancelado when the progress asked it to stop; the list is then left
// as it was.
bool ArmoListaAsientos(const Contexto& ctx, const ConsultaSql& consulta, ListaAsientos& filas,
                       QString* error = nullptr);

// The query of one entry alone, for the command that shows an entry by its number.
ConsultaSql ConsultaUnAsiento(int empresa, int ejercicio, int asiento);
