// Fiscal years headless, on a real SQLite database.
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Motor.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "fiscal/ChequeosEjercicio.h"
#include "fiscal/Ejercicios.h"
#include "tests/support/Entorno.h"
#include "tst_fiscal.h"

#include <QTest>

using namespace Ejercicios;

namespace {
QDate F(const char* texto) {
    return QDate::fromString(QLatin1String(texto), "dd/MM/yyyy");
}

bool Asiento(int empresa, int ejercicio, int asiento, const QDate& fecha, int cuenta = -1) {
    if (!Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) VALUES (?, ?, ?, ?)",
                 {empresa, ejercicio, asiento, FechaSql(fecha)})
             .ok)
        return false;
    return cuenta < 0 ||
           Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                   "VALUES (?, ?, ?, 1, ?, 10)",
                   {empresa, ejercicio, asiento, cuenta})
               .ok;
}

// The chart of a year as comparable text: account, code, name, parent, child number and flags,
// then the concept links.
QStringList Plan(int empresa, int ejercicio) {
    QStringList r;
    QSqlQuery q =
        Consulto("SELECT Cuenta, CodInt, Descripcion, CuentaPadre, NumHijo, CondDebito, CuentaResultado, "
                 "Ajustable FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=? ORDER BY Cuenta",
                 {empresa, ejercicio});
    while (q.next()) {
        QStringList c;
        for (int i = 0; i < 8; ++i)
            c << NuloAVacio(q.value(i));
        r << c.join('|');
    }
    q.finish();
    QSqlQuery k =
        Consulto("SELECT Cuenta, ConceptoDetAsiento, Debe FROM CuentasConceptos WHERE EmpresaPropia=? AND "
                 "NumEjercicio=? ORDER BY Cuenta, ConceptoDetAsiento, Debe",
                 {empresa, ejercicio});
    while (k.next())
        r << QString("c%1/%2/%3").arg(k.value(0).toInt()).arg(k.value(1).toInt()).arg(k.value(2).toInt());
    k.finish();
    return r;
}

// Source chart (company 1, year 1): the small chart with flags and concept links; target (company 2,
// year 1) holds a chart of its own.
bool PreparoPegado(Entorno& e) {
    bool ok = true;
    e.CreoEmpresaYEjercicio(1, 1);
    e.CreoPlanChico(1, 1);
    ok = ok &&
         Ejecuto(
             "UPDATE Cuentas SET Ajustable=-1 WHERE EmpresaPropia=1 AND NumEjercicio=1 AND Cuenta IN (2, 8)")
             .ok;
    ok = ok &&
         Ejecuto("INSERT INTO ConceptosDetAsiento (ConceptoDetAsiento, descConceptoDetAsiento) VALUES (1, "
                 "'Cobro'), "
                 "(2, 'Pago')")
             .ok;
    ok = ok &&
         Ejecuto(
             "INSERT INTO CuentasConceptos (EmpresaPropia, NumEjercicio, Cuenta, ConceptoDetAsiento, Debe) "
             "VALUES (1, 1, 2, 1, -1), (1, 1, 2, 2, 0), (1, 1, 5, 2, -1)")
             .ok;
    e.CreoEmpresaYEjercicio(2, 1, F("01/07/2024"), F("30/06/2025"));
    ok = ok && Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, "
                       "CuentaPadre, NumHijo) "
                       "VALUES (2, 1, 1, 'V', 'VIEJA', 0, 1), (2, 1, 2, 'VH', 'VIEJA HIJA', 1, 1), "
                       "(2, 1, 9, NULL, 'OTRA', 0, 2)")
                   .ok;
    ok = ok &&
         Ejecuto(
             "INSERT INTO CuentasConceptos (EmpresaPropia, NumEjercicio, Cuenta, ConceptoDetAsiento, Debe) "
             "VALUES (2, 1, 9, 1, 0)")
             .ok;
    return ok;
}
} // namespace

