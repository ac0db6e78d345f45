#include "accounts/ConsultasPlan.h"
#include "accounts/IngresoCuenta.h"
#include "accounts/OperacionesCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Ini.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "tests/support/Entorno.h"
#include "tst_cuentas.h"

#include <QMap>
#include <QTest>

namespace {
// "padre.hijo" of accounts 1 to n, in account order.
QString Posiciones(int n = 8) {
    QStringList l;
    for (int c = 1; c <= n; ++c) {
        QSqlQuery q =
            Consulto("SELECT CuentaPadre, NumHijo FROM Cuentas WHERE EmpresaPropia=1 AND NumEjercicio=1 "
                     "AND Cuenta=?",
                     {c});
        l << (q.next() ? QString("%1.%2").arg(q.value(0).toInt()).arg(q.value(1).toInt()) : QString("-"));
    }
    return l.join(' ');
}
void Conceptos() {
    for (int i = 1; i <= 3; ++i)
        Ejecuto("INSERT INTO ConceptosDetAsiento (ConceptoDetAsiento, descConceptoDetAsiento) VALUES (?, ?)",
                {i, QString("Leyenda %1").arg(i)});
}
bool Registro() {
    App().currentSession = NuevaSesion();
    RegistroPantalla(ContextoActual().En(1, 1), PantallaCuentas);
    return PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas);
}
} // namespace

void PruebaOperaciones::agregoCuenta() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    Conceptos();
    QVERIFY(Registro());
    DatosCuenta d;
    d.descripcion = "O'Higgins 50% _x";
    d.numHijo = "4";
    d.condDebito = false;
    d.cuentaResultado = true;
    d.ajustable = true;
    d.conceptosDebe = {1, 2, 1}; // the repeated concept is stored once
    d.conceptosHaber = {3};
    const Grabacion g = AgregoCuenta(ContextoActual(), 1, 1, 0, d);
    QVERIFY2(g.ok(), qPrintable(g.mensaje));
    QCOMPARE(g.cuenta, 9);
    QSqlQuery q =
        Consulto("SELECT CodInt, Descripcion, CuentaPadre, NumHijo, CondDebito, CuentaResultado, Ajustable "
                 "FROM Cuentas WHERE EmpresaPropia=1 AND NumEjercicio=1 AND Cuenta=9");
    QVERIFY(q.next());
    QVERIFY(q.isNull(0)); // an empty short code is stored as Null
    QCOMPARE(q.value(1).toString(), d.descripcion);
    QCOMPARE(q.value(2).toInt(), 0);
    QCOMPARE(q.value(3).toInt(), 4);
    QCOMPARE(q.value(4).toInt(), 0);
    QCOMPARE(q.value(5).toInt(), -1);
    QCOMPARE(q.value(6).toInt(), -1);
    q.finish();
    QCOMPARE(Cuento("CuentasConceptos", "Cuenta=9 AND Debe=-1"), 2);
    QCOMPARE(Cuento("CuentasConceptos", "Cuenta=9 AND Debe=0"), 1);
    QVERIFY(!PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas));

    d.numHijo = "abc";
    QCOMPARE(AgregoCuenta(ContextoActual(), 1, 1, 1, d).falla, Grabacion::NumHijoInvalido);
    d.numHijo = "40000";
    QCOMPARE(AgregoCuenta(ContextoActual(), 1, 1, 1, d).mensaje, TextosCuentas::NumHijoInvalido);
    QCOMPARE(Cuento("Cuentas"), 10);
}

void PruebaOperaciones::agregoBajoCuentaConLineas() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoEmpresaYEjercicio(1, 2, QDate(2025, 1, 1), QDate(2025, 12, 31));
    e.CreoPlanChico();
    e.CreoPlanChico(1, 2);
    QVERIFY(AgregoLinea(2, 1, 2)); // CAJA has lines only in the other year
    DatosCuenta d;
    d.descripcion = "CAJA CHICA";
    d.numHijo = "1";
    QVERIFY(AgregoCuenta(ContextoActual(), 1, 1, 2, d).ok());
    QVERIFY(AgregoLinea(3)); // BANCOS has lines in this year
    const Grabacion g = AgregoCuenta(ContextoActual(), 1, 1, 3, d);
    QCOMPARE(g.falla, Grabacion::PadreImputable);
    QCOMPARE(g.mensaje, TextosCuentas::PadreImputable);
    QCOMPARE(Cuento("Cuentas", "NumEjercicio=1 AND CuentaPadre=3"), 0);
}

