#include "core/ui/frmMain.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Configuracion.h"
#include "core/Motor.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "core/ui/Ayuda.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/Principal.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <memory>

namespace {
QPointer<frmMain> principal;
const char* PropiedadForma = "forma";
} // namespace

frmMain* VentanaPrincipal() {
    return principal;
}

frmMain::frmMain(QWidget* padre) : QMainWindow(padre) {
    IniciaRecursos();
    principal = this;
    setObjectName("frmMain");
    setWindowTitle("Partidex");
    setWindowIcon(QIcon(":/images/partidex.png"));

    marco = new QMdiArea(this);
    marco->setObjectName("marco");
    marco->setAccessibleName("Ventanas de Partidex");
    marco->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    marco->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    marco->setBackground(QColor(0x1f, 0x4e, 0x79));
    setCentralWidget(marco);

    pct1 = new QLabel(marco->viewport());
    pct1->setObjectName("pct1");
    pct1->setAccessibleName("Partidex");
    pct1->setAlignment(Qt::AlignCenter);
    pct1->lower();
    marco->viewport()->installEventFilter(this);

    Pantallas::FijoMarco(marco);
    Pantallas::FijoFondo([] {
        if (principal) principal->MuestroFondo();
    });
    connect(marco, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* s) {
        if (s) pct1->hide();
    });

    ArmoMenus();

    // F1 opens the help at its contents from any window of the program; while a modal screen is
    // open the shortcut is shadowed, and the application's key filter takes the key instead.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setObjectName("atajoAyuda");
    f1->setContext(Qt::ApplicationShortcut);
    connect(f1, &QShortcut::activated, this, &frmMain::Contenido);
    InstaloTeclaAyuda();

    if (QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect r = pantalla->availableGeometry();
        resize(qMin(1100, r.width() - 40), qMin(760, r.height() - 60));
    } else {
        resize(1024, 720);
    }
}

frmMain::~frmMain() {
    if (Pantallas::Marco() == marco) {
        Pantallas::FijoMarco(nullptr);
        Pantallas::FijoFondo(nullptr);
    }
}

// ---- Menus ------------------------------------------------------------------------------------------

QMenu* frmMain::Menu(const char* nombre, const QString& caption) {
    QMenu* m = menuBar()->addMenu(caption);
    m->setObjectName(nombre);
    m->menuAction()->setObjectName(QString(nombre) + "_menu");
    connect(m, &QMenu::aboutToShow, this, &frmMain::ActualizoMenus);
    return m;
}

QAction* frmMain::Comando(QMenu* menu, const char* nombre, const QString& caption, const QString& forma,
                          void (frmMain::*accion)()) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(nombre);
    if (!forma.isEmpty()) a->setProperty(PropiedadForma, forma);
    connect(a, &QAction::triggered, this, accion);
    return a;
}

