// The main window: menus, background, fiscal-year change, year closing and opening checks, exit.
#include "Falsas.h"
#include "accounts/ui/RegistroCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Ini.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "core/ui/Arranque.h"
#include "core/ui/Ayuda.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/Principal.h"
#include "core/ui/frmMain.h"
#include "fiscal/ui/RegistroEjercicios.h"
#include "inflation/ui/RegistroInflacion.h"
#include "journal/ui/RegistroAsientos.h"
#include "maintenance/ui/RegistroMantenimiento.h"
#include "reports/ui/RegistroReportes.h"
#include "security/ui/RegistroSeguridad.h"
#include "tests/support/ui/EntornoPantallas.h"
#include "tst_shell.h"
#include "utilities/ui/RegistroUtilidades.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QTest>
#include <QTextBrowser>

namespace {
using Pantallas::Forma;

QAction* Accion(frmMain& m, const char* nombre) {
    auto* a = m.findChild<QAction*>(nombre);
    if (!a) qFatal("No existe el comando %s", nombre);
    return a;
}

void RegistroHija(const QString& forma, const QString& titulo, bool rechazaCierre = false) {
    Pantallas::Registro(forma, Forma::Hija, [titulo, rechazaCierre](QWidget*) -> QWidget* {
        return new HijaFalsa(titulo, rechazaCierre);
    });
}

void RegistroModal(const QString& forma, std::function<void()> alAbrir = {}) {
    Pantallas::Registro(forma, Forma::Modal,
                        [alAbrir](QWidget* p) -> QWidget* { return new DialogoFalso(p, alAbrir); });
}

} // namespace

// Every screen the program registers, with its commands; a test replaces how the ones it opens are
// built, and they keep their places in the menus.
void PruebaPrincipal::init() {
    Pantallas::Olvido();
    RegistroPantallasCuentas();
    RegistroPantallasAsientos();
    RegistroPantallasEjercicios();
    RegistroPantallasInflacion();
    RegistroPantallasSeguridad();
    RegistroPantallasUtilidades();
    RegistroPantallasReportes();
    RegistroPantallasMantenimiento();
}

void PruebaPrincipal::cleanup() {
    Pantallas::Olvido();
    // The maintenance registration also hands start-up its steps; no other test inherits them.
    FijoMantenimientoInicial(nullptr);
    FijoVerificoEstructura(nullptr);
    FijoRespaldoPrevio(nullptr);
    FijoOfertaMantenimiento(nullptr);
}

void PruebaPrincipal::menus() {
    Entorno e;
    frmMain m;
    // Menu, caption, then its items ("-" a separator), as name=caption.
    const QList<QStringList> esperado = {
        {"M_Archivos=&Archivos", "M_AjustesInflacion=&Ajustes Inflación",
         "M_ConceptosAsiento=&Conceptos Asiento", "M_ConceptosDetAsiento=C&onceptos Detalles Asiento",
         "M_Ejercicios=&Ejercicios", "M_EmpresasPropia=E&mpresas Propias", "M_PlanCuentas=&Plan de Cuentas",
         "M_TablasAjusteInflacion=&Tablas Ajuste Inflación", "-", "M_CopiaSeguridad=Copia de se&guridad…",
         "M_RestaurarCopia=&Restaurar copia…", "-", "M_Impresora=Setup Impresora", "-",
         "Salir=&Salir"},
        {"M_Asientos=&Gestión Asientos", "M_IngresarNuevoAsiento=Ingresar &Nuevo Asiento",
         "M_BuscarAsientos=&Buscar Asiento/s"},
        {"M_Listados=&Listados", "M_DiarioGeneral=&Diario General", "M_Mayores=&Mayores",
         "M_Balance=&Balance Sumas y Saldos", "M_BalanceReAjustado=Balance Sumas y Saldos &ReAjustado"},
        {"M_Reportes=&Reportes", "M_EstadoSituacion=Estado de &Situación Patrimonial",
         "M_EstadoResultados=Estado de &Resultados", "-",
         "M_RubrosEstados=R&ubros de los Estados Contables"},
        {"M_Contrasena=&Seguridad", "M_Usuarios=&Usuarios", "M_CambioContrasena=&Cambio Contraseña"},
        {"M_Especiales=&Especiales", "M_Calculadora=C&alculadora", "-",
         "M_CierreEjercicio=&Cierre automático ejercicio",
         "M_AperturaEjercicio=&Apertura automática ejercicio"},
        {"M_Ventana=&Ventana", "M_Cascada=&Cascada", "M_MosaicoH=Mosaico &Horizontal",
         "M_Mosaico=Mosaico &Vertical", "M_organizarIconos=&Organizar Iconos"},
        {"M_Ayuda=A&yuda", "M_Contenido=&Contenido", "-", "M_About=A&cerca de..."},
    };
    QList<QStringList> hallado;
    for (QAction* a : m.menuBar()->actions()) {
        QMenu* menu = a->menu();
        QVERIFY(menu);
        QStringList fila{menu->objectName() + "=" + menu->title()};
        for (QAction* item : menu->actions())
            fila << (item->isSeparator() ? QString("-") : item->objectName() + "=" + item->text());
        hallado << fila;
    }
    QCOMPARE(hallado, esperado);
}

