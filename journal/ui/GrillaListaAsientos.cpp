#include "journal/ui/GrillaListaAsientos.h"

#include <QFontMetrics>
#include <QHash>
#include <vector>

namespace {
class OrigenLista : public OrigenGrilla {
public:
    explicit OrigenLista(std::shared_ptr<const ListaAsientos> l) : lista(std::move(l)) {}
    int filas() const override { return int(lista->size()); }
    QString texto(int fila, int columna) const override {
        // A row the grid has not yet been told was taken out reads empty.
        if (fila < 0 || fila >= lista->size()) return QString();
        switch (columna) {
        case 0:
            return QString::number(lista->asiento(fila));
        case 1:
            return lista->fecha(fila).toString("dd/MM/yy");
        case 2:
            return lista->concepto(fila);
        case 3:
            return lista->cuentas(fila, true);
        case 4:
            return lista->cuentas(fila, false);
        case 5:
            return lista->totalDebe(fila).TextoPlano();
        default:
            return QString();
        }
    }
    uint8_t fuente(int) const override { return 0; }

private:
    std::shared_ptr<const ListaAsientos> lista;
};
} // namespace

GrillaListaAsientos::GrillaListaAsientos(Grilla* grilla) : g(grilla) {
    origen = std::make_shared<OrigenLista>(filas);
}

void GrillaListaAsientos::Muestro(ListaAsientos&& nueva) {
    filas = std::make_shared<ListaAsientos>(std::move(nueva));
    origen = std::make_shared<OrigenLista>(filas);
    g->Muestro(origen);
    Altos(0, filas->size());
}

void GrillaListaAsientos::Escribo(int fila, const FilaListaAsientos& f) {
    if (fila >= 1 && fila <= filas->size()) {
        filas->Reemplazo(fila - 1, f);
        g->CambioEnOrigen(fila);
    } else {
        filas->Agrego(f);
        fila = int(filas->size());
        g->Amplio(origen);
    }
    Altos(fila - 1, fila);
}

void GrillaListaAsientos::Quito(int fila) {
    if (fila < 1 || fila > filas->size()) return;
    filas->Quito(fila - 1);
    g->QuitadaDeOrigen(fila);
}

void GrillaListaAsientos::Vacio() {
    g->setFilas(0);
    filas = std::make_shared<ListaAsientos>();
    origen = std::make_shared<OrigenLista>(filas);
}

void GrillaListaAsientos::Altos(qsizetype desde, qsizetype hasta) {
    // Measuring every row of a long list costs more than reading it: an account's text is measured
    // once, a column of lines that each fit on one line is as high as its number of lines, and only a
    // concept that may not fit its column is measured.
    const ListaAsientos& l = *filas;
    const QFontMetrics fm(g->font());
    const int promedio = std::max(1, fm.averageCharWidth());
    const int unaLinea = g->AltoTexto(0, false, false, QString());
    const AnchosAscii anchoAscii(g->font());
    const bool ajustada[3] = {g->tipoColumna(2).clase == TipoCelda::TextoAjustado,
                              g->tipoColumna(3).clase == TipoCelda::TextoAjustado,
                              g->tipoColumna(4).clase == TipoCelda::TextoAjustado};
    const int ancho[3] = {g->anchoColumna(2) - 6, g->anchoColumna(3) - 6, g->anchoColumna(4) - 6};
    auto cabe = [&](int c, const QString& t) {
        if (!ajustada[c - 2]) return !t.contains(u'\n');
        if (t.size() * promedio <= ancho[c - 2]) return !t.contains(u'\n');
        return anchoAscii.Ancho(t) + 4 <= ancho[c - 2];
    };
    // Per column of accounts: whether each account text fits on one line (-1 not yet seen), and the
    // height of n lines that each fit.
    std::vector<signed char> unaLineaCuenta[2];
    std::vector<int> altoLineas[2];
    QHash<QString, int> altoConcepto;
    for (qsizetype i = desde; i < hasta; ++i) {
        int alto = 0;
        const QString concepto = l.concepto(i);
        if (!cabe(2, concepto)) {
            auto it = altoConcepto.constFind(concepto);
            if (it == altoConcepto.constEnd()) it = altoConcepto.insert(concepto, g->AltoTexto(2, false, false, concepto));
            alto = *it;
        }
        for (int lado = 0; lado < 2; ++lado) {
            const int c = 3 + lado;
            const qsizetype n = l.lineas(i, lado == 0);
            if (n == 0) continue;
            std::vector<signed char>& caben = unaLineaCuenta[lado];
            caben.resize(size_t(l.textosDistintos()), -1);
            bool todas = true;
            for (qsizetype k = 0; k < n && todas; ++k) {
                const qsizetype t = l.textoLinea(i, lado == 0, k);
                if (caben[size_t(t)] < 0) caben[size_t(t)] = cabe(c, l.texto(t)) ? 1 : 0;
                todas = caben[size_t(t)] == 1;
            }
            if (!todas) {
                alto = std::max(alto, g->AltoTexto(c, false, false, l.cuentas(i, lado == 0)));
                continue;
            }
            if (n == 1) continue;
            std::vector<int>& altos = altoLineas[lado];
            if (altos.size() <= size_t(n)) altos.resize(size_t(n) + 1, 0);
            if (altos[size_t(n)] == 0) {
                QString lineas = QStringLiteral("x");
                for (qsizetype k = 1; k < n; ++k)
                    lineas += QStringLiteral("\nx");
                altos[size_t(n)] = g->AltoTexto(c, false, false, lineas);
            }
            alto = std::max(alto, altos[size_t(n)]);
        }
        // In a list shown anew a row of one line keeps the grid's height for every row; a row written
        // again may have had more.
        if (alto > unaLinea || hasta - desde == 1) g->FijoAltoFila(int(i) + 1, std::max(alto, unaLinea));
    }
}
