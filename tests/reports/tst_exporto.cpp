#include "tst_exporto.h"
#include "core/AppState.h"

#include "core/Basedatos.h"
#include "core/DireccionPostgres.h"
#include "core/Contrasenas.h"
#include "core/Dialecto.h"
#include "core/Motor.h"
#include "core/Valores.h"
#include "core/ui/Grilla.h"
#include "core/ui/GrillaModelo.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "journal/Asiento.h"
#include "reports/Balance.h"
#include "reports/exporto/Exporto.h"
#include "reports/ui/RegistroReportes.h"
#include "reports/ui/VuelcoTabla.h"
#include "reports/ui/frmRptBalance.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QXmlStreamReader>

Q_DECLARE_METATYPE(LecturaLineas)
Q_DECLARE_METATYPE(QList<FilaReporte>)

#ifndef PARTIDEX_INFORME
#define PARTIDEX_INFORME "partidex-informe"
#endif

namespace {

// A table with what breaks naive writers: separators, quotes, line breaks, blanks at either end,
// accents, a formula-looking text, missing trailing cells, negative and large amounts, every font.
TablaReporte TablaDificil(int repeticiones) {
    TablaReporte t;
    t.titulo = "Balance Sumas y Saldos entre 01/01/2024 y 31/12/2024";
    t.columnas = {"Cód. Jerárquico", "Descripción", "Cod Int.", "Debe", "Haber"};
    t.importes = {false, false, false, true, true};
    auto fila = [](FuenteFila f, QVector<CeldaReporte> c) {
        FilaReporte r;
        r.celdas = c;
        r.fuente = f;
        return r;
    };
    for (int i = 0; i < repeticiones; ++i) {
        const QString n = QString::number(i + 1);
        t.filas << fila(FuenteFila::Negrita,
                        {n, QStringLiteral("ACTIVO, \"corriente\""), QStringLiteral("A")})
                << fila(FuenteFila::Normal, {"   " + n + ".1", QStringLiteral("Caja\ny bancos"), QString(),
                                             Importe::DeCentavos(123456789), Importe::DeCentavos(-1)})
                << fila(FuenteFila::NegritaCursiva, {QString(), "   Total ACTIVO " + n, QString(), Importe(),
                                                     Importe::DeCentavos(9999999999)})
                << fila(FuenteFila::Cursiva,
                        {QStringLiteral("=1+1"), QStringLiteral(" ;tab\t"), QStringLiteral("ñandú €"),
                         std::optional<Importe>(), Importe::DeUnidades(5)})
                << fila(FuenteFila::Normal, {"solo " + n});
    }
    return t;
}

QString Esperado(const FilaReporte& f, int c) {
    const CeldaReporte x = c < f.celdas.size() ? f.celdas[c] : CeldaReporte();
    return x.importe ? x.importe->TextoPlano() : x.texto;
}

// RFC 4180 reading: quoted fields, doubled quotes, breaks inside quotes, CRLF between records; the
// byte-order mark is left out.
QList<QStringList> LeoCsv(const QByteArray& bytes, QChar separador = u',') {
    const QString t = QString::fromUtf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    QList<QStringList> filas;
    QStringList fila;
    QString campo;
    bool comillas = false;
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (comillas) {
            if (c == '"' && i + 1 < t.size() && t[i + 1] == '"')
                campo += c, ++i;
            else if (c == '"')
                comillas = false;
            else
                campo += c;
        } else if (c == '"') {
            comillas = true;
        } else if (c == separador) {
            fila << campo, campo.clear();
        } else if (c == '\r' && i + 1 < t.size() && t[i + 1] == '\n') {
            fila << campo, campo.clear(), filas << fila, fila.clear(), ++i;
        } else {
            campo += c;
        }
    }
    if (!campo.isEmpty() || !fila.isEmpty()) filas << (fila << campo);
    return filas;
}

QByteArray Unzip(const QString& archivo, const QString& parte) {
    QProcess p;
    p.start("unzip", {"-p", archivo, parte});
    p.waitForFinished();
    return p.readAllStandardOutput();
}

// A cell of the first sheet of a workbook: its text or number and the font and format of its style.
struct CeldaXlsx {
    QString texto;
    bool numero = false;
    bool negrita = false;
    bool cursiva = false;
    QString formato;
};

QHash<QPair<int, int>, CeldaXlsx> LeoXlsx(const QString& archivo) {
    // Styles: fonts, number formats, and the cell formats that join them.
    QXmlStreamReader e(Unzip(archivo, "xl/styles.xml"));
    QList<QPair<bool, bool>> fuentes;
    QHash<int, QString> formatos;
    QList<QPair<int, int>> xfs; // (font, number format)
    bool enCeldas = false;
    while (!e.atEnd()) {
        e.readNext();
        if (e.isEndElement() && e.name() == u"cellXfs") enCeldas = false;
        if (!e.isStartElement()) continue;
        if (e.name() == u"font") fuentes << qMakePair(false, false);
        if (e.name() == u"b" && !fuentes.isEmpty()) fuentes.last().first = true;
        if (e.name() == u"i" && !fuentes.isEmpty()) fuentes.last().second = true;
        if (e.name() == u"numFmt")
            formatos[e.attributes().value("numFmtId").toInt()] =
                e.attributes().value("formatCode").toString();
        if (e.name() == u"cellXfs") enCeldas = true;
        if (e.name() == u"xf" && enCeldas)
            xfs << qMakePair(e.attributes().value("fontId").toInt(),
                             e.attributes().value("numFmtId").toInt());
    }
    QHash<QPair<int, int>, CeldaXlsx> celdas;
    QXmlStreamReader h(Unzip(archivo, "xl/worksheets/sheet1.xml"));
    QPair<int, int> donde;
    while (!h.atEnd()) {
        h.readNext();
        if (!h.isStartElement()) continue;
        if (h.name() == u"c") {
            const QString ref = h.attributes().value("r").toString();
            int col = 0, i = 0;
            for (; i < ref.size() && ref[i].isLetter(); ++i)
                col = col * 26 + (ref[i].unicode() - 'A' + 1);
            donde = qMakePair(col, ref.mid(i).toInt());
            CeldaXlsx c;
            const auto [fuente, formato] = xfs.value(h.attributes().value("s").toInt());
            c.negrita = fuentes.value(fuente).first;
            c.cursiva = fuentes.value(fuente).second;
            c.formato = formatos.value(formato);
            c.numero = h.attributes().value("t").isEmpty(); // until it shows no value
            celdas[donde] = c;
        } else if (h.name() == u"v" || h.name() == u"t") {
            celdas[donde].texto = h.readElementText();
        }
    }
    for (CeldaXlsx& c : celdas)
        c.numero = c.numero && !c.texto.isEmpty(); // a blank cell keeps only its format
    return celdas;
}

QString Pdftotext(const QString& archivo) {
    QProcess p;
    p.start("pdftotext", {"-layout", "-enc", "UTF-8", archivo, "-"});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

void Cuenta(int cuenta, int padre, int numHijo, const QString& descripcion, const QVariant& codInt) {
    QVERIFY(
        Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, CuentaPadre, "
                "NumHijo) VALUES (1, 1, ?, ?, ?, ?, ?)",
                {cuenta, codInt, descripcion, padre, numHijo})
            .ok);
}

