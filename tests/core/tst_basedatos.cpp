// Database, settings, values and sessions, headless on real SQLite files.
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/CatalogoDatos.h"
#include "core/Contrasenas.h"
#include "core/Dialecto.h"
#include "core/Ini.h"
#include "core/Motor.h"
#include "core/Progreso.h"
#include "core/Sesiones.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "schema/Esquema.h"
#include "tests/support/Entorno.h"
#include "tst_core.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlRecord>
#include <QTest>

void PruebaBase::creaEsquemaCompleto() {
    Entorno e;
    const QStringList tablas = {"EmpresasPropia",
                                "Ejercicios",
                                "Cuentas",
                                "CuentasConceptos",
                                "RubrosCuentas",
                                "Asientos",
                                "DetAsientos",
                                "ConceptosAsiento",
                                "ConceptosDetAsiento",
                                "TablasAjusteInflacion",
                                "AjustesInflacion",
                                "Usuarios",
                                "Perfiles",
                                "Modulos",
                                "ModulosHabilitaciones",
                                "Permisos",
                                "Sesiones",
                                "SesionesPlanes",
                                "PrepararPagina"};
    for (const QString& t : tablas)
        QVERIFY2(MotorActual().catalogo.Tablas(Conexion()).contains(t), qPrintable(t));
    QCOMPARE(NumeroOCero(ValorCampo("Usuarios", "count(*)", "Activo<>0 AND Perfil=1")), 1.0);
    QVERIFY(ValorCampo("Modulos", "Modulo", "nomModulo=?", {"frmUsuarios"}).has_value());
    // One profile may not open the users screen.
    QCOMPARE(NumeroOCero(ValorCampo("Permisos INNER JOIN Modulos ON Permisos.Modulo=Modulos.Modulo",
                                    "TipoHabilitacion", "Perfil=2 AND nomModulo='frmUsuarios'")),
             0.0);
    if (!PruebaEnPostgres()) {
        QSqlQuery q = Consulto("PRAGMA journal_mode");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString().toLower(), QString("wal"));
    }
    // The schema version the program writes is the one it reads back.
    QVERIFY(Esquema::Version >= 1);
    QCOMPARE(MotorActual().catalogo.VersionEsquema(Conexion()), Esquema::Version);
}

void PruebaBase::relacionesSeCumplen() {
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    // An account's parent must exist (checked at commit: the relation is deferred).
    {
        Transaccion t;
        QVERIFY(Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, Descripcion, CuentaPadre, "
                        "NumHijo) "
                        "VALUES (1, 1, 50, 'HUERFANA', 99, 1)")
                    .ok);
        QVERIFY(!t.Confirmo());
    }
    QVERIFY(!ValorCampo("Cuentas", "Cuenta", "Cuenta=50"));
    // Lines go with their header; an account with lines cannot be deleted.
    QVERIFY(
        Ejecuto(
            "INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) VALUES (1,1,1,'2024-01-02')")
            .ok);
    QVERIFY(
        Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                "VALUES (1,1,1,1,2,10)")
            .ok);
    const Resultado r = Ejecuto("DELETE FROM Cuentas WHERE EmpresaPropia=1 AND NumEjercicio=1 AND Cuenta=2");
    QVERIFY(!r.ok);
    QVERIFY(r.error.contains("relacionado"));
    QVERIFY(Ejecuto("DELETE FROM Asientos WHERE Asiento=1").ok);
    QCOMPARE(NumeroOCero(ValorCampo("DetAsientos", "count(*)", "1=1")), 0.0);
    QVERIFY(Ejecuto("DELETE FROM Cuentas WHERE EmpresaPropia=1 AND NumEjercicio=1 AND Cuenta=2").ok);
}

