#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Motor.h"
#include "core/Valores.h"
#include "core/ui/Mensaje.h"
#include "journal/Asiento.h"
#include "journal/LineasAsiento.h"
#include "tests/support/Entorno.h"
#include "tst_diario.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {
// Lines written "cuenta|descripción|debe|haber|concepto|fecha de ajuste", separated by ";".
QList<LineaEditada> Lineas(const QString& texto) {
    QList<LineaEditada> r;
    for (const QString& l : texto.split(';', Qt::SkipEmptyParts)) {
        const QStringList c = (l + "|||||").split('|');
        r << LineaEditada{c[0], QString(), c[1], c[2], c[3], c[4], c[5]};
    }
    return r;
}

AsientoEditado Nuevo(const QString& fecha, const QString& lineas, const QString& numero = QString()) {
    AsientoEditado e;
    e.fecha = fecha;
    e.numero = numero;
    e.concepto = "Venta";
    e.lineas = Lineas(lineas);
    return e;
}

// The stored lines of an entry: "detalle:cuenta:centavos:concepto:fecha" ("~" for Null).
QString Guardadas(int asiento) {
    QSqlQuery q = Consulto("SELECT Detalle, Cuenta, Importe, Concepto, FechaAjuste FROM DetAsientos WHERE "
                           "EmpresaPropia=1 AND NumEjercicio=1 AND Asiento=? ORDER BY Detalle",
                           {asiento});
    QStringList r;
    auto t = [](const QVariant& v) { return v.isNull() ? QString("~") : v.toString(); };
    while (q.next())
        r << QString("%1:%2:%3:%4:%5")
                 .arg(q.value(0).toInt())
                 .arg(q.value(1).toInt())
                 .arg(Importe::DeBase(q.value(2)).centavos())
                 .arg(t(q.value(3)), t(q.value(4)));
    return r.join(';');
}

int Cuenta(const QString& tabla) {
    return int(NumeroOCero(ValorCampo(tabla, "COUNT(*)", "1=1")));
}

const QString Balanceado = "2|CAJA|100||;7|VENTAS||100|";
} // namespace

void PruebaAsiento::init() {
    MensajePrueba::Limpio();
}

