// Typing a day's entries by keyboard: short dates, the running totals and the balancing amount,
// account completion, the picker, copying an entry, and the keys a whole sale takes.
#include "accounts/CodigosJerarquicos.h"
#include "accounts/CompletoCuentas.h"
#include "accounts/ui/RegistroCuentas.h"
#include "accounts/ui/frmCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Ini.h"
#include "core/Listado.h"
#include "core/Valores.h"
#include "core/ui/Grilla.h"
#include "core/ui/GrillaModelo.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/frmMain.h"
#include "journal/Asiento.h"
#include "journal/Tecleo.h"
#include "journal/ui/CompletadoCuenta.h"
#include "journal/ui/DetalleAsiento.h"
#include "journal/ui/RegistroAsientos.h"
#include "journal/ui/frmAsientos.h"
#include "tests/support/Entorno.h"
#include "tests/support/ui/EntornoPantallas.h"
#include "tst_diario.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSqlQuery>
#include <QScopeGuard>
#include <QTest>
#include <QToolButton>
#include <memory>

using D = DetalleAsiento;

namespace {
// Keys sent where the focus is, as a user types them, and counted.
struct Teclado {
    int teclas = 0;
    void Texto(const QString& t) {
        for (QChar c : t) {
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
            ++teclas;
        }
        QCoreApplication::processEvents();
    }
    void Tecla(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, m);
        ++teclas;
        QCoreApplication::processEvents();
    }
};

void Tipeo(Grilla* g, int fila, int columna, const QString& texto) {
    g->setCeldaActual(fila, columna);
    QVERIFY(g->modelo()->AceptoTipeado(fila, columna, texto));
    QCoreApplication::processEvents();
}

// The editor open on a small chart (plus "IVA" under PASIVO and an accented account), active.
struct Editor {
    Entorno e;
    std::unique_ptr<frmAsientos> f;
    Grilla* g = nullptr;
    Editor() {
        e.CreoEmpresaYEjercicio();
        e.CreoPlanChico();
        AgregoCuenta(9, 1, 3, "Créditos por ventas", "CRED");
        AgregoCuenta(10, 1, 4, "Deudores varios");
        AgregoCuenta(11, 4, 2, "IVA débito fiscal", "IVA");
        EscriboLocal("Varios", "UltFormaIngresoCuenta", "2");
        MensajePrueba::Limpio();
        f = std::make_unique<frmAsientos>();
        f->show();
        f->activateWindow();
        [[maybe_unused]] const bool activa = QTest::qWaitForWindowActive(f.get());
        g = f->sprDetAsiento;
    }
    QPair<int, int> celda() const { return qMakePair(g->filaActiva(), g->columnaActiva()); }
};

QString Cuentas(const QList<CuentaCompletable>& l) {
    QStringList r;
    for (const CuentaCompletable& c : l)
        r << QString::number(c.cuenta);
    return r.join(',');
}
} // namespace

void PruebaTeclado::initTestCase() {
    RegistroPantallasCuentas();
}

void PruebaTeclado::cleanup() {
    Pantallas::Olvido();
    RegistroPantallasAsientos();
    RegistroPantallasCuentas();
}

void PruebaTeclado::fechas_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QDate>("mostrada");
    QTest::addColumn<QDate>("desde"); // the fiscal year
    QTest::addColumn<QDate>("hasta");
    QTest::addColumn<QDate>("fecha"); // invalid: names no date
    const QDate ene(2024, 1, 1), dic(2024, 12, 31), jul(2023, 7, 1), jun(2024, 6, 30);
    const QDate m(2024, 3, 10);
    QTest::newRow("día solo") << "15" << m << ene << dic << QDate(2024, 3, 15);
    QTest::newRow("un dígito") << "5" << m << ene << dic << QDate(2024, 3, 5);
    QTest::newRow("día que el mes no tiene") << "31" << QDate(2024, 2, 10) << ene << dic << QDate();
    QTest::newRow("día y mes") << "15/3" << QDate(2024, 8, 1) << ene << dic << QDate(2024, 3, 15);
    QTest::newRow("día y mes, ejercicio partido: 2024") << "15/3" << QDate(2023, 9, 1) << jul << jun
                                                        << QDate(2024, 3, 15);
    QTest::newRow("día y mes, ejercicio partido: 2023") << "1/12" << QDate(2024, 2, 1) << jul << jun
                                                        << QDate(2023, 12, 1);
    QTest::newRow("día y mes fuera del ejercicio") << "1/2" << m << QDate(2024, 3, 1) << QDate(2024, 12, 31)
                                                   << QDate(2024, 2, 1);
    QTest::newRow("fecha entera") << "02/01/2025" << m << ene << dic << QDate(2025, 1, 2);
    QTest::newRow("año corto") << "02/01/24" << m << ene << dic << QDate(2024, 1, 2);
    QTest::newRow("más") << "+" << QDate(2024, 2, 29) << ene << dic << QDate(2024, 3, 1);
    QTest::newRow("menos") << "-" << QDate(2024, 1, 1) << ene << dic << QDate(2023, 12, 31);
    QTest::newRow("mes trece") << "1/13" << m << ene << dic << QDate();
    QTest::newRow("día tres cifras") << "123" << m << ene << dic << QDate();
    QTest::newRow("vacío") << "" << m << ene << dic << QDate();
    QTest::newRow("sin fecha mostrada") << "15" << QDate() << ene << dic << QDate();
}

