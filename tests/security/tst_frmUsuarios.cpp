// The users screen driven as a user.
#include "tst_frmUsuarios.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Contrasenas.h"
#include "core/Valores.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/frmMain.h"
#include "security/ui/RegistroSeguridad.h"
#include "security/ui/frmUsuarios.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QToolButton>

namespace {

QString Guardada(int usuario) {
    return NuloAVacio(ValorCampo("Usuarios", "Contrasena", "Usuario=?", {usuario}));
}

// Users 2 "ZULMA" (active, operator) and 3 "BAJA" (inactive).
void DosUsuarios() {
    QVERIFY(
        Ejecuto("INSERT INTO Usuarios (Usuario, NombreCorto, descUsuario, Perfil, Contrasena, Activo) VALUES "
                "(2, 'ZULMA', 'Zulma Operadora', 2, ?, -1), (3, 'BAJA', 'Baja Antigua', 2, ?, 0)",
                {HashContrasena("zulma"), HashContrasena("baja")})
            .ok);
}

void Abro(frmUsuarios& f, int usuario) {
    App().preselection = usuario;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
}

// Moves the list to the row of a user, with the arrow keys.
void VoyA(frmUsuarios& f, int usuario) {
    f.sprMaster->setFocus();
    QTest::keyClick(f.sprMaster, Qt::Key_Home);
    for (int i = 0; i < f.sprMaster->filas() &&
                    f.sprMaster->texto(f.sprMaster->filaActiva(), 1) != QString::number(usuario);
         ++i)
        QTest::keyClick(f.sprMaster, Qt::Key_Down);
    QCOMPARE(f.sprMaster->texto(f.sprMaster->filaActiva(), 1), QString::number(usuario));
}
} // namespace

void PruebaFrmUsuarios::init() {
    Pantallas::Olvido();
    RegistroPantallasSeguridad();
}

void PruebaFrmUsuarios::nivelesDePermiso_data() {
    QTest::addColumn<QVariant>("nivel"); // invalid: the profile has no grant
    QTest::addColumn<bool>("abre");
    QTest::addColumn<bool>("agrega");  // add, save and the editing fields enabled
    QTest::addColumn<bool>("elimina"); // delete enabled
    QTest::newRow("sin permiso") << QVariant() << false << false << false;
    QTest::newRow("inhabilitado") << QVariant(0) << false << false << false;
    QTest::newRow("habilitado") << QVariant(1) << true << true << true;
    QTest::newRow("sólo lectura") << QVariant(2) << true << false << false;
    QTest::newRow("sin eliminaciones") << QVariant(3) << true << true << false;
    QTest::newRow("nivel desconocido") << QVariant(9) << true << true << true;
}

void PruebaFrmUsuarios::nivelesDePermiso() {
    QFETCH(QVariant, nivel);
    QFETCH(bool, abre);
    QFETCH(bool, agrega);
    QFETCH(bool, elimina);
    Entorno e;
    DosUsuarios();
    App().currentUser = 2;
    Ejecuto("DELETE FROM Permisos WHERE Perfil=2 AND Modulo=(SELECT Modulo FROM Modulos WHERE "
            "nomModulo='frmUsuarios')");
    if (nivel.isValid())
        QVERIFY(
            Ejecuto(
                "INSERT INTO Permisos (Perfil, Modulo, TipoHabilitacion) SELECT 2, Modulo, ? FROM Modulos "
                "WHERE nomModulo='frmUsuarios'",
                {nivel})
                .ok);
    bool abierta = false;
    QMap<QString, bool> habilitados;
    if (abre)
        AlAbrirModal([&](QWidget* w) {
            abierta = true;
            for (const char* n :
                 {"btnRegAgregar", "btnGuardar", "btnRegBorrar", "btnSalir", "btnSeleccionar"})
                habilitados[n] = w->findChild<QWidget*>(n)->isEnabled();
            for (const char* n : {"inpCodigo", "inpDescripcion", "cmbPerfil", "chkActivo", "inpContrasena",
                                  "btnBorrarContrasena", "inpBusqueda", "btnActualizar"})
                habilitados[n] = w->findChild<QWidget*>(n)->isEnabled();
            w->findChild<QToolButton*>("btnSalir")->click();
        });
    if (!abre) MensajePrueba::setNextAnswer(Respuesta::Ok);
    const int r = Pantallas::AbroModal("frmUsuarios");
    QCOMPARE(r >= 0, abre);
    QCOMPARE(abierta, abre);
    // A refused screen says why; one that opens says nothing.
    QCOMPARE(MensajePrueba::Textos(),
             abre ? QStringList() : QStringList{QString::fromUtf8("Su perfil no tiene permiso para abrir «Usuarios»")});
    if (!abre) return;
    for (const char* n : {"btnRegAgregar", "btnGuardar", "inpCodigo", "inpDescripcion", "cmbPerfil",
                          "chkActivo", "inpContrasena", "btnBorrarContrasena"})
        QVERIFY2(habilitados[n] == agrega, n);
    QCOMPARE(habilitados["btnRegBorrar"], elimina);
    // Moving about the list, searching and leaving are never restricted.
    for (const char* n : {"btnSalir", "btnSeleccionar", "inpBusqueda", "btnActualizar"})
        QVERIFY2(habilitados[n], n);
}