// A year with a sale, a purchase and the cents that cancel on one account; an account without lines.
void LibroChico(Entorno& e) {
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    Cuenta(9, 1, 3, "SIN, MOVIMIENTO", {});
    const struct {
        int asiento;
        const char* fecha;
        int cuenta;
        qint64 centavos;
    } lineas[] = {{1, "2024-02-01", 2, 123456789}, {1, "2024-02-01", 7, -123456789}, {2, "2024-03-01", 8, 10},
                  {2, "2024-03-01", 8, 20},        {2, "2024-03-01", 8, -30},        {3, "2024-12-31", 5, -1},
                  {3, "2024-12-31", 3, 1}};
    for (const auto& l : lineas) {
        Ejecuto(Dialecto::InsertoOIgnoro(
                    "Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) VALUES (1, 1, ?, ?)"),
                {l.asiento, l.fecha});
        QVERIFY(
            Ejecuto(
                "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                "VALUES (1, 1, ?, (SELECT COUNT(*) + 1 FROM DetAsientos WHERE Asiento = ?), ?, ?)",
                {l.asiento, l.asiento, l.cuenta, Importe::DeCentavos(l.centavos).ValorSql()})
                .ok);
    }
}

// The balance of LibroChico over the whole year, as CSV lines (with "," between fields): the codes
// without their indent and the level beside them, the grand totals at the end. (The byte-order mark
// that opens the file is dropped by the UTF-8 reading; the test of the CSV fields checks it.)
const QStringList BalanceCsv = {
    "Cód. Jerárquico,Nivel,Desc. Sumar.,Descripción Imputable,Cod Int.,Sumas Debe,Sumas Haber,Saldo "
    "Debe,Saldo Haber",
    "1,1,ACTIVO,,A,,,,",
    "1.1,2,,CAJA,CAJA,1234567.89,0.00,1234567.89,",
    "1.2,2,,BANCOS,BCO,0.01,0.00,0.01,",
    "1.3,2,,\"SIN, MOVIMIENTO\",,0.00,0.00,0.00,",
    ",1,Total ACTIVO,,,1234567.90,0.00,1234567.90,",
    "2,1,PASIVO,,P,,,,",
    "2.1,2,,PROVEEDORES,PROV,0.00,0.01,,0.01",
    ",1,Total PASIVO,,,0.00,0.01,,0.01",
    "3,1,RESULTADOS,,R,,,,",
    "3.1,2,,VENTAS,VTAS,0.00,1234567.89,,1234567.89",
    "3.2,2,,GASTOS,GTOS,0.30,0.30,0.00,",
    ",1,Total RESULTADOS,,,0.30,1234568.19,,1234567.89",
    ",,Totales generales,,,1234568.20,1234568.20,1234567.90,1234567.90",
};

QStringList Lineas(const QString& archivo) {
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList l = QString::fromUtf8(f.readAll()).split("\r\n");
    if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
    return l;
}

} // namespace

void PruebaExporto::archivos_data() {
    QTest::addColumn<QString>("extension");
    QTest::addColumn<int>("repeticiones");
    QTest::newRow("csv") << "csv" << 2;
    QTest::newRow("xlsx") << "xlsx" << 2;
    QTest::newRow("pdf de una página") << "pdf" << 1;
    QTest::newRow("pdf de varias páginas") << "pdf" << 40;
}

void PruebaExporto::archivos() {
    QFETCH(QString, extension);
    QFETCH(int, repeticiones);
    QTemporaryDir d;
    const TablaReporte t = TablaDificil(repeticiones);
    const QString ruta = d.filePath("informe." + extension);
    QString error;
    QVERIFY2(extension == "pdf" ? ExportoPdf(t, ruta, &error, u',', u'.') : ExportoTabla(t, ruta, &error, u';'),
             qPrintable(error));

    if (extension == "csv") {
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QStringList> leido = LeoCsv(f.readAll(), u';');
        QCOMPARE(leido.size(), t.filas.size() + 1);
        QCOMPARE(leido[0], t.columnas);
        // With ";" between fields the amounts take a decimal comma; the formula stays text.
        for (int i = 0; i < t.filas.size(); ++i)
            for (int c = 0; c < t.columnas.size(); ++c) {
                const CeldaReporte x = c < t.filas[i].celdas.size() ? t.filas[i].celdas[c] : CeldaReporte();
                const QString esperado = x.importe            ? x.importe->TextoPlano().replace('.', ',')
                                         : x.texto == "=1+1" ? "'=1+1"
                                                              : x.texto;
                QCOMPARE(leido[i + 1].value(c, "<falta>"), esperado);
            }
    } else if (extension == "xlsx") {
        if (QStandardPaths::findExecutable("unzip").isEmpty()) QSKIP("unzip no está instalado");
        const QHash<QPair<int, int>, CeldaXlsx> h = LeoXlsx(ruta);
        QCOMPARE(h.value({1, 1}).texto, t.titulo);
        QVERIFY(h.value({1, 1}).negrita && h.value({1, 1}).cursiva);
        for (int c = 0; c < t.columnas.size(); ++c)
            QCOMPARE(h.value({c + 1, 2}).texto, t.columnas[c]);
        for (int i = 0; i < t.filas.size(); ++i) {
            const FilaReporte& f = t.filas[i];
            for (int c = 0; c < t.columnas.size(); ++c) {
                const CeldaXlsx x = h.value({c + 1, i + 3});
                const QString donde = QString("fila %1 columna %2").arg(i + 3).arg(c + 1);
                const CeldaReporte esperada = c < f.celdas.size() ? f.celdas[c] : CeldaReporte();
                QVERIFY2(x.numero == esperada.importe.has_value(), qPrintable(donde));
                const QString leido = x.numero ? Importe::DeDouble(x.texto.toDouble()).TextoPlano() : x.texto;
                QCOMPARE(leido, Esperado(f, c));
                if (x.texto.isEmpty() && f.fuente == FuenteFila::Normal) continue; // no cell written
                QVERIFY2(x.negrita ==
                             (f.fuente == FuenteFila::Negrita || f.fuente == FuenteFila::NegritaCursiva),
                         qPrintable(donde));
                QVERIFY2(x.cursiva ==
                             (f.fuente == FuenteFila::Cursiva || f.fuente == FuenteFila::NegritaCursiva),
                         qPrintable(donde));
                if (t.importes[c]) QCOMPARE(x.formato, QString("#,##0.00"));
            }
        }
    } else {
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        const int paginas = int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"));
        QCOMPARE(paginas > 1, repeticiones > 1);
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext no está instalado");
        const QStringList texto = Pdftotext(ruta).split('\n');
        const QStringList titulos = texto.filter(t.titulo);
        QCOMPARE(titulos.size(), paginas); // the title on every page, with its number on the right
        for (int p = 1; p <= paginas; ++p)
            QVERIFY(titulos[p - 1].trimmed().endsWith(QString("Página: %1 de %2").arg(p).arg(paginas)));
        // Each row on one line: the amounts after the texts, right-aligned with the system's separators.
        for (int i = 0; i < repeticiones; ++i) {
            const QRegularExpression total(
                QString("^ *Total ACTIVO %1 +0,00 +99\\.999\\.999,99$").arg(i + 1));
            QCOMPARE(texto.filter(total).size(), 1);
        }
        QCOMPARE(texto.filter(QRegularExpression("Caja y bancos +1\\.234\\.567,89 +-0,01$")).size(),
                 repeticiones);
        // Right-aligned: amounts of different widths end together in their column.
        const QString caja = texto.filter("Caja y bancos").value(0),
                      total = texto.filter("Total ACTIVO 1 ").value(0);
        const int finCaja = int(caja.lastIndexOf("-0,01")) + 5,
                  finTotal = int(total.lastIndexOf("99.999.999,99")) + 13;
        QVERIFY2(std::abs(finCaja - finTotal) <= 1, qPrintable(caja + "\n" + total));
        QCOMPARE(texto.filter(QRegularExpression("^ *=1\\+1 +;tab +ñandú € +5,00$")).size(), repeticiones);
    }
}

