// The closing entries of a year and the opening entry of the next, headless on a real database.
#include "tst_cierre.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Importe.h"
#include "core/Progreso.h"
#include "core/Valores.h"
#include "fiscal/Cierre.h"
#include "fiscal/Ejercicios.h"
#include "inflation/IndicesAjuste.h"
#include "reports/DiarioGeneral.h"
#include "reports/Mayores.h"
#include "tests/support/Entorno.h"

#include <QMap>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlRecord>
#include <QTest>
#include <cmath>

namespace {
// An entry of company 1, "cuenta:importe[:concepto] ...", with the next number unless one is given.
bool Asiento(int ejercicio, const QString& lineas, const QString& fecha, int especial = 0, int n = 0) {
    if (!n) n = Cuento("Asientos", "EmpresaPropia=1 AND NumEjercicio=?", {ejercicio}) + 1;
    bool ok = Ejecuto("INSERT INTO Asientos VALUES (1, ?, ?, ?, NULL, ?)",
                      {ejercicio, n, fecha, especial ? QVariant(especial) : QVariant()})
                  .ok;
    int d = 0;
    for (const QString& l : lineas.split(' ', Qt::SkipEmptyParts))
        ok = ok && Ejecuto("INSERT INTO DetAsientos VALUES (1, ?, ?, ?, ?, ?, ?, ?)",
                           {ejercicio, n, ++d, l.section(':', 0, 0).toInt(), l.section(':', 1, 1).toDouble(),
                            l.count(':') > 1 ? QVariant(l.section(':', 2)) : QVariant(), fecha})
                       .ok;
    return ok;
}

// Every row of a query joined by '|', one text per row.
QStringList Filas(const QString& sql, const QVariantList& p = {}) {
    QStringList r;
    QSqlQuery q = Consulto(sql, p);
    while (q.next()) {
        QStringList c;
        for (int i = 0; i < q.record().count(); ++i)
            c << NuloAVacio(q.value(i));
        r << c.join('|');
    }
    return r;
}
QStringList Libro() {
    return Filas("SELECT * FROM Asientos LEFT JOIN DetAsientos USING (EmpresaPropia, NumEjercicio, Asiento) "
                 "ORDER BY 1, 2, 3, Detalle");
}
// The lines of a year's generated entries: kind (R results closing, P balance-sheet closing, A opening),
// line, account, amount, concept; a line not dated as its entry is marked.
QStringList Generadas(int ejercicio) {
    QStringList r;
    for (const QString& f :
         Filas("SELECT substr('RPA', Especial, 1), Detalle, Cuenta, Importe, D.Concepto, "
               "CASE WHEN FechaAjuste=Fecha THEN 1 ELSE 0 END "
               "FROM "
               "Asientos INNER JOIN DetAsientos AS D USING (EmpresaPropia, NumEjercicio, Asiento) WHERE "
               "EmpresaPropia=1 AND NumEjercicio=? AND Especial IS NOT NULL ORDER BY Asiento, Detalle",
               {ejercicio})) {
        QStringList c = f.split('|');
        c[3] = Importe::DeBase(c[3]).TextoPlano();
        r << c.mid(0, 4).join(':') + (c[4].isEmpty() ? "" : ":" + c[4]) +
                 (c[5] == "1" ? "" : " fuera de fecha");
    }
    return r;
}
// Balances in cents of a year's accounts up to a date, leaving out one kind of entry; zeros left out.
QMap<int, qint64> Saldos(int ejercicio, const QString& hasta, int sinEspecial = -1,
                         const QString& cuentas = "1=1") {
    QMap<int, qint64> r;
    for (const QString& f :
         Filas("SELECT Cuenta, SUM(ROUND(Importe*100)) FROM DetAsientos AS D INNER JOIN Asientos "
               "USING (EmpresaPropia, NumEjercicio, Asiento) INNER JOIN Cuentas USING "
               "(EmpresaPropia, NumEjercicio, Cuenta) WHERE EmpresaPropia=1 AND NumEjercicio=? AND "
               "Fecha<=? AND COALESCE(Especial, 0)<>? AND " +
                   cuentas + " GROUP BY Cuenta",
               {ejercicio, hasta, sinEspecial}))
        if (const qint64 c = std::llround(f.section('|', 1).toDouble())) r[f.section('|', 0, 0).toInt()] = c;
    return r;
}
} // namespace

