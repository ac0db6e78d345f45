#pragma once
// The engine's SQL dialect: the pieces of statements that differ between engines, the column types of
// the schema in its own words and how values are bound and rows read. Statements elsewhere are written
// in the common dialect and ask here for the rest (through core/Dialecto.h, for the shared connection).
#include "core/MotorCatalogo.h"
#include "schema/Esquema.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class DialectoMotor {
public:
    virtual ~DialectoMotor() = default;

    // Tail that keeps the first n rows of a query (after its ORDER BY).
    virtual QString Limite(int n) const = 0;
    // An insertion that leaves alone a row whose key already exists. resto is what follows
    // "INSERT INTO": the table, its columns and VALUES or a SELECT.
    virtual QString InsertoOIgnoro(const QString& resto) const = 0;
    // An integer expression as text padded with zeros to ancho; a wider number is never cut.
    virtual QString Rellenado(const QString& expresion, int ancho) const = 0;
    // A text expression in alphabetical order, as a whole ascending ORDER BY term: letter case and
    // accents ignored, Null first.
    virtual QString Alfabetico(const QString& expresion) const = 0;
    // Upper case of an expression through funcion, one of the names the connection set-up gives the
    // program's upper-case function (UCase, UPPER: the dialect switch picks one).
    virtual QString Mayusculas(const QString& funcion, const QString& expresion) const {
        return funcion + "(" + expresion + ")";
    }
    // Expression that orders a table's rows as they were stored.
    virtual QString OrdenDeCarga() const = 0;
    // The statement that starts a write transaction holding the write lock from its first statement,
    // so that two instances taking "maximum plus one" serialise instead of colliding.
    virtual QString InicioEscritura() const = 0;
    // A table of a FROM clause read through the index named (empty: its primary key) whatever the
    // planner's statistics say, for a statement that must take one plan at any size of the book. The
    // tables of such a statement are joined with CROSS JOIN in the order they are to be read. A server
    // that plans from figures of its own, kept current, reads the table as written. The table may carry
    // its alias ("Asientos AS A").
    virtual QString PorIndice(const QString& tabla, const QString& indice = QString()) const {
        Q_UNUSED(indice);
        return tabla;
    }

    // A column type of the schema in the engine's words.
    virtual QString Tipo(Esquema::Tipo tipo) const = 0;
    // A statement of the schema (Esquema::Definicion, the upgrade steps) with its types so written.
    QString Ddl(const QString& sentencia) const;
    // Statements a new database needs before its tables (functions, collations).
    virtual QStringList Preparativos() const { return {}; }
    // The first day of the month of a date expression, as the schema's dates are held.
    virtual QString MesDe(const QString& fecha) const = 0;
    // The triggers that keep SumasMensuales as lines and entries are added, changed and deleted, made
    // anew where they exist. Made after the tables; a book that has lines already fills the table from
    // them (LlenoSumasMensuales in core/Basedatos.cpp).
    virtual QStringList SumasMensuales() const = 0;
    // Those triggers as the catalogue reads them back when they are as made (CatalogoMotor::Disparadores).
    virtual QList<DisparadorBase> DisparadoresSumas() const = 0;
    // The monthly sums as the lines hold them: the rows SumasMensuales must hold (those of some line),
    // in its columns; with a condition on the entries A and lines D, those of the lines it takes.
    QString SumasDeLineas(const QString& condicion = QString()) const;

protected:
    // The statements of a trigger that add (signo 1) or take away (-1) one line, the row fila (NEW or
    // OLD) of DetAsientos, from the sums of its account in the month of its entry; nothing when the
    // entry is not there (yet, or any longer).
    QString SumoLinea(const QString& fila, int signo) const;
    // The same for every line of an entry, the row fila of Asientos, in the month of its date.
    QString SumoLineasDe(const QString& fila, int signo) const;
    // What a trigger does when a row of conflicto (the target of an insertion) already holds the month.
    static QString AlSumar();

public:

    // A bound value as the engine can hold it (a server's text holds no NUL character).
    virtual QVariant Guardable(const QVariant& valor) const { return valor; }
    // Whether a query read forward only may stay open while other statements run on its connection
    // (a server's driver that streams rows loses them when another statement is sent).
    virtual bool LecturaIntercalada() const { return true; }
};
