#include "journal/Asiento.h"

#include "core/Contexto.h"
#include "core/Basedatos.h"
#include "core/Valores.h"
#include "journal/ListaAsientos.h"

#include <QStringList>

namespace {
// A line ready to store, checked before any statement runs.
struct LineaLeida {
    int detalle = 0;
    int cuenta = 0;
    Importe importe;
    QString concepto;
    QDate fechaAjuste;
    QString descripcion;
    QString codInt;
};

ResultadoAsiento Falla(const QString& mensaje) {
    ResultadoAsiento r;
    r.mensaje = mensaje;
    return r;
}

QString Fila(int fila, const char* columna) {
    return QString("Fila %1, columna %2: ").arg(fila).arg(QString::fromUtf8(columna));
}

// Walks the grid's rows as the save reads them. Wholly empty rows are skipped and the lines after them
// kept, numbered one after another; a row that holds anything but names no account (none typed, or
// one typed that was never identified) is refused by its row number, so nothing typed is dropped
// without a word. Empty text when every stored value is sound.
QString LeoLineas(const AsientoEditado& e, QList<LineaLeida>& lineas) {
    for (int i = 0; i < e.lineas.size(); ++i) {
        const LineaEditada& l = e.lineas[i];
        const int fila = i + 1;
        const QString cuenta = l.cuenta.trimmed();
        QStringList tiene;
        if (!l.debe.trimmed().isEmpty() || !l.haber.trimmed().isEmpty()) tiene << "importe";
        if (!l.concepto.trimmed().isEmpty()) tiene << "concepto";
        // The editor fills the adjustment date when an amount is typed: named only when alone.
        if (tiene.isEmpty() && !l.fechaAjuste.trimmed().isEmpty()) tiene << "fecha de ajuste";
        if (cuenta.isEmpty() || cuenta == QLatin1String("-1")) {
            const QString tipeado = !l.descripcion.trimmed().isEmpty() ? l.descripcion : l.codInt.trimmed();
            if (!tipeado.isEmpty())
                return QString("Fila %1: la cuenta \"%2\" no está identificada").arg(fila).arg(tipeado);
            if (tiene.isEmpty()) continue;
            return QString("Fila %1: tiene %2 pero ninguna cuenta; indique la cuenta de la línea o vacíe la "
                           "fila")
                .arg(fila)
                .arg(tiene.join(" y "));
        }
        LineaLeida r;
        r.detalle = int(lineas.size()) + 1;
        bool ok = false;
        r.cuenta = cuenta.toInt(&ok);
        if (!ok || r.cuenta < 0)
            return QString("Fila %1: la cuenta \"%2\" no está identificada").arg(fila).arg(cuenta);
        QString error;
        const auto debe = Importe::Leo(l.debe, &error, e.decimal);
        if (!debe) return Fila(fila, "Debe") + error;
        const auto haber = Importe::Leo(l.haber, &error, e.decimal);
        if (!haber) return Fila(fila, "Haber") + error;
        // A line is a debit when its debit is not zero; otherwise a credit (possibly of zero).
        r.importe = debe->esCero() ? -*haber : *debe;
        if (!l.fechaAjuste.trimmed().isEmpty()) {
            r.fechaAjuste = TextoAFecha(l.fechaAjuste);
            if (!r.fechaAjuste.isValid())
                return Fila(fila, "Fecha Ajuste") +
                       QString("\"%1\" no es una fecha válida (dd/mm/aaaa)").arg(l.fechaAjuste);
        }
        r.concepto = l.concepto;
        r.descripcion = l.descripcion;
        r.codInt = l.codInt;
        lineas.append(r);
    }
    return QString();
}

} // namespace

QString TextoAsientoAjeno(int asiento) {
    return QString("El asiento %1 fue modificado o eliminado desde otra estación de trabajo después de "
                   "mostrarse aquí; no se grabó nada. Lo ingresado sigue en pantalla: vuelva a mostrar el "
                   "asiento para ver sus datos actuales.")
        .arg(asiento);
}

