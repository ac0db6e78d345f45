#include "journal/ui/IngresoCuentaGrilla.h"

#include "core/AppState.h"
#include "core/ui/Grilla.h"
#include "core/ui/Pantallas.h"

namespace {
class FilaGrilla : public CeldasCuenta {
public:
    FilaGrilla(Grilla* g, int f) : grilla(g), fila(f) {}
    QString texto(int columna) const override { return grilla->texto(fila, columna); }
    void setTexto(int columna, const QString& t) override { grilla->setTexto(fila, columna, t); }
    void Activo(int columna) override { grilla->setCeldaActual(fila, columna); }

private:
    Grilla* grilla;
    int fila;
};

std::optional<Eleccion> AbroPlanModal(Grilla* grilla, const PedidoPlan& pedido) {
    // The chart screen, opened as a picker, takes what to show from the application state.
    AppState& a = App();
    a.preselection = pedido.preseleccion;
    a.searchText = pedido.buscado;
    a.chartCompany = pedido.empresa;
    a.chartYear = pedido.ejercicio;
    // From a grid's account cell the chart is only a picker: typing goes to its search, Enter chooses.
    a.chartPickOnly = true;
    // A failure to open the chart screen leaves the row unresolved.
    std::optional<Eleccion> e = Pantallas::Elijo("frmCuentas", a.preselection, grilla ? grilla->window() : nullptr);
    a.chartPickOnly = false;
    return e;
}
} // namespace

bool IngresoCuenta(Grilla* grilla, int columna, int origen, const MaximosNivel& maximos) {
    if (!grilla || grilla->filaActiva() < 1) return false;
    FilaGrilla fila(grilla, grilla->filaActiva());
    return IngresoCuenta(ContextoActual(), fila, columna, origen, maximos,
                         [grilla](const PedidoPlan& p) { return AbroPlanModal(grilla, p); });
}

bool SeleccionoCuenta(Grilla* grilla, int columna, int origen, int fila, int empresa, int ejercicio) {
    if (!grilla || fila < 1) return false;
    FilaGrilla celdas(grilla, fila);
    return SeleccionoCuenta(celdas, columna, origen, empresa, ejercicio,
                            [grilla](const PedidoPlan& p) { return AbroPlanModal(grilla, p); });
}

bool DobleClickCuenta(Grilla* grilla, int fila, int columna) {
    if (columna < PorCodInt || columna > PorDescripcion) return false;
    GraboUltFormaIngresoCuenta(columna);
    return SeleccionoCuenta(grilla, columna, 0, fila, App().currentCompany, App().currentYear);
}

void MascaraCodJer(Grilla* grilla, int columna, const MaximosNivel& maximos) {
    TipoCelda tipo = grilla->tipoColumna(columna);
    tipo.clase = TipoCelda::Mascara;
    tipo.mascara = ::MascaraCodJer(maximos, 'X');
    grilla->setTipoColumna(columna, tipo);
}