void PruebaEjercicios::periodosQueSeSuperponen_data() {
    QTest::addColumn<QDate>("desde");
    QTest::addColumn<QDate>("hasta");
    QTest::addColumn<QString>("mensaje"); // empty: accepted
    const QString super = "coincide parcialmente";
    QTest::newRow("sigue al otro") << F("01/01/2025") << F("31/12/2025") << QString();
    QTest::newRow("precede al otro") << F("01/01/2023") << F("31/12/2023") << QString();
    QTest::newRow("empieza el día que el otro termina") << F("31/12/2024") << F("30/12/2025") << super;
    QTest::newRow("termina el día que el otro empieza") << F("01/01/2023") << F("01/01/2024") << super;
    QTest::newRow("dentro del otro") << F("01/03/2024") << F("31/03/2024") << super;
    QTest::newRow("contiene al otro") << F("01/01/2023") << F("31/12/2025") << super;
    QTest::newRow("fecha inválida") << QDate() << F("31/12/2025") << "ingrese período correctamente";
    QTest::newRow("fechas invertidas")
        << F("31/12/2025") << F("01/01/2025") << "fecha inicial debe ser menor";
    QTest::newRow("un solo día") << F("01/01/2025") << F("01/01/2025") << "fecha inicial debe ser menor";
}

void PruebaEjercicios::periodosQueSeSuperponen() {
    QFETCH(QDate, desde);
    QFETCH(QDate, hasta);
    QFETCH(QString, mensaje);
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    // Another company's years never collide with this one's.
    e.CreoEmpresaYEjercicio(2, 1, F("01/01/2025"), F("31/12/2025"));
    const Veredicto v = GraboEjercicio(ContextoActual(), 1, -1, desde, hasta, -1);
    QCOMPARE(v.ok, mensaje.isEmpty());
    const int anos = int(NumeroOCero(ValorCampo("Ejercicios", "Count(*)", "EmpresaPropia=1")));
    if (mensaje.isEmpty()) {
        QCOMPARE(v.ejercicio, 2);
        QCOMPARE(anos, 2);
    } else {
        QVERIFY2(v.mensaje.startsWith("Atención no se puede grabar el registro, "), qPrintable(v.mensaje));
        QVERIFY2(v.mensaje.contains(mensaje), qPrintable(v.mensaje));
        QVERIFY(!v.deMotor);
        QCOMPARE(anos, 1);
    }
}

void PruebaEjercicios::mensajeNombraElOtroPeriodo() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    const Veredicto v = VerificoPeriodo(1, -1, F("31/12/2024"), F("30/12/2025"));
    QCOMPARE(v.mensaje,
             QString("Atención no se puede grabar el registro, el periódo que intenta grabar coincide "
                     "parcialmente con el período anterior: 01/01/24-31/12/24. Corrija el error"));
    // The year itself is no obstacle to editing its own period.
    QVERIFY(VerificoPeriodo(1, 1, F("01/02/2024"), F("30/11/2024")).ok);
}

void PruebaEjercicios::acortarDejandoAsientosAfuera_data() {
    QTest::addColumn<QDate>("desde");
    QTest::addColumn<QDate>("hasta");
    QTest::addColumn<bool>("acepta");
    QTest::newRow("alargar") << F("01/01/2024") << F("31/03/2025") << true;
    QTest::newRow("acortar sin dejar asientos afuera") << F("01/01/2024") << F("15/06/2024") << true;
    QTest::newRow("el último asiento queda afuera") << F("01/01/2024") << F("14/06/2024") << false;
    QTest::newRow("el primer asiento queda afuera") << F("11/02/2024") << F("31/12/2024") << false;
    QTest::newRow("alargar sobre el año siguiente") << F("01/01/2024") << F("01/01/2026") << false;
}

void PruebaEjercicios::acortarDejandoAsientosAfuera() {
    QFETCH(QDate, desde);
    QFETCH(QDate, hasta);
    QFETCH(bool, acepta);
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    e.CreoEmpresaYEjercicio(1, 2, F("01/01/2026"), F("31/12/2026"));
    QVERIFY(Asiento(1, 1, 1, F("10/02/2024")));
    QVERIFY(Asiento(1, 1, 2, F("15/06/2024")));
    const Veredicto v = GraboEjercicio(ContextoActual(), 1, 1, desde, hasta, -1);
    QCOMPARE(v.ok, acepta);
    const QString fin =
        FechaATexto(ValorCampo("Ejercicios", "FinEjercicio", "EmpresaPropia=1 AND NumEjercicio=1").value());
    QCOMPARE(fin, acepta ? FechaATexto(hasta) : QString("31/12/2024"));
    if (!acepta && hasta < F("01/01/2026"))
        QCOMPARE(v.mensaje,
                 QString("Atención no se puede grabar el registro, en la nueva restricción del período "
                         "indicado, está intentando dejar afuera Asientos que ya habían sido generados"));
}

