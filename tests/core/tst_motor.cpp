// The engine seam holds (engine-specific SQL and calls only in its files), logic stays apart from
// widgets, and the schema carries the indexes and relations the statements rely on.
#include "accounts/ArbolCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Motor.h"
#include "tests/support/Entorno.h"
#include "tst_core.h"

#include <QDirIterator>
#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTest>

namespace {

// Program and test sources under the source tree, as paths relative to it; build folders left out.
QStringList Fuentes() {
    const QDir raiz(QStringLiteral(PARTIDEX_FUENTES));
    QStringList r;
    QDirIterator it(raiz.path(), {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString rel = raiz.relativeFilePath(it.next());
        if (rel.startsWith("build") || rel.startsWith('.')) continue;
        r << rel;
    }
    return r;
}

QString Texto(const QString& relativa) {
    QFile f(QDir(QStringLiteral(PARTIDEX_FUENTES)).filePath(relativa));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The lines of the file that match, as "file:line: text".
QStringList Apariciones(const QString& relativa, const QRegularExpression& re) {
    QStringList r;
    const QStringList lineas = Texto(relativa).split('\n');
    for (int i = 0; i < lineas.size(); ++i)
        if (re.match(lineas[i]).hasMatch()) r << QString("%1:%2: %3").arg(relativa).arg(i + 1).arg(lineas[i]);
    return r;
}

} // namespace

void PruebaMotor::soloElMotorHablaSuDialecto_data() {
    QTest::addColumn<QString>("patron");
    QTest::addColumn<bool>("tambienPruebas");
    QTest::addColumn<QString>("motor"); // the engine's file that does say it
    const QString sqlite = "core/MotorSqlite.cpp", postgres = "core/MotorPostgres.cpp";
    QTest::newRow("LIMIT") << R"(\bLIMIT\b)" << true << sqlite;
    QTest::newRow("INSERT OR IGNORE") << R"(\bINSERT\s+OR\s+IGNORE\b)" << true << sqlite;
    QTest::newRow("rowid") << R"((?i)\browid\b)" << true << sqlite;
    QTest::newRow("catalogo del motor") << R"((?i)\bsqlite_(master|schema|temp_master)\b)" << true << sqlite;
    QTest::newRow("printf") << R"((?<![\w:])printf\s*\()" << true << sqlite;
    QTest::newRow("COLLATE") << R"(\bCOLLATE\b)" << true << sqlite;
    QTest::newRow("INDEXED BY") << R"(\bINDEXED\s+BY\b)" << true << sqlite;
    QTest::newRow("llamadas sqlite3") << R"(\bsqlite3_\w+\s*\(|<sqlite3\.h>)" << true << sqlite;
    QTest::newRow("llamadas libpq") << R"(\bPQ\w+\s*\(|<libpq-fe\.h>)" << true << "core/MotorPostgresLector.cpp";
    QTest::newRow("ON CONFLICT") << R"(\bON\s+CONFLICT\b)" << true << postgres;
    QTest::newRow("catalogo del servidor")
        << R"(\bpg_(class|namespace|index|constraint|stat_activity)\b)" << true << postgres;
    QTest::newRow("bloqueo del servidor") << R"(\bpg_advisory\w*)" << true << postgres;
    QTest::newRow("ctid") << R"((?i)\bctid\b)" << true << postgres;
    // Tests may set up a broken book with the engine's own switches; the program may not.
    QTest::newRow("PRAGMA") << R"(\bPRAGMA\b)" << false << sqlite;
    QTest::newRow("VACUUM") << R"(\bVACUUM\b)" << false << sqlite;
    QTest::newRow("BEGIN IMMEDIATE") << R"(\bBEGIN\s+IMMEDIATE\b)" << false << sqlite;
    QTest::newRow("replica") << R"(\bsession_replication_role\b)" << false << postgres;
    // Everybody else asks the registry for an engine by its address or its connection, and the engine's
    // parts what differs: no engine is named (nor its header included) outside the seam.
    QTest::newRow("motores por su nombre")
        << R"(\b(Motor|Dialecto|Catalogo|Almacen)(Sqlite|Postgres)\b)" << true << "core/Motor.cpp";
}

void PruebaMotor::soloElMotorHablaSuDialecto() {
    QFETCH(QString, patron);
    QFETCH(bool, tambienPruebas);
    QFETCH(QString, motor);
    const QRegularExpression re(patron);
    QVERIFY(re.isValid());
    // The seam's own files, and this test, which names what it looks for.
    const QStringList costura = {"core/Motor.h",          "core/Motor.cpp",        "core/MotorDialecto.h",
                                 "core/MotorCatalogo.h",  "core/MotorAlmacen.h",   "core/MotorSqlite.h",
                                 "core/MotorSqlite.cpp",  "core/MotorPostgres.h",  "core/MotorPostgres.cpp",
                                 "core/MotorPostgresLector.cpp", "tests/core/tst_motor.cpp"};
    const QStringList fuentes = Fuentes();
    QVERIFY2(fuentes.contains("core/Valores.cpp") && fuentes.contains("core/MotorSqlite.cpp"),
             "no se encontraron las fuentes del programa");
    QStringList halladas;
    for (const QString& f : fuentes) {
        if (costura.contains(f) || (!tambienPruebas && f.startsWith("tests/"))) continue;
        halladas << Apariciones(f, re);
    }
    QVERIFY2(halladas.isEmpty(), qPrintable("fuera del motor:\n" + halladas.join('\n')));
    // The seam itself does say it: the pattern is live.
    QVERIFY(!Apariciones(motor, re).isEmpty());
}

// The registry gives each address, settings name and connection its engine; an address no engine
// claims is a file path. The schema's neutral types come out in the engine's words.
void PruebaMotor::registroDeMotores_data() {
    QTest::addColumn<QString>("direccion");
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("tipos"); // "{entero} {texto} {fecha} {numero} {importe}" in its dialect
    const QString archivo = "INTEGER TEXT DATE NUMERIC NUMERIC";
    const QString servidor = "INTEGER TEXT DATE NUMERIC NUMERIC(15,2)";
    QTest::newRow("ruta") << "/datos/Partidex.MDB" << "SQLite" << archivo;
    QTest::newRow("ruta relativa") << "libros/Partidex.MDB" << "SQLite" << archivo;
    QTest::newRow("ruta vacía") << "" << "SQLite" << archivo;
    QTest::newRow("nombre como el esquema") << "postgresql-libros.db" << "SQLite" << archivo;
    QTest::newRow("postgresql://") << "postgresql://ana@servidor:5433/libros" << "PostgreSQL" << servidor;
    QTest::newRow("postgres:// por socket")
        << "postgres://:5432/libros?host=/run/postgresql" << "PostgreSQL" << servidor;
}

void PruebaMotor::registroDeMotores() {
    QFETCH(QString, direccion);
    QFETCH(QString, nombre);
    QFETCH(QString, tipos);
    const Motor& motor = MotorDeRuta(direccion);
    QCOMPARE(QString::fromLatin1(motor.nombre), nombre);
    QCOMPARE(&MotorLlamado(nombre.toUpper()), &motor);
    QCOMPARE(motor.dialecto.Ddl("{entero} {texto} {fecha} {numero} {importe}"), tipos);
    // The settings name no other engine, nor a connection not made: the file engine.
    QCOMPARE(&MotorLlamado("Oracle"), &MotorDeRuta("/datos/Partidex.MDB"));
    QCOMPARE(&MotorDe(QSqlDatabase()), &MotorDeRuta("/datos/Partidex.MDB"));
    {
        const QSqlDatabase db = QSqlDatabase::addDatabase(motor.controlador, "registro");
        QVERIFY(db.isValid());
        QCOMPARE(&MotorDe(db), &motor);
    }
    QSqlDatabase::removeDatabase("registro");
}

// Entries and their history are written in one place, so that no path skips the closed-year rule or
// the history record.
void PruebaMotor::unSoloEscritorDeAsientos() {
    const QRegularExpression re(R"((?i)\b(INSERT\s+INTO|UPDATE|DELETE\s+FROM)\s+(Asientos|DetAsientos|HistorialAsientos)\b)");
    const QStringList escritor = {"journal/Escritura.cpp", "journal/Historial.cpp"};
    QStringList halladas;
    for (const QString& f : Fuentes())
        if (!escritor.contains(f) && !f.startsWith("tests/") && !f.startsWith("bench/"))
            halladas << Apariciones(f, re);
    QVERIFY2(halladas.isEmpty(), qPrintable("fuera del escritor de asientos:\n" + halladas.join('\n')));
    QVERIFY(!Apariciones(escritor[0], re).isEmpty() && !Apariciones(escritor[1], re).isEmpty());
}

void PruebaMotor::logicaSinEstadoGlobal() {
    // Logic takes its context as a value; the application state is filled by the settings and read by
    // the screens and the programs, which make the context.
    const QRegularExpression re(R"(\bApp\(\)|\bContextoActual\(|#\s*include\s*"core/AppState\.h")");
    const QStringList estado = {"core/AppState.cpp", "core/AppState.h", "core/Configuracion.cpp"};
    QStringList halladas;
    for (const QString& f : Fuentes()) {
        const QStringList partes = f.split('/');
        if (partes.contains("ui") || partes.contains("bench") || partes.contains("cli") || f.startsWith("app/") ||
            f.startsWith("tests/") || f.startsWith("fuzz/") || estado.contains(f))
            continue;
        halladas << Apariciones(f, re);
    }
    QVERIFY2(halladas.isEmpty(), qPrintable("lógica que lee el estado global:\n" + halladas.join('\n')));
    QVERIFY(!Apariciones("reports/ui/PantallaReporte.cpp", re).isEmpty());
}

void PruebaMotor::logicaSinPantallas() {
    // Headers of the widget and printing modules, as the installed Qt has them.
    const QString cabeceras = QLibraryInfo::path(QLibraryInfo::HeadersPath);
    QSet<QString> prohibidas;
    for (const char* modulo : {"QtWidgets", "QtPrintSupport"}) {
        const QDir d(cabeceras + "/" + modulo);
        QVERIFY2(d.exists(), qPrintable(d.path()));
        for (const QString& h : d.entryList(QDir::Files))
            prohibidas << h << QString(modulo) + "/" + h;
    }
    QVERIFY(prohibidas.contains("QWidget") && prohibidas.contains("QPrinter"));
    const QRegularExpression inclusion(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])");
    QStringList halladas;
    int logicas = 0;
    for (const QString& f : Fuentes()) {
        const QStringList partes = f.split('/');
        if (partes.contains("ui") || partes.contains("bench") || f.startsWith("app/") ||
            f.startsWith("tests/"))
            continue;
        ++logicas;
        const QStringList lineas = Texto(f).split('\n');
        for (int i = 0; i < lineas.size(); ++i) {
            const auto m = inclusion.match(lineas[i]);
            if (m.hasMatch() && prohibidas.contains(m.captured(1)))
                halladas << QString("%1:%2").arg(f).arg(i + 1);
        }
    }
    QVERIFY(logicas > 20);
    QVERIFY2(halladas.isEmpty(), qPrintable("lógica con pantallas:\n" + halladas.join('\n')));
}

// Screens ask the logic for rows: no screen header names a query or a connection, and no screen
// writes a statement of its own.
void PruebaMotor::pantallasSinSentencias_data() {
    QTest::addColumn<QString>("patron");
    QTest::addColumn<bool>("soloCabeceras");
    QTest::newRow("tipos de consulta") << R"(\bQSql(Query|Database|Record)\b)" << true;
    QTest::newRow("sentencias") << R"("[^"]*\b(SELECT|INSERT\s+INTO|DELETE\s+FROM|UPDATE\s+\w+\s+SET)\b)" << false;
}

void PruebaMotor::pantallasSinSentencias() {
    QFETCH(QString, patron);
    QFETCH(bool, soloCabeceras);
    const QRegularExpression re(patron);
    QVERIFY(re.isValid());
    QStringList halladas;
    int pantallas = 0;
    for (const QString& f : Fuentes()) {
        if (f.startsWith("tests/") || !f.split('/').contains("ui") || (soloCabeceras && !f.endsWith(".h")))
            continue;
        ++pantallas;
        halladas << Apariciones(f, re);
    }
    QVERIFY(pantallas > 20);
    QVERIFY2(halladas.isEmpty(), qPrintable("en pantallas:\n" + halladas.join('\n')));
    // The pattern is live: the logic does say it.
    QVERIFY(!Apariciones(soloCabeceras ? "core/Basedatos.h" : "fiscal/Ejercicios.cpp", re).isEmpty());
}

// Each index and relation the statements rely on, written out: table(columns) and
// table(columns)>referred table(columns).
void PruebaMotor::esquemaConSusIndicesYRelaciones() {
    const QStringList indices = {
        "idxCuentasPadre Cuentas(EmpresaPropia,NumEjercicio,CuentaPadre,NumHijo)",
        "idxCuentasCodInt Cuentas(EmpresaPropia,NumEjercicio,CodInt)",
        "idxCuentasConceptosConcepto CuentasConceptos(ConceptoDetAsiento)",
        "idxAsientosFecha Asientos(EmpresaPropia,NumEjercicio,Fecha)",
        "idxAsientosEspecial Asientos(EmpresaPropia,NumEjercicio,Especial)",
        // The amount and the adjustment date are in the index: per-account sums never visit the table.
        "idxDetAsientosCuenta DetAsientos(EmpresaPropia,NumEjercicio,Cuenta,Asiento,Importe,FechaAjuste)",
        "idxEjerciciosTabla Ejercicios(TablaAjusteInflacion)",
        "idxEjerciciosComienzo Ejercicios(EmpresaPropia,ComienzoEjercicio)",
        "idxUsuariosPerfil Usuarios(Perfil)",
        "idxUsuariosNombre Usuarios(NombreCorto)",
        "idxPermisosModulo Permisos(Modulo)",
        "idxSesionesPlanes SesionesPlanes(Sesion,Pantalla,EmpresaPropia,NumEjercicio)",
        "idxSesionesPlanesPlan SesionesPlanes(EmpresaPropia,NumEjercicio)",
        "idxPrepararPagina PrepararPagina(EmpresaPropia)",
    };
    const QString ej = "EmpresaPropia,NumEjercicio";
    const QStringList relaciones = {
        "AjustesInflacion(TablaAjusteInflacion)>TablasAjusteInflacion(TablaAjusteInflacion)",
        "Ejercicios(EmpresaPropia)>EmpresasPropia(EmpresaPropia)",
        "Ejercicios(TablaAjusteInflacion)>TablasAjusteInflacion(TablaAjusteInflacion)",
        "Cuentas(" + ej + ")>Ejercicios(" + ej + ")",
        "Cuentas(" + ej + ",CuentaPadre)>Cuentas(" + ej + ",Cuenta)",
        "CuentasConceptos(ConceptoDetAsiento)>ConceptosDetAsiento(ConceptoDetAsiento)",
        "CuentasConceptos(" + ej + ",Cuenta)>Cuentas(" + ej + ",Cuenta)",
        "RubrosCuentas(" + ej + ",Cuenta)>Cuentas(" + ej + ",Cuenta)",
        "Asientos(" + ej + ")>Ejercicios(" + ej + ")",
        "DetAsientos(" + ej + ",Asiento)>Asientos(" + ej + ",Asiento)",
        "DetAsientos(" + ej + ",Cuenta)>Cuentas(" + ej + ",Cuenta)",
        "ModulosHabilitaciones(Modulo)>Modulos(Modulo)",
        "Usuarios(Perfil)>Perfiles(Perfil)",
        "Permisos(Perfil)>Perfiles(Perfil)",
        "Permisos(Modulo)>Modulos(Modulo)",
        "SesionesPlanes(Sesion)>Sesiones(Sesion)",
        "PrepararPagina(EmpresaPropia)>EmpresasPropia(EmpresaPropia)",
    };
    Entorno e;
    bool ok = false, okRelaciones = false;
    QStringList hay;
    for (const IndiceBase& i : MotorActual().catalogo.Indices(Conexion(), &ok))
        hay << i.nombre + " " + i.tabla + "(" + i.columnas.join(',') + ")";
    for (const RelacionBase& r : MotorActual().catalogo.Relaciones(Conexion(), &okRelaciones))
        hay << r.tabla + "(" + r.columnas.join(',') + ")>" + r.referida + "(" +
                   r.columnasReferidas.join(',') + ")";
    QVERIFY(ok && okRelaciones);
    QStringList faltan;
    for (const QString& x : indices + relaciones)
        if (!hay.contains(x)) faltan << x;
    QVERIFY2(faltan.isEmpty(), qPrintable("faltan:\n" + faltan.join('\n')));
}

void PruebaMotor::consultasUsanIndices_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("parametros");
    QTest::addColumn<QString>("paso");
    const QVariantList ej = {1, 1};
    QTest::newRow("cuenta con líneas") << "SELECT Detalle FROM DetAsientos WHERE EmpresaPropia=? AND "
                                          "NumEjercicio=? AND Cuenta=?"
                                       << QVariantList{1, 1, 3} << "USING INDEX idxDetAsientosCuenta";
    QTest::newRow("sumas por cuenta") << "SELECT Cuenta, SUM(Importe) FROM DetAsientos WHERE EmpresaPropia=? "
                                         "AND NumEjercicio=? GROUP BY Cuenta"
                                      << ej << "USING COVERING INDEX idxDetAsientosCuenta";
    QTest::newRow("hijos de una cuenta")
        << "SELECT Cuenta FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=? "
           "AND CuentaPadre=? AND Cuenta<>0"
        << QVariantList{1, 1, 1} << "INDEX idxCuentasPadre";
    QTest::newRow("lugar ocupado")
        << "SELECT Cuenta FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=? AND "
           "CuentaPadre=? AND NumHijo=?"
        << QVariantList{1, 1, 1, 2} << "INDEX idxCuentasPadre";
    QTest::newRow("cuenta por código corto")
        << "SELECT Cuenta FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=? AND CodInt=?"
        << QVariantList{1, 1, "CAJA"} << "INDEX idxCuentasCodInt";
    QTest::newRow("árbol del plan") << ConsultaArbol() << ej << "INDEX idxCuentasPadre";
    QTest::newRow("registro de pantalla")
        << "SELECT Sesion FROM SesionesPlanes WHERE Sesion=? AND Pantalla=? "
           "AND EmpresaPropia=? AND NumEjercicio=?"
        << QVariantList{1, 1, 1, 1} << "INDEX idxSesionesPlanes";
    QTest::newRow("planes cambiados") << "DELETE FROM SesionesPlanes WHERE EmpresaPropia=? AND NumEjercicio=?"
                                      << ej << "INDEX idxSesionesPlanesPlan";
    QTest::newRow("sesión") << "SELECT Sesion FROM Sesiones WHERE Sesion=?" << QVariantList{1}
                            << "SEARCH Sesiones";
}

void PruebaMotor::consultasUsanIndices() {
    QFETCH(QString, sql);
    QFETCH(QVariantList, parametros);
    QFETCH(QString, paso);
    // A book of several years with some weight and current statistics, as the program keeps them.
    Entorno e;
    QVERIFY2(e.CreoLibroConPeso("'2024-03-01'"), qPrintable(UltimoError()));
    SOLO_ARCHIVO("los pasos esperados son los del plan de SQLite");
    const QStringList plan = MotorActual().catalogo.PlanConsulta(Conexion(), sql, parametros);
    QVERIFY2(!plan.isEmpty(), qPrintable(UltimoError()));
    const QString texto = plan.join(" | ");
    QVERIFY2(texto.contains(paso), qPrintable(texto));
    QVERIFY2(!texto.contains(QRegularExpression(R"(\bSCAN (DetAsientos|Cuentas|SesionesPlanes|Sesiones)\b)")),
             qPrintable(texto));
}
