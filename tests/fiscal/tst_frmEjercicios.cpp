// The fiscal years screen driven as a user: find its controls, type, click, answer its questions.
#include "tst_frmEjercicios.h"
#include "accounts/ui/RegistroCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Ofertas.h"
#include "core/ui/Pantallas.h"
#include "core/ui/frmMain.h"
#include "fiscal/ui/RegistroEjercicios.h"
#include "fiscal/ui/frmEjercicios.h"
#include "inflation/ui/RegistroInflacion.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {
QDate F(const char* texto) {
    return QDate::fromString(QLatin1String(texto), "dd/MM/yyyy");
}

// Company 1 with years 1 (2023), 2 (2024) and 3 (2025); company 2 with year 1 (2024).
void TresEjercicios(Entorno& e) {
    e.CreoEmpresaYEjercicio(1, 1, F("01/01/2023"), F("31/12/2023"));
    e.CreoEmpresaYEjercicio(1, 2, F("01/01/2024"), F("31/12/2024"));
    e.CreoEmpresaYEjercicio(1, 3, F("01/01/2025"), F("31/12/2025"));
    e.CreoEmpresaYEjercicio(2, 1, F("01/07/2024"), F("30/06/2025"));
}

// Opens the screen as the main window does: its company and year handed in.
void Abro(frmEjercicios& f, int empresa, int ejercicio) {
    App().companyParameter = empresa;
    App().preselection = ejercicio;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
}

QStringList Columna(Grilla* g, int columna) {
    QStringList r;
    for (int f = 1; f <= g->filas(); ++f)
        r << g->texto(f, columna);
    return r;
}

int ActivaEnLista(frmEjercicios& f) {
    return f.sprMaster->texto(f.sprMaster->filaActiva(), 1).toInt();
}

// Moves the list's active row with the arrow keys, as a user does.
void Muevo(frmEjercicios& f, int pasos) {
    f.sprMaster->setFocus();
    for (int i = 0; i < qAbs(pasos); ++i)
        QTest::keyClick(f.sprMaster, pasos > 0 ? Qt::Key_Down : Qt::Key_Up);
}
} // namespace

void PruebaFrmEjercicios::initTestCase() {
    Pantallas::Olvido();
    RegistroPantallasEjercicios();
    RegistroPantallasInflacion();
}

void PruebaFrmEjercicios::cargaPreseleccionaEmpresaYEjercicio() {
    Entorno e;
    TresEjercicios(e);
    frmEjercicios f;
    QAbstractItemModelTester tester(f.sprMaster->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    Abro(f, 1, 2);
    QCOMPARE(f.windowTitle(), QString("Ejercicios"));
    auto* combo = Control<QComboBox>(f, "cmbEmpresasPropia");
    QCOMPARE(combo->currentText(), QString("Empresa de Prueba 1"));
    QCOMPARE(f.sprMaster->encabezado(1), QString("Núm"));
    QCOMPARE(f.sprMaster->encabezado(2), QString("Desde"));
    QCOMPARE(f.sprMaster->encabezado(3), QString("Hasta"));
    QCOMPARE(Columna(f.sprMaster, 1), (QStringList{"1", "2", "3"}));
    QCOMPARE(Columna(f.sprMaster, 2), (QStringList{"01/01/2023", "01/01/2024", "01/01/2025"}));
    QCOMPARE(ActivaEnLista(f), 2);
    QCOMPARE(Control<QLineEdit>(f, "inpComienzoEjercicio")->text(), QString("01/01/2024"));
    QCOMPARE(Control<QLineEdit>(f, "inpFinEjercicio")->text(), QString("31/12/2024"));
    QCOMPARE(f.ColorModo(), Catalogo::ColorMostrando());
    // Another company: its years, positioned on the last one.
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), QString("Empresa de Prueba 2"));
    QCOMPARE(Columna(f.sprMaster, 1), QStringList{"1"});
    QCOMPARE(Control<QLineEdit>(f, "inpComienzoEjercicio")->text(), QString("01/07/2024"));
    // A year not given positions on the last one.
    frmEjercicios g;
    Abro(g, 1, 0);
    QCOMPARE(ActivaEnLista(g), 3);
}

