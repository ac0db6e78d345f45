#include "inflation/ui/frmTablasAjusteInflacion.h"

#include "core/Dialecto.h"

frmTablasAjusteInflacion::frmTablasAjusteInflacion(QWidget* padre) : Catalogo(padre) {
    setObjectName("frmTablasAjusteInflacion");
    setWindowTitle("Tablas Ajuste Inflación");
    sentencias.tabla = "TablasAjusteInflacion";
    sentencias.campoCodigo = "TablaAjusteInflacion";
    sentencias.campoDescripcion = "descTablaAjusteInflacion";
    sentencias.lista = "SELECT DISTINCT * FROM TablasAjusteInflacion ORDER BY " +
                       Dialecto::Alfabetico("TablasAjusteInflacion.descTablaAjusteInflacion");
    sentencias.registro = "SELECT * FROM TablasAjusteInflacion WHERE TablaAjusteInflacion=?";
    sentencias.alta =
        "INSERT INTO TablasAjusteInflacion (TablaAjusteInflacion, descTablaAjusteInflacion) VALUES (?, ?)";
    sentencias.cambio = "UPDATE TablasAjusteInflacion SET TablaAjusteInflacion=?, descTablaAjusteInflacion=? "
                        "WHERE TablaAjusteInflacion=?";
    sentencias.baja = "DELETE FROM TablasAjusteInflacion WHERE TablasAjusteInflacion.TablaAjusteInflacion=?";
}
