#pragma once
// The list of entries the journal editor shows: one row per entry, built from the rows of the entry
// list query (one row per line, the lines of an entry consecutive).
#include "core/ConsultaSql.h"
#include "core/Importe.h"

#include <QDate>
#include <QList>
#include <QString>

struct FilaListaAsientos {
    int asiento = 0;
    QDate fecha;
    QString concepto;     // the entry's; Null shown empty
    QString cuentasDebe;  // one text line per debit line: description, "- ", short code
    QString cuentasHaber; // the same for the credit lines
    Importe totalDebe;    // sum of the debit amounts
    bool tieneDebe = false;
    bool tieneHaber = false;
};

// One line's text in the debit or credit column.
QString TextoLineaLista(const QString& descripcion, const QString& codInt);

// Runs the query and folds its rows into one row per entry, in the query's order. False with the
// engine's explanation in *error when the query fails, or TextoCancelado when the progress asked it
// to stop; the list is then left as it was.
class Progreso;
bool ArmoListaAsientos(const ConsultaSql& consulta, QList<FilaListaAsientos>& filas,
                       QString* error = nullptr, Progreso* progreso = nullptr);

// The query of one entry alone, for the command that shows an entry by its number.
ConsultaSql ConsultaUnAsiento(int empresa, int ejercicio, int asiento);
