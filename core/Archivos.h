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

// Who may read the files of the books (a new book, a backup, a server's dump): their owner alone
// (0600), or also the group where the folder is shared by one, that is, where it is group-writable
// or passes its group on to new files (setgid): a book read and written by the group (0660), a
// backup only read (0640).
int ModoPrivado(const QString& ruta, bool grupoEscribe);
// Creates ruta empty with that mode (never over an existing file), for a program that then writes
// into it; false with the reason otherwise.
bool CreoArchivoPrivado(const QString& ruta, bool grupoEscribe, QString* error = nullptr);
