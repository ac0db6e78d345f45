#pragma once
// Conceptos Asiento: standard descriptions of journal entry headers, shared by all companies.
#include "core/ui/Catalogo.h"

class frmConceptosAsiento : public Catalogo {
    Q_OBJECT
public:
    explicit frmConceptosAsiento(QWidget* padre = nullptr);
};
