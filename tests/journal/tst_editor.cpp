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
#include "fiscal/ui/RegistroEjercicios.h"
#include "journal/Asiento.h"
#include "journal/ui/DetalleAsiento.h"
#include "journal/ui/RegistroAsientos.h"
#include "journal/ui/frmAsientos.h"
#include "journal/ui/frmHistorialAsiento.h"
#include "tests/support/Entorno.h"
#include "tests/support/ui/EntornoPantallas.h"
#include "tst_diario.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using D = DetalleAsiento;

namespace {
// What the user types into a cell, as the cell editor hands it over.
void Tipeo(Grilla* g, int fila, int columna, const QString& texto) {
    g->setCeldaActual(fila, columna);
    QVERIFY(g->modelo()->AceptoTipeado(fila, columna, texto));
    QCoreApplication::processEvents();
}

// Every entry of the year, as the search leaves it.
ConsultaSql TodoElAnio() {
    return {"SELECT Asientos.Fecha, Asientos.Concepto, Cuentas.Descripcion, Asientos.Asiento, "
            "DetAsientos.Detalle, "
            "Cuentas.CodInt, DetAsientos.Importe FROM Asientos LEFT JOIN DetAsientos ON "
            "DetAsientos.EmpresaPropia = "
            "Asientos.EmpresaPropia AND DetAsientos.NumEjercicio = Asientos.NumEjercicio AND "
            "DetAsientos.Asiento = "
            "Asientos.Asiento LEFT JOIN Cuentas ON Cuentas.EmpresaPropia = DetAsientos.EmpresaPropia AND "
            "Cuentas.NumEjercicio = DetAsientos.NumEjercicio AND Cuentas.Cuenta = DetAsientos.Cuenta "
            "ORDER BY Asientos.Asiento, DetAsientos.Detalle",
            {}};
}

void GraboAsientos(int cantidad) {
    for (int i = 1; i <= cantidad; ++i) {
        AsientoEditado a;
        a.fecha = QString("0%1/03/2024").arg(i);
        a.concepto = QString("Asiento %1").arg(i);
        a.lineas = {{"2", "CAJA", "CAJA", QString::number(i * 10), "", "", ""},
                    {"7", "VTAS", "VENTAS", "", QString::number(i * 10), "", ""}};
        QVERIFY(GuardoAsiento(ContextoActual(), a).ok);
    }
}

// A picker that chooses at once: `elijo` sets the hand-over values, the dialog closes by itself.
QWidget* PickerFalso(const std::function<void()>& elijo) {
    elijo();
    auto* d = new QDialog;
    QTimer::singleShot(0, d, &QDialog::accept);
    return d;
}

QString Concepto(int asiento) {
    return NuloAVacio(ValorCampo("Asientos", "Concepto", "Asiento=?", {asiento}));
}

struct Pantalla {
    Entorno e;
    std::unique_ptr<frmAsientos> f;
    Grilla* g = nullptr;
    explicit Pantalla(int asientos = 0) {
        e.CreoEmpresaYEjercicio();
        e.CreoPlanChico();
        GraboAsientos(asientos);
        MensajePrueba::Limpio();
        f = std::make_unique<frmAsientos>();
        f->show();
        g = f->sprDetAsiento;
        if (asientos > 0) {
            App().entryListQuery = TodoElAnio();
            f->ActSprRpt();
        }
    }
};
} // namespace

void PruebaEditor::init() {
    MensajePrueba::Limpio();
}

void PruebaEditor::cleanup() {
    Pantallas::Olvido();
    RegistroPantallasAsientos();
}

