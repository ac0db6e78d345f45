#include "reports/ui/RegistroReportes.h"

#include "core/ui/Pantallas.h"

void RegistroPantallasReportes() {}