void frmMain::ArmoMenus() {
    QMenu* m = Menu("M_Archivos", "&Archivos");
    Comando(m, "M_AjustesInflacion", "&Ajustes Inflación", "frmAjustesInflacion", &frmMain::AjustesInflacion);
    Comando(m, "M_ConceptosAsiento", "&Conceptos Asiento", "frmConceptosAsiento", &frmMain::ConceptosAsiento);
    Comando(m, "M_ConceptosDetAsiento", "C&onceptos Detalles Asiento", "frmConceptosDetAsiento",
            &frmMain::ConceptosDetAsiento);
    Comando(m, "M_Ejercicios", "&Ejercicios", "frmEjercicios", &frmMain::CambioEjercicio);
    Comando(m, "M_EmpresasPropia", "E&mpresas Propias", "frmEmpresasPropia", &frmMain::EmpresasPropia);
    Comando(m, "M_PlanCuentas", "&Plan de Cuentas", "frmCuentas", &frmMain::PlanCuentas);
    Comando(m, "M_TablasAjusteInflacion", "&Tablas Ajuste Inflación", "frmTablasAjusteInflacion",
            &frmMain::TablasAjusteInflacion);
    m->addSeparator();
    Comando(m, "M_Impresora", "Setup Impresora", QString(), &frmMain::SetupImpresora);
    m->addSeparator();
    Comando(m, "Salir", "&Salir", QString(), &frmMain::Salir);

    m = Menu("M_Asientos", "&Gestión Asientos");
    Comando(m, "M_IngresarNuevoAsiento", "Ingresar &Nuevo Asiento", "frmAsientos", &frmMain::NuevoAsiento);
    Comando(m, "M_BuscarAsientos", "&Buscar Asiento/s", "frmAsientos", &frmMain::BuscoAsientos);

    m = Menu("M_Listados", "&Listados");
    Comando(m, "M_DiarioGeneral", "&Diario General", "frmRptDiarioGeneral", &frmMain::DiarioGeneral);
    Comando(m, "M_Mayores", "&Mayores", "frmRptMayores", &frmMain::Mayores);
    Comando(m, "M_Balance", "&Balance Sumas y Saldos", "frmRptBalance", &frmMain::Balance);
    Comando(m, "M_BalanceReAjustado", "Balance Sumas y Saldos &ReAjustado", "frmRptBalanceReAjustado",
            &frmMain::BalanceReAjustado);

    m = Menu("M_Contrasena", "&Seguridad");
    Comando(m, "M_Usuarios", "&Usuarios", "frmUsuarios", &frmMain::Usuarios);
    Comando(m, "M_CambioContrasena", "&Cambio Contraseña", "frmCambioContrasena", &frmMain::CambioContrasena);

    m = Menu("M_Especiales", "&Especiales");
    Comando(m, "M_Calculadora", "C&alculadora", "frmCalculadora", &frmMain::Calculadora);
    m->addSeparator();
    Comando(m, "M_CierreEjercicio", "&Cierre automático ejercicio", "frmCierreEjercicios",
            &frmMain::CierreEjercicio);
    Comando(m, "M_AperturaEjercicio", "&Apertura automática ejercicio", "frmAperturaEjercicios",
            &frmMain::AperturaEjercicio);

    m = Menu("M_Ventana", "&Ventana");
    menuVentana = m;
    Comando(m, "M_Cascada", "&Cascada", QString(), &frmMain::Cascada);
    Comando(m, "M_MosaicoH", "Mosaico &Horizontal", QString(), &frmMain::MosaicoHorizontal);
    Comando(m, "M_Mosaico", "Mosaico &Vertical", QString(), &frmMain::MosaicoVertical);
    Comando(m, "M_organizarIconos", "&Organizar Iconos", QString(), &frmMain::OrganizarIconos);
    connect(m, &QMenu::aboutToShow, this, &frmMain::ArmoListaVentanas);

    m = Menu("M_Ayuda", "A&yuda");
    Comando(m, "M_Contenido", "&Contenido", QString(), &frmMain::Contenido);
    m->addSeparator();
    Comando(m, "M_About", "A&cerca de...", "frmAbout", &frmMain::AcercaDe);

    ActualizoMenus();
}

void frmMain::ActualizoMenus() {
    for (QAction* a : findChildren<QAction*>()) {
        const QString forma = a->property(PropiedadForma).toString();
        if (!forma.isEmpty()) a->setEnabled(Pantallas::Registrada(forma));
    }
}

