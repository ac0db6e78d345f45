// The start-up sequence, and two instances starting on one database at the same moment.
#include "core/AppState.h"
#include "core/Archivos.h"
#include "core/Basedatos.h"
#include "core/Ini.h"
#include "core/Motor.h"
#include "core/Progreso.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "core/ui/Arranque.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/Principal.h"
#include "core/ui/DialogoProgreso.h"
#include "core/ui/frmAcceso.h"
#include "core/ui/frmMain.h"
#include "maintenance/Mantenimiento.h"
#include "maintenance/ui/PantallasMantenimiento.h"
#include "maintenance/ui/RegistroMantenimiento.h"
#include "schema/Esquema.h"
#include "tests/support/ui/EntornoPantallas.h"
#include "tst_shell.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QThread>
#include <cstdio>
#include <functional>
#include <memory>
#include <sys/stat.h>

namespace {
// Answers the login window with a name and password, or cancels it. The start may first take a backup
// (and upgrade the book): the login window may come a while after.
void ContestoAcceso(const QString& nombre, const QString& contrasena, bool cancela = false) {
    const auto contesto = [=](QWidget* w) {
        auto* d = qobject_cast<frmAcceso*>(w);
        if (!d) return;
        if (cancela) {
            QTest::mouseClick(d->btnCancel, Qt::LeftButton);
            return;
        }
        QTest::keyClicks(d->inpUsuario, nombre);
        QTest::keyClicks(d->inpContrasena, contrasena);
        QTest::keyClick(d->inpContrasena, Qt::Key_Return);
    };
    AlAbrirModal(contesto, 120000);
}

// The main window made by start-up, closed without ending the test program.
void CierroPrincipal() {
    frmMain* m = VentanaPrincipal();
    if (!m) return;
    QObject::disconnect(m, &frmMain::programaTerminado, nullptr, nullptr);
    m->close();
    delete m;
}

// Runs f on a connection of the test's own to the database at ruta, on its own engine.
void EnBase(const QString& ruta, bool soloLectura,
            const std::function<void(QSqlDatabase&, const Motor&)>& f) {
    {
        const Motor& motor = MotorDeRuta(ruta);
        QSqlDatabase db = motor.almacen.Agrego("prueba-base", ruta, soloLectura);
        if (db.open()) f(db, motor);
        db.close();
    }
    QSqlDatabase::removeDatabase("prueba-base");
}

int SesionesGuardadas(const QString& ruta) {
    int n = -1;
    EnBase(ruta, true, [&](QSqlDatabase& db, const Motor&) {
        QSqlQuery q("SELECT Count(*) FROM Sesiones", db);
        if (q.next()) n = q.value(0).toInt();
    });
    return n;
}

// Every file under the folder by relative path: the hash of a regular file, what any other thing is
// (a FIFO is never opened).
QMap<QString, QByteArray> Huellas(const QString& carpeta) {
    QMap<QString, QByteArray> r;
    QDirIterator it(carpeta, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString ruta = it.next();
        const QString clase = ClaseNoComun(ruta);
        r.insert(QDir(carpeta).relativeFilePath(ruta), clase.isEmpty() ? Huella(ruta) : clase.toUtf8());
    }
    return r;
}

// Runs statements on a database through a connection of the test's own.
void Sql(const QString& ruta, const QStringList& sentencias) {
    int hechas = 0;
    EnBase(ruta, false, [&](QSqlDatabase& db, const Motor&) {
        QSqlQuery q(db);
        for (const QString& s : sentencias) {
            if (!q.exec(s)) {
                qWarning("%s", qPrintable(s + ": " + q.lastError().text()));
                return;
            }
            ++hechas;
        }
    });
    QCOMPARE(hechas, int(sentencias.size()));
}

void FijoVersion(const QString& ruta, int version) {
    bool ok = false;
    EnBase(ruta, false,
           [&](QSqlDatabase& db, const Motor& m) { ok = m.catalogo.FijoVersionEsquema(db, version); });
    QVERIFY(ok);
}

int Version(const QString& ruta) {
    int v = -1;
    EnBase(ruta, true, [&](QSqlDatabase& db, const Motor& m) { v = m.catalogo.VersionEsquema(db); });
    return v;
}

void EscriboBytes(const QString& ruta, const QByteArray& bytes, qint64 desde = 0) {
    QFile f(ruta);
    QVERIFY(f.open(desde == 0 ? QIODevice::WriteOnly : QIODevice::ReadWrite));
    QVERIFY(f.seek(desde));
    f.write(bytes);
}

// A log that belongs to another file left beside the database (a copy brought back over the books):
// replaying it would write another file's pages over this one's.
void LogAjeno(const QString& ruta) {
    const QString otra = ruta + ".otra";
    QVERIFY(QFile::copy(ruta, otra));
    QStringList filas;
    for (int i = 1; i <= 300; ++i)
        filas << QString("INSERT INTO ConceptosDetAsiento VALUES (%1, '%2')").arg(i).arg(QString(300, 'b'));
    Sql(ruta, filas);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "log-ajeno");
        db.setDatabaseName(otra);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec("PRAGMA wal_autocheckpoint=0"));
        QVERIFY(q.exec("BEGIN"));
        for (int i = 1; i <= 300; ++i)
            QVERIFY(q.exec(
                QString("INSERT INTO ConceptosAsiento VALUES (%1, '%2')").arg(i).arg(QString(300, 'a'))));
        QVERIFY(q.exec("COMMIT"));
        QVERIFY(!QFileInfo::exists(ruta + "-wal"));
        QVERIFY(QFile::copy(otra + "-wal", ruta + "-wal"));
        db.close();
    }
    QSqlDatabase::removeDatabase("log-ajeno");
    QVERIFY(QFile::remove(otra));
}

