#include "tst_disposicion.h"

#include "core/Ini.h"
#include "core/ui/Disposicion.h"
#include "core/ui/Grilla.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSplitter>
#include <QTest>
#include <QToolBar>

namespace {
int Twips(const QWidget& w, int px) {
    return PixelesATwips(px, w.logicalDpiX());
}
} // namespace

void PruebaDisposicion::ventanaNormal() {
    Entorno e(false);
    QWidget a;
    a.resize(500, 300);
    a.move(40, 50);
    a.show();
    QVERIFY(QTest::qWaitForWindowExposed(&a));
    GuardoVentana(QStringLiteral("Asientos"), &a);
    QCOMPARE(LeoLocal(QStringLiteral("Asientos"), QStringLiteral("Ancho"), QString()),
             QString::number(Twips(a, 500)));
    QCOMPARE(LeoLocal(QStringLiteral("Asientos"), QStringLiteral("Estado"), QString()), QStringLiteral("0"));
    // At 96 dots per inch a pixel is 15 twips.
    QCOMPARE(PixelesATwips(500, 96), 7500);
    QCOMPARE(TwipsAPixeles(7500, 96), 500);

    QWidget b;
    b.resize(200, 100);
    RecuperoVentana(QStringLiteral("Asientos"), &b);
    b.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b));
    QCOMPARE(b.size(), QSize(500, 300));
    QCOMPARE(b.pos(), a.pos());
    QVERIFY(!b.isMaximized());
}

void PruebaDisposicion::maximizadaVuelveMaximizadaYRestaura() {
    Entorno e(false);
    {
        QWidget a;
        a.resize(420, 260);
        a.move(30, 30);
        a.show();
        QVERIFY(QTest::qWaitForWindowExposed(&a));
        GuardoVentana(QStringLiteral("Mayores"), &a); // normal: size saved
        a.showMaximized();
        QTRY_VERIFY(a.isMaximized());
        GuardoVentana(QStringLiteral("Mayores"), &a); // maximised: only the state
    }
    QCOMPARE(LeoLocal(QStringLiteral("Mayores"), QStringLiteral("Estado"), QString()), QStringLiteral("2"));
    QWidget b;
    b.resize(100, 100);
    QCOMPARE(LeoLocal(QStringLiteral("Mayores"), QStringLiteral("Ancho"), QString()),
             QString::number(Twips(b, 420)));
    RecuperoVentana(QStringLiteral("Mayores"), &b);
    b.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b));
    QTRY_VERIFY(b.isMaximized());
    b.showNormal();
    QTRY_VERIFY(!b.isMaximized());
    QTRY_COMPARE(b.size(), QSize(420, 260));
}

void PruebaDisposicion::izquierdaNegativaNoSeAplica() {
    Entorno e(false);
    EscriboLocal(QStringLiteral("Diario"), QStringLiteral("Left"), QStringLiteral("-3000"));
    EscriboLocal(QStringLiteral("Diario"), QStringLiteral("Top"), QStringLiteral("1500"));
    EscriboLocal(QStringLiteral("Diario"), QStringLiteral("Ancho"), QStringLiteral("-15"));
    EscriboLocal(QStringLiteral("Diario"), QStringLiteral("Largo"), QStringLiteral("4500"));
    QWidget w;
    w.resize(333, 222);
    w.move(70, 80);
    RecuperoVentana(QStringLiteral("Diario"), &w);
    QCOMPARE(w.x(), 70);
    QCOMPARE(w.y(), TwipsAPixeles(1500, w.logicalDpiY()));
    QCOMPARE(w.width(), 333); // a width not above 0 keeps the designed one
    QCOMPARE(w.height(), TwipsAPixeles(4500, w.logicalDpiY()));
}

void PruebaDisposicion::sinDisposicionGuardada() {
    // Nothing saved: the designed size, the top-left corner, normal state.
    Entorno e(false);
    QWidget w;
    w.resize(321, 123);
    w.move(90, 90);
    w.setWindowState(Qt::WindowMaximized);
    RecuperoVentana(QStringLiteral("Balance"), &w);
    QCOMPARE(w.size(), QSize(321, 123));
    QCOMPARE(w.pos(), QPoint(0, 0));
    QVERIFY(!(w.windowState() & Qt::WindowMaximized));
}

