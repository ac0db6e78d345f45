#include "tst_reajustado.h"
#include "core/AppState.h"

#include "core/Basedatos.h"
#include "core/Motor.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "core/ui/BotonAjustado.h"
#include "core/ui/Grilla.h"
#include "core/ui/GrillaModelo.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "inflation/IndicesAjuste.h"
#include "inflation/ui/RegistroInflacion.h"
#include "reports/ReAjustado.h"
#include "reports/ui/RegistroReportes.h"
#include "reports/ui/frmRptBalanceReAjustado.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>

namespace {
// One entry of company 1, year 1: its date and lines "account amount adjustment-date" (no date: Null).
void Asiento(int numero, const QString& fecha, const QStringList& lineas) {
    QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) VALUES (1, 1, ?, ?)",
                    {numero, fecha})
                .ok);
    int detalle = 0;
    for (const QString& l : lineas) {
        const QStringList p = l.split(' ');
        QVERIFY(
            Ejecuto(
                "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe, "
                "FechaAjuste) VALUES (1, 1, ?, ?, ?, ?, ?)",
                {numero, ++detalle, p[0].toInt(), Importe::Leo(p[1], nullptr, u'.')->ValorSql(),
                 p.size() > 2 ? QVariant(p[2]) : QVariant()})
                .ok);
    }
}

void Indices(int tabla, const QString& descripcion, const QStringList& valores) {
    QVERIFY(Ejecuto("INSERT INTO TablasAjusteInflacion (TablaAjusteInflacion, descTablaAjusteInflacion) "
                    "VALUES (?, ?)",
                    {tabla, descripcion})
                .ok);
    for (const QString& v : valores)
        QVERIFY(Ejecuto("INSERT INTO AjustesInflacion (TablaAjusteInflacion, Fecha, Ajuste) VALUES (?, ?, ?)",
                        {tabla, v.section('=', 0, 0), v.section('=', 1).toDouble()})
                    .ok);
}

// The small chart with CAJA, PROVEEDORES, VENTAS and GASTOS adjustable (BANCOS not), table 1 named by
// the year with values for January (100), February (120), March (150) and June (200), and entries
// whose lines carry adjustment dates in January to April (April finds June's value).
void Libro(Entorno& e, bool sinFecha) {
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    QVERIFY(Ejecuto("UPDATE Cuentas SET Ajustable=-1 WHERE Cuenta IN (2, 5, 7, 8)").ok);
    Indices(1, "Mayorista", {"2024-01-31=100", "2024-02-29=120", "2024-03-31=150", "2024-06-30=200"});
    QVERIFY(Ejecuto("UPDATE Ejercicios SET TablaAjusteInflacion=1").ok);
    Asiento(1, "2024-01-15", {"2 1000.00 2024-01-15", "7 -1000.00 2024-01-15"});
    Asiento(2, "2024-03-10", {"8 0.01 2024-01-20", "3 10.00 2024-03-10", "5 -10.01 2024-02-29"});
    Asiento(3, "2024-03-20", {"2 0 2024-03-20"});
    Asiento(4, "2024-04-20", {"8 20.00 2024-04-20", "2 -20.00 2024-04-20"});
    if (sinFecha) Asiento(5, "2024-05-02", {"8 5.00", "7 -4.00", "3 -1.00"});
}

// The last message shown (empty when none was).
QString Ultimo() {
    const QStringList t = MensajePrueba::Textos();
    return t.isEmpty() ? QString() : t.last();
}

// The detail rows of a balance as "DESCRIPTION debit credit".
QStringList Detalles(const QVector<FilaBalance>& filas) {
    QStringList s;
    for (const FilaBalance& f : filas)
        if (f.conSumas && !f.total) s << f.imputable + " " + f.debe.TextoPlano() + " " + f.haber.TextoPlano();
    return s;
}
} // namespace

