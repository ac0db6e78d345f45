#include "core/ui/Pantallas.h"

#include "core/AppState.h"
#include "core/ui/AplicoPermisos.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <algorithm>

namespace Pantallas {
namespace {
struct Entrada {
    Forma forma;
    Fabrica fabrica;
};
QHash<QString, Entrada>& Tabla() {
    static QHash<QString, Entrada> t;
    return t;
}
QHash<QString, std::function<bool()>>& Condiciones() {
    static QHash<QString, std::function<bool()>> t;
    return t;
}
QList<Comando>& ListaComandos() {
    static QList<Comando> l;
    return l;
}
int versionComandos = 0;
QPointer<QMdiArea> marco;
std::function<void()> fondo;

QWidget* Construyo(const QString& nombre, QWidget* padre) {
    const auto it = Tabla().constFind(nombre);
    if (it == Tabla().constEnd()) return nullptr;
    // Every screen opens at the level the user's profile has for it: none, and it is not built.
    const int nivel = NivelAlAbrir(nombre);
    if (nivel == Permisos::Inhabilitado) return nullptr;
    const auto c = Condiciones().constFind(nombre);
    if (c != Condiciones().constEnd() && *c && !(*c)()) return nullptr;
    QWidget* w = it->fabrica(padre);
    if (w && w->property("rechazada").toBool()) {
        delete w;
        return nullptr;
    }
    if (!w) return nullptr;
    if (w->objectName().isEmpty()) w->setObjectName(nombre);
    if (nivel > 0) AplicoAlAbrir(w, nivel);
    return w;
}

// What a closed picker hands back: its own answer, or (a screen that does not give one) the
// selection hand-over values.
std::optional<Eleccion> LeoEleccion(QWidget* w) {
    if (auto* s = dynamic_cast<Selector*>(w)) return s->Elegido();
    const AppState& a = App();
    if (a.selectionCode < 0) return std::nullopt;
    Eleccion e;
    e.codigo = a.selectionCode;
    e.texto = a.selectionText;
    e.codJer = a.pickCodJer;
    e.descripcion = a.pickDescripcion;
    e.codInt = a.pickCodInt;
    return e;
}

Apertura Modal(const QString& nombre, QWidget* padre) {
    Apertura ap;
    QWidget* w = Construyo(nombre, padre);
    if (!w) return ap;
    ap.abierta = true;
    if (auto* d = qobject_cast<QDialog*>(w)) {
        // Its title bar's "?" opens its help page.
        d->setWindowFlag(Qt::WindowContextHelpButtonHint, true);
        ap.resultado = d->exec();
        ap.eleccion = LeoEleccion(w);
        delete w;
        return ap;
    }
    // A screen built as a plain widget is shown as a modal window until it closes.
    QDialog envoltura(padre);
    envoltura.setWindowTitle(w->windowTitle());
    w->setParent(&envoltura);
    QObject::connect(w, &QObject::destroyed, &envoltura, &QDialog::accept);
    ap.resultado = envoltura.exec();
    return ap;
}
} // namespace

void Registro(const QString& nombre, Forma forma, Fabrica fabrica) {
    Tabla().insert(nombre, {forma, std::move(fabrica)});
}
void Registro(const QString& nombre, Forma forma, Fabrica fabrica, QList<Comando> comandos) {
    Registro(nombre, forma, std::move(fabrica));
    QList<Comando>& lista = ListaComandos();
    lista.removeIf([&](const Comando& c) { return c.pantalla == nombre; });
    for (Comando& c : comandos) {
        c.pantalla = nombre;
        lista << std::move(c);
    }
    ++versionComandos;
}
QList<Comando> Comandos(const QString& menu) {
    QList<Comando> r;
    for (const Comando& c : ListaComandos())
        if (c.menu == menu) r << c;
    std::stable_sort(r.begin(), r.end(), [](const Comando& a, const Comando& b) { return a.orden < b.orden; });
    return r;
}
int VersionComandos() {
    return versionComandos;
}
bool Registrada(const QString& nombre) {
    return Tabla().contains(nombre);
}
QStringList Registradas() {
    QStringList nombres = Tabla().keys();
    nombres.sort();
    return nombres;
}

std::optional<Forma> FormaDe(const QString& nombre) {
    const auto it = Tabla().constFind(nombre);
    if (it == Tabla().constEnd()) return std::nullopt;
    return it->forma;
}
void Condicion(const QString& nombre, std::function<bool()> condicion) {
    Condiciones().insert(nombre, std::move(condicion));
}
void Olvido() {
    Tabla().clear();
    Condiciones().clear();
    ListaComandos().clear();
    ++versionComandos;
}

Apertura Abro(const QString& nombre, QWidget* padre) {
    const std::optional<Forma> forma = FormaDe(nombre);
    if (!forma) return {};
    if (*forma == Forma::Modal) return Modal(nombre, padre);
    Apertura ap;
    ap.hija = Activo(nombre);
    ap.abierta = ap.hija != nullptr;
    return ap;
}

std::optional<Eleccion> Elijo(const QString& nombre, const QVariant& preseleccion, QWidget* padre) {
    AppState& a = App();
    a.preselection = preseleccion;
    a.selectionCode = -1;
    a.selectionText.clear();
    return Modal(nombre, padre).eleccion;
}

int AbroModal(const QString& nombre, QWidget* padre) {
    const Apertura ap = Modal(nombre, padre);
    return ap.abierta ? ap.resultado : -1;
}

QWidget* MuestroAsientoEnEditor(int asiento) {
    QWidget* w = Activo("frmAsientos");
    if (auto* e = dynamic_cast<EditorAsientos*>(w)) e->ListoAsiento(asiento);
    return w;
}

void AbroCatalogo(const QString& nombre, QWidget* padre) {
    App().preselection = true;
    Abro(nombre, padre);
}

QWidget* Abierta(const QString& nombre) {
    if (!marco) return nullptr;
    for (QMdiSubWindow* s : marco->subWindowList())
        if (s->widget() && s->widget()->objectName() == nombre) return s->widget();
    return nullptr;
}

QWidget* Activo(const QString& nombre) {
    if (QWidget* w = Abierta(nombre)) {
        auto* s = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        if (s) {
            if (s->isMinimized()) s->showNormal();
            marco->setActiveSubWindow(s);
        }
        return w;
    }
    if (!marco) return nullptr;
    QWidget* w = Construyo(nombre, nullptr);
    if (!w) return nullptr;
    // A screen built with a size of its own keeps that size inside the frame (a saved layout, restored
    // once the screen is shown, still takes precedence).
    const QSize disenado = w->testAttribute(Qt::WA_Resized) ? w->size() : QSize();
    QMdiSubWindow* s = marco->addSubWindow(w);
    s->setAttribute(Qt::WA_DeleteOnClose);
    s->setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    s->setWindowTitle(w->windowTitle());
    s->setWindowIcon(w->windowIcon());
    QObject::connect(w, &QWidget::windowTitleChanged, s, &QWidget::setWindowTitle);
    QObject::connect(s, &QObject::destroyed, [] { MuestroFondo(); });
    // A screen opened while the one in front is maximized opens maximized too, as in any window
    // frame of the desktop; its normal size is kept for when it is restored.
    const bool maximizada = marco->activeSubWindow() && marco->activeSubWindow()->isMaximized();
    s->show();
    if (s->isMaximized()) s->showNormal();
    // Never smaller than its controls need, whatever size it was designed at (a date field must show
    // its whole date, at any scale of the screen).
    const QSize tamano = (disenado.isValid() ? disenado : w->sizeHint()).expandedTo(w->minimumSizeHint());
    // Nor larger than the frame it opens in.
    if (tamano.isValid())
        s->resize((tamano + (s->size() - w->size())).boundedTo(marco->viewport()->size()));
    if (maximizada) s->showMaximized();
    marco->setActiveSubWindow(s);
    return w;
}

bool ConsultoCierreHijas() {
    if (!marco) return true;
    QList<QPointer<QWidget>> consultadas;
    for (QMdiSubWindow* s : marco->subWindowList()) {
        QWidget* w = s->widget();
        if (!w) continue;
        bool acepta = true;
        if (auto* c = dynamic_cast<ConsultaCierre*>(w)) {
            acepta = c->AceptoCierre();
        } else if (!qobject_cast<QDialog*>(w)) {
            // The screen's own closing check, without closing it (a dialog would close on it).
            QCloseEvent pregunta;
            QCoreApplication::sendEvent(w, &pregunta);
            acepta = pregunta.isAccepted();
        }
        if (!acepta) {
            for (const QPointer<QWidget>& p : consultadas)
                if (auto* c = dynamic_cast<ConsultaCierre*>(p.data())) c->CierreSuspendido();
            return false;
        }
        consultadas << w;
    }
    return true;
}

bool ConsultoCambioEjercicio() {
    if (!marco) return true;
    for (QMdiSubWindow* s : marco->subWindowList())
        if (auto* a = dynamic_cast<AvisoEjercicio*>(s->widget()); a && !a->AceptoCambioEjercicio())
            return false;
    return true;
}

void AvisoCambioEjercicio() {
    if (!marco) return;
    for (QMdiSubWindow* s : marco->subWindowList())
        if (auto* a = dynamic_cast<AvisoEjercicio*>(s->widget())) a->EjercicioCambiado();
}

void FijoMarco(QMdiArea* m) {
    marco = m;
}
QMdiArea* Marco() {
    return marco;
}
void FijoFondo(std::function<void()> f) {
    fondo = std::move(f);
}
void MuestroFondo() {
    if (fondo) fondo();
}

} // namespace Pantallas
