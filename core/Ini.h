#pragma once
// Settings files in the private-profile format: [Section] lines and key=value lines.
#include <QString>

// Reads a key; a missing file, section or key gives the default, a present empty value the empty
// text. Section and key names compare without regard to letter case; a value is cut to 127 characters.
QString LeoIni(const QString& archivo, const QString& seccion, const QString& clave, const QString& defecto);
// Writes a key, keeping the rest of the file as it was. Returns false when the file cannot be written.
bool EscriboIni(const QString& archivo, const QString& seccion, const QString& clave, const QString& valor);

// Path rule for every file path read from a settings file: Windows absolute forms ("X:", "\\") and
// absolute POSIX paths are taken as written; anything else is relative to the settings folder.
QString RutaCompleta(const QString& valor);

// Shorthands for the local (Partidex.ini) and global settings files of the application state. These
// and RutaCompleta are defined with the settings (core/Configuracion.cpp), which know where the files are.
QString LeoLocal(const QString& seccion, const QString& clave, const QString& defecto);
bool EscriboLocal(const QString& seccion, const QString& clave, const QString& valor);
QString LeoGlobal(const QString& seccion, const QString& clave, const QString& defecto);
bool EscriboGlobal(const QString& seccion, const QString& clave, const QString& valor);
