#pragma once
// An engine is the bundle of its three parts: its SQL dialect (core/MotorDialecto.h), its schema
// catalogue (core/MotorCatalogo.h) and its storage (core/MotorAlmacen.h). Each engine's own files
// make its parts and hand them, with how to recognise its addresses and the Qt driver it uses, to the
// registry (core/Motor.cpp); the address of a database, or the driver of a connection, picks one.
#include "core/MotorAlmacen.h"
#include "core/MotorCatalogo.h"
#include "core/MotorDialecto.h"

#include <QSqlDatabase>
#include <QString>

struct Motor {
    // The engine's name, as the Motor key of the local settings names it.
    const char* nombre;
    // The Qt driver of its connections.
    const char* controlador;
    // Whether an address names one of its databases.
    bool (*Reconoce)(const QString& direccion);
    // A database of the engine is a file at a path (true) or a database on a server named by its
    // address. What differs is asked of the storage part; this only tells the kind, where the kind
    // alone is wanted (the tests' expectations, the benchmarks' files, the report program's paths).
    bool porArchivo;
    const DialectoMotor& dialecto;
    const CatalogoMotor& catalogo;
    AlmacenMotor& almacen;

    bool PorArchivo() const { return porArchivo; }
};

// The engine of a connection, by its driver; the file engine for a connection not yet made.
const Motor& MotorDe(const QSqlDatabase& db);
// The engine of a database by its address (a server address or a file path).
const Motor& MotorDeRuta(const QString& ruta);
// The engine the settings name (letter case aside); the file engine for any other name.
const Motor& MotorLlamado(const QString& nombre);
// The engine of the shared connection; before it is open, the engine of the books last opened.
const Motor& MotorActual();
