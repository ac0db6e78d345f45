#pragma once
// Offers made by a library that the screen making them cannot link (the model chart lives above the
// fiscal years screen). Nothing is offered while no offer is registered (tests of other screens).
#include <functional>

// Run once a new fiscal year has been stored.
void FijoOfertaEjercicioNuevo(std::function<void(int empresa, int ejercicio)> oferta);
void OfrezcoEjercicioNuevo(int empresa, int ejercicio);