void PruebaFrmEjercicios::agregoEjercicio() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    // The offer made to a new year (the model chart) is told which year was added.
    QList<QPair<int, int>> ofrecidos;
    FijoOfertaEjercicioNuevo([&](int empresa, int ejercicio) { ofrecidos.append({empresa, ejercicio}); });
    struct SinOferta {
        ~SinOferta() { FijoOfertaEjercicioNuevo({}); }
    } sinOferta;
    frmEjercicios f;
    Abro(f, 1, 1);
    Control<QToolButton>(f, "btnRegAgregar")->click();
    QCOMPARE(f.ColorModo(), Catalogo::ColorAgregando());
    QVERIFY(Control<QLineEdit>(f, "inpComienzoEjercicio")->text().remove('/').isEmpty());
    Escribo(Control<QLineEdit>(f, "inpComienzoEjercicio"), "01012025");
    Escribo(Control<QLineEdit>(f, "inpFinEjercicio"), "31122025");
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(MensajePrueba::Textos(), QStringList());
    QCOMPARE(ValorCampo("Ejercicios", "ComienzoEjercicio", "EmpresaPropia=1 AND NumEjercicio=2")->toString(),
             QString("2025-01-01"));
    QVERIFY(ValorCampo("Ejercicios", "TablaAjusteInflacion", "EmpresaPropia=1 AND NumEjercicio=2")->isNull());
    QCOMPARE(Cuento("Cuentas", "EmpresaPropia=? AND NumEjercicio=?", {1, 2}), 1);
    QCOMPARE(ofrecidos, (QList<QPair<int, int>>{{1, 2}}));
    QCOMPARE(ActivaEnLista(f), 2);
    QCOMPARE(f.ColorModo(), Catalogo::ColorMostrando());
    QVERIFY(!f.dirty && !f.adding);
}

void PruebaFrmEjercicios::fechaInvalidaSeAtrapaAntes() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    frmEjercicios f;
    Abro(f, 1, 1);
    Control<QToolButton>(f, "btnRegAgregar")->click();
    Escribo(Control<QLineEdit>(f, "inpComienzoEjercicio"), "31022025");
    Escribo(Control<QLineEdit>(f, "inpFinEjercicio"), "31122025");
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(MensajePrueba::Textos(),
             QStringList{"Atención no se puede grabar el registro, ingrese período correctamente"});
    QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Error);
    // A date typed only in part is no date either.
    MensajePrueba::Limpio();
    Escribo(Control<QLineEdit>(f, "inpComienzoEjercicio"), "010125");
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(MensajePrueba::Textos(),
             QStringList{"Atención no se puede grabar el registro, ingrese período correctamente"});
    QCOMPARE(NumeroOCero(ValorCampo("Ejercicios", "Count(*)", "1=1")), 1.0);
    QVERIFY(f.dirty && f.adding);
}

void PruebaFrmEjercicios::superposicionMuestraMensaje() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) VALUES (1, 1, 1, "
                    "'2024-11-15')")
                .ok);
    frmEjercicios f;
    Abro(f, 1, 1);
    Control<QToolButton>(f, "btnRegAgregar")->click();
    Escribo(Control<QLineEdit>(f, "inpComienzoEjercicio"), "31122024");
    Escribo(Control<QLineEdit>(f, "inpFinEjercicio"), "30122025");
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(
        MensajePrueba::Textos(),
        QStringList{
            "Atención no se puede grabar el registro, el periódo que intenta grabar coincide parcialmente "
            "con el período anterior: 01/01/24-31/12/24. Corrija el error"});
    QCOMPARE(NumeroOCero(ValorCampo("Ejercicios", "Count(*)", "1=1")), 1.0);
    // Abandon the addition and shorten the stored year past its entry.
    Control<QToolButton>(f, "btnRegBorrar")->click();
    QVERIFY(!f.adding);
    MensajePrueba::Limpio();
    Escribo(Control<QLineEdit>(f, "inpFinEjercicio"), "31102024");
    QVERIFY(f.dirty);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(
        MensajePrueba::Textos(),
        QStringList{
            "Atención no se puede grabar el registro, en la nueva restricción del período indicado, está "
            "intentando dejar afuera Asientos que ya habían sido generados"});
    QCOMPARE(ValorCampo("Ejercicios", "FinEjercicio", "NumEjercicio=1")->toString(), QString("2024-12-31"));
    // Lengthening is allowed.
    MensajePrueba::Limpio();
    Escribo(Control<QLineEdit>(f, "inpFinEjercicio"), "31032025");
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(MensajePrueba::Textos(), QStringList());
    QCOMPARE(ValorCampo("Ejercicios", "FinEjercicio", "NumEjercicio=1")->toString(), QString("2025-03-31"));
    QCOMPARE(Columna(f.sprMaster, 3), QStringList{"31/03/2025"});
}

