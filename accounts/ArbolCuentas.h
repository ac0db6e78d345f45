#pragma once
// Loading of the account tree: the chart is read in one query ordered by parent and ordinal, and the
// tree is walked in one pass, each account's children found by binary search over the rows already
// read. Whoever shows the tree receives the nodes in order (a parent before its children, children in
// ordinal order); callers that only need the level maxima pass no receiver.
#include "accounts/CodigosJerarquicos.h"
#include "core/Contexto.h"

#include <QString>
#include <QVariantList>
#include <functional>

struct NodoCuenta {
    int cuenta = 0; // key of the node ("k" + cuenta)
    int padre = 0;  // key of the parent node (0 = the root "Cuentas")
    int numHijo = 0;
    int nivel = 1; // 1 for top-level accounts
    QString texto; // Descripcion (Null as empty)
};
using ReceptorNodo = std::function<void(const NodoCuenta&)>;

// Query of every chart caller: the rows of a company and year ordered so that the root row comes
// first and each parent's children form one block in ordinal order.
QString ConsultaArbol();

// Reads the rows of `consulta` (bound values in `valores`), computes `maximos` from scratch and hands
// each reachable account to `alNodo`. Accounts whose parent does not exist are never reached and give
// no node. The column names say where key, text, parent and ordinal are. False when the query failed
// (maximos then holds only index 0).
bool CargoArbol(const QString& consulta, const QVariantList& valores, const QString& columnaClave,
                const QString& columnaTexto, const QString& columnaPadre, const QString& columnaOrdinal,
                MaximosNivel& maximos, const ReceptorNodo& alNodo = {}, const Contexto& ctx = Contexto());
// The same on the chart of the context's company and year.
bool CargoArbol(const Contexto& ctx, MaximosNivel& maximos, const ReceptorNodo& alNodo = {});
inline bool CargoArbol(int empresa, int ejercicio, MaximosNivel& maximos, const ReceptorNodo& alNodo = {}) {
    return CargoArbol(Contexto::De(empresa, ejercicio), maximos, alNodo);
}
