// The other catalogue screens: only what differs from the companies screen.
#include "Ayuda.h"
#include "tst_catalogo.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Valores.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "fiscal/ui/frmEmpresasPropia.h"
#include "inflation/ui/frmTablasAjusteInflacion.h"
#include "journal/ui/frmConceptosAsiento.h"
#include "journal/ui/frmConceptosDetAsiento.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {
struct Tabla {
    const char* pantalla;
    const char* tabla;
    const char* codigo;
    const char* descripcion;
    const char* titulo;
};
const Tabla tablas[] = {
    {"frmConceptosAsiento", "ConceptosAsiento", "ConceptoAsiento", "descConceptoAsiento",
     "Conceptos Asiento"},
    {"frmConceptosDetAsiento", "ConceptosDetAsiento", "ConceptoDetAsiento", "descConceptoDetAsiento",
     "Conceptos Detalles Asiento"},
    {"frmTablasAjusteInflacion", "TablasAjusteInflacion", "TablaAjusteInflacion", "descTablaAjusteInflacion",
     "Tablas Ajuste Inflación"},
    {"frmEmpresasPropia", "EmpresasPropia", "EmpresaPropia", "descEmpresaPropia", "Empresas Propias"},
};
const Tabla& De(const QString& pantalla) {
    for (const Tabla& t : tablas)
        if (pantalla == t.pantalla) return t;
    qFatal("pantalla desconocida");
}
std::unique_ptr<Catalogo> Creo(const QString& pantalla) {
    if (pantalla == "frmConceptosAsiento") return std::make_unique<frmConceptosAsiento>();
    if (pantalla == "frmConceptosDetAsiento") return std::make_unique<frmConceptosDetAsiento>();
    if (pantalla == "frmTablasAjusteInflacion") return std::make_unique<frmTablasAjusteInflacion>();
    return std::make_unique<frmEmpresasPropia>();
}
void Fila(const Tabla& t, int codigo, const QString& descripcion) {
    const Resultado r =
        Ejecuto(QString("INSERT INTO %1 (%2, %3) VALUES (?, ?)").arg(t.tabla, t.codigo, t.descripcion),
                {codigo, descripcion});
    if (!r.ok) qFatal("%s", qPrintable(r.error));
}
Valor Descripcion(const Tabla& t, int codigo) {
    return ValorCampo(t.tabla, t.descripcion, QString(t.codigo) + "=?", {codigo});
}
QString CodigoActivo(const Catalogo& c) {
    return c.CodigoFila(c.sprMaster->filaActiva());
}
} // namespace

void PruebaCatalogosSimples::init() {
    Pantallas::FijoFondo({});
}

void PruebaCatalogosSimples::altaCambioYBaja_data() {
    QTest::addColumn<QString>("pantalla");
    for (int i = 0; i < 3; ++i)
        QTest::newRow(tablas[i].pantalla) << QString(tablas[i].pantalla);
}

