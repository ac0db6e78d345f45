#include "tst_reportes.h"
#include "core/AppState.h"

#include "core/Basedatos.h"
#include "core/Ini.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "reports/Balance.h"
#include "reports/Reporte.h"
#include "reports/ui/RegistroReportes.h"
#include "reports/ui/frmRptBalance.h"
#include "tests/support/Entorno.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(FiltroSaldos)

namespace {
// A written row in one line: font, then the columns separated by "|"; the sums only when written.
QString Compacto(const FilaBalance& f) {
    static const char* fuentes[] = {"N", "B", "BI", "I"};
    QString s =
        QString(fuentes[int(f.fuente)]) + " " + f.codigo + "|" + f.sumar + "|" + f.imputable + "|" + f.codInt;
    if (f.conSumas) s += "|" + f.debe.TextoPlano() + "|" + f.haber.TextoPlano();
    return s;
}

std::optional<Importe> Monto(const QString& t) {
    return t.isEmpty() ? std::nullopt : Importe::Leo(t, nullptr, u'.');
}

// "code;description;debit;credit;h (has children);CodInt"
RegistroReporte Registro(const QString& texto) {
    const QStringList p = (texto + ";;;;;").split(';');
    return {p[1], p[0], p[5].isEmpty() ? QVariant() : QVariant(p[5]), Monto(p[2]), Monto(p[3]), p[4] == "h"};
}

void Cuenta(int cuenta, int padre, int numHijo, const QString& descripcion, const QVariant& codInt = {}) {
    QVERIFY(
        Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, CuentaPadre, "
                "NumHijo) VALUES (1, 1, ?, ?, ?, ?, ?)",
                {cuenta, codInt, descripcion, padre, numHijo})
            .ok);
}

// One entry of the current year: date, kind (Especial, Null for ordinary) and (account, amount) lines.
void Asiento(int numero, const QString& fecha, const QVariant& especial,
             const QList<QPair<int, QString>>& lineas) {
    QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Especial) VALUES (1, "
                    "1, ?, ?, ?)",
                    {numero, fecha, especial})
                .ok);
    int detalle = 0;
    for (const auto& [cuenta, importe] : lineas)
        QVERIFY(
            Ejecuto(
                "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                "VALUES (1, 1, ?, ?, ?, ?)",
                {numero, ++detalle, cuenta, Importe::Leo(importe, nullptr, u'.')->ValorSql()})
                .ok);
}

// The small chart plus an account without movements, a summary account with one empty child, and
// entries of every kind with cents that cancel, a zero line and an account with lines on both sides.
void Libro(Entorno& e) {
    e.CreoPlanChico();
    Cuenta(9, 1, 3, "SINMOV");
    Cuenta(10, 0, 4, "VACIO");
    Cuenta(11, 10, 1, "HIJO");
    Asiento(1, "2024-01-10", {}, {{2, "0.10"}, {7, "-0.10"}});
    Asiento(2, "2024-02-10", 2, {{2, "0.20"}, {7, "-0.20"}});
    Asiento(3, "2024-03-10", {}, {{8, "0.30"}, {2, "-0.30"}});
    Asiento(4, "2024-04-01", 3, {{3, "1000.01"}, {5, "-1000.01"}});
    Asiento(5, "2024-05-05", {}, {{9, "0"}, {8, "0.01"}, {5, "-0.01"}});
    Asiento(6, "2024-12-31", 1, {{7, "0.30"}, {8, "-0.31"}, {3, "0.01"}});
}

// Level-1 maximum 12 and level-2 maximum 9: the SQL code pads every level to two digits.
void Anchos(Entorno&) {
    Cuenta(1, 0, 2, "DOS");
    Cuenta(2, 0, 12, "DOCE");
    Cuenta(3, 0, 3, "TRES");
    Cuenta(4, 1, 9, "NUEVE");
}
} // namespace

