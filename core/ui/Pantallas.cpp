#include "core/ui/Pantallas.h"

#include <QDialog>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

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
QPointer<QMdiArea> marco;
std::function<void()> fondo;

QWidget* Construyo(const QString& nombre, QWidget* padre) {
    const auto it = Tabla().constFind(nombre);
    if (it == Tabla().constEnd()) return nullptr;
    QWidget* w = it->fabrica(padre);
    if (w && w->property("rechazada").toBool()) {
        delete w;
        return nullptr;
    }
    if (w && w->objectName().isEmpty()) w->setObjectName(nombre);
    return w;
}
} // namespace

void Registro(const QString& nombre, Forma forma, Fabrica fabrica) {
    Tabla().insert(nombre, {forma, std::move(fabrica)});
}
bool Registrada(const QString& nombre) {
    return Tabla().contains(nombre);
}
void Olvido() {
    Tabla().clear();
}

int AbroModal(const QString& nombre, QWidget* padre) {
    QWidget* w = Construyo(nombre, padre);
    if (!w) return -1;
    int r = 0;
    if (auto* d = qobject_cast<QDialog*>(w)) {
        r = d->exec();
    } else {
        // A screen built as a plain widget is shown as a modal window until it closes.
        QDialog envoltura(padre);
        envoltura.setWindowTitle(w->windowTitle());
        w->setParent(&envoltura);
        QObject::connect(w, &QObject::destroyed, &envoltura, &QDialog::accept);
        r = envoltura.exec();
        return r;
    }
    delete w;
    return r;
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
    s->setWindowTitle(w->windowTitle());
    s->setWindowIcon(w->windowIcon());
    QObject::connect(w, &QWidget::windowTitleChanged, s, &QWidget::setWindowTitle);
    QObject::connect(s, &QObject::destroyed, [] { MuestroFondo(); });
    s->show();
    if (disenado.isValid()) s->resize(disenado + (s->size() - w->size()));
    marco->setActiveSubWindow(s);
    return w;
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