void PruebaDisposicion::ventanaMdi() {
    Entorno e(false);
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    auto* pantalla = new QLabel(QStringLiteral("Asientos"));
    QMdiSubWindow* sub = area.addSubWindow(pantalla);
    sub->resize(400, 300);
    sub->move(20, 10);
    sub->show();
    GuardoVentana(QStringLiteral("Asientos"), pantalla);
    // The frame around the screen is what is measured.
    QCOMPARE(LeoLocal(QStringLiteral("Asientos"), QStringLiteral("Ancho"), QString()),
             QString::number(Twips(*sub, 400)));
    QCOMPARE(LeoLocal(QStringLiteral("Asientos"), QStringLiteral("Left"), QString()),
             QString::number(Twips(*sub, 20)));
    sub->showMaximized();
    QTRY_VERIFY(sub->isMaximized());
    GuardoVentana(QStringLiteral("Asientos"), pantalla);
    sub->close();

    auto* otra = new QLabel(QStringLiteral("Asientos otra vez"));
    QMdiSubWindow* sub2 = area.addSubWindow(otra);
    sub2->resize(150, 150);
    sub2->show();
    RecuperoVentana(QStringLiteral("Asientos"), otra);
    QTRY_VERIFY(sub2->isMaximized());
    sub2->showNormal();
    QTRY_COMPARE(sub2->size(), QSize(400, 300));
    QCOMPARE(sub2->pos(), QPoint(20, 10));
}

// Every column is written and every key restored: a hidden column is written as 0, a 0 hides, a width
// shows a hidden column; a column without a usable key keeps its width. The balance and the
// inflation-adjusted balance share one section, so one screen's widths reach the other.
void PruebaDisposicion::columnasTodas() {
    Entorno e(false);
    struct Caso {
        int ancho;         // designed width (0: hidden)
        const char* clave; // saved value, nullptr: no key
        int despues;       // width after restoring
    };
    const Caso casos[] = {
        {70, "120", 120},   // a saved width
        {70, "0", 0},       // a zero width hides the column
        {0, "90", 90},      // a hidden column takes its saved width and shows
        {0, "0", 0},        // hidden and saved hidden
        {70, nullptr, 70},  // no key: designed width
        {70, "ancho", 70},  // not a number: designed width
        {0, nullptr, 0},    // hidden without a key stays hidden
        {70, " 44.6 ", 45}, // spaces and decimals as the settings reader leaves them
    };
    const int n = int(std::size(casos));
    Grilla balance;
    balance.setObjectName(QStringLiteral("sprRpt"));
    balance.setColumnas(n);
    for (int c = 1; c <= n; ++c)
        if (casos[c - 1].clave)
            EscriboLocal(QStringLiteral("Balance"), QStringLiteral("sprRptCol%1").arg(c), casos[c - 1].clave);
    Grilla reajustado;
    reajustado.setObjectName(QStringLiteral("sprRpt"));
    reajustado.setColumnas(n);
    for (int c = 1; c <= n; ++c)
        reajustado.setAnchoColumna(c, casos[c - 1].ancho);
    RecuperoColumnas(QStringLiteral("Balance"), &reajustado);
    for (int c = 1; c <= n; ++c)
        QVERIFY2(reajustado.anchoColumna(c) == casos[c - 1].despues, qPrintable(QString::number(c)));
    GuardoColumnas(QStringLiteral("Balance"), &reajustado);
    for (int c = 1; c <= n; ++c)
        QCOMPARE(LeoLocal(QStringLiteral("Balance"), QStringLiteral("sprRptCol%1").arg(c), QString()),
                 QString::number(casos[c - 1].despues));
    // The other screen of the section, with fewer columns, takes what this one saved.
    balance.setColumnas(3);
    RecuperoColumnas(QStringLiteral("Balance"), &balance);
    QCOMPARE(balance.anchoColumna(1), 120);
    QCOMPARE(balance.anchoColumna(2), 0);
    QCOMPARE(balance.anchoColumna(3), 90);
}