void PruebaExporto::csv_data() {
    QTest::addColumn<QString>("separador");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("monto"); // an amount cell instead of the text, as "1234.50"
    QTest::addColumn<QString>("linea");  // the row as written
    QTest::newRow("fórmula") << ";" << "=HYPERLINK(\"http://x\";\"y\")" << ""
                             << "\"'=HYPERLINK(\"\"http://x\"\";\"\"y\"\")\"";
    QTest::newRow("más") << "," << "+54 11 4000" << "" << "'+54 11 4000";
    QTest::newRow("arroba") << "," << "@SUMA(A1)" << "" << "'@SUMA(A1)";
    QTest::newRow("tabulador") << "," << "\t=1" << "" << "\"'\t=1\"";
    QTest::newRow("retorno") << "," << "\r=1" << "" << "\"'\r=1\"";
    QTest::newRow("menos y texto") << "," << "-A1+B1" << "" << "'-A1+B1";
    QTest::newRow("menos y cuenta") << "," << "-2+3" << "" << "'-2+3";
    QTest::newRow("menos y número") << "," << "-12" << "" << "-12";
    QTest::newRow("menos y decimal") << ";" << "-12,50" << "" << "-12,50";
    QTest::newRow("blancos y fórmula") << "," << "  =1" << "" << "'  =1";
    QTest::newRow("guion en el medio") << "," << "Caja - bancos" << "" << "Caja - bancos";
    QTest::newRow("separador en el texto") << ";" << "Caja; bancos, otros" << "" << "\"Caja; bancos, otros\"";
    QTest::newRow("coma con punto y coma") << ";" << "Caja, bancos" << "" << "Caja, bancos";
    QTest::newRow("monto con coma decimal") << ";" << "" << "-1234.50" << "-1234,50";
    QTest::newRow("monto con punto decimal") << "," << "" << "-1234.50" << "-1234.50";
    QTest::newRow("monto grande") << ";" << "" << "999999999999.99" << "999999999999,99";
}

void PruebaExporto::csv() {
    QFETCH(QString, separador);
    QFETCH(QString, texto);
    QFETCH(QString, monto);
    QFETCH(QString, linea);
    TablaReporte t;
    t.columnas = {"Concepto"};
    FilaReporte f;
    f.celdas = {monto.isEmpty() ? CeldaReporte(texto) : CeldaReporte(*Importe::Leo(monto, nullptr, u'.'))};
    t.filas << f;
    QTemporaryDir d;
    QString error;
    QVERIFY2(ExportoCsv(t, d.filePath("c.csv"), &error, separador[0]), qPrintable(error));
    QFile archivo(d.filePath("c.csv"));
    QVERIFY(archivo.open(QIODevice::ReadOnly));
    const QByteArray bytes = archivo.readAll();
    QCOMPARE(bytes, "\xEF\xBB\xBF" "Concepto\r\n" + linea.toUtf8() + "\r\n");
    // Read back, the field is the text itself, behind the apostrophe when it looked like a formula.
    const QString leido = LeoCsv(bytes, separador[0]).value(1).value(0);
    QCOMPARE(leido.startsWith('\'') ? leido.mid(1) : leido, monto.isEmpty() ? texto : linea);
}

void PruebaExporto::hojas_data() {
    QTest::addColumn<QString>("extension");
    QTest::newRow("csv") << "csv";
    QTest::newRow("xlsx") << "xlsx";
}

// A hierarchical table with dates, entry numbers, indented codes, levels and a hidden value: what the
// spreadsheets must receive as dates, numbers and plain codes, with the levels as outline levels.
void PruebaExporto::hojas() {
    QFETCH(QString, extension);
    TablaReporte t;
    t.titulo = "Prueba";
    t.columnas = {"Fecha", "Asiento", "Cód.", "Descripción", "Importe"};
    t.importes = {false, false, false, false, true};
    t.clases = {ClaseColumna::Fecha, ClaseColumna::Numero, ClaseColumna::Codigo, ClaseColumna::Texto,
                ClaseColumna::Importe};
    t.tituloOculto = "Asiento registrado";
    t.ocultoTras = 1;
    auto fila = [](QVector<CeldaReporte> c, const QString& oculto, FuenteFila fuente = FuenteFila::Normal) {
        FilaReporte f;
        f.celdas = c;
        f.oculto = oculto;
        f.fuente = fuente;
        return f;
    };
    using S = QString;
    t.filas << fila({S("31/12/2024"), S("12"), S("1"), S("ACTIVO")}, "43", FuenteFila::Negrita)
            << fila({S("05/03/24"), S("7"), S("   1.01"), S("Caja"), Importe::DeCentavos(123450)}, "42")
            << fila({S("05/03/24 10:20:30"), S("x"), S("      1.01.003"), S("Sub"), Importe::DeCentavos(-5)}, "")
            << fila({S(), S(), S(), S("Totales"), Importe()}, "", FuenteFila::Negrita);
    t.niveles = {1, 2, 3, 0};
    t.totales = {3};
    QTemporaryDir d;
    const QString ruta = d.filePath("h." + extension);
    QString error;
    QVERIFY2(ExportoTabla(t, ruta, &error, u','), qPrintable(error));
    if (extension == "csv") {
        QCOMPARE(Lineas(ruta), (QStringList{"Fecha,Asiento,Asiento registrado,Cód.,Nivel,Descripción,Importe",
                                            "31/12/2024,12,43,1,1,ACTIVO,", "05/03/24,7,42,1.01,2,Caja,1234.50",
                                            "05/03/24 10:20:30,x,,1.01.003,3,Sub,-0.05",
                                            ",,,,,Totales,0.00"}));
        return;
    }
    if (QStandardPaths::findExecutable("unzip").isEmpty()) QSKIP("unzip no está instalado");
    const QHash<QPair<int, int>, CeldaXlsx> h = LeoXlsx(ruta);
    // Columns: Fecha, Asiento, Asiento registrado, Cód., Descripción, Importe; rows from the third.
    // Dates are days since 1899-12-30 (45292 is 01/01/2024), with the time as the fraction.
    const struct {
        int columna, fila;
        QString texto;
        bool numero;
        QString formato;
    } celdas[] = {
        {1, 3, "45657", true, "dd/mm/yyyy"},       {2, 3, "12", true, ""},     {3, 3, "43", true, ""},
        {4, 3, "1", false, ""},                     {1, 4, "45356", true, "dd/mm/yyyy"},
        {2, 4, "7", true, ""},                      {3, 4, "42", true, ""},     {4, 4, "1.01", false, ""},
        {6, 4, "1234.5", true, "#,##0.00"},         {2, 5, "x", false, ""},     {4, 5, "1.01.003", false, ""},
        {6, 5, "-0.05", true, "#,##0.00"},          {5, 6, "Totales", false, ""}, {6, 6, "0", true, "#,##0.00"},
    };
    for (const auto& c : celdas) {
        const CeldaXlsx x = h.value({c.columna, c.fila});
        const QString donde = QString("fila %1 columna %2: %3").arg(c.fila).arg(c.columna).arg(x.texto);
        QVERIFY2(x.texto == c.texto && x.numero == c.numero && x.formato == c.formato, qPrintable(donde));
    }
    const CeldaXlsx hora = h.value({1, 5});
    QCOMPARE(hora.formato, QString("dd/mm/yyyy hh:mm:ss"));
    QCOMPARE(qRound64(hora.texto.toDouble() * 86400), qint64(45356) * 86400 + 10 * 3600 + 20 * 60 + 30);
    // The outline: levels 2 and 3 fold one and two steps in, under the rows of level 1.
    QHash<int, int> contorno;
    QXmlStreamReader x(Unzip(ruta, "xl/worksheets/sheet1.xml"));
    while (!x.atEnd())
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == u"row")
            contorno[x.attributes().value("r").toInt()] = x.attributes().value("outlineLevel").toInt();
    QCOMPARE(contorno.value(3), 0);
    QCOMPARE(contorno.value(4), 1);
    QCOMPARE(contorno.value(5), 2);
    QCOMPARE(contorno.value(6), 0);
}

