#include "core/MotorSqlite.h"

#include "core/Archivos.h"

#include "core/Basedatos.h"
#include "core/Ini.h"
#include "core/Lector.h"
#include "core/Progreso.h"

#include <QCollator>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QPair>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// Byte range locked by every open instance, far from the bytes SQLite locks itself. Open file
// description locks conflict between any two descriptors, in one process or in two.
constexpr off_t ByteInstancia = 0x60000000;
// How long a starting instance waits for a restore or a compaction to end.
constexpr qint64 EsperaMantenimiento = 10000; // ms

bool BloqueoRango(int fd, short tipo) {
    struct flock fl = {};
    fl.l_type = tipo;
    fl.l_whence = SEEK_SET;
    fl.l_start = ByteInstancia;
    fl.l_len = 1;
    return fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

void Mayusculas(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int n = sqlite3_value_bytes(argv[0]);
    const QByteArray r = QString::fromUtf8(t, n).toUpper().toUtf8();
    sqlite3_result_text(ctx, r.constData(), int(r.size()), SQLITE_TRANSIENT);
}

// Spanish alphabetical order, ignoring letter case and accents as people read a list ("alfa",
// "Álvarez", "Beta", "zeta"); ties fall back to the exact text so the order is total.
int ComparoEspanol(void*, int n1, const void* t1, int n2, const void* t2) {
    static const QCollator orden = [] {
        QCollator c(QLocale(QLocale::Spanish, QLocale::Argentina));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const QStringView a(static_cast<const QChar*>(t1), n1 / 2);
    const QStringView b(static_cast<const QChar*>(t2), n2 / 2);
    const int r = orden.compare(a, b);
    return r != 0 ? r : a.compare(b);
}

// How long a statement waits while another instance writes before it reports the database locked.
constexpr qint64 EsperaEscritura = 8000; // ms

// Waiting for another instance's write to end, with the turns going to those that have waited
// longest: a new waiter tries again every 10 ms, one that has waited half a second every millisecond.
// SQLite's own timeout does the reverse (it backs off to a try every 100 ms), so a writer that had
// waited long lost nearly every turn to newer ones: under steady writing by several instances one of
// them could wait past the timeout while the others saved hundreds of entries.
int EsperoTurno(void*, int intentos) {
    thread_local QElapsedTimer espera;
    if (intentos == 0) espera.start();
    const qint64 esperado = espera.elapsed();
    if (esperado >= EsperaEscritura) return 0;
    sqlite3_sleep(int(qBound(qint64(1), 10 - esperado / 50, qint64(10))));
    return 1;
}

sqlite3* Manejador(const QSqlDatabase& db) {
    if (!db.isValid() || !db.driver()) return nullptr;
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

bool Ejecuto(const QSqlDatabase& db, const QString& sql, QString* error = nullptr,
             const QVariantList& parametros = {}) {
    QSqlQuery q(db);
    bool ok = q.prepare(sql);
    for (int i = 0; ok && i < parametros.size(); ++i)
        q.bindValue(i, parametros[i]);
    ok = ok && q.exec();
    if (!ok && error) *error = TextoError(q.lastError());
    return ok;
}

qint64 Numero(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next()) return -1;
    return q.value(0).toLongLong();
}

} // namespace

const Motor& MotorSqlite() {
    static const DialectoSqlite dialecto;
    static const CatalogoSqlite catalogo;
    static AlmacenSqlite almacen;
    // A path: whatever address no other engine claims.
    static const Motor motor = {"SQLite", "QSQLITE", [](const QString&) { return true; }, true, dialecto,
                                catalogo, almacen};
    return motor;
}

// --- Dialect

QString DialectoSqlite::Limite(int n) const {
    return QString(" LIMIT %1").arg(n);
}

QString DialectoSqlite::InsertoOIgnoro(const QString& resto) const {
    return "INSERT OR IGNORE INTO " + resto;
}

QString DialectoSqlite::Rellenado(const QString& expresion, int ancho) const {
    // Concatenated: the format's "%0" must not meet QString::arg.
    return "printf('%0" + QString::number(qMax(ancho, 0)) + "d', " + expresion + ")";
}

QString DialectoSqlite::Alfabetico(const QString& expresion) const {
    return expresion + " COLLATE ESPANOL";
}

QString DialectoSqlite::OrdenDeCarga() const {
    return QStringLiteral("rowid");
}

QString DialectoSqlite::InicioEscritura() const {
    return QStringLiteral("BEGIN IMMEDIATE");
}

QString DialectoSqlite::PorIndice(const QString& tabla, const QString& indice) const {
    // The primary key of a table with a composite key is the first index SQLite makes for it.
    // A table that carries its alias ("DetAsientos AS D") names its key by the table alone.
    return tabla + " INDEXED BY " + (indice.isEmpty() ? "sqlite_autoindex_" + tabla.section(' ', 0, 0) + "_1" : indice);
}

QString DialectoSqlite::Tipo(Esquema::Tipo tipo) const {
    switch (tipo) {
    case Esquema::Tipo::Entero:
        return QStringLiteral("INTEGER");
    case Esquema::Tipo::Texto:
        return QStringLiteral("TEXT");
    case Esquema::Tipo::Fecha:
        return QStringLiteral("DATE");
    case Esquema::Tipo::Centavos:
        return QStringLiteral("INTEGER");
    case Esquema::Tipo::Numero:
    case Esquema::Tipo::Importe:
        break;
    }
    return QStringLiteral("NUMERIC");
}

QString DialectoSqlite::MesDe(const QString& fecha) const {
    // Dates are held as ISO text.
    return "substr(" + fecha + ", 1, 7) || '-01'";
}

QList<DisparadorBase> DialectoSqlite::DisparadoresSumas() const {
    // A line counts under its entry as long as both are there. An entry's lines are taken away before
    // the entry changes or goes, so that the lines its new number carries along (the relation's cascade,
    // run after the row has changed) are added by their own trigger, under the entry they now belong to.
    const struct {
        const char* nombre;
        const char* cuando;
        QStringList pasos;
    } disparadores[] = {
        {"SumasLineaAlta", "AFTER INSERT ON DetAsientos", {SumoLinea("NEW", 1)}},
        {"SumasLineaBaja", "AFTER DELETE ON DetAsientos", {SumoLinea("OLD", -1)}},
        {"SumasLineaCambio", "AFTER UPDATE OF EmpresaPropia, NumEjercicio, Asiento, Cuenta, Importe ON DetAsientos",
         {SumoLinea("OLD", -1), SumoLinea("NEW", 1)}},
        {"SumasAsientoAlta", "AFTER INSERT ON Asientos", {SumoLineasDe("NEW", 1)}},
        {"SumasAsientoBaja", "BEFORE DELETE ON Asientos", {SumoLineasDe("OLD", -1)}},
        {"SumasAsientoCambio", "BEFORE UPDATE OF EmpresaPropia, NumEjercicio, Asiento, Fecha ON Asientos",
         {SumoLineasDe("OLD", -1), SumoLineasDe("NEW", 1)}},
    };
    QList<DisparadorBase> r;
    for (const auto& d : disparadores) {
        const QString nombre = QLatin1String(d.nombre), cuando = QLatin1String(d.cuando);
        r.append({nombre, cuando.section(" ON ", -1),
                  "CREATE TRIGGER " + nombre + " " + cuando + " FOR EACH ROW BEGIN " + d.pasos.join("; ") + "; END",
                  true});
    }
    return r;
}

QStringList DialectoSqlite::SumasMensuales() const {
    QStringList r;
    for (const DisparadorBase& d : DisparadoresSumas())
        r << "DROP TRIGGER IF EXISTS " + d.nombre << d.definicion;
    return r;
}

// --- Catalogue

QStringList CatalogoSqlite::Tablas(const QSqlDatabase& db, bool* ok) const {
    QStringList t;
    QSqlQuery q(db);
    const bool leida =
        q.exec("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%' ORDER BY name");
    if (ok) *ok = leida;
    if (leida)
        while (q.next())
            t << q.value(0).toString();
    return t;
}

QList<IndiceBase> CatalogoSqlite::Indices(const QSqlDatabase& db, bool* ok) const {
    QList<IndiceBase> r;
    QSqlQuery q(db);
    const bool leida = q.exec("SELECT m.name, m.tbl_name, i.name FROM sqlite_master AS m, "
                              "pragma_index_info(m.name) AS i WHERE m.type='index' ORDER BY m.name, i.seqno");
    if (ok) *ok = leida;
    if (!leida) return r;
    while (q.next()) {
        const QString nombre = q.value(0).toString();
        if (r.isEmpty() || r.last().nombre != nombre) r.append({nombre, q.value(1).toString(), {}});
        r.last().columnas << q.value(2).toString();
    }
    return r;
}

QList<DisparadorBase> CatalogoSqlite::Disparadores(const QSqlDatabase& db, bool* ok) const {
    // The file keeps the text each trigger was made with; none of them can be turned off.
    QList<DisparadorBase> r;
    QSqlQuery q(db);
    const bool leida = q.exec("SELECT name, tbl_name, sql FROM sqlite_master WHERE type='trigger' ORDER BY name");
    if (ok) *ok = leida;
    while (leida && q.next())
        r.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), true});
    return r;
}

