#pragma once
// Saved layouts of the screens that remember them between runs: window size, position and state,
// grid column widths and tool-bar band widths, one section of Partidex.ini per screen.
//
// Keys: Ancho, Largo, Left, Top (window measures in twips, 1/1440 inch, so that the numbers keep
// their meaning on another screen resolution), Estado (0 normal, 1 minimised, 2 maximised),
// grid name + "Col" + n (column width in pixels, n from 1), tool-bar name + "Banda" + n (band width
// in pixels, n from 1). An MDI screen is measured through the QMdiSubWindow that holds it.
#include <QString>

class Grilla;
class QWidget;

// Size and position are written only while the window is in its normal state, so a window closed
// maximised keeps the normal size saved before; the state is always written.
void GuardoVentana(const QString& seccion, QWidget* ventana);
// Ancho and Largo applied when greater than 0, Left and Top when 0 or more, then Estado.
void RecuperoVentana(const QString& seccion, QWidget* ventana);

// One key per column, every column: a hidden one is written with width 0.
void GuardoColumnas(const QString& seccion, const Grilla* grilla);
// Every column with a key takes its width: 0 hides the column, a width shows it. Columns without a key
// (or with one that is not a number) keep theirs. A screen that hides a column by design hides it
// after restoring.
void RecuperoColumnas(const QString& seccion, Grilla* grilla);

// Bands of a tool bar: the panes of a QSplitter, or the widgets (separators aside) of a QToolBar or
// of any other container laid out with a layout, in order. Restoring a QSplitter sets its pane sizes;
// restoring widgets fixes their widths, as a user-sized band keeps its width.
void GuardoBandas(const QString& seccion, QWidget* barra);
void RecuperoBandas(const QString& seccion, QWidget* barra);

// Measures between pixels and twips on the widget's screen.
int PixelesATwips(int pixeles, int dpi);
int TwipsAPixeles(double twips, int dpi);
