// The chart screen as a user meets it: a chart that starts empty, clicks into the code search,
// the concept grids with the real line-concepts picker, searches that ignore letter case, and a
// suggested ordinal that would not fit.
#include "accounts/OperacionesCuentas.h"
#include "accounts/ui/ArbolPlan.h"
#include "accounts/ui/frmCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "journal/ui/RegistroAsientos.h"
#include "tests/support/ui/EntornoPantallas.h"
#include "tst_pantallas_cuentas.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {
struct Pantalla {
    Entorno e;
    std::unique_ptr<frmCuentas> f;
    explicit Pantalla(bool conPlan, int preseleccion = -1) {
        e.CreoEmpresaYEjercicio();
        if (conPlan) e.CreoPlanChico();
        AppState& a = App();
        a.chartCompany = 1;
        a.chartYear = 1;
        a.preselection = preseleccion;
        a.searchText = QString();
        a.currentSession = NuevaSesion();
        Pantallas::Olvido();
    }
    frmCuentas* Abro() {
        f = std::make_unique<frmCuentas>();
        f->show();
        f->activateWindow();
        QApplication::setActiveWindow(f.get());
        if (!QTest::qWaitForWindowActive(f.get())) qWarning("the chart screen did not become active");
        return f.get();
    }
};

} // namespace

void PruebaUsoPlan::planVacioHabilitaBusquedaJerarquica() {
    Pantalla p(false);
    frmCuentas* f = p.Abro();
    QCOMPARE(f->windowTitle(), QString("Plan de Cuentas (0 cuentas)"));
    QVERIFY(!f->inpBusqCodJer->isEnabled()); // no levels yet: nothing to type
    // The first account is added under the root, which stays shown: the code search opens for it.
    f->btnRegAgregar->click();
    QTest::keyClicks(f->inpDescripcion, "ACTIVO");
    f->btnGuardar->click();
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 0);
    QVERIFY(f->inpBusqCodJer->isEnabled());
    QCOMPARE(f->inpBusqCodJer->inputMask(), QString("x"));
    QVERIFY(PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas));
    // Ten top-level accounts widen the level while the root is shown.
    for (int i = 2; i <= 10; ++i) {
        f->btnRegAgregar->click();
        QTest::keyClicks(f->inpDescripcion, QString("CUENTA %1").arg(i));
        f->btnGuardar->click();
    }
    QCOMPARE(f->inpBusqCodJer->inputMask(), QString("xx"));
    // Deleting back to one account narrows it again.
    f->treMaster->Selecciono(10);
    MensajePrueba::setNextAnswer(Respuesta::Si);
    f->btnRegBorrar->click();
    QCOMPARE(Cuento("Cuentas", "Cuenta=10"), 0);
    QCOMPARE(f->inpBusqCodJer->inputMask(), QString("x"));
}

void PruebaUsoPlan::clicEnBusquedaJerarquica() {
    Pantalla p(true);
    frmCuentas* f = p.Abro();
    QLineEdit* c = f->inpBusqCodJer;
    QCOMPARE(c->displayText(), QString(" . "));
    // Clicked near its right edge, as a user aims at a field: the code still goes in from the start.
    QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(c->width() - 6, c->height() / 2));
    QVERIFY(c->hasFocus());
    QTest::keyClicks(c, "32");
    QCOMPARE(c->displayText(), QString("3.2"));
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 8);
    // With a code typed, a click places the cursor where it points, as usual.
    QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(c->width() - 6, c->height() / 2));
    QCOMPARE(c->cursorPosition(), c->displayText().size());
}

void PruebaUsoPlan::grillasConceptosSinDesplazamiento() {
    Pantalla p(true, 2);
    frmCuentas* f = p.Abro();
    QVERIFY(f->fraConceptosDebe->isVisible());
    for (Grilla* g : {f->sprConceptosDebe, f->sprConceptosHaber}) {
        QCoreApplication::processEvents();
        QCOMPARE(g->horizontalScrollBar()->maximum(), 0);
        QVERIFY(g->columnViewportPosition(1) >= 0);
    }
}

