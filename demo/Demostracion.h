#pragma once
// The demonstration book: a company with two fiscal years on a model chart of accounts, the published
// index series loaded into an index table, and a year of ordinary business per year (opening, sales,
// purchases, salaries, taxes, bank), closed and opened as an accountant does. Everything is generated
// the same way every time, so two books made on different machines hold the same figures.
#include "core/Contexto.h"

#include <QString>
#include <QVector>

namespace Demostracion {

inline const QString NombreEmpresa = QStringLiteral("Empresa Demostración S.A.");
// Its tax number (check digit 1 for 30-71234567) and address, printed under its name on the reports.
inline const QString CuitEmpresa = QStringLiteral("30-71234567-1");
inline const QString DomicilioEmpresa = QStringLiteral("Av. de Mayo 1234, Ciudad Autónoma de Buenos Aires");
inline const QString DescripcionTabla = QStringLiteral("Índice de ajuste por inflación (FACPCE)");

// One account of the model chart as the data file gives it; `padre` and `numHijo` come from its dotted
// code (the code "1.2.3" is the third child of "1.2"), `cuenta` is its number in the chart.
struct CuentaModelo {
    QString codigo;
    QString descripcion;
    bool deudora = true;
    bool resultado = false;
    bool ajustable = false;
    int cuenta = 0;
    int padre = 0;
    int numHijo = 0;
};

// The model chart in file order (parents before children). Empty with *error set when the data file
// cannot be read or a line is malformed (the line is named).
QVector<CuentaModelo> PlanModelo(QString* error);

// True when the year's chart holds nothing but its root account.
bool PlanVacio(int empresa, int ejercicio);
// Writes the model chart into a year whose chart holds only its root, in one transaction. False with
// the reason in *error (a year that already has accounts is refused and left as it was).
bool CopioPlanModelo(int empresa, int ejercicio, QString* error);

// True when the database holds no company at all: a first start, where the book is offered.
bool BaseSinEmpresas();

struct Creacion {
    bool ok = false;
    QString mensaje; // what was made, or why nothing was
    int empresa = 0;
    int asientos = 0;
};

// Makes the book in the open database, in one transaction: on any failure nothing is left. A database
// that already holds the demonstration company is left as it is. The entries are written on behalf of
// the context's user and session (its company and year are not used).
Creacion CreoDemostracion(const Contexto& ctx);

// The command-line switch: finds the database as the program does (settings beside the program, or in
// the user's configuration folder when the program's folder cannot be written), makes an empty one on
// a first start, and writes the book into it. Reports on the standard output or error; returns the
// exit status (0 made, 1 failed).
int DemostracionDeConsola(const QString& carpetaPrograma);

} // namespace Demostracion
