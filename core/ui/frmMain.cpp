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
    menus << m;
    return m;
}

void frmMain::ArmoMenus() {
    using Pantallas::Comando;
    for (const auto& [nombre, caption] :
         {std::pair{"M_Archivos", "&Archivos"}, {"M_Asientos", "&Gestión Asientos"}, {"M_Listados", "&Listados"},
          {"M_Reportes", "&Reportes"}, {"M_Contrasena", "&Seguridad"}, {"M_Especiales", "&Especiales"}, {"M_Ventana", "&Ventana"},
          {"M_Ayuda", "A&yuda"}})
        Menu(nombre, QString::fromUtf8(caption));
    menuVentana = menus[6];
    connect(menuVentana, &QMenu::aboutToShow, this, &frmMain::ArmoListaVentanas);

    auto propio = [this](const char* menu, int orden, const char* nombre, const char* caption, bool separado,
                         void (frmMain::*accion)()) {
        propios << Comando(menu, orden, nombre, QString::fromUtf8(caption), separado,
                           [this, accion](QWidget*) { (this->*accion)(); });
    };
    propio("M_Archivos", 80, "M_Impresora", "Setup Impresora", true, &frmMain::SetupImpresora);
    propio("M_Archivos", 90, "Salir", "&Salir", true, &frmMain::Salir);
    propio("M_Ventana", 10, "M_Cascada", "&Cascada", false, &frmMain::Cascada);
    propio("M_Ventana", 20, "M_MosaicoH", "Mosaico &Horizontal", false, &frmMain::MosaicoHorizontal);
    propio("M_Ventana", 30, "M_Mosaico", "Mosaico &Vertical", false, &frmMain::MosaicoVertical);
    propio("M_Ventana", 40, "M_organizarIconos", "&Organizar Iconos", false, &frmMain::OrganizarIconos);
    propio("M_Ayuda", 10, "M_Contenido", "&Contenido", false, &frmMain::Contenido);
    LlenoMenus();
}

void frmMain::LlenoMenus() {
    versionMenus = Pantallas::VersionComandos();
    for (QMenu* m : menus) {
        m->clear();
        QList<Pantallas::Comando> comandos;
        for (const Pantallas::Comando& c : propios)
            if (c.menu == m->objectName()) comandos << c;
        comandos << Pantallas::Comandos(m->objectName());
        std::stable_sort(comandos.begin(), comandos.end(),
                         [](const Pantallas::Comando& a, const Pantallas::Comando& b) { return a.orden < b.orden; });
        for (const Pantallas::Comando& c : comandos) {
            if (c.separado && !m->actions().isEmpty()) m->addSeparator();
            QAction* a = m->addAction(c.caption);
            a->setObjectName(c.nombre);
            if (!c.pantalla.isEmpty()) a->setProperty(PropiedadForma, c.pantalla);
            connect(a, &QAction::triggered, this, [this, c] { EjecutoComando(c); });
        }
    }
    // The window list went with the "Ventana" menu's items; it is listed again as the menu opens.
    listaVentanas.clear();
}

void frmMain::ActualizoMenus() {
    if (versionMenus != Pantallas::VersionComandos()) LlenoMenus();
}

// A command of a screen opens it as the registry says (child window or modal dialog), or does what
// its registration says; meanwhile the background is hidden, and it comes back if nothing is open.
void frmMain::EjecutoComando(const Pantallas::Comando& c) {
    if (c.pantalla.isEmpty()) {
        c.accion(this);
        return;
    }
    pct1->hide();
    if (c.accion)
        c.accion(this);
    else
        Pantallas::Abro(c.pantalla, this);
    MuestroFondo();
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

// ---- The main window's own commands -------------------------------------------------------------

void frmMain::Contenido() {
    MuestroAyuda();
}
void frmMain::Salir() {
    close();
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

// ---- Open windows, caption ------------------------------------------------------------------------------------

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

void frmMain::ActualizoCaption() {
    setWindowTitle(CaptionPrincipal(ContextoActual()));
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
    BorroSesion(App().currentSession);
    {
        QSqlDatabase db = Conexion();
        MotorActual().almacen.Optimizo(db);
    }
    CierroBase();
    e->accept();
    emit programaTerminado();
}
