#include "maintenance/ui/RegistroMantenimiento.h"

#include "core/ui/Arranque.h"
#include "core/ui/Pantallas.h"
#include "maintenance/Mantenimiento.h"
#include "maintenance/ui/CopiaSeguridad.h"
#include "maintenance/ui/PantallasMantenimiento.h"
#include "maintenance/ui/frmBaseDatos.h"

void RegistroPantallasMantenimiento() {
    using Pantallas::Comando;
    // The screen itself is offered at start-up; the running program reaches the backup and the
    // restore of the open books through these commands.
    Pantallas::Registro("frmBaseDatos", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmBaseDatos(p); },
                        {Comando("M_Archivos", 75, "M_CopiaSeguridad", "Copia de se&guridad…", true, CopioBaseDesdeMenu),
                         Comando("M_Archivos", 76, "M_RestaurarCopia", "&Restaurar copia…", false,
                                 RestauroBaseDesdeMenu)});
    InstaloInterlocutorMantenimiento();
    FijoMantenimientoInicial([](int estructura) {
        Mantenimiento::LeoRutas();
        return Mantenimiento::MantenimientoInicial(RutasDeAjustes(), QDate::currentDate(), estructura);
    });
    FijoRespaldoPrevio([](bool& cancelado) {
        Mantenimiento::LeoRutas();
        return Mantenimiento::RespaldoPrevio(RutasDeAjustes(), QDate::currentDate(), &cancelado);
    });
    FijoRespaldoPendiente([] { return Mantenimiento::BackUpPendiente(QDate::currentDate()); });
    FijoOfertaMantenimiento([] { return Mantenimiento::OfrezcoPantalla(); });
    // The counts alone: the books' rules are read by the backup that relies on them, in its window.
    FijoVerificoEstructura([](const QString& ruta) { return Mantenimiento::VerificoEstructura(ruta, false); });
}