void PruebaAsiento::reglas_data() {
    QTest::addColumn<QString>("fecha");
    QTest::addColumn<QString>("numero");
    QTest::addColumn<QString>("lineas");
    QTest::addColumn<QString>("mensaje");  // empty: stored
    QTest::addColumn<QString>("guardado"); // lines stored as entry 2 when it succeeds
    const QString p = PrefijoGrabar;
    QTest::newRow("balanceado, ajuste vacío es Null") << "10/03/2024"
                                                      << ""
                                                      << "2|CAJA|100||Cobro|10/03/2024;7|VENTAS||100||"
                                                      << ""
                                                      << "1:2:10000:Cobro:2024-03-10;2:7:-10000:~:~";
    QTest::newRow("centavos exactos") << "10/03/2024"
                                      << ""
                                      << "2|CAJA|0.10||;3|BANCOS|0.20||;7|VENTAS||0.30|"
                                      << ""
                                      << "1:2:10:~:~;2:3:20:~:~;3:7:-30:~:~";
    QTest::newRow("un centavo de más en el Debe")
        << "10/03/2024"
        << ""
        << "2|CAJA|100||;7|VENTAS||99.99|" << p + "Sobran $.01 en el Debe, por favor corrija la diferencia"
        << "";
    QTest::newRow("de más en el Haber")
        << "10/03/2024"
        << ""
        << "2|CAJA|10||;7|VENTAS||15|" << p + "Sobran $5.00 en el Haber, por favor corrija la diferencia"
        << "";
    QTest::newRow("cuenta no imputable")
        << "10/03/2024"
        << ""
        << "1|ACTIVO|100||;7|VENTAS||100|" << p + "La cuenta ACTIVO no es Imputable"
        << "";
    QTest::newRow("ajuste posterior")
        << "10/03/2024"
        << ""
        << "2|CAJA|100|||15/03/2024;7|VENTAS||100|"
        << p + "La fecha de ajuste: 15/03/24 ingresada no puede ser superior que la fecha del asiento"
        << "";
    QTest::newRow("fecha fuera del ejercicio")
        << "01/01/2025"
        << "" << Balanceado << "La fecha del asiento no está dentro del periódo del ejercicio actual"
        << "";
    QTest::newRow("fecha que no es fecha")
        << "31/02/2024"
        << "" << Balanceado << "La fecha del asiento \"31/02/2024\" no es una fecha válida (dd/mm/aaaa)"
        << "";
    QTest::newRow("importe con letras") << "10/03/2024"
                                        << ""
                                        << "2|CAJA|100||;7|VENTAS||1O0|"
                                        << "Fila 2, columna Haber: \"1O0\" no es un importe válido"
                                        << "";
    QTest::newRow("tres decimales")
        << "10/03/2024"
        << ""
        << "2|CAJA|1.234||;7|VENTAS||1.234|"
        << "Fila 1, columna Debe: \"1.234\": un importe admite a lo sumo dos decimales"
        << "";
    QTest::newRow("catorce enteros")
        << "10/03/2024"
        << ""
        << "2|CAJA|12345678901234||"
        << "Fila 1, columna Debe: \"12345678901234\": un importe admite a lo sumo 13 dígitos enteros"
        << "";
    QTest::newRow("ajuste que no es fecha")
        << "10/03/2024"
        << ""
        << "2|CAJA|100||;7|VENTAS||100||32/01/2024"
        << "Fila 2, columna Fecha Ajuste: \"32/01/2024\" no es una fecha válida (dd/mm/aaaa)"
        << "";
    QTest::newRow("número con letras")
        << "10/03/2024"
        << "x1" << Balanceado
        << "El número de asiento \"x1\" no es válido: debe ser un número entero "
           "mayor que cero, o quedar vacío para numerarlo al grabar"
        << "";
    QTest::newRow("número que ya existe") << "10/03/2024"
                                          << "1" << Balanceado << p + "ya existe el asiento número 1"
                                          << "";
    // Empty rows (an account left unresolved and then cleared among them) are skipped and the lines
    // below them kept, numbered one after another; a row with anything typed but no account is refused.
    QTest::newRow("filas vacías salteadas")
        << "10/03/2024"
        << ""
        << "|||;2|CAJA|100||;7|VENTAS||100|;|||;-1|||;3|BANCOS|50||;7|VENTAS||50|"
        << ""
        << "1:2:10000:~:~;2:7:-10000:~:~;3:3:5000:~:~;4:7:-5000:~:~";
    QTest::newRow("importe sin cuenta") << "10/03/2024"
                                        << "" << Balanceado + ";|||;||50||"
                                        << "Fila 4: tiene importe pero ninguna cuenta; indique la cuenta "
                                           "de la línea o vacíe la fila"
                                        << "";
    QTest::newRow("importe y concepto sin cuenta") << "10/03/2024"
                                                   << ""
                                                   << "2|CAJA|100||;||5||Cobro|10/03/2024;7|VENTAS||100|"
                                                   << "Fila 2: tiene importe y concepto pero ninguna cuenta; "
                                                      "indique la cuenta de la línea o vacíe la fila"
                                                   << "";
    QTest::newRow("fecha de ajuste sola sin cuenta")
        << "10/03/2024"
        << ""
        << "2|CAJA|100||;|||||10/03/2024;7|VENTAS||100|"
        << "Fila 2: tiene fecha de ajuste pero ninguna cuenta; indique la cuenta de la línea o vacíe la fila"
        << "";
    QTest::newRow("cuenta sin resolver") << "10/03/2024"
                                         << ""
                                         << "2|CAJA|100||;-1|CAJX|50||;7|VENTAS||100|"
                                         << "Fila 2: la cuenta \"CAJX\" no está identificada"
                                         << "";
    QTest::newRow("Debe y Haber a la vez: cuenta el Debe") << "10/03/2024"
                                                           << ""
                                                           << "2|CAJA|100|40|;7|VENTAS||100|"
                                                           << ""
                                                           << "1:2:10000:~:~;2:7:-10000:~:~";
    QTest::newRow("línea sin importes es Haber 0") << "10/03/2024"
                                                   << ""
                                                   << "2|CAJA|100||;7|VENTAS||100|;3|BANCOS||"
                                                   << ""
                                                   << "1:2:10000:~:~;2:7:-10000:~:~;3:3:0:~:~";
}

