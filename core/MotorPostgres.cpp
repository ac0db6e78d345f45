#include "core/MotorPostgres.h"

#include "core/Archivos.h"
#include "core/Basedatos.h"
#include "schema/Esquema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDriver>
#include <QSqlField>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>
#include <QUuid>

namespace {

// The one connection of a running program carries this name; every other connection (examination,
// maintenance, the in-use probe) another, so that only running programs count as users of the books.
const char* const NombreEnUso = "Partidex";
const char* const NombreAuxiliar = "Partidex auxiliar";
// Key of the lock every write transaction takes first: writers of the books take turns, as they do on
// the file engine, so that "maximum plus one" never gives two workstations the same number.
constexpr qint64 LlaveEscritura = 0x50415254494445; // "PARTIDE"
// Key of the lock every running workstation holds shared for as long as it is connected, and that a
// restore or a compaction holds alone: while it does, no workstation can start on the books.
constexpr qint64 LlaveUso = 0x50415254494455; // "PARTIDU"
// How long a starting workstation waits for a restore or a compaction to end.
constexpr qint64 EsperaMantenimiento = 10000; // ms

QString contrasenaAjustes;
// The login's user and password, when they are what the program connects with (AccedoComo).
QString usuarioAcceso, contrasenaAcceso;
// How connections are encrypted: libpq's sslmode, and the root certificate that proves the server.
QString modoSsl = QStringLiteral("require");
QString certificadoRaiz;

// The server's password of a user: the program compares passwords without regard to letter case,
// so the server is given them in upper case, as the stored hash takes them.
QString ClaveServidor(const QString& contrasena) {
    return contrasena.toUpper();
}

// The server's login of a Partidex user: the database's name, a dot and the login name in lower
// case, so that the users of two books on one server never meet (the groups, "<base>_perfil_<n>",
// hold no dot after the base's name). The SQL function partidex_rol says the same.
QString RolDeUsuario(const QString& base, const QString& nombre) {
    // A name the server cannot hold whole (63 bytes) goes by a digest of it.
    const QString entero = base + "." + QString(nombre).remove(QChar(0)).toLower();
    if (entero.toUtf8().size() <= 63) return entero;
    return base.left(30) + ".~" +
           QString::fromLatin1(QCryptographicHash::hash(entero.toUtf8(), QCryptographicHash::Md5).toHex().left(24));
}

QString Identificador(const QString& nombre) {
    QString t = nombre;
    return '"' + t.replace('"', QStringLiteral("\"\"")) + '"';
}

// A value in libpq's connection options, quoted as it takes them.
QString ValorConexion(const QString& valor) {
    QString t = valor;
    t.replace('\\', QStringLiteral("\\\\")).replace('\'', QStringLiteral("\\'"));
    return "'" + t + "'";
}

bool Ejecuto(const QSqlDatabase& db, const QString& sql, QString* error = nullptr) {
    QSqlQuery q(db);
    const bool ok = q.exec(sql);
    if (!ok && error) *error = TextoError(q.lastError());
    return ok;
}

// The program's names for what the server keeps folded to lower case: tables, columns and indexes
// of the schema.
QString NombrePropio(const QString& nombre) {
    static const QHash<QString, QString> nombres = [] {
        QHash<QString, QString> h;
        static const QRegularExpression palabra(QStringLiteral("\\b[A-Za-z_]\\w*\\b"));
        const DialectoPostgres dialecto;
        for (const QString& s : Esquema::Definicion()) {
            auto it = palabra.globalMatch(dialecto.Ddl(s));
            while (it.hasNext()) {
                const QString p = it.next().captured(0);
                if (!h.contains(p.toLower())) h.insert(p.toLower(), p);
            }
        }
        return h;
    }();
    return nombres.value(nombre, nombre);
}

// Program mark and schema version live in the comment of the books' schema: "Partidex <mark> <version>".
struct Marca {
    bool leida = false;
    qint64 id = 0;
    int version = 0;
};

Marca LeoMarca(const QSqlDatabase& db) {
    Marca m;
    QSqlQuery q(db);
    if (!q.exec(
            "SELECT obj_description(oid, 'pg_namespace') FROM pg_namespace WHERE nspname = current_schema()"))
        return m;
    m.leida = true;
    if (!q.next()) return m;
    const QStringList partes = q.value(0).toString().split(' ');
    if (partes.size() == 3 && partes[0] == QLatin1String("Partidex")) {
        m.id = partes[1].toLongLong();
        m.version = partes[2].toInt();
    }
    return m;
}

bool FijoMarca(QSqlDatabase& db, const Marca& m) {
    QSqlQuery q(db);
    if (!q.exec("SELECT current_schema()") || !q.next()) return false;
    const QString esquema = db.driver()->escapeIdentifier(q.value(0).toString(), QSqlDriver::TableName);
    // Numbers only: nothing from outside reaches the text.
    return Ejecuto(db,
                   QString("COMMENT ON SCHEMA %1 IS 'Partidex %2 %3'").arg(esquema).arg(m.id).arg(m.version));
}

// A password the client library finds by itself: PGPASSWORD, or a line of the password file that
// matches host, port, database and user.
bool ContrasenaDelCliente(const ServidorPostgres& s) {
    if (!qEnvironmentVariableIsEmpty("PGPASSWORD")) return true;
    QString archivo = qEnvironmentVariable("PGPASSFILE");
    if (archivo.isEmpty()) archivo = QDir::home().filePath(".pgpass");
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    const QString servidor =
        s.servidor.isEmpty() || s.servidor.startsWith('/') ? QStringLiteral("localhost") : s.servidor;
    const QStringList buscado = {servidor, QString::number(s.puerto), s.base, s.usuario};
    while (!f.atEnd()) {
        const QString linea = QString::fromUtf8(f.readLine()).trimmed();
        if (linea.isEmpty() || linea.startsWith('#')) continue;
        const QStringList campos = linea.split(':');
        if (campos.size() < 5) continue;
        bool coincide = true;
        for (int i = 0; i < 4 && coincide; ++i)
            coincide = campos[i] == QLatin1String("*") || campos[i] == buscado[i];
        if (coincide) return true;
    }
    return false;
}

// Who connects to the database s names, with which password (empty: the client library finds it, or
// none is needed): the user of the address when the settings fix one, else the login's.
struct Credenciales {
    QString usuario;
    QString contrasena;
};
Credenciales CredencialesDe(const ServidorPostgres& s) {
    if (s.usuario.isEmpty() && !usuarioAcceso.isEmpty())
        return {RolDeUsuario(s.base, usuarioAcceso), contrasenaAcceso};
    return {s.usuario, !contrasenaAjustes.isEmpty() && !ContrasenaDelCliente(s) ? contrasenaAjustes : QString()};
}

// Runs one of the server's client programs (found on the PATH) against the database at ruta; false
// with its own words in *error when it cannot be run or fails.
bool Cliente(const QString& programa, QStringList argumentos, const QString& ruta, QString* error,
             QByteArray* salida = nullptr) {
    const QString ejecutable = QStandardPaths::findExecutable(programa);
    if (ejecutable.isEmpty()) {
        if (error) *error = "no se encontró el programa " + programa + " de PostgreSQL en el PATH";
        return false;
    }
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    if (!ruta.isEmpty()) {
        const ServidorPostgres s = ServidorDe(ruta);
        const Credenciales c = CredencialesDe(s);
        if (!c.contrasena.isEmpty()) entorno.insert("PGPASSWORD", c.contrasena);
        entorno.insert("PGSSLMODE", modoSsl);
        if (!certificadoRaiz.isEmpty()) entorno.insert("PGSSLROOTCERT", certificadoRaiz);
        argumentos << "--no-password"
                   << "--port" << QString::number(s.puerto) << "--dbname" << s.base;
        if (!s.servidor.isEmpty()) argumentos << "--host" << s.servidor;
        if (!c.usuario.isEmpty()) argumentos << "--username" << c.usuario;
    }
    QProcess p;
    p.setProcessEnvironment(entorno);
    p.start(ejecutable, argumentos);
    const bool ok = p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (salida) *salida = p.readAllStandardOutput();
    if (!ok && error) {
        const QString salida = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        *error = programa + ": " + (salida.isEmpty() ? p.errorString() : salida.left(400));
    }
    return ok;
}

} // namespace

