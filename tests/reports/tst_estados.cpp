#include "tst_estados.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Valores.h"
#include "demo/Demostracion.h"
#include "fiscal/Cierre.h"
#include "fiscal/Ejercicios.h"
#include "reports/ReAjustado.h"
#include "reports/estados/Estados.h"
#include "reports/ui/frmRptEstados.h"
#include "reports/ui/frmRubrosEstados.h"
#include "core/ui/Grilla.h"
#include "tests/support/Entorno.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace Estados;

namespace {
// The amount of the row with that caption in a column (1 the current year, 2 the previous one).
std::optional<Importe> Fila(const TablaReporte& t, const QString& caption, int columna = 1) {
    for (qsizetype i = 0; i < t.filas.size(); ++i)
        if (t.filas.texto(i, 0) == caption) return t.filas.importe(i, columna);
    return std::nullopt;
}

bool TieneAviso(const TablaReporte& t) {
    for (qsizetype i = 0; i < t.filas.size(); ++i)
        if (t.filas.texto(i, 0).startsWith("Atención")) return true;
    return false;
}

// The demonstration book; its company, and its years in order.
int LibroDemostracion(int* primero, int* segundo) {
    const Demostracion::Creacion demo = Demostracion::CreoDemostracion(ContextoActual());
    if (!demo.ok) return 0;
    QSqlQuery q = Consulto("SELECT NumEjercicio FROM Ejercicios WHERE EmpresaPropia=? ORDER BY ComienzoEjercicio",
                           {demo.empresa});
    q.next();
    *primero = q.value(0).toInt();
    q.next();
    *segundo = q.value(0).toInt();
    return demo.empresa;
}

Importe I(const char* texto) {
    return *Importe::Leo(QString::fromLatin1(texto), nullptr, u'.');
}
} // namespace

// Figures of the demonstration book worked out from its journal by the model chart's codes (the
// entries' lines summed per group of the chart, closing entries left out): assets, liabilities,
// equity with the result, the result and the gross profit of each year. Beside 2024 stands 2023 as
// it is made alone, restated or not. The year 2024 is then closed: the result its closing carries is
// the statement's, and the statement at the year's end is the same after the closing.
void PruebaEstados::demostracion_data() {
    QTest::addColumn<int>("anio");
    QTest::addColumn<QString>("activo");
    QTest::addColumn<QString>("pasivo");
    QTest::addColumn<QString>("patrimonio");
    QTest::addColumn<QString>("resultado");
    QTest::addColumn<QString>("bruto");
    QTest::newRow("2023") << 2023 << "65355940.62" << "13391287.97" << "51964652.65" << "15964652.65"
                          << "61647555.20";
    QTest::newRow("2024") << 2024 << "135688840.00" << "29147869.54" << "106540970.46" << "54576317.81"
                          << "192656333.20";
}