void PruebaReportes::sumarizador_data() {
    QTest::addColumn<MaximosNivel>("maximos");
    QTest::addColumn<QStringList>("registros");
    QTest::addColumn<QStringList>("esperado");
    const MaximosNivel nueve{0, 9, 9, 9, 9};
    QTest::newRow("solo la raíz") << nueve << QStringList{";Plan;;;h"} << QStringList{};
    QTest::newRow("hijos filtrados: encabezado solo")
        << nueve << QStringList{";Plan;;;h", "1.;ACTIVO;;;h", "2.;PASIVO;;;h", "2.1.;PROV;;-5.00"}
        << QStringList{"B 1|ACTIVO||", "B 2|PASIVO||", "N    2.1||PROV||0.00|5.00",
                       "B |Total PASIVO|||0.00|5.00"};
    QTest::newRow("cadena de resúmenes")
        << nueve << QStringList{"1.;A;;;h",    "1.1.;B;;;h",    "1.1.1.;C;10.00;-1.00",
                                "1.2.;B2;;;h", "1.2.1.;D;2.50", "2.;E;1.00"}
        << QStringList{"B 1|A||",
                       "BI    1.1|   B||",
                       "N       1.1.1||C||10.00|1.00",
                       "BI |   Total B|||10.00|1.00",
                       "BI    1.2|   B2||",
                       "N       1.2.1||D||2.50|0.00",
                       "BI |   Total B2|||2.50|0.00",
                       "B |Total A|||12.50|1.00",
                       "N 2||E||1.00|0.00"};
    QTest::newRow("última fila profunda")
        << nueve << QStringList{"1.;A;;;h", "1.1.;B;;;h", "1.1.1.;C;;;h", "1.1.1.1.;D;0.01;-0.02"}
        << QStringList{"B 1|A||",
                       "BI    1.1|   B||",
                       "I       1.1.1|      C||",
                       "N          1.1.1.1||D||0.01|0.02",
                       "I |      Total C|||0.01|0.02",
                       "BI |   Total B|||0.01|0.02",
                       "B |Total A|||0.01|0.02"};
    QTest::newRow("anchos por nivel")
        << MaximosNivel{0, 12, 9} << QStringList{"03.;A;;;h;ACT", "03.05.;B;1.00;;;CJ", "12.;C;;-1.00"}
        << QStringList{"B 03|A||ACT", "N    03.5||B|CJ|1.00|0.00", "B |Total A|||1.00|0.00",
                       "N 12||C||0.00|1.00"};
    QTest::newRow("último resumen sin hijos")
        << nueve << QStringList{"1.;A;1.00", "2.;B;;;h"} << QStringList{"N 1||A||1.00|0.00", "B 2|B||"};
}

void PruebaReportes::sumarizador() {
    QFETCH(MaximosNivel, maximos);
    QFETCH(QStringList, registros);
    QFETCH(QStringList, esperado);
    QStringList escrito;
    Sumarizador s(maximos, [&](const FilaBalance& f) { escrito << Compacto(f); });
    for (const QString& r : registros)
        s.Agrego(Registro(r));
    s.Termino();
    QCOMPARE(escrito, esperado);
}

void PruebaReportes::formatoJerarquia_data() {
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<MaximosNivel>("maximos");
    QTest::addColumn<QString>("mostrado");
    QTest::newRow("ancho de cada nivel") << "003.005.009." << MaximosNivel{0, 7, 12, 104} << "3.05.009";
    QTest::newRow("sin punto") << "" << MaximosNivel{0, 7} << "";
    QTest::newRow("más cifras que el ancho") << "12." << MaximosNivel{0, 9} << "12";
    QTest::newRow("nivel sin máximo") << "01.07." << MaximosNivel{0, 5} << "1.7";
}

void PruebaReportes::formatoJerarquia() {
    QFETCH(QString, codigo);
    QFETCH(MaximosNivel, maximos);
    QFETCH(QString, mostrado);
    QCOMPARE(FormatoJerarquia(codigo, maximos), mostrado);
}