void PruebaFrmEjercicios::seleccionarDevuelveElPar() {
    Entorno e;
    TresEjercicios(e);
    frmEjercicios f;
    Abro(f, 1, 1);
    auto* combo = Control<QComboBox>(f, "cmbEmpresasPropia");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    Control<QPushButton>(f, "btnSeleccionar")->click();
    QVERIFY(!f.isVisible());
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(App().companyParameter.toInt(), 2);
    QCOMPARE(App().preselection.toInt(), 1);
    // Through the registry, as the main window opens it.
    App().companyParameter = 2;
    App().preselection = 1;
    AlAbrirModal([](QWidget* w) {
        auto* g = w->findChild<Grilla*>("sprMaster");
        auto* c = w->findChild<QComboBox*>("cmbEmpresasPropia");
        c->setFocus();
        QTest::keyClick(c, Qt::Key_Up);
        g->setFocus();
        QTest::keyClick(g, Qt::Key_Up);
        QTest::keyClick(g, Qt::Key_Return);
    });
    const std::optional<Eleccion> elegido = Pantallas::Elijo("frmEjercicios", 1);
    QVERIFY(elegido);
    QCOMPARE(elegido->empresa, 1);
    QCOMPARE(elegido->codigo, 2);
    QCOMPARE(App().companyParameter.toInt(), 1);
    QCOMPARE(App().preselection.toInt(), 2);
    // Left without Seleccionar: no choice comes back.
    AlAbrirModal([](QWidget* w) { w->findChild<QToolButton*>("btnSalir")->click(); });
    QVERIFY(!Pantallas::Elijo("frmEjercicios", 1));
}

void PruebaFrmEjercicios::salirSinSeleccionarDevuelveLoRecibido() {
    Entorno e;
    TresEjercicios(e);
    frmEjercicios f;
    Abro(f, 1, 3);
    auto* combo = Control<QComboBox>(f, "cmbEmpresasPropia");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    Control<QToolButton>(f, "btnSalir")->click();
    QVERIFY(!f.isVisible());
    QCOMPARE(App().companyParameter.toInt(), 1);
    QCOMPARE(App().preselection.toInt(), 3);
}