const Motor& MotorPostgres() {
    static const DialectoPostgres dialecto;
    static const CatalogoPostgres catalogo;
    static AlmacenPostgres almacen;
    static const Motor motor = {"PostgreSQL", "QPSQL", EsDireccionPostgres, false, dialecto,
                                catalogo,     almacen};
    return motor;
}

// --- Dialect

QStringList DialectoPostgres::Preparativos() const {
    return {
        // The Spanish alphabetical order of the file engine: accents and letter case count only
        // between otherwise equal texts, capitals first.
        "CREATE COLLATION IF NOT EXISTS espanol (provider = icu, locale = 'es-AR-u-kf-upper')",
        // Upper case by Unicode's rules whatever the database's own locale, under both names the
        // dialect switch can select; they come before the built-in one (see Configuro).
        "CREATE OR REPLACE FUNCTION ucase(t text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE "
        "RETURN pg_catalog.upper(t COLLATE \"und-x-icu\")",
        "CREATE OR REPLACE FUNCTION upper(t text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE "
        "RETURN pg_catalog.upper(t COLLATE \"und-x-icu\")",
    };
}

QString DialectoPostgres::Tipo(Esquema::Tipo tipo) const {
    switch (tipo) {
    case Esquema::Tipo::Entero:
        return QStringLiteral("INTEGER");
    case Esquema::Tipo::Texto:
        return QStringLiteral("TEXT");
    case Esquema::Tipo::Fecha:
        return QStringLiteral("DATE");
    case Esquema::Tipo::Numero:
        break;
    case Esquema::Tipo::Importe:
        // Amounts are held exactly to the cent.
        return QStringLiteral("NUMERIC(15,2)");
    case Esquema::Tipo::Centavos:
        return QStringLiteral("BIGINT");
    }
    return QStringLiteral("NUMERIC");
}

QString DialectoPostgres::MesDe(const QString& fecha) const {
    return "CAST(date_trunc('month', " + fecha + ") AS date)";
}

namespace {
// The two functions the triggers of the monthly sums run: name and body.
struct FuncionSumas {
    QString nombre;
    QString cuerpo;
};
} // namespace

// As the file engine's triggers (DialectoSqlite::DisparadoresSumas): a line counts under its entry as
// long as both are there; an entry's lines are taken away before it changes or goes, and the lines the
// relation's cascade carries to its new number are added by their own trigger. The functions run as the
// books' owner, so that no user writes the sums but through his lines; they fire in every session mode,
// also where a bulk copy leaves the relations unchecked.
static QList<FuncionSumas> FuncionesSumas(const QString& lineaMenos, const QString& lineaMas,
                                          const QString& asientoMenos, const QString& asientoMas) {
    return {{"partidex_sumas_linea", "\nBEGIN\n  IF TG_OP <> 'INSERT' THEN " + lineaMenos +
                                         "; END IF;\n  IF TG_OP <> 'DELETE' THEN " + lineaMas +
                                         "; END IF;\n  RETURN NULL;\nEND "},
            {"partidex_sumas_asiento", "\nBEGIN\n  IF TG_OP = 'INSERT' THEN " + asientoMas +
                                           "; RETURN NULL; END IF;\n  " + asientoMenos +
                                           ";\n  IF TG_OP = 'DELETE' THEN RETURN OLD; END IF;\n  " + asientoMas +
                                           ";\n  RETURN NEW;\nEND "}};
}

QList<DisparadorBase> DialectoPostgres::DisparadoresSumas() const {
    QHash<QString, QString> cuerpos;
    for (const FuncionSumas& f :
         FuncionesSumas(SumoLinea("OLD", -1), SumoLinea("NEW", 1), SumoLineasDe("OLD", -1), SumoLineasDe("NEW", 1)))
        cuerpos.insert(f.nombre, f.cuerpo);
    const struct {
        const char* nombre;
        const char* cuando;
        const char* tabla;
        const char* funcion;
    } disparadores[] = {
        {"partidex_sumas_linea_alta_baja", "AFTER INSERT OR DELETE", "detasientos", "partidex_sumas_linea"},
        {"partidex_sumas_linea_cambio", "AFTER UPDATE OF empresapropia, numejercicio, asiento, cuenta, importe",
         "detasientos", "partidex_sumas_linea"},
        {"partidex_sumas_asiento_alta", "AFTER INSERT", "asientos", "partidex_sumas_asiento"},
        {"partidex_sumas_asiento_cambio", "BEFORE DELETE OR UPDATE OF empresapropia, numejercicio, asiento, fecha",
         "asientos", "partidex_sumas_asiento"},
    };
    // The definition is the statement that makes the trigger, then the body of the function it runs, as
    // the catalogue reads them back (CatalogoPostgres::Disparadores).
    QList<DisparadorBase> r;
    for (const auto& d : disparadores) {
        const QString nombre = QLatin1String(d.nombre), tabla = QLatin1String(d.tabla),
                      funcion = QLatin1String(d.funcion);
        r.append({nombre, tabla,
                  "CREATE TRIGGER " + nombre + " " + QLatin1String(d.cuando) + " ON " + tabla +
                      " FOR EACH ROW EXECUTE FUNCTION " + funcion + "()\n" + cuerpos.value(funcion),
                  true});
    }
    return r;
}