void PruebaFrmUsuarios::nuevoUsuarioEnMayusculas() {
    Entorno e;
    frmUsuarios f;
    QAbstractItemModelTester tester(f.sprMaster->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    Abro(f, 1);
    QCOMPARE(f.windowTitle(), QString("Usuarios"));
    Control<QToolButton>(f, "btnRegAgregar")->click();
    QCOMPARE(f.ColorModo(), Catalogo::ColorAgregando());
    QVERIFY(Control<QCheckBox>(f, "chkActivo")->isChecked());
    QCOMPARE(Control<QComboBox>(f, "cmbPerfil")->currentIndex(), -1);
    Escribo(Control<QLineEdit>(f, "inpCodigo"), "pepe'%");
    Escribo(Control<QLineEdit>(f, "inpDescripcion"), "Pepe Pérez");
    auto* perfil = Control<QComboBox>(f, "cmbPerfil");
    perfil->setFocus();
    QTest::keyClick(perfil, Qt::Key_Down);
    QTest::keyClick(perfil, Qt::Key_Down);
    QCOMPARE(perfil->currentText(), QString("Operador"));
    // A password typed for a new user is not used: the new user's password is his login name.
    Escribo(Control<QLineEdit>(f, "inpContrasena"), "otra");
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(MensajePrueba::Textos(), QStringList());
    QCOMPARE(ValorCampo("Usuarios", "NombreCorto", "Usuario=2")->toString(), QString("PEPE'%"));
    QCOMPARE(ValorCampo("Usuarios", "descUsuario", "Usuario=2")->toString(), QString("Pepe Pérez"));
    QCOMPARE(ValorCampo("Usuarios", "Perfil", "Usuario=2")->toInt(), 2);
    QVERIFY(EsHashContrasena(Guardada(2)));
    QCOMPARE(BuscoUsuario("Pepe'%", "pEPE'%"), 2);
    QCOMPARE(f.sprMaster->texto(f.sprMaster->filaActiva(), 1), QString("2"));
    QCOMPARE(Control<QLineEdit>(f, "inpCodigo")->text(), QString("PEPE'%"));
    QVERIFY(Control<QLineEdit>(f, "inpContrasena")->text().isEmpty());
}

void PruebaFrmUsuarios::contrasenaNuncaSeMuestra() {
    Entorno e;
    DosUsuarios();
    frmUsuarios f;
    Abro(f, 2);
    auto* clave = Control<QLineEdit>(f, "inpContrasena");
    QCOMPARE(Control<QLineEdit>(f, "inpCodigo")->text(), QString("ZULMA"));
    QVERIFY(clave->text().isEmpty());
    QCOMPARE(clave->echoMode(), QLineEdit::Password);
    QCOMPARE(clave->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, clave), int('*'));
    const QString antes = Guardada(2);
    // Typing a password alone does not mark the record: Guardar stores nothing.
    Escribo(clave, "Secreta");
    QVERIFY(!f.dirty);
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(Guardada(2), antes);
    // With another change, the typed password is stored, as a hash.
    Escribo(clave, "Secreta");
    Escribo(Control<QLineEdit>(f, "inpDescripcion"), "Zulma Supervisora");
    Control<QToolButton>(f, "btnGuardar")->click();
    QVERIFY(EsHashContrasena(Guardada(2)));
    QVERIFY(Guardada(2) != antes);
    QCOMPARE(BuscoUsuario("zulma", "SECRETA"), 2);
    QVERIFY(clave->text().isEmpty());
    // An edit with the password field empty keeps the stored password.
    const QString hash = Guardada(2);
    Control<QCheckBox>(f, "chkActivo")->click();
    QVERIFY(f.dirty);
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(Guardada(2), hash);
    QCOMPARE(ValorCampo("Usuarios", "Activo", "Usuario=2")->toInt(), 0);
}