// The window list at the end of the "Ventana" menu: one entry per open child, the active one checked.
void frmMain::ArmoListaVentanas() {
    for (QAction* a : listaVentanas) {
        menuVentana->removeAction(a);
        a->deleteLater();
    }
    listaVentanas.clear();
    const QList<QMdiSubWindow*> hijas = marco->subWindowList();
    if (hijas.isEmpty()) return;
    listaVentanas << menuVentana->addSeparator();
    int n = 0;
    for (QMdiSubWindow* s : hijas) {
        ++n;
        QString titulo = s->windowTitle();
        titulo.replace("&", "&&");
        QAction* a =
            menuVentana->addAction((n < 10 ? QString("&%1 ").arg(n) : QString("%1 ").arg(n)) + titulo);
        a->setObjectName(QString("ventana%1").arg(n));
        a->setCheckable(true);
        a->setChecked(s == marco->activeSubWindow());
        QPointer<QMdiSubWindow> hija(s);
        connect(a, &QAction::triggered, this, [this, hija] {
            if (!hija) return;
            if (hija->isMinimized()) hija->showNormal();
            marco->setActiveSubWindow(hija);
        });
        listaVentanas << a;
    }
}

// ---- Background picture -----------------------------------------------------------------------------

void frmMain::DibujoFondo() {
    const QSize tam = marco->viewport()->size();
    pct1->setGeometry(QRect(QPoint(0, 0), tam));
    if (tam.width() < 10 || tam.height() < 10) return;
    QPixmap dibujo(tam);
    QPainter p(&dibujo);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fondo(0, 0, 0, tam.height());
    fondo.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
    fondo.setColorAt(1, QColor(0x0b, 0x25, 0x3d));
    p.fillRect(dibujo.rect(), fondo);
    // A ruled ledger in the background, as on the books it keeps.
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    for (int y = 40; y < tam.height(); y += 28)
        p.drawLine(0, y, tam.width(), y);
    p.setPen(QPen(QColor(0xf2, 0xc1, 0x4e, 40), 2));
    p.drawLine(56, 0, 56, tam.height());
    p.drawLine(62, 0, 62, tam.height());

    const int alto = qMax(24, qMin(tam.width() / 7, tam.height() / 4));
    QFont letra = font();
    letra.setBold(true);
    letra.setPixelSize(alto);
    p.setFont(letra);
    p.setPen(Qt::white);
    const QRect centro(0, tam.height() / 2 - alto, tam.width(), alto + alto / 4);
    p.drawText(centro, Qt::AlignHCenter | Qt::AlignBottom, "Partidex");
    letra.setBold(false);
    letra.setPixelSize(qMax(10, alto / 4));
    p.setFont(letra);
    p.setPen(QColor(0xf2, 0xc1, 0x4e));
    p.drawText(QRect(0, centro.bottom() + alto / 8, tam.width(), alto / 2), Qt::AlignHCenter | Qt::AlignTop,
               "Contabilidad por partida doble");
    p.end();
    pct1->setPixmap(dibujo);
}

// No child window and no modal screen left: the background fills the frame again.
static bool SinPantallas(const QMdiArea* marco) {
    return marco->subWindowList().isEmpty() && !QApplication::activeModalWidget();
}

void frmMain::MuestroFondo() {
    pct1->setVisible(SinPantallas(marco));
    // A child being destroyed may still be listed: look again once it is gone.
    QPointer<frmMain> yo(this);
    QTimer::singleShot(0, this, [yo] {
        if (yo) yo->pct1->setVisible(SinPantallas(yo->marco));
    });
}

bool frmMain::eventFilter(QObject* objeto, QEvent* e) {
    if (objeto == marco->viewport() && e->type() == QEvent::Resize) {
        DibujoFondo();
    }
    return QMainWindow::eventFilter(objeto, e);
}

// ---- Opening screens --------------------------------------------------------------------------------

Pantallas::Apertura frmMain::Abro(const QString& forma) {
    pct1->hide();
    const Pantallas::Apertura ap = Pantallas::Abro(forma, this);
    // A modal screen has closed, or the screen refused: the background comes back if nothing is open.
    MuestroFondo();
    return ap;
}

void frmMain::AbroCatalogo(const QString& forma) {
    App().preselection = true;
    Abro(forma);
}

// The entry editor takes commands through its field ctrExterno.
void frmMain::ComandoAsientos(const QString& comando) {
    pct1->hide();
    Pantallas::EnvioComando("frmAsientos", "ctrExterno", comando);
    MuestroFondo();
}