void PruebaReportes::filtros_data() {
    QTest::addColumn<QString>("registro");
    QTest::addColumn<FiltroSaldos>("filtro");
    QTest::addColumn<bool>("incluido");
    QTest::newRow("saldo cero, todos") << "1.;A;0.30;-0.30" << FiltroSaldos::Todos << true;
    QTest::newRow("saldo cero sin saldos") << "1.;A;0.30;-0.30" << FiltroSaldos::ExcluirSaldos0 << false;
    QTest::newRow("saldo cero con movimiento") << "1.;A;0.30;-0.30" << FiltroSaldos::ExcluirMovim0 << true;
    QTest::newRow("un centavo al debe") << "1.;A;0.01" << FiltroSaldos::ExcluirSaldos0 << true;
    QTest::newRow("un centavo al haber") << "1.;A;0.30;-0.31" << FiltroSaldos::ExcluirSaldos0 << true;
    QTest::newRow("sin líneas sin saldos") << "1.;A" << FiltroSaldos::ExcluirSaldos0 << false;
    QTest::newRow("sin líneas sin movimiento") << "1.;A" << FiltroSaldos::ExcluirMovim0 << false;
    QTest::newRow("solo haber con movimiento") << "1.;A;;-0.01" << FiltroSaldos::ExcluirMovim0 << true;
    QTest::newRow("resumen sin saldos") << "1.;A;;;h" << FiltroSaldos::ExcluirSaldos0 << true;
    QTest::newRow("resumen sin movimiento") << "1.;A;;;h" << FiltroSaldos::ExcluirMovim0 << true;
}

void PruebaReportes::filtros() {
    QFETCH(QString, registro);
    QFETCH(FiltroSaldos, filtro);
    QFETCH(bool, incluido);
    QCOMPARE(Incluyo(Registro(registro), filtro), incluido);
}

void PruebaReportes::totales_data() {
    QTest::addColumn<QStringList>("filas");    // "D|T|H description debit credit" (detail, total, heading)
    QTest::addColumn<QStringList>("esperado"); // the rows after the given ones, cells joined by "|"
    QTest::newRow("sin filas") << QStringList{} << QStringList{};
    // Heading and total rows hold sums already counted in their accounts: only details add up.
    QTest::newRow("cuadra")
        << QStringList{"H ACTIVO", "D CAJA 100.00 30.00", "D BANCOS 0.00 20.00", "T ACTIVO 100.00 50.00",
                       "D VENTAS 0.00 50.00"}
        << QStringList{"B |Totales generales|||100.00|100.00|70.00|70.00"};
    QTest::newRow("una cuenta en cero")
        << QStringList{"D CAJA 5.00 5.00", "D VENTAS 0.00 0.00"}
        << QStringList{"B |Totales generales|||5.00|5.00|0.00|0.00"};
    QTest::newRow("descuadre de un centavo")
        << QStringList{"D CAJA 100.00 0.00", "D VENTAS 0.00 99.99", "T X 1000.00 0.00"}
        << QStringList{"B |Totales generales|||100.00|99.99|100.00|99.99",
                       "B |Atención: las Sumas del Debe y del Haber difieren en 0,01; los Saldos del Debe y "
                       "del Haber difieren en 0,01."};
    QTest::newRow("descuadre grande")
        << QStringList{"D CAJA 1234567.89 0.00", "D VENTAS 0.00 0.01"}
        << QStringList{"B |Totales generales|||1234567.89|0.01|1234567.89|0.01",
                       "B |Atención: las Sumas del Debe y del Haber difieren en 1.234.567,88; los Saldos del "
                       "Debe y del Haber difieren en 1.234.567,88."};
}

