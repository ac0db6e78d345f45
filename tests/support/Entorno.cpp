#include "tests/support/Entorno.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Contrasenas.h"
#include "core/Dialecto.h"
#include "core/DireccionPostgres.h"
#include "core/Ini.h"
#include "core/Motor.h"
#include "core/Valores.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QUuid>

namespace {

// The cluster named by PARTIDEX_PRUEBA_PG ("host=... port=... user=..."), when the suite runs on it.
ServidorPostgres ServidorDePrueba() {
    ServidorPostgres s;
    for (const QString& par : qEnvironmentVariable("PARTIDEX_PRUEBA_PG").split(' ', Qt::SkipEmptyParts)) {
        const QString clave = par.section('=', 0, 0), valor = par.section('=', 1);
        if (clave == "host") s.servidor = valor;
        if (clave == "port") s.puerto = valor.toInt();
        if (clave == "user") s.usuario = valor;
    }
    return s;
}

// A connection to the cluster's own database, for making and dropping the tests' databases.
QSqlDatabase Administracion() {
    const char* nombre = "prueba-administracion";
    if (!QSqlDatabase::contains(nombre)) {
        ServidorPostgres s = ServidorDePrueba();
        s.base = "postgres";
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", nombre);
        db.setHostName(s.servidor);
        db.setPort(s.puerto);
        db.setUserName(s.usuario);
        db.setDatabaseName(s.base);
        if (!db.open())
            qFatal("No se pudo conectar con el servidor de prueba: %s", qPrintable(db.lastError().text()));
    }
    return QSqlDatabase::database(nombre);
}

} // namespace

bool PruebaEnPostgres() {
    return !qEnvironmentVariableIsEmpty("PARTIDEX_PRUEBA_PG");
}

QString NuevaBasePostgres() {
    ServidorPostgres s = ServidorDePrueba();
    s.base = "prueba_" + QUuid::createUuid().toString(QUuid::Id128).left(16);
    // The byte order of texts, as the file engine compares them; Spanish order is asked for by name.
    QSqlQuery q(Administracion());
    if (!q.exec("CREATE DATABASE " + s.base + " TEMPLATE template0 ENCODING 'UTF8' LOCALE 'C'"))
        qFatal("No se pudo crear la base de prueba: %s", qPrintable(q.lastError().text()));
    return DireccionPostgres(s);
}

QString DisparadorQueFalla(const QString& nombre, const QString& tabla, const QString& condicion) {
    if (!PruebaEnPostgres())
        return "CREATE TRIGGER " + nombre + " BEFORE INSERT ON " + tabla + " WHEN " + condicion +
               " BEGIN SELECT RAISE(ABORT, 'falla provocada'); END";
    return "CREATE FUNCTION " + nombre + "() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN IF " + condicion +
           " THEN RAISE EXCEPTION 'falla provocada'; END IF; RETURN NEW; END$$; CREATE TRIGGER " + nombre +
           " BEFORE INSERT ON " + tabla + " FOR EACH ROW EXECUTE FUNCTION " + nombre + "()";
}

QString FechaMasDias(const QString& fecha, const QString& dias) {
    if (!PruebaEnPostgres()) return "date(" + fecha + ", '+' || (" + dias + ") || ' days')";
    return "(CAST(" + fecha + " AS DATE) + (" + dias + "))";
}

namespace {
bool AlgunPaso(const QStringList& pasos, const QString& patron) {
    // A server folds the program's names to lower case.
    const QRegularExpression r(patron, MotorActual().PorArchivo()
                                           ? QRegularExpression::NoPatternOption
                                           : QRegularExpression::CaseInsensitiveOption);
    for (const QString& p : pasos)
        if (r.match(p).hasMatch()) return true;
    return false;
}
} // namespace

bool PlanLeeEntera(const QStringList& pasos, const QString& tabla) {
    const QString t = QRegularExpression::escape(tabla);
    return AlgunPaso(pasos, MotorActual().PorArchivo() ? "\\bSCAN " + t + "\\b"
                                                       : "\\bSeq Scan on (\\w+ )?" + t + "\\b");
}

bool PlanUsaIndice(const QStringList& pasos, const QString& indice) {
    const QString i = QRegularExpression::escape(indice);
    return AlgunPaso(pasos, MotorActual().PorArchivo() ? "\\bINDEX " + i + "\\b"
                                                       : "\\b(Index Scan on|using) " + i + "\\b");
}

bool CortoConexion() {
    QSqlQuery q(Conexion());
    if (!q.exec("SELECT pg_backend_pid()") || !q.next()) return false;
    const int pid = q.value(0).toInt();
    q.finish();
    // Waits until the server process has ended.
    QSqlQuery a(Administracion());
    return a.exec(QString("SELECT pg_terminate_backend(%1, 10000)").arg(pid)) && a.next() &&
           a.value(0).toBool();
}

void BorroBasePostgres(const QString& direccion) {
    QSqlQuery q(Administracion());
    q.exec("DROP DATABASE IF EXISTS " + ServidorDe(direccion).base + " WITH (FORCE)");
}

