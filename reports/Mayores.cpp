#include "reports/Mayores.h"

#include "accounts/ArbolCuentas.h"
#include "accounts/CodigosJerarquicos.h"
#include "core/Basedatos.h"
#include "core/Valores.h"

#include <QHash>
#include <QSet>

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
    QStringList marcas;
    for (int c : cuentas) {
        marcas << QStringLiteral("?");
        *parametros << c;
    }
    sql += "DetAsientos.Cuenta IN (" + marcas.join(',') + ")";
    return sql + " AND Asientos.EmpresaPropia=DetAsientos.EmpresaPropia AND "
                 "Asientos.NumEjercicio=DetAsientos.NumEjercicio AND Asientos.Asiento=DetAsientos.Asiento";
}

// What a block has written so far: its running balance and its rows.
struct Escrito {
    Importe saldo;
    FilasReporte filas;
};

// The date and number texts of the last line written: the lines of one entry, and of one date, share
// them instead of each holding a copy.
struct Repetidos {
    QString iso, fecha;
    qlonglong numero = -1;
    QString asiento;
};

// Writes the current row of a lines statement (Cuenta, Fecha, Asiento, the entry's and the line's
// Concepto, Importe) into the block; the first row of a block also names its account.
void Escribo(const PlanMayor& plan, const Bloque& b, Escrito& e, const QSqlQuery& q, const QString& iso,
             Repetidos& r) {
    const AppState& a = App();
    FilaReporte f;
    f.celdas.resize(MayColumnas);
    if (e.filas.isEmpty()) {
        f.celdas[MayCodInt - 1] = plan.datos.value(b.cuenta).first;
        f.celdas[MayCodJer - 1] =
            CodJerCuenta(b.cuenta, a.currentCompany, a.currentYear, plan.maximos, &plan.filas);
        f.celdas[MayDescripcion - 1] = b.texto;
    }
    const auto cuenta = plan.datos.value(q.value(0).toInt());
    f.celdas[MayCodIntImputable - 1] = cuenta.first;
    f.celdas[MayDescripcionImputable - 1] = cuenta.second;
    if (iso != r.iso) {
        r.iso = iso;
        r.fecha = iso.mid(8, 2) + u'/' + iso.mid(5, 2) + u'/' + iso.mid(2, 2); // dd/mm/yy
    }
    f.celdas[MayFecha - 1] = r.fecha;
    const qlonglong numero = q.value(2).toLongLong();
    if (numero != r.numero) {
        r.numero = numero;
        r.asiento = QString::number(numero);
    }
    f.celdas[MayAsiento - 1] = r.asiento;
    f.celdas[MayConceptoAsiento - 1] = NuloAVacio(q.value(3));
    f.celdas[MayConceptoDetalle - 1] = NuloAVacio(q.value(4));
    const Importe importe = Importe::DeBase(q.value(5));
    if (importe.signo() >= 0)
        f.celdas[MayDebe - 1] = importe;
    else
        f.celdas[MayHaber - 1] = -importe;
    e.saldo += importe;
    f.celdas[MaySaldo - 1] = e.saldo;
    e.filas.append(std::move(f));
}

QString FechaIso(const QVariant& v) {
    return v.toString().left(10);
}

// Few accounts: each block reads its own lines through the index by account.
bool PorIndice(const PlanMayor& plan, const QDate& desde, const QDate& hasta, const QVector<Bloque>& bloques,
               bool conSaldoInicial, QVector<Escrito>& escritos, QString* error) {
    for (int i = 0; i < bloques.size(); ++i) {
        const Bloque& b = bloques[i];
        const ConsultaSql lineas = ConsultaLineasMayor(b.cuentas, desde, hasta);
        QSqlQuery q = Consulto(lineas.sql, lineas.parametros);
        if (!q.isActive()) return Falla(error, TextoError(q.lastError()));
        if (!q.next()) {
            // A block without lines in the period is not written, not even its opening balance.
            if (q.lastError().isValid()) return Falla(error, TextoError(q.lastError()));
            continue;
        }
        if (conSaldoInicial && desde.isValid()) {
            const ConsultaSql s = ConsultaSaldoMayor(b.cuentas, desde);
            QSqlQuery qs = Consulto(s.sql, s.parametros);
            if (!qs.isActive()) return Falla(error, TextoError(qs.lastError()));
            if (qs.next()) escritos[i].saldo = Importe::DeCentavosBase(qs.value(0));
        }
        Repetidos r;
        do
            Escribo(plan, b, escritos[i], q, FechaIso(q.value(1)), r);
        while (q.next());
        if (q.lastError().isValid()) return Falla(error, TextoError(q.lastError()));
    }
    return true;
}

