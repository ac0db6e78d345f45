#include "tst_inflacion.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Valores.h"
#include "core/ui/BotonAjustado.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "inflation/IndicesAjuste.h"
#include "inflation/ui/RegistroInflacion.h"
#include "inflation/ui/frmAjustesInflacion.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QToolButton>

namespace {
void Tabla(int tabla, const QString& descripcion) {
    QVERIFY(Ejecuto("INSERT INTO TablasAjusteInflacion (TablaAjusteInflacion, descTablaAjusteInflacion) "
                    "VALUES (?, ?)",
                    {tabla, descripcion})
                .ok);
}

// "dd/mm/yyyy=value" rows stored straight into table 1.
void Guardo(const QStringList& valores) {
    for (const QString& v : valores) {
        const QStringList p = v.split('=');
        QVERIFY(Ejecuto("INSERT INTO AjustesInflacion (TablaAjusteInflacion, Fecha, Ajuste) VALUES (1, ?, ?)",
                        {FechaSql(TextoAFecha(p[0])), p[1].toDouble()})
                    .ok);
    }
}

// What table 1 holds, read back from the database, as "dd/mm/yyyy=value".
QStringList Guardados() {
    QStringList s;
    QSqlQuery q =
        Consulto("SELECT Fecha, Ajuste FROM AjustesInflacion WHERE TablaAjusteInflacion=1 ORDER BY Fecha");
    while (q.next())
        s << FechaATexto(q.value(0)) + "=" + TextoValorIndice(q.value(1).toDouble());
    return s;
}

// The last message shown (empty when none was).
QString Ultimo() {
    const QStringList t = MensajePrueba::Textos();
    return t.isEmpty() ? QString() : t.last();
}

const QStringList Base = {"31/01/2024=100", "29/02/2024=120", "31/03/2024=150", "30/06/2024=200"};
} // namespace

void PruebaInflacion::guardado_data() {
    QTest::addColumn<QStringList>("filas"); // "date|value" as typed, for the range February–March 2024
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("esperado");
    QTest::newRow("coma o punto decimal, miles")
        << QStringList{"29/02/2024|120,5", "31/03/2024|150.25", "15/03/2024|1.234,5"} << ""
        << QStringList{"31/01/2024=100", "29/02/2024=120.5", "15/03/2024=1234.5", "31/03/2024=150.25",
                       "30/06/2024=200"};
    QTest::newRow("sin filas: vacía el rango cargado")
        << QStringList{} << "" << QStringList{"31/01/2024=100", "30/06/2024=200"};
    QTest::newRow("fuera del rango en una fecha nueva")
        << QStringList{"29/02/2024|120", "30/04/2024|170"} << ""
        << QStringList{"31/01/2024=100", "29/02/2024=120", "30/04/2024=170", "30/06/2024=200"};
    QTest::newRow("valor cero") << QStringList{"29/02/2024|120", "31/03/2024|0"}
                                << "el valor de la fila 2 no es un número positivo" << Base;
    QTest::newRow("valor negativo") << QStringList{"29/02/2024|-5"}
                                    << "el valor de la fila 1 no es un número positivo" << Base;
    QTest::newRow("texto") << QStringList{"29/02/2024|1O0"}
                           << "el valor de la fila 1 no es un número positivo" << Base;
    QTest::newRow("valor vacío") << QStringList{"29/02/2024|"}
                                 << "el valor de la fila 1 no es un número positivo" << Base;
    QTest::newRow("dos decimales") << QStringList{"29/02/2024|1,2,5"}
                                   << "el valor de la fila 1 no es un número positivo" << Base;
    QTest::newRow("fecha inválida") << QStringList{"29/02/2024|1", "31/02/2024|5"}
                                    << "la fecha de la fila 2 no es una fecha válida" << Base;
    QTest::newRow("fecha vacía") << QStringList{"|5"} << "la fecha de la fila 1 no es una fecha válida"
                                 << Base;
    QTest::newRow("fecha repetida") << QStringList{"29/02/2024|1", "01/03/2024|2", "29/02/2024|3"}
                                    << "la fecha 29/02/2024 figura en las filas 1 y 3" << Base;
    QTest::newRow("fuera del rango sobre una fecha guardada")
        << QStringList{"29/02/2024|1", "30/06/2024|7"} << "ya hay un valor guardado para el 30/06/2024"
        << Base;
}

