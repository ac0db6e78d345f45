// The catalogue pattern, tested once through the companies screen as a user drives it.
#include "Ayuda.h"
#include "tst_catalogo.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Valores.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "fiscal/ui/frmEmpresasPropia.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {
void Empresa(int codigo, const QString& nombre) {
    const Resultado r = Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (?, ?)",
                                {codigo, nombre});
    if (!r.ok) qFatal("%s", qPrintable(r.error));
}
QString Nombre(int codigo) {
    return NuloAVacio(ValorCampo("EmpresasPropia", "descEmpresaPropia", "EmpresaPropia=?", {codigo}));
}
void Diseno(int empresa, int control, const QString& texto) {
    Ejecuto("INSERT INTO PrepararPagina (EmpresaPropia, TipoImpresion, Control, CoordX, CoordY, Ancho, Alto, "
            "TipoLetra, TamanoLetra, Bold, Italic, Underline, Visible, TextoFijo, Recuadro, FormatoNumero) "
            "VALUES (?, 1, ?, 10.5, 20, 30, 40, 'Arial', 9, -1, 0, 0, -1, ?, 0, '#,##0.00')",
            {empresa, control, texto});
}
} // namespace

void PruebaCatalogo::init() {
    Pantallas::FijoFondo({});
}

void PruebaCatalogo::controles() {
    Entorno e;
    frmEmpresasPropia f;
    f.show();
    QCOMPARE(f.windowTitle(), QString("Empresas Propias"));
    // No record: the panel is hidden, the strip grey.
    QVERIFY(!f.tabMaster->isVisible());
    QCOMPARE(f.ColorModo(), QColor(192, 192, 192));

    const struct {
        const char* nombre;
        const char* tip;
    } botones[] = {{"btnRegAgregar", "Agregar nuevo registro"},
                   {"btnRegBorrar", "Eliminar registro actual"},
                   {"btnGuardar", "Salvar registro actual"},
                   {"btnSalir", "Salir de ventana actual"},
                   {"btnSeleccionar", "Utilizar registro actual como selección"}};
    for (const auto& b : botones) {
        auto* w = f.findChild<QAbstractButton*>(b.nombre);
        QVERIFY2(w, b.nombre);
        QCOMPARE(w->toolTip(), QString(b.tip));
        QVERIFY(!w->accessibleName().isEmpty());
        if (qobject_cast<QToolButton*>(w)) QVERIFY(!w->icon().isNull());
    }
    QCOMPARE(f.findChild<QPushButton*>("btnSeleccionar")->text(), QString("Seleccionar"));
    QVERIFY(!f.btnSeleccionar->autoDefault());

    auto* busqueda = f.findChild<QLineEdit*>("inpBusqueda");
    QVERIFY(busqueda);
    QCOMPARE(busqueda->toolTip(), QString("Ingrese texto a buscar en listado"));
    QCOMPARE(qobject_cast<QGroupBox*>(busqueda->parentWidget())->title(), QString("Búsqueda"));
    QCOMPARE(qobject_cast<QGroupBox*>(f.findChild<QLineEdit*>("inpCodigo")->parentWidget())->title(),
             QString("Código"));
    QCOMPARE(qobject_cast<QGroupBox*>(f.findChild<QLineEdit*>("inpDescripcion")->parentWidget())->title(),
             QString("Descripción"));
    QVERIFY(f.findChild<QWidget*>("tabMaster"));
    QVERIFY(f.findChild<QWidget*>("Picture1"));
    for (const char* n : {"inpBusqueda", "inpCodigo", "inpDescripcion", "sprMaster"})
        QVERIFY2(!f.findChild<QWidget*>(n)->accessibleName().isEmpty(), n);

    auto* lista = f.findChild<Grilla*>("sprMaster");
    QVERIFY(lista);
    QCOMPARE(lista->columnas(), 2);
    QCOMPARE(lista->anchoColumna(1), 0);
    QCOMPARE(lista->encabezado(2), QString("Listado"));
    // First activation puts the focus in the search field; later activations leave it where it is.
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(f.focusWidget(), static_cast<QWidget*>(busqueda));
    QVERIFY(!f.firstActivation);
    f.inpDescripcion->setFocus();
    QEvent activa(QEvent::WindowActivate);
    QApplication::sendEvent(&f, &activa);
    QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.inpDescripcion));
}

