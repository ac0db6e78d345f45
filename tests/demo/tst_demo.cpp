#include "tst_demo.h"

#include "accounts/ArbolCuentas.h"
#include "accounts/CodigosJerarquicos.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Importe.h"
#include "core/Valores.h"
#include "demo/Demostracion.h"
#include "fiscal/Cierre.h"
#include "reports/Balance.h"
#include "reports/ReAjustado.h"
#include "tests/support/Entorno.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Demostracion;

namespace {
Importe Suma(const QString& sql, const QVariantList& p) {
    QSqlQuery q = Consulto(sql, p);
    return q.next() ? Importe::DeCentavosBase(q.value(0)) : Importe::DeCentavos(-1);
}
} // namespace

// The book is made whole, every entry balances, every line is on a postable account, and each year's
// trial balance agrees with itself and with the lines; a second request leaves it as it is.
void PruebaDemostracion::libro() {
    Entorno e;
    App().currentCompany = 7;
    App().currentYear = 9;
    const Creacion r = CreoDemostracion(ContextoActual());
    QVERIFY2(r.ok, qPrintable(r.mensaje));
    QCOMPARE(App().currentCompany, 7); // the current pair is put back
    QCOMPARE(App().currentYear, 9);
    QCOMPARE(Cuento("EmpresasPropia", "descEmpresaPropia=?", {NombreEmpresa}), 1);
    QCOMPARE(Cuento("Ejercicios", "EmpresaPropia=? AND TablaAjusteInflacion IS NOT NULL", {r.empresa}), 2);
    QCOMPARE(Cuento("AjustesInflacion"), 153);
    QCOMPARE(Cuento("Asientos"), r.asientos);
    QVERIFY2(r.asientos >= 250 && r.asientos <= 350, qPrintable(QString::number(r.asientos)));
    QCOMPARE(Cuento("Asientos", "EmpresaPropia=? AND Especial<>0", {r.empresa}), 3); // closing x2, opening
    QCOMPARE(Cuento("Asientos", "Asiento IN (SELECT Asiento FROM DetAsientos d WHERE d.EmpresaPropia="
                                "Asientos.EmpresaPropia AND d.NumEjercicio=Asientos.NumEjercicio GROUP BY "
                                "Asiento HAVING " +
                                    Importe::SumaSql("Importe") + "<>0)"),
             0);
    QCOMPARE(Cuento("DetAsientos d", "EXISTS (SELECT 1 FROM Cuentas h WHERE h.EmpresaPropia=d.EmpresaPropia "
                                     "AND h.NumEjercicio=d.NumEjercicio AND h.CuentaPadre=d.Cuenta)"),
             0);

    QString error;
    QSet<QString> rubros; // total rows of Activo, Pasivo, Patrimonio Neto and the two of results
    for (const CuentaModelo& m : PlanModelo(&error))
        if (m.padre == 0) rubros.insert("Total " + m.descripcion);
    QCOMPARE(rubros.size(), 5);
    for (int ejercicio : {1, 2}) {
        App().currentCompany = r.empresa;
        App().currentYear = ejercicio;
        const auto p = LeoPeriodo(r.empresa, ejercicio);
        QVERIFY(p);
        TablaReporte t;
        QVERIFY2(TablaBalance(ContextoActual(), p->comienzo, p->fin, FiltroSaldos::Todos, &t, &error), qPrintable(error));
        const Importe debe =
            Suma("SELECT " + Importe::SumaSql("Importe") +
                     " FROM DetAsientos WHERE EmpresaPropia=? AND NumEjercicio=? AND Importe>0",
                 {r.empresa, ejercicio});
        QVERIFY(debe > Importe::DeUnidades(1000000));
        Importe sumas[2][4]; // [top level, postable][debe, haber, saldo debe, saldo haber]
        for (const FilaReporte& f : t.filas) {
            const bool imputable = f.celdas.size() > 2 && !f.celdas[2].texto.isEmpty();
            const bool raiz = f.celdas.size() > 1 && rubros.contains(f.celdas[1].texto.trimmed());
            for (int c = 0; c < 4 && f.celdas.size() > 4 + c; ++c) {
                const Importe v = f.celdas[4 + c].importe.value_or(Importe());
                if (raiz) sumas[0][c] = sumas[0][c] + v;
                if (imputable) sumas[1][c] = sumas[1][c] + v;
            }
        }
        for (int nivel : {0, 1}) {
            QCOMPARE(sumas[nivel][0].centavos(), debe.centavos());
            QCOMPARE(sumas[nivel][1].centavos(), debe.centavos());
            QCOMPARE(sumas[nivel][2].centavos(), sumas[nivel][3].centavos());
        }
        // The first year is closed: its accounts end at zero; the second is open.
        QCOMPARE(sumas[1][2].esCero(), ejercicio == 1);
        // Every line carries the date it is restated from, so the restated balance can be made.
        QCOMPARE(Cuento("DetAsientos", QString("EmpresaPropia=%1 AND NumEjercicio=%2 AND FechaAjuste IS NULL")
                                           .arg(r.empresa)
                                           .arg(ejercicio)),
                 0);
        TablaReporte reajustado;
        QVERIFY2(TablaBalanceReAjustado(ContextoActual(), p->comienzo, p->fin, TablaEjercicio(ContextoActual()), p->fin, &reajustado, &error),
                 qPrintable(error));
        QVERIFY(!reajustado.filas.isEmpty());
    }

    const int entradas = Cuento("DetAsientos");
    const Creacion otra = CreoDemostracion(ContextoActual());
    QVERIFY(!otra.ok);
    QCOMPARE(otra.empresa, r.empresa);
    QCOMPARE(Cuento("DetAsientos"), entradas);
    QCOMPARE(Cuento("EmpresasPropia"), 1);
}