QList<RelacionBase> CatalogoSqlite::Relaciones(const QSqlDatabase& db, bool* ok) const {
    QList<RelacionBase> r;
    QSqlQuery q(db);
    const bool leida =
        q.exec("SELECT m.name, f.id, f.\"table\", f.\"from\", f.\"to\" FROM sqlite_master AS m, "
               "pragma_foreign_key_list(m.name) AS f WHERE m.type='table' ORDER BY m.name, f.id, f.seq");
    if (ok) *ok = leida;
    if (!leida) return r;
    QString tabla;
    int id = -1;
    while (q.next()) {
        if (r.isEmpty() || q.value(0).toString() != tabla || q.value(1).toInt() != id) {
            tabla = q.value(0).toString();
            id = q.value(1).toInt();
            r.append({tabla, q.value(2).toString(), {}, {}});
        }
        r.last().columnas << q.value(3).toString();
        r.last().columnasReferidas << q.value(4).toString();
    }
    return r;
}

int CatalogoSqlite::VersionEsquema(const QSqlDatabase& db) const {
    return int(Numero(db, "PRAGMA user_version"));
}

bool CatalogoSqlite::FijoVersionEsquema(QSqlDatabase& db, int version) const {
    return Ejecuto(db, QString("PRAGMA user_version=%1").arg(version));
}

