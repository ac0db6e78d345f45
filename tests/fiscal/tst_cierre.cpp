// The closing entries of a year and the opening entry of the next, headless on a real database.
#include "tst_cierre.h"
#include "core/Basedatos.h"
#include "core/Importe.h"
#include "core/Valores.h"
#include "fiscal/Cierre.h"
#include "fiscal/Ejercicios.h"
#include "tests/support/Entorno.h"

#include <QMap>
#include <QRandomGenerator>
#include <QTest>
#include <cmath>

namespace {
const QString LeyendaR = QStringLiteral("Cierre d'resultados");
const QString LeyendaP = QStringLiteral("Cierre d'patrimonio");

bool Cuenta(int empresa, int ejercicio, int cuenta, int padre, int hijo, const char* descripcion,
            bool resultado) {
    return Ejecuto(
               "INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, Descripcion, CuentaPadre, NumHijo, "
               "CuentaResultado) VALUES (?, ?, ?, ?, ?, ?, ?)",
               {empresa, ejercicio, cuenta, descripcion, padre, hijo, resultado ? -1 : 0})
        .ok;
}

// The small chart plus 9 RESULTADOS ACUMULADOS (balance sheet, under PASIVO) and 10 INTERESES (result).
bool Plan(Entorno& e, int empresa, int ejercicio) {
    e.CreoPlanChico(empresa, ejercicio);
    return Cuenta(empresa, ejercicio, 9, 4, 2, "RESULTADOS ACUMULADOS", false) &&
           Cuenta(empresa, ejercicio, 10, 6, 3, "INTERESES", true);
}

// An entry "cuenta:importe cuenta:importe ..." with the next number of the year; `especial` 0 is ordinary.
bool Asiento(int empresa, int ejercicio, const QString& lineas, const QString& fecha, int especial = 0,
             int numero = 0) {
    const int n =
        numero ? numero
               : int(NumeroOCero(ValorCampo("Asientos", "MAX(Asiento)", "EmpresaPropia=? AND NumEjercicio=?",
                                            {empresa, ejercicio}))) +
                     1;
    if (!Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Especial) VALUES (?, ?, "
                 "?, ?, ?)",
                 {empresa, ejercicio, n, fecha, especial ? QVariant(especial) : QVariant()})
             .ok)
        return false;
    int d = 0;
    for (const QString& l : lineas.split(' ', Qt::SkipEmptyParts)) {
        const QStringList p = l.split(':');
        if (!Ejecuto(
                 "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe, "
                 "Concepto, FechaAjuste) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                 {empresa, ejercicio, n, ++d, p[0].toInt(), p[1].toDouble(),
                  p.size() > 2 ? QVariant(p[2]) : QVariant(), fecha})
                 .ok)
            return false;
    }
    return true;
}

// Every header and line of a company, as text, to tell that nothing changed.
QStringList Libro() {
    QStringList r;
    QSqlQuery q = Consulto("SELECT Asientos.EmpresaPropia, Asientos.NumEjercicio, Asientos.Asiento, Fecha, "
                           "Asientos.Concepto, Especial, Detalle, Cuenta, Importe FROM Asientos LEFT JOIN "
                           "DetAsientos ON DetAsientos.EmpresaPropia = Asientos.EmpresaPropia AND "
                           "DetAsientos.NumEjercicio = Asientos.NumEjercicio AND DetAsientos.Asiento = "
                           "Asientos.Asiento ORDER BY 1, 2, 3, Detalle");
    while (q.next()) {
        QStringList c;
        for (int i = 0; i < 9; ++i)
            c << NuloAVacio(q.value(i));
        r << c.join('|');
    }
    return r;
}

