// Permissions, users and the password change.
#include "tst_seguridad.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Contrasenas.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "accounts/OperacionesCuentas.h"
#include "accounts/ui/RegistroCuentas.h"
#include "core/CatalogoDatos.h"
#include "fiscal/Ejercicios.h"
#include "fiscal/Empresas.h"
#include "fiscal/ui/RegistroEjercicios.h"
#include "inflation/ui/RegistroInflacion.h"
#include "journal/ui/RegistroAsientos.h"
#include "reports/ui/RegistroReportes.h"
#include "utilities/ui/RegistroUtilidades.h"
#include "inflation/IndicesAjuste.h"
#include "journal/Escritura.h"
#include "maintenance/Mantenimiento.h"
#include "core/Permisos.h"
#include "security/Usuarios.h"
#include "core/ui/AplicoPermisos.h"
#include "security/ui/RegistroSeguridad.h"
#include "security/ui/frmCambioContrasena.h"
#include "tests/support/ui/EntornoPantallas.h"

#include <QDialog>
#include <QFile>
#include <QHash>
#include <QMdiArea>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

namespace {
// User 2, "OPERADOR", of profile 2, logged in.
void EntroComoOperador() {
    QVERIFY(Ejecuto("INSERT INTO Usuarios (Usuario, NombreCorto, descUsuario, Perfil, Contrasena, Activo) "
                    "VALUES (2, 'OPERADOR', 'Operador de prueba', 2, ?, -1)",
                    {HashContrasena("operador")})
                .ok);
    App().currentUser = 2;
}

void FijoNivel(const QString& ventana, const QVariant& nivel) {
    Ejecuto("DELETE FROM Permisos WHERE Perfil=2 AND Modulo=(SELECT Modulo FROM Modulos WHERE nomModulo=?)",
            {ventana});
    if (nivel.isValid())
        QVERIFY(Ejecuto("INSERT INTO Permisos (Perfil, Modulo, TipoHabilitacion) "
                        "SELECT 2, Modulo, ? FROM Modulos WHERE nomModulo=?",
                        {nivel, ventana})
                    .ok);
}

QString Guardada(int usuario) {
    return NuloAVacio(ValorCampo("Usuarios", "Contrasena", "Usuario=?", {usuario}));
}
} // namespace

// ---------------------------------------------------------------------------------------------
// Permissions

void PruebaPermisos::nivelDelPerfil_data() {
    QTest::addColumn<QVariant>("guardado"); // invalid: no grant row
    QTest::addColumn<int>("nivel");
    QTest::newRow("sin permiso") << QVariant() << 0;
    QTest::newRow("inhabilitado") << QVariant(0) << 0;
    QTest::newRow("habilitado") << QVariant(1) << 1;
    QTest::newRow("sólo lectura") << QVariant(2) << 2;
    QTest::newRow("sin eliminaciones") << QVariant(3) << 3;
    QTest::newRow("valor desconocido") << QVariant(4) << 4;
}

void PruebaPermisos::nivelDelPerfil() {
    QFETCH(QVariant, guardado);
    QFETCH(int, nivel);
    Entorno e;
    EntroComoOperador();
    FijoNivel("frmUsuarios", guardado);
    QCOMPARE(NivelPermiso(ContextoActual(), "frmUsuarios"), nivel);
    // Another profile's grant is not this user's.
    QCOMPARE(NivelPermisoUsuario(1, "frmUsuarios"), 1);
    QCOMPARE(NivelPermiso(ContextoActual(), "frmQueNoExiste"), 0);
}

