#include "core/Valores.h"

#include "core/Contexto.h"
#include "core/Basedatos.h"
#include "core/Motor.h"

#include <QRegularExpression>

Valor ValorCampo(const QString& tabla, const QString& campo, const QString& condicion,
                 const QVariantList& parametros, const QString& orden) {
    return ValorCampo(Contexto(), tabla, campo, condicion, parametros, orden);
}

Valor ValorCampoTabla(const QString& tabla, const QString& campo, const QString& criterio,
                      const QVariantList& parametros) {
    return ValorCampoTabla(Contexto(), tabla, campo, criterio, parametros);
}

Valor ValorCampo(const Contexto& ctx, const QString& tabla, const QString& campo, const QString& condicion,
                 const QVariantList& parametros, const QString& orden) {
    QString sql = "SELECT " + campo + " FROM " + tabla + " WHERE " + condicion;
    if (!orden.isEmpty()) sql += " ORDER BY " + orden;
    QSqlQuery q = Consulto(ctx, sql + MotorDe(ctx.Base()).dialecto.Limite(1), parametros);
    Valor v;
    if (q.next()) {
        QVariant x = q.value(0);
        // An aggregate over no rows may come back without a type: it is still a row, holding Null.
        v = x.isValid() ? x : QVariant(QMetaType::fromType<QString>());
    }
    q.finish();
    return v;
}

Valor ValorCampoTabla(const Contexto& ctx, const QString& tabla, const QString& campo, const QString& criterio,
                      const QVariantList& parametros) {
    return ValorCampo(ctx, tabla, campo, criterio, parametros, MotorDe(ctx.Base()).dialecto.OrdenDeCarga());
}

namespace {
double Numero(const QVariant& v, double siNulo, bool* ok) {
    if (ok) *ok = true;
    if (!v.isValid() || v.isNull()) return siNulo;
    if (v.typeId() == QMetaType::QString) {
        const QString t = v.toString().trimmed();
        if (t.isEmpty()) return 0;
        bool bien = false;
        double d = t.toDouble(&bien);
        if (!bien) d = QLocale().toDouble(t, &bien);
        if (!bien && ok) *ok = false;
        return bien ? d : siNulo;
    }
    bool bien = false;
    const double d = v.toDouble(&bien);
    if (!bien && ok) *ok = false;
    return bien ? d : siNulo;
}
} // namespace

double NumeroOCero(const QVariant& v, bool* ok) {
    return Numero(v, 0, ok);
}
double NumeroOCero(const Valor& v, bool* ok) {
    return v ? Numero(*v, 0, ok) : (ok && (*ok = true), 0.0);
}
double NumeroOMenosUno(const QVariant& v, bool* ok) {
    return Numero(v, -1, ok);
}
double NumeroOMenosUno(const Valor& v, bool* ok) {
    return v ? Numero(*v, -1, ok) : (ok && (*ok = true), -1.0);
}

QString NuloAVacio(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QString("");
    return v.toString();
}
QString NuloAVacio(const Valor& v) {
    return v ? NuloAVacio(*v) : QString("");
}

namespace {
bool funcionesAccess = true;
}

void UsoFuncionesAccess(bool si) {
    funcionesAccess = si;
}

QString FuncionMayusculas() {
    return funcionesAccess ? QStringLiteral("UCase") : QStringLiteral("UPPER");
}

QString ComodinesLike(const QString& texto) {
    QString t;
    t.reserve(texto.size());
    for (const QChar c : texto) {
        if (c == '*')
            t += '%';
        else if (c == '?')
            t += '_';
        else {
            // What LIKE would take for a wildcard, and the escape character itself, stand for themselves.
            if (c == '%' || c == '_' || c == '\\') t += '\\';
            t += c;
        }
    }
    return t;
}

QDate TextoAFecha(const QString& texto) {
    static const QRegularExpression re(R"(^\s*(\d{1,2})/(\d{1,2})/(\d{2}|\d{4})\s*$)");
    const auto m = re.match(texto);
    if (!m.hasMatch()) return QDate();
    int anio = m.captured(3).toInt();
    if (m.captured(3).size() == 2) anio += anio < 30 ? 2000 : 1900;
    return QDate(anio, m.captured(2).toInt(), m.captured(1).toInt());
}

QString FechaATexto(const QDate& fecha) {
    return fecha.isValid() ? fecha.toString("dd/MM/yyyy") : QString();
}

QDate FechaDeBase(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QDate();
    if (v.typeId() == QMetaType::QDate) return v.toDate();
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().date();
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

QString FechaATexto(const QVariant& v) {
    return FechaATexto(FechaDeBase(v));
}

QVariant FechaSql(const QDate& fecha) {
    return fecha.isValid() ? QVariant(fecha.toString(Qt::ISODate)) : QVariant(QMetaType::fromType<QString>());
}
