#include "maintenance/ui/PantallasMantenimiento.h"

#include "core/AppState.h"
#include "core/ui/Cursor.h"
#include "core/ui/DialogoProgreso.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "maintenance/Mantenimiento.h"
#include "maintenance/ui/frmInformaMantenimientoAutomatico.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace {

Icono IconoDe(Mantenimiento::Aviso a) {
    switch (a) {
    case Mantenimiento::Aviso::Informacion:
        return Icono::Informacion;
    case Mantenimiento::Aviso::Error:
        return Icono::Error;
    case Mantenimiento::Aviso::Pregunta:
        return Icono::Pregunta;
    case Mantenimiento::Aviso::Ninguno:
        break;
    }
    return Icono::Ninguno;
}

QPointer<frmInformaMantenimientoAutomatico> aviso;

void MuestroAviso(bool mostrar) {
    if (mostrar) {
        if (!aviso) aviso = new frmInformaMantenimientoAutomatico;
        aviso->adjustSize();
        if (QScreen* s = QGuiApplication::primaryScreen())
            aviso->move(s->availableGeometry().center() - aviso->rect().center());
        aviso->show();
        aviso->raise();
        // Let it paint before the backup keeps the thread busy.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } else if (aviso) {
        aviso->close();
        delete aviso;
    }
}

} // namespace

void InstaloInterlocutorMantenimiento() {
    // The maintenance may run on a worker thread behind its progress window: what it shows or asks is
    // shown or asked on the screens' thread.
    Mantenimiento::Interlocutor i;
    i.informo = [](const QString& texto, Mantenimiento::Aviso icono) {
        DialogoProgreso::EnPantallas([&] {
            SinEspera normal;
            Mensaje(texto, IconoDe(icono));
        });
    };
    i.pregunto = [](const QString& texto) {
        bool si = false;
        DialogoProgreso::EnPantallas([&] {
            SinEspera normal;
            si = Mensaje(texto, Icono::Pregunta, Botones::SiNo) == Respuesta::Si;
        });
        return si;
    };
    i.espero = [](bool ocupado) {
        DialogoProgreso::EnPantallas([&] {
            if (ocupado)
                CursorEspera();
            else
                CursorNormal();
        });
    };
    i.aviso = MuestroAviso;
    // The notice of the automatic maintenance gives way to the progress window once that comes up.
    i.conProgreso = [](const QString& titulo, const std::function<bool(Progreso&)>& trabajo) {
        QTimer relevo;
        relevo.setInterval(40);
        QObject::connect(&relevo, &QTimer::timeout, [&relevo] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<DialogoProgreso*>(w) && w->isVisible()) {
                    if (aviso) aviso->hide();
                    relevo.stop();
                }
        });
        relevo.start();
        return DialogoProgreso::EnOtroHilo(nullptr, titulo, trabajo);
    };
    i.abroPantalla = [] {
        SinEspera normal;
        Pantallas::AbroModal("frmBaseDatos");
    };
    Mantenimiento::FijoInterlocutor(std::move(i));
}

Mantenimiento::Rutas RutasDeAjustes() {
    const AppState& a = App();
    return {a.databasePath, a.backupPath, a.auxPath};
}
