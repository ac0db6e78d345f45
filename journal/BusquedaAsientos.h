#pragma once
// Entry search: the criteria a user types turned into the query of the entries to list (the entry
// list query of the application state), and the defaults and remembered order of the search screen.
#include "core/ConsultaSql.h"

#include <QDate>
#include <QString>
#include <optional>

// Where the typed amount must appear.
enum PorImporte { EnDebe = 0, EnHaber = 1, EnCualquiera = 2, SumaDebitos = 3 };
enum OrdenBusqueda { PorFecha = 0, PorAsiento = 1 };

// The criteria as typed. Text criteria take "*" and "?" as wildcards and match any value that
// contains them, ignoring letter case; every other character (quotes, "%", "_") stands for itself.
// An empty text criterion also accepts Null, so entries without concept or without lines are found.
struct CriteriosBusqueda {
    QString fechaDe, fechaA;            // dd/mm/yyyy; empty: no bound
    QString asientoDe, asientoA;        // entry numbers; empty or not a whole number: no bound
    QString concepto;                   // the entry's concept
    QString conceptoDetalle;            // the line's concept: filters the lines listed, not only the entries
    QString descripcion, codInt;        // an account of some line of the entry; every line is then listed
    QString importeDesde, importeHasta; // typed amounts; both empty: no amount criterion
    int porImporte = EnCualquiera;
    int orden = PorFecha;
    QChar decimal = u','; // the system's decimal character, for the typed amounts
};

// The query for the entries of (empresa, ejercicio) that meet the criteria: columns Fecha, Concepto,
// Descripcion, Asiento, Detalle, CodInt, Importe; an entry's rows together, debit lines first, then
// lines of amount 0, then credit lines. Nothing, with a Spanish explanation in *error, when a date or
// an amount typed is not one.
std::optional<ConsultaSql> ArmoBusqueda(const CriteriosBusqueda& criterios, int empresa, int ejercicio,
                                        QString* error = nullptr);

// A typed text criterion as a bound LIKE value for an upper-cased column with ESCAPE '\': the text
// upper-cased, "*" and "?" turned into "%" and "_", the engine's own wildcards and the escape
// character escaped, "%" at both ends.
QString PatronContiene(const QString& texto);

// What the search screen shows when it opens: the year's first day, the latest entry date (the
// year's last day when it has no entry), 1 and the highest entry number (0 when none).
struct DefectosBusqueda {
    QDate fechaDe, fechaA;
    int asientoDe = 1;
    int asientoA = 0;
};
DefectosBusqueda LeoDefectosBusqueda(int empresa, int ejercicio);

// The order of the last accepted search ([BusquedaAsientos] Orden of Partidex.ini), or nothing when
// no search has been accepted yet (or the value is not one of the two orders).
std::optional<int> OrdenRecordado();
void RecuerdoOrden(int orden);
