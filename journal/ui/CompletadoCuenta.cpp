#include "journal/ui/CompletadoCuenta.h"

#include "accounts/IngresoCuenta.h"
#include "core/AppState.h"
#include "core/Contexto.h"
#include "core/ui/Grilla.h"

#include <QLineEdit>
#include <QListWidget>

CompletadoCuenta::CompletadoCuenta(Grilla* grilla) : QObject(grilla), g(grilla), l(new QListWidget(grilla)) {
    l->setObjectName("lstCompletado");
    l->setAccessibleName("Cuentas que coinciden");
    l->setFocusPolicy(Qt::NoFocus);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->hide();
    connect(l, &QListWidget::itemClicked, this, [this](QListWidgetItem* i) {
        l->setCurrentItem(i);
        flechas = true;
        emit Clic();
    });
}

QLineEdit* CompletadoCuenta::Editor() const {
    return qobject_cast<QLineEdit*>(g->EditorAbierto());
}

void CompletadoCuenta::Actualizo(const MaximosNivel& maximos) {
    QLineEdit* e = Editor();
    if (!e) {
        Oculto();
        return;
    }
    if (!indice.cargado()) {
        // The chart that typed entry consults.
        const Contexto ctx = ContextoActual();
        const PlanIngreso plan = PlanDeIngreso(ctx);
        indice.Cargo(ctx.En(plan.empresa, plan.ejercicio), maximos);
    }
    hallados = indice.Busco(e->text());
    flechas = false;
    l->clear();
    if (hallados.isEmpty()) {
        l->hide();
        return;
    }
    for (const CuentaCompletable& c : hallados)
        l->addItem((c.codInt.isEmpty() ? QString() : c.codInt + "  ") + c.codJer + "  " + c.descripcion);
    l->setCurrentRow(0);
    // Under the cell, inside the grid, as wide as the account block.
    const QRect celda = g->visualRect(g->model()->index(g->filaActiva() - 1, g->columnaActiva()));
    const int alto = std::min(int(hallados.size()), 8) * l->sizeHintForRow(0) + 2 * l->frameWidth();
    QPoint arriba = g->viewport()->mapTo(g, celda.bottomLeft());
    if (arriba.y() + alto > g->height()) arriba.setY(g->viewport()->mapTo(g, celda.topLeft()).y() - alto);
    l->setGeometry(arriba.x(), arriba.y(), std::max(celda.width(), 360), alto);
    l->show();
    l->raise();
}

void CompletadoCuenta::Oculto() {
    l->hide();
    hallados.clear();
    flechas = false;
}

bool CompletadoCuenta::visible() const {
    return l->isVisible() && !hallados.isEmpty();
}

void CompletadoCuenta::Muevo(int paso) {
    if (!visible()) return;
    const int n = int(hallados.size());
    l->setCurrentRow(std::clamp(l->currentRow() + paso, 0, n - 1));
    flechas = true;
}

std::optional<CuentaCompletable> CompletadoCuenta::Resaltada() const {
    const int i = l->currentRow();
    if (!visible() || i < 0 || i >= hallados.size()) return std::nullopt;
    return hallados[i];
}