void PruebaTeclado::fechas() {
    QFETCH(QString, texto);
    QFETCH(QDate, mostrada);
    QFETCH(QDate, desde);
    QFETCH(QDate, hasta);
    QFETCH(QDate, fecha);
    QCOMPARE(FechaTecleada(texto, mostrada, {desde, hasta}), fecha);
}

void PruebaTeclado::busquedas_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("cuentas"); // best first
    // Postable: CAJA 1.1 (2), BCO 1.2 (3), CRED 1.3 (9), Deudores 1.4 (10), PROV 2.1 (5), IVA 2.2 (11),
    // VTAS 3.1 (7), GTOS 3.2 (8); ACTIVO, PASIVO and RESULTADOS are summary accounts.
    QTest::newRow("sin acento") << "credito" << "9";
    QTest::newRow("mayúsculas y acento") << "CRÉDITOS" << "9";
    QTest::newRow("código corto exacto primero") << "iva" << "11";
    QTest::newRow("códigos cortos que empiezan así") << "c" << "2,9";
    QTest::newRow("código jerárquico") << "1.2" << "3";
    QTest::newRow("código corto de nivel: sus imputables") << "1" << "2,3,9,10";
    QTest::newRow("imagen a medio llenar") << "2.." << "5,11";
    QTest::newRow("palabras al comienzo") << "deu var" << "10";
    QTest::newRow("palabra en dos cuentas: la que empieza así primero") << "ventas" << "7,9";
    QTest::newRow("dentro de una palabra") << "ebito" << "11";
    QTest::newRow("cuenta de resumen excluida") << "activo" << "";
    QTest::newRow("nada") << "zzz" << "";
    QTest::newRow("vacío") << "  " << "";
}

void PruebaTeclado::busquedas() {
    QFETCH(QString, texto);
    QFETCH(QString, cuentas);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    AgregoCuenta(9, 1, 3, "Créditos por ventas", "CRED");
    AgregoCuenta(10, 1, 4, "Deudores varios");
    AgregoCuenta(11, 4, 2, "IVA débito fiscal", "IVA");
    const MaximosNivel m = MaximosDelPlan(1, 1);
    IndiceCuentas indice;
    QVERIFY(indice.Cargo(Contexto::De(1, 1), m));
    QCOMPARE(indice.Cantidad(), 8);
    const QList<CuentaCompletable> r = indice.Busco(texto);
    QCOMPARE(Cuentas(r), cuentas);
    // Each account with the code and texts the lookup fills the row with.
    for (const CuentaCompletable& c : r) {
        QCOMPARE(c.codJer, CodJerCuenta(c.cuenta, 1, 1, m));
        QCOMPARE(c.descripcion, NuloAVacio(ValorCampo("Cuentas", "Descripcion", "Cuenta=?", {c.cuenta})));
    }
}

