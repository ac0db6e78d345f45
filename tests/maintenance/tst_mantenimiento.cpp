// Structure check, compaction, backup, restore, the start-up schedule and the maintenance screen,
// on real SQLite files in a temporary folder.
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Ini.h"
#include "core/Motor.h"
#include "core/Progreso.h"
#include "core/Sesiones.h"
#include "core/Soporte.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "core/ui/Ayuda.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/Contrasenas.h"
#include "core/ui/frmAcceso.h"
#include "journal/Asiento.h"
#include "journal/Escritura.h"
#include "maintenance/Mantenimiento.h"
#include "maintenance/ui/CopiaSeguridad.h"
#include "maintenance/ui/PantallasMantenimiento.h"
#include "maintenance/ui/frmBaseDatos.h"
#include "schema/Esquema.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QUuid>

#include <sys/stat.h>

using namespace Mantenimiento;

namespace {

// The initial administrator of the test books, as typed before a restore.
const Solicitante Administrador{{}, Esquema::UsuarioInicial, Esquema::ContrasenaInicial};

const QString Seccion = "Mantenimiento de Base de Datos";

// The start-up step as the program runs it: the paths read from the settings, then handed over.
void Inicial(const QDate& hoy, int estructura = -1) {
    LeoRutas();
    MantenimientoInicial(RutasDeAjustes(), hoy, estructura);
}
const QString ClaveUltimo = "UltimoBackUp(dd/mm/yyyy)";
const QString ClaveCada = "BackUPCada(dias)";

// A connection of the test's own on a file, removed at the end of the scope.
class Archivo {
public:
    explicit Archivo(const QString& ruta) : nombre("prueba-" + QUuid::createUuid().toString()) {
        QSqlDatabase db = MotorDeRuta(ruta).almacen.Agrego(nombre, ruta, false);
        if (db.open()) ConfiguroConexion(db);
    }
    ~Archivo() {
        Base().close();
        QSqlDatabase::removeDatabase(nombre);
    }
    QSqlDatabase Base() const { return QSqlDatabase::database(nombre, false); }

private:
    QString nombre;
};

// Every user table of a file, each row as text, rows sorted: two files with the same books compare equal.
QMap<QString, QStringList> Contenido(const QString& ruta) {
    QMap<QString, QStringList> r;
    Archivo a(ruta);
    const QStringList tablas = MotorActual().catalogo.Tablas(a.Base());
    for (const QString& t : tablas) {
        QSqlQuery q(a.Base());
        // The record a restore leaves of itself is no part of what it restored.
        q.exec("SELECT * FROM " + t +
               (t.compare("HistorialAsientos", Qt::CaseInsensitive) == 0 ? " WHERE Tipo<>6" : ""));
        QStringList filas;
        while (q.next()) {
            QStringList campos;
            for (int i = 0; i < q.record().count(); ++i)
                campos << (q.value(i).isNull() ? QString("<nulo>") : q.value(i).toString());
            filas << campos.join('|');
        }
        filas.sort();
        r.insert(t, filas);
    }
    return r;
}

// Rebuilds table Ejercicios without its relation to TablasAjusteInflacion, the way a damaged or
// hand-edited file would come: a new table, the rows copied, the old one dropped, the indexes remade.
// False when a step fails.
bool QuitoRelacion(const QString& ruta) {
    QString ddl;
    QStringList indices;
    for (const QString& s : Esquema::Definicion()) {
        if (s.startsWith("CREATE TABLE Ejercicios (")) ddl = s;
        if (s.startsWith("CREATE INDEX") && s.contains(" ON Ejercicios (")) indices << s;
    }
    const QString relacion = " REFERENCES TablasAjusteInflacion (TablaAjusteInflacion)";
    if (!ddl.contains(relacion) || indices.isEmpty()) return false;
    ddl.replace(relacion, "");
    ddl.replace("CREATE TABLE Ejercicios", "CREATE TABLE EjerciciosCopia");
    Archivo a(ruta);
    QSqlDatabase db = a.Base();
    if (PruebaEnPostgres())
        return QSqlQuery(db).exec(
            "ALTER TABLE Ejercicios DROP CONSTRAINT ejercicios_tablaajusteinflacion_fkey");
    if (!MotorActual().almacen.ClavesForaneas(db, false)) return false;
    QSqlQuery q(db);
    QStringList pasos = {"BEGIN", MotorDe(db).dialecto.Ddl(ddl),
                         "INSERT INTO EjerciciosCopia SELECT * FROM Ejercicios", "DROP TABLE Ejercicios",
                         "ALTER TABLE EjerciciosCopia RENAME TO Ejercicios"};
    pasos << indices << "COMMIT";
    for (const QString& s : pasos)
        if (!q.exec(s)) return false;
    return true;
}

// The statements that spoil the triggers of the monthly sums in one way (caso: "quito N" drops the N-th
// the engine makes, "cambio" makes one do something else, "desactivo" and "origen" leave one disabled
// or firing only in ordinary sessions, "ajeno" adds one on the sums), and in *nombrado how the check
// names the fault. Empty when the engine has no such case.
QStringList DanoDisparadores(const QSqlDatabase& db, const QString& caso, QString* nombrado) {
    const QList<DisparadorBase> propios = MotorDe(db).dialecto.DisparadoresSumas();
    const bool servidor = PruebaEnPostgres();
    const int n = caso.startsWith("quito ") ? caso.mid(6).toInt() : 0;
    if (n >= propios.size()) return {};
    const DisparadorBase& d = propios[n];
    const QString clase = "disparadores de las sumas mensuales que faltan o no son los del programa: ";
    if (caso.startsWith("quito ")) {
        *nombrado = clase + "1 (" + d.nombre + " falta)";
        return {"DROP TRIGGER " + d.nombre + (servidor ? " ON " + d.tabla : QString())};
    }
    if (caso == "cambio") {
        *nombrado = clase + "1 (" + d.nombre + QString::fromUtf8(" cambió)");
        return {servidor ? "DROP TRIGGER " + d.nombre + " ON " + d.tabla : "DROP TRIGGER " + d.nombre,
                servidor ? "CREATE TRIGGER " + d.nombre + " AFTER INSERT ON " + d.tabla +
                               " FOR EACH ROW EXECUTE FUNCTION partidex_sumas_asiento()"
                         : "CREATE TRIGGER " + d.nombre + " AFTER INSERT ON " + d.tabla + " BEGIN SELECT 1; END",
                servidor ? "ALTER TABLE " + d.tabla + " ENABLE ALWAYS TRIGGER " + d.nombre : "SELECT 1"};
    }
    if (caso == "ajeno") {
        *nombrado = clase + "1 (otro no es del programa (sobre SumasMensuales))";
        return {servidor ? "CREATE TRIGGER otro AFTER INSERT ON SumasMensuales FOR EACH ROW EXECUTE FUNCTION "
                           "partidex_sumas_linea()"
                         : "CREATE TRIGGER otro AFTER INSERT ON SumasMensuales BEGIN SELECT 1; END"};
    }
    if (!servidor) return {};
    *nombrado = clase + "1 (" + d.nombre + QString::fromUtf8(" está desactivado)");
    return {"ALTER TABLE " + d.tabla + (caso == "desactivo" ? " DISABLE TRIGGER " : " ENABLE TRIGGER ") + d.nombre};
}

// Records what the maintenance asks of the screens, answering questions with a fixed answer.
struct Registro {
    QStringList textos;
    QList<bool> avisos;
    int pantallas = 0;
    bool respuesta = true;
    void Instalo() {
        Interlocutor i;
        i.informo = [this](const QString& t, Aviso) { textos << t; };
        i.pregunto = [this](const QString& t) {
            textos << t;
            return respuesta;
        };
        i.aviso = [this](bool b) { avisos << b; };
        i.abroPantalla = [this] { ++pantallas; };
        FijoInterlocutor(i);
    }
};

} // namespace

class PruebaMantenimiento : public QObject {
    Q_OBJECT
private slots:
    void init() { InstaloInterlocutorMantenimiento(); }

    void estructuraDeBaseNueva() {
        Entorno e;
        CierroBase();
        const Estructura s = CuentoEstructura(e.RutaBase());
        QVERIFY(s.abierta);
        QCOMPARE(s.indices, Esquema::IndicesEsperados());
        QCOMPARE(s.relaciones, Esquema::RelacionesEsperadas());
        QCOMPARE(VerificoEstructura(e.RutaBase()), 0);
        QVERIFY(MensajePrueba::Textos().isEmpty());
        // The check works beside an open connection too (start-up runs it before opening, but the
        // screen may run it later).
        QVERIFY(AbroBase(e.RutaBase()));
        QCOMPARE(VerificoEstructura(e.RutaBase()), 0);
    }

