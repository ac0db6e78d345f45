#include "tst_grilla.h"

#include "core/ui/Grilla.h"
#include "core/ui/GrillaDelegado.h"
#include "core/paginado/Encabezado.h"
#include "core/ui/GrillaModelo.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Principal.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A grid of `filas` rows and 3 columns "Código", "Descripción", "Importe" (Numero, 2 decimals).
void Preparo(Grilla& g, int filas) {
    g.setColumnas(3);
    g.setEncabezado(1, QStringLiteral("Código"));
    g.setEncabezado(2, QStringLiteral("Descripción"));
    g.setEncabezado(3, QStringLiteral("Importe"));
    TipoCelda n;
    n.clase = TipoCelda::Numero;
    n.decimales = 2;
    n.miles = true;
    g.setTipoColumna(3, n);
    g.setFilas(filas);
}

void Muestro(Grilla& g) {
    g.resize(600, 400);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    g.activateWindow();
    g.setFocus();
}

QWidget* Editor(Grilla& g) {
    for (QWidget* w : g.viewport()->findChildren<QWidget*>())
        if (w->isVisible() && (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w))) return w;
    return nullptr;
}

// Types a text into the current cell as a user does (the first key opens the editor) and ends with
// the given key.
void Tipeo(Grilla& g, const QString& texto, Qt::Key fin = Qt::Key_Return) {
    QTest::keyClick(&g, texto.at(0).toLatin1());
    QWidget* e = Editor(g);
    QVERIFY2(e, "no se abrió el editor");
    QTest::keyClicks(e, texto.mid(1));
    QTest::keyClick(e, fin);
    // The delegate commits on Enter through a queued call.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

int PaginasPdf(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray datos = f.readAll();
    static const QRegularExpression re(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    return int(QString::fromLatin1(datos).count(re));
}

} // namespace

void PruebaGrilla::init() {
    MensajePrueba::Limpio();
    MensajePrueba::Automatico(true);
}

void PruebaGrilla::modeloCumpleContrato() {
    Grilla g;
    new QAbstractItemModelTester(g.model(), QAbstractItemModelTester::FailureReportingMode::QtTest, &g);
    Preparo(g, 5);
    for (int f = 1; f <= 5; ++f) {
        g.setTexto(f, 0, QString::number(f * 10));
        g.setTexto(f, 1, QStringLiteral("C%1").arg(f));
        g.setNumero(f, 3, f * 1.5);
    }
    g.setFuenteFila(2, true, false);
    g.BorroFila(3);
    g.InsertoFila(1);
    g.AgregoFila();
    g.setColumnas(5);
    g.setColumnas(2);
    g.LimpioBloque(1, 1, 2, 2);
    g.setFilas(0);
    g.setFilas(3);
    QCOMPARE(g.model()->rowCount(), 3);
    QCOMPARE(g.model()->columnCount(), 3); // hidden column 0 plus two
    QVERIFY(g.isColumnHidden(0));
}

void PruebaGrilla::almacenamientoCompacto() {
    // Rewriting cells with longer and shorter texts, and deleting rows, keeps every other cell.
    Grilla g;
    g.setColumnas(2);
    g.setFilas(200);
    for (int f = 1; f <= 200; ++f)
        g.setTexto(f, 1, QStringLiteral("fila %1").arg(f));
    for (int vuelta = 0; vuelta < 50; ++vuelta)
        for (int f = 1; f <= 200; f += 3)
            g.setTexto(f, 1, QString(vuelta % 7 + 1, QChar(u'ñ')) + QString::number(f));
    g.BorroFila(1);
    g.InsertoFila(5);
    QCOMPARE(g.filas(), 200);
    QCOMPARE(g.texto(1, 1), QStringLiteral("fila 2"));
    QCOMPARE(g.texto(3, 1), QString(49 % 7 + 1, QChar(u'ñ')) + QStringLiteral("4"));
    QCOMPARE(g.texto(5, 1), QString());
    QCOMPARE(g.texto(6, 1), QStringLiteral("fila 6"));
    QCOMPARE(g.texto(200, 1), QStringLiteral("fila 200"));
    g.setTexto(200, 1, QString());
    QCOMPARE(g.texto(200, 1), QString());
    QCOMPARE(g.texto(201, 1), QString()); // outside the grid
}

void PruebaGrilla::busqueda_data() {
    QTest::addColumn<QString>("busqueda");
    QTest::addColumn<int>("fila");
    QTest::newRow("comienzo sin mayúsculas") << "caja" << 1;
    QTest::newRow("comienzo en mayúsculas") << "BAN" << 2;
    QTest::newRow("palabra del medio sin asterisco") << "chica" << 6;
    QTest::newRow("palabra del medio con asterisco") << "*chica" << 3;
    QTest::newRow("asterisco y mayúsculas acentuadas") << "*CRÉD" << 4;
    QTest::newRow("acentos en minúscula") << "crédito" << 4;
    QTest::newRow("final con asterisco") << "*ores" << 5;
    QTest::newRow("sin coincidencia") << "zzz" << 6;
    QTest::newRow("asterisco solo") << "*" << 1;
}

void PruebaGrilla::busqueda() {
    QFETCH(QString, busqueda);
    QFETCH(int, fila);
    Grilla g;
    g.setColumnas(2);
    g.setFilas(5);
    const QStringList textos = {QStringLiteral("Caja"), QStringLiteral("Bancos"),
                                QStringLiteral("CAJA CHICA"), QStringLiteral("Crédito fiscal"),
                                QStringLiteral("Proveedores")};
    for (int f = 1; f <= 5; ++f)
        g.setTexto(f, 2, textos[f - 1]);
    QCOMPARE(FilaEnGrilla(&g, 2, busqueda), fila);
    BuscoEnGrilla(&g, 2, busqueda);
    QCOMPARE(g.filaActiva(), std::min(fila, 5)); // without a match, the last row
    QCOMPARE(g.columnaActiva(), 2);
}

void PruebaGrilla::numeros_data() {
    QTest::addColumn<QChar>("decimal");
    QTest::addColumn<QChar>("miles");
    QTest::addColumn<bool>("conMiles");
    QTest::addColumn<QString>("puesto");
    QTest::addColumn<QString>("mostrado");
    QTest::addColumn<double>("valor");
    const QChar p('.'), c(',');
    QTest::newRow("punto, con miles") << p << c << true << "1234567.5"
                                      << "1,234,567.50" << 1234567.5;
    QTest::newRow("coma, con miles") << c << p << true << "1234567.5"
                                     << "1.234.567,50" << 1234567.5;
    QTest::newRow("coma, texto con coma") << c << p << true << "1.234,5"
                                          << "1.234,50" << 1234.5;
    // Two-decimal cells hold amounts: a value the program gives with more decimals is kept to the cent,
    // and every amount shows the thousands character, even in a column that did not ask for it.
    QTest::newRow("coma, importe en columna sin miles") << c << p << false << "-1234,567"
                                                        << "-1.234,57" << -1234.57;
    QTest::newRow("coma, miles agrupados") << c << p << false << "1.234"
                                           << "1.234,00" << 1234.0;
    QTest::newRow("negativo que redondea a cero") << p << c << true << "-0.001"
                                                  << "0.00" << 0.0;
    QTest::newRow("no es número") << p << c << true << "Total"
                                  << "Total" << 0.0;
    QTest::newRow("vacío") << c << p << true << ""
                           << "" << 0.0;
}

void PruebaGrilla::numeros() {
    QFETCH(QChar, decimal);
    QFETCH(QChar, miles);
    QFETCH(bool, conMiles);
    QFETCH(QString, puesto);
    QFETCH(QString, mostrado);
    QFETCH(double, valor);
    Grilla g;
    g.setColumnas(1);
    TipoCelda t;
    t.clase = TipoCelda::Numero;
    t.miles = conMiles;
    g.setTipoColumna(1, t);
    g.setSeparadores(decimal, miles);
    g.setFilas(2);
    g.setTexto(1, 1, puesto);
    QCOMPARE(g.texto(1, 1), mostrado);
    QCOMPARE(g.numero(1, 1), valor);
    QCOMPARE(g.model()->data(g.model()->index(0, 1), Qt::AccessibleTextRole).toString(), mostrado);
    // The same value written as a number shows the same.
    if (valor != 0) {
        g.setNumero(2, 1, valor);
        QCOMPARE(g.texto(2, 1), mostrado);
    }
    // Changing the characters afterwards changes how stored numbers show, not their value.
    g.setSeparadores(miles, decimal);
    QCOMPARE(g.numero(1, 1), valor);
}

void PruebaGrilla::numerosTipeados_data() {
    QTest::addColumn<QString>("tipeado");
    QTest::addColumn<bool>("aceptado");
    QTest::addColumn<double>("valor");
    QTest::newRow("dentro") << "50,25" << true << 50.25;
    QTest::newRow("tercer decimal") << "50,255" << false << 0.0;
    QTest::newRow("límite superior") << "100" << true << 100.0;
    QTest::newRow("sobre el máximo") << "100,01" << false << 0.0;
    QTest::newRow("bajo el mínimo") << "-1" << false << 0.0;
    QTest::newRow("letras") << "12a" << false << 0.0;
    QTest::newRow("vacío borra") << "" << true << 0.0;
}

void PruebaGrilla::numerosTipeados() {
    QFETCH(QString, tipeado);
    QFETCH(bool, aceptado);
    QFETCH(double, valor);
    Grilla g;
    g.setColumnas(1);
    TipoCelda t;
    t.clase = TipoCelda::Numero;
    t.minimo = 0;
    t.maximo = 100;
    g.setTipoColumna(1, t);
    g.setSeparadores(QLatin1Char(','), QLatin1Char('.'));
    g.setFilas(1);
    g.setNumero(1, 1, 7);
    const bool ok = g.model()->setData(g.model()->index(0, 1), tipeado);
    QCOMPARE(ok, aceptado);
    QCOMPARE(g.numero(1, 1), aceptado ? valor : 7.0);
    // The editor's validator never lets letters in.
    ValidadorNumero v(g.modelo(), 1, nullptr);
    QString letras = QStringLiteral("1x");
    int pos = 0;
    QCOMPARE(v.validate(letras, pos), QValidator::Invalid);
    QString mucho = QStringLiteral("150");
    QCOMPARE(v.validate(mucho, pos), QValidator::Intermediate);
}

void PruebaGrilla::mascara_data() {
    QTest::addColumn<QString>("mascara");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("cumple");
    QTest::newRow("código completo") << "9.99.999"
                                     << "1.02.003" << true;
    QTest::newRow("código parcial") << "9.99.999"
                                    << "1.02" << true;
    QTest::newRow("letra donde va dígito") << "9.99.999"
                                           << "1.0A" << false;
    QTest::newRow("literal cambiado") << "9.99.999"
                                      << "1-02" << false;
    QTest::newRow("más largo que la máscara") << "99"
                                              << "123" << false;
    QTest::newRow("X acepta cualquiera") << "XX-99"
                                         << "a#-12" << true;
}

void PruebaGrilla::mascara() {
    QFETCH(QString, mascara);
    QFETCH(QString, texto);
    QFETCH(bool, cumple);
    QCOMPARE(CumpleMascara(texto, mascara), cumple);
    Grilla g;
    g.setColumnas(1);
    TipoCelda t;
    t.clase = TipoCelda::Mascara;
    t.mascara = mascara;
    g.setTipoColumna(1, t);
    g.setFilas(1);
    QCOMPARE(g.model()->setData(g.model()->index(0, 1), texto), cumple);
    QCOMPARE(g.texto(1, 1), cumple ? texto : QString());
}

void PruebaGrilla::mascaraTipeada() {
    Grilla g;
    g.setColumnas(1);
    TipoCelda t;
    t.clase = TipoCelda::Mascara;
    t.mascara = QStringLiteral("9.99.999");
    g.setTipoColumna(1, t);
    g.setFilas(1);
    Muestro(g);
    g.setCeldaActual(1, 1);
    // Letters are not taken; a partly typed code loses the trailing literal.
    Tipeo(g, QStringLiteral("1x02"));
    QCOMPARE(g.texto(1, 1), QStringLiteral("1.02"));
    QCOMPARE(MascaraQt(QStringLiteral("XX-99")), QStringLiteral("xx-00"));
}

void PruebaGrilla::fechaInvalidaRechazada() {
    Grilla g;
    g.setColumnas(1);
    TipoCelda t;
    t.clase = TipoCelda::Fecha;
    g.setTipoColumna(1, t);
    g.setFilas(1);
    g.setTexto(1, 1, QStringLiteral("01/01/2024"));
    QVERIFY(!g.model()->setData(g.model()->index(0, 1), QStringLiteral("31/02/2024")));
    QVERIFY(!g.model()->setData(g.model()->index(0, 1), QStringLiteral("hoy")));
    QCOMPARE(g.texto(1, 1), QStringLiteral("01/01/2024"));
    QVERIFY(g.model()->setData(g.model()->index(0, 1), QStringLiteral("29/02/2024")));
    QCOMPARE(g.texto(1, 1), QStringLiteral("29/02/2024"));

    // Typed: Enter on an impossible date leaves the editor open; leaving it refuses with a message.
    Muestro(g);
    g.setCeldaActual(1, 1);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Tipeo(g, QStringLiteral("30/02/2024"));
    QWidget* e = Editor(g);
    QVERIFY(e);
    QCOMPARE(g.texto(1, 1), QStringLiteral("29/02/2024"));
    emit g.itemDelegate()->commitData(e);
    QTRY_VERIFY(!MensajePrueba::Textos().isEmpty());
    QVERIFY(MensajePrueba::Textos().last().contains(QStringLiteral("fecha")));
    QCOMPARE(g.texto(1, 1), QStringLiteral("29/02/2024"));
}

void PruebaGrilla::soloLecturaRechazaEdicion() {
    Grilla g;
    Preparo(g, 2);
    g.setTexto(1, 1, QStringLiteral("A"));
    g.setSoloLectura(true);
    QVERIFY(!(g.model()->flags(g.model()->index(0, 1)) & Qt::ItemIsEditable));
    QVERIFY(!g.model()->setData(g.model()->index(0, 1), QStringLiteral("B")));
    Muestro(g);
    g.setCeldaActual(1, 1);
    QTest::keyClick(&g, Qt::Key_Z);
    QVERIFY(!Editor(g));
    QCOMPARE(g.texto(1, 1), QStringLiteral("A"));
    // Back to normal, only the editable columns take text.
    g.setSoloLectura(false);
    g.setColumnaEditable(2, false);
    QVERIFY(g.model()->setData(g.model()->index(0, 1), QStringLiteral("B")));
    QVERIFY(!g.model()->setData(g.model()->index(0, 2), QStringLiteral("B")));
}

void PruebaGrilla::borroEInsertoFilas() {
    Grilla g;
    Preparo(g, 4);
    for (int f = 1; f <= 4; ++f) {
        g.setTexto(f, 0, QString::number(100 + f));
        g.setTexto(f, 1, QStringLiteral("F%1").arg(f));
    }
    g.setFuenteFila(3, true, true);
    g.BorroFila(2);
    QCOMPARE(g.filas(), 3);
    QCOMPARE(g.texto(2, 1), QStringLiteral("F3"));
    QCOMPARE(g.texto(2, 0), QStringLiteral("103"));
    QVERIFY(g.model()->data(g.model()->index(1, 1), Qt::FontRole).value<QFont>().bold());
    g.InsertoFila(1);
    QCOMPARE(g.filas(), 4);
    QCOMPARE(g.texto(1, 1), QString());
    QCOMPARE(g.texto(2, 1), QStringLiteral("F1"));
    QCOMPARE(g.AgregoFila(), 5);
    g.LimpioBloque(2, 0, 3, 1);
    QCOMPARE(g.texto(2, 1), QString());
    QCOMPARE(g.texto(3, 0), QString());
    QCOMPARE(g.texto(4, 1), QStringLiteral("F4"));
    g.BorroFila(99); // outside: nothing happens
    QCOMPARE(g.filas(), 5);
}

void PruebaGrilla::formulas() {
    Grilla g;
    g.setColumnas(3);
    TipoCelda n;
    n.clase = TipoCelda::Numero;
    for (int c = 1; c <= 3; ++c)
        g.setTipoColumna(c, n);
    g.setFilas(3);
    g.setFormula(3, [](const Grilla& gr, int f) {
        return QString::number(gr.numero(f, 1) - gr.numero(f, 2), 'f', 2);
    });
    g.setNumero(1, 1, 10.10);
    g.setNumero(1, 2, 0.30);
    g.setNumero(2, 1, 5);
    QCOMPARE(g.texto(1, 3), QString());
    g.Recalculo();
    QCOMPARE(g.texto(1, 3), QStringLiteral("9.80"));
    QCOMPARE(g.numero(2, 3), 5.0);
    QCOMPARE(g.texto(3, 3), QStringLiteral("0.00"));
    // A user edit recomputes its row.
    QVERIFY(g.model()->setData(g.model()->index(1, 2), QStringLiteral("1.5")));
    QCOMPARE(g.numero(2, 3), 3.5);
}

void PruebaGrilla::celdaActual() {
    Grilla g;
    Preparo(g, 5);
    QCOMPARE(g.filaActiva(), 0);
    g.setCeldaActual(3, 2);
    QCOMPARE(g.filaActiva(), 3);
    QCOMPARE(g.columnaActiva(), 2);
    g.setCeldaActual(4, -1);
    QCOMPARE(g.filaActiva(), 4);
    const QModelIndexList elegidas = g.selectionModel()->selectedIndexes();
    QCOMPARE(elegidas.size(), 3);
    for (const QModelIndex& i : elegidas)
        QCOMPARE(i.row(), 3);
    g.setCeldaActual(0, 1);
    QCOMPARE(g.filaActiva(), 0);
    g.setCeldaActual(2, 1);
    g.setFilas(0);
    QCOMPARE(g.filaActiva(), 0);

    // Every grid of a window starts on row 1, column 1.
    QWidget ventana;
    auto* l = new QVBoxLayout(&ventana);
    auto* a = new Grilla;
    auto* b = new Grilla;
    l->addWidget(a);
    l->addWidget(b);
    Preparo(*a, 3);
    Preparo(*b, 2);
    b->setCeldaActual(2, 3);
    InicioGrillas(&ventana);
    QCOMPARE(a->filaActiva(), 1);
    QCOMPARE(a->columnaActiva(), 1);
    QCOMPARE(b->filaActiva(), 1);
    QCOMPARE(b->columnaActiva(), 1);
}

void PruebaGrilla::senalesDeUsuario() {
    Grilla g;
    Preparo(g, 3);
    Muestro(g);
    QSignalSpy cambio(&g, &Grilla::CambioCelda);
    QSignalSpy salgo(&g, &Grilla::SalgoCelda);
    QSignalSpy fila(&g, &Grilla::CambioFila);
    g.setTexto(1, 1, QStringLiteral("desde el programa"));
    QCOMPARE(cambio.count(), 0);
    g.setCeldaActual(1, 1);
    g.setCeldaActual(3, 2);
    QCOMPARE(fila.last(), (QList<QVariant>{1, 3}));
    QCOMPARE(salgo.last(), (QList<QVariant>{1, 1, 3, 2}));
    g.setCeldaActual(1, 1);
    Tipeo(g, QStringLiteral("hola"));
    QCOMPARE(g.texto(1, 1), QStringLiteral("hola"));
    QCOMPARE(cambio.count(), 1);
    QCOMPARE(cambio.last().at(0).toInt(), 1);
    QCOMPARE(cambio.last().at(1).toInt(), 1);
    // Typing the same text again is no change.
    Tipeo(g, QStringLiteral("hola"));
    QCOMPARE(cambio.count(), 1);

    QTest::keyClick(&g, Qt::Key_Down);
    QCOMPARE(g.filaActiva(), 2);
    QCOMPARE(salgo.last(), (QList<QVariant>{1, 1, 2, 1}));
    QCOMPARE(fila.last(), (QList<QVariant>{1, 2}));

    // A screen that takes a key keeps the grid from moving.
    auto c = connect(&g, &Grilla::TeclaAbajo, &g, [](QKeyEvent* e) {
        if (e->key() == Qt::Key_Down) e->accept();
    });
    int teclas = 0;
    auto cuento = connect(&g, &Grilla::TeclaAbajo, &g, [&teclas](QKeyEvent*) { ++teclas; });
    QTest::keyClick(&g, Qt::Key_Down);
    QCOMPARE(teclas, 1);
    disconnect(cuento);
    QCOMPARE(g.filaActiva(), 2);
    disconnect(c);
    QTest::keyClick(&g, Qt::Key_Down);
    QCOMPARE(g.filaActiva(), 3);

    // Keys typed into an open editor reach the screen first as well; a taken Return keeps it open.
    int teclasEditando = 0;
    auto tomo = connect(&g, &Grilla::TeclaAbajo, &g, [&](QKeyEvent* e) {
        if (g.editando() && e->key() == Qt::Key_Return) {
            ++teclasEditando;
            e->accept();
        }
    });
    QTest::keyClick(&g, Qt::Key_F2);
    QVERIFY(g.editando());
    QWidget* editor = Editor(g);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("xy"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(teclasEditando, 1);
    QVERIFY(g.editando());
    QCOMPARE(g.texto(3, 1), QString());
    disconnect(tomo);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!g.editando());
    QCOMPARE(g.texto(3, 1), QStringLiteral("xy"));
    // Ending the edit from the program stores what the editor holds even when the focus is not in it
    // (its window not active again yet after a dialog closed).
    QWidget otra;
    otra.show();
    otra.activateWindow();
    QTRY_VERIFY(otra.isActiveWindow());
    QTest::keyClick(&g, Qt::Key_F2);
    editor = Editor(g);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("zw"));
    QVERIFY(QApplication::focusWidget() != editor);
    g.TerminoEdicion();
    QVERIFY(!g.editando());
    QCOMPARE(g.texto(3, 1), QStringLiteral("zw"));
    // Nor need the editor be on the current cell (the screen may have moved it while the cell was typed).
    g.edit(g.model()->index(0, 2));
    editor = Editor(g);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("fuera"));
    QVERIFY(g.currentIndex() != g.model()->index(0, 2));
    g.TerminoEdicion();
    QVERIFY(!g.editando());
    QCOMPARE(g.texto(1, 2), QStringLiteral("fuera"));

    QSignalSpy doble(&g, &Grilla::DobleClick);
    const QRect r = g.visualRect(g.model()->index(1, 2));
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(doble.count(), 1);
    QCOMPARE(doble.last(), (QList<QVariant>{2, 2}));
}