void PruebaOperaciones::grabacionFallidaNoDejaNada() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    Conceptos();
    QVERIFY(Registro());
    DatosCuenta d;
    d.descripcion = "NUEVA";
    d.numHijo = "3";
    d.conceptosDebe = {1, 99}; // 99 is no concept: the links fail, and the account goes with them
    const Grabacion g = AgregoCuenta(ContextoActual(), 1, 1, 1, d);
    QCOMPARE(g.falla, Grabacion::Base);
    QVERIFY(g.mensaje.startsWith(TextosCuentas::NoGraba));
    QCOMPARE(Cuento("Cuentas"), 9);
    QCOMPARE(Cuento("CuentasConceptos"), 0);
    QVERIFY(PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas)); // nothing stored, nobody told to reload
    // The same on an edit: the old data and links stay.
    d.conceptosDebe = {1};
    QVERIFY(ModificoCuenta(ContextoActual(), 1, 1, 2, d).ok());
    d.descripcion = "OTRA";
    d.conceptosDebe = {2, 99};
    QCOMPARE(ModificoCuenta(ContextoActual(), 1, 1, 2, d).falla, Grabacion::Base);
    QCOMPARE(NuloAVacio(ValorCampo("Cuentas", "Descripcion", "Cuenta=2")), QString("NUEVA"));
    QCOMPARE(Cuento("CuentasConceptos", "Cuenta=2 AND ConceptoDetAsiento=1"), 1);
}

void PruebaOperaciones::modificoReemplazaConceptos() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    Conceptos();
    DatosCuenta d;
    d.descripcion = "CAJA";
    d.codInt = "CJ";
    d.conceptosDebe = {1, 2};
    QVERIFY(ModificoCuenta(ContextoActual(), 1, 1, 2, d).ok());
    d.conceptosDebe = {3};
    d.conceptosHaber = {1};
    d.numHijo = "77"; // the ordinal never changes on an edit
    QVERIFY(ModificoCuenta(ContextoActual(), 1, 1, 2, d).ok());
    QCOMPARE(Cuento("CuentasConceptos", "Cuenta=2"), 2);
    QCOMPARE(Cuento("CuentasConceptos", "Cuenta=2 AND Debe=-1 AND ConceptoDetAsiento=3"), 1);
    QCOMPARE(Posiciones(2), QString("0.1 1.1"));
    QCOMPARE(NuloAVacio(ValorCampo("Cuentas", "CodInt", "Cuenta=2")), QString("CJ"));
    // An account deleted meanwhile by another session is not reported as saved.
    QVERIFY(EliminoCuenta(ContextoActual(), 1, 1, 3).ok());
    const Grabacion g = ModificoCuenta(ContextoActual(), 1, 1, 3, DatosCuenta{});
    QCOMPARE(g.falla, Grabacion::Base);
    QVERIFY(g.mensaje.startsWith(TextosCuentas::NoGraba));
}

void PruebaOperaciones::eliminoCuenta() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    Conceptos();
    QVERIFY(Registro());
    QCOMPARE(EliminoCuenta(ContextoActual(), 1, 1, 1).falla, Eliminacion::TieneHijos);
    QCOMPARE(EliminoCuenta(ContextoActual(), 1, 1, 0).falla, Eliminacion::Raiz);
    QVERIFY(AgregoLinea(3));
    const Eliminacion conLineas = EliminoCuenta(ContextoActual(), 1, 1, 3);
    QCOMPARE(conLineas.falla, Eliminacion::Base);
    QVERIFY(conLineas.mensaje.startsWith(TextosCuentas::NoElimina));
    QVERIFY(conLineas.mensaje.size() > TextosCuentas::NoElimina.size());
    QCOMPARE(Cuento("Cuentas", "Cuenta=3"), 1);
    QVERIFY(PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas));
    DatosCuenta d;
    d.descripcion = "CAJA";
    d.conceptosDebe = {1};
    QVERIFY(ModificoCuenta(ContextoActual(), 1, 1, 2, d).ok());
    QVERIFY(Registro());
    QVERIFY(EliminoCuenta(ContextoActual(), 1, 1, 2).ok());
    QCOMPARE(Cuento("Cuentas", "Cuenta=2"), 0);
    QCOMPARE(Cuento("CuentasConceptos", "Cuenta=2"), 0);
    QVERIFY(!PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas));
    QCOMPARE(EliminoCuenta(ContextoActual(), 1, 1, 2).falla, Eliminacion::Base); // already gone
}

