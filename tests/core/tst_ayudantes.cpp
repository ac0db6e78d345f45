// Lists, single values and window placement: the helpers every screen leans on.
#include "tst_ayudantes.h"
#include "core/ui/DialogoProgreso.h"
#include <QLabel>
#include <QPushButton>
#include <QProgressBar>
#include <atomic>
#include <QApplication>
#include <QTimer>
#include <QThread>
#include "core/AppState.h"
#include "core/Contexto.h"
#include "core/Basedatos.h"
#include "core/CatalogoDatos.h"
#include "core/Valores.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Ventanas.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

void PruebaAyudantes::llenoCombo() {
    Entorno e;
    Ejecuto("INSERT INTO ConceptosAsiento (ConceptoAsiento, descConceptoAsiento) VALUES (7, 'Venta')");
    Ejecuto("INSERT INTO ConceptosAsiento (ConceptoAsiento, descConceptoAsiento) VALUES (3, NULL)");
    Ejecuto("INSERT INTO ConceptosAsiento (ConceptoAsiento, descConceptoAsiento) VALUES (12, 'Compra')");
    QComboBox lista;
    lista.addItem("resto de una carga anterior");
    QVector<int> ids{99, 98};
    LlenoCombo(&lista, OpcionesCatalogo(ContextoActual(), "ConceptosAsiento", "descConceptoAsiento"), ids);
    // Ordered by the shown text (Null first); a Null text still gets its item and its number.
    QCOMPARE(lista.count(), 3);
    QCOMPARE(ids, (QVector<int>{3, 12, 7}));
    QCOMPARE(lista.itemText(0), QString());
    QCOMPARE(lista.itemText(1), QString("Compra"));
    QCOMPARE(lista.itemText(2), QString("Venta"));
    QCOMPARE(lista.currentIndex(), 0);

    QCOMPARE(IndiceEnLista(7, ids), 2);
    QCOMPARE(IndiceEnLista(QString("12"), ids), 1);
    QCOMPARE(IndiceEnLista(5, ids), -1);
    QCOMPARE(IndiceEnLista(QVariant(), ids), -1);
    QCOMPARE(IndiceEnLista(QString("abc"), ids), -1);

    // An empty table leaves the list empty, nothing selected, and no stale numbers.
    LlenoCombo(&lista, OpcionesCatalogo(ContextoActual(), "ConceptosDetAsiento", "descConceptoDetAsiento"), ids);
    QCOMPARE(lista.count(), 0);
    QCOMPARE(lista.currentIndex(), -1);
    QVERIFY(ids.isEmpty());
    QCOMPARE(IndiceEnLista(3, ids), -1);
}

void PruebaAyudantes::valorCampoTabla() {
    Entorno e;
    QVERIFY(!ValorCampoTabla("EmpresasPropia", "descEmpresaPropia", "EmpresaPropia=?", {1}).has_value());
    Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (2, NULL)");
    Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (5, 'Quinta')");
    Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (4, 'Cuarta')");
    const Valor nulo = ValorCampoTabla("EmpresasPropia", "descEmpresaPropia", "EmpresaPropia=?", {2});
    QVERIFY(nulo.has_value());
    QVERIFY(nulo->isNull());
    QCOMPARE(NuloAVacio(nulo), QString(""));
    QCOMPARE(NuloAVacio(ValorCampoTabla("EmpresasPropia", "descEmpresaPropia", "EmpresaPropia=?", {4})),
             QString("Cuarta"));
    // A criterion met by several rows gives the first one, and an OR in it stays inside the criterion.
    QCOMPARE(
        NumeroOCero(ValorCampoTabla("EmpresasPropia", "EmpresaPropia", "EmpresaPropia>3 OR EmpresaPropia=2")),
        2.0);
    QVERIFY(!ValorCampoTabla("EmpresasPropia", "EmpresaPropia", "EmpresaPropia>5 OR EmpresaPropia=1")
                 .has_value());
}

