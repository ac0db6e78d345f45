#include "accounts/OperacionesCuentas.h"
#include "accounts/ui/ArbolPlan.h"
#include "journal/ui/IngresoCuentaGrilla.h"
#include "accounts/ui/RegistroCuentas.h"
#include "accounts/ui/frmCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Ini.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "tests/support/ui/EntornoPantallas.h"
#include "tst_pantallas_cuentas.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>

namespace {
// A fresh database with the small chart, made the chart of the screen, in a session of its own.
struct Plan {
    Entorno e;
    Plan() {
        e.CreoEmpresaYEjercicio();
        e.CreoPlanChico();
        AppState& a = App();
        a.chartCompany = 1;
        a.chartYear = 1;
        a.preselection = -1;
        a.searchText = QString();
        a.currentSession = NuevaSesion();
        Pantallas::Olvido();
    }
};

std::unique_ptr<frmCuentas> Abro() {
    auto f = std::make_unique<frmCuentas>();
    f->show();
    f->activateWindow();
    QApplication::setActiveWindow(f.get());
    return f;
}

QString Columna(const QString& campo, int cuenta) {
    return NuloAVacio(
        ValorCampo("Cuentas", campo, "EmpresaPropia=1 AND NumEjercicio=1 AND Cuenta=?", {cuenta}));
}
bool Verde(QWidget* w) {
    return w->palette().color(QPalette::Window) == QColor(0, 192, 0);
}
} // namespace

void PruebaPantallaCuentas::rechazaSinEjercicio() {
    Plan p;
    App().chartYear = 7;
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    frmCuentas f;
    QVERIFY(!f.abierta());
    QVERIFY(f.property("rechazada").toBool());
    QCOMPARE(MensajePrueba::Textos(), QStringList{TextosCuentas::SinEjercicio});
    QCOMPARE(MensajePrueba::Mostrados().last().icono, Icono::Error);
    RegistroPantallasCuentas();
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    QCOMPARE(Pantallas::AbroModal("frmCuentas"), -1);
    QCOMPARE(MensajePrueba::Textos(), QStringList(2, TextosCuentas::SinEjercicio));
}

void PruebaPantallaCuentas::abreConArbolYCaption() {
    Plan p;
    App().preselection = 3;
    auto f = Abro();
    QAbstractItemModelTester probador(f->treMaster->model(),
                                      QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(f->windowTitle(), QString("Plan de Cuentas (8 cuentas)"));
    QCOMPARE(f->treMaster->topLevelItemCount(), 1);
    QCOMPARE(f->treMaster->topLevelItem(0)->text(0), QString("Cuentas"));
    QCOMPARE(f->treMaster->topLevelItem(0)->childCount(), 3);
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 3);
    QCOMPARE(f->lblCodigoPath->text(), QString("1.2"));
    QCOMPARE(f->inpDescripcion->text(), QString("BANCOS"));
    QCOMPARE(f->inpCodInt->text(), QString("BCO"));
    QCOMPARE(f->inpNumHijo->text(), QString("2"));
    QVERIFY(f->optCondDebito[0]->isChecked());
    QVERIFY(f->optCuentaResultado[1]->isChecked());
    QVERIFY(!f->fraNumHijo->isEnabled());
    QVERIFY(f->fraConceptosDebe->isVisibleTo(f.get()));
    QVERIFY(!Verde(f->Picture1));
    QVERIFY(PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas));
    QVERIFY(!f->inpBusqCodJer->inputMask().isEmpty());
    for (const char* nombre : {"btnRegAgregar", "btnRegBorrar", "btnGuardar", "btnSeleccionar", "btnSalir"}) {
        auto* b = f->findChild<QAbstractButton*>(nombre);
        QVERIFY2(b && !b->accessibleName().isEmpty() && !b->toolTip().isEmpty(), nombre);
    }
    QCOMPARE(f->findChild<QAbstractButton*>("btnRegAgregar")->toolTip(), QString("Agregar nuevo registro"));
    QCOMPARE(f->treMaster->toolTip(), QString("Click izq para mover, click derecho para seleccionar"));
    // The menu hands in true: the root, which shows no panel.
    App().preselection = true;
    frmCuentas g;
    QCOMPARE(g.treMaster->CuentaSeleccionada(), 0);
    QVERIFY(!g.pnlDatos->isVisibleTo(&g));
    f->treMaster->Selecciono(0);
    QVERIFY(!f->pnlDatos->isVisibleTo(f.get()));
    // A summary account shows no concept grids.
    f->treMaster->Selecciono(1);
    QVERIFY(f->pnlDatos->isVisibleTo(f.get()));
    QVERIFY(!f->fraConceptosDebe->isVisibleTo(f.get()));
}

