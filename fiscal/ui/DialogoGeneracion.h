#pragma once
// What the year closing and the year opening screens share: a modal dialog on the current company and
// year that offers the legends of the entries it generates, a generate button and a close button. It
// refuses to open when the year does not exist, opens centred with the focus on btnCancel, shows the
// outcome of the generation and closes itself after a success.
#include "fiscal/Cierre.h"

#include <QDialog>

class QLineEdit;
class QToolButton;
class QVBoxLayout;

class DialogoGeneracion : public QDialog {
    Q_OBJECT
public:
    QToolButton* btnOk = nullptr;
    QToolButton* btnCancel = nullptr;

protected:
    DialogoGeneracion(QWidget* padre, const char* nombre, const QString& titulo);

    // The current year's period; nothing when the screen refused to open.
    std::optional<PeriodoEjercicio> periodo;
    int empresa = 0;
    int ejercicio = 0;

    // A legend field under its label, added to the screen's fields.
    QLineEdit* Leyenda(const char* nombre, const QString& etiqueta, const QString& texto);
    QVBoxLayout* Campos() { return campos; }

    virtual Generacion Genero() = 0;

    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    void Generar();
    QVBoxLayout* campos = nullptr;
    bool centrada = false;
};
