#include "accounts/ArbolCuentas.h"

#include "core/Basedatos.h"

#include <QSet>
#include <QSqlRecord>
#include <algorithm>
#include <vector>

namespace {
struct FilaArbol {
    int clave;
    int padre;
    int ordinal;
    QString texto;
};

// First row of the block of `padre`'s children, or -1: a binary search over the rows ordered by parent.
int BuscoPrimerHijo(const std::vector<FilaArbol>& filas, int padre) {
    auto it = std::lower_bound(filas.begin(), filas.end(), padre,
                               [](const FilaArbol& f, int valor) { return f.padre < valor; });
    return (it != filas.end() && it->padre == padre) ? int(it - filas.begin()) : -1;
}
} // namespace

QString ConsultaArbol() {
    return QStringLiteral("SELECT * FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=? ORDER BY "
                          "CuentaPadre, NumHijo, Cuenta");
}

bool CargoArbol(const QString& consulta, const QVariantList& valores, const QString& columnaClave,
                const QString& columnaTexto, const QString& columnaPadre, const QString& columnaOrdinal,
                MaximosNivel& maximos, const ReceptorNodo& alNodo, const Contexto& ctx) {
    maximos = MaximosNivel(1, 0);
    QSqlQuery q = Consulto(ctx, consulta, valores);
    if (!q.isActive()) return false;
    const QSqlRecord r = q.record();
    const int iClave = r.indexOf(columnaClave), iTexto = r.indexOf(columnaTexto),
              iPadre = r.indexOf(columnaPadre), iOrdinal = r.indexOf(columnaOrdinal);
    if (iClave < 0 || iPadre < 0 || iOrdinal < 0) return false;

    std::vector<FilaArbol> filas;
    while (q.next())
        filas.push_back({q.value(iClave).toInt(), q.value(iPadre).toInt(), q.value(iOrdinal).toInt(),
                         iTexto < 0 || q.isNull(iTexto) ? QString() : q.value(iTexto).toString()});
    q.finish();
    // The query promises parent order; a caller's query that breaks it must not break the search.
    if (!std::is_sorted(filas.begin(), filas.end(),
                        [](const FilaArbol& a, const FilaArbol& b) { return a.padre < b.padre; }))
        std::stable_sort(filas.begin(), filas.end(),
                         [](const FilaArbol& a, const FilaArbol& b) { return a.padre < b.padre; });

    // Depth-first walk with an explicit stack, so a very deep chart needs no deep recursion. Each frame
    // is the next row of a block of siblings still to visit.
    struct Marco {
        int fila;
        int padre;
        int nivel;
    };
    std::vector<Marco> pila;
    const int primera = BuscoPrimerHijo(filas, 0);
    if (primera >= 0) pila.push_back({primera, 0, 1});
    NodoCuenta nodo;
    QSet<int> vistas;
    vistas.reserve(int(filas.size()));
    while (!pila.empty()) {
        Marco& m = pila.back();
        if (m.fila >= int(filas.size()) || filas[m.fila].padre != m.padre) {
            pila.pop_back();
            continue;
        }
        const FilaArbol& f = filas[m.fila++];
        if (f.clave == 0) continue;             // the root row is not an account
        if (vistas.contains(f.clave)) continue; // a key repeated by the caller's query: shown once
        vistas.insert(f.clave);
        const int nivel = m.nivel;
        if (maximos.size() <= nivel) maximos.resize(nivel + 1, 0);
        if (f.ordinal > maximos[nivel]) maximos[nivel] = f.ordinal;
        if (alNodo) {
            nodo.cuenta = f.clave;
            nodo.padre = f.padre;
            nodo.numHijo = f.ordinal;
            nodo.nivel = nivel;
            nodo.texto = f.texto;
            alNodo(nodo);
        }
        const int hijo = BuscoPrimerHijo(filas, f.clave);
        if (hijo >= 0) pila.push_back({hijo, f.clave, nivel + 1}); // children before the next sibling
    }
    return true;
}

bool CargoArbol(const Contexto& ctx, MaximosNivel& maximos, const ReceptorNodo& alNodo) {
    return CargoArbol(ConsultaArbol(), {ctx.empresa, ctx.ejercicio}, "Cuenta", "Descripcion", "CuentaPadre",
                      "NumHijo", maximos, alNodo, ctx);
}
