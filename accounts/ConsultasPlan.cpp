#include "accounts/ConsultasPlan.h"

#include "core/Basedatos.h"
#include "core/Dialecto.h"
#include "core/Valores.h"

namespace {
// The first account of the chart whose column holds the text anywhere.
int BuscoEnColumna(const QString& columna, const QString& texto, int empresa, int ejercicio) {
    const Valor v = ValorCampo("Cuentas", "Cuenta",
                               "EmpresaPropia=? AND NumEjercicio=? AND " + Dialecto::Mayusculas(columna) +
                                   " LIKE ?" + EscapeLike,
                               {empresa, ejercicio, "%" + ComodinesLike(texto).toUpper() + "%"});
    return v && !v->isNull() ? v->toInt() : -1;
}
} // namespace

bool ExistePlan(int empresa, int ejercicio) {
    return ValorCampo("Ejercicios", "EmpresaPropia", "EmpresaPropia=? AND NumEjercicio=?",
                      {empresa, ejercicio})
        .has_value();
}

std::optional<DatosCuenta> LeoCuenta(int empresa, int ejercicio, int cuenta) {
    QSqlQuery q =
        Consulto("SELECT Descripcion, CodInt, NumHijo, CondDebito, CuentaResultado, Ajustable FROM Cuentas "
                 "WHERE EmpresaPropia=? AND NumEjercicio=? AND Cuenta=?",
                 {empresa, ejercicio, cuenta});
    if (!q.next()) return std::nullopt;
    DatosCuenta d;
    d.descripcion = NuloAVacio(q.value(0));
    d.codInt = NuloAVacio(q.value(1));
    d.numHijo = QString::number(q.value(2).toInt());
    d.condDebito = NumeroOCero(q.value(3)) != 0;
    d.cuentaResultado = NumeroOCero(q.value(4)) != 0;
    d.ajustable = NumeroOCero(q.value(5)) != 0;
    q.finish();
    return d;
}

int NumHijoDe(int empresa, int ejercicio, int cuenta) {
    return int(NumeroOCero(ValorCampo("Cuentas", "NumHijo", "EmpresaPropia=? AND NumEjercicio=? AND Cuenta=?",
                                      {empresa, ejercicio, cuenta})));
}

QList<ConceptoCuenta> ConceptosDeCuenta(int empresa, int ejercicio, int cuenta, bool debe) {
    QList<ConceptoCuenta> lista;
    QSqlQuery q = Consulto("SELECT ConceptosDetAsiento.ConceptoDetAsiento, descConceptoDetAsiento "
                           "FROM ConceptosDetAsiento INNER JOIN CuentasConceptos "
                           "ON ConceptosDetAsiento.ConceptoDetAsiento = CuentasConceptos.ConceptoDetAsiento "
                           "WHERE EmpresaPropia=? AND NumEjercicio=? AND Cuenta=? AND Debe=? "
                           "ORDER BY " +
                               Dialecto::Alfabetico("descConceptoDetAsiento"),
                           {empresa, ejercicio, cuenta, debe ? -1 : 0});
    while (q.next())
        lista.append({NuloAVacio(q.value(0)), NuloAVacio(q.value(1))});
    q.finish();
    return lista;
}

int BuscoPorCodInt(const QString& texto, int empresa, int ejercicio) {
    return BuscoEnColumna("CodInt", texto, empresa, ejercicio);
}

int BuscoPorDescripcion(const QString& texto, int empresa, int ejercicio) {
    return BuscoEnColumna("Descripcion", texto, empresa, ejercicio);
}