void PruebaTeclado::totales_data() {
    QTest::addColumn<QStringList>("lineas"); // "D100" a debit, "H30" a credit
    QTest::addColumn<QString>("debe");
    QTest::addColumn<QString>("haber");
    QTest::addColumn<QString>("diferencia");
    QTest::addColumn<QString>("propuesta"); // "D…"/"H…" the amount proposed; empty: none
    QTest::newRow("balanceado") << QStringList{"D100", "H100"} << "100.00" << "100.00" << "0.00" << "";
    QTest::newRow("falta un haber") << QStringList{"D121", "H100"} << "121.00" << "100.00" << "21.00"
                                    << "H21.00";
    QTest::newRow("falta un debe") << QStringList{"H1234.5", "D1000"} << "1,000.00" << "1,234.50"
                                   << "-234.50" << "D234.50";
    QTest::newRow("centavos que suman justo") << QStringList{"D0.1", "D0.2", "H0.3"} << "0.30" << "0.30"
                                              << "0.00" << "";
    QTest::newRow("una sola línea") << QStringList{"D0.01"} << "0.01" << "0.00" << "0.01" << "H0.01";
}

void PruebaTeclado::totales() {
    QFETCH(QStringList, lineas);
    QFETCH(QString, debe);
    QFETCH(QString, haber);
    QFETCH(QString, diferencia);
    QFETCH(QString, propuesta);
    Editor p;
    frmAsientos& f = *p.f;
    Grilla* g = p.g;
    f.btnRegAgregar->click();
    int fila = 0;
    for (const QString& l : lineas) {
        Tipeo(g, ++fila, D::ColCodInt, "caja");
        Tipeo(g, fila, l[0] == 'D' ? D::ColDebe : D::ColHaber, l.mid(1));
    }
    QCOMPARE(f.lblTotalDebe->text(), debe);
    QCOMPARE(f.lblTotalHaber->text(), haber);
    QCOMPARE(f.lblDiferencia->text(), diferencia);
    const bool rojo = f.lblDiferencia->palette().color(QPalette::WindowText) == QColor(192, 0, 0);
    QCOMPARE(rojo, diferencia != "0.00");
    // Enter on the empty amount of a new line: the amount that balances, on its side.
    Tipeo(g, ++fila, D::ColCodInt, "gtos");
    g->setFocus();
    g->setCeldaActual(fila, D::ColDebe);
    QTest::keyClick(g, Qt::Key_Return);
    QCoreApplication::processEvents();
    if (propuesta.isEmpty()) {
        QVERIFY(g->texto(fila, D::ColDebe).isEmpty() && g->texto(fila, D::ColHaber).isEmpty());
        QCOMPARE(p.celda(), qMakePair(fila, int(D::ColHaber))); // just the next cell
        return;
    }
    const int columna = propuesta[0] == 'D' ? D::ColDebe : D::ColHaber;
    QCOMPARE(g->texto(fila, columna), propuesta.mid(1));
    QCOMPARE(p.celda(), qMakePair(fila, columna));
    QCOMPARE(g->texto(fila, D::ColFechaAjuste), f.inpFecha->text()); // as if typed
    QCOMPARE(f.lblDiferencia->text(), QString("0.00"));
    QVERIFY(f.dirty);
    // Enter again takes it and starts the next line; the entry saves as it stands.
    QTest::keyClick(g, Qt::Key_Return);
    QCOMPARE(p.celda(), qMakePair(fila + 1, int(D::ColCodInt)));
    QTest::keyClick(g, Qt::Key_G, Qt::ControlModifier);
    QVERIFY(MensajePrueba::Textos().isEmpty());
    QCOMPARE(f.sprAsientos->filas(), 1);
}