void PruebaInflacion::guardado() {
    QFETCH(QStringList, filas);
    QFETCH(QString, error);
    QFETCH(QStringList, esperado);
    Entorno e;
    Tabla(1, "Mayorista");
    Guardo(Base);
    QVector<FilaIndice> grilla;
    for (const QString& f : filas)
        grilla.append({f.section('|', 0, 0), f.section('|', 1)});
    QVector<ValorIndice> valores;
    QString mensaje;
    const bool ok = VerificoFilas(grilla, &valores, &mensaje) &&
                    GuardoValores(ContextoActual(), 1, QDate(2024, 2, 1), QDate(2024, 3, 31), valores, &mensaje);
    QCOMPARE(ok, error.isEmpty());
    QVERIFY2(error.isEmpty() ? mensaje.isEmpty() : mensaje.startsWith(error), qPrintable(mensaje));
    QCOMPARE(Guardados(), esperado);
}

void PruebaInflacion::importo_data() {
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<QStringList>("previos");
    QTest::addColumn<bool>("reemplazo");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("esperado");
    const QStringList nada;
    QTest::newRow("meses, punto y coma, coma decimal")
        << QByteArray("mes;indice\n2019-06;225,5370\n2019-07;230,494\n") << nada << false << ""
        << QStringList{"30/06/2019=225.537", "31/07/2019=230.494"};
    QTest::newRow("fechas, comas, comillas, línea en blanco")
        << QByteArray("\xEF\xBB\xBF"
                      "15/06/2019,\"225,5\"\r\n\r\n2019-07-31,230.5\r\n")
        << nada << false << "" << QStringList{"15/06/2019=225.5", "31/07/2019=230.5"};
    QTest::newRow("mes, fecha y valor") << QByteArray("mes,ultimo_dia,indice\n2019-06,2019-06-30,225.537\n")
                                        << nada << false << "" << QStringList{"30/06/2019=225.537"};
    QTest::newRow("mes inválido tras una fila buena") << QByteArray("mes;indice\n2019-06;225,5\n2019-13;1\n")
                                                      << nada << false << "Línea 3: «2019-13»" << nada;
    QTest::newRow("primera línea con un mes inválido")
        << QByteArray("2019-13;1\n2019-06;2\n") << nada << false << "Línea 1: «2019-13»" << nada;
    QTest::newRow("valor cero") << QByteArray("2019-05;1\n2019-06;0\n") << nada << false
                                << "Línea 2: el valor «0» no es un número positivo" << nada;
    // A value the grid would show as 0 could not be saved from it again.
    QTest::newRow("valor que se ve cero") << QByteArray("2019-05;1\n2019-06;0,0000004\n") << nada << false
                                          << "Línea 2: el valor «0,0000004» no es un número positivo" << nada;
    QTest::newRow("coma decimal sin comillas")
        << QByteArray("2019-06,225,5370\n") << nada << false << "Línea 1: «225» no es una fecha" << nada;
    QTest::newRow("fecha de otro mes") << QByteArray("2019-06,2019-07-31,225.5\n") << nada << false
                                       << "Línea 1: la fecha 31/07/2019 no es del mes 2019-06" << nada;
    QTest::newRow("mes repetido") << QByteArray("2019-06;1\n\n2019-06;2\n") << nada << false
                                  << "Línea 3: la fecha 30/06/2019 ya figura en la línea 1" << nada;
    QTest::newRow("falta el valor") << QByteArray("2019-06\n") << nada << false
                                    << "Línea 1: se esperan un mes o una fecha y un valor" << nada;
    QTest::newRow("sin datos") << QByteArray("mes;indice\n") << nada << false << "El archivo" << nada;
    const QStringList previos = {"31/05/2019=9", "10/06/2019=1"};
    QTest::newRow("meses guardados, sin reemplazo")
        << QByteArray("2019-06;225,5\n2019-07;230\n") << previos << false
        << "La tabla ya tiene valores para 1 meses (06/2019)" << previos;
    QTest::newRow("meses guardados, con reemplazo")
        << QByteArray("2019-06;225,5\n2019-07;230\n") << previos << true << ""
        << QStringList{"31/05/2019=9", "30/06/2019=225.5", "31/07/2019=230"};
}