void PruebaExporto::errores_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("mensaje");
    for (const char* ext : {"csv", "xlsx", "pdf"})
        QTest::newRow(ext) << QString("no/existe/informe.") + ext << "No se pudo escribir el archivo %1: ";
    QTest::newRow("sin extensión conocida")
        << "informe.txt"
        << "No se pudo escribir el archivo %1: el nombre debe terminar en "
           ".pdf, .csv o .xlsx";
}

void PruebaExporto::errores() {
    QFETCH(QString, nombre);
    QFETCH(QString, mensaje);
    QTemporaryDir d;
    const QString ruta = d.filePath(nombre);
    QString error;
    QVERIFY(!ExportoTabla(TablaDificil(1), ruta, &error));
    QVERIFY2(error.startsWith(mensaje.arg(ruta)), qPrintable(error));
    QVERIFY(!QFile::exists(ruta));
    QCOMPARE(QDir(d.path()).entryList(QDir::Files | QDir::Hidden).size(), 0); // no scratch file left
}

void PruebaExporto::informe_data() {
    QTest::addColumn<QStringList>("argumentos");
    QTest::addColumn<int>("estado");
    QTest::addColumn<QString>("mensaje");
    const QStringList base = {"--empresa", "1", "--ejercicio", "1"};
    QTest::newRow("ayuda") << QStringList{"--help"} << 0 << "Uso: partidex-informe";
    QTest::newRow("sin archivo") << QStringList{"balance"} << 2
                                 << "Indique el informe y el archivo de salida.";
    QTest::newRow("opción desconocida")
        << QStringList{"balance", "b.csv", "--moneda", "x"} << 2 << "Opción desconocida: --moneda";
    QTest::newRow("informe desconocido")
        << (QStringList{"ventas", "b.csv"} + base) << 2 << "Informe desconocido: ventas";
    QTest::newRow("extensión") << (QStringList{"balance", "b.txt"} + base) << 2
                               << "El archivo de salida debe terminar en .pdf, .csv o .xlsx";
    QTest::newRow("empresa desconocida")
        << QStringList{"balance", "b.csv", "--empresa", "7"} << 2 << "No existe la empresa 7";
    QTest::newRow("ejercicio desconocido")
        << QStringList{"balance", "b.csv", "--empresa", "1", "--ejercicio", "2"} << 2
        << "No existe el ejercicio 2 de la empresa 1";
    QTest::newRow("fecha fuera del ejercicio")
        << (QStringList{"balance", "b.csv", "--desde", "31/12/2023"} + base) << 2
        << "Las fechas deben estar dentro del ejercicio, del 01/01/2024 al 31/12/2024.";
    QTest::newRow("filtro desconocido") << (QStringList{"balance", "b.csv", "--saldos", "algunos"} + base)
                                        << 2 << "Filtro de saldos desconocido: algunos";
    QTest::newRow("archivo que no se puede escribir")
        << (QStringList{"balance", "no/existe/b.csv"} + base) << 2
        << "No se pudo escribir el archivo no/existe/b.csv: la carpeta @carpeta/no/existe no existe";
    QTest::newRow("mayores de una cuenta")
        << (QStringList{"mayores", "m.csv", "--cuentas", "CAJA"} + base) << 0 << "";
    QTest::newRow("diario") << (QStringList{"diario", "d.xlsx", "--desde-asiento", "5"} + base) << 0 << "";
    QTest::newRow("reajustado sin tabla")
        << (QStringList{"reajustado", "r.csv"} + base) << 2 << "El ejercicio no indica tabla de ajuste";
    QTest::newRow("índices sin tabla")
        << (QStringList{"indices", "i.csv"} + base) << 2 << "Indique la tabla de índices con --tabla";
    QTest::newRow("balance del año") << (QStringList{"balance", "b.csv"} + base) << 0 << "";
    QTest::newRow("balance con punto y coma")
        << (QStringList{"balance", "b.csv", "--csv-separador", "punto-y-coma"} + base) << 0 << "";
    QTest::newRow("balance en castellano: punto y coma") << (QStringList{"balance", "b.csv", "@es"} + base) << 0
                                                         << "";
    QTest::newRow("en castellano, con coma pedida")
        << (QStringList{"balance", "b.csv", "@es", "--csv-separador", ","} + base) << 0 << "";
    QTest::newRow("separador desconocido") << (QStringList{"balance", "b.csv", "--csv-separador", "|"} + base)
                                           << 2 << "Separador de CSV desconocido: |";
    QTest::newRow("fechas invertidas")
        << (QStringList{"balance", "b.csv", "--desde", "31/12/2024", "--hasta", "01/01/2024"} + base) << 2
        << "La fecha --desde (31/12/2024) es posterior a --hasta (01/01/2024).";
    QTest::newRow("cuenta desconocida") << (QStringList{"mayores", "m.csv", "--cuentas", "CAJA,NADA"} + base)
                                        << 2 << "No hay ninguna cuenta de código abreviado \"NADA\"";
    QTest::newRow("tabla de índices desconocida")
        << (QStringList{"reajustado", "r.csv", "--tabla", "9"} + base) << 2 << "No existe la tabla de índices 9.";
    QTest::newRow("importación a una tabla desconocida")
        << (QStringList{"indices", "i.csv", "--tabla", "9"} + base) << 2 << "No existe la tabla de índices 9.";
    QTest::newRow("una carpeta con nombre de archivo")
        << (QStringList{"balance", "carpeta.csv"} + base) << 2
        << "No se pudo escribir el archivo carpeta.csv: ese nombre es el de una carpeta";
    QTest::newRow("base indicada") << (QStringList{"balance", "b.csv", "--base", "@base"} + base) << 0 << "";
    // A server address naming no login: the command logs in to the server as its user.
    QTest::newRow("base indicada, con el login del usuario")
        << (QStringList{"balance", "b.csv", "--base", "@base-del-usuario"} + base) << 0 << "";
    QTest::newRow("base indicada, con el login del usuario y contraseña incorrecta")
        << (QStringList{"balance", "b.csv", "--base", "@base-del-usuario", "@clave-mala"} + base) << 2
        << "Lo siento, Identificación o contraseña incorrecta";
    QTest::newRow("último ejercicio, empresa por nombre")
        << QStringList{"balance", "b.csv", "--empresa", "empresa de prueba 1"} << 0 << "";
    QTest::newRow("hasta el 30/12 sin saldos 0")
        << (QStringList{"balance", "b.csv", "--hasta", "30/12/2024", "--saldos", "sin-saldos-0"} + base) << 0
        << "";
    QTest::newRow("pdf") << (QStringList{"balance", "b.pdf"} + base) << 0 << "";
    QTest::newRow("historial de un período") << (QStringList{"historial", "h.xlsx", "--desde", "01/01/2020"} + base)
                                             << 0 << "";
    QTest::newRow("historial con fecha mala")
        << (QStringList{"historial", "h.csv", "--hasta", "31/02/2024"} + base) << 2
        << "La fecha de hasta no es válida: 31/02/2024";
    QTest::newRow("historial verificado sin archivo")
        << QStringList{"historial", "--verifico"} << 0 << "El historial de asientos está vacío";
    // Who runs it: a Partidex user with his password, within what his profile allows.
    QTest::newRow("sin usuario") << (QStringList{"balance", "b.csv", "@sinusuario"} + base) << 2
                                 << "Indique el usuario de Partidex con --usuario NOMBRE.";
    QTest::newRow("contraseña incorrecta") << (QStringList{"balance", "b.csv", "@clave-mala"} + base) << 2
                                           << "Lo siento, Identificación o contraseña incorrecta";
    // The password is checked while the report is read: what the books would have said waits for it.
    for (const QStringList& pedido : {QStringList{"mayores", "m.csv", "--cuentas", "NADA"} + base,
                                      QStringList{"balance", "b.csv", "--empresa", "9"},
                                      QStringList{"diario", "d.csv", "--hasta", "31/12/2030"} + base,
                                      QStringList{"historial", "h.csv"} + base})
        QTest::newRow(qPrintable(pedido.first() + ", contraseña incorrecta"))
            << (pedido + QStringList{"@clave-mala"}) << 2 << "Lo siento, Identificación o contraseña incorrecta";
    QTest::newRow("perfil sin el balance")
        << (QStringList{"balance", "b.csv", "@operador"} + base) << 2
        << "No se puede hacer el pedido: su perfil no le permite consultar en «Balance Sumas y Saldos».";
    QTest::newRow("perfil con los mayores")
        << (QStringList{"mayores", "m.csv", "--cuentas", "CAJA", "@operador"} + base) << 0 << "";
}