void PruebaReAjustado::reajustado_data() {
    QTest::addColumn<bool>("sinFecha");
    QTest::addColumn<int>("tabla");
    QTest::addColumn<QString>("desde");
    QTest::addColumn<QString>("hasta");
    QTest::addColumn<QString>("ajustadoAl");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("esperado");
    // Al 31/03 (150): CAJA 1000 x 150/100; the zero line counts 0; -20 dated after r stays; GASTOS 0.01 x 1.5
    // rounds to 0.02 and its 20.00 stays; PROVEEDORES -10.01 x 150/120 = -12.5125 (dated on February's
    // value); BANCOS is not adjustable.
    QTest::newRow("al 31/03") << false << 1 << "2024-01-01"
                              << "2024-12-31"
                              << "2024-03-31"
                              << ""
                              << QStringList{"CAJA 1500.00 20.00", "BANCOS 10.00 0.00",
                                             "PROVEEDORES 0.00 12.51", "VENTAS 0.00 1500.00",
                                             "GASTOS 20.02 0.00"};
    // Al 30/06 (200): April's lines find June's value and stay; -10.01 x 200/120 = -16.683.
    QTest::newRow("al 30/06") << false << 1 << "2024-01-01"
                              << "2024-12-31"
                              << "2024-06-30"
                              << ""
                              << QStringList{"CAJA 2000.00 20.00", "BANCOS 10.00 0.00",
                                             "PROVEEDORES 0.00 16.68", "VENTAS 0.00 2000.00",
                                             "GASTOS 20.02 0.00"};
    QTest::newRow("ajustado al de la fecha de ajuste")
        << false << 1 << "2024-01-01"
        << "2024-12-31"
        << "2024-01-15"
        << ""
        << QStringList{"CAJA 1000.00 20.00", "BANCOS 10.00 0.00", "PROVEEDORES 0.00 10.01",
                       "VENTAS 0.00 1000.00", "GASTOS 20.01 0.00"};
    QTest::newRow("solo marzo") << false << 1 << "2024-03-01"
                                << "2024-03-31"
                                << "2024-03-31"
                                << ""
                                << QStringList{"CAJA 0.00 0.00", "BANCOS 10.00 0.00",
                                               "PROVEEDORES 0.00 12.51", "VENTAS 0.00 0.00",
                                               "GASTOS 0.02 0.00"};
    // Table 3 (0.2, 0.1, 0.3): GASTOS 0.01 x 0.3 / 0.2 = 0.015 exactly, a half cent rounded away from
    // zero; in binary fractions a hair under it.
    QTest::newRow("medio centavo") << false << 3 << "2024-01-01"
                                   << "2024-12-31"
                                   << "2024-03-31"
                                   << ""
                                   << QStringList{"CAJA 1500.00 20.00", "BANCOS 10.00 0.00",
                                                  "PROVEEDORES 0.00 30.03", "VENTAS 0.00 1500.00",
                                                  "GASTOS 20.02 0.00"};
    QTest::newRow("sin valor para el ajustado al")
        << false << 1 << "2024-01-01"
        << "2024-12-31"
        << "2024-07-01"
        << "la tabla de ajuste no tiene valor para: 07/2024, el mes del Ajustado al (7 líneas). Complete"
        << QStringList{};
    QTest::newRow("sin tabla")
        << false << -1 << "2024-01-01"
        << "2024-12-31"
        << "2024-06-30"
        << "la tabla de ajuste no tiene valor para: 06/2024, el mes del Ajustado al (7 líneas)"
        << QStringList{};
    QTest::newRow("líneas sin fecha de ajuste")
        << true << 1 << "2024-01-01"
        << "2024-12-31"
        << "2024-06-30"
        << "hay 2 líneas de cuentas ajustables sin fecha de ajuste (asiento 5, línea 1; asiento 5, línea 2). "
           "Abra cada asiento en el editor de asientos, escriba la Fecha Ajuste de esas líneas (la fecha del "
           "asiento, si no corresponde otra) y grábelo para obtener el balance reajustado."
        << QStringList{};
    QTest::newRow("líneas sin fecha de ajuste y un mes sin valor")
        << true << 1 << "2024-01-01"
        << "2024-12-31"
        << "2024-07-01"
        << "la tabla de ajuste no tiene valor para: 07/2024, el mes del Ajustado al (9 líneas). Complete la "
           "tabla de ajuste para obtener el balance reajustado. Además, hay 2 líneas de cuentas ajustables sin "
           "fecha de ajuste (asiento 5, línea 1; asiento 5, línea 2)."
        << QStringList{};
    QTest::newRow("líneas sin fecha de ajuste fuera del período")
        << true << 1 << "2024-01-01"
        << "2024-04-30"
        << "2024-06-30"
        << ""
        << QStringList{"CAJA 2000.00 20.00", "BANCOS 10.00 0.00", "PROVEEDORES 0.00 16.68",
                       "VENTAS 0.00 2000.00", "GASTOS 20.02 0.00"};
}

