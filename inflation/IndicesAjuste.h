#pragma once
// The dated values of the inflation index tables (AjustesInflacion): reading and saving a range,
// the rule that finds the value for a date, and the import of a published monthly series from a
// CSV file. A table holds one value per date; values are index numbers, always positive.
#include "core/Contexto.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

struct ValorIndice {
    QDate fecha;
    double ajuste = 0;
    bool operator==(const ValorIndice&) const = default;
};

// Values of a table between two dates, both included, by date. An invalid date leaves that end open.
QVector<ValorIndice> CargoValores(int tabla, const QDate& desde = QDate(), const QDate& hasta = QDate(),
                                 const Contexto& ctx = Contexto());

// The value of a series (ordered by date) for a date: that of its earliest date on or after it.
std::optional<ValorIndice> IndiceAl(const QVector<ValorIndice>& serie, const QDate& fecha);

// Reads an index value as typed or published: a positive number with a decimal point or comma
// ("225,537" and "225.537" are the same number); a text with both takes the last one as decimal and
// the other as thousands separator. Anything else gives nothing.
std::optional<double> LeoValorIndice(const QString& texto);
// The value as the grids show it: up to six decimals, without trailing zeros.
QString TextoValorIndice(double valor, QChar decimal = u'.');

// One row of the values grid as the user left it.
struct FilaIndice {
    QString fecha; // dd/mm/yyyy
    QString valor;
};
// Turns the grid rows into values: every row needs a valid date and a positive value, and no date
// may appear twice. False with a Spanish explanation naming the row (or the date) otherwise.
bool VerificoFilas(const QVector<FilaIndice>& filas, QVector<ValorIndice>* valores, QString* error);

// Replaces the table's values between desde and hasta (the range that was loaded) by `valores`, in
// one transaction: on any failure nothing changes. A value dated outside that range may not fall on
// a date that already holds a value (it would be a second value for that date): refused naming it.
// Refused as well unless the context's user may write index values.
bool GuardoValores(const Contexto& ctx, int tabla, const QDate& desde, const QDate& hasta, const QVector<ValorIndice>& valores,
                   QString* error);

// Reads a published series from a CSV file: each row a month (yyyy-mm, stored under the month's last
// day so that any date of the month finds it) or a date (yyyy-mm-dd or dd/mm/yyyy) and a value, the
// fields separated by commas or semicolons, the value with a decimal point or comma (a value with a
// decimal comma in a comma-separated file goes between double quotes). When a row has more fields,
// a date among them gives the row's date and the last field is the value. A first line that is not
// data is taken as the column titles; blank lines are skipped. Any bad row, or a date given twice,
// fails the whole file with the line number.
bool LeoCsvIndices(const QString& archivo, QVector<ValorIndice>* valores, QString* error);
// The months ("mm/yyyy") of the values that already hold a stored value of the table.
QStringList MesesGuardados(int tabla, const QVector<ValorIndice>& valores);
// Stores the values read, replacing every stored value of the table in their months, in one
// transaction, when the context's user may import index values. False with the reason otherwise, or
// with TextoCancelado when the progress asked it to stop (the transaction rolled back: the table as it
// was).
class Progreso;
bool GuardoImportados(const Contexto& ctx, int tabla, const QVector<ValorIndice>& valores, QString* error,
                      Progreso* progreso = nullptr);

// The import as one call (the command-line program): reads the file and stores it into the table.
// When some months already hold values and `reemplazo` is false nothing is stored and *error names
// those months. *importados gets the number of values stored.
bool ImportoIndices(const Contexto& ctx, int tabla, const QString& archivo, bool reemplazo, int* importados,
                    QString* error, Progreso* progreso = nullptr);

// Description of an index table (empty when there is none).
QString DescripcionTabla(int tabla);