void PruebaFrmUsuarios::blanquearContrasena() {
    Entorno e;
    DosUsuarios();
    frmUsuarios f;
    Abro(f, 2);
    const QString antes = Guardada(2);
    MensajePrueba::setNextAnswer(Respuesta::Cancelar);
    Control<QPushButton>(f, "btnBorrarContrasena")->click();
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Cambiará la contraseña del usuario actual por su nombre"});
    QCOMPARE(MensajePrueba::Mostrados().first().botones, Botones::OkCancelar);
    QVERIFY(!f.dirty);
    QVERIFY(Control<QLineEdit>(f, "inpContrasena")->text().isEmpty());
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Control<QPushButton>(f, "btnBorrarContrasena")->click();
    QCOMPARE(Control<QLineEdit>(f, "inpContrasena")->text(), QString("ZULMA"));
    QVERIFY(f.dirty);
    Control<QToolButton>(f, "btnGuardar")->click();
    QVERIFY(EsHashContrasena(Guardada(2)));
    QVERIFY(Guardada(2) != antes);
    QCOMPARE(BuscoUsuario("zulma", "zulma"), 2);
}

void PruebaFrmUsuarios::filaConContrasenaPlana() {
    Entorno e;
    DosUsuarios();
    Ejecuto("UPDATE Usuarios SET Contrasena='vieja' WHERE Usuario=2");
    frmUsuarios f;
    Abro(f, 2);
    QVERIFY(Control<QLineEdit>(f, "inpContrasena")->text().isEmpty());
    Escribo(Control<QLineEdit>(f, "inpDescripcion"), "Zulma");
    Control<QToolButton>(f, "btnGuardar")->click();
    // The older password still works (and the login rewrites it as a hash).
    QCOMPARE(Guardada(2), QString("vieja"));
    QCOMPARE(BuscoUsuario("zulma", "VIEJA"), 2);
    QVERIFY(EsHashContrasena(Guardada(2)));
}

void PruebaFrmUsuarios::usuarioVacio() {
    Entorno e;
    frmUsuarios f;
    Abro(f, 1);
    Escribo(Control<QLineEdit>(f, "inpCodigo"), "");
    QVERIFY(f.dirty);
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Complete la descripción corta de usuario"});
    QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Informacion);
    QVERIFY(f.dirty);
    QVERIFY(Control<QLineEdit>(f, "inpCodigo")->text().isEmpty());
    QCOMPARE(ValorCampo("Usuarios", "NombreCorto", "Usuario=1")->toString(), QString("ADMIN"));

    // A new user needs a profile: without one the login name alone is not stored.
    MensajePrueba::setNextAnswer(Respuesta::No);
    Control<QToolButton>(f, "btnRegAgregar")->click();
    QVERIFY(f.adding);
    MensajePrueba::Limpio();
    Escribo(Control<QLineEdit>(f, "inpCodigo"), "pepe");
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(MensajePrueba::Textos(),
             QStringList{"Atención no se puede grabar el registro, elija un perfil"});
    QVERIFY(f.dirty && f.adding);
    QVERIFY(!ValorCampo("Usuarios", "Usuario", "NombreCorto='PEPE'"));
    auto* perfil = Control<QComboBox>(f, "cmbPerfil");
    perfil->setCurrentIndex(perfil->findText("Operador"));
    Control<QToolButton>(f, "btnGuardar")->click();
    QCOMPARE(ValorCampo("Usuarios", "Perfil", "NombreCorto='PEPE'")->toInt(), 2);
}

void PruebaFrmUsuarios::filtros_data() {
    QTest::addColumn<bool>("activos");
    QTest::addColumn<bool>("inactivos");
    QTest::addColumn<QStringList>("lista");
    QTest::newRow("activos") << true << false << QStringList{"Administrador", "Zulma Operadora"};
    QTest::newRow("no activos") << false << true << QStringList{"Baja Antigua"};
    QTest::newRow("ambos") << true << true << QStringList{"Administrador", "Baja Antigua", "Zulma Operadora"};
    QTest::newRow("ninguno") << false << false
                             << QStringList{"Administrador", "Baja Antigua", "Zulma Operadora"};
}