// A database as version 1 of the program made it, from the text kept with the tests; on a server,
// today's books with the changes of the later versions undone (the triggers of the monthly sums are
// made anew by the upgrade).
void CreoBaseVersion1(const QString& ruta) {
    if (!MotorDeRuta(ruta).PorArchivo()) {
        QVERIFY(CreoBase(ruta));
        Sql(ruta, {"DROP INDEX idxDetAsientosCuenta",
                   "CREATE INDEX idxDetAsientosCuenta ON DetAsientos (EmpresaPropia, NumEjercicio, Cuenta, "
                   "Asiento)",
                   "DROP TABLE HistorialAsientos", "ALTER TABLE EmpresasPropia DROP COLUMN CUIT",
                   "ALTER TABLE EmpresasPropia DROP COLUMN Domicilio", "DELETE FROM Permisos WHERE Modulo>=15",
                   "DELETE FROM ModulosHabilitaciones WHERE Modulo>=15", "DELETE FROM Modulos WHERE Modulo>=15",
                   "DROP TABLE RubrosCuentas", "DROP TABLE SumasMensuales"});
        FijoVersion(ruta, 1);
        return;
    }
    QFile f(QStringLiteral(CARPETA_PRUEBA "/base-v1.sql"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QStringList sentencias;
    QString actual;
    for (const QString& linea : QString::fromUtf8(f.readAll()).split('\n')) {
        actual += linea + '\n';
        if (linea.endsWith(';')) {
            sentencias << actual.trimmed().chopped(1);
            actual.clear();
        }
    }
    sentencias << QString("PRAGMA application_id=%1").arg(Esquema::IdAplicacion) << "PRAGMA user_version=1"
               << "PRAGMA journal_mode=WAL";
    Sql(ruta, sentencias);
}

// The rows a statement reads from the database at ruta, each as its values joined by "|".
QStringList Filas(const QString& ruta, const QString& sql) {
    QStringList r;
    {
        QSqlDatabase db = MotorDeRuta(ruta).almacen.Agrego("filas", ruta, true);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(sql);
            while (q.next()) {
                QStringList valores;
                for (int i = 0; i < q.record().count(); ++i)
                    valores << q.value(i).toString();
                r << valores.join('|');
            }
        }
    }
    QSqlDatabase::removeDatabase("filas");
    return r;
}

// Tables with their columns, indexes and relations as the engine reports them, or the rows of one
// table: what the comparison looks at.
QStringList Estructura(const QString& ruta, const QString& tablaFilas = QString()) {
    QStringList r;
    {
        const Motor& motor = MotorDeRuta(ruta);
        QSqlDatabase db = motor.almacen.Agrego("estructura", ruta, true);
        if (db.open()) {
            if (tablaFilas.isEmpty()) {
                for (const QString& t : motor.catalogo.Tablas(db)) {
                    const QSqlRecord campos = db.record(t);
                    QStringList nombres;
                    for (int i = 0; i < campos.count(); ++i)
                        nombres << campos.fieldName(i);
                    r << "tabla " + t + ": " + nombres.join(", ");
                }
                for (const IndiceBase& i : motor.catalogo.Indices(db))
                    r << "indice " + i.nombre + " " + i.tabla + ": " + i.columnas.join(", ");
                for (const RelacionBase& rel : motor.catalogo.Relaciones(db))
                    r << "relacion " + rel.tabla + "(" + rel.columnas.join(", ") + ") " + rel.referida + "(" +
                             rel.columnasReferidas.join(", ") + ")";
                r.sort();
                r << QString("id %1").arg(motor.catalogo.IdAplicacion(db));
            } else {
                QSqlQuery q(db);
                q.exec("SELECT * FROM " + tablaFilas);
                while (q.next())
                    r << q.value(0).toString() + q.value(1).toString();
            }
        }
    }
    QSqlDatabase::removeDatabase("estructura");
    return r;
}

// What start-up must leave as it was: every file of the folder and, for books on a server, their
// structure, version and the rows another program keeps there.
QMap<QString, QByteArray> Intacto(const QString& carpeta, const QString& base) {
    QMap<QString, QByteArray> r = Huellas(carpeta);
    if (!MotorDeRuta(base).PorArchivo())
        r.insert(base, (Estructura(base) + Estructura(base, "Clientes") << QString::number(Version(base)))
                           .join('\n')
                           .toUtf8());
    return r;
}

// A copy of the books: the file itself, or the server's backup of them.
void Respaldo(const QString& base, const QString& copia) {
    if (MotorDeRuta(base).PorArchivo()) {
        QVERIFY(QFile::copy(base, copia));
        return;
    }
    QString error;
    QVERIFY2(MotorDeRuta(base).almacen.RespaldoEn(base, copia, &error), qPrintable(error));
}

// A start-up that wrongly went on would wait at the login: while the returned flag holds, the login is
// cancelled, so that the checks that follow fail instead of the test hanging.
std::shared_ptr<bool> CanceloAcceso() {
    auto abierto = std::make_shared<bool>(false);
    SiSeAbreModal([abierto](QWidget* w) {
        if (auto* d = qobject_cast<frmAcceso*>(w)) {
            *abierto = true;
            QTest::mouseClick(d->btnCancel, Qt::LeftButton);
        }
    });
    return abierto;
}
} // namespace

