#include "fiscal/ui/frmEmpresasPropia.h"

frmEmpresasPropia::frmEmpresasPropia(QWidget* padre) : Catalogo(padre) {
    setObjectName("frmEmpresasPropia");
    setWindowTitle("Empresas Propias");
    sentencias = SentenciasCatalogo::De("EmpresasPropia", "EmpresaPropia", "descEmpresaPropia");
    // A new company gets Null in the columns that no screen edits.
    sentencias.alta =
        "INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia, RespIVA, EmpresaPropiaEj, "
        "NumEjercicio, CuentaCompras, CuentaVentas, CreditoDefecto, DebitoDefecto) "
        "VALUES (?, ?, Null, Null, Null, Null, Null, Null, Null)";
}

Resultado frmEmpresasPropia::GraboRegistro(int* codigoGuardado) {
    Resultado r = Catalogo::GraboRegistro(codigoGuardado);
    if (!r.ok || !adding) return r;
    // Runs in the same transaction as the insert: a failure leaves neither the company nor its layout.
    return Ejecuto(
        "INSERT INTO PrepararPagina (EmpresaPropia, TipoImpresion, Control, CoordX, CoordY, Ancho, "
        "Alto, TipoLetra, TamanoLetra, Bold, Italic, Underline, Visible, TextoFijo, Recuadro, "
        "FormatoNumero) "
        "SELECT ?, TipoImpresion, Control, CoordX, CoordY, Ancho, Alto, TipoLetra, TamanoLetra, Bold, "
        "Italic, Underline, Visible, TextoFijo, Recuadro, FormatoNumero FROM PrepararPagina "
        "WHERE EmpresaPropia=(SELECT Max(EmpresaPropia) FROM PrepararPagina)",
        {*codigoGuardado});
}