void PruebaCatalogosSimples::altaCambioYBaja() {
    QFETCH(QString, pantalla);
    const Tabla& t = De(pantalla);
    Entorno e;
    auto c = Creo(pantalla);
    c->show();
    QCOMPARE(c->windowTitle(), QString(t.titulo));
    QCOMPARE(c->objectName(), pantalla);
    QVERIFY(Pantallas::Registrada(pantalla));

    QTest::mouseClick(c->btnRegAgregar, Qt::LeftButton);
    QCOMPARE(c->inpCodigo->text(), QString("1"));
    Tecleo(c->inpDescripcion, "Uno");
    QTest::mouseClick(c->btnGuardar, Qt::LeftButton);
    QTest::mouseClick(c->btnRegAgregar, Qt::LeftButton);
    QCOMPARE(c->inpCodigo->text(), QString("2"));
    Tecleo(c->inpDescripcion, "Dos");
    QTest::mouseClick(c->btnGuardar, Qt::LeftButton);
    QCOMPARE(Descripcion(t, 2).value_or(QVariant()).toString(), QString("Dos"));
    QCOMPARE(CodigoActivo(*c), QString("2"));

    // Change the key and the text of "Uno".
    QTest::keyClick(c->sprMaster, 'u');
    QCOMPARE(c->inpDescripcion->text(), QString("Uno"));
    c->inpCodigo->selectAll();
    Tecleo(c->inpCodigo, "7");
    Tecleo(c->inpDescripcion, " 'b_%");
    QTest::mouseClick(c->btnGuardar, Qt::LeftButton);
    QVERIFY2(MensajePrueba::Textos().isEmpty(), qPrintable(MensajePrueba::Textos().join("|")));
    QVERIFY(!Descripcion(t, 1).has_value());
    QCOMPARE(Descripcion(t, 7).value_or(QVariant()).toString(), QString("Uno 'b_%"));
    QCOMPARE(CodigoActivo(*c), QString("7"));

    // Delete: the list goes back to row 1.
    MensajePrueba::setNextAnswer(Respuesta::Si);
    QTest::mouseClick(c->btnRegBorrar, Qt::LeftButton);
    QVERIFY(!Descripcion(t, 7).has_value());
    QCOMPARE(Cuento(t.tabla), 1);
    QCOMPARE(c->sprMaster->filaActiva(), 1);
    QCOMPARE(c->inpDescripcion->text(), QString("Dos"));
}

void PruebaCatalogosSimples::posicionConceptos_data() {
    QTest::addColumn<QString>("pantalla");
    QTest::addColumn<QVariant>("preseleccion");
    QTest::addColumn<QString>("descripcion"); // expected on the active row ("" = row 1)
    for (const char* p : {"frmConceptosAsiento", "frmConceptosDetAsiento"}) {
        QTest::addRow("%s texto igual", p) << QString(p) << QVariant("Pago") << "Pago";
        QTest::addRow("%s otra caja", p) << QString(p) << QVariant("pago") << "";
        QTest::addRow("%s texto ajeno", p) << QString(p) << QVariant("Otro") << "";
        QTest::addRow("%s verdadero", p) << QString(p) << QVariant(true) << "";
        QTest::addRow("%s nulo", p) << QString(p) << QVariant() << "";
        // A number is a text here, not a code.
        QTest::addRow("%s numero", p) << QString(p) << QVariant(3) << "";
        QTest::addRow("%s repetido", p) << QString(p) << QVariant("Igual") << "Igual";
    }
}

void PruebaCatalogosSimples::posicionConceptos() {
    QFETCH(QString, pantalla);
    QFETCH(QVariant, preseleccion);
    QFETCH(QString, descripcion);
    const Tabla& t = De(pantalla);
    Entorno e;
    Fila(t, 1, "Cobranza");
    Fila(t, 2, "Igual");
    Fila(t, 3, "Pago");
    Fila(t, 4, "Igual");
    Fila(t, 5, "Anticipo");
    App().preselection = preseleccion;
    auto c = Creo(pantalla);
    c->show();
    if (descripcion.isEmpty()) {
        QCOMPARE(c->sprMaster->filaActiva(), 1);
    } else {
        QCOMPARE(c->inpDescripcion->text(), descripcion);
        // Of several rows that qualify, the last one.
        const int primera = FilaDe(*c, descripcion);
        int ultima = primera;
        while (ultima < c->sprMaster->filas() && c->sprMaster->texto(ultima + 1, 2) == descripcion)
            ++ultima;
        QCOMPARE(c->sprMaster->filaActiva(), ultima);
    }
    // After a save: on the saved code, even when an empty description exists.
    Fila(t, 6, "");
    QTest::mouseClick(c->btnRegAgregar, Qt::LeftButton);
    Tecleo(c->inpDescripcion, "Zeta");
    QTest::mouseClick(c->btnGuardar, Qt::LeftButton);
    QCOMPARE(CodigoActivo(*c), QString("7"));
    // After a delete: row 1.
    MensajePrueba::setNextAnswer(Respuesta::Si);
    QTest::mouseClick(c->btnRegBorrar, Qt::LeftButton);
    QCOMPARE(c->sprMaster->filaActiva(), 1);
}

