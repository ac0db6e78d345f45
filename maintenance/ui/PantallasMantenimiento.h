#pragma once
// Hands the maintenance logic what it shows and asks through the screens: message boxes, the busy
// pointer, the notice of the automatic backup and the maintenance screen.
#include "maintenance/Mantenimiento.h"

void InstaloInterlocutorMantenimiento();
// The books, backup and scratch paths of the application state, as the settings gave them.
Mantenimiento::Rutas RutasDeAjustes();
