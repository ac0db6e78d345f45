#include "reports/ui/VuelcoTabla.h"

#include "core/ui/Grilla.h"

#include <QFontMetrics>

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
    QStringList textos;
    const FilasReporte& filas = t.filas;
    for (int i = 0; i < filas.size(); ++i) {
        textos.clear();
        for (qsizetype c = 0; c < filas.celdas(i); ++c)
            textos << filas.texto(i, c);
        const int fila = i + 1;
        g->setFila(fila, textos);
        const QString oculto = filas.oculto(i);
        if (!oculto.isEmpty()) g->setTexto(fila, 0, oculto);
        const FuenteFila fuente = filas.fuente(i);
        if (fuente != FuenteFila::Normal)
            g->setFuenteFila(fila, fuente != FuenteFila::Cursiva, fuente != FuenteFila::Negrita);
        // Measuring every row of a long report costs more than filling it: only a text that may not
        // fit its column on one line is measured.
        for (int c : ajustadas)
            if (c <= textos.size() && textos[c - 1].size() * promedio > g->anchoColumna(c) - 6) {
                g->AjustoAltoFila(fila);
                break;
            }
    }
}
