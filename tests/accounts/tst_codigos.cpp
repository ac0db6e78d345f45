#include "accounts/ArbolCuentas.h"
#include "accounts/CodigosJerarquicos.h"
#include "core/Basedatos.h"
#include "core/Motor.h"
#include "tests/support/Entorno.h"
#include "tst_cuentas.h"

#include <QTest>

namespace {
// Chart of the code examples: level-1 maxima 12, level 2 104, level 3 1.
//   1 (01) > 10 (01.003) > 20 (01.003.1); 11 (01.015); 12 (01.104)
//   2 (02); 3 (12)
bool PlanDeCodigos() {
    return AgregoCuenta(1, 0, 1) && AgregoCuenta(2, 0, 2) && AgregoCuenta(3, 0, 12) &&
           AgregoCuenta(10, 1, 3) && AgregoCuenta(11, 1, 15) && AgregoCuenta(12, 1, 104) &&
           AgregoCuenta(20, 10, 1);
}

bool SinRelaciones(bool sin) {
    QSqlDatabase db = Conexion();
    return MotorActual().almacen.ClavesForaneas(db, !sin);
}
} // namespace

void PruebaCodigos::codJerCuenta_data() {
    QTest::addColumn<int>("cuenta");
    QTest::addColumn<QString>("codigo");
    QTest::newRow("nivel 1 ancho 2") << 1 << "01";
    QTest::newRow("nivel 1 de dos cifras") << 3 << "12";
    QTest::newRow("nivel 2 ancho 3") << 10 << "01.003";
    QTest::newRow("nivel 2 en su ancho") << 12 << "01.104";
    QTest::newRow("nivel 3") << 20 << "01.003.1";
    QTest::newRow("cuenta 0 es la raiz") << 0 << "";
    QTest::newRow("cuenta inexistente") << 999 << "";
}

void PruebaCodigos::codJerCuenta() {
    QFETCH(int, cuenta);
    QFETCH(QString, codigo);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    QVERIFY(PlanDeCodigos());
    const MaximosNivel m = MaximosDelPlan(1, 1);
    QCOMPARE(m, MaximosNivel({0, 12, 104, 1}));
    QCOMPARE(CodJerCuenta(cuenta, 1, 1, m), codigo);
    FilasPlan filas;
    QVERIFY(filas.Cargo(1, 1));
    QCOMPARE(CodJerCuenta(cuenta, 1, 1, m, &filas), codigo);
    // The documented example: maxima 7 / 12 / 104, ordinals 3 / 5 / 9.
    QCOMPARE(CodJerCuenta(20, 1, 1, MaximosNivel({0, 7, 12, 104})), QString("1.03.001"));
    // A level without maximum contributes no segment; an ordinal wider than its level is written in full.
    QCOMPARE(CodJerCuenta(20, 1, 1, MaximosNivel({0, 12})), QString("01"));
    QCOMPARE(CodJerCuenta(12, 1, 1, MaximosNivel({0, 1, 9})), QString("1.104"));
}

void PruebaCodigos::decimoHermanoEnsanchaElNivel() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    for (int i = 1; i <= 9; ++i)
        QVERIFY(AgregoCuenta(i, 0, i));
    QVERIFY(AgregoCuenta(20, 4, 1));
    MaximosNivel m = MaximosDelPlan(1, 1);
    QCOMPARE(CodJerCuenta(4, 1, 1, m), QString("4"));
    QCOMPARE(CodJerCuenta(20, 1, 1, m), QString("4.1"));
    QCOMPARE(MascaraCodJer(m), QString("X.X"));
    QCOMPARE(CuentaDeCodJer("4.1", 1, 1), 20);
    QVERIFY(AgregoCuenta(10, 0, 10));
    // Until recomputed the old widths stay; then every top-level code takes two digits.
    QCOMPARE(CodJerCuenta(4, 1, 1, m), QString("4"));
    m = MaximosDelPlan(1, 1);
    QCOMPARE(CodJerCuenta(4, 1, 1, m), QString("04"));
    QCOMPARE(CodJerCuenta(20, 1, 1, m), QString("04.1"));
    QCOMPARE(CodJerCuenta(10, 1, 1, m), QString("10"));
    QCOMPARE(MascaraCodJer(m), QString("XX.X"));
    QCOMPARE(CuentaDeCodJer("04.1", 1, 1), 20);
}

