#include "fiscal/ui/RegistroEjercicios.h"

#include "core/ui/Pantallas.h"

void RegistroPantallasEjercicios() {}
