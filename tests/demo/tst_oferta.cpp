// The demonstration book offered on the first start: made only when the user says so, never on a
// database that already holds a company.
#include "core/AppState.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Ofertas.h"
#include "demo/ui/OfertaDemostracion.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QApplication>

class PruebaOferta : public QObject {
    Q_OBJECT
private slots:
    void oferta_data() {
        QTest::addColumn<bool>("conEmpresa");
        QTest::addColumn<int>("respuesta"); // -1: no question expected
        QTest::addColumn<int>("empresas");
        QTest::addColumn<int>("empresaActual");
        QTest::newRow("responde No") << false << int(Respuesta::No) << 0 << 0;
        QTest::newRow("responde Sí") << false << int(Respuesta::Si) << 1 << 1;
        QTest::newRow("ya hay empresas") << true << -1 << 1 << 1;
    }
    void oferta() {
        QFETCH(bool, conEmpresa);
        QFETCH(int, respuesta);
        QFETCH(int, empresas);
        QFETCH(int, empresaActual);
        Entorno e;
        if (conEmpresa) e.CreoEmpresaYEjercicio();
        MensajePrueba::Limpio();
        if (respuesta >= 0) MensajePrueba::setNextAnswer(Respuesta(respuesta));
        if (respuesta == int(Respuesta::Si)) MensajePrueba::setNextAnswer(Respuesta::Ok);
        OfrezcoDemostracion();
        QCOMPARE(Cuento("EmpresasPropia"), empresas);
        QCOMPARE(App().currentCompany, empresaActual);
        const QStringList textos = MensajePrueba::Textos();
        QCOMPARE(textos.size(), respuesta < 0 ? 0 : (respuesta == int(Respuesta::Si) ? 2 : 1));
        if (respuesta >= 0) QVERIFY(textos[0].contains("¿Desea crear el libro de demostración"));
        if (respuesta == int(Respuesta::Si)) {
            QCOMPARE(App().currentYear, 2);
            QVERIFY(textos[1].startsWith("Se creó el libro de demostración"));
        }
    }

    // The model chart offered to a new year through the registered offer: copied only on "Sí", and
    // never offered to a year that already has accounts.
    void planModelo_data() {
        QTest::addColumn<bool>("conCuenta");
        QTest::addColumn<int>("respuesta"); // -1: no question expected
        QTest::addColumn<int>("cuentas");
        QTest::newRow("responde No") << false << int(Respuesta::No) << 1;
        QTest::newRow("responde Sí") << false << int(Respuesta::Si) << 158;
        QTest::newRow("ya tiene cuentas") << true << -1 << 2;
    }
    void planModelo() {
        QFETCH(bool, conCuenta);
        QFETCH(int, respuesta);
        QFETCH(int, cuentas);
        Entorno e;
        e.CreoEmpresaYEjercicio();
        if (conCuenta) QVERIFY(AgregoCuenta(1, 0, 1, "CAJA"));
        RegistroOfertaDemostracion();
        MensajePrueba::Limpio();
        if (respuesta >= 0) MensajePrueba::setNextAnswer(Respuesta(respuesta));
        OfrezcoEjercicioNuevo(1, 1);
        FijoOfertaEjercicioNuevo({});
        QCOMPARE(MensajePrueba::Textos().size(), respuesta < 0 ? 0 : 1);
        QCOMPARE(Cuento("Cuentas"), cuentas);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebasPantallas<PruebaOferta>(argc, argv);
}

#include "tst_oferta.moc"
