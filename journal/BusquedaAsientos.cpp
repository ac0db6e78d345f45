#include "journal/BusquedaAsientos.h"

#include "core/Dialecto.h"
#include "core/Importe.h"
#include "core/Ini.h"
#include "core/Valores.h"

namespace {

// The lines' key columns equal to the entry's.
QString MismoAsiento(const QString& lineas) {
    return QString("%1.EmpresaPropia = Asientos.EmpresaPropia AND %1.NumEjercicio = Asientos.NumEjercicio "
                   "AND %1.Asiento = Asientos.Asiento")
        .arg(lineas);
}

// A text criterion on a column: contains the pattern, ignoring letter case.
QString Contiene(const QString& columna) {
    return Dialecto::Mayusculas(columna) + " LIKE ?" + EscapeLike;
}

// An amount of a line in whole cents, so that comparisons with a typed amount are exact.
QString Centavos(const QString& columna) {
    return "ROUND(" + columna + " * 100)";
}

bool LeoFecha(const QString& texto, const QString& campo, std::optional<QDate>& fecha, QString* error) {
    fecha.reset();
    if (texto.trimmed().isEmpty()) return true;
    const QDate d = TextoAFecha(texto);
    if (!d.isValid()) {
        if (error)
            *error = QString("%1: \"%2\" no es una fecha válida (dd/mm/aaaa)").arg(campo, texto.trimmed());
        return false;
    }
    fecha = d;
    return true;
}

// An entry number bound: a whole number, or no bound.
std::optional<int> LeoNumero(const QString& texto) {
    bool ok = false;
    const int n = texto.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

bool LeoMonto(const QString& texto, const QString& campo, QChar decimal, std::optional<Importe>& monto,
              QString* error) {
    monto.reset();
    if (texto.trimmed().isEmpty()) return true;
    QString motivo;
    const auto m = Importe::Leo(texto, &motivo, decimal);
    if (!m || m->signo() < 0) {
        if (error)
            *error = QString("%1: %2").arg(campo,
                                           m ? QString("el importe buscado no puede ser negativo") : motivo);
        return false;
    }
    monto = m;
    return true;
}

// The amount criterion on the entry's lines, with its bound values appended to `valores`.
QString ClausulaImporte(int porImporte, const std::optional<Importe>& desde,
                        const std::optional<Importe>& hasta, QVariantList& valores) {
    const QString x = Centavos("DA.Importe");
    QString condicion;
    auto agrego = [&](const std::optional<Importe>& m) {
        valores << QVariant::fromValue<qint64>(m->centavos());
    };
    if (porImporte == SumaDebitos) {
        // The entry's total of debit amounts, both ends included.
        condicion = "(SELECT " + Importe::SumaSql("DA.Importe") +
                    " FROM DetAsientos DA WHERE DA.Importe > 0 AND " + MismoAsiento("DA") + ")";
        if (desde && hasta) {
            condicion += " BETWEEN ? AND ?";
            agrego(desde);
            agrego(hasta);
        } else if (desde) {
            condicion += " >= ?";
            agrego(desde);
        } else {
            condicion += " <= ?";
            agrego(hasta);
        }
        return " AND " + condicion;
    }
    // A line of the entry whose amount is in the range: a debit, a credit (its amount without sign)
    // or either.
    const QString valor = porImporte == EnDebe ? x : porImporte == EnHaber ? "-" + x : "ABS(" + x + ")";
    if (desde && hasta) {
        condicion = valor + " BETWEEN ? AND ?";
        agrego(desde);
        agrego(hasta);
    } else if (desde) {
        condicion = valor + " >= ?";
        agrego(desde);
    } else {
        // Only an upper bound: a debit (or a credit) of at most that much, zero included.
        condicion = porImporte == EnCualquiera ? valor + " <= ?" : valor + " >= 0 AND " + valor + " <= ?";
        agrego(hasta);
    }
    return " AND EXISTS (SELECT 1 FROM DetAsientos DA WHERE " + MismoAsiento("DA") + " AND " + condicion +
           ")";
}

} // namespace

QString PatronContiene(const QString& texto) {
    return u'%' + ComodinesLike(texto.toUpper()) + u'%';
}

std::optional<ConsultaSql> ArmoBusqueda(const CriteriosBusqueda& c, int empresa, int ejercicio,
                                        QString* error) {
    std::optional<QDate> fechaDe, fechaA;
    std::optional<Importe> desde, hasta;
    if (!LeoFecha(c.fechaDe, "Desde Fecha", fechaDe, error) ||
        !LeoFecha(c.fechaA, "Hasta Fecha", fechaA, error) ||
        !LeoMonto(c.importeDesde, "Importe desde", c.decimal, desde, error) ||
        !LeoMonto(c.importeHasta, "Importe hasta", c.decimal, hasta, error))
        return std::nullopt;

    ConsultaSql q;
    QVariantList& v = q.parametros;
    QString& s = q.sql;
    s = "SELECT Asientos.Fecha, Asientos.Concepto, Cuentas.Descripcion, Asientos.Asiento, "
        "DetAsientos.Detalle, "
        "Cuentas.CodInt, DetAsientos.Importe "
        "FROM Asientos LEFT JOIN DetAsientos ON " +
        MismoAsiento("DetAsientos") +
        " LEFT JOIN Cuentas ON Cuentas.EmpresaPropia = DetAsientos.EmpresaPropia "
        "AND Cuentas.NumEjercicio = DetAsientos.NumEjercicio AND Cuentas.Cuenta = DetAsientos.Cuenta "
        "WHERE Asientos.EmpresaPropia = ? AND Asientos.NumEjercicio = ?";
    v << empresa << ejercicio;

    if (fechaDe) {
        s += " AND Asientos.Fecha >= ?";
        v << FechaSql(*fechaDe);
    }
    if (fechaA) {
        s += " AND Asientos.Fecha <= ?";
        v << FechaSql(*fechaA);
    }
    if (const auto n = LeoNumero(c.asientoDe)) {
        s += " AND Asientos.Asiento >= ?";
        v << *n;
    }
    if (const auto n = LeoNumero(c.asientoA)) {
        s += " AND Asientos.Asiento <= ?";
        v << *n;
    }

    // An empty text criterion accepts everything, Null included: it adds no condition.
    if (!c.concepto.isEmpty()) {
        s += " AND " + Contiene("Asientos.Concepto");
        v << PatronContiene(c.concepto);
    }
    // On the lines listed: an entry none of whose lines matches (or that has none) drops out.
    if (!c.conceptoDetalle.isEmpty()) {
        s += " AND " + Contiene("DetAsientos.Concepto");
        v << PatronContiene(c.conceptoDetalle);
    }
    // The account criteria qualify the whole entry: some line of it (not necessarily one listed) has
    // an account matching both. Tested on a second reading of the lines, so no line is repeated; as a
    // list of the year's entries rather than entry by entry, so that the few matching accounts are
    // found first and their lines through the lines' account index.
    if (!c.descripcion.isEmpty() || !c.codInt.isEmpty()) {
        s += " AND Asientos.Asiento IN (SELECT D0.Asiento FROM DetAsientos D0 INNER JOIN Cuentas C0 "
             "ON C0.EmpresaPropia = D0.EmpresaPropia AND C0.NumEjercicio = D0.NumEjercicio "
             "AND C0.Cuenta = D0.Cuenta WHERE D0.EmpresaPropia = ? AND D0.NumEjercicio = ?";
        v << empresa << ejercicio;
        if (!c.descripcion.isEmpty()) {
            s += " AND " + Contiene("C0.Descripcion");
            v << PatronContiene(c.descripcion);
        }
        if (!c.codInt.isEmpty()) {
            s += " AND " + Contiene("C0.CodInt");
            v << PatronContiene(c.codInt);
        }
        s += ")";
    }
    if (desde || hasta) s += ClausulaImporte(c.porImporte, desde, hasta, v);

    s += c.orden == PorAsiento ? " ORDER BY Asientos.Asiento, Asientos.Fecha"
                               : " ORDER BY Asientos.Fecha, Asientos.Asiento";
    // Debit lines first, then lines of amount 0, then credit lines; then in the order they were typed.
    s += ", -" + Dialecto::Signo("DetAsientos.Importe") + ", DetAsientos.Detalle";
    return q;
}

DefectosBusqueda LeoDefectosBusqueda(int empresa, int ejercicio) {
    DefectosBusqueda d;
    const QString delEjercicio = "EmpresaPropia = ? AND NumEjercicio = ?";
    const QVariantList claves{empresa, ejercicio};
    d.fechaDe =
        FechaDeBase(ValorCampo("Ejercicios", "ComienzoEjercicio", delEjercicio, claves).value_or(QVariant()));
    d.fechaA = FechaDeBase(ValorCampo("Asientos", "MAX(Fecha)", delEjercicio, claves).value_or(QVariant()));
    if (!d.fechaA.isValid())
        d.fechaA =
            FechaDeBase(ValorCampo("Ejercicios", "FinEjercicio", delEjercicio, claves).value_or(QVariant()));
    d.asientoA = int(NumeroOCero(ValorCampo("Asientos", "MAX(Asiento)", delEjercicio, claves)));
    return d;
}

std::optional<int> OrdenRecordado() {
    const QString t = LeoLocal("BusquedaAsientos", "Orden", "");
    if (t == "0") return PorFecha;
    if (t == "1") return PorAsiento;
    return std::nullopt;
}

void RecuerdoOrden(int orden) {
    EscriboLocal("BusquedaAsientos", "Orden", orden == PorFecha ? "0" : "1");
}