void PruebaCatalogo::modeloDeLaLista() {
    Entorno e;
    Empresa(1, "Alfa");
    Empresa(2, "Beta");
    frmEmpresasPropia f;
    QAbstractItemModelTester probador(f.sprMaster->model(),
                                      QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.show();
    QCOMPARE(f.sprMaster->filas(), 2);
    // Every row in dark blue.
    for (int fila = 1; fila <= 2; ++fila)
        QCOMPARE(f.sprMaster->model()->index(fila - 1, 2).data(Qt::ForegroundRole).value<QBrush>().color(),
                 QColor(0, 0, 128));
    QTest::mouseClick(f.btnRegAgregar, Qt::LeftButton);
    Tecleo(f.inpDescripcion, "Gamma");
    QTest::mouseClick(f.btnGuardar, Qt::LeftButton);
    QCOMPARE(f.sprMaster->filas(), 3);
    MensajePrueba::setNextAnswer(Respuesta::Si);
    QTest::mouseClick(f.btnRegBorrar, Qt::LeftButton);
    QCOMPARE(f.sprMaster->filas(), 2);
}

void PruebaCatalogo::primeraEmpresaEsUno() {
    Entorno e;
    frmEmpresasPropia f;
    f.show();
    QTest::mouseClick(f.btnRegAgregar, Qt::LeftButton);
    QVERIFY(f.tabMaster->isVisible());
    QCOMPARE(f.inpCodigo->text(), QString("1"));
    QCOMPARE(f.ColorModo(), QColor(0, 192, 0));
    QVERIFY(f.adding && f.dirty);
    Tecleo(f.inpDescripcion, "Primera");
    QTest::mouseClick(f.btnGuardar, Qt::LeftButton);
    // No layout rows anywhere: nothing copied, and that is no error.
    QVERIFY2(MensajePrueba::Textos().isEmpty(), qPrintable(MensajePrueba::Textos().join("|")));
    QCOMPARE(Nombre(1), QString("Primera"));
    QCOMPARE(Cuento("PrepararPagina"), 0);
    QCOMPARE(Cuento("EmpresasPropia", "EmpresaPropia=1 AND RespIVA IS NULL AND NumEjercicio IS NULL"), 1);
    QVERIFY(!f.adding && !f.dirty);
    QCOMPARE(f.ColorModo(), QColor(192, 192, 192));
    QCOMPARE(f.sprMaster->filas(), 1);
    QCOMPARE(f.CodigoFila(f.sprMaster->filaActiva()), QString("1"));
    // The next one proposes 2.
    QTest::mouseClick(f.btnRegAgregar, Qt::LeftButton);
    QCOMPARE(f.inpCodigo->text(), QString("2"));
}

void PruebaCatalogo::altaCopiaPrepararPagina() {
    Entorno e;
    Empresa(1, "Uno");
    Empresa(2, "Dos");
    Empresa(3, "Tres sin diseño");
    Diseno(1, 1, "de la uno");
    Diseno(2, 1, "de la dos");
    Diseno(2, 2, "otra de la dos");
    frmEmpresasPropia f;
    f.show();
    QTest::mouseClick(f.btnRegAgregar, Qt::LeftButton);
    QCOMPARE(f.inpCodigo->text(), QString("4"));
    Tecleo(f.inpDescripcion, "Cuatro");
    QTest::mouseClick(f.btnGuardar, Qt::LeftButton);
    QVERIFY(MensajePrueba::Textos().isEmpty());
    // The highest company that has layout rows (2) is the model; every column is copied.
    QCOMPARE(Cuento("PrepararPagina", "EmpresaPropia=4"), 2);
    QCOMPARE(Cuento("PrepararPagina", "EmpresaPropia=4 AND TextoFijo LIKE '%dos' AND CoordX=10.5 AND "
                                      "TipoLetra='Arial' AND Bold=-1 AND FormatoNumero='#,##0.00'"),
             2);
    QCOMPARE(Cuento("PrepararPagina"), 5);
}

void PruebaCatalogo::altaFallidaNoDejaNada() {
    Entorno e;
    Empresa(1, "Uno");
    Diseno(1, 1, "x");
    // The layout copy fails: the company must not be left behind without its layout.
    QVERIFY(Ejecuto(DisparadorQueFalla("falla", "PrepararPagina", "1=1")).ok);
    frmEmpresasPropia f;
    f.show();
    QTest::mouseClick(f.btnRegAgregar, Qt::LeftButton);
    Tecleo(f.inpDescripcion, "Dos");
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    QTest::mouseClick(f.btnGuardar, Qt::LeftButton);
    QCOMPARE(MensajePrueba::Mostrados().size(), 1);
    QVERIFY(MensajePrueba::Textos().first().startsWith("Atención no se puede grabar el registro, "));
    QVERIFY(MensajePrueba::Textos().first().contains("falla provocada"));
    QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Advertencia);
    QCOMPARE(Cuento("EmpresasPropia"), 1);
    QCOMPARE(Cuento("PrepararPagina"), 1);
    // The panel keeps what was typed, still an addition.
    QVERIFY(f.dirty && f.adding);
    QCOMPARE(f.inpDescripcion->text(), QString("Dos"));
    QCOMPARE(f.inpCodigo->text(), QString("2"));
    QCOMPARE(f.ColorModo(), QColor(0, 192, 0));
}