QStringList DialectoPostgres::SumasMensuales() const {
    QStringList r;
    for (const FuncionSumas& f :
         FuncionesSumas(SumoLinea("OLD", -1), SumoLinea("NEW", 1), SumoLineasDe("OLD", -1), SumoLineasDe("NEW", 1)))
        r << "CREATE OR REPLACE FUNCTION " + f.nombre +
                 "() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public "
                 "AS $f$" + f.cuerpo + "$f$";
    for (const DisparadorBase& d : DisparadoresSumas())
        r << "DROP TRIGGER IF EXISTS " + d.nombre + " ON " + d.tabla << d.definicion.section('\n', 0, 0)
          << "ALTER TABLE " + d.tabla + " ENABLE ALWAYS TRIGGER " + d.nombre;
    return r;
}

QString DialectoPostgres::InicioEscritura() const {
    return QString("BEGIN; SELECT pg_advisory_xact_lock(%1)").arg(LlaveEscritura);
}

QString DialectoPostgres::Limite(int n) const {
    return QString(" LIMIT %1").arg(n);
}

QString DialectoPostgres::InsertoOIgnoro(const QString& resto) const {
    return "INSERT INTO " + resto + " ON CONFLICT DO NOTHING";
}

QString DialectoPostgres::Rellenado(const QString& expresion, int ancho) const {
    // As printf's "%0Nd": the sign counts in the width, and a wider number is never cut. The
    // expression appears once (it may be a placeholder).
    const QString w = QString::number(qMax(ancho, 0));
    return "(SELECT CASE WHEN length(t) >= " + w + " - s THEN m || t ELSE m || lpad(t, " + w +
           " - s, '0') END FROM (SELECT CAST(abs(n) AS TEXT) AS t, CASE WHEN n < 0 THEN 1 ELSE 0 END AS s, "
           "CASE WHEN n < 0 THEN '-' ELSE '' END AS m FROM (SELECT CAST((" +
           expresion + ") AS BIGINT) AS n) AS v) AS r)";
}

QString DialectoPostgres::Alfabetico(const QString& expresion) const {
    // Null first, as the file engine puts it.
    return expresion + " COLLATE espanol NULLS FIRST";
}

QString DialectoPostgres::OrdenDeCarga() const {
    return QStringLiteral("ctid");
}

QVariant DialectoPostgres::Guardable(const QVariant& valor) const {
    // The server's text type cannot hold NUL, and the driver would cut the statement at it: a pasted
    // NUL is dropped, as the text around it is kept.
    if (valor.typeId() != QMetaType::QString) return valor;
    QString t = valor.toString();
    if (!t.contains(QChar(0))) return valor;
    return t.remove(QChar(0));
}

// --- Catalogue

QStringList CatalogoPostgres::Tablas(const QSqlDatabase& db, bool* ok) const {
    QStringList t;
    QSqlQuery q(db);
    const bool leida =
        q.exec("SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
               "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'p') ORDER BY 1");
    if (ok) *ok = leida;
    if (leida)
        while (q.next())
            t << NombrePropio(q.value(0).toString());
    return t;
}

QList<IndiceBase> CatalogoPostgres::Indices(const QSqlDatabase& db, bool* ok) const {
    QList<IndiceBase> r;
    QSqlQuery q(db);
    // A one-column primary key is the row's own number on the file engine, with no index of its own:
    // left out so that both engines count the same indexes.
    const bool leida =
        q.exec("SELECT i.relname, t.relname, a.attname FROM pg_index x "
               "JOIN pg_class i ON i.oid = x.indexrelid JOIN pg_class t ON t.oid = x.indrelid "
               "JOIN pg_namespace n ON n.oid = t.relnamespace "
               "CROSS JOIN LATERAL unnest(x.indkey::int2[]) WITH ORDINALITY AS k(num, orden) "
               "JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = k.num "
               "WHERE n.nspname = current_schema() AND NOT (x.indisprimary AND x.indnatts = 1) "
               "ORDER BY i.relname, k.orden");
    if (ok) *ok = leida;
    if (!leida) return r;
    while (q.next()) {
        const QString nombre = NombrePropio(q.value(0).toString());
        if (r.isEmpty() || r.last().nombre != nombre)
            r.append({nombre, NombrePropio(q.value(1).toString()), {}});
        r.last().columnas << NombrePropio(q.value(2).toString());
    }
    return r;
}

QList<DisparadorBase> CatalogoPostgres::Disparadores(const QSqlDatabase& db, bool* ok) const {
    // The definition as the server writes it, with the table's schema left out as the program writes
    // it, and the body of the function the trigger runs; it fires in every session only when enabled
    // ALWAYS.
    QList<DisparadorBase> r;
    QSqlQuery q(db);
    const bool leida = q.exec(
        "SELECT t.tgname, c.relname, replace(pg_get_triggerdef(t.oid), ' ON ' || quote_ident(n.nspname) || '.', "
        "' ON ') || E'\\n' || p.prosrc, t.tgenabled = 'A' FROM pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid "
        "JOIN pg_namespace n ON n.oid = c.relnamespace JOIN pg_proc p ON p.oid = t.tgfoid "
        "WHERE NOT t.tgisinternal AND n.nspname = current_schema() ORDER BY t.tgname");
    if (ok) *ok = leida;
    while (leida && q.next())
        r.append({q.value(0).toString(), NombrePropio(q.value(1).toString()), q.value(2).toString(),
                  q.value(3).toBool()});
    return r;
}

QList<RelacionBase> CatalogoPostgres::Relaciones(const QSqlDatabase& db, bool* ok) const {
    QList<RelacionBase> r;
    QSqlQuery q(db);
    const bool leida =
        q.exec("SELECT t.relname, c.oid, f.relname, a.attname, b.attname FROM pg_constraint c "
               "JOIN pg_class t ON t.oid = c.conrelid JOIN pg_class f ON f.oid = c.confrelid "
               "JOIN pg_namespace n ON n.oid = t.relnamespace "
               "CROSS JOIN LATERAL unnest(c.conkey, c.confkey) WITH ORDINALITY AS k(de, a, orden) "
               "JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = k.de "
               "JOIN pg_attribute b ON b.attrelid = f.oid AND b.attnum = k.a "
               "WHERE c.contype = 'f' AND n.nspname = current_schema() ORDER BY t.relname, c.oid, k.orden");
    if (ok) *ok = leida;
    if (!leida) return r;
    QString tabla;
    qint64 id = -1;
    while (q.next()) {
        if (r.isEmpty() || q.value(0).toString() != tabla || q.value(1).toLongLong() != id) {
            tabla = q.value(0).toString();
            id = q.value(1).toLongLong();
            r.append({NombrePropio(tabla), NombrePropio(q.value(2).toString()), {}, {}});
        }
        r.last().columnas << NombrePropio(q.value(3).toString());
        r.last().columnasReferidas << NombrePropio(q.value(4).toString());
    }
    return r;
}