void PruebaAsiento::reglas() {
    QFETCH(QString, fecha);
    QFETCH(QString, numero);
    QFETCH(QString, lineas);
    QFETCH(QString, mensaje);
    QFETCH(QString, guardado);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    const ResultadoAsiento primero = GuardoAsiento(ContextoActual(), Nuevo("05/03/2024", Balanceado));
    QVERIFY2(primero.ok, qPrintable(primero.mensaje));
    QCOMPARE(primero.asiento, 1);
    const QString antes = Guardadas(1);

    const ResultadoAsiento r = GuardoAsiento(ContextoActual(), Nuevo(fecha, lineas, numero));
    QCOMPARE(r.mensaje, mensaje);
    QCOMPARE(r.ok, mensaje.isEmpty());
    if (r.ok) {
        QCOMPARE(r.asiento, 2);
        QCOMPARE(Guardadas(2), guardado);
        QCOMPARE(NuloAVacio(ValorCampo("Asientos", "Fecha", "Asiento=2")),
                 TextoAFecha(fecha).toString(Qt::ISODate));
    } else {
        // Nothing half-stored: the refused entry left no header and no line.
        QCOMPARE(Cuenta("Asientos"), 1);
        QCOMPARE(Guardadas(1), antes);
        QCOMPARE(Cuenta("DetAsientos"), 2);
    }
}

// Editing a stored entry: lines replaced, number cleared means maximum plus one, the list row's texts.
void PruebaAsiento::edicion() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    for (int i = 0; i < 3; ++i)
        QVERIFY(GuardoAsiento(ContextoActual(), Nuevo("05/03/2024", Balanceado)).ok);
    AsientoEditado a = Nuevo("06/03/2024", "2|CAJA|30||;3|BANCOS|20||;7|VENTAS||50|");
    a.lineas[0].codInt = "CAJA";
    a.lineas[2].codInt = "VTAS";
    a.adding = false;
    a.guardado = 2;
    a.huella = HuellaAsiento(ContextoActual(), 2);
    ResultadoAsiento r = GuardoAsiento(ContextoActual(), a);
    QVERIFY2(r.ok, qPrintable(r.mensaje));
    QCOMPARE(r.asiento, 4);
    QVERIFY(!ValorCampo("Asientos", "Asiento", "Asiento=2"));
    QVERIFY(Guardadas(2).isEmpty());
    QCOMPARE(Guardadas(4), QString("1:2:3000:~:~;2:3:2000:~:~;3:7:-5000:~:~"));
    QCOMPARE(r.fila.cuentasDebe, QString("CAJA- CAJA\nBANCOS- "));
    QCOMPARE(r.fila.cuentasHaber, QString("VENTAS- VTAS"));
    QCOMPARE(r.fila.totalDebe, Importe::DeUnidades(50));

    // A typed number renumbers; the shown entry reads back as stored, debits first.
    a.guardado = 4;
    a.numero = "9";
    a.huella = HuellaAsiento(ContextoActual(), 4);
    QVERIFY(GuardoAsiento(ContextoActual(), a).ok);
    const AsientoGuardado g = LeoAsiento(ContextoActual(), 9, MaximosDelPlan(1, 1));
    QVERIFY(g.existe);
    QCOMPARE(g.fecha, QDate(2024, 3, 6));
    QCOMPARE(g.lineas.size(), 3);
    QCOMPARE(g.lineas[2].descripcion, QString("VENTAS"));
    QCOMPARE(g.lineas[2].importe, -Importe::DeUnidades(50));
    QCOMPARE(g.lineas[0].codJer, QString("1.1"));
    QCOMPARE(g.huella, HuellaAsiento(ContextoActual(), 9));
    QCOMPARE(FechaNuevoAsiento(ContextoActual()), QDate(2024, 3, 6));
}

