#include "tst_paginas.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Valores.h"
#include "demo/Demostracion.h"
#include "reports/Balance.h"
#include "reports/DiarioGeneral.h"
#include "reports/Mayores.h"
#include "reports/ReAjustado.h"
#include "reports/exporto/Exporto.h"
#include "tests/support/Entorno.h"

#include <QHash>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString Salida(const QString& programa, const QStringList& argumentos) {
    QProcess p;
    p.start(programa, argumentos);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

const QRegularExpression Monto("^-?\\d{1,3}(\\.\\d{3})*,\\d{2}$");

QList<Importe> Montos(const QString& linea) {
    QList<Importe> m;
    for (const QString& t : linea.split(' ', Qt::SkipEmptyParts))
        if (Monto.match(t).hasMatch()) {
            QString plano = t;
            plano.remove('.').replace(',', '.');
            m << Importe::DeCentavos(qRound64(plano.toDouble() * 100));
        }
    return m;
}

Importe Suma(const QList<Importe>& l) {
    Importe s;
    for (const Importe& i : l)
        s += i;
    return s;
}

// A ledger-shaped table too wide for an upright page: the widest amounts, long codes and texts.
TablaReporte TablaAncha() {
    TablaReporte t;
    ColumnasMayores(&t);
    // A title too long to share its line with the page number.
    t.titulo = "Mayores entre 01/01/2024 y 31/12/2024 de los deudores y proveedores del exterior en moneda extranjera, por sucursal y moneda";
    t.membrete = {"Empresa de prueba"};
    for (int i = 0; i < 120; ++i) {
        FilaReporte f;
        const Importe mayor = Importe::DeCentavos(99999999999999 - i);
        const QStringList textos = {
            QString("CTA%1").arg(i, 6, 10, QChar('0')),
            QString("1.02.%1.004.0%2").arg(i % 100, 2, 10, QChar('0')).arg(i % 10),
            "Deudores por ventas de la sucursal del interior número " + QString::number(i),
            "IMP" + QString::number(i),
            "Proveedores del exterior en moneda extranjera",
            "31/12/24",
            QString::number(100000 + i),
            "Asiento de ajuste por diferencia de cambio al cierre del ejercicio",
            "Detalle"};
        for (const QString& x : textos)
            f.celdas << CeldaReporte(x);
        f.celdas << CeldaReporte(mayor) << CeldaReporte(mayor) << CeldaReporte(Importe::DeCentavos(-99999999999999 + i));
        t.filas << f;
    }
    return t;
}

} // namespace

void PruebaPaginas::informes_data() {
    QTest::addColumn<QString>("informe");
    for (const char* i : {"balance", "mayores", "diario", "reajustado", "ancho"})
        QTest::newRow(i) << QString(i);
}

