#include "utilities/ui/RegistroUtilidades.h"

#include "core/ui/Pantallas.h"

void RegistroPantallasUtilidades() {}
