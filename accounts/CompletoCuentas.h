#pragma once
// Completion of a typed account: the postable accounts of one chart held in memory, each with its
// short code, hierarchical code and description folded (no letter case, no accents), so that every
// keystroke of the account cell is answered without a statement.
#include "accounts/CodigosJerarquicos.h"
#include "core/Contexto.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

// The text without letter case and without accents ("Crédito" and "CREDITO" both give "credito").
QString PliegoTexto(const QString& texto);

struct CuentaCompletable {
    int cuenta = 0;
    QString codInt;
    QString codJer;
    QString descripcion;
};

class IndiceCuentas {
public:
    // Reads the chart of the context's company and year: its postable accounts (those with no
    // account under them), in the chart's order. False when the chart could not be read.
    bool Cargo(const Contexto& ctx, const MaximosNivel& maximos);
    // The same from rows already at hand, in the chart's order (postable accounts only).
    void Cargo(const QList<CuentaCompletable>& cuentas);
    // The accounts the text names, best first, at most `maximo`: the short code equal to the text,
    // then short codes that begin with it, hierarchical codes that begin with it (the trailing dots
    // and blanks of a half-typed picture ignored), descriptions that begin with the text, those with words
    // beginning with each word
    // typed, and last descriptions that contain each word typed (words of three letters or more).
    // Nothing for a blank text.
    QList<CuentaCompletable> Busco(const QString& texto, int maximo = 12) const;
    // Whether a postable account's short code is the text (letter case and accents ignored).
    bool CodigoExacto(const QString& texto) const;
    int Cantidad() const { return int(filas.size()); }
    bool cargado() const { return listo; }

private:
    struct Fila {
        CuentaCompletable c;
        QString codInt;      // folded
        QString descripcion; // folded
        QStringList palabras;
    };
    std::vector<Fila> filas;
    bool listo = false;
};