// A new entry typed and saved; a refused save keeps everything; starting another entry saves the
// one being typed silently, and does not start when that save fails.
void PruebaEditor::nuevoYGuardado() {
    Pantalla p;
    frmAsientos& f = *p.f;
    Grilla* g = p.g;
    QCOMPARE(f.windowTitle(), QString("Asientos (0 registros seleccionados)"));
    QVERIFY(!f.picAsiento->isVisible());
    f.btnDerecha->click();
    f.btnRegBorrar->click();
    QVERIFY(!f.picAsiento->isVisible());

    f.btnRegAgregar->click();
    QVERIFY(f.adding);
    QCOMPARE(f.lblNvoExistente->text(), QString("Asiento Nuevo"));
    QVERIFY(!f.chkEdito->isVisible());
    QCOMPARE(f.Picture1->palette().color(QPalette::Window), QColor(0, 192, 0));
    QCOMPARE(f.inpFecha->text(), QString("01/01/2024")); // first entry of the year: its first day
    QCOMPARE(g->filas(), int(D::FilasEdicion));
    Tipeo(g, 1, D::ColCodInt, "CAJA");
    QCOMPARE(g->texto(1, D::ColCuenta), QString("2"));
    QCOMPARE(g->texto(1, D::ColCodJer), QString("1.1"));
    QCOMPARE(g->texto(1, D::ColDescripcion), QString("CAJA"));
    QCOMPARE(g->columnaActiva(), int(D::ColDescripcion));
    Tipeo(g, 1, D::ColDebe, "50");
    QCOMPARE(g->texto(1, D::ColFechaAjuste), QString("01/01/2024"));
    Tipeo(g, 1, D::ColHaber, "100");
    QVERIFY(g->texto(1, D::ColDebe).isEmpty()); // a line is a debit or a credit, never both
    Tipeo(g, 1, D::ColDebe, "100");
    QVERIFY(g->texto(1, D::ColHaber).isEmpty());
    Tipeo(g, 2, D::ColDescripcion, "vent");
    Tipeo(g, 2, D::ColHaber, "99.99");
    Escribo(f.inpConcepto, "Venta contado");
    QVERIFY(f.dirty);

    MensajePrueba::setNextAnswer(Respuesta::Ok);
    f.btnGuardar->click();
    const QString sobra = PrefijoGrabar + "Sobran $.01 en el Debe, por favor corrija la diferencia";
    QCOMPARE(MensajePrueba::Textos(), QStringList{sobra});
    QVERIFY(f.dirty && f.adding);
    QCOMPARE(g->texto(2, D::ColHaber), QString("99.99"));
    // Another new entry: the one typed is saved without asking; the save fails, so it stays.
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    f.btnRegAgregar->click();
    QCOMPARE(MensajePrueba::Textos(), QStringList({sobra, sobra}));
    QCOMPARE(g->texto(1, D::ColDescripcion), QString("CAJA"));
    QCOMPARE(f.inpConcepto->text(), QString("Venta contado"));

    Tipeo(g, 2, D::ColHaber, "100");
    f.btnRegAgregar->click();
    QCOMPARE(MensajePrueba::Textos().size(), 2);
    QCOMPARE(f.windowTitle(), QString("Asientos (1 registros seleccionados)"));
    QCOMPARE(f.sprAsientos->texto(1, 0), QString("1"));
    QCOMPARE(f.sprAsientos->texto(1, 1), QString("01/01/24"));
    QCOMPARE(f.sprAsientos->texto(1, 2), QString("Venta contado"));
    QCOMPARE(f.sprAsientos->texto(1, 3), QString("CAJA- CAJA"));
    QCOMPARE(f.sprAsientos->texto(1, 4), QString("VENTAS- VTAS"));
    QCOMPARE(f.sprAsientos->texto(1, 5), QString("100.00"));
    QCOMPARE(NuloAVacio(ValorCampo("DetAsientos", "Count(*)", "Asiento=1")), QString("2"));
    // The blank new entry started after the save, dated like the latest entry.
    QVERIFY(f.adding);
    QVERIFY(g->texto(1, D::ColCuenta).isEmpty());
    QCOMPARE(f.inpFecha->text(), QString("01/01/2024"));

    // Saved from the button: shown again from the database, read-only.
    Tipeo(g, 1, D::ColCodInt, "bco");
    Tipeo(g, 1, D::ColDebe, "5");
    Tipeo(g, 2, D::ColCodInt, "gtos");
    Tipeo(g, 2, D::ColDebe, "1");
    Tipeo(g, 3, D::ColCodInt, "PROV");
    Tipeo(g, 3, D::ColHaber, "6");
    Escribo(f.inpFecha, "15/02/2024");
    f.btnGuardar->click();
    QCOMPARE(MensajePrueba::Textos().size(), 2);
    QVERIFY(!f.adding && !f.dirty);
    QCOMPARE(f.lblNvoExistente->text(), QString("Asiento Existente"));
    QCOMPARE(f.inpAsiento->text(), QString("2"));
    QVERIFY(g->soloLectura());
    QVERIFY(f.chkEdito->isVisible() && !f.chkEdito->isChecked());
    QCOMPARE(f.sprAsientos->filaActiva(), 2);
    QCOMPARE(f.sprAsientos->texto(2, 1), QString("15/02/24"));
    QCOMPARE(f.sprAsientos->texto(2, 4), QString("PROVEEDORES- PROV"));
    QVERIFY(f.sprAsientos->rowHeight(1) > f.sprAsientos->rowHeight(0)); // two debit lines
    QCOMPARE(f.Picture1->palette().color(QPalette::Window), QColor(192, 192, 192));
}

void PruebaEditor::navegacionYPreguntas_data() {
    QTest::addColumn<QString>("accion"); // "der", "izq", or a list row clicked
    QTest::addColumn<int>("inicio");
    QTest::addColumn<bool>("edito");
    QTest::addColumn<int>("respuesta"); // -1: no question expected
    QTest::addColumn<int>("final");
    QTest::addColumn<QString>("concepto1"); // stored concept of entry 1 afterwards
    QTest::newRow("derecha desde la última") << "der" << 3 << false << -1 << 1 << "Asiento 1";
    QTest::newRow("izquierda desde la primera") << "izq" << 1 << false << -1 << 3 << "Asiento 1";
    QTest::newRow("editado, Cancelar") << "der" << 1 << true << int(Respuesta::Cancelar) << 1 << "Asiento 1";
    QTest::newRow("editado, No") << "der" << 1 << true << int(Respuesta::No) << 2 << "Asiento 1";
    QTest::newRow("editado, Sí") << "izq" << 1 << true << int(Respuesta::Si) << 3 << "Cambiado";
    QTest::newRow("clic en la lista, Cancelar")
        << "2" << 1 << true << int(Respuesta::Cancelar) << 1 << "Asiento 1";
    QTest::newRow("clic en la lista, Sí") << "3" << 1 << true << int(Respuesta::Si) << 3 << "Cambiado";
}

