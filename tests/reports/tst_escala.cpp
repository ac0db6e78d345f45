#include "tst_escala.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Motor.h"
#include "core/Sesiones.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "journal/Escritura.h"
#include "maintenance/Coherencia.h"
#include "reports/Balance.h"
#include "tests/support/Entorno.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QTest>

namespace {

// How the planner's figures stand when the report runs.
enum class Figuras { AlDia, DeUnLibroChico, Ausentes, DeUnLibroVacio };

// The rows of a table, in one text each.
QStringList Filas(const QString& sql) {
    QStringList filas;
    QSqlQuery q = Consulto(sql);
    while (q.next()) {
        QStringList celdas;
        for (int i = 0; i < 3; ++i)
            celdas << q.value(i).toString();
        filas << celdas.join('|');
    }
    return filas;
}

// Year 2021 of the weighty book grows to eleven times its size after its figures were gathered:
// 4,000 more entries, spread over the year, of three lines each.
bool CrecoElLibro() {
    return Ejecuto("WITH RECURSIVE n(i) AS (SELECT 401 UNION ALL SELECT i + 1 FROM n WHERE i < 4400) "
                   "INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) SELECT 1, 1, i, " +
                   FechaMasDias("'2021-01-01'", "i % 365") + " FROM n")
               .ok &&
           Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                   "SELECT EmpresaPropia, NumEjercicio, Asiento, d.k, 2 + (Asiento + d.k) % 7, "
                   "CASE WHEN d.k = 3 THEN -20.5 ELSE 10.25 END FROM Asientos, (SELECT 1 AS k UNION ALL "
                   "SELECT 2 UNION ALL SELECT 3) AS d WHERE NumEjercicio = 1 AND Asiento > 400")
               .ok;
}

// The weighty book grown eleven times after its figures were gathered, with the planner's figures as
// given (on the server, only as they come).
void LibroConFiguras(Entorno& e, Figuras figuras) {
    const bool archivo = MotorActual().PorArchivo();
    // What the planner knew of the book when it was made, empty.
    const QStringList vacio = archivo ? Filas("SELECT tbl, idx, stat FROM sqlite_stat1") : QStringList();
    QVERIFY2(e.CreoLibroConPeso(FechaMasDias("y.ComienzoEjercicio", "i % 365")), qPrintable(UltimoError()));
    if (!archivo) QVERIFY(Ejecuto("ALTER TABLE DetAsientos SET (autovacuum_enabled = false)").ok);
    QVERIFY2(CrecoElLibro(), qPrintable(UltimoError()));
    switch (figuras) {
    case Figuras::AlDia:
        QVERIFY(Ejecuto("ANALYZE").ok);
        break;
    case Figuras::DeUnLibroChico:
        break;
    case Figuras::Ausentes:
    case Figuras::DeUnLibroVacio:
        QVERIFY(Ejecuto("DELETE FROM sqlite_stat1").ok);
        for (const QString& f : figuras == Figuras::Ausentes ? QStringList() : vacio)
            QVERIFY(Ejecuto("INSERT INTO sqlite_stat1 (tbl, idx, stat) VALUES (?, NULLIF(?, ''), ?)",
                            {f.section('|', 0, 0), f.section('|', 1, 1), f.section('|', 2)})
                        .ok);
        // Gathering the figures of a small table the plans do not read makes the planner read them all again.
        QVERIFY(Ejecuto("ANALYZE Perfiles").ok);
        break;
    }
}

} // namespace

