#include "core/ui/Disposicion.h"

#include "core/Ini.h"
#include "core/ui/Grilla.h"

#include <QAction>
#include <QEvent>
#include <QLayout>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <cmath>

namespace {

// The widget whose geometry is the screen's: the MDI frame around a child screen.
QWidget* Marco(QWidget* ventana) {
    if (ventana && qobject_cast<QMdiSubWindow*>(ventana->parentWidget())) return ventana->parentWidget();
    return ventana;
}

double Numero(const QString& seccion, const QString& clave) {
    bool ok = false;
    const double v = LeoLocal(seccion, clave, QString()).trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

QList<QWidget*> Bandas(QWidget* barra) {
    QList<QWidget*> bandas;
    if (auto* t = qobject_cast<QToolBar*>(barra)) {
        for (QAction* a : t->actions()) {
            if (a->isSeparator()) continue;
            if (QWidget* w = t->widgetForAction(a)) bandas << w;
        }
    } else if (barra && barra->layout()) {
        QLayout* l = barra->layout();
        for (int i = 0; i < l->count(); ++i)
            if (QWidget* w = l->itemAt(i)->widget()) bandas << w;
    }
    return bandas;
}

// A screen restored before it is placed in its MDI frame (while it is built) gets its layout again
// once it is shown inside the frame, since the frame is what must be sized and placed.
class RecuperoAlMostrar : public QObject {
public:
    RecuperoAlMostrar(const QString& s, QWidget* ventana) : QObject(ventana), seccion(s) {}
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (evento->type() != QEvent::Show) return false;
        auto* w = static_cast<QWidget*>(objeto);
        w->removeEventFilter(this);
        if (qobject_cast<QMdiSubWindow*>(w->parentWidget())) {
            QPointer<QWidget> ventana(w);
            const QString s = seccion;
            QTimer::singleShot(0, w, [ventana, s] {
                if (ventana) RecuperoVentana(s, ventana);
            });
        }
        deleteLater();
        return false;
    }

private:
    QString seccion;
};

} // namespace

int PixelesATwips(int pixeles, int dpi) {
    return int(std::lround(double(pixeles) * 1440.0 / std::max(1, dpi)));
}

int TwipsAPixeles(double twips, int dpi) {
    return int(std::lround(twips * std::max(1, dpi) / 1440.0));
}

void GuardoVentana(const QString& seccion, QWidget* ventana) {
    QWidget* w = Marco(ventana);
    if (!w) return;
    const Qt::WindowStates estado = w->windowState();
    int codigo = 0;
    if (estado & Qt::WindowMinimized)
        codigo = 1;
    else if (estado & (Qt::WindowMaximized | Qt::WindowFullScreen))
        codigo = 2;
    if (codigo == 0) {
        const int dx = w->logicalDpiX();
        const int dy = w->logicalDpiY();
        EscriboLocal(seccion, QStringLiteral("Ancho"), QString::number(PixelesATwips(w->width(), dx)));
        EscriboLocal(seccion, QStringLiteral("Largo"), QString::number(PixelesATwips(w->height(), dy)));
        EscriboLocal(seccion, QStringLiteral("Left"), QString::number(PixelesATwips(w->x(), dx)));
        EscriboLocal(seccion, QStringLiteral("Top"), QString::number(PixelesATwips(w->y(), dy)));
    }
    EscriboLocal(seccion, QStringLiteral("Estado"), QString::number(codigo));
}