void PruebaCatalogo::cambioDeFilaPregunta_data() {
    QTest::addColumn<Respuesta>("respuesta");
    QTest::addColumn<bool>("raton");
    for (bool raton : {false, true}) {
        const char* como = raton ? "clic" : "flecha";
        QTest::addRow("%s si", como) << Respuesta::Si << raton;
        QTest::addRow("%s no", como) << Respuesta::No << raton;
        QTest::addRow("%s cancelar", como) << Respuesta::Cancelar << raton;
    }
}

void PruebaCatalogo::cambioDeFilaPregunta() {
    QFETCH(Respuesta, respuesta);
    QFETCH(bool, raton);
    Entorno e;
    Empresa(1, "Alfa");
    Empresa(2, "Beta");
    frmEmpresasPropia f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(f.CodigoFila(f.sprMaster->filaActiva()), QString("1"));
    // Renamed so that, once saved, it sorts after Beta: the move must still land on Beta.
    f.inpDescripcion->selectAll();
    Tecleo(f.inpDescripcion, "Zeta");
    QVERIFY(f.dirty);
    MensajePrueba::setNextAnswer(respuesta);
    if (raton) {
        const QRect celda = f.sprMaster->visualRect(f.sprMaster->model()->index(1, 2));
        QTest::mouseClick(f.sprMaster->viewport(), Qt::LeftButton, {}, celda.center());
    } else {
        QTest::keyClick(f.sprMaster, Qt::Key_Down);
    }

    QCOMPARE(MensajePrueba::Mostrados().size(), 1);
    QCOMPARE(MensajePrueba::Textos().first(), QString("Salva datos recientemente modificados?"));
    QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Pregunta);
    QCOMPARE(MensajePrueba::Mostrados().first().botones, Botones::SiNoCancelar);
    const QString activa = f.CodigoFila(f.sprMaster->filaActiva());
    const auto filasElegidas = [&f] {
        QSet<int> filas;
        for (const QModelIndex& i : f.sprMaster->selectionModel()->selectedIndexes())
            filas.insert(i.row() + 1);
        return filas;
    };
    // The highlighted row is the active one, whatever the answer.
    QTRY_COMPARE(filasElegidas(), QSet<int>{f.sprMaster->filaActiva()});
    switch (respuesta) {
    case Respuesta::Si:
        QCOMPARE(Nombre(1), QString("Zeta"));
        QCOMPARE(activa, QString("2"));
        QCOMPARE(f.inpDescripcion->text(), QString("Beta"));
        QVERIFY(!f.dirty);
        break;
    case Respuesta::No:
        QCOMPARE(Nombre(1), QString("Alfa"));
        QCOMPARE(activa, QString("2"));
        QCOMPARE(f.inpDescripcion->text(), QString("Beta"));
        QVERIFY(!f.dirty);
        break;
    default:
        // Back on the edited row, edits intact.
        QCOMPARE(Nombre(1), QString("Alfa"));
        QCOMPARE(activa, QString("1"));
        QCOMPARE(f.sprMaster->filaActiva(), f.editRow);
        // What the user sees highlighted is the edited row too.
        QTRY_COMPARE(filasElegidas(), QSet<int>{1});
        QCOMPARE(f.sprMaster->filaActiva(), f.editRow);
        QCOMPARE(f.inpDescripcion->text(), QString("Zeta"));
        QVERIFY(f.dirty);
        // Leaving again asks again.
        MensajePrueba::setNextAnswer(Respuesta::No);
        QTest::keyClick(f.sprMaster, Qt::Key_Down);
        QCOMPARE(MensajePrueba::Mostrados().size(), 2);
        QCOMPARE(f.inpDescripcion->text(), QString("Beta"));
        break;
    }
}