void PruebaArranque::cleanup() {
    FijoMantenimientoInicial(nullptr);
    FijoVerificoEstructura(nullptr);
    FijoRespaldoPrevio(nullptr);
    FijoRespaldoPendiente(nullptr);
    FijoOfertaMantenimiento(nullptr);
    Pantallas::Olvido();
}

void PruebaArranque::baseRechazada_data() {
    QTest::addColumn<QString>("caso");
    QTest::addColumn<QStringList>("dice");    // fragments of the first message
    QTest::addColumn<bool>("pregunta");       // the first message is a question, answered No
    QTest::addColumn<bool>("ofrecePantalla"); // the maintenance screen is offered (answered No)
    const QStringList config{"Revise la clave Base", "Partidex.ini"};
    QTest::newRow("texto") << "texto" << QStringList{"no es una base de datos de Partidex"} + config << false
                           << false;
    QTest::newRow("base ajena") << "base ajena" << QStringList{"no es una base de datos de Partidex"} + config
                                << false << false;
    QTest::newRow("página dañada") << "página dañada"
                                   << QStringList{"está dañada", "Partidex.BAK del 02/03/2025"} << false
                                   << true;
    QTest::newRow("log ajeno") << "log ajeno" << QStringList{"está dañada", "Partidex.BAK del 02/03/2025"}
                               << false << true;
    QTest::newRow("versión posterior")
        << "versión posterior" << QStringList{"versión más nueva", "no la modificó"} << false << false;
    QTest::newRow("tabla borrada") << "tabla borrada"
                                   << QStringList{"le falta la tabla PrepararPagina", "Partidex.BAK del"}
                                   << false << true;
    QTest::newRow("fifo") << "fifo" << QStringList{"sino una tubería (FIFO)"} + config << false << false;
    QTest::newRow("dispositivo") << "dispositivo" << QStringList{"/dev/null", "sino un dispositivo"} << false
                                 << false;
    QTest::newRow("carpeta") << "carpeta" << QStringList{"sino una carpeta"} << false << false;
    QTest::newRow("nul en la ruta") << "nul" << QStringList{"Parti\\0dex.MDB", "caracteres de control"}
                                    << false << false;
    QTest::newRow("ruta inexistente")
        << "inexistente" << QStringList{"No existe la base de datos", "Otros.MDB"} << true << false;
    QTest::newRow("carpeta inexistente")
        << "sin carpeta" << QStringList{"No existe la carpeta", "no se crea ninguna carpeta"} << false
        << false;
    QTest::newRow("ruta larga") << "larga" << QStringList{"No existe la base de datos"} << true << false;
    QTest::newRow("configuración fifo")
        << "ini fifo" << QStringList{"El archivo de configuración", "tubería (FIFO)"} << false << false;
    QTest::newRow("configuración global dispositivo")
        << "global dispositivo" << QStringList{"configuración global /dev/null", "un dispositivo"} << false
        << false;
}