void PruebaBase::archivosAjenosQuedanIntactos_data() {
    QTest::addColumn<QByteArray>("contenido");
    QTest::addColumn<int>("estado");
    QByteArray azar;
    for (int i = 0; i < 4096; ++i)
        azar.append(char((i * 7919 + 13) % 256));
    QTest::newRow("bytes al azar") << azar << int(EstadoBase::Ajena);
    QTest::newRow("texto") << QByteArray("Esto es un archivo de texto\r\n") << int(EstadoBase::Ajena);
    QTest::newRow("vacio") << QByteArray() << int(EstadoBase::Ajena);
    QTest::newRow("cabecera sqlite truncada")
        << QByteArray("SQLite format 3\0garbage", 23) << int(EstadoBase::Ajena);
}

void PruebaBase::archivosAjenosQuedanIntactos() {
    QFETCH(QByteArray, contenido);
    QFETCH(int, estado);
    Entorno e(false);
    const QString ruta = e.Ruta("Partidex.MDB");
    QVERIFY(EscriboArchivo(ruta, contenido));
    const QByteArray antes = Huella(ruta);
    QString explicacion;
    QCOMPARE(int(ExaminoBase(ruta, &explicacion)), estado);
    QVERIFY(!AbroBase(ruta, &explicacion));
    QVERIFY(explicacion.contains("no es una base de datos de Partidex"));
    QVERIFY(!CreoBase(ruta));
    QCOMPARE(Huella(ruta), antes);
}

void PruebaBase::carpetaEnLugarDeBase() {
    Entorno e(false);
    const QString ruta = e.Ruta("Libros");
    QVERIFY(QDir().mkpath(ruta));
    QString explicacion;
    QCOMPARE(int(ExaminoBase(ruta, &explicacion)), int(EstadoBase::NoEsArchivo));
    QVERIFY2(explicacion.contains("sino una carpeta"), qPrintable(explicacion));
    QVERIFY(!AbroBase(ruta));
    QVERIFY(!CreoBase(ruta));
    QVERIFY(QFileInfo(ruta).isDir());
    QVERIFY(QDir(ruta).isEmpty());
}

void PruebaBase::baseSqliteDeOtroProgramaQuedaIntacta() {
    Entorno e(false);
    const QString ruta = e.Ruta("otro.db");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "otro");
        db.setDatabaseName(ruta);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec("CREATE TABLE Usuarios (x)"));
        QVERIFY(q.exec("INSERT INTO Usuarios VALUES (1)"));
        db.close();
    }
    QSqlDatabase::removeDatabase("otro");
    const QByteArray antes = Huella(ruta);
    QString explicacion;
    QVERIFY(!AbroBase(ruta, &explicacion));
    QVERIFY(explicacion.contains("no es una base de datos de Partidex"));
    QCOMPARE(Huella(ruta), antes);
    QVERIFY(!QFile::exists(ruta + "-wal"));
}

void PruebaBase::valorCampoSeparaVacioDeNulo() {
    Entorno e;
    const Valor vacio = ValorCampo("Sesiones", "Sesion", "Sesion=?", {12345});
    QVERIFY(!vacio.has_value());
    QCOMPARE(NumeroOCero(vacio), 0.0);
    QCOMPARE(NumeroOMenosUno(vacio), -1.0);
    const Valor nulo = ValorCampo("Sesiones", "Max(Sesion)", "1=1");
    QVERIFY(nulo.has_value());
    QVERIFY(nulo->isNull());
    QCOMPARE(NumeroOCero(nulo), 0.0);
    QCOMPARE(NumeroOMenosUno(nulo), -1.0);
    QCOMPARE(NuloAVacio(nulo), QString(""));
}