void PruebaFrmEjercicios::cambioDeEmpresaPreguntaYSinEjercicios() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    QVERIFY(
        Ejecuto(
            "INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (2, 'Zeta Sin Ejercicios')")
            .ok);
    frmEjercicios f;
    Abro(f, 1, 1);
    auto* combo = Control<QComboBox>(f, "cmbEmpresasPropia");
    auto* fin = Control<QLineEdit>(f, "inpFinEjercicio");
    Escribo(fin, "30112024");
    // Cancel keeps the company and the edits.
    MensajePrueba::setNextAnswer(Respuesta::Cancelar);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Salva datos recientemente modificados?"});
    QCOMPARE(combo->currentText(), QString("Empresa de Prueba 1"));
    QCOMPARE(fin->text(), QString("30/11/2024"));
    QVERIFY(f.dirty);
    // No drops the edits; the other company has no years: nothing to show or select.
    MensajePrueba::setNextAnswer(Respuesta::No);
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), QString("Zeta Sin Ejercicios"));
    QCOMPARE(f.sprMaster->filas(), 0);
    QVERIFY(!f.tabMaster->isVisible());
    Control<QPushButton>(f, "btnSeleccionar")->click();
    QVERIFY(f.isVisible());
    QCOMPARE(ValorCampo("Ejercicios", "FinEjercicio", "NumEjercicio=1")->toString(), QString("2024-12-31"));
    // Its first year gets number 1.
    Control<QToolButton>(f, "btnRegAgregar")->click();
    Escribo(Control<QLineEdit>(f, "inpComienzoEjercicio"), "01012024");
    Escribo(fin, "31122024");
    Control<QToolButton>(f, "btnGuardar")->click();
    QVERIFY(ValorCampo("Ejercicios", "NumEjercicio", "EmpresaPropia=2 AND NumEjercicio=1"));
    Control<QPushButton>(f, "btnSeleccionar")->click();
    QCOMPARE(App().companyParameter.toInt(), 2);
    QCOMPARE(App().preselection.toInt(), 1);
}

void PruebaFrmEjercicios::pegarSinCopiarYMientrasAgrega() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    e.CreoPlanChico(1, 1);
    e.CreoEmpresaYEjercicio(1, 2, F("01/01/2025"), F("31/12/2025"));
    frmEjercicios f;
    Abro(f, 1, 2);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Control<QPushButton>(f, "btnPegarPlanCuentas")->click();
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Debe Copiar un plan antes de poder pegar"});
    Muevo(f, -1);
    Control<QPushButton>(f, "btnCopiarPlanCuentas")->click();
    Control<QToolButton>(f, "btnRegAgregar")->click();
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Control<QPushButton>(f, "btnPegarPlanCuentas")->click();
    QCOMPARE(MensajePrueba::Textos(),
             QStringList{"No puede pegar un plan de cuentas en un ejercicio que todavía no grabó"});
    QCOMPARE(Cuento("Cuentas", "EmpresaPropia=? AND NumEjercicio=?", {1, 2}), 1);
    QCOMPARE(Cuento("Cuentas", "EmpresaPropia=? AND NumEjercicio=?", {1, 1}), 9);
}

void PruebaFrmEjercicios::copiarYPegar() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    e.CreoPlanChico(1, 1);
    e.CreoEmpresaYEjercicio(1, 2, F("01/01/2025"), F("31/12/2025"));
    frmEjercicios f;
    Abro(f, 1, 1);
    Control<QPushButton>(f, "btnCopiarPlanCuentas")->click();
    QVERIFY(MensajePrueba::Textos().isEmpty());
    Muevo(f, 1);
    QCOMPARE(ActivaEnLista(f), 2);
    // No: nothing changes.
    MensajePrueba::setNextAnswer(Respuesta::No);
    Control<QPushButton>(f, "btnPegarPlanCuentas")->click();
    QCOMPARE(
        MensajePrueba::Textos(),
        QStringList{
            "Está seguro que quiere que el plan de cuentas del ejercicio actual sea una copia del plan de "
            "cuentas del ejercicio: Empresa de Prueba 1, 01/01/24-31/12/24, si existía un plan de "
            "cuentas, será reemplazado"});
    QCOMPARE(Cuento("Cuentas", "EmpresaPropia=? AND NumEjercicio=?", {1, 2}), 1);
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Si);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Control<QPushButton>(f, "btnPegarPlanCuentas")->click();
    QCOMPARE(MensajePrueba::Textos().value(1), QString("Pegado de Plan de cuentas exitoso"));
    QCOMPARE(Cuento("Cuentas", "EmpresaPropia=? AND NumEjercicio=?", {1, 2}), 9);
    QCOMPARE(
        ValorCampo("Cuentas", "Descripcion", "EmpresaPropia=1 AND NumEjercicio=2 AND Cuenta=7")->toString(),
        QString("VENTAS"));
    // A year whose accounts are used by entry lines keeps its chart, and the user is told why.
    QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) VALUES (1, 2, 1, "
                    "'2025-02-01')")
                .ok);
    QVERIFY(
        Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                "VALUES (1, 2, 1, 1, 2, 10)")
            .ok);
    QVERIFY(Ejecuto("DELETE FROM Cuentas WHERE EmpresaPropia=1 AND NumEjercicio=1 AND Cuenta=8").ok);
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Si);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Control<QPushButton>(f, "btnPegarPlanCuentas")->click();
    QCOMPARE(MensajePrueba::Textos().size(), 2);
    QVERIFY(MensajePrueba::Textos().at(0).startsWith("Está seguro que quiere que el plan de cuentas"));
    QVERIFY(MensajePrueba::Textos().at(1).startsWith("No se ha podido terminar la operación, "));
    QCOMPARE(Cuento("Cuentas", "EmpresaPropia=? AND NumEjercicio=?", {1, 2}), 9);
}

