#pragma once
// Money: a whole number of cents in 64 bits. Every amount the program reads, sums, compares, shows or
// stores goes through this type, so that sums are exact (+0.10 +0.20 -0.30 is exactly zero, a million
// lines of x.01 add to the exact decimal total) and no amount is ever summed as a double.
#include <QString>
#include <QVariant>
#include <compare>
#include <cstdint>
#include <optional>
#include <stdexcept>

class Importe {
public:
    // Limits of a typed amount: 13 integer digits and two decimals.
    static constexpr int DigitosEnteros = 13;
    static constexpr std::int64_t Maximo = 999'999'999'999'999; // 9,999,999,999,999.99 in cents

    constexpr Importe() = default;
    static constexpr Importe DeCentavos(std::int64_t centavos) { return Importe(centavos); }
    // A whole number of currency units (1 -> 1.00).
    static constexpr Importe DeUnidades(std::int64_t unidades) { return Importe(unidades * 100); }
    // A double rounded to the nearest cent, halves away from zero. Only for values that come as
    // doubles from outside (an engine's REAL column); never to carry a sum.
    static Importe DeDouble(double valor);

    constexpr std::int64_t centavos() const { return c; }
    constexpr bool esCero() const { return c == 0; }
    constexpr int signo() const { return c > 0 ? 1 : (c < 0 ? -1 : 0); }
    constexpr Importe abs() const { return c < 0 ? -*this : *this; }
    // For places that need a double (a chart, an index coefficient); never for sums.
    double aDouble() const { return static_cast<double>(c) / 100.0; }

    // A sum beyond 64 bits of cents throws std::overflow_error instead of wrapping round to a wrong
    // figure: no book is that large, so it can only come from damaged data, and it must not be shown.
    constexpr Importe operator-() const { return Importe(0) - *this; }
    constexpr Importe operator+(Importe o) const {
        std::int64_t r = 0;
        if (__builtin_add_overflow(c, o.c, &r)) Desborde();
        return Importe(r);
    }
    constexpr Importe operator-(Importe o) const {
        std::int64_t r = 0;
        if (__builtin_sub_overflow(c, o.c, &r)) Desborde();
        return Importe(r);
    }
    constexpr Importe& operator+=(Importe o) { return *this = *this + o; }
    constexpr Importe& operator-=(Importe o) { return *this = *this - o; }
    constexpr auto operator<=>(const Importe&) const = default;

    // Parses what a user typed: optional sign (leading "-" or "+", or a trailing "-"), digits with
    // thousands separators, a decimal comma or point. `decimal` is the system's decimal character;
    // the other of "," and "." is then the thousands separator, but a lone other character followed
    // by one or two digits is taken as a decimal separator too ("12.5" typed on a keypad). Spaces
    // are ignored. The empty text is zero. Anything else (letters, two decimal separators, badly
    // grouped thousands, more than two decimals, more than 13 integer digits) gives nullopt and a
    // Spanish explanation in *error.
    static std::optional<Importe> Leo(const QString& texto, QString* error = nullptr, QChar decimal = u',');

    // Text for grids and reports: "1.234,56" with decimal ',' and thousands '.'; no thousands
    // separator when `miles` is null. Always two decimals; negative amounts carry a leading "-".
    QString Texto(QChar decimal = u',', QChar miles = QChar()) const;
    // The "#.00" picture: no thousands separator and no leading zero (0.01 -> ".01", 0 -> ".00").
    QString TextoNumeral(QChar decimal = u'.') const;
    // Plain decimal text with a point, as SQL literals and files want it ("-1234.50").
    QString TextoPlano() const;

    // Value to bind for an amount column, and reading one back (integer, real or decimal text, as each
    // engine gives it; Null and Empty read as zero, and *esNulo tells them apart when asked).
    QVariant ValorSql() const;
    static Importe DeBase(const QVariant& valor, bool* esNulo = nullptr);
    // SQL expression for the exact sum of an amount expression, in whole cents: read it back with
    // DeCentavosBase. The same text works on every engine the program speaks.
    static QString SumaSql(const QString& expresion);
    static Importe DeCentavosBase(const QVariant& valor);

private:
    constexpr explicit Importe(std::int64_t centavos) : c(centavos) {}
    [[noreturn]] static void Desborde() {
        throw std::overflow_error("La suma de importes excede el máximo que el programa puede llevar.");
    }
    std::int64_t c = 0;
};