void PruebaCatalogo::cambioDeCodigoUsaFilaEditada() {
    Entorno e;
    Empresa(1, "Alfa");
    Empresa(2, "Beta");
    frmEmpresasPropia f;
    f.show();
    // Alfa's code is changed, then the user moves to Beta and saves from there: the key that changes
    // is Alfa's (the row where editing began), not Beta's.
    f.inpCodigo->selectAll();
    Tecleo(f.inpCodigo, "5");
    MensajePrueba::setNextAnswer(Respuesta::Si);
    QTest::keyClick(f.sprMaster, Qt::Key_Down);
    QCOMPARE(Nombre(5), QString("Alfa"));
    QCOMPARE(Nombre(2), QString("Beta"));
    QCOMPARE(Cuento("EmpresasPropia"), 2);
    QCOMPARE(f.inpDescripcion->text(), QString("Beta"));
    // Saved through Guardar: the list is positioned on the new code.
    f.inpCodigo->selectAll();
    Tecleo(f.inpCodigo, "9");
    QTest::mouseClick(f.btnGuardar, Qt::LeftButton);
    QCOMPARE(Nombre(9), QString("Beta"));
    QCOMPARE(Cuento("EmpresasPropia", "EmpresaPropia=2"), 0);
    QCOMPARE(f.CodigoFila(f.sprMaster->filaActiva()), QString("9"));
    QCOMPARE(f.inpCodigo->text(), QString("9"));
    // A code already taken: the engine refuses, the panel stays as typed.
    f.inpCodigo->selectAll();
    Tecleo(f.inpCodigo, "5");
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    QTest::mouseClick(f.btnGuardar, Qt::LeftButton);
    QCOMPARE(MensajePrueba::Mostrados().size(), 2);
    QVERIFY(MensajePrueba::Textos().last().startsWith("Atención no se puede grabar el registro, "));
    QCOMPARE(MensajePrueba::Mostrados().last().icono, Icono::Advertencia);
    QVERIFY(f.dirty);
    QCOMPARE(f.inpCodigo->text(), QString("5"));
    QCOMPARE(Nombre(9), QString("Beta"));
}

void PruebaCatalogo::agregarPregunta_data() {
    QTest::addColumn<Respuesta>("respuesta");
    QTest::newRow("si") << Respuesta::Si;
    QTest::newRow("no") << Respuesta::No;
    QTest::newRow("cancelar") << Respuesta::Cancelar;
}

void PruebaCatalogo::agregarPregunta() {
    QFETCH(Respuesta, respuesta);
    Entorno e;
    Empresa(1, "Alfa");
    frmEmpresasPropia f;
    f.show();
    Tecleo(f.inpDescripcion, " X");
    MensajePrueba::setNextAnswer(respuesta);
    QTest::mouseClick(f.btnRegAgregar, Qt::LeftButton);
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Salva datos recientemente modificados?"});
    if (respuesta == Respuesta::Cancelar) {
        QVERIFY(!f.adding && f.dirty);
        QCOMPARE(f.ColorModo(), QColor(192, 192, 192));
        QCOMPARE(f.inpDescripcion->text(), QString("Alfa X"));
        QCOMPARE(Nombre(1), QString("Alfa"));
        return;
    }
    QCOMPARE(Nombre(1), respuesta == Respuesta::Si ? QString("Alfa X") : QString("Alfa"));
    QVERIFY(f.adding && f.dirty);
    QCOMPARE(f.ColorModo(), QColor(0, 192, 0));
    QCOMPARE(f.inpCodigo->text(), QString("2"));
    QVERIFY(f.inpDescripcion->text().isEmpty());
}

void PruebaCatalogo::seleccionarPregunta_data() {
    QTest::addColumn<Respuesta>("respuesta");
    QTest::newRow("si") << Respuesta::Si;
    QTest::newRow("no") << Respuesta::No;
    QTest::newRow("cancelar") << Respuesta::Cancelar;
}

void PruebaCatalogo::seleccionarPregunta() {
    QFETCH(Respuesta, respuesta);
    Entorno e;
    Empresa(1, "Alfa");
    Empresa(2, "Beta");
    frmEmpresasPropia f;
    f.show();
    QTest::keyClick(f.sprMaster, Qt::Key_Down);
    Tecleo(f.inpDescripcion, " X");
    MensajePrueba::setNextAnswer(respuesta);
    QTest::mouseClick(f.btnSeleccionar, Qt::LeftButton);
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Salva datos recientemente modificados?"});
    if (respuesta == Respuesta::Cancelar) {
        QVERIFY(f.isVisible());
        QCOMPARE(App().selectionCode, -1);
        QVERIFY(f.dirty);
        return;
    }
    QVERIFY(!f.isVisible());
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(App().selectionCode, 2);
    const QString esperado = respuesta == Respuesta::Si ? "Beta X" : "Beta";
    QCOMPARE(App().selectionText, esperado);
    QCOMPARE(Nombre(2), esperado);
}