int CatalogoPostgres::VersionEsquema(const QSqlDatabase& db) const {
    const Marca m = LeoMarca(db);
    return m.leida ? m.version : -1;
}

bool CatalogoPostgres::FijoVersionEsquema(QSqlDatabase& db, int version) const {
    Marca m = LeoMarca(db);
    m.version = version;
    return m.leida && FijoMarca(db, m);
}

qint64 CatalogoPostgres::IdAplicacion(const QSqlDatabase& db) const {
    const Marca m = LeoMarca(db);
    return m.leida ? m.id : -1;
}

bool CatalogoPostgres::FijoIdAplicacion(QSqlDatabase& db, qint64 id) const {
    Marca m = LeoMarca(db);
    m.id = id;
    return m.leida && FijoMarca(db, m);
}

QStringList CatalogoPostgres::PlanConsulta(const QSqlDatabase& db, const QString& sql,
                                           const QVariantList& parametros) const {
    // The server prepares no EXPLAIN: the statement is prepared as the driver prepares it (each "?"
    // outside quotes a numbered parameter) and its execution with the values, written as the driver
    // writes them, is explained.
    QString cuerpo;
    int numero = 0;
    bool comillas = false;
    for (const QChar c : sql) {
        if (c == u'\'') comillas = !comillas;
        if (c == u'?' && !comillas)
            cuerpo += "$" + QString::number(++numero);
        else
            cuerpo += c;
    }
    QStringList valores;
    for (const QVariant& v : parametros) {
        QSqlField campo(QString(), v.metaType());
        campo.setValue(v);
        valores << db.driver()->formatValue(campo);
    }
    QStringList pasos;
    QSqlQuery q(db);
    if (!q.exec("PREPARE partidex_plan AS " + cuerpo)) return pasos;
    if (q.exec("EXPLAIN EXECUTE partidex_plan" +
               (valores.isEmpty() ? QString() : "(" + valores.join(", ") + ")")))
        while (q.next())
            pasos << q.value(0).toString().trimmed();
    QSqlQuery(db).exec("DEALLOCATE partidex_plan");
    return pasos;
}

qint64 CatalogoPostgres::VersionDatos(const QSqlDatabase& db) const {
    // The server's snapshot (oldest running transaction, next one, those in progress) changes with
    // every transaction that writes and ends, here or on another workstation.
    QSqlQuery q(db);
    if (!q.exec("SELECT pg_current_snapshot()::text") || !q.next()) return -1;
    return qint64(qHash(q.value(0).toString()) & 0x7fffffffffffffffULL);
}

// --- Storage

QString AlmacenPostgres::DireccionDeAjustes(const LectorAjustes& lee) {
    ServidorPostgres s;
    s.servidor = lee("Servidor", QString());
    s.puerto = lee("Puerto", "5432").toInt();
    s.base = lee("Base", "partidex");
    s.usuario = lee("Usuario", QString());
    contrasenaAjustes = lee("Contrasena", QString());
    // Encrypted by default: the server's identity proved by a root certificate when one is known
    // (the key, or libpq's own ~/.postgresql/root.crt), else encryption alone. SSL names any of
    // libpq's modes instead (disable for a server without encryption, at one's own risk).
    certificadoRaiz = lee("CertificadoRaiz", QString()).trimmed();
    const bool conRaiz = !certificadoRaiz.isEmpty() ||
                         QFileInfo::exists(QDir::home().filePath(".postgresql/root.crt"));
    static const QStringList modos = {"disable", "allow", "prefer", "require", "verify-ca", "verify-full"};
    const QString modo = lee("SSL", QString()).trimmed().toLower();
    modoSsl = modos.contains(modo) ? modo : conRaiz ? QStringLiteral("verify-full") : QStringLiteral("require");
    return DireccionPostgres(s);
}

QString AlmacenPostgres::Version() const {
    QSqlQuery q(Conexion());
    if (Conexion().isOpen() && q.exec("SHOW server_version") && q.next())
        return "PostgreSQL " + q.value(0).toString();
    return QStringLiteral("PostgreSQL");
}

AlmacenMotor::Ocupacion AlmacenPostgres::Ocupa(const QString&, const QSqlDatabase& conexion) const {
    // A database on a server has no file here: the server tells its size.
    Ocupacion o;
    QSqlQuery q(conexion);
    if (conexion.isOpen() && q.exec("SELECT pg_database_size(current_database())") && q.next()) {
        o.estado = Ocupacion::Estado::Conocida;
        o.bytes = q.value(0).toLongLong();
    }
    return o;
}

QSqlDatabase AlmacenPostgres::Agrego(const QString& nombre, const QString& ruta, bool soloLectura) const {
    const ServidorPostgres s = ServidorDe(ruta);
    QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", nombre);
    db.setHostName(s.servidor);
    db.setPort(s.puerto);
    db.setDatabaseName(s.base);
    const Credenciales c = CredencialesDe(s);
    db.setUserName(c.usuario);
    if (!c.contrasena.isEmpty()) db.setPassword(c.contrasena);
    QString opciones = QString("application_name='%1';connect_timeout=10").arg(NombreAuxiliar);
    // A Unix socket on the same machine is never encrypted: libpq leaves sslmode aside there.
    opciones += ";sslmode=" + modoSsl;
    if (!certificadoRaiz.isEmpty()) opciones += ";sslrootcert=" + ValorConexion(certificadoRaiz);
    if (soloLectura) opciones += ";options='-c default_transaction_read_only=on'";
    db.setConnectOptions(opciones);
    return db;
}

// How long a writer waits for another before it gives up.
const char* const EsperaBloqueo = "SET lock_timeout = '20s'";

bool AlmacenPostgres::Configuro(QSqlDatabase& db, QString* error) const {
    // The program's upper-case functions before the built-in one; a writer that waits too long for
    // another gives up with a message instead of hanging. No just-in-time compilation: the reports'
    // statements cost enough to trigger it, and compiling them takes longer than it saves (the
    // year's trial balance on a 700,000-line book: 475 ms with it, 270 ms without).
    return Ejecuto(db, "SET search_path TO public, pg_catalog", error) &&
           Ejecuto(db, EsperaBloqueo, error) &&
           Ejecuto(db, "SET client_min_messages = error", error) && Ejecuto(db, "SET jit = off", error);
}

bool AlmacenPostgres::Compartida(QSqlDatabase&, bool, QString*) const {
    return true;
}

bool AlmacenPostgres::ClavesForaneas(QSqlDatabase& db, bool activas) const {
    // Relations are triggers on the server; replica mode leaves them unfired (a superuser's right).
    return Ejecuto(db, activas ? "SET session_replication_role = origin"
                               : "SET session_replication_role = replica");
}

