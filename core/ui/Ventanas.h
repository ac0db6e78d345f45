#pragma once
// Helpers for placing windows and filling lists.
#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

struct Opcion;
class QComboBox;
class QWidget;

// Clears the list and adds one item per choice (core/CatalogoDatos.h, OpcionesCatalogo), keeping each
// choice's number in ids; selects item 0.
void LlenoCombo(QComboBox* lista, const QList<Opcion>& opciones, QVector<int>& ids);
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