void PruebaCierre::cierre_data() {
    QTest::addColumn<QStringList>("asientos");
    QTest::addColumn<int>("cuenta");
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<QString>("mensaje"); // a refusal; nothing written
    const QString yaCerrado = "No se puede cerrar ejercicio, ya existe asiento de cierre 12";
    const QString cuentaMala = "Debe elegir una IMPUTABLE ajuste de resultados que NO SEA de resultados";
    // Negative balances first, then positive, by account within each; amounts opposite to the
    // balances; the result to 9 on the last line of the results closing, the only line with a concept.
    QTest::newRow("ganancia")
        << QStringList{"2:100 7:-100", "8:-5 2:5", "2:20 8:-20", "8:10 2:-10", "3:40 5:-40"} << 9
        << QStringList{"R:1:7:100.00", "R:2:8:15.00",  "R:3:9:-115.00:Ajuste resultados",
                       "P:1:5:40.00",  "P:2:9:115.00", "P:3:2:-115.00",
                       "P:4:3:-40.00"}
        << QString();
    QTest::newRow("signo antes que número")
        << QStringList{"7:80.55 2:-80.55", "2:0.55 8:-0.55"} << 9
        << QStringList{"R:1:8:0.55", "R:2:7:-80.55", "R:3:9:80.00:Ajuste resultados", "P:1:2:80.00",
                       "P:2:9:-80.00"}
        << QString();
    // +0.10 +0.20 -0.30 is exactly zero: no line, and no gap in the numbering.
    QTest::newRow("saldo que se anula en centavos")
        << QStringList{"8:0.10 2:-0.10", "8:0.20 2:-0.20", "2:0.30 8:-0.30", "2:50 7:-50"} << 9
        << QStringList{"R:1:7:50.00", "R:2:9:-50.00:Ajuste resultados", "P:1:9:50.00", "P:2:2:-50.00"}
        << QString();
    QTest::newRow("sin movimientos de resultados")
        << QStringList{"3:40 5:-40"} << 9 << QStringList{"P:1:5:40.00", "P:2:3:-40.00"} << QString();
    QTest::newRow("resultados que se anulan") << QStringList{"2:10 7:-10", "7:10 2:-10"} << 9
                                              << QStringList{"R:1:9:0.00:Ajuste resultados"} << QString();
    QTest::newRow("sin líneas")
        << QStringList{""} << 9 << QStringList()
        << "No se puede cerrar ejercicio, no tiene ningún asiento con importes: no hay "
           "saldos que cerrar";
    QTest::newRow("ya cerrado") << QStringList{"2:1 7:-1", "12"} << 9 << QStringList() << yaCerrado;
    for (int c : {8, 4, 0, -1, 99})
        QTest::addRow("cuenta %d", c) << QStringList{"2:1 7:-1"} << c << QStringList() << cuentaMala;
    // The balance-sheet closing fails on its second line, once the results closing is written.
    QTest::newRow("falla a mitad") << QStringList{"2:1 7:-1",
                                                  DisparadorQueFalla("f", "DetAsientos",
                                                                     "NEW.Asiento=3 AND NEW.Detalle=2")}
                                   << 9 << QStringList() << "No se puedo completar cierre, falla provocada";
    QTest::newRow("libro desbalanceado") << QStringList{"2:0.01"} << 9 << QStringList()
                                         << "No se puedo completar cierre, los saldos patrimoniales no suman "
                                            "cero (diferencia $.01): hay asientos "
                                            "desbalanceados en el ejercicio";
}