namespace {
// Names as people type them: Null and empty, punctuation, digits, accents, ñ, ch and ll (two letters
// each, as Spanish has them now), upper and lower case.
const char* const Nombres[] = {
    "zeta",       "Nube",          "ñandú",         nullptr,    "",         "Caja chica", "Cajachica",
    "Caja-chica", "caña",          "cana",          "Canoa",    "cañón",    "chico",      "cesta",
    "ciudad",     "cuadro",        "llave",         "Llave",    "lima",     "lobo",       "luz",
    "ALVAREZ",    "Álvarez",       "alvarez",       "alfa",     "Éxito",    "exito",      "extra",
    "10 cuentas", "2 cuentas",     "1 cuenta",      "pingüino", "pinguino", "nube",       "Nº 5",
    "No 5",       "Descuento 50%", "Descuento 500", "(nota)",   "Zorro"};

void CargoNombres() {
    int n = 0;
    for (const char* t : Nombres)
        QVERIFY(Ejecuto("INSERT INTO ConceptosAsiento (ConceptoAsiento, descConceptoAsiento) VALUES (?, ?)",
                        {++n, t ? QVariant(QString::fromUtf8(t)) : QVariant(QMetaType::fromType<QString>())})
                    .ok);
}

// The names a query read, in its order; the name in its column c.
QString Leidos(QSqlQuery q, int c = 0) {
    QStringList r;
    while (q.next())
        r << (q.value(c).isNull() ? QString("<nulo>") : q.value(c).toString());
    return r.join('|');
}
} // namespace

// The catalogue list in Spanish alphabetical order, the same on every engine: Null first, then
// spaces and punctuation, digits (as text), letters; accents and letter case count only between
// otherwise equal names (unaccented and capitals first); ñ follows n.
void PruebaBase::ordenAlfabeticoEspanol() {
    Entorno e;
    CargoNombres();
    QCOMPARE(Leidos(CatalogoDatos(
                        SentenciasCatalogo::De("ConceptosAsiento", "ConceptoAsiento", "descConceptoAsiento", "frmConceptosAsiento"))
                        .ConsultoLista(),
                    1),
             QString("<nulo>||(nota)|1 cuenta|10 cuentas|2 cuentas|alfa|ALVAREZ|alvarez|Álvarez|Caja chica|"
                     "Caja-chica|Cajachica|cana|Canoa|caña|cañón|cesta|chico|ciudad|cuadro|Descuento 50%|"
                     "Descuento 500|exito|Éxito|extra|lima|Llave|llave|lobo|luz|No 5|Nº 5|Nube|nube|ñandú|"
                     "pinguino|pingüino|zeta|Zorro"));
}

void PruebaBase::busquedaSinMayusculas_data() {
    QTest::addColumn<QString>("tipeado");
    QTest::addColumn<bool>("igual"); // the whole name, or a part of it anywhere
    QTest::addColumn<QString>("hallados");
    QTest::newRow("minúsculas") << "caja" << false << "Caja chica|Caja-chica|Cajachica";
    QTest::newRow("mayúscula acentuada") << "ÁLV" << false << "Álvarez";
    QTest::newRow("sin acento no halla el acentuado") << "alv" << false << "ALVAREZ|alvarez";
    QTest::newRow("eñe") << "ñ" << false << "caña|cañón|ñandú";
    QTest::newRow("ll") << "LL" << false << "Llave|llave";
    QTest::newRow("ch") << "cH" << false << "Caja chica|Caja-chica|Cajachica|chico";
    QTest::newRow("diéresis") << "GÜ" << false << "pingüino";
    QTest::newRow("ordinal") << "º" << false << "Nº 5";
    QTest::newRow("comodín") << "n?b" << false << "Nube|nube";
    QTest::newRow("igual acentuado") << "éXITO" << true << "Éxito";
    QTest::newRow("igual en otra letra") << "NUBE" << true << "Nube|nube";
}

// Searches ignore letter case, of accented letters too, with either upper-case function the dialect
// switch selects; accents themselves count.
void PruebaBase::busquedaSinMayusculas() {
    QFETCH(QString, tipeado);
    QFETCH(bool, igual);
    QFETCH(QString, hallados);
    Entorno e;
    CargoNombres();
    for (const bool sqlAccess : {true, false}) {
        UsoFuncionesAccess(sqlAccess);
        const QString criterio = Dialecto::Mayusculas("descConceptoAsiento") +
                                 (igual ? QString("=?") : QString(" LIKE ?") + EscapeLike);
        const QString valor = igual ? tipeado.toUpper() : "%" + ComodinesLike(tipeado).toUpper() + "%";
        QCOMPARE(Leidos(Consulto("SELECT descConceptoAsiento FROM ConceptosAsiento WHERE " + criterio +
                                     " ORDER BY " + Dialecto::Alfabetico("descConceptoAsiento"),
                                 {valor})),
                 hallados);
    }
}