void PruebaExporto::informe() {
    QFETCH(QStringList, argumentos);
    QFETCH(int, estado);
    QFETCH(QString, mensaje);
    Entorno e;
    LibroChico(e);
    QProcess p;
    p.setWorkingDirectory(e.Carpeta());
    ServidorPostgres delUsuario = ServidorDe(e.RutaBase());
    delUsuario.usuario.clear();
    argumentos.replaceInStrings("@base-del-usuario",
                                EsDireccionPostgres(e.RutaBase()) ? DireccionPostgres(delUsuario) : e.RutaBase());
    argumentos.replaceInStrings("@base", e.RutaBase()); // the test's books: a file or a server's address
    // The separator follows the system's numbers unless the command names one.
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    const bool castellano = argumentos.removeAll("@es") > 0;
    entorno.insert("LC_ALL", castellano ? "es_AR.UTF-8" : "C");
    p.setProcessEnvironment(entorno);
    QDir().mkpath(e.Ruta("carpeta.csv"));
    mensaje.replace("@carpeta", e.Carpeta());
    QStringList usuario = {"--usuario", "admin"};
    QString clave = "ADMIN";
    int numero = 1;
    if (argumentos.removeAll("@sinusuario")) usuario.clear();
    if (argumentos.removeAll("@clave-mala")) clave = "mala";
    if (argumentos.removeAll("@operador")) {
        // An operator whose profile has the ledgers but not the trial balance.
        QVERIFY(Ejecuto("INSERT INTO Usuarios (Usuario, NombreCorto, descUsuario, Perfil, Contrasena, Activo) "
                        "VALUES (4, 'OPER', 'Operador', 2, ?, -1)",
                        {HashContrasena("oper")})
                    .ok);
        QVERIFY(Ejecuto("UPDATE Permisos SET TipoHabilitacion=0 WHERE Perfil=2 AND Modulo=(SELECT Modulo FROM "
                        "Modulos WHERE nomModulo='frmRptBalance')")
                    .ok);
        usuario = QStringList{"--usuario", "OPER"};
        clave = "oper";
        numero = 4;
    }
    entorno.insert("PARTIDEX_CONTRASENA", clave);
    p.setProcessEnvironment(entorno);
    p.start(PARTIDEX_INFORME, QStringList{"--carpeta", e.Carpeta()} + usuario + argumentos);
    QVERIFY(p.waitForFinished(60000));
    // Each request run goes to the history in its user's name (the check of the history writes nothing);
    // one refused to its user leaves no record.
    const int registros = Cuento("HistorialAsientos", "Tipo=7 AND Usuario=?", {numero});
    if (estado == 0 && !argumentos.contains("--help")) QCOMPARE(registros, argumentos.contains("--verifico") ? 0 : 1);
    for (const char* rechazo : {"Indique el usuario", "Lo siento", "No se puede hacer el pedido"})
        if (mensaje.startsWith(rechazo)) QCOMPARE(Cuento("HistorialAsientos", "Tipo=7"), 0);
    const QString salida =
        QString::fromUtf8(estado == 0 ? p.readAllStandardOutput() : p.readAllStandardError());
    QVERIFY2(mensaje.isEmpty() ? salida.isEmpty() : salida.startsWith(mensaje),
             qPrintable(salida + p.readAllStandardError()));
    QCOMPARE(p.exitCode(), estado);
    if (argumentos == QStringList{"--help"}) // what the journal's start number does, said whole
        QVERIFY(salida.contains("--desde-asiento NÚMERO  diario: número con el que se enumera el primer asiento"));
    QCOMPARE(Cuento("Sesiones"), 0); // the run's session is gone with it
    if (estado != 0 || argumentos[0] != "balance") {
        QVERIFY(!QFile::exists(e.Ruta("b.csv")));
        if (argumentos.size() > 1 && !argumentos[1].startsWith("--") && !QFileInfo(e.Ruta(argumentos[1])).isDir())
            QCOMPARE(QFile::exists(e.Ruta(argumentos[1])), estado == 0);
        return;
    }
    if (argumentos[1] == "b.pdf") {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext no está instalado");
        const QString texto = Pdftotext(e.Ruta("b.pdf"));
        QVERIFY2(texto.contains("Balance Sumas y Saldos entre 01/01/2024 y 31/12/2024"), qPrintable(texto));
        QVERIFY2(QRegularExpression("Total RESULTADOS +0[.,]30 +1[.,]234[.,]568[.,]19 +1[.,]234[.,]567[.,]89")
                     .match(texto)
                     .hasMatch(),
                 qPrintable(texto));
        return;
    }
    QStringList esperado = BalanceCsv;
    if (argumentos.contains("sin-saldos-0")) {
        // Before the last day: BANCOS and PROVEEDORES have no lines; the cents of GASTOS cancel.
        esperado = QStringList{BalanceCsv[0],
                               BalanceCsv[1],
                               BalanceCsv[2],
                               ",1,Total ACTIVO,,,1234567.89,0.00,1234567.89,",
                               BalanceCsv[6],
                               BalanceCsv[9],
                               BalanceCsv[10],
                               ",1,Total RESULTADOS,,,0.00,1234567.89,,1234567.89",
                               ",,Totales generales,,,1234567.89,1234567.89,1234567.89,1234567.89"};
    }
    if (argumentos.contains("punto-y-coma") || (castellano && !argumentos.contains(","))) {
        // The same fields, ";" between them and decimal commas; a text with a comma needs no quotes.
        for (QString& l : esperado) {
            QStringList campos;
            for (const QString& c : QStringList(LeoCsv(l.toUtf8()).value(0)))
                campos << (QRegularExpression("^-?\\d+\\.\\d\\d$").match(c).hasMatch() ? QString(c).replace('.', ',') : c);
            l = campos.join(';');
        }
    }
    QCOMPARE(Lineas(e.Ruta("b.csv")), esperado);
}

