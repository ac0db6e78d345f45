#include "reports/ui/VuelcoTabla.h"

#include "core/ui/Grilla.h"
#include "core/ui/GrillaModelo.h"

#include <QFontMetrics>
#include <QHash>
#include <memory>
#include <optional>
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
// The font of a row of the table.
QFont FuenteDe(const QFont& base, FuenteFila fuente) {
    QFont f = base;
    f.setBold(fuente != FuenteFila::Normal && fuente != FuenteFila::Cursiva);
    f.setItalic(fuente == FuenteFila::Cursiva || fuente == FuenteFila::NegritaCursiva);
    return f;
}

uint8_t Bits(FuenteFila f) {
    switch (f) {
    case FuenteFila::Negrita:
        return 1;
    case FuenteFila::Cursiva:
        return 2;
    case FuenteFila::NegritaCursiva:
        return 3;
    default:
        return 0;
    }
}

// The grid reads the table's rows where they are (the table's copy shares them), as many as the store
// held when the origin was made: a store still being read only grows at its end.
class OrigenTabla : public OrigenGrilla {
public:
    explicit OrigenTabla(std::shared_ptr<const FilasReporte> f) : propias(std::move(f)), n(int(propias->size())) {}
    int filas() const override { return n; }
    QString texto(int fila, int columna) const override {
        return columna == 0 ? propias->oculto(fila) : propias->texto(fila, columna - 1);
    }
    uint8_t fuente(int fila) const override { return Bits(propias->fuente(fila)); }

private:
    std::shared_ptr<const FilasReporte> propias;
    int n;
};
} // namespace

void VuelcoTabla(Grilla* g, const TablaReporte& t) {
    // A grid not yet prepared for this table gets its columns from it.
    if (g->columnas() != t.columnas.size()) PreparoGrillaReporte(g, t, {}, true);
    QList<int> ajustadas;
    for (int c = 1; c <= g->columnas(); ++c)
        if (g->tipoColumna(c).clase == TipoCelda::TextoAjustado) ajustadas << c;
    const int promedio = std::max(1, QFontMetrics(g->font()).averageCharWidth());
    const FilasReporte& filas = t.filas;
    g->Muestro(std::make_shared<OrigenTabla>(std::make_shared<const FilasReporte>(filas)));
    if (ajustadas.isEmpty()) return;
    // Measuring every row of a long report costs more than filling it: only a text that may not fit
    // its column on one line is measured, and a text met before (an account's name, a concept) is
    // measured once. A plain ASCII text is first summed from the widths of its characters in the
    // row's font, with room to spare for kerning.
    std::optional<AnchosAscii> anchos[4]; // per row font, read when first needed
    QHash<QByteArray, int> altos; // font, column and text -> height
    QByteArrayView bytes;
    std::vector<int> anchoDe(size_t(g->columnas()) + 1);
    for (int c : ajustadas)
        anchoDe[size_t(c)] = g->anchoColumna(c) - 6;
    for (int i = 0; i < filas.size(); ++i) {
        const FuenteFila fuente = filas.fuente(i);
        int alto = 0;
        for (int c : ajustadas) {
            const int ancho = anchoDe[size_t(c)];
            QString texto;
            const bool utf8 = filas.utf8(i, c - 1, &bytes);
            if (!utf8) texto = filas.texto(i, c - 1);
            const qsizetype largo = utf8 ? bytes.size() : texto.size();
            if (largo * promedio <= ancho) continue;
            std::optional<AnchosAscii>& deFuente = anchos[size_t(fuente)];
            if (utf8 && !deFuente) deFuente.emplace(FuenteDe(g->font(), fuente));
            if (utf8 && deFuente->Ancho(bytes) + 4 <= ancho) continue;
            QByteArray clave = QByteArray(1, char(Bits(fuente))) + char(c);
            clave += utf8 ? QByteArray(bytes.data(), bytes.size()) : texto.toUtf8();
            auto it = altos.constFind(clave);
            if (it == altos.constEnd()) {
                const uint8_t b = Bits(fuente);
                it = altos.insert(clave,
                                  g->AltoTexto(c, b & 1, b & 2, utf8 ? QString::fromUtf8(bytes) : texto));
            }
            alto = std::max(alto, *it);
        }
        if (alto > 0) g->FijoAltoFila(i + 1, alto);
    }
}

void VuelcoCreciente(Grilla* g, const std::shared_ptr<const FilasReporte>& filas) {
    g->Amplio(std::make_shared<OrigenTabla>(filas));
}