void PruebaReAjustado::reajustado() {
    QFETCH(bool, sinFecha);
    QFETCH(int, tabla);
    QFETCH(QString, desde);
    QFETCH(QString, hasta);
    QFETCH(QString, ajustadoAl);
    QFETCH(QString, error);
    QFETCH(QStringList, esperado);
    Entorno e;
    Libro(e, sinFecha);
    Indices(3, "Coeficientes", {"2024-01-31=0.2", "2024-02-29=0.1", "2024-03-31=0.3"});
    MaximosReporte m(PantallaBalanceReajustado);
    m.Verifico(ContextoActual());
    QVector<FilaBalance> filas;
    QString mensaje;
    const bool ok =
        ArmoBalanceReAjustado(ContextoActual(), m, QDate::fromString(desde, Qt::ISODate), QDate::fromString(hasta, Qt::ISODate),
                              tabla, QDate::fromString(ajustadoAl, Qt::ISODate), &filas, &mensaje);
    QVERIFY2(ok == error.isEmpty(), qPrintable(mensaje));
    QVERIFY2(error.isEmpty() ? mensaje.isEmpty() : mensaje.startsWith(error), qPrintable(mensaje));
    QCOMPARE(Detalles(filas), esperado);
}

void PruebaReAjustado::redondeo_data() {
    QTest::addColumn<QStringList>("lineas"); // "amount adjustment-date" on GASTOS (adjustable), against BANCOS
    QTest::addColumn<QString>("esperado");   // GASTOS "debit credit"
    // Table 4 goes from 30 (January) to 100 (March): every amount dated in January is multiplied by 10/3.
    // Each line rounded first: 0.03 three times, 0.09; added exactly: 0.1 -> 0.10.
    QTest::newRow("tres centavos") << QStringList{"0.01 2024-01-10", "0.01 2024-01-11", "0.01 2024-01-12"}
                                   << "0.10 0.00";
    // 0.05 x 10/3 = 0.1666...: line by line 0.17 x 3 = 0.51; exactly 0.5 -> 0.50.
    QTest::newRow("tres de cinco centavos")
        << QStringList{"0.05 2024-01-10", "0.05 2024-01-20", "0.05 2024-01-31"} << "0.50 0.00";
    // Credits alike: -0.01 x 10/3 three times is -0.1 -> 0.10 under Haber (0.09 line by line).
    QTest::newRow("créditos") << QStringList{"-0.01 2024-01-10", "-0.01 2024-01-11", "-0.01 2024-01-12"}
                              << "0.00 0.10";
    // 0.02 x 10/3 = 0.0666...: once 0.07; five times 0.3333... -> 0.33 (0.35 line by line); plus a line
    // dated in March that stays 1.00.
    QTest::newRow("cinco de dos centavos y una sin reajuste")
        << QStringList{"0.02 2024-01-02", "0.02 2024-01-03", "0.02 2024-01-04", "0.02 2024-01-05",
                       "0.02 2024-01-06", "1.00 2024-03-31"}
        << "1.33 0.00";
    QTest::newRow("una sola línea: igual que redondeada")
        << QStringList{"0.02 2024-01-02"} << "0.07 0.00";
}

