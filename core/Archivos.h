#pragma once
// Paths read from the settings: what kind of thing they name, before anything opens them.
#include <QString>

// The path is empty or holds a control character (a NUL byte, a line break): it must not reach the
// file system, which would cut it at the first NUL and open another file.
bool RutaConControles(const QString& ruta);
// The path as it can be shown in a message: control characters written as \0, \n, \x1f ...
QString RutaVisible(const QString& ruta);
// For a path that exists but is not a regular file: what it is, in words ("una carpeta",
// "un dispositivo", "una tubería (FIFO)" ...). Empty for a regular file or a missing path.
// Nothing is opened: a FIFO would block whoever opens it for reading.
QString ClaseNoComun(const QString& ruta);
// Removes the scratch files a killed backup or database creation left beside `destino`: files named
// destino + prefijo + eight hexadecimal digits (with their -wal / -shm companions) untouched for an
// hour. A copy another workstation is still writing keeps changing, so it is left alone; nothing
// else is ever removed. Returns how many were removed.
int BorroRestos(const QString& destino, const QString& prefijo);