// The changes of a period from the command line, and the check of the history's chain.
void PruebaExporto::historial() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    AsientoEditado a;
    a.fecha = "05/03/2024";
    a.concepto = "Venta";
    a.lineas = {{"2", "", "CAJA", "1234,50", "", "", ""}, {"7", "", "VENTAS", "", "1234,50", "", ""}};
    a.decimal = u',';
    QVERIFY(GuardoAsiento(ContextoActual(), a).ok);
    QCOMPARE(BorroAsiento(ContextoActual(), 1), QString());
    auto corro = [&](const QStringList& args, QString* salida) {
        QProcess p;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert("PARTIDEX_CONTRASENA", "ADMIN");
        p.setProcessEnvironment(entorno);
        p.start(PARTIDEX_INFORME,
                QStringList{"--carpeta", e.Carpeta(), "--usuario", "ADMIN", "--empresa", "1"} + args);
        p.waitForFinished(60000);
        *salida = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        return p.exitCode();
    };
    QString salida;
    const QString hoy = FechaATexto(QDate::currentDate());
    QCOMPARE(corro({"historial", e.Ruta("h.csv"), "--desde", hoy, "--hasta", hoy}, &salida), 0);
    const QStringList l = Lineas(e.Ruta("h.csv"));
    QCOMPARE(l.size(), 3);
    QCOMPARE(l[0], QString("Fecha y hora,Usuario,Estación,Ejercicio,Asiento,Cambio,Debe antes,Debe después,Antes,"
                           "Después"));
    QVERIFY2(l[1].contains(",ADMIN,") && l[1].contains(",1,1,alta,,1234.50,,\"N.º 1, 05/03/2024, Venta; 2 líneas, "
                                                        "Debe $1.234,50\""),
             qPrintable(l[1]));
    QVERIFY2(l[2].contains(",1,1,baja,1234.50,,\"N.º 1"), qPrintable(l[2]));
    // Nothing changed the day before.
    const QString ayer = FechaATexto(QDate::currentDate().addDays(-1));
    QCOMPARE(corro({"historial", e.Ruta("h2.csv"), "--desde", ayer, "--hasta", ayer}, &salida), 0);
    QCOMPARE(Lineas(e.Ruta("h2.csv")).size(), 1);

    // The two writes of the entry and the two requests above, which are no company's changes.
    QCOMPARE(corro({"historial", "--verifico"}, &salida), 0);
    QVERIFY2(salida.startsWith("El historial de asientos está completo: 4 registros"), qPrintable(salida));
    QVERIFY(Ejecuto("UPDATE HistorialAsientos SET Estacion='otra' WHERE Registro=1").ok);
    QCOMPARE(corro({"historial", "--verifico"}, &salida), 1);
    QVERIFY2(salida.startsWith("El historial de asientos está roto en el registro 1:"), qPrintable(salida));
}

void PruebaExporto::pantalla() {
    Entorno e;
    LibroChico(e);
    frmRptBalance::Maximos().Olvido();
    Pantallas::Olvido();
    RegistroPantallasReportes();
    QMdiArea marco;
    Pantallas::FijoMarco(&marco);
    auto* f = qobject_cast<frmRptBalance*>(Pantallas::Activo("frmRptBalance"));
    QVERIFY(f);
    auto* exportar = f->findChild<QPushButton*>("btnExportar");
    QVERIFY(exportar);
    const QString ruta = e.Ruta("balance.csv");

    // Nothing built yet: nothing to write.
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Clic(exportar);
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Actualice el reporte antes de exportarlo."});
    QVERIFY(!QFile::exists(ruta));

    Clic(f->btnActualizar);
    // The grid shows the balance columns computed to the cent.
    QCOMPARE(f->sprRpt->filas(), BalanceCsv.size() - 1);
    QCOMPARE(Importe::Leo(f->sprRpt->texto(12, 8), nullptr, f->sprRpt->separadorDecimal())->TextoPlano(),
             QString("1234567.89"));
    // What is exported is the report built last, not the filters changed since.
    f->ftrFechaA->setText("30/12/2024");
    const struct {
        QString archivo;
        QString mensaje;
    } casos[] = {{e.Ruta("no/existe/b.csv"), "No se pudo escribir el archivo "},
                 {ruta, "Reporte exportado a "}};
    for (const auto& c : casos) {
        MensajePrueba::Limpio();
        MensajePrueba::setNextFileName(c.archivo);
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        Clic(exportar);
        QCOMPARE(MensajePrueba::Textos().size(), 1);
        QVERIFY2(MensajePrueba::Textos()[0].startsWith(c.mensaje), qPrintable(MensajePrueba::Textos()[0]));
    }
    QStringList conSeparador = BalanceCsv;
    if (SeparadorCsvSistema() == u';') conSeparador = Lineas(ruta); // checked on the command line
    QCOMPARE(Lineas(ruta), conSeparador);
    // A name without extension takes that of the format chosen in the dialog; PDF when none is.
    const struct {
        QString nombre, filtro, escrito;
    } sinExtension[] = {{"de csv", "CSV (*.csv)", "de csv.csv"},
                        {"de excel", "Excel (*.xlsx)", "de excel.xlsx"},
                        {"de pdf", "", "de pdf.pdf"}};
    for (const auto& c : sinExtension) {
        MensajePrueba::Limpio();
        MensajePrueba::setNextFileName(e.Ruta(c.nombre), c.filtro);
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        Clic(exportar);
        QVERIFY2(QFile::exists(e.Ruta(c.escrito)), qPrintable(c.escrito));
    }
    QCOMPARE(Lineas(e.Ruta("de csv.csv")), conSeparador);

    // F5 refreshes as the button does (and says so in its tip): the grid shows the new period.
    QVERIFY(f->btnActualizar->toolTip().endsWith(" (F5)"));
    marco.show();
    marco.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&marco));
    f->sprRpt->setFocus();
    f->cmbSaldos0->setCurrentIndex(1);
    QCOMPARE(f->sprRpt->filas(), 13);
    QTest::keyClick(f->sprRpt, Qt::Key_F5);
    QCOMPARE(f->sprRpt->filas(), 8); // to 30/12 without zero balances
    marco.closeAllSubWindows();
    Pantallas::FijoMarco(nullptr);
}