void PruebaCodigos::cuentaDeCodJer_data() {
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<int>("cuenta");
    QTest::newRow("completo") << "01.003" << 10;
    QTest::newRow("tres niveles") << "01.003.1" << 20;
    QTest::newRow("resto en blanco da la sumaria") << "01.   .  " << 1;
    QTest::newRow("1. con ancho 2 empieza con 1") << "1.   " << 1;
    QTest::newRow("1. sin blancos") << "1." << 1;
    QTest::newRow("segmento corto prefiere el menor") << "01.1" << 11;
    QTest::newRow("segmento corto con blancos es a medias") << "01.1  " << -1;
    QTest::newRow("nivel dos cifras") << "12.   " << 3;
    QTest::newRow("sin punto") << "01003" << -1;
    QTest::newRow("nivel a medias") << "1 .   " << -1;
    QTest::newRow("segundo nivel a medias") << "01.03 " << -1;
    QTest::newRow("primer nivel en blanco") << "  .003" << -1;
    QTest::newRow("comodin ?") << "0?.003" << 10;
    QTest::newRow("comodin *") << "*.104" << 12;
    QTest::newRow("sin hijos") << "02.003" << -1;
    QTest::newRow("no existe") << "99.   " << -1;
    QTest::newRow("comilla") << "01'.003" << -1;
    QTest::newRow("texto de sentencia") << "1) OR (1=1.1" << -1;
    QTest::newRow("vacio") << "" << -1;
    // The chart's root is no level: neither a first-level match nor a level above the first.
    QTest::newRow("comodin solo") << "?.   " << 1;
    QTest::newRow("cero") << "0.   " << -1;
    QTest::newRow("raiz delante") << "0.01.003" << -1;
    // An invisible byte-order mark is a character typed, not nothing.
    QTest::newRow("marca de orden") << QString::fromUtf8("01.\xef\xbb\xbf") << -1;
}

void PruebaCodigos::cuentaDeCodJer() {
    QFETCH(QString, codigo);
    QFETCH(int, cuenta);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoEmpresaYEjercicio(1, 2, QDate(2025, 1, 1), QDate(2025, 12, 31));
    QVERIFY(PlanDeCodigos());
    // Another year's chart with the same ordinals never answers.
    Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, Descripcion, CuentaPadre, NumHijo) "
            "VALUES (1, 2, 500, 'OTRO', 0, 1)");
    QCOMPARE(CuentaDeCodJer(codigo, 1, 1), cuenta);
}

void PruebaCodigos::mascara() {
    QCOMPARE(MascaraCodJer(MaximosNivel({0, 7, 12, 104})), QString("X.XX.XXX"));
    QCOMPARE(MascaraCodJer(MaximosNivel({0, 7, 12, 104}), '_'), QString("_.__.___"));
    QCOMPARE(MascaraCodJer(MaximosNivel({0})), QString());
    QCOMPARE(MascaraCodJer(MaximosNivel()), QString());
    QCOMPARE(AnchoNivel(MaximosNivel({0, 0, 9, 10, 32767}), 1), 1);
    QCOMPARE(AnchoNivel(MaximosNivel({0, 0, 9, 10, 32767}), 3), 2);
    QCOMPARE(AnchoNivel(MaximosNivel({0, 0, 9, 10, 32767}), 4), 5);
    QCOMPARE(AnchoNivel(MaximosNivel({0, 0, 9, 10, 32767}), 5), 0);
}

void PruebaCodigos::ultNumHijo_data() {
    QTest::addColumn<int>("padre");
    QTest::addColumn<QList<int>>("hijos");
    QTest::addColumn<int>("sugerido");
    QTest::newRow("sin hijos") << 1 << QList<int>{} << 1;
    QTest::newRow("1 2") << 1 << QList<int>{1, 2} << 3;
    QTest::newRow("10 20") << 1 << QList<int>{10, 20} << 30;
    QTest::newRow("uno solo 1") << 1 << QList<int>{1} << 2;
    QTest::newRow("uno solo 5") << 1 << QList<int>{5} << 10;
    QTest::newRow("1 2 7") << 1 << QList<int>{1, 2, 7} << 12;
    QTest::newRow("raiz 1 2 7") << 0 << QList<int>{1, 2, 7} << 12;
    QTest::newRow("raiz uno solo 5") << 0 << QList<int>{5} << 10;
    QTest::newRow("raiz sin hijos") << 0 << QList<int>{} << 1;
    QTest::newRow("llega al maximo") << 1 << QList<int>{32765, 32766} << 32767;
    QTest::newRow("pasaria el maximo") << 1 << QList<int>{20000, 30000} << -1;
}

void PruebaCodigos::ultNumHijo() {
    QFETCH(int, padre);
    QFETCH(QList<int>, hijos);
    QFETCH(int, sugerido);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    if (padre != 0) QVERIFY(AgregoCuenta(padre, 0, 1));
    int n = 100;
    for (int h : hijos)
        QVERIFY(AgregoCuenta(n++, padre, h));
    QString mensaje;
    QCOMPARE(UltNumHijo(padre, 1, 1, &mensaje), sugerido);
    QCOMPARE(mensaje.isEmpty(), sugerido > 0);
    if (sugerido < 0) QVERIFY(mensaje.contains("32767"));
}