void AlmacenPostgres::Optimizo(QSqlDatabase&) const {
    // The server's own autovacuum keeps the statistics.
}

QStringList AlmacenPostgres::RenuevoEstadisticas(QSqlDatabase& db, qint64 filas) const {
    // The server's autovacuum gathers them as tables change; where it is off, or has not come round
    // yet since a load, the tables never gathered or changed by more than half since. The server
    // gathers from a sample of fixed size, so the rows of a table weigh little in the time it takes.
    QStringList renovadas;
    QSqlQuery q(db);
    if (!q.exec("SELECT relname, n_live_tup FROM pg_stat_user_tables WHERE schemaname = current_schema() AND "
                "n_live_tup + n_dead_tup >= 1000 AND (COALESCE(last_analyze, last_autoanalyze) IS NULL OR "
                "2 * n_mod_since_analyze > n_live_tup)"))
        return renovadas;
    QStringList viejas;
    qint64 total = 0;
    while (q.next()) {
        viejas << q.value(0).toString();
        total += q.value(1).toLongLong();
    }
    q.finish();
    if (viejas.isEmpty() || total > 30 * filas) return renovadas;
    // Never waiting for a lock another workstation holds.
    Ejecuto(db, "SET lock_timeout = 1");
    for (const QString& t : viejas)
        if (Ejecuto(db, "ANALYZE " + db.driver()->escapeIdentifier(t, QSqlDriver::TableName))) renovadas << t;
    Ejecuto(db, EsperaBloqueo);
    return renovadas;
}

AlmacenMotor::Cabecera AlmacenPostgres::LeoCabecera(const QString&) const {
    return {};
}

QStringList AlmacenPostgres::Companeros(bool) const {
    return {};
}

bool AlmacenPostgres::Integridad(QSqlDatabase& db, bool completa, QString* detalle, Progreso*) const {
    // The server checks its pages as it reads them: reading every table through is the full check.
    bool ok = false;
    const QStringList tablas = completa ? CatalogoPostgres().Tablas(db, &ok) : QStringList();
    if (completa && !ok) {
        *detalle = TextoError(db.lastError());
        return false;
    }
    for (const QString& t : tablas) {
        QSqlQuery q(db);
        if (!q.exec("SELECT count(*) FROM " +
                    db.driver()->escapeIdentifier(t.toLower(), QSqlDriver::TableName))) {
            *detalle = TextoError(q.lastError());
            return false;
        }
    }
    QSqlQuery q(db);
    if (!q.exec("SELECT 1")) {
        *detalle = TextoError(q.lastError());
        return false;
    }
    return true;
}

bool AlmacenPostgres::CompactoEn(QSqlDatabase&, const QString&, QString* error, Progreso*) const {
    if (error) *error = "una base de datos en un servidor no se compacta en un archivo";
    return false;
}

bool AlmacenPostgres::CopioBase(QSqlDatabase&, QSqlDatabase&, QString* error, Progreso*) const {
    if (error) *error = "una base de datos en un servidor no se copia en otra";
    return false;
}

bool AlmacenPostgres::RespaldoEn(const QString& ruta, const QString& archivo, QString* error) const {
    // One snapshot of the whole database: other workstations may go on working meanwhile.
    // Written readable by its owner alone; an administrator's workstation reads every row (the
    // policies of the entries and the users let it), so the row security stays on.
    if (!CreoArchivoPrivado(archivo, false, error)) return false;
    return Cliente("pg_dump", {"--format=custom", "--no-owner", "--enable-row-security", "--file", archivo},
                   ruta, error);
}

bool AlmacenPostgres::RespaldoLegible(const QString& archivo, QString* detalle) const {
    if (!QFileInfo(archivo).isFile()) {
        *detalle = "no existe el archivo " + QDir::toNativeSeparators(archivo);
        return false;
    }
    return Cliente("pg_restore", {"--list", archivo}, QString(), detalle);
}