void PruebaBase::transaccionesAnidadas() {
    Entorno e;
    {
        Transaccion exterior;
        QVERIFY(exterior.ok());
        Ejecuto("INSERT INTO ConceptosAsiento VALUES (1, 'uno')");
        {
            Transaccion interior;
            QVERIFY(interior.ok());
            Ejecuto("INSERT INTO ConceptosAsiento VALUES (2, 'dos')");
        } // rolled back: only the inner change goes
        QVERIFY(exterior.Confirmo());
    }
    QCOMPARE(NumeroOCero(ValorCampo("ConceptosAsiento", "count(*)", "1=1")), 1.0);
    {
        Transaccion t;
        Ejecuto("INSERT INTO ConceptosAsiento VALUES (3, 'tres')");
    } // never committed
    QCOMPARE(NumeroOCero(ValorCampo("ConceptosAsiento", "count(*)", "1=1")), 1.0);
    QCOMPARE(Transaccion::Profundidad(), 0);
    // The engine's text of the statement that failed outlives the roll back, for the message.
    {
        Transaccion t;
        QVERIFY(!Ejecuto("INSERT INTO ConceptosAsiento VALUES (1, 'repetido')").ok);
    }
    QVERIFY2(UltimoError().contains("ya existe un registro con esa clave"), qPrintable(UltimoError()));
    {
        Transaccion exterior;
        {
            Transaccion interior;
            QVERIFY(!Ejecuto("INSERT INTO TablaQueNoExiste VALUES (1)").ok);
        }
        QVERIFY(UltimoError().contains("TablaQueNoExiste", Qt::CaseInsensitive));
    }
    // A server folds the unquoted name to lower case in its text.
    QVERIFY(UltimoError().contains("TablaQueNoExiste", Qt::CaseInsensitive));
}

void PruebaBase::sesiones() {
    Entorno e;
    QCOMPARE(NuevaSesion(), 1);
    App().currentSession = 1;
    for (int i = 2; i <= 250; ++i) {
        App().currentSession = NuevaSesion();
        PurgoSesiones(App().currentSession);
    }
    QCOMPARE(App().currentSession, 250);
    QCOMPARE(NumeroOCero(ValorCampo("Sesiones", "Min(Sesion)", "1=1")), 150.0);
    // A registration disappears when the chart changes, and comes back on the next check.
    RegistroPantalla(ContextoActual().En(1, 1), PantallaCuentas);
    QVERIFY(PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas));
    EliminoSesionesPlanes(1, 1);
    QVERIFY(!PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas));
    VerificoRegistro(ContextoActual().En(1, 1), PantallaCuentas);
    QVERIFY(PantallaRegistrada(ContextoActual().En(1, 1), PantallaCuentas));
    // A purged session row is replaced by a new number when a screen registers.
    BorroSesion(App().currentSession);
    RegistroPantalla(ContextoActual().En(1, 1), PantallaBalance);
    QCOMPARE(App().currentSession, 250);
    QVERIFY(ValorCampo("Sesiones", "Sesion", "Sesion=250").has_value());
}

void PruebaBase::loginConComillasYComodines_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QString>("contrasena");
    QTest::addColumn<int>("usuario");
    QTest::newRow("correcto, otra letra") << "admin"
                                          << "Admin" << 1;
    QTest::newRow("contrasena mala") << "ADMIN"
                                     << "x" << -1;
    QTest::newRow("comilla") << "' OR '1'='1"
                             << "' OR '1'='1" << -1;
    QTest::newRow("porcentaje") << "%"
                                << "%" << -1;
    QTest::newRow("guion bajo") << "_____"
                                << "ADMIN" << -1;
    QTest::newRow("comilla valida") << "O'BRIEN"
                                    << "d'artagnan" << 2;
    QTest::newRow("inactivo") << "BAJA"
                              << "BAJA" << -1;
    // A user whose password is Null is compared with nothing: an empty password does not open it.
    QTest::newRow("contrasena nula") << "SINCLAVE"
                                     << "" << -1;
}

