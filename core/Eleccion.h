#pragma once
// What a screen opened as a picker hands back to its caller. A picker closed without a choice hands
// back nothing (std::nullopt), never a record with -1.
#include <QString>

struct Eleccion {
    int codigo = -1; // number of the chosen record (account, concept, index table, fiscal year...)
    QString texto;   // text of the chosen row (the chart picker: the short code)
    // The fiscal years screen: the company of the chosen year.
    int empresa = -1;
    // The chart picker: hierarchical code, description and short code of the chosen account.
    QString codJer;
    QString descripcion;
    QString codInt;
};
