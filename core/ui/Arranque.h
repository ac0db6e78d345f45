#pragma once
// Start-up: settings, maintenance, structure check, connection, login, last company and year,
// session, caption and main window.
#include <QString>
#include <functional>

// The maintenance subsystem hands these in at registration (core cannot link it).
void FijoMantenimientoInicial(std::function<void()> mantenimiento);
void FijoVerificoEstructura(std::function<int(const QString& ruta)> verificacion);

// Loads Qt's own Spanish texts ("Sí", "No", "Cancelar" in message boxes and standard dialogs).
// Returns false when the translation file is not installed (the program goes on in English there).
bool CargoTraducciones();

// Runs the start-up sequence. Returns false when the program must end (login cancelled, database that
// cannot be opened); true once the main window is shown.
bool Arranque();
