#pragma once
// Permission levels: each profile is granted, per module (a screen known by its window name), one level.
#include "core/Contexto.h"

#include <QString>

namespace Permisos {
enum Nivel {
    Inhabilitado = 0,     // the screen does not open
    Habilitado = 1,       // full use
    SoloLectura = 2,      // marked controls read-only
    SinEliminaciones = 3, // delete controls disabled
};
} // namespace Permisos

// Level granted to the context user's profile for the window; 0 when the profile has no grant (or
// the user or the module is unknown). Any stored value is returned as it stands (0-255).
int NivelPermiso(const Contexto& ctx, const QString& ventana);
// The same for a given user (the login of another user, tests).
int NivelPermisoUsuario(int usuario, const QString& ventana);