void PruebaFrmEjercicios::borrarEjercicio() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    e.CreoPlanChico(1, 1);
    e.CreoEmpresaYEjercicio(1, 2, F("01/01/2025"), F("31/12/2025"));
    e.CreoEmpresaYEjercicio(1, 3, F("01/01/2026"), F("31/12/2026"));
    frmEjercicios f;
    Abro(f, 1, 2);
    MensajePrueba::setNextAnswer(Respuesta::No);
    Control<QToolButton>(f, "btnRegBorrar")->click();
    QCOMPARE(MensajePrueba::Textos(),
             QStringList{"Está seguro de eliminar permanentemente el registro seleccionado"});
    QCOMPARE(Columna(f.sprMaster, 1), (QStringList{"1", "2", "3"}));
    MensajePrueba::setNextAnswer(Respuesta::Si);
    Control<QToolButton>(f, "btnRegBorrar")->click();
    QCOMPARE(MensajePrueba::Textos().size(), 2);
    QCOMPARE(Columna(f.sprMaster, 1), (QStringList{"1", "3"}));
    QCOMPARE(ActivaEnLista(f), 3);
    QCOMPARE(Cuento("Cuentas", "EmpresaPropia=? AND NumEjercicio=?", {1, 2}), 0);
    // A year with a chart stays, chart included.
    Muevo(f, -1);
    QCOMPARE(ActivaEnLista(f), 1);
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Si);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Control<QToolButton>(f, "btnRegBorrar")->click();
    QCOMPARE(MensajePrueba::Textos().size(), 2);
    QVERIFY(MensajePrueba::Textos().at(1).startsWith("No se pudo eliminar el registro; "));
    QCOMPARE(Cuento("Cuentas", "EmpresaPropia=? AND NumEjercicio=?", {1, 1}), 9);
    QCOMPARE(Columna(f.sprMaster, 1), (QStringList{"1", "3"}));
}

void PruebaFrmEjercicios::tablaDeAjuste() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    QVERIFY(
        Ejecuto("INSERT INTO TablasAjusteInflacion (TablaAjusteInflacion, descTablaAjusteInflacion) VALUES "
                "(5, 'IPC Nacional'), (7, 'Mayoristas')")
            .ok);
    frmEjercicios f;
    Abro(f, 1, 1);
    auto* boton = Control<QPushButton>(f, "pnlTablaAjusteInflacion");
    QVERIFY(boton->text().trimmed().isEmpty());
    AlAbrirModal([](QWidget* w) {
        QTest::keyClicks(w->findChild<QLineEdit*>("inpBusqueda"), "may");
        w->findChild<QPushButton*>("btnSeleccionar")->click();
    });
    boton->click();
    QVERIFY(boton->text().startsWith("Mayoristas"));
    QVERIFY(f.dirty);
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(ValorCampo("Ejercicios", "TablaAjusteInflacion", "NumEjercicio=1")->toInt(), 7);
    // Shown again from the database, and a picker closed without a choice changes nothing.
    QVERIFY(boton->text().startsWith("Mayoristas"));
    AlAbrirModal([](QWidget* w) { w->findChild<QToolButton*>("btnSalir")->click(); });
    boton->click();
    QVERIFY(!f.dirty);
    QVERIFY(boton->text().startsWith("Mayoristas"));
}