void PruebaCatalogo::cerrarPregunta_data() {
    QTest::addColumn<int>("manera");
    QTest::addColumn<Respuesta>("respuesta");
    const char* maneras[] = {"salir", "escape", "cerrar"};
    for (int m = 0; m < 3; ++m) {
        QTest::addRow("%s-si", maneras[m]) << m << Respuesta::Si;
        QTest::addRow("%s-no", maneras[m]) << m << Respuesta::No;
        QTest::addRow("%s-cancelar", maneras[m]) << m << Respuesta::Cancelar;
    }
}

void PruebaCatalogo::cerrarPregunta() {
    QFETCH(int, manera);
    QFETCH(Respuesta, respuesta);
    Entorno e;
    int fondos = 0;
    Pantallas::FijoFondo([&fondos] { ++fondos; });
    Empresa(1, "Alfa");
    frmEmpresasPropia f;
    f.show();
    Tecleo(f.inpDescripcion, " X");
    MensajePrueba::setNextAnswer(respuesta);
    if (manera == 0)
        QTest::mouseClick(f.btnSalir, Qt::LeftButton);
    else if (manera == 1)
        QTest::keyClick(&f, Qt::Key_Escape);
    else
        f.close();
    Pantallas::FijoFondo({});
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Salva datos recientemente modificados?"});
    if (respuesta == Respuesta::Cancelar) {
        QVERIFY(f.isVisible());
        QVERIFY(f.dirty);
        QCOMPARE(fondos, 0);
        QCOMPARE(f.inpDescripcion->text(), QString("Alfa X"));
    } else {
        QVERIFY(!f.isVisible());
        QCOMPARE(fondos, 1);
    }
    QCOMPARE(Nombre(1), respuesta == Respuesta::Si ? QString("Alfa X") : QString("Alfa"));
    // Closing without edits asks nothing.
    if (f.isVisible()) {
        MensajePrueba::setNextAnswer(Respuesta::No);
        f.close();
        QVERIFY(!f.isVisible());
        MensajePrueba::Limpio();
    }
    f.show();
    f.close();
    QVERIFY(MensajePrueba::Textos().size() <= 1);
}

void PruebaCatalogo::seleccionarSinFila() {
    Entorno e;
    App().selectionCode = 7; // left over from an earlier picker
    frmEmpresasPropia f;
    f.show();
    QCOMPARE(App().selectionCode, -1);
    QCOMPARE(f.sprMaster->filaActiva(), 0);
    QTest::mouseClick(f.btnSeleccionar, Qt::LeftButton);
    QVERIFY(f.isVisible());
    QCOMPARE(App().selectionCode, -1);
    QVERIFY(MensajePrueba::Textos().isEmpty());
}

void PruebaCatalogo::enterEnListaSelecciona() {
    Entorno e;
    Empresa(1, "Alfa");
    Empresa(2, "Beta");
    frmEmpresasPropia f;
    f.show();
    QTest::keyClick(f.sprMaster, Qt::Key_Down);
    QTest::keyClick(f.sprMaster, Qt::Key_Return);
    QVERIFY(!f.isVisible());
    QCOMPARE(App().selectionCode, 2);
    QCOMPARE(App().selectionText, QString("Beta"));
}

void PruebaCatalogo::borrar() {
    Entorno e;
    Empresa(1, "Alfa");
    Empresa(2, "Beta");
    Diseno(2, 1, "x");
    frmEmpresasPropia f;
    f.show();
    QTest::keyClick(f.sprMaster, Qt::Key_Down);
    MensajePrueba::setNextAnswer(Respuesta::No);
    QTest::mouseClick(f.btnRegBorrar, Qt::LeftButton);
    QCOMPARE(Cuento("EmpresasPropia"), 2);
    QCOMPARE(MensajePrueba::Textos(),
             QStringList{"Está seguro de eliminar permanentemente el registro seleccionado"});
    QCOMPARE(MensajePrueba::Mostrados().first().botones, Botones::SiNo);
    QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Pregunta);

    MensajePrueba::setNextAnswer(Respuesta::Si);
    QTest::mouseClick(f.btnRegBorrar, Qt::LeftButton);
    QCOMPARE(MensajePrueba::Mostrados().size(), 2);
    QCOMPARE(Cuento("EmpresasPropia", "EmpresaPropia=2"), 0);
    QCOMPARE(Cuento("PrepararPagina"), 0);
    QCOMPARE(f.sprMaster->filas(), 1);
    QCOMPARE(f.sprMaster->filaActiva(), 1);
    QCOMPARE(f.inpDescripcion->text(), QString("Alfa"));
}

