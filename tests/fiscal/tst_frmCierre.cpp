// The year closing and opening screens: opened by the main window's commands, driven through their
// controls and the real chart picker, answering their messages.
#include "tst_frmCierre.h"
#include "accounts/ui/RegistroCuentas.h"
#include "accounts/ui/frmCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Ini.h"
#include "core/Valores.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/frmMain.h"
#include "fiscal/ui/RegistroEjercicios.h"
#include "fiscal/ui/frmAperturaEjercicios.h"
#include "fiscal/ui/frmCierreEjercicios.h"
#include "inflation/ui/RegistroInflacion.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QToolButton>

namespace {
// Closes a modal screen left open when its driver returns (a failed check), so the test goes on.
auto Cierro(QWidget* w) {
    return qScopeGuard([w] {
        if (w->isVisible()) w->close();
    });
}

// Picks an account in the chart picker opened over `pantalla` by typing part of its description;
// hands back what the search field held when the picker opened.
QString ElijoEnPlan(QWidget* pantalla, QPushButton* boton, const QString& busco) {
    QString inicial;
    auto* t = new QTimer;
    QObject::connect(t, &QTimer::timeout, [&, t] {
        QWidget* w = QApplication::activeModalWidget();
        if (w == pantalla) return;
        t->stop();
        t->deleteLater();
        const auto cierro = Cierro(w);
        auto* plan = qobject_cast<frmCuentas*>(w);
        QVERIFY(plan);
        inicial = plan->inpBusqDescripcion->text();
        QCOMPARE(plan->focusWidget(), plan->inpBusqDescripcion); // searching by description
        Escribo(plan->inpBusqDescripcion, busco);
        Clic(plan->btnSeleccionar);
    });
    t->start(20);
    Clic(boton);
    return inicial;
}

// Company 1: year 1 (2023) with the small chart, its account 9 and two entries; year 2 (2024) with
// the small chart.
void Libro(Entorno& e) {
    e.CreoEmpresaYEjercicio(1, 1, QDate(2023, 1, 1), QDate(2023, 12, 31));
    e.CreoPlanChico(1, 1);
    QVERIFY(AgregoCuenta(9, 4, 2, "RESULTADOS ACUMULADOS"));
    e.CreoEmpresaYEjercicio(1, 2, QDate(2024, 1, 1), QDate(2024, 12, 31));
    e.CreoPlanChico(1, 2);
    QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) VALUES (1, 1, 1, "
                    "'2023-05-01'), (1, 1, 2, '2023-06-01')")
                .ok);
    QVERIFY(
        Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                "VALUES (1, 1, 1, 1, 3, 100), (1, 1, 1, 2, 7, -100), (1, 1, 2, 1, 8, 30.5), (1, 1, 2, 2, 3, "
                "-30.5)")
            .ok);
}

// What a screen shows when it opens: caption, every label and frame caption, every field, the focus.
QStringList Muestra(QWidget* w) {
    QStringList r{w->windowTitle()};
    for (auto* l : w->findChildren<QLabel*>())
        r << l->text();
    for (auto* g : w->findChildren<QGroupBox*>())
        r << g->title();
    for (auto* c : w->findChildren<QLineEdit*>())
        r << c->text();
    return r << (w->focusWidget() ? w->focusWidget()->objectName() : QString());
}

// Triggers a command of the main window, answering `respuestas` messages with OK; the texts shown.
QStringList Comando(frmMain& m, const char* nombre, int respuestas) {
    MensajePrueba::Limpio();
    for (int i = 0; i < respuestas; ++i)
        MensajePrueba::setNextAnswer(Respuesta::Ok);
    QAction* a = m.findChild<QAction*>(nombre);
    if (a->isEnabled()) a->trigger();
    return MensajePrueba::Textos();
}
} // namespace

void PruebaFrmCierre::initTestCase() {
    Pantallas::Olvido();
    RegistroPantallasEjercicios();
    RegistroPantallasInflacion();
    RegistroPantallasCuentas();
}

