// The entry search's query: what it lists on one book with Null concepts, lines without accounts and
// entries without lines, hostile text bound as typed, defaults, the remembered order, query plans.
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/Importe.h"
#include "core/Ini.h"
#include "core/Valores.h"
#include "journal/BusquedaAsientos.h"
#include "journal/ListaAsientos.h"
#include "tests/support/Entorno.h"
#include "tst_asientos.h"

#include <QRegularExpression>
#include <QTest>

namespace {

void Asiento(int numero, const char* fecha, const QVariant& concepto, int ejercicio = 1) {
    Ejecuto(
        "INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Concepto) VALUES (1, ?, ?, ?, ?)",
        {ejercicio, numero, QString(fecha), concepto});
}
void Linea(int asiento, int detalle, const QVariant& cuenta, double importe, const QVariant& concepto,
           int ejercicio = 1) {
    Ejecuto(
        "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe, Concepto) "
        "VALUES (1, ?, ?, ?, ?, ?, ?)",
        {ejercicio, asiento, detalle, cuenta, importe, concepto});
}
const QVariant Nulo = QVariant(QMetaType::fromType<QString>());

} // namespace

// Year 1 of company 1 (2024) with the small chart plus two accounts of awkward names:
//   9 "O'K_1" "Crédito 50% d'Alba", 10 (no short code) "SIN CODIGO".
// Entries, by date: 6 (05/01), 1 (10/01), 2 (15/02), 3 and 4 (01/03, no lines), 5 (20/04).
// Year 2 holds an entry on Caja that no search of year 1 may list.
void Libro(Entorno& e) {
    e.CreoEmpresaYEjercicio(1, 2, QDate(2025, 1, 1), QDate(2025, 12, 31));
    e.CreoPlanChico(1, 2);
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, CuentaPadre, "
            "NumHijo) "
            "VALUES (1, 1, 9, 'O''K_1', 'Crédito 50% d''Alba', 1, 3), (1, 1, 10, NULL, 'SIN CODIGO', 1, 4)");
    Asiento(1, "2024-01-10", "Cobro factura 1");
    Linea(1, 1, 2, 1000, "cobro efectivo");
    Linea(1, 2, 7, -1000, Nulo);
    Asiento(2, "2024-02-15", Nulo);
    Linea(2, 1, 3, -500, "pago");
    Linea(2, 2, 8, 500, "gasto varios");
    Asiento(3, "2024-03-01", "Sin líneas");
    Asiento(4, "2024-03-01", Nulo);
    Asiento(5, "2024-04-20", "Ajuste 50% d'Alba");
    Linea(5, 1, 5, -1500.50, Nulo);
    Linea(5, 2, Nulo, 0, "sin cuenta");
    Linea(5, 3, 9, 1500.50, "cobro parcial_x");
    Asiento(6, "2024-01-05", "Caja chica");
    Linea(6, 1, 2, 2000, "reposición");
    Linea(6, 2, 2, 200, "reposición");
    Linea(6, 3, 10, -2200, "transf");
    Asiento(1, "2025-01-10", "Cobro otro año", 2);
    Linea(1, 1, 2, 1, "cobro", 2);
}

namespace {

// "campo=valor" pairs onto the criteria; the decimal character is the comma.
CriteriosBusqueda Criterios(const QStringList& pares) {
    CriteriosBusqueda c;
    for (const QString& par : pares) {
        const QString campo = par.section('=', 0, 0), valor = par.section('=', 1);
        QString* destinos[] = {&c.fechaDe,      &c.fechaA,          &c.asientoDe,   &c.asientoA,
                               &c.concepto,     &c.conceptoDetalle, &c.descripcion, &c.codInt,
                               &c.importeDesde, &c.importeHasta};
        const QStringList nombres = {"fechaDe",      "fechaA",          "asientoDe",   "asientoA",
                                     "concepto",     "conceptoDetalle", "descripcion", "codInt",
                                     "importeDesde", "importeHasta"};
        const int i = nombres.indexOf(campo);
        if (i >= 0)
            *destinos[i] = valor;
        else if (campo == "porImporte")
            c.porImporte = valor.toInt();
        else if (campo == "orden")
            c.orden = valor.toInt();
        else
            qFatal("criterio desconocido %s", qPrintable(campo));
    }
    return c;
}

// The rows of a query as "entry(lines)" in their order: "6(1,2,3) 1(1,2) 3()".
} // namespace

