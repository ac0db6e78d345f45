// Settings files, path rule and value conversions.
#include "core/AppState.h"
#include "core/Ini.h"
#include "core/Valores.h"
#include "tests/support/Entorno.h"
#include "tst_core.h"

#include <QFile>
#include <QTest>

void PruebaIni::lecturaYEscritura() {
    Entorno e(false);
    const QString ini = e.Ruta("Partidex.ini");
    QCOMPARE(LeoIni(ini, "Varios", "GlobalIni", "Global Partidex.ini"), QString("Global Partidex.ini"));
    QVERIFY(EscriboIni(ini, "Varios", "UltNumEjercicio", "3"));
    QVERIFY(EscriboIni(ini, "Base de Datos", "Base", "datos\\Partidex.MDB"));
    QVERIFY(EscriboIni(ini, "varios", "ULTEMPRESAPROPIA", "2"));
    QVERIFY(EscriboIni(ini, "Mantenimiento de Base de Datos", "UltimoBackUp(dd/mm/yyyy)", "01/02/2026"));
    QCOMPARE(LeoIni(ini, "VARIOS", "ultnumejercicio", ""), QString("3"));
    QCOMPARE(LeoIni(ini, "Varios", "UltEmpresaPropia", ""), QString("2"));
    QCOMPARE(LeoIni(ini, "Mantenimiento de Base de Datos", "UltimoBackUp(dd/mm/yyyy)", ""),
             QString("01/02/2026"));
    QVERIFY(EscriboIni(ini, "Varios", "UltNumEjercicio", "4"));
    QCOMPARE(LeoIni(ini, "Varios", "UltNumEjercicio", ""), QString("4"));
    // A present empty value is the empty text, not the default.
    QVERIFY(EscriboIni(ini, "Varios", "Admin", ""));
    QCOMPARE(LeoIni(ini, "Varios", "Admin", "False"), QString(""));
    QFile f(ini);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString texto = QString::fromUtf8(f.readAll());
    QCOMPARE(texto.count("[Varios]"), 1);
    QVERIFY(texto.contains("UltimoBackUp(dd/mm/yyyy)=01/02/2026"));
    // Values longer than 127 characters are cut.
    QVERIFY(EscriboIni(ini, "Varios", "Largo", QString(300, 'x')));
    QCOMPARE(LeoIni(ini, "Varios", "Largo", "").size(), 127);
}

void PruebaIni::archivosRaros_data() {
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<QString>("esperado");
    QByteArray binario;
    for (int i = 0; i < 2048; ++i)
        binario.append(char(i % 256));
    QTest::newRow("binario") << binario << "defecto";
    QTest::newRow("sin igual") << QByteArray("[Varios]\nAdmin\nUltNumEjercicio\n") << "defecto";
    QTest::newRow("clave duplicada") << QByteArray("[Varios]\nUltNumEjercicio=5\nUltNumEjercicio=6\n") << "5";
    QTest::newRow("linea de 100 KB") << QByteArray(
                                            "[Varios]\nUltNumEjercicio=" + QByteArray(100 * 1024, '9') + "\n")
                                     << QString(127, '9');
    QTest::newRow("seccion sin cierre") << QByteArray("[Varios\nUltNumEjercicio=5\n") << "defecto";
    QTest::newRow("crlf y espacios") << QByteArray("[ Varios ]\r\n  UltNumEjercicio = 7 \r\n") << "7";
    QTest::newRow("latin1") << QByteArray("[Varios]\nUltNumEjercicio=a\xf1o\n") << QString::fromUtf8("año");
    // One line written by another editor does not change how the others read.
    QTest::newRow("una línea latin1 entre utf8") << QByteArray("[Varios]\nNombre=Espa\xf1"
                                                               "a\nUltNumEjercicio=\xc3\xb1"
                                                               "and\xc3\xba\n")
                                                 << QString::fromUtf8("ñandú");
    // A long value is cut before a character it would split.
    QTest::newRow("emoji en el corte")
        << (QByteArray("[Varios]\nUltNumEjercicio=") + QByteArray(126, 'x') + "\xf0\x9f\x98\x80\n")
        << QString(126, QLatin1Char('x'));
}

