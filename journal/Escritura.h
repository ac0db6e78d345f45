#pragma once
// The one writer of journal entries. Every path that adds, changes or deletes an entry (the editor,
// the closing and the opening of a year, the demonstration book) goes through EscriboAsiento, which
// inside the caller's transaction numbers the entry (retrying a number taken by another workstation),
// checks the posting rules, keeps closed years closed and leaves a record in the entry history, chained
// to the one before it by its hash.
#include "core/ConsultaSql.h"
#include "core/Contexto.h"
#include "core/Importe.h"
#include "core/TipoAsiento.h"

#include <QDate>
#include <QList>
#include <QString>

// What a write does to an entry; the value is kept in HistorialAsientos.Tipo.
enum class TipoCambio {
    Alta = 1,         // a new entry
    Modificacion = 2, // an entry written over
    Baja = 3,         // an entry deleted
    Cierre = 4,       // a closing entry of the year
    Apertura = 5,     // the opening entry of the year
    // Events of the books that are no write of an entry, recorded in the same chain (RegistroEvento).
    Recuperacion = 6, // the books were restored from a backup
    Informe = 7,      // a report or an import run by the command-line program
};
// The word the history shows for a kind: "alta", "modificación" ...
QString NombreCambio(int tipo);

struct LineaAsiento {
    int detalle = 0;
    int cuenta = 0;
    Importe importe; // debit positive, credit negative
    QString concepto;
    QDate fechaAjuste;
};

struct Escritura {
    TipoCambio tipo = TipoCambio::Alta;
    int guardado = 0; // the stored entry changed or deleted
    // Fingerprint of the stored entry when it was shown (HuellaAsiento); when not empty, an entry that
    // changed or vanished since then is left alone.
    QString huella;
    int numero = 0; // number to store; 0 takes the next free one of the year
    QDate fecha;
    QString concepto; // empty is stored as Null
    Especial especial = Especial::Ordinario;
    QList<LineaAsiento> lineas;
};

struct Escrito {
    QString error;       // empty when written
    int asiento = 0;     // number stored (or deleted)
    bool ajeno = false;  // the entry changed or vanished at another workstation since it was shown
    bool cerrado = false; // refused because the year is closed
    bool ok() const { return error.isEmpty(); }
};

// Writes (or deletes) the entry of the context's company and year. The amounts and dates are taken
// as given; the rules checked here are the ones no path may skip.
Escrito EscriboAsiento(const Contexto& c, const Escritura& e);

// The stored entry as compact JSON (header and lines, amounts in cents); empty when it does not exist.
QString EstadoAsiento(const Contexto& c, int asiento);

// Fingerprint of a stored entry (header and lines); empty when the entry does not exist.
QString HuellaAsiento(const Contexto& c, int asiento);

// Closing entries (results, balance sheet) of the context's year, by number; empty when it is open.
QList<int> AsientosCierre(const Contexto& c);
// Its statement, asked before every write of an entry (the plan tests read it).
ConsultaSql ConsultaAsientosCierre(const Contexto& c);

// The year of the company that precedes this one by dates: among those that end before it starts, the
// one that starts latest (its number is no guide: years may be created in any order). 0 when none.
int EjercicioAnterior(int empresa, int ejercicio);
// The same on the context's connection, for its company and year.
int EjercicioAnterior(const Contexto& c);
