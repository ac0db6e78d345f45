#pragma once
// The history of the entries: one record per write of an entry (who, when, from which workstation,
// what kind of change, the entry before and after), kept in HistorialAsientos. Each record carries a
// SHA-256 hash over its own content and the hash of the record before it, so that a record altered or
// deleted afterwards breaks the chain and VerificoHistorial names where.
#include "core/Contexto.h"
#include "core/Importe.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

// Appends the record of one write, inside the writer's transaction (whose start serialises writers,
// so two workstations never chain to the same record). antes/despues: EstadoAsiento of the entry, empty
// when there was none. The failure text, or empty.
QString RegistroHistorial(const Contexto& c, int asiento, int asientoAnterior, int tipo, const QString& antes,
                          const QString& despues);

// Records, in its own transaction, an event of the books that is no write of an entry (TipoCambio
// Recuperacion, Informe): who (the context's user), when, from where, and what, in words. The failure
// text, or empty.
QString RegistroEvento(const Contexto& c, int tipo, const QString& que);

struct VerificacionHistorial {
    bool entero = true;
    qint64 registros = 0; // records examined
    qint64 roto = 0;      // first record whose link is broken (0 when whole)
    QString mensaje;      // what to tell the user, either way
};
// Walks the whole chain from its first record.
VerificacionHistorial VerificoHistorial();

// One record, as the screens and the reports show it.
struct CambioAsiento {
    qint64 registro = 0;
    int empresa = 0;
    int ejercicio = 0;
    int asiento = 0;
    int tipo = 0;
    QString usuario; // short name of the user (the number when the user is gone)
    int sesion = 0;
    QString estacion;
    QDateTime momento; // UTC
    QString antes;     // EstadoAsiento texts; empty when there was no entry
    QString despues;
};
// The records of one entry number of a company and year (also those where it was renumbered from or to),
// oldest first.
QList<CambioAsiento> HistorialDeAsiento(const Contexto& c, int asiento);
// The records of a company (0: every company), of all its years, written between two days (both
// included, local time), oldest first. *ok is cleared when the history cannot be read.
QList<CambioAsiento> HistorialDePeriodo(int empresa, const QDate& desde, const QDate& hasta, bool* ok = nullptr);

// Readable forms of an EstadoAsiento text: the debit total and "fecha · concepto · n líneas".
Importe TotalDebe(const QString& estado);
QString ResumenEstado(const QString& estado);
