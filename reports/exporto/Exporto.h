#pragma once
// Writes a report table to a file: PDF (paginated, the title and the page number on every page,
// amounts right-aligned), CSV or XLSX. The file appears whole or not at all; a failure leaves any
// earlier file of that name as it was and comes back as a Spanish message.
// CSV: UTF-8 with its byte-order mark, one line of column titles; amounts as plain numbers with two
// decimals (a comma with the ";" separator, a point with ","); codes without the blanks that indent
// them, the level of a hierarchical report in a column "Nivel" after the first code column; the hidden
// value where the table names it (the journal's stored entry number); a text that a spreadsheet would
// take for a formula is written behind an apostrophe, so that it stays text.
// XLSX: the title as the sheet's first row, dates as dates, entry numbers as numbers, amounts as
// numbers shown with two decimals, codes without indent, the levels as the rows' outline levels, the
// rows' bold and italic kept.
#include "reports/TablaReporte.h"

#include <QChar>
#include <QString>

enum class FormatoExporto { Ninguno, Pdf, Csv, Xlsx };

// The format named by the file's extension (letter case ignored).
FormatoExporto FormatoDeRuta(const QString& ruta);

// Decimal and thousands characters of the amounts in a PDF: those of the system's number format.
QChar DecimalSistema();
QChar MilesSistema();

// The CSV separator of the system: ";" where numbers take a decimal comma, "," elsewhere.
QChar SeparadorCsvSistema();
bool ExportoCsv(const TablaReporte& tabla, const QString& ruta, QString* error,
                QChar separador = SeparadorCsvSistema());
bool ExportoXlsx(const TablaReporte& tabla, const QString& ruta, QString* error);
// Needs a QGuiApplication (the offscreen platform will do).
bool ExportoPdf(const TablaReporte& tabla, const QString& ruta, QString* error,
                QChar decimal = DecimalSistema(), QChar miles = MilesSistema());
// By the extension of ruta: .pdf, .csv or .xlsx; any other gives an error.
bool ExportoTabla(const TablaReporte& tabla, const QString& ruta, QString* error,
                  QChar separadorCsv = SeparadorCsvSistema());
