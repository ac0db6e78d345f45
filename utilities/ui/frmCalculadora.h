#pragma once
// The desk calculator as a child window. Every key of the keyboard acts through its button.
#include "utilities/Calculadora.h"

#include <QWidget>
#include <array>

class QLabel;
class QPushButton;

class frmCalculadora : public QWidget {
    Q_OBJECT
public:
    explicit frmCalculadora(QWidget* padre = nullptr);

    QLabel* Readout;
    std::array<QPushButton*, 10> Number{};  // by digit
    std::array<QPushButton*, 5> Operator{}; // "+", "-", "X", "/", "="
    QPushButton* Decimal;
    QPushButton* Percent;
    QPushButton* CancelEntry;
    QPushButton* Cancel;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QPushButton* Boton(const QString& nombre, const QString& texto);
    void Muestro();

    Calculadora calculadora;
};
