#include "inflation/ui/frmTablasAjusteInflacion.h"

frmTablasAjusteInflacion::frmTablasAjusteInflacion(QWidget* padre) : Catalogo(padre) {
    setObjectName("frmTablasAjusteInflacion");
    setWindowTitle("Tablas Ajuste Inflación");
    sentencias =
        SentenciasCatalogo::De("TablasAjusteInflacion", "TablaAjusteInflacion", "descTablaAjusteInflacion",
                                        "frmTablasAjusteInflacion");
}
