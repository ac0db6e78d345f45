#include "utilities/Calculadora.h"

#include <QLocale>

void Calculadora::Inicio() {
    pointTyped = false;
    operandCount = 0;
    lastKey = "NONE";
    pendingOperator = " ";
}

double Calculadora::Numero(const QString& texto) {
    // Display texts always use a point; a lone "-" or "." reads as 0.
    bool ok = false;
    const double n = QLocale::c().toDouble(texto.trimmed(), &ok);
    return ok ? n : 0;
}

QString Calculadora::Texto(double n) {
    if (n == 0) return "0"; // never "-0"
    // Fifteen significant digits, with an exponent for very large or very small results.
    return QLocale::c().toString(n, 'g', 15).toUpper();
}

void Calculadora::Digito(int d) {
    if (lastKey != "NUMS") {
        display = ".";
        pointTyped = false;
    }
    const QString cifra = QString::number(d);
    if (pointTyped)
        display += cifra;
    else
        display = display.left(display.indexOf('.')) + cifra + ".";
    if (lastKey == "NEG") display = "-" + display;
    lastKey = "NUMS";
}

void Calculadora::Punto() {
    if (lastKey == "NEG")
        display = "-0.";
    else if (lastKey != "NUMS")
        display = "0.";
    pointTyped = true;
    lastKey = "NUMS";
}

QString Calculadora::Operador(const QString& o) {
    QString aviso;
    displayAtOperator = display;
    if (lastKey == "NUMS") ++operandCount;
    // A percent key followed by a new entry would count a third operand; it is taken as the second,
    // so that the calculator goes on computing instead of ignoring every later operator.
    if (operandCount > 2) operandCount = 2;
    switch (operandCount) {
    case 0:
        if (o == "-" && lastKey != "NEG") {
            display = "-" + display;
            lastKey = "NEG";
        }
        break;
    case 1:
        firstOperand = Numero(display);
        if (o == "-" && lastKey != "NUMS" && pendingOperator != "=") {
            display = "-";
            lastKey = "NEG";
        }
        break;
    case 2:
        secondOperand = Numero(displayAtOperator);
        if (pendingOperator == "+")
            firstOperand += secondOperand;
        else if (pendingOperator == "-")
            firstOperand -= secondOperand;
        else if (pendingOperator == "X")
            firstOperand *= secondOperand;
        else if (pendingOperator == "/") {
            if (secondOperand == 0)
                aviso = DivisionPorCero;
            else
                firstOperand /= secondOperand;
        } else if (pendingOperator == "=")
            firstOperand = secondOperand;
        else if (pendingOperator == "%")
            firstOperand *= secondOperand;
        display = Texto(firstOperand);
        operandCount = 1;
        break;
    }
    if (lastKey != "NEG") {
        lastKey = "OPS";
        pendingOperator = o;
    }
    return aviso;
}

void Calculadora::Porcentaje() {
    display = Texto(Numero(display) / 100);
    lastKey = "OPS";
    pendingOperator = "%";
    pointTyped = true;
    if (++operandCount > 2) operandCount = 2;
}

void Calculadora::BorroEntrada() {
    display = "0.";
    pointTyped = false;
    lastKey = "CE";
}

void Calculadora::BorroTodo() {
    display = "0.";
    firstOperand = 0;
    secondOperand = 0;
    Inicio();
}