void PruebaCatalogo::borrarRechazadoPorRelacion() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1);
    Empresa(2, "Otra");
    frmEmpresasPropia f;
    App().preselection = 1;
    f.show();
    QCOMPARE(f.CodigoFila(f.sprMaster->filaActiva()), QString("1"));
    MensajePrueba::setNextAnswer(Respuesta::Si);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    QTest::mouseClick(f.btnRegBorrar, Qt::LeftButton);
    QCOMPARE(MensajePrueba::Mostrados().size(), 2);
    const auto& m = MensajePrueba::Mostrados().last();
    QVERIFY(m.texto.startsWith("No se pudo eliminar el registro; "));
    QVERIFY(m.texto.size() > QString("No se pudo eliminar el registro; ").size());
    QCOMPARE(m.icono, Icono::Informacion);
    QCOMPARE(Cuento("EmpresasPropia"), 2);
    // Refilled on row 1.
    QCOMPARE(f.sprMaster->filas(), 2);
    QCOMPARE(f.sprMaster->filaActiva(), 1);
    QVERIFY(f.tabMaster->isVisible());
}

void PruebaCatalogo::borrarDuranteAlta() {
    Entorno e;
    Empresa(1, "Alfa");
    frmEmpresasPropia f;
    f.show();
    QTest::mouseClick(f.btnRegAgregar, Qt::LeftButton);
    Tecleo(f.inpDescripcion, "Nueva");
    QTest::mouseClick(f.btnRegBorrar, Qt::LeftButton);
    QVERIFY(MensajePrueba::Textos().isEmpty());
    QVERIFY(!f.adding && !f.dirty);
    QCOMPARE(f.ColorModo(), QColor(192, 192, 192));
    QCOMPARE(f.inpDescripcion->text(), QString("Alfa"));
    QCOMPARE(Cuento("EmpresasPropia"), 1);
}

void PruebaCatalogo::busqueda_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("esperado"); // empty: the last row
    QTest::newRow("comienzo") << "com"
                              << "Comercial Gamma";
    QTest::newRow("mayusculas") << "COMER"
                                << "Comercial Gamma";
    QTest::newRow("asterisco en el medio") << "*com"
                                           << "Beta Comercial";
    QTest::newRow("asterisco mayusculas") << "*GAM"
                                          << "Comercial Gamma";
    QTest::newRow("sin asterisco no busca adentro") << "gam"
                                                    << "";
    QTest::newRow("sin coincidencia") << "zz"
                                      << "";
    QTest::newRow("acentos en otra caja") << "ñAN"
                                          << "Ñandú";
}

void PruebaCatalogo::busqueda() {
    QFETCH(QString, texto);
    QFETCH(QString, esperado);
    Entorno e;
    Empresa(1, "Beta Comercial");
    Empresa(2, "Alfa SA");
    Empresa(3, "Comercial Gamma");
    Empresa(4, "Delta");
    Empresa(5, "Ñandú");
    frmEmpresasPropia f;
    f.show();
    Tecleo(f.inpBusqueda, texto);
    const int fila = f.sprMaster->filaActiva();
    if (esperado.isEmpty())
        QCOMPARE(fila, f.sprMaster->filas());
    else
        QCOMPARE(f.sprMaster->texto(fila, 2), esperado);
    // The panel shows the record found.
    QCOMPARE(f.inpDescripcion->text(), f.sprMaster->texto(fila, 2));
    QVERIFY(MensajePrueba::Textos().isEmpty());
}

void PruebaCatalogo::teclaEnLista() {
    Entorno e;
    Empresa(1, "Alfa");
    Empresa(2, "Beta");
    Empresa(3, "Comercial");
    frmEmpresasPropia f;
    f.show();
    QTest::keyClick(f.sprMaster, 'c');
    QCOMPARE(f.inpDescripcion->text(), QString("Comercial"));
    // With an edited record the move asks; Cancel stays.
    Tecleo(f.inpDescripcion, " SA");
    MensajePrueba::setNextAnswer(Respuesta::Cancelar);
    QTest::keyClick(f.sprMaster, 'b');
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Salva datos recientemente modificados?"});
    QCOMPARE(f.CodigoFila(f.sprMaster->filaActiva()), QString("3"));
    QCOMPARE(f.inpDescripcion->text(), QString("Comercial SA"));
    MensajePrueba::setNextAnswer(Respuesta::No);
    QTest::keyClick(f.sprMaster, 'b');
    QCOMPARE(f.inpDescripcion->text(), QString("Beta"));
    // A letter that begins no name leaves the list where it was.
    QTest::keyClick(f.sprMaster, 'x');
    QCOMPARE(f.inpDescripcion->text(), QString("Beta"));
}

