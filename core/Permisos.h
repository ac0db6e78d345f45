#pragma once
// Permission levels: each profile is granted, per module (a screen known by its window name, or an
// action of its own such as the deletion of entries), one level. The screens apply it to their
// controls (core/ui/AplicoPermisos.h); the logic behind every writing action asks Autorizo, so that
// a level holds whoever calls it.
#include "core/Contexto.h"

#include <QString>

namespace Permisos {
enum Nivel {
    Inhabilitado = 0,     // the screen does not open
    Habilitado = 1,       // full use
    SoloLectura = 2,      // marked controls read-only
    SinEliminaciones = 3, // delete controls disabled
};

// Modules that are actions rather than screens (their rows come with the books like the others).
inline const QString EliminacionAsientos = QStringLiteral("EliminacionAsientos");
inline const QString ImportacionIndices = QStringLiteral("ImportacionIndices");
inline const QString CopiaSeguridad = QStringLiteral("CopiaSeguridad");
inline const QString Recuperacion = QStringLiteral("RecuperacionBackUp");
} // namespace Permisos

// What a logic operation does with a module's data.
enum class Accion { Leer, Escribir, Eliminar };

// The module that governs a screen: its own window name, or the module of the screen it belongs to
// (the statements' headings are part of the chart of accounts). Empty when the books list no such
// module: the screen is open to everybody (the calculator, a report with no grant of its own).
QString ModuloDePantalla(const QString& pantalla);
// The module's descriptive name, or its name when it has none.
QString DescripcionModulo(const QString& modulo);

// Level granted to the context user's profile for the window; 0 when the profile has no grant (or
// the user or the module is unknown). Any stored value is returned as it stands (0-255).
int NivelPermiso(const Contexto& ctx, const QString& ventana);
// The same for a given user (the login of another user, tests).
int NivelPermisoUsuario(int usuario, const QString& ventana);

// Whether the level allows the action: 0 nothing; 2 reading only; 3 all but deleting; 1, and any value
// outside 0-3 (which restricts nothing on a screen either), everything.
bool NivelPermite(int nivel, Accion accion);

// Whether the context's user may do the action on the module, read on the context's connection: the
// user must be active and the profile's level must allow it. A context of no user (usuario 0) is
// refused, unless it is the system's own (Contexto::DelSistema: generated books, upgrades). On a
// refusal *error, when given, holds the Spanish reason.
bool Autorizo(const Contexto& ctx, const QString& modulo, Accion accion, QString* error = nullptr);
