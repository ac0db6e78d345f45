// The header of printed grids and reports: the grid's header codes and the drawing of a header.
#include "core/paginado/Encabezado.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

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

QString Texto(const TramoEncabezado& t, int pagina, int paginas) {
    if (!t.pagina) return t.texto;
    return t.deTotal ? QString("%1 de %2").arg(pagina).arg(paginas) : QString::number(pagina);
}

QFont FuenteTramo(const QFont& base, const TramoEncabezado& t) {
    QFont f = base;
    if (t.puntos > 0) f.setPointSizeF(t.puntos);
    f.setBold(t.negrita);
    f.setItalic(t.cursiva);
    return f;
}

} // namespace

double DibujoEncabezado(QPainter* p, QPaintDevice* dispositivo, const QList<TramoEncabezado>& tramos,
                        const QFont& base, double ancho, int pagina, int paginas) {
    if (tramos.isEmpty()) return 0;
    int lineas = 0;
    for (const TramoEncabezado& t : tramos)
        lineas = std::max(lineas, t.linea + 1);
    double y = 0;
    for (int l = 0; l < lineas; ++l) {
        double alto = QFontMetricsF(base, dispositivo).height();
        double anchoDerecha = 0, anchoIzquierda = 0;
        for (const TramoEncabezado& t : tramos) {
            if (t.linea != l) continue;
            const QFontMetricsF fm(FuenteTramo(base, t), dispositivo);
            alto = std::max(alto, fm.height());
            (t.derecha ? anchoDerecha : anchoIzquierda) += fm.horizontalAdvance(Texto(t, pagina, paginas));
        }
        // What stands on the right goes down a line when it would run into what stands on the left
        // (a long title and its page number).
        const bool debajo = anchoIzquierda > 0 && anchoIzquierda + anchoDerecha + alto > ancho;
        double xIzq = 0;
        double xDer = ancho - anchoDerecha;
        for (const TramoEncabezado& t : tramos) {
            if (t.linea != l || !p) continue;
            const QFont f = FuenteTramo(base, t);
            const QFontMetricsF fm(f, dispositivo);
            const QString texto = Texto(t, pagina, paginas);
            p->setFont(f);
            double& x = t.derecha ? xDer : xIzq;
            const double yTexto = y + (t.derecha && debajo ? alto : 0) + alto - fm.descent();
            p->drawText(QPointF(x, yTexto), texto);
            x += fm.horizontalAdvance(texto);
        }
        y += debajo ? 2 * alto : alto;
    }
    return y + QFontMetricsF(base, dispositivo).height() * 0.5;
}

QList<TramoEncabezado> EncabezadoInforme(const QStringList& empresa, const QString& titulo,
                                         const QStringList& notas, const QDate& impreso) {
    QList<TramoEncabezado> tramos;
    int linea = 0;
    auto tramo = [&](const QString& texto, double puntos, bool negrita, bool cursiva, bool derecha) {
        TramoEncabezado t;
        t.linea = linea;
        t.texto = texto;
        t.puntos = puntos;
        t.negrita = negrita;
        t.cursiva = cursiva;
        t.derecha = derecha;
        tramos.append(t);
        return &tramos.last();
    };
    const QString fecha = "Impreso el " + impreso.toString("dd/MM/yyyy");
    for (int i = 0; i < empresa.size(); ++i, ++linea) {
        tramo(empresa[i], i == 0 ? 10 : 8, i == 0, false, false);
        if (i == 0) tramo(fecha, 8, false, false, true);
    }
    tramo(titulo, 12, true, true, false);
    tramo("Página: ", 12, true, true, true);
    TramoEncabezado* numero = tramo(QString(), 12, true, true, true);
    numero->pagina = numero->deTotal = true;
    ++linea;
    if (empresa.isEmpty()) {
        tramo(fecha, 8, false, false, true);
        if (notas.isEmpty()) ++linea;
    }
    for (const QString& n : notas) {
        tramo(n, 9, false, true, false);
        ++linea;
    }
    return tramos;
}
