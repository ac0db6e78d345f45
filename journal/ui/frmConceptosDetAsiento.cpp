#include "journal/ui/frmConceptosDetAsiento.h"

frmConceptosDetAsiento::frmConceptosDetAsiento(QWidget* padre) : Catalogo(padre) {
    setObjectName("frmConceptosDetAsiento");
    setWindowTitle("Conceptos Detalles Asiento");
    sentencias =
        SentenciasCatalogo::De("ConceptosDetAsiento", "ConceptoDetAsiento", "descConceptoDetAsiento",
                                        "frmConceptosDetAsiento");
    // Pickers hand in the legend of the cell they were opened from: the list opens on it.
    posicionPorTexto = true;
}