void frmMain::AjustesInflacion() {
    Abro("frmAjustesInflacion");
}
void frmMain::ConceptosAsiento() {
    AbroCatalogo("frmConceptosAsiento");
}
void frmMain::ConceptosDetAsiento() {
    AbroCatalogo("frmConceptosDetAsiento");
}
void frmMain::EmpresasPropia() {
    AbroCatalogo("frmEmpresasPropia");
}
void frmMain::TablasAjusteInflacion() {
    AbroCatalogo("frmTablasAjusteInflacion");
}
void frmMain::NuevoAsiento() {
    ComandoAsientos("1");
}
void frmMain::BuscoAsientos() {
    ComandoAsientos("2");
}
void frmMain::DiarioGeneral() {
    Abro("frmRptDiarioGeneral");
}
void frmMain::Mayores() {
    Abro("frmRptMayores");
}
void frmMain::Balance() {
    Abro("frmRptBalance");
}
void frmMain::BalanceReAjustado() {
    Abro("frmRptBalanceReAjustado");
}
void frmMain::Calculadora() {
    Abro("frmCalculadora");
}
void frmMain::AcercaDe() {
    Abro("frmAbout");
}
void frmMain::Contenido() {
    MuestroAyuda();
}
void frmMain::Salir() {
    close();
}

void frmMain::PlanCuentas() {
    AppState& a = App();
    a.preselection = true;
    a.chartCompany = a.currentCompany;
    a.chartYear = a.currentYear;
    Abro("frmCuentas");
}

void frmMain::Usuarios() {
    Abro("frmUsuarios");
    activateWindow();
}

void frmMain::CambioContrasena() {
    Abro("frmCambioContrasena");
    activateWindow();
}

void frmMain::SetupImpresora() {
    QPrinter& impresora = ImpresoraComun();
    // The page set-up dialog needs a system printer; without one, the print dialog chooses the printer
    // (or a PDF file) and the paper.
    std::unique_ptr<QDialog> CMDialog1;
    if (impresora.outputFormat() == QPrinter::NativeFormat) {
        CMDialog1 = std::make_unique<QPageSetupDialog>(&impresora, this);
    } else {
        auto* d = new QPrintDialog(&impresora, this);
        d->setOption(QAbstractPrintDialog::PrintToFile);
        d->setOption(QAbstractPrintDialog::PrintPageRange, false);
        d->setOption(QAbstractPrintDialog::PrintCollateCopies, false);
        CMDialog1.reset(d);
    }
    CMDialog1->setObjectName("CMDialog1");
    CMDialog1->setWindowTitle("Setup Impresora");
    CMDialog1->exec();
}

// ---- Fiscal year ------------------------------------------------------------------------------------

int frmMain::VentanasAbiertas() const {
    int n = 1 + int(marco->subWindowList().size());
    for (QWidget* w : QApplication::topLevelWidgets()) {
        // The help viewer shows no books: it never holds the change back.
        if (w == this || !w->isVisible() || w == VisorAyuda()) continue;
        const Qt::WindowType tipo = w->windowType();
        if (tipo == Qt::Window || tipo == Qt::Dialog) ++n;
    }
    return n;
}

