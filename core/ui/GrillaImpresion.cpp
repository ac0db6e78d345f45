// Printing of the grid as shown: the header text, the column header row (shaded on request) and the
// rows with their fonts, visible columns scaled to the page width.
#include "core/ui/GrillaImpresion.h"

#include "core/ui/Grilla.h"
#include "core/ui/GrillaModelo.h"
#include "core/ui/Principal.h"

#include <QFile>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

QList<TramoEncabezado> ParsoEncabezado(const QString& encabezado) {
    QList<TramoEncabezado> tramos;
    TramoEncabezado actual;
    auto cierro = [&] {
        if (!actual.texto.isEmpty()) tramos.append(actual);
        actual.texto.clear();
    };
    const qsizetype n = encabezado.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar ch = encabezado[i];
        if (ch != QLatin1Char('/') || i + 1 >= n) {
            actual.texto += ch;
            ++i;
            continue;
        }
        const QChar c1 = encabezado[i + 1];
        const QChar c2 = i + 2 < n ? encabezado[i + 2] : QChar();
        const QChar c3 = i + 3 < n ? encabezado[i + 3] : QChar();
        if (c1 == QLatin1Char('f') && (c2 == QLatin1Char('b') || c2 == QLatin1Char('i')) &&
            (c3 == QLatin1Char('0') || c3 == QLatin1Char('1'))) {
            cierro();
            (c2 == QLatin1Char('b') ? actual.negrita : actual.cursiva) = c3 == QLatin1Char('1');
            i += 4;
        } else if (c1 == QLatin1Char('f') && c2 == QLatin1Char('z')) {
            qsizetype j = i + 3;
            const bool comillas = j < n && encabezado[j] == QLatin1Char('"');
            if (comillas) ++j;
            const qsizetype inicio = j;
            while (j < n && (encabezado[j].isDigit() || encabezado[j] == QLatin1Char('.')))
                ++j;
            bool ok = false;
            const double puntos = encabezado.mid(inicio, j - inicio).toDouble(&ok);
            if (!ok || puntos <= 0) {
                actual.texto += ch;
                ++i;
                continue;
            }
            if (comillas && j < n && encabezado[j] == QLatin1Char('"')) ++j;
            cierro();
            actual.puntos = puntos;
            i = j;
        } else if (c1 == QLatin1Char('r')) {
            cierro();
            actual.derecha = true;
            i += 2;
        } else if (c1 == QLatin1Char('p')) {
            cierro();
            TramoEncabezado p = actual;
            p.pagina = true;
            tramos.append(p);
            i += 2;
        } else if (c1 == QLatin1Char('n')) {
            cierro();
            ++actual.linea;
            actual.derecha = false;
            i += 2;
        } else {
            actual.texto += ch;
            ++i;
        }
    }
    cierro();
    return tramos;
}

namespace {

QFont FuenteTramo(const QFont& base, const TramoEncabezado& t) {
    QFont f = base;
    if (t.puntos > 0) f.setPointSizeF(t.puntos);
    f.setBold(t.negrita);
    f.setItalic(t.cursiva);
    return f;
}

// Draws the header text at the top of the page; returns its height.
double DibujoEncabezado(QPainter& p, const QList<TramoEncabezado>& tramos, const QFont& base, double ancho,
                        int pagina) {
    if (tramos.isEmpty()) return 0;
    int lineas = 0;
    for (const TramoEncabezado& t : tramos)
        lineas = std::max(lineas, t.linea + 1);
    double y = 0;
    for (int l = 0; l < lineas; ++l) {
        double alto = QFontMetricsF(base, p.device()).height();
        double anchoDerecha = 0;
        for (const TramoEncabezado& t : tramos) {
            if (t.linea != l) continue;
            const QFontMetricsF fm(FuenteTramo(base, t), p.device());
            alto = std::max(alto, fm.height());
            if (t.derecha) anchoDerecha += fm.horizontalAdvance(t.pagina ? QString::number(pagina) : t.texto);
        }
        double xIzq = 0;
        double xDer = ancho - anchoDerecha;
        for (const TramoEncabezado& t : tramos) {
            if (t.linea != l) continue;
            const QFont f = FuenteTramo(base, t);
            const QFontMetricsF fm(f, p.device());
            const QString texto = t.pagina ? QString::number(pagina) : t.texto;
            p.setFont(f);
            double& x = t.derecha ? xDer : xIzq;
            p.drawText(QPointF(x, y + alto - fm.descent()), texto);
            x += fm.horizontalAdvance(texto);
        }
        y += alto;
    }
    return y + QFontMetricsF(base, p.device()).height() * 0.5;
}

} // namespace

