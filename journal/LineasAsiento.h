#pragma once
#include "core/Configuracion.h"
// Statements behind the editor's lines grid and entry panel: the standard legends of an account for
// a side, the marker of a legend that is not yet one of them, adding it, the default date of a new
// entry and the reading of a stored entry with everything its grid rows show.
#include "accounts/CodigosJerarquicos.h"
#include "core/Importe.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// Marker shown on a line whose concept is not yet a standard legend of its account for its side.
inline const QString MarcaLeyenda = QStringLiteral("=>");

// The account's standard legends for the debit (debe) or credit side, in alphabetical order. Account
// 0 has none.
QStringList LeyendasCuenta(const Contexto& ctx, int cuenta, bool debe);
// Whether the concept is already one of those legends (letter case ignored).
bool EsLeyendaEstandar(const Contexto& ctx, int cuenta, bool debe, const QString& concepto);
// The question asked before adding a legend to an account's standard legends.
QString PreguntaIncorporoLeyenda(const QString& concepto, const QString& descripcionCuenta, bool debe);
// Links the concept to the account for that side, creating the legend in the catalogue only when no
// legend has that text. Takes effect at once, apart from any entry being typed. Empty text on
// success, else the engine's explanation.
QString IncorporoLeyenda(const Contexto& ctx, int cuenta, bool debe, const QString& concepto);

// Date proposed for a new entry: the latest entry date of the year, or the year's first day.
QDate FechaNuevoAsiento(const Contexto& ctx);

// A stored entry as the editor shows it.
struct LineaGuardada {
    int cuenta = 0;
    QString codInt;
    QString codJer;
    QString descripcion;
    Importe importe; // debit positive, credit negative
    QString concepto;
    QDate fechaAjuste;
    QStringList leyendas; // standard legends of the account for the line's side
    bool marca = false;   // the concept is not one of them
};
struct AsientoGuardado {
    bool existe = false;
    int asiento = 0;
    QDate fecha;
    QString concepto;
    QString huella;
    QList<LineaGuardada> lineas; // debits first, then by concept
};
// Reads entry `asiento` of the current company and year; codes written with the given level maxima.
AsientoGuardado LeoAsiento(const Contexto& ctx, int asiento, const MaximosNivel& maximos);