void PruebaOperaciones::muevoCuenta_data() {
    QTest::addColumn<int>("arrastrada");
    QTest::addColumn<int>("destino");
    QTest::addColumn<int>("resultado");
    QTest::addColumn<QString>("despues");
    const QString inicial = "0.1 1.1 1.2 0.2 4.1 0.3 6.1 6.2";
    QTest::newRow("antes del ordinal 1 toma el 0")
        << 8 << 5 << int(Movimiento::Hecho) << "0.1 1.1 1.2 0.2 4.1 0.3 6.1 4.0";
    QTest::newRow("hermano anterior ocupado corre")
        << 2 << 3 << int(Movimiento::Hecho) << "0.1 1.2 1.3 0.2 4.1 0.3 6.1 6.2";
    QTest::newRow("a primer nivel corre en cascada")
        << 7 << 4 << int(Movimiento::Hecho) << "0.1 1.1 1.2 0.3 4.1 0.4 0.2 6.2";
    QTest::newRow("antes de la primera de nivel 1 no toma el 0")
        << 5 << 1 << int(Movimiento::Hecho) << "0.2 1.1 1.2 0.3 0.1 0.4 6.1 6.2";
    QTest::newRow("con hijos") << 6 << 5 << int(Movimiento::Hecho) << "0.1 1.1 1.2 0.2 4.1 4.0 6.1 6.2";
    QTest::newRow("sobre su descendiente") << 1 << 2 << int(Movimiento::HijaDeSiMisma) << inicial;
    QTest::newRow("sobre la raiz") << 2 << 0 << int(Movimiento::Ignorado) << inicial;
    QTest::newRow("sobre si misma") << 2 << 2 << int(Movimiento::Ignorado) << inicial;
    QTest::newRow("desborde del ordinal deshace todo") << 8 << 10 << int(Movimiento::Falla) << inicial;
}

void PruebaOperaciones::muevoCuenta() {
    QFETCH(int, arrastrada);
    QFETCH(int, destino);
    QFETCH(int, resultado);
    QFETCH(QString, despues);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    QVERIFY(AgregoCuenta(9, 1, 32766));
    QVERIFY(AgregoCuenta(10, 1, 32767));
    QVERIFY(Registro());
    const Movimiento m = MuevoCuenta(ContextoActual(), 1, 1, arrastrada, destino);
    QCOMPARE(int(m.resultado), resultado);
    QCOMPARE(Posiciones(), despues);
    QCOMPARE(PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas), m.resultado != Movimiento::Hecho);
    if (m.resultado == Movimiento::HijaDeSiMisma) QCOMPARE(m.mensaje, TextosCuentas::HijaDeSiMisma);
    if (m.resultado == Movimiento::Falla) QVERIFY(m.mensaje.startsWith(TextosCuentas::NoMueve));
    QCOMPARE(Cuento("Cuentas", "NumHijo<0"), 0);
}

namespace {
class FilaPrueba : public CeldasCuenta {
public:
    QMap<int, QString> celdas;
    int activa = 0;
    QString texto(int c) const override { return celdas.value(c); }
    void setTexto(int c, const QString& t) override { celdas[c] = t; }
    void Activo(int c) override { activa = c; }
};
} // namespace

