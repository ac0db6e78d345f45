#include "journal/Escritura.h"

#include "core/Basedatos.h"
#include "core/Motor.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "journal/Historial.h"
#include "core/Permisos.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <algorithm>

namespace {
const QString Alcance = QStringLiteral("EmpresaPropia=? AND NumEjercicio=?");

QVariantList Clave(const Contexto& c, int asiento) {
    return {c.empresa, c.ejercicio, asiento};
}

QVariant TextoONulo(const QString& t) {
    return t.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(t);
}

QJsonValue JsonDe(const QVariant& v) {
    return v.isNull() ? QJsonValue() : QJsonValue(v.toString());
}
QJsonValue JsonFecha(const QVariant& v) {
    return v.isNull() ? QJsonValue() : QJsonValue(FechaDeBase(v).toString(Qt::ISODate));
}

bool Existe(const Contexto& c, int asiento) {
    return ValorCampo(c, "Asientos", "Asiento", Alcance + " AND Asiento=?", Clave(c, asiento)).has_value();
}

int SiguienteNumero(const Contexto& c) {
    return int(NumeroOCero(ValorCampo(c, "Asientos", "Max(Asiento)", Alcance, {c.empresa, c.ejercicio}))) + 1;
}

QString Numeros(const QList<int>& n) {
    QStringList t;
    for (int x : n)
        t << QString::number(x);
    if (t.size() < 2) return t.join(QString());
    const QString ultimo = t.takeLast();
    return t.join(", ") + " y " + ultimo;
}

// A year that holds its closing entries admits no entry added, changed or deleted, except the deletion
// of the closing entries themselves, which reopens it; that is refused while the next year holds the
// opening made from them. Empty when the write may go on.
QString VerificoEjercicioAbierto(const Contexto& c, const Escritura& e, Especial especialGuardado) {
    if (e.tipo == TipoCambio::Cierre) return QString(); // the closing asks its own questions
    const QList<int> cierre = AsientosCierre(c);
    if (cierre.isEmpty()) return QString();
    const bool esCierre =
        especialGuardado == Especial::CierreResultados || especialGuardado == Especial::CierrePatrimonial;
    if (e.tipo == TipoCambio::Baja && esCierre) {
        QSqlQuery q = Consulto(c, "SELECT NumEjercicio, Asiento FROM Asientos WHERE EmpresaPropia=? AND "
                               "NumEjercicio<>? AND Especial=? ORDER BY NumEjercicio, Asiento",
                               {c.empresa, c.ejercicio, ValorEspecial(Especial::Apertura)});
        QList<std::pair<int, int>> aperturas;
        while (q.next())
            aperturas.append({q.value(0).toInt(), q.value(1).toInt()});
        q.finish();
        for (const auto& [ejercicio, asiento] : aperturas)
            if (EjercicioAnterior(c.empresa, ejercicio) == c.ejercicio)
                return QString("el ejercicio siguiente (%1) tiene el asiento de apertura %2, hecho a partir "
                               "de este cierre: elimine primero esa apertura y luego los asientos de cierre")
                    .arg(ejercicio)
                    .arg(asiento);
        return QString();
    }
    return QString("el ejercicio está cerrado: tiene %1 %2. No se pueden agregar, modificar ni eliminar "
                   "sus asientos; para reabrirlo, elimine %3")
        .arg(cierre.size() == 1 ? "el asiento de cierre" : "los asientos de cierre", Numeros(cierre),
             cierre.size() == 1 ? "ese asiento de cierre" : "esos asientos de cierre");
}

// The posting rules, once header and lines are written: the failure text of the first that fails.
QString VerificoAsiento(const Contexto& c, int n) {
    const QVariantList clave = Clave(c, n);
    QSqlQuery q = Consulto(c, "SELECT Cuentas.Descripcion FROM DetAsientos INNER JOIN Cuentas ON "
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
    q = Consulto(c, "SELECT " + Importe::SumaSql("Importe") +
                     " FROM DetAsientos WHERE EmpresaPropia=? AND NumEjercicio=? AND Asiento=?",
                 clave);
    if (!q.isActive()) return TextoError(q.lastError());
    const Importe saldo = q.next() ? Importe::DeCentavosBase(q.value(0)) : Importe();
    q.finish();
    if (saldo.signo() > 0)
        return "Sobran $" + saldo.TextoNumeral() + " en el Debe, por favor corrija la diferencia";
    if (saldo.signo() < 0)
        return "Sobran $" + (-saldo).TextoNumeral() + " en el Haber, por favor corrija la diferencia";

    q = Consulto(c, "SELECT DetAsientos.FechaAjuste FROM Asientos INNER JOIN DetAsientos ON "
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

// Writes the header of a new entry, taking the next number unless one is given. A number taken as
// maximum plus one can meet one just stored by another workstation on an engine that does not
// serialise writers: that clash is retried with the next number.
QString EscriboCabeceraNueva(const Contexto& c, const Escritura& e, int& n) {
    for (int intento = 0;; ++intento) {
        n = e.numero > 0 ? e.numero : SiguienteNumero(c);
        Transaccion punto(c);
        if (!punto.ok()) return punto.error();
        const Resultado r = Ejecuto(c, "INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Concepto, "
                                    "Especial) VALUES (?, ?, ?, ?, ?, ?)",
                                    {c.empresa, c.ejercicio, n, FechaSql(e.fecha), TextoONulo(e.concepto),
                                     ValorEspecial(e.especial)});
        if (r.ok) return punto.Confirmo() ? QString() : punto.error();
        punto.Deshago();
        if (e.numero > 0 || intento >= 20 || !Existe(c, n))
            return r.error.isEmpty() ? QStringLiteral("error desconocido del motor de base de datos") : r.error;
    }
}

QString HuellaDe(const QString& estado) {
    if (estado.isEmpty()) return QString();
    return QString::fromLatin1(QCryptographicHash::hash(estado.toUtf8(), QCryptographicHash::Sha1).toHex());
}

QString Escribo(const Contexto& c, const Escritura& e, Escrito& w) {
    const bool existente = e.tipo == TipoCambio::Modificacion || e.tipo == TipoCambio::Baja;
    QString antes;
    Especial especialGuardado = Especial::Ordinario;
    if (existente) {
        antes = EstadoAsiento(c, e.guardado);
        // Written over or deleted only when it is still what was shown here.
        if (antes.isEmpty() || (!e.huella.isEmpty() && HuellaDe(antes) != e.huella)) {
            w.ajeno = true;
            return QStringLiteral("el asiento %1 no existe en este ejercicio").arg(e.guardado);
        }
        especialGuardado = EspecialDe(
            QJsonDocument::fromJson(antes.toUtf8()).object().value("especial").toVariant());
    }
    const QString cerrado = VerificoEjercicioAbierto(c, e, especialGuardado);
    if (!cerrado.isEmpty()) {
        w.cerrado = true;
        return cerrado;
    }

    int n = e.guardado;
    if (e.tipo == TipoCambio::Baja) {
        // The lines go with their header (the relation cascades).
        const Resultado r = Ejecuto(c, "DELETE FROM Asientos WHERE " + Alcance + " AND Asiento=?", Clave(c, n));
        if (!r.ok) return r.error;
        w.asiento = n;
        return RegistroHistorial(c, n, n, int(e.tipo), antes, QString());
    }
    if (e.numero > 0 && (!existente || e.numero != e.guardado) && Existe(c, e.numero))
        return QString("ya existe el asiento número %1").arg(e.numero);
    if (existente) {
        n = e.numero > 0 ? e.numero : SiguienteNumero(c);
        // Lines are always stored again from scratch.
        Resultado r = Ejecuto(c, "DELETE FROM DetAsientos WHERE " + Alcance + " AND Asiento=?", Clave(c, e.guardado));
        if (!r.ok) return r.error;
        r = Ejecuto(c, "UPDATE Asientos SET Asiento=?, Fecha=?, Concepto=? WHERE " + Alcance + " AND Asiento=?",
                    {n, FechaSql(e.fecha), TextoONulo(e.concepto), c.empresa, c.ejercicio, e.guardado});
        if (!r.ok) return r.error;
    } else {
        const QString falla = EscriboCabeceraNueva(c, e, n);
        if (!falla.isEmpty()) return falla;
    }
    for (const LineaAsiento& l : e.lineas) {
        const Resultado r = Ejecuto(c,
            "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe, "
            "Concepto, FechaAjuste) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            {c.empresa, c.ejercicio, n, l.detalle, l.cuenta, l.importe.ValorSql(), TextoONulo(l.concepto),
             FechaSql(l.fechaAjuste)});
        if (!r.ok) return r.error;
    }
    const QString regla = VerificoAsiento(c, n);
    if (!regla.isEmpty()) return regla;
    w.asiento = n;
    return RegistroHistorial(c, n, existente ? e.guardado : 0, int(e.tipo), antes, EstadoAsiento(c, n));
}
} // namespace

QString NombreCambio(int tipo) {
    switch (TipoCambio(tipo)) {
    case TipoCambio::Alta: return QStringLiteral("alta");
    case TipoCambio::Modificacion: return QStringLiteral("modificación");
    case TipoCambio::Baja: return QStringLiteral("baja");
    case TipoCambio::Cierre: return QStringLiteral("cierre");
    case TipoCambio::Apertura: return QStringLiteral("apertura");
    case TipoCambio::Recuperacion: return QString::fromUtf8("recuperación");
    case TipoCambio::Informe: return QStringLiteral("informe");
    }
    return QString::number(tipo);
}

namespace {
// The module whose grant a write of this kind needs, and what it does there.
std::pair<QString, Accion> PermisoDe(TipoCambio tipo) {
    switch (tipo) {
    case TipoCambio::Baja:
        return {Permisos::EliminacionAsientos, Accion::Eliminar};
    case TipoCambio::Cierre:
        return {QStringLiteral("frmCierreEjercicio"), Accion::Escribir};
    case TipoCambio::Apertura:
        return {QStringLiteral("frmAperturaEjercicio"), Accion::Escribir};
    case TipoCambio::Alta:
    case TipoCambio::Modificacion:
    case TipoCambio::Recuperacion:
    case TipoCambio::Informe:
        break;
    }
    return {QStringLiteral("frmAsientos"), Accion::Escribir};
}
} // namespace

Escrito EscriboAsiento(const Contexto& c, const Escritura& e) {
    Escrito w;
    const auto [modulo, accion] = PermisoDe(e.tipo);
    if (!Autorizo(c, modulo, accion, &w.error)) return w;
    Transaccion t(c);
    if (!t.ok()) {
        w.error = t.error();
        return w;
    }
    w.error = Escribo(c, e, w);
    if (w.error.isEmpty() && !t.Confirmo()) w.error = t.error();
    if (!w.error.isEmpty()) w.asiento = 0;
    return w;
}

QString EstadoAsiento(const Contexto& c, int asiento) {
    QSqlQuery q = Consulto(c, "SELECT Asiento, Fecha, Concepto, Especial FROM Asientos WHERE " + Alcance +
                               " AND Asiento=?",
                           Clave(c, asiento));
    if (!q.next()) return QString();
    QJsonObject o;
    o.insert("asiento", q.value(0).toInt());
    o.insert("fecha", JsonFecha(q.value(1)));
    o.insert("concepto", JsonDe(q.value(2)));
    o.insert("especial", q.value(3).isNull() ? QJsonValue() : QJsonValue(q.value(3).toInt()));
    q.finish();
    q = Consulto(c, "SELECT Detalle, Cuenta, Importe, Concepto, FechaAjuste FROM DetAsientos WHERE " + Alcance +
                     " AND Asiento=? ORDER BY Detalle",
                 Clave(c, asiento));
    QJsonArray lineas;
    while (q.next())
        lineas.append(QJsonArray{q.value(0).toInt(), q.value(1).isNull() ? QJsonValue() : q.value(1).toInt(),
                                 double(Importe::DeBase(q.value(2)).centavos()), JsonDe(q.value(3)),
                                 JsonFecha(q.value(4))});
    o.insert("lineas", lineas);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

QString HuellaAsiento(const Contexto& c, int asiento) {
    return HuellaDe(EstadoAsiento(c, asiento));
}

ConsultaSql ConsultaAsientosCierre(const Contexto& c) {
    // Sorted by the caller: an ORDER BY on the number would have the engine walk every entry of the
    // year by its key instead of the few closing ones by their kind (7 ms a save on a year of 20,000
    // entries). The index by kind is named: where every entry is of the common kind the planner's
    // figures make that index look no better than reading the year (140 ms a save at 2,000,000).
    return {"SELECT Asiento FROM " + MotorDe(c.Base()).dialecto.PorIndice("Asientos", "idxAsientosEspecial") +
                " WHERE " + Alcance + " AND Especial IN (?, ?)",
            {c.empresa, c.ejercicio, ValorEspecial(Especial::CierreResultados),
             ValorEspecial(Especial::CierrePatrimonial)}};
}

QList<int> AsientosCierre(const Contexto& c) {
    const ConsultaSql consulta = ConsultaAsientosCierre(c);
    QSqlQuery q = Consulto(c, consulta.sql, consulta.parametros);
    QList<int> r;
    while (q.next())
        r << q.value(0).toInt();
    std::sort(r.begin(), r.end());
    return r;
}

int EjercicioAnterior(const Contexto& c) {
    const Valor comienzo = ValorCampo(c, "Ejercicios", "ComienzoEjercicio", Alcance, {c.empresa, c.ejercicio});
    if (!comienzo || comienzo->isNull()) return 0;
    return int(NumeroOCero(ValorCampo(c, "Ejercicios", "NumEjercicio", "EmpresaPropia=? AND FinEjercicio<?",
                                      {c.empresa, FechaSql(FechaDeBase(*comienzo))}, "ComienzoEjercicio DESC")));
}

int EjercicioAnterior(int empresa, int ejercicio) {
    return EjercicioAnterior(Contexto::De(empresa, ejercicio));
}
