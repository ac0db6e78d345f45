#pragma once
// The one page renderer of the program: the print preview, the printing and the PDF files of every
// report and grid are drawn here. Each column is measured from its content; dates, codes, numbers
// and amounts are never cut (the page turns landscape, and past that the type shrinks, before a
// figure would be), only texts wrap, at blanks where there are any. The header is drawn on every
// page and the column titles are repeated; the journal carries its totals from page to page.
#include "core/ClaseColumna.h"
#include "core/Importe.h"
#include "core/paginado/Encabezado.h"

#include <QColor>
#include <QList>
#include <QString>
#include <optional>

class QPagedPaintDevice;

namespace Paginado {

// The rows to print, rows and columns from 0, each source reading its own storage.
class Origen {
public:
    virtual ~Origen() = default;
    virtual int columnas() const = 0;
    virtual QString titulo(int columna) const = 0;
    virtual ClaseColumna clase(int columna) const = 0;
    virtual qsizetype filas() const = 0;
    // The text as printed (an amount already formatted).
    virtual QString texto(qsizetype fila, int columna) const = 0;
    // The amount of an amount cell, for the carried totals.
    virtual std::optional<Importe> importe(qsizetype fila, int columna) const = 0;
    virtual bool negrita(qsizetype fila) const = 0;
    virtual bool cursiva(qsizetype fila) const = 0;
    // A heading kept on the page of the row after it (an entry's header with its first line).
    virtual bool conSiguiente(qsizetype) const { return false; }
};

struct Opciones {
    QString familia = QStringLiteral("Sans Serif");
    double puntos = 8;       // the rows' type, before any shrinking
    bool sombreado = false;  // the column titles' row shaded
    bool arrastre = false;   // amount columns carried forward: "Transporte", "Suma y sigue", the period's totals
    QColor color;            // the rows' text; invalid: black
    // How amounts are written in the carried totals.
    QChar decimal = QLatin1Char(',');
    QChar miles = QLatin1Char('.');
};

struct Resultado {
    int paginas = 0; // 0: the device could not be painted on
    bool apaisado = false;
    double puntos = 0; // the rows' type as printed
};

// Draws every page on a paged device (a QPdfWriter, a QPrinter), turning it landscape when the
// columns do not fit upright.
Resultado Dibujo(QPagedPaintDevice& destino, const Origen& origen, const QList<TramoEncabezado>& encabezado,
                 const Opciones& opciones);

// The widest amount a book may hold; an amount column is as wide as its widest figure, and a page
// of such figures still fits (the type shrinks).
inline constexpr qint64 MayorImporteCentavos = 99999999999999; // 999.999.999.999,99

} // namespace Paginado
