#include "core/ui/Ayuda.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QSet>
#include <QTextBrowser>
#include <QWhatsThis>
#include <QVBoxLayout>
#include <algorithm>

static void IniciaRecursosCore() {
    Q_INIT_RESOURCE(partidex_recursos);
}

void IniciaRecursos() {
    static bool hecho = false;
    if (hecho) return;
    hecho = true;
    IniciaRecursosCore();
}

namespace {
const QString CarpetaAyuda = QStringLiteral(":/help");
const QString Indice = QStringLiteral("index.html");

QString LeoRecurso(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll());
}

// The contents page is built each time it is shown, from the pages present.
class NavegadorAyuda : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int tipo, const QUrl& nombre) override {
        if (tipo == QTextDocument::HtmlResource && nombre.fileName() == Indice) return IndiceAyuda();
        return QTextBrowser::loadResource(tipo, nombre);
    }
};

QPointer<Ayuda> visor;

class TeclaAyuda : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* objeto, QEvent* e) override {
        if (e->type() == QEvent::KeyPress && objeto->isWidgetType()) {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_F1 && k->modifiers() == Qt::NoModifier) {
                MuestroAyuda();
                return true;
            }
            // Shift+F1: the page of the screen being worked in.
            if (k->key() == Qt::Key_F1 && k->modifiers() == Qt::ShiftModifier) {
                MuestroAyuda(PaginaDe(static_cast<QWidget*>(objeto)));
                return true;
            }
        }
        // The context-help button of a title bar asks the same.
        if (e->type() == QEvent::EnterWhatsThisMode) {
            QWhatsThis::leaveWhatsThisMode();
            QWidget* donde = QApplication::focusWidget();
            if (!donde) donde = QApplication::activeModalWidget();
            if (!donde) donde = QApplication::activeWindow();
            MuestroAyuda(PaginaDe(donde));
            return true;
        }
        return QObject::eventFilter(objeto, e);
    }
};
} // namespace

void InstaloTeclaAyuda() {
    static QPointer<TeclaAyuda> filtro;
    if (filtro || !qApp) return;
    filtro = new TeclaAyuda(qApp);
    qApp->installEventFilter(filtro);
}

