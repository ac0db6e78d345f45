#include "journal/Asiento.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "journal/ListaAsientos.h"

#include <QCryptographicHash>
#include <QStringList>

namespace {
const QString Alcance = QStringLiteral("EmpresaPropia=? AND NumEjercicio=?");

QVariantList Clave(int asiento) {
    return {App().currentCompany, App().currentYear, asiento};
}

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

QVariant TextoONulo(const QString& t) {
    return t.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(t);
}

bool Existe(int asiento) {
    return ValorCampo("Asientos", "Asiento", Alcance + " AND Asiento=?", Clave(asiento)).has_value();
}

int SiguienteNumero() {
    return int(NumeroOCero(
               ValorCampo("Asientos", "Max(Asiento)", Alcance, {App().currentCompany, App().currentYear}))) +
           1;
}

// The posting rules, once header and lines are written: the failure text of the first that fails.
QString VerificoAsiento(int n) {
    const QVariantList clave = Clave(n);
    QSqlQuery q = Consulto("SELECT Cuentas.Descripcion FROM DetAsientos INNER JOIN Cuentas ON "
                           "Cuentas.EmpresaPropia = DetAsientos.EmpresaPropia AND Cuentas.NumEjercicio = "
                           "DetAsientos.NumEjercicio AND Cuentas.Cuenta = DetAsientos.Cuenta "
                           "WHERE DetAsientos.EmpresaPropia=? AND DetAsientos.NumEjercicio=? AND "
                           "DetAsientos.Asiento=? AND EXISTS (SELECT 1 FROM Cuentas AS Hijas WHERE "
                           "Hijas.EmpresaPropia = Cuentas.EmpresaPropia AND Hijas.NumEjercicio = "
                           "Cuentas.NumEjercicio AND Hijas.CuentaPadre = Cuentas.Cuenta) "
                           "ORDER BY DetAsientos.Detalle",
                           clave);
    if (!q.isActive()) return TextoError(q.lastError());
    if (q.next()) return "La cuenta " + NuloAVacio(q.value(0)) + " no es Imputable";
    q.finish();

    // The balance in whole cents: +0.10 +0.20 -0.30 is exactly zero.
    q = Consulto("SELECT " + Importe::SumaSql("Importe") +
                     " FROM DetAsientos WHERE EmpresaPropia=? AND NumEjercicio=? AND Asiento=?",
                 clave);
    if (!q.isActive()) return TextoError(q.lastError());
    const Importe saldo = q.next() ? Importe::DeCentavosBase(q.value(0)) : Importe();
    q.finish();
    if (saldo.signo() > 0)
        return "Sobran $" + saldo.TextoNumeral() + " en el Debe, por favor corrija la diferencia";
    if (saldo.signo() < 0)
        return "Sobran $" + (-saldo).TextoNumeral() + " en el Haber, por favor corrija la diferencia";

    q = Consulto("SELECT DetAsientos.FechaAjuste FROM Asientos INNER JOIN DetAsientos ON "
                 "DetAsientos.EmpresaPropia = Asientos.EmpresaPropia AND DetAsientos.NumEjercicio = "
                 "Asientos.NumEjercicio AND DetAsientos.Asiento = Asientos.Asiento "
                 "WHERE Asientos.EmpresaPropia=? AND Asientos.NumEjercicio=? AND Asientos.Asiento=? AND "
                 "DetAsientos.FechaAjuste > Asientos.Fecha ORDER BY DetAsientos.Detalle",
                 clave);
    if (!q.isActive()) return TextoError(q.lastError());
    if (q.next())
        return "La fecha de ajuste: " + FechaDeBase(q.value(0)).toString("dd/MM/yy") +
               " ingresada no puede ser superior que la fecha del asiento";
    return QString();
}

// Writes header and lines; the failure text, or empty. `n` receives the number stored.
QString EscriboAsiento(const AsientoEditado& e, const QDate& fecha, int numeroTipeado,
                       const QList<LineaLeida>& lineas, int& n, bool& ajeno) {
    const AppState& a = App();
    const QVariant concepto = TextoONulo(e.concepto);
    if (!e.adding) {
        // Written over only when it is still what was shown here.
        if (HuellaAsiento(e.guardado) != e.huella) {
            ajeno = true;
            return TextoAsientoAjeno(e.guardado);
        }
    }
    if (numeroTipeado > 0 && (e.adding || numeroTipeado != e.guardado) && Existe(numeroTipeado))
        return QString("ya existe el asiento número %1").arg(numeroTipeado);

    if (e.adding) {
        // A number taken as maximum plus one can meet one just stored by another workstation on an
        // engine that does not serialise writers: that clash is retried with the next number.
        for (int intento = 0;; ++intento) {
            n = numeroTipeado > 0 ? numeroTipeado : SiguienteNumero();
            Transaccion punto;
            if (!punto.ok()) return punto.error();
            const Resultado r =
                Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Concepto) "
                        "VALUES (?, ?, ?, ?, ?)",
                        {a.currentCompany, a.currentYear, n, FechaSql(fecha), concepto});
            if (r.ok) {
                if (!punto.Confirmo()) return punto.error();
                break;
            }
            punto.Deshago();
            if (numeroTipeado > 0 || intento >= 20 || !Existe(n)) return r.error;
        }
    } else {
        n = numeroTipeado > 0 ? numeroTipeado : SiguienteNumero();
        // Lines are always stored again from scratch.
        Resultado r =
            Ejecuto("DELETE FROM DetAsientos WHERE " + Alcance + " AND Asiento=?", Clave(e.guardado));
        if (!r.ok) return r.error;
        r = Ejecuto("UPDATE Asientos SET Asiento=?, Fecha=?, Concepto=? WHERE " + Alcance + " AND Asiento=?",
                    {n, FechaSql(fecha), concepto, a.currentCompany, a.currentYear, e.guardado});
        if (!r.ok) return r.error;
    }
    for (const LineaLeida& l : lineas) {
        const Resultado r = Ejecuto(
            "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe, "
            "Concepto, FechaAjuste) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            {a.currentCompany, a.currentYear, n, l.detalle, l.cuenta, l.importe.ValorSql(),
             TextoONulo(l.concepto), FechaSql(l.fechaAjuste)});
        if (!r.ok) return r.error;
    }
    return VerificoAsiento(n);
}
} // namespace