qint64 CatalogoSqlite::IdAplicacion(const QSqlDatabase& db) const {
    return Numero(db, "PRAGMA application_id");
}

bool CatalogoSqlite::FijoIdAplicacion(QSqlDatabase& db, qint64 id) const {
    return Ejecuto(db, QString("PRAGMA application_id=%1").arg(qint32(id)));
}

QStringList CatalogoSqlite::PlanConsulta(const QSqlDatabase& db, const QString& sql,
                                         const QVariantList& parametros) const {
    QStringList pasos;
    QSqlQuery q(db);
    bool ok = q.prepare("EXPLAIN QUERY PLAN " + sql);
    for (int i = 0; ok && i < parametros.size(); ++i)
        q.bindValue(i, parametros[i]);
    if (ok && q.exec())
        while (q.next())
            pasos << q.value(3).toString();
    return pasos;
}

qint64 CatalogoSqlite::VersionDatos(const QSqlDatabase& db) const {
    return Numero(db, "PRAGMA data_version");
}

// --- Storage

AlmacenSqlite::~AlmacenSqlite() {
    LiberoUso();
    LiberoExclusivo();
}

QString AlmacenSqlite::DireccionDeAjustes(const LectorAjustes& lee) {
    return RutaCompleta(lee("Base", "Partidex.MDB"));
}