// Whatever is wrong with the database or the settings, start-up says so and ends with every file as it
// was, although the backup is due and the maintenance is in place.
void PruebaArranque::baseRechazada() {
    QFETCH(QString, caso);
    QFETCH(QStringList, dice);
    QFETCH(bool, pregunta);
    QFETCH(bool, ofrecePantalla);
    // What only a file can be (or hold), and paths of a file.
    static const QStringList deArchivo{"texto",   "página dañada", "log ajeno",   "fifo", "dispositivo",
                                       "carpeta", "inexistente",   "sin carpeta", "larga"};
    if (deArchivo.contains(caso)) SOLO_ARCHIVO("un archivo en el lugar de la base de datos");
    Entorno e(false);
    RegistroPantallasMantenimiento();
    const QString base = e.RutaBase();
    const QString bak = e.Ruta("Partidex.BAK");
    QVERIFY(CreoBase(base));
    Respaldo(base, bak);
    {
        QFile f(bak);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(
            f.setFileTime(QDateTime(QDate(2025, 3, 2), QTime(10, 30)), QFileDevice::FileModificationTime));
    }
    EscriboIni(e.Ruta("Global Partidex.ini"), "Varios", "SqlAccess", "True");
    if (caso == "texto") EscriboBytes(base, "Esto no es una base de datos\r\n");
    if (caso == "base ajena") {
        if (MotorDeRuta(base).PorArchivo())
            QVERIFY(QFile::remove(base));
        else
            Sql(base, {"DROP SCHEMA public CASCADE", "CREATE SCHEMA public"});
        Sql(base, {"CREATE TABLE Clientes (Id INTEGER PRIMARY KEY, Nombre TEXT)",
                   "INSERT INTO Clientes VALUES (1, 'Uno')"});
    }
    if (caso == "página dañada") EscriboBytes(base, QByteArray(4096, '\xab'), 9 * 4096);
    if (caso == "log ajeno") LogAjeno(base);
    if (caso == "versión posterior") FijoVersion(base, Esquema::Version + 1);
    if (caso == "tabla borrada") Sql(base, {"DROP TABLE PrepararPagina"});
    if (caso == "fifo") {
        QVERIFY(::mkfifo(QFile::encodeName(e.Ruta("tuberia")).constData(), 0600) == 0);
        EscriboLocal("Base de Datos", "Base", "tuberia");
    }
    if (caso == "dispositivo") EscriboLocal("Base de Datos", "Base", "/dev/null");
    if (caso == "carpeta") {
        QVERIFY(QDir().mkpath(e.Ruta("Libros")));
        EscriboLocal("Base de Datos", "Base", "Libros");
    }
    if (caso == "nul") {
        static const char ini[] = "[Base de Datos]\nBase=Parti\0dex.MDB\n";
        EscriboBytes(e.Ruta("Partidex.ini"), QByteArray(ini, sizeof ini - 1));
    }
    if (caso == "inexistente") EscriboLocal("Base de Datos", "Base", "Otros.MDB");
    if (caso == "sin carpeta") EscriboLocal("Base de Datos", "Base", "falta\\Libros.MDB");
    if (caso == "larga") {
        const QString larga = e.Carpeta() + "/" + QString(200, 'L') + ".MDB";
        EscriboLocal("Base de Datos", "Base", larga);
        dice << QDir::toNativeSeparators(larga.left(127)) + ".";
    }
    if (caso == "ini fifo") {
        QFile::remove(
            e.Ruta("Partidex.ini")); // the settings of a server's books, when the fixture wrote them
        QVERIFY(::mkfifo(QFile::encodeName(e.Ruta("Partidex.ini")).constData(), 0600) == 0);
    }
    if (caso == "global dispositivo") EscriboLocal("Varios", "GlobalIni", "/dev/null");

    const QMap<QString, QByteArray> antes = Intacto(e.Carpeta(), base);
    MensajePrueba::setNextAnswer(pregunta ? Respuesta::No : Respuesta::Ok);
    if (ofrecePantalla) MensajePrueba::setNextAnswer(Respuesta::No);
    // The start-up stops before the login (the watch ends with this case, so that it cannot cancel a
    // later test's login).
    const auto acceso = CanceloAcceso();
    const bool arranco = Arranque();
    QVERIFY(!*acceso);
    QVERIFY(!arranco);
    QVERIFY(!BaseAbierta());
    QVERIFY(!VentanaPrincipal());
    QVERIFY(!QApplication::overrideCursor());
    const QList<MensajePrueba::Mostrado> mostrados = MensajePrueba::Mostrados();
    QCOMPARE(mostrados.size(), ofrecePantalla ? 2 : 1);
    QCOMPARE(mostrados.first().icono, pregunta ? Icono::Pregunta : Icono::Error);
    for (const QString& d : dice)
        QVERIFY2(mostrados.first().texto.contains(d), qPrintable(mostrados.first().texto + "\n  sin: " + d));
    if (ofrecePantalla) QCOMPARE(mostrados.last().texto, QString("Ingresa a Módulo de Base de Datos"));
    QCOMPARE(Intacto(e.Carpeta(), base), antes);
}

