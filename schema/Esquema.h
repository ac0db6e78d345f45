#pragma once
// Definition of an empty Partidex database: tables, keys, relations, indexes and fixed rows.
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

namespace Esquema {

// Version the database carries (kept by the engine's catalogue, core/MotorCatalogo.h). A change of
// structure raises it, changes Definicion() (a new database is made at the new version directly) and
// adds the step that takes an older database there (schema/Actualizacion.cpp).
constexpr int Version = 9;
// Mark the database carries so that another program's file is never taken for ours ("PDX1").
constexpr int IdAplicacion = 0x50445831;

// The types of the schema's columns, written in its statements as "{entero}", "{texto}", "{fecha}",
// "{numero}", "{importe}" and "{centavos}": each engine's dialect says them in its own words
// (core/MotorDialecto.h).
enum class Tipo {
    Entero,
    Texto,
    Fecha,
    Numero,  // a quantity with decimals (a rate, a coordinate)
    Importe, // an amount of money, to the cent
    Centavos, // a whole number of cents, as large as a year's sums of an account
};
// A statement of the schema with its types in the words tipos gives.
QString ConTipos(const QString& sentencia, const std::function<QString(Tipo)>& tipos);

// Statements that build the schema of a new database, in order, with the types of the columns
// written as above (ConTipos).
const QStringList& Definicion();
// Names of the tables that Definicion() creates, in order.
QStringList Tablas();
// Statements that insert the fixed rows (profiles, modules, levels, grants, the first user).
// The first user's password hash is passed in, since hashing belongs to core.
QStringList FilasFijas(const QString& hashContrasenaInicial);

// Counts of the delivered schema, compared by the structure check.
int IndicesEsperados();    // explicit indexes plus the automatic ones of primary keys
int RelacionesEsperadas(); // foreign-key relations (one per REFERENCES clause)

// Initial login of a new database.
inline const QString UsuarioInicial = QStringLiteral("ADMIN");
inline const QString ContrasenaInicial = QStringLiteral("ADMIN");

// The profile that manages users; the fixed rows make it "Administrador".
constexpr int PerfilAdministrador = 1;

// What a profile may write where the server enforces the levels of Permisos: the tables each module
// (a window name of Modulos) writes, through its screens and the logic behind them. Level 1 (or any
// level but 0, 2 and 3) adds, changes and deletes rows of them, 3 adds and changes, 0 and 2 neither.
struct EscrituraModulo {
    QString modulo;
    QStringList tablas;
};
const QList<EscrituraModulo>& EscriturasDeModulos();
// Written by every running program whatever its profile (its sessions).
const QStringList& TablasDeTodos();
// Written only by the administrator profile; users change only their own password.
const QStringList& TablasDeAdministrador();
// Records only ever added to: no profile changes or deletes them.
const QStringList& TablasSoloAlta();
// Tables the engine keeps from the others (the monthly sums of each account, kept from the lines by
// the engine's own triggers): nobody writes them, a copy of the books leaves them for the triggers to
// fill again.
const QStringList& TablasDerivadas();

} // namespace Esquema
