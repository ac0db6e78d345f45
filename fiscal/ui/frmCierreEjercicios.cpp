#include "fiscal/ui/frmCierreEjercicios.h"

#include "accounts/IngresoCuenta.h"
#include "core/AppState.h"
#include "core/ui/DialogoProgreso.h"
#include "core/ui/Controles.h"
#include "core/ui/Pantallas.h"
#include "core/ui/Ventanas.h"

#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmCierreEjercicios::frmCierreEjercicios(QWidget* padre)
    : DialogoGeneracion(padre, "frmCierreEjercicios", QStringLiteral(" Cierre ejercicio")) {
    const PeriodoEjercicio p = periodo.value_or(PeriodoEjercicio{});
    inpLeyendaCierreResultados =
        Leyenda("inpLeyendaCierreResultados", "Leyenda Cierre resultados", LeyendaCierreResultados(p));
    inpLeyendaCierrePatrimonial =
        Leyenda("inpLeyendaCierrePatrimonial", "Leyenda Cierre patrimonial", LeyendaCierrePatrimonial(p));
    pnlCuentaAjusteResultados = new QPushButton(this);
    pnlCuentaAjusteResultados->setObjectName("pnlCuentaAjusteResultados");
    pnlCuentaAjusteResultados->setAutoDefault(false);
    pnlCuentaAjusteResultados->setMinimumHeight(28);
    pnlCuentaAjusteResultados->setToolTip("Elegir del plan de cuentas");
    pnlCuentaAjusteResultados->installEventFilter(this);
    Campos()->addWidget(Marco(this, "fraCuentaAjusteResultados", "Indique cuenta ajuste resultados",
                              pnlCuentaAjusteResultados));
    connect(pnlCuentaAjusteResultados, &QPushButton::clicked, this, &frmCierreEjercicios::ElijoCuenta);
}

void frmCierreEjercicios::ElijoCuenta() {
    // The chart opens searching by description, on what was chosen so far; the way of entry the
    // journal's lines go by is the user's, and comes back once the chart has closed.
    const int forma = UltFormaIngresoCuenta();
    GraboUltFormaIngresoCuenta(PorDescripcion);
    AppState& a = App();
    a.searchText = adjustmentDescription.isEmpty() ? QString() : adjustmentDescription;
    a.chartCompany = empresa;
    a.chartYear = ejercicio;
    const std::optional<Eleccion> e = Pantallas::Elijo("frmCuentas", adjustmentAccount, this);
    GraboUltFormaIngresoCuenta(forma);
    if (!e || e->codigo < 0) return;
    adjustmentAccount = e->codigo;
    adjustmentDescription = e->descripcion;
    MuestroCuenta();
}

void frmCierreEjercicios::MuestroCuenta() {
    pnlCuentaAjusteResultados->setText(
        adjustmentDescription.isEmpty()
            ? QString()
            : AjustoTexto(adjustmentDescription, pnlCuentaAjusteResultados->width(), this).trimmed());
    pnlCuentaAjusteResultados->setAccessibleDescription(adjustmentDescription);
}

bool frmCierreEjercicios::eventFilter(QObject* objeto, QEvent* e) {
    // The description is fitted to the button whenever its width changes.
    if (objeto == pnlCuentaAjusteResultados && e->type() == QEvent::Resize) MuestroCuenta();
    return DialogoGeneracion::eventFilter(objeto, e);
}

Generacion frmCierreEjercicios::Genero() {
    // A closing is one transaction on the shared connection: it runs here, letting the progress window
    // take its events between its steps.
    Generacion g;
    DialogoProgreso::EnEsteHilo(this, "Cierre ejercicio", [&](Progreso& p) {
        Contexto c = ContextoActual().En(empresa, ejercicio);
        c.progreso = &p;
        g = GeneroCierre(c, inpLeyendaCierreResultados->text(), inpLeyendaCierrePatrimonial->text(),
                         adjustmentAccount);
        return g.ok;
    });
    return g;
}
