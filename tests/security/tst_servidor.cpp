#include "tst_seguridad.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/DireccionPostgres.h"
#include "security/Usuarios.h"
#include "tests/support/Entorno.h"

#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>

namespace {

// Runs sql with psql as the server login of a Partidex user of the test's books: true when the
// server ran it without an error.
bool ComoEstacion(const QString& usuario, const QString& sql, QString* salida = nullptr) {
    const ServidorPostgres s = ServidorDe(App().databasePath);
    QProcess p;
    p.start(QStandardPaths::findExecutable("psql"),
            {"-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", s.servidor, "-p", QString::number(s.puerto), "-U",
             s.base + "." + usuario.toLower(), "-d", s.base, "-c", sql});
    p.waitForFinished(30000);
    if (salida) *salida = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString Estado(const QString& sql) {
    QSqlQuery q = Consulto(sql);
    return q.next() ? q.value(0).toString() : QStringLiteral("(nada)");
}

// Company 1 with year 1 closed (its closing entry 2) and year 2 open, one entry each, and a history record.
void LibroConEjercicioCerrado(Entorno& e) {
    e.CreoEmpresaYEjercicio(1, 1, QDate(2023, 1, 1), QDate(2023, 12, 31));
    e.CreoEmpresaYEjercicio(1, 2, QDate(2024, 1, 1), QDate(2024, 12, 31));
    e.CreoPlanChico(1, 1);
    e.CreoPlanChico(1, 2);
    for (const char* s :
         {"INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Concepto) VALUES (1, 1, 1, "
          "'2023-03-01', 'venta'), (1, 2, 1, '2024-03-01', 'venta')",
          "INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Concepto, Especial) VALUES (1, 1, 2, "
          "'2023-12-31', 'cierre', 1)",
          "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) VALUES "
          "(1, 1, 1, 1, 2, 10), (1, 1, 1, 2, 7, -10), (1, 2, 1, 1, 2, 10), (1, 2, 1, 2, 7, -10)",
          "INSERT INTO HistorialAsientos (Registro, EmpresaPropia, NumEjercicio, Asiento, Tipo, Momento, "
          "HashAnterior, Hash) VALUES (1, 1, 1, 1, 1, '2023-03-01', '', 'h1')"})
        QVERIFY2(Ejecuto(s).ok, s);
}

} // namespace

void PruebaServidor::loginDeEstacion_data() {
    QTest::addColumn<QString>("sentencia");
    QTest::addColumn<bool>("permitida");
    QTest::addColumn<QString>("huella"); // what must change when allowed, and stay when refused

    const QString usuarios = "SELECT string_agg(NombreCorto || Perfil || Activo, ',' ORDER BY Usuario) FROM Usuarios";
    const QString permisos = "SELECT string_agg(Perfil || ':' || Modulo || ':' || TipoHabilitacion, ',' ORDER BY "
                             "Perfil, Modulo) FROM Permisos";
    const QString cerrado = "SELECT string_agg(Asiento || Concepto || COALESCE(Especial, 0), ',' ORDER BY Asiento) "
                            "|| (SELECT count(*) FROM DetAsientos WHERE NumEjercicio = 1) FROM Asientos WHERE "
                            "NumEjercicio = 1";
    const QString abierto = "SELECT string_agg(Asiento || Concepto, ',' ORDER BY Asiento) FROM Asientos WHERE "
                            "NumEjercicio = 2";
    const QString historial = "SELECT count(*) || string_agg(Hash || Tipo, ',' ORDER BY Registro) FROM "
                              "HistorialAsientos";
    QTest::newRow("agrega un usuario")
        << "INSERT INTO Usuarios (Usuario, NombreCorto, Perfil, Activo) VALUES (9, 'INTRUSO', 1, -1)" << false
        << usuarios;
    QTest::newRow("se hace administrador") << "UPDATE Usuarios SET Perfil = 1 WHERE NombreCorto = 'OPER'" << false
                                           << usuarios;
    QTest::newRow("borra al administrador") << "DELETE FROM Usuarios WHERE Usuario = 1" << false << usuarios;
    QTest::newRow("crea su login de administrador")
        << "SELECT partidex_cuenta(NULL, 'intruso', 1, 'x', true)" << false << usuarios;
    QTest::newRow("cambia un permiso") << "UPDATE Permisos SET TipoHabilitacion = 1" << false << permisos;
    QTest::newRow("agrega un permiso")
        << "INSERT INTO Permisos (Perfil, Modulo, TipoHabilitacion) SELECT 2, Modulo, 1 FROM Modulos WHERE "
           "Modulo NOT IN (SELECT Modulo FROM Permisos WHERE Perfil = 2)"
        << false << permisos;
    QTest::newRow("cambia un asiento del ejercicio cerrado")
        << "UPDATE Asientos SET Concepto = 'otra' WHERE NumEjercicio = 1" << true << cerrado;
    QTest::newRow("borra las líneas del ejercicio cerrado") << "DELETE FROM DetAsientos WHERE NumEjercicio = 1"
                                                            << true << cerrado;
    QTest::newRow("cambia un importe del ejercicio cerrado")
        << "UPDATE DetAsientos SET Importe = -Importe WHERE NumEjercicio = 1" << true << cerrado;
    QTest::newRow("borra un asiento del ejercicio cerrado")
        << "DELETE FROM Asientos WHERE NumEjercicio = 1 AND Asiento = 1" << true << cerrado;
    QTest::newRow("agrega un asiento al ejercicio cerrado")
        << "INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Concepto) VALUES (1, 1, 3, "
           "'2023-06-01', 'tarde')"
        << false << cerrado;
    QTest::newRow("vuelve ordinario el cierre del ejercicio cerrado")
        << "UPDATE Asientos SET Especial = NULL WHERE NumEjercicio = 1" << true << cerrado;
    QTest::newRow("deja la seguridad de filas")
        << "ALTER TABLE Asientos DISABLE ROW LEVEL SECURITY" << false << cerrado;
    QTest::newRow("cambia el historial") << "UPDATE HistorialAsientos SET Tipo = 2" << false << historial;
    QTest::newRow("borra el historial") << "DELETE FROM HistorialAsientos" << false << historial;
    QTest::newRow("vacía el historial") << "TRUNCATE HistorialAsientos" << false << historial;
    // What the operator's profile does allow, so that a refusal above is the rule's, not a login that
    // can do nothing.
    QTest::newRow("cambia un asiento del ejercicio abierto")
        << "UPDATE Asientos SET Concepto = 'cobro' WHERE NumEjercicio = 2" << true << abierto;
    QTest::newRow("agrega al historial")
        << "INSERT INTO HistorialAsientos (Registro, EmpresaPropia, NumEjercicio, Asiento, Tipo, Momento, "
           "HashAnterior, Hash) VALUES (2, 1, 2, 1, 2, '2024-03-02', 'h1', 'h2')"
        << true << historial;
    QTest::newRow("cambia su contraseña")
        << "UPDATE Usuarios SET Contrasena = 'x' WHERE NombreCorto = 'OPER'" << true
        << "SELECT Contrasena FROM Usuarios WHERE NombreCorto = 'OPER'";
    QTest::newRow("cambia la contraseña de otro")
        << "UPDATE Usuarios SET Contrasena = 'x' WHERE Usuario = 1" << true
        << "SELECT Contrasena FROM Usuarios WHERE Usuario = 1";
}

void PruebaServidor::loginDeEstacion() {
    if (!PruebaEnPostgres()) QSKIP("el servidor hace cumplir los permisos; en un archivo, sus permisos");
    QFETCH(QString, sentencia);
    QFETCH(bool, permitida);
    QFETCH(QString, huella);
    Entorno e;
    LibroConEjercicioCerrado(e);
    const ResultadoUsuario r = GraboUsuario(ContextoActual(), -1, {"oper", "Operador", 2, QString(), true});
    QVERIFY2(r.ok, qPrintable(r.error));
    const QString antes = Estado(huella);
    QString salida;
    QCOMPARE(ComoEstacion("OPER", sentencia, &salida), permitida);
    const QString despues = Estado(huella);
    // Allowed statements that must not reach the closed year, or another user's row, change no row.
    const bool protegida = QString(QTest::currentDataTag()).contains("cerrado") ||
                           QString(QTest::currentDataTag()).contains("de otro");
    if (permitida && !protegida)
        QVERIFY2(antes != despues, qPrintable(salida));
    else
        QCOMPARE(despues, antes);
}

void PruebaServidor::vidaDelLogin() {
    if (!PruebaEnPostgres()) QSKIP("los logins son del servidor");
    Entorno e;
    auto login = [](const QString& usuario) {
        const QString base = ServidorDe(App().databasePath).base;
        return Estado("SELECT rolcanlogin::text || ':' || (rolpassword IS NOT NULL)::text || ':' || COALESCE("
                      "(SELECT string_agg(g.rolname, ',') FROM pg_auth_members m JOIN pg_roles g ON g.oid = "
                      "m.roleid WHERE m.member = r.oid), '') FROM pg_authid r WHERE rolname = '" +
                      base + "." + usuario + "'")
            .replace(base, "b");
    };
    QCOMPARE(login("admin"), QString("true:true:b_perfil_1"));
    const ResultadoUsuario r = GraboUsuario(ContextoActual(), -1, {"Oper", "Operador", 2, QString(), true});
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(login("oper"), QString("true:true:b_perfil_2"));
    QVERIFY(ComoEstacion("oper", "SELECT 1"));
    const QString clavePorNombre =
        "SELECT rolpassword FROM pg_authid WHERE rolname = '" + ServidorDe(App().databasePath).base + ".oper'";
    const QString clave = Estado(clavePorNombre);
    QCOMPARE(CambioContrasena(r.usuario, "OPER", "nueva"), CambioClave::Hecho);
    QVERIFY(Estado(clavePorNombre) != clave);
    // Renamed, made administrator and deactivated at once: the old login is gone, the new one may not log in.
    QVERIFY(GraboUsuario(ContextoActual(), r.usuario, {"jefe", "Operador", 1, QString(), false}).ok);
    QCOMPARE(login("oper"), QString("(nada)"));
    QCOMPARE(login("jefe"), QString("false:true:b_perfil_1"));
    QVERIFY(!ComoEstacion("jefe", "SELECT 1"));
    QVERIFY(BorroUsuario(ContextoActual(), r.usuario).ok);
    QCOMPARE(login("jefe"), QString("(nada)"));
    // A change the book refuses leaves the login as it was.
    QVERIFY(!GraboUsuario(ContextoActual(), 1, {"admin", "Administrador", 2, QString(), true}).ok);
    QCOMPARE(login("admin"), QString("true:true:b_perfil_1"));
}
