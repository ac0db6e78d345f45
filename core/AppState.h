#pragma once
// Application-wide state: one instance for the run; tests reset it with Reinicio().
#include <QString>
#include <QVariant>

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

    QString LocalIni() const; // full path of Partidex.ini
    void Reinicio();          // back to the state of a program that has just started
};

// The one instance.
AppState& App();