void PruebaEditor::navegacionYPreguntas() {
    QFETCH(QString, accion);
    QFETCH(int, inicio);
    QFETCH(bool, edito);
    QFETCH(int, respuesta);
    QFETCH(int, final);
    QFETCH(QString, concepto1);
    Pantalla p(3);
    frmAsientos& f = *p.f;
    QCOMPARE(f.windowTitle(), QString("Asientos (3 registros seleccionados)"));
    QCOMPARE(f.sprAsientos->filaActiva(), 3); // the last row when nothing was active
    if (f.sprAsientos->filaActiva() != inicio) {
        f.sprAsientos->setCeldaActual(inicio, -1);
        QTRY_COMPARE(f.inpAsiento->text(), QString::number(inicio));
    }
    if (edito) {
        f.chkEdito->click();
        QVERIFY(!f.sprDetAsiento->soloLectura());
        Escribo(f.inpConcepto, "Cambiado");
    }
    if (respuesta >= 0) MensajePrueba::setNextAnswer(Respuesta(respuesta));
    if (accion == "der")
        f.btnDerecha->click();
    else if (accion == "izq")
        f.btnIzquierda->click();
    else
        f.sprAsientos->setCeldaActual(accion.toInt(), -1);
    QTRY_COMPARE(f.sprAsientos->filaActiva(), final);
    QTest::qWait(20);
    QCOMPARE(f.sprAsientos->filaActiva(), final);
    QCOMPARE(MensajePrueba::Textos(),
             respuesta >= 0 ? QStringList{"Salva datos recientemente modificados?"} : QStringList());
    QCOMPARE(Concepto(1), concepto1);
    if (respuesta == int(Respuesta::Cancelar)) {
        // Everything typed stays, still editable and still marked.
        QCOMPARE(f.inpConcepto->text(), QString("Cambiado"));
        QVERIFY(f.dirty && f.chkEdito->isChecked());
    } else {
        QCOMPARE(f.inpAsiento->text(), QString::number(final));
        QCOMPARE(f.inpConcepto->text(), Concepto(final));
        QVERIFY(!f.dirty);
        QCOMPARE(f.sprAsientos->texto(1, 2), concepto1); // the list row follows a save
    }
}

