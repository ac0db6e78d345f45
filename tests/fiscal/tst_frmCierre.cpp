// The year closing and opening screens: opened by the main window's commands, driven through their
// controls and the real chart picker, answering their messages.
#include "tst_frmCierre.h"
#include "accounts/IngresoCuenta.h"
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

// Runs f on the next modal widget other than `actual` (a picker opened over a modal screen).
void AlAbrirOtroModal(QWidget* actual, std::function<void(QWidget*)> f) {
    auto* t = new QTimer;
    t->setInterval(20);
    int vueltas = 0;
    QObject::connect(t, &QTimer::timeout, [t, actual, f, vueltas]() mutable {
        QWidget* w = QApplication::activeModalWidget();
        if ((w && w != actual) || ++vueltas > 250) {
            t->stop();
            t->deleteLater();
            if (w && w != actual) f(w);
        }
    });
    t->start();
}

// Picks an account in the chart picker by typing part of its description; hands back what the search
// field held when the picker opened.
QString ElijoEnPlan(QWidget* pantalla, QPushButton* boton, const QString& busco) {
    QString inicial;
    AlAbrirOtroModal(pantalla, [&](QWidget* w) {
        const auto cierro = Cierro(w);
        auto* plan = qobject_cast<frmCuentas*>(w);
        QVERIFY(plan);
        inicial = plan->inpBusqDescripcion->text();
        Escribo(plan->inpBusqDescripcion, busco);
        Clic(plan->btnSeleccionar);
    });
    Clic(boton);
    return inicial;
}

// A balanced entry of the current company and year: lines "cuenta:importe".
void Asiento(int ejercicio, int numero, const QString& fecha, const QStringList& lineas, int especial = 0) {
    QVERIFY(
        Ejecuto(
            "INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Especial) VALUES (1, ?, ?, "
            "?, ?)",
            {ejercicio, numero, fecha, especial ? QVariant(especial) : QVariant()})
            .ok);
    for (int d = 0; d < lineas.size(); ++d)
        QVERIFY(
            Ejecuto(
                "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                "VALUES (1, ?, ?, ?, ?, ?)",
                {ejercicio, numero, d + 1, lineas[d].section(':', 0, 0).toInt(),
                 lineas[d].section(':', 1).toDouble()})
                .ok);
}

void Dos(Entorno& e) {
    e.CreoEmpresaYEjercicio(1, 1, QDate(2023, 1, 1), QDate(2023, 12, 31));
    e.CreoPlanChico(1, 1);
    QVERIFY(AgregoCuenta(9, 4, 2, "RESULTADOS ACUMULADOS"));
    e.CreoEmpresaYEjercicio(1, 2, QDate(2024, 1, 1), QDate(2024, 12, 31));
    e.CreoPlanChico(1, 2);
}

QString Rotulo(QWidget* w, const char* nombre) {
    auto* l = w->findChild<QLabel*>(nombre);
    return l ? l->text() : QString();
}

QAction* Comando(frmMain& m, const char* nombre) {
    QAction* a = m.findChild<QAction*>(nombre);
    return a;
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
    Dos(e);
    App().currentYear = 1;
    Asiento(1, 1, "2023-05-01", {"2:100", "7:-100"});
    Asiento(1, 2, "2023-06-01", {"8:30.50", "2:-30.50"});
    frmMain principal;
    principal.ActualizoMenus();
    QVERIFY(Comando(principal, "M_CierreEjercicio")->isEnabled());

    QStringList visto;
    QString buscado1, buscado2;
    int resultado = -1;
    AlAbrirModal([&](QWidget* w) {
        const auto cierro = Cierro(w);
        auto* f = qobject_cast<frmCierreEjercicios*>(w);
        QVERIFY(f);
        visto << f->windowTitle() << f->inpLeyendaCierreResultados->text()
              << f->inpLeyendaCierrePatrimonial->text() << Rotulo(f, "lblLeyendaCierreResultados")
              << Rotulo(f, "lblLeyendaCierrePatrimonial")
              << f->findChild<QGroupBox*>("fraCuentaAjusteResultados")->title()
              << (f->focusWidget() ? f->focusWidget()->objectName() : QString());
        // No account chosen yet, then a result account: refused, the screen stays.
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        Clic(f->btnOk);
        buscado1 = ElijoEnPlan(f, f->pnlCuentaAjusteResultados, "gastos");
        visto << f->pnlCuentaAjusteResultados->text();
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        Clic(f->btnOk);
        // The picker opens searched by the description chosen before.
        buscado2 = ElijoEnPlan(f, f->pnlCuentaAjusteResultados, "resultados acum");
        visto << f->pnlCuentaAjusteResultados->text() << QString::number(f->adjustmentAccount);
        Escribo(f->inpLeyendaCierreResultados, "Cierre d'año");
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        Clic(f->btnOk);
        resultado = f->result();
    });
    Comando(principal, "M_CierreEjercicio")->trigger();
    QCOMPARE(visto,
             (QStringList{" Cierre ejercicio", "Cierre resultados ejercicio 01/01/23-31/12/23",
                          "Cierre patrimonial ejercicio 01/01/23-31/12/23", "Leyenda Cierre resultados",
                          "Leyenda Cierre patrimonial", "Indique cuenta ajuste resultados", "btnCancel",
                          "GASTOS", "RESULTADOS ACUMULADOS", "9"}));
    QCOMPARE(buscado1, QString());
    QCOMPARE(buscado2, QString("GASTOS"));
    QCOMPARE(LeoLocal("Varios", "UltFormaIngresoCuenta", ""), QString("4"));
    const QString cuentaMala = "Debe elegir una IMPUTABLE ajuste de resultados que NO SEA de resultados";
    QCOMPARE(MensajePrueba::Textos(),
             (QStringList{cuentaMala, cuentaMala,
                          "Cierre exitoso, se han generado los sig. asientos:\r\nCierre d'año: 3\r\nCierre "
                          "patrimonial ejercicio 01/01/23-31/12/23: 4"}));
    QCOMPARE(MensajePrueba::Mostrados().at(1).icono, Icono::Informacion);
    QCOMPARE(MensajePrueba::Mostrados().at(2).icono, Icono::Ninguno);
    QCOMPARE(resultado, int(QDialog::Accepted));
    QCOMPARE(NuloAVacio(ValorCampo("DetAsientos", "Cuenta",
                                   "EmpresaPropia=1 AND NumEjercicio=1 AND Asiento=3 AND "
                                   "Concepto='Ajuste resultados'")),
             QString("9"));
    QCOMPARE(
        NuloAVacio(ValorCampo("Asientos", "Concepto", "EmpresaPropia=1 AND NumEjercicio=1 AND Asiento=3")),
        QString("Cierre d'año"));

    // Once closed, the command refuses.
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Comando(principal, "M_CierreEjercicio")->trigger();
    QCOMPARE(MensajePrueba::Textos(),
             QStringList{"No se puede cerrar ejercicio, ya existe asiento de cierre 3"});
}