QString Listado(const ConsultaSql& q) {
    QSqlQuery r = Consulto(q.sql, q.parametros);
    if (!r.isActive()) return "ERROR " + r.lastError().text();
    QStringList asientos;
    int actual = -1;
    QStringList lineas;
    auto cierro = [&] {
        if (actual >= 0) asientos << QString("%1(%2)").arg(actual).arg(lineas.join(','));
        lineas.clear();
    };
    while (r.next()) {
        const int a = r.value(3).toInt();
        if (a != actual) {
            cierro();
            actual = a;
        }
        if (!r.value(4).isNull()) lineas << r.value(4).toString();
    }
    cierro();
    return asientos.join(' ');
}

void PruebaBusqueda::consulta_data() {
    QTest::addColumn<QStringList>("criterios");
    QTest::addColumn<QString>("listado");
    const QString todos = "6(1,2,3) 1(1,2) 2(2,1) 3() 4() 5(3,2,1)";
    auto fila = [](const char* n, QStringList c, const QString& l) { QTest::newRow(n) << c << l; };
    // Every entry of the year, those without concept or lines included; debit lines first, then 0,
    // then credit lines.
    fila("sin criterios", {}, todos);
    fila("por asiento", {"orden=1"}, "1(1,2) 2(2,1) 3() 4() 5(3,2,1) 6(1,2,3)");
    fila("fechas", {"fechaDe=01/02/2024", "fechaA=01/03/2024"}, "2(2,1) 3() 4()");
    fila("números", {"asientoDe=2", "asientoA=4"}, "2(2,1) 3() 4()");
    fila("número vacío o no numérico", {"asientoDe=", "asientoA=x'1"}, todos);
    fila("concepto parcial sin mayúsculas", {"concepto=COBRO"}, "1(1,2)");
    fila("concepto con comodines", {"concepto=c?ja*ch"}, "6(1,2,3)");
    // The line concept filters the lines listed.
    fila("concepto de línea", {"conceptoDetalle=cobro*"}, "1(1) 5(3)");
    // The account qualifies the entry; every line is listed, each once.
    fila("descripción", {"descripcion=caja"}, "6(1,2,3) 1(1,2)");
    fila("código", {"codInt=vtas"}, "1(1,2)");
    fila("descripción y código de una misma cuenta", {"descripcion=caja", "codInt=vtas"}, "");
    fila("mayúsculas acentuadas", {"descripcion=CRÉDITO"}, "5(3,2,1)");
    // Quotes, % and _ are what they say; * and ? are the wildcards.
    fila("comilla", {"descripcion=d'alba", "concepto=50% d'A"}, "5(3,2,1)");
    fila("porcentaje literal", {"descripcion=o%d"}, "");
    fila("guion bajo literal", {"codInt=_K"}, "");
    fila("guion bajo en el texto", {"codInt=k_1", "conceptoDetalle=l_x"}, "5(3)");
    fila("signo de pregunta comodín", {"codInt=?K"}, "5(3,2,1)");
    fila("barra invertida", {"conceptoDetalle=\\x"}, "");
    // Amounts: a debit, a credit, either line, or the entry's total of debits; ends included.
    fila("en debe desde", {"porImporte=0", "importeDesde=1000"}, "6(1,2,3) 1(1,2) 5(3,2,1)");
    fila("en debe hasta", {"porImporte=0", "importeHasta=200"}, "6(1,2,3) 5(3,2,1)");
    fila("en haber desde", {"porImporte=1", "importeDesde=1000"}, "6(1,2,3) 1(1,2) 5(3,2,1)");
    fila("en haber hasta", {"porImporte=1", "importeHasta=500"}, "2(2,1) 5(3,2,1)");
    fila("en haber entre", {"porImporte=1", "importeDesde=1000", "importeHasta=1500,5"}, "1(1,2) 5(3,2,1)");
    fila("cualquiera entre", {"porImporte=2", "importeDesde=1.500,50", "importeHasta=2000"},
         "6(1,2,3) 5(3,2,1)");
    fila("cualquiera desde", {"porImporte=2", "importeDesde=1500,51"}, "6(1,2,3)");
    fila("suma de débitos entre", {"porImporte=3", "importeDesde=1000", "importeHasta=2000"},
         "1(1,2) 5(3,2,1)");
    fila("suma de débitos hasta", {"porImporte=3", "importeHasta=500"}, "2(2,1)");
    fila("suma de débitos desde", {"porImporte=3", "importeDesde=2200"}, "6(1,2,3)");
    fila("importe y concepto de línea", {"porImporte=2", "importeDesde=2000", "conceptoDetalle=transf"},
         "6(3)");
}

