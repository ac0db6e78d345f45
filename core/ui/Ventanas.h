#pragma once
// Helpers for placing windows and filling lists.
#include <QString>
#include <QVariant>
#include <QVector>

class QComboBox;
class QWidget;

// Clears the list, runs "SELECT * FROM table ORDER BY displayField" and adds one item per row (the
// display field through NuloAVacio), keeping each row's first column in ids; selects item 0.
void LlenoCombo(QComboBox* lista, const QString& tabla, const QString& campoMostrado, QVector<int>& ids);
// First index whose identifier equals the value, or -1.
int IndiceEnLista(const QVariant& valor, const QVector<int>& ids);

// Centres a window on the screen.
void CentroVentana(QWidget* ventana);
// Places a panel inside a window: below the tool strip Picture1 and a third of the free space down
// and across.
void UbicoPanel(QWidget* ventana, QWidget* panel);
// The longest prefix of the text padded with 200 blanks that fits the width on the window, less the
// width of "||||".
QString AjustoTexto(const QString& texto, int ancho, const QWidget* ventana);
