#pragma once
// Application-wide state: one instance for the run; tests reset it with Reinicio().
#include "core/ConsultaSql.h"

#include <QString>
#include <QVariant>
#include <QVariantList>


struct AppState {
    // Folder of the program: holds Partidex.ini and, by default, the database.
    QString programFolder;
    // Folder of the local settings file (the program's folder, or the per-user configuration
    // folder when the program's folder is not writable).
    QString settingsFolder;

    QString databasePath;
    QString workgroupPath;
    QString globalIniPath;
    QString backupPath;
    QString auxPath;
    QString helpPath;
    bool sqlAccess = true;

    bool loginAccepted = false;
    int currentUser = 0;
    int currentCompany = 0;
    int currentYear = 0;
    int currentSession = 0;

    // Selection hand-over between a caller and a screen opened as a picker.
    int selectionCode = -1;    // number chosen in the picker; -1 = nothing chosen
    QString selectionText;     // text of the chosen row
    QVariant preselection;     // what the caller hands to the screen (row, true, a year); Null after start-up
    QVariant companyParameter; // company handed to and back from the fiscal years screen

    // Chart picker values (the chart of accounts screen and the account lookup).
    int chartCompany = 0;
    int chartYear = 0;
    QString searchText;
    QString pickCodJer;
    QString pickDescripcion;
    QString pickCodInt;
    bool chartPickOnly = false; // the chart screen opens only to pick an account (read-only); reset on opening

    // Rows of the entries the journal editor lists, as the entry search (or a command naming one
    // entry) leaves them: columns Fecha, Concepto (of the entry), Descripcion, Asiento, Detalle, CodInt,
    // Importe, in that order, the rows of one entry consecutive. Empty leaves the list as it is.
    ConsultaSql entryListQuery;

    QString LocalIni() const; // full path of Partidex.ini
    void Reinicio();          // back to the state of a program that has just started
};

// The one instance.
AppState& App();

struct Contexto;
// The context of the application state: the current company, year, user and session, on the shared
// connection. Screens and the command-line program make their context here; logic takes it as a value.
Contexto ContextoActual();