void PruebaPermisos::controlesMarcados_data() {
    QTest::addColumn<int>("nivel");
    QTest::addColumn<bool>("reenable");
    QTest::addColumn<bool>("inicial"); // every control enabled (grids editable) before the level is applied
    // Afterwards: control "RO", control "RO2", control "ro", grid "RO", grid "ROX".
    QTest::addColumn<QList<bool>>("despues");
    using L = QList<bool>;
    QTest::newRow("1 sin reactivar") << 1 << false << false << L{false, false, false, false, false};
    QTest::newRow("1 reactivando") << 1 << true << false << L{true, true, false, true, true};
    QTest::newRow("2") << 2 << false << true << L{false, false, true, false, false};
    QTest::newRow("2 reactivando") << 2 << true << true << L{false, false, true, false, false};
    QTest::newRow("3 sin reactivar") << 3 << false << true << L{true, false, true, true, true};
    QTest::newRow("3 sin reactivar, desactivados")
        << 3 << false << false << L{false, false, false, false, false};
    QTest::newRow("3 reactivando") << 3 << true << false << L{true, false, false, true, false};
    QTest::newRow("4 no restringe") << 4 << true << true << L{true, true, true, true, true};
    QTest::newRow("4 no reactiva") << 4 << true << false << L{false, false, false, false, false};
    QTest::newRow("0 no toca controles") << 0 << true << true << L{true, true, true, true, true};
}

void PruebaPermisos::controlesMarcados() {
    QFETCH(int, nivel);
    QFETCH(bool, reenable);
    QFETCH(bool, inicial);
    QFETCH(QList<bool>, despues);
    QWidget ventana;
    auto* ro = new QPushButton("Guardar", &ventana);
    auto* ro2 = new QPushButton("Borrar", &ventana);
    auto* minusculas = new QPushButton("Otro", &ventana);
    auto* sinMarca = new QPushButton("Salir", &ventana);
    auto* grilla = new Grilla(&ventana);
    auto* grillaX = new Grilla(&ventana);
    MarcoControl(ro, "RO");
    MarcoControl(ro2, "RO2");
    MarcoControl(minusculas, "ro");
    MarcoControl(grilla, "RO");
    MarcoControl(grillaX, "ROX");
    for (QPushButton* b : {ro, ro2, minusculas, sinMarca})
        b->setEnabled(inicial);
    for (Grilla* g : {grilla, grillaX})
        g->setSoloLectura(!inicial);
    AplicoNivel(&ventana, nivel, reenable);
    const QList<bool> real = {ro->isEnabled(), ro2->isEnabled(), minusculas->isEnabled(),
                              !grilla->soloLectura(), !grillaX->soloLectura()};
    QCOMPARE(real, despues);
    // Grids are never disabled, only made read-only; unmarked controls never change.
    QVERIFY(grilla->isEnabled() && grillaX->isEnabled());
    QCOMPARE(sinMarca->isEnabled(), inicial);
}

void PruebaPermisos::nivelCeroRechazaLaVentana() {
    Entorno e;
    EntroComoOperador();
    QWidget ventana;
    ventana.setObjectName("frmEjercicios");
    auto* b = new QPushButton(&ventana);
    MarcoControl(b, "RO2");
    FijoNivel("frmEjercicios", 3);
    QCOMPARE(PermisoModulo(&ventana, false), 3);
    QVERIFY(!ventana.property("rechazada").toBool());
    QVERIFY(!b->isEnabled());
    FijoNivel("frmEjercicios", QVariant());
    QCOMPARE(PermisoModulo(&ventana, false), 0);
    QVERIFY(ventana.property("rechazada").toBool());
}

