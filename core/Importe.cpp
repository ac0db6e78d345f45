#include "core/Importe.h"

#include <cmath>

namespace {

QString Entre(const QString& texto) {
    return "\"" + texto + "\"";
}

bool SoloDigitos(QStringView s) {
    for (QChar ch : s)
        if (!ch.isDigit() || ch.unicode() > 127) return false;
    return true;
}

// Decimal text with a point as the database gives it ("-12.30", "5", "1e3" never): rounded to the
// cent, halves away from zero.
std::optional<std::int64_t> CentavosDeTextoPlano(QString s) {
    s = s.trimmed();
    bool negativo = false;
    if (s.startsWith(u'-') || s.startsWith(u'+')) {
        negativo = s.startsWith(u'-');
        s.remove(0, 1);
    }
    const int punto = s.indexOf(u'.');
    const QString entera = punto < 0 ? s : s.left(punto);
    QString decimales = punto < 0 ? QString() : s.mid(punto + 1);
    if ((entera.isEmpty() && decimales.isEmpty()) || !SoloDigitos(entera) || !SoloDigitos(decimales))
        return std::nullopt;
    bool ok = true;
    std::int64_t unidades = entera.isEmpty() ? 0 : entera.toLongLong(&ok);
    if (!ok) return std::nullopt;
    const bool redondeoArriba = decimales.size() > 2 && decimales.at(2) >= u'5';
    decimales = (decimales + "00").left(2);
    // A number too large for cents in 64 bits is no amount.
    std::int64_t c = 0;
    if (__builtin_mul_overflow(unidades, 100, &c) ||
        __builtin_add_overflow(c, decimales.toLongLong() + (redondeoArriba ? 1 : 0), &c))
        return std::nullopt;
    return negativo ? -c : c;
}

} // namespace

namespace {
// Nearest whole number of a double that fits 64 bits; zero for anything else (llround's result is
// unspecified out of range).
std::int64_t Redondeo(double valor) {
    if (!std::isfinite(valor) || std::fabs(valor) >= 9.2e18) return 0;
    return std::llround(valor);
}
} // namespace

Importe Importe::DeDouble(double valor) {
    return Importe(Redondeo(valor * 100.0));
}

std::optional<Importe> Importe::Leo(const QString& texto, QString* error, QChar decimal) {
    auto falla = [&](const QString& motivo) -> std::optional<Importe> {
        if (error) *error = motivo;
        return std::nullopt;
    };
    QString s;
    for (QChar ch : texto)
        if (!ch.isSpace()) s += ch;
    if (s.isEmpty()) return Importe();

    bool negativo = false;
    if (s.startsWith(u'-') || s.startsWith(u'+')) {
        negativo = s.startsWith(u'-');
        s.remove(0, 1);
    } else if (s.endsWith(u'-')) {
        negativo = true;
        s.chop(1);
    }
    const QChar otro = decimal == u'.' ? u',' : u'.';
    for (QChar ch : s)
        if (!(ch.isDigit() && ch.unicode() < 128) && ch != u',' && ch != u'.')
            return falla(Entre(texto) + " no es un importe válido");
    if (s.isEmpty() || s == decimal || s == otro) return falla(Entre(texto) + " no es un importe válido");

    // Which character separates the decimals: with both present, the last one; with one kind
    // present once, the system's decimal character, or the other one unless three digits follow it
    // ("1.234" is a thousand when the system writes decimals with a comma); repeated, it groups.
    int posDecimal = -1;
    QChar miles = otro;
    const int comas = s.count(u',');
    const int puntos = s.count(u'.');
    if (comas > 0 && puntos > 0) {
        const QChar ultimo = s.lastIndexOf(u',') > s.lastIndexOf(u'.') ? QChar(u',') : QChar(u'.');
        if (s.count(ultimo) > 1) return falla(Entre(texto) + " tiene más de un separador decimal");
        posDecimal = s.indexOf(ultimo);
        miles = ultimo == u',' ? u'.' : u',';
    } else if (comas + puntos == 1) {
        const QChar sep = comas ? QChar(u',') : QChar(u'.');
        const int pos = s.indexOf(sep);
        if (sep == decimal || s.size() - pos - 1 != 3)
            posDecimal = pos;
        else
            miles = sep;
    } else if (comas + puntos > 1) {
        miles = comas ? u',' : u'.';
    }

    const QString parteEntera = posDecimal < 0 ? s : s.left(posDecimal);
    const QString parteDecimal = posDecimal < 0 ? QString() : s.mid(posDecimal + 1);
    if (!SoloDigitos(parteDecimal)) return falla(Entre(texto) + " tiene más de un separador decimal");
    if (parteDecimal.size() > 2) return falla(Entre(texto) + ": un importe admite a lo sumo dos decimales");

    QString digitos;
    if (parteEntera.contains(miles)) {
        const QStringList grupos = parteEntera.split(miles);
        for (int i = 0; i < grupos.size(); ++i) {
            const int n = grupos.at(i).size();
            if (n == 0 || n > 3 || (i > 0 && n != 3))
                return falla(Entre(texto) + ": separador de miles mal ubicado");
            digitos += grupos.at(i);
        }
    } else {
        digitos = parteEntera;
    }
    if (!SoloDigitos(digitos)) return falla(Entre(texto) + " no es un importe válido");
    if (digitos.isEmpty() && parteDecimal.isEmpty()) return falla(Entre(texto) + " no es un importe válido");
    while (digitos.size() > 1 && digitos.startsWith(u'0'))
        digitos.remove(0, 1);
    if (digitos.size() > DigitosEnteros)
        return falla(Entre(texto) + ": un importe admite a lo sumo 13 dígitos enteros");

    const std::int64_t unidades = digitos.isEmpty() ? 0 : digitos.toLongLong();
    const std::int64_t centavos = unidades * 100 + (parteDecimal + "00").left(2).toLongLong();
    return Importe(negativo ? -centavos : centavos);
}