// Start-up reads the file's header and catalogue alone: a page damaged far from the catalogue is found
// by the next backup (in its progress window), compaction or upgrade, and the book's size does not
// lengthen the start.
void PruebaArranque::sinLeerEnteraAlArrancar() {
    SOLO_ARCHIVO("una página dañada del archivo");
    Entorno e(false);
    RegistroPantallasMantenimiento();
    const QString base = e.RutaBase();
    QVERIFY(CreoBase(base));
    EscriboBytes(base, QByteArray(4096, '\xab'), 9 * 4096);
    EscriboIni(e.Ruta("Global Partidex.ini"), "Mantenimiento de Base de Datos", "UltimoBackUp(dd/mm/yyyy)",
               FechaATexto(QDate::currentDate()));
    const auto acceso = CanceloAcceso();
    QVERIFY(!Arranque()); // the login, cancelled
    QVERIFY(*acceso);
    QVERIFY2(MensajePrueba::Mostrados().isEmpty(), qPrintable(MensajePrueba::Mostrados().value(0).texto));
    // The backup's own examination reads every page, and refuses to copy it.
    Mantenimiento::LeoRutas();
    MensajePrueba::setNextAnswer(Respuesta::Ok);
    QVERIFY(!Mantenimiento::HagoBackUp(RutasDeAjustes(), QDate::currentDate()));
    QVERIFY(MensajePrueba::Mostrados().value(0).texto.contains("dañada"));
}

void PruebaArranque::versionAnterior_data() {
    QTest::addColumn<bool>("respaldoPosible");
    QTest::newRow("actualizada") << true;
    QTest::newRow("sin copia de seguridad no se actualiza") << false;
}