// Undo, "Edito" unticked, a new entry based on the shown one, deleting, an entry changed elsewhere.
void PruebaEditor::edicionDeshacerBorrado() {
    Pantalla p(2);
    frmAsientos& f = *p.f;
    Grilla* g = p.g;
    QCOMPARE(f.inpAsiento->text(), QString("2"));
    QCOMPARE(g->filas(), 2);
    QCOMPARE(g->texto(1, D::ColDebe), QString("20.00"));
    QCOMPARE(g->texto(2, D::ColHaber), QString("20.00"));
    f.btnUndo->click(); // nothing to undo
    f.chkEdito->click();
    QCOMPARE(g->filas(), int(D::FilasEdicion));
    Tipeo(g, 1, D::ColDebe, "25");
    QVERIFY(f.dirty);
    f.btnUndo->click();
    QVERIFY(!f.dirty && g->soloLectura());
    QCOMPARE(g->texto(1, D::ColDebe), QString("20.00"));
    f.chkEdito->click();
    Escribo(f.inpConcepto, "otro");
    f.chkEdito->click(); // unticking drops the edits
    QCOMPARE(f.inpConcepto->text(), QString("Asiento 2"));

    // The entry concept from its picker, opened by a double-click on the field.
    f.chkEdito->click();
    QString preseleccion;
    Pantallas::Registro("frmConceptosAsiento", Pantallas::Forma::Modal, [&](QWidget*) {
        return PickerFalso([&] {
            preseleccion = App().preselection.toString();
            App().selectionCode = 4;
            App().selectionText = "Cobranza";
        });
    });
    QTest::mouseDClick(f.inpConcepto, Qt::LeftButton);
    QCOMPARE(preseleccion, QString("Asiento 2"));
    QCOMPARE(f.inpConcepto->text(), QString("Cobranza"));
    QVERIFY(f.dirty);
    f.btnUndo->click();

    // Another session changed the chart: the codes are written with the new widths before the lines show.
    for (int i = 4; i <= 10; ++i)
        Ejecuto(
            "INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, Descripcion, CuentaPadre, NumHijo) "
            "VALUES (1, 1, ?, 'X', 0, ?)",
            {100 + i, i});
    f.btnDerecha->click();
    QCOMPARE(g->texto(1, D::ColCodJer), QString("1.1"));
    Ejecuto("DELETE FROM SesionesPlanes");
    f.btnDerecha->click();
    QCOMPARE(g->texto(1, D::ColCodJer), QString("01.1"));
    QCOMPARE(g->tipoColumna(D::ColCodJer).mascara, QString("99.9"));

    // Based on the shown entry: accounts and concept stay, amounts and dates go.
    f.btnMas->click();
    QVERIFY(f.adding);
    QVERIFY(f.inpAsiento->text().isEmpty());
    QCOMPARE(f.inpFecha->text(), QString("02/03/2024"));
    QCOMPARE(f.inpConcepto->text(), QString("Asiento 2"));
    QCOMPARE(g->texto(2, D::ColDescripcion), QString("VENTAS"));
    QVERIFY(g->texto(1, D::ColDebe).isEmpty() && g->texto(1, D::ColFechaAjuste).isEmpty());
    Tipeo(g, 1, D::ColDebe, "7");
    Tipeo(g, 2, D::ColHaber, "7");
    f.btnRegBorrar->click(); // abandons the new entry
    QVERIFY(MensajePrueba::Textos().isEmpty());
    QVERIFY(!f.adding);
    QCOMPARE(f.inpAsiento->text(), QString("2"));
    QCOMPARE(NuloAVacio(ValorCampo("Asientos", "Count(*)", "1=1")), QString("2"));

    // Changed by another workstation after it was shown: nothing stored, what was typed stays.
    f.chkEdito->click();
    Escribo(f.inpConcepto, "mio");
    Ejecuto("UPDATE Asientos SET Concepto='suyo' WHERE Asiento=2");
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    f.btnGuardar->click();
    QCOMPARE(MensajePrueba::Textos(), QStringList{TextoAsientoAjeno(2)});
    QCOMPARE(Concepto(2), QString("suyo"));
    QCOMPARE(f.inpConcepto->text(), QString("mio"));
    QVERIFY(f.dirty);
    f.btnUndo->click();
    QCOMPARE(f.inpConcepto->text(), QString("suyo"));

    // Deleting asks; No keeps it, Sí deletes it with its lines.
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::No);
    f.btnRegBorrar->click();
    MensajePrueba::setNextAnswer(Respuesta::Si);
    f.btnRegBorrar->click();
    QCOMPARE(MensajePrueba::Textos(),
             QStringList(2, "Está seguro de eliminar permanentemente el asiento actual"));
    QCOMPARE(NuloAVacio(ValorCampo("Asientos", "Count(*)", "1=1")), QString("1"));
    QCOMPARE(NuloAVacio(ValorCampo("DetAsientos", "Count(*)", "Asiento=2")), QString("0"));
    QCOMPARE(f.windowTitle(), QString("Asientos (1 registros seleccionados)"));
    QCOMPARE(f.inpAsiento->text(), QString("1"));

    // The list printed through the preview, under the job name "Asientos".
    QString trabajo;
    AlAbrirModal([&](QWidget* w) {
        trabajo = w->windowTitle();
        w->close();
    });
    f.btnImprimir->click();
    QCOMPARE(trabajo, QString("Asientos"));
}

