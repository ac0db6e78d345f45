#pragma once
// A journal entry: one header row in Asientos and its lines in DetAsientos, per company and fiscal
// year. GuardoAsiento stores what the editor holds (header and lines in one transaction, with the
// posting rules checked before the commit); BorroAsiento deletes an entry with its lines. Neither
// shows anything: they hand back the text the screen shows.
#include "core/Contexto.h"
#include "core/Importe.h"
#include "journal/Escritura.h"
#include "journal/ListaAsientos.h"

#include <QDate>
#include <QList>
#include <QString>

// The entry kinds (column Especial) are core/TipoAsiento.h's; the editor never writes the column, so
// its entries are ordinary.

// Prefix of every refusal of a save after its statements ran.
inline const QString PrefijoGrabar = QStringLiteral("Atención no se puede grabar el registro, ");

// One row of the lines grid, as typed (amounts and the adjustment date as texts).
struct LineaEditada {
    QString cuenta; // account number; "-1" while the account typed is unresolved
    QString codInt;
    QString descripcion; // the account's description (a row may have none)
    QString debe;
    QString haber;
    QString concepto;
    QString fechaAjuste; // dd/mm/yyyy or empty
};

// What the editor holds when it saves.
struct AsientoEditado {
    QString fecha;    // dd/mm/yyyy
    QString numero;   // empty: the next number of the year
    QString concepto; // empty is stored as Null
    bool adding = true;
    int guardado = 0; // number of the stored entry being edited
    // Fingerprint of the stored entry when it was shown (HuellaAsiento): a save over an entry that
    // changed since then is refused.
    QString huella;
    QList<LineaEditada> lineas;
    QChar decimal = u'.'; // decimal character of the amount texts
};

struct ResultadoAsiento {
    bool ok = false;
    int asiento = 0;    // number stored
    QString mensaje;    // what to tell the user when !ok
    bool ajeno = false; // refused because another workstation changed or deleted the entry
    bool cerrado = false; // refused because the year is closed
    FilaListaAsientos fila; // the entry's row of the editor's list
};

// Stores the entry of the context's company and year. Typed texts that are not a date, a number or an
// amount are refused before any statement runs, naming the row and the column.
// Goes through the one writer of entries (journal/Escritura.h).
ResultadoAsiento GuardoAsiento(const Contexto& c, const AsientoEditado& editado);

// Deletes the entry (its lines go with it). With a fingerprint, an entry changed or deleted by another
// workstation since it was shown is left alone. Empty text on success, else the message to show.
QString BorroAsiento(const Contexto& c, int asiento, const QString& huella = QString());

// Message of a save refused because the entry changed elsewhere.
QString TextoAsientoAjeno(int asiento);
// Message of a delete refused for the same reason.
QString TextoBorradoAjeno(int asiento);
