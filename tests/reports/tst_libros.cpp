#include "tst_libros.h"
#include "core/AppState.h"

#include "core/Basedatos.h"
#include "core/Ini.h"
#include "core/Listado.h"
#include "core/Motor.h"
#include "core/Valores.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "journal/ui/RegistroAsientos.h"
#include "journal/ui/frmAsientos.h"
#include "reports/Balance.h"
#include "reports/DiarioGeneral.h"
#include "reports/Mayores.h"
#include "reports/exporto/Exporto.h"
#include "reports/ui/RegistroReportes.h"
#include "reports/ui/frmRptDiarioGeneral.h"
#include "reports/ui/frmRptMayores.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QCheckBox>
#include <QFile>
#include <QThread>
#include <QMdiArea>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>

namespace {
struct Linea {
    QVariant cuenta;
    const char* importe;
    QVariant concepto = {};
};

// One entry of company 1, year 1 with its lines numbered in the order given.
void Asiento(int numero, const char* fecha, const QVariant& especial, const QVariant& concepto,
             const QList<Linea>& lineas) {
    QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Especial, Concepto) "
                    "VALUES (1, 1, ?, ?, ?, ?)",
                    {numero, fecha, especial, concepto})
                .ok);
    int detalle = 0;
    for (const Linea& l : lineas)
        QVERIFY(Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, "
                        "Importe, Concepto) VALUES (1, 1, ?, ?, ?, ?, ?)",
                        {numero, ++detalle, l.cuenta, Importe::Leo(l.importe, nullptr, u'.')->ValorSql(),
                         l.concepto})
                    .ok);
}

// The small chart plus an account without a short code (SINMOV) and a summary account whose only
// child has no lines (VACIO > HIJO); entries of every kind, Null concepts, a line of 0, a line
// without an account, an entry without lines, three entries on one date stored out of order, and an
// entry whose number is higher than a later-dated one.
void Libro(Entorno& e) {
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    QVERIFY(AgregoCuenta(9, 1, 3, "SINMOV"));
    QVERIFY(AgregoCuenta(10, 0, 4, "VACIO"));
    QVERIFY(AgregoCuenta(11, 10, 1, "HIJO"));
    const QVariant nulo;
    Asiento(1, "2024-01-10", nulo, nulo, {{2, "0.10", "cobro"}, {7, "-0.10"}});
    Asiento(2, "2024-02-10", 2, "Cierre", {{2, "0.20"}, {7, "-0.20"}});
    Asiento(3, "2024-03-10", nulo, "Compra", {{8, "0.30", "gasto"}, {2, "-0.30"}});
    Asiento(4, "2024-04-01", 3, "Apertura", {{3, "1000.01"}, {5, "-1000.01"}});
    Asiento(5, "2024-05-05", nulo, nulo, {{9, "0"}, {8, "0.01"}, {5, "-0.01"}});
    Asiento(8, "2024-05-05", nulo, "Mixto", {{nulo, "5.00", "sin cuenta"}, {2, "-5.00"}});
    Asiento(7, "2024-05-05", nulo, "Sin líneas", {});
    Asiento(6, "2024-12-31", 1, "Resultados", {{7, "0.30"}, {8, "-0.31"}, {3, "0.01"}});
    Asiento(9, "2024-01-05", nulo, "Primero", {{7, "-2.00"}, {2, "2.00"}});
}

// Level-1 maximum 12: every segment of the journal's codes has two digits.
void Anchos(Entorno& e) {
    e.CreoEmpresaYEjercicio();
    QVERIFY(AgregoCuenta(1, 0, 2, "DOS"));
    QVERIFY(AgregoCuenta(2, 0, 12, "DOCE"));
    QVERIFY(AgregoCuenta(3, 0, 3, "TRES"));
    QVERIFY(AgregoCuenta(4, 1, 9, "NUEVE"));
    Asiento(1, "2024-06-01", {}, {}, {{4, "1.00"}, {3, "-1.00"}});
}

// A table row in one line: hidden value ("-" when none), font, the cells joined by "|" without the
// trailing empty ones; amounts as plain numbers.
QString Compacto(const FilaReporte& f) {
    static const char* fuentes[] = {"N", "B", "BI", "I"};
    QStringList celdas;
    for (const CeldaReporte& c : f.celdas)
        celdas << (c.importe ? c.importe->TextoPlano() : c.texto);
    while (!celdas.isEmpty() && celdas.last().isEmpty())
        celdas.removeLast();
    return QString("%1 %2 %3")
        .arg(f.oculto.isEmpty() ? "-" : f.oculto, fuentes[int(f.fuente)], celdas.join('|'))
        .trimmed();
}

QStringList Compacto(const TablaReporte& t) {
    QStringList filas;
    for (const FilaReporte& f : t.filas)
        filas << Compacto(f);
    return filas;
}

