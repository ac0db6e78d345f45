#pragma once
// Conceptos Detalles Asiento: standard legends of journal entry lines, shared by all companies.
#include "core/ui/Catalogo.h"

class frmConceptosDetAsiento : public Catalogo {
    Q_OBJECT
public:
    explicit frmConceptosDetAsiento(QWidget* padre = nullptr);
};