void PruebaPantallaCuentas::agregoYEdito() {
    Plan p;
    auto f = Abro();
    QAbstractItemModelTester probador(f->treMaster->model(),
                                      QAbstractItemModelTester::FailureReportingMode::QtTest);
    // Under the root: a new top-level account with the suggested ordinal.
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 0);
    Clic(f->btnRegAgregar);
    QVERIFY(f->adding && f->dirty);
    QVERIFY(Verde(f->Picture1));
    QVERIFY(f->fraNumHijo->isEnabled());
    QCOMPARE(f->inpNumHijo->text(), QString("4"));
    QTest::keyClicks(f->inpDescripcion, "PATRIMONIO 'NETO'");
    Clic(f->btnGuardar);
    QVERIFY(!f->adding && !f->dirty);
    QVERIFY(!Verde(f->Picture1));
    QCOMPARE(Columna("Descripcion", 9), QString("PATRIMONIO 'NETO'"));
    QCOMPARE(Columna("CuentaPadre", 9), QString("0"));
    QCOMPARE(Columna("NumHijo", 9), QString("4"));
    QVERIFY(f->treMaster->Nodo(9));
    QCOMPARE(f->treMaster->Nodo(9)->parent(), f->treMaster->Raiz());
    QCOMPARE(f->windowTitle(), QString("Plan de Cuentas (9 cuentas)"));

    // Under a postable account: the parent is shown again, now without concept grids.
    f->treMaster->Selecciono(2);
    Clic(f->btnRegAgregar);
    QCOMPARE(f->inpNumHijo->text(), QString("1"));
    // The parent's code stays shown while its child is typed.
    QCOMPARE(f->lblCodigoPath->text(), QString("1.1"));
    QTest::keyClicks(f->inpDescripcion, "CAJA CHICA");
    QTest::keyClicks(f->inpCodInt, "CCH");
    Clic(f->optCondDebito[1]);
    Clic(f->btnGuardar);
    QCOMPARE(Columna("CuentaPadre", 10), QString("2"));
    QCOMPARE(Columna("CodInt", 10), QString("CCH"));
    QCOMPARE(Columna("CondDebito", 10), QString("0"));
    QCOMPARE(f->selectedKey, 2);
    QCOMPARE(f->inpDescripcion->text(), QString("CAJA"));
    QVERIFY(!f->fraConceptosDebe->isVisibleTo(f.get()));
    QVERIFY(f->treMaster->Nodo(2)->isExpanded());

    // Under an account with lines in this year: refused before anything is stored.
    QVERIFY(AgregoLinea(3));
    f->treMaster->Selecciono(3);
    Clic(f->btnRegAgregar);
    QTest::keyClicks(f->inpDescripcion, "NO VA");
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Clic(f->btnGuardar);
    QCOMPARE(MensajePrueba::Textos(), QStringList{TextosCuentas::PadreImputable});
    QVERIFY(f->adding && f->dirty);
    QCOMPARE(Cuento("Cuentas", "CuentaPadre=3"), 0);
    // "Eliminar" while adding abandons the addition.
    Clic(f->btnRegBorrar);
    QVERIFY(!f->adding && !f->dirty);
    QCOMPARE(f->inpDescripcion->text(), QString("BANCOS"));

    // Editing keeps parent and ordinal.
    f->treMaster->Selecciono(7);
    f->inpDescripcion->clear();
    QTest::keyClicks(f->inpDescripcion, "VENTAS NETAS");
    QVERIFY(f->dirty);
    Clic(f->btnGuardar);
    QCOMPARE(Columna("Descripcion", 7), QString("VENTAS NETAS"));
    QCOMPARE(f->treMaster->Nodo(7)->text(0), QString("VENTAS NETAS"));
    QCOMPARE(Columna("NumHijo", 7), QString("1"));

    // A Sub Jerarquía that is not a number is caught with a clear message.
    f->treMaster->Selecciono(4);
    Clic(f->btnRegAgregar);
    f->inpNumHijo->clear();
    QTest::keyClicks(f->inpDescripcion, "X");
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Clic(f->btnGuardar);
    QCOMPARE(MensajePrueba::Textos(), QStringList{TextosCuentas::NumHijoInvalido});
    QCOMPARE(Cuento("Cuentas", "CuentaPadre=4"), 1);
}

