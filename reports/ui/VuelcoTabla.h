#pragma once
// How every report pours the table its logic built into its grid, so that the grid shows exactly
// what is printed and exported.
#include "reports/TablaReporte.h"

#include <QList>

class Grilla;

// Columns of a report grid from its table: the titles, the widths (pixels), amounts as number cells
// with two decimals (with thousands separators when `miles`), and the columns whose text wraps.
void PreparoGrillaReporte(Grilla* grilla, const TablaReporte& tabla, const QList<int>& anchos, bool miles,
                          const QList<int>& ajustadas = {});
// Writes every row of the table into the grid (emptied first; a grid with another number of columns is
// first prepared from the table): texts, amounts, the row's font and
// its hidden value; a row whose wrapped text does not fit its column is made as tall as it needs.
void VuelcoTabla(Grilla* grilla, const TablaReporte& tabla);