void PruebaInflacion::importo() {
    QFETCH(QByteArray, contenido);
    QFETCH(QStringList, previos);
    QFETCH(bool, reemplazo);
    QFETCH(QString, error);
    QFETCH(QStringList, esperado);
    Entorno e;
    Tabla(1, "Mayorista");
    Guardo(previos);
    const QString archivo = e.Ruta("indices.csv");
    QVERIFY(EscriboArchivo(archivo, contenido));
    int importados = -1;
    QString mensaje;
    const bool ok = ImportoIndices(ContextoActual(), 1, archivo, reemplazo, &importados, &mensaje);
    QCOMPARE(ok, error.isEmpty());
    QVERIFY2(error.isEmpty() ? mensaje.isEmpty() : mensaje.startsWith(error), qPrintable(mensaje));
    QCOMPARE(Guardados(), esperado);
    // What was stored is what the file held: the values kept from before are not counted.
    int nuevos = 0;
    for (const QString& v : esperado)
        nuevos += !previos.contains(v);
    QCOMPARE(importados, ok ? nuevos : 0);
}

void PruebaInflacion::importoPublicado() {
    Entorno e;
    Tabla(1, "FACPCE");
    const QString archivo = PARTIDEX_FUENTES "/resources/demo/indice_ajuste_inflacion_ar.csv";
    int importados = 0;
    QString error;
    QVERIFY2(ImportoIndices(ContextoActual(), 1, archivo, false, &importados, &error), qPrintable(error));
    QCOMPARE(importados, 153);
    QCOMPARE(Cuento("AjustesInflacion", "TablaAjusteInflacion=1"), 153);
    const QStringList todos = Guardados();
    for (const char* v :
         {"31/01/2013=43.5098", "30/06/2019=225.537", "31/12/2019=283.4442", "30/09/2025=9384.0922"})
        QVERIFY2(todos.contains(v), v);
    // The same file again: every month is already there.
    QVERIFY(!ImportoIndices(ContextoActual(), 1, archivo, false, &importados, &error));
    QVERIFY2(error.startsWith("La tabla ya tiene valores para 153 meses (01/2013, 02/2013"),
             qPrintable(error));
    // The first twelve months, not all 153: the count tells the rest.
    QVERIFY2(error.contains("11/2013, 12/2013…); no se importó nada"), qPrintable(error));
    QVERIFY(!ImportoIndices(ContextoActual(), 2, archivo, true, &importados, &error));
    QCOMPARE(error, QString("No existe la tabla de ajuste 2."));
    QCOMPARE(Cuento("AjustesInflacion"), 153);
}

