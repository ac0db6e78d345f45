#include "security/ui/AplicoPermisos.h"
#include "core/AppState.h"

#include "core/ui/Grilla.h"
#include "security/Permisos.h"

#include <QWidget>

void MarcoControl(QWidget* control, const QString& tag) {
    control->setProperty("tag", tag);
}

QString TagControl(const QWidget* control) {
    return control->property("tag").toString();
}

namespace {
// Editable or read-only as the level says: a grid keeps working (it scrolls and selects) in read-only
// mode; any other control is enabled or disabled.
void Habilito(QWidget* control, bool habilitado) {
    if (auto* g = qobject_cast<Grilla*>(control))
        g->setSoloLectura(!habilitado);
    else
        control->setEnabled(habilitado);
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
