#pragma once
// Writes a report table to a file: PDF (paginated, the title and the page number on every page,
// amounts right-aligned), CSV (UTF-8, one line of column titles, amounts as plain numbers with a point
// and two decimals) or XLSX (the title as the sheet's first row, amounts as numbers shown with two
// decimals, the rows' bold and italic kept). The file appears whole or not at all; a failure leaves
// any earlier file of that name as it was and comes back as a Spanish message.
#include "reports/TablaReporte.h"

#include <QChar>
#include <QString>

enum class FormatoExporto { Ninguno, Pdf, Csv, Xlsx };

// The format named by the file's extension (letter case ignored).
FormatoExporto FormatoDeRuta(const QString& ruta);

// Decimal and thousands characters of the amounts in a PDF: those of the system's number format.
QChar DecimalSistema();
QChar MilesSistema();

bool ExportoCsv(const TablaReporte& tabla, const QString& ruta, QString* error);
bool ExportoXlsx(const TablaReporte& tabla, const QString& ruta, QString* error);
// Needs a QGuiApplication (the offscreen platform will do).
bool ExportoPdf(const TablaReporte& tabla, const QString& ruta, QString* error,
                QChar decimal = DecimalSistema(), QChar miles = MilesSistema());
// By the extension of ruta: .pdf, .csv or .xlsx; any other gives an error.
bool ExportoTabla(const TablaReporte& tabla, const QString& ruta, QString* error);
