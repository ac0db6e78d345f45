#include "demo/ui/OfertaDemostracion.h"
#include "core/AppState.h"

#include "core/Configuracion.h"
#include "core/Valores.h"
#include "core/ui/Arranque.h"
#include "core/ui/Cursor.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Ofertas.h"
#include "demo/Demostracion.h"

void RegistroOfertaDemostracion() {
    FijoOfertaInicial(&OfrezcoDemostracion);
    FijoOfertaEjercicioNuevo(&OfrezcoPlanModelo);
}

void OfrezcoDemostracion() {
    if (!Demostracion::BaseSinEmpresas()) return;
    if (Mensaje("La base de datos está vacía. ¿Desea crear el libro de demostración de \"" +
                    Demostracion::NombreEmpresa +
                    "\" (dos ejercicios, un plan de cuentas modelo, la tabla de índices de ajuste y unos "
                    "300 asientos) para conocer el programa?\nPuede responder No y cargar sus propias "
                    "empresas; el libro también se crea luego con Partidex --demo.",
                Icono::Pregunta, Botones::SiNo) != Respuesta::Si)
        return;
    Demostracion::Creacion r;
    {
        Espera espera;
        r = Demostracion::CreoDemostracion(ContextoActual());
    }
    if (!r.ok) {
        Mensaje(r.mensaje, Icono::Error);
        return;
    }
    const Valor ultimo = ValorCampo("Ejercicios", "Max(NumEjercicio)", "EmpresaPropia=?", {r.empresa});
    AdoptoEjercicio(r.empresa, ultimo.value_or(QVariant()));
    Mensaje(r.mensaje, Icono::Informacion);
}

void OfrezcoPlanModelo(int empresa, int ejercicio) {
    if (!Demostracion::PlanVacio(empresa, ejercicio)) return;
    if (Mensaje("El ejercicio nuevo no tiene cuentas. ¿Desea copiarle el plan de cuentas modelo (Activo, "
                "Pasivo, Patrimonio Neto y Resultados, con sus cuentas imputables)?\nPuede responder No y "
                "cargar las cuentas o pegar el plan de otro ejercicio.",
                Icono::Pregunta, Botones::SiNo) != Respuesta::Si)
        return;
    QString error;
    bool ok = false;
    {
        Espera espera;
        ok = Demostracion::CopioPlanModelo(empresa, ejercicio, &error);
    }
    if (!ok) Mensaje("No se pudo copiar el plan de cuentas modelo, " + error, Icono::Advertencia);
}