bool AlmacenPostgres::RestauroDe(const QString& archivo, const QString& ruta, QString* error) const {
    // In one transaction: a restore that fails half way leaves the books as they were.
    if (!Cliente("pg_restore",
                 {"--clean", "--if-exists", "--no-owner", "--single-transaction", "--exit-on-error", archivo},
                 ruta, error))
        return false;
    // The restored tables are the restorer's, the books' owner: the grants, rules and logins of a
    // backup made before them, or elsewhere, made as this program makes them.
    const QString nombre = "permisos-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db = Agrego(nombre, ruta, false);
        ok = db.open() && Configuro(db, error) && Ejecuto(db, "BEGIN", error) && PreparoPermisos(db, error) &&
             Ejecuto(db, "COMMIT", error);
        if (!ok && error) {
            if (error->isEmpty()) *error = TextoError(db.lastError());
            *error = "se recuperaron los datos pero no sus permisos en el servidor: " + *error;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(nombre);
    return ok;
}

bool AlmacenPostgres::ExaminoRespaldo(const QString& archivo, const QString& ruta,
                                      const std::function<void(const QSqlDatabase&)>& examino,
                                      QString* error) const {
    ServidorPostgres s = ServidorDe(ruta);
    // A name of letters and digits only: nothing from outside reaches the statements.
    const QString examen = "partidex_examen_" + QUuid::createUuid().toString(QUuid::Id128).left(12);
    const QString nombre = "examen-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db = Agrego(nombre, ruta, false);
        if (!db.open()) {
            if (error) *error = TextoError(db.lastError());
        } else {
            ok = Ejecuto(db, "CREATE DATABASE " + examen + " TEMPLATE template0 ENCODING 'UTF8' LOCALE 'C'",
                         error);
            if (ok) {
                ServidorPostgres e = s;
                e.base = examen;
                const QString direccion = DireccionPostgres(e);
                // Tables and rows only: the relations and indexes come after, and a backup that breaks
                // a relation would stop there without saying what else is wrong.
                ok = Cliente("pg_restore",
                             {"--no-owner", "--single-transaction", "--exit-on-error", "--section=pre-data",
                              "--section=data", archivo},
                             direccion, error);
                // Then its triggers, which keep the monthly sums: the examination says whether they are
                // those the program makes.
                QByteArray indice;
                if (ok) ok = Cliente("pg_restore", {"--list", archivo}, QString(), error, &indice);
                QTemporaryFile lista;
                if (ok) {
                    QByteArray disparadores;
                    for (const QByteArray& linea : indice.split('\n'))
                        if (!linea.startsWith(';') && linea.contains(" TRIGGER ")) disparadores += linea + '\n';
                    ok = lista.open() && lista.write(disparadores) == disparadores.size() && lista.flush();
                    if (!ok && error) *error = "no se pudo escribir " + lista.fileName();
                }
                if (ok)
                    ok = Cliente("pg_restore",
                                 {"--no-owner", "--single-transaction", "--exit-on-error", "--use-list",
                                  lista.fileName(), archivo},
                                 direccion, error);
                const QString conexion = nombre + "-copia";
                if (ok) {
                    QSqlDatabase copia = Agrego(conexion, direccion, true);
                    ok = copia.open() && Configuro(copia, error);
                    if (!ok && error && error->isEmpty()) *error = TextoError(copia.lastError());
                    if (ok) examino(copia);
                    copia.close();
                }
                QSqlDatabase::removeDatabase(conexion);
                Ejecuto(db, "DROP DATABASE IF EXISTS " + examen + " WITH (FORCE)");
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(nombre);
    return ok;
}

bool AlmacenPostgres::CompactoEnSitio(QSqlDatabase& db, QString* error) const {
    return Ejecuto(db, "VACUUM ANALYZE", error);
}

bool AlmacenPostgres::MarcoEnUso(const QString&, QString* error) {
    QSqlDatabase db = Conexion();
    // Shared among workstations, for as long as the connection lives; refused only while a restore
    // or a compaction holds the book alone. The name that marks a running program goes on once the
    // lock is held, so that a restore never counts a workstation still waiting for it.
    QElapsedTimer espera;
    espera.start();
    for (;;) {
        QSqlQuery q(db);
        if (!q.exec(QString("SELECT pg_try_advisory_lock_shared(%1)").arg(LlaveUso)) || !q.next()) {
            if (error) *error = TextoError(q.lastError());
            return false;
        }
        if (q.value(0).toBool()) break;
        if (espera.elapsed() >= EsperaMantenimiento) {
            if (error) *error = QString::fromUtf8(EnMantenimientoTexto);
            return false;
        }
        QThread::msleep(50);
    }
    // A restore drops the tables and makes them anew: a connection opened again on a book restored
    // meanwhile would go on numbering over it as if nothing had happened.
    QSqlQuery q(db);
    const qint64 identidad =
        q.exec("SELECT COALESCE(CAST(CAST(to_regclass('asientos') AS oid) AS bigint), 0)") && q.next()
            ? q.value(0).toLongLong()
            : 0;
    q.finish();
    if (identidadLibro != 0 && identidad != identidadLibro) {
        if (error)
            *error = "la base de datos fue recuperada de la copia de seguridad mientras este programa estaba "
                     "conectado; salga del programa e ingrese nuevamente";
        return false;
    }
    identidadLibro = identidad;
    return Ejecuto(db, QString("SET application_name = '%1'").arg(NombreEnUso), error);
}

void AlmacenPostgres::LiberoUso() {
    // The server lets go of the lock with the connection.
    identidadLibro = 0;
}

bool AlmacenPostgres::EnUso(const QString& ruta) const {
    const QString nombre = "en-uso-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool usada = false;
    {
        QSqlDatabase db = Agrego(nombre, ruta, true);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QString("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() AND "
                               "application_name = '%1' AND pid <> pg_backend_pid()")
                           .arg(NombreEnUso)) &&
                q.next())
                usada = q.value(0).toInt() > 0;
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(nombre);
    return usada;
}

bool AlmacenPostgres::EnMantenimiento(const QString& ruta) const {
    const QString nombre = "mantenimiento-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool tomada = false;
    {
        QSqlDatabase db = Agrego(nombre, ruta, true);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QString("SELECT pg_try_advisory_lock_shared(%1)").arg(LlaveUso)) && q.next())
                tomada = !q.value(0).toBool();
            q.finish();
            db.close(); // and with it the lock, when it was taken
        }
    }
    QSqlDatabase::removeDatabase(nombre);
    return tomada;
}

bool AlmacenPostgres::TomoExclusivo(const QString& ruta, QString* error) {
    LiberoExclusivo();
    if (error) error->clear();
    const QString nombre = "exclusivo-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db = Agrego(nombre, ruta, false);
        if (!db.open()) {
            if (error) *error = TextoError(db.lastError());
        } else {
            // Every running workstation holds the lock shared; a program of an older version that
            // does not is still seen by its name.
            QSqlQuery q(db);
            ok = q.exec(QString("SELECT pg_try_advisory_lock(%1)").arg(LlaveUso)) && q.next() &&
                 q.value(0).toBool();
            if (!ok && q.lastError().type() != QSqlError::NoError && error)
                *error = TextoError(q.lastError());
            ok =
                ok &&
                q.exec(QString("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() AND "
                               "application_name = '%1' AND pid <> pg_backend_pid()")
                           .arg(NombreEnUso)) &&
                q.next() && q.value(0).toInt() == 0;
            q.finish();
            if (!ok) db.close();
        }
    }
    if (ok)
        conexionExclusiva = nombre;
    else
        QSqlDatabase::removeDatabase(nombre);
    return ok;
}

void AlmacenPostgres::LiberoExclusivo() {
    if (conexionExclusiva.isEmpty()) return;
    {
        QSqlDatabase db = QSqlDatabase::database(conexionExclusiva, false);
        if (db.isOpen()) db.close(); // the server lets go of the lock with the connection
    }
    QSqlDatabase::removeDatabase(conexionExclusiva);
    conexionExclusiva.clear();
}

// --- Who may do what