void PruebaEjercicios::numeracionPorEmpresa() {
    Entorno e;
    Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (1, 'A'), (2, 'B')");
    QCOMPARE(ProximoEjercicio(1), 1);
    QCOMPARE(GraboEjercicio(ContextoActual(), 1, -1, F("01/01/2023"), F("31/12/2023"), -1).ejercicio, 1);
    QCOMPARE(GraboEjercicio(ContextoActual(), 1, -1, F("01/01/2024"), F("31/12/2024"), -1).ejercicio, 2);
    QCOMPARE(GraboEjercicio(ContextoActual(), 1, -1, F("01/01/2025"), F("31/12/2025"), -1).ejercicio, 3);
    // Each company numbers its own years from 1.
    QCOMPARE(GraboEjercicio(ContextoActual(), 2, -1, F("01/01/2024"), F("31/12/2024"), -1).ejercicio, 1);
    // Deleting the highest year gives its number again; a gap below the highest is not reused.
    QVERIFY(BorroEjercicio(ContextoActual(), 1, 3).ok);
    QCOMPARE(GraboEjercicio(ContextoActual(), 1, -1, F("01/01/2026"), F("31/12/2026"), -1).ejercicio, 3);
    QVERIFY(BorroEjercicio(ContextoActual(), 1, 2).ok);
    QCOMPARE(GraboEjercicio(ContextoActual(), 1, -1, F("01/01/2024"), F("31/12/2024"), -1).ejercicio, 4);
}

void PruebaEjercicios::nuevoEjercicioConCuentaRaiz() {
    Entorno e;
    Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (1, 'A')");
    Ejecuto("INSERT INTO TablasAjusteInflacion (TablaAjusteInflacion, descTablaAjusteInflacion) VALUES (5, "
            "'IPC')");
    const Veredicto v = GraboEjercicio(ContextoActual(), 1, -1, F("01/07/2024"), F("30/06/2025"), 5);
    QVERIFY(v.ok);
    QCOMPARE(Plan(1, v.ejercicio), QStringList{"0|||0|0|0|0|0"});
    QCOMPARE(ValorCampo("Ejercicios", "TablaAjusteInflacion", "EmpresaPropia=1 AND NumEjercicio=1")->toInt(),
             5);
    QCOMPARE(ValorCampo("Ejercicios", "ComienzoEjercicio", "EmpresaPropia=1 AND NumEjercicio=1")->toString(),
             QString("2024-07-01"));
    // Taking the index table away stores Null.
    QVERIFY(GraboEjercicio(ContextoActual(), 1, 1, F("01/07/2024"), F("30/06/2025"), -1).ok);
    QVERIFY(ValorCampo("Ejercicios", "TablaAjusteInflacion", "EmpresaPropia=1 AND NumEjercicio=1")->isNull());
    // A year refused by the database leaves no row behind: an unknown index table.
    const Veredicto malo = GraboEjercicio(ContextoActual(), 1, -1, F("01/07/2025"), F("30/06/2026"), 99);
    QVERIFY(!malo.ok);
    QVERIFY(malo.deMotor);
    QVERIFY(malo.mensaje.startsWith("Atención no se puede grabar el registro, "));
    QCOMPARE(NumeroOCero(ValorCampo("Ejercicios", "Count(*)", "1=1")), 1.0);
    QCOMPARE(NumeroOCero(ValorCampo("Cuentas", "Count(*)", "1=1")), 1.0);
}

void PruebaEjercicios::borrarSoloEjercicioVacio() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    e.CreoPlanChico(1, 1);
    e.CreoEmpresaYEjercicio(1, 2, F("01/01/2025"), F("31/12/2025"));
    const Veredicto v = BorroEjercicio(ContextoActual(), 1, 1);
    QVERIFY(!v.ok);
    QVERIFY2(v.mensaje.startsWith("No se pudo eliminar el registro; "), qPrintable(v.mensaje));
    QVERIFY(v.mensaje.size() > QString("No se pudo eliminar el registro; ").size());
    QCOMPARE(Plan(1, 1).size(), 9);
    QVERIFY(BorroEjercicio(ContextoActual(), 1, 2).ok);
    QVERIFY(!ValorCampo("Ejercicios", "NumEjercicio", "EmpresaPropia=1 AND NumEjercicio=2"));
    QVERIFY(Plan(1, 2).isEmpty());
}

void PruebaEjercicios::borrarConAsientosNoTocaNada() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    QVERIFY(Asiento(1, 1, 1, F("10/02/2024")));
    // The chart is only the root, which goes first; the entry then refuses the year's deletion and
    // the root comes back with the rollback.
    QVERIFY(!BorroEjercicio(ContextoActual(), 1, 1).ok);
    QCOMPARE(Plan(1, 1), QStringList{"0||Plan de Cuentas|0|0|0|0|0"});
    QVERIFY(ValorCampo("Ejercicios", "NumEjercicio", "EmpresaPropia=1 AND NumEjercicio=1"));
}

