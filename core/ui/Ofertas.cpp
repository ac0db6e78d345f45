#include "core/ui/Ofertas.h"

namespace {
std::function<void(int, int)> ofertaEjercicioNuevo;
}

void FijoOfertaEjercicioNuevo(std::function<void(int empresa, int ejercicio)> oferta) {
    ofertaEjercicioNuevo = std::move(oferta);
}

void OfrezcoEjercicioNuevo(int empresa, int ejercicio) {
    if (ofertaEjercicioNuevo) ofertaEjercicioNuevo(empresa, ejercicio);
}