void PruebaPrincipal::habilitadosSegunRegistro() {
    Entorno e;
    Pantallas::Olvido();
    frmMain m;
    const QStringList conPantalla = {"M_AjustesInflacion",
                                     "M_ConceptosAsiento",
                                     "M_ConceptosDetAsiento",
                                     "M_Ejercicios",
                                     "M_EmpresasPropia",
                                     "M_PlanCuentas",
                                     "M_TablasAjusteInflacion",
                                     "M_IngresarNuevoAsiento",
                                     "M_BuscarAsientos",
                                     "M_DiarioGeneral",
                                     "M_Mayores",
                                     "M_Balance",
                                     "M_BalanceReAjustado",
                                     "M_Usuarios",
                                     "M_CambioContrasena",
                                     "M_Calculadora",
                                     "M_CierreEjercicio",
                                     "M_AperturaEjercicio",
                                     "M_About"};
    // Without registered screens the menus hold only the main window's own commands.
    for (const QString& n : conPantalla)
        QVERIFY2(!m.findChild<QAction*>(n), qPrintable(n));
    for (const char* n :
         {"M_Impresora", "Salir", "M_Cascada", "M_MosaicoH", "M_Mosaico", "M_organizarIconos", "M_Contenido"})
        QVERIFY2(Accion(m, n)->isEnabled(), n);
    QCOMPARE(m.findChild<QMenu*>("M_Archivos")->actions().first()->objectName(), QString("M_Impresora"));

    // Registration after the window exists is seen when the menu opens.
    RegistroPantallasUtilidades();
    RegistroPantallasAsientos();
    auto* especiales = m.findChild<QMenu*>("M_Especiales");
    QVERIFY(!m.findChild<QAction*>("M_Calculadora"));
    emit especiales->aboutToShow();
    QVERIFY(Accion(m, "M_Calculadora")->isEnabled());
    QVERIFY(!m.findChild<QAction*>("M_CierreEjercicio"));
    QVERIFY(Accion(m, "M_IngresarNuevoAsiento")->isEnabled());
    QVERIFY(Accion(m, "M_BuscarAsientos")->isEnabled());
    QVERIFY(!m.findChild<QAction*>("M_DiarioGeneral"));

    // Replacing how a screen is built keeps its command; forgetting the screens takes it away.
    RegistroHija("frmCalculadora", "Calculadora");
    emit especiales->aboutToShow();
    Accion(m, "M_Calculadora")->trigger();
    QVERIFY(Pantallas::Abierta("frmCalculadora"));
    Pantallas::Olvido();
    emit especiales->aboutToShow();
    QVERIFY(!m.findChild<QAction*>("M_Calculadora"));
    QVERIFY(Accion(m, "M_Impresora")->isEnabled());
}