void PruebaBase::loginConComillasYComodines() {
    QFETCH(QString, nombre);
    QFETCH(QString, contrasena);
    QFETCH(int, usuario);
    Entorno e;
    Ejecuto("INSERT INTO Usuarios (Usuario, NombreCorto, descUsuario, Perfil, Contrasena, Activo) VALUES "
            "(?,?,?,?,?,?)",
            {2, "O'BRIEN", "Pat O'Brien", 2, HashContrasena("D'Artagnan"), -1});
    Ejecuto("INSERT INTO Usuarios (Usuario, NombreCorto, descUsuario, Perfil, Contrasena, Activo) VALUES "
            "(?,?,?,?,?,?)",
            {3, "BAJA", "Dado de baja", 2, HashContrasena("BAJA"), 0});
    Ejecuto("INSERT INTO Usuarios (Usuario, NombreCorto, descUsuario, Perfil, Contrasena, Activo) VALUES "
            "(4, 'SINCLAVE', 'Sin clave', 2, NULL, -1)");
    QCOMPARE(BuscoUsuario(nombre, contrasena), usuario);
}

void PruebaBase::contrasenaPlanaSeReescribe() {
    Entorno e;
    Ejecuto("UPDATE Usuarios SET Contrasena='secreta' WHERE Usuario=1");
    QCOMPARE(BuscoUsuario("admin", "SECRETA"), 1);
    const QString guardada = NuloAVacio(ValorCampo("Usuarios", "Contrasena", "Usuario=1"));
    QVERIFY(EsHashContrasena(guardada));
    QCOMPARE(BuscoUsuario("ADMIN", "secreta"), 1);
    QCOMPARE(BuscoUsuario("ADMIN", "secret"), -1);
}

void PruebaBase::baseEnUsoPorOtraConexion() {
    Entorno e;
    QVERIFY(BaseEnUso(e.RutaBase()));
    CierroBase();
    QVERIFY(!BaseEnUso(e.RutaBase()));
}

void PruebaBase::captionPrincipal() {
    Entorno e;
    App().currentUser = 1;
    QCOMPARE(CaptionPrincipal(ContextoActual()), QString("Partidex, usuario: ADMIN (Administrador), Perfil: Administrador"));
    e.CreoEmpresaYEjercicio(1, 1, QDate(2024, 1, 1), QDate(2024, 12, 31));
    QCOMPARE(CaptionPrincipal(ContextoActual()), QString("Partidex, usuario: ADMIN (Administrador), Perfil: Administrador, "
                                         "Ejercicio: Empresa de Prueba 1, 01/01/24-31/12/24"));
    App().currentCompany = 7; // no longer exists
    QVERIFY(CaptionPrincipal(ContextoActual()).endsWith(", Ejercicio: , -"));
}

void PruebaBase::rellenadoNoCortaNumerosAnchos_data() {
    QTest::addColumn<int>("numero");
    QTest::addColumn<int>("ancho");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("rellena") << 7 << 3 << "007";
    QTest::newRow("justo") << 123 << 3 << "123";
    QTest::newRow("mas ancho no se corta") << 12345 << 3 << "12345";
    QTest::newRow("cero") << 0 << 2 << "00";
}

void PruebaBase::rellenadoNoCortaNumerosAnchos() {
    QFETCH(int, numero);
    QFETCH(int, ancho);
    QFETCH(QString, esperado);
    Entorno e;
    QSqlQuery q = Consulto("SELECT " + Dialecto::Rellenado("?", ancho), {numero});
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), esperado);
}