void PruebaAsiento::borrado() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    QCOMPARE(FechaNuevoAsiento(ContextoActual()), QDate(2024, 1, 1));
    QVERIFY(GuardoAsiento(ContextoActual(), Nuevo("05/03/2024", Balanceado)).ok);
    QVERIFY(GuardoAsiento(ContextoActual(), Nuevo("05/03/2024", Balanceado)).ok);
    const QString huella = HuellaAsiento(ContextoActual(), 1);
    Ejecuto("UPDATE DetAsientos SET Concepto='otro' WHERE Asiento=1 AND Detalle=1");
    // A refused delete says that nothing was deleted, not what a refused save says.
    QCOMPARE(BorroAsiento(ContextoActual(), 1, huella), TextoBorradoAjeno(1));
    QVERIFY(TextoBorradoAjeno(1).contains("no se eliminó nada"));
    QCOMPARE(Cuenta("DetAsientos"), 4);
    QCOMPARE(BorroAsiento(ContextoActual(), 1, HuellaAsiento(ContextoActual(), 1)), QString());
    QCOMPARE(BorroAsiento(ContextoActual(), 2), QString());
    QCOMPARE(Cuenta("Asientos"), 0);
    QCOMPARE(Cuenta("DetAsientos"), 0); // the lines went with their headers
}

// Standard legends of an account per side, the marker lookup and adding a legend.
void PruebaAsiento::leyendas() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    Ejecuto(
        "INSERT INTO ConceptosDetAsiento VALUES (1, 'Depósito'), (2, 'cobro en efectivo'), (5, 'Ajuste')");
    Ejecuto("INSERT INTO CuentasConceptos (EmpresaPropia, NumEjercicio, Cuenta, Debe, ConceptoDetAsiento) "
            "VALUES (1, 1, 2, -1, 1), (1, 1, 2, -1, 2), (1, 1, 2, 0, 5)");
    QCOMPARE(LeyendasCuenta(ContextoActual(), 2, true), QStringList({"cobro en efectivo", "Depósito"}));
    QCOMPARE(LeyendasCuenta(ContextoActual(), 2, false), QStringList({"Ajuste"}));
    QCOMPARE(LeyendasCuenta(ContextoActual(), 0, true), QStringList());
    QVERIFY(EsLeyendaEstandar(ContextoActual(), 2, true, "DEPÓSITO"));
    QVERIFY(!EsLeyendaEstandar(ContextoActual(), 2, false, "Depósito"));
    QCOMPARE(
        PreguntaIncorporoLeyenda("Depósito", "CAJA", false),
        QString("Está seguro de incorporar la leyenda 'Depósito' a las leyendas estandár de la cuenta 'CAJA' "
                "para sus movimientos de crédito"));

    // An existing text is linked, not duplicated; a new text gets the next code.
    QCOMPARE(IncorporoLeyenda(ContextoActual(), 2, false, "depósito"), QString());
    QCOMPARE(IncorporoLeyenda(ContextoActual(), 3, true, "Transferencia 'B'"), QString());
    QCOMPARE(Cuenta("ConceptosDetAsiento"), 4);
    QCOMPARE(NuloAVacio(ValorCampo("ConceptosDetAsiento", "descConceptoDetAsiento", "ConceptoDetAsiento=6")),
             QString("Transferencia 'B'"));
    QVERIFY(EsLeyendaEstandar(ContextoActual(), 2, false, "Depósito"));
    QVERIFY(EsLeyendaEstandar(ContextoActual(), 3, true, "transferencia 'b'"));
    QVERIFY(!EsLeyendaEstandar(ContextoActual(), 3, false, "Transferencia 'B'"));
    QVERIFY(!IncorporoLeyenda(ContextoActual(), 3, true, "Transferencia 'B'").isEmpty()); // already linked: refused, told
}