void PruebaPantallaCuentas::preguntaAlCambiarDeCuenta() {
    Plan p;
    App().preselection = 7;
    auto f = Abro();
    QTest::keyClicks(f->inpDescripcion, " X");
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Cancelar);
    f->treMaster->Selecciono(8);
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Salva datos recientemente modificados?"});
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 7);
    QCOMPARE(f->inpDescripcion->text(), QString("VENTAS X"));
    QVERIFY(f->dirty);
    QCOMPARE(Columna("Descripcion", 7), QString("VENTAS"));

    MensajePrueba::setNextAnswer(Respuesta::No);
    f->treMaster->Selecciono(8);
    QCOMPARE(f->inpDescripcion->text(), QString("GASTOS"));
    QCOMPARE(Columna("Descripcion", 7), QString("VENTAS"));

    QTest::keyClicks(f->inpDescripcion, " Y");
    MensajePrueba::setNextAnswer(Respuesta::Si);
    f->treMaster->Selecciono(5);
    QCOMPARE(Columna("Descripcion", 8), QString("GASTOS Y"));
    QCOMPARE(f->inpDescripcion->text(), QString("PROVEEDORES"));

    // Closing asks too, and Cancel keeps the screen open.
    QTest::keyClicks(f->inpDescripcion, " Z");
    MensajePrueba::setNextAnswer(Respuesta::Cancelar);
    f->reject();
    QVERIFY(f->isVisible());
    MensajePrueba::setNextAnswer(Respuesta::No);
    Clic(f->btnSalir);
    QVERIFY(!f->isVisible());
    QCOMPARE(App().selectionCode, -1);
    QCOMPARE(Columna("Descripcion", 5), QString("PROVEEDORES"));
}

void PruebaPantallaCuentas::borrados() {
    Plan p;
    auto f = Abro();
    f->treMaster->Selecciono(1);
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Clic(f->btnRegBorrar);
    QCOMPARE(MensajePrueba::Textos(), QStringList{TextosCuentas::TieneDependencias});
    QCOMPARE(MensajePrueba::Mostrados().last().icono, Icono::Error);

    QVERIFY(AgregoLinea(3));
    f->treMaster->Selecciono(3);
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Si);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Clic(f->btnRegBorrar);
    QCOMPARE(MensajePrueba::Textos().size(), 2);
    QCOMPARE(MensajePrueba::Textos().first(),
             QString("Está seguro de eliminar permanentemente el registro seleccionado"));
    QVERIFY(MensajePrueba::Textos().last().startsWith(TextosCuentas::NoElimina));
    QVERIFY(f->treMaster->Nodo(3));
    QCOMPARE(Cuento("Cuentas", "Cuenta=3"), 1);

    // The Delete key on the tree, answered No: nothing happens.
    f->treMaster->Selecciono(2);
    MensajePrueba::setNextAnswer(Respuesta::No);
    QTest::keyClick(f->treMaster, Qt::Key_Delete);
    QCOMPARE(Cuento("Cuentas", "Cuenta=2"), 1);
    MensajePrueba::setNextAnswer(Respuesta::Si);
    QTest::keyClick(f->treMaster, Qt::Key_Delete);
    QCOMPARE(Cuento("Cuentas", "Cuenta=2"), 0);
    QVERIFY(!f->treMaster->Nodo(2));
    QCOMPARE(f->windowTitle(), QString("Plan de Cuentas (7 cuentas)"));
    QCOMPARE(f->selectedKey, f->treMaster->CuentaSeleccionada());
    QVERIFY(!PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas) || f->selectedKey > 0);
}