void PruebaFrmCierre::cierreDesdeElMenu() {
    Entorno e;
    Libro(e);
    App().currentYear = 1;
    EscriboLocal("Varios", "UltFormaIngresoCuenta", "2"); // the journal's lines typed by short code
    frmMain principal;
    principal.ActualizoMenus();
    QStringList visto, buscado;
    AlAbrirModal([&](QWidget* w) {
        const auto cierro = Cierro(w);
        auto* f = qobject_cast<frmCierreEjercicios*>(w);
        QVERIFY(f);
        visto = Muestra(f);
        Clic(f->btnOk); // no account chosen yet
        // A result account is refused; the picker then opens searched by the description chosen.
        buscado << ElijoEnPlan(f, f->pnlCuentaAjusteResultados, "gastos")
                << f->pnlCuentaAjusteResultados->text();
        Clic(f->btnOk);
        buscado << ElijoEnPlan(f, f->pnlCuentaAjusteResultados, "resultados acum")
                << f->pnlCuentaAjusteResultados->text();
        Escribo(f->inpLeyendaCierreResultados, "Cierre d'año");
        Clic(f->btnOk);
        visto << (f->isVisible() ? "abierta" : "cerrada");
    });
    const QString cuentaMala = "Debe elegir una IMPUTABLE ajuste de resultados que NO SEA de resultados";
    QCOMPARE(Comando(principal, "M_CierreEjercicio", 3),
             (QStringList{cuentaMala, cuentaMala,
                          "Cierre exitoso, se han generado los sig. asientos:\r\nCierre d'año: 3\r\nCierre "
                          "patrimonial ejercicio 01/01/23-31/12/23: 4"}));
    QCOMPARE(visto,
             (QStringList{" Cierre ejercicio", "Leyenda Cierre resultados", "Leyenda Cierre patrimonial",
                          "Indique cuenta ajuste resultados", "Cierre resultados ejercicio 01/01/23-31/12/23",
                          "Cierre patrimonial ejercicio 01/01/23-31/12/23", "btnCancel", "cerrada"}));
    QCOMPARE(buscado, (QStringList{"", "GASTOS", "GASTOS", "RESULTADOS ACUMULADOS"}));
    QCOMPARE(MensajePrueba::Mostrados().at(1).icono, Icono::Informacion);
    QCOMPARE(MensajePrueba::Mostrados().at(2).icono, Icono::Ninguno);
    // The picker's search by description did not change the way the journal's lines are typed.
    QCOMPARE(LeoLocal("Varios", "UltFormaIngresoCuenta", ""), QString("2"));
    QCOMPARE(NuloAVacio(ValorCampo("DetAsientos", "Cuenta", "Asiento=3 AND Concepto='Ajuste resultados'")),
             "9");
    QCOMPARE(NuloAVacio(ValorCampo("Asientos", "Concepto", "Asiento=3")), "Cierre d'año");
    // Once closed, the command refuses.
    QCOMPARE(Comando(principal, "M_CierreEjercicio", 1),
             QStringList{"No se puede cerrar ejercicio, ya existe asiento de cierre 3"});
}

void PruebaFrmCierre::aperturaDesdeElMenu() {
    Entorno e;
    Libro(e);
    QVERIFY(Ejecuto("UPDATE Asientos SET Especial=2 WHERE NumEjercicio=1 AND Asiento=1").ok);
    QVERIFY(Ejecuto("DELETE FROM Cuentas WHERE NumEjercicio=2 AND Cuenta=3").ok);
    frmMain principal;
    principal.ActualizoMenus();
    QStringList visto;
    AlAbrirModal([&](QWidget* w) {
        const auto cierro = Cierro(w);
        auto* f = qobject_cast<frmAperturaEjercicios*>(w);
        QVERIFY(f);
        visto = Muestra(f);
        // An account of the closing missing from this year's chart: refused, the screen stays.
        Clic(f->btnOk);
        visto << (f->isVisible() ? "abierta" : "cerrada");
        QVERIFY(Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, Descripcion, CuentaPadre, "
                        "NumHijo) "
                        "VALUES (1, 2, 3, 'BANCOS', 1, 2)")
                    .ok);
        Escribo(f->inpLeyendaApertura, "Apertura d'año");
        Clic(f->btnOk);
        visto << (f->isVisible() ? "abierta" : "cerrada");
    });
    const QStringList textos = Comando(principal, "M_AperturaEjercicio", 2);
    QCOMPARE(visto, (QStringList{"Apertura ejercicio", "Leyenda Apertura",
                                 "Apertura patrimonial ejercicio 01/01/24-31/12/24", "btnCancel", "abierta",
                                 "cerrada"}));
    QCOMPARE(textos.size(), 2);
    QVERIFY(textos.at(0).contains(": BANCOS (cuenta 3)."));
    QCOMPARE(MensajePrueba::Mostrados().at(0).icono, Icono::Informacion);
    QCOMPARE(textos.at(1), "Apertura exitosa, se ha generado el sig. asiento:\r\nApertura d'año: 1");
    QCOMPARE(NuloAVacio(ValorCampo("DetAsientos", "Importe", "NumEjercicio=2 AND Asiento=1 AND Cuenta=3")),
             "-100");
    QCOMPARE(Comando(principal, "M_AperturaEjercicio", 1),
             QStringList{"No se puede generar asiento apertura, ya existe con el número 1"});
}