void PruebaAyudantes::ajustoTexto_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("ancho");
    QTest::newRow("corto se rellena") << "Caja" << 300;
    QTest::newRow("largo se corta") << "Empresa de Transportes del Litoral Sociedad Anónima" << 120;
    QTest::newRow("justo") << "ABCDEFGHIJ" << 0; // width worked out below: the text's own plus "||||"
    QTest::newRow("vacio") << "" << 80;
}

void PruebaAyudantes::ajustoTexto() {
    QFETCH(QString, texto);
    QFETCH(int, ancho);
    QWidget ventana;
    const QFontMetrics fm = ventana.fontMetrics();
    const int barras = fm.horizontalAdvance("||||");
    if (ancho == 0) ancho = fm.horizontalAdvance(texto) + barras;
    const int limite = ancho - barras;
    const QString r = AjustoTexto(texto, ancho, &ventana);
    const QString fuente = texto + QString(200, ' ');
    // A prefix of the text and its blanks, grown while it stayed narrower than the limit.
    QVERIFY(!r.isEmpty());
    QVERIFY(fuente.startsWith(r));
    QVERIFY(fm.horizontalAdvance(r.chopped(1)) < limite);
    QVERIFY2(fm.horizontalAdvance(r) >= limite,
             qPrintable(QString("%1 < %2").arg(fm.horizontalAdvance(r)).arg(limite)));
    if (fm.horizontalAdvance(texto) < limite) {
        QVERIFY(r.startsWith(texto));
        QVERIFY(r.size() > texto.size());
        QVERIFY(r.mid(texto.size()).trimmed().isEmpty());
    } else {
        QVERIFY(r.size() <= texto.size());
    }
    // Nothing fits a width narrower than the bars themselves.
    QCOMPARE(AjustoTexto(texto, barras, &ventana), QString());
}

void PruebaAyudantes::ubicoPanel_data() {
    QTest::addColumn<QSize>("panel");
    QTest::addColumn<bool>("conTira");
    QTest::addColumn<QPoint>("esperado");
    // Window 600 x 400, tool strip 40 high; the panel starts at (5, 7).
    QTest::newRow("tercio del espacio libre") << QSize(300, 100) << true << QPoint(100, 100);
    QTest::newRow("alto: debajo de la tira") << QSize(300, 370) << true << QPoint(100, 40);
    QTest::newRow("mas ancho que la ventana") << QSize(700, 100) << true << QPoint(0, 100);
    QTest::newRow("sin tira conserva el alto") << QSize(300, 100) << false << QPoint(100, 7);
}

void PruebaAyudantes::ubicoPanel() {
    QFETCH(QSize, panel);
    QFETCH(bool, conTira);
    QFETCH(QPoint, esperado);
    QWidget ventana;
    ventana.resize(600, 400);
    if (conTira) {
        auto* tira = new QWidget(&ventana);
        tira->setObjectName("Picture1");
        tira->setGeometry(0, 0, 600, 40);
    }
    auto* p = new QWidget(&ventana);
    p->setGeometry(QRect(QPoint(5, 7), panel));
    UbicoPanel(&ventana, p);
    QCOMPARE(p->pos(), esperado);
    QCOMPARE(p->size(), panel);
    UbicoPanel(nullptr, p); // ignored, as every error of the placement
    QCOMPARE(p->pos(), esperado);
}

void PruebaAyudantes::centroVentana() {
    QWidget ventana;
    ventana.resize(300, 200);
    CentroVentana(&ventana);
    const QRect r =
        (ventana.screen() ? ventana.screen() : QGuiApplication::primaryScreen())->availableGeometry();
    QCOMPARE(ventana.pos(), QPoint(r.left() + (r.width() - 300) / 2, r.top() + (r.height() - 200) / 2));
}

