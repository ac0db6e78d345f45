#pragma once
// A button whose caption is a longer text fitted to its width (AjustoTexto), fitted again whenever the
// button is resized; the whole text stays its accessible description. The index table buttons show
// the chosen table's description this way.
#include <QPushButton>

class BotonAjustado : public QPushButton {
    Q_OBJECT
public:
    explicit BotonAjustado(QWidget* padre = nullptr);
    void setTextoCompleto(const QString& texto);
    QString textoCompleto() const { return completo; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QString completo;
    void Ajusto();
};