// The server restarted: a transaction under way is lost whole, its failure told in words the user
// understands, and nothing of it stays in the books.
void PruebaBase::conexionPerdida() {
    if (!PruebaEnPostgres()) QSKIP("sólo se pierde la conexión con un servidor");
    Entorno e;
    e.CreoEmpresaYEjercicio();
    {
        Transaccion t;
        QVERIFY(t.ok());
        QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) "
                        "VALUES (1, 1, 1, '2024-02-01')")
                    .ok);
        QVERIFY(CortoConexion());
        const Resultado r = Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, "
                                    "Cuenta, Importe) VALUES (1, 1, 1, 1, 0, 10)");
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains("se perdió la conexión con el servidor"), qPrintable(r.error));
        QVERIFY2(!r.error.contains('\n'), qPrintable(r.error)); // one line, for a message box
        QVERIFY(!t.Confirmo());
        QVERIFY2(t.error().contains("se perdió la conexión con el servidor"), qPrintable(t.error()));
    }
    // Read on a connection of its own: no half-stored entry.
    {
        QSqlDatabase otra = MotorActual().almacen.Agrego("otra", e.RutaBase(), true);
        QVERIFY(otra.open());
        QSqlQuery q(otra);
        QVERIFY(q.exec("SELECT COUNT(*) FROM Asientos") && q.next());
        QCOMPARE(q.value(0).toInt(), 0);
        QVERIFY(q.exec("SELECT COUNT(*) FROM EmpresasPropia") && q.next());
        QCOMPARE(q.value(0).toInt(), 1);
    }
    QSqlDatabase::removeDatabase("otra");
    // The next operation after the message works on a new connection, alone or in a transaction.
    QVERIFY2(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) "
                     "VALUES (1, 1, 2, '2024-02-02')")
                 .ok,
             qPrintable(UltimoError()));
    QVERIFY(CortoConexion());
    {
        Transaccion t;
        QVERIFY2(t.ok(), qPrintable(t.error()));
        QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha) "
                        "VALUES (1, 1, 3, '2024-02-03')")
                    .ok);
        QVERIFY(t.Confirmo());
    }
    QCOMPARE(Cuento("Asientos"), 2);
}

// A server database: an empty one is made ready, one holding another program's tables is refused with
// the message of a foreign file and left as it was, and the books' own structure is read back.
void PruebaBase::baseDelServidor() {
    if (!PruebaEnPostgres()) QSKIP("una base en un servidor");
    Entorno e(false);
    const QString vacia = NuevaBasePostgres(), ajena = NuevaBasePostgres();
    QCOMPARE(ExaminoBase(vacia).estado, EstadoBase::NoExiste);
    QVERIFY(CreoBase(vacia));
    QCOMPARE(ExaminoBase(vacia).estado, EstadoBase::Partidex);
    QString error;
    QVERIFY(!CreoBase(vacia, &error)); // never made twice
    QVERIFY2(error.contains("no está vacía"), qPrintable(error));
    QVERIFY(AbroBase(vacia));
    QCOMPARE(MotorActual().catalogo.Tablas(Conexion()), [] {
        QStringList t = Esquema::Tablas();
        std::sort(t.begin(), t.end(),
                  [](const QString& a, const QString& b) { return a.toLower() < b.toLower(); });
        return t;
    }());
    QCOMPARE(int(MotorActual().catalogo.Indices(Conexion()).size()), Esquema::IndicesEsperados());
    QCOMPARE(int(MotorActual().catalogo.Relaciones(Conexion()).size()), Esquema::RelacionesEsperadas());
    QCOMPARE(MotorActual().catalogo.IdAplicacion(Conexion()), qint64(Esquema::IdAplicacion));
    CierroBase();

    {
        QSqlDatabase db = MotorDeRuta(ajena).almacen.Agrego("ajena", ajena, false);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec("CREATE TABLE Clientes (Id INTEGER PRIMARY KEY, Nombre TEXT)"));
        QVERIFY(q.exec("INSERT INTO Clientes VALUES (1, 'Uno')"));
        db.close();
    }
    QSqlDatabase::removeDatabase("ajena");
    const Diagnostico d = ExaminoBase(ajena);
    QCOMPARE(d.estado, EstadoBase::Ajena);
    QCOMPARE(d.explicacion, "No se puede abrir la base de datos " + ajena +
                                ": el archivo no es una base de datos de Partidex");
    QVERIFY(!AbroBase(ajena));
    QVERIFY(!CreoBase(ajena));
    {
        QSqlDatabase db = MotorDeRuta(ajena).almacen.Agrego("ajena", ajena, true);
        QVERIFY(db.open());
        QCOMPARE(MotorDeRuta(ajena).catalogo.Tablas(db), QStringList{"clientes"});
        QCOMPARE(MotorDeRuta(ajena).catalogo.IdAplicacion(db), qint64(0));
        db.close();
    }
    QSqlDatabase::removeDatabase("ajena");
    BorroBasePostgres(vacia);
    BorroBasePostgres(ajena);
}