void PruebaPrincipal::fondoYVentanas() {
    Entorno e;
    frmMain m;
    m.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m));
    QVERIFY(m.pct1->isVisible());
    QCOMPARE(m.pct1->size(), m.marco->viewport()->size());

    RegistroHija("frmCalculadora", "Calculadora");
    RegistroHija("frmRptBalance", "Balance");
    bool fondoDuranteModal = true;
    RegistroModal("frmAbout", [&] { fondoDuranteModal = m.pct1->isVisible(); });
    // A screen that refuses to open leaves the background as it was.
    Pantallas::Registro("frmRptMayores", Forma::Hija, [](QWidget*) -> QWidget* { return nullptr; });
    m.ActualizoMenus();

    Accion(m, "M_About")->trigger();
    QVERIFY(!fondoDuranteModal);
    QVERIFY(m.pct1->isVisible());

    Accion(m, "M_Mayores")->trigger();
    QTest::qWait(1);
    QVERIFY(m.pct1->isVisible());
    QVERIFY(m.marco->subWindowList().isEmpty());

    Accion(m, "M_Calculadora")->trigger();
    QVERIFY(!m.pct1->isVisible());
    Accion(m, "M_Calculadora")->trigger(); // only one instance of each screen
    Accion(m, "M_Balance")->trigger();
    QCOMPARE(m.marco->subWindowList().size(), 2);
    QVERIFY(!m.pct1->isVisible());

    m.marco->subWindowList().first()->close();
    QTRY_COMPARE(m.marco->subWindowList().size(), 1);
    QVERIFY(!m.pct1->isVisible());
    m.marco->subWindowList().first()->close();
    QTRY_VERIFY(m.pct1->isVisible());

    // Arranging: side by side, one above the other.
    Accion(m, "M_Calculadora")->trigger();
    Accion(m, "M_Balance")->trigger();
    const QRect r = m.marco->viewport()->rect();
    Accion(m, "M_Mosaico")->trigger();
    for (QMdiSubWindow* s : m.marco->subWindowList()) {
        QCOMPARE(s->height(), r.height());
        QVERIFY(qAbs(s->width() - r.width() / 2) <= 1);
    }
    Accion(m, "M_MosaicoH")->trigger();
    for (QMdiSubWindow* s : m.marco->subWindowList()) {
        QCOMPARE(s->width(), r.width());
        QVERIFY(qAbs(s->height() - r.height() / 2) <= 1);
    }
    for (QMdiSubWindow* s : m.marco->subWindowList())
        s->showMinimized();
    Accion(m, "M_organizarIconos")->trigger();
    const auto hijas = m.marco->subWindowList();
    QCOMPARE(hijas[0]->geometry().bottom(), r.bottom());
    QCOMPARE(hijas[1]->geometry().bottom(), r.bottom());
    QVERIFY(hijas[0]->geometry().right() < hijas[1]->geometry().left());
}

void PruebaPrincipal::listaVentanas() {
    Entorno e;
    frmMain m;
    m.show();
    RegistroHija("frmRptDiarioGeneral", "Diario General");
    RegistroHija("frmRptMayores", "Mayores");
    m.ActualizoMenus();
    auto* ventana = m.findChild<QMenu*>("M_Ventana");
    emit ventana->aboutToShow();
    QCOMPARE(ventana->actions().size(), 4); // no list while nothing is open

    Accion(m, "M_DiarioGeneral")->trigger();
    Accion(m, "M_Mayores")->trigger();
    emit ventana->aboutToShow();
    QList<QAction*> items = ventana->actions();
    QCOMPARE(items.size(), 7);
    QVERIFY(items[4]->isSeparator());
    QCOMPARE(items[5]->text(), QString("&1 Diario General"));
    QCOMPARE(items[6]->text(), QString("&2 Mayores"));
    QVERIFY(!items[5]->isChecked());
    QVERIFY(items[6]->isChecked());

    items[5]->trigger();
    QCOMPARE(m.marco->activeSubWindow()->windowTitle(), QString("Diario General"));
    emit ventana->aboutToShow(); // rebuilt, not appended
    items = ventana->actions();
    QCOMPARE(items.size(), 7);
    QVERIFY(items[5]->isChecked());
    QVERIFY(!items[6]->isChecked());
}

void PruebaPrincipal::cambioEjercicio_data() {
    QTest::addColumn<int>("hijas");
    QTest::addColumn<bool>("ayuda");
    QTest::addColumn<bool>("cambia");
    QTest::newRow("ninguna abierta") << 0 << false << true;
    QTest::newRow("una abierta") << 1 << false << true;
    QTest::newRow("dos abiertas") << 2 << false << false;
    // The help viewer is not a screen of the books: it does not hold the change back.
    QTest::newRow("una abierta y la ayuda") << 1 << true << true;
}

