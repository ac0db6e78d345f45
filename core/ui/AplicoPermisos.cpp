#include "core/ui/AplicoPermisos.h"
#include "core/AppState.h"

#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"

#include <QEvent>
#include <QWidget>

void MarcoControl(QWidget* control, const QString& tag) {
    control->setProperty("tag", tag);
}

QString TagControl(const QWidget* control) {
    return control->property("tag").toString();
}

void MarcoAccion(QWidget* control, const QString& modulo, Accion accion) {
    control->setProperty("moduloAccion", modulo);
    control->setProperty("accion", int(accion));
}

namespace {
// Keeps a restricted control disabled when its screen enables it again (a screen enables its
// commands as its state changes, without knowing the profile).
class Retencion : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::EnabledChange) {
            auto* w = static_cast<QWidget*>(o);
            if (w->property("retenido").toBool() && w->isEnabled()) w->setEnabled(false);
        }
        return false;
    }
};

void Retengo(QWidget* control, bool retenido) {
    static Retencion* filtro = new Retencion;
    control->setProperty("retenido", retenido);
    control->removeEventFilter(filtro);
    if (retenido) control->installEventFilter(filtro);
}

// Editable or read-only as the level says: a grid keeps working (it scrolls and selects) in read-only
// mode; any other control is enabled or disabled.
void Habilito(QWidget* control, bool habilitado) {
    if (auto* g = qobject_cast<Grilla*>(control)) {
        g->setSoloLecturaRetenida(!habilitado);
        g->setSoloLectura(!habilitado);
    } else {
        Retengo(control, !habilitado);
        control->setEnabled(habilitado);
    }
}
} // namespace

void AplicoNivel(QWidget* ventana, int nivel, bool reenable) {
    if (nivel < 1 || nivel > 3) return;
    if (nivel == 1 && !reenable) return;
    // findChildren lists the controls in the order the window created them.
    for (QWidget* c : ventana->findChildren<QWidget*>()) {
        const QString tag = TagControl(c);
        if (!tag.startsWith(QLatin1String("RO"))) continue;
        switch (nivel) {
        case 1:
            Habilito(c, true);
            break;
        case 2:
            Habilito(c, false);
            break;
        case 3:
            if (tag == QLatin1String("RO2"))
                Habilito(c, false);
            else if (reenable && tag == QLatin1String("RO"))
                Habilito(c, true);
            break;
        }
    }
}

void AplicoAcciones(QWidget* ventana) {
    const Contexto ctx = ContextoActual();
    for (QWidget* c : ventana->findChildren<QWidget*>()) {
        const QString modulo = c->property("moduloAccion").toString();
        if (modulo.isEmpty()) continue;
        if (!NivelPermite(NivelPermiso(ctx, modulo), Accion(c->property("accion").toInt()))) Habilito(c, false);
    }
}

int PermisoModulo(QWidget* ventana, bool reenable) {
    const int nivel = NivelPermiso(ContextoActual(), ventana->objectName());
    if (nivel == 0) {
        // The window never becomes visible; the command that opened it ends quietly.
        ventana->setProperty("rechazada", true);
        return 0;
    }
    AplicoNivel(ventana, nivel, reenable);
    return nivel;
}

int NivelAlAbrir(const QString& pantalla) {
    const QString modulo = ModuloDePantalla(pantalla);
    if (modulo.isEmpty()) return -1;
    const int nivel = NivelPermiso(ContextoActual(), modulo);
    if (nivel == Permisos::Inhabilitado)
        Mensaje(QString::fromUtf8("Su perfil no tiene permiso para abrir «%1»").arg(DescripcionModulo(modulo)),
                Icono::Informacion);
    return nivel;
}

void AplicoAlAbrir(QWidget* ventana, int nivel) {
    AplicoNivel(ventana, nivel, false);
    AplicoAcciones(ventana);
}
