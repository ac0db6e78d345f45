// Money: what a user may type, how it is shown, and sums that stay exact to the cent.
#include "core/Basedatos.h"
#include "core/Importe.h"
#include "tests/support/Entorno.h"
#include "tst_core.h"

#include <QTest>
#include <limits>

void PruebaImporte::leo_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<qint64>("centavos"); // -1 with an error expected
    QTest::addColumn<QString>("error");   // part of the explanation
    const QString mal = "no es un importe válido";
    QTest::newRow("vacio es cero") << "  "
                                   << "," << qint64(0) << "";
    QTest::newRow("entero") << "1234"
                            << "," << qint64(123400) << "";
    QTest::newRow("coma decimal") << "12,5"
                                  << "," << qint64(1250) << "";
    QTest::newRow("punto de teclado numerico") << "12.5"
                                               << "," << qint64(1250) << "";
    QTest::newRow("punto con tres digitos son miles") << "1.234"
                                                      << "," << qint64(123400) << "";
    QTest::newRow("punto con tres digitos es decimal si el sistema lo usa")
        << "1.234"
        << "." << qint64(-1) << "dos decimales";
    QTest::newRow("miles y decimales") << "1.234.567,89"
                                       << "," << qint64(123456789) << "";
    QTest::newRow("estilo ingles") << "1,234,567.89"
                                   << "," << qint64(123456789) << "";
    QTest::newRow("signo adelante") << "-0,01"
                                    << "," << qint64(-1) << "";
    QTest::newRow("signo atras") << "15,20-"
                                 << "," << qint64(-1520) << "";
    QTest::newRow("mas") << "+7"
                         << "," << qint64(700) << "";
    QTest::newRow("espacios") << " 1 234,5 "
                              << "," << qint64(123450) << "";
    QTest::newRow("sin parte entera") << ",75"
                                      << "," << qint64(75) << "";
    QTest::newRow("trece digitos") << "9999999999999,99"
                                   << "," << qint64(Importe::Maximo) << "";
    QTest::newRow("ceros a la izquierda no cuentan") << "00000000000001"
                                                     << "," << qint64(100) << "";
    QTest::newRow("catorce digitos") << "10000000000000"
                                     << "," << qint64(-1) << "13 dígitos";
    QTest::newRow("tres decimales") << "1,005"
                                    << "," << qint64(-1) << "dos decimales";
    QTest::newRow("dos separadores decimales") << "1,2,3"
                                               << "," << qint64(-1) << "miles";
    QTest::newRow("decimal repetido tras miles") << "1.234,5,6"
                                                 << "," << qint64(-1) << "separador decimal";
    QTest::newRow("miles mal agrupados") << "12.34.567"
                                         << "," << qint64(-1) << "miles";
    QTest::newRow("letras") << "12a"
                            << "," << qint64(-1) << mal;
    QTest::newRow("solo signo") << "-"
                                << "," << qint64(-1) << mal;
    QTest::newRow("solo separador") << ","
                                    << "," << qint64(-1) << mal;
    QTest::newRow("dos signos") << "--5"
                                << "," << qint64(-1) << mal;
    QTest::newRow("digitos no latinos") << "١٢"
                                        << "," << qint64(-1) << mal;
}

void PruebaImporte::leo() {
    QFETCH(QString, texto);
    QFETCH(QString, decimal);
    QFETCH(qint64, centavos);
    QFETCH(QString, error);
    QString explicacion;
    const auto i = Importe::Leo(texto, &explicacion, decimal.at(0));
    if (error.isEmpty()) {
        QVERIFY2(i.has_value(), qPrintable(explicacion));
        QCOMPARE(i->centavos(), centavos);
    } else {
        QVERIFY(!i.has_value());
        QVERIFY2(explicacion.contains(error), qPrintable(explicacion));
        QVERIFY(explicacion.contains(texto.trimmed()));
    }
}