void PruebaCatalogo::textosComoSeEscriben_data() {
    QTest::addColumn<QString>("texto");
    QTest::newRow("comillas") << "O'Brien & Cía";
    QTest::newRow("comillas dobles") << "Dos '' y \"tres\"";
    QTest::newRow("porcentaje") << "100% _seguro_";
    QTest::newRow("comodines") << "*Estrella* ?";
    QTest::newRow("sql") << "x'); DELETE FROM EmpresasPropia; --";
}

void PruebaCatalogo::textosComoSeEscriben() {
    QFETCH(QString, texto);
    Entorno e;
    Empresa(1, "Alfa");
    frmEmpresasPropia f;
    f.show();
    QTest::mouseClick(f.btnRegAgregar, Qt::LeftButton);
    Tecleo(f.inpDescripcion, texto);
    QTest::mouseClick(f.btnGuardar, Qt::LeftButton);
    QVERIFY2(MensajePrueba::Textos().isEmpty(), qPrintable(MensajePrueba::Textos().join("|")));
    QCOMPARE(Nombre(2), texto);
    QCOMPARE(Nombre(1), QString("Alfa"));
    QCOMPARE(f.inpDescripcion->text(), texto);
    QCOMPARE(f.sprMaster->texto(f.sprMaster->filaActiva(), 2), texto);
    // And again through an update.
    Tecleo(f.inpDescripcion, "'%");
    QTest::mouseClick(f.btnGuardar, Qt::LeftButton);
    QCOMPARE(Nombre(2), texto + "'%");
}

void PruebaCatalogo::codigoInvalido_data() {
    QTest::addColumn<QString>("tecleado");
    QTest::newRow("vacio") << "";
    QTest::newRow("letras") << "abc";
    QTest::newRow("signos") << "-'";
}

void PruebaCatalogo::codigoInvalido() {
    QFETCH(QString, tecleado);
    Entorno e;
    Empresa(1, "Alfa");
    frmEmpresasPropia f;
    f.show();
    QTest::mouseClick(f.btnRegAgregar, Qt::LeftButton);
    Tecleo(f.inpDescripcion, "Nueva");
    f.inpCodigo->selectAll();
    QTest::keyClick(f.inpCodigo, Qt::Key_Delete);
    Tecleo(f.inpCodigo, tecleado);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    QTest::mouseClick(f.btnGuardar, Qt::LeftButton);
    QCOMPARE(MensajePrueba::Textos(),
             QStringList{"Atención no se puede grabar el registro, ingrese un código numérico"});
    QCOMPARE(Cuento("EmpresasPropia"), 1);
    QVERIFY(f.adding && f.dirty);
    QCOMPARE(f.inpDescripcion->text(), QString("Nueva"));
}

void PruebaCatalogo::preseleccionAlCargar_data() {
    QTest::addColumn<QVariant>("preseleccion");
    QTest::addColumn<QString>("codigo");
    QTest::newRow("nulo") << QVariant() << "1";
    QTest::newRow("verdadero (menu)") << QVariant(true) << "1";
    QTest::newRow("numero") << QVariant(2) << "2";
    QTest::newRow("texto que empieza con numero") << QVariant("3abc") << "3";
    QTest::newRow("menos uno") << QVariant(-1) << "1";
    QTest::newRow("inexistente") << QVariant(99) << "1";
    QTest::newRow("texto") << QVariant("Beta") << "1";
}

void PruebaCatalogo::preseleccionAlCargar() {
    QFETCH(QVariant, preseleccion);
    QFETCH(QString, codigo);
    Entorno e;
    Empresa(1, "Alfa");
    Empresa(2, "Beta");
    Empresa(3, "Gamma");
    App().preselection = preseleccion;
    frmEmpresasPropia f;
    f.show();
    QCOMPARE(f.CodigoFila(f.sprMaster->filaActiva()), codigo);
    QCOMPARE(f.inpCodigo->text(), codigo);
    QVERIFY(f.tabMaster->isVisible());
}