void PruebaIni::archivosRaros() {
    QFETCH(QByteArray, contenido);
    QFETCH(QString, esperado);
    Entorno e(false);
    const QString ini = e.Ruta("raro.ini");
    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(contenido);
    f.close();
    QCOMPARE(LeoIni(ini, "Varios", "UltNumEjercicio", "defecto"), esperado);
    QVERIFY(EscriboIni(ini, "Varios", "Otra", "1"));
    QCOMPARE(LeoIni(ini, "Varios", "Otra", ""), QString("1"));
}

void PruebaIni::rutaCompleta_data() {
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("unidad") << "C:\\datos\\Partidex.MDB"
                            << "C:\\datos\\Partidex.MDB";
    QTest::newRow("red") << "\\\\servidor\\datos\\Partidex.MDB"
                         << "\\\\servidor\\datos\\Partidex.MDB";
    QTest::newRow("posix") << "/srv/datos/Partidex.MDB"
                           << "/srv/datos/Partidex.MDB";
    QTest::newRow("relativa") << "Partidex.MDB"
                              << "@/Partidex.MDB";
    QTest::newRow("subcarpeta") << "datos\\Partidex.MDB"
                                << "@/datos/Partidex.MDB";
}

void PruebaIni::rutaCompleta() {
    QFETCH(QString, valor);
    QFETCH(QString, esperado);
    Entorno e(false);
    esperado.replace("@", e.Carpeta());
    QCOMPARE(RutaCompleta(valor), esperado);
}

void PruebaIni::numeros_data() {
    QTest::addColumn<QVariant>("valor");
    QTest::addColumn<double>("cero");
    QTest::addColumn<double>("menosUno");
    QTest::addColumn<bool>("valido");
    QTest::newRow("nulo") << QVariant(QMetaType::fromType<QString>()) << 0.0 << -1.0 << true;
    QTest::newRow("invalido") << QVariant() << 0.0 << -1.0 << true;
    QTest::newRow("texto vacio") << QVariant(QString("")) << 0.0 << 0.0 << true;
    QTest::newRow("texto numero") << QVariant(QString("12")) << 12.0 << 12.0 << true;
    QTest::newRow("entero") << QVariant(7) << 7.0 << 7.0 << true;
    QTest::newRow("decimal") << QVariant(1234.5) << 1234.5 << 1234.5 << true;
    QTest::newRow("no numero") << QVariant(QString("abc")) << 0.0 << -1.0 << false;
}

void PruebaIni::numeros() {
    QFETCH(QVariant, valor);
    QFETCH(double, cero);
    QFETCH(double, menosUno);
    QFETCH(bool, valido);
    bool ok = true;
    QCOMPARE(NumeroOCero(valor, &ok), cero);
    QCOMPARE(ok, valido);
    QCOMPARE(NumeroOMenosUno(valor), menosUno);
    QCOMPARE(ComodinesLike("*ca?a*"), QString("%ca_a%"));
}

void PruebaIni::fechas_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QDate>("fecha");
    QTest::newRow("normal") << "31/12/2024" << QDate(2024, 12, 31);
    QTest::newRow("bisiesto") << "29/02/2024" << QDate(2024, 2, 29);
    QTest::newRow("no bisiesto") << "29/02/2023" << QDate();
    QTest::newRow("mes 13") << "01/13/2024" << QDate();
    QTest::newRow("corto") << "5/1/24" << QDate(2024, 1, 5);
    QTest::newRow("texto") << "ayer" << QDate();
    QTest::newRow("vacio") << "" << QDate();
}

void PruebaIni::fechas() {
    QFETCH(QString, texto);
    QFETCH(QDate, fecha);
    QCOMPARE(TextoAFecha(texto), fecha);
    if (fecha.isValid()) {
        QCOMPARE(FechaDeBase(FechaSql(fecha)), fecha);
        QCOMPARE(TextoAFecha(FechaATexto(fecha)), fecha);
    }
}