void PruebaBusqueda::consulta() {
    QFETCH(QStringList, criterios);
    QFETCH(QString, listado);
    Entorno e;
    Libro(e);
    QString error;
    const auto q = ArmoBusqueda(Criterios(criterios), 1, 1, &error);
    QVERIFY2(q.has_value(), qPrintable(error));
    QCOMPARE(Listado(*q), listado);
    // The editor folds the same rows into one row per entry, in the same order.
    ListaAsientos filas;
    QVERIFY(ArmoListaAsientos(Contexto(), *q, filas));
    QStringList numeros, plegadas;
    for (qsizetype i = 0; i < filas.size(); ++i) {
        const FilaListaAsientos f = filas[i];
        numeros << QString::number(f.asiento);
        plegadas << QStringList{QString::number(f.asiento), f.fecha.toString(Qt::ISODate), f.concepto,
                                f.cuentasDebe, f.cuentasHaber, f.totalDebe.Texto(u',', u'.')}
                        .join('|');
    }
    QCOMPARE(numeros.join(' '), QString(listado).remove(QRegularExpression("\\([^)]*\\)")));
    // Each row holds what Qt's statement reads of its entry: date, concept, each line's account in its
    // column, the debit total.
    QSqlQuery r = Consulto(q->sql, q->parametros);
    QStringList esperadas, debe, haber;
    Importe total;
    QString cabecera;
    auto cierro = [&] {
        if (!cabecera.isEmpty())
            esperadas << cabecera + '|' + debe.join('\n') + '|' + haber.join('\n') + '|' + total.Texto(u',', u'.');
        debe.clear();
        haber.clear();
        total = Importe();
    };
    int ultimo = -1;
    while (r.next()) {
        if (r.value(3).toInt() != ultimo) {
            cierro();
            ultimo = r.value(3).toInt();
            cabecera = r.value(3).toString() + '|' + FechaDeBase(r.value(0)).toString(Qt::ISODate) + '|' +
                       r.value(1).toString();
        }
        if (r.value(4).isNull()) continue;
        const Importe i = Importe::DeBase(r.value(6));
        (i.signo() >= 0 ? debe : haber) << r.value(2).toString() + "- " + r.value(5).toString();
        if (i.signo() >= 0) total += i;
    }
    cierro();
    QCOMPARE(plegadas, esperadas);
}