namespace {

// Functions the server runs for the permissions, owned by the books' owner. Those that manage
// logins run with the owner's rights (who may create roles) and only for whom they are granted to;
// every name they make is the database's own, so no other role of the server can be reached.
const QStringList& FuncionesPermisos() {
    static const QStringList f = {
        "CREATE OR REPLACE FUNCTION partidex_rol(nombre text) RETURNS text LANGUAGE sql STABLE "
        "SET search_path = pg_catalog RETURN CASE WHEN octet_length(current_database() || '.' || lower(nombre "
        "COLLATE \"und-x-icu\")) <= 63 THEN current_database() || '.' || lower(nombre COLLATE \"und-x-icu\") "
        "ELSE left(current_database(), 30) || '.~' || left(md5(current_database() || '.' || lower(nombre COLLATE "
        "\"und-x-icu\")), 24) END",
        "CREATE OR REPLACE FUNCTION partidex_grupo(perfil integer) RETURNS text LANGUAGE sql STABLE "
        "SET search_path = pg_catalog RETURN current_database() || '_perfil_' || perfil",
        // Whether a year holds its closing entries; read with the owner's rights, so that the
        // policies that ask it need not read the table they guard.
        "CREATE OR REPLACE FUNCTION partidex_cerrado(empresa integer, ejercicio integer) RETURNS boolean "
        "LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog, public RETURN EXISTS (SELECT 1 "
        "FROM asientos WHERE empresapropia = empresa AND numejercicio = ejercicio AND especial IN (1, 2))",
        "CREATE OR REPLACE FUNCTION partidex_de_cierre(empresa integer, ejercicio integer, numero integer) "
        "RETURNS boolean LANGUAGE sql STABLE SECURITY DEFINER SET search_path = pg_catalog, public RETURN "
        "EXISTS (SELECT 1 FROM asientos WHERE empresapropia = empresa AND numejercicio = ejercicio AND "
        "asiento = numero AND especial IN (1, 2))",
        "CREATE OR REPLACE FUNCTION partidex_cuenta(_anterior text, _nombre text, _perfil integer, "
        "_contrasena text, _activo boolean) RETURNS void LANGUAGE plpgsql SECURITY DEFINER "
        "SET search_path = pg_catalog, public AS $f$\n"
        "DECLARE rol text := partidex_rol(_nombre); viejo text := partidex_rol(coalesce(_anterior, _nombre)); "
        "p integer;\n"
        "BEGIN\n"
        "  IF viejo <> rol AND EXISTS (SELECT 1 FROM pg_roles WHERE rolname = viejo) THEN\n"
        "    EXECUTE format('ALTER ROLE %I RENAME TO %I', viejo, rol);\n"
        "  END IF;\n"
        "  IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = rol) THEN\n"
        "    EXECUTE format('CREATE ROLE %I NOLOGIN', rol);\n"
        "  END IF;\n"
        "  EXECUTE format('ALTER ROLE %I %s', rol, CASE WHEN _activo THEN 'LOGIN' ELSE 'NOLOGIN' END);\n"
        "  IF _contrasena IS NOT NULL THEN\n"
        "    EXECUTE format('ALTER ROLE %I PASSWORD %L', rol, _contrasena);\n"
        "  END IF;\n"
        "  FOR p IN SELECT perfiles.perfil FROM perfiles LOOP\n"
        "    CONTINUE WHEN NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = partidex_grupo(p));\n"
        "    IF p = _perfil THEN\n"
        "      EXECUTE format('GRANT %I TO %I', partidex_grupo(p), rol);\n"
        "    ELSIF pg_has_role(rol, partidex_grupo(p), 'MEMBER') THEN\n"
        "      EXECUTE format('REVOKE %I FROM %I', partidex_grupo(p), rol);\n"
        "    END IF;\n"
        "  END LOOP;\n"
        "END $f$",
        "CREATE OR REPLACE FUNCTION partidex_borro_cuenta(_nombre text) RETURNS void LANGUAGE plpgsql "
        "SECURITY DEFINER SET search_path = pg_catalog, public AS $f$\n"
        "BEGIN EXECUTE format('DROP ROLE IF EXISTS %I', partidex_rol(_nombre)); END $f$",
        // The user himself, an administrator or the owner.
        "CREATE OR REPLACE FUNCTION partidex_clave(_nombre text, _contrasena text) RETURNS void "
        "LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $f$\n"
        "BEGIN\n"
        "  IF partidex_rol(_nombre) <> session_user AND NOT pg_has_role(session_user, current_user, 'MEMBER') "
        "AND NOT pg_has_role(session_user, partidex_grupo(" +
            QString::number(Esquema::PerfilAdministrador) +
            "), 'MEMBER') THEN\n"
            "    RAISE EXCEPTION 'permission denied: solo el propio usuario o un administrador cambian su "
            "contraseña';\n"
            "  END IF;\n"
            "  IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = partidex_rol(_nombre)) THEN\n"
            "    EXECUTE format('ALTER ROLE %I PASSWORD %L', partidex_rol(_nombre), _contrasena);\n"
            "  END IF;\n"
            "END $f$",
    };
    return f;
}

// Row rules for the roles that do not own the tables: a closed year's entries and lines are neither
// added, changed nor deleted, except that its closing entries are added (the closing writes them)
// and deleted (which reopens the year); a user changes only his own row, unless an administrator.
QStringList PoliticasFilas(const QString& grupoAdministrador) {
    const QString abierto = "(NOT partidex_cerrado(empresapropia, numejercicio))";
    const QString cierreOAbierto = "(COALESCE(especial IN (1, 2), false) OR " + abierto + ")";
    const QString lineaDeCierreOAbierta =
        "(partidex_de_cierre(empresapropia, numejercicio, asiento) OR " + abierto + ")";
    QStringList p;
    const struct {
        const char* tabla;
        QString altaYBaja;
        QString cambio;
    } guardadas[] = {{"asientos", cierreOAbierto, abierto}, {"detasientos", lineaDeCierreOAbierta, abierto}};
    for (const auto& g : guardadas) {
        const QString t = QString::fromLatin1(g.tabla);
        p << "ALTER TABLE " + t + " ENABLE ROW LEVEL SECURITY";
        for (const char* n : {"partidex_lectura", "partidex_alta", "partidex_cambio", "partidex_baja"})
            p << QString("DROP POLICY IF EXISTS %1 ON %2").arg(QLatin1String(n), t);
        p << "CREATE POLICY partidex_lectura ON " + t + " FOR SELECT USING (true)"
          << "CREATE POLICY partidex_alta ON " + t + " FOR INSERT WITH CHECK " + g.altaYBaja
          << "CREATE POLICY partidex_cambio ON " + t + " FOR UPDATE USING " + g.cambio + " WITH CHECK " +
                 g.cambio
          << "CREATE POLICY partidex_baja ON " + t + " FOR DELETE USING " + g.altaYBaja;
    }
    p << "ALTER TABLE usuarios ENABLE ROW LEVEL SECURITY";
    for (const char* n : {"partidex_lectura", "partidex_administracion", "partidex_propia"})
        p << QString("DROP POLICY IF EXISTS %1 ON usuarios").arg(QLatin1String(n));
    p << "CREATE POLICY partidex_lectura ON usuarios FOR SELECT USING (true)"
      << "CREATE POLICY partidex_administracion ON usuarios TO " + Identificador(grupoAdministrador) +
             " USING (true) WITH CHECK (true)"
      << "CREATE POLICY partidex_propia ON usuarios FOR UPDATE USING (partidex_rol(nombrecorto) = "
         "current_user) WITH CHECK (partidex_rol(nombrecorto) = current_user)";
    return p;
}

// What a level lets a profile do on a module's tables.
QStringList Privilegios(int nivel) {
    if (nivel == 0 || nivel == 2) return {};
    if (nivel == 3) return {"INSERT", "UPDATE"};
    return {"INSERT", "UPDATE", "DELETE"};
}

bool Todas(QSqlDatabase& db, const QStringList& sentencias, QString* error) {
    for (const QString& s : sentencias)
        if (!Ejecuto(db, s, error)) {
            if (error) *error += " [" + s.left(60) + "]";
            return false;
        }
    return true;
}

} // namespace