void PruebaPantallaCuentas::muevoArrastrando() {
    Plan p;
    App().preselection = 8;
    auto f = Abro();
    QAbstractItemModelTester probador(f->treMaster->model(),
                                      QAbstractItemModelTester::FailureReportingMode::QtTest);
    ArbolPlan* t = f->treMaster;
    // GASTOS before PROVEEDORES (ordinal 1 of PASIVO): takes the free ordinal 0.
    t->IniciaArrastre(t->Nodo(8));
    t->SueltoEn(t->Nodo(5));
    QCOMPARE(Columna("CuentaPadre", 8), QString("4"));
    QCOMPARE(Columna("NumHijo", 8), QString("0"));
    QCOMPARE(Columna("NumHijo", 5), QString("1"));
    QCOMPARE(t->Nodo(8)->parent(), t->Nodo(4));
    QCOMPARE(t->Nodo(4)->indexOfChild(t->Nodo(8)), 0);
    QCOMPARE(f->selectedKey, 8);
    QCOMPARE(t->CuentaSeleccionada(), 8);
    QCOMPARE(f->lblCodigoPath->text(), QString("2.0"));
    QCOMPARE(f->inpNumHijo->text(), QString("0"));
    QVERIFY(!t->arrastrando());

    // Dropping on the root or on itself does nothing.
    t->IniciaArrastre(t->Nodo(8));
    t->SueltoEn(t->Raiz());
    t->IniciaArrastre(t->Nodo(8));
    t->SueltoEn(t->Nodo(8));
    QCOMPARE(Columna("CuentaPadre", 8), QString("4"));

    // Onto its own descendant: refused.
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    t->IniciaArrastre(t->Nodo(1));
    t->SueltoEn(t->Nodo(3));
    QCOMPARE(MensajePrueba::Textos(), QStringList{TextosCuentas::HijaDeSiMisma});
    QCOMPARE(Columna("CuentaPadre", 1), QString("0"));

    // A summary account moved before a top-level one: the tree is reloaded, children and all.
    t->IniciaArrastre(t->Nodo(6));
    t->SueltoEn(t->Nodo(1));
    QCOMPARE(Columna("CuentaPadre", 6), QString("0"));
    QCOMPARE(Columna("NumHijo", 6), QString("1"));
    QCOMPARE(Columna("NumHijo", 1), QString("2"));
    QCOMPARE(Columna("NumHijo", 4), QString("3"));
    QCOMPARE(t->Raiz()->child(0), t->Nodo(6));
    QCOMPARE(t->Nodo(6)->childCount(), 1);
    QCOMPARE(t->CuentaSeleccionada(), 8);
    QCOMPARE(f->windowTitle(), QString("Plan de Cuentas (8 cuentas)"));
    QCOMPARE(f->lblCodigoPath->text(), QString("3.0"));
    QVERIFY(PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas));

    // The real drop path: a drop event on the tree goes the same way.
    QCOMPARE(t->acceptDrops(), true);
}