void PruebaFrmEjercicios::verPlanDeCuentas() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    e.CreoEmpresaYEjercicio(1, 2, F("01/01/2025"), F("31/12/2025"));
    {
        frmEjercicios f;
        Abro(f, 1, 1);
        QVERIFY(!Control<QPushButton>(f, "btnVerPlanCuentas")->isEnabled());
    }
    // A stand-in for the chart screen records what it was handed.
    int empresa = -1, ejercicio = -1;
    QVariant preseleccion;
    Pantallas::Registro("frmCuentas", Pantallas::Forma::Modal, [&](QWidget* p) -> QWidget* {
        empresa = App().chartCompany;
        ejercicio = App().chartYear;
        preseleccion = App().preselection;
        auto* d = new QDialog(p);
        QTimer::singleShot(0, d, &QDialog::accept);
        return d;
    });
    frmEjercicios f;
    Abro(f, 1, 2);
    auto* ver = Control<QPushButton>(f, "btnVerPlanCuentas");
    QVERIFY(ver->isEnabled());
    ver->click();
    QCOMPARE(empresa, 1);
    QCOMPARE(ejercicio, 2);
    QCOMPARE(preseleccion, QVariant(true));
    Control<QToolButton>(f, "btnSalir")->click();
    QCOMPARE(App().preselection.toInt(), 2);
    Pantallas::Olvido();
    RegistroPantallasEjercicios();
    RegistroPantallasInflacion();
}

// The real chart screen, opened on the year of the active row of the company shown, not on the
// current pair.
void PruebaFrmEjercicios::verPlanAbreElPlanDelEjercicio() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    e.CreoEmpresaYEjercicio(1, 2, F("01/01/2025"), F("31/12/2025"));
    e.CreoEmpresaYEjercicio(2, 1, F("01/01/2025"), F("31/12/2025"));
    e.CreoPlanChico(1, 2);
    App().currentCompany = 2;
    App().currentYear = 1;
    RegistroPantallasCuentas();
    frmEjercicios f;
    Abro(f, 1, 1);
    QCOMPARE(ActivaEnLista(f), 1);
    f.IrAFila(2);
    QCOMPARE(ActivaEnLista(f), 2);
    QString caption;
    bool abierta = false;
    AlAbrirModal([&](QWidget* w) {
        abierta = w->objectName() == "frmCuentas";
        caption = w->windowTitle();
        w->findChild<QToolButton*>("btnSalir")->click();
    });
    Control<QPushButton>(f, "btnVerPlanCuentas")->click();
    QVERIFY(abierta);
    // The small chart of year 2 of company 1: eight accounts besides the root.
    QCOMPARE(caption, QString("Plan de Cuentas (8 cuentas)"));
    QVERIFY(PantallaRegistrada(ContextoActual().En(1, 2), PantallaCuentas));
    QVERIFY(!PantallaRegistrada(ContextoActual().En(2, 1), PantallaCuentas));
    // Back in the fiscal years screen, still able to hand back the pair it was given.
    QVERIFY(f.isVisible());
    Control<QToolButton>(f, "btnSalir")->click();
    QCOMPARE(App().companyParameter.toInt(), 1);
    QCOMPARE(App().preselection.toInt(), 1);
    Pantallas::Olvido();
    RegistroPantallasEjercicios();
    RegistroPantallasInflacion();
}

// Before any company exists a year cannot be stored: a clear message, not the engine's.
void PruebaFrmEjercicios::sinEmpresas() {
    Entorno e;
    frmEjercicios f;
    Abro(f, 0, 0);
    QCOMPARE(Control<QComboBox>(f, "cmbEmpresasPropia")->count(), 0);
    Control<QToolButton>(f, "btnRegAgregar")->click();
    Escribo(Control<QLineEdit>(f, "inpComienzoEjercicio"), "01012024");
    Escribo(Control<QLineEdit>(f, "inpFinEjercicio"), "31122024");
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(MensajePrueba::Textos(),
             QStringList{"Atención no se puede grabar el registro, elija una empresa propia"});
    QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Error);
    QVERIFY(f.dirty && f.adding);
    QCOMPARE(NumeroOCero(ValorCampo("Ejercicios", "Count(*)", "1=1")), 0.0);
}