void PruebaExporto::planes_data() {
    QTest::addColumn<QString>("desde");
    QTest::addColumn<QString>("hasta");
    QTest::addColumn<LecturaLineas>("lectura");
    QTest::addColumn<QStringList>("pasos");
    // The file engine's searches, or the indexes the server reads through.
    const bool servidor = PruebaEnPostgres();
    const QString lineas = "SEARCH DetAsientos USING COVERING INDEX idxDetAsientosCuenta";
    const QString fechas = "SEARCH Asientos USING INDEX idxAsientosFecha";
    QTest::newRow("todo el ejercicio")
        << "01/01/2024"
        << "31/12/2024" << LecturaLineas::Ejercicio << (servidor ? QStringList{} : QStringList{lineas});
    QTest::newRow("casi todo el ejercicio")
        << "01/01/2024"
        << "30/12/2024" << LecturaLineas::EjercicioMenosFuera
        << (servidor ? QStringList{"idxAsientosFecha"}
                     : QStringList{lineas, fechas + " (EmpresaPropia=? AND NumEjercicio=? AND Fecha>?)"});
    QTest::newRow("parte del ejercicio")
        << "02/01/2024"
        << "31/12/2024" << LecturaLineas::Periodo
        << (servidor ? QStringList{"idxAsientosFecha", "DetAsientos_pkey"}
                     : QStringList{fechas + " (EmpresaPropia=? AND NumEjercicio=? AND Fecha>? AND Fecha<?)"});
}

void PruebaExporto::planes() {
    QFETCH(QString, desde);
    QFETCH(QString, hasta);
    QFETCH(LecturaLineas, lectura);
    QFETCH(QStringList, pasos);
    // A year of some weight with current statistics, as the program keeps them.
    Entorno e;
    LibroChico(e);
    QVERIFY(Ejecuto("WITH RECURSIVE n(i) AS (SELECT 10 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                    "INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) "
                    "SELECT 1, 1, i, '2024-01-01' FROM n")
                .ok);
    QVERIFY(
        Ejecuto(
            "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
            "SELECT 1, 1, Asiento, d.k, 2 + (Asiento + d.k) % 7, CASE d.k WHEN 3 THEN -20.5 ELSE 10.25 END "
            "FROM Asientos, (SELECT 1 AS k UNION ALL SELECT 2 UNION ALL SELECT 3) AS d WHERE Asiento >= 10")
            .ok);
    // An account whose lines all belong to the last day's entry.
    QVERIFY(
        Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                "VALUES (1, 1, 3, 8, 9, 5), (1, 1, 3, 9, 9, -5)")
            .ok);
    QVERIFY(Ejecuto("ANALYZE").ok);
    const QDate d1 = TextoAFecha(desde), d2 = TextoAFecha(hasta);
    QCOMPARE(ElijoLectura(ContextoActual(), d1, d2), lectura);
    const ConsultaSql c = ConsultaBalance(ContextoActual(), 2, 1, d1, d2, lectura);
    const QStringList leidos = MotorActual().catalogo.PlanConsulta(Conexion(), c.sql, c.parametros);
    const QString plan = leidos.join(" | ");
    const bool archivo = MotorActual().PorArchivo();
    for (const QString& paso : pasos)
        QVERIFY2(archivo ? plan.contains(paso) : PlanUsaIndice(leidos, paso), qPrintable(plan));
    // No table is walked whole; but a server reads the year's lines in one pass where they are all the
    // table holds, and a chart of ten accounts whole.
    QVERIFY2(!leidos.isEmpty() && !PlanLeeEntera(leidos, "Asientos"), qPrintable(plan));
    QVERIFY2(!PlanLeeEntera(leidos, "DetAsientos") || (!archivo && lectura != LecturaLineas::Periodo),
             qPrintable(plan));
    QVERIFY2(!PlanLeeEntera(leidos, "Cuentas") || !archivo, qPrintable(plan));
    // Every reading gives the same report as the lines of the period's entries.
    QSqlQuery una = Consulto(c.sql, c.parametros);
    const ConsultaSql p = ConsultaBalance(ContextoActual(), 2, 1, d1, d2, LecturaLineas::Periodo);
    QSqlQuery otra = Consulto(p.sql, p.parametros);
    int filas = 0;
    while (una.next()) {
        QVERIFY(otra.next());
        for (int i = 0; i < 6; ++i)
            QCOMPARE(una.value(i).isNull() ? QString("Null") : una.value(i).toString(),
                     otra.value(i).isNull() ? QString("Null") : otra.value(i).toString());
        ++filas;
    }
    QVERIFY(!otra.next());
    QCOMPARE(filas, 10);
}

