#pragma once
#include "core/AppState.h"

#include <QObject>

class Entorno;

// The book the search tests share: year 1 of company 1 with Null concepts, lines without accounts,
// entries without lines and accounts of awkward names; year 2 with one entry.
void Libro(Entorno& e);
// The rows of a query as "entry(lines)" in their order: "6(1,2,3) 1(1,2) 3()".
QString Listado(const ConsultaSql& q);

class PruebaBusqueda : public QObject {
    Q_OBJECT
private slots:
    void consulta_data();
    void consulta();
    void criteriosInvalidos_data();
    void criteriosInvalidos();
    void defectosYOrdenRecordado();
    void planes_data();
    void planes();
};

class PruebaPantallaBusqueda : public QObject {
    Q_OBJECT
private slots:
    void pantalla();
    void selectorReal();
};