void PruebaFrmEjercicios::desdeLaVentanaPrincipal() {
    Entorno e;
    TresEjercicios(e);
    App().currentCompany = 1;
    App().currentYear = 3;
    frmMain principal;
    auto* comando = principal.findChild<QAction*>("M_Ejercicios");
    QVERIFY(comando && comando->isEnabled());
    // The screen opens on the current pair; the user picks the previous year and selects it.
    int mostrado = 0;
    AlAbrirModal([&](QWidget* w) {
        auto* g = w->findChild<Grilla*>("sprMaster");
        mostrado = g->texto(g->filaActiva(), 1).toInt();
        g->setFocus();
        QTest::keyClick(g, Qt::Key_Up);
        w->findChild<QPushButton*>("btnSeleccionar")->click();
    });
    comando->trigger();
    QCOMPARE(mostrado, 3);
    QCOMPARE(App().currentCompany, 1);
    QCOMPARE(App().currentYear, 2);
    QVERIFY2(principal.windowTitle().contains("01/01/24-31/12/24"), qPrintable(principal.windowTitle()));
    // Leaving without a choice keeps the pair.
    AlAbrirModal([](QWidget* w) {
        auto* c = w->findChild<QComboBox*>("cmbEmpresasPropia");
        c->setFocus();
        QTest::keyClick(c, Qt::Key_Down);
        w->findChild<QToolButton*>("btnSalir")->click();
    });
    comando->trigger();
    QCOMPARE(App().currentCompany, 1);
    QCOMPARE(App().currentYear, 2);
}

// The closing and opening screens open from the menu only when the year's checks allow it; a refusal
// is told and the screen never opens.
void PruebaFrmEjercicios::cierreYAperturaSeControlanAlAbrir() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1, QDate(2023, 1, 1), QDate(2023, 12, 31));
    e.CreoEmpresaYEjercicio(1, 2, QDate(2024, 1, 1), QDate(2024, 12, 31));
    QStringList abiertas;
    for (const char* forma : {"frmCierreEjercicios", "frmAperturaEjercicios"})
        Pantallas::Registro(forma, Pantallas::Forma::Modal, [&abiertas, forma](QWidget* p) -> QWidget* {
            abiertas << forma;
            auto* d = new QDialog(p);
            QTimer::singleShot(0, d, &QDialog::accept);
            return d;
        });
    frmMain principal;
    principal.ActualizoMenus();
    // A refusal is one message with an OK button; the opening goes on without any.
    auto abro = [&](const char* comando, bool rechazo = false) {
        MensajePrueba::Limpio();
        if (rechazo) MensajePrueba::setNextAnswer(Respuesta::Ok);
        principal.findChild<QAction*>(comando)->trigger();
        return MensajePrueba::Textos();
    };
    QCOMPARE(abro("M_CierreEjercicio"), QStringList());
    QCOMPARE(abro("M_AperturaEjercicio", true),
             QStringList{
                 "No se puede generar asiento apertura, NO existe cierre patrimonial en ejercicio anterior"});
    QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Informacion);
    Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Especial) VALUES "
            "(1, 1, 4, '2023-12-31', 2), (1, 2, 9, '2024-12-31', 1)");
    QCOMPARE(abro("M_CierreEjercicio", true),
             QStringList{"No se puede cerrar ejercicio, ya existe asiento de cierre 9"});
    QCOMPARE(abro("M_AperturaEjercicio"), QStringList());
    QCOMPARE(abiertas, (QStringList{"frmCierreEjercicios", "frmAperturaEjercicios"}));
    Pantallas::Olvido();
    RegistroPantallasEjercicios();
    RegistroPantallasInflacion();
}