void PruebaGrilla::botonYCombo() {
    Grilla g;
    g.setColumnas(2);
    TipoCelda b;
    b.clase = TipoCelda::Boton;
    b.textoBoton = QStringLiteral("...");
    g.setTipoColumna(1, b);
    TipoCelda c;
    c.clase = TipoCelda::Combo;
    c.items = QStringList{QStringLiteral("Debe"), QStringLiteral("Haber")};
    g.setTipoColumna(2, c);
    g.setFilas(2);
    Muestro(g);
    QCOMPARE(g.model()->data(g.model()->index(0, 1)).toString(), QStringLiteral("..."));
    QSignalSpy boton(&g, &Grilla::BotonPresionado);
    const QRect r = g.visualRect(g.model()->index(1, 1));
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(boton.count(), 1);
    QCOMPARE(boton.last(), (QList<QVariant>{2, 1}));
    QTest::keyClick(&g, Qt::Key_Space);
    QCOMPARE(boton.count(), 2);

    g.setCeldaActual(1, 2);
    QTest::keyClick(&g, Qt::Key_F2);
    auto* combo = qobject_cast<QComboBox*>(Editor(g));
    QVERIFY(combo);
    QVERIFY(combo->isEditable());
    QCOMPARE(combo->count(), 2);
    combo->setCurrentIndex(1);
    QTest::keyClick(combo, Qt::Key_Return);
    QTRY_COMPARE(g.texto(1, 2), QStringLiteral("Haber"));
}