void PruebaReportes::totales() {
    QFETCH(QStringList, filas);
    QFETCH(QStringList, esperado);
    QVector<FilaBalance> entrada;
    for (const QString& f : filas) {
        const QStringList p = f.split(' ');
        FilaBalance b;
        b.nivel = p[0] == "D" ? 2 : 1;
        b.encabezado = p[0] == "H";
        b.total = p[0] == "T";
        (p[0] == "D" ? b.imputable : b.sumar) = p[1];
        if (p.size() > 2) {
            b.conSumas = true;
            b.debe = *Importe::Leo(p[2], nullptr, u'.');
            b.haber = *Importe::Leo(p[3], nullptr, u'.');
        }
        entrada << b;
    }
    const TablaReporte t = TablaDeBalance(entrada);
    QCOMPARE(t.filas.size(), entrada.size() + esperado.size());
    QCOMPARE(t.niveles.size(), t.filas.size());
    QStringList resto;
    QVector<qsizetype> marcadas;
    static const char* fuentes[] = {"N", "B", "BI", "I"};
    for (qsizetype i = 0; i < t.filas.size(); ++i) {
        if (t.EsTotal(i)) marcadas << i;
        if (i < entrada.size()) {
            QCOMPARE(t.NivelFila(i), quint8(entrada[i].nivel));
            continue;
        }
        QStringList celdas;
        for (int c = 0; c < t.filas.celdas(i); ++c)
            celdas << t.filas.texto(i, c);
        resto << QString(fuentes[int(t.filas.fuente(i))]) + " " + celdas.join('|');
        QCOMPARE(t.NivelFila(i), quint8(0));
    }
    QCOMPARE(resto, esperado);
    // The rows the report adds are the ones marked as totals, and only they.
    QVector<qsizetype> agregadas;
    for (qsizetype i = entrada.size(); i < t.filas.size(); ++i)
        agregadas << i;
    QCOMPARE(marcadas, agregadas);
}

void PruebaReportes::balance_data() {
    QTest::addColumn<bool>("anchos");
    QTest::addColumn<QString>("desde");
    QTest::addColumn<QString>("hasta");
    QTest::addColumn<FiltroSaldos>("filtro");
    QTest::addColumn<QStringList>("esperado");
    const QString d1 = "01/01/2024", d2 = "31/12/2024";
    QTest::newRow("todo el año, todas") << false << d1 << d2 << FiltroSaldos::Todos
                                        << QStringList{"B 1|ACTIVO||A",
                                                       "N    1.1||CAJA|CAJA|0.30|0.30",
                                                       "N    1.2||BANCOS|BCO|1000.02|0.00",
                                                       "N    1.3||SINMOV||0.00|0.00",
                                                       "B |Total ACTIVO|||1000.32|0.30",
                                                       "B 2|PASIVO||P",
                                                       "N    2.1||PROVEEDORES|PROV|0.00|1000.02",
                                                       "B |Total PASIVO|||0.00|1000.02",
                                                       "B 3|RESULTADOS||R",
                                                       "N    3.1||VENTAS|VTAS|0.30|0.30",
                                                       "N    3.2||GASTOS|GTOS|0.31|0.31",
                                                       "B |Total RESULTADOS|||0.61|0.61",
                                                       "B 4|VACIO||",
                                                       "N    4.1||HIJO||0.00|0.00",
                                                       "B |Total VACIO|||0.00|0.00"};
    QTest::newRow("todo el año, sin saldos 0") << false << d1 << d2 << FiltroSaldos::ExcluirSaldos0
                                               << QStringList{"B 1|ACTIVO||A",
                                                              "N    1.2||BANCOS|BCO|1000.02|0.00",
                                                              "B |Total ACTIVO|||1000.02|0.00",
                                                              "B 2|PASIVO||P",
                                                              "N    2.1||PROVEEDORES|PROV|0.00|1000.02",
                                                              "B |Total PASIVO|||0.00|1000.02",
                                                              "B 3|RESULTADOS||R",
                                                              "B 4|VACIO||"};
    QTest::newRow("todo el año, sin movimientos 0") << false << d1 << d2 << FiltroSaldos::ExcluirMovim0
                                                    << QStringList{"B 1|ACTIVO||A",
                                                                   "N    1.1||CAJA|CAJA|0.30|0.30",
                                                                   "N    1.2||BANCOS|BCO|1000.02|0.00",
                                                                   "B |Total ACTIVO|||1000.32|0.30",
                                                                   "B 2|PASIVO||P",
                                                                   "N    2.1||PROVEEDORES|PROV|0.00|1000.02",
                                                                   "B |Total PASIVO|||0.00|1000.02",
                                                                   "B 3|RESULTADOS||R",
                                                                   "N    3.1||VENTAS|VTAS|0.30|0.30",
                                                                   "N    3.2||GASTOS|GTOS|0.31|0.31",
                                                                   "B |Total RESULTADOS|||0.61|0.61",
                                                                   "B 4|VACIO||"};
    QTest::newRow("antes del cierre, sin saldos 0")
        << false << d1 << "30/12/2024" << FiltroSaldos::ExcluirSaldos0
        << QStringList{"B 1|ACTIVO||A",
                       "N    1.2||BANCOS|BCO|1000.01|0.00",
                       "B |Total ACTIVO|||1000.01|0.00",
                       "B 2|PASIVO||P",
                       "N    2.1||PROVEEDORES|PROV|0.00|1000.02",
                       "B |Total PASIVO|||0.00|1000.02",
                       "B 3|RESULTADOS||R",
                       "N    3.1||VENTAS|VTAS|0.00|0.30",
                       "N    3.2||GASTOS|GTOS|0.31|0.00",
                       "B |Total RESULTADOS|||0.31|0.30",
                       "B 4|VACIO||"};
    QTest::newRow("fechas invertidas")
        << false << d2 << d1 << FiltroSaldos::ExcluirMovim0
        << QStringList{"B 1|ACTIVO||A", "B 2|PASIVO||P", "B 3|RESULTADOS||R", "B 4|VACIO||"};
    QTest::newRow("códigos de dos cifras en orden")
        << true << d1 << d2 << FiltroSaldos::Todos
        << QStringList{"B 02|DOS||", "N    02.9||NUEVE||0.00|0.00", "B |Total DOS|||0.00|0.00",
                       "N 03||TRES||0.00|0.00", "N 12||DOCE||0.00|0.00"};
}