void PruebaReAjustado::redondeo() {
    QFETCH(QStringList, lineas);
    QFETCH(QString, esperado);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    QVERIFY(Ejecuto("UPDATE Cuentas SET Ajustable=-1 WHERE Cuenta=8").ok);
    Indices(4, "Tercios", {"2024-01-31=30", "2024-03-31=100"});
    int numero = 0;
    for (const QString& l : lineas) {
        const QString importe = l.section(' ', 0, 0), fecha = l.section(' ', 1);
        const QString contra = importe.startsWith('-') ? importe.mid(1) : "-" + importe;
        Asiento(++numero, fecha, {"8 " + importe + " " + fecha, "3 " + contra});
    }
    MaximosReporte m(PantallaBalanceReajustado);
    m.Verifico(ContextoActual());
    QVector<FilaBalance> filas;
    QString mensaje;
    QVERIFY2(ArmoBalanceReAjustado(ContextoActual(), m, QDate(2024, 1, 1), QDate(2024, 12, 31), 4,
                                   QDate(2024, 3, 31), &filas, &mensaje),
             qPrintable(mensaje));
    const QStringList gastos = Detalles(filas).filter(QRegularExpression("^GASTOS "));
    QCOMPARE(gastos, QStringList{"GASTOS " + esperado});
}

void PruebaReAjustado::publicado() {
    // The published series: 1,000.00 of June 2019 restated to December 2019 is 1,000 x 283.4442 / 225.5370.
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1, QDate(2019, 1, 1), QDate(2019, 12, 31));
    e.CreoPlanChico();
    QVERIFY(Ejecuto("UPDATE Cuentas SET Ajustable=-1 WHERE Cuenta IN (2, 7, 8)").ok);
    Indices(1, "FACPCE", {});
    int n = 0;
    QString error;
    QVERIFY(ImportoIndices(ContextoActual(), 1, PARTIDEX_FUENTES "/resources/demo/indice_ajuste_inflacion_ar.csv", false, &n,
                           &error));
    Asiento(1, "2019-06-15", {"2 1000.00 2019-06-15", "7 -1000.00 2019-06-15"});
    Asiento(2, "2019-08-01", {"8 333.33 2019-08-01", "3 -333.33 2019-08-01"});
    Asiento(3, "2019-09-01", {"2 0.01 2019-09-01", "7 -0.01 2019-09-01"});
    // Detail rows as "DESCRIPTION debit credit", and the totals of the two sum columns.
    auto balance = [](const QDate& hasta, QStringList* filas, Importe* totalDebe, Importe* totalHaber) {
        TablaReporte t;
        QString error;
        QVERIFY2(TablaBalanceReAjustado(ContextoActual(), QDate(2019, 1, 1), hasta, 1, QDate(2019, 12, 31), &t, &error),
                 qPrintable(error));
        QCOMPARE(t.titulo, "Balance Sumas y Saldos entre 01/01/2019 y " + FechaATexto(hasta));
        QCOMPARE(t.notas, (QStringList{"Tabla de ajuste: FACPCE", "Ajustado al 31/12/2019"}));
        QCOMPARE(t.columnas.size(), 8);
        *totalDebe = *totalHaber = Importe();
        for (const FilaReporte& f : t.filas) {
            if (f.celdas.size() < 8 || f.celdas[2].texto.isEmpty()) continue;
            *filas << f.celdas[2].texto + " " + f.celdas[4].importe->TextoPlano() + " " +
                          f.celdas[5].importe->TextoPlano();
            *totalDebe += *f.celdas[4].importe;
            *totalHaber += *f.celdas[5].importe;
        }
    };
    QStringList filas;
    Importe debe, haber;
    balance(QDate(2019, 7, 31), &filas, &debe, &haber);
    QVERIFY(filas.contains("CAJA 1256.75 0.00"));
    QVERIFY(filas.contains("VENTAS 0.00 1256.75"));
    QCOMPARE(debe, haber);
    // August's 333.33 x 283.4442 / 239.6077 = 394.3131 on GASTOS, not on BANCOS; September's cent
    // (x 1.117) stays a cent.
    filas.clear();
    balance(QDate(2019, 12, 31), &filas, &debe, &haber);
    QCOMPARE(filas, (QStringList{"CAJA 1256.76 0.00", "BANCOS 0.00 333.33", "PROVEEDORES 0.00 0.00",
                                 "VENTAS 0.00 1256.76", "GASTOS 394.31 0.00"}));
    QCOMPARE(debe.TextoPlano(), QString("1651.07"));
    QCOMPARE(haber.TextoPlano(), QString("1590.09"));
    TablaReporte t;
    QVERIFY(
        !TablaBalanceReAjustado(ContextoActual(), QDate(2018, 1, 1), QDate(2019, 12, 31), 1, QDate(2019, 12, 31), &t, &error));
    QVERIFY2(error.startsWith("Las fechas deben estar dentro del ejercicio"), qPrintable(error));
}