// A grid cell as a plain amount ("-" when empty), whatever the grid's separators.
QString Monto(const Grilla* g, int fila, int columna) {
    const QString t = g->texto(fila, columna);
    return t.isEmpty() ? QString("-") : Importe::Leo(t, nullptr, g->separadorDecimal())->TextoPlano();
}

void DobleClic(Grilla* g, int fila, int columna) {
    const QModelIndex i = g->model()->index(fila - 1, columna);
    g->scrollTo(i);
    // A double-click is a press and release followed by a second press, as the view expects.
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(i).center());
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(i).center());
}

// The report screens and the entry editor registered, in a frame of their own.
struct Marco {
    QMdiArea area;
    Marco() {
        Pantallas::Olvido();
        RegistroPantallasReportes();
        RegistroPantallasAsientos();
        Pantallas::FijoMarco(&area);
        area.resize(1200, 800);
        area.show();
    }
    ~Marco() {
        area.closeAllSubWindows();
        Pantallas::FijoMarco(nullptr);
    }
    QString Editado() const {
        auto* f = qobject_cast<frmAsientos*>(Pantallas::Abierta("frmAsientos"));
        return f ? f->inpAsiento->text() : QString("(cerrado)");
    }
};
} // namespace

void PruebaLibros::mayores_data() {
    QTest::addColumn<bool>("porCodigo");
    QTest::addColumn<QStringList>("eleccion"); // short codes, or "account=text" blocks
    QTest::addColumn<QString>("desde");
    QTest::addColumn<QString>("hasta");
    QTest::addColumn<bool>("conSaldo");
    QTest::addColumn<QStringList>("esperado"); // rows; "!" and the message when it fails
    const QString d1 = "01/01/2024", d2 = "31/12/2024";
    QTest::newRow("una cuenta todo el año")
        << false << QStringList{"2=CAJA"} << d1 << d2 << true
        << QStringList{"- N CAJA|1.1|CAJA|CAJA|CAJA|05/01/24|9|Primero||2.00||2.00",
                       "- N |||CAJA|CAJA|10/01/24|1||cobro|0.10||2.10",
                       "- N |||CAJA|CAJA|10/02/24|2|Cierre||0.20||2.30",
                       "- N |||CAJA|CAJA|10/03/24|3|Compra|||0.30|2.00",
                       "- N |||CAJA|CAJA|05/05/24|8|Mixto|||5.00|-3.00",
                       "- B ||||Total CAJA|||Saldo inicial|0.00|2.30|5.30|-3.00"};
    QTest::newRow("resumen e hijo con saldo inicial")
        << false << QStringList{"1=ACTIVO", "2=CAJA"} << "01/03/2024" << d2 << true
        << QStringList{"- N A|1|ACTIVO|CAJA|CAJA|10/03/24|3|Compra|||0.30|2.00",
                       "- N |||BCO|BANCOS|01/04/24|4|Apertura||1000.01||1002.01",
                       "- N ||||SINMOV|05/05/24|5|||0.00||1002.01",
                       "- N |||CAJA|CAJA|05/05/24|8|Mixto|||5.00|997.01",
                       "- N |||BCO|BANCOS|31/12/24|6|Resultados||0.01||997.02",
                       "- B ||||Total ACTIVO|||Saldo inicial|2.30|1000.02|5.30|997.02",
                       "- N CAJA|1.1|CAJA|CAJA|CAJA|10/03/24|3|Compra|||0.30|2.00",
                       "- N |||CAJA|CAJA|05/05/24|8|Mixto|||5.00|-3.00",
                       "- B ||||Total CAJA|||Saldo inicial|2.30|0.00|5.30|-3.00"};
    QTest::newRow("sin saldo inicial")
        << false << QStringList{"2=CAJA"} << "01/03/2024" << d2 << false
        << QStringList{"- N CAJA|1.1|CAJA|CAJA|CAJA|10/03/24|3|Compra|||0.30|-0.30",
                       "- N |||CAJA|CAJA|05/05/24|8|Mixto|||5.00|-5.30",
                       "- B ||||Total CAJA|||||0.00|5.30|-5.30"};
    QTest::newRow("sin fecha desde: sin saldo inicial")
        << false << QStringList{"2=CAJA"} << ""
        << "05/01/2024" << true
        << QStringList{"- N CAJA|1.1|CAJA|CAJA|CAJA|05/01/24|9|Primero||2.00||2.00",
                       "- B ||||Total CAJA|||||2.00|0.00|2.00"};
    QTest::newRow("la raíz: toda línea con cuenta")
        << false << QStringList{"0=Cuentas"} << "01/12/2024" << d2 << true
        << QStringList{"- N ||Cuentas|VTAS|VENTAS|31/12/24|6|Resultados||0.30||-4.70",
                       "- N |||GTOS|GASTOS|31/12/24|6|Resultados|||0.31|-5.01",
                       "- N |||BCO|BANCOS|31/12/24|6|Resultados||0.01||-5.00",
                       "- B ||||Total Cuentas|||Saldo inicial|-5.00|0.31|0.31|-5.00"};
    QTest::newRow("cuentas sin líneas en el período")
        << false << QStringList{"3=BANCOS", "9=SINMOV", "10=VACIO"} << "01/05/2024"
        << "30/11/2024" << true
        << QStringList{"- N |1.3|SINMOV||SINMOV|05/05/24|5|||0.00||0.00",
                       "- B ||||Total SINMOV|||Saldo inicial|0.00|0.00|0.00|0.00"};
    QTest::newRow("por código: todas las cuentas con líneas, en orden del árbol")
        << true << QStringList{} << "01/12/2024" << d2 << true
        << QStringList{"- N BCO|1.2|BANCOS|BCO|BANCOS|31/12/24|6|Resultados||0.01||1000.02",
                       "- B ||||Total BANCOS|||Saldo inicial|1000.01|0.01|0.00|1000.02",
                       "- N VTAS|3.1|VENTAS|VTAS|VENTAS|31/12/24|6|Resultados||0.30||-2.00",
                       "- B ||||Total VENTAS|||Saldo inicial|-2.30|0.30|0.00|-2.00",
                       "- N GTOS|3.2|GASTOS|GTOS|GASTOS|31/12/24|6|Resultados|||0.31|0.00",
                       "- B ||||Total GASTOS|||Saldo inicial|0.31|0.00|0.31|0.00"};
    QTest::newRow("por código: un resumen, sin distinguir mayúsculas")
        << true << QStringList{" r "} << "01/12/2024" << d2 << true
        << QStringList{"- N R|3|RESULTADOS|VTAS|VENTAS|31/12/24|6|Resultados||0.30||-1.69",
                       "- N |||GTOS|GASTOS|31/12/24|6|Resultados|||0.31|-2.00",
                       "- B ||||Total RESULTADOS|||Saldo inicial|-1.99|0.30|0.31|-2.00"};
    QTest::newRow("por código: desconocido")
        << true << QStringList{"CAJA", "ZZZ"} << d1 << d2 << true
        << QStringList{"!No hay ninguna cuenta de código abreviado \"ZZZ\" en el ejercicio."};
}