// The model chart keeps the chart's rules: one tree under the root, codes that lead back to their
// account, result accounts only among the results, adjustable non-monetary items, and the account that
// receives the year's result is a postable balance-sheet account.
void PruebaDemostracion::planModelo() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    QString error;
    const QVector<CuentaModelo> plan = PlanModelo(&error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(plan.size() >= 140 && plan.size() <= 170);
    QVERIFY2(CopioPlanModelo(1, 1, &error), qPrintable(error));

    MaximosNivel maximos;
    QSet<int> nodos;
    QVERIFY(CargoArbol(1, 1, maximos, [&](const NodoCuenta& n) { nodos.insert(n.cuenta); }));
    QCOMPARE(nodos.size(), plan.size());
    QSet<QString> codigos;
    for (const CuentaModelo& m : plan) {
        const QString codJer = CodJerCuenta(m.cuenta, 1, 1, maximos);
        QVERIFY2(!codJer.isEmpty() && !codigos.contains(codJer), qPrintable(m.codigo));
        codigos.insert(codJer);
        QCOMPARE(CuentaDeCodJer(codJer + ".", 1, 1), m.cuenta); // as the masked field hands it
        const QChar rubro = m.codigo.at(0);
        QCOMPARE(m.resultado, rubro == '4' || rubro == '5');
        if (m.codigo.startsWith("1.1.1") || m.codigo.startsWith("1.1.3") || m.codigo.startsWith("2.1"))
            QVERIFY2(!m.ajustable, qPrintable(m.codigo));
        if (m.codigo.startsWith("1.2.3.") || m.codigo.startsWith("3.1."))
            QVERIFY2(m.ajustable, qPrintable(m.codigo));
    }
    const auto cuenta = [&](const QString& codigo) {
        for (const CuentaModelo& m : plan)
            if (m.codigo == codigo) return m.cuenta;
        return -1;
    };
    QCOMPARE(VerificoCuentaAjuste(1, 1, cuenta("3.2.3")), QString());
    QVERIFY(!VerificoCuentaAjuste(1, 1, cuenta("4.1.1")).isEmpty());
    QCOMPARE(Cuento("Cuentas", "CondDebito=0 AND Descripcion LIKE 'Amortización Acumulada%'"), 7);
}