void PruebaUsoPlan::selectorDeConceptosReal() {
    Pantalla p(true, 2);
    for (int i = 1; i <= 3; ++i)
        Ejecuto("INSERT INTO ConceptosDetAsiento (ConceptoDetAsiento, descConceptoDetAsiento) VALUES (?, ?)",
                {i, QString("Leyenda %1").arg(i)});
    RegistroPantallasAsientos();
    frmCuentas* f = p.Abro();
    Grilla* g = f->sprConceptosHaber;
    QCoreApplication::processEvents();
    QString titulo;
    int filasListado = 0;
    AlAbrirModal([&](QWidget* w) {
        titulo = w->windowTitle();
        auto* lista = w->findChild<Grilla*>("sprMaster");
        auto* elegir = w->findChild<QPushButton*>("btnSeleccionar");
        QVERIFY(lista && elegir);
        for (int fila = 1; fila <= lista->filas(); ++fila)
            if (!lista->texto(fila, 1).trimmed().isEmpty()) ++filasListado;
        for (int fila = 1; fila <= lista->filas(); ++fila)
            if (lista->texto(fila, 2) == "Leyenda 3") lista->setCeldaActual(fila, 2);
        elegir->click();
    });
    // A real double-click on the first row of the credit grid.
    const QRect celda = g->visualRect(g->model()->index(0, 2));
    QVERIFY(celda.isValid());
    // A double-click as the platform delivers it: press and release, then the double-click.
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, celda.center());
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, celda.center());
    QTRY_COMPARE(g->texto(1, 2), QString("Leyenda 3"));
    QCOMPARE(titulo, QString("Conceptos Detalles Asiento"));
    QCOMPARE(filasListado, 3);
    QCOMPARE(g->texto(1, 1), QString("3"));
    QVERIFY(f->dirty);
    f->btnGuardar->click();
    QCOMPARE(Cuento("CuentasConceptos", "Cuenta=2 AND Debe=0 AND ConceptoDetAsiento=3"), 1);

    // Leaving the picker without choosing changes nothing.
    AlAbrirModal([&](QWidget* w) { w->findChild<QToolButton*>("btnSalir")->click(); });
    const QRect segunda = g->visualRect(g->model()->index(1, 2));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, segunda.center());
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, segunda.center());
    QTest::qWait(50);
    QVERIFY(g->texto(2, 1).isEmpty());
    QVERIFY(!f->dirty);
}

void PruebaUsoPlan::busquedaCodIntSinMayusculas() {
    Pantalla p(true);
    Ejecuto("UPDATE Cuentas SET CodInt='ÑANDÚ' WHERE EmpresaPropia=1 AND NumEjercicio=1 AND Cuenta=5");
    frmCuentas* f = p.Abro();
    f->inpBusqCodInt->setFocus();
    // Character by character, accents included (keyClicks takes only ASCII).
    for (const QChar c : QString::fromUtf8("ñandú"))
        QTest::sendKeyEvent(QTest::Click, f->inpBusqCodInt, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QCOMPARE(f->inpBusqCodInt->text(), QString::fromUtf8("ñandú"));
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 5);
}

void PruebaUsoPlan::sugerenciaFueraDeRango() {
    Pantalla p(true, 1);
    Ejecuto("UPDATE Cuentas SET NumHijo=30000 WHERE EmpresaPropia=1 AND NumEjercicio=1 AND Cuenta=3");
    Ejecuto("UPDATE Cuentas SET NumHijo=20000 WHERE EmpresaPropia=1 AND NumEjercicio=1 AND Cuenta=2");
    frmCuentas* f = p.Abro();
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    f->btnRegAgregar->click();
    // 2*30000-20000 does not fit: said so, and no number is offered.
    QCOMPARE(MensajePrueba::Textos().size(), 1);
    QVERIFY(MensajePrueba::Textos().first().contains("32767"));
    QVERIFY(f->adding);
    QVERIFY(f->inpNumHijo->text().isEmpty());
    QTest::keyClicks(f->inpDescripcion, "NUEVA");
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    f->btnGuardar->click();
    QCOMPARE(MensajePrueba::Textos(), QStringList{TextosCuentas::NumHijoInvalido});
    QCOMPARE(Cuento("Cuentas", "CuentaPadre=1"), 2);
    // A free ordinal typed by the user is taken.
    QTest::keyClicks(f->inpNumHijo, "3");
    f->btnGuardar->click();
    QCOMPARE(Cuento("Cuentas", "CuentaPadre=1 AND NumHijo=3 AND Descripcion='NUEVA'"), 1);
}

void PruebaUsoPlan::busquedaJerarquicaTrasGuardar() {
    Pantalla p(true, 7);
    frmCuentas* f = p.Abro();
    QTest::keyClicks(f->inpDescripcion, " NETAS");
    // A code typed while the panel holds edits: saved on Yes, and the typed code stays in the field
    // when the widths did not change.
    QLineEdit* c = f->inpBusqCodJer;
    c->setFocus();
    c->setCursorPosition(0);
    MensajePrueba::setNextAnswer(Respuesta::Si);
    QTest::keyClicks(c, "3");
    QCOMPARE(NuloAVacio(ValorCampo("Cuentas", "Descripcion", "Cuenta=7")), QString("VENTAS NETAS"));
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 6);
    QCOMPARE(c->displayText(), QString("3. "));
    QTest::keyClicks(c, "2");
    QCOMPARE(c->displayText(), QString("3.2"));
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 8);
}
