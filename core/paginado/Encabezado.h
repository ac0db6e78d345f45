#pragma once
// The print header codes of the grid: "/fb1" "/fb0" bold, "/fi1" "/fi0" italic, "/fz" + size in points
// (written 12 or "12"), "/r" the right-aligned part, "/p" the page number, "/n" a new line.
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class QFont;
class QPaintDevice;
class QPainter;

struct TramoEncabezado {
    int linea = 0;        // from 0
    bool derecha = false; // in the right-aligned part of its line
    bool negrita = false;
    bool cursiva = false;
    double puntos = 0;   // font size; 0 = the grid's own
    bool pagina = false; // stands for the page number
    bool deTotal = false; // the page number is followed by " de " and the number of pages
    QString texto;
    bool operator==(const TramoEncabezado&) const = default;
};

// The pieces of a header text, in order; an unknown code is printed as it stands.
QList<TramoEncabezado> ParsoEncabezado(const QString& encabezado);

// The header of a printed report: the company's lines above (its name in bold, the date printed on
// the right), the title in bold italic 12 points with "Página: N de M" on the right, then the notes.
QList<TramoEncabezado> EncabezadoInforme(const QStringList& empresa, const QString& titulo,
                                         const QStringList& notas, const QDate& impreso);

// Draws the header at the top of the page of `dispositivo` (in its units), the page numbers put in;
// returns its height. Without a painter it only measures.
double DibujoEncabezado(QPainter* p, QPaintDevice* dispositivo, const QList<TramoEncabezado>& tramos,
                        const QFont& base, double ancho, int pagina, int paginas);