QString AlmacenSqlite::Ubicacion(const QString& ruta) const {
    return QDir::toNativeSeparators(ruta);
}

AlmacenMotor::Ocupacion AlmacenSqlite::Ocupa(const QString& ruta, const QSqlDatabase&) const {
    Ocupacion o;
    const QFileInfo fi(ruta);
    if (!fi.exists()) {
        o.estado = Ocupacion::Estado::NoExiste;
        return o;
    }
    o.estado = Ocupacion::Estado::Conocida;
    o.bytes = fi.size();
    // Changes not yet written into the file itself wait in the write-ahead log.
    const QFileInfo wal(ruta + "-wal");
    if (wal.exists()) o.pendientes = wal.size();
    return o;
}

QString AlmacenSqlite::Version() const {
    return "SQLite " + QString::fromLatin1(sqlite3_libversion());
}

bool AlmacenSqlite::Falta(const QString& ruta) const {
    return !QFileInfo(ruta).isFile();
}

QSqlDatabase AlmacenSqlite::Agrego(const QString& nombre, const QString& ruta, bool soloLectura) const {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", nombre);
    if (soloLectura) {
        // Read without leaving a trace: a file without a log beside it is read as immutable, so that
        // no log or index file is made next to it.
        bool companeros = false;
        for (const char* sufijo : {"-wal", "-shm", "-journal"})
            companeros = companeros || QFileInfo::exists(ruta + sufijo);
        db.setDatabaseName(QUrl::fromLocalFile(ruta).toString(QUrl::FullyEncoded) +
                           (companeros ? "?mode=ro" : "?immutable=1"));
        db.setConnectOptions("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=8000");
    } else {
        db.setDatabaseName(ruta);
        db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=8000");
    }
    return db;
}

bool AlmacenSqlite::Configuro(QSqlDatabase& db, QString* error) const {
    sqlite3* h = Manejador(db);
    if (!h) {
        if (error) *error = "no se pudo acceder al motor de base de datos";
        return false;
    }
    for (const char* nombre : {"UCase", "UPPER"}) {
        if (sqlite3_create_function_v2(h, nombre, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, Mayusculas,
                                       nullptr, nullptr, nullptr) != SQLITE_OK) {
            if (error) *error = QString::fromUtf8(sqlite3_errmsg(h));
            return false;
        }
    }
    if (sqlite3_create_collation_v2(h, "ESPANOL", SQLITE_UTF16, nullptr, ComparoEspanol, nullptr) !=
        SQLITE_OK) {
        if (error) *error = QString::fromUtf8(sqlite3_errmsg(h));
        return false;
    }
    sqlite3_busy_handler(h, EsperoTurno, nullptr);
    return Ejecuto(db, "PRAGMA foreign_keys=ON", error);
}