void frmMain::CambioEjercicio() {
    AppState& a = App();
    a.preselection = a.currentYear;
    a.companyParameter = a.currentCompany;
    const Pantallas::Apertura ap = Abro("frmEjercicios");
    if (!ap.abierta) return; // the screen refused to open
    if (VentanasAbiertas() > 2) {
        Mensaje("Para cambiar un ejercicio debe cerrar primero todas las ventanas", Icono::Informacion);
        return;
    }
    // The pair chosen; left without a choice, the screen hands back the pair it was given.
    const bool elegido = ap.eleccion && ap.eleccion->empresa >= 0;
    const QVariant empresa = elegido ? QVariant(ap.eleccion->empresa) : a.companyParameter;
    const QVariant ejercicio = elegido ? QVariant(ap.eleccion->codigo) : a.preselection;
    bool okEmpresa = false, okEjercicio = false;
    const int nuevaEmpresa = empresa.toInt(&okEmpresa), nuevoEjercicio = ejercicio.toInt(&okEjercicio);
    const bool otro = nuevaEmpresa != a.currentCompany || nuevoEjercicio != a.currentYear;
    // What the open screen holds typed belongs to the pair it was typed for: asked about first.
    if (otro && okEmpresa && okEjercicio && !Pantallas::ConsultoCambioEjercicio()) return;
    if (!AdoptoEjercicio(empresa, ejercicio)) return;
    // Nothing the open screen listed for the pair before may be acted on in the new one.
    if (otro) Pantallas::AvisoCambioEjercicio();
    ActualizoCaption();
}

void frmMain::CierreEjercicio() {
    // The closing and opening checks run as the screens open (registered with them).
    Abro("frmCierreEjercicios");
}

void frmMain::AperturaEjercicio() {
    Abro("frmAperturaEjercicios");
}

void frmMain::ActualizoCaption() {
    setWindowTitle(CaptionPrincipal());
}

// ---- Arranging the children -------------------------------------------------------------------------

void frmMain::Cascada() {
    marco->cascadeSubWindows();
}
void frmMain::MosaicoHorizontal() {
    Mosaico(true);
}
void frmMain::MosaicoVertical() {
    Mosaico(false);
}
void frmMain::OrganizarIconos() {
    OrganizoIconos();
}

// Horizontal: the windows one above the other, each the frame's whole width; vertical: side by side.
void frmMain::Mosaico(bool horizontal) {
    QList<QMdiSubWindow*> abiertas;
    for (QMdiSubWindow* s : marco->subWindowList())
        if (s->isVisible() && !s->isMinimized()) abiertas << s;
    if (abiertas.isEmpty()) return;
    const QRect r = marco->viewport()->rect();
    const int n = int(abiertas.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* s = abiertas[i];
        if (s->isMaximized()) s->showNormal();
        if (horizontal) {
            const int alto = r.height() / n;
            s->setGeometry(0, i * alto, r.width(), i == n - 1 ? r.height() - i * alto : alto);
        } else {
            const int ancho = r.width() / n;
            s->setGeometry(i * ancho, 0, i == n - 1 ? r.width() - i * ancho : ancho, r.height());
        }
    }
}

// The minimised windows in rows along the bottom of the frame.
void frmMain::OrganizoIconos() {
    const QRect r = marco->viewport()->rect();
    int x = 0, y = r.height();
    int altoFila = 0;
    for (QMdiSubWindow* s : marco->subWindowList()) {
        if (!s->isMinimized()) continue;
        const QSize t = s->size();
        if (altoFila == 0) {
            altoFila = t.height();
            y = r.height() - altoFila;
        }
        if (x > 0 && x + t.width() > r.width()) {
            x = 0;
            y -= altoFila;
        }
        s->move(x, y);
        x += t.width();
    }
}

// ---- Exit -------------------------------------------------------------------------------------------

void frmMain::closeEvent(QCloseEvent* e) {
    if (terminado) {
        e->accept();
        return;
    }
    // Every open screen runs its closing check before any closes: one that refuses keeps the program
    // running with every screen as it was.
    if (!Pantallas::ConsultoCierreHijas()) {
        e->ignore();
        return;
    }
    for (QMdiSubWindow* s : marco->subWindowList()) {
        if (!s->close()) {
            e->ignore();
            return;
        }
    }
    terminado = true;
    BorroSesion();
    {
        QSqlDatabase db = Conexion();
        MotorActual().almacen.Optimizo(db);
    }
    CierroBase();
    e->accept();
    emit programaTerminado();
}
