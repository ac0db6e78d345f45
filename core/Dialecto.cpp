#include "core/Dialecto.h"

#include "core/Valores.h"

namespace Dialecto {
QString Mayusculas(const QString& expresion) {
    return FuncionMayusculas() + "(" + expresion + ")";
}
QString Rellenado(const QString& expresion, const QString& ancho) {
    // Concatenated: the format's "%0" must not meet QString::arg.
    return "printf('%0*d', " + ancho + ", " + expresion + ")";
}
QString Rellenado(const QString& expresion, int ancho) {
    return Rellenado(expresion, QString::number(ancho));
}
QString Alfabetico(const QString& expresion) {
    return expresion + " COLLATE ESPANOL";
}
QString Limite(int n) {
    return QString(" LIMIT %1").arg(n);
}
QString Signo(const QString& e) {
    return QString("(CASE WHEN (%1)>0 THEN 1 WHEN (%1)<0 THEN -1 ELSE 0 END)").arg(e);
}
} // namespace Dialecto