bool AlmacenPostgres::PreparoPermisos(QSqlDatabase& db, QString* error) const {
    QSqlQuery q(db);
    if (!q.exec("SELECT current_database()") || !q.next()) {
        if (error) *error = TextoError(q.lastError());
        return false;
    }
    const QString base = q.value(0).toString();
    auto grupo = [&](int perfil) { return base + "_perfil_" + QString::number(perfil); };
    if (!Todas(db, FuncionesPermisos(), error)) return false;

    QList<int> perfiles;
    if (!q.exec("SELECT Perfil FROM Perfiles ORDER BY Perfil")) {
        if (error) *error = TextoError(q.lastError());
        return false;
    }
    while (q.next())
        perfiles << q.value(0).toInt();
    // The levels of each profile by module; a module without a row is level 0.
    QHash<int, QHash<QString, int>> niveles;
    if (!q.exec("SELECT Permisos.Perfil, Modulos.nomModulo, Permisos.TipoHabilitacion FROM Permisos "
                "INNER JOIN Modulos ON Modulos.Modulo = Permisos.Modulo")) {
        if (error) *error = TextoError(q.lastError());
        return false;
    }
    while (q.next())
        niveles[q.value(0).toInt()][q.value(1).toString()] = q.value(2).toInt();
    q.finish();

    // A book of an older version (restored, before its upgrade) lacks the tables added since.
    const QStringList tablas = CatalogoPostgres().Tablas(db);
    const QString bd = Identificador(base);
    QStringList s = {"REVOKE ALL ON DATABASE " + bd + " FROM PUBLIC", "REVOKE CREATE ON SCHEMA public FROM PUBLIC"};
    for (const int perfil : perfiles) {
        const QString g = Identificador(grupo(perfil));
        QSqlQuery existe(db);
        existe.prepare("SELECT 1 FROM pg_roles WHERE rolname = ?");
        existe.addBindValue(grupo(perfil));
        if (!existe.exec()) {
            if (error) *error = TextoError(existe.lastError());
            return false;
        }
        if (!existe.next()) s << "CREATE ROLE " + g + " NOLOGIN";
        s << "GRANT CONNECT, TEMPORARY ON DATABASE " + bd + " TO " + g << "GRANT USAGE ON SCHEMA public TO " + g
          << "REVOKE ALL ON ALL TABLES IN SCHEMA public FROM " + g
          << "GRANT SELECT ON ALL TABLES IN SCHEMA public TO " + g;
        // Each table takes the widest of what the modules that write it allow.
        QMap<QString, QSet<QString>> escritura;
        for (const Esquema::EscrituraModulo& m : Esquema::EscriturasDeModulos())
            for (const QString& p : Privilegios(niveles.value(perfil).value(m.modulo, 0)))
                for (const QString& t : m.tablas)
                    escritura[t].insert(p);
        for (const QString& t : Esquema::TablasDeTodos())
            escritura[t] = {"INSERT", "UPDATE", "DELETE"};
        for (const QString& t : Esquema::TablasSoloAlta())
            escritura[t] = {"INSERT"};
        for (const QString& t : Esquema::TablasDeAdministrador())
            escritura.remove(t);
        if (perfil == Esquema::PerfilAdministrador)
            for (const QString& t : Esquema::TablasDeAdministrador())
                escritura[t] = {"INSERT", "UPDATE", "DELETE"};
        else
            s << "GRANT UPDATE (Contrasena) ON usuarios TO " + g;
        for (auto it = escritura.cbegin(); it != escritura.cend(); ++it) {
            QStringList p(it.value().cbegin(), it.value().cend());
            if (p.isEmpty() || !tablas.contains(it.key())) continue;
            p.sort();
            s << "GRANT " + p.join(", ") + " ON " + it.key().toLower() + " TO " + g;
        }
        s << "GRANT EXECUTE ON FUNCTION partidex_clave(text, text) TO " + g;
    }
    const QString administradores = Identificador(grupo(Esquema::PerfilAdministrador));
    s << "REVOKE ALL ON FUNCTION partidex_cuenta(text, text, integer, text, boolean) FROM PUBLIC"
      << "REVOKE ALL ON FUNCTION partidex_borro_cuenta(text) FROM PUBLIC"
      << "REVOKE ALL ON FUNCTION partidex_clave(text, text) FROM PUBLIC";
    if (perfiles.contains(Esquema::PerfilAdministrador))
        s << "GRANT EXECUTE ON FUNCTION partidex_cuenta(text, text, integer, text, boolean) TO " + administradores
          << "GRANT EXECUTE ON FUNCTION partidex_borro_cuenta(text) TO " + administradores;
    s << PoliticasFilas(grupo(Esquema::PerfilAdministrador))
      // Every user's login, with the password he has when one is set (GraboCuenta, ClaveDeCuenta).
      << "SELECT partidex_cuenta(NULL, NombreCorto, Perfil, NULL, Activo <> 0) FROM Usuarios";
    return Todas(db, s, error);
}

namespace {
// A text bound for the server, without the NUL it cannot hold (as the row of Usuarios keeps it).
QVariant TextoLimpio(const QString& t) {
    return t.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(QString(t).remove(QChar(0)));
}
} // namespace

bool AlmacenPostgres::GraboCuenta(QSqlDatabase& db, const Cuenta& c, QString* error) const {
    QSqlQuery q(db);
    q.prepare("SELECT partidex_cuenta(?, ?, ?, ?, ?)");
    q.addBindValue(TextoLimpio(c.anterior));
    q.addBindValue(TextoLimpio(c.nombre));
    q.addBindValue(c.perfil > 0 ? QVariant(c.perfil) : QVariant(QMetaType::fromType<int>()));
    q.addBindValue(TextoLimpio(ClaveServidor(c.contrasena)));
    q.addBindValue(c.activo);
    if (q.exec()) return true;
    if (error) *error = TextoError(q.lastError());
    return false;
}

bool AlmacenPostgres::BorroCuenta(QSqlDatabase& db, const QString& nombre, QString* error) const {
    QSqlQuery q(db);
    q.prepare("SELECT partidex_borro_cuenta(?)");
    q.addBindValue(TextoLimpio(nombre));
    if (q.exec()) return true;
    if (error) *error = TextoError(q.lastError());
    return false;
}

bool AlmacenPostgres::ClaveDeCuenta(QSqlDatabase& db, const QString& nombre, const QString& contrasena,
                                    QString* error) const {
    QSqlQuery q(db);
    q.prepare("SELECT partidex_clave(?, ?)");
    q.addBindValue(TextoLimpio(nombre));
    q.addBindValue(TextoLimpio(ClaveServidor(contrasena)));
    if (q.exec()) return true;
    if (error) *error = TextoError(q.lastError());
    return false;
}

bool AlmacenPostgres::AccesoDelUsuario(const QString& ruta) const {
    return ServidorDe(ruta).usuario.isEmpty();
}

void AlmacenPostgres::AccedoComo(const QString& nombre, const QString& contrasena) {
    usuarioAcceso = nombre.trimmed();
    contrasenaAcceso = ClaveServidor(contrasena);
}