void PruebaPermisos::accionesEnLaLogica_data() {
    QTest::addColumn<QString>("quien"); // operador (profile 2), inactivo, nadie (user 0), sistema
    QTest::addColumn<QString>("modulo");
    QTest::addColumn<QVariant>("nivel"); // the operator profile's grant; invalid: no row
    QTest::addColumn<QString>("accion");
    QTest::addColumn<bool>("permitida");
    const QVariant sinFila;
    const struct {
        const char* quien;
        const char* modulo;
        QVariant nivel;
        const char* accion;
        bool permitida;
    } casos[] = {
        {"operador", "frmAsientos", 1, "alta", true},
        {"operador", "frmAsientos", 2, "alta", false},
        {"operador", "frmAsientos", 3, "alta", true},
        {"operador", "frmAsientos", 4, "alta", true},
        {"operador", "frmAsientos", sinFila, "alta", false},
        {"inactivo", "frmAsientos", 1, "alta", false},
        {"nadie", "frmAsientos", 1, "alta", false},
        {"sistema", "frmAsientos", 0, "alta", true},
        {"operador", "EliminacionAsientos", 1, "baja", true},
        {"operador", "EliminacionAsientos", 3, "baja", false},
        {"operador", "EliminacionAsientos", 0, "baja", false},
        {"operador", "frmCierreEjercicio", 1, "cierre", true},
        {"operador", "frmCierreEjercicio", 2, "cierre", false},
        {"operador", "frmAperturaEjercicio", 0, "apertura", false},
        {"operador", "ImportacionIndices", 3, "importo", true},
        {"operador", "ImportacionIndices", 2, "importo", false},
        {"operador", "frmUsuarios", 3, "grabo usuario", true},
        {"operador", "frmUsuarios", 2, "grabo usuario", false},
        {"operador", "frmUsuarios", 1, "borro usuario", true},
        {"operador", "frmUsuarios", 3, "borro usuario", false},
        {"operador", "CopiaSeguridad", 2, "copia", true},
        {"operador", "CopiaSeguridad", 0, "copia", false},
        {"nadie", "CopiaSeguridad", 1, "copia", false},
        // The catalogues' logic, whoever calls it.
        {"operador", "frmEmpresasPropia", 3, "grabo empresa", true},
        {"operador", "frmEmpresasPropia", 2, "grabo empresa", false},
        {"operador", "frmConceptosAsiento", 1, "borro concepto", true},
        {"operador", "frmConceptosAsiento", 3, "borro concepto", false},
        {"operador", "frmEjercicios", 3, "grabo ejercicio", true},
        {"operador", "frmEjercicios", 2, "grabo ejercicio", false},
        {"operador", "frmEjercicios", 3, "borro ejercicio", false},
        {"operador", "frmCuentas", 2, "grabo cuenta", false},
        {"operador", "frmCuentas", 3, "borro cuenta", false},
        {"operador", "frmCuentas", 1, "borro cuenta", true},
        {"operador", "frmAjustesInflacion", 2, "grabo índices", false},
        {"operador", "frmAjustesInflacion", 3, "grabo índices", true},
        // The screens: whether one opens, and whether its marked command is enabled once open.
        {"operador", "frmCuentas", 0, "abre frmCuentas", false},
        {"operador", "frmCuentas", sinFila, "abre frmCuentas", false},
        {"operador", "frmCuentas", 2, "guardar frmCuentas", false},
        {"operador", "frmCuentas", 3, "guardar frmCuentas", true},
        {"operador", "frmCuentas", 3, "borrar frmCuentas", false},
        {"operador", "frmCuentas", 1, "borrar frmCuentas", true},
        {"operador", "frmCuentas", 0, "abre frmRubrosEstados", false},
        {"operador", "frmCuentas", 2, "guardar frmRubrosEstados", false},
        {"operador", "frmEmpresasPropia", 0, "abre frmEmpresasPropia", false},
        {"operador", "frmEmpresasPropia", 2, "guardar frmEmpresasPropia", false},
        {"operador", "frmEjercicios", 3, "borrar frmEjercicios", false},
        {"operador", "frmConceptosDetAsiento", 2, "agregar frmConceptosDetAsiento", false},
        {"operador", "frmTablasAjusteInflacion", 3, "guardar frmTablasAjusteInflacion", true},
        {"operador", "frmAsientos", 2, "guardar frmAsientos", false},
        {"operador", "frmAsientos", 3, "borrar frmAsientos", false},
        {"operador", "EliminacionAsientos", 3, "borrar frmAsientos", false},
        {"operador", "EliminacionAsientos", 1, "borrar frmAsientos", true},
        {"operador", "ImportacionIndices", 2, "importar frmAjustesInflacion", false},
        {"operador", "frmAjustesInflacion", 2, "importar frmAjustesInflacion", true},
        {"operador", "frmAjustesInflacion", 2, "guardar frmAjustesInflacion", false},
        {"operador", "frmCierreEjercicio", 2, "aceptar frmCierreEjercicios", false},
        {"operador", "frmRptBalance", 0, "abre frmRptBalance", false},
        {"operador", "frmRptBalance", 2, "abre frmRptBalance", true},
        // A screen that no module governs opens for everybody.
        {"operador", "frmCuentas", 0, "abre frmCalculadora", true},
    };
    for (const auto& c : casos)
        QTest::addRow("%s %s %s %s", c.quien, c.accion, c.modulo,
                      c.nivel.isValid() ? qPrintable(c.nivel.toString()) : "sin fila")
            << c.quien << c.modulo << c.nivel << c.accion << c.permitida;
}