void PruebaEscala::planesBalance_data() {
    QTest::addColumn<Figuras>("figuras");
    QTest::addColumn<QDate>("desde");
    QTest::addColumn<QDate>("hasta");
    QTest::addColumn<LecturaLineas>("lectura");
    QTest::addColumn<LecturaLineas>("balance");
    const struct {
        const char* nombre;
        QDate desde, hasta;
        LecturaLineas lectura, balance;
    } rangos[] = {
        {"un día", QDate(2021, 3, 15), QDate(2021, 3, 15), LecturaLineas::Periodo, LecturaLineas::Periodo},
        {"una semana", QDate(2021, 3, 11), QDate(2021, 3, 17), LecturaLineas::Periodo, LecturaLineas::Periodo},
        {"un mes", QDate(2021, 3, 1), QDate(2021, 3, 31), LecturaLineas::Periodo, LecturaLineas::Meses},
        {"un trimestre", QDate(2021, 4, 1), QDate(2021, 6, 30), LecturaLineas::Periodo, LecturaLineas::Meses},
        {"de mediados de un mes a mediados de otro", QDate(2021, 3, 10), QDate(2021, 5, 20),
         LecturaLineas::Periodo, LecturaLineas::Meses},
        {"de mediados de febrero a fin de año", QDate(2021, 2, 15), QDate(2021, 12, 31),
         LecturaLineas::EjercicioMenosFuera, LecturaLineas::Meses},
        {"once meses", QDate(2021, 2, 1), QDate(2021, 12, 31), LecturaLineas::EjercicioMenosFuera,
         LecturaLineas::Meses},
        {"el año", QDate(2021, 1, 1), QDate(2021, 12, 31), LecturaLineas::Ejercicio, LecturaLineas::Meses},
    };
    const struct {
        const char* nombre;
        Figuras figuras;
    } estados[] = {{"al día", Figuras::AlDia},
                   {"de un libro once veces menor", Figuras::DeUnLibroChico},
                   {"ausentes", Figuras::Ausentes},
                   {"de un libro vacío", Figuras::DeUnLibroVacio}};
    for (const auto& e : estados)
        for (const auto& r : rangos)
            QTest::addRow("%s, figuras %s", r.nombre, e.nombre)
                << e.figuras << r.desde << r.hasta << r.lectura << r.balance;
}