void PruebaOperaciones::ingresoCuenta_data() {
    QTest::addColumn<int>("columna");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("cuenta");
    QTest::addColumn<QString>("codInt");
    QTest::addColumn<QString>("codJer");
    QTest::addColumn<QString>("descripcion");
    QTest::newRow("código abreviado") << 2 << "CAJA" << 2 << "CAJA"
                                      << "1.1"
                                      << "CAJA";
    QTest::newRow("código abreviado en minúsculas") << 2 << "bco" << 3 << "bco"
                                                    << "1.2"
                                                    << "BANCOS";
    QTest::newRow("código jerárquico") << 3 << "3.2" << 8 << "GTOS"
                                       << "3.2"
                                       << "GASTOS";
    QTest::newRow("jerárquico de una sumaria") << 3 << "2. " << 4 << "P"
                                               << "2. "
                                               << "PASIVO";
    QTest::newRow("jerárquico recortado por la grilla") << 3 << "3" << 6 << "R"
                                                        << "3"
                                                        << "RESULTADOS";
    QTest::newRow("parte de la descripción") << 4 << "vent" << 7 << "VTAS"
                                             << "3.1"
                                             << "VENTAS";
    QTest::newRow("descripción con comodín") << 4 << "B*COS" << 3 << "BCO"
                                             << "1.2"
                                             << "BANCOS";
}

void PruebaOperaciones::ingresoCuenta() {
    QFETCH(int, columna);
    QFETCH(QString, texto);
    QFETCH(int, cuenta);
    QFETCH(QString, codInt);
    QFETCH(QString, codJer);
    QFETCH(QString, descripcion);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    // The block starts after an origin column: here column 5, so the account is at 6..9.
    const int origen = 5;
    FilaPrueba f;
    f.celdas[origen + columna] = texto;
    bool abierto = false;
    const bool elegido = IngresoCuenta(ContextoActual(), f, origen + columna, origen, MaximosDelPlan(1, 1), [&](const PedidoPlan&) {
        abierto = true;
        return std::optional<Eleccion>();
    });
    QVERIFY(!elegido);
    QVERIFY(!abierto);
    QCOMPARE(f.celdas.value(origen + 1), QString::number(cuenta));
    QCOMPARE(f.celdas.value(origen + 2), codInt);
    QCOMPARE(f.celdas.value(origen + 3), codJer);
    QCOMPARE(f.celdas.value(origen + 4), descripcion);
    QCOMPARE(f.activa, origen + 4);
    QCOMPARE(UltFormaIngresoCuenta(), columna);
    QCOMPARE(LeoLocal("Varios", "UltFormaIngresoCuenta", ""), QString::number(columna));
}

void PruebaOperaciones::ingresoSinCoincidenciaAbreSelector() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    QCOMPARE(UltFormaIngresoCuenta(), 2);
    FilaPrueba f;
    f.celdas[2] = "ZZ'Z";
    f.celdas[3] = "viejo";
    int vecesAbierto = 0;
    QString buscado;
    int elegir = 5;
    auto selector = [&](const PedidoPlan& p) -> std::optional<Eleccion> {
        ++vecesAbierto;
        buscado = p.buscado;
        if (p.empresa != 1 || p.ejercicio != 1 || p.preseleccion != -1) return std::nullopt;
        if (elegir < 0) return std::nullopt;
        Eleccion c;
        c.codigo = elegir;
        c.texto = "PROV";
        c.codJer = "2.1";
        c.descripcion = "PROVEEDORES";
        return c;
    };
    QVERIFY(IngresoCuenta(ContextoActual(), f, 2, 0, MaximosDelPlan(1, 1), selector));
    QCOMPARE(vecesAbierto, 1);
    QCOMPARE(buscado, QString("ZZ'Z"));
    QCOMPARE(f.celdas.value(1), QString("5"));
    QCOMPARE(f.celdas.value(2), QString("PROV"));
    QCOMPARE(f.celdas.value(3), QString("2.1"));
    QCOMPARE(f.celdas.value(4), QString("PROVEEDORES"));
    QCOMPARE(f.activa, 4);

    // Closing the picker without choosing leaves -1 and empties the block; an empty description
    // opens it with no search text.
    elegir = -1;
    f.celdas[4] = "";
    QVERIFY(!IngresoCuenta(ContextoActual(), f, 4, 0, MaximosDelPlan(1, 1), selector));
    QCOMPARE(vecesAbierto, 2);
    QVERIFY(buscado.isNull());
    QCOMPARE(f.celdas.value(1), QString("-1"));
    QVERIFY(f.celdas.value(2).isEmpty() && f.celdas.value(3).isEmpty() && f.celdas.value(4).isEmpty());
    QCOMPARE(UltFormaIngresoCuenta(), 4);
}