void PruebaEstados::demostracion() {
    QFETCH(int, anio);
    QFETCH(QString, activo);
    QFETCH(QString, pasivo);
    QFETCH(QString, patrimonio);
    QFETCH(QString, resultado);
    QFETCH(QString, bruto);
    Entorno entorno;
    int primero = 0, segundo = 0;
    const int empresa = LibroDemostracion(&primero, &segundo);
    QVERIFY(empresa);
    const Contexto ctx = ContextoActual().En(empresa, anio == 2023 ? primero : segundo);
    TablaReporte esp, er;
    QString error;
    QVERIFY2(TablaSituacion(ctx, {}, &esp, &error), qPrintable(error));
    QVERIFY2(TablaResultados(ctx, {}, &er, &error), qPrintable(error));
    QCOMPARE(Fila(esp, "Total del Activo"), I(qPrintable(activo)));
    QCOMPARE(Fila(esp, "Total del Pasivo"), I(qPrintable(pasivo)));
    QCOMPARE(Fila(esp, "Total del Patrimonio Neto"), I(qPrintable(patrimonio)));
    QCOMPARE(Fila(esp, "Total del Pasivo más Patrimonio Neto"), I(qPrintable(activo)));
    QCOMPARE(Fila(esp, "Resultado del Ejercicio"), I(qPrintable(resultado)));
    QCOMPARE(Fila(er, "Resultado del Ejercicio"), I(qPrintable(resultado)));
    QCOMPARE(Fila(er, "Resultado Bruto"), I(qPrintable(bruto)));
    QVERIFY(!TieneAviso(esp));
    QCOMPARE(esp.columnas.size(), anio == 2023 ? 2 : 3);

    if (anio == 2024) {
        // The previous year's column is 2023 made alone, in historical amounts and restated alike.
        const QDate al(2024, 12, 31);
        const int tabla = TablaEjercicio(ctx);
        for (const bool reexpreso : {false, true}) {
            Pedido pedido;
            if (reexpreso) {
                pedido.ajustadoAl = al;
                pedido.tablaAjuste = tabla;
            }
            for (const bool situacion : {true, false}) {
                TablaReporte actual, solo;
                const auto armo = situacion ? TablaSituacion : TablaResultados;
                QVERIFY2(armo(ctx, pedido, &actual, &error), qPrintable(error));
                QVERIFY2(armo(ctx.conEjercicio(primero), pedido, &solo, &error), qPrintable(error));
                // Row by row; a heading of 2024 that 2023 lacks (zero there) stands with zero.
                int montos = 0, iguales = 0;
                for (qsizetype i = 0; i < actual.filas.size(); ++i) {
                    const QString caption = actual.filas.texto(i, 0);
                    if (caption.startsWith("Atención")) continue; // it names each column's difference
                    const auto anterior = actual.filas.importe(i, 2);
                    bool esta = false;
                    for (qsizetype j = 0; j < solo.filas.size() && !esta; ++j)
                        if (solo.filas.texto(j, 0) == caption) {
                            esta = true;
                            QCOMPARE(anterior, solo.filas.importe(j, 1));
                            ++iguales;
                        }
                    if (!esta) QVERIFY2(anterior && anterior->esCero(), qPrintable(caption));
                    montos += anterior.has_value() && !anterior->esCero();
                }
                QCOMPARE(iguales + int(TieneAviso(solo)), int(solo.filas.size()));
                QVERIFY(montos > 8);
                QCOMPARE(actual.notas.first(), reexpreso ? "Importes reexpresados al 31/12/2024 por la tabla de ajuste " +
                                                              Demostracion::DescripcionTabla
                                                        : QString("Importes en moneda histórica"));
            }
        }
        // The closing carries the statement's result; the statement leaves the closing out.
        const auto p = LeoPeriodo(empresa, segundo);
        const int ajuste = int(NumeroOCero(ValorCampo("Cuentas", "Cuenta", "EmpresaPropia=? AND NumEjercicio=? AND CodInt=?",
                                                      {empresa, segundo, "3.2.3"})));
        const Generacion g = GeneroCierre(ctx, LeyendaCierreResultados(*p), LeyendaCierrePatrimonial(*p), ajuste);
        QVERIFY2(g.ok, qPrintable(g.mensaje));
        const Importe llevado = Importe::DeBase(*ValorCampo("DetAsientos", "Importe",
                                                           "EmpresaPropia=? AND NumEjercicio=? AND Asiento=? AND Cuenta=?",
                                                           {empresa, segundo, g.resultados, ajuste}));
        QCOMPARE(-llevado, I(qPrintable(resultado)));
        TablaReporte despues;
        QVERIFY2(TablaSituacion(ctx, {}, &despues, &error), qPrintable(error));
        QCOMPARE(Fila(despues, "Total del Activo"), I(qPrintable(activo)));
        QCOMPARE(Fila(despues, "Resultado del Ejercicio"), I(qPrintable(resultado)));
    }
}

// On books of the shared generator the statement balances (assets equal liabilities plus equity with
// the result), and its result is that of the result accounts summed apart.
void PruebaEstados::generador() {
    SOLO_ARCHIVO("el generador escribe un archivo");
    if (QStandardPaths::findExecutable("python3").isEmpty()) QSKIP("python3 no está instalado");
    Entorno entorno;
    for (int semilla = 1; semilla <= 20; ++semilla) {
        const QString ruta = entorno.Ruta(QString("g%1.MDB").arg(semilla));
        QString error;
        QVERIFY2(CreoBase(ruta, &error), qPrintable(error));
        QProcess gen;
        gen.start("python3", {PARTIDEX_GEN_BOOK, ruta, "--entries", "25", "--seed", QString::number(semilla)});
        QVERIFY(gen.waitForFinished(60000));
        QCOMPARE(gen.exitCode(), 0);
        const QString nombre = QString("generado%1").arg(semilla);
        QVERIFY2(AbroConexion(nombre, ruta, &error), qPrintable(error));
        Contexto ctx = ContextoActual().En(1, 1);
        ctx.conexion = nombre;
        TablaReporte esp, er;
        const bool ok = TablaSituacion(ctx, {}, &esp, &error) && TablaResultados(ctx, {}, &er, &error);
        QSqlQuery q = Consulto(ctx, "SELECT " + Importe::SumaSql("D.Importe") +
                                        " FROM DetAsientos AS D INNER JOIN Cuentas AS C ON C.EmpresaPropia=D.EmpresaPropia "
                                        "AND C.NumEjercicio=D.NumEjercicio AND C.Cuenta=D.Cuenta WHERE C.CuentaResultado<>0");
        QVERIFY(q.next());
        const Importe resultados = -Importe::DeCentavosBase(q.value(0));
        q = QSqlQuery();
        CierroConexion(nombre);
        QVERIFY2(ok, qPrintable(error));
        QVERIFY(!Fila(esp, "Total del Activo")->esCero());
        QCOMPARE(Fila(esp, "Total del Pasivo más Patrimonio Neto"), Fila(esp, "Total del Activo"));
        QCOMPARE(Fila(esp, "Resultado del Ejercicio"), resultados);
        QCOMPARE(Fila(er, "Resultado del Ejercicio"), resultados);
        QVERIFY(!TieneAviso(esp));
    }
}

