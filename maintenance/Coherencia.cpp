#include "maintenance/Coherencia.h"

#include "core/Basedatos.h"
#include "core/Importe.h"
#include "core/Motor.h"
#include "core/Progreso.h"
#include "core/Valores.h"
#include "schema/Actualizacion.h"
#include "schema/Esquema.h"

#include "core/Lector.h"

#include <QSqlQuery>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <map>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace Mantenimiento {
namespace {

constexpr int Ejemplos = 5;

// The checks of the books: the lines with their sums, the index values and the triggers, then one per
// relation.
constexpr int ChequeosFijos = 3;

// Counts one check done when it ends, however it ends.
struct Cuenta {
    Progreso* progreso;
    ~Cuenta() {
        if (progreso) progreso->Avance(progreso->Hecho() + 1, progreso->Pasos());
    }
};

// Runs a query whose rows are the faulty ones; each row is described by describo. All of them are
// counted, the first few described.
void Reviso(const QSqlDatabase& db, QList<Incoherencia>& lista, const QString& clase, const QString& sql,
            const std::function<QString(const QSqlQuery&)>& describo, Progreso* progreso) {
    const Cuenta cuenta{progreso};
    // Asked to stop, the check says nothing more: what it found so far is no verdict on the books.
    auto detenido = [progreso] { return progreso && progreso->Cancelado(); };
    if (detenido()) return;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    Incoherencia i{clase, 0, {}};
    if (!q.exec(sql)) {
        if (!detenido()) lista.append({"no se pudo revisar: " + clase, 1, {TextoError(q.lastError())}});
        return;
    }
    while (q.next()) {
        if (i.ejemplos.size() < Ejemplos) i.ejemplos << describo(q);
        ++i.cantidad;
    }
    // Rows that stopped coming on an error are not all the faulty rows there are.
    if (q.lastError().isValid()) {
        if (!detenido()) lista.append({"no se pudo revisar: " + clase, 1, {TextoError(q.lastError())}});
        return;
    }
    if (i.cantidad > 0) lista.append(i);
}

// The key of a monthly sum (company, year, month as the engine writes it, account) and its figures.
using ClaveSuma = std::tuple<qint64, qint64, QByteArray, qint64>;
struct Suma {
    qint64 debe = 0, haber = 0, debitos = 0, creditos = 0;
    bool operator==(const Suma&) const = default;
};

// A hash of a key's numbers, in unsigned arithmetic (it wraps around).
size_t Mezclo(std::initializer_list<qint64> numeros) {
    size_t h = 0;
    for (const qint64 n : numeros)
        h = h * 1000003u + std::hash<qint64>()(n);
    return h;
}

struct ClaveCuenta {
    qint64 empresa, ejercicio, cuenta;
    bool operator==(const ClaveCuenta&) const = default;
};
struct HashCuenta {
    size_t operator()(const ClaveCuenta& c) const {
        return Mezclo({c.empresa, c.ejercicio, c.cuenta});
    }
};

// The rules of the lines, from one reading of every line in the order of its key with its entry's
// month beside it: every entry balances to the cent, every line has its entry and an existing
// account, and (conSumas) the monthly sums kept are those of the lines, both ways. Reading the lines
// once instead of once per rule, and adding the sums as they come instead of sorting every line by
// month and account, is what makes the check of a large book take seconds rather than half a minute.
// The faults of the first three rules are appended to lista in that order; the sums' one is left in
// *sumas (with an empty class when they hold).
void RevisoLineas(const QSqlDatabase& db, const Motor& motor, bool conSumas, QList<Incoherencia>& lista,
                  Incoherencia& sumas, Progreso* progreso) {
    const Cuenta cuenta{progreso};
    Incoherencia balance{"asientos que no balancean", 0, {}};
    Incoherencia huerfanas{QString::fromUtf8("líneas sin su asiento"), 0, {}};
    Incoherencia sinCuenta{QString::fromUtf8("líneas sobre cuentas que no existen"), 0, {}};
    const QString claseSumas = QString::fromUtf8("sumas mensuales que no son las de las líneas");
    auto detenido = [progreso] { return progreso && progreso->Cancelado(); };
    auto fallo = [&](const QString& texto) {
        if (detenido()) return;
        for (const QString& clase : {balance.clase, huerfanas.clase, sinCuenta.clase})
            lista.append({"no se pudo revisar: " + clase, 1, {texto}});
        if (conSumas) sumas = {"no se pudo revisar: " + claseSumas, 1, {texto}};
    };
    auto anoto = [](Incoherencia& i, const QString& ejemplo) {
        if (i.ejemplos.size() < Ejemplos) i.ejemplos << ejemplo;
        ++i.cantidad;
    };
    auto asiento = [](qint64 e, qint64 j, qint64 a) {
        return QString("empresa %1, ejercicio %2, asiento %3").arg(e).arg(j).arg(a);
    };
    if (detenido()) return;

    // The accounts, few beside the lines, held to look each line's up.
    std::unordered_set<ClaveCuenta, HashCuenta> cuentas;
    {
        const std::unique_ptr<Lector> c =
            motor.almacen.Leo(db, "SELECT EmpresaPropia, NumEjercicio, Cuenta FROM Cuentas", {}, true);
        while (c->Siguiente())
            cuentas.insert({c->Entero(0), c->Entero(1), c->Entero(2)});
        if (!c->Error().isEmpty()) return fallo(c->Error());
    }
    // Each line's amount in whole cents and its sign as the amount has it (a fraction of a cent is a
    // debit or a credit of no cents), its entry's month when it has an entry with a date.
    const std::unique_ptr<Lector> q = motor.almacen.Leo(
        db,
        "SELECT D.EmpresaPropia, D.NumEjercicio, D.Asiento, D.Detalle, D.Cuenta, CAST(ROUND((D.Importe)*100) AS "
        "BIGINT), CASE WHEN D.Importe > 0 THEN 1 WHEN D.Importe < 0 THEN -1 ELSE 0 END, A.Asiento, " +
            motor.dialecto.MesDe("A.Fecha") +
            " FROM DetAsientos AS D LEFT JOIN Asientos AS A ON A.EmpresaPropia = D.EmpresaPropia AND "
            "A.NumEjercicio = D.NumEjercicio AND A.Asiento = D.Asiento ORDER BY D.EmpresaPropia, D.NumEjercicio, "
            "D.Asiento, D.Detalle",
        {}, true);
    // Sums by company, year, month (its number among the months met) and account; the months' texts
    // apart, few, each met again on the next line most of the time.
    struct ClaveLinea {
        qint64 empresa, ejercicio, mes, cuenta;
        bool operator==(const ClaveLinea&) const = default;
    };
    struct HashLinea {
        size_t operator()(const ClaveLinea& c) const {
            return Mezclo({c.empresa, c.ejercicio, c.mes, c.cuenta});
        }
    };
    std::unordered_map<ClaveLinea, Suma, HashLinea> porLinea;
    std::map<QByteArray, qint64> meses;
    std::vector<QByteArray> textoMes;
    QByteArray ultimoMes;
    qint64 idMes = -1;
    // The entry being added up, and its lines' cents so far.
    bool hay = false;
    qint64 empresa = 0, ejercicio = 0, numero = 0, total = 0;
    auto cierro = [&] {
        if (hay && total != 0)
            anoto(balance, asiento(empresa, ejercicio, numero) + ", diferencia " +
                               Importe::DeCentavosBase(QVariant(total)).Texto(u',', u'.'));
    };
    qint64 leidas = 0;
    bool desborde = false;
    while (q->Siguiente()) {
        if ((++leidas & 0xFFFF) == 0 && detenido()) return;
        const qint64 e = q->Entero(0), j = q->Entero(1), a = q->Entero(2);
        if (!hay || e != empresa || j != ejercicio || a != numero) {
            cierro();
            hay = true;
            empresa = e;
            ejercicio = j;
            numero = a;
            total = 0;
        }
        const bool conImporte = !q->Nulo(5);
        const qint64 centavos = conImporte ? q->Entero(5) : 0;
        desborde = __builtin_add_overflow(total, centavos, &total) || desborde;
        auto linea = [&] { return asiento(e, j, a) + QString::fromUtf8(", línea ") + QString::number(q->Entero(3)); };
        const bool conAsiento = !q->Nulo(7);
        if (!conAsiento) anoto(huerfanas, linea());
        const bool conCuenta = !q->Nulo(4);
        const qint64 numeroCuenta = conCuenta ? q->Entero(4) : 0;
        if (!conCuenta || !cuentas.count({e, j, numeroCuenta}))
            anoto(sinCuenta, linea() + ", cuenta " +
                                 (conCuenta ? QString::number(numeroCuenta) : QStringLiteral("ninguna")));
        const qint64 signo = conImporte ? q->Entero(6) : 0;
        if (conSumas && conAsiento && !q->Nulo(8) && conCuenta && signo != 0) {
            const QByteArrayView mes = q->Texto(8);
            if (idMes < 0 || mes != ultimoMes) {
                ultimoMes = mes.toByteArray();
                const auto [m, nuevo] = meses.try_emplace(ultimoMes, qint64(textoMes.size()));
                if (nuevo) textoMes.push_back(ultimoMes);
                idMes = m->second;
            }
            Suma& s = porLinea[ClaveLinea{e, j, idMes, numeroCuenta}];
            qint64& lado = signo > 0 ? s.debe : s.haber;
            desborde = __builtin_add_overflow(lado, centavos, &lado) || desborde;
            ++(signo > 0 ? s.debitos : s.creditos);
        }
    }
    if (!q->Error().isEmpty()) return fallo(q->Error());
    // Amounts no sum can hold (a forged book): nothing can be said of its balances.
    if (desborde) return fallo(QString::fromUtf8("los importes exceden lo que se puede sumar"));
    if (detenido()) return;
    cierro();
    for (Incoherencia* i : {&balance, &huerfanas, &sinCuenta})
        if (i->cantidad > 0) lista.append(*i);
    if (!conSumas) return;
    std::map<ClaveSuma, Suma> deLineas;
    for (const auto& [c, suma] : porLinea)
        deLineas.emplace(ClaveSuma{c.empresa, c.ejercicio, textoMes[size_t(c.mes)], c.cuenta}, suma);

    // The sums kept, compared with the lines' both ways: a month and account whose sums differ is
    // named twice, once for the sums kept and once for the lines'.
    const std::unique_ptr<Lector> g = motor.almacen.Leo(
        db,
        "SELECT EmpresaPropia, NumEjercicio, Mes, Cuenta, Debe, Haber, Debitos, Creditos FROM SumasMensuales "
        "WHERE Debitos <> 0 OR Creditos <> 0",
        {}, true);
    std::map<ClaveSuma, Suma> guardadas;
    while (g->Siguiente())
        guardadas[ClaveSuma{g->Entero(0), g->Entero(1), g->Texto(2).toByteArray(), g->Entero(3)}] =
            Suma{g->Entero(4), g->Entero(5), g->Entero(6), g->Entero(7)};
    if (!g->Error().isEmpty()) return fallo(g->Error());
    Incoherencia i{claseSumas, 0, {}};
    auto nombro = [&](const ClaveSuma& k, int veces) {
        const QDate mes = FechaDeBase(QVariant(QString::fromUtf8(std::get<2>(k))));
        const QString texto = QString("empresa %1, ejercicio %2, cuenta %3, mes %4")
                                  .arg(std::get<0>(k))
                                  .arg(std::get<1>(k))
                                  .arg(std::get<3>(k))
                                  .arg(mes.isValid() ? mes.toString("MM/yyyy") : QString::fromUtf8(std::get<2>(k)));
        for (int v = 0; v < veces; ++v)
            anoto(i, texto);
    };
    auto l = deLineas.begin();
    auto k = guardadas.begin();
    while (l != deLineas.end() || k != guardadas.end()) {
        if (k == guardadas.end() || (l != deLineas.end() && l->first < k->first)) {
            nombro((l++)->first, 1);
        } else if (l == deLineas.end() || k->first < l->first) {
            nombro((k++)->first, 1);
        } else {
            if (!(l->second == k->second)) nombro(l->first, 2);
            ++l;
            ++k;
        }
    }
    if (i.cantidad > 0) sumas = i;
}

} // namespace