// A database of an older version is upgraded at start-up after a checked backup, to the structure a new
// database has; without the backup it is not upgraded.
void PruebaArranque::versionAnterior() {
    QFETCH(bool, respaldoPosible);
    Entorno e(false);
    RegistroPantallasMantenimiento();
    // The backup's progress window comes up at once, as on a slow machine, before the login window.
    const int demora = DialogoProgreso::demora;
    DialogoProgreso::demora = 0;
    const auto repongo = qScopeGuard([demora] { DialogoProgreso::demora = demora; });
    const QString base = e.RutaBase();
    CreoBaseVersion1(base);
    Sql(base, {"INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (7, 'Vieja')"});
    QCOMPARE(Version(base), 1);
    const QStringList filas = Estructura(base, "EmpresasPropia");
    const QStringList anterior = Estructura(base);
    // The scheduled backup is not due: the backup taken is the upgrade's own.
    EscriboIni(e.Ruta("Global Partidex.ini"), "Mantenimiento de Base de Datos", "UltimoBackUp(dd/mm/yyyy)",
               FechaATexto(QDate::currentDate()));
    if (!respaldoPosible)
        EscriboLocal("Mantenimiento de Base de Datos", "Base Back Up", "falta\\Partidex.BAK");
    const bool servidor = PruebaEnPostgres();
    const QString nueva = servidor ? NuevaBasePostgres() : e.Ruta("Nueva.MDB");
    // On a server the backup is read back from a database restored from it.
    const QString copia = servidor ? NuevaBasePostgres() : e.Ruta("Partidex.BAK");
    const auto borro = qScopeGuard([&] {
        if (servidor) {
            BorroBasePostgres(nueva);
            BorroBasePostgres(copia);
        }
    });
    QVERIFY(CreoBase(nueva));
    std::shared_ptr<bool> acceso;
    if (respaldoPosible) {
        ContestoAcceso("ADMIN", "ADMIN");
    } else {
        MensajePrueba::setNextAnswer(Respuesta::Ok); // the backup that failed
        MensajePrueba::setNextAnswer(Respuesta::Ok); // the upgrade left undone
        acceso = CanceloAcceso();
    }
    QCOMPARE(Arranque(), respaldoPosible);
    // Without the upgrade the start-up stops before the login.
    if (acceso) QVERIFY(!*acceso);
    CierroPrincipal();
    QCOMPARE(Estructura(base, "EmpresasPropia"), filas);
    if (respaldoPosible) {
        QVERIFY2(MensajePrueba::Textos().isEmpty(), qPrintable(MensajePrueba::Textos().join('\n')));
        QCOMPARE(Version(base), Esquema::Version);
        QCOMPARE(Estructura(base), Estructura(nueva));
        // The fixed rows too: modules, their levels and the grants of every profile.
        for (const char* sql : {"SELECT Modulo, descModulo, nomModulo FROM Modulos ORDER BY Modulo",
                                "SELECT Modulo, TipoHabilitacion FROM ModulosHabilitaciones ORDER BY Modulo, "
                                "TipoHabilitacion",
                                "SELECT Perfil, Modulo, TipoHabilitacion FROM Permisos ORDER BY Perfil, Modulo"}) {
            QCOMPARE(Filas(base, sql), Filas(nueva, sql));
            QVERIFY(Filas(base, sql).size() > 10);
        }
        QCOMPARE(Filas(base, "SELECT CUIT, Domicilio FROM EmpresasPropia"), QStringList{"|"});
        QString error;
        if (servidor)
            QVERIFY2(MotorDeRuta(copia).almacen.RestauroDe(e.Ruta("Partidex.BAK"), copia, &error),
                     qPrintable(error));
        QCOMPARE(Version(copia), 1);
        QCOMPARE(Estructura(copia, "EmpresasPropia"), filas);
    } else {
        QCOMPARE(MensajePrueba::Textos().size(), 2);
        QVERIFY(MensajePrueba::Textos().first().startsWith("No se pudo terminar BackUp base de datos, "));
        QVERIFY(MensajePrueba::Textos().last().contains("no se actualizó"));
        QCOMPARE(Version(base), 1);
        QCOMPARE(Estructura(base), anterior);
    }
}