QList<PaginaAyuda> PaginasAyuda() {
    IniciaRecursos();
    static const QRegularExpression titulo("<title>(.*?)</title>",
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression orden("<meta\\s+name=\"orden\"\\s+content=\"(\\d+)\"",
                                          QRegularExpression::CaseInsensitiveOption);
    QList<PaginaAyuda> paginas;
    const QStringList archivos = QDir(CarpetaAyuda).entryList({"*.html"}, QDir::Files, QDir::Name);
    for (const QString& archivo : archivos) {
        if (archivo == Indice) continue;
        const QString html = LeoRecurso(CarpetaAyuda + "/" + archivo);
        PaginaAyuda p;
        p.archivo = archivo;
        const auto t = titulo.match(html);
        p.titulo = t.hasMatch() ? t.captured(1).simplified() : archivo;
        const auto o = orden.match(html);
        if (o.hasMatch()) p.orden = o.captured(1).toInt();
        paginas << p;
    }
    std::stable_sort(paginas.begin(), paginas.end(), [](const PaginaAyuda& a, const PaginaAyuda& b) {
        if (a.orden != b.orden) return a.orden < b.orden;
        return QString::localeAwareCompare(a.titulo, b.titulo) < 0;
    });
    return paginas;
}

QString PaginaDe(QWidget* w) {
    QSet<QString> paginas;
    for (const PaginaAyuda& p : PaginasAyuda())
        paginas << p.archivo;
    // The screen is the nearest enclosing widget named after a page: the screens carry their names.
    for (QWidget* v = w; v; v = v->parentWidget()) {
        if (v == visor) return QString(); // the viewer itself: its contents
        const QString pagina = v->objectName() + QStringLiteral(".html");
        if (!v->objectName().isEmpty() && paginas.contains(pagina)) return pagina;
    }
    return QString();
}

QString IndiceAyuda() {
    QString html = LeoRecurso(CarpetaAyuda + "/" + Indice);
    QString lista = "<ul>\n";
    for (const PaginaAyuda& p : PaginasAyuda())
        lista +=
            "<li><a href=\"" + p.archivo.toHtmlEscaped() + "\">" + p.titulo.toHtmlEscaped() + "</a></li>\n";
    lista += "</ul>\n";
    const QString marca = "<!--PAGINAS-->";
    if (html.contains(marca))
        html.replace(marca, lista);
    else
        html += lista;
    return html;
}

Ayuda::Ayuda(QWidget* padre) : QDialog(padre) {
    IniciaRecursos();
    setObjectName("frmAyuda");
    setWindowTitle("Ayuda de Partidex");
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    txtAyuda = new NavegadorAyuda(this);
    txtAyuda->setObjectName("txtAyuda");
    txtAyuda->setAccessibleName("Ayuda de Partidex");
    txtAyuda->setOpenLinks(true);
    txtAyuda->setSearchPaths({CarpetaAyuda});

    auto boton = [this](const char* nombre, QStyle::StandardPixmap icono, const QString& texto) {
        auto* b = new QPushButton(style()->standardIcon(icono), QString(), this);
        b->setObjectName(nombre);
        b->setToolTip(texto);
        b->setAccessibleName(texto);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* btnContenido = boton("btnContenido", QStyle::SP_DirHomeIcon, "Contenido");
    QPushButton* btnAtras = boton("btnAtras", QStyle::SP_ArrowBack, "Atrás");
    QPushButton* btnAdelante = boton("btnAdelante", QStyle::SP_ArrowForward, "Adelante");
    auto* btnCerrar = new QPushButton("&Cerrar", this);
    btnCerrar->setObjectName("btnCerrar");
    btnCerrar->setAccessibleName("Cerrar");
    btnCerrar->setAutoDefault(false);
    btnAtras->setEnabled(false);
    btnAdelante->setEnabled(false);
    connect(btnContenido, &QPushButton::clicked, this, [this] { MuestroPagina(Indice); });
    connect(btnAtras, &QPushButton::clicked, txtAyuda, &QTextBrowser::backward);
    connect(btnAdelante, &QPushButton::clicked, txtAyuda, &QTextBrowser::forward);
    connect(txtAyuda, &QTextBrowser::backwardAvailable, btnAtras, &QPushButton::setEnabled);
    connect(txtAyuda, &QTextBrowser::forwardAvailable, btnAdelante, &QPushButton::setEnabled);
    connect(btnCerrar, &QPushButton::clicked, this, &QDialog::close);

    auto* barra = new QHBoxLayout;
    barra->addWidget(btnContenido);
    barra->addWidget(btnAtras);
    barra->addWidget(btnAdelante);
    barra->addStretch();
    barra->addWidget(btnCerrar);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(barra);
    todo->addWidget(txtAyuda);
    resize(720, 560);
}

void Ayuda::MuestroPagina(const QString& archivo) {
    txtAyuda->setSource(QUrl("qrc" + CarpetaAyuda + "/" + (archivo.isEmpty() ? Indice : archivo)));
}

Ayuda* VisorAyuda() {
    return visor;
}

Ayuda* MuestroAyuda(const QString& archivo) {
    QWidget* modal = QApplication::activeModalWidget();
    // A viewer that belongs to no open modal screen would be blocked by it: it gives way to a new one.
    if (visor && modal && visor->parentWidget() != modal && !visor->isAncestorOf(modal)) {
        visor->close();
        delete visor;
    }
    if (!visor) visor = new Ayuda(modal);
    visor->MuestroPagina(archivo);
    visor->show();
    visor->raise();
    visor->activateWindow();
    return visor;
}