void PruebaEjercicios::pegoCopiaJerarquiaMarcasYConceptos() {
    Entorno e;
    QVERIFY(PreparoPegado(e));
    App().currentSession = NuevaSesion();
    RegistroPantalla(ContextoActual().En(2, 1), PantallaCuentas);
    RegistroPantalla(ContextoActual().En(1, 1), PantallaCuentas);
    const QStringList origen = Plan(1, 1);
    const Veredicto v = PegoPlan(ContextoActual(), 1, 1, 2, 1);
    QVERIFY2(v.ok, qPrintable(v.mensaje));
    QCOMPARE(v.mensaje, QString("Pegado de Plan de cuentas exitoso"));
    QCOMPARE(Plan(2, 1), origen);
    QCOMPARE(Plan(1, 1), origen);
    QVERIFY(origen.contains("2|CAJA|CAJA|1|1|-1|0|-1"));
    QVERIFY(origen.contains("c2/1/-1"));
    // The target's screens reload their widths; the source's registration is untouched.
    QVERIFY(!PantallaRegistrada(ContextoActual().En(2, 1), PantallaCuentas));
    QVERIFY(PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas));
    // The parent relation is in force after the paste.
    QVERIFY(
        !Ejecuto(
             "INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, Descripcion, CuentaPadre, NumHijo) "
             "VALUES (2, 1, 50, 'HUERFANA', 49, 1)")
             .ok);
}

void PruebaEjercicios::pegoSobreEjercicioConAsientosSeRechaza() {
    Entorno e;
    QVERIFY(PreparoPegado(e));
    QVERIFY(Asiento(2, 1, 1, F("01/08/2024"), 9));
    const QStringList antes = Plan(2, 1);
    const Veredicto v = PegoPlan(ContextoActual(), 1, 1, 2, 1);
    QVERIFY(!v.ok);
    QVERIFY2(v.mensaje.startsWith("No se ha podido terminar la operación, "), qPrintable(v.mensaje));
    QCOMPARE(Plan(2, 1), antes);
}

void PruebaEjercicios::pegoQueFallaDejaElPlanViejo_data() {
    QTest::addColumn<QString>("sabotaje");
    // A statement refused while the copy is being written.
    QTest::newRow("inserción rechazada a mitad de la copia")
        << DisparadorQueFalla("falla", "Cuentas", "NEW.EmpresaPropia=2 AND NEW.Descripcion='VENTAS'");
    // A source row whose parent does not exist: the parent relation refuses at commit.
    QTest::newRow("fila de origen sin padre")
        << "INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, "
           "Descripcion, CuentaPadre, NumHijo) VALUES (1, 1, 20, 'SIN PADRE', 77, 1)";
    // A concept link of the source pointing at a missing concept.
    QTest::newRow("concepto inexistente")
        << "INSERT INTO CuentasConceptos (EmpresaPropia, NumEjercicio, Cuenta, "
           "ConceptoDetAsiento, Debe) VALUES (1, 1, 3, 99, 0)";
}

void PruebaEjercicios::pegoQueFallaDejaElPlanViejo() {
    QFETCH(QString, sabotaje);
    Entorno e;
    QVERIFY(PreparoPegado(e));
    App().currentSession = NuevaSesion();
    RegistroPantalla(ContextoActual().En(2, 1), PantallaCuentas);
    QSqlDatabase db = Conexion();
    MotorActual().almacen.ClavesForaneas(db, false);
    QVERIFY2(Ejecuto(sabotaje).ok, qPrintable(UltimoError()));
    MotorActual().almacen.ClavesForaneas(db, true);
    const QStringList antes = Plan(2, 1);
    const Veredicto v = PegoPlan(ContextoActual(), 1, 1, 2, 1);
    QVERIFY(!v.ok);
    QVERIFY2(v.mensaje.startsWith("No se ha podido terminar la operación, "), qPrintable(v.mensaje));
    QCOMPARE(Plan(2, 1), antes);
    // Nothing changed, so the screens keep their widths.
    QVERIFY(PantallaRegistrada(ContextoActual().En(2, 1), PantallaCuentas));
    // No transaction was left open.
    QVERIFY(Ejecuto("BEGIN").ok);
    Ejecuto("ROLLBACK");
}