void PruebaArranque::respaldoInicialCancelado_data() {
    QTest::addColumn<bool>("actualiza");     // the backup before an upgrade; else the scheduled one
    QTest::addColumn<QString>("libro");      // the book: sound, a damaged page, books that break a rule
    QTest::addColumn<QString>("en");         // the stage at which the user stops it (empty: never)
    QTest::addColumn<QStringList>("dice");   // the messages, in order: fragments of each, between '|'
    QTest::addColumn<bool>("llegaAlAcceso"); // the start goes on to the login
    const QString cancelada = "Copia de seguridad programada cancelada: se conserva la copia anterior";
    const QStringList etapas{"Examinando la base de datos", "Compactando la base de datos",
                             "Escribiendo la copia de seguridad", "Verificando la copia escrita",
                             "Instalando la copia"};
    for (const QString& en : etapas)
        QTest::addRow("antes de actualizar, %s", qPrintable(en))
            << true << "sana" << en << QStringList{"no se actualizó, porque se canceló la copia de seguridad"}
            << false;
    for (const QString& en : QStringList{etapas.first(), "Revisando la coherencia de los libros"} + etapas.mid(1))
        QTest::addRow("programada, %s", qPrintable(en)) << false << "sana" << en << QStringList{cancelada} << true;
    // The start read the header and catalogue alone: stopped before its examination, the backup leaves
    // the damaged page to be found by the next one, as a start whose backup is not due does.
    QTest::newRow("página dañada, detenida antes de examinarla")
        << false << "página dañada" << "Examinando la base de datos" << QStringList{cancelada} << true;
    // Examined, it is refused as the start refuses a damaged book, and nothing is copied.
    QTest::newRow("página dañada") << false << "página dañada" << QString()
                                   << QStringList{"está dañada|Recupérela desde la copia de seguridad"} << false;
    // A start whose backup is due leaves the count of indexes to it, yet says it even when stopped first.
    const QString indices = "ATENCION: Cantidad de índices crítica";
    QTest::newRow("un índice de más, detenida antes de examinarla")
        << false << "índice de más" << "Examinando la base de datos" << QStringList{cancelada, indices} << true;
    QTest::newRow("un índice de más") << false << "índice de más" << QString()
                                      << QStringList{indices, "no es la esperada"} << true;
    QTest::newRow("libros incoherentes")
        << false << "incoherente" << QString()
        << QStringList{"ATENCION: la base de datos tiene datos incoherentes", "No se puede compactar / hacer back up"}
        << true;
}

