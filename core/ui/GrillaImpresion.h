#pragma once
// The print header codes of the grid: "/fb1" "/fb0" bold, "/fi1" "/fi0" italic, "/fz" + size in points
// (written 12 or "12"), "/r" the right-aligned part, "/p" the page number, "/n" a new line.
#include <QList>
#include <QString>

struct TramoEncabezado {
    int linea = 0;        // from 0
    bool derecha = false; // in the right-aligned part of its line
    bool negrita = false;
    bool cursiva = false;
    double puntos = 0;   // font size; 0 = the grid's own
    bool pagina = false; // stands for the page number
    QString texto;
    bool operator==(const TramoEncabezado&) const = default;
};

// The pieces of a header text, in order; an unknown code is printed as it stands.
QList<TramoEncabezado> ParsoEncabezado(const QString& encabezado);