void PruebaCierre::cierre() {
    QFETCH(QStringList, asientos);
    QFETCH(int, cuenta);
    QFETCH(QStringList, lineas);
    QFETCH(QString, mensaje);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    QVERIFY(AgregoCuenta(9, 4, 2, "RESULTADOS ACUMULADOS"));
    // Another year's book, with an account 99, is left alone.
    e.CreoEmpresaYEjercicio(1, 2, QDate(2023, 1, 1), QDate(2023, 12, 31));
    e.CreoPlanChico(1, 2);
    QVERIFY(
        Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CuentaPadre) VALUES (1, 2, 99, 4)")
            .ok);
    QVERIFY(Asiento(2, "2:999 7:-999", "2023-03-01"));
    for (const QString& a : asientos)
        QVERIFY(a.startsWith("CREATE")
                    ? Ejecuto(a).ok
                    : Asiento(1, a.contains(':') ? a : "", "2024-06-30", a.toInt() ? 2 : 0, a.toInt()));
    const QStringList antes = Libro();

    const Generacion g = GeneroCierre(ContextoActual().En(1, 1), "Cierre d'resultados", "Cierre d'patrimonio", cuenta);
    if (!mensaje.isEmpty()) {
        QCOMPARE(g.mensaje, mensaje);
        QVERIFY(!g.ok);
        QCOMPARE(g.rechazada, !mensaje.startsWith("No se puedo"));
        QCOMPARE(Libro(), antes);
        QVERIFY(Ejecuto("BEGIN").ok); // no transaction left open
        Ejecuto("ROLLBACK");
        return;
    }
    QVERIFY2(g.ok, qPrintable(g.mensaje));
    QCOMPARE(Generadas(1), lineas);
    const int n = asientos.size() + 1;
    QCOMPARE(g.resultados, lineas.first().startsWith('R') ? n : 0);
    QCOMPARE(g.patrimonial, g.resultados ? n + 1 : n);
    QCOMPARE(g.mensaje, QString("Cierre exitoso, se han generado los sig. asientos:") +
                            (g.resultados ? QString("\r\nCierre d'resultados: %1").arg(n) : "") +
                            QString("\r\nCierre d'patrimonio: %1").arg(g.patrimonial));
    QStringList cabeceras{QString("%1|2024-12-31|Cierre d'patrimonio|2").arg(g.patrimonial)};
    if (g.resultados) cabeceras.prepend(QString("%1|2024-12-31|Cierre d'resultados|1").arg(n));
    QCOMPARE(
        Filas(
            "SELECT Asiento, Fecha, Concepto, Especial FROM Asientos WHERE Especial IS NOT NULL ORDER BY 1"),
        cabeceras);
    QCOMPARE(Libro().filter(QRegularExpression("^1\\|2\\|")).size(), 2); // the other year: its two lines
}

void PruebaCierre::apertura_data() {
    QTest::addColumn<QString>("cierre"); // of the year before by dates; "-" when it was not closed
    QTest::addColumn<QStringList>("quito");
    QTest::addColumn<QStringList>("existentes");
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<QString>("mensaje"); // a refusal; nothing written
    const QString cierre = "5:40 2:-75:Ajuste 3:35";
    // Line by line turned around, line concepts left behind; the next free number, dated on the first
    // day even below entries dated later.
    QTest::newRow("el cierre al revés")
        << cierre << QStringList() << QStringList{"2024-03-01", "2024-11-30"}
        << QStringList{"A:1:5:-40.00", "A:2:2:75.00", "A:3:3:-35.00"} << QString();
    QTest::newRow("cierre sin líneas") << "" << QStringList() << QStringList() << QStringList() << QString();
    QTest::newRow("cuentas que faltan") << cierre << QStringList{"5", "3"} << QStringList() << QStringList()
                                        << "No se puede generar asiento apertura, estas cuentas del cierre "
                                           "patrimonial del ejercicio anterior no "
                                           "existen en el plan de cuentas de este ejercicio: BANCOS (cuenta "
                                           "3), PROVEEDORES (cuenta 5). Pegue el "
                                           "plan de cuentas del ejercicio anterior y vuelva a intentar";
    QTest::newRow("ya abierto") << cierre << QStringList() << QStringList{"2024-01-01:3"} << QStringList()
                                << "No se puede generar asiento apertura, ya existe con el número 1";
    QTest::newRow("el anterior por fechas sin cierre")
        << "-" << QStringList() << QStringList() << QStringList()
        << "No se puede generar asiento apertura, NO existe cierre patrimonial en ejercicio anterior";
}

