#pragma once
// A report as a table, apart from any screen: the column titles, which columns hold amounts, and the
// rows with their font. Every report builds one from its rows; the screens pour it into their grid,
// and the exports (PDF, CSV, XLSX) and the command-line program write it, so that what is printed,
// exported and shown is the same.
#include "core/Importe.h"
#include "reports/Reporte.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// One cell: an amount (written as a number with two decimals) or a text (possibly empty).
struct CeldaReporte {
    QString texto;
    std::optional<Importe> importe;

    CeldaReporte() = default;
    CeldaReporte(const QString& t) : texto(t) {}
    CeldaReporte(Importe i) : importe(i) {}
    CeldaReporte(std::optional<Importe> i) : importe(i) {}
    bool vacia() const { return !importe && texto.isEmpty(); }
};

struct FilaReporte {
    QVector<CeldaReporte> celdas; // as many as the table's columns, or fewer (the rest empty)
    FuenteFila fuente = FuenteFila::Normal;
    QString oculto; // the row's hidden value (the grid's column 0): a key for the screen, never shown
};

struct TablaReporte {
    QString titulo; // the report's title with its period ("Balance Sumas y Saldos entre ...")
    QStringList columnas;
    QVector<bool> importes; // per column: whether it holds amounts
    QVector<FilaReporte> filas;
};
