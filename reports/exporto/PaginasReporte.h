#pragma once
// A report table as the page renderer reads it: print preview, printing and the PDF file of a report
// draw the same pages.
#include "core/paginado/Paginado.h"
#include "reports/TablaReporte.h"

class PaginasReporte : public Paginado::Origen {
public:
    // `visibles`: the table's columns to print, from 0 (empty: every column).
    PaginasReporte(const TablaReporte& tabla, QChar decimal, QChar miles, QList<int> visibles = {});
    int columnas() const override { return int(visibles.size()); }
    QString titulo(int c) const override { return tabla.columnas.value(visibles[c]); }
    ClaseColumna clase(int c) const override { return tabla.Clase(visibles[c]); }
    qsizetype filas() const override { return tabla.filas.size(); }
    QString texto(qsizetype f, int c) const override;
    std::optional<Importe> importe(qsizetype f, int c) const override { return tabla.filas.importe(f, visibles[c]); }
    bool negrita(qsizetype f) const override;
    bool cursiva(qsizetype f) const override;
    // A row in a heading's font without amounts (an entry's header, a group of accounts).
    bool conSiguiente(qsizetype f) const override;

    // The header of every page: the company's lines, the title with "Página: N de M", the notes and
    // the date printed.
    QList<TramoEncabezado> Encabezado(const QDate& impreso = QDate::currentDate()) const;
    Paginado::Opciones Opciones() const;

private:
    const TablaReporte& tabla;
    QChar decimal, miles;
    QList<int> visibles;
};