void PruebaBusqueda::criteriosInvalidos_data() {
    QTest::addColumn<QStringList>("criterios");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("fecha inexistente") << QStringList{"fechaA=31/02/2024"} << "Hasta Fecha: \"31/02/2024\"";
    QTest::newRow("fecha a medias") << QStringList{"fechaDe=12/03"} << "Desde Fecha: \"12/03\"";
    QTest::newRow("dos separadores") << QStringList{"importeDesde=1,2,3"} << "Importe desde: \"1,2,3\"";
    QTest::newRow("letras") << QStringList{"importeHasta=12a"} << "Importe hasta: \"12a\"";
    QTest::newRow("negativo") << QStringList{"importeHasta=-5"} << "Importe hasta: el importe buscado";
}

void PruebaBusqueda::criteriosInvalidos() {
    QFETCH(QStringList, criterios);
    QFETCH(QString, mensaje);
    QString error;
    QVERIFY(!ArmoBusqueda(Criterios(criterios), 1, 1, &error));
    QVERIFY2(error.startsWith(mensaje), qPrintable(error));
}

void PruebaBusqueda::defectosYOrdenRecordado() {
    Entorno e;
    Libro(e);
    const DefectosBusqueda d = LeoDefectosBusqueda(1, 1);
    QCOMPARE(d.fechaDe, QDate(2024, 1, 1));
    QCOMPARE(d.fechaA, QDate(2024, 4, 20));
    QCOMPARE(d.asientoA, 6);
    // A year without entries: its last day and 0.
    e.CreoEmpresaYEjercicio(1, 3, QDate(2026, 7, 1), QDate(2027, 6, 30));
    const DefectosBusqueda v = LeoDefectosBusqueda(1, 3);
    QCOMPARE(v.fechaA, QDate(2027, 6, 30));
    QCOMPARE(v.asientoA, 0);

    QVERIFY(!OrdenRecordado());
    RecuerdoOrden(PorAsiento);
    QCOMPARE(LeoLocal("BusquedaAsientos", "Orden", ""), QString("1"));
    QCOMPARE(OrdenRecordado(), std::optional<int>(PorAsiento));
    RecuerdoOrden(PorFecha);
    QCOMPARE(OrdenRecordado(), std::optional<int>(PorFecha));
    EscriboLocal("BusquedaAsientos", "Orden", "7");
    QVERIFY(!OrdenRecordado());
}

// Entries and lines are reached by key, never read whole; the account criteria are answered once
// for the year (from the matching accounts), not once per entry.
void PruebaBusqueda::planes_data() {
    QTest::addColumn<QStringList>("criterios");
    QTest::addColumn<bool>("porAsiento"); // a subquery run once per entry is acceptable
    QTest::newRow("todo") << QStringList{"fechaDe=01/01/2024", "fechaA=31/12/2024", "asientoDe=1",
                                         "asientoA=6"}
                          << false;
    QTest::newRow("cuenta") << QStringList{"descripcion=caja", "codInt=c*"} << false;
    QTest::newRow("importe") << QStringList{"porImporte=1", "importeDesde=5"} << true;
}

void PruebaBusqueda::planes() {
    QFETCH(QStringList, criterios);
    QFETCH(bool, porAsiento);
    Entorno e;
    SOLO_ARCHIVO("los pasos esperados son los del plan de SQLite");
    Libro(e);
    Ejecuto("ANALYZE");
    const auto q = ArmoBusqueda(Criterios(criterios), 1, 1);
    QSqlQuery r = Consulto("EXPLAIN QUERY PLAN " + q->sql, q->parametros);
    QStringList pasos;
    while (r.next())
        pasos << r.value(3).toString();
    QVERIFY(!pasos.isEmpty());
    static const QRegularExpression leidoEntero("^SCAN (Asientos|DetAsientos|D0|DA)\\b");
    for (const QString& paso : pasos) {
        QVERIFY2(!leidoEntero.match(paso).hasMatch(), qPrintable(pasos.join(" | ")));
        if (!porAsiento) QVERIFY2(!paso.contains("CORRELATED"), qPrintable(pasos.join(" | ")));
    }
}