void PruebaPrincipal::cambioEjercicio() {
    QFETCH(int, hijas);
    QFETCH(bool, ayuda);
    QFETCH(bool, cambia);
    Entorno e;
    e.CreoEmpresaYEjercicio(2, 1, QDate(2023, 7, 1), QDate(2024, 6, 30));
    e.CreoEmpresaYEjercicio(1, 1);
    QVariant recibidoEjercicio, recibidaEmpresa;
    // The fiscal years screen receives the current pair and hands back the chosen one.
    RegistroModal("frmEjercicios", [&] {
        recibidoEjercicio = App().preselection;
        recibidaEmpresa = App().companyParameter;
        App().companyParameter = 2;
        App().preselection = 1;
    });
    RegistroHija("frmRptDiarioGeneral", "Diario");
    RegistroHija("frmCalculadora", "Calculadora");
    frmMain m;
    m.show();
    m.ActualizoCaption();
    const QString antes = m.windowTitle();
    if (hijas >= 1) Pantallas::Activo("frmRptDiarioGeneral");
    if (hijas >= 2) Pantallas::Activo("frmCalculadora");
    if (ayuda) QVERIFY(MuestroAyuda() && VisorAyuda()->isVisible());

    if (!cambia) MensajePrueba::setNextAnswer(Respuesta::Ok);
    Accion(m, "M_Ejercicios")->trigger();
    if (VisorAyuda()) VisorAyuda()->close();
    QCOMPARE(recibidoEjercicio, QVariant(1));
    QCOMPARE(recibidaEmpresa, QVariant(1));
    if (cambia) {
        QVERIFY(MensajePrueba::Textos().isEmpty());
        QCOMPARE(App().currentCompany, 2);
        QCOMPARE(App().currentYear, 1);
        QVERIFY(m.windowTitle().endsWith(", Ejercicio: Empresa de Prueba 2, 01/07/23-30/06/24"));
        QCOMPARE(LeoLocal("Varios", "UltEmpresaPropia", "-"), QString("2"));
        QCOMPARE(LeoLocal("Varios", "UltNumEjercicio", "-"), QString("1"));
    } else {
        QCOMPARE(MensajePrueba::Textos(),
                 QStringList{"Para cambiar un ejercicio debe cerrar primero todas las ventanas"});
        QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Informacion);
        QCOMPARE(App().currentCompany, 1);
        QCOMPARE(m.windowTitle(), antes);
        QCOMPARE(LeoLocal("Varios", "UltEmpresaPropia", "-"), QString("-"));
    }
}

void PruebaPrincipal::comandosAsientos() {
    Entorno e;
    int creados = 0;
    Pantallas::Registro("frmAsientos", Forma::Hija, [&](QWidget*) -> QWidget* {
        ++creados;
        return new EditorFalso;
    });
    frmMain m;
    m.show();
    m.ActualizoMenus();
    Accion(m, "M_IngresarNuevoAsiento")->trigger();
    Accion(m, "M_BuscarAsientos")->trigger();
    QCOMPARE(creados, 1);
    auto* editor = qobject_cast<EditorFalso*>(Pantallas::Abierta("frmAsientos"));
    QVERIFY(editor);
    QCOMPARE(editor->comandos, (QStringList{"nuevo", "busco"}));

    // A screen registered for the editor that takes no commands is still opened by them.
    editor->parentWidget()->close();
    QTest::qWait(1);
    Pantallas::Registro("frmAsientos", Forma::Hija, [](QWidget*) -> QWidget* { return new QWidget; });
    Accion(m, "M_BuscarAsientos")->trigger();
    QTRY_VERIFY(Pantallas::Abierta("frmAsientos"));
    QCOMPARE(m.marco->subWindowList().size(), 1);
}

void PruebaPrincipal::preseleccionCatalogos() {
    Entorno e;
    e.CreoEmpresaYEjercicio(3, 4);
    QStringList vistos;
    auto registro = [&](const QString& forma) {
        RegistroModal(forma, [&vistos, forma] { vistos << forma + "=" + App().preselection.toString(); });
    };
    for (const char* f :
         {"frmConceptosAsiento", "frmConceptosDetAsiento", "frmEmpresasPropia", "frmTablasAjusteInflacion"})
        registro(f);
    int empresa = 0, ejercicio = 0;
    RegistroModal("frmCuentas", [&] {
        vistos << "frmCuentas=" + App().preselection.toString();
        empresa = App().chartCompany;
        ejercicio = App().chartYear;
    });
    frmMain m;
    m.ActualizoMenus();
    for (const char* c : {"M_ConceptosAsiento", "M_ConceptosDetAsiento", "M_EmpresasPropia",
                          "M_TablasAjusteInflacion", "M_PlanCuentas"}) {
        App().preselection = QVariant();
        Accion(m, c)->trigger();
    }
    QCOMPARE(vistos,
             (QStringList{"frmConceptosAsiento=true", "frmConceptosDetAsiento=true", "frmEmpresasPropia=true",
                          "frmTablasAjusteInflacion=true", "frmCuentas=true"}));
    QCOMPARE(empresa, 3);
    QCOMPARE(ejercicio, 4);
}

