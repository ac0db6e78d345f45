#pragma once
// Typed account entry on a Grilla: the account block of the grid's active row (or of a given row)
// resolved by accounts/IngresoCuenta.h, with the chart screen "frmCuentas" as the picker.
#include "accounts/IngresoCuenta.h"

class Grilla;

// After the user changed a cell of columns origen+2 to origen+4 of the active row.
bool IngresoCuenta(Grilla* grilla, int columna, int origen, const MaximosNivel& maximos);
// Opens the chart picker for `fila`, pre-searched with the edited cell's text.
bool SeleccionoCuenta(Grilla* grilla, int columna, int origen, int fila, int empresa, int ejercicio);
// Double-click on an account cell (columns 2 to 4 of a grid whose block starts at column 1): remembers
// the way of entry and opens the picker on the current company and year.
bool DobleClickCuenta(Grilla* grilla, int fila, int columna);
// Gives a grid column the picture mask of the chart's hierarchical codes.
void MascaraCodJer(Grilla* grilla, int columna, const MaximosNivel& maximos);
