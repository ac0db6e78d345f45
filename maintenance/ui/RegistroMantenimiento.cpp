#include "maintenance/ui/RegistroMantenimiento.h"

#include "core/ui/Arranque.h"
#include "core/ui/Pantallas.h"
#include "maintenance/Mantenimiento.h"
#include "maintenance/ui/PantallasMantenimiento.h"
#include "maintenance/ui/frmBaseDatos.h"

void RegistroPantallasMantenimiento() {
    Pantallas::Registro("frmBaseDatos", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmBaseDatos(p); });
    InstaloInterlocutorMantenimiento();
    FijoMantenimientoInicial([](int estructura) {
        Mantenimiento::LeoRutas();
        Mantenimiento::MantenimientoInicial(RutasDeAjustes(), QDate::currentDate(), estructura);
    });
    FijoRespaldoPrevio([] {
        Mantenimiento::LeoRutas();
        return Mantenimiento::RespaldoPrevio(RutasDeAjustes());
    });
    FijoRespaldoPendiente([] { return Mantenimiento::BackUpPendiente(QDate::currentDate()); });
    FijoOfertaMantenimiento([] { return Mantenimiento::OfrezcoPantalla(); });
    // The books' rules are read at start-up only when the backup that relies on them is due.
    FijoVerificoEstructura([](const QString& ruta) {
        return Mantenimiento::VerificoEstructura(ruta, Mantenimiento::BackUpPendiente(QDate::currentDate()));
    });
}