// The lines of the generated entries of a year: "R" results closing, "P" balance-sheet closing,
// "A" opening; then line number, account, amount and the concept when there is one.
QStringList Generadas(int empresa, int ejercicio) {
    QStringList r;
    QSqlQuery q = Consulto("SELECT Especial, Detalle, Cuenta, Importe, DetAsientos.Concepto FROM Asientos "
                           "INNER JOIN DetAsientos ON DetAsientos.EmpresaPropia = Asientos.EmpresaPropia AND "
                           "DetAsientos.NumEjercicio = Asientos.NumEjercicio AND DetAsientos.Asiento = "
                           "Asientos.Asiento WHERE Asientos.EmpresaPropia=? AND Asientos.NumEjercicio=? AND "
                           "Especial IS NOT NULL ORDER BY Asientos.Asiento, Detalle",
                           {empresa, ejercicio});
    while (q.next()) {
        QString t =
            QString("RPA").at(q.value(0).toInt() - 1) + QString(":%1:%2:%3")
                                                            .arg(q.value(1).toInt())
                                                            .arg(q.value(2).toInt())
                                                            .arg(Importe::DeBase(q.value(3)).TextoPlano());
        if (!q.value(4).isNull()) t += ":" + q.value(4).toString();
        r << t;
    }
    return r;
}

// Header of an entry: "fecha|concepto|especial", and the adjustment dates of its lines.
QString Cabecera(int empresa, int ejercicio, int asiento) {
    QSqlQuery q =
        Consulto("SELECT Fecha, Concepto, Especial, (SELECT MIN(FechaAjuste) || '/' || MAX(FechaAjuste) "
                 "FROM DetAsientos AS D WHERE D.EmpresaPropia = A.EmpresaPropia AND D.NumEjercicio = "
                 "A.NumEjercicio AND D.Asiento = A.Asiento) FROM Asientos AS A WHERE EmpresaPropia=? AND "
                 "NumEjercicio=? AND Asiento=?",
                 {empresa, ejercicio, asiento});
    if (!q.next()) return QString();
    return QStringList{NuloAVacio(q.value(0)), NuloAVacio(q.value(1)), NuloAVacio(q.value(2)),
                       NuloAVacio(q.value(3))}
        .join('|');
}

// Balances of a year's accounts in cents up to a date, leaving out one kind of entry (-1: none left
// out). Zero balances are left out.
QMap<int, qint64> Saldos(int ejercicio, const QString& condicionCuenta, const QString& hasta,
                         int sinEspecial) {
    QMap<int, qint64> r;
    QSqlQuery q =
        Consulto("SELECT D.Cuenta, SUM(ROUND(D.Importe*100)) FROM DetAsientos AS D INNER JOIN Asientos "
                 "AS A ON A.EmpresaPropia = D.EmpresaPropia AND A.NumEjercicio = D.NumEjercicio AND "
                 "A.Asiento = D.Asiento INNER JOIN Cuentas AS C ON C.EmpresaPropia = D.EmpresaPropia AND "
                 "C.NumEjercicio = D.NumEjercicio AND C.Cuenta = D.Cuenta WHERE D.EmpresaPropia=1 AND "
                 "D.NumEjercicio=? AND A.Fecha<=? AND COALESCE(A.Especial, 0)<>? AND " +
                     condicionCuenta + " GROUP BY D.Cuenta",
                 {ejercicio, hasta, sinEspecial});
    while (q.next())
        if (const qint64 c = std::llround(q.value(1).toDouble())) r[q.value(0).toInt()] = c;
    return r;
}
} // namespace