// The faults of the keyboard: the menu's new entry, a shallow hierarchical code, the picker.
void PruebaTeclado::comandoYCodigoCorto() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    // Two levels more, of two digits: the code column's picture is 9.9.99.99.
    AgregoCuenta(20, 7, 10, "VENTAS GRAVADAS", "VG");
    AgregoCuenta(21, 20, 10, "VENTAS GRAVADAS 21", "VG21");
    EscriboLocal("Varios", "UltFormaIngresoCuenta", "3");
    MensajePrueba::Limpio();
    frmMain m;
    m.ActualizoMenus();
    m.show();
    m.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m));
    m.findChild<QAction*>("M_IngresarNuevoAsiento")->trigger();
    auto* f = qobject_cast<frmAsientos*>(Pantallas::Abierta("frmAsientos"));
    QVERIFY(f && f->adding);
    // The date typed at once goes into the date field, over the date proposed.
    QCOMPARE(f->focusWidget(), f->inpFecha);
    QCOMPARE(QApplication::focusWidget(), f->inpFecha);
    Teclado t;
    t.Texto("15");
    QCOMPARE(f->inpFecha->text(), QString("15"));
    t.Tecla(Qt::Key_Return);
    QCOMPARE(f->inpFecha->text(), QString("15/01/2024"));
    QCOMPARE(QApplication::focusWidget(), f->inpConcepto);
    t.Texto("Ventas");
    t.Tecla(Qt::Key_Return);
    Grilla* g = f->sprDetAsiento;
    QCOMPARE(QApplication::focusWidget(), g);
    QCOMPARE(qMakePair(g->filaActiva(), g->columnaActiva()), qMakePair(1, int(D::ColCodJer)));
    // "31" in the code column: VENTAS, a summary account, resolves (postability is the save's).
    t.Texto("31");
    t.Tecla(Qt::Key_Return);
    QCOMPARE(MensajePrueba::Textos(), QStringList());
    QCOMPARE(g->texto(1, D::ColCuenta), QString("7"));
    QCOMPARE(g->texto(1, D::ColDescripcion), QString("VENTAS"));
    QCOMPARE(qMakePair(g->filaActiva(), g->columnaActiva()), qMakePair(1, int(D::ColDebe)));
    // A whole code still does.
    g->setCeldaActual(2, D::ColCodJer);
    t.Texto("311010");
    t.Tecla(Qt::Key_Return);
    QCOMPARE(g->texto(2, D::ColCuenta), QString("21"));
    QCOMPARE(g->texto(2, D::ColCodJer), QString("3.1.10.10"));
    f->btnRegBorrar->click(); // abandoned, nothing to ask
}

void PruebaTeclado::selector_data() {
    QTest::addColumn<bool>("elijo"); // Enter in the search field, or Escape
    QTest::addColumn<bool>("f4");    // the picker opened by F4 rather than by a failed lookup
    QTest::newRow("Enter elige") << true << false;
    QTest::newRow("Escape vuelve a la celda") << false << false;
    QTest::newRow("F4 y Enter") << true << true;
    QTest::newRow("F4 y Escape") << false << true;
}

void PruebaTeclado::selector() {
    QFETCH(bool, elijo);
    QFETCH(bool, f4);
    Editor p;
    frmAsientos& f = *p.f;
    Grilla* g = p.g;
    f.btnRegAgregar->click();
    g->setFocus();
    g->setCeldaActual(1, D::ColCodInt);
    QString visto;
    AlAbrirModal([&](QWidget* w) {
        auto* plan = qobject_cast<frmCuentas*>(w);
        QVERIFY(plan);
        const auto cierro = qScopeGuard([plan] {
            if (plan->isVisible()) plan->reject();
        });
        // A picker: nothing of the chart can be changed; typing goes to the search.
        QVERIFY(plan->soloElegir());
        QVERIFY(!plan->btnGuardar->isVisible() && !plan->btnRegAgregar->isVisible() &&
                !plan->btnRegBorrar->isVisible());
        QVERIFY(plan->inpDescripcion->isReadOnly() && plan->inpCodInt->isReadOnly());
        QVERIFY(!plan->optCondDebito[0]->isEnabled());
        QCOMPARE(plan->focusWidget(), plan->inpBusqCodInt);
        visto = plan->inpBusqCodInt->text();
        if (elijo) {
            plan->inpBusqCodInt->selectAll();
            QTest::keyClicks(plan->focusWidget(), "bco");
            QTest::keyClick(plan->focusWidget(), Qt::Key_Return);
        } else {
            QTest::keyClick(plan->focusWidget(), Qt::Key_Escape);
        }
    });
    Teclado t;
    t.Texto("zz");
    t.Tecla(f4 ? Qt::Key_F4 : Qt::Key_Return);
    VerificoModalesEsperados();
    QCOMPARE(visto, QString("zz"));
    QCOMPARE(f.focusWidget(), g); // the editor's window gets the focus back in the grid
    if (elijo) {
        QCOMPARE(g->texto(1, D::ColCuenta), QString("3"));
        QCOMPARE(g->texto(1, D::ColCodInt), QString("BCO"));
        QCOMPARE(g->texto(1, D::ColDescripcion), QString("BANCOS"));
        QCOMPARE(p.celda(), qMakePair(1, int(D::ColDebe)));
    } else {
        // Back in the cell, with what was typed, to be corrected.
        QCOMPARE(g->texto(1, D::ColCuenta), QString("-1"));
        QCOMPARE(g->texto(1, D::ColCodInt), QString("zz"));
        QCOMPARE(p.celda(), qMakePair(1, int(D::ColCodInt)));
    }
    f.btnRegBorrar->click();
}

