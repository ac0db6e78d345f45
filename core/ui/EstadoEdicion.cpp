#include "core/ui/EstadoEdicion.h"

#include "core/ui/Mensaje.h"

#include <QPalette>
#include <QWidget>

EstadoEdicion::Decision EstadoEdicion::PreguntoGuardar(const std::function<bool()>& guardo) {
    if (!dirty) return Decision::SinCambios;
    switch (Mensaje("Salva datos recientemente modificados?", Icono::Pregunta, Botones::SiNoCancelar)) {
    case Respuesta::Si:
        if (!guardo || !guardo()) return Decision::Cancelado;
        dirty = adding = false;
        return Decision::Guardado;
    case Respuesta::No:
        return Decision::Descartado;
    default:
        return Decision::Cancelado;
    }
}

bool EstadoEdicion::AceptoCierre(const std::function<bool()>& guardo) {
    const bool d = dirty, a = adding;
    const Decision r = PreguntoGuardar(guardo);
    if (r == Decision::Descartado) {
        suspendido = true;
        dirtyAntes = d;
        addingAntes = a;
        dirty = adding = false;
    }
    return Sigo(r);
}

void EstadoEdicion::CierreSuspendido() {
    if (!suspendido) return;
    suspendido = false;
    dirty = dirtyAntes;
    adding = addingAntes;
}

void EstadoEdicion::PintoModo(QWidget* tira) const {
    if (!tira) return;
    QPalette p = tira->palette();
    p.setColor(QPalette::Window, adding ? ColorAgregando() : ColorMostrando());
    tira->setPalette(p);
}