void PruebaLibros::mayores() {
    QFETCH(bool, porCodigo);
    QFETCH(QStringList, eleccion);
    QFETCH(QString, desde);
    QFETCH(QString, hasta);
    QFETCH(bool, conSaldo);
    QFETCH(QStringList, esperado);
    Entorno e;
    Libro(e);
    // Through the index by account, and in one pass over the year: the same table.
    for (const qsizetype umbral : {qsizetype(1000), qsizetype(0)}) {
        cuentasPorIndice = umbral;
        TablaReporte t;
        QString error;
        bool ok;
        if (porCodigo) {
            ok = TablaMayores(ContextoActual(), TextoAFecha(desde), TextoAFecha(hasta), eleccion, &t, &error);
        } else {
            QVector<BloqueMayor> bloques;
            for (const QString& b : eleccion)
                bloques.append({b.section('=', 0, 0).toInt(), b.section('=', 1)});
            ok = ArmoMayores(ContextoActual(), TextoAFecha(desde), TextoAFecha(hasta), bloques, conSaldo, &t, &error);
        }
        cuentasPorIndice = 64;
        QCOMPARE(ok ? Compacto(t) : QStringList{"!" + error}, esperado);
        if (!ok) continue;
        // Each closing line, and only it, is listed as a total, and it adds up its block's lines.
        Importe debe, haber, saldo;
        for (qsizetype i = 0, inicio = 0; i < t.filas.size(); ++i) {
            auto monto = [&](int c) { return t.filas.importe(i, c - 1).value_or(Importe()); };
            QCOMPARE(t.EsTotal(i), t.filas.texto(i, MayDescripcionImputable - 1).startsWith("Total "));
            if (!t.EsTotal(i)) {
                debe += monto(MayDebe);
                haber += monto(MayHaber);
                saldo = monto(MaySaldo);
                continue;
            }
            QCOMPARE(monto(MayDebe), debe);
            QCOMPARE(monto(MayHaber), haber);
            QCOMPARE(monto(MaySaldo), saldo);
            const Importe primero = t.filas.importe(inicio, MaySaldo - 1).value_or(Importe()) -
                                    t.filas.importe(inicio, MayDebe - 1).value_or(Importe()) +
                                    t.filas.importe(inicio, MayHaber - 1).value_or(Importe());
            QCOMPARE(monto(MayConceptoDetalle), conSaldo && !desde.isEmpty() ? primero : Importe());
            debe = haber = Importe();
            inicio = i + 1;
        }
        QCOMPARE(t.columnas.size(), 12);
        QCOMPARE(t.importes, QVector<bool>({false, false, false, false, false, false, false, false, false,
                                            true, true, true}));
        QCOMPARE(t.titulo, "Mayores entre " + FechaATexto(TextoAFecha(desde)) + " y " + hasta);
    }
}