void RecuperoVentana(const QString& seccion, QWidget* ventana) {
    QWidget* w = Marco(ventana);
    if (!w) return;
    if (w == ventana && ventana->isWindow() && !ventana->isVisible())
        ventana->installEventFilter(new RecuperoAlMostrar(seccion, ventana));
    const int dx = w->logicalDpiX();
    const int dy = w->logicalDpiY();
    const double ancho = Numero(seccion, QStringLiteral("Ancho"));
    const double largo = Numero(seccion, QStringLiteral("Largo"));
    const double estado = Numero(seccion, QStringLiteral("Estado"));
    const double izquierda = Numero(seccion, QStringLiteral("Left"));
    const double arriba = Numero(seccion, QStringLiteral("Top"));
    // The normal geometry first, so that a maximised window returns to it when restored.
    if (w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        w->setWindowState(Qt::WindowNoState);
    QSize tamano = w->size();
    if (ancho > 0) tamano.setWidth(TwipsAPixeles(ancho, dx));
    if (largo > 0) tamano.setHeight(TwipsAPixeles(largo, dy));
    w->resize(tamano);
    QPoint lugar = w->pos();
    if (izquierda >= 0) lugar.setX(TwipsAPixeles(izquierda, dx));
    if (arriba >= 0) lugar.setY(TwipsAPixeles(arriba, dy));
    w->move(lugar);
    if (estado >= 0) {
        const int codigo = int(estado);
        Qt::WindowStates nuevo = Qt::WindowNoState;
        if (codigo == 1)
            nuevo = Qt::WindowMinimized;
        else if (codigo == 2)
            nuevo = Qt::WindowMaximized;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w); sub && sub->isVisible()) {
            if (codigo == 2)
                sub->showMaximized();
            else if (codigo == 1)
                sub->showMinimized();
        } else {
            w->setWindowState(nuevo);
        }
    }
}

void GuardoColumnas(const QString& seccion, const Grilla* grilla) {
    if (!grilla) return;
    for (int n = 1; n <= grilla->columnas(); ++n)
        EscriboLocal(seccion, grilla->objectName() + QStringLiteral("Col") + QString::number(n),
                     QString::number(grilla->anchoColumna(n)));
}

void RecuperoColumnas(const QString& seccion, Grilla* grilla) {
    if (!grilla) return;
    for (int n = 1; n <= grilla->columnas(); ++n) {
        const QString texto =
            LeoLocal(seccion, grilla->objectName() + QStringLiteral("Col") + QString::number(n), QString())
                .trimmed();
        bool ok = false;
        const double ancho = texto.toDouble(&ok);
        if (!ok || !std::isfinite(ancho)) continue;
        grilla->setAnchoColumna(n, int(std::lround(qBound(0.0, ancho, 100000.0))));
    }
}

void GuardoBandas(const QString& seccion, QWidget* barra) {
    if (!barra) return;
    QList<int> anchos;
    if (auto* s = qobject_cast<QSplitter*>(barra)) {
        anchos = s->sizes();
    } else {
        for (QWidget* w : Bandas(barra))
            anchos << w->width();
    }
    for (int n = 1; n <= anchos.size(); ++n)
        EscriboLocal(seccion, barra->objectName() + QStringLiteral("Banda") + QString::number(n),
                     QString::number(anchos[n - 1]));
}

void RecuperoBandas(const QString& seccion, QWidget* barra) {
    if (!barra) return;
    auto leo = [&](int n) {
        const QString t =
            LeoLocal(seccion, barra->objectName() + QStringLiteral("Banda") + QString::number(n), QString());
        return t.trimmed().isEmpty() ? -1 : int(std::lround(t.trimmed().toDouble()));
    };
    if (auto* s = qobject_cast<QSplitter*>(barra)) {
        QList<int> tamanos = s->sizes();
        bool cambio = false;
        for (int n = 1; n <= tamanos.size(); ++n) {
            const int v = leo(n);
            if (v >= 0) {
                tamanos[n - 1] = v;
                cambio = true;
            }
        }
        if (cambio) s->setSizes(tamanos);
        return;
    }
    const QList<QWidget*> bandas = Bandas(barra);
    for (int n = 1; n <= bandas.size(); ++n) {
        const int v = leo(n);
        if (v > 0) bandas[n - 1]->setFixedWidth(v);
    }
}