void PruebaCatalogosSimples::posicionTablas_data() {
    QTest::addColumn<QVariant>("preseleccion");
    QTest::addColumn<QString>("codigo");
    // Row 1 is "Construcción", table 3.
    QTest::newRow("tabla actual") << QVariant(2) << "2";
    QTest::newRow("ninguna") << QVariant(-1) << "3";
    QTest::newRow("menu") << QVariant(true) << "3";
    QTest::newRow("texto") << QVariant("IPC") << "3";
    QTest::newRow("texto numerico") << QVariant("1") << "1";
}

void PruebaCatalogosSimples::posicionTablas() {
    QFETCH(QVariant, preseleccion);
    QFETCH(QString, codigo);
    const Tabla& t = De("frmTablasAjusteInflacion");
    Entorno e;
    Fila(t, 1, "Mayoristas");
    Fila(t, 2, "IPC");
    Fila(t, 3, "Construcción");
    App().preselection = preseleccion;
    auto c = Creo(t.pantalla);
    c->show();
    QCOMPARE(CodigoActivo(*c), codigo);
    QCOMPARE(c->inpCodigo->text(), codigo);
    // Nothing read-only about it.
    QVERIFY(c->inpCodigo->isEnabled() && !c->inpCodigo->isReadOnly());
    QVERIFY(c->btnRegAgregar->isEnabled() && c->btnRegBorrar->isEnabled() && c->btnGuardar->isEnabled());
}

void PruebaCatalogosSimples::selectorEntregaEleccion_data() {
    QTest::addColumn<QString>("pantalla");
    QTest::addColumn<QVariant>("preseleccion");
    QTest::addColumn<bool>("elige");
    QTest::addColumn<int>("codigo");
    QTest::addColumn<QString>("texto");
    QTest::newRow("conceptos") << "frmConceptosAsiento" << QVariant("Pago") << true << 3 << "Pago";
    QTest::newRow("leyendas") << "frmConceptosDetAsiento" << QVariant("Cobranza") << true << 1 << "Cobranza";
    QTest::newRow("tablas") << "frmTablasAjusteInflacion" << QVariant(3) << true << 3 << "Pago";
    QTest::newRow("empresas") << "frmEmpresasPropia" << QVariant(1) << true << 1 << "Cobranza";
    QTest::newRow("tablas sin elegir") << "frmTablasAjusteInflacion" << QVariant(3) << false << -1 << "";
}

void PruebaCatalogosSimples::selectorEntregaEleccion() {
    QFETCH(QString, pantalla);
    QFETCH(QVariant, preseleccion);
    QFETCH(bool, elige);
    QFETCH(int, codigo);
    QFETCH(QString, texto);
    const Tabla& t = De(pantalla);
    Entorno e;
    Fila(t, 1, "Cobranza");
    Fila(t, 3, "Pago");
    Fila(t, 2, "Anticipo");
    App().preselection = preseleccion;
    App().selectionText.clear();
    QString activoAlAbrir;
    AlAbrirModal([&](QWidget* w) {
        auto* c = qobject_cast<Catalogo*>(w);
        if (!c) {
            w->close();
            return;
        }
        activoAlAbrir = c->CodigoFila(c->sprMaster->filaActiva());
        if (elige)
            QTest::mouseClick(c->btnSeleccionar, Qt::LeftButton);
        else
            QTest::mouseClick(c->btnSalir, Qt::LeftButton);
    });
    const int r = Pantallas::AbroModal(pantalla);
    QCOMPARE(r, elige ? int(QDialog::Accepted) : int(QDialog::Rejected));
    // The caller's preselection is the row active when the picker opens.
    QCOMPARE(activoAlAbrir, QString::number(elige ? codigo : 3));
    QCOMPARE(App().selectionCode, codigo);
    if (elige) QCOMPARE(App().selectionText, texto);
}

