#pragma once
// Reading the settings files into the application state at start-up.
#include <QString>
#include <QVariant>

// Folder of the local settings file: the program's folder when it can be written, otherwise the
// per-user configuration folder (an installed program lives in a folder the user cannot write).
QString CarpetaAjustes(const QString& carpetaPrograma, const QString& carpetaUsuario);
// Sets the program and settings folders of the application state from the program's folder.
void FijoCarpetas(const QString& carpetaPrograma);

// Section of the local settings that holds the backup and scratch paths.
inline const QString SeccionMantenimiento = QStringLiteral("Mantenimiento de Base de Datos");

// Paths of the global settings file, the database, the work-group file, the backup and the scratch
// file, and the SQL dialect switch.
void LeoConfiguracion();
// The database and the local settings file the settings name.
QString BaseConfigurada();
QString IniLocal();
// The backup and scratch paths alone (path rule), into the application state.
void LeoRutasMantenimiento();
// What is wrong with the settings files themselves (a path with control characters, a FIFO, a
// device or a folder in the place of a file), or with where they are read from (a program folder that
// cannot be written but holds the books, which the per-user folder would silently replace with an
// empty database), in a message; empty when nothing is.
QString ProblemaConfiguracion();
// A warning the start shows and goes on after, or empty: a server password (Contrasena=) kept in a
// settings file that others than its owner can read.
QString AvisoConfiguracion();
// True when the database is the one a first start makes: no Base key, or Partidex.MDB in the program's
// or the settings folder. Any other missing database is a mistake to be reported, not a file to make.
bool BasePorDefecto();
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
