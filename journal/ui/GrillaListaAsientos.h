#pragma once
// The editor's list of entries in its grid: the grid shows the list's rows where they are (a list of
// every entry of a long year holds millions), and the list's owner tells it what changed.
#include "core/ui/Grilla.h"
#include "journal/ListaAsientos.h"

#include <memory>

class GrillaListaAsientos {
public:
    // Columns of the grid: hidden number, date, concept, debit accounts, credit accounts, debit total.
    explicit GrillaListaAsientos(Grilla* grilla);

    const ListaAsientos& lista() const { return *filas; }
    // Shows a list read anew, each row as high as its texts.
    void Muestro(ListaAsientos&& nueva);
    // An entry's row as saved: in place of row `fila` (from 1), or at the end when fila is past it.
    void Escribo(int fila, const FilaListaAsientos& f);
    void Quito(int fila);
    // Empties the list (setFilas(0) on the grid lets the rows go as well).
    void Vacio();

private:
    Grilla* g;
    std::shared_ptr<ListaAsientos> filas = std::make_shared<ListaAsientos>();
    std::shared_ptr<const OrigenGrilla> origen;
    void Altos(qsizetype desde, qsizetype hasta);
};
