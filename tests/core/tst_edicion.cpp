// The edit state's answers and the catalogue's statements, without a screen.
#include "core/AppState.h"
#include "core/Contexto.h"
#include "core/CatalogoDatos.h"
#include "core/Valores.h"
#include "core/ui/EstadoEdicion.h"
#include "core/ui/Mensaje.h"
#include "tests/support/Entorno.h"
#include "tst_ayudantes.h"

#include <QTest>

using Decision = EstadoEdicion::Decision;
Q_DECLARE_METATYPE(Decision)

// Every answer to "Salva datos recientemente modificados?" and what it leaves. `cierre` asks as the
// exit of the program does (AceptoCierre), then suspends the exit (another screen refused).
void PruebaEdicion::preguntoGuardar_data() {
    QTest::addColumn<bool>("cierre");
    QTest::addColumn<bool>("sucio");
    QTest::addColumn<Respuesta>("respuesta");
    QTest::addColumn<bool>("grabaBien");
    QTest::addColumn<Decision>("decision");
    QTest::addColumn<int>("grabaciones");
    QTest::addColumn<bool>("sucioDespues");
    QTest::addColumn<bool>("sucioTrasSuspender");
    const auto x = Respuesta::Ok; // not asked
    QTest::newRow("sin cambios no pregunta")
        << false << false << x << true << Decision::SinCambios << 0 << false << false;
    QTest::newRow("Sí guarda") << false << true << Respuesta::Si << true << Decision::Guardado << 1 << false
                               << false;
    QTest::newRow("Sí y falla se queda")
        << false << true << Respuesta::Si << false << Decision::Cancelado << 1 << true << true;
    QTest::newRow("No descarta") << false << true << Respuesta::No << true << Decision::Descartado << 0
                                 << true << true;
    QTest::newRow("Cancelar se queda")
        << false << true << Respuesta::Cancelar << true << Decision::Cancelado << 0 << true << true;
    QTest::newRow("cierre: No deja cerrar y se repone")
        << true << true << Respuesta::No << true << Decision::Descartado << 0 << false << true;
    QTest::newRow("cierre: Sí guarda y no se repone")
        << true << true << Respuesta::Si << true << Decision::Guardado << 1 << false << false;
    QTest::newRow("cierre: Cancelar no deja cerrar")
        << true << true << Respuesta::Cancelar << true << Decision::Cancelado << 0 << true << true;
}

void PruebaEdicion::preguntoGuardar() {
    QFETCH(bool, cierre);
    QFETCH(bool, sucio);
    QFETCH(Respuesta, respuesta);
    QFETCH(bool, grabaBien);
    QFETCH(Decision, decision);
    QFETCH(int, grabaciones);
    QFETCH(bool, sucioDespues);
    QFETCH(bool, sucioTrasSuspender);
    MensajePrueba::Limpio();
    EstadoEdicion e;
    if (sucio) e.EmpiezoAlta();
    if (sucio) MensajePrueba::setNextAnswer(respuesta);
    int grabadas = 0;
    const auto guardo = [&] {
        ++grabadas;
        return grabaBien;
    };
    if (cierre) {
        QCOMPARE(e.AceptoCierre(guardo), EstadoEdicion::Sigo(decision));
    } else {
        QCOMPARE(e.PreguntoGuardar(guardo), decision);
    }
    QCOMPARE(grabadas, grabaciones);
    QCOMPARE(e.dirty, sucioDespues);
    QCOMPARE(e.adding, sucioDespues);
    if (sucio) {
        QCOMPARE(MensajePrueba::Textos(), QStringList{"Salva datos recientemente modificados?"});
        QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Pregunta);
        QCOMPARE(MensajePrueba::Mostrados().first().botones, Botones::SiNoCancelar);
    } else {
        QVERIFY(MensajePrueba::Textos().isEmpty());
    }
    e.CierreSuspendido();
    QCOMPARE(e.dirty, sucioTrasSuspender);
    QCOMPARE(e.adding, sucioTrasSuspender);
}

