#pragma once
// Enforcement of the permission levels on a window's controls. A control governed by the level
// carries a tag (the dynamic property "tag"): "RO" an editing control, "RO2" a delete control; any
// tag that begins with "RO" is governed, compared exactly in letter case. A control that does an
// action with a module of its own (the deletion of entries, the import of indexes, a backup) is
// marked with that module and action as well.
#include "core/Permisos.h"

#include <QString>

class QWidget;

// Marks a control.
void MarcoControl(QWidget* control, const QString& tag);
QString TagControl(const QWidget* control);
// Marks a control that does the action on a module other than its screen's.
void MarcoAccion(QWidget* control, const QString& modulo, Accion accion);

// Applies a level to the window's marked controls (levels outside 0-3 change nothing):
// 1 re-enables them when `reenable`; 2 makes them read-only (grids) or disabled; 3 disables the
// delete controls and, when `reenable`, re-enables the others. A control the level restricts stays
// restricted whatever the screen does with it afterwards, until a level re-enables it.
void AplicoNivel(QWidget* ventana, int nivel, bool reenable);
// Disables the controls marked with an action the current user's profile does not allow.
void AplicoAcciones(QWidget* ventana);

// Looks up the current user's level for the window (by its objectName) and applies it. Level 0 marks
// the window as refused (property "rechazada"), so that the registry never shows it. Returns the level.
int PermisoModulo(QWidget* ventana, bool reenable);

// What the screen registry asks before it builds a screen: the current user's level for the module
// that governs it, or -1 for a screen no module governs (nor the books, when none are open yet: the
// start-up offers). At 0 the user is told why the screen does not open.
int NivelAlAbrir(const QString& pantalla);
// What it does once a governed screen is built: applies that level and the marked actions.
void AplicoAlAbrir(QWidget* ventana, int nivel);
