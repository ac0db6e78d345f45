#include "journal/ui/frmConceptosAsiento.h"

#include "core/Dialecto.h"

frmConceptosAsiento::frmConceptosAsiento(QWidget* padre) : Catalogo(padre) {
    setObjectName("frmConceptosAsiento");
    setWindowTitle("Conceptos Asiento");
    sentencias.tabla = "ConceptosAsiento";
    sentencias.campoCodigo = "ConceptoAsiento";
    sentencias.campoDescripcion = "descConceptoAsiento";
    sentencias.lista = "SELECT DISTINCT * FROM ConceptosAsiento ORDER BY " +
                       Dialecto::Alfabetico("ConceptosAsiento.descConceptoAsiento");
    sentencias.registro = "SELECT * FROM ConceptosAsiento WHERE ConceptoAsiento=?";
    sentencias.alta = "INSERT INTO ConceptosAsiento (ConceptoAsiento, descConceptoAsiento) VALUES (?, ?)";
    sentencias.cambio =
        "UPDATE ConceptosAsiento SET ConceptoAsiento=?, descConceptoAsiento=? WHERE ConceptoAsiento=?";
    sentencias.baja = "DELETE FROM ConceptosAsiento WHERE ConceptosAsiento.ConceptoAsiento=?";
    // Pickers hand in the concept text already typed: the list opens on that description.
    posicionPorTexto = true;
}