void PruebaCierre::apertura() {
    QFETCH(QString, cierre);
    QFETCH(QStringList, quito);
    QFETCH(QStringList, existentes);
    QFETCH(QStringList, lineas);
    QFETCH(QString, mensaje);
    Entorno e;
    // Year 2 (2024) is opened. The one before it by dates is 3 (2023), created later; 1 and 4 are older
    // and 5 later, all closed with other lines.
    for (const auto& [n, anio] : {std::pair{1, 2022}, std::pair{2, 2024}, std::pair{3, 2023},
                                  std::pair{4, 2021}, std::pair{5, 2025}}) {
        e.CreoEmpresaYEjercicio(1, n, QDate(anio, 1, 1), QDate(anio, 12, 31));
        e.CreoPlanChico(1, n);
        if (n != 2 && (n != 3 || cierre != "-"))
            QVERIFY(Asiento(n, n == 3 ? cierre : "2:-1 3:1", QString("%1-12-31").arg(anio), 2, 8));
    }
    for (const QString& c : quito)
        QVERIFY(Ejecuto("DELETE FROM Cuentas WHERE NumEjercicio=2 AND Cuenta=?", {c.toInt()}).ok);
    for (const QString& x : existentes)
        QVERIFY(Asiento(2, "2:1 5:-1", x.section(':', 0, 0), x.section(':', 1).toInt()));
    const QStringList antes = Libro();

    const Generacion g = GeneroApertura(ContextoActual().En(1, 2), "Apertura d'2024");
    QCOMPARE(g.mensaje, mensaje.isEmpty()
                            ? QString("Apertura exitosa, se ha generado el sig. asiento:\r\nApertura "
                                      "d'2024: %1")
                                  .arg(existentes.size() + 1)
                            : mensaje);
    QCOMPARE(g.ok, mensaje.isEmpty());
    if (!g.ok) {
        QVERIFY(g.rechazada);
        QCOMPARE(Libro(), antes);
        return;
    }
    QCOMPARE(g.apertura, existentes.size() + 1);
    QCOMPARE(Generadas(2), lineas);
    QCOMPARE(Filas("SELECT Asiento, Fecha, Concepto FROM Asientos WHERE NumEjercicio=2 AND Especial=3"),
             QStringList{QString("%1|2024-01-01|Apertura d'2024").arg(g.apertura)});
}

// A year of entries closed, its chart pasted into the next year and that year opened.
void PruebaCierre::deUnEjercicioAlSiguiente() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1, QDate(2023, 1, 1), QDate(2023, 12, 31));
    e.CreoPlanChico();
    QVERIFY(AgregoCuenta(9, 4, 2, "RESULTADOS ACUMULADOS"));
    // Balanced entries in cents over every postable account but BANCOS, whose lines cancel.
    QRandomGenerator azar(11);
    const int cuentas[] = {2, 5, 7, 8, 9};
    for (int i = 0; i < 300; ++i) {
        QStringList l;
        qint64 suma = 0;
        for (int k = 0, n = 1 + int(azar.bounded(3)); k <= n; ++k) {
            const qint64 c = k < n ? qint64(azar.bounded(2000000)) - 1000000 : -suma;
            suma += c;
            l << QString("%1:%2").arg(cuentas[azar.bounded(5)]).arg(Importe::DeCentavos(c).TextoPlano());
        }
        QVERIFY(Asiento(1, l.join(' '), QDate(2023, 1, 1).addDays(i).toString(Qt::ISODate)));
    }
    QVERIFY(Asiento(1, "3:0.10 3:0.20 2:-0.30", "2023-06-01"));
    QVERIFY(Asiento(1, "2:0.30 3:-0.30", "2023-07-01"));
    const QString fin = "2023-12-31";
    QMap<int, qint64> esperado = Saldos(1, fin, -1, "CuentaResultado=0");
    const QMap<int, qint64> resultados = Saldos(1, fin, -1, "CuentaResultado<>0");
    QVERIFY(resultados.size() == 2 && !esperado.contains(3));

    const Generacion c = GeneroCierre(ContextoActual().En(1, 1), "R", "P", 9);
    QVERIFY2(c.ok, qPrintable(c.mensaje));
    const Ejercicios::Veredicto nuevo =
        Ejercicios::GraboEjercicio(ContextoActual(), 1, -1, QDate(2024, 1, 1), QDate(2024, 12, 31), -1);
    QVERIFY(nuevo.ok && Ejercicios::PegoPlan(ContextoActual(), 1, 1, 1, nuevo.ejercicio).ok);
    QVERIFY(Asiento(nuevo.ejercicio, "2:5 7:-5", "2024-03-01"));
    const Generacion a = GeneroApertura(ContextoActual().En(1, nuevo.ejercicio), "A");
    QVERIFY2(a.ok, qPrintable(a.mensaje));

    // Every account of the old year ends at zero.
    QCOMPARE(Saldos(1, fin), (QMap<int, qint64>()));
    // The new year's first day holds the old balance-sheet balances of the last day, with the year's
    // result carried to the adjustment account.
    for (qint64 r : resultados)
        esperado[9] += r;
    QCOMPARE(Saldos(1, fin, 2), esperado);
    QCOMPARE(Saldos(nuevo.ejercicio, "2024-01-01"), esperado);
}