void PruebaBase::comodinesLiterales_data() {
    QTest::addColumn<QString>("tipeado");
    QTest::addColumn<QString>("hallados");
    QTest::newRow("por ciento literal") << "100%"
                                        << "100% real";
    QTest::newRow("guion bajo literal") << "a_b"
                                        << "a_b";
    QTest::newRow("barra literal") << "c\\d"
                                   << "c\\d";
    QTest::newRow("signo de pregunta comodín") << "a?b"
                                               << "a_b|axb";
    QTest::newRow("asterisco comodín") << "100*real"
                                       << "100 real|100% real";
    QTest::newRow("comilla") << "o'h"
                             << "o'hara";
}

// A "%" or "_" typed by the user finds itself; only "*" and "?" stand for other characters.
void PruebaBase::comodinesLiterales() {
    QFETCH(QString, tipeado);
    QFETCH(QString, hallados);
    Entorno e;
    int n = 0;
    for (const char* t : {"100% real", "100 real", "a_b", "axb", "c\\d", "cxd", "o'hara"})
        QVERIFY(Ejecuto("INSERT INTO ConceptosAsiento VALUES (?, ?)", {++n, QString::fromUtf8(t)}).ok);
    QSqlQuery q =
        Consulto("SELECT descConceptoAsiento FROM ConceptosAsiento WHERE descConceptoAsiento LIKE ?" +
                     EscapeLike + " ORDER BY descConceptoAsiento",
                 {"%" + ComodinesLike(tipeado) + "%"});
    QStringList r;
    while (q.next())
        r << q.value(0).toString();
    QCOMPARE(r.join('|'), hallados);
}

// The engine's own reader gives, value for value, what Qt's statement gives for the same statement:
// numbers, texts with accents, empty texts and nulls, and values bound of every kind.
void PruebaBase::lectorComoLaConsulta_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QVariantList>("parametros");
    QTest::newRow("nombres") << "SELECT ConceptoAsiento, descConceptoAsiento FROM ConceptosAsiento WHERE "
                                "ConceptoAsiento >= ? ORDER BY ConceptoAsiento"
                             << QVariantList{3};
    QTest::newRow("constantes") << QString::fromUtf8("SELECT 1234.56, -9007199254740993, NULL, 'año', '', '¿?'")
                                << QVariantList{};
    QTest::newRow("valores ligados")
        << "SELECT ConceptoAsiento FROM ConceptosAsiento WHERE descConceptoAsiento = ? OR ConceptoAsiento = ? OR "
           "ConceptoAsiento < ? OR descConceptoAsiento = ? ORDER BY ConceptoAsiento"
        << QVariantList{QString::fromUtf8("ñandú"), qlonglong(30), 2.5, QVariant(QMetaType::fromType<QString>())};
    QTest::newRow("ninguna fila") << "SELECT ConceptoAsiento FROM ConceptosAsiento WHERE 1=0" << QVariantList{};
    QTest::newRow("sentencia errónea") << "SELECT Nada FROM NoExiste" << QVariantList{};
}