void PruebaInflacion::pantalla() {
    Entorno e;
    Tabla(1, "Mayorista");
    Guardo(Base);
    Pantallas::Olvido();
    RegistroPantallasInflacion();
    QMdiArea marco;
    Pantallas::FijoMarco(&marco);
    marco.show();
    auto* f = qobject_cast<frmAjustesInflacion*>(Pantallas::Activo("frmAjustesInflacion"));
    QVERIFY(f);
    Grilla* g = f->sprAjustesInflacion;
    QCOMPARE(f->windowTitle(), QString("Ajustes Inflación, 0 registros seleccionados"));
    QCOMPARE(f->inpFechaDe->text(), FechaATexto(QDate::currentDate().addMonths(-6)));
    QCOMPARE(f->inpFechaA->text(), FechaATexto(QDate::currentDate()));
    QCOMPARE(g->encabezado(2), QString("Indice Ajuste"));
    Clic(f->btnRegAgregar); // no table chosen: nothing to add to
    QCOMPARE(g->filas(), 0);

    AlAbrirModal([](QWidget* w) { w->findChild<QPushButton*>("btnSeleccionar")->click(); });
    Clic(f->pnlTablaAjusteInflacion);
    QCOMPARE(f->indexTable, 1);
    QVERIFY(f->pnlTablaAjusteInflacion->text().startsWith("Mayorista"));
    Escribo(f->inpFechaDe, "01/02/2024");
    Escribo(f->inpFechaA, "31/03/2024");
    Clic(f->btnActualizar);
    QCOMPARE(f->windowTitle(), QString("Ajustes Inflación, 2 registros seleccionados"));
    QCOMPARE(g->texto(2, 1), QString("31/03/2024"));

    // A blank row goes right below the current one; typing into it is the edit.
    g->setCeldaActual(1, 1);
    Clic(f->btnRegAgregar);
    QCOMPARE(g->filas(), 3);
    QVERIFY(g->texto(2, 1).isEmpty());
    QCOMPARE(g->texto(3, 1), QString("31/03/2024"));
    QVERIFY(!f->dirty);
    QVERIFY(g->model()->setData(g->model()->index(1, 1), QStringLiteral("15/03/2024")));
    QVERIFY(g->model()->setData(g->model()->index(1, 2), QStringLiteral("135,5")));
    QVERIFY(f->dirty);
    Clic(f->btnGuardar);
    QVERIFY(!f->dirty);
    QCOMPARE(Guardados(), (QStringList{"31/01/2024=100", "29/02/2024=120", "15/03/2024=135.5",
                                       "31/03/2024=150", "30/06/2024=200"}));
    QCOMPARE(f->windowTitle(), QString("Ajustes Inflación, 3 registros seleccionados"));

    // Deleting a row asks, and only the save writes.
    g->setCeldaActual(1, 1);
    MensajePrueba::setNextAnswer(Respuesta::Si);
    Clic(f->btnRegBorrar);
    QCOMPARE(Ultimo(), QString("Está seguro de eliminar la linea actual: 1"));
    QCOMPARE(g->filas(), 2);
    QCOMPARE(g->texto(1, 1), QString("15/03/2024"));
    QVERIFY(f->dirty);
    QVERIFY(g->model()->setData(g->model()->index(0, 2), QStringLiteral("0")));
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Clic(f->btnGuardar);
    QCOMPARE(Ultimo(),
             QString("Atención no se pueden grabar cambios, el valor de la fila 1 no es un número positivo"));
    QVERIFY(f->dirty);
    QCOMPARE(g->filas(), 2);
    QCOMPARE(Cuento("AjustesInflacion"), 5);

    // Leaving the edits: Cancel keeps the screen, No reloads what is stored.
    MensajePrueba::setNextAnswer(Respuesta::Cancelar);
    Clic(f->btnActualizar);
    QCOMPARE(Ultimo(), QString("Salva datos recientemente modificados?"));
    QCOMPARE(g->filas(), 2);
    MensajePrueba::setNextAnswer(Respuesta::No);
    Clic(f->btnActualizar);
    QCOMPARE(g->filas(), 3);
    QVERIFY(!f->dirty);

    // Import: March is already stored, and is replaced only after the question.
    const QString archivo = e.Ruta("serie.csv");
    QVERIFY(EscriboArchivo(archivo, "mes;indice\n2024-03;151\n2024-04;160\n"));
    MensajePrueba::setNextFileName(archivo);
    MensajePrueba::setNextAnswer(Respuesta::No);
    Clic(f->btnImportar);
    QVERIFY(Ultimo().startsWith("La tabla ya tiene valores para 1 de los 2 meses del archivo "
                                "(03/2024)"));
    QCOMPARE(Cuento("AjustesInflacion"), 5);
    MensajePrueba::setNextFileName(archivo);
    MensajePrueba::setNextAnswer(Respuesta::Si);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Clic(f->btnImportar);
    QCOMPARE(Ultimo(), QString("Se importaron 2 valores."));
    QCOMPARE(Guardados(), (QStringList{"31/01/2024=100", "29/02/2024=120", "31/03/2024=151", "30/04/2024=160",
                                       "30/06/2024=200"}));
    QCOMPARE(g->filas(), 2);
    QCOMPARE(g->texto(2, 2), QString("151"));

    QCOMPARE(
        f->Encabezado(),
        QString(
            "/fb1/fi1/fz\"12\"Ajustes Inflación según Mayorista entre 01/02/24 y 31/03/24/rPágina: /p/n"));
    QVERIFY(g->model()->setData(g->model()->index(0, 2), QStringLiteral("121")));
    MensajePrueba::setNextAnswer(Respuesta::Cancelar);
    marco.closeAllSubWindows();
    QCOMPARE(marco.subWindowList().size(), 1);
    MensajePrueba::setNextAnswer(Respuesta::Si);
    marco.closeAllSubWindows();
    QVERIFY(marco.subWindowList().isEmpty());
    QVERIFY(Guardados().contains("29/02/2024=121"));
    Pantallas::FijoMarco(nullptr);
}