void PruebaEscala::planesBalance() {
    QFETCH(Figuras, figuras);
    QFETCH(QDate, desde);
    QFETCH(QDate, hasta);
    QFETCH(LecturaLineas, lectura);
    QFETCH(LecturaLineas, balance);
    const bool archivo = MotorActual().PorArchivo();
    if (!archivo && (figuras == Figuras::Ausentes || figuras == Figuras::DeUnLibroVacio))
        QSKIP("el servidor no deja borrar sus estadísticas a quien no es su administrador");
    Entorno e;
    LibroConFiguras(e, figuras);
    if (QTest::currentTestFailed()) return;
    App().currentCompany = 1;
    App().currentYear = 1;
    MaximosReporte m(PantallaBalance);
    m.Verifico(ContextoActual());
    // The statement as written takes its plan whatever the figures say; the book opened again has
    // them brought up to date, and then the rest of the plan is right as well.
    for (const bool reabierto : {false, true}) {
        if (reabierto) {
            const QString direccion = DireccionAbierta();
            QString error;
            QVERIFY2(AbroBase(direccion, &error), qPrintable(error));
            // Opening gathered the figures of the grown tables again (a small book: quickly).
            if (archivo) {
                QSqlQuery q = Consulto("SELECT CAST(stat AS INTEGER) FROM sqlite_stat1 WHERE tbl='DetAsientos' "
                                       "AND idx='idxDetAsientosCuenta'");
                QVERIFY(q.next());
                QCOMPARE(q.value(0).toLongLong(), qint64(16800));
            }
        }
        QCOMPARE(ElijoLectura(ContextoActual(), desde, hasta), lectura);
        const ConsultaSql c = ConsultaBalance(ContextoActual(), m.Profundidad(), m.AnchoMascara(), desde, hasta, lectura);
        const QStringList pasos = MotorActual().catalogo.PlanConsulta(Conexion(), c.sql, c.parametros);
        const QString plan = pasos.join(" | ");
        QVERIFY2(!pasos.isEmpty(), qPrintable(UltimoError()));
        // A range's entries through the index by date; the lines of the year through the index by
        // account; neither read whole where only a range is wanted.
        QCOMPARE(PlanUsaIndice(pasos, "idxAsientosFecha"), lectura != LecturaLineas::Ejercicio);
        QVERIFY2(!PlanLeeEntera(pasos, "Asientos"), qPrintable(plan));
        if (archivo) {
            // (The server's planner weighs a whole read of a table this small against looking up each
            // entry's lines by its own figures; its plans for ranges are not pinned, the benchmark
            // measures them.)
            if (lectura != LecturaLineas::Ejercicio) QVERIFY2(!PlanLeeEntera(pasos, "DetAsientos"), qPrintable(plan));
            // Each entry's lines through their key, never every line of the year looked up by entry.
            QCOMPARE(PlanUsaIndice(pasos, "idxDetAsientosCuenta"), lectura != LecturaLineas::Periodo);
            QCOMPARE(PlanUsaIndice(pasos, "sqlite_autoindex_DetAsientos_1"), lectura != LecturaLineas::Ejercicio);
            // The sums met with each account through an index, not read whole for each one.
            if (reabierto)
                QVERIFY2(!plan.contains(QRegularExpression(R"(\bSCAN \w+ LEFT-JOIN\b)")), qPrintable(plan));
        }
        // The balance's own reading: whole months from their sums, read through their key, and only
        // the lines of the days at either side, through the entries dated in them.
        QCOMPARE(LecturaBalance(ContextoActual(), desde, hasta), balance);
        const ConsultaSql cb =
            ConsultaBalance(ContextoActual(), m.Profundidad(), m.AnchoMascara(), desde, hasta, balance);
        if (balance == LecturaLineas::Meses) {
            const QStringList pasosMeses = MotorActual().catalogo.PlanConsulta(Conexion(), cb.sql, cb.parametros);
            const QString planMeses = pasosMeses.join(" | ");
            const bool bordes = desde.day() != 1 || hasta.day() != hasta.daysInMonth();
            QCOMPARE(PlanUsaIndice(pasosMeses, "idxAsientosFecha"), bordes);
            QVERIFY2(!PlanUsaIndice(pasosMeses, "idxDetAsientosCuenta"), qPrintable(planMeses));
            QVERIFY2(!PlanLeeEntera(pasosMeses, "Asientos"), qPrintable(planMeses));
            // (The server's plan for the days at either side is its own, as above.)
            if (archivo)
                QVERIFY2(!PlanLeeEntera(pasosMeses, "DetAsientos") &&
                             PlanUsaIndice(pasosMeses, "sqlite_autoindex_SumasMensuales_1"),
                         qPrintable(planMeses));
        }
        // Every reading and the plain reading of the period give the same rows.
        QVector<FilaBalance> periodo;
        QString error;
        QVERIFY2(ArmoFilasBalance(ContextoActual(), m,
                                  ConsultaBalance(ContextoActual(), m.Profundidad(), m.AnchoMascara(), desde, hasta,
                                                  LecturaLineas::Periodo),
                                  FiltroSaldos::Todos, &periodo, &error),
                 qPrintable(error));
        QVERIFY(periodo.size() > 3 && !periodo[1].debe.esCero());
        for (const ConsultaSql& consulta : {c, cb}) {
            QVector<FilaBalance> elegida;
            QVERIFY2(ArmoFilasBalance(ContextoActual(), m, consulta, FiltroSaldos::Todos, &elegida, &error),
                     qPrintable(error));
            QCOMPARE(elegida.size(), periodo.size());
            for (int i = 0; i < elegida.size(); ++i) {
                QCOMPARE(elegida[i].debe, periodo[i].debe);
                QCOMPARE(elegida[i].haber, periodo[i].haber);
            }
        }
    }
}

void PruebaEscala::planesDisparadores_data() {
    QTest::addColumn<Figuras>("figuras");
    QTest::newRow("al día") << Figuras::AlDia;
    QTest::newRow("de un libro once veces menor") << Figuras::DeUnLibroChico;
    QTest::newRow("ausentes") << Figuras::Ausentes;
    QTest::newRow("de un libro vacío") << Figuras::DeUnLibroVacio;
}