void PruebaReAjustado::lecturas_data() {
    QTest::addColumn<QString>("desde");
    QTest::addColumn<QString>("hasta");
    // The ranges each way of reading takes: the year, most of it less the entries outside, the
    // entries of a few days; and for the other accounts whole months with a month cut on either side,
    // by less or more than half of it.
    QTest::newRow("el año") << "2024-01-01" << "2024-12-31";
    QTest::newRow("enero cortado por más de la mitad") << "2024-01-20" << "2024-12-31";
    QTest::newRow("marzo cortado por menos de la mitad") << "2024-01-01" << "2024-03-24";
    QTest::newRow("marzo cortado por más de la mitad") << "2024-01-01" << "2024-03-12";
    QTest::newRow("dos meses cortados") << "2024-03-11" << "2024-05-01";
    QTest::newRow("un mes") << "2024-03-01" << "2024-03-31";
    QTest::newRow("unos días") << "2024-03-09" << "2024-03-21";
    QTest::newRow("un día") << "2024-03-25" << "2024-03-25";
}

void PruebaReAjustado::lecturas() {
    // Each account's sums equal those of the reading of every line of the period (the one the balance
    // without closing entries takes, and there are none here): whatever reads the adjustable lines and
    // the other accounts' sums, the same figures.
    QFETCH(QString, desde);
    QFETCH(QString, hasta);
    Entorno e;
    Libro(e, true);
    Asiento(6, "2024-03-25", {"3 7.00", "4 -7.00", "8 0.03 2024-03-25", "4 -0.03"});
    Asiento(7, "2024-01-10", {"3 2.50", "4 -2.50"});
    Asiento(8, "2024-05-31", {"4 1.25", "3 -1.25"});
    const QDate d1 = QDate::fromString(desde, Qt::ISODate), d2 = QDate::fromString(hasta, Qt::ISODate);
    auto sumas = [&](bool sinCierres) {
        ConsultaSql c;
        QString error;
        [&] { QVERIFY2(ConsultaSumasReAjustadas(ContextoActual(), 1, d1, d2, QDate(2024, 6, 30), &c, &error, sinCierres),
                       qPrintable(error)); }();
        QStringList filas;
        QSqlQuery q = Consulto(c.sql + " ORDER BY 1", c.parametros);
        [&] { QVERIFY2(q.isActive(), qPrintable(q.lastError().text())); }();
        while (q.next())
            filas << QString("%1 %2 %3 %4").arg(q.value(0).toInt()).arg(q.value(1).toLongLong()).arg(
                         q.value(2).toLongLong()).arg(q.value(3).toInt());
        return filas;
    };
    const QStringList linea = sumas(true);
    QVERIFY(!linea.isEmpty());
    QCOMPARE(sumas(false), linea);
}

void PruebaReAjustado::plan_data() {
    QTest::addColumn<QString>("desde");
    QTest::addColumn<QString>("hasta");
    QTest::addColumn<QString>("lineas"); // how the file engine reads the lines
    // The whole year: the index by account alone, in its order (no sorting of the lines by account).
    QTest::newRow("el año") << "2024-01-01"
                            << "2024-12-31"
                            << "SEARCH D USING COVERING INDEX idxDetAsientosCuenta";
    // Most of it: the year's lines by account less those of the entries outside, found by date.
    QTest::newRow("un trimestre") << "2024-01-01"
                                  << "2024-03-31"
                                  << "SEARCH D USING COVERING INDEX idxDetAsientosCuenta";
    // A small part: the entries dated in it, then their lines by key.
    QTest::newRow("una semana") << "2024-03-04"
                                << "2024-03-10"
                                << "SEARCH A USING INDEX idxAsientosFecha";
}