void PruebaCierre::cierre_data() {
    QTest::addColumn<QStringList>("asientos");
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<int>("resultados");
    QTest::addColumn<int>("patrimonial");
    // Negative balances first, then positive, by account number within each; every amount is the
    // opposite of the balance; the result goes to 9 on the last line of the results closing.
    QTest::newRow("ganancia") << QStringList{"2:100 7:-100", "8:30 2:-30", "2:5 10:-5", "3:40 5:-40"}
                              << QStringList{"R:1:7:100.00", "R:2:10:5.00",
                                             "R:3:8:-30.00", "R:4:9:-75.00:Ajuste resultados",
                                             "P:1:5:40.00",  "P:2:9:75.00",
                                             "P:3:2:-75.00", "P:4:3:-40.00"}
                              << 5 << 6;
    QTest::newRow("pérdida") << QStringList{"8:80.55 2:-80.55"}
                             << QStringList{"R:1:8:-80.55", "R:2:9:80.55:Ajuste resultados", "P:1:2:80.55",
                                            "P:2:9:-80.55"}
                             << 2 << 3;
    // GASTOS: +0.10 +0.20 -0.30 is exactly zero, so it gets no line and the numbering has no gap.
    QTest::newRow("saldo que se anula en centavos")
        << QStringList{"8:0.10 2:-0.10", "8:0.20 2:-0.20", "2:0.30 8:-0.30", "2:50 7:-50", "10:20 2:-20"}
        << QStringList{"R:1:7:50.00", "R:2:10:-20.00", "R:3:9:-30.00:Ajuste resultados", "P:1:9:30.00",
                       "P:2:2:-30.00"}
        << 6 << 7;
    QTest::newRow("sin movimientos de resultados")
        << QStringList{"3:40 5:-40"} << QStringList{"P:1:5:40.00", "P:2:3:-40.00"} << 0 << 2;
    // Result accounts that all cancel: the results closing holds only the balancing line, of zero;
    // the balance-sheet closing has nothing to cancel.
    QTest::newRow("resultados que se anulan")
        << QStringList{"2:10 7:-10", "7:10 2:-10"} << QStringList{"R:1:9:0.00:Ajuste resultados"} << 3 << 4;
}

void PruebaCierre::cierre() {
    QFETCH(QStringList, asientos);
    QFETCH(QStringList, lineas);
    QFETCH(int, resultados);
    QFETCH(int, patrimonial);
    Entorno e;
    e.CreoEmpresaYEjercicio(2, 1);
    QVERIFY(Plan(e, 2, 1));
    QVERIFY(Asiento(2, 1, "2:999 7:-999", "2024-03-01")); // another company's book is not touched
    e.CreoEmpresaYEjercicio(1, 1);
    QVERIFY(Plan(e, 1, 1));
    for (const QString& a : asientos)
        QVERIFY(Asiento(1, 1, a, "2024-06-30"));
    const QStringList otra = Generadas(2, 1);

    const Generacion g = GeneroCierre(1, 1, LeyendaR, LeyendaP, 9);
    QVERIFY2(g.ok, qPrintable(g.mensaje));
    QCOMPARE(Generadas(1, 1), lineas);
    QCOMPARE(g.resultados, resultados);
    QCOMPARE(g.patrimonial, patrimonial);
    QString mensaje = "Cierre exitoso, se han generado los sig. asientos:";
    if (resultados) mensaje += "\r\n" + LeyendaR + ": " + QString::number(resultados);
    mensaje += "\r\nCierre d'patrimonio: " + QString::number(patrimonial);
    QCOMPARE(g.mensaje, mensaje);
    // Both dated on the year's last day, lines included; legends stored as typed.
    const QString fechas = lineas.isEmpty() ? "" : "2024-12-31/2024-12-31";
    if (resultados)
        QCOMPARE(Cabecera(1, 1, resultados), "2024-12-31|" + LeyendaR + "|1|2024-12-31/2024-12-31");
    QCOMPARE(Cabecera(1, 1, patrimonial),
             "2024-12-31|" + LeyendaP + "|2|" + (lineas.join(' ').contains("P:") ? fechas : QString()));
    QCOMPARE(Generadas(2, 1), otra);
    QCOMPARE(Cuento("Asientos", "EmpresaPropia=2"), 1);
}