    void relacionQuitadaBloqueaBackUp() {
        Entorno e;
        CierroBase();
        QVERIFY(QuitoRelacion(e.RutaBase()));
        const QByteArray antes = Huella(e.RutaBase());
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QCOMPARE(VerificoEstructura(e.RutaBase()), 1);
        const QString esperado = QString("ATENCION: Cantidad de relaciones crítica: %1, avisar URGENTE a %2")
                                     .arg(Esquema::RelacionesEsperadas() - 1)
                                     .arg(CorreoSoporte);
        QCOMPARE(MensajePrueba::Textos(), QStringList{esperado});
        QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Error);

        MensajePrueba::Limpio();
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QVERIFY(!HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 10)));
        QCOMPARE(MensajePrueba::Textos().size(), 2);
        QCOMPARE(MensajePrueba::Textos().first(), esperado);
        QVERIFY(MensajePrueba::Textos().last().startsWith(
            "No se puede compactar / hacer back up: la cantidad de índices o de relaciones"));
        QCOMPARE(MensajePrueba::Mostrados().last().icono, Icono::Informacion);
        // Told the result of a check just made, the start-up maintenance does not warn a second time.
        MensajePrueba::Limpio();
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        Inicial(QDate(2025, 3, 10), 1);
        QCOMPARE(MensajePrueba::Textos().size(), 1);
        QVERIFY(MensajePrueba::Textos().first().startsWith("No se puede compactar / hacer back up: "));
        QVERIFY(!QFileInfo::exists(App().backupPath));
        QVERIFY(!QFileInfo::exists(App().auxPath));
        QCOMPARE(Huella(e.RutaBase()), antes);
        QCOMPARE(LeoGlobal(Seccion, ClaveUltimo, "sin fecha"), QString("sin fecha"));
    }

    void indiceQuitado() {
        Entorno e;
        CierroBase();
        {
            Archivo a(e.RutaBase());
            QSqlQuery q(a.Base());
            QVERIFY(q.exec("DROP INDEX idxEjerciciosTabla"));
        }
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QCOMPARE(VerificoEstructura(e.RutaBase()), 1);
        QCOMPARE(MensajePrueba::Textos(),
                 QStringList{QString("ATENCION: Cantidad de índices crítica: %1, avisar URGENTE a %2")
                                 .arg(Esquema::IndicesEsperados() - 1)
                                 .arg(CorreoSoporte)});
    }

    void archivoQueNoSePuedeAbrir_data() {
        QTest::addColumn<QByteArray>("contenido");
        QTest::addColumn<bool>("crear");
        QTest::newRow("no existe") << QByteArray() << false;
        QTest::newRow("vacío") << QByteArray() << true;
        QTest::newRow("texto") << QByteArray("[Varios]\nAdmin=TRUE\n") << true;
    }
    void archivoQueNoSePuedeAbrir() {
        QFETCH(QByteArray, contenido);
        QFETCH(bool, crear);
        Entorno e(false);
        const QString ruta = e.Ruta("Otra.MDB");
        if (crear) QVERIFY(EscriboArchivo(ruta, contenido));
        QCOMPARE(VerificoEstructura(ruta), 2);
        QVERIFY(MensajePrueba::Textos().isEmpty());
        QCOMPARE(QFileInfo::exists(ruta), crear);
        if (crear) QCOMPARE(QFileInfo(ruta).size(), qint64(contenido.size()));
    }

    void baseInexistenteNoHaceBackUp() {
        Entorno e(false);
        SOLO_ARCHIVO("una base que falta es un archivo que falta; en un servidor, una base vacía");
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QVERIFY(!HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 10)));
        QCOMPARE(MensajePrueba::Textos().size(), 1);
        QVERIFY2(MensajePrueba::Textos().first().startsWith("No se puede compactar / hacer back up: ") &&
                     MensajePrueba::Textos().first().endsWith("el archivo no existe"),
                 qPrintable(MensajePrueba::Textos().first()));
        QVERIFY(!QFileInfo::exists(e.RutaBase()));
        QVERIFY(!QFileInfo::exists(App().backupPath));
    }

    void compactacionDeArchivoInexistente() {
        Entorno e(false);
        SOLO_ARCHIVO("una base que falta es un archivo que falta; en un servidor, una base vacía");
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QVERIFY(!Compacto(e.RutaBase(), App().auxPath));
        QCOMPARE(MensajePrueba::Textos().size(), 1);
        QVERIFY(MensajePrueba::Textos().first().startsWith(
            "No se pudo compactar base de datos, no existe el archivo"));
        QVERIFY(!QFileInfo::exists(e.RutaBase()));
        QVERIFY(!QFileInfo::exists(App().auxPath));
    }

    // The compacted copy goes back over the book when asked to, or (the scheduled backup) when the book
    // shrinks by a tenth or more; the three files hold the same books either way.
    void backUpDejaTresArchivosIguales_data() {
        QTest::addColumn<int>("quedan");
        QTest::addColumn<bool>("pedida");
        QTest::addColumn<bool>("reescrita");
        QTest::newRow("pedida, mucho espacio libre") << 10 << true << true;
        QTest::newRow("pedida, poco espacio libre") << 3900 << true << true;
        QTest::newRow("programada, mucho espacio libre") << 10 << false << true;
        QTest::newRow("programada, poco espacio libre") << 3900 << false << false;
    }
    void backUpDejaTresArchivosIguales() {
        QFETCH(int, quedan);
        QFETCH(bool, pedida);
        QFETCH(bool, reescrita);
        Entorno e;
        SOLO_ARCHIVO("compara los tamaños y los bytes de los archivos de SQLite");
        e.CreoEmpresaYEjercicio();
        e.CreoPlanChico();
        // Rows written and deleted leave free pages that the compaction gives back.
        {
            Transaccion t;
            for (int i = 0; i < 4000; ++i)
                QVERIFY(
                    Ejecuto(
                        "INSERT INTO ConceptosAsiento (ConceptoAsiento, descConceptoAsiento) VALUES (?, ?)",
                        {1000 + i, QString(200, QChar('a' + i % 26))})
                        .ok);
            QVERIFY(Ejecuto("DELETE FROM ConceptosAsiento WHERE ConceptoAsiento >= ?", {1000 + quedan}).ok);
            QVERIFY(t.Confirmo());
        }
        CierroBase();
        const qint64 antes = QFileInfo(e.RutaBase()).size();
        const auto contenido = Contenido(e.RutaBase());
        QVERIFY(EscriboArchivo(App().auxPath, "restos de una compactación anterior"));

        QVERIFY(HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 10), -1, nullptr, nullptr,
                           pedida ? Compactacion::Siempre : Compactacion::SiGana));
        QVERIFY2(MensajePrueba::Textos().isEmpty(), qPrintable(MensajePrueba::Textos().join('\n')));
        QCOMPARE(LeoGlobal(Seccion, ClaveUltimo, ""), QString("10/03/2025"));
        // Written back, the book is page for page the compacted copy.
        const qint64 ahora = QFileInfo(e.RutaBase()).size();
        QVERIFY2((ahora == QFileInfo(App().auxPath).size()) == reescrita,
                 qPrintable(QString("%1 de %2").arg(ahora).arg(antes)));
        QVERIFY((ahora < antes) == reescrita);
        if (quedan == 10) QVERIFY(ahora < antes / 4);
        QVERIFY(!QFileInfo::exists(e.RutaBase() + "-wal") || QFileInfo(e.RutaBase() + "-wal").size() == 0);
        QCOMPARE(Contenido(e.RutaBase()), contenido);
        QCOMPARE(Contenido(App().auxPath), contenido);
        QCOMPARE(Contenido(App().backupPath), contenido);
        QCOMPARE(contenido.value("ConceptosAsiento").size(), quedan);
        for (const QString& r : {e.RutaBase(), App().auxPath, App().backupPath})
            QCOMPARE(VerificoEstructura(r), 0);
        // The compacted database is still ours and opens as before.
        QString error;
        QVERIFY2(AbroBase(e.RutaBase(), &error), qPrintable(error));
        QCOMPARE(NumeroOCero(ValorCampo("Cuentas", "count(*)", "EmpresaPropia=?", {1})), 9.0);
    }

    // Each backup is checked before it takes the name; the one it replaces becomes the older
    // generation. A damaged database is never copied over them.
    void generacionesDeRespaldo() {
        Entorno e;
        SOLO_ARCHIVO("lee las copias como archivos de SQLite; en un servidor son volcados de pg_dump");
        e.CreoEmpresaYEjercicio();
        CierroBase();
        const QString bak = App().backupPath;
        QVERIFY(HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 8)));
        QVERIFY(!QFileInfo::exists(bak + ".1"));
        const auto primera = Contenido(bak);
        QVERIFY(AbroBase(e.RutaBase()));
        QVERIFY(
            Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (7, 'Otra')").ok);
        CierroBase();
        QVERIFY(HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 9)));
        QCOMPARE(Contenido(bak + ".1"), primera);
        QCOMPARE(Contenido(bak), Contenido(e.RutaBase()));
        QVERIFY(Contenido(bak) != primera);

        {
            QFile f(e.RutaBase());
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.seek(6 * 4096));
            f.write(QByteArray(4096, '\x5a'));
        }
        QMap<QString, QByteArray> antes;
        for (const QString& r : {e.RutaBase(), bak, bak + ".1", App().auxPath})
            antes.insert(r, Huella(r));
        MensajePrueba::Limpio();
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QVERIFY(!HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 10)));
        QCOMPARE(MensajePrueba::Textos().size(), 1);
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QVERIFY2(MensajePrueba::Textos().first().startsWith("No se puede compactar / hacer back up: ") &&
                     MensajePrueba::Textos().first().contains("está dañada"),
                 qPrintable(MensajePrueba::Textos().first()));
        QVERIFY(!Compacto(e.RutaBase(), App().auxPath));
        for (auto i = antes.cbegin(); i != antes.cend(); ++i)
            QVERIFY2(Huella(i.key()) == i.value(), qPrintable(i.key()));
        QCOMPARE(LeoGlobal(Seccion, ClaveUltimo, ""), QString("09/03/2025"));
        QCOMPARE(QDir(e.Carpeta()).entryList({"*.nuevo-*"}, QDir::Files), QStringList());
    }

    // A backup or a database creation killed part-way leaves its scratch copy; the next one removes
    // those untouched for an hour, and nothing else: not a fresh one (another workstation may be
    // writing it), not a file that only looks alike.
    void restosDeCopiasInterrumpidas_data() {
        QTest::addColumn<bool>("creacion");
        QTest::newRow("back up") << false;
        QTest::newRow("base nueva") << true;
    }
    void restosDeCopiasInterrumpidas() {
        QFETCH(bool, creacion);
        Entorno e;
        SOLO_ARCHIVO("las copias provisorias son archivos junto a la base o al respaldo");
        e.CreoEmpresaYEjercicio();
        CierroBase();
        const QString destino = creacion ? e.Ruta("Nueva.MDB") : App().backupPath;
        const QString prefijo = destino + (creacion ? ".nueva-" : ".nuevo-");
        const QDateTime hace2Horas = QDateTime::currentDateTime().addSecs(-7200);
        const QStringList viejos = {prefijo + "0123abcd", prefijo + "0123abcd-wal", prefijo + "0123abcd-shm"};
        const QStringList quedan = {prefijo + "89abcdef", prefijo + "notas.txt", prefijo + "0123abcd.bak"};
        for (const QString& r : viejos + quedan) {
            QFile f(r);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("resto");
            f.flush();
            if (r != quedan.first()) QVERIFY(f.setFileTime(hace2Horas, QFileDevice::FileModificationTime));
        }
        if (creacion) {
            QString error;
            QVERIFY2(CreoBase(destino, &error), qPrintable(error));
        } else {
            QVERIFY(HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 10)));
        }
        for (const QString& r : viejos)
            QVERIFY2(!QFileInfo::exists(r), qPrintable(r));
        for (const QString& r : quedan)
            QVERIFY2(QFileInfo::exists(r), qPrintable(r));
    }

    // Backup, copy and restore asked to stop at their n-th report of progress: no file is left behind
    // (not even the scratch copy), the backup and the books are as they were; left alone they finish.
    void canceladas_data() {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<int>("en"); // 0: never stopped
        for (int en : {1, 2, 3, 4, 5, 0})
            QTest::addRow("backup, aviso %d", en) << "backup" << en;
        for (int en : {1, 2, 3, 0})
            QTest::addRow("copia, aviso %d", en) << "copia" << en;
        for (int en : {1, 2, 3, 0})
            QTest::addRow("recupero, aviso %d", en) << "recupero" << en;
    }
    void canceladas() {
        QFETCH(QString, operacion);
        QFETCH(int, en);
        Entorno e;
        e.CreoEmpresaYEjercicio();
        e.CreoPlanChico();
        const QString copia = e.Ruta("Copia.BAK");
        const Rutas rutas = RutasDeAjustes();
        if (operacion == "recupero") {
            QString error;
            QVERIFY2(CopioEnArchivo(Contexto::DelSistema(), rutas, rutas.respaldo, QDate::currentDate(), &error),
                     qPrintable(error));
            QVERIFY(Ejecuto("UPDATE Cuentas SET Descripcion='CAJA CHICA' WHERE Cuenta=2").ok);
        }
        CierroBase();
        const auto base = Contenido(e.RutaBase());
        const QStringList archivos = QDir(e.Ruta(".")).entryList(QDir::Files);
        const QString ultimo = LeoGlobal(Seccion, ClaveUltimo, "");

        Progreso p;
        int avisos = 0;
        p.latido = [&] {
            if (++avisos == en) p.Cancelo();
        };
        MensajePrueba::Limpio();
        MensajePrueba::setNextAnswer(Respuesta::Si);
        QString error;
        bool ok;
        if (operacion == "backup")
            ok = HagoBackUp(rutas, QDate(2025, 3, 10), -1, &p);
        else if (operacion == "copia")
            ok = CopioEnArchivo(Contexto::DelSistema(), rutas, copia, QDate::currentDate(), &error, &p);
        else
            ok = RecuperoBackUp(rutas, Administrador, {}, &p);
        QCOMPARE(ok, en == 0);
        QStringList ahora = QDir(e.Ruta(".")).entryList(QDir::Files);
        // A compaction, once begun, goes to its end and leaves its scratch file.
        if (en > 2) ahora.removeAll(QFileInfo(rutas.auxiliar).fileName());
        if (en) {
            QCOMPARE(ahora, archivos);
            QCOMPARE(Contenido(e.RutaBase()), base);
            QCOMPARE(LeoGlobal(Seccion, ClaveUltimo, ""), ultimo);
            if (operacion == "copia") QCOMPARE(error, TextoCancelado);
            // Nothing is said of a stop the user asked for, beyond the restore's question.
            QCOMPARE(MensajePrueba::Textos().size(), operacion == "recupero" ? 1 : 0);
        } else if (operacion == "recupero") {
            QVERIFY(Contenido(e.RutaBase()) != base);
        } else {
            QVERIFY(QFileInfo::exists(operacion == "copia" ? copia : rutas.respaldo));
            // The last of its steps begun: the copy took its name.
            QCOMPARE(p.Que(), QString("Instalando la copia"));
            QCOMPARE(p.Tramo(), p.Tramos());
        }
    }

    // A backup of a large book tells how far it has gone: each stage the next of its series, the bar
    // never going back, and the stages that read the whole file (the engine's page checks and its
    // compacted copy) moving the bar within the stage while they run.
    void avanceDelRespaldo_data() {
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<QStringList>("etapas");
        QTest::addColumn<QStringList>("estimadas"); // the stages that say how far they are within
        QTest::newRow("programada")
            << "programada"
            << QStringList{"Examinando la base de datos", "Revisando la coherencia de los libros",
                           "Compactando la base de datos", "Escribiendo la copia de seguridad",
                           "Verificando la copia escrita", "Instalando la copia"}
            << QStringList{"Examinando la base de datos", "Revisando la coherencia de los libros",
                           "Compactando la base de datos", "Verificando la copia escrita"};
        QTest::newRow("a un archivo")
            << "copia"
            << QStringList{"Escribiendo la copia de seguridad", "Verificando la copia escrita", "Instalando la copia"}
            << QStringList{"Escribiendo la copia de seguridad", "Verificando la copia escrita"};
        const QStringList recupero{"Examinando la copia de seguridad", "Revisando la coherencia de la copia",
                                   "Reemplazando la base de datos"};
        QTest::newRow("recuperación") << "recupero" << recupero << recupero;
    }
    void avanceDelRespaldo() {
        QFETCH(QString, operacion);
        QFETCH(QStringList, etapas);
        QFETCH(QStringList, estimadas);
        Entorno e;
        SOLO_ARCHIVO("el motor de archivo dice cuánto lleva de cada página");
        e.CreoEmpresaYEjercicio();
        {
            // Some thousand pages, enough for the engine to report several times in each pass.
            Transaccion t;
            for (int i = 0; i < 20000; ++i)
                QVERIFY(Ejecuto("INSERT INTO ConceptosAsiento (ConceptoAsiento, descConceptoAsiento) VALUES (?, ?)",
                                {1000 + i, QString(200, QChar('a' + i % 26))})
                            .ok);
            QVERIFY(t.Confirmo());
        }
        const Rutas rutas = RutasDeAjustes();
        QString error;
        if (operacion == "recupero") {
            QVERIFY2(CopioEnArchivo(Contexto::DelSistema(), rutas, rutas.respaldo, QDate::currentDate(), &error),
                     qPrintable(error));
            MensajePrueba::setNextAnswer(Respuesta::Si);
        }
        CierroBase();
        Progreso p;
        QStringList vistas;
        QSet<QString> conParte;
        double ultimo = 0;
        bool retrocede = false;
        // A stage whose steps are counted ends with every step counted.
        QString inconclusa;
        qint64 hecho = 0, pasos = 0;
        bool contada = false;
        p.latido = [&] {
            const QString etapa = QString("%1 (%2 de %3)").arg(p.Que()).arg(p.Tramo()).arg(p.Tramos());
            if (vistas.isEmpty() || vistas.last() != etapa) {
                if (contada && hecho != pasos) inconclusa = vistas.last();
                vistas << etapa;
            }
            hecho = p.Hecho();
            pasos = p.Pasos();
            contada = pasos > 0 && !p.EnPorcentaje();
            const double total = p.Total();
            if (total < ultimo || total > 1) retrocede = true;
            ultimo = total;
            if (p.Hecho() > 0 && p.Hecho() < p.Pasos()) conParte << p.Que();
        };
        const bool ok = operacion == "programada" ? HagoBackUp(rutas, QDate(2025, 3, 10), -1, &p)
                        : operacion == "copia"    ? CopioEnArchivo(Contexto::DelSistema(), rutas, e.Ruta("Copia.BAK"),
                                                                   QDate::currentDate(), &error, &p)
                                                  : RecuperoBackUp(rutas, Administrador, {}, &p);
        QVERIFY2(ok, qPrintable(error + MensajePrueba::Textos().join('\n')));
        QStringList esperadas;
        for (int i = 0; i < etapas.size(); ++i)
            esperadas << QString("%1 (%2 de %3)").arg(etapas[i]).arg(i + 1).arg(etapas.size());
        QCOMPARE(vistas, esperadas);
        QCOMPARE(inconclusa, QString());
        QVERIFY(!retrocede);
        QVERIFY(ultimo >= double(etapas.size() - 1) / etapas.size());
        for (const QString& etapa : estimadas)
            QVERIFY2(conParte.contains(etapa), qPrintable(etapa));
    }

    void backUpYRecuperacion() {
        Entorno e;
        e.CreoEmpresaYEjercicio();
        e.CreoPlanChico();
        CierroBase();
        QVERIFY(HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 10)));
        const auto respaldado = Contenido(e.RutaBase());

        QVERIFY(AbroBase(e.RutaBase()));
        QVERIFY(Ejecuto("UPDATE Cuentas SET Descripcion='CAJA CHICA' WHERE Cuenta=2").ok);
        QVERIFY(
            Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (7, 'Otra')").ok);
        QVERIFY(Ejecuto("DELETE FROM CuentasConceptos").ok);
        CierroBase();
        QVERIFY(Contenido(e.RutaBase()) != respaldado);

        MensajePrueba::Limpio();
        MensajePrueba::setNextAnswer(Respuesta::Si);
        QVERIFY(RecuperoBackUp(RutasDeAjustes(), Administrador));
        const QString pregunta = "La recuperación de la Base implica sobreescribir la base actual " +
                                 e.RutaBase() + " con " + App().backupPath + ". Está Ud. seguro de continuar";
        QCOMPARE(MensajePrueba::Textos(), QStringList{pregunta});
        QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Pregunta);
        QCOMPARE(MensajePrueba::Mostrados().first().botones, Botones::SiNo);
        QCOMPARE(Contenido(e.RutaBase()), respaldado);
        QCOMPARE(VerificoEstructura(e.RutaBase()), 0);
        QVERIFY(AbroBase(e.RutaBase()));
        QCOMPARE(NuloAVacio(ValorCampo("Cuentas", "Descripcion", "Cuenta=?", {2})), QString("CAJA"));
        // The restored file keeps working as a database: a write goes through.
        QVERIFY(
            Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (8, 'Nueva')").ok);
    }

    void recuperacionSobreBaseDanadaOPerdida_data() {
        QTest::addColumn<QString>("estado");
        QTest::newRow("perdida") << "perdida";
        QTest::newRow("basura") << "basura";
        QTest::newRow("cabecera sqlite dañada") << "dañada";
    }
    void recuperacionSobreBaseDanadaOPerdida() {
        QFETCH(QString, estado);
        Entorno e;
        SOLO_ARCHIVO("daña o borra el archivo de la base");
        e.CreoEmpresaYEjercicio();
        e.CreoPlanChico();
        CierroBase();
        QVERIFY(HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 10)));
        const auto respaldado = Contenido(App().backupPath);
        if (estado == "perdida") QVERIFY(QFile::remove(e.RutaBase()));
        if (estado == "basura") QVERIFY(EscriboArchivo(e.RutaBase(), QByteArray(70000, 'x')));
        if (estado == "dañada") {
            QFile f(e.RutaBase());
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(16);
            f.write(QByteArray(84, '\xff'));
        }
        MensajePrueba::setNextAnswer(Respuesta::Si);
        QVERIFY2(RecuperoBackUp(RutasDeAjustes(), Administrador), qPrintable(MensajePrueba::Textos().join('\n')));
        QCOMPARE(Contenido(e.RutaBase()), respaldado);
        QCOMPARE(VerificoEstructura(e.RutaBase()), 0);
        QString error;
        QVERIFY2(AbroBase(e.RutaBase(), &error), qPrintable(error));
        QVERIFY(
            Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (8, 'Nueva')").ok);
    }

    void recuperacionRespondidaNo() {
        Entorno e;
        CierroBase();
        QVERIFY(HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 10)));
        QVERIFY(AbroBase(e.RutaBase()));
        QVERIFY(
            Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (7, 'Otra')").ok);
        CierroBase();
        const auto actual = Contenido(e.RutaBase());
        MensajePrueba::setNextAnswer(Respuesta::No);
        QVERIFY(!RecuperoBackUp(RutasDeAjustes(), Administrador));
        QCOMPARE(Contenido(e.RutaBase()), actual);
    }

    void recuperacionDeArchivoAjeno_data() {
        QTest::addColumn<QString>("clase");
        QTest::newRow("no existe") << "no existe";
        QTest::newRow("texto") << "texto";
        QTest::newRow("otra base sqlite") << "sqlite";
    }
    void recuperacionDeArchivoAjeno() {
        QFETCH(QString, clase);
        Entorno e;
        CierroBase();
        if (clase == "texto") QVERIFY(EscriboArchivo(App().backupPath, "no es una base"));
        if (clase == "sqlite") {
            Archivo a(App().backupPath);
            QSqlQuery q(a.Base());
            QVERIFY(q.exec("CREATE TABLE Clientes (Id INTEGER PRIMARY KEY, Nombre TEXT)"));
        }
        const QByteArray antes = Huella(e.RutaBase());
        MensajePrueba::setNextAnswer(Respuesta::Si);
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QVERIFY(!RecuperoBackUp(RutasDeAjustes(), Administrador));
        QCOMPARE(MensajePrueba::Textos().size(), 2);
        QVERIFY2(MensajePrueba::Textos().last().startsWith(
                     "No se pudo hacer la recuperación de la base de datos, "),
                 qPrintable(MensajePrueba::Textos().last()));
        QCOMPARE(Huella(e.RutaBase()), antes);
    }

    // A backup that breaks one rule of the books each: the restore refuses it naming the fault, the
    // live books stay as they were, and the structure check says the same of a live book with it.
    void recuperacionDeCopiaIncoherente_data() {
        QTest::addColumn<QString>("defecto");
        QTest::addColumn<QString>("nombrado");
        QTest::newRow("asiento que no balancea")
            << "UPDATE DetAsientos SET Importe = Importe + 0.01 WHERE Asiento = 1 AND Detalle = 1"
            << "asientos que no balancean: 1 (empresa 1, ejercicio 1, asiento 1, diferencia 0,01)";
        QTest::newRow("línea sin asiento")
            << "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
               "VALUES (1, 1, 99, 1, 2, 0)"
            << "líneas sin su asiento: 1 (empresa 1, ejercicio 1, asiento 99, línea 1)";
        QTest::newRow("línea sobre cuenta inexistente")
            << "UPDATE DetAsientos SET Cuenta = 999 WHERE Asiento = 1 AND Detalle = 2"
            << "líneas sobre cuentas que no existen: 1 (empresa 1, ejercicio 1, asiento 1, línea 2, cuenta "
               "999)";
        // The file engine holds any amount: sums beyond 64 bits cannot be checked, and say so.
        if (!PruebaEnPostgres())
            QTest::newRow("importes que ninguna suma abarca")
                << "UPDATE DetAsientos SET Importe = 1e17 WHERE Asiento = 1"
                << "no se pudo revisar: asientos que no balancean: 1 (los importes exceden lo que se puede sumar)";
        QTest::newRow("índice negativo")
            << "UPDATE AjustesInflacion SET Ajuste = -3 WHERE Fecha = '2024-02-29'"
            << "valores de índice que no son positivos: 1 (tabla 1, 29/02/2024: -3";
        QTest::newRow("ejercicio sin empresa")
            << "INSERT INTO Ejercicios (EmpresaPropia, NumEjercicio) VALUES (77, 1)"
            << "filas de Ejercicios sin su fila de EmpresasPropia: 1 (EmpresaPropia 77)";
        QTest::newRow("versión desconocida") << "versión"
                                             << "versión";
        // The monthly sums kept right by triggers no longer there would be wrong after the next entry.
        for (const char* caso : {"quito 0", "quito 1", "quito 2", "quito 3", "quito 4", "quito 5", "cambio",
                                 "ajeno", "desactivo", "origen"})
            QTest::addRow("disparador: %s", caso) << QString("disparador ") + caso << QString();
    }
    void recuperacionDeCopiaIncoherente() {
        QFETCH(QString, defecto);
        QFETCH(QString, nombrado);
        Entorno e;
        e.CreoEmpresaYEjercicio();
        e.CreoPlanChico();
        QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Concepto) VALUES "
                        "(1, 1, 1, '2024-03-01', 'Venta')")
                    .ok);
        QVERIFY(
            Ejecuto(
                "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                "VALUES (1, 1, 1, 1, 2, 1500.25), (1, 1, 1, 2, 7, -1500.25)")
                .ok);
        QVERIFY(Ejecuto("INSERT INTO TablasAjusteInflacion (TablaAjusteInflacion, descTablaAjusteInflacion) "
                        "VALUES (1, 'IPC')")
                    .ok);
        QVERIFY(Ejecuto("INSERT INTO AjustesInflacion (TablaAjusteInflacion, Fecha, Ajuste) VALUES "
                        "(1, '2024-01-31', 1.5), (1, '2024-02-29', 1.7)")
                    .ok);
        CierroBase();
        MensajePrueba::Limpio();
        QVERIFY(HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 10)));
        QCOMPARE(VerificoEstructura(e.RutaBase()), 0);
        const QString sana = App().backupPath + ".sana";
        QVERIFY(QFile::copy(App().backupPath, sana));

        // The fault made in the live books, checked there, and written out as the backup.
        {
            Archivo a(e.RutaBase());
            QSqlDatabase db = a.Base();
            QVERIFY(MotorActual().almacen.ClavesForaneas(db, false));
            QSqlQuery q(db);
            if (defecto == "versión") {
                QVERIFY(MotorDe(db).catalogo.FijoVersionEsquema(db, Esquema::Version + 7));
            } else if (defecto.startsWith("disparador ")) {
                const QStringList pasos = DanoDisparadores(db, defecto.mid(11), &nombrado);
                if (pasos.isEmpty()) QSKIP("este motor no tiene ese caso");
                for (const QString& paso : pasos)
                    QVERIFY2(q.exec(paso), qPrintable(paso + ": " + q.lastError().text()));
            } else
                QVERIFY2(q.exec(defecto), qPrintable(q.lastError().text()));
        }
        if (defecto != "versión") {
            MensajePrueba::Limpio();
            MensajePrueba::setNextAnswer(Respuesta::Ok);
            QCOMPARE(VerificoEstructura(e.RutaBase()), 1);
            QVERIFY2(MensajePrueba::Textos().value(0).contains(nombrado),
                     qPrintable(MensajePrueba::Textos().join('\n')));
        }
        QString error;
        if (PruebaEnPostgres()) {
            QVERIFY2(MotorActual().almacen.RespaldoEn(e.RutaBase(), App().backupPath + ".mala", &error),
                     qPrintable(error));
            QVERIFY(QFile::remove(App().backupPath));
            QVERIFY(QFile::rename(App().backupPath + ".mala", App().backupPath));
            QVERIFY2(MotorActual().almacen.RestauroDe(sana, e.RutaBase(), &error), qPrintable(error));
        } else {
            QVERIFY(QFile::remove(App().backupPath));
            QVERIFY(QFile::rename(e.RutaBase(), App().backupPath));
            QVERIFY(QFile::copy(sana, e.RutaBase()));
        }
        QCOMPARE(VerificoEstructura(e.RutaBase()), 0);
        const auto antes = Contenido(e.RutaBase());

        MensajePrueba::Limpio();
        MensajePrueba::setNextAnswer(Respuesta::Si);
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QVERIFY(!RecuperoBackUp(RutasDeAjustes(), Administrador));
        const QString refusal = MensajePrueba::Textos().last();
        QVERIFY2(refusal.startsWith("No se pudo hacer la recuperación de la base de datos, "),
                 qPrintable(refusal));
        QVERIFY2(refusal.contains(nombrado), qPrintable(refusal));
        QCOMPARE(Contenido(e.RutaBase()), antes);
    }

    // A workstation whose connection to the server dropped while the books were restored: on coming
    // back it is told so, and nothing it sends reaches the restored books.
    void sesionPerdidaDuranteLaRecuperacion() {
        Entorno e;
        if (!PruebaEnPostgres()) QSKIP("en un archivo, una instancia abierta impide la recuperación");
        e.CreoEmpresaYEjercicio();
        CierroBase();
        QVERIFY(HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 10)));
        QVERIFY(AbroBase(e.RutaBase()));
        QSqlQuery q = Consulto("SELECT pg_backend_pid()");
        QVERIFY(q.next());
        const int pid = q.value(0).toInt();
        q.finish();
        {
            Archivo otro(e.RutaBase());
            QSqlQuery t(otro.Base());
            QVERIFY(t.exec(QString("SELECT pg_terminate_backend(%1)").arg(pid)));
        }
        for (int i = 0; i < 100 && BaseEnUso(e.RutaBase()); ++i)
            QTest::qWait(20);
        MensajePrueba::Limpio();
        MensajePrueba::setNextAnswer(Respuesta::Si);
        QVERIFY2(RecuperoBackUp(RutasDeAjustes(), Administrador), qPrintable(MensajePrueba::Textos().join('\n')));
        const Resultado r =
            Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (7, 'Perdida')");
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains("fue recuperada de la copia de seguridad"), qPrintable(r.error));
        // Opened anew, the restored books work, without the row.
        QVERIFY(AbroBase(e.RutaBase()));
        QVERIFY(!ValorCampo("EmpresasPropia", "descEmpresaPropia", "EmpresaPropia=?", {7}).has_value());
        QVERIFY(
            Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (7, 'Nueva')").ok);
    }

    void rechazoConBaseEnUso_data() {
        QTest::addColumn<QString>("operacion");
        QTest::newRow("compactación") << "compacto";
        QTest::newRow("back up") << "backup";
        QTest::newRow("recuperación") << "recupero";
    }
    void rechazoConBaseEnUso() {
        QFETCH(QString, operacion);
        Entorno e;
        e.CreoEmpresaYEjercicio();
        CierroBase();
        QVERIFY(HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 9)));
        // Another instance opens the books and changes them after the backup.
        QVERIFY(AbroBase(e.RutaBase()));
        QVERIFY(
            Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (7, 'Otra')").ok);
        QVERIFY(BaseEnUso(e.RutaBase()));
        const QByteArray antes = Huella(e.RutaBase());
        const QByteArray respaldo = Huella(App().backupPath);
        MensajePrueba::Limpio();
        if (operacion == "recupero") MensajePrueba::setNextAnswer(Respuesta::Si);
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        bool ok = true;
        if (operacion == "compacto") ok = Compacto(e.RutaBase(), App().auxPath);
        if (operacion == "backup") ok = HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 10));
        if (operacion == "recupero") ok = RecuperoBackUp(RutasDeAjustes(), Administrador);
        QVERIFY(!ok);
        const QString ultimo = MensajePrueba::Textos().last();
        QVERIFY2(ultimo.contains("abierta por otro usuario"), qPrintable(ultimo));
        if (operacion != "recupero") QVERIFY(ultimo.startsWith("No se pudo compactar base de datos, "));
        QCOMPARE(Huella(e.RutaBase()), antes);
        QCOMPARE(Huella(App().backupPath), respaldo);
        QCOMPARE(LeoGlobal(Seccion, ClaveUltimo, ""), QString("09/03/2025"));
        // The change made by the other instance is still there.
        QCOMPARE(NuloAVacio(ValorCampo("EmpresasPropia", "descEmpresaPropia", "EmpresaPropia=?", {7})),
                 QString("Otra"));
    }

    void agenda_data() {
        QTest::addColumn<QString>("ultimo");
        QTest::addColumn<QString>("cada");
        QTest::addColumn<bool>("corre");
        const QDate hoy(2025, 3, 10);
        auto hace = [&](int dias) { return hoy.addDays(-dias).toString("dd/MM/yyyy"); };
        QTest::newRow("hace 8 días, cada 7") << hace(8) << "7" << true;
        QTest::newRow("hace 7 días, cada 7") << hace(7) << "7" << true;
        QTest::newRow("hace 6 días, cada 7") << hace(6) << "7" << false;
        QTest::newRow("no es una fecha") << "ayer"
                                         << "1" << true;
        QTest::newRow("fecha imposible") << "31/02/2025"
                                         << "1" << true;
        QTest::newRow("sin fecha, cada 2") << ""
                                           << "2" << true;
        QTest::newRow("sin fecha, cada 3") << ""
                                           << "3" << false;
        QTest::newRow("hoy, cada 0") << hace(0) << "0" << true;
        QTest::newRow("hoy, cada 1") << hace(0) << "1" << false;
        QTest::newRow("ayer, cada 1") << hace(1) << "1" << true;
        QTest::newRow("ayer, cada 1.4") << hace(1) << "1.4" << true;
        QTest::newRow("ayer, cada 1.6") << hace(1) << "1.6" << false;
    }
    void agenda() {
        QFETCH(QString, ultimo);
        QFETCH(QString, cada);
        QFETCH(bool, corre);
        const QDate hoy(2025, 3, 10);
        Entorno e;
        CierroBase();
        EscriboGlobal(Seccion, ClaveUltimo, ultimo);
        EscriboGlobal(Seccion, ClaveCada, cada);
        QCOMPARE(BackUpPendiente(hoy), corre);
        Registro r;
        r.Instalo();
        Inicial(hoy);
        QCOMPARE(QFileInfo::exists(App().backupPath), corre);
        QCOMPARE(LeoGlobal(Seccion, ClaveUltimo, "?"), corre ? QString("10/03/2025") : ultimo);
        QCOMPARE(r.avisos, corre ? (QList<bool>{true, false}) : QList<bool>());
        QVERIFY2(r.textos.isEmpty(), qPrintable(r.textos.join('\n')));
    }

    void agendaSinArchivoGlobal() {
        // No global settings at all: interval 1, last backup two days ago, so the first start backs up.
        Entorno e;
        CierroBase();
        QVERIFY(!QFileInfo::exists(App().globalIniPath));
        QVERIFY(BackUpPendiente(QDate(2025, 3, 10)));
    }

    void cadaCeroCorreSiempre() {
        Entorno e;
        CierroBase();
        EscriboGlobal(Seccion, ClaveCada, "0");
        Registro r;
        r.Instalo();
        for (int i = 0; i < 3; ++i)
            Inicial(QDate(2025, 3, 10));
        QCOMPARE(r.avisos.size(), 6);
        // With the default interval the second start of the day does not back up again.
        EscriboGlobal(Seccion, ClaveCada, "1");
        r.avisos.clear();
        Inicial(QDate(2025, 3, 10));
        QVERIFY(r.avisos.isEmpty());
    }

    void avisoDuranteElBackUp() {
        Entorno e;
        CierroBase();
        // The notice lets events through before the backup starts: a timer sees it on screen then.
        QString visto;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "frmInformaMantenimientoAutomatico" && w->isVisible())
                    visto = w->windowTitle() + "|" + w->findChild<QLabel*>("lblAviso")->text();
        });
        Inicial(QDate(2025, 3, 10));
        QCOMPARE(visto, QString("Partidex|Mantenimiento automático de base de datos, aguarde..."));
        QVERIFY(QFileInfo::exists(App().backupPath));
        QApplication::processEvents();
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(w->objectName() != "frmInformaMantenimientoAutomatico" || !w->isVisible());
    }

    void rutasDesdeConfiguracion() {
        Entorno e(false);
        EscriboLocal(Seccion, "Base Back Up", "respaldos\\Libros.BAK");
        EscriboLocal(Seccion, "Base Aux", "/tmp/partidex-prueba.AUX");
        LeoRutas();
        QCOMPARE(App().backupPath, e.Ruta("respaldos/Libros.BAK"));
        QCOMPARE(App().auxPath, QString("/tmp/partidex-prueba.AUX"));
        Entorno otro(false);
        LeoRutas();
        QCOMPARE(App().backupPath, otro.Ruta("Partidex.BAK"));
        QCOMPARE(App().auxPath, otro.Ruta("Partidex.AUX"));
    }

    void ofertaAdministrador_data() {
        QTest::addColumn<QString>("admin");
        QTest::addColumn<bool>("pregunta");
        QTest::newRow("TRUE") << "TRUE" << true;
        QTest::newRow("true") << "true" << true;
        QTest::newRow("True") << "True" << true;
        QTest::newRow("Si") << "Si" << false;
        QTest::newRow("False") << "False" << false;
        QTest::newRow("vacío") << "" << false;
        QTest::newRow("TRUEX") << "TRUEX" << false;
    }
    void ofertaAdministrador() {
        QFETCH(QString, admin);
        QFETCH(bool, pregunta);
        Entorno e;
        CierroBase();
        EscriboGlobal(Seccion, ClaveUltimo, "10/03/2025");
        EscriboLocal("Varios", "Admin", admin);
        for (bool si : {true, false}) {
            Registro r;
            r.respuesta = si;
            r.Instalo();
            Inicial(QDate(2025, 3, 10));
            QCOMPARE(r.textos, pregunta ? QStringList{"Ingresa a Módulo de Base de Datos"} : QStringList{});
            QCOMPARE(r.pantallas, pregunta && si ? 1 : 0);
        }
    }

    void ofertaAbrePantalla() {
        // Through the screens: Yes opens frmBaseDatos modally, and start-up goes on when it closes.
        Entorno e;
        CierroBase();
        EscriboGlobal(Seccion, ClaveUltimo, "10/03/2025");
        EscriboLocal("Varios", "Admin", "TRUE");
        Pantallas::Registro("frmBaseDatos", Pantallas::Forma::Modal,
                            [](QWidget* p) -> QWidget* { return new frmBaseDatos(p); });
        QString abierta;
        bool punteroNormal = false;
        AlAbrirModal([&](QWidget* w) {
            abierta = w->windowTitle();
            punteroNormal = QApplication::overrideCursor() == nullptr;
            w->findChild<QPushButton*>("btnInicio")->click();
        });
        MensajePrueba::setNextAnswer(Respuesta::Si);
        // Start-up runs the maintenance under the busy pointer; the screen is used with the normal one.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        Inicial(QDate(2025, 3, 10));
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QApplication::restoreOverrideCursor();
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(punteroNormal);
        QCOMPARE(abierta, QString("Base de Datos"));
        QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Pregunta);
        QCOMPARE(MensajePrueba::Mostrados().first().botones, Botones::SiNo);
        Pantallas::Olvido();
    }

    void pantallaBaseDatos() {
        Entorno e;
        e.CreoEmpresaYEjercicio();
        CierroBase();
        frmBaseDatos f;
        QCOMPARE(f.windowTitle(), QString("Base de Datos"));
        QVERIFY(f.isModal());
        const QStringList nombres = {"btnBackUp", "btnRecuperar", "btnInicio"};
        const QStringList textos = {"Compactar / Back Up", "Recuperar de Back Up", "Inicio"};
        for (int i = 0; i < 3; ++i) {
            auto* b = f.findChild<QPushButton*>(nombres[i]);
            QVERIFY(b);
            QCOMPARE(b->text(), textos[i]);
            QCOMPARE(b->accessibleName(), textos[i]);
        }
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));

        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QTest::mouseClick(f.btnBackUp, Qt::LeftButton);
        QCOMPARE(MensajePrueba::Textos(), QStringList{"BackUp exitoso"});
        QCOMPARE(MensajePrueba::Mostrados().last().icono, Icono::Informacion);
        QVERIFY(QFileInfo::exists(App().backupPath));
        QCOMPARE(LeoGlobal(Seccion, ClaveUltimo, ""), FechaATexto(QDate::currentDate()));
        // A server's backup is the server's own dump: what the books held when it was taken.
        const auto respaldado = Contenido(PruebaEnPostgres() ? e.RutaBase() : App().backupPath);

        QVERIFY(AbroBase(e.RutaBase()));
        QVERIFY(Ejecuto("UPDATE Ejercicios SET FinEjercicio='2030-12-31'").ok);
        // Nobody has logged in: the restore asks for an active administrator of the books it replaces,
        // and refuses a wrong password, an operator, and a user of a foreign book alike.
        QVERIFY(AbroBase(e.RutaBase()));
        QVERIFY(Ejecuto("INSERT INTO Usuarios (Usuario, NombreCorto, descUsuario, Perfil, Contrasena, Activo) "
                        "VALUES (5, 'OPER', 'Operador', 2, ?, -1)",
                        {HashContrasena("oper")})
                    .ok);
        CierroBase();
        const auto identifico = [](const QString& usuario, const QString& clave) {
            AlAbrirModal([=](QWidget* w) {
                auto* acceso = qobject_cast<frmAcceso*>(w);
                QVERIFY(acceso);
                acceso->inpUsuario->setText(usuario);
                acceso->inpContrasena->setText(clave);
                acceso->btnOk->click();
            });
        };
        const auto sinRespaldo = Contenido(e.RutaBase());
        for (const auto& [usuario, clave] : {std::pair{"ADMIN", "mala"}, std::pair{"OPER", "oper"}}) {
            MensajePrueba::Limpio();
            identifico(usuario, clave);
            MensajePrueba::setNextAnswer(Respuesta::Ok);
            QTest::mouseClick(f.btnRecuperar, Qt::LeftButton);
            QCOMPARE(MensajePrueba::Textos().size(), 1);
            QVERIFY2(MensajePrueba::Textos().first().contains("administrador activo"),
                     qPrintable(MensajePrueba::Textos().first()));
            QCOMPARE(Contenido(e.RutaBase()), sinRespaldo);
        }
        MensajePrueba::Limpio();
        identifico("admin", "admin");
        MensajePrueba::setNextAnswer(Respuesta::Si);
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QTest::mouseClick(f.btnRecuperar, Qt::LeftButton);
        QCOMPARE(MensajePrueba::Textos().size(), 2);
        QCOMPARE(MensajePrueba::Textos().last(), QString("Recuperación Exitosa"));
        QCOMPARE(Contenido(e.RutaBase()), respaldado);

        // The restored books record who put them there.
        QVERIFY(AbroBase(e.RutaBase()));
        QCOMPARE(Cuento("HistorialAsientos", "Tipo=? AND Usuario=1", {int(TipoCambio::Recuperacion)}), 1);
        CierroBase();

        // Answering No shows no success message.
        MensajePrueba::Limpio();
        identifico("ADMIN", "ADMIN");
        MensajePrueba::setNextAnswer(Respuesta::No);
        QTest::mouseClick(f.btnRecuperar, Qt::LeftButton);
        QCOMPARE(MensajePrueba::Textos().size(), 1);

        // A failed backup shows its failure, not the success message.
        QVERIFY(AbroBase(e.RutaBase()));
        MensajePrueba::Limpio();
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QTest::mouseClick(f.btnBackUp, Qt::LeftButton);
        QCOMPARE(MensajePrueba::Textos().size(), 1);
        QVERIFY(MensajePrueba::Textos().first().startsWith("No se pudo compactar base de datos, "));
        CierroBase();

        QTest::mouseClick(f.btnInicio, Qt::LeftButton);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Accepted));
    }

    // "Copia de seguridad…" of the menu: a checked copy of the open books in the file chosen, named in
    // the result; refused to a profile without the maintenance module and over the books themselves.
    void copiaDesdeMenu_data() {
        QTest::addColumn<int>("perfil");
        QTest::addColumn<QString>("archivo"); // under the test's folder; "=base" the books themselves
        QTest::addColumn<QString>("mensaje"); // how the result begins
        QTest::newRow("administrador") << 1 << "otra/Copia.BAK" << "Copia de seguridad escrita en ";
        QTest::newRow("junto a la base") << 1 << "Copia.BAK" << "Copia de seguridad escrita en ";
        QTest::newRow("respaldo configurado") << 1 << "=respaldo" << "Copia de seguridad escrita en ";
        QTest::newRow("operador") << 2 << "otra/Copia.BAK"
                                  << "Su perfil no tiene permiso para hacer copias de seguridad";
        QTest::newRow("sobre la base") << 1 << "=base"
                                       << "No se pudo escribir la copia de seguridad, la copia no puede "
                                          "escribirse sobre la base de datos ";
    }
    void copiaDesdeMenu() {
        QFETCH(int, perfil);
        QFETCH(QString, archivo);
        QFETCH(QString, mensaje);
        Entorno e;
        e.CreoEmpresaYEjercicio();
        QVERIFY(QDir(e.Carpeta()).mkpath("otra"));
        QVERIFY(Ejecuto("UPDATE Usuarios SET Perfil=? WHERE Usuario=1", {perfil}).ok);
        const QString ruta = archivo == "=base" ? e.RutaBase() : archivo == "=respaldo" ? App().backupPath
                                                                                         : e.Ruta(archivo);
        const bool escribe = mensaje.startsWith("Copia");
        if (archivo == "=respaldo") {
            QFile viejo(ruta);
            QVERIFY(viejo.open(QIODevice::WriteOnly));
            viejo.write("respaldo anterior");
        }
        const auto antes = Contenido(e.RutaBase());
        const QByteArray huella = PruebaEnPostgres() ? QByteArray() : Huella(e.RutaBase());
        if (perfil == 1) MensajePrueba::setNextFileName(ruta);
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        QWidget ventana;
        CopioBaseDesdeMenu(&ventana);
        QCOMPARE(MensajePrueba::Textos().size(), 1);
        QVERIFY2(MensajePrueba::Textos().first().startsWith(mensaje), qPrintable(MensajePrueba::Textos().first()));
        QVERIFY(BaseAbierta());
        if (!PruebaEnPostgres()) QCOMPARE(Huella(e.RutaBase()), huella);
        if (!escribe) {
            QVERIFY(archivo == "=base" || !QFileInfo::exists(ruta));
            return;
        }
        QCOMPARE(MensajePrueba::Textos().first(), "Copia de seguridad escrita en " + QDir::toNativeSeparators(ruta));
        QString detalle;
        if (PruebaEnPostgres())
            QVERIFY2(MotorActual().almacen.RespaldoLegible(ruta, &detalle), qPrintable(detalle));
        else
            QCOMPARE(Contenido(ruta), antes);
        // The scheduled backup keeps its previous generation and counts as today's; another file does not.
        QCOMPARE(QFileInfo::exists(ruta + ".1"), archivo == "=respaldo");
        QCOMPARE(LeoGlobal(Seccion, ClaveUltimo, "sin fecha"),
                 archivo == "=respaldo" ? FechaATexto(QDate::currentDate()) : QString("sin fecha"));
        QVERIFY(QDir(QFileInfo(ruta).path()).entryList({"*.nuevo-*"}, QDir::Files).isEmpty());
    }

    // "Restaurar copia…" of the menu: asked first; agreed, the program lets go of the books, the
    // restore runs with every check it has, and the program ends; refused, the program goes on with
    // the books as they were, under a new session.
    void restauracionDesdeMenu_data() {
        QTest::addColumn<int>("perfil");
        QTest::addColumn<bool>("sana");       // the file chosen is a sound backup
        QTest::addColumn<Respuesta>("acepta"); // the answer to the question
        QTest::addColumn<bool>("restaura");
        QTest::newRow("administrador acepta") << 1 << true << Respuesta::Si << true;
        QTest::newRow("administrador no acepta") << 1 << true << Respuesta::No << false;
        QTest::newRow("copia ilegible") << 1 << false << Respuesta::Si << false;
        QTest::newRow("operador") << 2 << true << Respuesta::Si << false;
    }
    void restauracionDesdeMenu() {
        QFETCH(int, perfil);
        QFETCH(bool, sana);
        QFETCH(Respuesta, acepta);
        QFETCH(bool, restaura);
        Entorno e;
        e.CreoEmpresaYEjercicio();
        App().currentSession = NuevaSesion();
        QVERIFY(App().currentSession > 0);
        const QString copia = e.Ruta("Copia.BAK");
        QString error;
        if (sana) {
            QVERIFY2(CopioEnArchivo(ContextoActual(), RutasDeAjustes(), copia, QDate::currentDate(), &error), qPrintable(error));
        } else {
            QFile f(copia);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        }
        const auto respaldado = Contenido(e.RutaBase());
        QVERIFY(Ejecuto("UPDATE Ejercicios SET FinEjercicio='2030-12-31'").ok);
        QVERIFY(Ejecuto("UPDATE Usuarios SET Perfil=? WHERE Usuario=1", {perfil}).ok);
        const auto cambiado = Contenido(e.RutaBase());
        const int sesion = App().currentSession;
        QWidget ventana;
        ventana.show();
        if (perfil == 1) {
            MensajePrueba::setNextFileName(copia);
            MensajePrueba::setNextAnswer(acepta);
        }
        if (perfil != 1 || acepta == Respuesta::Si) MensajePrueba::setNextAnswer(Respuesta::Ok);
        RestauroBaseDesdeMenu(&ventana);
        const QStringList textos = MensajePrueba::Textos();
        if (perfil != 1) {
            QCOMPARE(textos, QStringList{"Su perfil no tiene permiso para restaurar copias de seguridad de la base "
                                         "de datos"});
        } else {
            QVERIFY(textos.first().startsWith("La recuperación de la Base implica sobreescribir la base actual "));
            QVERIFY(textos.first().contains(copia));
            QCOMPARE(textos.size(), acepta == Respuesta::Si ? 2 : 1);
        }
        QVERIFY(BaseAbierta());
        QCOMPARE(ventana.isVisible(), !restaura);
        if (restaura) {
            QVERIFY(textos.last().startsWith("Recuperación Exitosa: la base de datos "));
            QVERIFY(textos.last().contains(QDir::toNativeSeparators(copia)));
            QCOMPARE(Contenido(e.RutaBase()), respaldado);
            return;
        }
        if (!sana) QVERIFY(textos.last().startsWith("No se pudo hacer la recuperación de la base de datos, "));
        // The books as they were; a refusal after the books were let go goes on under a new session.
        auto ahora = Contenido(e.RutaBase());
        auto antes = cambiado;
        ahora.remove("Sesiones");
        antes.remove("Sesiones");
        QCOMPARE(ahora, antes);
        QVERIFY(App().currentSession > 0);
        QCOMPARE(Cuento("Sesiones", "Sesion=?", {App().currentSession}), 1);
        if (perfil != 1 || acepta != Respuesta::Si) QCOMPARE(App().currentSession, sesion);
    }

    // The screen is offered at start-up; its help page says how to reach it and the menu's commands.
    void paginaDeAyuda() {
        Entorno e(false);
        bool hallada = false;
        for (const PaginaAyuda& p : PaginasAyuda())
            hallada = hallada || p.archivo == "frmBaseDatos.html";
        QVERIFY(hallada);
        Ayuda* visor = MuestroAyuda("frmBaseDatos.html");
        QVERIFY(visor);
        const QString texto = visor->Navegador()->toPlainText();
        QVERIFY(texto.contains("Admin=TRUE"));
        QVERIFY(texto.contains("Recuperar de Back Up"));
        QVERIFY(texto.contains("Restaurar copia…"));
        visor->close();
        QTRY_VERIFY(!VisorAyuda());
    }

    // The check of the entry history from the screen, with the book closed (as start-up offers the
    // screen) or open: whole, then broken by a record changed behind the program's back.
    // The books, their compaction's scratch file and every backup are readable by their owner alone,
    // or also by the group of a folder the group shares (and a book written by it).
    void archivosPrivados_data() {
        QTest::addColumn<int>("carpeta");
        QTest::addColumn<int>("libro");
        QTest::addColumn<int>("copia");
        QTest::newRow("carpeta propia") << 0755 << 0600 << 0600;
        QTest::newRow("carpeta del grupo") << 0775 << 0660 << 0640;
        QTest::newRow("carpeta setgid") << 02755 << 0660 << 0640;
    }
    void archivosPrivados() {
        QFETCH(int, carpeta);
        QFETCH(int, libro);
        QFETCH(int, copia);
        Entorno e;
        const QString sub = e.Ruta("compartida");
        QVERIFY(QDir().mkpath(sub));
        QCOMPARE(::chmod(QFile::encodeName(sub).constData(), mode_t(carpeta)), 0);
        const mode_t antes = ::umask(022);
        auto modo = [](const QString& ruta) {
            struct stat st {};
            return ::stat(QFile::encodeName(ruta).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
        };
        if (MotorActual().PorArchivo()) {
            const QString nuevo = sub + "/Nuevo.MDB";
            QVERIFY(CreoBase(nuevo));
            QCOMPARE(modo(nuevo), libro);
        }
        App().backupPath = sub + "/Partidex.BAK";
        App().auxPath = sub + "/Partidex.AUX";
        CierroBase();
        QVERIFY(HagoBackUp(RutasDeAjustes(), QDate(2025, 3, 10)));
        QString error;
        QVERIFY2(CopioEnArchivo(ContextoActual(), RutasDeAjustes(), sub + "/otra.copia", QDate(2025, 3, 10), &error), qPrintable(error));
        ::umask(antes);
        QVERIFY2(MensajePrueba::Textos().isEmpty(), qPrintable(MensajePrueba::Textos().join('\n')));
        QCOMPARE(modo(App().backupPath), copia);
        QCOMPARE(modo(sub + "/otra.copia"), copia);
        if (MotorActual().PorArchivo()) QCOMPARE(modo(App().auxPath), copia);
    }

    void verificoHistorial() {
        Entorno e;
        e.CreoEmpresaYEjercicio();
        e.CreoPlanChico();
        AsientoEditado a;
        a.fecha = "05/03/2024";
        a.lineas = {{"2", "", "CAJA", "10", "", "", ""}, {"7", "", "VENTAS", "", "10", "", ""}};
        QVERIFY(GuardoAsiento(ContextoActual(), a).ok);
        QVERIFY(GuardoAsiento(ContextoActual(), a).ok);
        frmBaseDatos f;
        const QString completo =
            "El historial de asientos está completo: 2 registros encadenados, ninguno alterado ni eliminado.";
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        f.btnVerificoHistorial->click();
        QCOMPARE(MensajePrueba::Textos(), QStringList{completo});
        QVERIFY(Ejecuto("DELETE FROM HistorialAsientos WHERE Registro=1").ok);
        CierroBase();
        MensajePrueba::Limpio();
        MensajePrueba::setNextAnswer(Respuesta::Ok);
        f.btnVerificoHistorial->click();
        QVERIFY(!BaseAbierta());
        QCOMPARE(MensajePrueba::Textos(), QStringList{"El historial de asientos está roto en el registro 1: falta (fue "
                                                      "eliminado); el siguiente que hay es el 2."});
        QCOMPARE(MensajePrueba::Mostrados().last().icono, Icono::Advertencia);
        QCOMPARE(f.btnVerificoHistorial->accessibleName(), QString("Verificar historial de asientos"));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    PreparoPruebasPantallas();
    PruebaMantenimiento t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_mantenimiento.moc"
