#include "reports/ui/VuelcoTabla.h"

#include "core/ui/Grilla.h"
#include "core/ui/GrillaModelo.h"

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

namespace {
// Width of an ASCII text as the sum of its characters' widths in the font of its row; a large number
// when the text is not plain ASCII.
int AnchoAscii(std::vector<int>& anchos, const QFont& base, FuenteFila fuente, QByteArrayView bytes) {
    if (anchos.empty()) {
        QFont f = base;
        f.setBold(fuente != FuenteFila::Normal && fuente != FuenteFila::Cursiva);
        f.setItalic(fuente == FuenteFila::Cursiva || fuente == FuenteFila::NegritaCursiva);
        const QFontMetrics fm(f);
        anchos.resize(128);
        for (int ch = 0; ch < 128; ++ch)
            anchos[size_t(ch)] = fm.horizontalAdvance(QChar(ch));
    }
    int ancho = 0;
    for (char ch : bytes) {
        if (uchar(ch) >= 128 || ch < 32) return 1 << 30;
        ancho += anchos[size_t(uchar(ch))];
    }
    return ancho;
}
} // namespace

void VuelcoTabla(Grilla* g, const TablaReporte& t) {
    // A grid not yet prepared for this table gets its columns from it.
    if (g->columnas() != t.columnas.size()) PreparoGrillaReporte(g, t, {}, true);
    QList<int> ajustadas;
    for (int c = 1; c <= g->columnas(); ++c)
        if (g->tipoColumna(c).clase == TipoCelda::TextoAjustado) ajustadas << c;
    const int promedio = std::max(1, QFontMetrics(g->font()).averageCharWidth());
    g->setFilas(int(t.filas.size()));
    const FilasReporte& filas = t.filas;
    std::vector<int> anchos[4]; // per row font: the width of each ASCII character, read when first needed
    const int columnas = g->columnas();
    std::vector<qsizetype> largos(size_t(columnas) + 1);
    QByteArrayView bytes;
    // Each text column's buffer is sized once from the table.
    std::vector<qsizetype> total(size_t(columnas) + 1);
    for (int i = 0; i < filas.size(); ++i) {
        for (int c = 1; c <= columnas; ++c)
            if (filas.utf8(i, c - 1, &bytes)) total[size_t(c)] += bytes.size();
        if (filas.utf8Oculto(i, &bytes)) total[0] += bytes.size();
    }
    for (int c = 0; c <= columnas; ++c)
        if (total[size_t(c)] > 0) g->modelo()->ReservoTexto(c, total[size_t(c)]);
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
        // fit its column on one line is measured. A plain ASCII text is first summed from the widths
        // of its characters in the row's font, with room to spare for kerning.
        for (int c : ajustadas) {
            const int ancho = g->anchoColumna(c) - 6;
            if (largos[size_t(c)] * promedio <= ancho) continue;
            if (filas.utf8(i, c - 1, &bytes) &&
                AnchoAscii(anchos[size_t(fuente)], g->font(), fuente, bytes) + 4 <= ancho)
                continue;
            g->AjustoAltoFila(fila);
            break;
        }
    }
}
