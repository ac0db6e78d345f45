// Closed years and the entry history, through the closing, the opening and the journal's operations.
#include "core/AppState.h"
#include "tst_historial.h"
#include "core/Basedatos.h"
#include "core/Valores.h"
#include "fiscal/Cierre.h"
#include "fiscal/Ejercicios.h"
#include "journal/Asiento.h"
#include "journal/Historial.h"
#include "tests/support/Entorno.h"

#include <QSqlRecord>
#include <QTest>

namespace {
const Contexto Anio1{1, 1, 1, 5, QString()};

AsientoEditado Editado(const QString& fecha, const QString& debe, int cuentaDebe = 2) {
    AsientoEditado e;
    e.fecha = fecha;
    e.concepto = "Venta";
    e.lineas = {LineaEditada{QString::number(cuentaDebe), QString(), "D", debe, QString(), QString(), QString()},
                LineaEditada{"7", QString(), "VENTAS", QString(), debe, QString(), QString()}};
    return e;
}

// Every row of the entries and their lines, to tell that nothing changed.
QStringList Libro() {
    QStringList r;
    QSqlQuery q = Consulto("SELECT * FROM Asientos LEFT JOIN DetAsientos USING (EmpresaPropia, NumEjercicio, "
                           "Asiento) ORDER BY 1, 2, 3, Detalle");
    while (q.next()) {
        QStringList c;
        for (int i = 0; i < q.record().count(); ++i)
            c << NuloAVacio(q.value(i));
        r << c.join('|');
    }
    return r;
}

// Year 1 (2024) with two entries, closed to account 9; year 2 (2025) with the same chart.
int LibroCerrado(Entorno& e) {
    e.CreoEmpresaYEjercicio(1, 1, QDate(2024, 1, 1), QDate(2024, 12, 31));
    e.CreoPlanChico();
    if (!AgregoCuenta(9, 4, 2, "RESULTADOS ACUMULADOS")) return 0;
    if (!GuardoAsiento(Anio1, Editado("05/03/2024", "100")).ok) return 0;
    if (!GuardoAsiento(Anio1, Editado("06/03/2024", "40", 3)).ok) return 0;
    if (!GeneroCierre(Anio1, "R", "P", 9).ok) return 0;
    const Ejercicios::Veredicto v = Ejercicios::GraboEjercicio(ContextoActual(), 1, -1, QDate(2025, 1, 1), QDate(2025, 12, 31), -1);
    if (!v.ok || !Ejercicios::PegoPlan(ContextoActual(), 1, 1, 1, v.ejercicio).ok) return 0;
    return v.ejercicio;
}
} // namespace

