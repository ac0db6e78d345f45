#pragma once
// The print preview of every report and grid: pages drawn by the page renderer on the printer chosen
// with the main window's printer setup (the preview can also print or write a PDF).
#include "core/paginado/Paginado.h"

class QWidget;

void VistaPrevia(QWidget* padre, const QString& trabajo, const Paginado::Origen& origen,
                 const QList<TramoEncabezado>& encabezado, const Paginado::Opciones& opciones);
