#include "reports/HistorialCambios.h"

#include "core/Basedatos.h"
#include "core/Valores.h"
#include "journal/Escritura.h"
#include "journal/Historial.h"

bool TablaHistorial(int empresa, const QDate& desde, const QDate& hasta, TablaReporte* tabla, QString* error) {
    *tabla = TablaReporte();
    tabla->titulo = "Historial de cambios de asientos entre " + FechaATexto(desde) + " y " + FechaATexto(hasta);
    tabla->columnas = {"Fecha y hora", "Usuario", "Estación", "Ejercicio", "Asiento", "Cambio", "Debe antes",
                       "Debe después", "Antes", "Después"};
    tabla->importes = {false, false, false, false, false, false, true, true, false, false};
    tabla->clases = {ClaseColumna::Fecha,  ClaseColumna::Texto,   ClaseColumna::Texto,   ClaseColumna::Numero,
                     ClaseColumna::Numero, ClaseColumna::Texto,   ClaseColumna::Importe, ClaseColumna::Importe,
                     ClaseColumna::Texto,  ClaseColumna::Texto};
    tabla->membrete = MembreteEmpresa(Contexto::De(empresa, 0));
    bool ok = true;
    const QList<CambioAsiento> cambios = HistorialDePeriodo(empresa, desde, hasta, &ok);
    if (!ok) {
        *error = UltimoError();
        return false;
    }
    for (const CambioAsiento& c : cambios) {
        FilaReporte f;
        f.celdas = {c.momento.toLocalTime().toString("dd/MM/yyyy HH:mm:ss"),
                    c.usuario,
                    c.estacion,
                    QString::number(c.ejercicio),
                    QString::number(c.asiento),
                    NombreCambio(c.tipo),
                    c.antes.isEmpty() ? CeldaReporte() : CeldaReporte(TotalDebe(c.antes)),
                    c.despues.isEmpty() ? CeldaReporte() : CeldaReporte(TotalDebe(c.despues)),
                    ResumenEstado(c.antes),
                    ResumenEstado(c.despues)};
        tabla->filas << f;
    }
    return true;
}
