// The login window driven as a user would.
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Contrasenas.h"
#include "core/ui/Ayuda.h"
#include "core/ui/Mensaje.h"
#include "core/ui/frmAcceso.h"
#include "tests/support/ui/EntornoPantallas.h"
#include "tst_shell.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
const QString Incorrecta = "Lo siento, Identificación o contraseña incorrecta";

void AgregoUsuarios() {
    Ejecuto("INSERT INTO Usuarios (Usuario, NombreCorto, descUsuario, Perfil, Contrasena, Activo) VALUES "
            "(?,?,?,?,?,?)",
            {2, "D'ARTAGNAN", "Mosquetero", 2, HashContrasena("Uno'Para%Todos_"), -1});
    Ejecuto("INSERT INTO Usuarios (Usuario, NombreCorto, descUsuario, Perfil, Contrasena, Activo) VALUES "
            "(?,?,?,?,?,?)",
            {3, "BAJA", "Dado de baja", 2, HashContrasena("BAJA"), 0});
}
} // namespace

void PruebaAcceso::ventana() {
    Entorno e;
    App().loginAccepted = true;
    frmAcceso f;
    QVERIFY(!App().loginAccepted); // a new login starts refused
    QCOMPARE(f.windowTitle(), QString("Acceso a Sistema"));
    auto* usuario = f.findChild<QLineEdit*>("inpUsuario");
    auto* contrasena = f.findChild<QLineEdit*>("inpContrasena");
    auto* ok = f.findChild<QPushButton*>("btnOk");
    auto* cancel = f.findChild<QPushButton*>("btnCancel");
    QVERIFY(usuario && contrasena && ok && cancel);
    QCOMPARE(usuario->accessibleName(), QString("Usuario"));
    QCOMPARE(contrasena->accessibleName(), QString("Contraseña"));
    QCOMPARE(contrasena->echoMode(), QLineEdit::Password);
    QVERIFY(ok->text().isEmpty() && !ok->icon().isNull());
    QVERIFY(cancel->text().isEmpty() && !cancel->icon().isNull());
    QCOMPARE(ok->accessibleName(), QString("Aceptar"));
    QCOMPARE(cancel->accessibleName(), QString("Cancelar"));
}

void PruebaAcceso::ingreso_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("contrasena");
    QTest::addColumn<bool>("conEnter");
    QTest::addColumn<int>("usuario"); // -1: refused
    QTest::newRow("inicial") << "ADMIN"
                             << "ADMIN" << false << 1;
    QTest::newRow("minusculas con enter") << "admin"
                                          << "Admin" << true << 1;
    QTest::newRow("comillas y comodines") << "d'artagnan"
                                          << "uno'para%todos_" << true << 2;
    QTest::newRow("contrasena mala") << "ADMIN"
                                     << "ADMINX" << false << -1;
    QTest::newRow("inyeccion") << "' OR '1'='1"
                               << "' OR '1'='1" << true << -1;
    QTest::newRow("comodin") << "%"
                             << "%" << false << -1;
    QTest::newRow("inactivo") << "BAJA"
                              << "BAJA" << false << -1;
    QTest::newRow("vacio") << ""
                           << "" << true << -1;
}

void PruebaAcceso::ingreso() {
    QFETCH(QString, nombre);
    QFETCH(QString, contrasena);
    QFETCH(bool, conEnter);
    QFETCH(int, usuario);
    Entorno e;
    AgregoUsuarios();
    App().currentUser = 0;
    frmAcceso f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTest::keyClicks(f.inpUsuario, nombre);
    QTest::keyClicks(f.inpContrasena, contrasena);
    if (usuario < 0) MensajePrueba::setNextAnswer(Respuesta::Ok);
    if (conEnter)
        QTest::keyClick(f.inpContrasena, Qt::Key_Return);
    else
        QTest::mouseClick(f.btnOk, Qt::LeftButton);
    if (usuario < 0) {
        QCOMPARE(MensajePrueba::Textos(), QStringList{Incorrecta});
        QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Error);
        QVERIFY(f.isVisible());
        QCOMPARE(f.result(), 0);
        QVERIFY(!App().loginAccepted);
        QCOMPARE(App().currentUser, 0);
        // The fields stay as typed, ready to be corrected.
        QCOMPARE(f.inpUsuario->text(), nombre);
        QCOMPARE(f.inpContrasena->text(), contrasena);
    } else {
        QVERIFY(MensajePrueba::Textos().isEmpty());
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QVERIFY(App().loginAccepted);
        QCOMPARE(App().currentUser, usuario);
    }
}

void PruebaAcceso::cancelar() {
    Entorno e;
    InstaloTeclaAyuda(); // as start-up does
    frmAcceso f;
    QWidget* padreAyuda = nullptr;
    AlAbrirModal([&padreAyuda](QWidget* w) {
        auto* d = qobject_cast<frmAcceso*>(w);
        // F1 opens the help over the login window, usable while it waits.
        QTest::keyClick(d->inpUsuario, Qt::Key_F1);
        if (VisorAyuda()) {
            padreAyuda = VisorAyuda()->parentWidget();
            VisorAyuda()->close();
        }
        QTest::keyClicks(d->inpUsuario, "ADMIN");
        QTest::keyClicks(d->inpContrasena, "ADMIN");
        QTest::mouseClick(d->btnCancel, Qt::LeftButton);
    });
    QCOMPARE(f.exec(), int(QDialog::Rejected));
    QVERIFY(!App().loginAccepted);
    QVERIFY(MensajePrueba::Textos().isEmpty());
    QCOMPARE(padreAyuda, &f);
}