// Legends, the marker, the account picker, the line-concept picker and the Delete key.
void PruebaEditor::grilla() {
    Pantalla p;
    frmAsientos& f = *p.f;
    Grilla* g = p.g;
    Ejecuto("INSERT INTO ConceptosDetAsiento VALUES (1, 'Depósito'), (2, 'Cobro')");
    Ejecuto("INSERT INTO CuentasConceptos (EmpresaPropia, NumEjercicio, Cuenta, Debe, ConceptoDetAsiento) "
            "VALUES (1, 1, 2, -1, 1), (1, 1, 2, -1, 2)");
    f.btnRegAgregar->click();
    Tipeo(g, 1, D::ColCodInt, "CAJA");
    Tipeo(g, 1, D::ColDebe, "10");
    QCOMPARE(g->texto(1, D::ColLeyendas), QString("Cobro\tDepósito"));
    Tipeo(g, 1, D::ColConcepto, "depósito");
    QVERIFY(g->texto(1, D::ColMarca).isEmpty());
    Tipeo(g, 2, D::ColCodInt, "CAJA");
    Tipeo(g, 2, D::ColHaber, "10");
    Tipeo(g, 2, D::ColConcepto, "Depósito");
    QCOMPARE(g->texto(2, D::ColMarca), MarcaLeyenda); // only a debit legend of the account
    Tipeo(g, 3, D::ColCodInt, "CAJA");
    Tipeo(g, 3, D::ColHaber, "1");
    Tipeo(g, 3, D::ColConcepto, "Vuelto");
    QCOMPARE(g->texto(3, D::ColMarca), MarcaLeyenda);
    MensajePrueba::setNextAnswer(Respuesta::Si);
    emit g->BotonPresionado(2, D::ColMarca);
    QCOMPARE(
        MensajePrueba::Textos(),
        QStringList{"Está seguro de incorporar la leyenda 'Depósito' a las leyendas estandár de la cuenta "
                    "'CAJA' para sus movimientos de crédito"});
    QVERIFY(g->texto(2, D::ColMarca).isEmpty());
    QCOMPARE(g->texto(3, D::ColMarca), MarcaLeyenda); // another concept keeps its marker
    QCOMPARE(g->texto(3, D::ColLeyendas), QString("Depósito"));
    QCOMPARE(NuloAVacio(ValorCampo("ConceptosDetAsiento", "Count(*)", "1=1")), QString("2"));

    // Nothing matches: the picker opens searched with the typed text; without a choice the text stays.
    QString buscado;
    int elegida = -1;
    Pantallas::Registro("frmCuentas", Pantallas::Forma::Modal, [&](QWidget*) {
        return PickerFalso([&] {
            buscado = App().searchText;
            App().selectionCode = elegida;
            App().selectionText = "BCO";
            App().pickCodJer = "1.2";
            App().pickDescripcion = "BANCOS";
        });
    });
    Tipeo(g, 4, D::ColCodInt, "zz");
    QCOMPARE(buscado, QString("zz"));
    QCOMPARE(g->texto(4, D::ColCuenta), QString("-1"));
    QCOMPARE(g->texto(4, D::ColCodInt), QString("zz"));
    elegida = 3;
    Tipeo(g, 4, D::ColDescripcion, "banc0");
    QCOMPARE(g->texto(4, D::ColCuenta), QString("3"));
    QCOMPARE(g->texto(4, D::ColCodJer), QString("1.2"));
    QCOMPARE(g->texto(4, D::ColDescripcion), QString("BANCOS"));
    Pantallas::Registro("frmConceptosDetAsiento", Pantallas::Forma::Modal, [&](QWidget*) {
        return PickerFalso([&] {
            buscado = App().preselection.toString();
            App().selectionCode = 1;
            App().selectionText = "Depósito";
        });
    });
    emit g->DobleClick(3, D::ColConcepto);
    QCOMPARE(buscado, QString("Vuelto"));
    QCOMPARE(g->texto(3, D::ColConcepto), QString("Depósito"));
    QVERIFY(g->texto(3, D::ColMarca).isEmpty());

    // Delete on an account cell removes the line after asking; on an amount cell it does nothing.
    MensajePrueba::Limpio();
    g->setFocus();
    g->setCeldaActual(2, D::ColDebe);
    QTest::keyClick(g, Qt::Key_Delete);
    MensajePrueba::setNextAnswer(Respuesta::Si);
    g->setCeldaActual(2, D::ColCodJer);
    QTest::keyClick(g, Qt::Key_Delete);
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Está seguro de eliminar la linea actual"});
    QCOMPARE(g->texto(2, D::ColConcepto), QString("Depósito"));
    QCOMPARE(g->texto(3, D::ColDescripcion), QString("BANCOS"));
    QCOMPARE(g->filas(), int(D::FilasEdicion));
}

// An entry typed without the mouse: Tab and Enter walk the cells, a new line starts at the account
// column last used, Ctrl+G saves.
void PruebaEditor::teclado() {
    Pantalla p;
    frmAsientos& f = *p.f;
    Grilla* g = p.g;
    QVERIFY(f.btnGuardar->toolTip().contains("Ctrl+G"));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.btnRegAgregar->click();
    g->setFocus();
    g->setCeldaActual(1, D::ColCodInt);
    auto tipeo = [&](const QString& texto, Qt::Key tecla) {
        // Each key goes where the focus is: the first opens the cell editor, the rest go into it.
        for (QChar c : texto)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        QWidget* editor = QApplication::focusWidget();
        QTest::keyClick(editor ? editor : g, tecla);
        QCoreApplication::processEvents();
    };
    auto celda = [&] { return qMakePair(g->filaActiva(), g->columnaActiva()); };
    tipeo("caja", Qt::Key_Tab);
    QCOMPARE(g->texto(1, D::ColDescripcion), QString("CAJA"));
    QCOMPARE(celda(), qMakePair(1, int(D::ColDebe)));
    tipeo("100", Qt::Key_Tab); // Tab walks the line's cells (Enter would start the next line)
    QCOMPARE(g->texto(1, D::ColDebe), QString("100.00"));
    QCOMPARE(celda(), qMakePair(1, int(D::ColHaber)));
    tipeo("", Qt::Key_Tab);
    tipeo("Cobro", Qt::Key_Tab);
    QCOMPARE(celda(), qMakePair(1, int(D::ColFechaAjuste)));
    tipeo("", Qt::Key_Tab);
    QCOMPARE(celda(), qMakePair(2, int(D::ColCodInt)));
    g->setCeldaActual(2, D::ColDescripcion);
    tipeo("vent", Qt::Key_Tab);
    QCOMPARE(celda(), qMakePair(2, int(D::ColDebe)));
    QCOMPARE(LeoLocal("Varios", "UltFormaIngresoCuenta", ""), QString("4"));
    tipeo("", Qt::Key_Tab);
    tipeo("100", Qt::Key_Backtab);
    QCOMPARE(celda(), qMakePair(2, int(D::ColDebe)));
    for (int i = 0; i < 4; ++i)
        tipeo("", Qt::Key_Tab);
    QCOMPARE(celda(), qMakePair(3, int(D::ColDescripcion))); // the column last used
    QCOMPARE(g->texto(1, D::ColConcepto), QString("Cobro"));
    QTest::keyClick(g, Qt::Key_G, Qt::ControlModifier);
    QVERIFY(MensajePrueba::Textos().isEmpty());
    QCOMPARE(f.sprAsientos->filas(), 1);
    QCOMPARE(NuloAVacio(ValorCampo("DetAsientos", "Concepto", "Asiento=1 AND Detalle=1")), QString("Cobro"));
    QCOMPARE(NuloAVacio(ValorCampo("DetAsientos", "Importe", "Asiento=1 AND Detalle=2")).toDouble(), -100.0);
}

