#include "journal/Historial.h"

#include "core/Basedatos.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "journal/Escritura.h"

#include <QCryptographicHash>
#include <QSysInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace {
// The columns a record's hash covers, in this order; the hash of the record before it is the last.
const QString Columnas = QStringLiteral("Registro, EmpresaPropia, NumEjercicio, Asiento, AsientoAnterior, Tipo, "
                                        "Usuario, Sesion, Estacion, Momento, Antes, Despues, HashAnterior");
constexpr int CantidadColumnas = 13;
// What the first record chains to.
const QString HashInicial = QString(64, u'0');

QVariant TextoONulo(const QString& t) {
    return t.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(t);
}
QVariant EnteroONulo(int n) {
    return n == 0 ? QVariant(QMetaType::fromType<int>()) : QVariant(n);
}

// SHA-256 over the values as stored, kept apart by a unit separator; Null is told from the empty text.
QString HashDe(const QVariantList& valores) {
    QStringList partes;
    for (const QVariant& v : valores)
        partes << (v.isNull() ? QStringLiteral("\x02") : v.toString());
    return QString::fromLatin1(
        QCryptographicHash::hash(partes.join(QChar(0x1f)).toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString Estacion() {
    const QString nombre = QSysInfo::machineHostName();
    return nombre.isEmpty() ? QStringLiteral("(sin nombre)") : nombre;
}

QString MomentoSql(const QDateTime& m) {
    return m.toUTC().toString(Qt::ISODateWithMs);
}

QList<CambioAsiento> LeoCambios(const QString& condicion, const QVariantList& parametros, bool* ok = nullptr) {
    QSqlQuery q = Consulto("SELECT H.Registro, H.EmpresaPropia, H.NumEjercicio, H.Asiento, H.Tipo, "
                           "U.NombreCorto, H.Usuario, H.Sesion, H.Estacion, H.Momento, H.Antes, H.Despues "
                           "FROM HistorialAsientos AS H LEFT JOIN Usuarios AS U ON U.Usuario = H.Usuario "
                           "WHERE " + condicion + " ORDER BY H.Registro",
                           parametros);
    if (ok) *ok = q.isActive();
    QList<CambioAsiento> r;
    while (q.next()) {
        CambioAsiento c;
        c.registro = q.value(0).toLongLong();
        c.empresa = q.value(1).toInt();
        c.ejercicio = q.value(2).toInt();
        c.asiento = q.value(3).toInt();
        c.tipo = q.value(4).toInt();
        c.usuario = q.value(5).isNull() ? NuloAVacio(q.value(6)) : q.value(5).toString();
        c.sesion = q.value(7).toInt();
        c.estacion = NuloAVacio(q.value(8));
        c.momento = QDateTime::fromString(q.value(9).toString(), Qt::ISODateWithMs);
        c.antes = NuloAVacio(q.value(10));
        c.despues = NuloAVacio(q.value(11));
        r << c;
    }
    return r;
}
} // namespace

QString RegistroHistorial(const Contexto& c, int asiento, int asientoAnterior, int tipo, const QString& antes,
                          const QString& despues) {
    const Valor ultimo = ValorCampo(c, "HistorialAsientos", "Max(Registro)", "1=1");
    const qint64 anterior = ultimo ? qint64(NumeroOCero(*ultimo)) : 0;
    const QString hashAnterior =
        anterior == 0 ? HashInicial
                      : NuloAVacio(ValorCampo(c, "HistorialAsientos", "Hash", "Registro=?", {anterior}));
    const QVariantList valores = {anterior + 1,
                                  c.empresa,
                                  c.ejercicio,
                                  asiento,
                                  EnteroONulo(asientoAnterior),
                                  tipo,
                                  EnteroONulo(c.usuario),
                                  EnteroONulo(c.sesion),
                                  Estacion(),
                                  MomentoSql(QDateTime::currentDateTimeUtc()),
                                  TextoONulo(antes),
                                  TextoONulo(despues),
                                  hashAnterior};
    const Resultado r =
        Ejecuto(c, "INSERT INTO HistorialAsientos (" + Columnas + ", Hash) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                valores + QVariantList{HashDe(valores)});
    return r.ok ? QString() : r.error;
}

QString RegistroEvento(const Contexto& c, int tipo, const QString& que) {
    Transaccion t(c);
    if (!t.ok()) return t.error();
    // Kept where an entry's state would be, so that the history's readers show it (ResumenEstado).
    const QString texto =
        QString::fromUtf8(QJsonDocument(QJsonObject{{"evento", que}}).toJson(QJsonDocument::Compact));
    const QString error = RegistroHistorial(c, 0, 0, tipo, texto, QString());
    if (!error.isEmpty()) return error;
    return t.Confirmo() ? QString() : t.error();
}

VerificacionHistorial VerificoHistorial() {
    VerificacionHistorial v;
    QSqlQuery q = Consulto("SELECT " + Columnas + ", Hash FROM HistorialAsientos ORDER BY Registro");
    if (!q.isActive()) {
        v.entero = false;
        v.mensaje = "No se pudo leer el historial de asientos; " + TextoError(q.lastError());
        return v;
    }
    qint64 esperado = 1;
    QString hashAnterior = HashInicial;
    auto rompo = [&](qint64 registro, const QString& motivo) {
        v.entero = false;
        v.roto = registro;
        v.mensaje = QString("El historial de asientos está roto en el registro %1: %2.").arg(registro).arg(motivo);
    };
    while (q.next()) {
        QVariantList valores;
        for (int i = 0; i < CantidadColumnas; ++i)
            valores << q.value(i);
        const qint64 registro = q.value(0).toLongLong();
        ++v.registros;
        if (registro != esperado) {
            rompo(esperado, registro > esperado
                                ? QString("falta (fue eliminado); el siguiente que hay es el %1").arg(registro)
                                : QStringLiteral("la numeración está alterada"));
            return v;
        }
        if (NuloAVacio(q.value(12)) != hashAnterior) {
            rompo(registro, "no se encadena con el registro anterior (este o el anterior fue alterado)");
            return v;
        }
        const QString hash = NuloAVacio(q.value(CantidadColumnas));
        if (HashDe(valores) != hash) {
            rompo(registro, "su contenido no coincide con su hash (fue alterado)");
            return v;
        }
        hashAnterior = hash;
        ++esperado;
    }
    q.finish();
    // The chain alone cannot show that its last records were removed, nor an entry changed around the
    // program: every entry the history knows must be as its latest record left it, and a record that
    // leaves an entry in place must find it there. (An entry with no record at all predates the history.)
    QSqlQuery e = Consulto(
        "SELECT EmpresaPropia, NumEjercicio, Asiento FROM Asientos AS a WHERE EXISTS (SELECT 1 FROM "
        "HistorialAsientos AS h WHERE h.EmpresaPropia = a.EmpresaPropia AND h.NumEjercicio = a.NumEjercicio AND "
        "(h.Asiento = a.Asiento OR h.AsientoAnterior = a.Asiento)) ORDER BY 1, 2, 3");
    QList<std::pair<Contexto, int>> conocidos;
    while (e.next())
        conocidos.append({Contexto{e.value(0).toInt(), e.value(1).toInt(), 0, 0, QString()}, e.value(2).toInt()});
    e.finish();
    for (const auto& [c, asiento] : conocidos) {
        const QList<CambioAsiento> cambios = HistorialDeAsiento(c, asiento);
        if (!cambios.isEmpty() && cambios.last().despues != EstadoAsiento(c, asiento)) {
            rompo(cambios.last().registro,
                  QString("el asiento %1 del ejercicio %2 no está como lo dejó este registro (fue cambiado por fuera "
                          "del programa, o faltan registros posteriores)")
                      .arg(asiento)
                      .arg(c.ejercicio));
            return v;
        }
    }
    QSqlQuery h = Consulto(
        "SELECT h.Registro, h.Asiento, h.NumEjercicio FROM HistorialAsientos AS h WHERE h.Despues IS NOT NULL AND "
        "h.Despues <> '' AND NOT EXISTS (SELECT 1 FROM HistorialAsientos AS l WHERE l.EmpresaPropia = "
        "h.EmpresaPropia AND l.NumEjercicio = h.NumEjercicio AND (l.Asiento = h.Asiento OR l.AsientoAnterior = "
        "h.Asiento) AND l.Registro > h.Registro) AND NOT EXISTS (SELECT 1 FROM Asientos AS a WHERE "
        "a.EmpresaPropia = h.EmpresaPropia AND a.NumEjercicio = h.NumEjercicio AND a.Asiento = h.Asiento) "
        "ORDER BY h.Registro");
    if (h.next()) {
        rompo(h.value(0).toLongLong(), QString("el asiento %1 del ejercicio %2 que este registro deja no está (fue "
                                               "eliminado por fuera del programa, o faltan registros posteriores)")
                                           .arg(h.value(1).toInt())
                                           .arg(h.value(2).toInt()));
        return v;
    }
    v.mensaje = v.registros == 0
                    ? QStringLiteral("El historial de asientos está vacío: todavía no se grabó ningún asiento.")
                    : QString("El historial de asientos está completo: %1 registros encadenados, ninguno "
                              "alterado ni eliminado.")
                          .arg(v.registros);
    return v;
}

QList<CambioAsiento> HistorialDeAsiento(const Contexto& c, int asiento) {
    return LeoCambios("H.EmpresaPropia=? AND H.NumEjercicio=? AND (H.Asiento=? OR H.AsientoAnterior=?)",
                      {c.empresa, c.ejercicio, asiento, asiento});
}

QList<CambioAsiento> HistorialDePeriodo(int empresa, const QDate& desde, const QDate& hasta, bool* ok) {
    QVariantList parametros{MomentoSql(QDateTime(desde, QTime(0, 0))),
                            MomentoSql(QDateTime(hasta.addDays(1), QTime(0, 0)))};
    if (empresa) parametros << empresa;
    return LeoCambios(QString("H.Momento>=? AND H.Momento<?") + (empresa ? " AND H.EmpresaPropia=?" : ""),
                      parametros, ok);
}

Importe TotalDebe(const QString& estado) {
    Importe total;
    const QJsonArray lineas = QJsonDocument::fromJson(estado.toUtf8()).object().value("lineas").toArray();
    for (const QJsonValue& l : lineas) {
        const Importe i = Importe::DeCentavos(qint64(l.toArray().at(2).toDouble()));
        if (i.signo() > 0) total += i;
    }
    return total;
}

QString ResumenEstado(const QString& estado) {
    if (estado.isEmpty()) return QString();
    const QJsonObject o = QJsonDocument::fromJson(estado.toUtf8()).object();
    if (o.contains("evento")) return o.value("evento").toString();
    const QDate fecha = QDate::fromString(o.value("fecha").toString(), Qt::ISODate);
    const int lineas = o.value("lineas").toArray().size();
    return QString("N.º %1, %2, %3; %4 %5, Debe $%6")
        .arg(o.value("asiento").toInt())
        .arg(FechaATexto(fecha), o.value("concepto").toString())
        .arg(lineas)
        .arg(lineas == 1 ? "línea" : "líneas", TotalDebe(estado).Texto(u',', u'.'));
}
