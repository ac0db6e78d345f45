#include "reports/exporto/PaginasReporte.h"

PaginasReporte::PaginasReporte(const TablaReporte& t, QChar decimal, QChar miles, QList<int> v)
    : tabla(t), decimal(decimal), miles(miles), visibles(std::move(v)) {
    if (visibles.isEmpty())
        for (int c = 0; c < tabla.columnas.size(); ++c)
            visibles << c;
}

QString PaginasReporte::texto(qsizetype f, int c) const {
    const int columna = visibles[c];
    if (const std::optional<Importe> i = tabla.filas.importe(f, columna)) return i->Texto(decimal, miles);
    return tabla.filas.texto(f, columna);
}

bool PaginasReporte::negrita(qsizetype f) const {
    const FuenteFila x = tabla.filas.fuente(f);
    return x == FuenteFila::Negrita || x == FuenteFila::NegritaCursiva;
}

bool PaginasReporte::cursiva(qsizetype f) const {
    const FuenteFila x = tabla.filas.fuente(f);
    return x == FuenteFila::Cursiva || x == FuenteFila::NegritaCursiva;
}

bool PaginasReporte::conSiguiente(qsizetype f) const {
    if (tabla.filas.fuente(f) == FuenteFila::Normal) return false;
    for (int c = 0; c < tabla.filas.celdas(f); ++c)
        if (tabla.filas.importe(f, c)) return false;
    return true;
}

QList<TramoEncabezado> PaginasReporte::Encabezado(const QDate& impreso) const {
    return EncabezadoInforme(tabla.membrete, tabla.titulo, tabla.notas, impreso);
}

Paginado::Opciones PaginasReporte::Opciones() const {
    Paginado::Opciones o;
    o.arrastre = tabla.arrastre;
    o.decimal = decimal;
    o.miles = miles;
    return o;
}