void PruebaPantallaCuentas::busquedas() {
    Plan p;
    auto f = Abro();
    f->inpBusqCodInt->setFocus();
    QTest::keyClicks(f->inpBusqCodInt, "bc");
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 3);
    QCOMPARE(f->inpDescripcion->text(), QString("BANCOS"));
    f->inpBusqDescripcion->setFocus();
    QTest::keyClicks(f->inpBusqDescripcion, "gast");
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 8);
    QVERIFY(f->inpBusqCodInt->text().isEmpty()); // leaving a search field empties it
    QTest::keyClicks(f->inpBusqDescripcion, "zzz");
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 8); // nothing found: nothing changes
    // Quotes and wildcards are only text.
    f->inpBusqDescripcion->clear();
    QTest::keyClicks(f->inpBusqDescripcion, "' OR '1'='1");
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 8);
    f->inpBusqDescripcion->clear();
    QTest::keyClicks(f->inpBusqDescripcion, "p?ov*es");
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 5);
    // Hierarchical code through the field's mask.
    f->inpBusqCodJer->setFocus();
    QTest::keyClicks(f->inpBusqCodJer, "3");
    QCOMPARE(f->inpBusqCodJer->displayText(), QString("3. "));
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 6);
    QTest::keyClicks(f->inpBusqCodJer, "2");
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 8);
    // A search while the panel holds unsaved edits asks first; Cancel keeps the account.
    f->inpDescripcion->setFocus();
    QTest::keyClicks(f->inpDescripcion, "!");
    MensajePrueba::setNextAnswer(Respuesta::Cancelar);
    f->inpBusqCodInt->setFocus();
    QTest::keyClicks(f->inpBusqCodInt, "J");
    QCOMPARE(f->treMaster->CuentaSeleccionada(), 8);
    QVERIFY(f->dirty);
}

void PruebaPantallaCuentas::seleccionar() {
    Plan p;
    RegistroPantallasCuentas();
    // As the account lookup opens it: pre-searched, then "Seleccionar".
    EscriboLocal("Varios", "UltFormaIngresoCuenta", "4");
    App().searchText = "ventas";
    QString enFoco;
    AlAbrirModal([&](QWidget* w) {
        auto* f = qobject_cast<frmCuentas*>(w);
        QVERIFY(f);
        enFoco = f->focusWidget() ? f->focusWidget()->objectName() : QString();
        QCOMPARE(f->inpBusqDescripcion->text(), QString("ventas"));
        QCOMPARE(f->treMaster->CuentaSeleccionada(), 7);
        Clic(f->btnSeleccionar);
    });
    // The choice comes back as a value, and in the hand-over values for the screens that read them.
    const std::optional<Eleccion> elegida = Pantallas::Elijo("frmCuentas", -1);
    QVERIFY(elegida);
    QCOMPARE(elegida->codigo, 7);
    QCOMPARE(elegida->texto, QString("VTAS"));
    QCOMPARE(elegida->codInt, QString("VTAS"));
    QCOMPARE(elegida->codJer, QString("3.1"));
    QCOMPARE(elegida->descripcion, QString("VENTAS"));
    QCOMPARE(enFoco, QString("inpBusqDescripcion"));
    AppState& a = App();
    QCOMPARE(a.selectionCode, 7);
    QCOMPARE(a.selectionText, QString("VTAS"));
    QCOMPARE(a.pickCodInt, QString("VTAS"));
    QCOMPARE(a.pickCodJer, QString("3.1"));
    QCOMPARE(a.pickDescripcion, QString("VENTAS"));
    QVERIFY(a.searchText.isNull());

    // Leaving with Esc hands back nothing; the root cannot be picked.
    EscriboLocal("Varios", "UltFormaIngresoCuenta", "3");
    AlAbrirModal([&](QWidget* w) {
        auto* f = qobject_cast<frmCuentas*>(w);
        enFoco = f->focusWidget() ? f->focusWidget()->objectName() : QString();
        Clic(f->btnSeleccionar); // the root is selected: nothing happens
        QVERIFY(f->isVisible());
        QTest::keyClick(f->inpBusqCodJer, Qt::Key_Escape);
    });
    QVERIFY(!Pantallas::Elijo("frmCuentas", -1));
    QCOMPARE(enFoco, QString("inpBusqCodJer"));
    QCOMPARE(a.selectionCode, -1);
    QCOMPARE(a.preselection.toInt(), -1);
}

