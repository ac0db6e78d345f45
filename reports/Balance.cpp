#include "reports/Balance.h"

#include "core/Basedatos.h"
#include "core/Motor.h"
#include "core/Sesiones.h"
#include "core/Valores.h"

#include <algorithm>

ConsultaSql ConsultaCuentas(const Contexto& ctx, int profundidad, int ancho, const ConsultaSql& sumas,
                            const QString& extra) {
    const CodigoSql codigo = ArmoCodigoSql(ctx, profundidad, ancho);
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
    c.parametros << ctx.empresa << ctx.ejercicio;
    return c;
}

ConsultaSql ConsultaBalance(const Contexto& ctx, int profundidad, int ancho, const QDate& desde, const QDate& hasta,
                            LecturaLineas lectura) {
    return ConsultaCuentas(ctx, profundidad, ancho, ConsultaSumasBalance(ctx, desde, hasta, lectura));
}

ConsultaSql ConsultaSumasBalance(const Contexto& ctx, const QDate& desde, const QDate& hasta, LecturaLineas lectura) {
    const QVariant empresa = ctx.empresa, ejercicio = ctx.ejercicio;
    // Each reading takes one plan whatever the planner's statistics say (gathered on an empty book,
    // or on a book ten times smaller): the entries of a range through the index by date, each
    // entry's lines through their key, and the year's lines through the index by account, which
    // holds the amount, or the monthly sums the engine keeps. The choice between them is LecturaBalance's,
    // by the size and shape of the range.
    const DialectoMotor& d = MotorDe(ctx.Base()).dialecto;
    const QString lineasPorClave = " CROSS JOIN " + d.PorIndice("DetAsientos") +
                                   " WHERE DetAsientos.EmpresaPropia=? AND DetAsientos.NumEjercicio=? AND ";
    // Sums in whole cents of the debit and credit lines, and how many of each (a sum of no line is
    // Null, which a subtraction must keep).
    const QString sumas = "DetAsientos.Cuenta AS Cuenta, " +
                          Importe::SumaSql("CASE WHEN DetAsientos.Importe>0 THEN DetAsientos.Importe END") +
                          " AS SumaDebe, " +
                          Importe::SumaSql("CASE WHEN DetAsientos.Importe<0 THEN DetAsientos.Importe END") +
                          " AS SumaHaber, COUNT(CASE WHEN DetAsientos.Importe>0 THEN 1 END) AS Debitos, "
                          "COUNT(CASE WHEN DetAsientos.Importe<0 THEN 1 END) AS Creditos";
    const QString delEjercicio = "SELECT " + sumas + " FROM " + d.PorIndice("DetAsientos", "idxDetAsientosCuenta") +
                                 " WHERE DetAsientos.EmpresaPropia=? AND "
                                 "DetAsientos.NumEjercicio=? GROUP BY DetAsientos.Cuenta";
    const QString asientos = "SELECT Asientos.Asiento FROM " + d.PorIndice("Asientos", "idxAsientosFecha") +
                             " WHERE Asientos.EmpresaPropia=? AND Asientos.NumEjercicio=? AND ";
    // The lines of the entries dated from d1 to d2.
    auto periodo = [&](const QDate& d1, const QDate& d2, QVariantList* p) {
        *p << empresa << ejercicio << FechaSql(d1) << FechaSql(d2) << empresa << ejercicio;
        return "SELECT " + sumas + " FROM (" + asientos + "Asientos.Fecha>=? AND Asientos.Fecha<=?) AS Dentro" +
               lineasPorClave + "DetAsientos.Asiento=Dentro.Asiento GROUP BY DetAsientos.Cuenta";
    };
    QString lineas;
    QVariantList parametros;
    QDate primero, ultimo;
    if (lectura == LecturaLineas::Meses && !MesesEnteros(desde, hasta, &primero, &ultimo))
        lectura = LecturaLineas::Periodo;
    switch (lectura) {
    case LecturaLineas::Periodo:
        lineas = periodo(desde, hasta, &parametros);
        break;
    case LecturaLineas::Meses: {
        // A month cut by the period is its own lines in it, or, when the period takes more than half of
        // it, the month's sums less the lines of the days left out: never more than half a month of lines.
        QStringList lineasDeBordes;
        QVariantList parametrosDeBordes;
        auto menos = [&](const QDate& d1, const QDate& d2) {
            lineasDeBordes << "SELECT R.Cuenta, -R.SumaDebe, -R.SumaHaber, -R.Debitos, -R.Creditos FROM (" +
                                  periodo(d1, d2, &parametrosDeBordes) + ") AS R";
        };
        QDate mesDesde = primero, mesHasta = ultimo;
        if (desde < primero) {
            const QDate comienzo = primero.addMonths(-1);
            if (primero.toJulianDay() - desde.toJulianDay() > comienzo.daysInMonth() / 2) {
                mesDesde = comienzo;
                menos(comienzo, desde.addDays(-1));
            } else {
                lineasDeBordes << periodo(desde, primero.addDays(-1), &parametrosDeBordes);
            }
        }
        if (hasta > ultimo) {
            const QDate fin = ultimo.addDays(1).addMonths(1).addDays(-1);
            if (hasta.day() > fin.day() / 2) {
                mesHasta = fin;
                menos(hasta.addDays(1), fin);
            } else {
                lineasDeBordes << periodo(ultimo.addDays(1), hasta, &parametrosDeBordes);
            }
        }
        QStringList partes = {
            "SELECT SumasMensuales.Cuenta AS Cuenta, SumasMensuales.Debe AS SumaDebe, SumasMensuales.Haber AS "
            "SumaHaber, SumasMensuales.Debitos AS Debitos, SumasMensuales.Creditos AS Creditos FROM " +
            d.PorIndice("SumasMensuales") +
            " WHERE SumasMensuales.EmpresaPropia=? AND SumasMensuales.NumEjercicio=? AND SumasMensuales.Mes>=? AND "
            "SumasMensuales.Mes<=?"};
        parametros = {empresa, ejercicio, FechaSql(mesDesde), FechaSql(mesHasta.addDays(1 - mesHasta.day()))};
        partes << lineasDeBordes;
        parametros << parametrosDeBordes;
        // A side with no line of the period stays Null, as the sum of no line.
        lineas = "SELECT M.Cuenta AS Cuenta, CASE WHEN SUM(M.Debitos)>0 THEN SUM(M.SumaDebe) END AS SumaDebe, "
                 "CASE WHEN SUM(M.Creditos)>0 THEN SUM(M.SumaHaber) END AS SumaHaber FROM (" +
                 partes.join(" UNION ALL ") + ") AS M GROUP BY M.Cuenta";
        break;
    }
    case LecturaLineas::Ejercicio:
        lineas = delEjercicio;
        parametros = {empresa, ejercicio};
        break;
    case LecturaLineas::EjercicioMenosFuera: {
        // The entries outside, each side of the period through the index by date.
        const QString fuera = "SELECT " + sumas + " FROM (" + asientos + "Asientos.Fecha<? UNION ALL " + asientos +
                              "Asientos.Fecha>? UNION ALL " + asientos + "Asientos.Fecha IS NULL) AS Fuera" +
                              lineasPorClave + "DetAsientos.Asiento=Fuera.Asiento GROUP BY DetAsientos.Cuenta";
        lineas = "SELECT T.Cuenta AS Cuenta, CASE WHEN T.Debitos>COALESCE(F.Debitos,0) THEN "
                 "T.SumaDebe-COALESCE(F.SumaDebe,0) END AS SumaDebe, "
                 "CASE WHEN T.Creditos>COALESCE(F.Creditos,0) THEN T.SumaHaber-COALESCE(F.SumaHaber,0) END "
                 "AS SumaHaber FROM (" +
                 delEjercicio + ") AS T LEFT JOIN (" + fuera + ") AS F ON F.Cuenta=T.Cuenta";
        parametros = {empresa,   ejercicio,       empresa, ejercicio, FechaSql(desde), empresa,
                      ejercicio, FechaSql(hasta), empresa, ejercicio, empresa,         ejercicio};
        break;
    }
    }
    return {lineas, parametros};
}