void PruebaPermisos::accionesEnLaLogica() {
    QFETCH(QString, quien);
    QFETCH(QString, modulo);
    QFETCH(QVariant, nivel);
    QFETCH(QString, accion);
    QFETCH(bool, permitida);
    Entorno e;
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    QVERIFY(AgregoLinea(2));
    QVERIFY(Ejecuto("INSERT INTO Usuarios (Usuario, NombreCorto, descUsuario, Perfil, Contrasena, Activo) "
                    "VALUES (3, 'OTRO', 'Otro', 2, 'x', 0)")
                .ok);
    EntroComoOperador();
    if (quien == "inactivo") QVERIFY(Ejecuto("UPDATE Usuarios SET Activo=0 WHERE Usuario=2").ok);
    FijoNivel(modulo, nivel);
    Contexto ctx = quien == "sistema" ? Contexto::DelSistema(1, 1) : ContextoActual();
    if (quien == "nadie") ctx.usuario = 0;

    // Each action through the logic behind its screen; what it changes is counted before and after.
    auto escribo = [&](TipoCambio tipo, Especial especial, const QDate& fecha) {
        Escritura w;
        w.tipo = tipo;
        w.especial = especial;
        w.fecha = fecha;
        w.lineas = {{1, 2, Importe::DeCentavos(1000), {}, {}}, {2, 7, Importe::DeCentavos(-1000), {}, {}}};
        return EscriboAsiento(ctx, w).ok();
    };
    QString error;
    bool hecho = false;
    int antes = Cuento("Asientos"), despues = 0;
    if (accion == "alta") {
        hecho = escribo(TipoCambio::Alta, Especial::Ordinario, QDate(2024, 3, 1));
        despues = Cuento("Asientos") - antes;
    } else if (accion == "baja") {
        Escritura w;
        w.tipo = TipoCambio::Baja;
        w.guardado = 1;
        hecho = EscriboAsiento(ctx, w).ok();
        despues = antes - Cuento("Asientos");
    } else if (accion == "cierre" || accion == "apertura") {
        hecho = accion == "cierre" ? escribo(TipoCambio::Cierre, Especial::CierrePatrimonial, QDate(2024, 12, 31))
                                   : escribo(TipoCambio::Apertura, Especial::Apertura, QDate(2024, 1, 1));
        despues = Cuento("Asientos") - antes;
    } else if (accion == "importo") {
        QVERIFY(Ejecuto("INSERT INTO TablasAjusteInflacion (TablaAjusteInflacion, descTablaAjusteInflacion) "
                        "VALUES (1, 'IPC')")
                    .ok);
        QFile f(e.Ruta("indices.csv"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("2024-01,100\n2024-02,101.5\n");
        f.close();
        antes = Cuento("AjustesInflacion");
        int importados = 0;
        hecho = ImportoIndices(ctx, 1, f.fileName(), false, &importados, &error);
        despues = Cuento("AjustesInflacion") - antes;
    } else if (accion == "grabo usuario" || accion == "borro usuario") {
        antes = Cuento("Usuarios");
        hecho = accion == "grabo usuario" ? GraboUsuario(ctx, -1, {"nuevo", "Nuevo", 2, "", true}).ok
                                          : BorroUsuario(ctx, 3).ok;
        despues = std::abs(Cuento("Usuarios") - antes);
    } else if (accion == "grabo empresa") {
        antes = Cuento("EmpresasPropia");
        hecho = CatalogoDatos(Empresas::Sentencias()).Agrego(ctx, 9, "Otra").ok;
        despues = Cuento("EmpresasPropia") - antes;
    } else if (accion == "borro concepto") {
        const CatalogoDatos conceptos(
            SentenciasCatalogo::De("ConceptosAsiento", "ConceptoAsiento", "descConceptoAsiento", modulo));
        QVERIFY(conceptos.Agrego(Contexto::DelSistema(), 1, "Ventas").ok);
        hecho = conceptos.Borro(ctx, 1).ok;
        despues = 1 - Cuento("ConceptosAsiento");
    } else if (accion == "grabo ejercicio" || accion == "borro ejercicio") {
        const auto nuevo = [](const Contexto& c) {
            return Ejercicios::GraboEjercicio(c, 1, -1, QDate(2030, 1, 1), QDate(2030, 12, 31), -1);
        };
        if (accion == "borro ejercicio") QVERIFY(nuevo(Contexto::DelSistema()).ok);
        antes = Cuento("Ejercicios");
        hecho = accion == "grabo ejercicio" ? nuevo(ctx).ok : Ejercicios::BorroEjercicio(ctx, 1, 2).ok;
        despues = std::abs(Cuento("Ejercicios") - antes);
    } else if (accion == "grabo cuenta" || accion == "borro cuenta") {
        DatosCuenta d;
        d.descripcion = "NUEVA";
        d.numHijo = "9";
        Grabacion g = AgregoCuenta(accion == "grabo cuenta" ? ctx : Contexto::DelSistema(), 1, 1, 0, d);
        antes = Cuento("Cuentas");
        hecho = accion == "grabo cuenta" ? g.ok() : EliminoCuenta(ctx, 1, 1, g.cuenta).ok();
        despues = accion == "grabo cuenta" ? int(g.ok()) : antes - Cuento("Cuentas");
    } else if (accion == "grabo índices") {
        QVERIFY(Ejecuto("INSERT INTO TablasAjusteInflacion (TablaAjusteInflacion, descTablaAjusteInflacion) "
                        "VALUES (1, 'IPC')")
                    .ok);
        hecho = GuardoValores(ctx, 1, QDate(2024, 1, 1), QDate(2024, 12, 31), {{QDate(2024, 1, 31), 100}}, &error);
        despues = Cuento("AjustesInflacion");
    } else if (accion.contains(' ')) {
        // "<command> <screen>": the screen is opened from the registry, as the menus open it.
        const QString mando = accion.section(' ', 0, 0), pantalla = accion.section(' ', 1);
        static const QHash<QString, QString> controles = {{"guardar", "btnGuardar"}, {"borrar", "btnRegBorrar"},
                                                         {"agregar", "btnRegAgregar"}, {"importar", "btnImportar"},
                                                         {"aceptar", "btnOk"}};
        App().currentCompany = 1;
        App().currentYear = 1;
        App().chartCompany = 1;
        App().chartYear = 1;
        RegistroPantallasCuentas();
        RegistroPantallasAsientos();
        RegistroPantallasEjercicios();
        RegistroPantallasInflacion();
        RegistroPantallasReportes();
        RegistroPantallasUtilidades();
        QMdiArea marco;
        Pantallas::FijoMarco(&marco);
        bool abierta = false;
        auto miro = [&](QWidget* w) {
            abierta = true;
            if (mando == "abre") return;
            const QWidget* c = w->findChild<QWidget*>(controles.value(mando));
            QVERIFY2(c, qPrintable(controles.value(mando)));
            hecho = c->isEnabled();
        };
        const bool modal = Pantallas::FormaDe(pantalla) == Pantallas::Forma::Modal;
        if (modal)
            SiSeAbreModal([&](QWidget* w) {
                miro(w);
                if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
                else w->close();
            });
        const bool refusal = mando == "abre" && !permitida && pantalla != "frmCalculadora";
        if (refusal) MensajePrueba::setNextAnswer(Respuesta::Ok);
        const Pantallas::Apertura ap = Pantallas::Abro(pantalla);
        if (ap.hija) miro(ap.hija);
        marco.closeAllSubWindows();
        Pantallas::FijoMarco(nullptr);
        // A refused screen is never built, and says why.
        QCOMPARE(abierta, ap.abierta);
        QCOMPARE(MensajePrueba::Textos(),
                 refusal ? QStringList{QString::fromUtf8("Su perfil no tiene permiso para abrir «%1»")
                                           .arg(DescripcionModulo(modulo))}
                         : QStringList());
        if (mando == "abre") hecho = abierta;
        else QVERIFY2(abierta, "la pantalla no abrió");
        QCOMPARE(hecho, permitida);
        return;
    } else if (accion == "copia") {
        const QString copia = e.Ruta("copia.BAK");
        hecho = Mantenimiento::CopioEnArchivo(ctx, {App().databasePath, e.Ruta("p.BAK"), e.Ruta("p.AUX")}, copia,
                                              QDate::currentDate(), &error);
        despues = QFile::exists(copia) ? 1 : 0;
    }
    QCOMPARE(hecho, permitida);
    // A refused action leaves the books as they were; an allowed one did its work.
    QVERIFY2(despues == (permitida ? (accion == "importo" ? 2 : 1) : 0), qPrintable(QString::number(despues)));
    // A refusal says why.
    if (!permitida && !error.isEmpty()) QVERIFY2(error.contains("perfil") || error.contains("usuario"), qPrintable(error));
}

// ---------------------------------------------------------------------------------------------
// Users

void PruebaUsuarios::nuevoUsuario() {
    Entorno e;
    const ResultadoUsuario r = GraboUsuario(ContextoActual(), -1, {"o'hara_%", "Juan O'Hara", 2, "no se usa", true});
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.usuario, 2);
    QCOMPARE(ValorCampo("Usuarios", "NombreCorto", "Usuario=2")->toString(), QString("O'HARA_%"));
    QCOMPARE(ValorCampo("Usuarios", "descUsuario", "Usuario=2")->toString(), QString("Juan O'Hara"));
    QCOMPARE(ValorCampo("Usuarios", "Perfil", "Usuario=2")->toInt(), 2);
    QCOMPARE(ValorCampo("Usuarios", "Activo", "Usuario=2")->toInt(), -1);
    // The password is the login name, kept as a hash: never in clear.
    QVERIFY(EsHashContrasena(Guardada(2)));
    QVERIFY(!Guardada(2).contains("HARA", Qt::CaseInsensitive));
    QCOMPARE(BuscoUsuario("o'hara_%", "O'Hara_%"), 2);
    QCOMPARE(BuscoUsuario("o'hara_%", "no se usa"), -1);
    // Without a profile the user is stored with none.
    const ResultadoUsuario s = GraboUsuario(ContextoActual(), -1, {"inactivo", "", QVariant(), "", false});
    QVERIFY(s.ok);
    QCOMPARE(s.usuario, 3);
    QVERIFY(ValorCampo("Usuarios", "Perfil", "Usuario=3")->isNull());
    QCOMPARE(BuscoUsuario("inactivo", "inactivo"), -1);
}

void PruebaUsuarios::contrasenaSoloCambiaSiSeEscribe() {
    Entorno e;
    Ejecuto("UPDATE Usuarios SET Contrasena='vieja plana' WHERE Usuario=1");
    QVERIFY(GraboUsuario(ContextoActual(), 1, {"admin", "Administrador General", 1, "", true}).ok);
    QCOMPARE(Guardada(1), QString("vieja plana"));
    QCOMPARE(ValorCampo("Usuarios", "descUsuario", "Usuario=1")->toString(),
             QString("Administrador General"));
    QVERIFY(GraboUsuario(ContextoActual(), 1, {"admin", "Administrador", 1, "Nueva", true}).ok);
    QVERIFY(EsHashContrasena(Guardada(1)));
    QVERIFY(VerificoContrasena("nUEVA", Guardada(1)));
    // An update of a user that no longer exists is reported, not taken as saved.
    QVERIFY(!GraboUsuario(ContextoActual(), 40, {"x", "", 1, "", true}).ok);
}

// A change that leaves no active administrator is refused whole; with a second active one it goes.
void PruebaUsuarios::ultimoAdministrador_data() {
    QTest::addColumn<QString>("cambio");
    QTest::addColumn<bool>("otroAdministrador");
    for (const bool otro : {false, true})
        for (const char* c : {"desactivo", "borro", "cambio perfil"})
            QTest::newRow(qPrintable(QString(c) + (otro ? ", con otro" : ", el único")))
                << QString(c) << otro;
}
void PruebaUsuarios::ultimoAdministrador() {
    QFETCH(QString, cambio);
    QFETCH(bool, otroAdministrador);
    Entorno e;
    // An inactive administrator and an active operator never count.
    QVERIFY(GraboUsuario(ContextoActual(), -1, {"viejo", "Inactivo", PerfilAdministrador, "", false}).ok);
    QVERIFY(GraboUsuario(ContextoActual(), -1, {"oper", "Operador", 2, "", true}).ok);
    if (otroAdministrador) QVERIFY(GraboUsuario(ContextoActual(), -1, {"segundo", "Otro", PerfilAdministrador, "", true}).ok);
    const QString antes = ValorCampo("Usuarios", "Perfil || '/' || Activo", "Usuario=1")->toString();
    QString error;
    bool ok = false;
    if (cambio == "borro") {
        const Resultado r = BorroUsuario(ContextoActual(), 1);
        ok = r.ok;
        error = r.error;
    } else {
        const ResultadoUsuario r =
            GraboUsuario(ContextoActual(), 1, {"admin", "Administrador", cambio == "cambio perfil" ? 2 : PerfilAdministrador,
                             "", cambio != "desactivo"});
        ok = r.ok;
        error = r.error;
    }
    QCOMPARE(ok, otroAdministrador);
    if (otroAdministrador) {
        QVERIFY(error.isEmpty());
        return;
    }
    QCOMPARE(error, QString("debe quedar al menos un usuario activo con el perfil Administrador"));
    QCOMPARE(ValorCampo("Usuarios", "Perfil || '/' || Activo", "Usuario=1")->toString(), antes);
    QCOMPARE(Transaccion::Profundidad(), 0);
}

void PruebaUsuarios::cambioContrasena_data() {
    QTest::addColumn<QString>("guardada"); // "#" + text: stored as a hash of the text; "!": Null
    QTest::addColumn<QString>("actual");
    QTest::addColumn<bool>("hecho");
    QTest::newRow("hash, otra letra") << "#Vieja"
                                      << "vIEJA" << true;
    QTest::newRow("hash, incorrecta") << "#Vieja"
                                      << "viejo" << false;
    QTest::newRow("plana antigua") << "vieja"
                                   << "VIEJA" << true;
    QTest::newRow("plana, incorrecta") << "vieja"
                                       << "vieja " << false;
    QTest::newRow("comillas") << "#a'b"
                              << "A'B" << true;
    // A row without a password matches no typed text, the empty one included.
    QTest::newRow("nula, vacía") << "!"
                                 << "" << false;
}

void PruebaUsuarios::cambioContrasena() {
    QFETCH(QString, guardada);
    QFETCH(QString, actual);
    QFETCH(bool, hecho);
    Entorno e;
    const QVariant valor = guardada == "!"            ? QVariant(QMetaType::fromType<QString>())
                           : guardada.startsWith('#') ? QVariant(HashContrasena(guardada.mid(1)))
                                                      : QVariant(guardada);
    QVERIFY(Ejecuto("UPDATE Usuarios SET Contrasena=? WHERE Usuario=1", {valor}).ok);
    const CambioClave r = CambioContrasena(1, actual, "d'Artagnan");
    QCOMPARE(r, hecho ? CambioClave::Hecho : CambioClave::ActualIncorrecta);
    if (hecho) {
        QVERIFY(EsHashContrasena(Guardada(1)));
        QVERIFY(VerificoContrasena("D'ARTAGNAN", Guardada(1)));
        QCOMPARE(BuscoUsuario("admin", "d'artagnan"), 1);
    } else {
        const Valor ahora = ValorCampo("Usuarios", "Contrasena", "Usuario=1");
        QVERIFY(ahora);
        QCOMPARE(ahora->isNull(), valor.isNull());
        QCOMPARE(NuloAVacio(*ahora), NuloAVacio(valor));
    }
}

// ---------------------------------------------------------------------------------------------
// Password change dialog

void PruebaFrmCambioContrasena::muestraElUsuario() {
    Entorno e;
    frmCambioContrasena f;
    QCOMPARE(f.windowTitle(), QString("Cambio de Contraseña"));
    QCOMPARE(f.findChild<QLabel*>("lblUsuario")->text(), QString("Usuario: ADMIN"));
    for (const char* n : {"inpContrasenaActual", "inpNuevaContrasena", "inpConfirmacionContrasena"}) {
        auto* campo = f.findChild<QLineEdit*>(n);
        QCOMPARE(campo->echoMode(), QLineEdit::Password);
        // One "*" per character, as the login window shows it.
        QCOMPARE(campo->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, campo), int('*'));
    }
}

