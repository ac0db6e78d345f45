#pragma once
// The four-function desk calculator: the keys and what the display shows after each of them.
#include <QString>

class Calculadora {
public:
    Calculadora() { Inicio(); }

    void Digito(int d); // 0 to 9
    void Punto();       // "."
    // "+", "-", "X", "/", "=". Returns the text of a warning to show (division by zero), else empty.
    QString Operador(const QString& o);
    void Porcentaje();   // "%"
    void BorroEntrada(); // "CE"
    void BorroTodo();    // "C"

    QString Display() const { return display; }

    static inline const QString DivisionPorCero = QStringLiteral("Can't divide by zero");

private:
    void Inicio();
    static double Numero(const QString& texto);
    static QString Texto(double n);

    QString display = QStringLiteral("0.");
    double firstOperand = 0;
    double secondOperand = 0;
    bool pointTyped = false;
    int operandCount = 0;
    QString lastKey;         // "NONE", "NUMS", "OPS", "CE", "NEG"
    QString pendingOperator; // caption of the pending operator, " " at start
    QString displayAtOperator;
};