// The headings: an account with lines left without one refuses both statements and is named; a
// result account is not put under a heading of the statement of financial position; the headings go
// with the chart when it is copied to another year.
void PruebaEstados::rubros() {
    Entorno entorno;
    int primero = 0, segundo = 0;
    const int empresa = LibroDemostracion(&primero, &segundo);
    QVERIFY(empresa);
    const Contexto ctx = ContextoActual().En(empresa, segundo);
    PlanEstados plan;
    QString error;
    QVERIFY(plan.Cargo(ctx, &error));
    QVector<Asignacion> todas;
    bool porDefecto = false;
    QVERIFY(AsignacionesEjercicio(ctx, plan, &todas, &porDefecto, &error));
    QVERIFY(porDefecto);
    auto cuenta = [&](const QString& ruta) { return plan.PorRuta(ruta)->cuenta; };
    // The cost of sales loses its heading, and so does the group of the negative results above it.
    QVector<Asignacion> menos;
    for (const Asignacion& a : todas)
        if (a.cuenta != cuenta("5") && a.cuenta != cuenta("5.1")) menos << a;
    QCOMPARE(menos.size(), todas.size() - 2);
    QVERIFY2(GraboAsignaciones(ctx, menos, &error), qPrintable(error));
    TablaReporte t;
    for (const auto armo : {TablaSituacion, TablaResultados}) {
        QVERIFY(!armo(ctx, {}, &t, &error));
        QVERIFY2(error.contains("sin rubro") || error.contains("no tienen rubro"), qPrintable(error));
        QVERIFY2(error.contains("Costo de Mercaderías Vendidas"), qPrintable(error));
        QVERIFY2(!error.contains("Sueldos Comercialización"), qPrintable(error));
    }
    // A sales account under cash is refused, and nothing is written.
    QVector<Asignacion> mala = menos;
    mala << Asignacion{cuenta("4.1.1"), 1, false};
    QVERIFY(!GraboAsignaciones(ctx, mala, &error));
    QVERIFY2(error.contains("Ventas de Mercaderías") && error.contains("es de resultado"), qPrintable(error));
    QVector<Asignacion> leidas;
    QVERIFY(LeoAsignaciones(ctx, &leidas, &error));
    QCOMPARE(leidas.size(), menos.size());
    // The headings' screen gives the cost of sales its heading back, and the statements are made.
    App().currentCompany = empresa;
    App().currentYear = segundo;
    {
        frmRubrosEstados f;
        f.Cargo();
        const int filas = f.sprMaster->filas();
        f.Agrego();
        f.inpCodigo->setText("5.1");
        f.cmbRubro->setCurrentIndex(f.cmbRubro->findText("Costo de Ventas"));
        QVERIFY(f.Guardo());
        QCOMPARE(f.sprMaster->filas(), filas + 1);
    }
    QVERIFY2(TablaResultados(ctx, {}, &t, &error), qPrintable(error));
    QCOMPARE(Fila(t, "Costo de Ventas"), I("-288984499.80"));
    // The statement's screen, historical with its restatement date left empty, and restated.
    for (const QString& al : {QString(), QString("31/12/2024")}) {
        frmRptEstados f(false);
        f.ftrAjustadoAl->setText(al);
        QVERIFY(f.ActualizoReporte());
        QCOMPARE(f.sprRpt->filas(), int(t.filas.size()));
    }
    QVERIFY(LeoAsignaciones(ctx, &leidas, &error));
    QCOMPARE(leidas.size(), menos.size() + 1);
    // Copied with the chart.
    const Ejercicios::Veredicto v = Ejercicios::GraboEjercicio(ContextoActual(), empresa, -1, QDate(2025, 1, 1), QDate(2025, 12, 31),
                                                               TablaEjercicio(ctx));
    QVERIFY2(v.ok, qPrintable(v.mensaje));
    QVERIFY(Ejercicios::PegoPlan(ContextoActual(), empresa, segundo, empresa, v.ejercicio).ok);
    QVector<Asignacion> copiadas;
    QVERIFY(LeoAsignaciones(ctx.conEjercicio(v.ejercicio), &copiadas, &error));
    QCOMPARE(copiadas, leidas);
}
