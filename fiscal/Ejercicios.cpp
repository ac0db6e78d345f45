#include "fiscal/Ejercicios.h"

#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/Dialecto.h"
#include "core/Permisos.h"
#include "core/Sesiones.h"
#include "core/Transaccion.h"
#include "core/Valores.h"

namespace Ejercicios {
namespace {
const QString NoGrabo = QStringLiteral("Atención no se puede grabar el registro, ");
const QString ModuloEjercicios = QStringLiteral("frmEjercicios");

Veredicto Rechazo(const QString& prefijo, const QString& detalle, bool deMotor = false) {
    Veredicto v;
    v.ok = false;
    v.mensaje = prefijo + detalle;
    v.detalle = detalle;
    v.deMotor = deMotor;
    return v;
}

QString FechaCorta(const QVariant& valorBase) {
    return FechaDeBase(valorBase).toString("dd/MM/yy");
}
} // namespace

Veredicto VerificoPeriodo(int empresa, int ejercicio, const QDate& desde, const QDate& hasta) {
    if (!desde.isValid() || !hasta.isValid()) return Rechazo(NoGrabo, "ingrese período correctamente");
    // A year of a single day is refused as well.
    if (hasta <= desde) return Rechazo(NoGrabo, "fecha inicial debe ser menor que fecha final");

    if (ejercicio >= 0) {
        const Valor fuera =
            ValorCampo("Asientos", "Asiento", "EmpresaPropia=? AND NumEjercicio=? AND (Fecha<? OR Fecha>?)",
                       {empresa, ejercicio, FechaSql(desde), FechaSql(hasta)});
        if (fuera)
            return Rechazo(NoGrabo,
                           "en la nueva restricción del período indicado, está intentando dejar afuera "
                           "Asientos que ya habían sido generados");
    }

    // Two periods overlap when each starts on or before the other's last day: a single shared day
    // is enough. The edited year is told apart by its number.
    QSqlQuery q = Consulto("SELECT ComienzoEjercicio, FinEjercicio FROM Ejercicios WHERE EmpresaPropia=? "
                           "AND ComienzoEjercicio<=? AND FinEjercicio>=? AND NumEjercicio<>? "
                           "ORDER BY ComienzoEjercicio",
                           {empresa, FechaSql(hasta), FechaSql(desde), ejercicio});
    if (!q.isActive()) return Rechazo(NoGrabo, UltimoError(), true);
    if (q.next()) {
        const QString otro = FechaCorta(q.value(0)) + "-" + FechaCorta(q.value(1));
        q.finish();
        return Rechazo(
            NoGrabo, "el periódo que intenta grabar coincide parcialmente con el período anterior: " + otro +
                         ". Corrija el error");
    }
    q.finish();
    return {};
}

int ProximoEjercicio(int empresa) {
    return int(NumeroOCero(ValorCampo("Ejercicios", "Max(NumEjercicio)", "EmpresaPropia=?", {empresa}))) + 1;
}

Veredicto GraboEjercicio(const Contexto& ctx, int empresa, int ejercicio, const QDate& desde, const QDate& hasta,
                         int tabla) {
    if (QString e; !Autorizo(ctx, ModuloEjercicios, Accion::Escribir, &e)) return Rechazo(NoGrabo, e);
    const QVariant valorTabla = tabla < 0 ? QVariant(QMetaType::fromType<int>()) : QVariant(tabla);
    Transaccion t;
    if (!t.ok()) return Rechazo(NoGrabo, t.error(), true);
    // The checks run inside the transaction, so that no other instance slips a year in between.
    Veredicto v = VerificoPeriodo(empresa, ejercicio, desde, hasta);
    if (!v.ok) return v;

    int numero = ejercicio;
    if (ejercicio < 0) {
        numero = ProximoEjercicio(empresa);
        Resultado r =
            Ejecuto("INSERT INTO Ejercicios (EmpresaPropia, NumEjercicio, ComienzoEjercicio, FinEjercicio, "
                    "TablaAjusteInflacion) VALUES (?, ?, ?, ?, ?)",
                    {empresa, numero, FechaSql(desde), FechaSql(hasta), valorTabla});
        if (!r.ok) return Rechazo(NoGrabo, r.error, true);
        // The root of the new year's chart: account 0, its own parent, child number 0.
        r = Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CuentaPadre, NumHijo) "
                    "VALUES (?, ?, 0, 0, 0)",
                    {empresa, numero});
        if (!r.ok) return Rechazo(NoGrabo, r.error, true);
    } else {
        const Resultado r =
            Ejecuto("UPDATE Ejercicios SET ComienzoEjercicio=?, FinEjercicio=?, TablaAjusteInflacion=? "
                    "WHERE EmpresaPropia=? AND NumEjercicio=?",
                    {FechaSql(desde), FechaSql(hasta), valorTabla, empresa, numero});
        if (!r.ok) return Rechazo(NoGrabo, r.error, true);
        if (r.filas == 0) return Rechazo(NoGrabo, "el ejercicio ya no existe", true);
    }
    if (!t.Confirmo()) return Rechazo(NoGrabo, t.error(), true);
    v.ejercicio = numero;
    return v;
}

