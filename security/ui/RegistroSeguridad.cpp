#include "security/ui/RegistroSeguridad.h"

#include "core/ui/Pantallas.h"

void RegistroPantallasSeguridad() {}