void PruebaAyudantes::mensajeSinRespuestaFalla_data() {
    QTest::addColumn<int>("botones");
    QTest::addColumn<int>("respuesta");
    QTest::newRow("Ok") << int(Botones::Ok) << int(Respuesta::Ok);
    QTest::newRow("Sí/No") << int(Botones::SiNo) << int(Respuesta::No);
    QTest::newRow("Sí/No/Cancelar") << int(Botones::SiNoCancelar) << int(Respuesta::Cancelar);
    QTest::newRow("Ok/Cancelar") << int(Botones::OkCancelar) << int(Respuesta::Cancelar);
}

// A message the test queued no answer for fails the test, is recorded, and gets the answer that
// changes nothing, never "Sí".
void PruebaAyudantes::mensajeSinRespuestaFalla() {
    QFETCH(int, botones);
    QFETCH(int, respuesta);
    Entorno e(false);
    QEXPECT_FAIL("", "ningún mensaje sin respuesta preparada pasa inadvertido", Continue);
    const Respuesta r = Mensaje("¿Elimino todo?", Icono::Pregunta, Botones(botones));
    QCOMPARE(int(r), respuesta);
    QCOMPARE(MensajePrueba::Textos(), QStringList{"¿Elimino todo?"});
}

// The progress window, on a clock of the test's own: an operation shorter than the delay shows
// nothing; a longer one shows what it does and how far from the step that passes the delay; its
// button stops it at the next step, except once it has begun what it cannot stop. The same on a
// worker thread, stopped from the window.
void PruebaAyudantes::ventanaProgreso_data() {
    QTest::addColumn<bool>("otroHilo");
    QTest::addColumn<int>("pasos");
    QTest::addColumn<int>("cancelo");  // the step before which the button is pressed (0: never)
    QTest::addColumn<int>("reservo");  // from this step on it cannot stop (0: it always can)
    QTest::addColumn<int>("hechos");   // steps done in the end
    QTest::addColumn<QString>("texto"); // what the window says when it appears (empty: it never does)
    QTest::newRow("más corta que la demora") << false << 4 << 0 << 0 << 4 << QString();
    QTest::newRow("larga") << false << 8 << 0 << 0 << 8 << "Contando (5 de 8)";
    QTest::newRow("cancelada") << false << 8 << 6 << 0 << 5 << "Contando (5 de 8)";
    QTest::newRow("cancelada tarde") << false << 8 << 6 << 4 << 8 << "Contando (5 de 8)";
    QTest::newRow("en otro hilo, cancelada") << true << 1000000 << 1 << 0 << -1 << QString();
}

// What the window says and how full its bar is for an operation in a series of stages, with counted or
// estimated steps. Each row: the calls (S n: a series of n, E name [pasos hechos]: a stage, P share:
// how far the stage is, D from to: the part of the stage that follows), the text, the bar in thousandths
// (-1: moving, no end known).
void PruebaAyudantes::ventanaEtapas_data() {
    QTest::addColumn<QStringList>("llamadas");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("barra");
    QTest::newRow("contada") << QStringList{"E Contando 8 5"} << "Contando (5 de 8)" << 625;
    QTest::newRow("sin fin conocido") << QStringList{"E Leyendo"} << "Leyendo" << -1;
    QTest::newRow("serie, etapa sin cuenta") << QStringList{"S 4", "E A", "E B"} << "B\nPaso 2 de 4" << 250;
    QTest::newRow("serie, estimada") << QStringList{"S 3", "E A", "E B", "P 0.5"} << "B (50 %)\nPaso 2 de 3" << 500;
    QTest::newRow("serie, contada") << QStringList{"S 2", "E A", "E B 4 1"} << "B (1 de 4)\nPaso 2 de 2" << 625;
    QTest::newRow("parte de una etapa")
        << QStringList{"S 2", "E A", "D 0.25 0.5", "P 0.5"} << "A (37 %)\nPaso 1 de 2" << 187;
    // An estimate past its end never says the stage is done before it says so itself.
    QTest::newRow("estimada de más") << QStringList{"E A", "P 3"} << "A (99 %)" << 999;
    QTest::newRow("nueva etapa, parte entera")
        << QStringList{"S 2", "E A", "D 0.5 1", "P 0.5", "E B", "P 0.1"} << "B (10 %)\nPaso 2 de 2" << 550;
}

