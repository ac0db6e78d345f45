#pragma once
// Year opening: the legend of the opening entry, made from the preceding year's balance-sheet closing.
#include "fiscal/ui/DialogoGeneracion.h"

class frmAperturaEjercicios : public DialogoGeneracion {
    Q_OBJECT
public:
    explicit frmAperturaEjercicios(QWidget* padre = nullptr);

    QLineEdit* inpLeyendaApertura = nullptr;

protected:
    Generacion Genero() override;
};
