#include "reports/Mayores.h"

#include "accounts/ArbolCuentas.h"
#include "accounts/CodigosJerarquicos.h"
#include "core/Basedatos.h"
#include "core/Valores.h"

#include <QHash>
#include <QSet>

void ColumnasMayores(TablaReporte* tabla);

namespace {
// The chart read once per report: tree order, the rows below each account, and what a line shows of
// its account.
struct PlanMayor {
    MaximosNivel maximos;
    QVector<NodoCuenta> nodos;                 // depth-first, a parent before its descendants
    QHash<int, int> posicion;                  // account -> index in nodos
    QHash<int, QPair<QString, QString>> datos; // account -> CodInt, Descripcion
    FilasPlan filas;
};

struct Bloque {
    int cuenta = 0;
    QString texto;
    QVector<int> cuentas; // the accounts whose lines the block shows; empty: the whole chart
};

bool Falla(QString* error, const QString& texto) {
    if (error) *error = texto;
    return false;
}

bool CargoPlan(PlanMayor* p, QString* error) {
    const AppState& a = App();
    auto agrego = [p](const NodoCuenta& n) {
        p->posicion.insert(n.cuenta, int(p->nodos.size()));
        p->nodos.append(n);
    };
    if (!CargoArbol(a.currentCompany, a.currentYear, p->maximos, agrego)) return Falla(error, UltimoError());
    QSqlQuery q = Consulto("SELECT Cuenta, CodInt, Descripcion FROM Cuentas WHERE EmpresaPropia=? AND "
                           "NumEjercicio=?",
                           {a.currentCompany, a.currentYear});
    if (!q.isActive()) return Falla(error, TextoError(q.lastError()));
    while (q.next())
        p->datos.insert(q.value(0).toInt(), {NuloAVacio(q.value(1)), NuloAVacio(q.value(2))});
    if (!p->filas.Cargo(a.currentCompany, a.currentYear)) return Falla(error, UltimoError());
    return true;
}

// The account and every account below it, found as the run of deeper nodes that follows it.
QVector<int> Rama(const PlanMayor& p, int cuenta) {
    if (cuenta == 0) return {};
    QVector<int> rama{cuenta};
    const auto it = p.posicion.constFind(cuenta);
    if (it == p.posicion.constEnd()) return rama;
    const int nivel = p.nodos[*it].nivel;
    for (int i = *it + 1; i < p.nodos.size() && p.nodos[i].nivel > nivel; ++i)
        rama << p.nodos[i].cuenta;
    return rama;
}

// The lines of the block's accounts, joined to their entries from the lines' side so that the lines
// are found through the index by account instead of walking the whole year.
QString FiltroCuentas(const QVector<int>& cuentas, QVariantList* parametros) {
    const AppState& a = App();
    *parametros << a.currentCompany << a.currentYear;
    QString sql = " FROM DetAsientos CROSS JOIN Asientos WHERE DetAsientos.EmpresaPropia=? AND "
                  "DetAsientos.NumEjercicio=? AND ";
    if (cuentas.isEmpty()) {
        sql += "DetAsientos.Cuenta IN (SELECT Cuenta FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=?)";
        *parametros << a.currentCompany << a.currentYear;
    } else {
        QStringList marcas;
        for (int c : cuentas) {
            marcas << QStringLiteral("?");
            *parametros << c;
        }
        sql += "DetAsientos.Cuenta IN (" + marcas.join(',') + ")";
    }
    return sql + " AND Asientos.EmpresaPropia=DetAsientos.EmpresaPropia AND "
                 "Asientos.NumEjercicio=DetAsientos.NumEjercicio AND Asientos.Asiento=DetAsientos.Asiento";
}

bool Armo(const PlanMayor& plan, const QDate& desde, const QDate& hasta, const QVector<Bloque>& bloques,
          bool conSaldoInicial, TablaReporte* tabla, QString* error) {
    const AppState& a = App();
    tabla->titulo = TituloReporte("Mayores entre ", desde, hasta);
    ColumnasMayores(tabla);
    tabla->filas.clear();
    auto falla = [&](const QSqlQuery& q) {
        tabla->filas.clear();
        return Falla(error, TextoError(q.lastError()));
    };
    for (const Bloque& b : bloques) {
        const ConsultaSql lineas = ConsultaLineasMayor(b.cuentas, desde, hasta);
        QSqlQuery q = Consulto(lineas.sql, lineas.parametros);
        if (!q.isActive()) return falla(q);
        if (!q.next()) {
            // A block without lines in the period is not written, not even its opening balance.
            if (q.lastError().isValid()) return falla(q);
            continue;
        }
        Importe saldo;
        if (conSaldoInicial && desde.isValid()) {
            const ConsultaSql s = ConsultaSaldoMayor(b.cuentas, desde);
            QSqlQuery qs = Consulto(s.sql, s.parametros);
            if (!qs.isActive()) return falla(qs);
            if (qs.next()) saldo = Importe::DeCentavosBase(qs.value(0));
        }
        bool primera = true;
        do {
            FilaReporte f;
            f.celdas.resize(MayColumnas);
            if (primera) {
                primera = false;
                f.celdas[MayCodInt - 1] = plan.datos.value(b.cuenta).first;
                f.celdas[MayCodJer - 1] =
                    CodJerCuenta(b.cuenta, a.currentCompany, a.currentYear, plan.maximos, &plan.filas);
                f.celdas[MayDescripcion - 1] = b.texto;
            }
            const auto cuenta = plan.datos.value(q.value(0).toInt());
            f.celdas[MayCodIntImputable - 1] = cuenta.first;
            f.celdas[MayDescripcionImputable - 1] = cuenta.second;
            f.celdas[MayFecha - 1] = FechaDeBase(q.value(1)).toString("dd/MM/yy");
            f.celdas[MayAsiento - 1] = NuloAVacio(q.value(2));
            f.celdas[MayConceptoAsiento - 1] = NuloAVacio(q.value(3));
            f.celdas[MayConceptoDetalle - 1] = NuloAVacio(q.value(4));
            const Importe importe = Importe::DeBase(q.value(5));
            if (importe.signo() >= 0)
                f.celdas[MayDebe - 1] = importe;
            else
                f.celdas[MayHaber - 1] = -importe;
            saldo += importe;
            f.celdas[MaySaldo - 1] = saldo;
            tabla->filas.append(std::move(f));
        } while (q.next());
        if (q.lastError().isValid()) return falla(q);
    }
    return true;
}
} // namespace