// A long operation asked to stop at its n-th report of progress: it says so, and the book is as it
// was (every entry, line, history row and index value); left alone, it reports up to its last step
// and does its work.
void PruebaCierre::cancelado_data() {
    QTest::addColumn<QString>("operacion");
    QTest::addColumn<int>("en"); // the report at which it is asked to stop; 0: never
    for (const char* o : {"cierre", "importación"})
        for (int en : {1, 2, 3, 4, 5, 0})
            QTest::addRow("%s, aviso %d", o, en) << QString(o) << en;
    // 2,000 lines: the row loops report every 1,024 rows.
    for (const char* o : {"mayores", "diario"})
        for (int en : {2, 0})
            QTest::addRow("%s, aviso %d", o, en) << QString(o) << en;
}

void PruebaCierre::cancelado() {
    QFETCH(QString, operacion);
    QFETCH(int, en);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    QVERIFY(AgregoCuenta(9, 4, 2, "RESULTADOS ACUMULADOS"));
    QVERIFY(Ejecuto("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                    "INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) "
                    "SELECT 1, 1, i, '2024-03-01' FROM n")
                .ok);
    QVERIFY(Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                    "SELECT 1, 1, Asiento, d.k, CASE d.k WHEN 1 THEN 2 + Asiento % 2 ELSE 7 + Asiento % 2 END, "
                    "CASE d.k WHEN 1 THEN 10.25 ELSE -10.25 END "
                    "FROM Asientos, (SELECT 1 AS k UNION ALL SELECT 2) AS d")
                .ok);
    QVERIFY(Ejecuto("INSERT INTO TablasAjusteInflacion (TablaAjusteInflacion, descTablaAjusteInflacion) "
                    "VALUES (1, 'IPC')")
                .ok);
    QVERIFY(Ejecuto("INSERT INTO AjustesInflacion (TablaAjusteInflacion, Fecha, Ajuste) VALUES (1, '2024-01-31', 1.5)")
                .ok);
    auto todo = [] {
        return Libro() + Filas("SELECT * FROM HistorialAsientos ORDER BY 1, 2, 3, 4") +
               Filas("SELECT * FROM AjustesInflacion ORDER BY 1, 2");
    };
    const QStringList antes = todo();

    Progreso p;
    int avisos = 0;
    p.latido = [&] {
        if (++avisos == en) p.Cancelo();
    };
    Contexto c = ContextoActual().En(1, 1);
    c.progreso = &p;
    bool ok = false;
    QString error;
    TablaReporte tabla;
    if (operacion == "cierre") {
        const Generacion g = GeneroCierre(c, "R", "P", 9);
        ok = g.ok;
        error = g.mensaje;
    } else if (operacion == "importación") {
        QVector<ValorIndice> valores;
        for (int m = 1; m <= 3; ++m)
            valores.append({QDate(2024, m, 1).addMonths(1).addDays(-1), 2.0 + m});
        ok = GuardoImportados(c, 1, valores, &error, &p);
    } else if (operacion == "mayores") {
        ok = TablaMayores(c, QDate(2024, 1, 1), QDate(2024, 12, 31), {}, &tabla, &error);
    } else {
        ok = TablaDiarioGeneral(c, QDate(2024, 1, 1), QDate(2024, 12, 31), 1, &tabla, &error);
    }
    if (en) {
        QVERIFY(!ok);
        QVERIFY2(error.endsWith(TextoCancelado), qPrintable(error));
        QCOMPARE(todo(), antes);
        QCOMPARE(tabla.filas.size(), 0);
        QVERIFY(Ejecuto("BEGIN").ok); // no transaction left open
        Ejecuto("ROLLBACK");
    } else {
        QVERIFY2(ok, qPrintable(error));
        QVERIFY(!p.Que().isEmpty());
        // A stage with a known end ends at it; the row loops count every row they read.
        if (p.Pasos()) QCOMPARE(p.Hecho(), p.Pasos());
        const bool escribe = operacion == "cierre" || operacion == "importación";
        QCOMPARE(todo() != antes, escribe);
        if (!escribe) QVERIFY(tabla.filas.size() > 2000);
    }
}
