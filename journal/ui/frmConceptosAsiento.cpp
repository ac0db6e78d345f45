#include "journal/ui/frmConceptosAsiento.h"

frmConceptosAsiento::frmConceptosAsiento(QWidget* padre) : Catalogo(padre) {
    setObjectName("frmConceptosAsiento");
    setWindowTitle("Conceptos Asiento");
    sentencias = SentenciasCatalogo::De("ConceptosAsiento", "ConceptoAsiento", "descConceptoAsiento", "frmConceptosAsiento");
    // Pickers hand in the concept text already typed: the list opens on that description.
    posicionPorTexto = true;
}