void PruebaLibros::diario_data() {
    QTest::addColumn<bool>("anchos");
    QTest::addColumn<QString>("desde");
    QTest::addColumn<QString>("hasta");
    QTest::addColumn<int>("desdeAsiento");
    QTest::addColumn<QStringList>("esperado");
    QTest::newRow("numerado desde 10, haber primero") << false << "05/05/2024"
                                                      << "31/12/2024" << 10
                                                      << QStringList{"5 BI 05/05/24|10",
                                                                     "5 N |||PROV|2.1|PROVEEDORES||0.01",
                                                                     "5 N ||||1.3|SINMOV|0.00",
                                                                     "5 N |||GTOS|3.2|GASTOS|0.01",
                                                                     "- N",
                                                                     "7 BI 05/05/24|11|Sin líneas",
                                                                     "7 N ||||||0.00",
                                                                     "- N",
                                                                     "8 BI 05/05/24|12|Mixto",
                                                                     "8 N |||CAJA|1.1|CAJA||5.00",
                                                                     "8 N ||||||5.00||sin cuenta",
                                                                     "- N",
                                                                     "6 BI 31/12/24|13|Resultados",
                                                                     "6 N |||GTOS|3.2|GASTOS||0.31",
                                                                     "6 N |||VTAS|3.1|VENTAS|0.30",
                                                                     "6 N |||BCO|1.2|BANCOS|0.01"};
    QTest::newRow("por fecha antes que por número")
        << false << "01/01/2024"
        << "10/01/2024" << 1 << QStringList{"9 BI 05/01/24|1|Primero",
                                            "9 N |||VTAS|3.1|VENTAS||2.00",
                                            "9 N |||CAJA|1.1|CAJA|2.00",
                                            "- N",
                                            "1 BI 10/01/24|2",
                                            "1 N |||VTAS|3.1|VENTAS||0.10",
                                            "1 N |||CAJA|1.1|CAJA|0.10||cobro"};
    QTest::newRow("ningún asiento en el período") << false << "01/06/2024"
                                                  << "30/11/2024" << 1 << QStringList{};
    QTest::newRow("códigos con el ancho mayor")
        << true << "01/01/2024"
        << "31/12/2024" << 1
        << QStringList{"1 BI 01/06/24|1", "1 N ||||03|TRES||1.00", "1 N ||||02.09|NUEVE|1.00"};
}

void PruebaLibros::diario() {
    QFETCH(bool, anchos);
    QFETCH(QString, desde);
    QFETCH(QString, hasta);
    QFETCH(int, desdeAsiento);
    QFETCH(QStringList, esperado);
    Entorno e;
    anchos ? Anchos(e) : Libro(e);
    TablaReporte t;
    QString error;
    QVERIFY2(TablaDiarioGeneral(ContextoActual(), TextoAFecha(desde), TextoAFecha(hasta), desdeAsiento, &t, &error),
             qPrintable(error));
    QCOMPARE(Compacto(t), esperado);
    QCOMPARE(t.titulo, "Diario General entre " + desde + " y " + hasta + " para: Empresa de Prueba 1");
    QCOMPARE(t.importes, QVector<bool>({false, false, false, false, false, false, true, true, false}));
}

void PruebaLibros::planes_data() {
    QTest::addColumn<int>("consulta");
    QTest::addColumn<QString>("indice");
    const QString lineas = "SEARCH DetAsientos USING %1INDEX idxDetAsientosCuenta";
    QTest::newRow("mayor de una cuenta") << 0 << lineas.arg("");
    QTest::newRow("mayor de una rama") << 1 << lineas.arg("");
    QTest::newRow("saldo inicial") << 2 << lineas.arg("COVERING ");
    QTest::newRow("diario") << 3 << "SEARCH Asientos USING INDEX idxAsientosFecha";
    QTest::newRow("mayor de muchas cuentas, en una pasada")
        << 4 << "SEARCH Asientos USING INDEX idxAsientosFecha";
}

void PruebaLibros::planes() {
    QFETCH(int, consulta);
    QFETCH(QString, indice);
    // A book of several years with some weight and current statistics, as the program keeps them.
    Entorno e;
    QVERIFY(e.CreoLibroConPeso(FechaMasDias("y.ComienzoEjercicio", "i % 365")));
    App().currentCompany = 1;
    App().currentYear = 1;
    const QDate d1(2021, 1, 1), d2(2021, 6, 30);
    const ConsultaSql consultas[] = {ConsultaLineasMayor(ContextoActual(), {2}, d1, d2), ConsultaLineasMayor(ContextoActual(), {6, 7, 8}, d1, d2),
                                     ConsultaSaldoMayor(ContextoActual(), {1, 2, 3}, d2), ConsultaDiario(ContextoActual(), d1, d2),
                                     ConsultaLineasEjercicio(ContextoActual(), QDate(), d2)};
    const ConsultaSql& c = consultas[consulta];
    const QStringList pasos = MotorActual().catalogo.PlanConsulta(Conexion(), c.sql, c.parametros);
    const QString plan = pasos.join(" | ");
    // The table that drives the statement is read through its index, and no table is walked whole; the
    // file engine's plan also tells the table that drives and whether the index holds the amount.
    QVERIFY2(PlanUsaIndice(pasos, indice.section(' ', -1)), qPrintable(plan));
    QVERIFY2(!MotorActual().PorArchivo() || pasos.first().contains(indice), qPrintable(plan));
    QVERIFY2(!PlanLeeEntera(pasos, "DetAsientos") && !PlanLeeEntera(pasos, "Asientos"), qPrintable(plan));
    // The journal's lines come in the index's date order: the file engine sorts none of them.
    QVERIFY2(consulta != 3 || !MotorActual().PorArchivo() || !plan.contains("TEMP B-TREE"), qPrintable(plan));
    QVERIFY2(Consulto(c.sql, c.parametros).next(), qPrintable(UltimoError()));
}