// A start-up backup stopped at any of its stages leaves the last backup as it was and its date where it
// was (so that it is due again); the user is told. The scheduled one lets the start go on to the login;
// the one before an upgrade ends the start with the book not upgraded. The scheduled one examines every
// page and the books' rules in its own stages: a book that fails is never copied over the last backup.
void PruebaArranque::respaldoInicialCancelado() {
    QFETCH(bool, actualiza);
    QFETCH(QString, libro);
    QFETCH(QString, en);
    QFETCH(QStringList, dice);
    QFETCH(bool, llegaAlAcceso);
    if (libro == "página dañada") SOLO_ARCHIVO("una página dañada del archivo");
    Entorno e(false);
    RegistroPantallasMantenimiento();
    const auto restauro = qScopeGuard([] { InstaloInterlocutorMantenimiento(); });
    // The progress the screens would show, stopped as the user would stop it at the stage en.
    Mantenimiento::Interlocutor i;
    i.informo = [](const QString& texto, Mantenimiento::Aviso) { Mensaje(texto, Icono::Informacion); };
    i.conProgreso = [en](const QString&, const std::function<bool(Progreso&)>& trabajo) {
        Progreso p;
        p.latido = [&] {
            if (p.Que() == en) p.Cancelo();
        };
        return trabajo(p);
    };
    Mantenimiento::FijoInterlocutor(i);
    const QString base = e.RutaBase();
    if (actualiza)
        CreoBaseVersion1(base);
    else
        QVERIFY(CreoBase(base));
    if (libro == "página dañada") EscriboBytes(base, QByteArray(4096, '\xab'), 9 * 4096);
    if (libro == "índice de más") Sql(base, {"CREATE INDEX idxDeMas ON AjustesInflacion (Ajuste)"});
    if (libro == "incoherente")
        Sql(base, {"INSERT INTO TablasAjusteInflacion (TablaAjusteInflacion, descTablaAjusteInflacion) "
                   "VALUES (1, 'IPC')",
                   "INSERT INTO AjustesInflacion (TablaAjusteInflacion, Fecha, Ajuste) VALUES (1, '2024-02-29', -3)"});
    const QString global = e.Ruta("Global Partidex.ini"), seccion = "Mantenimiento de Base de Datos";
    EscriboIni(global, seccion, "UltimoBackUp(dd/mm/yyyy)", "01/01/2020");
    // Before an upgrade the backup is taken whatever the schedule.
    if (actualiza) EscriboIni(global, seccion, "BackUPCada(dias)", "36500");
    const QString copia = e.Ruta("Partidex.BAK");
    {
        QFile f(copia);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("copia anterior");
    }
    const QStringList estructura = Estructura(base);
    const int version = Version(base);
    for (int n = 0; n < dice.size(); ++n)
        MensajePrueba::setNextAnswer(Respuesta::Ok);
    const auto acceso = CanceloAcceso();
    QVERIFY(!Arranque());
    QCOMPARE(*acceso, llegaAlAcceso);
    const QStringList dichos = MensajePrueba::Textos();
    QVERIFY2(dichos.size() == dice.size(), qPrintable(dichos.join('\n')));
    for (int n = 0; n < dice.size(); ++n)
        for (const QString& d : dice[n].split('|'))
            QVERIFY2(dichos[n].contains(d), qPrintable(dichos[n] + "\n  sin: " + d));
    QFile f(copia);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("copia anterior"));
    QVERIFY(!QFileInfo::exists(copia + ".1"));
    QVERIFY(QDir(e.Carpeta()).entryList({"*.nuevo-*"}, QDir::Files).isEmpty());
    // Stopped or refused before its compacted copy could be written back, it leaves no such copy
    // (the copy is made while the books' rules are read).
    const QStringList antes{"Examinando la base de datos", "Revisando la coherencia de los libros",
                            "Compactando la base de datos"};
    if (en.isEmpty() || antes.contains(en)) QVERIFY(!QFileInfo::exists(App().auxPath));
    QCOMPARE(LeoIni(global, seccion, "UltimoBackUp(dd/mm/yyyy)", ""), QString("01/01/2020"));
    QCOMPARE(Version(base), version);
    QCOMPARE(Estructura(base), estructura);
}

void PruebaArranque::primerArranque() {
    Entorno e(false);
    const QString ruta = e.RutaBase();
    QCOMPARE(ExaminoBase(ruta, Examen::Rapido).estado, EstadoBase::NoExiste);
    QStringList pasos;
    // The structure check runs once, on the new database, and the maintenance is told its result.
    FijoVerificoEstructura([&](const QString& r) {
        pasos << (r == ruta ? "estructura de la base" : "estructura de " + r);
        pasos << (QApplication::overrideCursor() ? "reloj" : "sin reloj");
        pasos << (BaseAbierta() ? "conectada" : "sin conexion");
        return 1;
    });
    FijoMantenimientoInicial([&](int estructura) {
        pasos << (ExaminoBase(ruta, Examen::Rapido).estado == EstadoBase::Partidex
                      ? "mantenimiento con base"
                      : "mantenimiento sin base");
        pasos << QString("resultado %1").arg(estructura);
        pasos << (QApplication::overrideCursor() ? "reloj" : "sin reloj");
        Diagnostico sana;
        sana.estado = EstadoBase::Partidex;
        return sana;
    });
    App().preselection = 5;
    ContestoAcceso("admin", "admin");
    QVERIFY(Arranque());
    QCOMPARE(pasos, (QStringList{"estructura de la base", "reloj", "sin conexion", "mantenimiento con base",
                                 "resultado 1", "reloj"}));
    QVERIFY(!QApplication::overrideCursor());
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
