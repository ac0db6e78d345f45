#pragma once
// Registers this subsystem's screens in the screen registry; called once by start-up.
void RegistroPantallasUtilidades();