// Each step of the triggers that keep the monthly sums, as the book holds them, reads the entry and its
// lines through their keys whatever the planner's figures: a step that walks the index by account reads
// every line of the year for each entry written, and a book filled from empty slows to a crawl.
void PruebaEscala::planesDisparadores() {
    QFETCH(Figuras, figuras);
    if (!MotorActual().PorArchivo())
        QSKIP("los pasos de los disparadores del servidor están en sus funciones, que él planea con sus figuras");
    Entorno e;
    LibroConFiguras(e, figuras);
    if (QTest::currentTestFailed()) return;
    const QList<DisparadorBase> disparadores = MotorActual().catalogo.Disparadores(Conexion());
    int pasos = 0;
    for (const DisparadorBase& d : disparadores) {
        if (!d.nombre.startsWith("Sumas")) continue;
        const QString cuerpo = d.definicion.section(" BEGIN ", 1).section("; END", 0, 0);
        for (QString paso : cuerpo.split("; INSERT INTO ")) {
            if (!paso.startsWith("INSERT INTO ")) paso.prepend("INSERT INTO ");
            // The row that fired it, as values: an entry of March and a line of it.
            paso.replace(QRegularExpression(R"(\b(NEW|OLD)\.Fecha\b)"), "'2021-03-15'");
            paso.replace(QRegularExpression(R"(\b(NEW|OLD)\.Asiento\b)"), "77");
            paso.replace(QRegularExpression(R"(\b(NEW|OLD)\.Importe\b)"), "10.25");
            paso.replace(QRegularExpression(R"(\b(NEW|OLD)\.\w+)"), "1");
            const QStringList plan = MotorActual().catalogo.PlanConsulta(Conexion(), paso, {});
            const QString texto = d.nombre + ": " + plan.join(" | ");
            QVERIFY2(!plan.isEmpty(), qPrintable(paso + "\n" + UltimoError()));
            QVERIFY2(!PlanUsaIndice(plan, "idxDetAsientosCuenta"), qPrintable(texto));
            QVERIFY2(!PlanUsaIndice(plan, "idxAsientosFecha"), qPrintable(texto));
            QVERIFY2(!PlanLeeEntera(plan, "DetAsientos") && !PlanLeeEntera(plan, "Asientos"), qPrintable(texto));
            QVERIFY2(PlanUsaIndice(plan, paso.contains("FROM DetAsientos") ? "sqlite_autoindex_DetAsientos_1"
                                                                           : "sqlite_autoindex_Asientos_1"),
                     qPrintable(texto));
            ++pasos;
        }
    }
    QCOMPARE(pasos, 8);
    // Every write of an entry first asks for the year's closing entries: by their kind, not by
    // reading the year, even where the planner's figures say (as those of a book of one year say) that
    // every entry of the year is of one kind.
    QVERIFY(Ejecuto("DELETE FROM sqlite_stat1 WHERE idx = 'idxAsientosEspecial'").ok);
    QVERIFY(Ejecuto("INSERT INTO sqlite_stat1 (tbl, idx, stat) VALUES "
                    "('Asientos', 'idxAsientosEspecial', '5600 5600 5600 5600')").ok);
    QVERIFY(Ejecuto("ANALYZE Perfiles").ok);
    const ConsultaSql cierre = ConsultaAsientosCierre(Contexto::De(1, 1));
    const QStringList plan = MotorActual().catalogo.PlanConsulta(Conexion(), cierre.sql, cierre.parametros);
    QVERIFY2(!plan.isEmpty() && !PlanLeeEntera(plan, "Asientos"), qPrintable(plan.join(" | ")));
}