bool AlmacenSqlite::Compartida(QSqlDatabase& db, bool compartida, QString* error) const {
    return Ejecuto(db, compartida ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE", error);
}

bool AlmacenSqlite::ClavesForaneas(QSqlDatabase& db, bool activas) const {
    return Ejecuto(db, activas ? "PRAGMA foreign_keys=ON" : "PRAGMA foreign_keys=OFF");
}

void AlmacenSqlite::Optimizo(QSqlDatabase& db) const {
    // On leaving, a larger gathering than on opening can be afforded (a second at most).
    RenuevoEstadisticas(db, 10 * FilasAlAbrir);
    Ejecuto(db, "PRAGMA optimize");
}

QStringList AlmacenSqlite::RenuevoEstadisticas(QSqlDatabase& db, qint64 filas) const {
    // Tables with fewer rows than this, and differences of fewer rows, do not move a plan.
    constexpr qint64 Poco = 1000;
    QStringList renovadas;
    sqlite3* h = Manejador(db);
    if (!h || sqlite3_db_readonly(h, "main") != 0) return renovadas;
    // The rows each table had when its figures were gathered: the first number of its indexes' rows.
    QHash<QString, qint64> anotadas;
    QSqlQuery q(db);
    if (Numero(db, "SELECT COUNT(*) FROM sqlite_master WHERE name='sqlite_stat1'") > 0 &&
        q.exec("SELECT tbl, MAX(CAST(stat AS INTEGER)) FROM sqlite_stat1 WHERE idx IS NOT NULL GROUP BY tbl"))
        while (q.next())
            anotadas.insert(q.value(0).toString().toLower(), q.value(1).toLongLong());
    // The rows each indexed table has now, from the highest row number (no table walked): rows
    // deleted leave it higher, which only errs towards a larger table.
    // The rows each indexed table has now, from the highest row number (no table walked): rows
    // deleted leave it higher, which only errs towards a larger table.
    QList<QPair<qint64, QString>> viejas;
    q.exec("SELECT DISTINCT m.tbl_name FROM sqlite_master AS m WHERE m.type='index' AND m.tbl_name NOT LIKE "
           "'sqlite%'");
    QStringList tablas;
    while (q.next())
        tablas << q.value(0).toString();
    q.finish();
    for (const QString& t : tablas) {
        const qint64 ahora = Numero(db, "SELECT COALESCE(MAX(rowid), 0) FROM \"" + t + "\"");
        if (ahora < 0) continue;
        const auto a = anotadas.constFind(t.toLower());
        const bool vieja = a == anotadas.constEnd()
                               ? ahora >= Poco
                               : qAbs(ahora - *a) >= Poco && (ahora > 2 * *a || 2 * ahora < *a);
        if (vieja) viejas.append({ahora, t});
    }
    if (viejas.isEmpty()) return renovadas;
    // The smaller tables first, as many as the rows allow; the figures of the rest are forgotten.
    std::sort(viejas.begin(), viejas.end());
    // Never waiting: another instance that is writing has the book's figures to gather on its turn.
    sqlite3_busy_handler(h, nullptr, nullptr);
    QStringList olvidadas;
    qint64 total = 0;
    for (const auto& [filasTabla, t] : viejas) {
        total += filasTabla;
        if (total <= filas && Ejecuto(db, "ANALYZE \"" + t + "\""))
            renovadas << t;
        else if (anotadas.contains(t.toLower()))
            olvidadas << "'" + t + "'";
    }
    if (!olvidadas.isEmpty() && Ejecuto(db, "DELETE FROM sqlite_stat1 WHERE tbl IN (" + olvidadas.join(',') + ")"))
        // The planner reads its figures with the schema: read again now.
        Ejecuto(db, "ANALYZE sqlite_master");
    sqlite3_busy_handler(h, EsperoTurno, nullptr);
    return renovadas;
}

bool AlmacenSqlite::EsPropia(const QString& ruta) const {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) && f.read(16) == QByteArray("SQLite format 3\0", 16);
}

AlmacenMotor::Cabecera AlmacenSqlite::LeoCabecera(const QString& ruta) const {
    Cabecera c;
    QFile f(ruta);
    c.legible = f.open(QIODevice::ReadOnly);
    if (!c.legible) return c;
    const QByteArray b = f.read(100);
    c.delMotor = b.startsWith(QByteArray("SQLite format 3\0", 16));
    // The program mark is the big-endian 32-bit number at offset 68 of the header.
    if (b.size() >= 72) {
        const auto* u = reinterpret_cast<const uchar*>(b.constData()) + 68;
        c.idAplicacion = qint64((quint32(u[0]) << 24) | (quint32(u[1]) << 16) | (quint32(u[2]) << 8) | u[3]);
    }
    return c;
}

QStringList AlmacenSqlite::Companeros(bool conDatos) const {
    // The shared-memory index is rebuilt from the log; only the log and the journal carry data.
    return conDatos ? QStringList{"-wal", "-journal"} : QStringList{"-wal", "-shm", "-journal"};
}