void PruebaLibros::pantallaMayores() {
    Entorno e;
    Libro(e);
    EscriboLocal("Varios", "UltFormaIngresoCuenta", "4");
    App().searchText = "gast";
    frmRptMayores::Maximos().Olvido();
    Marco m;
    auto* f = qobject_cast<frmRptMayores*>(Pantallas::Activo("frmRptMayores"));
    QVERIFY(f);
    // Opening: the defaults, and the search handed over run in the field of the last way of typing.
    QCOMPARE(f->windowTitle(), QString("Mayores"));
    QCOMPARE(f->btnSeleccionoTodosFiltros->text(), QString("Selecciono los filtros por defecto"));
    QCOMPARE(f->btnActualizar->toolTip(), QString("Actualizar Mayores en base a cuentas seleccionadas (F5)"));
    QVERIFY(f->chkConSaldoInicial->isChecked() && f->chkImprimoSombras->isChecked());
    QCOMPARE(f->ftrFechaDe->text(), QString("01/01/2024"));
    QTRY_COMPARE(f->inpBusqDescripcion->text(), QString("gast"));
    QCOMPARE(f->treMaster->currentItem(), f->Nodo(8));
    QVERIFY(App().searchText.isNull());
    QCOMPARE(f->Nodo(0)->text(0), QString("Cuentas"));
    QCOMPARE(f->Nodo(11)->parent(), f->Nodo(10));

    // The searches select a node without ticking it.
    const struct {
        QLineEdit* campo;
        const char* marco;
        const char* texto;
        int cuenta;
    } busquedas[] = {{f->inpBusqCodInt, "Búsq.Abr.", "bc", 3},
                     {f->inpBusqDescripcion, "Búsq.Desc", "vaci", 10},
                     {f->inpBusqCodJer, "Búsq.Jer.", "21", 5}};
    for (const auto& b : busquedas) {
        QCOMPARE(b.campo->accessibleName(), QString::fromUtf8(b.marco));
        Escribo(b.campo, b.texto);
        QCOMPARE(f->treMaster->currentItem(), f->Nodo(b.cuenta));
        QCOMPARE(f->Nodo(b.cuenta)->checkState(0), Qt::Unchecked);
    }

    // Nothing ticked: nothing shown.
    Clic(f->btnActualizar);
    QCOMPARE(f->windowTitle(), QString("Mayores (0 detalles mostrados)"));

    // Ticked in the tree's order, whatever the order of the ticks.
    f->Nodo(2)->setCheckState(0, Qt::Checked);
    f->Nodo(1)->setCheckState(0, Qt::Checked);
    f->ftrFechaDe->setText("01/03/2024");
    Clic(f->btnActualizar);
    QVERIFY(MensajePrueba::Textos().isEmpty());
    Grilla* g = f->sprRpt;
    QCOMPARE(g->filas(), 9); // with the two closing lines, which the caption does not count
    QCOMPARE(f->windowTitle(), QString("Mayores (7 detalles mostrados)"));
    const struct {
        int fila;
        const char* descripcion;
        const char* asiento;
        const char* debe;
        const char* haber;
        const char* saldo;
    } celdas[] = {{1, "ACTIVO", "3", "-", "0.30", "2.00"},
                  {3, "", "5", "0.00", "-", "1002.01"},
                  {6, "", "", "1000.02", "5.30", "997.02"},
                  {8, "", "8", "-", "5.00", "-3.00"}};
    for (const auto& c : celdas) {
        QCOMPARE(g->texto(c.fila, MayDescripcion), QString(c.descripcion));
        QCOMPARE(g->texto(c.fila, MayAsiento), QString(c.asiento));
        QCOMPARE(Monto(g, c.fila, MayDebe), QString(c.debe));
        QCOMPARE(Monto(g, c.fila, MayHaber), QString(c.haber));
        QCOMPARE(Monto(g, c.fila, MaySaldo), QString(c.saldo));
    }
    QCOMPARE(g->encabezado(MaySaldo), QString("Saldo"));

    // A double-click on a line shows its entry in the entry editor.
    DobleClic(g, 2, MayFecha);
    QCOMPARE(m.Editado(), QString("4"));
    QCOMPARE(f->Encabezado(),
             QString("/fb1/fi1/fz\"12\"Mayores entre 01/03/2024 y 31/12/2024/rPágina: /p/n"));

    // The defaults clear every tick; a refresh keeps the ticks.
    f->Nodo(9)->setCheckState(0, Qt::Checked);
    Clic(f->btnActualizar);
    QCOMPARE(f->Nodo(9)->checkState(0), Qt::Checked);
    Clic(f->btnSeleccionoTodosFiltros);
    QCOMPARE(f->Nodo(9)->checkState(0), Qt::Unchecked);
    QCOMPARE(f->ftrFechaDe->text(), QString("01/01/2024"));

    // Closing keeps the split between the tree and the report.
    f->clbMaster->setSizes({400, 700});
    m.area.closeAllSubWindows();
    QCOMPARE(LeoLocal("Mayores", "clbMasterBanda1", ""), QString("400"));
}

