#include "maintenance/Coherencia.h"

#include "core/Basedatos.h"
#include "core/Importe.h"
#include "core/Motor.h"
#include "core/Progreso.h"
#include "core/Valores.h"
#include "schema/Actualizacion.h"
#include "schema/Esquema.h"

#include <QSqlQuery>

#include <algorithm>
#include <functional>

namespace Mantenimiento {
namespace {

constexpr int Ejemplos = 5;

// The checks of the books: those on the lines, the sums and the triggers, then one per relation.
constexpr int ChequeosFijos = 6;

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

QString Asiento(const QSqlQuery& q) {
    return QString("empresa %1, ejercicio %2, asiento %3")
        .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
}

} // namespace

QList<Incoherencia> RevisoCoherencia(const QSqlDatabase& db, const QList<RelacionBase>* dadas, Progreso* progreso) {
    QList<Incoherencia> lista;
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

    const QString suma = Importe::SumaSql("Importe");
    Reviso(db, lista, "asientos que no balancean",
           "SELECT EmpresaPropia, NumEjercicio, Asiento, " + suma +
               " FROM DetAsientos GROUP BY EmpresaPropia, NumEjercicio, Asiento HAVING " + suma +
               " <> 0 ORDER BY EmpresaPropia, NumEjercicio, Asiento",
           [](const QSqlQuery& q) {
               return Asiento(q) + ", diferencia " + Importe::DeCentavosBase(q.value(3)).Texto(u',', u'.');
           }, progreso);
    Reviso(
        db, lista, QString::fromUtf8("líneas sin su asiento"),
        "SELECT d.EmpresaPropia, d.NumEjercicio, d.Asiento, d.Detalle FROM DetAsientos AS d WHERE NOT EXISTS "
        "(SELECT 1 FROM Asientos AS a WHERE a.EmpresaPropia = d.EmpresaPropia AND a.NumEjercicio = "
        "d.NumEjercicio AND a.Asiento = d.Asiento) ORDER BY d.EmpresaPropia, d.NumEjercicio, d.Asiento, "
        "d.Detalle",
        [](const QSqlQuery& q) {
            return Asiento(q) + QString::fromUtf8(", línea ") + q.value(3).toString();
        },
        progreso);
    Reviso(
        db, lista, QString::fromUtf8("líneas sobre cuentas que no existen"),
        "SELECT d.EmpresaPropia, d.NumEjercicio, d.Asiento, d.Detalle, d.Cuenta FROM DetAsientos AS d WHERE "
        "d.Cuenta IS NULL OR NOT EXISTS (SELECT 1 FROM Cuentas AS c WHERE c.EmpresaPropia = "
        "d.EmpresaPropia AND c.NumEjercicio = d.NumEjercicio AND c.Cuenta = d.Cuenta) ORDER BY "
        "d.EmpresaPropia, d.NumEjercicio, d.Asiento, d.Detalle",
        [](const QSqlQuery& q) {
            return Asiento(q) + QString::fromUtf8(", línea ") + q.value(3).toString() + ", cuenta " +
                   (q.value(4).isNull() ? QStringLiteral("ninguna") : q.value(4).toString());
        },
        progreso);
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
    if (version < 8 && progreso) progreso->Avance(progreso->Hecho() + 2, progreso->Pasos()); // no sums yet
    if (version >= 8) {
        const QString columnas = "EmpresaPropia, NumEjercicio, Mes, Cuenta, Debe, Haber, Debitos, Creditos";
        const QString guardadas =
            "SELECT " + columnas + " FROM SumasMensuales WHERE Debitos <> 0 OR Creditos <> 0";
        // The sums of the lines are computed once (the longest reading of the check) and compared both ways.
        const QString deLineas = motor.dialecto.SumasDeLineas();
        Reviso(db, lista, QString::fromUtf8("sumas mensuales que no son las de las líneas"),
               "WITH L AS MATERIALIZED (" + deLineas + "), G AS MATERIALIZED (" + guardadas +
                   ") SELECT EmpresaPropia, NumEjercicio, Mes, Cuenta FROM (SELECT * FROM G EXCEPT SELECT * FROM L) "
                   "AS X UNION ALL SELECT EmpresaPropia, NumEjercicio, Mes, Cuenta FROM (SELECT * FROM L EXCEPT "
                   "SELECT * FROM G) AS Y ORDER BY 1, 2, 3, 4",
               [](const QSqlQuery& q) {
                   const QDate mes = FechaDeBase(q.value(2));
                   return QString("empresa %1, ejercicio %2, cuenta %3, mes %4")
                       .arg(q.value(0).toString(), q.value(1).toString(), q.value(3).toString(),
                            mes.isValid() ? mes.toString("MM/yyyy") : q.value(2).toString());
               }, progreso);
    }

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
