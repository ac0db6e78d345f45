// The start-up sequence, and two instances starting on one database at the same moment.
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Ini.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "core/ui/Arranque.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/Principal.h"
#include "core/ui/frmAcceso.h"
#include "core/ui/frmMain.h"
#include "tests/support/ui/EntornoPantallas.h"
#include "tst_shell.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <cstdio>

namespace {
// Answers the login window with a name and password, or cancels it.
void ContestoAcceso(const QString& nombre, const QString& contrasena, bool cancela = false) {
    AlAbrirModal([=](QWidget* w) {
        auto* d = qobject_cast<frmAcceso*>(w);
        if (!d) return;
        if (cancela) {
            QTest::mouseClick(d->btnCancel, Qt::LeftButton);
            return;
        }
        QTest::keyClicks(d->inpUsuario, nombre);
        QTest::keyClicks(d->inpContrasena, contrasena);
        QTest::keyClick(d->inpContrasena, Qt::Key_Return);
    });
}

// The main window made by start-up, closed without ending the test program.
void CierroPrincipal() {
    frmMain* m = VentanaPrincipal();
    if (!m) return;
    QObject::disconnect(m, &frmMain::programaTerminado, nullptr, nullptr);
    m->close();
    delete m;
}

int SesionesGuardadas(const QString& ruta) {
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "cuenta-sesiones");
        db.setDatabaseName(ruta);
        if (db.open()) {
            QSqlQuery q("SELECT Count(*) FROM Sesiones", db);
            if (q.next()) n = q.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase("cuenta-sesiones");
    return n;
}
} // namespace

void PruebaArranque::baseAjena_data() {
    QTest::addColumn<QByteArray>("contenido"); // empty: an SQLite database of another program
    QTest::newRow("texto") << QByteArray("Esto no es una base de datos\r\n");
    QTest::newRow("binario") << QByteArray("\x00\x01\x02\xff\xfe SQLite format 3", 24).repeated(100);
    QTest::newRow("sqlite ajena") << QByteArray();
}

void PruebaArranque::baseAjena() {
    QFETCH(QByteArray, contenido);
    Entorno e(false);
    const QString ruta = e.Ruta("Ajena.db");
    EscriboLocal("Base de Datos", "Base", "Ajena.db");
    if (contenido.isEmpty()) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "ajena");
            db.setDatabaseName(ruta);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("CREATE TABLE Clientes (Id INTEGER PRIMARY KEY, Nombre TEXT)"));
            QVERIFY(q.exec("INSERT INTO Clientes VALUES (1, 'Ana')"));
        }
        QSqlDatabase::removeDatabase("ajena");
    } else {
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
    const QByteArray antes = Huella(ruta);
    const QDateTime modificado = QFileInfo(ruta).lastModified();
    QStringList pasos;
    FijoMantenimientoInicial([&] { pasos << "mantenimiento"; });
    FijoVerificoEstructura([&](const QString&) {
        pasos << "estructura";
        return 1;
    });
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    const bool ok = Arranque();
    FijoMantenimientoInicial(nullptr);
    FijoVerificoEstructura(nullptr);
    QVERIFY(!ok);
    QCOMPARE(MensajePrueba::Mostrados().size(), 1);
    QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Error);
    QVERIFY(!MensajePrueba::Textos().first().isEmpty());
    QVERIFY(!BaseAbierta());
    QVERIFY(!VentanaPrincipal());
    QCOMPARE(Huella(ruta), antes);
    QCOMPARE(QFileInfo(ruta).lastModified(), modificado);
    QVERIFY(!QFileInfo::exists(ruta + "-wal"));
    QCOMPARE(pasos, (QStringList{"mantenimiento", "estructura"}));
}

void PruebaArranque::primerArranque() {
    Entorno e(false);
    const QString ruta = e.Ruta("Partidex.MDB");
    QVERIFY(!QFileInfo::exists(ruta));
    QStringList pasos;
    // The maintenance already finds the new database; the check runs after it.
    FijoMantenimientoInicial([&] {
        pasos << (QFileInfo::exists(ruta) ? "mantenimiento con base" : "mantenimiento sin base");
        pasos << (QApplication::overrideCursor() ? "reloj" : "sin reloj");
    });
    FijoVerificoEstructura([&](const QString& r) {
        pasos << "estructura " + QFileInfo(r).fileName();
        pasos << (QApplication::overrideCursor() ? "reloj" : "sin reloj");
        pasos << (BaseAbierta() ? "conectada" : "sin conexion");
        return 0;
    });
    App().preselection = 5;
    ContestoAcceso("admin", "admin");
    const bool ok = Arranque();
    FijoMantenimientoInicial(nullptr);
    FijoVerificoEstructura(nullptr);
    QVERIFY(ok);
    QCOMPARE(pasos, (QStringList{"mantenimiento con base", "reloj", "estructura Partidex.MDB", "sin reloj",
                                 "sin conexion"}));
    QVERIFY(MensajePrueba::Textos().isEmpty());
    QVERIFY(BaseAbierta());
    QCOMPARE(App().currentUser, 1);
    QCOMPARE(App().currentSession, 1);
    QCOMPARE(App().currentCompany, 0);
    QVERIFY(App().preselection.isNull());
    QVERIFY(App().sqlAccess);
    frmMain* m = VentanaPrincipal();
    QVERIFY(m && m->isVisible());
    QCOMPARE(m->windowTitle(), QString("Partidex, usuario: ADMIN (Administrador), Perfil: Administrador"));
    QCOMPARE(Pantallas::Marco(), m->marco);
    QVERIFY(ValorCampo("Sesiones", "Sesion", "Sesion=1").has_value());
    CierroPrincipal();
    QCOMPARE(SesionesGuardadas(ruta), 0);
}