void PruebaLibros::pantallaDiario() {
    Entorno e;
    Libro(e);
    Marco m;
    auto* f = qobject_cast<frmRptDiarioGeneral*>(Pantallas::Activo("frmRptDiarioGeneral"));
    QVERIFY(f);
    QCOMPARE(f->windowTitle(), QString("Diario General"));
    QCOMPARE(f->ftrDesdeAsiento->text(), QString("1"));
    QCOMPARE(f->ftrDesdeAsiento->toolTip(), QString("Número de asiento a partir del cual se enumeran"));
    QCOMPARE(f->ftrDesdeAsiento->accessibleName(), QString("Desde asiento"));

    f->ftrFechaDe->setText("05/05/2024");
    Escribo(f->ftrDesdeAsiento, "10");
    Clic(f->btnActualizar);
    QVERIFY(MensajePrueba::Textos().isEmpty());
    Grilla* g = f->sprRpt;
    QCOMPARE(g->filas(), 16);
    QVERIFY(g->isColumnHidden(0));
    const struct {
        int fila;
        const char* oculto;
        const char* numero;
        const char* debe;
        const char* haber;
        bool negritaCursiva;
    } celdas[] = {{1, "5", "10", "-", "-", true},   {2, "5", "", "-", "0.01", false},
                  {5, "", "", "-", "-", false},     {6, "7", "11", "-", "-", true},
                  {7, "7", "", "0.00", "-", false}, {16, "6", "", "0.01", "-", false}};
    for (const auto& c : celdas) {
        QCOMPARE(g->texto(c.fila, 0), QString(c.oculto));
        QCOMPARE(g->texto(c.fila, DiaAsiento), QString(c.numero));
        QCOMPARE(Monto(g, c.fila, DiaDebe), QString(c.debe));
        QCOMPARE(Monto(g, c.fila, DiaHaber), QString(c.haber));
        const QFont fuente = g->model()->index(c.fila - 1, 1).data(Qt::FontRole).value<QFont>();
        QCOMPARE(fuente.bold() && fuente.italic(), c.negritaCursiva);
    }
    QCOMPARE(f->Encabezado(), QString("/fb1/fi1/fz\"12\"Diario General entre 05/05/2024 y 31/12/2024 para: "
                                      "Empresa de Prueba 1/rPágina: /p/n"));

    // A double-click shows the entry whose real number the row hides; a row between entries has none.
    DobleClic(g, 10, DiaDescripcion);
    QCOMPARE(m.Editado(), QString("8"));
    DobleClic(g, 12, DiaDescripcion);
    QCOMPARE(m.Editado(), QString("8"));
    DobleClic(g, 13, DiaFecha);
    QCOMPARE(m.Editado(), QString("6"));

    // A start number that is not a whole number is refused; the report stays as it was.
    f->ftrDesdeAsiento->setText("1x");
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Clic(f->btnActualizar);
    QCOMPARE(MensajePrueba::Textos(),
             QStringList{"No se pudo actualizar el reporte, \"Desde asiento\" debe ser un número entero."});
    QCOMPARE(g->filas(), 16);
    Clic(f->btnSeleccionoTodosFiltros);
    QCOMPARE(f->ftrDesdeAsiento->text(), QString("1"));
}

// The journal screen shows its rows as they are read, a part at a time: whatever the parts, the grid
// ends with every row of the journal built at once, and the export with the same table; a reading
// stopped, replaced by another refresh or overtaken by a change of year leaves nothing of it behind.
void PruebaLibros::diarioPorPartes_data() {
    QTest::addColumn<int>("primera");
    QTest::addColumn<int>("cada");
    QTest::addColumn<QString>("accion");
    const char* acciones[] = {"entera", "Esc", "otra", "ejercicio"};
    for (const char* a : acciones) {
        QTest::addRow("de a una fila, %s", a) << 1 << 1 << a;
        QTest::addRow("2 y 3, %s", a) << 2 << 3 << a;
    }
    QTest::addRow("de una vez") << 512 << 32768 << "entera";
}

