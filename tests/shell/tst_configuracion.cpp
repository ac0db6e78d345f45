// Reading the settings files at start-up, and Qt's Spanish texts.
#include "core/AppState.h"
#include "core/Configuracion.h"
#include "core/Ini.h"
#include "core/Valores.h"
#include "core/ui/Arranque.h"
#include "tests/support/ui/EntornoPantallas.h"
#include "tst_shell.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

void PruebaConfiguracion::sinArchivos() {
    Entorno e(false);
    QFile::remove(App().LocalIni()); // the settings of a server's books, when the fixture wrote them
    App().sqlAccess = false;
    App().currentCompany = 4;
    LeoConfiguracion();
    RestauroEjercicio();
    const AppState& a = App();
    QCOMPARE(a.databasePath, QDir(e.Carpeta()).filePath("Partidex.MDB"));
    QCOMPARE(a.workgroupPath, QDir(e.Carpeta()).filePath("System.mdw"));
    QCOMPARE(a.globalIniPath, QDir(e.Carpeta()).filePath("Global Partidex.ini"));
    QVERIFY(a.sqlAccess);
    QCOMPARE(a.currentCompany, 0);
    QCOMPARE(a.currentYear, 0);
    QVERIFY(!QFileInfo::exists(a.LocalIni())); // reading creates no file
}

void PruebaConfiguracion::rutaBase_data() {
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("esperada"); // "~" stands for the program's folder
    QTest::newRow("unidad") << "D:\\Contable\\Partidex.MDB"
                            << "D:\\Contable\\Partidex.MDB";
    QTest::newRow("red") << "\\\\servidor\\conta\\Partidex.MDB"
                         << "\\\\servidor\\conta\\Partidex.MDB";
    QTest::newRow("posix") << "/srv/conta/Partidex.MDB"
                           << "/srv/conta/Partidex.MDB";
    QTest::newRow("subcarpeta") << "Datos\\Empresa.MDB"
                                << "~/Datos/Empresa.MDB";
    QTest::newRow("solo nombre") << "Otra.MDB"
                                 << "~/Otra.MDB";
    // Qt takes a leading colon for its embedded resources; here it is only a file's name.
    QTest::newRow("dos puntos al comienzo") << ":Otra.MDB"
                                            << "~/:Otra.MDB";
}

void PruebaConfiguracion::rutaBase() {
    QFETCH(QString, valor);
    QFETCH(QString, esperada);
    SOLO_ARCHIVO("la regla de rutas es la de una base en un archivo");
    Entorno e(false);
    QVERIFY(EscriboLocal("Base de Datos", "Base", valor));
    QVERIFY(EscriboLocal("Base de Datos", "SystemWS", valor + ".mdw"));
    LeoConfiguracion();
    esperada.replace("~", e.Carpeta());
    QCOMPARE(App().databasePath, esperada);
    QCOMPARE(App().workgroupPath, esperada + ".mdw");
}

void PruebaConfiguracion::sqlAccess_data() {
    QTest::addColumn<QString>("valor");
    QTest::addColumn<bool>("access");
    QTest::addColumn<QString>("funcion");
    QTest::newRow("True") << "True" << true << "UCase";
    QTest::newRow("minusculas") << "true" << false << "UPPER";
    QTest::newRow("mayusculas") << "TRUE" << false << "UPPER";
    QTest::newRow("False") << "False" << false << "UPPER";
    QTest::newRow("vacio") << "" << false << "UPPER";
}

void PruebaConfiguracion::sqlAccess() {
    QFETCH(QString, valor);
    QFETCH(bool, access);
    QFETCH(QString, funcion);
    Entorno e(false);
    // The global file is the one the local file names, inside a sub-folder.
    QVERIFY(EscriboLocal("Varios", "GlobalIni", "Comun\\Global.ini"));
    QVERIFY(EscriboIni(e.Ruta("Comun/Global.ini"), "Varios", "SqlAccess", valor));
    LeoConfiguracion();
    QCOMPARE(App().globalIniPath, e.Ruta("Comun/Global.ini"));
    QCOMPARE(App().sqlAccess, access);
    QCOMPARE(FuncionMayusculas(), funcion);
}