void PruebaPantallaCuentas::conceptos() {
    Plan p;
    for (int i = 1; i <= 3; ++i)
        Ejecuto("INSERT INTO ConceptosDetAsiento (ConceptoDetAsiento, descConceptoDetAsiento) VALUES (?, ?)",
                {i, QString("Leyenda %1").arg(i)});
    App().preselection = 2;
    auto f = Abro();
    Grilla* g = f->sprConceptosDebe;
    QCOMPARE(g->filas(), 500);
    QCOMPARE(g->columnas(), 2);
    // Without the line-concepts screen a double-click does nothing.
    emit g->DobleClick(4, 2);
    QVERIFY(g->texto(1, 1).isEmpty());
    QVERIFY(!f->dirty);

    QVariant preseleccion;
    int elegido = 2;
    Pantallas::Registro("frmConceptosDetAsiento", Pantallas::Forma::Modal, [&](QWidget* padre) -> QWidget* {
        preseleccion = App().preselection;
        App().selectionCode = elegido;
        App().selectionText = QString("Leyenda %1").arg(elegido);
        auto* d = new QDialog(padre);
        QTimer::singleShot(0, d, &QDialog::accept);
        return d;
    });
    // Picked on a row below the list's end: it goes to the first free row, where the save finds it.
    emit g->DobleClick(4, 2);
    QCOMPARE(g->texto(1, 1), QString("2"));
    QCOMPARE(g->texto(1, 2), QString("Leyenda 2"));
    QVERIFY(f->dirty);
    elegido = 3;
    emit g->DobleClick(2, 1);
    QCOMPARE(g->texto(2, 1), QString("3"));
    elegido = 1;
    emit f->sprConceptosHaber->DobleClick(1, 1);
    Clic(f->btnGuardar);
    QCOMPARE(Cuento("CuentasConceptos", "Cuenta=2 AND Debe=-1"), 2);
    QCOMPARE(Cuento("CuentasConceptos", "Cuenta=2 AND Debe=0 AND ConceptoDetAsiento=1"), 1);
    // Shown again in description order; the picker gets the row's description.
    f->treMaster->Selecciono(3);
    f->treMaster->Selecciono(2);
    QCOMPARE(g->texto(1, 2), QString("Leyenda 2"));
    QCOMPARE(g->texto(2, 2), QString("Leyenda 3"));
    emit g->DobleClick(2, 2);
    QCOMPARE(preseleccion.toString(), QString("Leyenda 3"));

    // The Delete key asks, and removes the active row.
    f->dirty = false;
    g->setFocus();
    g->setCeldaActual(1, 1);
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::No);
    QTest::keyClick(g, Qt::Key_Delete);
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Está seguro de eliminar la linea actual"});
    QCOMPARE(g->texto(1, 2), QString("Leyenda 2"));
    MensajePrueba::setNextAnswer(Respuesta::Si);
    QTest::keyClick(g, Qt::Key_Delete);
    QCOMPARE(g->texto(1, 2), QString("Leyenda 1"));
    QCOMPARE(g->filas(), 500);
    QVERIFY(f->dirty);
    Clic(f->btnGuardar);
    QCOMPARE(Cuento("CuentasConceptos", "Cuenta=2 AND Debe=-1"), 1);
}

void PruebaPantallaCuentas::otraSesionCambiaElPlan() {
    Plan p;
    App().preselection = 1;
    auto f = Abro();
    const int sesionA = App().currentSession;
    QCOMPARE(f->lblCodigoPath->text(), QString("1"));
    QCOMPARE(f->inpBusqCodJer->inputMask(), QString("x.x"));

    // Another instance, with its own session and its own chart screen, adds a tenth top-level account.
    const int sesionB = NuevaSesion();
    App().currentSession = sesionB;
    App().preselection = -1;
    {
        frmCuentas otra;
        QVERIFY(PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas));
        otra.btnRegAgregar->click();
        otra.inpNumHijo->setText("10");
        QTest::keyClicks(otra.inpDescripcion, "DECIMA");
        otra.btnGuardar->click();
        QVERIFY(!otra.dirty);
        QCOMPARE(Cuento("Cuentas", "NumHijo=10 AND CuentaPadre=0"), 1);
    }
    App().currentSession = sesionA;
    QVERIFY(!PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas));
    QCOMPARE(f->lblCodigoPath->text(), QString("1")); // the old widths until it looks again

    // This screen notices when it next shows an account: new widths, registered again.
    f->treMaster->Selecciono(4);
    QCOMPARE(f->lblCodigoPath->text(), QString("02"));
    QCOMPARE(f->inpBusqCodJer->inputMask(), QString("xx.x"));
    QVERIFY(PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas));
    f->treMaster->Selecciono(5);
    QCOMPARE(f->lblCodigoPath->text(), QString("02.1"));
}