void PruebaArranque::restauraEjercicio() {
    Entorno e;
    e.CreoEmpresaYEjercicio(1, 1);
    e.CreoEmpresaYEjercicio(2, 3, QDate(2025, 1, 1), QDate(2025, 12, 31));
    for (int i = 0; i < 150; ++i)
        NuevaSesion(); // sessions of earlier runs
    CierroBase();
    App().currentCompany = App().currentYear = 0;
    EscriboLocal("Varios", "UltEmpresaPropia", "2");
    EscriboLocal("Varios", "UltNumEjercicio", "3");
    ContestoAcceso("ADMIN", "ADMIN");
    QVERIFY(Arranque());
    QCOMPARE(App().currentCompany, 2);
    QCOMPARE(App().currentYear, 3);
    QCOMPARE(App().currentSession, 151);
    // Only the hundred most recent numbers stay.
    QCOMPARE(NumeroOCero(ValorCampo("Sesiones", "Min(Sesion)", "1=1")), 51.0);
    QVERIFY(
        VentanaPrincipal()->windowTitle().endsWith(", Ejercicio: Empresa de Prueba 2, 01/01/25-31/12/25"));
    CierroPrincipal();
}

void PruebaArranque::loginCancelado() {
    Entorno e;
    CierroBase();
    const QString ruta = App().databasePath;
    ContestoAcceso(QString(), QString(), true);
    QVERIFY(!Arranque());
    QVERIFY(!BaseAbierta());
    QVERIFY(!VentanaPrincipal());
    QVERIFY(!App().loginAccepted);
    QCOMPARE(SesionesGuardadas(ruta), 0);
}

// Several programs start on one database at the same moment: each gets its own session number.
void PruebaArranque::dosInstancias() {
    Entorno e;
    App().currentSession = NuevaSesion();
    const QString senal = e.Ruta("adelante");
    constexpr int cuantos = 4;
    QList<QProcess*> procesos;
    for (int i = 0; i < cuantos; ++i) {
        auto* p = new QProcess(this);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(),
                 {"--sesion", e.Carpeta(), App().databasePath, senal});
        procesos << p;
    }
    for (QProcess* p : procesos) {
        QVERIFY(p->waitForStarted(10000));
        QElapsedTimer reloj;
        reloj.start();
        while (!p->canReadLine() && reloj.elapsed() < 20000)
            p->waitForReadyRead(100);
        QCOMPARE(p->readLine().trimmed(), QByteArray("listo"));
    }
    QFile f(senal);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QSet<int> numeros;
    for (QProcess* p : procesos) {
        QVERIFY(p->waitForFinished(30000));
        QCOMPARE(p->exitCode(), 0);
        const int n = p->readAll().trimmed().toInt();
        QVERIFY(n > 1);
        numeros << n;
        delete p;
    }
    QCOMPARE(numeros.size(), cuantos);
    QCOMPARE(NumeroOCero(ValorCampo("Sesiones", "Count(*)", "1=1")), double(cuantos + 1));
}

int ProcesoSesion(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 5) return 2;
    AppState& a = App();
    a.programFolder = a.settingsFolder = QString::fromLocal8Bit(argv[2]);
    a.databasePath = QString::fromLocal8Bit(argv[3]);
    const QString senal = QString::fromLocal8Bit(argv[4]);
    QString error;
    if (!AbroBase(a.databasePath, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 3;
    }
    std::printf("listo\n");
    std::fflush(stdout);
    QElapsedTimer reloj;
    reloj.start();
    while (!QFileInfo::exists(senal) && reloj.elapsed() < 20000)
        QThread::usleep(200);
    const int n = NuevaSesion();
    std::printf("%d\n", n);
    std::fflush(stdout);
    CierroBase();
    return n > 0 ? 0 : 4;
}
