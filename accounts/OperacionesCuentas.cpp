#include "accounts/OperacionesCuentas.h"

#include "accounts/CodigosJerarquicos.h"
#include "core/Basedatos.h"
#include "core/Permisos.h"
#include "core/Sesiones.h"
#include "core/Transaccion.h"
#include "core/Valores.h"

#include <QSet>

namespace {
const QString Alcance = QStringLiteral("EmpresaPropia=? AND NumEjercicio=?");
const QString ModuloPlan = QStringLiteral("frmCuentas");

QVariant Texto(const QString& t) {
    return t;
}
QVariant CodigoONulo(const QString& t) {
    return t.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : Texto(t);
}
int Bandera(bool si) {
    return si ? -1 : 0;
}

// Writes the concept links of one side; the same concept twice is stored once.
Resultado GraboConceptos(int empresa, int ejercicio, int cuenta, int debe, const QVariantList& conceptos) {
    QSet<QString> vistos;
    for (const QVariant& c : conceptos) {
        const QString clave = c.toString().trimmed();
        if (clave.isEmpty() || vistos.contains(clave)) continue;
        vistos.insert(clave);
        bool numero = false;
        const int codigo = clave.toInt(&numero);
        const Resultado r = Ejecuto(
            "INSERT INTO CuentasConceptos (EmpresaPropia, NumEjercicio, Cuenta, Debe, ConceptoDetAsiento) "
            "VALUES (?, ?, ?, ?, ?)",
            {empresa, ejercicio, cuenta, debe, numero ? QVariant(codigo) : QVariant(clave)});
        if (!r.ok) return r;
    }
    return {};
}

Grabacion Fallo(const QString& error) {
    Grabacion g;
    g.falla = Grabacion::Base;
    g.mensaje = TextosCuentas::NoGraba + error;
    return g;
}

// Runs the statements of a save inside the transaction `t` and commits.
Grabacion Termino(Transaccion& t, int empresa, int ejercicio, int cuenta, const DatosCuenta& d) {
    Resultado r = GraboConceptos(empresa, ejercicio, cuenta, -1, d.conceptosDebe);
    if (r.ok) r = GraboConceptos(empresa, ejercicio, cuenta, 0, d.conceptosHaber);
    if (!r.ok) return Fallo(r.error);
    if (!t.Confirmo()) return Fallo(t.error());
    EliminoSesionesPlanes(empresa, ejercicio);
    Grabacion g;
    g.cuenta = cuenta;
    return g;
}
} // namespace

bool TieneLineas(int empresa, int ejercicio, int cuenta) {
    return ValorCampo("DetAsientos", "Detalle", Alcance + " AND Cuenta=?", {empresa, ejercicio, cuenta})
        .has_value();
}

bool TieneHijos(int empresa, int ejercicio, int cuenta) {
    return ValorCampo("Cuentas", "Cuenta", Alcance + " AND CuentaPadre=? AND Cuenta<>0",
                      {empresa, ejercicio, cuenta})
        .has_value();
}

int NumHijoDeTexto(const QString& texto) {
    bool ok = false;
    const int n = texto.trimmed().toInt(&ok);
    return ok && n >= 0 && n <= MaxNumHijo ? n : -1;
}

Grabacion AgregoCuenta(const Contexto& ctx, int empresa, int ejercicio, int padre, const DatosCuenta& d) {
    if (QString e; !Autorizo(ctx, ModuloPlan, Accion::Escribir, &e)) return Fallo(e);
    Grabacion g;
    if (TieneLineas(empresa, ejercicio, padre)) {
        g.falla = Grabacion::PadreImputable;
        g.mensaje = TextosCuentas::PadreImputable;
        return g;
    }
    const int numHijo = NumHijoDeTexto(d.numHijo);
    if (numHijo < 0) {
        g.falla = Grabacion::NumHijoInvalido;
        g.mensaje = TextosCuentas::NumHijoInvalido;
        return g;
    }
    Transaccion t;
    if (!t.ok()) return Fallo(t.error());
    const int nueva =
        int(NumeroOCero(ValorCampo("Cuentas", "Max(Cuenta)", Alcance, {empresa, ejercicio}))) + 1;
    const Resultado r =
        Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, "
                "CuentaPadre, NumHijo, CondDebito, CuentaResultado, Ajustable) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {empresa, ejercicio, nueva, CodigoONulo(d.codInt), Texto(d.descripcion), padre, numHijo,
                 Bandera(d.condDebito), Bandera(d.cuentaResultado), Bandera(d.ajustable)});
    if (!r.ok) return Fallo(r.error);
    return Termino(t, empresa, ejercicio, nueva, d);
}

Grabacion ModificoCuenta(const Contexto& ctx, int empresa, int ejercicio, int cuenta, const DatosCuenta& d) {
    if (QString e; !Autorizo(ctx, ModuloPlan, Accion::Escribir, &e)) return Fallo(e);
    Transaccion t;
    if (!t.ok()) return Fallo(t.error());
    Resultado r = Ejecuto("DELETE FROM CuentasConceptos WHERE " + Alcance + " AND Cuenta=?",
                          {empresa, ejercicio, cuenta});
    if (r.ok)
        r = Ejecuto(
            "UPDATE Cuentas SET CodInt=?, Descripcion=?, CondDebito=?, CuentaResultado=?, Ajustable=? "
            "WHERE " +
                Alcance + " AND Cuenta=?",
            {CodigoONulo(d.codInt), Texto(d.descripcion), Bandera(d.condDebito), Bandera(d.cuentaResultado),
             Bandera(d.ajustable), empresa, ejercicio, cuenta});
    if (!r.ok) return Fallo(r.error);
    // Deleted meanwhile (another session): saying it was stored would be false.
    if (r.filas == 0) return Fallo("la cuenta ya no existe");
    return Termino(t, empresa, ejercicio, cuenta, d);
}

