#include "maintenance/ui/RegistroMantenimiento.h"

#include "core/ui/Pantallas.h"

void RegistroPantallasMantenimiento() {}