void PruebaEjercicios::pegoSobreSiMismoNoPierdeNada() {
    Entorno e;
    QVERIFY(PreparoPegado(e));
    const QStringList antes = Plan(1, 1);
    QVERIFY(PegoPlan(ContextoActual(), 1, 1, 1, 1).ok);
    QCOMPARE(Plan(1, 1), antes);
    // A source year deleted since it was copied is refused; the target keeps its chart.
    const QStringList destino = Plan(2, 1);
    const Veredicto v = PegoPlan(ContextoActual(), 1, 7, 2, 1);
    QVERIFY(!v.ok);
    QCOMPARE(Plan(2, 1), destino);
}

// Closing and opening checks of a year. Company 1 has years 3 (2022), 1 (2023) and 2 (2024); company 2
// has years 1 (2023) and 2 (2024). Entries are "company:year:entry:kind", the kind empty for Null.
void PruebaEjercicios::chequeosCierreYApertura_data() {
    QTest::addColumn<QStringList>("asientos");
    QTest::addColumn<int>("ejercicio");
    QTest::addColumn<QString>("cierre");
    QTest::addColumn<QString>("apertura");
    const QString sinCierre =
        "No se puede generar asiento apertura, NO existe cierre patrimonial en ejercicio anterior";
    const QString yaCerrado = "No se puede cerrar ejercicio, ya existe asiento de cierre ";
    const QString yaAbierto = "No se puede generar asiento apertura, ya existe con el número ";
    QTest::newRow("sin asientos") << QStringList() << 2 << QString() << sinCierre;
    QTest::newRow("ordinarios no cuentan") << QStringList{"1:2:3:", "1:1:4:"} << 2 << QString() << sinCierre;
    QTest::newRow("nombra el cierre de menor Especial")
        << QStringList{"1:2:5:2", "1:2:9:1", "1:2:3:"} << 2 << yaCerrado + "9" << sinCierre;
    QTest::newRow("cierre patrimonial solo") << QStringList{"1:2:6:2"} << 2 << yaCerrado + "6" << sinCierre;
    QTest::newRow("cierre del año anterior abre") << QStringList{"1:1:7:2"} << 2 << QString() << QString();
    QTest::newRow("cierre de resultados no abre") << QStringList{"1:1:7:1"} << 2 << QString() << sinCierre;
    QTest::newRow("solo el último año anterior cuenta")
        << QStringList{"1:3:4:2", "1:1:8:1"} << 2 << QString() << sinCierre;
    QTest::newRow("apertura existente nombra su número")
        << QStringList{"1:1:7:2", "1:2:12:3"} << 2 << QString() << yaAbierto + "12";
    QTest::newRow("apertura de otro año no cuenta")
        << QStringList{"1:1:7:2", "1:1:12:3"} << 2 << QString() << QString();
    QTest::newRow("primer ejercicio de la empresa") << QStringList{"1:1:7:2"} << 3 << QString() << sinCierre;
    QTest::newRow("otra empresa no cuenta")
        << QStringList{"2:2:5:1", "2:1:7:2", "2:2:8:3"} << 2 << QString() << sinCierre;
}

void PruebaEjercicios::chequeosCierreYApertura() {
    QFETCH(QStringList, asientos);
    QFETCH(int, ejercicio);
    QFETCH(QString, cierre);
    QFETCH(QString, apertura);
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 3, F("01/01/2022"), F("31/12/2022"));
    e.CreoEmpresaYEjercicio(1, 1, F("01/01/2023"), F("31/12/2023"));
    e.CreoEmpresaYEjercicio(1, 2, F("01/01/2024"), F("31/12/2024"));
    e.CreoEmpresaYEjercicio(2, 1, F("01/01/2023"), F("31/12/2023"));
    e.CreoEmpresaYEjercicio(2, 2, F("01/01/2024"), F("31/12/2024"));
    for (const QString& a : asientos) {
        const QStringList p = a.split(':');
        QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Especial) "
                        "VALUES (?, ?, ?, '2024-01-01', ?)",
                        {p[0].toInt(), p[1].toInt(), p[2].toInt(),
                         p[3].isEmpty() ? QVariant() : QVariant(p[3].toInt())})
                    .ok);
    }
    const Chequeo c = ChequeoCierre(1, ejercicio);
    QCOMPARE(c.ok, cierre.isEmpty());
    QCOMPARE(c.mensaje, cierre);
    const Chequeo a = ChequeoApertura(1, ejercicio);
    QCOMPARE(a.ok, apertura.isEmpty());
    QCOMPARE(a.mensaje, apertura);
}