void PruebaReportes::balance() {
    QFETCH(bool, anchos);
    QFETCH(QString, desde);
    QFETCH(QString, hasta);
    QFETCH(FiltroSaldos, filtro);
    QFETCH(QStringList, esperado);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    anchos ? Anchos(e) : Libro(e);
    MaximosReporte m(PantallaBalance);
    m.Verifico(ContextoActual());
    QVector<FilaBalance> filas;
    QString error;
    QVERIFY2(ArmoBalance(ContextoActual(), m, TextoAFecha(desde), TextoAFecha(hasta), filtro, &filas, &error),
             qPrintable(error));
    QStringList escrito;
    for (const FilaBalance& f : filas)
        escrito << Compacto(f);
    QCOMPARE(escrito, esperado);
}

void PruebaReportes::maximos() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    MaximosReporte m(PantallaBalance);
    QVERIFY(m.Verifico(ContextoActual()));
    QCOMPARE(m.maximos(), (MaximosNivel{0, 3, 2}));
    QVERIFY(!m.Verifico(ContextoActual())); // marked: kept
    Cuenta(20, 0, 10, "DIEZ");
    EliminoSesionesPlanes(1, 1); // what every stored change of the chart does
    QVERIFY(m.Verifico(ContextoActual()));
    QCOMPARE(m.AnchoMascara(), 2);
    QCOMPARE(m.Profundidad(), 2);
    // Another year whose mark already stands still needs its own maxima.
    e.CreoEmpresaYEjercicio(1, 2);
    RegistroPantalla(ContextoActual().En(1, 2), PantallaBalance);
    QVERIFY(m.Verifico(ContextoActual()));
    QCOMPARE(m.Profundidad(), 0);
    QCOMPARE(m.AnchoMascara(), 1);
}