void PruebaPantallaCuentas::ingresoEnGrilla() {
    Plan p;
    RegistroPantallasCuentas();
    Grilla g;
    g.setColumnas(4);
    g.setFilas(3);
    const MaximosNivel m = MaximosDelPlan(1, 1);
    MascaraCodJer(&g, 3, m);
    QCOMPARE(g.tipoColumna(3).clase, TipoCelda::Mascara);
    QCOMPARE(g.tipoColumna(3).mascara, QString("X.X"));

    // A short code that no account has: the chart opens searched with it; "Seleccionar" fills the row.
    g.setTexto(1, 2, "NOEXISTE");
    g.setCeldaActual(1, 2);
    QString buscado;
    AlAbrirModal([&](QWidget* w) {
        auto* f = qobject_cast<frmCuentas*>(w);
        QVERIFY(f);
        buscado = f->inpBusqCodInt->text();
        f->treMaster->Selecciono(5);
        Clic(f->btnSeleccionar);
    });
    QVERIFY(IngresoCuenta(&g, 2, 0, m));
    QCOMPARE(buscado, QString("NOEXISTE"));
    QCOMPARE(g.texto(1, 1), QString("5"));
    QCOMPARE(g.texto(1, 2), QString("PROV"));
    QCOMPARE(g.texto(1, 3), QString("2.1"));
    QCOMPARE(g.texto(1, 4), QString("PROVEEDORES"));
    QCOMPARE(g.columnaActiva(), 4);

    // Found: no picker, the other cells filled and the description made current.
    g.setTexto(2, 2, "caja");
    g.setCeldaActual(2, 2);
    QVERIFY(!IngresoCuenta(&g, 2, 0, m));
    QCOMPARE(g.texto(2, 1), QString("2"));
    QCOMPARE(g.texto(2, 3), QString("1.1"));
    QCOMPARE(g.texto(2, 4), QString("CAJA"));
    QCOMPARE(g.filaActiva(), 2);
    QCOMPARE(g.columnaActiva(), 4);

    // Double-click on an unresolved row's account cell; leaving the picker without choosing empties it.
    g.setTexto(3, 1, "-1");
    g.setTexto(3, 4, "algo");
    AlAbrirModal([&](QWidget* w) {
        auto* f = qobject_cast<frmCuentas*>(w);
        buscado = f->inpBusqDescripcion->text();
        Clic(f->btnSalir);
    });
    QVERIFY(!DobleClickCuenta(&g, 3, 4));
    QCOMPARE(buscado, QString("algo"));
    QCOMPARE(LeoLocal("Varios", "UltFormaIngresoCuenta", ""), QString("4"));
    QVERIFY(g.texto(3, 4).isEmpty());
    QVERIFY(!DobleClickCuenta(&g, 3, 1)); // the number cell is not for typing
}

