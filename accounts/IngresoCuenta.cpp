#include "accounts/IngresoCuenta.h"

#include "core/Contexto.h"
#include "core/Basedatos.h"
#include "core/Ini.h"
#include "core/Valores.h"

int UltFormaIngresoCuenta() {
    bool ok = false;
    const int forma = LeoLocal("Varios", "UltFormaIngresoCuenta", "2").trimmed().toInt(&ok);
    return ok ? forma : PorCodInt;
}

void GraboUltFormaIngresoCuenta(int forma) {
    EscriboLocal("Varios", "UltFormaIngresoCuenta", QString::number(forma));
}

PlanIngreso PlanDeIngreso(const Contexto& ctx) {
    PlanIngreso p;
    QSqlQuery q = Consulto(ctx, "SELECT EmpresaPropiaEj, NumEjercicio FROM EmpresasPropia WHERE EmpresaPropia=?",
                           {ctx.empresa});
    if (q.next() && !q.isNull(0) && !q.isNull(1)) {
        p.empresa = q.value(0).toInt();
        p.ejercicio = q.value(1).toInt();
    } else {
        p.empresa = ctx.empresa;
        p.ejercicio = ctx.ejercicio;
        p.delEjercicioActual = true;
    }
    q.finish();
    return p;
}

int BuscoCuentaIngresada(int forma, const QString& t, int empresa, int ejercicio) {
    Valor v;
    const QString alcance = "EmpresaPropia=? AND NumEjercicio=?";
    if (forma == PorCodInt) {
        // Letter case is ignored, as everywhere else a user's text is compared.
        v = ValorCampo("Cuentas", "Cuenta", alcance + " AND " + FuncionMayusculas() + "(CodInt)=?",
                       {empresa, ejercicio, t.toUpper()});
    } else if (forma == PorCodJer) {
        return CuentaDeCodJer(t, empresa, ejercicio);
    } else {
        if (t.isEmpty()) return -1;
        v = ValorCampo("Cuentas", "Cuenta",
                       alcance + " AND " + FuncionMayusculas() + "(Descripcion) LIKE ?" + EscapeLike,
                       {empresa, ejercicio, "%" + ComodinesLike(t).toUpper() + "%"});
    }
    return v && !v->isNull() ? v->toInt() : -1;
}

namespace {
QString Columna(const QString& campo, int empresa, int ejercicio, int cuenta) {
    return NuloAVacio(ValorCampo("Cuentas", campo, "EmpresaPropia=? AND NumEjercicio=? AND Cuenta=?",
                                 {empresa, ejercicio, cuenta}));
}
} // namespace

bool IngresoCuenta(const Contexto& ctx, CeldasCuenta& fila, int columna, int origen, const MaximosNivel& maximos,
                   const AbroPlan& abroPlan) {
    fila.Activo(columna);
    const PlanIngreso plan = PlanDeIngreso(ctx);
    const int forma = columna - origen;
    GraboUltFormaIngresoCuenta(forma);
    QString texto = fila.texto(columna);
    if (forma == PorCodJer) {
        // The grid keeps a picture cell without its trailing blanks and separators: they are put back,
        // so that a code that stops at a summary level ("1" for "1. ") still names that account.
        const QString mascara = MascaraCodJer(maximos);
        for (qsizetype i = texto.size(); i < mascara.size(); ++i)
            texto += mascara[i] == 'X' ? QChar(' ') : mascara[i];
    }
    const int cuenta = BuscoCuentaIngresada(forma, texto, plan.empresa, plan.ejercicio);
    if (cuenta < 0) {
        fila.setTexto(origen + 1, "-1");
        return SeleccionoCuenta(fila, columna, origen, plan.empresa, plan.ejercicio, abroPlan);
    }
    fila.setTexto(origen + 1, QString::number(cuenta));
    fila.setTexto(origen + 4, Columna("Descripcion", plan.empresa, plan.ejercicio, cuenta));
    if (forma != PorCodJer)
        fila.setTexto(origen + 3, CodJerCuenta(cuenta, plan.empresa, plan.ejercicio, maximos));
    if (forma != PorCodInt)
        fila.setTexto(origen + 2, Columna("CodInt", plan.empresa, plan.ejercicio, cuenta));
    fila.Activo(origen + 4);
    return false;
}

bool SeleccionoCuenta(CeldasCuenta& fila, int columna, int origen, int empresa, int ejercicio,
                      const AbroPlan& abroPlan) {
    bool ok = false;
    const int actual = fila.texto(origen + 1).trimmed().toInt(&ok);
    PedidoPlan pedido;
    pedido.empresa = empresa;
    pedido.ejercicio = ejercicio;
    pedido.preseleccion = ok ? actual : -1;
    const QString escrito = fila.texto(columna);
    pedido.buscado = escrito.isEmpty() ? QString() : escrito;
    const std::optional<Eleccion> cuenta = abroPlan ? abroPlan(pedido) : std::nullopt;
    const bool elegida = cuenta && cuenta->codigo >= 0;
    if (elegida) {
        fila.setTexto(origen + 1, QString::number(cuenta->codigo));
        fila.setTexto(origen + 2, cuenta->texto);
        fila.setTexto(origen + 3, cuenta->codJer);
        fila.setTexto(origen + 4, cuenta->descripcion);
        fila.Activo(origen + 4);
    }
    const QString celda = fila.texto(origen + 1).trimmed();
    const int n = celda.isEmpty() ? 0 : celda.toInt();
    if (n < 0) {
        fila.setTexto(origen + 2, QString());
        fila.setTexto(origen + 3, QString());
        fila.setTexto(origen + 4, QString());
    }
    return elegida;
}