void PruebaLibros::diarioPorPartes() {
    QFETCH(int, primera);
    QFETCH(int, cada);
    QFETCH(QString, accion);
    Entorno e;
    Libro(e);
    const qsizetype antes[] = {PrimeraEntrega, CadaEntrega};
    const int espera = PantallaReporte::esperaEscalonada;
    PrimeraEntrega = primera;
    CadaEntrega = cada;
    // Parts that come one by one: the refresh does not wait for the last.
    PantallaReporte::esperaEscalonada = primera > 100 ? 5000 : 0;
    Marco m;
    auto* f = qobject_cast<frmRptDiarioGeneral*>(Pantallas::Activo("frmRptDiarioGeneral"));
    QVERIFY(f);
    Grilla* g = f->sprRpt;
    // The action comes between the first part and the next.
    bool leia = false;
    PantallaReporte::alRecibirParte = [&](PantallaReporte* p) {
        PantallaReporte::alRecibirParte = nullptr;
        leia = p->Leyendo();
        if (accion == "Esc") {
            QTest::keyClick(g, Qt::Key_Escape);
        } else if (accion == "otra") {
            // Another start number: only the second reading reaches the grid.
            Escribo(f->ftrDesdeAsiento, "10");
            Clic(f->btnActualizar);
        } else if (accion == "ejercicio") {
            Pantallas::AvisoCambioEjercicio();
        }
    };
    Clic(f->btnActualizar);
    f->EsperoLectura();
    QCoreApplication::processEvents(); // parts of a reading that was stopped, if any were still queued
    PrimeraEntrega = antes[0];
    CadaEntrega = antes[1];
    PantallaReporte::esperaEscalonada = espera;
    PantallaReporte::alRecibirParte = nullptr;
    QVERIFY(leia); // the first part came while the rest was still being read
    QCOMPARE(f->windowTitle(), QString("Diario General"));
    QVERIFY(MensajePrueba::Textos().isEmpty());
    if (accion == "Esc" || accion == "ejercicio") {
        QCOMPARE(g->filas(), 0);
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        Clic(f->btnExportar);
        QCOMPARE(MensajePrueba::Textos(), QStringList{"Actualice el reporte antes de exportarlo."});
        return;
    }
    TablaReporte entera;
    QString error;
    QVERIFY2(TablaDiarioGeneral(ContextoActual(), QDate(2024, 1, 1), QDate(2024, 12, 31), accion == "otra" ? 10 : 1,
                                &entera, &error),
             qPrintable(error));
    const QStringList filas = Compacto(entera);
    QCOMPARE(g->filas(), int(filas.size()));
    QStringList vistas;
    for (int r = 1; r <= g->filas(); ++r) {
        FilaReporte fila;
        for (int c = 1; c <= DiaColumnas; ++c)
            fila.celdas << (entera.importes[c - 1] && !g->texto(r, c).isEmpty()
                                ? CeldaReporte(*Importe::Leo(g->texto(r, c), nullptr, g->separadorDecimal()))
                                : CeldaReporte(g->texto(r, c)));
        fila.oculto = g->texto(r, 0);
        const QFont letra = g->model()->index(r - 1, 1).data(Qt::FontRole).value<QFont>();
        fila.fuente = letra.bold() && letra.italic() ? FuenteFila::NegritaCursiva : FuenteFila::Normal;
        vistas << Compacto(fila);
    }
    QCOMPARE(vistas, filas);
    // What is exported is the whole table, the same as the journal built at once.
    const QString ruta = e.Ruta("diario.csv"), esperado = e.Ruta("entero.csv");
    QVERIFY2(ExportoTabla(entera, esperado, &error), qPrintable(error));
    MensajePrueba::setNextFileName(ruta);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Clic(f->btnExportar);
    QFile a(ruta), b(esperado);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), b.readAll());
}

// A ledger built for one year, then another year current: a double-click on its rows opens nothing of
// the other year and says why; once the screens are told of the change the report is emptied and its
// filters are the new year's; built again, its rows open the new year's entries.
void PruebaLibros::cambioDeEjercicio_data() {
    QTest::addColumn<QString>("forma");
    QTest::addColumn<int>("fila"); // a row naming an entry
    QTest::addColumn<int>("columna");
    QTest::newRow("Mayores") << "frmRptMayores" << 2 << int(MayFecha);
    QTest::newRow("Diario General") << "frmRptDiarioGeneral" << 2 << int(DiaFecha);
}