void PruebaDemostracion::copioPlanModelo_data() {
    QTest::addColumn<int>("ejercicio");
    QTest::addColumn<bool>("conCuenta");
    QTest::addColumn<QString>("motivo"); // empty: copied
    QTest::addColumn<int>("cuentas");
    QTest::newRow("vacío") << 1 << false << "" << 158;
    QTest::newRow("con cuentas") << 1 << true << "el ejercicio ya tiene cuentas" << 2;
    QTest::newRow("sin ejercicio") << 5 << false << "el ejercicio no existe" << 1;
}

// Only a year whose chart holds nothing but its root receives the model; nothing else is touched.
void PruebaDemostracion::copioPlanModelo() {
    QFETCH(int, ejercicio);
    QFETCH(bool, conCuenta);
    QFETCH(QString, motivo);
    QFETCH(int, cuentas);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    if (conCuenta) QVERIFY(AgregoCuenta(1, 0, 1, "CAJA"));
    QCOMPARE(PlanVacio(1, 1), !conCuenta);
    QString error;
    QCOMPARE(CopioPlanModelo(1, ejercicio, &error), motivo.isEmpty());
    QCOMPARE(error, motivo);
    QCOMPARE(Cuento("Cuentas"), cuentas);
}

// The command-line switch makes the database on a first start in the settings folder and writes the
// book; a Base key naming a missing database is refused and nothing is made.
void PruebaDemostracion::consola() {
    Entorno e(false);
    QTemporaryDir programa;
    QCOMPARE(DemostracionDeConsola(programa.path()), 0);
    QVERIFY(QFile::exists(programa.filePath("Partidex.MDB")));
    QString error;
    QVERIFY(AbroBase(programa.filePath("Partidex.MDB"), &error));
    QCOMPARE(Cuento("EmpresasPropia", "descEmpresaPropia=?", {NombreEmpresa}), 1);
    CierroBase();

    // Installed, the program's folder cannot be written: the book goes to the user's configuration
    // folder, the same one whatever name the program runs under.
    QTemporaryDir configuracion;
    qputenv("XDG_CONFIG_HOME", configuracion.path().toUtf8());
    QCoreApplication::setApplicationName("partidex-informe");
    QCOMPARE(DemostracionDeConsola(programa.filePath("no se puede escribir/bin")), 0);
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(App().settingsFolder, configuracion.filePath("Partidex"));
    QVERIFY(QFile::exists(configuracion.filePath("Partidex/Partidex.MDB")));

    QTemporaryDir otro;
    QVERIFY(EscriboArchivo(otro.filePath("Partidex.ini"), "[Base de Datos]\nBase=falta/Libro.MDB\n"));
    QCOMPARE(DemostracionDeConsola(otro.path()), 1);
    QVERIFY(!QFile::exists(otro.filePath("falta/Libro.MDB")));
}

void PruebaDemostracion::opcionesSinPantalla_data() {
    QTest::addColumn<QString>("opcion");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("versión") << "--version"
                             << "Partidex " PARTIDEX_VERSION "\n";
    QTest::newRow("ayuda") << "--help"
                           << "Uso: Partidex [opción]";
    QTest::newRow("ayuda en castellano") << "--ayuda"
                                         << "--demo      crea el libro de demostración";
}

// Without any display and without a platform chosen, the options that only print answer and end.
void PruebaDemostracion::opcionesSinPantalla() {
    QFETCH(QString, opcion);
    QFETCH(QString, esperado);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(v);
    p.setProcessEnvironment(env);
    p.start(PARTIDEX_PROGRAMA, {opcion});
    QVERIFY(p.waitForFinished(20000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    const QString salida = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(salida.contains(esperado), qPrintable(salida));
    QCOMPARE(p.readAllStandardError(), QByteArray());
}