// Listing one entry, the main window's commands, and leaving the program while typing.
void PruebaEditor::comandosYSalida() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    GraboAsientos(3);
    MensajePrueba::Limpio();
    App().entryListQuery = {};
    Pantallas::Registro("frmBusquedaAsientos", Pantallas::Forma::Modal, [](QWidget*) -> QWidget* {
        App().entryListQuery = TodoElAnio();
        return nullptr;
    });
    frmMain m;
    m.ActualizoMenus();
    auto* nuevo = m.findChild<QAction*>("M_IngresarNuevoAsiento");
    auto* buscar = m.findChild<QAction*>("M_BuscarAsientos");
    QVERIFY(nuevo->isEnabled() && buscar->isEnabled());
    m.show();
    // Another child window open before the editor: the exit asks the editor before this one closes.
    Pantallas::Registro("frmOtra", Pantallas::Forma::Hija, [](QWidget*) { return new QWidget; });
    QVERIFY(Pantallas::Activo("frmOtra"));
    buscar->trigger();
    auto* f = qobject_cast<frmAsientos*>(Pantallas::Abierta("frmAsientos"));
    QVERIFY(f);
    QCOMPARE(f->sprAsientos->filas(), 3);
    f->ListoAsiento(2);
    QCOMPARE(f->sprAsientos->filas(), 1);
    QCOMPARE(f->inpAsiento->text(), QString("2"));
    QCOMPARE(f->windowTitle(), QString("Asientos (1 registros seleccionados)"));

    nuevo->trigger();
    QCOMPARE(Pantallas::Marco()->subWindowList().size(), 2);
    QVERIFY(f->adding);
    Tipeo(f->sprDetAsiento, 1, D::ColCodInt, "caja");
    MensajePrueba::setNextAnswer(Respuesta::Cancelar);
    f->ListoAsiento(1);
    QVERIFY(f->adding);
    QCOMPARE(f->sprDetAsiento->texto(1, D::ColDescripcion), QString("CAJA"));

    // Leaving the program: Cancel keeps every screen open and the typing; No leaves without storing.
    MensajePrueba::setNextAnswer(Respuesta::Cancelar);
    QVERIFY(!m.close());
    QCOMPARE(Pantallas::Abierta("frmAsientos"), f);
    QVERIFY(Pantallas::Abierta("frmOtra"));
    QCOMPARE(f->sprDetAsiento->texto(1, D::ColDescripcion), QString("CAJA"));
    QVERIFY(BaseAbierta());
    MensajePrueba::setNextAnswer(Respuesta::No);
    QVERIFY(m.close());
    QCOMPARE(MensajePrueba::Textos(), QStringList(3, "Salva datos recientemente modificados?"));
    QVERIFY(!BaseAbierta());
    // The layout was kept for the next time.
    QVERIFY(!LeoLocal("Asientos", "sprDetAsientoCol4", "").isEmpty());
    QVERIFY(!LeoLocal("Asientos", "Estado", "").isEmpty());
}

// Lines typed below an empty row are kept and numbered one after another; a row with data but no
// account is refused by its number before anything is stored; typing that starts below row 1 is saved.
void PruebaEditor::lineasConFilasVacias_data() {
    QTest::addColumn<QString>("filas");    // rows "codInt|debe|haber" separated by ";", "" an empty row
    QTest::addColumn<QString>("mensaje");  // empty: stored
    QTest::addColumn<QString>("guardado"); // lines of entry 1: "detalle:cuenta:centavos"
    QTest::newRow("fila vacía en medio") << "CAJA|100|;VTAS||100;;BCO|50|;VTAS||50"
                                         << ""
                                         << "1:2:10000;2:7:-10000;3:3:5000;4:7:-5000";
    QTest::newRow("empieza en la fila 2") << ";CAJA|10|;VTAS||10"
                                          << ""
                                          << "1:2:1000;2:7:-1000";
    QTest::newRow("importe sin cuenta")
        << "CAJA|100|;VTAS||100;|50|;BCO|50|"
        << "Fila 3: tiene importe pero ninguna cuenta; indique la cuenta de la línea o vacíe la fila"
        << "";
}