void PruebaAyudantes::ventanaEtapas() {
    QFETCH(QStringList, llamadas);
    QFETCH(QString, texto);
    QFETCH(int, barra);
    std::atomic<qint64> ahora{0};
    const auto reloj = DialogoProgreso::reloj;
    DialogoProgreso::reloj = [&] { return ahora.load(); };
    QString visto;
    int lleno = -2;
    DialogoProgreso::EnEsteHilo(nullptr, "Prueba", [&](Progreso& p) {
        for (const QString& llamada : llamadas) {
            ahora += 1000;
            const QStringList a = llamada.split(' ');
            if (a[0] == "S") p.Serie(a[1].toInt());
            if (a[0] == "E") p.Etapa(a[1], a.value(2).toLongLong(), a.value(3).toLongLong());
            if (a[0] == "P") p.Parte(a[1].toDouble());
            if (a[0] == "D") p.ParteDeEtapa(a[1].toDouble(), a[2].toDouble());
        }
        // One more report, past the window's delay, that changes nothing.
        ahora += 1000;
        p.Avance(p.Hecho());
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<DialogoProgreso*>(w); d && d->isVisible()) {
                visto = d->lblQue->text();
                lleno = d->barra->maximum() == 0 ? -1 : d->barra->value();
            }
        return true;
    });
    DialogoProgreso::reloj = reloj;
    QCOMPARE(visto, texto);
    QCOMPARE(lleno, barra);
}

void PruebaAyudantes::ventanaProgreso() {
    QFETCH(bool, otroHilo);
    QFETCH(int, pasos);
    QFETCH(int, cancelo);
    QFETCH(int, reservo);
    QFETCH(int, hechos);
    QFETCH(QString, texto);
    auto ventana = []() -> DialogoProgreso* {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<DialogoProgreso*>(w); d && d->isVisible()) return d;
        return nullptr;
    };
    std::atomic<qint64> ahora{0};
    const auto reloj = DialogoProgreso::reloj;
    DialogoProgreso::reloj = [&] { return ahora.load(); };
    int hecho = 0;
    QString visto;
    bool ok;
    if (!otroHilo) {
        ok = DialogoProgreso::EnEsteHilo(nullptr, "Prueba", [&](Progreso& p) {
            p.Etapa("Contando", pasos);
            for (int i = 1; i <= pasos; ++i) {
                ahora += 100;
                if (i == reservo) p.SinCancelar();
                if (i == cancelo && ventana()) ventana()->btnCancelar->click();
                if (!p.Avance(i)) return false;
                hecho = i;
                if (visto.isEmpty() && ventana()) visto = ventana()->lblQue->text();
            }
            return true;
        });
    } else {
        // The worker counts until it is stopped; the window, shown once the clock passes the delay,
        // is stopped through its button from the screens' thread.
        QTimer boton;
        QObject::connect(&boton, &QTimer::timeout, [&] {
            ahora += 100;
            if (DialogoProgreso* d = ventana()) d->btnCancelar->click();
        });
        boton.start(10);
        ok = DialogoProgreso::EnOtroHilo(nullptr, "Prueba", [&](Progreso& p) {
            p.Etapa("Contando", pasos);
            for (int i = 1; i <= pasos; ++i) {
                if (!p.Avance(i)) return false;
                hecho = i;
                QThread::usleep(50);
            }
            return true;
        });
        QVERIFY(hecho < pasos);
        hecho = -1;
    }
    DialogoProgreso::reloj = reloj;
    QCOMPARE(hecho, hechos);
    QCOMPARE(ok, hechos == pasos);
    QCOMPARE(visto, texto);
    QVERIFY(!ventana());
}