void PruebaHistorial::ejercicioCerrado() {
    Entorno e;
    const int siguiente = LibroCerrado(e);
    QVERIFY(siguiente > 1);
    const QString cerrado = "el ejercicio está cerrado: tiene los asientos de cierre 3 y 4. No se pueden "
                            "agregar, modificar ni eliminar sus asientos; para reabrirlo, elimine esos "
                            "asientos de cierre";
    const QStringList antes = Libro();

    // Added, changed, deleted: every path refuses, nothing changes.
    ResultadoAsiento r = GuardoAsiento(Anio1, Editado("07/03/2024", "5"));
    QVERIFY(!r.ok && r.cerrado);
    QCOMPARE(r.mensaje, PrefijoGrabar + cerrado);
    AsientoEditado cambio = Editado("05/03/2024", "1");
    cambio.adding = false;
    cambio.guardado = 1;
    cambio.numero = "1";
    cambio.huella = HuellaAsiento(Anio1, 1);
    r = GuardoAsiento(Anio1, cambio);
    QVERIFY(!r.ok && r.cerrado);
    QCOMPARE(BorroAsiento(Anio1, 2), "No se pudo eliminar el asiento; " + cerrado);
    Escritura directa;
    directa.fecha = QDate(2024, 5, 1);
    directa.lineas = {{1, 2, Importe::DeUnidades(1), {}, {}}, {2, 7, Importe::DeUnidades(-1), {}, {}}};
    QVERIFY(EscriboAsiento(Anio1, directa).cerrado);
    QCOMPARE(Libro(), antes);

    // The opening of the next year stands on the closing: the closing cannot go while it is there.
    const Contexto anio2 = Anio1.conEjercicio(siguiente);
    const Generacion a = GeneroApertura(anio2, "A");
    QVERIFY2(a.ok, qPrintable(a.mensaje));
    const QString conApertura = BorroAsiento(Anio1, 4);
    QCOMPARE(conApertura, QString("No se pudo eliminar el asiento; el ejercicio siguiente (%1) tiene el asiento "
                                  "de apertura %2, hecho a partir de este cierre: elimine primero esa apertura y "
                                  "luego los asientos de cierre")
                              .arg(siguiente)
                              .arg(a.apertura));
    QCOMPARE(BorroAsiento(Anio1, 3).isEmpty(), false);

    // Without the opening the closing goes, one entry after the other, and the year opens again.
    QCOMPARE(BorroAsiento(anio2, a.apertura), QString());
    QCOMPARE(BorroAsiento(Anio1, 4), QString());
    r = GuardoAsiento(Anio1, Editado("07/03/2024", "5"));
    QCOMPARE(r.mensaje, PrefijoGrabar + "el ejercicio está cerrado: tiene el asiento de cierre 3. No se pueden "
                                        "agregar, modificar ni eliminar sus asientos; para reabrirlo, elimine ese "
                                        "asiento de cierre");
    QCOMPARE(BorroAsiento(Anio1, 3), QString());
    r = GuardoAsiento(Anio1, Editado("07/03/2024", "5"));
    QVERIFY2(r.ok, qPrintable(r.mensaje));
    QCOMPARE(r.asiento, 3);

    // An opening into a year that is closed itself is refused as well.
    QVERIFY(GeneroCierre(Anio1, "R", "P", 9).ok);
    QVERIFY(GuardoAsiento(anio2, Editado("02/01/2025", "10")).ok);
    QVERIFY(GeneroCierre(anio2, "R2", "P2", 9).ok);
    const Generacion tarde = GeneroApertura(anio2, "A");
    QVERIFY(!tarde.ok);
    QVERIFY2(tarde.mensaje.contains("el ejercicio está cerrado"), qPrintable(tarde.mensaje));
}

// Each write leaves one record: kind, entry, the entry before and after as stored, who and where.
void PruebaHistorial::registros() {
    Entorno e;
    const int siguiente = LibroCerrado(e);
    QVERIFY(siguiente > 1);
    const Contexto anio2{1, siguiente, 1, 6, QString()};
    QVERIFY(GeneroApertura(anio2, "A").ok);
    QVERIFY(GuardoAsiento(anio2, Editado("02/01/2025", "10")).ok);
    const QString segundo = EstadoAsiento(anio2, 2);
    AsientoEditado cambio = Editado("03/01/2025", "12,50");
    cambio.adding = false;
    cambio.guardado = 2;
    cambio.numero = "7"; // renumbered
    cambio.huella = HuellaAsiento(anio2, 2);
    QVERIFY(GuardoAsiento(anio2, cambio).ok);
    const QString septimo = EstadoAsiento(anio2, 7);
    // Refused writes leave nothing.
    AsientoEditado desbalanceado = Editado("04/01/2025", "3");
    desbalanceado.lineas[1].haber = "2";
    QVERIFY(!GuardoAsiento(anio2, desbalanceado).ok);
    QCOMPARE(BorroAsiento(anio2, 7), QString());

    // kind:company:year:entry:number before:user:session:has before:has after
    QStringList esperado{"1:1:1:1::1:5:0:1",   "1:1:1:2::1:5:0:1",    "4:1:1:3::1:5:0:1",
                         "4:1:1:4::1:5:0:1",   "5:1:2:1::1:6:0:1",    "1:1:2:2::1:6:0:1",
                         "2:1:2:7:2:1:6:1:1", "3:1:2:7:7:1:6:1:0"};
    QStringList hallado;
    QSqlQuery q = Consulto("SELECT Tipo, EmpresaPropia, NumEjercicio, Asiento, AsientoAnterior, Usuario, Sesion, "
                           "Antes IS NOT NULL, Despues IS NOT NULL, Antes, Despues, Estacion, Momento "
                           "FROM HistorialAsientos ORDER BY Registro");
    QStringList antes, despues;
    while (q.next()) {
        QStringList c;
        for (int i = 0; i < 9; ++i)
            c << NuloAVacio(q.value(i)).replace("true", "1").replace("false", "0");
        hallado << c.join(':');
        antes << NuloAVacio(q.value(9));
        despues << NuloAVacio(q.value(10));
        QVERIFY(!NuloAVacio(q.value(11)).isEmpty());
        QVERIFY(QDateTime::fromString(q.value(12).toString(), Qt::ISODateWithMs).isValid());
    }
    QCOMPARE(hallado, esperado);
    // The change holds the entry as it was and as it became; the delete what it deleted.
    QCOMPARE(antes[6], segundo);
    QCOMPARE(despues[6], septimo);
    QCOMPARE(despues[5], segundo);
    QCOMPARE(antes[7], septimo);
    QCOMPARE(TotalDebe(septimo), Importe::DeCentavos(1250));
    QCOMPARE(ResumenEstado(septimo), QString("N.º 7, 03/01/2025, Venta; 2 líneas, Debe $12,50"));
    // The history of one entry follows it through its renumbering.
    QCOMPARE(HistorialDeAsiento(anio2, 2).size(), 2);
    QCOMPARE(HistorialDeAsiento(anio2, 7).size(), 2);
    QCOMPARE(HistorialDePeriodo(1, QDate::currentDate(), QDate::currentDate()).size(), 8);
    QCOMPARE(HistorialDePeriodo(0, QDate::currentDate().addDays(1), QDate::currentDate().addDays(2)).size(), 0);
    QCOMPARE(HistorialDePeriodo(2, QDate::currentDate(), QDate::currentDate()).size(), 0);
    QVERIFY(VerificoHistorial().entero);
}

