#pragma once
// Reading the settings files into the application state at start-up.
#include <QString>
#include <QVariant>

// Folder of the local settings file: the program's folder when it can be written, otherwise the
// per-user configuration folder (an installed program lives in a folder the user cannot write).
QString CarpetaAjustes(const QString& carpetaPrograma, const QString& carpetaUsuario);
// Sets the program and settings folders of the application state from the program's folder.
void FijoCarpetas(const QString& carpetaPrograma);

// Paths of the global settings file, the database and the work-group file, and the SQL dialect switch.
void LeoConfiguracion();
// The last company and fiscal year used. Without a stored year neither is restored; a company that
// is not a number counts as none.
void RestauroEjercicio();
// Stores the pair chosen with the fiscal-year command.
bool GuardoEjercicio(int empresa, int ejercicio);
// Makes a chosen pair the current company and year and stores it. Either value not a whole number
// (nothing was handed back): false, and nothing changes.
bool AdoptoEjercicio(const QVariant& empresa, const QVariant& ejercicio);

// True when the current company and fiscal year name a stored year.
bool EjercicioActualExiste();
