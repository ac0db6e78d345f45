#pragma once
// Small helpers shared by the catalogue tests.
#include "core/ui/Catalogo.h"
#include "core/ui/Grilla.h"

// Row of the list that shows the description, or 0.
inline int FilaDe(const Catalogo& c, const QString& descripcion) {
    for (int f = 1; f <= c.sprMaster->filas(); ++f)
        if (c.sprMaster->texto(f, 2) == descripcion) return f;
    return 0;
}