void PruebaFrmCierre::aperturaDesdeElMenu() {
    Entorno e;
    Dos(e);
    Asiento(1, 5, "2023-12-31", {"5:40", "3:-15", "2:-25"}, 2);
    Asiento(2, 1, "2024-02-01", {"2:1", "5:-1"});
    QVERIFY(Ejecuto("DELETE FROM Cuentas WHERE EmpresaPropia=1 AND NumEjercicio=2 AND Cuenta=3").ok);
    App().currentYear = 2;
    frmMain principal;
    principal.ActualizoMenus();
    QVERIFY(Comando(principal, "M_AperturaEjercicio")->isEnabled());
    QStringList visto;
    int resultado = -1;
    AlAbrirModal([&](QWidget* w) {
        const auto cierro = Cierro(w);
        auto* f = qobject_cast<frmAperturaEjercicios*>(w);
        QVERIFY(f);
        visto << f->windowTitle() << f->inpLeyendaApertura->text() << Rotulo(f, "lblLeyendaApertura")
              << (f->focusWidget() ? f->focusWidget()->objectName() : QString());
        // An account of the closing missing from this year's chart: refused, the screen stays.
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        Clic(f->btnOk);
        visto << (f->isVisible() ? "abierta" : "cerrada");
        QVERIFY(Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, Descripcion, CuentaPadre, "
                        "NumHijo) "
                        "VALUES (1, 2, 3, 'BANCOS', 1, 2)")
                    .ok);
        Escribo(f->inpLeyendaApertura, "Apertura d'año");
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        Clic(f->btnOk);
        resultado = f->result();
    });
    Comando(principal, "M_AperturaEjercicio")->trigger();
    QCOMPARE(visto, (QStringList{"Apertura ejercicio", "Apertura patrimonial ejercicio 01/01/24-31/12/24",
                                 "Leyenda Apertura", "btnCancel", "abierta"}));
    QCOMPARE(MensajePrueba::Textos().size(), 2);
    QVERIFY(MensajePrueba::Textos().at(0).contains("BANCOS (cuenta 3)"));
    QCOMPARE(MensajePrueba::Mostrados().at(0).icono, Icono::Informacion);
    QCOMPARE(MensajePrueba::Textos().at(1),
             "Apertura exitosa, se ha generado el sig. asiento:\r\nApertura d'año: 2");
    QCOMPARE(MensajePrueba::Mostrados().at(1).icono, Icono::Ninguno);
    QCOMPARE(resultado, int(QDialog::Accepted));
    QCOMPARE(NuloAVacio(ValorCampo("DetAsientos", "Importe",
                                   "EmpresaPropia=1 AND NumEjercicio=2 AND Asiento=2 AND "
                                   "Cuenta=5")),
             QString("-40"));

    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Comando(principal, "M_AperturaEjercicio")->trigger();
    QCOMPARE(MensajePrueba::Textos(),
             QStringList{"No se puede generar asiento apertura, ya existe con el número 2"});
}

// A year that does not exist: both screens refuse to open with the module's message.
void PruebaFrmCierre::sinEjercicioNoAbren() {
    Entorno e;
    Dos(e);
    App().currentYear = 9;
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    frmCierreEjercicios cierre;
    frmAperturaEjercicios apertura;
    QVERIFY(cierre.property("rechazada").toBool());
    QVERIFY(apertura.property("rechazada").toBool());
    const QString texto =
        "No puede utilizar éste módulo si todavía no seleccionó un ejercicio (EmpresaPropia-Período)";
    QCOMPARE(MensajePrueba::Textos(), (QStringList{texto, texto}));
    QCOMPARE(MensajePrueba::Mostrados().at(0).icono, Icono::Error);
}
