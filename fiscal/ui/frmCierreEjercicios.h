#pragma once
// Year closing: the legends of the results and balance-sheet closing entries and the account that
// receives the year's result, chosen from the chart of accounts.
#include "fiscal/ui/DialogoGeneracion.h"

class QPushButton;

class frmCierreEjercicios : public DialogoGeneracion {
    Q_OBJECT
public:
    explicit frmCierreEjercicios(QWidget* padre = nullptr);

    QLineEdit* inpLeyendaCierreResultados = nullptr;
    QLineEdit* inpLeyendaCierrePatrimonial = nullptr;
    QPushButton* pnlCuentaAjusteResultados = nullptr;

    // The results adjustment account chosen (-1 until one is) and its description (the button's tag).
    int adjustmentAccount = -1;
    QString adjustmentDescription;

    void ElijoCuenta();

protected:
    Generacion Genero() override;
    bool eventFilter(QObject* objeto, QEvent* e) override;

private:
    void MuestroCuenta();
};