void PruebaEscala::sumasMensuales_data() {
    QTest::addColumn<QStringList>("sentencias");
    QTest::addColumn<bool>("coherente");
    auto fila = [](const char* nombre, const QStringList& s, bool coherente = true) {
        QTest::newRow(nombre) << s << coherente;
    };
    fila("tal como se escribieron", {});
    fila("una línea cambia de importe", {"UPDATE DetAsientos SET Importe = 120.5 WHERE Asiento = 1 AND Detalle = 1"});
    fila("una línea cambia de cuenta", {"UPDATE DetAsientos SET Cuenta = 3 WHERE Asiento = 1 AND Detalle = 1"});
    fila("una línea queda sin cuenta", {"UPDATE DetAsientos SET Cuenta = NULL WHERE Asiento = 2 AND Detalle = 2"});
    fila("una línea en cero recibe importe", {"UPDATE DetAsientos SET Importe = 5 WHERE Asiento = 3 AND Detalle = 3"});
    fila("una línea pasa a otro asiento",
         {"UPDATE DetAsientos SET Asiento = 2, Detalle = 9 WHERE Asiento = 1 AND Detalle = 2"});
    fila("una línea se borra", {"DELETE FROM DetAsientos WHERE Asiento = 2 AND Detalle = 1"});
    fila("un asiento pasa a otro mes", {"UPDATE Asientos SET Fecha = '2024-03-01' WHERE Asiento = 2"});
    fila("un asiento pierde su fecha", {"UPDATE Asientos SET Fecha = NULL WHERE Asiento = 1"});
    fila("un asiento sin fecha la recibe", {"UPDATE Asientos SET Fecha = '2024-01-31' WHERE Asiento = 4"});
    fila("un asiento se borra con sus líneas", {"DELETE FROM Asientos WHERE Asiento = 2"});
    fila("un asiento se borra tras sus líneas",
         {"DELETE FROM DetAsientos WHERE Asiento = 3", "DELETE FROM Asientos WHERE Asiento = 3"});
    fila("un asiento cambia de número", {"UPDATE Asientos SET Asiento = 9 WHERE Asiento = 1"});
    fila("todos cambian de número a la vez", {"UPDATE Asientos SET Asiento = Asiento + 10"});
    fila("el escritor cambia fecha y líneas de un asiento", {"escritor"});
    fila("sumas escritas a mano", {"UPDATE SumasMensuales SET Debe = Debe + 1 WHERE Cuenta = 2"}, false);
}

void PruebaEscala::sumasMensuales() {
    QFETCH(QStringList, sentencias);
    QFETCH(bool, coherente);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    App().currentCompany = 1;
    App().currentYear = 1;
    // January, two entries at either end of February (one with a line of no amount), one undated.
    const struct {
        int asiento;
        const char* fecha;
        QList<std::pair<int, double>> lineas;
    } asientos[] = {{1, "2024-01-10", {{2, 100.10}, {7, -100.10}}},
                    {2, "2024-02-01", {{3, 50}, {5, -50}}},
                    {3, "2024-02-29", {{8, 0.01}, {2, -0.01}, {3, 0}}},
                    {4, nullptr, {{2, 7}, {7, -7}}}};
    for (const auto& a : asientos) {
        QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) VALUES (1, 1, ?, ?)",
                        {a.asiento, a.fecha ? QVariant(QString(a.fecha)) : QVariant(QMetaType::fromType<QString>())})
                    .ok);
        int detalle = 0;
        for (const auto& [cuenta, importe] : a.lineas)
            QVERIFY(Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                            "VALUES (1, 1, ?, ?, ?, ?)",
                            {a.asiento, ++detalle, cuenta, importe})
                        .ok);
    }
    for (const QString& s : sentencias) {
        if (s != "escritor") {
            QVERIFY2(Ejecuto(s).ok, qPrintable(UltimoError()));
            continue;
        }
        Escritura w;
        w.tipo = TipoCambio::Modificacion;
        w.guardado = w.numero = 2;
        w.fecha = QDate(2024, 4, 5);
        w.lineas = {{1, 8, Importe::DeCentavos(1234), {}, {}}, {2, 3, Importe::DeCentavos(-1234), {}, {}}};
        Transaccion t;
        const Escrito r = EscriboAsiento(ContextoActual(), w);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QVERIFY(t.Confirmo());
    }
    // The sums kept are those of the lines, and the check of the books tells when they are not.
    const QString guardadas = "SELECT EmpresaPropia, NumEjercicio, Mes, Cuenta, Debe, Haber, Debitos, Creditos FROM "
                              "SumasMensuales WHERE Debitos <> 0 OR Creditos <> 0 ORDER BY 1, 2, 3, 4";
    auto filas = [](const QString& sql) {
        QStringList r;
        QSqlQuery q = Consulto(sql);
        while (q.next()) {
            QStringList c;
            for (int i = 0; i < 8; ++i)
                c << (i == 2 ? FechaDeBase(q.value(i)).toString(Qt::ISODate) : QString::number(q.value(i).toLongLong()));
            r << c.join('|');
        }
        return r;
    };
    const QStringList deLineas = filas(MotorActual().dialecto.SumasDeLineas() + " ORDER BY 1, 2, 3, 4");
    QVERIFY(!deLineas.isEmpty());
    if (coherente) QCOMPARE(filas(guardadas), deLineas);
    bool hallada = false;
    for (const Mantenimiento::Incoherencia& i : Mantenimiento::RevisoCoherencia(Conexion()))
        hallada = hallada || i.clase.startsWith("sumas mensuales");
    QCOMPARE(hallada, !coherente);
    if (!coherente) return;
    // The balance of whole months, with days at either side or without, is the one of its lines.
    MaximosReporte m(PantallaBalance);
    m.Verifico(ContextoActual());
    for (const auto& [desde, hasta] : {std::pair{QDate(2024, 1, 1), QDate(2024, 12, 31)},
                                       std::pair{QDate(2024, 1, 10), QDate(2024, 2, 29)},
                                       std::pair{QDate(2024, 1, 11), QDate(2024, 3, 31)},
                                       std::pair{QDate(2024, 1, 25), QDate(2024, 3, 5)}}) {
        QVector<FilaBalance> meses, periodo;
        QString error;
        for (auto [lectura, destino] : {std::pair{LecturaLineas::Meses, &meses}, std::pair{LecturaLineas::Periodo, &periodo}})
            QVERIFY2(ArmoFilasBalance(ContextoActual(), m,
                                      ConsultaBalance(ContextoActual(), m.Profundidad(), m.AnchoMascara(), desde,
                                                      hasta, lectura),
                                      FiltroSaldos::Todos, destino, &error),
                     qPrintable(error));
        QCOMPARE(meses.size(), periodo.size());
        for (int i = 0; i < meses.size(); ++i) {
            QCOMPARE(meses[i].debe, periodo[i].debe);
            QCOMPARE(meses[i].haber, periodo[i].haber);
            QCOMPARE(meses[i].conSumas, periodo[i].conSumas);
        }
    }
}

