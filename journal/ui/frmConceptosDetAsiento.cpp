#include "journal/ui/frmConceptosDetAsiento.h"

#include "core/Dialecto.h"

frmConceptosDetAsiento::frmConceptosDetAsiento(QWidget* padre) : Catalogo(padre) {
    setObjectName("frmConceptosDetAsiento");
    setWindowTitle("Conceptos Detalles Asiento");
    sentencias.tabla = "ConceptosDetAsiento";
    sentencias.campoCodigo = "ConceptoDetAsiento";
    sentencias.campoDescripcion = "descConceptoDetAsiento";
    sentencias.lista = "SELECT DISTINCT * FROM ConceptosDetAsiento ORDER BY " +
                       Dialecto::Alfabetico("ConceptosDetAsiento.descConceptoDetAsiento");
    sentencias.registro = "SELECT * FROM ConceptosDetAsiento WHERE ConceptoDetAsiento=?";
    sentencias.alta =
        "INSERT INTO ConceptosDetAsiento (ConceptoDetAsiento, descConceptoDetAsiento) VALUES (?, ?)";
    sentencias.cambio = "UPDATE ConceptosDetAsiento SET ConceptoDetAsiento=?, descConceptoDetAsiento=? WHERE "
                        "ConceptoDetAsiento=?";
    sentencias.baja = "DELETE FROM ConceptosDetAsiento WHERE ConceptosDetAsiento.ConceptoDetAsiento=?";
    // Pickers hand in the legend of the cell they were opened from: the list opens on it.
    posicionPorTexto = true;
}
