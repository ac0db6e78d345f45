#pragma once
// How every report pours the table its logic built into its grid, so that the grid shows exactly
// what is printed and exported.
#include "reports/TablaReporte.h"

#include <QList>
#include <memory>

class Grilla;

// Columns of a report grid from its table: the titles, the widths (pixels), amounts as number cells
// with two decimals (with thousands separators when `miles`), and the columns whose text wraps.
void PreparoGrillaReporte(Grilla* grilla, const TablaReporte& tabla, const QList<int>& anchos, bool miles,
                          const QList<int>& ajustadas = {});
// Writes every row of the table into the grid (emptied first; a grid with another number of columns is
// first prepared from the table): texts, amounts, the row's font and
// its hidden value; a row whose wrapped text does not fit its column is made as tall as it needs.
void VuelcoTabla(Grilla* grilla, const TablaReporte& tabla);
// Shows the rows a report has read so far while it goes on reading, in a grid prepared for its table:
// the grid reads them in the store, which only grows at its end and which the grid keeps alive. The
// first call shows them from the start; each later one adds the rows read since, leaving the rows
// shown, the selection and the scroll as they are. Rows of wrapped texts keep one line's height.
void VuelcoCreciente(Grilla* grilla, const std::shared_ptr<const FilasReporte>& filas);