void PruebaCierre::cierreRechazado_data() {
    QTest::addColumn<QString>("preparo");
    QTest::addColumn<int>("cuenta");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<bool>("rechazada");
    const QString cuentaMala = "Debe elegir una IMPUTABLE ajuste de resultados que NO SEA de resultados";
    QTest::newRow("sin líneas")
        << "sin líneas" << 9
        << "No se puede cerrar ejercicio, no tiene ningún asiento con importes: no hay "
           "saldos que cerrar"
        << true;
    QTest::newRow("ya cerrado") << "cerrado" << 9
                                << "No se puede cerrar ejercicio, ya existe asiento de cierre 12" << true;
    QTest::newRow("cuenta de resultados") << "" << 8 << cuentaMala << true;
    QTest::newRow("cuenta con hijas") << "" << 4 << cuentaMala << true;
    QTest::newRow("raíz") << "" << 0 << cuentaMala << true;
    QTest::newRow("sin elegir") << "" << -1 << cuentaMala << true;
    QTest::newRow("cuenta de otra empresa") << "" << 11 << cuentaMala << true;
    QTest::newRow("ejercicio inexistente")
        << "sin ejercicio" << 9
        << "No puede utilizar éste módulo si todavía no seleccionó un ejercicio "
           "(EmpresaPropia-Período)"
        << true;
    // The balance-sheet closing fails on its second line, once the results closing is written.
    QTest::newRow("falla a mitad")
        << "CREATE TRIGGER falla BEFORE INSERT ON DetAsientos WHEN NEW.Asiento=4 AND "
           "NEW.Detalle=2 BEGIN SELECT RAISE(ABORT, 'falla provocada'); END"
        << 9 << "No se puedo completar cierre, falla provocada" << false;
    // An entry that does not balance leaves balance-sheet balances that do not add up to zero.
    QTest::newRow("libro desbalanceado") << "2:0.01" << 9
                                         << "No se puedo completar cierre, los saldos patrimoniales no suman "
                                            "cero (diferencia $.01): hay asientos "
                                            "desbalanceados en el ejercicio"
                                         << false;
}

void PruebaCierre::cierreRechazado() {
    QFETCH(QString, preparo);
    QFETCH(int, cuenta);
    QFETCH(QString, mensaje);
    QFETCH(bool, rechazada);
    Entorno e;
    e.CreoEmpresaYEjercicio(2, 1);
    QVERIFY(Plan(e, 2, 1));
    QVERIFY(Cuenta(2, 1, 11, 4, 3, "OTRA", false));
    e.CreoEmpresaYEjercicio(1, 1);
    QVERIFY(Plan(e, 1, 1));
    if (preparo == "sin líneas") {
        QVERIFY(Asiento(1, 1, "", "2024-06-30"));
        QVERIFY(Asiento(2, 1, "2:5 7:-5", "2024-06-30"));
    } else {
        QVERIFY(Asiento(1, 1, "2:100 7:-100", "2024-06-30"));
        QVERIFY(Asiento(1, 1, "8:30 2:-30", "2024-06-30"));
        if (preparo == "cerrado")
            QVERIFY(Asiento(1, 1, "", "2024-12-31", 2, 12));
        else if (preparo.startsWith("CREATE"))
            QVERIFY(Ejecuto(preparo).ok);
        else if (!preparo.isEmpty() && preparo != "sin ejercicio")
            QVERIFY(Asiento(1, 1, preparo, "2024-06-30"));
    }
    const QStringList antes = Libro();
    const Generacion g = GeneroCierre(1, preparo == "sin ejercicio" ? 7 : 1, LeyendaR, LeyendaP, cuenta);
    QVERIFY(!g.ok);
    QCOMPARE(g.mensaje, mensaje);
    QCOMPARE(g.rechazada, rechazada);
    QCOMPARE(Libro(), antes);
    // No transaction was left open.
    QVERIFY(Ejecuto("BEGIN").ok);
    Ejecuto("ROLLBACK");
}

