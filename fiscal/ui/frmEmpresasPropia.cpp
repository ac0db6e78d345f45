#include "fiscal/ui/frmEmpresasPropia.h"

#include "fiscal/Empresas.h"

frmEmpresasPropia::frmEmpresasPropia(QWidget* padre) : Catalogo(padre) {
    setObjectName("frmEmpresasPropia");
    setWindowTitle("Empresas Propias");
    sentencias = Empresas::Sentencias();
}

Resultado frmEmpresasPropia::GraboRegistro(int* codigoGuardado) {
    Resultado r = Catalogo::GraboRegistro(codigoGuardado);
    if (!r.ok || !adding) return r;
    // Runs in the same transaction as the insert: a failure leaves neither the company nor its layout.
    return Empresas::CopioDisposicion(*codigoGuardado);
}
