#include "fiscal/ui/frmAperturaEjercicios.h"
#include "core/AppState.h"

#include <QLineEdit>

frmAperturaEjercicios::frmAperturaEjercicios(QWidget* padre)
    : DialogoGeneracion(padre, "frmAperturaEjercicios", QStringLiteral("Apertura ejercicio")) {
    inpLeyendaApertura = Leyenda("inpLeyendaApertura", "Leyenda Apertura",
                                 LeyendaApertura(periodo.value_or(PeriodoEjercicio{})));
}

Generacion frmAperturaEjercicios::Genero() {
    return GeneroApertura(ContextoActual().En(empresa, ejercicio), inpLeyendaApertura->text());
}