void PruebaPrincipal::setupImpresora() {
    Entorno e;
    frmMain m;
    m.show();
    QString visto;
    QPrinter* suya = nullptr;
    AlAbrirModal([&](QWidget* w) {
        visto = w->objectName();
        // The dialog sets up the printer every screen prints on, not one of its own.
        if (auto* d = qobject_cast<QAbstractPrintDialog*>(w)) suya = d->printer();
        if (auto* d = qobject_cast<QPageSetupDialog*>(w)) suya = d->printer();
        qobject_cast<QDialog*>(w)->reject();
    });
    Accion(m, "M_Impresora")->trigger();
    QCOMPARE(visto, QString("CMDialog1"));
    QVERIFY(suya);
    QCOMPARE(suya, &ImpresoraComun());
}

void PruebaPrincipal::ayuda() {
    Entorno e;
    // The contents list the pages found, by their titles, "Primeros pasos" first.
    const QList<PaginaAyuda> paginas = PaginasAyuda();
    QStringList titulos;
    for (const PaginaAyuda& p : paginas)
        titulos << p.titulo;
    QVERIFY(titulos.size() >= 3);
    QCOMPARE(titulos.first(), QString("Primeros pasos"));
    QVERIFY(titulos.contains("Acceso al sistema"));
    QVERIFY(titulos.contains("Ventana principal y menús"));
    QVERIFY(!titulos.contains("Contenido de la ayuda"));

    frmMain m;
    m.show();
    QVERIFY(QTest::qWaitForWindowActive(&m));
    Accion(m, "M_Contenido")->trigger();
    Ayuda* visor = VisorAyuda();
    QVERIFY(visor && visor->isVisible());
    QCOMPARE(visor->windowTitle(), QString("Ayuda de Partidex"));
    QVERIFY(visor->Navegador()->source().toString().endsWith("index.html"));
    const QString texto = visor->Navegador()->toPlainText();
    for (const QString& t : titulos)
        QVERIFY2(texto.contains(t), qPrintable(t));
    QVERIFY(texto.contains("F1"));

    // A link of the contents opens its page.
    visor->MuestroPagina("primeros-pasos.html");
    QVERIFY(visor->Navegador()->toPlainText().contains("ADMIN"));
    visor->close();
    QTRY_VERIFY(!VisorAyuda());

    // F1 from the main window, and from inside a modal screen.
    m.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m));
    QTest::keyClick(&m, Qt::Key_F1);
    QTRY_VERIFY(VisorAyuda() && VisorAyuda()->isVisible());
    VisorAyuda()->close();
    QTRY_VERIFY(!VisorAyuda());
    // The dialog is deleted by the registry once closed: only its name is kept.
    QString padreVisor;
    Pantallas::Registro("frmAbout", Forma::Modal, [&](QWidget* p) -> QWidget* {
        auto* d = new QDialog(p);
        QTimer::singleShot(50, d, [d, &padreVisor] {
            QTest::keyClick(d, Qt::Key_F1);
            if (VisorAyuda() && VisorAyuda()->parentWidget())
                padreVisor = VisorAyuda()->parentWidget()->objectName();
            d->accept();
        });
        return d;
    });
    m.ActualizoMenus();
    Accion(m, "M_About")->trigger();
    QCOMPARE(padreVisor, QString("frmAbout"));
}

void PruebaPrincipal::salida() {
    Entorno e;
    for (int i = 0; i < 3; ++i)
        NuevaSesion();
    App().currentSession = 2;
    RegistroHija("frmCalculadora", "Calculadora");
    frmMain m;
    m.show();
    m.ActualizoMenus();
    Accion(m, "M_Calculadora")->trigger();
    QSignalSpy terminado(&m, &frmMain::programaTerminado);
    Accion(m, "Salir")->trigger();
    QVERIFY(!m.isVisible());
    QCOMPARE(terminado.count(), 1);
    QVERIFY(!BaseAbierta());
    QVERIFY(AbroBase(App().databasePath));
    QCOMPARE(NumeroOCero(ValorCampo("Sesiones", "Count(*)", "1=1")), 2.0);
    QVERIFY(ValorCampo("Sesiones", "Sesion", "Sesion=1").has_value());
    QVERIFY(!ValorCampo("Sesiones", "Sesion", "Sesion=2").has_value());
    QVERIFY(ValorCampo("Sesiones", "Sesion", "Sesion=3").has_value());
}

