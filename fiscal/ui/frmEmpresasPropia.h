#pragma once
// Companies: the catalogue of the firms whose books are kept. A new company receives a copy of the
// print layout rows of the highest-numbered company that has any.
#include "core/ui/Catalogo.h"

class frmEmpresasPropia : public Catalogo {
    Q_OBJECT
public:
    explicit frmEmpresasPropia(QWidget* padre = nullptr);

protected:
    Resultado GraboRegistro(int* codigoGuardado) override;
};