Eliminacion EliminoCuenta(const Contexto& ctx, int empresa, int ejercicio, int cuenta) {
    Eliminacion e;
    if (QString error; !Autorizo(ctx, ModuloPlan, Accion::Eliminar, &error)) {
        e.falla = Eliminacion::Base;
        e.mensaje = TextosCuentas::NoElimina + error;
        return e;
    }
    if (cuenta == 0) {
        e.falla = Eliminacion::Raiz;
        return e;
    }
    if (TieneHijos(empresa, ejercicio, cuenta)) {
        e.falla = Eliminacion::TieneHijos;
        e.mensaje = TextosCuentas::TieneDependencias;
        return e;
    }
    const Resultado r =
        Ejecuto("DELETE FROM Cuentas WHERE " + Alcance + " AND Cuenta=?", {empresa, ejercicio, cuenta});
    if (!r.ok || r.filas == 0) {
        e.falla = Eliminacion::Base;
        e.mensaje = TextosCuentas::NoElimina + r.error;
        return e;
    }
    EliminoSesionesPlanes(empresa, ejercicio);
    return e;
}

namespace {
Valor Columna(const QString& columna, int empresa, int ejercicio, int cuenta) {
    return ValorCampo("Cuentas", columna, Alcance + " AND Cuenta=?", {empresa, ejercicio, cuenta});
}
// Whether some account sits in the slot. The root row sits in slot 0 of the top level: it keeps that
// slot from being taken, but it is never shifted.
bool Ocupado(int empresa, int ejercicio, int padre, int ordinal, bool cuentaRaiz) {
    return ValorCampo("Cuentas", "Cuenta",
                      Alcance + " AND CuentaPadre=? AND NumHijo=?" + (cuentaRaiz ? "" : " AND Cuenta<>0"),
                      {empresa, ejercicio, padre, ordinal})
        .has_value();
}

// Places the account waiting at (viejoPadre, -1) in slot `ordinal` of `padre`. When the slot is taken,
// its occupant and the occupied slots that follow it move down by one first, the last one first.
Resultado Alojo(int empresa, int ejercicio, int cuenta, int padre, int ordinal) {
    int fin = ordinal;
    while (Ocupado(empresa, ejercicio, padre, fin, false))
        ++fin;
    for (int k = fin - 1; k >= ordinal; --k) {
        const Resultado r = Ejecuto("UPDATE Cuentas SET NumHijo=? WHERE " + Alcance +
                                        " AND CuentaPadre=? AND NumHijo=? AND Cuenta<>0",
                                    {k + 1, empresa, ejercicio, padre, k});
        if (!r.ok) return r;
    }
    return Ejecuto("UPDATE Cuentas SET CuentaPadre=?, NumHijo=? WHERE " + Alcance + " AND Cuenta=?",
                   {padre, ordinal, empresa, ejercicio, cuenta});
}
} // namespace

Movimiento MuevoCuenta(const Contexto& ctx, int empresa, int ejercicio, int g, int b) {
    Movimiento m;
    if (g <= 0 || b <= 0 || g == b) return m;
    if (QString e; !Autorizo(ctx, ModuloPlan, Accion::Escribir, &e)) {
        m.resultado = Movimiento::Falla;
        m.mensaje = TextosCuentas::NoMueve + e;
        return m;
    }
    if (EsAncestro(g, b, empresa, ejercicio)) {
        m.resultado = Movimiento::HijaDeSiMisma;
        m.mensaje = TextosCuentas::HijaDeSiMisma;
        return m;
    }
    auto falla = [&m](const QString& error) {
        m.resultado = Movimiento::Falla;
        m.mensaje = TextosCuentas::NoMueve + error;
        return m;
    };
    Transaccion t;
    if (!t.ok()) return falla(t.error());
    const Valor padre = Columna("CuentaPadre", empresa, ejercicio, b);
    const Valor ordinal = Columna("NumHijo", empresa, ejercicio, b);
    if (!padre || !ordinal || !Columna("Cuenta", empresa, ejercicio, g))
        return falla("la cuenta ya no existe");
    const int p = int(NumeroOCero(padre));
    int s = int(NumeroOCero(ordinal));
    // The free slot just before the target is taken, and nothing shifts.
    if (s > 0 && !Ocupado(empresa, ejercicio, p, s - 1, true)) --s;
    Resultado r =
        Ejecuto("UPDATE Cuentas SET NumHijo=-1 WHERE " + Alcance + " AND Cuenta=?", {empresa, ejercicio, g});
    if (r.ok) r = Alojo(empresa, ejercicio, g, p, s);
    if (!r.ok) return falla(r.error);
    if (!t.Confirmo()) return falla(t.error());
    EliminoSesionesPlanes(empresa, ejercicio);
    m.resultado = Movimiento::Hecho;
    m.numHijo = s;
    return m;
}
