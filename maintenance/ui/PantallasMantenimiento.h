#pragma once
// Hands the maintenance logic what it shows and asks through the screens: message boxes, the busy
// pointer, the notice of the automatic backup and the maintenance screen.
void InstaloInterlocutorMantenimiento();
