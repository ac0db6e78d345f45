#pragma once
// Statements and rules of a catalogue of (code, description) records: the list, one record, the
// next code, insert, update (the code itself may change) and delete, and the store of one record in
// one transaction. The catalogue screens (core/ui/Catalogo.h) are built on it; anything else that
// lists or changes a catalogue (the report program, tests) uses it without widgets.
#include "core/Basedatos.h"

#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <optional>

struct Contexto;
class QSqlRecord;

// One row read from the books, its values by column name. Names compare without regard to case, as
// a query's record does: each engine spells an unquoted column name its own way.
class FilaLeida {
public:
    FilaLeida() = default;
    explicit FilaLeida(const QSqlRecord& r);
    // The column's value; an invalid one when the row has no such column.
    QVariant Valor(const QString& campo) const;
    QVariant Valor(int columna) const { return valores.value(columna); }
    int Columnas() const { return int(valores.size()); }

private:
    QStringList nombres;
    QVariantList valores;
};

// The rows a statement gave, or why it gave none.
struct FilasLeidas {
    QList<FilaLeida> filas;
    bool ok = true;
    QString error; // the engine's words when the statement failed
};
// Every row of a statement run with Consulto.
FilasLeidas LeoFilas(QSqlQuery q);
// The first row of a statement run with Consulto, if it gave one.
std::optional<FilaLeida> LeoFila(QSqlQuery q);

// One choice of a list of records: its number (the table's first column) and the text it shows.
struct Opcion {
    int id = 0;
    QString texto;
};
// Every record of the table in alphabetical order of the shown column (a Null text first, shown
// empty), each with its first column as its number.
QList<Opcion> OpcionesCatalogo(const Contexto& ctx, const QString& tabla, const QString& campoMostrado);

// Statements of a plain (code, description) catalogue. Every value is bound.
struct SentenciasCatalogo {
    QString tabla;            // table, for the "Max(code)" of a new record
    QString campoCodigo;      // key column (long integer)
    QString campoDescripcion; // description column
    QString lista;            // the list, ordered by description; no parameters
    QString registro;         // one record; ? = code
    QString alta;             // insert; ? = code, description
    QString cambio;           // update; ? = new code, description, old code
    QString baja;             // delete; ? = code
    QString modulo;           // the permission module whose level the writes ask for

    // The statements of a plain (code, description) table, listed in alphabetical order, written
    // under the permission module `modulo`.
    static SentenciasCatalogo De(const QString& tabla, const QString& campoCodigo,
                                 const QString& campoDescripcion, const QString& modulo);
};

class CatalogoDatos {
public:
    CatalogoDatos() = default;
    explicit CatalogoDatos(SentenciasCatalogo s) : sentencias(std::move(s)) {}

    SentenciasCatalogo sentencias;

    // Every record, ordered by description. Check isActive() for a failure.
    QSqlQuery ConsultoLista() const;
    QSqlQuery ConsultoRegistro(qint64 codigo) const;
    // The same, read on the context's connection.
    FilasLeidas LeoLista(const Contexto& ctx) const;
    std::optional<FilaLeida> LeoRegistro(const Contexto& ctx, qint64 codigo) const;
    // Code proposed for a new record: the highest plus one (1 for an empty table).
    qint64 ProximoCodigo() const;
    // The writes run on the context's connection when its user's profile allows them on the module
    // (a refusal is a failure whose text gives the reason).
    Resultado Agrego(const Contexto& ctx, qint64 codigo, const QString& descripcion) const;
    // Stores the record whose code was `anterior` under `codigo`. A record that no longer exists
    // (deleted by another workstation meanwhile) is reported as a failure, never as stored.
    Resultado Cambio(const Contexto& ctx, qint64 codigo, const QString& descripcion, qint64 anterior) const;
    // Resultado::filas tells whether a record was deleted.
    Resultado Borro(const Contexto& ctx, qint64 codigo) const;

    // A code as typed: a whole number from 0 to 2147483647, or nothing.
    static std::optional<qint32> CodigoDeTexto(const QString& texto);
    // Runs the statements of one record in one transaction: all of them are stored, or none.
    static Resultado EnTransaccion(const std::function<Resultado()>& grabo);
};