bool MesesEnteros(const QDate& desde, const QDate& hasta, QDate* primero, QDate* ultimo) {
    if (!desde.isValid() || !hasta.isValid()) return false;
    *primero = desde.day() == 1 ? desde : QDate(desde.year(), desde.month(), 1).addMonths(1);
    *ultimo = hasta.day() == hasta.daysInMonth() ? hasta : hasta.addDays(-hasta.day());
    return *primero < *ultimo;
}

LecturaLineas LecturaBalance(const Contexto& ctx, const QDate& desde, const QDate& hasta) {
    QDate primero, ultimo;
    return MesesEnteros(desde, hasta, &primero, &ultimo) ? LecturaLineas::Meses : ElijoLectura(ctx, desde, hasta);
}

LecturaLineas ElijoLectura(const Contexto& ctx, const QDate& desde, const QDate& hasta) {
    QSqlQuery q = Consulto(
        ctx,
        "SELECT COUNT(*), (SELECT COUNT(*) FROM Asientos WHERE EmpresaPropia=? AND "
        "NumEjercicio=? AND Fecha>=? AND Fecha<=?) FROM Asientos WHERE EmpresaPropia=? AND "
        "NumEjercicio=?",
        {ctx.empresa, ctx.ejercicio, FechaSql(desde), FechaSql(hasta), ctx.empresa, ctx.ejercicio});
    if (!q.next()) return LecturaLineas::Periodo;
    const qint64 todos = q.value(0).toLongLong(), dentro = q.value(1).toLongLong();
    if (dentro == todos) return LecturaLineas::Ejercicio;
    return todos - dentro < dentro ? LecturaLineas::EjercicioMenosFuera : LecturaLineas::Periodo;
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

bool ArmoBalance(const Contexto& ctx, const MaximosReporte& maximos, const QDate& desde, const QDate& hasta, FiltroSaldos filtro,
                 QVector<FilaBalance>* filas, QString* error) {
    filas->clear();
    if (maximos.Profundidad() == 0) return true; // only the root row: nothing to show
    return ArmoFilasBalance(ctx, maximos,
                            ConsultaBalance(ctx, maximos.Profundidad(), maximos.AnchoMascara(), desde, hasta,
                                            LecturaBalance(ctx, desde, hasta)),
                            filtro, filas, error);
}

bool ArmoFilasBalance(const Contexto& ctx, const MaximosReporte& maximos, const ConsultaSql& c, FiltroSaldos filtro,
                      QVector<FilaBalance>* filas, QString* error,
                      const std::function<void(const QSqlQuery&)>& alLeer) {
    filas->clear();
    if (maximos.Profundidad() == 0) return true;
    QSqlQuery q = Consulto(ctx, c.sql, c.parametros);
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

MaximosReporte& MaximosBalance() {
    static MaximosReporte m(PantallaBalance);
    return m;
}

TablaReporte TablaDeBalance(const QVector<FilaBalance>& filas, bool reexpresado) {
    TablaReporte t;
    t.columnas = {"Cód. Jerárquico", "Desc. Sumar.", "Descripción Imputable",
                  "Cod Int.",        "Sumas Debe",   "Sumas Haber",
                  "Saldo Debe",      "Saldo Haber"};
    t.importes = {false, false, false, false, true, true, true, true};
    t.clases = {ClaseColumna::Codigo,  ClaseColumna::Texto,   ClaseColumna::Texto,   ClaseColumna::Codigo,
                ClaseColumna::Importe, ClaseColumna::Importe, ClaseColumna::Importe, ClaseColumna::Importe};
    t.filas.reserve(filas.size());
    // The grand totals add up the postable accounts only: a total row repeats what its accounts hold.
    Importe debe, haber, saldoDebe, saldoHaber;
    for (const FilaBalance& f : filas) {
        FilaReporte r;
        r.fuente = f.fuente;
        r.celdas = {f.codigo, f.sumar, f.imputable, f.codInt};
        if (f.conSumas) {
            const auto sd = SaldoDebe(f.debe, f.haber), sh = SaldoHaber(f.debe, f.haber);
            r.celdas << CeldaReporte(f.debe) << CeldaReporte(f.haber) << CeldaReporte(sd) << CeldaReporte(sh);
            if (!f.total && !f.encabezado) {
                debe += f.debe;
                haber += f.haber;
                saldoDebe += sd.value_or(Importe());
                saldoHaber += sh.value_or(Importe());
            }
        }
        t.filas.append(std::move(r));
        t.niveles << quint8(std::clamp(f.nivel, 0, 255));
    }
    if (filas.isEmpty()) return t;
    t.totales << t.filas.size();
    t.niveles << 0;
    FilaReporte totales;
    totales.fuente = FuenteFila::Negrita;
    totales.celdas = {QString(), QStringLiteral("Totales generales"), QString(), QString(), debe, haber, saldoDebe,
                      saldoHaber};
    t.filas.append(totales);
    // Every entry balances, so the two sides can only differ through a fault in the books: the reader
    // is warned under the totals. Restating each amount by the index of its own date moves the two
    // sides apart by the result of holding money through inflation, which no entry carries yet: the
    // reader is told which side exceeds the other and by how much.
    QString texto;
    auto diferencia = [](Importe a, Importe b) { return (a - b).abs().Texto(u',', u'.'); };
    if (reexpresado) {
        auto lado = [&](Importe d, Importe h) {
            return (d > h ? "el Debe supera al Haber en " : "el Haber supera al Debe en ") + diferencia(d, h);
        };
        QStringList partes;
        if (debe != haber) partes << "en las Sumas " + lado(debe, haber);
        if (saldoDebe != saldoHaber) partes << "en los Saldos " + lado(saldoDebe, saldoHaber);
        if (!partes.isEmpty())
            texto = "Diferencia de reexpresión: " + partes.join("; ") +
                    ". Es el resultado por exposición a la inflación que falta registrar.";
    } else {
        QStringList avisos;
        if (debe != haber) avisos << "las Sumas del Debe y del Haber difieren en " + diferencia(debe, haber);
        if (saldoDebe != saldoHaber)
            avisos << "los Saldos del Debe y del Haber difieren en " + diferencia(saldoDebe, saldoHaber);
        if (!avisos.isEmpty()) texto = "Atención: " + avisos.join("; ") + ".";
    }
    if (!texto.isEmpty()) {
        t.totales << t.filas.size();
        t.niveles << 0;
        FilaReporte aviso;
        aviso.fuente = FuenteFila::Negrita;
        aviso.celdas = {QString(), texto};
        t.filas.append(aviso);
    }
    return t;
}

bool TablaBalance(const Contexto& ctx, const QDate& desde, const QDate& hasta, FiltroSaldos filtro,
                  TablaReporte* tabla, QString* error) {
    // The screens' maxima are kept between runs; a report on another connection (another book, another
    // thread) reads its own.
    MaximosReporte propios(PantallaBalance);
    MaximosReporte& maximos = ctx.Compartida() ? MaximosBalance() : propios;
    maximos.Verifico(ctx);
    QVector<FilaBalance> filas;
    if (!ArmoBalance(ctx, maximos, desde, hasta, filtro, &filas, error)) return false;
    *tabla = TablaDeBalance(filas);
    tabla->titulo = "Balance Sumas y Saldos entre " + FechaATexto(desde) + " y " + FechaATexto(hasta);
    tabla->membrete = MembreteEmpresa(ctx);
    return true;
}