// Many accounts: one pass over the year's entries in date order hands each line to every block that
// holds its account; lines before the period only make the opening balances.
bool EnUnaPasada(const PlanMayor& plan, const QDate& desde, const QDate& hasta,
                 const QVector<Bloque>& bloques, bool conSaldoInicial, QVector<Escrito>& escritos,
                 QString* error) {
    QHash<int, QVector<int>> deCuenta; // account -> blocks that show its lines
    for (int i = 0; i < bloques.size(); ++i) {
        if (bloques[i].cuentas.isEmpty()) {
            for (auto it = plan.datos.cbegin(); it != plan.datos.cend(); ++it)
                deCuenta[it.key()] << i;
        } else {
            for (int c : bloques[i].cuentas)
                deCuenta[c] << i;
        }
    }
    const bool conSaldo = conSaldoInicial && desde.isValid();
    const QString inicio = desde.isValid() ? desde.toString(Qt::ISODate) : QString();
    const ConsultaSql c = ConsultaLineasEjercicio(conSaldo ? QDate() : desde, hasta);
    QSqlQuery q = Consulto(c.sql, c.parametros);
    if (!q.isActive()) return Falla(error, TextoError(q.lastError()));
    Repetidos r;
    while (q.next()) {
        if (q.value(0).isNull()) continue;
        const auto it = deCuenta.constFind(q.value(0).toInt());
        if (it == deCuenta.constEnd()) continue;
        const QString fecha = FechaIso(q.value(1));
        if (conSaldo && fecha < inicio) {
            const Importe importe = Importe::DeBase(q.value(5));
            for (int i : *it)
                escritos[i].saldo += importe;
            continue;
        }
        for (int i : *it)
            Escribo(plan, bloques[i], escritos[i], q, fecha, r);
    }
    if (q.lastError().isValid()) return Falla(error, TextoError(q.lastError()));
    return true;
}

bool Armo(const PlanMayor& plan, const QDate& desde, const QDate& hasta, const QVector<Bloque>& bloques,
          bool conSaldoInicial, TablaReporte* tabla, QString* error) {
    tabla->titulo = TituloReporte("Mayores entre ", desde, hasta);
    ColumnasMayores(tabla);
    tabla->filas.clear();
    // Reading lines through the index by account costs a lookup of the line and of its entry each;
    // past a number of accounts, walking the year's entries in date order once is cheaper.
    bool recorro = false;
    qsizetype cuentas = 0;
    for (const Bloque& b : bloques) {
        cuentas += b.cuentas.size();
        recorro = recorro || b.cuentas.isEmpty();
    }
    recorro = recorro || cuentas > cuentasPorIndice;
    QVector<Escrito> escritos(bloques.size());
    if (!(recorro ? EnUnaPasada : PorIndice)(plan, desde, hasta, bloques, conSaldoInicial, escritos, error))
        return false;
    for (Escrito& e : escritos)
        tabla->filas.append(std::move(e.filas));
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

ConsultaSql ConsultaLineasEjercicio(const QDate& desde, const QDate& hasta) {
    const AppState& a = App();
    ConsultaSql c;
    c.sql = "SELECT DetAsientos.Cuenta, Asientos.Fecha, Asientos.Asiento, Asientos.Concepto, "
            "DetAsientos.Concepto, DetAsientos.Importe FROM Asientos CROSS JOIN DetAsientos WHERE "
            "Asientos.EmpresaPropia=? AND Asientos.NumEjercicio=?";
    c.parametros << a.currentCompany << a.currentYear;
    if (desde.isValid()) {
        c.sql += " AND Asientos.Fecha>=?";
        c.parametros << FechaSql(desde);
    }
    if (hasta.isValid()) {
        c.sql += " AND Asientos.Fecha<=?";
        c.parametros << FechaSql(hasta);
    }
    c.sql += " AND DetAsientos.EmpresaPropia=Asientos.EmpresaPropia AND "
             "DetAsientos.NumEjercicio=Asientos.NumEjercicio AND DetAsientos.Asiento=Asientos.Asiento"
             " ORDER BY Asientos.Fecha, Asientos.Asiento, DetAsientos.Detalle";
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