void PruebaGrilla::ocultoSuspendeAvisos() {
    Grilla g;
    Preparo(g, 0);
    Muestro(g);
    QSignalSpy cambios(g.model(), &QAbstractItemModel::dataChanged);
    g.Oculto(true);
    QVERIFY(!g.isVisible());
    g.setFilas(1000);
    for (int f = 1; f <= 1000; ++f)
        g.setFila(f, {QString::number(f), QStringLiteral("x"), QStringLiteral("1.5")});
    QCOMPARE(cambios.count(), 0);
    g.Oculto(false);
    QVERIFY(g.isVisible());
    QCOMPARE(cambios.count(), 1);
    QCOMPARE(g.texto(1000, 1), QStringLiteral("1000"));
    QCOMPARE(g.numero(1000, 3), 1.5);
    // A grid never shown stays hidden.
    Grilla h;
    h.Oculto(true);
    h.Oculto(false);
    QVERIFY(h.isHidden());
}

void PruebaGrilla::separadorDelSistema() {
    const QLocale antes;
    // A grid takes the system's characters when it is made: no screen has to ask for them, and every
    // amount of every grid reads alike, whatever thousands choice its column made.
    for (const bool miles : {false, true}) {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
        Grilla ar;
        TipoCelda importe;
        importe.clase = TipoCelda::Numero;
        importe.miles = miles;
        ar.setColumnas(1);
        ar.setTipoColumna(1, importe);
        ar.setFilas(1);
        ar.setTexto(1, 1, "850000.5");
        QCOMPARE(ar.texto(1, 1), QString("850.000,50"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        Grilla us;
        us.setColumnas(1);
        us.setTipoColumna(1, importe);
        us.setFilas(1);
        us.setTexto(1, 1, "850000.5");
        QCOMPARE(us.texto(1, 1), QString("850,000.50"));
    }
    QLocale::setDefault(antes);
    Grilla g;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    SeparadorDecimalGrilla(&g);
    QCOMPARE(g.separadorDecimal(), QChar(','));
    QCOMPARE(g.modelo()->separadorMiles(), QChar('.'));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    SeparadorDecimalGrilla(&g);
    QCOMPARE(g.separadorDecimal(), QChar('.'));
    QCOMPARE(g.modelo()->separadorMiles(), QChar(','));
    QLocale::setDefault(antes);
}

void PruebaGrilla::accesibilidad() {
    Grilla g;
    Preparo(g, 1);
    QCOMPARE(g.accessibleName(), QStringLiteral("Código, Descripción, Importe"));
    g.setTitulo(QStringLiteral("Cuentas"));
    QCOMPARE(g.accessibleName(), QStringLiteral("Cuentas"));
    g.setTexto(1, 2, QStringLiteral("Caja"));
    QCOMPARE(g.model()->data(g.model()->index(0, 2), Qt::AccessibleTextRole).toString(),
             QStringLiteral("Caja"));
    QCOMPARE(g.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Descripción"));
}

void PruebaGrilla::altoDeFila() {
    // Column 1 wraps; column 2 does not, but a text of its own lines is as tall as they are.
    Grilla g;
    g.setColumnas(2);
    TipoCelda t;
    t.clase = TipoCelda::TextoAjustado;
    g.setTipoColumna(1, t);
    g.setAnchoColumna(1, 80);
    g.setFilas(3);
    g.setTexto(1, 1, QStringLiteral("un texto bastante largo que no entra en una sola línea de la celda"));
    g.setTexto(2, 1, QStringLiteral("corto"));
    g.setTexto(3, 2, QStringLiteral("uno\ndos\ntres"));
    for (int fila = 1; fila <= 3; ++fila)
        g.AjustoAltoFila(fila);
    QVERIFY(g.rowHeight(0) > 2 * g.rowHeight(1));
    QVERIFY(g.rowHeight(2) > 2 * g.rowHeight(1));
    g.setAnchoColumna(1, 0);
    QCOMPARE(g.anchoColumna(1), 0);
    QVERIFY(g.isColumnHidden(1));
}

void PruebaGrilla::encabezadoImpreso_data() {
    QTest::addColumn<QString>("codigos");
    QTest::addColumn<QList<TramoEncabezado>>("tramos");
    auto t = [](int linea, bool der, bool neg, bool cur, double pts, bool pag, const QString& texto) {
        TramoEncabezado r;
        r.linea = linea;
        r.derecha = der;
        r.negrita = neg;
        r.cursiva = cur;
        r.puntos = pts;
        r.pagina = pag;
        r.texto = texto;
        return r;
    };
    QTest::newRow("encabezado de informe")
        << QStringLiteral(
               "/fb1/fi1/fz\"12\"Balance Sumas y Saldos entre 01/01/24 y 31/12/24/r/fb0/fi0Página: /p")
        << QList<TramoEncabezado>{
               t(0, false, true, true, 12, false, "Balance Sumas y Saldos entre 01/01/24 y 31/12/24"),
               t(0, true, false, false, 12, false, QStringLiteral("Página: ")),
               t(0, true, false, false, 12, true, QString())};
    QTest::newRow("tamaño sin comillas y línea nueva")
        << QStringLiteral("/fz14Título/nSegunda/r/p")
        << QList<TramoEncabezado>{t(0, false, false, false, 14, false, QStringLiteral("Título")),
                                  t(1, false, false, false, 14, false, QStringLiteral("Segunda")),
                                  t(1, true, false, false, 14, true, QString())};
    QTest::newRow("códigos desconocidos quedan")
        << QStringLiteral("a/x b/fz c")
        << QList<TramoEncabezado>{t(0, false, false, false, 0, false, QStringLiteral("a/x b/fz c"))};
    QTest::newRow("vacío") << QString() << QList<TramoEncabezado>{};
}

void PruebaGrilla::encabezadoImpreso() {
    QFETCH(QString, codigos);
    QFETCH(QList<TramoEncabezado>, tramos);
    const QList<TramoEncabezado> r = ParsoEncabezado(codigos);
    QCOMPARE(r.size(), tramos.size());
    for (qsizetype i = 0; i < r.size(); ++i) {
        QCOMPARE(r[i].texto, tramos[i].texto);
        QVERIFY2(r[i] == tramos[i], qPrintable(QStringLiteral("tramo %1").arg(i)));
    }
}

void PruebaGrilla::impresionPdf() {
    QTemporaryDir dir;
    const QString encabezado =
        QStringLiteral("/fb1/fi1/fz\"12\"Mayores entre 01/01/24 y 31/12/24/r/fb0/fi0Página: /p");
    Grilla g;
    Preparo(g, 3);
    for (int f = 1; f <= 3; ++f) {
        g.setTexto(f, 1, QString::number(f));
        g.setTexto(f, 2, QStringLiteral("Cuenta %1").arg(f));
        g.setNumero(f, 3, f * 1000.5);
    }
    g.setFuenteFila(1, true, true);
    const QString corto = dir.filePath(QStringLiteral("corto.pdf"));
    QVERIFY(g.ImprimoPdf(corto, encabezado, QStringLiteral("Mayores")));
    QCOMPARE(g.paginasImpresas(), 1);
    QCOMPARE(PaginasPdf(corto), 1);

    g.setFilas(300);
    for (int f = 4; f <= 300; ++f)
        g.setTexto(f, 2, QStringLiteral("Cuenta %1").arg(f));
    const QString largo = dir.filePath(QStringLiteral("largo.pdf"));
    QVERIFY(g.ImprimoPdf(largo, encabezado, QStringLiteral("Mayores"), false));
    const int paginas = g.paginasImpresas();
    QVERIFY2(paginas >= 3, qPrintable(QString::number(paginas)));
    QCOMPARE(PaginasPdf(largo), paginas);

    // Twice the rows take about twice the pages.
    g.setFilas(600);
    QVERIFY(g.ImprimoPdf(largo, encabezado, QStringLiteral("Mayores")));
    QVERIFY(g.paginasImpresas() >= 2 * paginas - 1 && g.paginasImpresas() <= 2 * paginas + 1);
    QCOMPARE(PaginasPdf(largo), g.paginasImpresas());

    // The preview opens under the job's name.
    // The preview opens under the job's name, on the printer chosen with the printer setup.
    QString titulo;
    QPrinter* usada = nullptr;
    AlAbrirModal([&titulo, &usada](QWidget* w) {
        if (auto* v = qobject_cast<QPrintPreviewDialog*>(w)) {
            titulo = w->windowTitle();
            usada = v->printer();
        }
        w->close();
    });
    g.setFilas(5);
    g.Imprimo(encabezado, QStringLiteral("Mayores"));
    QCOMPARE(titulo, QStringLiteral("Mayores"));
    QCOMPARE(usada, &ImpresoraComun());

    // A path that cannot be written is a failure, not a success.
    QVERIFY(!g.ImprimoPdf(dir.filePath(QStringLiteral("no/existe/x.pdf")), encabezado, QStringLiteral("x")));
}