// The CUIT is optional; typed with or without separators it is stored as XX-XXXXXXXX-X, and one whose
// length or check digit is wrong is refused before anything is stored. The address goes with it.
void PruebaCatalogo::cuitYDomicilio_data() {
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("guardado"); // stored CUIT; "-" when nothing may be stored
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("sin CUIT") << "" << "" << "";
    QTest::newRow("con guiones") << "30-71234567-1" << "30-71234567-1" << "";
    QTest::newRow("sólo dígitos") << "30712345671" << "30-71234567-1" << "";
    QTest::newRow("con espacios") << " 30 71234567 1 " << "30-71234567-1" << "";
    QTest::newRow("resto cero da 0") << "20000000060" << "20-00000006-0" << "";
    QTest::newRow("dígito equivocado")
        << "30-71234567-2" << "-"
        << "el dígito verificador del CUIT 30-71234567-2 no es correcto: para 30-71234567 corresponde 1";
    QTest::newRow("resto uno: ningún dígito")
        << "20-00000001-0" << "-"
        << "el CUIT 20-00000001-0 no es válido: ningún dígito verificador corresponde a 20-00000001";
    QTest::newRow("diez dígitos") << "30-7123456-1" << "-"
                                  << "el CUIT debe tener 11 dígitos, en la forma XX-XXXXXXXX-X";
    QTest::newRow("doce dígitos") << "30-712345671-1" << "-"
                                  << "el CUIT debe tener 11 dígitos, en la forma XX-XXXXXXXX-X";
}

void PruebaCatalogo::cuitYDomicilio() {
    QFETCH(QString, tecleado);
    QFETCH(QString, guardado);
    QFETCH(QString, mensaje);
    Entorno e;
    Empresa(1, "Alfa");
    Ejecuto("UPDATE EmpresasPropia SET CUIT='30-50001091-2', Domicilio='Calle 1' WHERE EmpresaPropia=1");
    frmEmpresasPropia f;
    f.show();
    QCOMPARE(f.inpCUIT->text(), QString("30-50001091-2"));
    QCOMPARE(f.inpDomicilio->text(), QString("Calle 1"));
    const auto fiscales = [](int empresa) {
        const auto fila = LeoFila(Consulto("SELECT CUIT, Domicilio FROM EmpresasPropia WHERE EmpresaPropia=?",
                                           {empresa}));
        return fila ? QStringList{fila->Valor(0).isNull() ? "NULL" : fila->Valor(0).toString(),
                                  fila->Valor(1).isNull() ? "NULL" : fila->Valor(1).toString()}
                    : QStringList{};
    };
    const QString esperado = guardado.isEmpty() ? "NULL" : guardado;
    // A new company, then the same typed into the existing one (whose CUIT and address it replaces).
    for (const bool nueva : {true, false}) {
        if (nueva)
            QTest::mouseClick(f.btnRegAgregar, Qt::LeftButton);
        else
            f.IrAFila(1);
        if (nueva) Tecleo(f.inpDescripcion, "Nueva");
        f.inpCUIT->selectAll();
        QTest::keyClick(f.inpCUIT, Qt::Key_Delete);
        Tecleo(f.inpCUIT, tecleado);
        f.inpDomicilio->selectAll();
        QTest::keyClick(f.inpDomicilio, Qt::Key_Delete);
        Tecleo(f.inpDomicilio, "  Av. Siempreviva 742  ");
        if (guardado == "-") MensajePrueba::setNextAnswer(Respuesta::Ok);
        QTest::mouseClick(f.btnGuardar, Qt::LeftButton);
        if (guardado == "-") {
            QCOMPARE(MensajePrueba::Textos(), QStringList{"Atención no se puede grabar el registro, " + mensaje});
            MensajePrueba::Limpio();
            QVERIFY(f.dirty);
            QCOMPARE(Cuento("EmpresasPropia"), 1);
            QCOMPARE(fiscales(1), (QStringList{"30-50001091-2", "Calle 1"}));
            // Abandon the addition, drop the edit of the existing one.
            if (nueva) QTest::mouseClick(f.btnRegBorrar, Qt::LeftButton);
            continue;
        }
        QVERIFY2(MensajePrueba::Textos().isEmpty(), qPrintable(MensajePrueba::Textos().join("|")));
        QCOMPARE(fiscales(nueva ? 2 : 1), (QStringList{esperado, "Av. Siempreviva 742"}));
        QCOMPARE(f.inpCUIT->text(), guardado);
    }
}