// A click on the node already shown, or a collapse, goes through the same question and refresh as
// choosing another node. Account 2 (CAJA, under ACTIVO) is shown; "editado" types in its description
// first, otherwise every stored description changes behind the screen's back.
void PruebaPantallaCuentas::clicYColapsoComoCambioDeNodo_data() {
    QTest::addColumn<bool>("colapso");
    QTest::addColumn<bool>("editado");
    QTest::addColumn<Respuesta>("respuesta");
    QTest::addColumn<int>("seleccionada");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("guardada");
    QTest::addColumn<bool>("sucio");
    const auto x = Respuesta::Ok; // not asked
    QTest::newRow("clic sin cambios refresca") << false << false << x << 2 << "CAJA X"
                                               << "CAJA X" << false;
    QTest::newRow("clic, Sí guarda") << false << true << Respuesta::Si << 2 << "CAJA CHICA"
                                     << "CAJA CHICA" << false;
    QTest::newRow("clic, No descarta") << false << true << Respuesta::No << 2 << "CAJA"
                                       << "CAJA" << false;
    QTest::newRow("clic, Cancelar sigue editando")
        << false << true << Respuesta::Cancelar << 2 << "CAJA CHICA"
        << "CAJA" << true;
    QTest::newRow("colapso sin cambios muestra el nodo") << true << false << x << 1 << "ACTIVO X"
                                                         << "CAJA X" << false;
    QTest::newRow("colapso, Sí guarda") << true << true << Respuesta::Si << 1 << "ACTIVO"
                                        << "CAJA CHICA" << false;
    QTest::newRow("colapso, No descarta") << true << true << Respuesta::No << 1 << "ACTIVO"
                                          << "CAJA" << false;
    QTest::newRow("colapso, Cancelar vuelve a la cuenta")
        << true << true << Respuesta::Cancelar << 2 << "CAJA CHICA"
        << "CAJA" << true;
}

void PruebaPantallaCuentas::clicYColapsoComoCambioDeNodo() {
    QFETCH(bool, colapso);
    QFETCH(bool, editado);
    QFETCH(Respuesta, respuesta);
    QFETCH(int, seleccionada);
    QFETCH(QString, panel);
    QFETCH(QString, guardada);
    QFETCH(bool, sucio);
    Plan p;
    App().preselection = 2;
    auto f = Abro();
    QCOMPARE(f->selectedKey, 2);
    if (editado) {
        QTest::keyClicks(f->inpDescripcion, " CHICA");
        MensajePrueba::setNextAnswer(respuesta);
    } else {
        Ejecuto("UPDATE Cuentas SET Descripcion = Descripcion || ' X'");
    }
    if (colapso) {
        f->treMaster->Nodo(1)->setExpanded(false);
    } else {
        const QRect r = f->treMaster->visualItemRect(f->treMaster->Nodo(2));
        QTest::mouseClick(f->treMaster->viewport(), Qt::LeftButton, {}, r.center());
    }
    QCOMPARE(MensajePrueba::Textos(),
             editado ? QStringList{"Salva datos recientemente modificados?"} : QStringList());
    QCOMPARE(f->treMaster->CuentaSeleccionada(), seleccionada);
    QCOMPARE(f->selectedKey, seleccionada);
    QCOMPARE(f->inpDescripcion->text(), panel);
    QCOMPARE(Columna("Descripcion", 2), guardada);
    QCOMPARE(f->dirty, sucio);
}

// Every activation, not only the first, puts the focus back in the search field and clears the
// preselection; coming back from a message box is not an activation.
void PruebaPantallaCuentas::cadaActivacionVuelveALaBusqueda() {
    Plan p;
    EscriboLocal("Varios", "UltFormaIngresoCuenta", "4");
    auto f = Abro();
    auto activo = [&](bool activa) {
        QEvent e(activa ? QEvent::WindowActivate : QEvent::WindowDeactivate);
        QApplication::sendEvent(f.get(), &e);
    };
    for (int vez = 1; vez <= 2; ++vez) {
        f->inpDescripcion->setFocus();
        App().preselection = 5;
        activo(false);
        activo(true);
        QCOMPARE(f->focusWidget(), f->inpBusqDescripcion);
        QCOMPARE(App().preselection, QVariant(-1));
    }
    f->inpDescripcion->setFocus();
    App().preselection = 5;
    QMessageBox caja;
    caja.open();
    activo(false);
    caja.close();
    activo(true);
    QCOMPARE(f->focusWidget(), f->inpDescripcion);
    QCOMPARE(App().preselection, QVariant(5));
}