Veredicto BorroEjercicio(const Contexto& ctx, int empresa, int ejercicio) {
    const QString NoBorro = QStringLiteral("No se pudo eliminar el registro; ");
    if (QString e; !Autorizo(ctx, ModuloEjercicios, Accion::Eliminar, &e)) return Rechazo(NoBorro, e);
    Transaccion t;
    if (!t.ok()) return Rechazo(NoBorro, t.error(), true);
    // Only a year that holds nothing but its root account loses its chart here; any other chart keeps
    // the year alive through the relation from accounts to years.
    const int cuentas = int(NumeroOCero(
        ValorCampo("Cuentas", "Count(Cuenta)", "EmpresaPropia=? AND NumEjercicio=?", {empresa, ejercicio})));
    if (cuentas == 1) {
        const Resultado r =
            Ejecuto("DELETE FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=?", {empresa, ejercicio});
        if (!r.ok) return Rechazo(NoBorro, r.error, true);
    }
    const Resultado r =
        Ejecuto("DELETE FROM Ejercicios WHERE EmpresaPropia=? AND NumEjercicio=?", {empresa, ejercicio});
    if (!r.ok) return Rechazo(NoBorro, r.error, true);
    if (r.filas == 0) return Rechazo(NoBorro, QString(), true);
    if (!t.Confirmo()) return Rechazo(NoBorro, t.error(), true);
    EliminoSesionesPlanes(empresa, ejercicio);
    return {};
}