// The lines above every report's title: the company's name, then its tax number and its address,
// each only when the company has it.
void PruebaReportes::membrete_data() {
    QTest::addColumn<QVariant>("cuit");
    QTest::addColumn<QVariant>("domicilio");
    QTest::addColumn<QStringList>("lineas");
    const QString nombre = "Empresa de Prueba 1"; // as the fixture names it
    QTest::newRow("sólo el nombre") << QVariant() << QVariant() << QStringList{nombre};
    QTest::newRow("con CUIT") << QVariant("30-71234567-1") << QVariant()
                              << QStringList{nombre, "CUIT 30-71234567-1"};
    QTest::newRow("con domicilio") << QVariant() << QVariant("Av. de Mayo 1234")
                                   << QStringList{nombre, "Av. de Mayo 1234"};
    QTest::newRow("ambos") << QVariant("30-71234567-1") << QVariant("Av. de Mayo 1234")
                           << QStringList{nombre, "CUIT 30-71234567-1", "Av. de Mayo 1234"};
    QTest::newRow("textos vacíos") << QVariant("") << QVariant("  ") << QStringList{nombre};
}

void PruebaReportes::membrete() {
    QFETCH(QVariant, cuit);
    QFETCH(QVariant, domicilio);
    QFETCH(QStringList, lineas);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    const auto texto = [](const QVariant& v) { return v.isValid() ? v : QVariant(QMetaType::fromType<QString>()); };
    QVERIFY(Ejecuto("UPDATE EmpresasPropia SET CUIT=?, Domicilio=? WHERE EmpresaPropia=1",
                    {texto(cuit), texto(domicilio)})
                .ok);
    QCOMPARE(MembreteEmpresa(ContextoActual()), lineas);
    // Every report's table carries them.
    TablaReporte tabla;
    QString error;
    QVERIFY2(TablaBalance(ContextoActual(), QDate(2024, 1, 1), QDate(2024, 12, 31), FiltroSaldos{}, &tabla, &error),
             qPrintable(error));
    QCOMPARE(tabla.membrete, lineas);
    QCOMPARE(MembreteEmpresa(Contexto::De(2, 1)), QStringList{});
}

