#include "reports/TablaReporte.h"

TablaReporte TablaDeBalance(const QString& titulo, const QVector<FilaBalance>& filas) {
    TablaReporte t;
    t.titulo = titulo;
    t.columnas = {"Cód. Jerárquico", "Desc. Sumar.", "Descripción Imputable",
                  "Cod Int.",        "Sumas Debe",   "Sumas Haber",
                  "Saldo Debe",      "Saldo Haber"};
    t.importes = {false, false, false, false, true, true, true, true};
    t.filas.reserve(filas.size());
    for (const FilaBalance& f : filas) {
        FilaReporte r;
        r.fuente = f.fuente;
        r.celdas = {CeldaReporte(f.codigo), CeldaReporte(f.sumar), CeldaReporte(f.imputable),
                    CeldaReporte(f.codInt)};
        if (f.conSumas)
            r.celdas << CeldaReporte(f.debe) << CeldaReporte(f.haber)
                     << CeldaReporte(SaldoDebe(f.debe, f.haber)) << CeldaReporte(SaldoHaber(f.debe, f.haber));
        t.filas.append(r);
    }
    return t;
}
