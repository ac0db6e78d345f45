#pragma once
// Enforcement of the permission levels on a window's controls. A control governed by the level
// carries a tag (the dynamic property "tag"): "RO" an editing control, "RO2" a delete control; any
// tag that begins with "RO" is governed, compared exactly in letter case.
#include <QString>

class QWidget;

// Marks a control.
void MarcoControl(QWidget* control, const QString& tag);
QString TagControl(const QWidget* control);

// Applies a level to the window's marked controls (levels outside 0-3 change nothing):
// 1 re-enables them when `reenable`; 2 makes them read-only (grids) or disabled; 3 disables the
// delete controls and, when `reenable`, re-enables the others.
void AplicoNivel(QWidget* ventana, int nivel, bool reenable);

// Looks up the current user's level for the window (by its objectName) and applies it. Level 0 marks
// the window as refused (property "rechazada"), so that the registry never shows it. Returns the level.
int PermisoModulo(QWidget* ventana, bool reenable);
