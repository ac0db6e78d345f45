// The entry search screen driven as a user: defaults, the chart picker, Enter accepting, the
// remembered order, cancelling.
#include "accounts/ui/RegistroCuentas.h"
#include "accounts/ui/frmCuentas.h"
#include "core/AppState.h"
#include "core/Ini.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "journal/ui/RegistroAsientos.h"
#include "journal/ui/frmBusquedaAsientos.h"
#include "tests/support/Entorno.h"
#include "tests/support/ui/EntornoPantallas.h"
#include "tst_asientos.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

namespace {
template <class T> T* Control(QWidget* w, const char* nombre) {
    T* c = w->findChild<T*>(nombre);
    if (!c) qFatal("falta el control %s", nombre);
    return c;
}
} // namespace

void PruebaPantallaBusqueda::pantalla() {
    Entorno e;
    Libro(e);
    Pantallas::Olvido();
    RegistroPantallasAsientos();
    // The chart picker: what it is handed, and a choice handed back.
    QString buscado;
    QString forma;
    int ejercicioPlan = 0;
    Pantallas::Registro("frmCuentas", Pantallas::Forma::Modal, [&](QWidget* p) -> QWidget* {
        buscado = App().searchText;
        forma = LeoLocal("Varios", "UltFormaIngresoCuenta", "");
        ejercicioPlan = App().chartYear;
        App().selectionCode = 3;
        App().selectionText = "BCO";
        App().pickDescripcion = "BANCOS";
        auto* d = new QDialog(p);
        QTimer::singleShot(0, d, &QDialog::accept);
        return d;
    });

    // First opening: defaults, Por Fecha; a criterion typed, Por Asiento chosen, Enter in a field.
    App().entryListQuery = {};
    bool visto = false;
    AlAbrirModal([&](QWidget* w) {
        visto = true;
        // A failed check leaves early: the dialog still closes.
        const auto cierro = qScopeGuard([w] {
            if (w->isVisible()) static_cast<QDialog*>(w)->reject();
        });
        QCOMPARE(w->windowTitle(), QString("Búsqueda Asiento/s"));
        QCOMPARE(Control<QLineEdit>(w, "ftrFechaDe")->text(), QString("01/01/2024"));
        QCOMPARE(Control<QLineEdit>(w, "ftrFechaA")->text(), QString("20/04/2024"));
        QCOMPARE(Control<QLineEdit>(w, "ftrAsientoDe")->text(), QString("1"));
        QCOMPARE(Control<QLineEdit>(w, "ftrAsientoA")->text(), QString("6"));
        QCOMPARE(Control<QComboBox>(w, "cmbPorImporte")->currentText(), QString("En cualquiera"));
        QVERIFY(Control<QRadioButton>(w, "optOrden0")->isChecked());
        QCOMPARE(Control<QLineEdit>(w, "ftrConcepto")->toolTip(),
                 QString("Recuerde que puede ingresar un concepto parcial y usar comodines"));
        auto* codInt = Control<QLineEdit>(w, "ftrCodInt");
        codInt->setText("bc*");
        QTest::mouseDClick(codInt, Qt::LeftButton);
        QCOMPARE(buscado, QString("bc*"));
        QCOMPARE(forma, QString("2"));
        QCOMPARE(ejercicioPlan, 1);
        QCOMPARE(Control<QLineEdit>(w, "ftrDescripcion")->text(), QString("BANCOS"));
        QCOMPARE(codInt->text(), QString("BCO"));
        // A half-typed date is explained and the dialog stays open.
        auto* fecha = Control<QLineEdit>(w, "ftrFechaA");
        fecha->setText("31/02");
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QTest::keyClick(fecha, Qt::Key_Return);
        QCOMPARE(MensajePrueba::Textos().size(), 1);
        QVERIFY(w->isVisible());
        fecha->setText("20/04/2024");
        codInt->clear();
        Control<QLineEdit>(w, "ftrDescripcion")->setText("caja");
        Control<QRadioButton>(w, "optOrden1")->click();
        QTest::keyClick(Control<QLineEdit>(w, "ftrImporteHasta"), Qt::Key_Enter);
    });
    QCOMPARE(Pantallas::AbroModal("frmBusquedaAsientos"), int(QDialog::Accepted));
    QVERIFY(visto);
    QCOMPARE(Listado(App().entryListQuery), QString("1(1,2) 6(1,2,3)"));
    QCOMPARE(LeoLocal("BusquedaAsientos", "Orden", ""), QString("1"));

    // Second opening: the remembered order; cancelling hands back nothing and remembers nothing new.
    visto = false;
    AlAbrirModal([&](QWidget* w) {
        visto = true;
        // A failed check leaves early: the dialog still closes.
        const auto cierro = qScopeGuard([w] {
            if (w->isVisible()) static_cast<QDialog*>(w)->reject();
        });
        QVERIFY(Control<QRadioButton>(w, "optOrden1")->isChecked());
        Control<QRadioButton>(w, "optOrden0")->click();
        Control<QPushButton>(w, "btnCancel")->click();
    });
    QCOMPARE(Pantallas::AbroModal("frmBusquedaAsientos"), int(QDialog::Rejected));
    QVERIFY(visto);
    QVERIFY(App().entryListQuery.vacia());
    QCOMPARE(LeoLocal("BusquedaAsientos", "Orden", ""), QString("1"));
    Pantallas::Olvido();
}

void PruebaPantallaBusqueda::selectorReal() {
    Entorno e;
    Libro(e);
    Pantallas::Olvido();
    RegistroPantallasCuentas();
    frmBusquedaAsientos f;
    f.show();
    // The real chart screen, pre-searched by description with what was typed; "Seleccionar".
    QString buscado;
    QTimer::singleShot(0, [&] {
        auto* plan = qobject_cast<frmCuentas*>(QApplication::activeModalWidget());
        if (!plan) return;
        buscado = plan->inpBusqDescripcion->text();
        plan->btnSeleccionar->click();
        // Nothing selectable found: leave without choosing.
        if (plan->isVisible()) plan->reject();
    });
    f.ftrDescripcion->setText("ventas");
    QTest::mouseDClick(f.ftrDescripcion, Qt::LeftButton);
    QCOMPARE(buscado, QString("ventas"));
    QCOMPARE(LeoLocal("Varios", "UltFormaIngresoCuenta", ""), QString("4"));
    QCOMPARE(f.ftrCodInt->text(), QString("VTAS"));
    QCOMPARE(f.ftrDescripcion->text(), QString("VENTAS"));
    Pantallas::Olvido();
}
