#pragma once
// Reading single values and converting database values. Empty (no row) and Null (a row whose value
// is Null) are kept apart: ValorCampo gives std::nullopt for Empty and a null QVariant for Null.
#include <QDate>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <optional>

using Valor = std::optional<QVariant>;

// "SELECT field FROM table WHERE condition": first column of the first row, or Empty.
// The condition carries "?" placeholders for the bound values and nothing after the condition
// itself: the row that comes first is chosen by orden (an ORDER BY list), and only that row is read.
Valor ValorCampo(const QString& tabla, const QString& campo, const QString& condicion,
                 const QVariantList& parametros = {}, const QString& orden = {});
// The field of the first row (in the table's own order) that meets the criteria, or Empty.
Valor ValorCampoTabla(const QString& tabla, const QString& campo, const QString& criterio,
                      const QVariantList& parametros = {});
struct Contexto;
// The same on the context's connection.
Valor ValorCampo(const Contexto& ctx, const QString& tabla, const QString& campo, const QString& condicion,
                 const QVariantList& parametros = {}, const QString& orden = {});
Valor ValorCampoTabla(const Contexto& ctx, const QString& tabla, const QString& campo, const QString& criterio,
                      const QVariantList& parametros = {});

// Empty, Null and the empty text give 0 (NumeroOMenosUno: Empty and Null give -1). Text that is not a
// number also gives the fallback value and clears *ok.
double NumeroOCero(const Valor& v, bool* ok = nullptr);
double NumeroOCero(const QVariant& v, bool* ok = nullptr);
double NumeroOMenosUno(const Valor& v, bool* ok = nullptr);
double NumeroOMenosUno(const QVariant& v, bool* ok = nullptr);

// Null (or Empty) gives the empty text; any other value its text form.
QString NuloAVacio(const QVariant& v);
QString NuloAVacio(const Valor& v);

// Upper-case function name selected by the dialect switch ([Varios] SqlAccess, set when the settings
// are read): "UCase" (the default) or "UPPER".
QString FuncionMayusculas();
void UsoFuncionesAccess(bool si);
// User wildcards "*" and "?" turned into those of LIKE, for a bound value; a "%", "_" or "\" typed by
// the user is escaped, so it matches itself. The statement must follow that LIKE with EscapeLike.
QString ComodinesLike(const QString& texto);
inline const QString EscapeLike = QStringLiteral(" ESCAPE '\\'");

// Dates: shown and typed dd/mm/yyyy, stored as ISO yyyy-mm-dd text.
QDate TextoAFecha(const QString& texto);        // strict dd/mm/yyyy (or dd/mm/yy); invalid QDate otherwise
QString FechaATexto(const QDate& fecha);        // dd/mm/yyyy
QString FechaATexto(const QVariant& valorBase); // stored value to dd/mm/yyyy; empty for Null
QVariant FechaSql(const QDate& fecha);          // bound value for a DATE column (Null when invalid)
QDate FechaDeBase(const QVariant& valorBase);   // stored value to QDate
