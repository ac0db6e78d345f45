#include "journal/ui/RegistroAsientos.h"

#include "core/ui/Pantallas.h"

void RegistroPantallasAsientos() {}
