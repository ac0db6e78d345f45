#include "inflation/ui/RegistroInflacion.h"

#include "core/ui/Pantallas.h"

void RegistroPantallasInflacion() {}