void PruebaCierre::apertura_data() {
    QTest::addColumn<bool>("cerrado");
    QTest::addColumn<QStringList>("cierre");
    QTest::addColumn<QStringList>("quito");
    QTest::addColumn<QStringList>("existentes");
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<int>("numero");
    QTest::addColumn<QString>("mensaje");
    const QStringList cierre{"5:40", "9:75:Ajuste", "2:-75", "3:-40"};
    // Line by line turned around, line concepts left behind; the next free number even below entries
    // dated later.
    QTest::newRow("el cierre al revés")
        << true << cierre << QStringList() << QStringList{"2024-03-01", "2024-11-30"}
        << QStringList{"A:1:5:-40.00", "A:2:9:-75.00", "A:3:2:75.00", "A:4:3:40.00"} << 3 << QString();
    QTest::newRow("cierre sin líneas")
        << true << QStringList() << QStringList() << QStringList() << QStringList() << 1 << QString();
    QTest::newRow("cuentas que faltan")
        << true << cierre << QStringList{"9", "3"} << QStringList() << QStringList() << 0
        << "No se puede generar asiento apertura, estas cuentas del cierre patrimonial del ejercicio "
           "anterior no "
           "existen en el plan de cuentas de este ejercicio: BANCOS (cuenta 3), RESULTADOS ACUMULADOS "
           "(cuenta 9). "
           "Pegue el plan de cuentas del ejercicio anterior y vuelva a intentar";
    QTest::newRow("ya abierto") << true << cierre << QStringList() << QStringList{"2024-01-01:3"}
                                << QStringList() << 0
                                << "No se puede generar asiento apertura, ya existe con el número 1";
    // The year before by dates has no closing; the others have.
    QTest::newRow("el anterior por fechas sin cierre")
        << false << cierre << QStringList() << QStringList() << QStringList() << 0
        << "No se puede generar asiento apertura, NO existe cierre patrimonial en ejercicio anterior";
}

void PruebaCierre::apertura() {
    QFETCH(bool, cerrado);
    QFETCH(QStringList, cierre);
    QFETCH(QStringList, quito);
    QFETCH(QStringList, existentes);
    QFETCH(QStringList, lineas);
    QFETCH(int, numero);
    QFETCH(QString, mensaje);
    Entorno e;
    // The year opened is 2 (2024). The one before it by dates is 3 (2023), created later; 1 and 4 are
    // older and 5 later, all closed.
    for (const auto& [ej, desde, hasta] : {std::tuple{1, QDate(2022, 1, 1), QDate(2022, 12, 31)},
                                           std::tuple{2, QDate(2024, 1, 1), QDate(2024, 12, 31)},
                                           std::tuple{3, QDate(2023, 1, 1), QDate(2023, 12, 31)},
                                           std::tuple{4, QDate(2021, 1, 1), QDate(2021, 12, 31)},
                                           std::tuple{5, QDate(2025, 1, 1), QDate(2025, 12, 31)}}) {
        e.CreoEmpresaYEjercicio(1, ej, desde, hasta);
        QVERIFY(Plan(e, 1, ej));
        if (ej != 2 && ej != 3) QVERIFY(Asiento(1, ej, "2:-1 3:1", "2022-12-31", 2));
    }
    if (cerrado) QVERIFY(Asiento(1, 3, cierre.join(' '), "2023-12-31", 2, 8));
    for (const QString& c : quito)
        QVERIFY(
            Ejecuto("DELETE FROM Cuentas WHERE EmpresaPropia=1 AND NumEjercicio=2 AND Cuenta=?", {c.toInt()})
                .ok);
    for (const QString& x : existentes)
        QVERIFY(Asiento(1, 2, "2:1 5:-1", x.section(':', 0, 0), x.section(':', 1).toInt()));
    const QStringList antes = Libro();

    const Generacion g = GeneroApertura(1, 2, "Apertura d'2024");
    if (!mensaje.isEmpty()) {
        QCOMPARE(g.mensaje, mensaje);
        QVERIFY(!g.ok);
        QVERIFY(g.rechazada);
        QCOMPARE(Libro(), antes);
        return;
    }
    QVERIFY2(g.ok, qPrintable(g.mensaje));
    QCOMPARE(g.apertura, numero);
    QCOMPARE(g.mensaje, "Apertura exitosa, se ha generado el sig. asiento:\r\nApertura d'2024: " +
                            QString::number(numero));
    QCOMPARE(Generadas(1, 2), lineas);
    QCOMPARE(Cabecera(1, 2, numero),
             QString("2024-01-01|Apertura d'2024|3|") + (lineas.isEmpty() ? "" : "2024-01-01/2024-01-01"));
}