// Every report on paper: every date, code, entry number and amount of its table whole (nothing cut,
// no ellipsis), the company, title, "Página: N de M" and the date on every page, a report too wide
// for an upright page turned landscape, and the journal's totals carried from page to page.
void PruebaPaginas::informes() {
    QFETCH(QString, informe);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext no está instalado");
    Entorno entorno;
    const Demostracion::Creacion demo = Demostracion::CreoDemostracion(ContextoActual());
    QVERIFY2(demo.ok, qPrintable(demo.mensaje));
    const int empresa = demo.empresa;
    QSqlQuery q = Consulto("SELECT MAX(NumEjercicio) FROM Ejercicios WHERE EmpresaPropia=?", {empresa});
    QVERIFY(q.next());
    const int ejercicio = q.value(0).toInt();
    const Contexto ctx = Contexto::De(empresa, ejercicio);
    QDate desde, hasta;
    QVERIFY(FechasEjercicio(ctx, &desde, &hasta));
    TablaReporte t;
    QString error;
    bool ok = true;
    if (informe == "balance")
        ok = TablaBalance(ctx, desde, hasta, FiltroSaldos::Todos, &t, &error);
    else if (informe == "mayores")
        ok = TablaMayores(ctx, desde, hasta, {}, &t, &error);
    else if (informe == "diario")
        ok = TablaDiarioGeneral(ctx, desde, hasta, 1, &t, &error);
    else if (informe == "reajustado")
        ok = TablaBalanceReAjustado(ctx, desde, hasta,
                                    ValorCampoTabla(ctx, "Ejercicios", "TablaAjusteInflacion",
                                                    "EmpresaPropia=? AND NumEjercicio=?", {empresa, ejercicio})
                                        .value_or(QVariant())
                                        .toInt(),
                                    hasta, &t, &error);
    else
        t = TablaAncha();
    QVERIFY2(ok, qPrintable(error));
    QVERIFY(t.filas.size() > 10);
    QTemporaryDir d;
    const QString ruta = d.filePath("informe.pdf");
    QVERIFY2(ExportoPdf(t, ruta, &error, u',', u'.'), qPrintable(error));

    const QString texto = Salida("pdftotext", {"-layout", "-enc", "UTF-8", ruta, "-"});
    QVERIFY(!texto.contains(QChar(0x2026)));
    QStringList paginas = texto.split('\f');
    if (paginas.last().trimmed().isEmpty()) paginas.removeLast();
    const int total = int(paginas.size());
    QVERIFY(total >= 1);
    for (int p = 0; p < total; ++p) {
        const QString& pagina = paginas[p];
        QVERIFY2(pagina.contains(QString("Página: %1 de %2").arg(p + 1).arg(total)), qPrintable(pagina.left(400)));
        QVERIFY(pagina.contains(t.titulo.left(30)));
        QVERIFY(pagina.contains(t.membrete.value(0)));
        QVERIFY(pagina.contains("Impreso el "));
        QVERIFY(pagina.contains(t.columnas.last())); // the column titles on every page
    }
    // Nothing drawn over anything else: no two words of a page share any of their area (a long title
    // and its page number, a total's name and the first amount).
    const QString cajas = Salida("pdftotext", {"-bbox", "-enc", "UTF-8", ruta, "-"});
    const QRegularExpression palabra(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
    const QStringList hojas = cajas.split("<page ");
    QVERIFY(hojas.size() > total);
    for (int h = 1; h < hojas.size(); ++h) {
        struct Caja {
            QRectF r;
            QString w;
        };
        QVector<Caja> ws;
        for (auto m = palabra.globalMatch(hojas[h]); m.hasNext();) {
            const QRegularExpressionMatch x = m.next();
            const QRectF r(QPointF(x.captured(1).toDouble(), x.captured(2).toDouble()),
                           QPointF(x.captured(3).toDouble(), x.captured(4).toDouble()));
            ws.push_back({r.adjusted(0.3, 0.3, -0.3, -0.3), x.captured(5)});
        }
        QVERIFY(!ws.isEmpty());
        for (qsizetype i = 0; i < ws.size(); ++i)
            for (qsizetype j = i + 1; j < ws.size(); ++j)
                QVERIFY2(!ws[i].r.intersects(ws[j].r),
                         qPrintable(QString("página %1: \"%2\" sobre \"%3\"").arg(h).arg(ws[i].w, ws[j].w)));
    }

    const QRegularExpressionMatch tamano =
        QRegularExpression("Page size: +([\\d.]+) x ([\\d.]+)").match(Salida("pdfinfo", {ruta}));
    const bool apaisado = tamano.captured(1).toDouble() > tamano.captured(2).toDouble();
    if (informe == "ancho") QVERIFY2(apaisado, qPrintable(tamano.captured(0)));

    // Every figure whole: each date, code, number and amount of the table is a word of the text at
    // least as often as in the table.
    QHash<QString, int> palabras;
    for (const QString& w : texto.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
        ++palabras[w];
    QHash<QString, int> esperadas;
    for (qsizetype f = 0; f < t.filas.size(); ++f)
        for (int c = 0; c < t.columnas.size(); ++c) {
            if (t.Clase(c) == ClaseColumna::Texto) continue;
            const std::optional<Importe> i = t.filas.importe(f, c);
            const QString w = i ? i->Texto(u',', u'.') : t.filas.texto(f, c).trimmed();
            if (!w.isEmpty()) ++esperadas[w];
        }
    for (auto it = esperadas.cbegin(); it != esperadas.cend(); ++it)
        QVERIFY2(palabras.value(it.key()) >= it.value(),
                 qPrintable(QString("%1: %2 de %3").arg(it.key()).arg(palabras.value(it.key())).arg(it.value())));

    if (!t.arrastre) return;
    // The journal: what a page carries forward is what the next one brings, and each page adds its
    // own lines to what it brought; the last page ends with the period's totals.
    Importe debe, haber;
    for (qsizetype f = 0; f < t.filas.size(); ++f) {
        debe += t.filas.importe(f, DiaDebe - 1).value_or(Importe());
        haber += t.filas.importe(f, DiaHaber - 1).value_or(Importe());
    }
    QVERIFY(total > 1);
    QList<Importe> traido{Importe(), Importe()};
    for (int p = 0; p < total; ++p) {
        QList<Importe> transporte, sigue, lineas;
        for (const QString& l : paginas[p].split('\n')) {
            if (l.contains("Transporte"))
                transporte = Montos(l);
            else if (l.contains("Suma y sigue") || l.contains("Totales del período"))
                sigue = Montos(l);
            else
                lineas << Montos(l);
        }
        QCOMPARE(transporte.isEmpty(), p == 0);
        if (p > 0) QCOMPARE(transporte, traido);
        QCOMPARE(sigue.size(), 2);
        QCOMPARE(Suma(sigue) - Suma(traido), Suma(lineas));
        QCOMPARE(paginas[p].contains("Totales del período"), p == total - 1);
        traido = sigue;
    }
    QCOMPARE(traido, (QList<Importe>{debe, haber}));
}