void PruebaFrmUsuarios::filtros() {
    QFETCH(bool, activos);
    QFETCH(bool, inactivos);
    QFETCH(QStringList, lista);
    Entorno e;
    DosUsuarios();
    frmUsuarios f;
    Abro(f, 1);
    auto* a = Control<QCheckBox>(f, "ftrActivo0");
    auto* n = Control<QCheckBox>(f, "ftrActivo1");
    QCOMPARE(a->text(), QString("Activo"));
    QCOMPARE(n->text(), QString("No Act"));
    QVERIFY(a->isChecked() && !n->isChecked());
    if (a->isChecked() != activos) a->click();
    if (n->isChecked() != inactivos) n->click();
    Control<QPushButton>(f, "btnActualizar")->click();
    QStringList real;
    for (int r = 1; r <= f.sprMaster->filas(); ++r)
        real << f.sprMaster->texto(r, 2);
    QCOMPARE(real, lista);
}

void PruebaFrmUsuarios::captionDelUsuarioActual() {
    Entorno e;
    DosUsuarios();
    int refrescos = 0;
    auto anterior = frmUsuarios::RefrescoCaption();
    frmUsuarios::RefrescoCaption() = [&] { ++refrescos; };
    {
        frmUsuarios f;
        Abro(f, 1);
        Escribo(Control<QLineEdit>(f, "inpDescripcion"), "Jefe");
        Control<QToolButton>(f, "btnGuardar")->click();
        QCOMPARE(refrescos, 1);
        VoyA(f, 2);
        Escribo(Control<QLineEdit>(f, "inpDescripcion"), "Zulma B");
        Control<QToolButton>(f, "btnGuardar")->click();
        QCOMPARE(refrescos, 1);
        Control<QToolButton>(f, "btnRegAgregar")->click();
        Escribo(Control<QLineEdit>(f, "inpCodigo"), "nuevo");
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        Control<QToolButton>(f, "btnGuardar")->click();
        QCOMPARE(MensajePrueba::Textos().last(),
                 QString("Atención no se puede grabar el registro, elija un perfil"));
        QCOMPARE(refrescos, 1);
        QCOMPARE(ValorCampo("Usuarios", "descUsuario", "Usuario=1")->toString(), QString("Jefe"));
    }
    frmUsuarios::RefrescoCaption() = anterior;
    // Through to the real main window.
    frmMain principal;
    principal.ActualizoCaption();
    QVERIFY(principal.windowTitle().contains("(Jefe)"));
    {
        frmUsuarios f;
        Abro(f, 1);
        Escribo(Control<QLineEdit>(f, "inpDescripcion"), "Jefa");
        Control<QToolButton>(f, "btnGuardar")->click();
    }
    QVERIFY2(principal.windowTitle().contains("(Jefa)"), qPrintable(principal.windowTitle()));
}

void PruebaFrmUsuarios::posicionAlCargar_data() {
    QTest::addColumn<QVariant>("preseleccion");
    QTest::addColumn<QString>("usuario"); // login name shown
    QTest::newRow("un usuario") << QVariant(2) << "ZULMA";
    QTest::newRow("el primero de la lista, no el usuario 1") << QVariant(true) << "ABEL";
    QTest::newRow("nula") << QVariant() << "ABEL";
    QTest::newRow("inexistente") << QVariant(99) << "ABEL";
}

// The list opens on the user handed in, or on its first row (the menu's true means none).
void PruebaFrmUsuarios::posicionAlCargar() {
    QFETCH(QVariant, preseleccion);
    QFETCH(QString, usuario);
    Entorno e;
    DosUsuarios();
    QVERIFY(Ejecuto("INSERT INTO Usuarios (Usuario, NombreCorto, descUsuario, Perfil, Contrasena, Activo) "
                    "VALUES (4, 'ABEL', 'Abel Primero', 2, ?, -1)",
                    {HashContrasena("abel")})
                .ok);
    App().preselection = preseleccion;
    frmUsuarios f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(Control<QLineEdit>(f, "inpCodigo")->text(), usuario);
}
