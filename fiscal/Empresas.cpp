#include "fiscal/Empresas.h"

namespace Empresas {

SentenciasCatalogo Sentencias() {
    SentenciasCatalogo s = SentenciasCatalogo::De("EmpresasPropia", "EmpresaPropia", "descEmpresaPropia");
    s.alta = "INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia, RespIVA, EmpresaPropiaEj, "
             "NumEjercicio, CuentaCompras, CuentaVentas, CreditoDefecto, DebitoDefecto) "
             "VALUES (?, ?, Null, Null, Null, Null, Null, Null, Null)";
    return s;
}

Resultado CopioDisposicion(int empresa) {
    return Ejecuto(
        "INSERT INTO PrepararPagina (EmpresaPropia, TipoImpresion, Control, CoordX, CoordY, Ancho, "
        "Alto, TipoLetra, TamanoLetra, Bold, Italic, Underline, Visible, TextoFijo, Recuadro, "
        "FormatoNumero) "
        "SELECT ?, TipoImpresion, Control, CoordX, CoordY, Ancho, Alto, TipoLetra, TamanoLetra, Bold, "
        "Italic, Underline, Visible, TextoFijo, Recuadro, FormatoNumero FROM PrepararPagina "
        "WHERE EmpresaPropia=(SELECT Max(EmpresaPropia) FROM PrepararPagina)",
        {empresa});
}

QList<Opcion> Opciones(const Contexto& ctx) {
    return OpcionesCatalogo(ctx, "EmpresasPropia", "descEmpresaPropia");
}

} // namespace Empresas