namespace {
// Tells a progress how far a statement that goes through the whole file has gone: the engine counts
// the steps it runs, and such a statement takes about the same number of steps per page of these books
// at any size (measured at 90 MB and at 900 MB).
class Vigia {
public:
    Vigia(const QSqlDatabase& db, Progreso* p, double pasosPorPagina) : progreso(p), h(Manejador(db)) {
        if (!progreso || !h) return;
        QSqlQuery q(db);
        if (!q.exec("PRAGMA page_count") || !q.next()) return;
        esperados = std::max(1.0, q.value(0).toDouble() * pasosPorPagina);
        sqlite3_progress_handler(h, Intervalo, &Vigia::Cuento, this);
    }
    ~Vigia() {
        if (esperados > 0) sqlite3_progress_handler(h, 0, nullptr, nullptr);
    }
    Vigia(const Vigia&) = delete;
    Vigia& operator=(const Vigia&) = delete;

private:
    static constexpr int Intervalo = 10000;
    static int Cuento(void* v) {
        auto* y = static_cast<Vigia*>(v);
        y->hechos += Intervalo;
        // Reported; the statement stops here only when its operation may be stopped in the middle of
        // one (else it reads on to the stage's end: 0 lets it go on).
        return !y->progreso->Parte(y->hechos / y->esperados) && y->progreso->EsInterrumpible() ? 1 : 0;
    }
    Progreso* progreso;
    sqlite3* h;
    double esperados = 0, hechos = 0;
};
} // namespace

bool AlmacenSqlite::Integridad(QSqlDatabase& db, bool completa, QString* detalle, Progreso* progreso) const {
    QSqlQuery q(db);
    // The full check looks every row up in each of its indexes: with a larger page cache for its
    // duration it takes less than half the time on a large book.
    QVariant cache;
    if (completa && q.exec("PRAGMA cache_size") && q.next()) cache = q.value(0);
    if (cache.isValid()) q.exec("PRAGMA cache_size=-131072");
    const bool hecho = [&] {
        const Vigia vigia(db, progreso, completa ? 1340 : 710);
        return q.exec(completa ? "PRAGMA integrity_check(5)" : "PRAGMA quick_check(5)");
    }();
    if (cache.isValid()) QSqlQuery(db).exec("PRAGMA cache_size=" + QString::number(cache.toLongLong()));
    if (!hecho) {
        *detalle = TextoError(q.lastError());
        return false;
    }
    QStringList problemas;
    while (q.next())
        problemas << q.value(0).toString();
    if (problemas == QStringList{"ok"}) return true;
    *detalle = problemas.join("; ").left(300);
    return false;
}

bool AlmacenSqlite::CompactoEn(QSqlDatabase& db, const QString& destino, QString* error, Progreso* progreso) const {
    // The copy is made into an empty file that only its owner can read (the engine takes one), so
    // that the books are never readable by others, not even while being written.
    if (!QFileInfo::exists(destino) && !CreoArchivoPrivado(destino, false, error)) return false;
    const Vigia vigia(db, progreso, 550);
    return Ejecuto(db, "VACUUM INTO ?", error, {destino});
}

