#include "core/Dialecto.h"

#include "core/Motor.h"
#include "core/Valores.h"

namespace Dialecto {
QString Mayusculas(const QString& expresion) {
    return MotorActual().dialecto.Mayusculas(FuncionMayusculas(), expresion);
}
QString Rellenado(const QString& expresion, int ancho) {
    return MotorActual().dialecto.Rellenado(expresion, ancho);
}
QString Alfabetico(const QString& expresion) {
    return MotorActual().dialecto.Alfabetico(expresion);
}
QString Limite(int n) {
    return MotorActual().dialecto.Limite(n);
}
QString InsertoOIgnoro(const QString& resto) {
    return MotorActual().dialecto.InsertoOIgnoro(resto);
}
QString Signo(const QString& e) {
    return QString("(CASE WHEN (%1)>0 THEN 1 WHEN (%1)<0 THEN -1 ELSE 0 END)").arg(e);
}
} // namespace Dialecto