void PruebaReAjustado::plan() {
    // The lines are read once; each divisor comes from a handful of comparisons of the adjustment date
    // and one search in the index of the table's values per value reached, never a scan of the values
    // or a search per line. The table holds twenty years of monthly values.
    QFETCH(QString, desde);
    QFETCH(QString, hasta);
    QFETCH(QString, lineas);
    Entorno e;
    Libro(e, false);
    QVERIFY(Ejecuto("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 280) "
                    "INSERT INTO AjustesInflacion (TablaAjusteInflacion, Fecha, Ajuste) SELECT 1, " +
                    FechaMasDias("'2000-01-31'", "i * 30") + ", 50 + i FROM n")
                .ok);
    Ejecuto("ANALYZE");
    ConsultaSql c;
    QString error;
    QVERIFY(ConsultaSumasReAjustadas(ContextoActual(), 1, QDate::fromString(desde, Qt::ISODate),
                                     QDate::fromString(hasta, Qt::ISODate), QDate(2024, 6, 30), &c, &error));
    const QStringList pasos = MotorActual().catalogo.PlanConsulta(Conexion(), c.sql, c.parametros);
    const QString todo = pasos.join(" | ");
    // No value is looked up per line: no subquery run per row reads the table's values.
    QVERIFY2(!todo.contains("CORRELATED"), qPrintable(todo));
    for (qsizetype i = 0; i < pasos.size(); ++i)
        if (pasos[i].trimmed().startsWith("SubPlan"))
            QVERIFY2(!pasos.mid(i + 1, 3).join(' ').contains("ajustesinflacion", Qt::CaseInsensitive), qPrintable(todo));
    // A server reads the handful of lines, entries and values whole, as it should.
    if (!MotorActual().PorArchivo()) return;
    QVERIFY2(!PlanLeeEntera(pasos, "X"), qPrintable(todo));
    QVERIFY2(todo.contains(QRegularExpression("SEARCH X USING (COVERING |PRIMARY KEY |)INDEX")),
             qPrintable(todo));
    QVERIFY2(todo.contains(lineas), qPrintable(todo));
    // The adjustable accounts' lines, ahead of the other accounts' sums, are grouped without sorting
    // when read in the order of the index by account.
    QCOMPARE(todo.section("UNION ALL", 0, 0).contains("TEMP B-TREE FOR GROUP BY"), !lineas.contains("idxDetAsientosCuenta"));
    static const QRegularExpression leido("\\bSCAN (D|A|F|X|DetAsientos|Asientos|AjustesInflacion)\\b");
    QVERIFY2(!leido.match(todo).hasMatch(), qPrintable(todo));
}

