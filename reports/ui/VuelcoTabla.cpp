#include "reports/ui/VuelcoTabla.h"

#include "core/ui/Grilla.h"

#include <QFontMetrics>
#include <vector>

void PreparoGrillaReporte(Grilla* g, const TablaReporte& t, const QList<int>& anchos, bool miles,
                          const QList<int>& ajustadas) {
    g->setColumnas(int(t.columnas.size()));
    TipoCelda numero;
    numero.clase = TipoCelda::Numero;
    numero.decimales = 2;
    numero.miles = miles;
    numero.minimo = -99999999.99;
    numero.maximo = 99999999.99;
    TipoCelda ajustada;
    ajustada.clase = TipoCelda::TextoAjustado;
    for (int c = 1; c <= t.columnas.size(); ++c) {
        g->setEncabezado(c, t.columnas[c - 1]);
        if (c <= anchos.size()) g->setAnchoColumna(c, anchos[c - 1]);
        if (c <= t.importes.size() && t.importes[c - 1])
            g->setTipoColumna(c, numero);
        else if (ajustadas.contains(c))
            g->setTipoColumna(c, ajustada);
    }
}

void VuelcoTabla(Grilla* g, const TablaReporte& t) {
    // A grid not yet prepared for this table gets its columns from it.
    if (g->columnas() != t.columnas.size()) PreparoGrillaReporte(g, t, {}, true);
    QList<int> ajustadas;
    for (int c = 1; c <= g->columnas(); ++c)
        if (g->tipoColumna(c).clase == TipoCelda::TextoAjustado) ajustadas << c;
    const int promedio = std::max(1, QFontMetrics(g->font()).averageCharWidth());
    g->setFilas(int(t.filas.size()));
    const FilasReporte& filas = t.filas;
    const int columnas = g->columnas();
    std::vector<qsizetype> largos(size_t(columnas) + 1);
    QByteArrayView bytes;
    for (int i = 0; i < filas.size(); ++i) {
        const int fila = i + 1;
        // Stored texts go from the table's bytes to the grid's without a QString between them.
        for (int c = 1; c <= columnas; ++c) {
            if (filas.utf8(i, c - 1, &bytes)) {
                g->setTextoUtf8(fila, c, bytes);
                largos[size_t(c)] = bytes.size();
            } else {
                const QString texto = filas.texto(i, c - 1);
                g->setTexto(fila, c, texto);
                largos[size_t(c)] = texto.size();
            }
        }
        if (filas.utf8Oculto(i, &bytes)) {
            if (!bytes.isEmpty()) g->setTextoUtf8(fila, 0, bytes);
        } else {
            g->setTexto(fila, 0, filas.oculto(i));
        }
        const FuenteFila fuente = filas.fuente(i);
        if (fuente != FuenteFila::Normal)
            g->setFuenteFila(fila, fuente != FuenteFila::Cursiva, fuente != FuenteFila::Negrita);
        // Measuring every row of a long report costs more than filling it: only a text that may not
        // fit its column on one line is measured (its bytes are at least its characters).
        for (int c : ajustadas)
            if (largos[size_t(c)] * promedio > g->anchoColumna(c) - 6) {
                g->AjustoAltoFila(fila);
                break;
            }
    }
}