QString TextoAsientoAjeno(int asiento) {
    return QString("El asiento %1 fue modificado o eliminado desde otra estación de trabajo después de "
                   "mostrarse aquí; no se grabó nada. Lo ingresado sigue en pantalla: vuelva a mostrar el "
                   "asiento para ver sus datos actuales.")
        .arg(asiento);
}

ResultadoAsiento GuardoAsiento(const AsientoEditado& e) {
    const AppState& a = App();
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

    QSqlQuery q = Consulto("SELECT ComienzoEjercicio, FinEjercicio FROM Ejercicios WHERE " + Alcance,
                           {a.currentCompany, a.currentYear});
    const bool hay = q.next();
    const QDate desde = hay ? FechaDeBase(q.value(0)) : QDate();
    const QDate hasta = hay ? FechaDeBase(q.value(1)) : QDate();
    q.finish();
    if (!hay || (desde.isValid() && fecha < desde) || (hasta.isValid() && fecha > hasta))
        return Falla("La fecha del asiento no está dentro del periódo del ejercicio actual");

    ResultadoAsiento r;
    QString falla;
    int n = 0;
    bool ajeno = false;
    {
        Transaccion t;
        if (!t.ok())
            falla = t.error();
        else
            falla = EscriboAsiento(e, fecha, numeroTipeado, lineas, n, ajeno);
        if (falla.isEmpty() && !t.Confirmo()) falla = t.error();
    }
    if (ajeno) {
        r.ajeno = true;
        r.mensaje = falla;
        return r;
    }
    if (!falla.isEmpty()) {
        r.mensaje = PrefijoGrabar + falla;
        return r;
    }
    r.ok = true;
    r.asiento = n;
    r.fecha = fecha;
    r.concepto = e.concepto;
    QStringList debe, haber;
    for (const LineaLeida& l : lineas) {
        const QString texto = TextoLineaLista(l.descripcion, l.codInt);
        if (l.importe.signo() >= 0) {
            debe << texto;
            r.totalDebe += l.importe;
        } else {
            haber << texto;
        }
    }
    r.tieneDebe = !debe.isEmpty();
    r.tieneHaber = !haber.isEmpty();
    r.cuentasDebe = debe.join(u'\n');
    r.cuentasHaber = haber.join(u'\n');
    return r;
}

QString BorroAsiento(int asiento, const QString& huella) {
    Transaccion t;
    if (!t.ok()) return "No se pudo eliminar el asiento; " + t.error();
    if (!huella.isEmpty() && HuellaAsiento(asiento) != huella) return TextoAsientoAjeno(asiento);
    // The lines go with their header (the relation cascades).
    const Resultado r = Ejecuto("DELETE FROM Asientos WHERE " + Alcance + " AND Asiento=?", Clave(asiento));
    if (!r.ok) return "No se pudo eliminar el asiento; " + r.error;
    if (!t.Confirmo()) return "No se pudo eliminar el asiento; " + t.error();
    return QString();
}

QString HuellaAsiento(int asiento) {
    QSqlQuery q = Consulto("SELECT Asiento, Fecha, Concepto, Especial FROM Asientos WHERE " + Alcance +
                               " AND Asiento=?",
                           Clave(asiento));
    if (!q.next()) return QString();
    QStringList partes;
    auto texto = [](const QVariant& v) { return v.isNull() ? QStringLiteral("\x02") : v.toString(); };
    partes << q.value(0).toString() << FechaDeBase(q.value(1)).toString(Qt::ISODate) << texto(q.value(2))
           << texto(q.value(3));
    q.finish();
    q = Consulto("SELECT Detalle, Cuenta, Importe, Concepto, FechaAjuste FROM DetAsientos WHERE " + Alcance +
                     " AND Asiento=? ORDER BY Detalle",
                 Clave(asiento));
    while (q.next())
        partes << q.value(0).toString() << texto(q.value(1))
               << QString::number(Importe::DeBase(q.value(2)).centavos()) << texto(q.value(3))
               << FechaDeBase(q.value(4)).toString(Qt::ISODate);
    const QByteArray datos = partes.join(QChar(0x1f)).toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(datos, QCryptographicHash::Sha1).toHex());
}