namespace {
// The engine's statement stepped directly: a value is read only when asked for, a text as the bytes
// the engine holds.
class LectorSqlite : public Lector {
public:
    LectorSqlite(sqlite3* h, const QString& sql, const QVariantList& parametros) : h(h) {
        const QByteArray texto = sql.toUtf8();
        if (sqlite3_prepare_v2(h, texto.constData(), int(texto.size()), &s, nullptr) != SQLITE_OK) {
            Fallo();
            return;
        }
        for (int i = 0; i < parametros.size(); ++i) {
            if (!Asocio(i + 1, parametros[i])) {
                Fallo();
                return;
            }
        }
    }
    ~LectorSqlite() override { sqlite3_finalize(s); }
    bool Siguiente() override {
        if (!s || terminado) return false;
        const int rc = sqlite3_step(s);
        if (rc == SQLITE_ROW) return true;
        terminado = true;
        if (rc != SQLITE_DONE) error = QString::fromUtf8(sqlite3_errmsg(h));
        return false;
    }
    bool Nulo(int c) const override { return sqlite3_column_type(s, c) == SQLITE_NULL; }
    qint64 Entero(int c) const override { return sqlite3_column_int64(s, c); }
    double Real(int c) const override { return sqlite3_column_double(s, c); }
    QByteArrayView Texto(int c) const override {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, c));
        return t ? QByteArrayView(t, sqlite3_column_bytes(s, c)) : QByteArrayView();
    }
    QVariant Valor(int c) const override {
        switch (sqlite3_column_type(s, c)) {
        case SQLITE_NULL: return QVariant();
        case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(s, c)));
        case SQLITE_FLOAT: return QVariant(sqlite3_column_double(s, c));
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(s, c)), sqlite3_column_bytes(s, c));
        default: return QString::fromUtf8(Texto(c));
        }
    }
    QString Error() const override { return error; }

private:
    sqlite3* h;
    sqlite3_stmt* s = nullptr;
    bool terminado = false;
    QString error;

    void Fallo() {
        error = QString::fromUtf8(sqlite3_errmsg(h));
        sqlite3_finalize(s);
        s = nullptr;
    }
    // A value bound as Qt's driver binds it: numbers as numbers, bytes as bytes, anything else as text.
    bool Asocio(int i, const QVariant& v) {
        if (v.isNull()) return sqlite3_bind_null(s, i) == SQLITE_OK;
        switch (v.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong: return sqlite3_bind_int64(s, i, v.toLongLong()) == SQLITE_OK;
        case QMetaType::Double:
        case QMetaType::Float: return sqlite3_bind_double(s, i, v.toDouble()) == SQLITE_OK;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            return sqlite3_bind_blob64(s, i, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT) == SQLITE_OK;
        }
        default: {
            const QByteArray t = v.toString().toUtf8();
            return sqlite3_bind_text64(s, i, t.constData(), sqlite3_uint64(t.size()), SQLITE_TRANSIENT,
                                       SQLITE_UTF8) == SQLITE_OK;
        }
        }
    }
};
} // namespace

std::shared_ptr<void> AlmacenSqlite::Detenible(const QSqlDatabase& db, Progreso* progreso) const {
    sqlite3* h = Manejador(db);
    if (!h || !progreso) return nullptr;
    // Asked every thousand steps of the engine: an instant after the request, the statement stops.
    sqlite3_progress_handler(
        h, 1000, [](void* p) { return static_cast<Progreso*>(p)->Cancelado() ? 1 : 0; }, progreso);
    return std::shared_ptr<void>(h, [](sqlite3* x) { sqlite3_progress_handler(x, 0, nullptr, nullptr); });
}

std::unique_ptr<Lector> AlmacenSqlite::Leo(const QSqlDatabase& db, const QString& sql, const QVariantList& parametros,
                                           bool adelante) const {
    sqlite3* h = Manejador(db);
    if (!h) return AlmacenMotor::Leo(db, sql, parametros, adelante);
    // The engine's statement reads its rows as it steps, whoever else uses the connection meanwhile.
    return std::make_unique<LectorSqlite>(h, sql, parametros);
}

