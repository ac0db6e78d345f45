#pragma once
// The ordinary business of the demonstration company, month by month: sales on account with their cost,
// purchases, collections and payments through the bank, salaries and their social charges, the monthly
// VAT and gross-income tax returns and their payment, rent, services and bank charges. Amounts follow
// the index series, so that later months carry higher figures as prices rise.
#include "core/Importe.h"
#include "demo/Demostracion.h"
#include "inflation/IndicesAjuste.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <random>

namespace Demostracion {

class Movimientos {
public:
    Movimientos(const QVector<CuentaModelo>& plan, const QVector<ValorIndice>& indices);

    // Account number of a code of the model chart (0 when it is not there).
    int Cuenta(const QString& codigo) const;

    // Writes the year's entries into the context's company and year through the journal, counting them
    // in *asientos. The first year also gets the founders' contribution that opens the books.
    bool GeneroAnio(const Contexto& ctx, int anio, bool primero, int* asientos, QString* error);

private:
    using Linea = QPair<QString, Importe>; // code, amount (positive debit, negative credit)
    bool Asiento(const QDate& fecha, const QString& concepto, const QList<Linea>& lineas);
    Importe Precio(const QDate& fecha, std::int64_t pesos, int variacion);

    QHash<QString, int> cuentas;
    QHash<QString, QString> descripciones;
    QVector<ValorIndice> indices;
    QHash<QString, Importe> saldos; // by code, debit positive
    std::minstd_rand azar{20230101};
    int factura = 0;
    int compra = 0;
    Contexto contexto;
    int* contados = nullptr;
    QString* falla = nullptr;
};

} // namespace Demostracion
