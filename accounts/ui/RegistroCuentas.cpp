#include "accounts/ui/RegistroCuentas.h"

#include "core/ui/Pantallas.h"

void RegistroPantallasCuentas() {}