bool AlmacenSqlite::CopioBase(QSqlDatabase& desde, QSqlDatabase& hacia, QString* error, Progreso* progreso) const {
    sqlite3* hOrigen = Manejador(desde);
    sqlite3* hDestino = Manejador(hacia);
    if (!hOrigen || !hDestino) {
        if (error) *error = "no se pudo acceder al motor de base de datos";
        return false;
    }
    sqlite3_backup* b = sqlite3_backup_init(hDestino, "main", hOrigen, "main");
    if (!b) {
        if (error) *error = QString::fromUtf8(sqlite3_errmsg(hDestino));
        return false;
    }
    // Some thousand pages a step, to say how far it has gone; the copy is written in one transaction
    // on the destination all the same, kept from the first step to the last.
    const int paginas = progreso ? 1024 : -1;
    int rc = SQLITE_OK;
    int esperas = 0;
    do {
        rc = sqlite3_backup_step(b, paginas);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            // A reader that holds the file for an instant: wait a little and go on.
            sqlite3_sleep(100);
            ++esperas;
        } else if (rc == SQLITE_OK && progreso) {
            const int total = sqlite3_backup_pagecount(b);
            if (total > 0) progreso->Parte(1.0 - double(sqlite3_backup_remaining(b)) / total);
        }
    } while ((rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && esperas < 100);
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE) {
        const int codigo = sqlite3_errcode(hDestino);
        if (error)
            *error = codigo != SQLITE_OK ? QString::fromUtf8(sqlite3_errmsg(hDestino))
                                         : QString::fromUtf8(sqlite3_errstr(rc));
        return false;
    }
    // Pages written through the write-ahead log go into the file itself now, so that the file on
    // disk holds the copy and no large log stays behind.
    Ejecuto(hacia, "PRAGMA wal_checkpoint(TRUNCATE)");
    return true;
}

bool AlmacenSqlite::MarcoEnUso(const QString& ruta, QString* error) {
    LiberoUso();
    descriptorUso = ::open(QFile::encodeName(ruta).constData(), O_RDWR | O_CLOEXEC);
    if (descriptorUso < 0) {
        if (error) *error = "no se puede abrir el archivo para lectura y escritura";
        return false;
    }
    // Shared among instances; refused only while a restore or a compaction holds the file alone (or
    // for the instant another instance probes whether it is in use).
    QElapsedTimer espera;
    espera.start();
    while (!BloqueoRango(descriptorUso, F_RDLCK)) {
        if (espera.elapsed() >= EsperaMantenimiento) {
            LiberoUso();
            if (error) *error = QString::fromUtf8(EnMantenimientoTexto);
            return false;
        }
        sqlite3_sleep(20);
    }
    return true;
}

void AlmacenSqlite::LiberoUso() {
    if (descriptorUso >= 0) {
        ::close(descriptorUso);
        descriptorUso = -1;
    }
}

bool AlmacenSqlite::EnUso(const QString& ruta) const {
    const int fd = ::open(QFile::encodeName(ruta).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    const bool libre = BloqueoRango(fd, F_WRLCK);
    ::close(fd); // closing the descriptor releases the probe lock
    return !libre;
}

bool AlmacenSqlite::EnMantenimiento(const QString& ruta) const {
    const int fd = ::open(QFile::encodeName(ruta).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    const bool libre = BloqueoRango(fd, F_RDLCK);
    ::close(fd);
    return !libre;
}

bool AlmacenSqlite::EsperoFinMantenimiento(const QString& ruta) const {
    QElapsedTimer espera;
    espera.start();
    while (EnMantenimiento(ruta)) {
        if (espera.elapsed() >= EsperaMantenimiento) return false;
        sqlite3_sleep(20);
    }
    return true;
}

bool AlmacenSqlite::TomoExclusivo(const QString& ruta, QString* error) {
    LiberoExclusivo();
    if (error) error->clear();
    const int fd = ::open(QFile::encodeName(ruta).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        // Nobody can have open a file that is not there; one that cannot be written is not taken.
        if (errno == ENOENT) return true;
        if (error) *error = "no se puede abrir el archivo para lectura y escritura";
        return false;
    }
    // Every open instance holds its shared mark on this byte: the exclusive lock is the check that
    // none has the file open and, held, what keeps any from starting until the work is done.
    if (!BloqueoRango(fd, F_WRLCK)) {
        ::close(fd);
        return false;
    }
    descriptorExclusivo = fd;
    return true;
}

void AlmacenSqlite::LiberoExclusivo() {
    if (descriptorExclusivo >= 0) {
        ::close(descriptorExclusivo);
        descriptorExclusivo = -1;
    }
}