Entorno::Entorno(bool abrirBase) {
    CierroBase();
    UsoCostoMinimoContrasenas(true);
    AppState& a = App();
    a.programFolder = carpeta.path();
    a.settingsFolder = carpeta.path();
    a.Reinicio();
    UsoFuncionesAccess(true);
    a.databasePath = Ruta("Partidex.MDB");
    a.globalIniPath = Ruta("Global Partidex.ini");
    a.backupPath = Ruta("Partidex.BAK");
    a.auxPath = Ruta("Partidex.AUX");
    if (PruebaEnPostgres()) {
        // The books on the test cluster, named in the settings as a workstation names them.
        a.databasePath = basePostgres = NuevaBasePostgres();
        const ServidorPostgres s = ServidorDe(basePostgres);
        EscriboLocal("Base de Datos", "Motor", "PostgreSQL");
        EscriboLocal("Base de Datos", "Servidor", s.servidor);
        EscriboLocal("Base de Datos", "Puerto", QString::number(s.puerto));
        EscriboLocal("Base de Datos", "Base", s.base);
        EscriboLocal("Base de Datos", "Usuario", s.usuario);
    }
    if (alPreparar) alPreparar();
    if (abrirBase) {
        QString error;
        if (!CreoBase(a.databasePath, &error) || !AbroBase(a.databasePath, &error))
            qFatal("No se pudo preparar la base de prueba: %s", qPrintable(error));
        a.currentUser = 1;
        a.loginAccepted = true;
    }
}

Entorno::~Entorno() {
    CierroBase();
    if (!basePostgres.isEmpty()) BorroBasePostgres(basePostgres);
    if (alTerminar) alTerminar();
}

QString Entorno::Ruta(const QString& nombre) const {
    return carpeta.filePath(nombre);
}
QString Entorno::RutaBase() const {
    return App().databasePath;
}

int Entorno::CreoEmpresaYEjercicio(int empresa, int ejercicio, QDate desde, QDate hasta) {
    Ejecuto(Dialecto::InsertoOIgnoro("EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (?, ?)"),
            {empresa, QString("Empresa de Prueba %1").arg(empresa)});
    Ejecuto("INSERT INTO Ejercicios (EmpresaPropia, NumEjercicio, ComienzoEjercicio, FinEjercicio) VALUES "
            "(?, ?, ?, ?)",
            {empresa, ejercicio, desde.toString(Qt::ISODate), hasta.toString(Qt::ISODate)});
    Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, CuentaPadre, "
            "NumHijo) "
            "VALUES (?, ?, 0, NULL, 'Plan de Cuentas', 0, 0)",
            {empresa, ejercicio});
    App().currentCompany = empresa;
    App().currentYear = ejercicio;
    return ejercicio;
}

void Entorno::CreoPlanChico(int empresa, int ejercicio) {
    struct Fila {
        int cuenta;
        const char* codInt;
        const char* desc;
        int padre, hijo, debito, resultado;
    };
    const Fila filas[] = {
        {1, "A", "ACTIVO", 0, 1, -1, 0},        {2, "CAJA", "CAJA", 1, 1, -1, 0},
        {3, "BCO", "BANCOS", 1, 2, -1, 0},      {4, "P", "PASIVO", 0, 2, 0, 0},
        {5, "PROV", "PROVEEDORES", 4, 1, 0, 0}, {6, "R", "RESULTADOS", 0, 3, 0, -1},
        {7, "VTAS", "VENTAS", 6, 1, 0, -1},     {8, "GTOS", "GASTOS", 6, 2, -1, -1},
    };
    for (const Fila& f : filas)
        Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, CuentaPadre, "
                "NumHijo, "
                "CondDebito, CuentaResultado, Ajustable) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0)",
                {empresa, ejercicio, f.cuenta, f.codInt, f.desc, f.padre, f.hijo, f.debito, f.resultado});
}

bool AgregoCuenta(int cuenta, int padre, int numHijo, const QString& descripcion, const QString& codInt) {
    return Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, "
                   "CuentaPadre, NumHijo) VALUES (1, 1, ?, ?, ?, ?, ?)",
                   {cuenta, codInt.isEmpty() ? QVariant() : QVariant(codInt),
                    descripcion.isEmpty() ? QString("C%1").arg(cuenta) : descripcion, padre, numHijo})
        .ok;
}

bool AgregoLinea(int cuenta, int empresa, int ejercicio) {
    const int n = int(NumeroOCero(ValorCampo("Asientos", "MAX(Asiento)", "EmpresaPropia=? AND NumEjercicio=?",
                                             {empresa, ejercicio}))) +
                  1;
    return Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) VALUES (?, ?, ?, "
                   "'2024-02-01')",
                   {empresa, ejercicio, n})
               .ok &&
           Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                   "VALUES (?, ?, ?, 1, ?, 10)",
                   {empresa, ejercicio, n, cuenta})
               .ok;
}

int Cuento(const QString& tabla, const QString& condicion, const QVariantList& parametros) {
    return int(NumeroOCero(ValorCampo(tabla, "COUNT(*)", condicion, parametros)));
}

QByteArray Huella(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

bool EscriboArchivo(const QString& ruta, const QByteArray& bytes) {
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool Entorno::CreoLibroConPeso(const QString& fecha) {
    for (int ejercicio = 1; ejercicio <= 4; ++ejercicio) {
        CreoEmpresaYEjercicio(1, ejercicio, QDate(2020 + ejercicio, 1, 1), QDate(2020 + ejercicio, 12, 31));
        CreoPlanChico(1, ejercicio);
    }
    return Ejecuto("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400) "
                   "INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) "
                   "SELECT 1, y.NumEjercicio, i, " +
                   fecha + " FROM n, Ejercicios AS y")
               .ok &&
           Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                   "SELECT EmpresaPropia, NumEjercicio, Asiento, d.k, 2 + (Asiento + d.k) % 7, 10.25 "
                   "FROM Asientos, (SELECT 1 AS k UNION ALL SELECT 2 UNION ALL SELECT 3) AS d")
               .ok &&
           Ejecuto("ANALYZE").ok;
}