// Completion in the account cell: the list follows each keystroke, arrows choose, Enter takes.
void PruebaTeclado::completado() {
    Editor p;
    frmAsientos& f = *p.f;
    Grilla* g = p.g;
    f.btnRegAgregar->click();
    g->setFocus();
    g->setCeldaActual(1, D::ColDescripcion);
    QListWidget* lista = f.detalle()->completado()->lista();
    Teclado t;
    t.Texto("v");
    QVERIFY(lista->isVisible());
    t.Texto("enta");
    QCOMPARE(lista->count(), 2); // VENTAS, Créditos por ventas
    QVERIFY(lista->item(1)->text().contains("Créditos por ventas"));
    t.Tecla(Qt::Key_Down);
    t.Tecla(Qt::Key_Down);
    t.Tecla(Qt::Key_Up);
    QCOMPARE(lista->currentRow(), 0);
    QCOMPARE(p.celda(), qMakePair(1, int(D::ColDescripcion))); // the arrow stayed in the cell
    t.Tecla(Qt::Key_Return);
    QVERIFY(!lista->isVisible());
    QCOMPARE(g->texto(1, D::ColCuenta), QString("7"));
    QCOMPARE(g->texto(1, D::ColCodInt), QString("VTAS"));
    QCOMPARE(g->texto(1, D::ColCodJer), QString("3.1"));
    QCOMPARE(g->texto(1, D::ColDescripcion), QString("VENTAS"));
    QCOMPARE(p.celda(), qMakePair(1, int(D::ColDebe)));
    QCOMPARE(LeoLocal("Varios", "UltFormaIngresoCuenta", ""), QString("4"));
    // Without arrows Enter takes the best: accents and case do not matter.
    g->setCeldaActual(2, D::ColDescripcion);
    t.Texto("credito");
    t.Tecla(Qt::Key_Return);
    QCOMPARE(g->texto(2, D::ColCuenta), QString("9"));
    QCOMPARE(MensajePrueba::Textos(), QStringList());
    // Escape closes the list and leaves the text being typed.
    g->setCeldaActual(3, D::ColDescripcion);
    t.Texto("caj");
    QVERIFY(lista->isVisible());
    t.Tecla(Qt::Key_Escape);
    QVERIFY(!lista->isVisible());
    QVERIFY(g->editando());
    f.btnRegBorrar->click();
}