void PruebaLibros::cambioDeEjercicio() {
    QFETCH(QString, forma);
    QFETCH(int, fila);
    QFETCH(int, columna);
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 2, QDate(2025, 1, 1), QDate(2025, 12, 31));
    e.CreoPlanChico(1, 2);
    for (int n = 1; n <= 9; ++n) {
        QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Concepto) VALUES "
                        "(1, 2, ?, ?, 'Del 2025')",
                        {n, QString("2025-02-0%1").arg(n)})
                    .ok);
        for (const auto& [detalle, cuenta, importe] : {std::tuple{1, 2, "1.00"}, std::tuple{2, 7, "-1.00"}})
            QVERIFY(Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, "
                            "Importe) VALUES (1, 2, ?, ?, ?, ?)",
                            {n, detalle, cuenta, importe})
                        .ok);
    }
    Libro(e);
    frmRptMayores::Maximos().Olvido();
    Marco m;
    auto* f = qobject_cast<PantallaReporte*>(Pantallas::Activo(forma));
    QVERIFY(f);
    auto* mayores = qobject_cast<frmRptMayores*>(f);
    if (mayores) mayores->Nodo(2)->setCheckState(0, Qt::Checked);
    Clic(f->btnActualizar);
    Grilla* g = f->sprRpt;
    QVERIFY(g->filas() > fila);

    // Another year made current without telling the screens: the row of 2024 opens nothing.
    App().currentYear = 2;
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    DobleClic(g, fila, columna);
    QCOMPARE(MensajePrueba::Textos(), QStringList{VerificoListado(ContextoActual(), {1, 1})});
    QCOMPARE(m.Editado(), QString("(cerrado)"));

    // Told of the change: nothing of 2024 stays, the filters are those of 2025.
    Pantallas::AvisoCambioEjercicio();
    QCOMPARE(g->filas(), 0);
    QCOMPARE(f->windowTitle(), QString(mayores ? "Mayores" : "Diario General"));
    QCOMPARE(f->ftrFechaDe->text(), QString("01/01/2025"));
    QCOMPARE(f->ftrFechaA->text(), QString("31/12/2025"));
    if (mayores) {
        QVERIFY(!mayores->Nodo(9)); // an account of 2024's chart only
        mayores->Nodo(2)->setCheckState(0, Qt::Checked);
    }
    Clic(f->btnActualizar);
    DobleClic(g, fila, columna);
    auto* editor = qobject_cast<frmAsientos*>(Pantallas::Abierta("frmAsientos"));
    QVERIFY(editor);
    QCOMPARE(editor->inpConcepto->text(), QString("Del 2025"));
    QCOMPARE(MensajePrueba::Textos().size(), 1);
}

namespace {
// The three books of the year as text, cell by cell, on the context's connection.
QString TresLibros(const Contexto& ctx) {
    QString todo, error;
    const QDate desde(2024, 1, 1), hasta(2024, 12, 31);
    TablaReporte t;
    auto agrego = [&](bool ok) {
        if (!ok) todo += "falla: " + error;
        todo += t.titulo + "\n";
        for (qsizetype f = 0; f < t.filas.size(); ++f) {
            for (qsizetype c = 0; c < t.filas.celdas(f); ++c) {
                const CeldaReporte celda = t.filas.celda(f, c);
                todo += (celda.importe ? celda.importe->TextoNumeral(u'.') : celda.texto) + "|";
            }
            todo += "\n";
        }
    };
    agrego(TablaBalance(ctx, desde, hasta, FiltroSaldos::Todos, &t, &error));
    agrego(TablaMayores(ctx, desde, hasta, {}, &t, &error));
    agrego(TablaDiarioGeneral(ctx, desde, hasta, 1, &t, &error));
    return todo;
}
} // namespace

// A report reads the book of its context's connection alone: a second book open beside the shared one,
// and the shared book read again from a worker thread on a connection of its own.
void PruebaLibros::dosLibrosYOtroHilo() {
    Entorno e;
    Libro(e);
    const Contexto actual = ContextoActual();
    const QString antes = TresLibros(actual);
    QVERIFY(!antes.contains("falla"));
    QVERIFY(antes.count('\n') > 30);

    const bool archivo = !PruebaEnPostgres();
    const QString copia = e.Ruta("otro.partidex");
    if (archivo) {
        // The second book: the first as it stands now, copied whole while nothing holds it.
        CierroBase();
        QVERIFY(QFile::copy(e.RutaBase(), copia));
        QVERIFY(AbroBase(e.RutaBase()));
    }
    Asiento(10, "2024-06-30", QVariant(), "Después de la copia", {{3, "7.00"}, {5, "-7.00"}});
    const QString despues = TresLibros(actual);
    QVERIFY(despues != antes);

    if (archivo) {
        QString error;
        QVERIFY2(AbroConexion("otro", copia, &error), qPrintable(error));
        Contexto otro = actual;
        otro.conexion = "otro";
        QCOMPARE(TresLibros(otro), antes);
        QCOMPARE(TresLibros(actual), despues); // the shared connection is left as it was
        CierroConexion("otro");
    }

    QString enHilo, error;
    QThread* hilo = QThread::create([&] {
        if (!AbroConexion("hilo", e.RutaBase(), &error)) return;
        Contexto h = actual;
        h.conexion = "hilo";
        enHilo = TresLibros(h);
        CierroConexion("hilo");
    });
    hilo->start();
    QVERIFY(hilo->wait(60000));
    delete hilo;
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(enHilo, despues);
}
