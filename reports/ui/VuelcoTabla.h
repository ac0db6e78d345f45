#pragma once
// Pours a report table into a report grid: one grid row per table row, amounts as plain numbers the
// grid formats, the row's font. A grid with another number of columns is first given the table's
// columns (titles, amount columns as number cells with two decimals and thousands separators).
#include "reports/TablaReporte.h"

class Grilla;

void VuelcoTabla(Grilla* grilla, const TablaReporte& tabla);