int GraboEnOtroProceso(const QString& ruta, int cantidad) {
    AppState& a = App();
    a.databasePath = ruta;
    QString error;
    if (!AbroBase(ruta, &error)) {
        qWarning("%s", qPrintable(error));
        return 100;
    }
    a.currentCompany = 1;
    a.currentYear = 1;
    a.currentUser = 1; // the book's administrator, as the fixture logs in
    int fallas = 0;
    for (int i = 0; i < cantidad; ++i) {
        const ResultadoAsiento r = GuardoAsiento(ContextoActual(), Nuevo("05/03/2024", Balanceado));
        if (!r.ok) {
            qWarning("%s", qPrintable(r.mensaje));
            ++fallas;
        }
    }
    CierroBase();
    return fallas;
}

// Two workstations on one file: distinct numbers for simultaneous new entries; an entry changed or
// deleted by the other after it was shown here is not overwritten.
void PruebaAsiento::dosEstaciones() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    QVERIFY(GuardoAsiento(ContextoActual(), Nuevo("05/03/2024", Balanceado)).ok);
    QVERIFY(GuardoAsiento(ContextoActual(), Nuevo("05/03/2024", Balanceado)).ok);

    // The other workstation, on its own connection.
    {
        QSqlDatabase otra = MotorActual().almacen.Agrego("otra", e.RutaBase(), false);
        QVERIFY(otra.open());
        QVERIFY(ConfiguroConexion(otra));
        AsientoEditado mio = Nuevo("07/03/2024", "2|CAJA|70||;7|VENTAS||70|");
        mio.adding = false;
        for (int asiento : {1, 2}) {
            mio.guardado = asiento;
            mio.huella = HuellaAsiento(ContextoActual(), asiento);
            QSqlQuery q(otra);
            QVERIFY(q.exec(asiento == 1 ? "UPDATE DetAsientos SET Importe=Importe*2 WHERE Asiento=1"
                                        : "DELETE FROM Asientos WHERE Asiento=2"));
            const ResultadoAsiento r = GuardoAsiento(ContextoActual(), mio);
            QVERIFY(!r.ok);
            QVERIFY(r.ajeno);
            QCOMPARE(r.mensaje, TextoAsientoAjeno(asiento));
        }
        QCOMPARE(Guardadas(1), QString("1:2:20000:~:~;2:7:-20000:~:~")); // the other's change stands
        QVERIFY(!ValorCampo("Asientos", "Asiento", "Asiento=2"));
        otra.close();
    }
    QSqlDatabase::removeDatabase("otra");

    // Two processes saving new entries at the same time.
    const int cada = 25;
    QList<QProcess*> procesos;
    for (int i = 0; i < 2; ++i) {
        auto* p = new QProcess(this);
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert("PARTIDEX_GRABADOR", e.RutaBase());
        ambiente.insert("PARTIDEX_CANTIDAD", QString::number(cada));
        p->setProcessEnvironment(ambiente);
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        procesos << p;
    }
    for (QProcess* p : procesos)
        p->start(QCoreApplication::applicationFilePath(), {});
    for (QProcess* p : procesos) {
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
        delete p;
    }
    QCOMPARE(Cuenta("Asientos"), 1 + 2 * cada);
    QCOMPARE(int(NumeroOCero(ValorCampo("Asientos", "COUNT(DISTINCT Asiento)", "1=1"))), 1 + 2 * cada);
    QCOMPARE(Cuenta("DetAsientos"), 2 * (1 + 2 * cada));
}