void PruebaBase::lectorComoLaConsulta() {
    QFETCH(QString, sql);
    QFETCH(QVariantList, parametros);
    Entorno e;
    CargoNombres();
    QString error;
    QVERIFY2(AbroConexion("propia", e.RutaBase(), &error), qPrintable(error));
    Contexto propia;
    propia.conexion = "propia";
    // On the shared connection the rows are fetched whole; on a report's own they come as they are read.
    for (const Contexto& ctx : {Contexto(), propia}) {
        QSqlQuery q = Consulto(sql, parametros);
        const std::unique_ptr<Lector> l = LeoAdelante(ctx, sql, parametros);
        QCOMPARE(!l->Error().isEmpty(), !q.isActive());
        int filas = 0;
        while (q.next()) {
            QVERIFY2(l->Siguiente(), qPrintable(l->Error()));
            ++filas;
            for (int c = 0; c < q.record().count(); ++c) {
                const QVariant v = q.value(c);
                QCOMPARE(l->Nulo(c), v.isNull());
                if (v.isNull()) continue;
                QCOMPARE(l->Texto(c).toByteArray(), v.toString().toUtf8());
                QCOMPARE(l->Valor(c).toString(), v.toString());
                QCOMPARE(l->Valor(c).typeId() == QMetaType::QString, v.typeId() == QMetaType::QString);
                if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
                    QCOMPARE(l->Entero(c), v.toLongLong());
                if (v.typeId() != QMetaType::QString) QCOMPARE(l->Real(c), v.toDouble());
            }
        }
        QVERIFY(!l->Siguiente());
        QVERIFY(filas > 0 || QTest::currentDataTag() != QLatin1String("nombres"));
        // The first two, the one named and the one numbered.
        if (QTest::currentDataTag() == QLatin1String("valores ligados")) QCOMPARE(filas, 4);
    }
    // A reader left half read leaves its connection ready for the next statement.
    {
        const std::unique_ptr<Lector> l =
            LeoAdelante(propia, "SELECT ConceptoAsiento FROM ConceptosAsiento ORDER BY ConceptoAsiento", {});
        QVERIFY2(l->Siguiente(), qPrintable(l->Error()));
    }
    QSqlQuery q(QSqlDatabase::database("propia"));
    QVERIFY2(q.exec("SELECT COUNT(*) FROM ConceptosAsiento") && q.next(), qPrintable(q.lastError().text()));
    QVERIFY(q.value(0).toInt() > 1);
    q = QSqlQuery();
    CierroConexion("propia");
}

// A long statement stops in its middle once its operation is asked to stop, on either engine;
// unwatched, and with nobody asking, it reads to its end.
void PruebaBase::sentenciaDetenible_data() {
    QTest::addColumn<bool>("vigilada");
    QTest::addColumn<bool>("pedido"); // the stop is asked for while the statement runs
    QTest::newRow("vigilada, sin pedido") << true << false;
    QTest::newRow("vigilada, detenida") << true << true;
    QTest::newRow("sin vigilar") << false << true;
}

void PruebaBase::sentenciaDetenible() {
    QFETCH(bool, vigilada);
    QFETCH(bool, pedido);
    Entorno e;
    const QSqlDatabase db = Contexto().Base();
    Progreso p;
    const std::shared_ptr<void> detenible = vigilada ? MotorDe(db).almacen.Detenible(db, &p) : nullptr;
    if (vigilada) QVERIFY(detenible);
    QSqlQuery q(db);
    q.setForwardOnly(true); // the server's rows come as they are found, while the statement runs
    // Counting to a million takes some million steps of any engine; the stop is asked at the first row.
    QVERIFY(q.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
                   "SELECT i FROM n UNION ALL SELECT COUNT(*) FROM n"));
    qint64 filas = 0;
    while (q.next()) {
        if (pedido) p.Cancelo();
        ++filas;
    }
    const bool detenida = detenible && pedido;
    QCOMPARE(q.lastError().isValid(), detenida);
    QCOMPARE(filas == 1000001, !detenida);
}