void PruebaFrmCambioContrasena::reglas_data() {
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("nueva");
    QTest::addColumn<QString>("confirmacion");
    QTest::addColumn<QString>("mensaje"); // empty: accepted
    QTest::newRow("difieren en mayúsculas")
        << "admin"
        << "Clave"
        << "clave"
        << "La Nueva Contraseña debe coincidir con la Confirmación de contraseña";
    QTest::newRow("nueva vacía") << "admin"
                                 << ""
                                 << ""
                                 << "La nueva contraseña no puede ser nula";
    QTest::newRow("actual incorrecta") << "otra"
                                       << "clave"
                                       << "clave"
                                       << "Lo siento, no se pudo actualizar contraseña, verifique que la "
                                          "identificación o contraseña actual sean correctas";
    QTest::newRow("actual en otra letra") << "AdMiN"
                                          << "o'Clave%"
                                          << "o'Clave%"
                                          << "";
}

void PruebaFrmCambioContrasena::reglas() {
    QFETCH(QString, actual);
    QFETCH(QString, nueva);
    QFETCH(QString, confirmacion);
    QFETCH(QString, mensaje);
    Entorno e;
    const QString antes = Guardada(1);
    frmCambioContrasena f;
    f.show();
    QTest::keyClicks(f.findChild<QLineEdit*>("inpContrasenaActual"), actual);
    QTest::keyClicks(f.findChild<QLineEdit*>("inpNuevaContrasena"), nueva);
    QTest::keyClicks(f.findChild<QLineEdit*>("inpConfirmacionContrasena"), confirmacion);
    if (!mensaje.isEmpty()) MensajePrueba::setNextAnswer(Respuesta::Ok);
    QTest::mouseClick(f.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
    if (mensaje.isEmpty()) {
        QVERIFY(MensajePrueba::Textos().isEmpty());
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QVERIFY(EsHashContrasena(Guardada(1)));
        QCOMPARE(BuscoUsuario("ADMIN", nueva.toLower()), 1);
    } else {
        QCOMPARE(MensajePrueba::Textos(), QStringList{mensaje});
        QVERIFY(f.isVisible());
        QCOMPARE(Guardada(1), antes);
    }
}

void PruebaFrmCambioContrasena::enterEnConfirmacionAcepta() {
    Entorno e;
    frmCambioContrasena f;
    f.show();
    QTest::keyClicks(f.findChild<QLineEdit*>("inpContrasenaActual"), "admin");
    QTest::keyClicks(f.findChild<QLineEdit*>("inpNuevaContrasena"), "nueva");
    QTest::keyClicks(f.findChild<QLineEdit*>("inpConfirmacionContrasena"), "nueva");
    QTest::keyClick(f.findChild<QLineEdit*>("inpConfirmacionContrasena"), Qt::Key_Return);
    QVERIFY(!f.isVisible());
    QCOMPARE(BuscoUsuario("admin", "NUEVA"), 1);
}

void PruebaFrmCambioContrasena::abreDesdeElRegistro() {
    Entorno e;
    Pantallas::Olvido();
    RegistroPantallasSeguridad();
    // Cancel changes nothing; then a change through the registry as the main window opens it.
    const QString antes = Guardada(1);
    AlAbrirModal([](QWidget* w) {
        QTest::keyClicks(w->findChild<QLineEdit*>("inpContrasenaActual"), "admin");
        w->findChild<QPushButton*>("btnCancel")->click();
    });
    QCOMPARE(Pantallas::AbroModal("frmCambioContrasena"), int(QDialog::Rejected));
    QCOMPARE(Guardada(1), antes);
    AlAbrirModal([](QWidget* w) {
        QTest::keyClicks(w->findChild<QLineEdit*>("inpContrasenaActual"), "admin");
        QTest::keyClicks(w->findChild<QLineEdit*>("inpNuevaContrasena"), "x");
        QTest::keyClicks(w->findChild<QLineEdit*>("inpConfirmacionContrasena"), "x");
        w->findChild<QPushButton*>("btnOk")->click();
    });
    QCOMPARE(Pantallas::AbroModal("frmCambioContrasena"), int(QDialog::Accepted));
    QCOMPARE(BuscoUsuario("admin", "x"), 1);
    Pantallas::Olvido();
}