// The catalogue's statements over ConceptosAsiento holding 1 "Caja chica", 2 "álamo", 3 "Banco". Each
// case stores its records in one transaction; the list is "code=description" in list order.
void PruebaEdicion::catalogoDatos_data() {
    QTest::addColumn<QString>("operacion");
    QTest::addColumn<int>("codigo");
    QTest::addColumn<QString>("descripcion");
    QTest::addColumn<int>("anterior");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("filas");
    QTest::addColumn<QStringList>("lista");
    const QStringList inicial{"2=álamo", "3=Banco", "1=Caja chica"};
    QTest::newRow("alta en orden alfabético") << "alta" << 4 << "ñandú" << 0 << "" << 1
                                              << QStringList{"2=álamo", "3=Banco", "1=Caja chica", "4=ñandú"};
    QTest::newRow("alta con descripción vacía") << "alta" << 5 << QString() << 0 << "" << 1
                                                << QStringList{"5=", "2=álamo", "3=Banco", "1=Caja chica"};
    QTest::newRow("alta de un código usado") << "alta" << 2 << "otro" << 0 << "*" << 0 << inicial;
    QTest::newRow("alta y falla: nada queda")
        << "alta y duplicado" << 6 << "nuevo" << 0 << "*" << 0 << inicial;
    QTest::newRow("cambio del código")
        << "cambio" << 7 << "BANCO" << 3 << "" << 1 << QStringList{"2=álamo", "7=BANCO", "1=Caja chica"};
    QTest::newRow("cambio de un registro que ya no existe")
        << "cambio" << 9 << "x" << 5 << "el registro ya no existe" << 0 << inicial;
    QTest::newRow("baja") << "baja" << 1 << "" << 0 << "" << 1 << QStringList{"2=álamo", "3=Banco"};
    QTest::newRow("baja de un registro que no existe") << "baja" << 8 << "" << 0 << "" << 0 << inicial;
}

void PruebaEdicion::catalogoDatos() {
    QFETCH(QString, operacion);
    QFETCH(int, codigo);
    QFETCH(QString, descripcion);
    QFETCH(int, anterior);
    QFETCH(QString, error);
    QFETCH(int, filas);
    QFETCH(QStringList, lista);
    Entorno e;
    const CatalogoDatos datos(
        SentenciasCatalogo::De("ConceptosAsiento", "ConceptoAsiento", "descConceptoAsiento", "frmConceptosAsiento"));
    QCOMPARE(datos.ProximoCodigo(), qint64(1));
    for (const auto& [c, d] : {std::pair{1, "Caja chica"}, {2, "álamo"}, {3, "Banco"}})
        QVERIFY(datos.Agrego(ContextoActual(), c, QString::fromUtf8(d)).ok);
    QCOMPARE(datos.ProximoCodigo(), qint64(4));
    const Resultado r = CatalogoDatos::EnTransaccion([&] {
        if (operacion == "cambio") return datos.Cambio(ContextoActual(), codigo, descripcion, anterior);
        if (operacion == "baja") return datos.Borro(ContextoActual(), codigo);
        Resultado a = datos.Agrego(ContextoActual(), codigo, descripcion);
        if (a.ok && operacion == "alta y duplicado") a = datos.Agrego(ContextoActual(), 1, "repetido");
        return a;
    });
    QCOMPARE(r.ok, error.isEmpty());
    if (error == "*")
        QVERIFY(!r.error.isEmpty());
    else
        QCOMPARE(r.error, error);
    if (r.ok) QCOMPARE(r.filas, filas);
    QStringList vista;
    QSqlQuery q = datos.ConsultoLista();
    while (q.next())
        vista << NuloAVacio(q.value("ConceptoAsiento")) + "=" + NuloAVacio(q.value("descConceptoAsiento"));
    QCOMPARE(vista, lista);
    // An empty description is stored as an empty text, never Null.
    QCOMPARE(NumeroOCero(ValorCampo("ConceptosAsiento", "Count(*)", "descConceptoAsiento IS NULL")), 0.0);
}