int Grilla::ImprimoEn(QPrinter* impresora, const QString& encabezado, bool sombreado) {
    ultimasPaginas = 0;
    QPainter p;
    if (!impresora || !p.begin(impresora)) return 0;
    const QRectF hoja = impresora->pageLayout().paintRectPixels(impresora->resolution());
    const double ancho = hoja.width();
    const double alto = hoja.height();

    QList<int> columnasVisibles;
    double total = 0;
    for (int c = 1; c <= columnas(); ++c)
        if (!isColumnHidden(c) && columnWidth(c) > 0) {
            columnasVisibles << c;
            total += columnWidth(c);
        }
    const double escala = total > 0 ? ancho / total : 1;
    QList<double> xs, anchos;
    double x = 0;
    for (int c : columnasVisibles) {
        xs << x;
        anchos << columnWidth(c) * escala;
        x += columnWidth(c) * escala;
    }

    QFont base = font();
    if (base.pointSizeF() <= 0) base.setPointSizeF(9);
    QFont negrita = base;
    negrita.setBold(true);
    const QList<TramoEncabezado> tramos = ParsoEncabezado(encabezado);
    const double margen = QFontMetricsF(base, impresora).averageCharWidth() * 0.8;
    const double altoLinea = QFontMetricsF(base, impresora).height() * 1.3;
    const double altoTitulos = QFontMetricsF(negrita, impresora).height() * 1.5;
    const QColor color = datos->colorTexto().isValid() ? datos->colorTexto() : QColor(Qt::black);

    int pagina = 1;
    double y = 0;
    auto comienzoPagina = [&] {
        p.setPen(Qt::black);
        y = DibujoEncabezado(p, tramos, base, ancho, pagina);
        if (columnasVisibles.isEmpty()) return;
        const QRectF fila(0, y, x, altoTitulos);
        if (sombreado) p.fillRect(fila, QColor(220, 220, 220));
        p.setFont(negrita);
        p.setPen(Qt::black);
        for (int i = 0; i < columnasVisibles.size(); ++i) {
            const QRectF celda(xs[i] + margen, y, anchos[i] - 2 * margen, altoTitulos);
            p.drawText(celda, Qt::AlignCenter | Qt::TextWordWrap, this->encabezado(columnasVisibles[i]));
        }
        p.drawLine(QPointF(0, y + altoTitulos), QPointF(x, y + altoTitulos));
        y += altoTitulos;
    };
    comienzoPagina();

    QFont fuenteFila = base;
    for (int f = 1; f <= filas() && !columnasVisibles.isEmpty(); ++f) {
        fuenteFila.setBold(datos->negrita(f));
        fuenteFila.setItalic(datos->cursiva(f));
        p.setFont(fuenteFila);
        const QFontMetricsF fm(fuenteFila, impresora);
        double altoFila = altoLinea;
        QStringList textos;
        for (int i = 0; i < columnasVisibles.size(); ++i) {
            const int c = columnasVisibles[i];
            textos << datos->data(datos->index(f - 1, c), Qt::DisplayRole).toString();
            if (datos->tipo(c).clase == TipoCelda::TextoAjustado && !textos.last().isEmpty()) {
                const QRectF r = fm.boundingRect(QRectF(0, 0, anchos[i] - 2 * margen, 1e9), Qt::TextWordWrap,
                                                 textos.last());
                altoFila = std::max(altoFila, r.height() + altoLinea - fm.height());
            }
        }
        altoFila = std::min(altoFila, alto / 2);
        if (y + altoFila > alto) {
            if (!impresora->newPage()) break;
            ++pagina;
            comienzoPagina();
            p.setFont(fuenteFila);
        }
        p.setPen(color);
        for (int i = 0; i < columnasVisibles.size(); ++i) {
            if (textos[i].isEmpty()) continue;
            const int c = columnasVisibles[i];
            const Qt::Alignment a =
                Qt::Alignment(datos->data(datos->index(f - 1, c), Qt::TextAlignmentRole).toInt());
            const QRectF celda(xs[i] + margen, y, anchos[i] - 2 * margen, altoFila);
            if (datos->tipo(c).clase == TipoCelda::TextoAjustado) {
                p.drawText(celda, int(a) | Qt::TextWordWrap, textos[i]);
            } else {
                const QString visible = fm.elidedText(textos[i], Qt::ElideRight, celda.width());
                p.drawText(celda, int(a & ~Qt::AlignVertical_Mask) | Qt::AlignVCenter, visible);
            }
        }
        y += altoFila;
    }
    p.end();
    ultimasPaginas = pagina;
    return pagina;
}

void Grilla::Imprimo(const QString& encabezado, const QString& nombreTrabajo, bool sombreado) {
    // The printer, paper and orientation chosen with the main window's printer setup.
    QPrinter& impresora = ImpresoraComun();
    impresora.setDocName(nombreTrabajo);
    QPrintPreviewDialog vista(&impresora, window());
    vista.setWindowTitle(nombreTrabajo);
    connect(&vista, &QPrintPreviewDialog::paintRequested, this,
            [&](QPrinter* destino) { ImprimoEn(destino, encabezado, sombreado); });
    vista.exec();
}

bool Grilla::ImprimoPdf(const QString& ruta, const QString& encabezado, const QString& nombreTrabajo,
                        bool sombreado) {
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setOutputFormat(QPrinter::PdfFormat);
    impresora.setOutputFileName(ruta);
    impresora.setDocName(nombreTrabajo);
    impresora.setPageSize(QPageSize(QPageSize::A4));
    const int paginas = ImprimoEn(&impresora, encabezado, sombreado);
    return paginas > 0 && QFile::exists(ruta);
}
