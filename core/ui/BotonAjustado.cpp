#include "core/ui/BotonAjustado.h"

#include "core/ui/Ventanas.h"

BotonAjustado::BotonAjustado(QWidget* padre) : QPushButton(padre) {
    setAutoDefault(false);
}

void BotonAjustado::setTextoCompleto(const QString& texto) {
    completo = texto;
    Ajusto();
}

void BotonAjustado::resizeEvent(QResizeEvent* e) {
    QPushButton::resizeEvent(e);
    Ajusto();
}

void BotonAjustado::Ajusto() {
    setText(completo.isEmpty() ? QString() : AjustoTexto(completo, width(), window()).trimmed());
    setAccessibleDescription(completo);
}