void PruebaOperaciones::planDeIngreso() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    e.CreoEmpresaYEjercicio(2, 3);
    e.CreoPlanChico(2, 3);
    App().currentCompany = 1;
    App().currentYear = 1;
    PlanIngreso p = PlanDeIngreso(ContextoActual());
    QVERIFY(p.delEjercicioActual);
    QCOMPARE(p.empresa, 1);
    QCOMPARE(p.ejercicio, 1);
    FilaPrueba f;
    f.celdas[2] = "CAJA";
    int abierto = 0;
    IngresoCuenta(ContextoActual(), f, 2, 0, MaximosNivel{0, 3, 2}, [&](const PedidoPlan&) {
        ++abierto;
        return std::optional<Eleccion>();
    });
    QCOMPARE(abierto, 1); // company 1's own chart has no CAJA
    Ejecuto("UPDATE EmpresasPropia SET EmpresaPropiaEj=2, NumEjercicio=3 WHERE EmpresaPropia=1");
    p = PlanDeIngreso(ContextoActual());
    f.celdas[2] = "CAJA";
    QVERIFY(!p.delEjercicioActual);
    QCOMPARE(p.empresa, 2);
    QCOMPARE(p.ejercicio, 3);
    QVERIFY(!IngresoCuenta(ContextoActual(), f, 2, 0, MaximosNivel{0, 3, 2}, [&](const PedidoPlan&) {
        ++abierto;
        return std::optional<Eleccion>();
    }));
    QCOMPARE(abierto, 1);
    QCOMPARE(f.celdas.value(1), QString("2"));
}

// The chart screen's searches by short code and by description over the small chart of (1, 1):
// anywhere in the text, letter case ignored, "*" and "?" as wildcards, never another chart's account.
void PruebaOperaciones::busquedasDelPlan_data() {
    QTest::addColumn<bool>("porCodInt");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("cuenta");
    QTest::newRow("código en minúsculas") << true << "caja" << 2;
    QTest::newRow("código por su medio") << true << "TA" << 7;
    QTest::newRow("código con ?") << true << "b?o" << 3;
    QTest::newRow("código que nadie tiene") << true << "ZZ" << -1;
    QTest::newRow("descripción por su medio") << false << "veedor" << 5;
    QTest::newRow("descripción con *") << false << "v*tas" << 7;
    QTest::newRow("descripción más larga que la cuenta") << false << "ACTIVOS" << -1;
    QTest::newRow("solo en otro plan") << false << "fuerte" << -1;
}

void PruebaOperaciones::busquedasDelPlan() {
    QFETCH(bool, porCodInt);
    QFETCH(QString, texto);
    QFETCH(int, cuenta);
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 2);
    e.CreoEmpresaYEjercicio(1, 1);
    e.CreoPlanChico();
    Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, CuentaPadre, "
            "NumHijo) "
            "VALUES (1, 2, 1, 'CF', 'CAJA FUERTE', 0, 1)");
    QCOMPARE(porCodInt ? BuscoPorCodInt(texto, 1, 1) : BuscoPorDescripcion(texto, 1, 1), cuenta);
    // What the data panel shows of an account, and of one that is not there.
    const std::optional<DatosCuenta> d = LeoCuenta(1, 1, 5);
    QVERIFY(d);
    QCOMPARE(QStringList({d->descripcion, d->codInt, d->numHijo}), QStringList({"PROVEEDORES", "PROV", "1"}));
    QVERIFY(!d->condDebito && !d->cuentaResultado && !d->ajustable);
    QVERIFY(!LeoCuenta(1, 1, 99));
    QVERIFY(ExistePlan(1, 2) && !ExistePlan(1, 3));
}