void PruebaConfiguracion::ultimoEjercicio_data() {
    QTest::addColumn<QString>("ejercicio"); // "-" = key absent
    QTest::addColumn<QString>("empresa");
    QTest::addColumn<int>("anio");
    QTest::addColumn<int>("compania");
    QTest::newRow("ambos") << "3"
                           << "5" << 3 << 5;
    QTest::newRow("sin ejercicio") << "-"
                                   << "5" << 0 << 0;
    QTest::newRow("ejercicio vacio") << ""
                                     << "5" << 0 << 0;
    QTest::newRow("redondeo") << "2.6"
                              << "1" << 3 << 1;
    QTest::newRow("empresa vacia") << "3"
                                   << "" << 3 << 0;
    QTest::newRow("empresa no numerica") << "3"
                                         << "abc" << 3 << 0;
    QTest::newRow("empresa enorme") << "3"
                                    << "1e30" << 3 << 0;
}

void PruebaConfiguracion::ultimoEjercicio() {
    QFETCH(QString, ejercicio);
    QFETCH(QString, empresa);
    QFETCH(int, anio);
    QFETCH(int, compania);
    Entorno e(false);
    if (ejercicio != "-") EscriboLocal("Varios", "UltNumEjercicio", ejercicio);
    EscriboLocal("Varios", "UltEmpresaPropia", empresa);
    App().currentYear = 77;
    App().currentCompany = 77;
    RestauroEjercicio();
    QCOMPARE(App().currentYear, anio);
    QCOMPARE(App().currentCompany, compania);
}

void PruebaConfiguracion::carpetaAjustes() {
    QTemporaryDir programa, usuario;
    QCOMPARE(CarpetaAjustes(programa.path(), usuario.path()), QDir::cleanPath(programa.path()));
    // A program folder that cannot hold the settings file (missing, or a file) gives the user's folder.
    QCOMPARE(CarpetaAjustes(programa.filePath("no existe"), usuario.path()), QDir::cleanPath(usuario.path()));
    QFile archivo(programa.filePath("archivo"));
    QVERIFY(archivo.open(QIODevice::WriteOnly));
    archivo.close();
    QCOMPARE(CarpetaAjustes(archivo.fileName(), usuario.path()), QDir::cleanPath(usuario.path()));

    // The settings folder then also anchors the relative paths and holds Partidex.ini.
    const QString antes = App().programFolder, antesIni = App().settingsFolder;
    FijoCarpetas(programa.path());
    QCOMPARE(App().LocalIni(), QDir(programa.path()).filePath("Partidex.ini"));
    App().programFolder = antes;
    App().settingsFolder = antesIni;
}

void PruebaConfiguracion::traduccionesEspanol() {
    QVERIFY(CargoTraducciones());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString("&Sí"));
    QMessageBox caja;
    caja.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(caja.button(QMessageBox::Yes)->text().remove('&'), QString("Sí"));
    QCOMPARE(caja.button(QMessageBox::No)->text().remove('&'), QString("No"));
    QCOMPARE(caja.button(QMessageBox::Cancel)->text().remove('&'), QString("Cancelar"));
}

void PruebaConfiguracion::contrasenaALaVista_data() {
    QTest::addColumn<QString>("contrasena");
    QTest::addColumn<int>("permisos");
    QTest::addColumn<bool>("aviso");
    QTest::newRow("solo el dueño") << "secreta" << int(QFileDevice::ReadOwner | QFileDevice::WriteOwner) << false;
    QTest::newRow("el grupo lee") << "secreta" << int(QFileDevice::ReadOwner | QFileDevice::ReadGroup) << true;
    QTest::newRow("todos leen") << "secreta" << int(QFileDevice::ReadOwner | QFileDevice::ReadOther) << true;
    QTest::newRow("sin contraseña") << "" << int(QFileDevice::ReadOwner | QFileDevice::ReadOther) << false;
}

void PruebaConfiguracion::contrasenaALaVista() {
    QFETCH(QString, contrasena);
    QFETCH(int, permisos);
    QFETCH(bool, aviso);
    Entorno e(false);
    QVERIFY(EscriboLocal("Base de Datos", "Contrasena", contrasena));
    QVERIFY(QFile::setPermissions(App().LocalIni(), QFileDevice::Permissions(permisos)));
    const QString texto = AvisoConfiguracion();
    QFile::setPermissions(App().LocalIni(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(!texto.isEmpty(), aviso);
    if (aviso) QVERIFY(texto.contains(QDir::toNativeSeparators(App().LocalIni())));
}