void PruebaEditor::lineasConFilasVacias() {
    QFETCH(QString, filas);
    QFETCH(QString, mensaje);
    QFETCH(QString, guardado);
    Pantalla p;
    frmAsientos& f = *p.f;
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.btnRegAgregar->click();
    const QStringList renglones = filas.split(';');
    for (int i = 0; i < renglones.size(); ++i) {
        const QStringList c = renglones[i].split('|');
        if (!c[0].isEmpty()) Tipeo(p.g, i + 1, D::ColCodInt, c[0]);
        if (c.size() > 1 && !c[1].isEmpty()) Tipeo(p.g, i + 1, D::ColDebe, c[1]);
        if (c.size() > 2 && !c[2].isEmpty()) Tipeo(p.g, i + 1, D::ColHaber, c[2]);
    }
    if (!mensaje.isEmpty()) MensajePrueba::setNextAnswer(Respuesta::Ok);
    p.g->setFocus();
    QTest::keyClick(p.g, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(MensajePrueba::Textos(), mensaje.isEmpty() ? QStringList() : QStringList{mensaje});
    QSqlQuery q = Consulto("SELECT Detalle, Cuenta, Importe FROM DetAsientos ORDER BY Detalle");
    QStringList lineas;
    while (q.next())
        lineas << QString("%1:%2:%3")
                      .arg(q.value(0).toInt())
                      .arg(q.value(1).toInt())
                      .arg(Importe::DeBase(q.value(2)).centavos());
    QCOMPARE(lineas.join(';'), guardado);
    if (!mensaje.isEmpty()) {
        // Refused: no header either, and everything typed is still there.
        QCOMPARE(Cuento("Asientos"), 0);
        QVERIFY(f.dirty && f.adding);
        QCOMPARE(p.g->texto(3, D::ColDebe), QString("50.00"));
    }
}

// A change of year with the editor open. Through "Archivos" -> "Ejercicios" -> "Seleccionar" the
// edits are asked about first (stored in the year they were typed in) and the list is emptied; rows
// still listed when the year changed without telling the screen are neither shown nor deleted.
void PruebaEditor::cambioDeEjercicio_data() {
    QTest::addColumn<bool>("aviso");    // the change through the main window
    QTest::addColumn<int>("respuesta"); // to the question about a new entry typed; -1: none typed
    QTest::addColumn<int>("ejercicio"); // current year afterwards
    QTest::newRow("Seleccionar") << true << -1 << 2;
    QTest::newRow("Seleccionar con asiento a medio escribir, Sí") << true << int(Respuesta::Si) << 2;
    QTest::newRow("Seleccionar con asiento a medio escribir, Cancelar")
        << true << int(Respuesta::Cancelar) << 1;
    QTest::newRow("sin aviso a la pantalla") << false << -1 << 2;
}

void PruebaEditor::cambioDeEjercicio() {
    QFETCH(bool, aviso);
    QFETCH(int, respuesta);
    QFETCH(int, ejercicio);
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 2, QDate(2025, 1, 1), QDate(2025, 12, 31));
    e.CreoPlanChico(1, 2);
    for (int i = 1; i <= 2; ++i) {
        AsientoEditado a;
        a.fecha = QString("1%1/01/2025").arg(i);
        a.concepto = QString("Del 2025 %1").arg(i);
        a.lineas = {{"2", "CAJA", "CAJA", "5", "", "", ""}, {"7", "VTAS", "VENTAS", "", "5", "", ""}};
        QVERIFY(GuardoAsiento(ContextoActual(), a).ok);
    }
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    GraboAsientos(2);
    MensajePrueba::Limpio();
    // "Ejercicios" chooses year 2 and closes.
    struct Ejercicios : QDialog, Pantallas::Selector {
        Ejercicios() { QTimer::singleShot(0, this, &QDialog::accept); }
        std::optional<Eleccion> Elegido() const override {
            Eleccion e;
            e.codigo = 2;
            e.empresa = 1;
            return e;
        }
    };
    // In its place in the menus, as the fiscal years register it.
    RegistroPantallasEjercicios();
    Pantallas::Registro("frmEjercicios", Pantallas::Forma::Modal, [](QWidget*) { return new Ejercicios; });
    frmMain m;
    m.ActualizoMenus();
    m.show();
    auto* f = qobject_cast<frmAsientos*>(Pantallas::Activo("frmAsientos"));
    QVERIFY(f);
    ConsultaSql del2024 = TodoElAnio();
    del2024.sql.replace("ORDER BY", "WHERE Asientos.NumEjercicio=1 ORDER BY");
    App().entryListQuery = del2024;
    f->ActSprRpt();
    QCOMPARE(f->sprAsientos->filas(), 2);
    QCOMPARE(f->inpConcepto->text(), QString("Asiento 2"));
    if (respuesta >= 0) {
        f->btnRegAgregar->click();
        Tipeo(f->sprDetAsiento, 1, D::ColCodInt, "CAJA");
        Tipeo(f->sprDetAsiento, 1, D::ColDebe, "3");
        Tipeo(f->sprDetAsiento, 2, D::ColCodInt, "VTAS");
        Tipeo(f->sprDetAsiento, 2, D::ColHaber, "3");
        MensajePrueba::setNextAnswer(Respuesta(respuesta));
    }
    if (aviso) {
        m.findChild<QAction*>("M_Ejercicios")->trigger();
    } else {
        // Another way of changing the pair, which does not tell the screen; then a row is clicked.
        App().currentYear = 2;
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        f->sprAsientos->setCeldaActual(1, -1);
    }
    QCOMPARE(App().currentYear, ejercicio);
    if (!aviso) {
        // The row of 2024 clicked once 2025 is current: refused, nothing of 2025 shown or deleted.
        const QString otroEjercicio = VerificoListado(ContextoActual(), {1, 1});
        QVERIFY(otroEjercicio.contains("Empresa de Prueba 1, 01/01/24-31/12/24"));
        QVERIFY(otroEjercicio.contains("01/01/25-31/12/25"));
        QTRY_COMPARE(MensajePrueba::Textos(), QStringList{otroEjercicio});
        QVERIFY(!f->picAsiento->isVisible());
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        f->btnRegBorrar->click();
        QCOMPARE(MensajePrueba::Textos(), QStringList(2, otroEjercicio));
        QCOMPARE(f->sprAsientos->filas(), 2);
    } else if (ejercicio == 2) {
        // Nothing of 2024 left on screen to act on.
        QCOMPARE(f->sprAsientos->filas(), 0);
        QVERIFY(!f->picAsiento->isVisible());
        QCOMPARE(f->windowTitle(), QString("Asientos (0 registros seleccionados)"));
        QVERIFY(App().entryListQuery.vacia());
        f->btnRegBorrar->click();
        // A new entry now belongs to 2025.
        f->btnRegAgregar->click();
        QCOMPARE(f->inpFecha->text(), QString("12/01/2025"));
    } else {
        // Cancelled: the year stays, and so does everything typed.
        QVERIFY(f->adding && f->dirty);
        QCOMPARE(f->sprDetAsiento->texto(2, D::ColDescripcion), QString("VENTAS"));
    }
    // No entry of either year was deleted; the one typed went into 2024 when it was saved.
    QCOMPARE(Cuento("Asientos", "EmpresaPropia=1 AND NumEjercicio=2"), 2);
    QCOMPARE(Cuento("Asientos", "EmpresaPropia=1 AND NumEjercicio=1"),
             respuesta == int(Respuesta::Si) ? 3 : 2);
    QCOMPARE(
        NuloAVacio(ValorCampo("Asientos", "Concepto", "EmpresaPropia=1 AND NumEjercicio=2 AND Asiento=2")),
        QString("Del 2025 2"));
    QCOMPARE(MensajePrueba::Textos().count("Salva datos recientemente modificados?"), respuesta >= 0 ? 1 : 0);
    MensajePrueba::Limpio();
    if (f->dirty) MensajePrueba::setNextAnswer(Respuesta::No);
    m.close();
}