void PruebaCodigos::esAncestro() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    QVERIFY(PlanDeCodigos());
    QVERIFY(EsAncestro(1, 20, 1, 1));
    QVERIFY(EsAncestro(10, 20, 1, 1));
    QVERIFY(!EsAncestro(20, 20, 1, 1));
    QVERIFY(!EsAncestro(20, 1, 1, 1));
    QVERIFY(!EsAncestro(2, 20, 1, 1));
    QVERIFY(!EsAncestro(1, 999, 1, 1));
    // A parent loop in damaged data ends instead of hanging.
    QVERIFY(SinRelaciones(true));
    QVERIFY(AgregoCuenta(30, 31, 1));
    QVERIFY(AgregoCuenta(31, 30, 1));
    QVERIFY(SinRelaciones(false));
    QVERIFY(!EsAncestro(1, 30, 1, 1));
    QVERIFY(EsAncestro(31, 30, 1, 1));
}

void PruebaCodigos::arbolHuerfanosYSoloRaiz() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    MaximosNivel m{5, 5, 5};
    int nodos = 0;
    QVERIFY(CargoArbol(1, 1, m, [&](const NodoCuenta&) { ++nodos; }));
    QCOMPARE(nodos, 0);
    QCOMPARE(m, MaximosNivel({0}));
    QCOMPARE(MascaraCodJer(m), QString());

    QVERIFY(PlanDeCodigos());
    QVERIFY(SinRelaciones(true));
    QVERIFY(AgregoCuenta(40, 999, 50)); // parent missing: no node, and its ordinal counts for no level
    QVERIFY(AgregoCuenta(41, 40, 60));  // child of the orphan
    QVERIFY(SinRelaciones(false));
    QList<int> vistas;
    QVERIFY(CargoArbol(1, 1, m, [&](const NodoCuenta& n) { vistas << n.cuenta; }));
    QCOMPARE(vistas, QList<int>({1, 10, 20, 11, 12, 2, 3}));
    QCOMPARE(m, MaximosNivel({0, 12, 104, 1}));
    // The orphan's code stops where its chain breaks.
    QCOMPARE(CodJerCuenta(41, 1, 1, m), QString("50.060"));
    // A caller's query with unknown columns fails cleanly.
    QVERIFY(!CargoArbol("SELECT * FROM Cuentas", {}, "NoHay", "Descripcion", "CuentaPadre", "NumHijo", m));
    QCOMPARE(m, MaximosNivel({0}));
}

void PruebaCodigos::arbolProfundoYOrden() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    const int profundidad = 400;
    for (int i = 1; i <= profundidad; ++i)
        QVERIFY(AgregoCuenta(i, i - 1, i == 1 ? 1 : 3));
    // Siblings inserted out of ordinal order come out in ordinal order.
    QVERIFY(AgregoCuenta(1001, 5, 9));
    QVERIFY(AgregoCuenta(1002, 5, 2));
    MaximosNivel m;
    QList<NodoCuenta> nodos;
    QVERIFY(CargoArbol(1, 1, m, [&](const NodoCuenta& n) { nodos << n; }));
    QCOMPARE(nodos.size(), profundidad + 2);
    QCOMPARE(m.size(), profundidad + 1);
    // Children come before the next sibling: the deepest account right before 5's last child.
    QCOMPARE(nodos[nodos.size() - 2].cuenta, profundidad);
    QCOMPARE(nodos[nodos.size() - 2].nivel, profundidad);
    QCOMPARE(nodos.last().cuenta, 1001);
    QList<int> hijosDe5;
    for (const NodoCuenta& n : nodos)
        if (n.padre == 5) hijosDe5 << n.cuenta;
    QCOMPARE(hijosDe5, QList<int>({1002, 6, 1001}));
    QCOMPARE(m[6], 9);
    FilasPlan filas;
    QVERIFY(filas.Cargo(1, 1));
    const QString codigo = CodJerCuenta(profundidad, 1, 1, m, &filas);
    QCOMPARE(codigo.count('.'), profundidad - 1);
    QCOMPARE(codigo, CodJerCuenta(profundidad, 1, 1, m));
    QCOMPARE(CodJerCuenta(7, 1, 1, m), QString("1.3.3.3.3.3.3"));
    QCOMPARE(CuentaDeCodJer("1.3.3.3.3.3.3", 1, 1), 7);
}