void PruebaEscala::estadisticasAlAbrir_data() {
    QTest::addColumn<qint64>("filas");
    QTest::addColumn<bool>("renovadas");
    QTest::addRow("pocas filas: se reúnen de nuevo") << AlmacenMotor::FilasAlAbrir << true;
    QTest::addRow("demasiadas: se olvidan") << qint64(1000) << false;
}

void PruebaEscala::estadisticasAlAbrir() {
    QFETCH(qint64, filas);
    QFETCH(bool, renovadas);
    SOLO_ARCHIVO("el servidor reúne sus estadísticas de una muestra, y no deja olvidarlas");
    Entorno e;
    QVERIFY(e.CreoLibroConPeso(FechaMasDias("y.ComienzoEjercicio", "i % 365")));
    const QString lineas = "SELECT CAST(stat AS INTEGER) FROM sqlite_stat1 WHERE tbl='DetAsientos' AND "
                           "idx='idxDetAsientosCuenta'";
    auto anotadas = [&] {
        QSqlQuery q = Consulto(lineas);
        return q.next() ? q.value(0).toLongLong() : qint64(-1);
    };
    QSqlDatabase db = Conexion();
    // Figures as fresh as the book leave it alone.
    QCOMPARE(anotadas(), qint64(4800));
    QVERIFY(MotorActual().almacen.RenuevoEstadisticas(db, filas).isEmpty());
    QVERIFY(CrecoElLibro());
    const QStringList reunidas = MotorActual().almacen.RenuevoEstadisticas(db, filas);
    QCOMPARE(reunidas.contains("DetAsientos"), renovadas);
    QCOMPARE(reunidas.contains("Asientos"), renovadas);
    QCOMPARE(anotadas(), renovadas ? qint64(16800) : qint64(-1));
    // Gathered or forgotten, they are not looked at again until the book changes as much again.
    QVERIFY(MotorActual().almacen.RenuevoEstadisticas(db, filas).isEmpty());
}