void PruebaDisposicion::bandas() {
    Entorno e(false);
    QSplitter s;
    s.setObjectName(QStringLiteral("clbMaster"));
    for (int i = 0; i < 3; ++i)
        s.addWidget(new QLabel(QStringLiteral("banda")));
    s.resize(600, 40);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    s.setSizes({100, 200, 300});
    const QList<int> guardado = s.sizes();
    GuardoBandas(QStringLiteral("Mayores"), &s);
    QCOMPARE(LeoLocal(QStringLiteral("Mayores"), QStringLiteral("clbMasterBanda3"), QString()),
             QString::number(guardado[2]));
    QSplitter s2;
    s2.setObjectName(QStringLiteral("clbMaster"));
    for (int i = 0; i < 3; ++i)
        s2.addWidget(new QLabel(QStringLiteral("banda")));
    s2.resize(600, 40);
    s2.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s2));
    RecuperoBandas(QStringLiteral("Mayores"), &s2);
    QCOMPARE(s2.sizes(), guardado);

    QToolBar t;
    t.setObjectName(QStringLiteral("clbAsientos"));
    auto* uno = new QLabel(QStringLiteral("uno"));
    auto* dos = new QLabel(QStringLiteral("dos"));
    t.addWidget(uno);
    t.addSeparator();
    t.addWidget(dos);
    EscriboLocal(QStringLiteral("Asientos"), QStringLiteral("clbAsientosBanda1"), QStringLiteral("140"));
    RecuperoBandas(QStringLiteral("Asientos"), &t);
    QCOMPARE(uno->maximumWidth(), 140);
    QCOMPARE(dos->maximumWidth(), QWIDGETSIZE_MAX); // no key: untouched
    t.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t));
    GuardoBandas(QStringLiteral("Asientos"), &t);
    QCOMPARE(LeoLocal(QStringLiteral("Asientos"), QStringLiteral("clbAsientosBanda1"), QString()),
             QStringLiteral("140"));
    QVERIFY(!LeoLocal(QStringLiteral("Asientos"), QStringLiteral("clbAsientosBanda2"), QString()).isEmpty());
    QVERIFY(LeoLocal(QStringLiteral("Asientos"), QStringLiteral("clbAsientosBanda3"), QString()).isEmpty());
}

void PruebaDisposicion::recuperoAntesDeEntrarAlMarco_data() {
    QTest::addColumn<int>("estado");
    QTest::newRow("normal") << 0;
    QTest::newRow("maximizada") << 2;
}

void PruebaDisposicion::recuperoAntesDeEntrarAlMarco() {
    // A screen restores its layout while it is built, before the registry puts it in its frame.
    QFETCH(int, estado);
    Entorno e(false);
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    const int dpi = area.logicalDpiX();
    EscriboLocal(QStringLiteral("Diario"), QStringLiteral("Ancho"), QString::number(PixelesATwips(500, dpi)));
    EscriboLocal(QStringLiteral("Diario"), QStringLiteral("Largo"),
                 QString::number(PixelesATwips(350, area.logicalDpiY())));
    EscriboLocal(QStringLiteral("Diario"), QStringLiteral("Left"), QString::number(PixelesATwips(60, dpi)));
    EscriboLocal(QStringLiteral("Diario"), QStringLiteral("Top"),
                 QString::number(PixelesATwips(40, area.logicalDpiY())));
    EscriboLocal(QStringLiteral("Diario"), QStringLiteral("Estado"), QString::number(estado));
    auto* pantalla = new QLabel(QStringLiteral("Diario General"));
    RecuperoVentana(QStringLiteral("Diario"), pantalla);
    QMdiSubWindow* sub = area.addSubWindow(pantalla);
    sub->show();
    if (estado == 2) {
        QTRY_VERIFY(sub->isMaximized());
        sub->showNormal();
    }
    QTRY_COMPARE(sub->size(), QSize(500, 350));
    QCOMPARE(sub->pos(), QPoint(60, 40));
}
