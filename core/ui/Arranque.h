#pragma once
// Start-up: settings, maintenance, structure check, connection, login, last company and year,
// session, caption and main window.
#include "core/Basedatos.h"

#include <QString>
#include <functional>

// The maintenance subsystem hands these in at registration (core cannot link it).
// The start-up maintenance, told the result of the structure check that start-up has just run (-1:
// start-up left it to the maintenance's backup). It returns the diagnosis of the examination its
// backup made of every page: a book refused there is reported by start-up as one its own examination
// refuses (Partidex when sound or not examined).
void FijoMantenimientoInicial(std::function<Diagnostico(int estructura)> mantenimiento);
// The structure check: 0 as delivered, 1 a count differs (warnings shown), 2 cannot be read.
void FijoVerificoEstructura(std::function<int(const QString& ruta)> verificacion);
// The checked backup taken before a database of an older version is upgraded; true when made, else
// cancelado tells whether the user stopped it.
void FijoRespaldoPrevio(std::function<bool(bool& cancelado)> respaldo);
// The offer of the maintenance screen made when the database is damaged; true when it was opened.
void FijoOfertaMantenimiento(std::function<bool()> oferta);
// Whether this start's maintenance copies the book (its scheduled backup is due). Start-up itself reads
// the file's header and catalogue alone, whatever the book's size; every page and the books' rules are
// read where they protect something: by the backup, behind its progress window (and before every
// compaction and upgrade). When the backup is due, the structure check is left to it too.
void FijoRespaldoPendiente(std::function<bool()> pendiente);

// The offer made once the user has logged in on the start that created the database (the demonstration
// book lives above core); it may change the current company and year.
void FijoOfertaInicial(std::function<void()> oferta);

// Loads Qt's own Spanish texts ("Sí", "No", "Cancelar" in message boxes and standard dialogs).
// Returns false when the translation file is not installed (the program goes on in English there).
bool CargoTraducciones();

// Runs the start-up sequence. Returns false when the program must end (login cancelled, database that
// cannot be opened); true once the main window is shown. The database is examined before anything
// writes to it: a missing one is made only on a first start or when the user agrees, one of an older
// version is upgraded after a checked backup, and any other (foreign, newer, damaged, incomplete, not a
// file) is left as it was, with a message that says what it is and what to do.
bool Arranque();
