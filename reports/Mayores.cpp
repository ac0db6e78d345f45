#include "reports/Mayores.h"

#include "accounts/ArbolCuentas.h"
#include "accounts/CodigosJerarquicos.h"
#include "core/Basedatos.h"
#include "core/Progreso.h"
#include "core/Valores.h"

#include <QHash>
#include <QSet>
#include <functional>
#include <numeric>
#include <vector>

namespace {
// The chart read once per report: tree order, the rows below each account, and what a line shows of
// its account.
struct PlanMayor {
    Contexto ctx;
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

bool CargoPlan(const Contexto& ctx, PlanMayor* p, QString* error) {
    p->ctx = ctx;
    auto agrego = [p](const NodoCuenta& n) {
        p->posicion.insert(n.cuenta, int(p->nodos.size()));
        p->nodos.append(n);
    };
    if (!CargoArbol(ctx, p->maximos, agrego)) return Falla(error, UltimoError());
    QSqlQuery q = Consulto(ctx,
                           "SELECT Cuenta, CodInt, Descripcion FROM Cuentas WHERE EmpresaPropia=? AND "
                           "NumEjercicio=?",
                           {ctx.empresa, ctx.ejercicio});
    if (!q.isActive()) return Falla(error, TextoError(q.lastError()));
    while (q.next())
        p->datos.insert(q.value(0).toInt(), {NuloAVacio(q.value(1)), NuloAVacio(q.value(2))});
    if (!p->filas.Cargo(ctx)) return Falla(error, UltimoError());
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
QString FiltroCuentas(const Contexto& ctx, const QVector<int>& cuentas, QVariantList* parametros) {
    *parametros << ctx.empresa << ctx.ejercicio;
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

// The lines read for the blocks, kept compactly until their blocks are written: the texts that
// lines share (dates, the number and concept of one entry) are held once.
struct Lecturas {
    using Cuenta = QPair<QString, QString>; // CodInt and Descripcion
    struct Linea {
        const Cuenta* cuenta;
        qint64 centavos;
        int fecha;   // in fechas
        int asiento; // in asientos
        int detalle; // the line's concept, in detalles; -1 when empty
    };
    struct Asiento {
        qint64 numero;
        QString concepto;
    };
    std::vector<Linea> lineas;
    QStringList fechas; // dd/mm/yy
    std::vector<Asiento> asientos;
    QStringList detalles;
    QString iso; // the last date read, as stored

    // Keeps the current row of a lines statement (Cuenta, Fecha, Asiento, the entry's and the line's
    // Concepto, Importe) for the account given, its date given as stored and its amount already read.
    void Leo(const Cuenta* cuenta, const Lector& q, const QString& fechaIso, Importe importe) {
        if (fechas.isEmpty() || fechaIso != iso) {
            iso = fechaIso;
            fechas << iso.mid(8, 2) + u'/' + iso.mid(5, 2) + u'/' + iso.mid(2, 2); // dd/mm/yy
        }
        const qint64 numero = q.Entero(2);
        if (asientos.empty() || asientos.back().numero != numero)
            asientos.push_back({numero, QString::fromUtf8(q.Texto(3))});
        int detalle = -1;
        if (const QString d = QString::fromUtf8(q.Texto(4)); !d.isEmpty()) {
            detalle = int(detalles.size());
            detalles << d;
        }
        lineas.push_back(
            {cuenta, importe.centavos(), int(fechas.size()) - 1, int(asientos.size()) - 1, detalle});
    }
};

// The account of a line as the plan knows it; the last one asked is kept, as the lines of one
// account often follow each other.
class Buscador {
public:
    explicit Buscador(const PlanMayor& plan) : plan(plan) {}
    const Lecturas::Cuenta* operator()(int cuenta) {
        if (!ultima || cuenta != numero) {
            numero = cuenta;
            const auto it = plan.datos.constFind(cuenta);
            static const Lecturas::Cuenta ninguna;
            ultima = it == plan.datos.constEnd() ? &ninguna : &*it;
        }
        return ultima;
    }

private:
    const PlanMayor& plan;
    const Lecturas::Cuenta* ultima = nullptr;
    int numero = 0;
};

// The texts of the lecturas already kept in the table, each kept once however many rows show it.
struct Marcas {
    static constexpr FilasReporte::Guardado Ninguna = ~FilasReporte::Guardado(0);
    std::vector<FilasReporte::Guardado> fechas, numeros, conceptos;
    QHash<const Lecturas::Cuenta*, QPair<FilasReporte::Guardado, FilasReporte::Guardado>> cuentas;

    static FilasReporte::Guardado De(std::vector<FilasReporte::Guardado>& v, size_t i, size_t n,
                                     FilasReporte& filas, const std::function<QString()>& texto) {
        if (v.size() < n) v.resize(n, Ninguna);
        if (v[i] == Ninguna) v[i] = filas.Guardo(texto());
        return v[i];
    }
};

QString FechaIso(const QVariant& v) {
    return v.toString().left(10);
}

// Writes a block: its lines, given by their places in the lecturas, with the running balance from
// saldo, and its closing line (its place goes into *totales). The first row also names the block's
// account.
void EscriboBloque(const PlanMayor& plan, const Bloque& b, Importe saldo, bool conSaldo, const Lecturas& l,
                   const std::vector<uint32_t>& cuales, Marcas& m, FilasReporte& filas,
                   QVector<qsizetype>* totales) {
    const Importe inicial = saldo;
    Importe debe, haber;
    bool primera = true;
    for (uint32_t i : cuales) {
        const Lecturas::Linea& x = l.lineas[i];
        if (primera) {
            filas.EscriboTexto(plan.datos.value(b.cuenta).first);
            filas.EscriboTexto(CodJerCuenta(b.cuenta, plan.ctx, plan.maximos, &plan.filas));
            filas.EscriboTexto(b.texto);
            primera = false;
        } else {
            filas.Vacia();
            filas.Vacia();
            filas.Vacia();
        }
        auto cuenta = m.cuentas.constFind(x.cuenta);
        if (cuenta == m.cuentas.constEnd())
            cuenta =
                m.cuentas.insert(x.cuenta, {filas.Guardo(x.cuenta->first), filas.Guardo(x.cuenta->second)});
        filas.Celda(cuenta->first);
        filas.Celda(cuenta->second);
        const Lecturas::Asiento& asiento = l.asientos[size_t(x.asiento)];
        filas.Celda(Marcas::De(m.fechas, size_t(x.fecha), size_t(l.fechas.size()), filas,
                               [&] { return l.fechas[x.fecha]; }));
        filas.Celda(Marcas::De(m.numeros, size_t(x.asiento), l.asientos.size(), filas,
                               [&] { return QString::number(asiento.numero); }));
        filas.Celda(Marcas::De(m.conceptos, size_t(x.asiento), l.asientos.size(), filas,
                               [&] { return asiento.concepto; }));
        if (x.detalle >= 0)
            filas.EscriboTexto(l.detalles[x.detalle]);
        else
            filas.Vacia();
        const Importe importe = Importe::DeCentavos(x.centavos);
        if (importe.signo() >= 0) {
            filas.Monto(importe);
            filas.Vacia();
            debe += importe;
        } else {
            filas.Vacia();
            filas.Monto(-importe);
            haber -= importe;
        }
        saldo += importe;
        filas.Monto(saldo);
        filas.FinFila();
    }
    // The closing line: the opening balance (when there is one), the period's debits and credits and
    // the balance they leave.
    *totales << filas.size();
    for (int c = 1; c < MayDescripcionImputable; ++c)
        filas.Vacia();
    filas.EscriboTexto("Total " + b.texto);
    filas.Vacia();
    filas.Vacia();
    if (conSaldo) {
        filas.EscriboTexto(QStringLiteral("Saldo inicial"));
        filas.Monto(inicial);
    } else {
        filas.Vacia();
        filas.Vacia();
    }
    filas.Monto(debe);
    filas.Monto(haber);
    filas.Monto(saldo);
    filas.FinFila(FuenteFila::Negrita);
}

// Few accounts: each block reads its own lines through the index by account and is written at once.
bool PorIndice(const PlanMayor& plan, const QDate& desde, const QDate& hasta, const QVector<Bloque>& bloques,
               bool conSaldoInicial, FilasReporte& filas, QVector<qsizetype>* totales, QString* error) {
    Lecturas l;
    std::vector<uint32_t> cuales;
    Buscador cuenta(plan);
    Marcas m;
    Progreso* progreso = plan.ctx.progreso;
    Etapa(progreso, "Leyendo los mayores, cuenta por cuenta", bloques.size());
    qsizetype hechos = 0;
    for (const Bloque& b : bloques) {
        if (!Avance(progreso, hechos++)) return Falla(error, TextoCancelado);
        const ConsultaSql lineas = ConsultaLineasMayor(plan.ctx, b.cuentas, desde, hasta);
        const std::unique_ptr<Lector> q = LeoAdelante(plan.ctx, lineas.sql, lineas.parametros);
        l = Lecturas();
        qint64 leidas = 0;
        while (q->Siguiente()) {
            if ((++leidas & 1023) == 0 && progreso && !progreso->Sigo()) return Falla(error, TextoCancelado);
            l.Leo(cuenta(int(q->Entero(0))), *q, FechaIso(q->Valor(1)), Importe::DeBase(q->Valor(5)));
        }
        if (!q->Error().isEmpty()) return Falla(error, q->Error());
        // A block without lines in the period is not written, not even its opening balance.
        if (l.lineas.empty()) continue;
        Importe saldo;
        if (conSaldoInicial && desde.isValid()) {
            const ConsultaSql s = ConsultaSaldoMayor(plan.ctx, b.cuentas, desde);
            QSqlQuery qs = Consulto(plan.ctx, s.sql, s.parametros);
            if (!qs.isActive()) return Falla(error, TextoError(qs.lastError()));
            if (qs.next()) saldo = Importe::DeCentavosBase(qs.value(0));
        }
        cuales.resize(l.lineas.size());
        std::iota(cuales.begin(), cuales.end(), 0u);
        // The lecturas are the block's own: only the accounts' texts are kept from one block to the next.
        m.fechas.clear();
        m.numeros.clear();
        m.conceptos.clear();
        EscriboBloque(plan, b, saldo, conSaldoInicial && desde.isValid(), l, cuales, m, filas, totales);
    }
    Avance(progreso, hechos);
    return true;
}

// Many accounts: one pass over the year's entries in date order hands each line to every block that
// holds its account; lines before the period only make the opening balances. The blocks are written
// once the pass is over.
bool EnUnaPasada(const PlanMayor& plan, const QDate& desde, const QDate& hasta,
                 const QVector<Bloque>& bloques, bool conSaldoInicial, FilasReporte& filas,
                 QVector<qsizetype>* totales, QString* error) {
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
    const ConsultaSql c = ConsultaLineasEjercicio(plan.ctx, conSaldo ? QDate() : desde, hasta);
    const std::unique_ptr<Lector> q = LeoAdelante(plan.ctx, c.sql, c.parametros);
    Lecturas l;
    Buscador buscador(plan);
    Marcas m;
    std::vector<std::vector<uint32_t>> cuales(size_t(bloques.size()));
    std::vector<Importe> saldos(size_t(bloques.size()));
    static const QVector<int> ninguno;
    int ultimaCuenta = 0;
    const QVector<int>* deUltima = nullptr;
    Progreso* progreso = plan.ctx.progreso;
    Etapa(progreso, "Leyendo las líneas del ejercicio");
    qint64 leidas = 0;
    while (q->Siguiente()) {
        if (!Fila(progreso, leidas)) return Falla(error, TextoCancelado);
        if (q->Nulo(0)) continue;
        const int cuenta = int(q->Entero(0));
        // The lines of one entry often share an account: the lookup is kept for the next line.
        if (!deUltima || cuenta != ultimaCuenta) {
            ultimaCuenta = cuenta;
            const auto it = deCuenta.constFind(ultimaCuenta);
            deUltima = it == deCuenta.constEnd() ? &ninguno : &*it;
        }
        if (deUltima->isEmpty()) continue;
        const QString fecha = FechaIso(q->Valor(1));
        const Importe importe = Importe::DeBase(q->Valor(5));
        if (conSaldo && fecha < inicio) {
            for (int i : *deUltima)
                saldos[size_t(i)] += importe;
            continue;
        }
        const auto linea = uint32_t(l.lineas.size());
        l.Leo(buscador(ultimaCuenta), *q, fecha, importe);
        for (int i : *deUltima)
            cuales[size_t(i)].push_back(linea);
    }
    if (!q->Error().isEmpty()) return Falla(error, q->Error());
    Etapa(progreso, "Escribiendo los mayores", bloques.size());
    for (int i = 0; i < bloques.size(); ++i) {
        if (!Avance(progreso, i)) return Falla(error, TextoCancelado);
        if (!cuales[size_t(i)].empty())
            EscriboBloque(plan, bloques[i], saldos[size_t(i)], conSaldo, l, cuales[size_t(i)], m, filas, totales);
    }
    Avance(progreso, bloques.size());
    return true;
}

bool Armo(const PlanMayor& plan, const QDate& desde, const QDate& hasta, const QVector<Bloque>& bloques,
          bool conSaldoInicial, TablaReporte* tabla, QString* error) {
    tabla->titulo = TituloReporte("Mayores entre ", desde, hasta);
    ColumnasMayores(tabla);
    tabla->filas.clear();
    tabla->totales.clear();
    // Reading lines through the index by account costs a lookup of the line and of its entry each;
    // past a number of accounts, walking the year's entries in date order once is cheaper.
    bool recorro = false;
    qsizetype cuentas = 0;
    for (const Bloque& b : bloques) {
        cuentas += b.cuentas.size();
        recorro = recorro || b.cuentas.isEmpty();
    }
    recorro = recorro || cuentas > cuentasPorIndice;
    if ((recorro ? EnUnaPasada : PorIndice)(plan, desde, hasta, bloques, conSaldoInicial, tabla->filas,
                                            &tabla->totales, error))
        return true;
    tabla->filas.clear();
    tabla->totales.clear();
    return false;
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
    tabla->clases = {ClaseColumna::Codigo, ClaseColumna::Codigo, ClaseColumna::Texto,  ClaseColumna::Codigo,
                     ClaseColumna::Texto,  ClaseColumna::Fecha,  ClaseColumna::Numero, ClaseColumna::Texto,
                     ClaseColumna::Texto,  ClaseColumna::Importe, ClaseColumna::Importe, ClaseColumna::Importe};
}

ConsultaSql ConsultaLineasMayor(const Contexto& ctx, const QVector<int>& cuentas, const QDate& desde,
                                const QDate& hasta) {
    ConsultaSql c;
    c.sql = "SELECT DetAsientos.Cuenta, Asientos.Fecha, Asientos.Asiento, Asientos.Concepto, "
            "DetAsientos.Concepto, DetAsientos.Importe" +
            FiltroCuentas(ctx, cuentas, &c.parametros);
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

ConsultaSql ConsultaLineasEjercicio(const Contexto& ctx, const QDate& desde, const QDate& hasta) {
    ConsultaSql c;
    c.sql = "SELECT DetAsientos.Cuenta, Asientos.Fecha, Asientos.Asiento, Asientos.Concepto, "
            "DetAsientos.Concepto, DetAsientos.Importe FROM Asientos CROSS JOIN DetAsientos WHERE "
            "Asientos.EmpresaPropia=? AND Asientos.NumEjercicio=?";
    c.parametros << ctx.empresa << ctx.ejercicio;
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

ConsultaSql ConsultaSaldoMayor(const Contexto& ctx, const QVector<int>& cuentas, const QDate& desde) {
    ConsultaSql c;
    c.sql = "SELECT " + Importe::SumaSql("DetAsientos.Importe") + FiltroCuentas(ctx, cuentas, &c.parametros) +
            " AND Asientos.Fecha<?";
    c.parametros << FechaSql(desde);
    return c;
}

bool ArmoMayores(const Contexto& ctx, const QDate& desde, const QDate& hasta, const QVector<BloqueMayor>& bloques,
                 bool conSaldoInicial, TablaReporte* tabla, QString* error) {
    PlanMayor plan;
    if (!CargoPlan(ctx, &plan, error)) return false;
    QVector<Bloque> elegidos;
    for (const BloqueMayor& b : bloques)
        elegidos.append({b.cuenta, b.texto, Rama(plan, b.cuenta)});
    if (!Armo(plan, desde, hasta, elegidos, conSaldoInicial, tabla, error)) return false;
    tabla->membrete = MembreteEmpresa(ctx);
    return true;
}

bool TablaMayores(const Contexto& ctx, const QDate& desde, const QDate& hasta, const QStringList& codigos, TablaReporte* tabla,
                  QString* error, bool* codigoDesconocido) {
    if (codigoDesconocido) *codigoDesconocido = false;
    PlanMayor plan;
    if (!CargoPlan(ctx, &plan, error)) return false;
    QVector<Bloque> elegidos;
    if (codigos.isEmpty()) {
        QSqlQuery q =
            Consulto(ctx, "SELECT DISTINCT Cuenta FROM DetAsientos WHERE EmpresaPropia=? AND NumEjercicio=?",
                     {ctx.empresa, ctx.ejercicio});
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
            if (it == porCodigo.constEnd()) {
                if (codigoDesconocido) *codigoDesconocido = true;
                return Falla(
                    error,
                    QString("No hay ninguna cuenta de código abreviado \"%1\" en el ejercicio.").arg(codigo));
            }
            elegidos.append({*it, plan.nodos[plan.posicion.value(*it)].texto, Rama(plan, *it)});
        }
    }
    if (!Armo(plan, desde, hasta, elegidos, true, tabla, error)) return false;
    tabla->membrete = MembreteEmpresa(ctx);
    return true;
}
