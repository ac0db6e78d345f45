#include "core/Listado.h"

#include "core/Sesiones.h"
#include "core/Valores.h"

QString DescriboEjercicio(int empresa, int ejercicio) {
    // A year deleted since is still named by its numbers.
    if (!ValorCampo("Ejercicios", "NumEjercicio", "EmpresaPropia=? AND NumEjercicio=?", {empresa, ejercicio}))
        return QString("empresa %1, ejercicio %2").arg(empresa).arg(ejercicio);
    return NombreEjercicio(empresa, ejercicio);
}

QString VerificoListado(const Contexto& ctx, const EjercicioListado& listado) {
    const EjercicioListado actual = EjercicioListado::De(ctx);
    if (listado == actual) return QString();
    return QString("Lo listado en esta ventana es del ejercicio %1 y el ejercicio actual es %2: no se hizo "
                   "nada. Vuelva a listarlo en el ejercicio actual.")
        .arg(DescriboEjercicio(listado.empresa, listado.ejercicio),
             DescriboEjercicio(actual.empresa, actual.ejercicio));
}

QString VerificoAsientoListado(const Contexto& ctx, const EjercicioListado& listado, int asiento) {
    if (QString r = VerificoListado(ctx, listado); !r.isEmpty()) return r;
    if (ValorCampo("Asientos", "Asiento", "EmpresaPropia=? AND NumEjercicio=? AND Asiento=?",
                   {listado.empresa, listado.ejercicio, asiento}))
        return QString();
    return QString("El asiento %1 ya no existe en el ejercicio %2 (se eliminó o se renumeró después de "
                   "listarse): no se hizo nada.")
        .arg(asiento)
        .arg(DescriboEjercicio(listado.empresa, listado.ejercicio));
}