QList<Incoherencia> RevisoCoherencia(const QSqlDatabase& db, const QList<RelacionBase>* dadas, Progreso* progreso) {
    QList<Incoherencia> lista;
    Incoherencia sumas; // the monthly sums' fault, listed after the index values
    const Motor& motor = MotorDe(db);
    bool ok = dadas != nullptr;
    const QList<RelacionBase> relaciones = dadas ? *dadas : motor.catalogo.Relaciones(db, &ok);
    if (progreso) progreso->Avance(0, ChequeosFijos + relaciones.size());
    // A check asked to stop stops within the statement it is reading.
    const std::shared_ptr<void> detenible = motor.almacen.Detenible(db, progreso);

    const int version = motor.catalogo.VersionEsquema(db);
    if (version < Esquema::VersionMinima || version > Esquema::Version)
        lista.append({"versión de estructura desconocida",
                      1,
                      {QString("la %1; este programa conoce de la %2 a la %3")
                           .arg(version)
                           .arg(Esquema::VersionMinima)
                           .arg(Esquema::Version)}});

    // The lines' rules and their monthly sums, from one reading of the lines.
    RevisoLineas(db, motor, version >= 8, lista, sumas, progreso);
    Reviso(db, lista, QString::fromUtf8("valores de índice que no son positivos"),
           "SELECT TablaAjusteInflacion, Fecha, Ajuste FROM AjustesInflacion WHERE Ajuste IS NULL OR Ajuste "
           "<= 0 "
           "ORDER BY TablaAjusteInflacion, Fecha",
           [](const QSqlQuery& q) {
               const QDate fecha = FechaDeBase(q.value(1));
               return QString("tabla %1, %2: %3")
                   .arg(q.value(0).toString(),
                        fecha.isValid() ? fecha.toString("dd/MM/yyyy") : q.value(1).toString(),
                        q.value(2).isNull() ? QStringLiteral("sin valor") : q.value(2).toString());
           }, progreso);

    // The monthly sums are the lines' own: a book whose sums were written by hand (a tampered backup)
    // would print balances its entries do not hold.
    if (!sumas.clase.isEmpty()) lista.append(sumas);
    if (version < 8 && progreso) progreso->Avance(progreso->Hecho() + 1, progreso->Pasos()); // no triggers yet

    // The sums are right only as long as the engine's triggers keep them: a book without them (or with
    // them changed or turned off) would pass every check today and print wrong balances after its next
    // entry. Any other trigger on the lines, the entries or the sums could write the sums as well.
    if (version >= 8) {
        const Cuenta cuenta{progreso};
        bool leidos = false;
        const QList<DisparadorBase> hay = motor.catalogo.Disparadores(db, &leidos);
        Incoherencia i{QString::fromUtf8("disparadores de las sumas mensuales que faltan o no son los del programa"),
                       0,
                       {}};
        auto falta = [&](const QString& texto) {
            if (i.ejemplos.size() < Ejemplos) i.ejemplos << texto;
            ++i.cantidad;
        };
        const QList<DisparadorBase> esperados = motor.dialecto.DisparadoresSumas();
        for (const DisparadorBase& e : esperados) {
            auto d = std::find_if(hay.begin(), hay.end(), [&](const DisparadorBase& x) {
                return x.nombre.compare(e.nombre, Qt::CaseInsensitive) == 0;
            });
            if (d == hay.end())
                falta(e.nombre + " falta");
            else if (d->tabla.compare(e.tabla, Qt::CaseInsensitive) != 0 || d->definicion != e.definicion)
                falta(e.nombre + QString::fromUtf8(" cambió"));
            else if (!d->activo)
                falta(e.nombre + QString::fromUtf8(" está desactivado"));
        }
        for (const DisparadorBase& d : hay) {
            const bool propio = std::any_of(esperados.begin(), esperados.end(), [&](const DisparadorBase& e) {
                return e.nombre.compare(d.nombre, Qt::CaseInsensitive) == 0;
            });
            if (!propio && QStringList{"DetAsientos", "Asientos", "SumasMensuales"}.contains(d.tabla, Qt::CaseInsensitive))
                falta(d.nombre + QString::fromUtf8(" no es del programa (sobre ") + d.tabla + ")");
        }
        if (!leidos)
            lista.append({"no se pudo revisar: " + i.clase, 1, {TextoError(db.lastError())}});
        else if (i.cantidad > 0)
            lista.append(i);
    }

    // Every other relation of the schema: rows whose parent is missing. The lines' two relations are
    // named above.
    if (!ok) lista.append({"no se pudieron leer las relaciones", 1, {TextoError(db.lastError())}});
    for (const RelacionBase& r : relaciones) {
        if (r.tabla.compare("DetAsientos", Qt::CaseInsensitive) == 0 &&
            (r.referida.compare("Asientos", Qt::CaseInsensitive) == 0 ||
             r.referida.compare("Cuentas", Qt::CaseInsensitive) == 0)) {
            const Cuenta cuenta{progreso};
            continue;
        }
        QStringList presentes, iguales, columnas;
        for (int i = 0; i < r.columnas.size(); ++i) {
            presentes << "h." + r.columnas[i] + " IS NOT NULL";
            iguales << "p." + r.columnasReferidas.value(i) + " = h." + r.columnas[i];
            columnas << "h." + r.columnas[i];
        }
        Reviso(db, lista, "filas de " + r.tabla + " sin su fila de " + r.referida,
               "SELECT " + columnas.join(", ") + " FROM " + r.tabla + " AS h WHERE " +
                   presentes.join(" AND ") + " AND NOT EXISTS (SELECT 1 FROM " + r.referida + " AS p WHERE " +
                   iguales.join(" AND ") + ") ORDER BY " + columnas.join(", "),
               [r](const QSqlQuery& q) {
                   QStringList valores;
                   for (int i = 0; i < r.columnas.size(); ++i)
                       valores << r.columnas[i] + " " + q.value(i).toString();
                   return valores.join(", ");
               }, progreso);
    }
    return lista;
}

QString DescriboIncoherencias(const QList<Incoherencia>& lista) {
    QStringList lineas;
    for (const Incoherencia& i : lista) {
        QString linea = "- " + i.clase + ": " + QString::number(i.cantidad);
        if (!i.ejemplos.isEmpty())
            linea += " (" + i.ejemplos.join("; ") +
                     (i.cantidad > i.ejemplos.size() ? QStringLiteral("…") : "") + ")";
        lineas << linea;
    }
    return lineas.join('\n');
}

} // namespace Mantenimiento