void PruebaImporte::formato_data() {
    QTest::addColumn<qint64>("centavos");
    QTest::addColumn<QString>("texto");   // decimal ',' thousands '.'
    QTest::addColumn<QString>("numeral"); // "#.00"
    QTest::addColumn<QString>("plano");
    QTest::newRow("cero") << qint64(0) << "0,00"
                          << ".00"
                          << "0.00";
    QTest::newRow("un centavo") << qint64(1) << "0,01"
                                << ".01"
                                << "0.01";
    QTest::newRow("menos un centavo") << qint64(-1) << "-0,01"
                                      << "-.01"
                                      << "-0.01";
    QTest::newRow("miles") << qint64(123456789) << "1.234.567,89"
                           << "1234567.89"
                           << "1234567.89";
    QTest::newRow("negativo con miles") << qint64(-100000) << "-1.000,00"
                                        << "-1000.00"
                                        << "-1000.00";
    QTest::newRow("maximo") << qint64(Importe::Maximo) << "9.999.999.999.999,99"
                            << "9999999999999.99"
                            << "9999999999999.99";
}

void PruebaImporte::formato() {
    QFETCH(qint64, centavos);
    QFETCH(QString, texto);
    QFETCH(QString, numeral);
    QFETCH(QString, plano);
    const Importe i = Importe::DeCentavos(centavos);
    QCOMPARE(i.Texto(u',', u'.'), texto);
    QCOMPARE(i.TextoNumeral(), numeral);
    QCOMPARE(i.TextoPlano(), plano);
    // What is shown is read back as the same amount.
    QCOMPARE(Importe::Leo(texto, nullptr, u',')->centavos(), centavos);
}

void PruebaImporte::baseYSumasExactas() {
    Entorno e;
    // Every form an engine may hand back reads as the same cents.
    QCOMPARE(Importe::DeBase(QVariant(0.29)).centavos(), 29);
    QCOMPARE(Importe::DeBase(QVariant(-1234.565)).centavos(), -123457);
    QCOMPARE(Importe::DeBase(QVariant(qlonglong(5))).centavos(), 500);
    QCOMPARE(Importe::DeBase(QVariant(QString("-12.305"))).centavos(), -1231);
    // A value too large for cents in 64 bits reads as no amount, never as a wrapped one.
    for (const QVariant& v :
         {QVariant(QString("123478901234567890")), QVariant(qlonglong(1) << 60), QVariant(1e30)})
        QCOMPARE(Importe::DeBase(v).centavos(), 0);
    bool nulo = false;
    QCOMPARE(Importe::DeBase(QVariant(), &nulo).centavos(), 0);
    QVERIFY(nulo);

    QVERIFY(Ejecuto("CREATE TABLE Montos (Importe NUMERIC)").ok);
    // +0.10 +0.20 -0.30 is exactly zero, and 100 against 99.99 leaves exactly one cent.
    for (const char* t : {"0,10", "0,20", "-0,30", "100", "-99,99"})
        QVERIFY(Ejecuto("INSERT INTO Montos (Importe) VALUES (?)", {Importe::Leo(t)->ValorSql()}).ok);
    QSqlQuery q = Consulto("SELECT " + Importe::SumaSql("Importe") + " FROM Montos");
    QVERIFY(q.next());
    QCOMPARE(Importe::DeCentavosBase(q.value(0)).centavos(), 1);
    // Two hundred thousand lines of 1,000,000.01 add to the exact decimal total.
    QVERIFY(Ejecuto("DELETE FROM Montos").ok);
    QVERIFY(Ejecuto("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<200000) "
                    "INSERT INTO Montos (Importe) SELECT ? FROM n",
                    {Importe::DeCentavos(100000001).ValorSql()})
                .ok);
    q = Consulto("SELECT " + Importe::SumaSql("Importe") + " FROM Montos");
    QVERIFY(q.next());
    QCOMPARE(Importe::DeCentavosBase(q.value(0)).centavos(), qint64(100000001) * 200000);
    // An empty set sums to zero.
    q = Consulto("SELECT " + Importe::SumaSql("Importe") + " FROM Montos WHERE 1=0");
    QVERIFY(q.next());
    QCOMPARE(Importe::DeCentavosBase(q.value(0)).centavos(), 0);

    // A sum beyond 64 bits of cents is refused, never wrapped round to a figure of the other sign.
    const Importe tope = Importe::DeCentavos(std::numeric_limits<std::int64_t>::max());
    const Importe piso = Importe::DeCentavos(std::numeric_limits<std::int64_t>::min());
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, tope + Importe::DeCentavos(1));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, piso - Importe::DeCentavos(1));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, -piso);
    Importe suma = tope;
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, suma += tope);
    QCOMPARE(suma.centavos(), tope.centavos()); // left as it was
    QCOMPARE((tope - tope + piso).centavos(), piso.centavos());
}