QString Importe::Texto(QChar decimal, QChar miles) const {
    const std::uint64_t a = c < 0 ? 0 - static_cast<std::uint64_t>(c) : static_cast<std::uint64_t>(c);
    QString entera = QString::number(a / 100);
    if (!miles.isNull())
        for (int i = entera.size() - 3; i > 0; i -= 3)
            entera.insert(i, miles);
    const QString decimales = QString::number(a % 100).rightJustified(2, u'0');
    return (c < 0 ? "-" : "") + entera + decimal + decimales;
}

QString Importe::TextoNumeral(QChar decimal) const {
    QString t = Texto(decimal);
    // "#.00" writes no zero before the separator.
    const int cero = t.startsWith(u'-') ? 1 : 0;
    if (t.mid(cero, 2) == QString(u'0') + decimal) t.remove(cero, 1);
    return t;
}

QString Importe::TextoPlano() const {
    return Texto(u'.');
}

QVariant Importe::ValorSql() const {
    return QVariant(static_cast<double>(c) / 100.0);
}

Importe Importe::DeBase(const QVariant& valor, bool* esNulo) {
    if (esNulo) *esNulo = !valor.isValid() || valor.isNull();
    if (!valor.isValid() || valor.isNull()) return Importe();
    switch (valor.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: {
        std::int64_t c = 0;
        return __builtin_mul_overflow(valor.toLongLong(), 100, &c) ? Importe() : Importe(c);
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return DeDouble(valor.toDouble());
    default: {
        const auto c = CentavosDeTextoPlano(valor.toString());
        return c ? Importe(*c) : Importe();
    }
    }
}

QString Importe::SumaSql(const QString& expresion) {
    return "SUM(CAST(ROUND((" + expresion + ")*100) AS BIGINT))";
}

Importe Importe::DeCentavosBase(const QVariant& valor) {
    if (!valor.isValid() || valor.isNull()) return Importe();
    if (valor.typeId() == QMetaType::Double) return Importe(Redondeo(valor.toDouble()));
    bool ok = false;
    const std::int64_t n = valor.toLongLong(&ok);
    if (ok) return Importe(n);
    const auto c = CentavosDeTextoPlano(valor.toString());
    return c ? Importe(*c / 100) : Importe();
}