// A year closed (its closing written by the one writer) refuses the editor's save and delete; the
// history button shows what was recorded for the entry shown.
void PruebaEditor::cerradoEHistorial() {
    Pantalla p(2);
    frmAsientos& f = *p.f;
    Escritura cierre;
    cierre.tipo = TipoCambio::Cierre;
    cierre.especial = Especial::CierrePatrimonial;
    cierre.fecha = QDate(2024, 12, 31);
    cierre.lineas = {{1, 2, Importe::DeUnidades(-30), {}, cierre.fecha}, {2, 7, Importe::DeUnidades(30), {}, cierre.fecha}};
    QCOMPARE(EscriboAsiento(ContextoActual(), cierre).asiento, 3);
    const QString cerrado = "el ejercicio está cerrado: tiene el asiento de cierre 3. No se pueden agregar, "
                            "modificar ni eliminar sus asientos; para reabrirlo, elimine ese asiento de cierre";

    // The history of entry 2, as shown.
    QStringList filas;
    AlAbrirModal([&](QWidget* w) {
        auto* h = qobject_cast<frmHistorialAsiento*>(w);
        QVERIFY(h);
        QCOMPARE(h->windowTitle(), QString("Historial del asiento 2"));
        for (int i = 1; i <= h->sprHistorial->filas(); ++i)
            filas << h->sprHistorial->texto(i, 2) + "|" + h->sprHistorial->texto(i, 5) + "|" +
                         h->sprHistorial->texto(i, 6) + "|" + h->sprHistorial->texto(i, 7);
        h->btnCerrar->click();
    });
    f.btnHistorial->click();
    QCOMPARE(filas, QStringList{"ADMIN|alta||N.º 2, 02/03/2024, Asiento 2; 2 líneas, Debe $20,00"});

    f.btnRegAgregar->click();
    Tipeo(p.g, 1, D::ColCodInt, "CAJA");
    Tipeo(p.g, 1, D::ColDebe, "5");
    Tipeo(p.g, 2, D::ColCodInt, "VTAS");
    Tipeo(p.g, 2, D::ColHaber, "5");
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    f.btnGuardar->click();
    QCOMPARE(MensajePrueba::Textos(), QStringList{PrefijoGrabar + cerrado});
    QVERIFY(f.adding && f.dirty);
    f.btnRegBorrar->click(); // abandons the new entry, shows entry 2 again
    MensajePrueba::setNextAnswer(Respuesta::Si);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    f.btnRegBorrar->click();
    QCOMPARE(MensajePrueba::Textos().last(), "No se pudo eliminar el asiento; " + cerrado);
    QCOMPARE(NuloAVacio(ValorCampo("Asientos", "Count(*)", "1=1")), QString("3"));
}