void PruebaCatalogosSimples::relacionesRechazan_data() {
    QTest::addColumn<QString>("caso");
    QTest::newRow("tabla con valores") << "valores";
    QTest::newRow("tabla de un ejercicio") << "ejercicio";
    QTest::newRow("leyenda de una cuenta") << "leyenda";
}

void PruebaCatalogosSimples::relacionesRechazan() {
    QFETCH(QString, caso);
    Entorno e;
    const Tabla& t = De(caso == "leyenda" ? "frmConceptosDetAsiento" : "frmTablasAjusteInflacion");
    Fila(t, 1, "Usada");
    Fila(t, 2, "Libre");
    if (caso == "valores") {
        Ejecuto("INSERT INTO AjustesInflacion (TablaAjusteInflacion, Fecha, Ajuste) VALUES (1, '2024-01-31', "
                "1.5)");
    } else if (caso == "ejercicio") {
        e.CreoEmpresaYEjercicio();
        Ejecuto("UPDATE Ejercicios SET TablaAjusteInflacion=1");
    } else {
        e.CreoEmpresaYEjercicio();
        e.CreoPlanChico();
        Ejecuto(
            "INSERT INTO CuentasConceptos (EmpresaPropia, NumEjercicio, Cuenta, ConceptoDetAsiento, Debe) "
            "VALUES (1, 1, 2, 1, -1)");
    }
    App().preselection = caso == "leyenda" ? QVariant("Usada") : QVariant(1);
    auto c = Creo(t.pantalla);
    c->show();
    QCOMPARE(CodigoActivo(*c), QString("1"));

    // A new key for a row others point to: refused as a save failure, the panel keeps it.
    c->inpCodigo->selectAll();
    Tecleo(c->inpCodigo, "8");
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    QTest::mouseClick(c->btnGuardar, Qt::LeftButton);
    QCOMPARE(MensajePrueba::Mostrados().size(), 1);
    QVERIFY(MensajePrueba::Textos().first().startsWith("Atención no se puede grabar el registro, "));
    QVERIFY(c->dirty);
    QCOMPARE(c->inpCodigo->text(), QString("8"));
    QVERIFY(Descripcion(t, 1).has_value());

    // Deleting it is refused with the engine's reason; the list is refilled.
    MensajePrueba::setNextAnswer(Respuesta::Si);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    QTest::mouseClick(c->btnRegBorrar, Qt::LeftButton);
    QVERIFY(MensajePrueba::Textos().last().startsWith("No se pudo eliminar el registro; "));
    QCOMPARE(MensajePrueba::Mostrados().last().icono, Icono::Informacion);
    QVERIFY(Descripcion(t, 1).has_value());
    QCOMPARE(c->sprMaster->filas(), 2);
    QVERIFY(!c->dirty);
}

void PruebaCatalogosSimples::listadoIlegible() {
    Entorno e;
    Ejecuto("DROP TABLE ConceptosAsiento");
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    frmConceptosAsiento c;
    c.show();
    QCOMPARE(MensajePrueba::Mostrados().size(), 1);
    QVERIFY(MensajePrueba::Textos().first().startsWith("No se pudo leer el listado; "));
    QCOMPARE(c.sprMaster->filas(), 0);
    QVERIFY(!c.tabMaster->isVisible());
}

void PruebaCatalogosSimples::enterEnCampoNoSelecciona() {
    Entorno e;
    Fila(De("frmConceptosAsiento"), 1, "Uno");
    frmConceptosAsiento c;
    // A button a screen adds does not become the default one either.
    auto* extra = new QPushButton("Extra", &c);
    int pulsado = 0;
    QObject::connect(extra, &QPushButton::clicked, [&pulsado] { ++pulsado; });
    c.show();
    QTest::keyClick(c.inpDescripcion, Qt::Key_Return);
    QVERIFY(c.isVisible());
    QCOMPARE(App().selectionCode, -1);
    QCOMPARE(pulsado, 0);
}
