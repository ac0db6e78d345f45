#include "reports/Balance.h"

#include "core/Basedatos.h"
#include "core/Valores.h"

ConsultaSql ConsultaCuentas(int profundidad, int ancho, const ConsultaSql& sumas, const QString& extra) {
    const AppState& a = App();
    const CodigoSql codigo = ArmoCodigoSql(profundidad, ancho);
    // Every account is listed, with or without sums, and its children are only counted, never joined,
    // so no line is ever repeated.
    ConsultaSql c;
    c.sql = "SELECT Cuentas0.Descripcion, " + codigo.expresion +
            " AS CodJer, Cuentas0.CodInt, S.SumaDebe, S.SumaHaber,"
            " (SELECT MIN(H.Cuenta) FROM Cuentas AS H WHERE H.EmpresaPropia=Cuentas0.EmpresaPropia AND "
            "H.NumEjercicio=Cuentas0.NumEjercicio AND H.CuentaPadre=Cuentas0.Cuenta AND "
            "H.Cuenta<>Cuentas0.Cuenta)"
            " AS PrimeroDeCuenta" +
            extra + " FROM Cuentas AS Cuentas0" + codigo.juntas + " LEFT JOIN (" + sumas.sql +
            ") AS S ON S.Cuenta=Cuentas0.Cuenta"
            " WHERE Cuentas0.EmpresaPropia=? AND Cuentas0.NumEjercicio=?"
            " ORDER BY CodJer";
    c.parametros = sumas.parametros;
    c.parametros << a.currentCompany << a.currentYear;
    return c;
}

ConsultaSql ConsultaBalance(int profundidad, int ancho, const QDate& desde, const QDate& hasta) {
    const AppState& a = App();
    // The sums come from one grouped pass over the period's lines.
    ConsultaSql s;
    s.sql = "SELECT DetAsientos.Cuenta AS Cuenta, " +
            Importe::SumaSql("CASE WHEN DetAsientos.Importe>0 THEN DetAsientos.Importe END") +
            " AS SumaDebe, " +
            Importe::SumaSql("CASE WHEN DetAsientos.Importe<0 THEN DetAsientos.Importe END") +
            " AS SumaHaber FROM DetAsientos INNER JOIN Asientos ON "
            "Asientos.EmpresaPropia=DetAsientos.EmpresaPropia"
            " AND Asientos.NumEjercicio=DetAsientos.NumEjercicio AND Asientos.Asiento=DetAsientos.Asiento"
            " WHERE DetAsientos.EmpresaPropia=? AND DetAsientos.NumEjercicio=? AND Asientos.Fecha>=? AND "
            "Asientos.Fecha<=? GROUP BY DetAsientos.Cuenta";
    s.parametros = {a.currentCompany, a.currentYear, FechaSql(desde), FechaSql(hasta)};
    return ConsultaCuentas(profundidad, ancho, s);
}

bool Incluyo(const RegistroReporte& r, FiltroSaldos filtro) {
    if (r.tieneHijos) return true;
    switch (filtro) {
    case FiltroSaldos::Todos:
        return true;
    case FiltroSaldos::ExcluirSaldos0:
        return !(r.sumaDebe.value_or(Importe()) + r.sumaHaber.value_or(Importe())).esCero();
    case FiltroSaldos::ExcluirMovim0:
        return r.sumaDebe.has_value() || r.sumaHaber.has_value();
    }
    return true;
}

bool ArmoBalance(const MaximosReporte& maximos, const QDate& desde, const QDate& hasta, FiltroSaldos filtro,
                 QVector<FilaBalance>* filas, QString* error) {
    filas->clear();
    if (maximos.Profundidad() == 0) return true; // only the root row: nothing to show
    return ArmoFilasBalance(maximos,
                            ConsultaBalance(maximos.Profundidad(), maximos.AnchoMascara(), desde, hasta),
                            filtro, filas, error);
}

bool ArmoFilasBalance(const MaximosReporte& maximos, const ConsultaSql& c, FiltroSaldos filtro,
                      QVector<FilaBalance>* filas, QString* error,
                      const std::function<void(const QSqlQuery&)>& alLeer) {
    filas->clear();
    if (maximos.Profundidad() == 0) return true;
    QSqlQuery q = Consulto(c.sql, c.parametros);
    if (!q.isActive()) {
        if (error) *error = TextoError(q.lastError());
        return false;
    }
    Sumarizador escritor(maximos.maximos(), [filas](const FilaBalance& f) { filas->append(f); });
    while (q.next()) {
        if (alLeer) alLeer(q);
        const RegistroReporte r = Sumarizador::CopioRegistro(q);
        if (Incluyo(r, filtro)) escritor.Agrego(r);
    }
    if (q.lastError().isValid()) {
        filas->clear();
        if (error) *error = TextoError(q.lastError());
        return false;
    }
    escritor.Termino();
    return true;
}
