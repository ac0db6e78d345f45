#pragma once
// Stored changes of the chart of accounts: saving an account with its concept links, deleting an
// account and moving it in the tree. Each change runs in one transaction and, once stored, deletes the
// chart registrations of every session so that all screens showing this chart reload their widths.
#include "core/Contexto.h"

#include <QString>
#include <QVariantList>

namespace TextosCuentas {
inline const QString PadreImputable =
    QStringLiteral("No puede crear una nueva cuenta que dependa de otra que YA es imputable, pues se está "
                   "utilizando en un asiento del ejercicio actual");
inline const QString NoGraba = QStringLiteral("Atención no se puede grabar el registro, ");
inline const QString TieneDependencias =
    QStringLiteral("No puede eliminar una Cuenta que tiene dependencias");
inline const QString NoElimina = QStringLiteral("No se pudo eliminar el registro; ");
inline const QString HijaDeSiMisma = QStringLiteral("No puede mover una cuenta como hija de sí misma");
inline const QString NoMueve = QStringLiteral("No se pudo mover la cuenta; ");
inline const QString NumHijoInvalido =
    QStringLiteral("Ingrese en Sub Jerarquía un número entero entre 0 y 32767");
inline const QString SinEjercicio = QStringLiteral(
    "No puede utilizar éste módulo si todavía no seleccionó un ejercicio (EmpresaPropia-Período)");
} // namespace TextosCuentas

// What the data panel holds.
struct DatosCuenta {
    QString codInt; // empty: stored as Null
    QString descripcion;
    QString numHijo; // text of the ordinal field; used only when adding
    bool condDebito = true;
    bool cuentaResultado = false;
    bool ajustable = false;
    // Concept codes of each side, in grid order, up to the first empty code cell.
    QVariantList conceptosDebe;
    QVariantList conceptosHaber;
};

struct Grabacion {
    enum Falla { Ninguna, PadreImputable, NumHijoInvalido, Base };
    Falla falla = Ninguna;
    int cuenta = -1; // the stored account (the new number when adding)
    QString mensaje; // the whole text to show when it failed
    bool ok() const { return falla == Ninguna; }
};

// True when the account has entry lines in that company and year (a child may not be created under it).
bool TieneLineas(int empresa, int ejercicio, int cuenta);
// True when some account hangs from it.
bool TieneHijos(int empresa, int ejercicio, int cuenta);
// Ordinal of the field as typed, or -1 when it is not a whole number from 0 to 32767.
int NumHijoDeTexto(const QString& texto);

// Every change below is refused, with the reason in its message, unless the context's user may write
// the chart (deleting an account: may delete in it).

// Stores a new child of `padre` (0 = top level).
Grabacion AgregoCuenta(const Contexto& ctx, int empresa, int ejercicio, int padre, const DatosCuenta& datos);
// Stores the data of an existing account and replaces its concept links; parent and ordinal stay.
Grabacion ModificoCuenta(const Contexto& ctx, int empresa, int ejercicio, int cuenta, const DatosCuenta& datos);

struct Eliminacion {
    enum Falla { Ninguna, Raiz, TieneHijos, Base };
    Falla falla = Ninguna;
    QString mensaje;
    bool ok() const { return falla == Ninguna; }
};
// Deletes a postable account (its concept links go with it). A summary account is refused; the
// database refuses an account that has entry lines.
Eliminacion EliminoCuenta(const Contexto& ctx, int empresa, int ejercicio, int cuenta);

struct Movimiento {
    enum Resultado { Hecho, Ignorado, HijaDeSiMisma, Falla };
    Resultado resultado = Ignorado;
    QString mensaje;
    int numHijo = 0; // the ordinal the moved account took
};
// Moves account `arrastrada` so that it becomes the previous sibling of `destino`, under destino's
// parent. When the slot just before destino is free the moved account takes it and nothing shifts;
// otherwise destino and the occupied slots that follow it move down by one. Dropping on the root or on
// itself does nothing; dropping on its own descendant is refused.
Movimiento MuevoCuenta(const Contexto& ctx, int empresa, int ejercicio, int arrastrada, int destino);