// "Copiar asiento" and the editor's keys, each shown in its tool tip.
void PruebaTeclado::copiaYAtajos() {
    Editor p;
    frmAsientos& f = *p.f;
    Grilla* g = p.g;
    AsientoEditado a;
    a.fecha = "05/02/2024";
    a.concepto = "Alquiler";
    a.lineas = {{"8", "GTOS", "GASTOS", "300", "", "Febrero", "01/02/2024"},
                {"3", "BCO", "BANCOS", "", "300", "", "01/02/2024"}};
    QVERIFY(GuardoAsiento(ContextoActual(), a).ok);
    f.ListoAsiento(1);
    QVERIFY(!f.adding && g->soloLectura());
    QVERIFY(f.btnRegAgregar->toolTip().contains("(Ctrl+N)"));
    QVERIFY(f.chkEdito->toolTip().contains("(Ctrl+E)"));
    QVERIFY(f.btnCopiar->toolTip().startsWith("Copiar asiento") && f.btnCopiar->toolTip().contains("(Ctrl+D)"));
    g->setFocus();
    Teclado t;
    t.Tecla(Qt::Key_E, Qt::ControlModifier);
    QVERIFY(f.chkEdito->isChecked() && !g->soloLectura());
    t.Tecla(Qt::Key_E, Qt::ControlModifier);
    QVERIFY(!f.chkEdito->isChecked() && g->soloLectura());
    t.Tecla(Qt::Key_D, Qt::ControlModifier);
    QVERIFY(f.adding);
    QCOMPARE(QApplication::focusWidget(), f.inpFecha);
    QCOMPARE(f.inpFecha->text(), QString("05/02/2024")); // the date of a new entry
    QCOMPARE(f.inpConcepto->text(), QString("Alquiler"));
    QCOMPARE(g->texto(1, D::ColDebe), QString("300.00"));
    QCOMPARE(g->texto(1, D::ColConcepto), QString("Febrero"));
    QCOMPARE(g->texto(2, D::ColHaber), QString("300.00"));
    QCOMPARE(g->texto(2, D::ColFechaAjuste), QString("05/02/2024")); // the amounts date from the copy
    t.Tecla(Qt::Key_Plus);
    QCOMPARE(f.inpFecha->text(), QString("06/02/2024"));
    t.Tecla(Qt::Key_Return);
    t.Tecla(Qt::Key_G, Qt::ControlModifier);
    QVERIFY(MensajePrueba::Textos().isEmpty());
    QCOMPARE(NuloAVacio(ValorCampo("Asientos", "Count(*)", "Concepto='Alquiler'")), QString("2"));
    QCOMPARE(FechaDeBase(*ValorCampo("Asientos", "Fecha", "Asiento=2")), QDate(2024, 2, 6));
    QCOMPARE(NuloAVacio(ValorCampo("DetAsientos", "Count(*)", "Asiento=2 AND Concepto='Febrero'")), QString("1"));
    // The adjustment dates followed the date typed over the copy's.
    QCOMPARE(FechaDeBase(*ValorCampo("DetAsientos", "Min(FechaAjuste)", "Asiento=2")), QDate(2024, 2, 6));
    // Ctrl+N: a blank entry, its date ready to be typed over.
    t.Tecla(Qt::Key_N, Qt::ControlModifier);
    QVERIFY(f.adding);
    QVERIFY(f.inpConcepto->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), f.inpFecha);
    QCOMPARE(f.inpFecha->selectedText(), QString("06/02/2024"));
    t.Tecla(Qt::Key_Minus);
    t.Tecla(Qt::Key_Minus);
    QCOMPARE(f.inpFecha->text(), QString("04/02/2024"));
    f.btnRegBorrar->click();
}

// A sale of three lines typed through the real screen: no more keys than its characters plus 10.
void PruebaTeclado::ventaDeTresLineas() {
    Editor p;
    frmAsientos& f = *p.f;
    Grilla* g = p.g;
    f.btnSalir->setFocus(); // where the screen leaves the focus when it opens
    Teclado t;
    t.Tecla(Qt::Key_N, Qt::ControlModifier);
    t.Texto("15");
    t.Tecla(Qt::Key_Return);
    t.Texto("Venta");
    t.Tecla(Qt::Key_Return);
    t.Texto("CAJA");
    t.Tecla(Qt::Key_Return);
    t.Texto("121");
    // The totals follow the amount being typed, before it is stored.
    QVERIFY(g->editando());
    QCOMPARE(f.lblTotalDebe->text(), QString("121.00"));
    QCOMPARE(f.lblDiferencia->text(), QString("121.00"));
    t.Tecla(Qt::Key_Return);
    t.Texto("VTAS");
    t.Tecla(Qt::Key_Return);
    t.Tecla(Qt::Key_Tab);
    t.Texto("100");
    t.Tecla(Qt::Key_Return);
    t.Texto("IVA");
    t.Tecla(Qt::Key_Return);
    t.Tecla(Qt::Key_Return); // proposes the 21 that balances
    QCOMPARE(g->texto(3, D::ColHaber), QString("21.00"));
    t.Tecla(Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(MensajePrueba::Textos(), QStringList());
    const int datos = QString("15" "Venta" "CAJA" "121" "VTAS" "100" "IVA" "21").size();
    qInfo("Venta de tres líneas: %d teclas para %d caracteres de datos", t.teclas, datos);
    QVERIFY(t.teclas <= datos + 10);
    QCOMPARE(FechaDeBase(*ValorCampo("Asientos", "Fecha", "Asiento=1")), QDate(2024, 1, 15));
    QCOMPARE(NuloAVacio(ValorCampo("Asientos", "Concepto", "Asiento=1")), QString("Venta"));
    QStringList guardadas;
    QSqlQuery q = Consulto("SELECT Cuenta, Importe FROM DetAsientos WHERE Asiento=1 ORDER BY Detalle");
    while (q.next())
        guardadas << q.value(0).toString() + ":" + Importe::DeBase(q.value(1)).TextoPlano();
    QCOMPARE(guardadas, (QStringList{"2:121.00", "7:-100.00", "11:-21.00"}));
}