void PruebaReportes::pantalla() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    Asiento(1, "2024-03-01", {}, {{2, "1234.50"}, {7, "-1234.50"}});
    Asiento(2, "2024-03-02", {}, {{3, "7.00"}, {3, "-7.00"}});
    frmRptBalance::Maximos().Olvido();
    Pantallas::Olvido();
    RegistroPantallasReportes();
    QMdiArea marco;
    Pantallas::FijoMarco(&marco);
    marco.show();
    auto* f = qobject_cast<frmRptBalance*>(Pantallas::Activo("frmRptBalance"));
    QVERIFY(f);
    QCOMPARE(f->windowTitle(), QString("Balance Sumas y Saldos"));
    QCOMPARE(f->ftrFechaDe->text(), QString("01/01/2024"));
    QCOMPARE(f->ftrFechaA->text(), QString("31/12/2024"));
    QVERIFY(f->chkImprimoSombras->isChecked());
    QCOMPARE(f->sprRpt->filas(), 0);
    for (QWidget* c : f->findChildren<QWidget*>())
        if (qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c) ||
            qobject_cast<Grilla*>(c))
            QVERIFY2(!c->accessibleName().isEmpty() || c->objectName().isEmpty(),
                     qPrintable(c->objectName()));

    f->cmbSaldos0->setCurrentIndex(2);
    QTest::mouseClick(f->btnActualizar, Qt::LeftButton);
    QVERIFY(MensajePrueba::Textos().isEmpty());
    Grilla* g = f->sprRpt;
    QCOMPARE(g->filas(), 9); // ACTIVO, CAJA, BANCOS, total; PASIVO alone; RESULTADOS, VENTAS, total; totals
    auto monto = [g](int fila, int col) {
        const QString t = g->texto(fila, col);
        return t.isEmpty() ? QString("-") : Importe::Leo(t, nullptr, g->separadorDecimal())->TextoPlano();
    };
    struct Celdas {
        int fila;
        const char* descripcion;
        int columna;
        const char* debe;
        const char* haber;
        const char* saldoDebe;
        const char* saldoHaber;
        bool negrita;
    };
    const Celdas celdas[] = {
        {1, "ACTIVO", 2, "-", "-", "-", "-", true},
        {2, "CAJA", 3, "1234.50", "0.00", "1234.50", "-", false},
        {3, "BANCOS", 3, "7.00", "7.00", "0.00", "-", false},
        {4, "Total ACTIVO", 2, "1241.50", "7.00", "1234.50", "-", true},
        {5, "PASIVO", 2, "-", "-", "-", "-", true},
        {7, "VENTAS", 3, "0.00", "1234.50", "-", "1234.50", false},
    };
    for (const Celdas& c : celdas) {
        QCOMPARE(g->texto(c.fila, c.columna).trimmed(), QString(c.descripcion));
        QCOMPARE(monto(c.fila, 5), QString(c.debe));
        QCOMPARE(monto(c.fila, 6), QString(c.haber));
        QCOMPARE(monto(c.fila, 7), QString(c.saldoDebe));
        QCOMPARE(monto(c.fila, 8), QString(c.saldoHaber));
        QCOMPARE(g->model()->index(c.fila - 1, 1).data(Qt::FontRole).value<QFont>().bold(), c.negrita);
    }

    // A refresh that cannot run says why and leaves the report as it was.
    const QStringList malas[] = {{"31/02/2024", "31/12/2024", "La fecha Desde no es una fecha válida"},
                                 {"01/01/2024", "", "La fecha Hasta no es una fecha válida"},
                                 {"01/01/2023", "31/12/2024",
                                  "Las fechas deben estar dentro del ejercicio, del "
                                  "01/01/2024 al 31/12/2024."}};
    for (const QStringList& m : malas) {
        MensajePrueba::Limpio();
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        f->ftrFechaDe->setText(m[0]);
        f->ftrFechaA->setText(m[1]);
        QTest::mouseClick(f->btnActualizar, Qt::LeftButton);
        QCOMPARE(MensajePrueba::Textos().size(), 1);
        QVERIFY2(MensajePrueba::Textos().first().startsWith(m[2]),
                 qPrintable(MensajePrueba::Textos().first()));
        QCOMPARE(g->filas(), 9);
        QCOMPARE(monto(2, 5), QString("1234.50"));
    }

    QTest::mouseClick(f->btnSeleccionoTodosFiltros, Qt::LeftButton);
    QCOMPARE(f->cmbSaldos0->currentIndex(), 0);
    QCOMPARE(f->ftrFechaDe->text(), QString("01/01/2024"));
    QCOMPARE(f->Encabezado(),
             QString("/fb1/fi1/fz\"12\"Balance Sumas y Saldos entre 01/01/2024 y 31/12/2024/rPágina: /p/n"));

    // Closing keeps the layout under the key of the balances.
    g->setAnchoColumna(2, 321);
    marco.closeAllSubWindows();
    QCOMPARE(LeoLocal("Balance", "sprRptCol2", ""), QString("321"));
    QVERIFY(!LeoLocal("Balance", "Ancho", "").isEmpty());
    Pantallas::FijoMarco(nullptr);
}

void PruebaReportes::pantallaSinEjercicio() {
    Entorno e;
    Pantallas::Olvido();
    RegistroPantallasReportes();
    QMdiArea marco;
    Pantallas::FijoMarco(&marco);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    QVERIFY(!Pantallas::Activo("frmRptBalance"));
    QCOMPARE(
        MensajePrueba::Textos(),
        QStringList{
            "No puede utilizar éste módulo si todavía no seleccionó un ejercicio (EmpresaPropia-Período)"});
    QVERIFY(marco.subWindowList().isEmpty());
    Pantallas::FijoMarco(nullptr);
}
