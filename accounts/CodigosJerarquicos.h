#pragma once
// Hierarchical codes of the chart of accounts ("código jerárquico", e.g. 01.003.12): built from the
// chain of NumHijo ordinals, each level padded to the width of the largest ordinal of that level.
#include "core/Contexto.h"

#include <QHash>
#include <QString>
#include <QVector>

// Level maxima (MaxNumHijoNivel): index L holds the largest NumHijo among the accounts of level L;
// index 0 is not used. A freshly reset array has the single element 0.
using MaximosNivel = QVector<int>;

// Largest value NumHijo can hold.
constexpr int MaxNumHijo = 32767;

// Number of digits of the level's maximum (0 to 9 gives 1); 0 when the array has no such level.
int AnchoNivel(const MaximosNivel& maximos, int nivel);

// The chart of one company and year read once (parent and ordinal of every account), shared by a
// caller that formats many codes so that each code costs no statement.
class FilasPlan {
public:
    struct Fila {
        int padre = 0;
        int numHijo = 0;
    };
    // Reads every row of the chart in one query; false when the query failed.
    bool Cargo(const Contexto& ctx);
    bool Cargo(int empresa, int ejercicio) { return Cargo(Contexto::De(empresa, ejercicio)); }
    const Fila* Busco(int cuenta) const;
    int Cantidad() const { return filas.size(); }
    int empresa() const { return emp; }
    int ejercicio() const { return ej; }
    // True when the rows are those of the context's chart.
    bool De(const Contexto& ctx) const {
        return emp == ctx.empresa && ej == ctx.ejercicio && conexion == ctx.conexion;
    }

private:
    QHash<int, Fila> filas;
    int emp = -1;
    int ej = -1;
    QString conexion;
};

// Hierarchical code of an account; empty for account 0 or an account that does not exist. With a
// shared row set the chart is not read again (the set must be of the same company and year).
QString CodJerCuenta(int cuenta, const Contexto& ctx, const MaximosNivel& maximos,
                     const FilasPlan* filas = nullptr);
inline QString CodJerCuenta(int cuenta, int empresa, int ejercicio, const MaximosNivel& maximos,
                            const FilasPlan* filas = nullptr) {
    return CodJerCuenta(cuenta, Contexto::De(empresa, ejercicio), maximos, filas);
}

// The account named by a typed hierarchical code (digits, "?" and "*" wildcards, "." between levels,
// blanks in unfilled positions), or -1. Each level matches as a prefix, so a code that stops at a
// summary level gives that account; a partly filled level gives -1.
int CuentaDeCodJer(const QString& codigo, int empresa, int ejercicio);

// Picture mask for a field that takes a hierarchical code: one group of placeholders per level, as
// wide as the level, joined with "." ("X.XX.XXX"). Empty when the chart has no levels.
QString MascaraCodJer(const MaximosNivel& maximos, QChar marcador = QChar('X'));

// Suggested NumHijo for a new child of the account: continues the step between its last two children
// (1, 2 -> 3; 1, 2, 7 -> 12; one child 5 -> 10), 1 for an account without children. Returns -1 and
// fills *mensaje when the suggestion would exceed what NumHijo can hold.
int UltNumHijo(int padre, int empresa, int ejercicio, QString* mensaje = nullptr);

// True when account a is a proper ancestor of account b.
bool EsAncestro(int a, int b, int empresa, int ejercicio);

// Level maxima of the chart without building a tree (one ordered query, one pass).
MaximosNivel MaximosDelPlan(const Contexto& ctx);
inline MaximosNivel MaximosDelPlan(int empresa, int ejercicio) {
    return MaximosDelPlan(Contexto::De(empresa, ejercicio));
}