void PruebaHistorial::verificacion_data() {
    QTest::addColumn<QString>("cambio");
    QTest::addColumn<qint64>("roto");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("entero") << QString() << qint64(0) << "completo: 4 registros";
    QTest::newRow("contenido alterado") << "UPDATE HistorialAsientos SET Despues=replace(Despues, 'Venta', 'Compra') "
                                           "WHERE Registro=2"
                                        << qint64(2) << "fue alterado";
    QTest::newRow("usuario alterado")
        << "UPDATE HistorialAsientos SET Usuario=2 WHERE Registro=3" << qint64(3) << "fue alterado";
    QTest::newRow("registro eliminado")
        << "DELETE FROM HistorialAsientos WHERE Registro=2" << qint64(2) << "falta (fue eliminado)";
    QTest::newRow("primero eliminado")
        << "DELETE FROM HistorialAsientos WHERE Registro=1" << qint64(1) << "falta (fue eliminado)";
    QTest::newRow("hash reescrito")
        << "UPDATE HistorialAsientos SET Hash=HashAnterior WHERE Registro=2" << qint64(2) << "fue alterado";
    QTest::newRow("encadenado a otro")
        << "UPDATE HistorialAsientos SET HashAnterior=Hash WHERE Registro=4" << qint64(4) << "no se encadena";
    // What the chain alone cannot show: its last record removed, an entry changed around the program.
    QTest::newRow("último eliminado: el borrado")
        << "DELETE FROM HistorialAsientos WHERE Registro=4" << qint64(1) << "asiento 1 del ejercicio 1 que este";
    QTest::newRow("asiento cambiado por fuera")
        << "UPDATE DetAsientos SET Importe=Importe*2 WHERE Asiento=3" << qint64(3) << "asiento 3 del ejercicio 1 no está";
    QTest::newRow("asiento eliminado por fuera")
        << "DELETE FROM Asientos WHERE Asiento=2" << qint64(2) << "asiento 2 del ejercicio 1 que este";
}

void PruebaHistorial::verificacion() {
    QFETCH(QString, cambio);
    QFETCH(qint64, roto);
    QFETCH(QString, motivo);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    for (const char* debe : {"100", "200", "300"})
        QVERIFY(GuardoAsiento(Anio1, Editado("05/03/2024", debe)).ok);
    QCOMPARE(BorroAsiento(Anio1, 1), QString());
    if (!cambio.isEmpty()) QVERIFY(Ejecuto(cambio).ok);
    const VerificacionHistorial v = VerificoHistorial();
    QCOMPARE(v.entero, roto == 0);
    QCOMPARE(v.roto, roto);
    QVERIFY2(v.mensaje.contains(motivo), qPrintable(v.mensaje));
    if (roto) QVERIFY(v.mensaje.startsWith(QString("El historial de asientos está roto en el registro %1:").arg(roto)));
}
