#include "fiscal/ChequeosEjercicio.h"

#include "core/TipoAsiento.h"
#include "core/Valores.h"
#include "fiscal/Cierre.h"

namespace {
Chequeo Rechazo(const QString& mensaje, int asiento = 0) {
    Chequeo c;
    c.ok = false;
    c.mensaje = mensaje;
    c.asiento = asiento;
    return c;
}
} // namespace

Chequeo ChequeoCierre(int empresa, int ejercicio) {
    const int cierre = int(NumeroOCero(
        ValorCampo("Asientos", "Asiento", "EmpresaPropia=? AND NumEjercicio=? AND (Especial=? OR Especial=?)",
                   {empresa, ejercicio, ValorEspecial(Especial::CierreResultados),
                    ValorEspecial(Especial::CierrePatrimonial)},
                   "Especial, Asiento")));
    if (cierre != 0)
        return Rechazo("No se puede cerrar ejercicio, ya existe asiento de cierre " + QString::number(cierre),
                       cierre);
    return {};
}

Chequeo ChequeoApertura(int empresa, int ejercicio) {
    const int apertura =
        int(NumeroOCero(ValorCampo("Asientos", "Asiento", "EmpresaPropia=? AND NumEjercicio=? AND Especial=?",
                                   {empresa, ejercicio, ValorEspecial(Especial::Apertura)}, "Asiento")));
    if (apertura != 0)
        return Rechazo("No se puede generar asiento apertura, ya existe con el número " +
                           QString::number(apertura),
                       apertura);
    // The balance-sheet closing entry of the latest year that ends before this one starts.
    const double cierre = NumeroOMenosUno(ValorCampo(
        "Asientos", "Asiento", "EmpresaPropia=? AND NumEjercicio=? AND Especial=?",
        {empresa, EjercicioAnterior(empresa, ejercicio), ValorEspecial(Especial::CierrePatrimonial)}));
    if (cierre == -1)
        return Rechazo(
            "No se puede generar asiento apertura, NO existe cierre patrimonial en ejercicio anterior");
    return {};
}