Veredicto PegoPlan(const Contexto& ctx, int empresaOrigen, int ejercicioOrigen, int empresaDestino,
                   int ejercicioDestino) {
    const QString NoTermino = QStringLiteral("No se ha podido terminar la operación, ");
    if (QString e; !Autorizo(ctx, ModuloEjercicios, Accion::Escribir, &e)) return Rechazo(NoTermino, e);
    // Pasting a chart onto itself leaves it as it is.
    if (empresaOrigen == empresaDestino && ejercicioOrigen == ejercicioDestino) return {};

    Transaccion t;
    if (!t.ok()) return Rechazo(NoTermino, t.error(), true);
    if (!ValorCampo("Ejercicios", "NumEjercicio", "EmpresaPropia=? AND NumEjercicio=?",
                    {empresaOrigen, ejercicioOrigen}))
        return Rechazo(NoTermino, "el ejercicio cuyo plan de cuentas se copió ya no existe");
    if (!ValorCampo("Ejercicios", "NumEjercicio", "EmpresaPropia=? AND NumEjercicio=?",
                    {empresaDestino, ejercicioDestino}))
        return Rechazo(NoTermino, "el ejercicio en que se pega el plan de cuentas no existe");
    // Entry lines keep the accounts they use: such a chart cannot be replaced.
    if (ValorCampo("DetAsientos", "Asiento", "EmpresaPropia=? AND NumEjercicio=?",
                   {empresaDestino, ejercicioDestino}))
        return Rechazo(NoTermino, "el ejercicio actual tiene asientos que utilizan su plan de cuentas");

    const QVariantList destino = {empresaDestino, ejercicioDestino};
    const QVariantList copia = {empresaDestino, ejercicioDestino, empresaOrigen, ejercicioOrigen};
    // The parent relation is checked at commit, so the rows go in any order; the root stays.
    const struct {
        QString sql;
        const QVariantList& parametros;
    } pasos[] = {
        {"DELETE FROM CuentasConceptos WHERE EmpresaPropia=? AND NumEjercicio=?", destino},
        {"DELETE FROM RubrosCuentas WHERE EmpresaPropia=? AND NumEjercicio=?", destino},
        {"DELETE FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=? AND Cuenta<>0", destino},
        {Dialecto::InsertoOIgnoro(
             "Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CuentaPadre, NumHijo) VALUES "
             "(?, ?, 0, 0, 0)"),
         destino},
        {"INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, CuentaPadre, "
         "NumHijo, "
         "CondDebito, CuentaResultado, Ajustable) "
         "SELECT ?, ?, Cuenta, CodInt, Descripcion, CuentaPadre, NumHijo, CondDebito, CuentaResultado, "
         "Ajustable "
         "FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=? AND Cuenta<>0",
         copia},
        {"INSERT INTO CuentasConceptos (EmpresaPropia, NumEjercicio, Cuenta, ConceptoDetAsiento, Debe) "
         "SELECT ?, ?, Cuenta, ConceptoDetAsiento, Debe FROM CuentasConceptos "
         "WHERE EmpresaPropia=? AND NumEjercicio=? AND Cuenta<>0",
         copia},
        // The headings of the financial statements go with the chart.
        {"INSERT INTO RubrosCuentas (EmpresaPropia, NumEjercicio, Cuenta, Rubro, NoCorriente) "
         "SELECT ?, ?, Cuenta, Rubro, NoCorriente FROM RubrosCuentas WHERE EmpresaPropia=? AND NumEjercicio=?",
         copia},
    };
    for (const auto& p : pasos) {
        const Resultado r = Ejecuto(p.sql, p.parametros);
        if (!r.ok) return Rechazo(NoTermino, r.error, true);
    }
    if (!t.Confirmo()) return Rechazo(NoTermino, t.error(), true);
    // Every screen that holds this chart's level widths reloads them.
    EliminoSesionesPlanes(empresaDestino, ejercicioDestino);
    Veredicto v;
    v.mensaje = QStringLiteral("Pegado de Plan de cuentas exitoso");
    return v;
}

FilasLeidas LeoEjercicios(const Contexto& ctx, int empresa) {
    return LeoFilas(
        Consulto(ctx, "SELECT * FROM Ejercicios WHERE EmpresaPropia=? ORDER BY ComienzoEjercicio", {empresa}));
}

std::optional<FilaLeida> LeoEjercicio(const Contexto& ctx, int empresa, int ejercicio) {
    return LeoFila(
        Consulto(ctx, "SELECT * FROM Ejercicios WHERE EmpresaPropia=? AND NumEjercicio=?", {empresa, ejercicio}));
}

QString DescripcionTabla(int tabla) {
    return NuloAVacio(
        ValorCampo("TablasAjusteInflacion", "descTablaAjusteInflacion", "TablaAjusteInflacion=?", {tabla}));
}

QString DescripcionEjercicio(int empresa, int ejercicio) {
    const QString nombre =
        NuloAVacio(ValorCampoTabla("EmpresasPropia", "descEmpresaPropia", "EmpresaPropia=?", {empresa}));
    auto corta = [&](const char* campo) {
        const Valor v =
            ValorCampo("Ejercicios", campo, "EmpresaPropia=? AND NumEjercicio=?", {empresa, ejercicio});
        return v ? FechaDeBase(*v).toString("dd/MM/yy") : QString();
    };
    return nombre + ", " + corta("ComienzoEjercicio") + "-" + corta("FinEjercicio");
}

} // namespace Ejercicios