void ColumnasMayores(TablaReporte* tabla) {
    tabla->columnas = QStringList{
        "Cód Int.", "Cód. Jerarq.", "Descripción",      "Cod Int IMPUT.",   "Descripción IMPUTABLE",
        "Fecha",    "Asiento",      "Concepto Asiento", "Concepto detalle", "Debe",
        "Haber",    "Saldo"};
    tabla->importes = QVector<bool>(MayColumnas, false);
    for (int c = MayDebe; c <= MaySaldo; ++c)
        tabla->importes[c - 1] = true;
}

ConsultaSql ConsultaLineasMayor(const QVector<int>& cuentas, const QDate& desde, const QDate& hasta) {
    ConsultaSql c;
    c.sql = "SELECT DetAsientos.Cuenta, Asientos.Fecha, Asientos.Asiento, Asientos.Concepto, "
            "DetAsientos.Concepto, DetAsientos.Importe" +
            FiltroCuentas(cuentas, &c.parametros);
    if (desde.isValid()) {
        c.sql += " AND Asientos.Fecha>=?";
        c.parametros << FechaSql(desde);
    }
    if (hasta.isValid()) {
        c.sql += " AND Asientos.Fecha<=?";
        c.parametros << FechaSql(hasta);
    }
    c.sql += " ORDER BY Asientos.Fecha, Asientos.Asiento, DetAsientos.Detalle";
    return c;
}

ConsultaSql ConsultaSaldoMayor(const QVector<int>& cuentas, const QDate& desde) {
    ConsultaSql c;
    c.sql = "SELECT " + Importe::SumaSql("DetAsientos.Importe") + FiltroCuentas(cuentas, &c.parametros) +
            " AND Asientos.Fecha<?";
    c.parametros << FechaSql(desde);
    return c;
}

bool ArmoMayores(const QDate& desde, const QDate& hasta, const QVector<BloqueMayor>& bloques,
                 bool conSaldoInicial, TablaReporte* tabla, QString* error) {
    PlanMayor plan;
    if (!CargoPlan(&plan, error)) return false;
    QVector<Bloque> elegidos;
    for (const BloqueMayor& b : bloques)
        elegidos.append({b.cuenta, b.texto, Rama(plan, b.cuenta)});
    return Armo(plan, desde, hasta, elegidos, conSaldoInicial, tabla, error);
}

bool TablaMayores(const QDate& desde, const QDate& hasta, const QStringList& codigos, TablaReporte* tabla,
                  QString* error) {
    PlanMayor plan;
    if (!CargoPlan(&plan, error)) return false;
    QVector<Bloque> elegidos;
    if (codigos.isEmpty()) {
        const AppState& a = App();
        QSqlQuery q =
            Consulto("SELECT DISTINCT Cuenta FROM DetAsientos WHERE EmpresaPropia=? AND NumEjercicio=?",
                     {a.currentCompany, a.currentYear});
        if (!q.isActive()) return Falla(error, TextoError(q.lastError()));
        QSet<int> conLineas;
        while (q.next())
            conLineas.insert(q.value(0).toInt());
        for (const NodoCuenta& n : plan.nodos)
            if (conLineas.contains(n.cuenta)) elegidos.append({n.cuenta, n.texto, {n.cuenta}});
    } else {
        // Short codes are typed by people: letter case and surrounding blanks do not matter.
        QHash<QString, int> porCodigo;
        for (auto it = plan.nodos.crbegin(); it != plan.nodos.crend(); ++it) {
            const QString c = plan.datos.value(it->cuenta).first.trimmed().toUpper();
            if (!c.isEmpty()) porCodigo.insert(c, it->cuenta); // the first in tree order wins
        }
        for (const QString& codigo : codigos) {
            const auto it = porCodigo.constFind(codigo.trimmed().toUpper());
            if (it == porCodigo.constEnd())
                return Falla(
                    error,
                    QString("No hay ninguna cuenta de código abreviado \"%1\" en el ejercicio.").arg(codigo));
            elegidos.append({*it, plan.nodos[plan.posicion.value(*it)].texto, Rama(plan, *it)});
        }
    }
    return Armo(plan, desde, hasta, elegidos, true, tabla, error);
}