void PruebaReAjustado::pantalla() {
    Entorno e;
    Libro(e, false);
    Indices(2, "Minorista", {"2024-05-31=180"});
    MaximosReAjustado().Olvido();
    Pantallas::Olvido();
    RegistroPantallasReportes();
    RegistroPantallasInflacion();
    QMdiArea marco;
    Pantallas::FijoMarco(&marco);
    marco.show();
    auto* f = qobject_cast<frmRptBalanceReAjustado*>(Pantallas::Activo("frmRptBalanceReAjustado"));
    QVERIFY(f);
    QCOMPARE(f->windowTitle(), QString("Balance Sumas y Saldos ReAjustado"));
    QVERIFY(f->pnlTablaAjusteInflacion->text().startsWith("Mayorista"));
    QCOMPARE(f->pnlTablaAjusteInflacion->toolTip(), QString("Seleccionar tabla de ajuste"));
    QCOMPARE(f->ftrAjustadoAl->text(), QString("30/06/2024"));
    QCOMPARE(f->ftrFechaDe->text(), QString("01/01/2024"));
    QVERIFY(f->chkImprimoSombras->isChecked());

    Clic(f->btnActualizar);
    QVERIFY(MensajePrueba::Textos().isEmpty());
    Grilla* g = f->sprRpt;
    // The restated sides need not agree: the grand totals and the warning close the report.
    QCOMPARE(g->filas(), 13);
    QCOMPARE(g->texto(12, 2), QString("Totales generales"));
    QVERIFY2(g->texto(13, 2).startsWith("Diferencia de reexpresión: en las Sumas el Haber supera al Debe en 6,66"),
             qPrintable(g->texto(13, 2)));
    QCOMPARE(g->texto(2, 3), QString("CAJA"));
    // As every amount of every grid: the grid's decimal and thousands characters.
    const QChar miles = g->modelo()->separadorMiles();
    QCOMPARE(g->texto(2, 5), Importe::DeUnidades(2000).Texto(g->separadorDecimal(), miles));
    QCOMPARE(g->texto(2, 7), Importe::DeUnidades(1980).Texto(g->separadorDecimal(), miles));
    QCOMPARE(Cuento("SesionesPlanes", "Pantalla=?", QVariantList{int(PantallaBalanceReajustado)}), 1);

    // A table that lacks the month of the "Ajustado al" date gives no balance; the last one stays.
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Escribo(f->ftrAjustadoAl, "01/07/2024");
    Clic(f->btnActualizar);
    QVERIFY2(Ultimo().startsWith(
                 "No se pudo actualizar el reporte, la tabla de ajuste no tiene valor para: 07/2024"),
             qPrintable(Ultimo()));
    QCOMPARE(g->texto(2, 5), Importe::DeUnidades(2000).Texto(g->separadorDecimal(), miles));
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Escribo(f->ftrAjustadoAl, "31/02/2024");
    Clic(f->btnActualizar);
    QVERIFY(
        Ultimo().startsWith("No se pudo actualizar el reporte, la fecha Ajustado al no es una fecha válida"));

    // Another table from the picker: the date of its latest value up to "Hasta".
    AlAbrirModal([](QWidget* w) {
        QTest::keyClicks(w->findChild<QLineEdit*>("inpBusqueda"), "min");
        w->findChild<QPushButton*>("btnSeleccionar")->click();
    });
    Clic(f->pnlTablaAjusteInflacion);
    QCOMPARE(f->tablaAjuste(), 2);
    QVERIFY(f->pnlTablaAjusteInflacion->text().startsWith("Minorista"));
    QCOMPARE(f->ftrAjustadoAl->text(), QString("31/05/2024"));
    Escribo(f->ftrFechaA, "30/04/2024");
    AlAbrirModal([](QWidget* w) {
        QTest::keyClicks(w->findChild<QLineEdit*>("inpBusqueda"), "min");
        w->findChild<QPushButton*>("btnSeleccionar")->click();
    });
    Clic(f->pnlTablaAjusteInflacion);
    QCOMPARE(f->ftrAjustadoAl->text().remove('/').trimmed(), QString());

    // The defaults again; a year that names no table falls back on "Desde".
    Clic(f->btnSeleccionoTodosFiltros);
    QCOMPARE(f->tablaAjuste(), 1);
    QCOMPARE(f->ftrAjustadoAl->text(), QString("30/06/2024"));
    QVERIFY(Ejecuto("UPDATE Ejercicios SET TablaAjusteInflacion=NULL").ok);
    Clic(f->btnSeleccionoTodosFiltros);
    QCOMPARE(f->tablaAjuste(), -1);
    QVERIFY(f->pnlTablaAjusteInflacion->text().isEmpty());
    QCOMPARE(f->ftrAjustadoAl->text(), QString("01/01/2024"));
    QCOMPARE(f->Encabezado(),
             QString("/fb1/fi1/fz\"12\"Balance Sumas y Saldos entre 01/01/2024 y 31/12/2024/rPágina: /p/n"));
    marco.closeAllSubWindows();
    Pantallas::FijoMarco(nullptr);
}