QString TextoBorradoAjeno(int asiento) {
    return QString("El asiento %1 fue modificado o eliminado desde otra estación de trabajo después de "
                   "mostrarse aquí; no se eliminó nada. Vuelva a mostrar el asiento para ver sus datos "
                   "actuales antes de decidir si lo elimina.")
        .arg(asiento);
}

ResultadoAsiento GuardoAsiento(const Contexto& c, const AsientoEditado& e) {
    // Everything typed is checked before any statement runs.
    const QDate fecha = TextoAFecha(e.fecha);
    if (!fecha.isValid())
        return Falla(QString("La fecha del asiento \"%1\" no es una fecha válida (dd/mm/aaaa)").arg(e.fecha));
    int numeroTipeado = 0;
    if (!e.numero.trimmed().isEmpty()) {
        bool ok = false;
        numeroTipeado = e.numero.trimmed().toInt(&ok);
        if (!ok || numeroTipeado <= 0)
            return Falla(QString("El número de asiento \"%1\" no es válido: debe ser un número entero "
                                 "mayor que cero, o quedar vacío para numerarlo al grabar")
                             .arg(e.numero));
    }
    QList<LineaLeida> lineas;
    const QString malTipeado = LeoLineas(e, lineas);
    if (!malTipeado.isEmpty()) return Falla(malTipeado);

    QSqlQuery q = Consulto(c,
                           "SELECT ComienzoEjercicio, FinEjercicio FROM Ejercicios WHERE EmpresaPropia=? AND "
                           "NumEjercicio=?",
                           {c.empresa, c.ejercicio});
    const bool hay = q.next();
    const QDate desde = hay ? FechaDeBase(q.value(0)) : QDate();
    const QDate hasta = hay ? FechaDeBase(q.value(1)) : QDate();
    q.finish();
    if (!hay || (desde.isValid() && fecha < desde) || (hasta.isValid() && fecha > hasta))
        return Falla("La fecha del asiento no está dentro del periódo del ejercicio actual");

    Escritura w;
    w.tipo = e.adding ? TipoCambio::Alta : TipoCambio::Modificacion;
    w.guardado = e.adding ? 0 : e.guardado;
    // Written over only when it is still what was shown here; an entry shown without a fingerprint is
    // never written over blindly.
    w.huella = e.adding ? QString() : (e.huella.isEmpty() ? QStringLiteral("-") : e.huella);
    w.numero = numeroTipeado;
    w.fecha = fecha;
    w.concepto = e.concepto;
    for (const LineaLeida& l : lineas)
        w.lineas << LineaAsiento{l.detalle, l.cuenta, l.importe, l.concepto, l.fechaAjuste};
    const Escrito escrito = EscriboAsiento(c, w);

    ResultadoAsiento r;
    if (escrito.ajeno) {
        r.ajeno = true;
        r.mensaje = TextoAsientoAjeno(e.guardado);
        return r;
    }
    if (!escrito.ok()) {
        r.cerrado = escrito.cerrado;
        r.mensaje = PrefijoGrabar + escrito.error;
        return r;
    }
    r.ok = true;
    r.asiento = escrito.asiento;
    r.fila.asiento = escrito.asiento;
    r.fila.fecha = fecha;
    r.fila.concepto = e.concepto;
    QStringList debe, haber;
    for (const LineaLeida& l : lineas) {
        const QString texto = TextoLineaLista(l.descripcion, l.codInt);
        if (l.importe.signo() >= 0) {
            debe << texto;
            r.fila.totalDebe += l.importe;
        } else {
            haber << texto;
        }
    }
    r.fila.tieneDebe = !debe.isEmpty();
    r.fila.tieneHaber = !haber.isEmpty();
    r.fila.cuentasDebe = debe.join(u'\n');
    r.fila.cuentasHaber = haber.join(u'\n');
    return r;
}

QString BorroAsiento(const Contexto& c, int asiento, const QString& huella) {
    Escritura w;
    w.tipo = TipoCambio::Baja;
    w.guardado = asiento;
    w.huella = huella;
    const Escrito escrito = EscriboAsiento(c, w);
    if (escrito.ajeno && !huella.isEmpty()) return TextoBorradoAjeno(asiento);
    if (!escrito.ok()) return "No se pudo eliminar el asiento; " + escrito.error;
    return QString();
}

