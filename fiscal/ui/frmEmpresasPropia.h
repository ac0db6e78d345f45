#pragma once
// Companies: the catalogue of the firms whose books are kept, with each one's tax number (CUIT) and
// address. A new company receives a copy of the print layout rows of the highest-numbered company
// that has any.
#include "core/ui/Catalogo.h"

class frmEmpresasPropia : public Catalogo {
    Q_OBJECT
public:
    explicit frmEmpresasPropia(QWidget* padre = nullptr);

    QLineEdit* inpCUIT = nullptr;
    QLineEdit* inpDomicilio = nullptr;

protected:
    void MuestroCampos(const FilaLeida& r) override;
    void CamposNuevos() override;
    bool ValidoCampos() override;
    Resultado GraboRegistro(int* codigoGuardado) override;
};