void PruebaCierre::deUnEjercicioAlSiguiente() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1, QDate(2023, 1, 1), QDate(2023, 12, 31));
    QVERIFY(Plan(e, 1, 1));
    // A year of balanced entries in cents over every postable account but BANCOS, whose lines cancel.
    QRandomGenerator azar(11);
    const int cuentas[] = {2, 5, 7, 8, 9, 10};
    for (int i = 0; i < 300; ++i) {
        QStringList l;
        qint64 suma = 0;
        for (int k = 0, n = 1 + int(azar.bounded(3)); k < n; ++k) {
            const qint64 c = qint64(azar.bounded(2000000)) - 1000000;
            suma += c;
            l << QString("%1:%2").arg(cuentas[azar.bounded(6)]).arg(Importe::DeCentavos(c).TextoPlano());
        }
        l << QString("%1:%2").arg(cuentas[azar.bounded(6)]).arg(Importe::DeCentavos(-suma).TextoPlano());
        QVERIFY(Asiento(1, 1, l.join(' '), QDate(2023, 1, 1).addDays(i).toString(Qt::ISODate)));
    }
    QVERIFY(Asiento(1, 1, "3:0.10 3:0.20 2:-0.30", "2023-06-01"));
    QVERIFY(Asiento(1, 1, "2:0.30 3:-0.30", "2023-07-01"));
    const QString fin = "2023-12-31";
    const QMap<int, qint64> patrimonio = Saldos(1, "C.CuentaResultado=0", fin, -1);
    const QMap<int, qint64> resultados = Saldos(1, "C.CuentaResultado<>0", fin, -1);
    QVERIFY(!resultados.isEmpty());
    QVERIFY(!patrimonio.contains(3));

    const Generacion c = GeneroCierre(1, 1, "R", "P", 9);
    QVERIFY2(c.ok, qPrintable(c.mensaje));
    // The next year gets the same chart, then its opening.
    const Ejercicios::Veredicto nuevo =
        Ejercicios::GraboEjercicio(1, -1, QDate(2024, 1, 1), QDate(2024, 12, 31), -1);
    QVERIFY2(nuevo.ok, qPrintable(nuevo.mensaje));
    QVERIFY(Ejercicios::PegoPlan(1, 1, 1, nuevo.ejercicio).ok);
    QVERIFY(Asiento(1, nuevo.ejercicio, "2:5 7:-5", "2024-03-01"));
    const Generacion a = GeneroApertura(1, nuevo.ejercicio, "A");
    QVERIFY2(a.ok, qPrintable(a.mensaje));

    // After the closing every account of the old year is at zero.
    QCOMPARE(Saldos(1, "1=1", fin, -1), (QMap<int, qint64>()));
    // The new year opens with the balance-sheet balances of the old one after its results closing:
    // those of its last day, with the year's result carried to the adjustment account.
    QMap<int, qint64> esperado = patrimonio;
    for (qint64 r : resultados)
        esperado[9] += r;
    if (esperado[9] == 0) esperado.remove(9);
    QCOMPARE(Saldos(1, "1=1", fin, 2), esperado);
    QCOMPARE(Saldos(nuevo.ejercicio, "1=1", "2024-01-01", -1), esperado);
}