void PruebaExporto::filas_data() {
    // Rows as a report builds them, and where they are split between two stores joined afterwards
    // (0: one store).
    QTest::addColumn<QList<FilaReporte>>("filas");
    QTest::addColumn<int>("corte");
    auto fila = [](QVector<CeldaReporte> c, FuenteFila f = FuenteFila::Normal, const QString& oculto = {}) {
        return FilaReporte{c, f, oculto};
    };
    const CeldaReporte ambos = [] {
        CeldaReporte c(QStringLiteral("texto"));
        c.importe = Importe::DeCentavos(5);
        return c;
    }();
    QTest::newRow("vacías") << QList<FilaReporte>{fila({}),
                                                  fila({QString(), QString(), std::optional<Importe>()}),
                                                  fila({QString(), QStringLiteral("b")}, FuenteFila::Cursiva),
                                                  fila({})}
                            << 0;
    QTest::newRow("importes")
        << QList<FilaReporte>{fila({Importe(), Importe::DeCentavos(-1), Importe::DeCentavos(1), QString()}),
                              fila({Importe::DeCentavos(Importe::Maximo),
                                    Importe::DeCentavos(-Importe::Maximo)},
                                   FuenteFila::Negrita),
                              fila({Importe::DeCentavos(std::numeric_limits<int64_t>::max()),
                                    Importe::DeCentavos(std::numeric_limits<int64_t>::min()), ambos}),
                              fila({QStringLiteral("0.00"), Importe()})}
        << 0;
    // A text equal to the one above it is stored once; one of the same length but other bytes is not.
    QTest::newRow("repetidos")
        << QList<FilaReporte>{fila({QStringLiteral("añoA"), QStringLiteral("x")}, FuenteFila::Normal, "7"),
                              fila({QStringLiteral("añoA"), QStringLiteral("añoA")},
                                   FuenteFila::NegritaCursiva, "7"),
                              fila({QStringLiteral("añoB"), QStringLiteral("x")}, FuenteFila::Normal, "8"),
                              fila({QStringLiteral("añoA"), QString()}, FuenteFila::Normal, "7"),
                              fila({QStringLiteral("abcde"), QStringLiteral("x")}, FuenteFila::Normal, "7")}
        << 0;
    const QString largo(17 << 20, QLatin1Char('z')); // past what a cell's word can say
    QTest::newRow("largos") << QList<FilaReporte>{fila({largo, QString(1000, QChar(0x20AC))},
                                                       FuenteFila::Normal, largo),
                                                  fila({largo + "ñ", QStringLiteral("€")})}
                            << 1;
    QTest::newRow("unidas") << QList<FilaReporte>{fila({QStringLiteral("uno"), Importe::DeCentavos(-250),
                                                        ambos},
                                                       FuenteFila::Negrita, "1"),
                                                  fila({QStringLiteral("dos"), Importe::DeCentavos(250)},
                                                       FuenteFila::Normal, "2"),
                                                  fila({QStringLiteral("dos"), QStringLiteral("tres"), ambos},
                                                       FuenteFila::Cursiva, "2"),
                                                  fila({QStringLiteral("cuatro"), QStringLiteral("tres")},
                                                       FuenteFila::Normal, "3"),
                                                  fila({QStringLiteral("cinco")})}
                            << 2;
    // Past one block of rows: hidden values repeated across a block's edge, texts of one block kept
    // for cells of later ones, a second store joined in the middle of a block, a row of many cells.
    QList<FilaReporte> muchas;
    for (int i = 0; i < 200; ++i) {
        QVector<CeldaReporte> celdas{QStringLiteral("cuenta %1").arg(i % 7),
                                     Importe::DeCentavos((i - 100) * 987654321LL),
                                     i % 5 ? CeldaReporte() : CeldaReporte(QString(i, QChar(0xF1))),
                                     QString::number(i)};
        for (int c = 0; i == 130 && c < 150; ++c)
            celdas << Importe::DeCentavos(-c * 1000003LL);
        muchas << fila(celdas, FuenteFila(i % 4), QString::number(i / 3));
    }
    QTest::newRow("bloques") << muchas << 70;
}

void PruebaExporto::filas() {
    QFETCH(QList<FilaReporte>, filas);
    QFETCH(int, corte);
    FilasReporte guardadas, segundas;
    for (int i = 0; i < filas.size(); ++i)
        (corte > 0 && i >= corte ? segundas : guardadas) << filas[i];
    // A copy of the rows appended (a grid still showing them) keeps them whole.
    const FilasReporte copia = segundas;
    if (corte > 0) guardadas.append(std::move(segundas));
    QVERIFY(segundas.isEmpty());
    for (int i = corte; corte > 0 && i < filas.size(); ++i)
        QCOMPARE(copia.texto(i - corte, 0), filas[i].celdas.value(0).importe ? filas[i].celdas[0].importe->TextoPlano()
                                                                          : filas[i].celdas.value(0).texto);
    QCOMPARE(guardadas.size(), filas.size());
    for (int i = 0; i < filas.size(); ++i) {
        const FilaReporte& f = filas[i];
        const FilaReporte leida = guardadas[i];
        QCOMPARE(leida.celdas.size(), f.celdas.size());
        for (int c = 0; c <= f.celdas.size(); ++c) {
            const CeldaReporte x = f.celdas.value(c);
            QVERIFY2(
                leida.celdas.value(c) == x && guardadas.celda(i, c) == x,
                qPrintable(
                    QString("fila %1, columna %2: %3").arg(i).arg(c).arg(guardadas.texto(i, c).left(20))));
            QCOMPARE(guardadas.texto(i, c), x.importe ? x.importe->TextoPlano() : x.texto);
        }
        QCOMPARE(int(leida.fuente), int(f.fuente));
        QCOMPARE(guardadas.fuente(i), f.fuente);
        QCOMPARE(leida.oculto, f.oculto);
    }

    // The same rows written cell by cell, texts kept once and put in every cell that shows them.
    FilasReporte escritas;
    for (const FilaReporte& f : filas) {
        for (const CeldaReporte& c : f.celdas) {
            if (c.importe)
                escritas.Monto(*c.importe);
            else if (c.texto.size() % 2)
                escritas.EscriboTexto(c.texto);
            else if (c.texto.isEmpty())
                escritas.Vacia();
            else
                escritas.Celda(escritas.Guardo(c.texto));
        }
        escritas.FinFila(f.fuente, f.oculto);
    }
    // A grid shows a table's rows from the table; a copy shares them until one side writes.
    TablaReporte tabla;
    tabla.filas = guardadas;
    for (const FilaReporte& f : filas)
        while (tabla.columnas.size() < f.celdas.size())
            tabla.columnas << QString::number(tabla.columnas.size() + 1);
    tabla.importes = QVector<bool>(tabla.columnas.size(), false);
    Grilla grilla;
    VuelcoTabla(&grilla, tabla);
    tabla.filas.append(FilaReporte{{QStringLiteral("después")}, FuenteFila::Negrita, {}});
    QCOMPARE(guardadas.size(), filas.size());
    QCOMPARE(grilla.filas(), int(filas.size()));
    auto comparo = [&](int desde) {
        for (int i = desde; i < filas.size(); ++i) {
            const FilaReporte& f = filas[i];
            const QString donde = QString("fila %1").arg(i);
            for (int c = 0; c < f.celdas.size(); ++c) {
                const CeldaReporte& x = f.celdas[c];
                const QString texto = x.importe ? x.importe->TextoPlano() : x.texto;
                QVERIFY2(escritas.texto(i, c) == texto, qPrintable(donde));
                // The grid shows a cell holding both as its amount.
                QVERIFY2(grilla.modelo()->crudo(i + 1, c + 1) == texto, qPrintable(donde));
            }
            QCOMPARE(escritas.fuente(i), f.fuente);
            QVERIFY2(escritas.oculto(i) == f.oculto && grilla.modelo()->crudo(i + 1, 0) == f.oculto,
                     qPrintable(donde));
            QCOMPARE(grilla.modelo()->negrita(i + 1),
                     f.fuente == FuenteFila::Negrita || f.fuente == FuenteFila::NegritaCursiva);
            QCOMPARE(grilla.modelo()->cursiva(i + 1),
                     f.fuente == FuenteFila::Cursiva || f.fuente == FuenteFila::NegritaCursiva);
        }
    };
    comparo(0);
    // Writing to the grid makes the rows its own: the others stay as they were.
    grilla.setTexto(1, 1, QStringLiteral("nuevo"));
    QCOMPARE(grilla.texto(1, 1), QStringLiteral("nuevo"));
    comparo(1);
    grilla.setFilas(0);
    QCOMPARE(grilla.filas(), 0);
}
