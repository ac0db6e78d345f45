#pragma once
// Statements and rules of a catalogue of (code, description) records: the list, one record, the
// next code, insert, update (the code itself may change) and delete, and the store of one record in
// one transaction. The catalogue screens (core/ui/Catalogo.h) are built on it; anything else that
// lists or changes a catalogue (the report program, tests) uses it without widgets.
#include "core/Basedatos.h"

#include <QSqlQuery>
#include <QString>
#include <functional>
#include <optional>

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

    // The statements of a plain (code, description) table, listed in alphabetical order.
    static SentenciasCatalogo De(const QString& tabla, const QString& campoCodigo,
                                 const QString& campoDescripcion);
};

class CatalogoDatos {
public:
    CatalogoDatos() = default;
    explicit CatalogoDatos(SentenciasCatalogo s) : sentencias(std::move(s)) {}

    SentenciasCatalogo sentencias;

    // Every record, ordered by description. Check isActive() for a failure.
    QSqlQuery ConsultoLista() const;
    QSqlQuery ConsultoRegistro(qint64 codigo) const;
    // Code proposed for a new record: the highest plus one (1 for an empty table).
    qint64 ProximoCodigo() const;
    Resultado Agrego(qint64 codigo, const QString& descripcion) const;
    // Stores the record whose code was `anterior` under `codigo`. A record that no longer exists
    // (deleted by another workstation meanwhile) is reported as a failure, never as stored.
    Resultado Cambio(qint64 codigo, const QString& descripcion, qint64 anterior) const;
    // Resultado::filas tells whether a record was deleted.
    Resultado Borro(qint64 codigo) const;

    // A code as typed: a whole number from 0 to 2147483647, or nothing.
    static std::optional<qint32> CodigoDeTexto(const QString& texto);
    // Runs the statements of one record in one transaction: all of them are stored, or none.
    static Resultado EnTransaccion(const std::function<Resultado()>& grabo);
};
