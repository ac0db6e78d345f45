#pragma once
// Tablas Ajuste Inflación: the inflation index tables; their dated values live in AjustesInflacion.
#include "core/ui/Catalogo.h"

class frmTablasAjusteInflacion : public Catalogo {
    Q_OBJECT
public:
    explicit frmTablasAjusteInflacion(QWidget* padre = nullptr);
};