// Leaving while one screen refuses to close closes nothing: every screen is asked first.
void PruebaPrincipal::salidaRechazada() {
    Entorno e;
    App().currentSession = NuevaSesion();
    RegistroHija("frmCalculadora", "Calculadora");
    Pantallas::Registro("frmAsientos", Forma::Hija,
                        [](QWidget*) -> QWidget* { return new EditorConCambios; });
    RegistroHija("frmRptBalance", "Balance", true);
    frmMain m;
    m.show();
    m.ActualizoMenus();
    for (const char* c : {"M_Calculadora", "M_IngresarNuevoAsiento", "M_Balance"})
        Accion(m, c)->trigger();
    auto* editor = qobject_cast<EditorConCambios*>(Pantallas::Abierta("frmAsientos"));
    QVERIFY(editor);
    QSignalSpy terminado(&m, &frmMain::programaTerminado);
    MensajePrueba::setNextAnswer(Respuesta::No);
    QVERIFY(!m.close());
    QVERIFY(m.isVisible());
    QCOMPARE(terminado.count(), 0);
    QVERIFY(BaseAbierta());
    QVERIFY(ValorCampo("Sesiones", "Sesion", "Sesion=?", {App().currentSession}).has_value());
    QCOMPARE(m.marco->subWindowList().size(), 3);
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Salva datos recientemente modificados?"});
    // The edits declined for an exit that did not happen are still there, and still asked about.
    QVERIFY(editor->dirty);
    QCOMPARE(editor->guardados, 0);

    // Once the screen agrees, the program ends, each screen asked once.
    qobject_cast<HijaFalsa*>(Pantallas::Abierta("frmRptBalance"))->rechaza = false;
    MensajePrueba::Limpio();
    MensajePrueba::setNextAnswer(Respuesta::Si);
    QVERIFY(m.close());
    QCOMPARE(terminado.count(), 1);
    QCOMPARE(MensajePrueba::Textos(), QStringList{"Salva datos recientemente modificados?"});
}

// How a command opens its screen is the registered kind's choice, not the main window's.
void PruebaPrincipal::formaDecideComoAbre_data() {
    QTest::addColumn<QString>("comando");
    QTest::addColumn<QString>("forma");
    QTest::addColumn<bool>("hija");
    QTest::newRow("acerca de como hija") << "M_About"
                                         << "frmAbout" << true;
    QTest::newRow("calculadora como modal") << "M_Calculadora"
                                            << "frmCalculadora" << false;
    QTest::newRow("balance como hija") << "M_Balance"
                                       << "frmRptBalance" << true;
    QTest::newRow("empresas como hija") << "M_EmpresasPropia"
                                        << "frmEmpresasPropia" << true;
    QTest::newRow("usuarios como modal") << "M_Usuarios"
                                         << "frmUsuarios" << false;
}

void PruebaPrincipal::formaDecideComoAbre() {
    QFETCH(QString, comando);
    QFETCH(QString, forma);
    QFETCH(bool, hija);
    Entorno e;
    int modales = 0;
    if (hija)
        RegistroHija(forma, "Pantalla");
    else
        RegistroModal(forma, [&] { ++modales; });
    frmMain m;
    m.show();
    m.ActualizoMenus();
    Accion(m, qPrintable(comando))->trigger();
    QCOMPARE(Pantallas::Abierta(forma) != nullptr, hija);
    QCOMPARE(m.marco->subWindowList().size(), hija ? 1 : 0);
    QCOMPARE(modales, hija ? 0 : 1);
}

void PruebaPrincipal::captionDesdeOtraPantalla() {
    Entorno e;
    frmMain m;
    QCOMPARE(VentanaPrincipal(), &m);
    m.ActualizoCaption();
    Ejecuto("UPDATE Usuarios SET descUsuario='Jefa de cuentas' WHERE Usuario=1");
    RefrescoCaptionPrincipal();
    QCOMPARE(m.windowTitle(), QString("Partidex, usuario: ADMIN (Jefa de cuentas), Perfil: Administrador"));
}
