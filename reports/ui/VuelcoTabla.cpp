#include "reports/ui/VuelcoTabla.h"

#include "core/ui/Grilla.h"

void VuelcoTabla(Grilla* g, const TablaReporte& tabla) {
    const int columnas = int(tabla.columnas.size());
    if (g->columnas() != columnas) {
        g->setColumnas(columnas);
        for (int c = 1; c <= columnas; ++c) {
            g->setEncabezado(c, tabla.columnas[c - 1]);
            if (tabla.importes.value(c - 1)) {
                TipoCelda numero;
                numero.clase = TipoCelda::Numero;
                numero.decimales = 2;
                numero.miles = true;
                g->setTipoColumna(c, numero);
            }
        }
    }
    g->setFilas(int(tabla.filas.size()));
    QStringList textos;
    for (int i = 0; i < tabla.filas.size(); ++i) {
        const FilaReporte& f = tabla.filas[i];
        textos.clear();
        for (const CeldaReporte& c : f.celdas)
            textos << (c.importe ? c.importe->TextoPlano() : c.texto);
        g->setFila(i + 1, textos);
        if (f.fuente != FuenteFila::Normal)
            g->setFuenteFila(i + 1, f.fuente != FuenteFila::Cursiva, f.fuente != FuenteFila::Negrita);
    }
}
