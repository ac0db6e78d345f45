#include "core/paginado/Paginado.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace Paginado {
namespace {

// The type of one kind of row, with the width of every ASCII character at hand: a long report has
// hundreds of thousands of cells to measure, and summing the characters' widths of a plain text is
// far cheaper than asking the font for it (a small margin covers kerning).
class Tipo {
public:
    Tipo(const QFont& f, QPaintDevice* d) : fuente(f), fm(f, d), dispositivo(d) {
        for (int c = 0; c < 128; ++c)
            ascii[size_t(c)] = fm.horizontalAdvance(QChar(c));
    }
    double Ancho(QStringView t) const {
        double a = 0;
        for (QChar c : t) {
            const char16_t u = c.unicode();
            if (u >= 128 || u < 32) return fm.horizontalAdvance(t.toString()) * 1.01;
            a += ascii[u];
        }
        return a * 1.01;
    }
    // Lines of a text wrapped at blanks (or anywhere inside a word longer than the width).
    int Lineas(const QString& t, double ancho) const {
        if (t.isEmpty() || Ancho(t) <= ancho) return 1;
        QTextLayout capa(t, fuente, dispositivo);
        capa.setTextOption(Envoltura());
        capa.beginLayout();
        int n = 0;
        for (QTextLine l = capa.createLine(); l.isValid(); l = capa.createLine()) {
            l.setLineWidth(ancho);
            ++n;
        }
        capa.endLayout();
        return std::max(1, n);
    }
    static QTextOption Envoltura() {
        QTextOption o(Qt::AlignLeft | Qt::AlignTop);
        o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        return o;
    }
    QFont fuente;
    QFontMetricsF fm;

private:
    QPaintDevice* dispositivo;
    std::array<double, 128> ascii{};
};

// Breaks and tabs inside a text print as blanks (a text column then wraps it to its width).
QString UnaLinea(QString t) {
    for (QChar& c : t)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')) c = QLatin1Char(' ');
    return t;
}

// The widest word of a text.
double Palabra(const Tipo& tipo, QStringView t) {
    double mayor = 0;
    for (QStringView w : t.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        mayor = std::max(mayor, tipo.Ancho(w));
    return mayor;
}

int Variante(bool negrita, bool cursiva) {
    return (negrita ? 1 : 0) | (cursiva ? 2 : 0);
}

struct Disposicion {
    std::vector<double> xs, anchos; // per column, device units
    double ancho = 0;               // of the whole table
    double relleno = 0;             // blank on each side of a cell
};

QFont Fuente(const Opciones& o, double puntos, int variante) {
    QFont f(o.familia);
    f.setPointSizeF(puntos);
    f.setBold(variante & 1);
    f.setItalic(variante & 2);
    return f;
}

} // namespace

Resultado Dibujo(QPagedPaintDevice& destino, const Origen& origen, const QList<TramoEncabezado>& encabezado,
                 const Opciones& opciones) {
    Resultado r;
    const int columnas = origen.columnas();
    const qsizetype filas = origen.filas();

    // Natural widths, measured in the bold type (the widest of the row kinds).
    std::vector<double> natural(size_t(columnas), 0), minimo(size_t(columnas), 0);
    auto mido = [&](double puntos) {
        std::fill(natural.begin(), natural.end(), 0);
        std::fill(minimo.begin(), minimo.end(), 0);
        const Tipo tipo(Fuente(opciones, puntos, 1), &destino);
        const double promedio = tipo.fm.averageCharWidth();
        std::vector<double> palabra(size_t(columnas), 0);
        for (int c = 0; c < columnas; ++c) {
            const QString t = origen.titulo(c);
            minimo[size_t(c)] = Palabra(tipo, t);
            // A text column's title wraps: its widest word is all it asks for.
            natural[size_t(c)] = origen.clase(c) == ClaseColumna::Texto ? minimo[size_t(c)] : tipo.Ancho(t);
        }
        for (qsizetype f = 0; f < filas; ++f)
            for (int c = 0; c < columnas; ++c) {
                const QString t = origen.texto(f, c);
                if (t.isEmpty()) continue;
                const bool texto = origen.clase(c) == ClaseColumna::Texto;
                const QString linea = UnaLinea(t);
                const double a = tipo.Ancho(linea);
                natural[size_t(c)] = std::max(natural[size_t(c)], a);
                // A text narrower than the widest word met so far has no wider word.
                if (texto && a > palabra[size_t(c)]) palabra[size_t(c)] = std::max(palabra[size_t(c)], Palabra(tipo, linea));
            }
        // The page totals carried from page to page are as wide as the column's whole sum can be.
        if (opciones.arrastre)
            for (int c = 0; c < columnas; ++c) {
                if (origen.clase(c) != ClaseColumna::Importe) continue;
                Importe suma;
                for (qsizetype f = 0; f < filas; ++f)
                    if (const std::optional<Importe> i = origen.importe(f, c)) suma += i->abs();
                natural[size_t(c)] =
                    std::max(natural[size_t(c)], tipo.Ancho(suma.Texto(opciones.decimal, opciones.miles)));
            }
        for (int c = 0; c < columnas; ++c) {
            const size_t i = size_t(c);
            switch (origen.clase(c)) {
            case ClaseColumna::Importe:
                minimo[i] = std::max(minimo[i], natural[i]);
                break;
            case ClaseColumna::Texto:
                // A text column may wrap down to its widest word, or to twelve characters when its
                // words are longer (they then break inside); it never asks for more than fifty.
                natural[i] = std::min(std::max(natural[i], minimo[i]), promedio * 50);
                minimo[i] = std::min(natural[i], std::max({minimo[i], std::min(palabra[i], promedio * 24),
                                                           promedio * 12}));
                break;
            default:
                natural[i] = minimo[i] = std::max(natural[i], minimo[i]);
            }
        }
    };

    // Upright when the columns fit at their natural widths, else landscape; past that the type shrinks
    // until they do (measured again at the smaller size: type does not shrink quite in proportion).
    QPageLayout pagina = destino.pageLayout();
    pagina.setOrientation(QPageLayout::Portrait);
    const int ppp = destino.logicalDpiX();
    const double derecho = pagina.paintRectPixels(ppp).width();
    pagina.setOrientation(QPageLayout::Landscape);
    const double acostado = pagina.paintRectPixels(ppp).width();
    r.puntos = opciones.puntos;
    double relleno = 0, necesario = 0;
    for (int intento = 0; intento < 4; ++intento) {
        mido(r.puntos);
        relleno = Tipo(Fuente(opciones, r.puntos, 0), &destino).fm.averageCharWidth() * 0.6;
        necesario = 0;
        double holgado = 0;
        for (int c = 0; c < columnas; ++c) {
            necesario += minimo[size_t(c)] + 2 * relleno;
            holgado += natural[size_t(c)] + 2 * relleno;
        }
        // Upright when every column fits at its natural width; landscape as soon as a text would have
        // to wrap upright.
        if (intento == 0) r.apaisado = holgado > derecho;
        if (necesario <= acostado) break;
        r.puntos *= acostado / necesario * 0.98;
    }
    destino.setPageOrientation(r.apaisado ? QPageLayout::Landscape : QPageLayout::Portrait);
    const QRectF hoja = destino.pageLayout().paintRectPixels(ppp);

    Disposicion d;
    d.relleno = relleno;
    {
        double libre = hoja.width();
        for (int c = 0; c < columnas; ++c) {
            d.anchos.push_back(minimo[size_t(c)] + 2 * d.relleno);
            libre -= d.anchos.back();
        }
        // The room left is shared out evenly among the columns that would still wrap: a column that
        // needs less than its share takes what it needs and leaves the rest to the others, so short
        // texts stay on one line and the long ones share what remains.
        std::vector<int> faltan;
        for (int c = 0; c < columnas; ++c)
            if (natural[size_t(c)] > minimo[size_t(c)]) faltan.push_back(c);
        std::sort(faltan.begin(), faltan.end(), [&](int a, int b) {
            return natural[size_t(a)] - minimo[size_t(a)] < natural[size_t(b)] - minimo[size_t(b)];
        });
        for (size_t k = 0; k < faltan.size() && libre > 0; ++k) {
            const size_t c = size_t(faltan[k]);
            const double parte = libre / double(faltan.size() - k);
            const double toma = std::min(parte, natural[c] - minimo[c]);
            d.anchos[c] += toma;
            libre -= toma;
        }
        double x = 0;
        for (int c = 0; c < columnas; ++c) {
            d.xs.push_back(x);
            x += d.anchos[size_t(c)];
        }
        d.ancho = x;
    }

    // The row kinds' types at the printed size.
    std::vector<Tipo> tipos;
    for (int v = 0; v < 4; ++v)
        tipos.emplace_back(Fuente(opciones, r.puntos, v), &destino);
    const Tipo& titulos = tipos[1];
    const double interlinea = tipos[0].fm.lineSpacing();
    const double aire = interlinea * 0.2;
    const double altoSuma = interlinea + aire;

    // Heights: the titles' row, then every row (a text met before is wrapped once).
    double altoTitulos = 0;
    for (int c = 0; c < columnas; ++c)
        altoTitulos = std::max(altoTitulos, titulos.Lineas(origen.titulo(c), d.anchos[size_t(c)] - 2 * d.relleno) *
                                                titulos.fm.lineSpacing());
    altoTitulos += aire * 2;
    QFont base(opciones.familia);
    base.setPointSizeF(opciones.puntos);
    const double altoEncabezado = DibujoEncabezado(nullptr, &destino, encabezado, base, hoja.width(), 1, 1);
    const double limite = hoja.height() - (opciones.arrastre ? altoSuma : 0);

    std::vector<float> altos(static_cast<size_t>(filas));
    QHash<QString, int> envueltos;
    for (qsizetype f = 0; f < filas; ++f) {
        const Tipo& tipo = tipos[size_t(Variante(origen.negrita(f), origen.cursiva(f)))];
        int lineas = 1;
        for (int c = 0; c < columnas; ++c) {
            if (origen.clase(c) != ClaseColumna::Texto) continue;
            const QString t = UnaLinea(origen.texto(f, c));
            const double ancho = d.anchos[size_t(c)] - 2 * d.relleno;
            if (t.size() * tipo.fm.maxWidth() <= ancho) continue;
            if (tipo.Ancho(t) <= ancho) continue;
            QString clave = t;
            clave.prepend(QChar(char16_t(c))).prepend(QChar(char16_t(u'0' + Variante(origen.negrita(f), origen.cursiva(f)))));
            auto it = envueltos.constFind(clave);
            if (it == envueltos.constEnd()) {
                if (envueltos.size() > 100000) envueltos.clear();
                it = envueltos.insert(clave, tipo.Lineas(t, ancho));
            }
            lineas = std::max(lineas, *it);
        }
        altos[size_t(f)] = float(lineas * tipo.fm.lineSpacing() + aire);
    }

    // Where each page starts; a row never straddles two pages, one taller than a page is cut, and a
    // heading does not end a page.
    std::vector<qsizetype> inicios{0};
    {
        const double primero = altoEncabezado + altoTitulos;
        const double siguiente = primero + (opciones.arrastre ? altoSuma : 0);
        double y = primero;
        for (qsizetype f = 0; f < filas; ++f) {
            const double disponible = limite - (inicios.size() == 1 ? primero : siguiente);
            altos[size_t(f)] = float(std::min<double>(altos[size_t(f)], std::max(disponible, interlinea)));
            const double conSiguiente = f + 1 < filas && origen.conSiguiente(f) ? altos[size_t(f) + 1] : 0;
            if (y + altos[size_t(f)] + conSiguiente > limite && f > inicios.back()) {
                inicios.push_back(f);
                y = siguiente;
            }
            y += altos[size_t(f)];
        }
    }
    const int paginas = int(inicios.size());

    QPainter p;
    if (!p.begin(&destino)) return r;
    const QColor color = opciones.color.isValid() ? opciones.color : QColor(Qt::black);
    // The carried totals: one per amount column, named left of the first.
    std::vector<int> sumadas;
    for (int c = 0; c < columnas; ++c)
        if (origen.clase(c) == ClaseColumna::Importe) sumadas.push_back(c);
    std::vector<Importe> sumas(static_cast<size_t>(columnas));
    // An amount is drawn as amounts are, on one line to the right, whatever its column (the ledger's
    // closing line puts the opening balance under a text heading).
    auto celda = [&](double y, double alto, int c, const QString& texto, const Tipo& tipo, bool monto = false) {
        const QRectF rect(d.xs[size_t(c)] + d.relleno, y + aire / 2, d.anchos[size_t(c)] - 2 * d.relleno, alto);
        p.setFont(tipo.fuente);
        switch (monto ? ClaseColumna::Importe : origen.clase(c)) {
        case ClaseColumna::Texto:
            p.drawText(rect, UnaLinea(texto), Tipo::Envoltura());
            break;
        case ClaseColumna::Importe:
        case ClaseColumna::Numero:
            p.drawText(rect, Qt::AlignRight | Qt::AlignTop, UnaLinea(texto));
            break;
        default:
            p.drawText(rect, Qt::AlignLeft | Qt::AlignTop, UnaLinea(texto));
        }
    };
    auto filaSumas = [&](double y, const QString& nombre) {
        p.setPen(Qt::black);
        p.drawLine(QPointF(0, y), QPointF(d.ancho, y));
        // The name stands on one line, ending where the first summed column begins.
        p.setFont(tipos[1].fuente);
        const double finNombre = sumadas.empty() ? d.ancho : d.xs[size_t(sumadas.front())];
        p.drawText(QRectF(d.relleno, y + aire / 2, finNombre - 2 * d.relleno, interlinea), Qt::AlignRight | Qt::AlignTop,
                   nombre);
        for (int c : sumadas)
            celda(y, interlinea, c, sumas[size_t(c)].Texto(opciones.decimal, opciones.miles), tipos[1]);
        return y + altoSuma;
    };
    for (int n = 0; n < paginas; ++n) {
        if (n > 0 && !destino.newPage()) {
            p.end();
            return r;
        }
        p.setPen(Qt::black);
        double y = DibujoEncabezado(&p, &destino, encabezado, base, hoja.width(), n + 1, paginas);
        if (columnas > 0) {
            if (opciones.sombreado) p.fillRect(QRectF(0, y, d.ancho, altoTitulos), QColor(220, 220, 220));
            p.setFont(titulos.fuente);
            for (int c = 0; c < columnas; ++c) {
                const QRectF rect(d.xs[size_t(c)] + d.relleno, y + aire, d.anchos[size_t(c)] - 2 * d.relleno,
                                  altoTitulos - aire);
                QTextOption o = Tipo::Envoltura();
                const ClaseColumna clase = origen.clase(c);
                o.setAlignment((clase == ClaseColumna::Importe || clase == ClaseColumna::Numero ? Qt::AlignRight
                                                                                                 : Qt::AlignLeft) |
                               Qt::AlignTop);
                p.drawText(rect, origen.titulo(c), o);
            }
            p.drawLine(QPointF(0, y + altoTitulos), QPointF(d.ancho, y + altoTitulos));
            y += altoTitulos;
        }
        if (opciones.arrastre && n > 0) y = filaSumas(y, QStringLiteral("Transporte"));
        const qsizetype fin = n + 1 < paginas ? inicios[size_t(n) + 1] : filas;
        for (qsizetype f = inicios[size_t(n)]; f < fin; ++f) {
            const Tipo& tipo = tipos[size_t(Variante(origen.negrita(f), origen.cursiva(f)))];
            const double alto = altos[size_t(f)];
            p.save();
            p.setClipRect(QRectF(0, y, hoja.width(), alto));
            p.setPen(color);
            for (int c = 0; c < columnas; ++c) {
                const QString t = origen.texto(f, c);
                if (!t.isEmpty()) celda(y, alto, c, t, tipo, origen.importe(f, c).has_value());
            }
            p.restore();
            if (opciones.arrastre)
                for (int c : sumadas)
                    if (const std::optional<Importe> i = origen.importe(f, c)) sumas[size_t(c)] += *i;
            y += alto;
        }
        if (opciones.arrastre)
            filaSumas(y, n + 1 < paginas ? QStringLiteral("Suma y sigue") : QStringLiteral("Totales del período"));
    }
    if (!p.end()) return r;
    r.paginas = paginas;
    return r;
}

} // namespace Paginado
