#include "reports/estados/Rubros.h"

#include "core/Basedatos.h"
#include "core/Permisos.h"
#include "core/Transaccion.h"

#include <QMap>
#include <QSqlField>
#include <QSqlRecord>
#include <QStringList>
#include <algorithm>
#include <functional>

namespace Estados {

const QVector<Rubro>& Rubros() {
    static const QVector<Rubro> rubros = {
        {1, "Caja y Bancos", Lado::Activo},
        {2, "Inversiones", Lado::Activo},
        {3, "Créditos por Ventas", Lado::Activo},
        {4, "Otros Créditos", Lado::Activo},
        {5, "Bienes de Cambio", Lado::Activo},
        {6, "Bienes de Uso", Lado::Activo},
        {7, "Intangibles", Lado::Activo},
        {11, "Deudas Comerciales", Lado::Pasivo},
        {12, "Deudas Bancarias", Lado::Pasivo},
        {13, "Remuneraciones y Cargas Sociales", Lado::Pasivo},
        {14, "Deudas Fiscales", Lado::Pasivo},
        {15, "Otras Deudas", Lado::Pasivo},
        {16, "Previsiones", Lado::Pasivo},
        {21, "Aportes de los Propietarios", Lado::PatrimonioNeto},
        {22, "Resultados Acumulados", Lado::PatrimonioNeto},
        {Codigo::Ventas, "Ventas", Lado::Resultados},
        {Codigo::CostoVentas, "Costo de Ventas", Lado::Resultados},
        {Codigo::Comercializacion, "Gastos de Comercialización", Lado::Resultados},
        {Codigo::Administracion, "Gastos de Administración", Lado::Resultados},
        {Codigo::Financieros, "Gastos Financieros", Lado::Resultados},
        {Codigo::OtrosResultados, "Otros Ingresos y Egresos", Lado::Resultados},
        {Codigo::ImpuestoGanancias, "Impuesto a las Ganancias", Lado::Resultados},
    };
    return rubros;
}

const Rubro* RubroDe(int codigo) {
    for (const Rubro& r : Rubros())
        if (r.codigo == codigo) return &r;
    return nullptr;
}

bool Clasificable(const Rubro& r) {
    return r.lado == Lado::Activo || r.lado == Lado::Pasivo;
}

bool PlanEstados::Cargo(const Contexto& ctx, QString* error) {
    contexto = ctx;
    emp = ctx.empresa;
    ej = ctx.ejercicio;
    lista.clear();
    porCuenta.clear();
    porRuta.clear();
    QSqlQuery q = Consulto(ctx,
                           "SELECT Cuenta, CuentaPadre, NumHijo, Descripcion, CuentaResultado, CondDebito FROM Cuentas "
                           "WHERE EmpresaPropia=? AND NumEjercicio=? AND Cuenta<>0",
                           {ctx.empresa, ctx.ejercicio});
    if (!q.isActive()) {
        if (error) *error = TextoError(q.lastError());
        return false;
    }
    struct Leida {
        CuentaEstado c;
        int numHijo = 0;
    };
    QMap<int, QVector<Leida>> hijos; // by parent
    while (q.next()) {
        Leida l;
        l.c.cuenta = q.value(0).toInt();
        l.c.padre = q.value(1).toInt();
        l.numHijo = q.value(2).toInt();
        l.c.descripcion = q.value(3).toString();
        l.c.resultado = q.value(4).toInt() != 0;
        l.c.deudora = q.value(5).toInt() != 0;
        hijos[l.c.padre].append(l);
    }
    // Walked from the root, children by ordinal: a parent before its branch, as the chart shows it.
    // An account whose parent is missing is never reached (no screen shows it either).
    std::function<void(int, const QString&, int)> recorro = [&](int padre, const QString& ruta, int nivel) {
        QVector<Leida> h = hijos.value(padre);
        std::sort(h.begin(), h.end(), [](const Leida& a, const Leida& b) {
            return a.numHijo != b.numHijo ? a.numHijo < b.numHijo : a.c.cuenta < b.c.cuenta;
        });
        for (Leida& l : h) {
            if (porCuenta.contains(l.c.cuenta)) continue;
            l.c.nivel = nivel;
            l.c.ruta = (ruta.isEmpty() ? QString() : ruta + '.') + QString::number(l.numHijo);
            l.c.tieneHijos = hijos.contains(l.c.cuenta);
            porCuenta.insert(l.c.cuenta, int(lista.size()));
            if (!porRuta.contains(l.c.ruta)) porRuta.insert(l.c.ruta, int(lista.size()));
            lista.append(l.c);
            recorro(l.c.cuenta, l.c.ruta, nivel + 1);
        }
    };
    recorro(0, QString(), 1);
    maximos = MaximosDelPlan(ctx);
    filas.Cargo(ctx);
    return true;
}

const CuentaEstado* PlanEstados::Busco(int cuenta) const {
    const auto i = porCuenta.constFind(cuenta);
    return i == porCuenta.cend() ? nullptr : &lista[*i];
}

const CuentaEstado* PlanEstados::PorRuta(const QString& ruta) const {
    const auto i = porRuta.constFind(ruta);
    return i == porRuta.cend() ? nullptr : &lista[*i];
}

QString PlanEstados::Nombre(int cuenta) const {
    const CuentaEstado* c = Busco(cuenta);
    return CodJerCuenta(cuenta, contexto, maximos, &filas) + " " + (c ? c->descripcion : QString());
}

Clasificador::Clasificador(const PlanEstados& plan, const QVector<Asignacion>& asignaciones) : plan(plan) {
    for (const Asignacion& a : asignaciones)
        propias.insert(a.cuenta, a);
}

std::optional<Asignacion> Clasificador::De(int cuenta) const {
    for (const CuentaEstado* c = plan.Busco(cuenta); c; c = c->padre ? plan.Busco(c->padre) : nullptr) {
        const auto i = propias.constFind(c->cuenta);
        if (i != propias.cend()) return *i;
    }
    return std::nullopt;
}

std::optional<Asignacion> Clasificador::DeRuta(const QString& ruta) const {
    for (QString r = ruta; !r.isEmpty(); r = r.contains('.') ? r.section('.', 0, -2) : QString())
        if (const CuentaEstado* c = plan.PorRuta(r)) return De(c->cuenta);
    return std::nullopt;
}

namespace {
// A name without accents, in lower case, for the default's word matching.
QString Llano(const QString& texto) {
    QString s;
    for (const QChar ch : texto.normalized(QString::NormalizationForm_D))
        if (ch.category() != QChar::Mark_NonSpacing) s += ch.toLower();
    return s;
}

struct Pista {
    const char* palabra;
    int rubro;
};
// The words a group's name carries for each heading, by side, in the order they are tried.
const QVector<Pista>& Pistas(Lado lado) {
    static const QVector<Pista> activo = {{"caja", 1},           {"banco", 1},           {"disponib", 1},
                                          {"inversion", 2},      {"creditos por venta", 3},
                                          {"deudores por venta", 3},                     {"credito", 4},
                                          {"bienes de cambio", 5}, {"mercader", 5},       {"inventario", 5},
                                          {"bienes de uso", 6},  {"propiedad", 6},       {"intangible", 7}};
    static const QVector<Pista> pasivo = {{"comercial", 11},  {"proveedor", 11},      {"bancari", 12},
                                          {"financier", 12},  {"prestamo", 12},       {"remuneracion", 13},
                                          {"sueldo", 13},     {"cargas sociales", 13}, {"fiscal", 14},
                                          {"impuesto", 14},   {"prevision", 16},      {"deuda", 15}};
    static const QVector<Pista> neto = {{"aporte", 21}, {"capital", 21}, {"resultado", 22}, {"reserva", 22}};
    static const QVector<Pista> resultados = {
        {"costo", Codigo::CostoVentas},         {"venta", Codigo::Ventas},
        {"comercializ", Codigo::Comercializacion}, {"administra", Codigo::Administracion},
        {"financier", Codigo::Financieros},     {"impuesto a las ganancias", Codigo::ImpuestoGanancias},
        {"otros ingresos", Codigo::OtrosResultados}, {"otros egresos", Codigo::OtrosResultados}};
    switch (lado) {
    case Lado::Activo:
        return activo;
    case Lado::Pasivo:
        return pasivo;
    case Lado::PatrimonioNeto:
        return neto;
    case Lado::Resultados:
        break;
    }
    return resultados;
}

// The heading a group's name says nothing more specific than its side.
int General(Lado lado) {
    switch (lado) {
    case Lado::Activo:
        return 4;
    case Lado::Pasivo:
        return 15;
    case Lado::PatrimonioNeto:
        return 21;
    case Lado::Resultados:
        break;
    }
    return Codigo::OtrosResultados;
}

Lado LadoDeGrupo(const CuentaEstado& c) {
    const QString n = Llano(c.descripcion);
    if (c.resultado) return Lado::Resultados;
    if (n.contains("activo")) return Lado::Activo;
    if (n.contains("pasivo")) return Lado::Pasivo;
    if (n.contains("patrimonio") || n.contains("capital")) return Lado::PatrimonioNeto;
    return c.deudora ? Lado::Activo : Lado::Pasivo;
}

bool NombreNoCorriente(const QString& n) {
    return n.contains("no corriente") || n.contains("largo plazo") || n.contains("permanente");
}
} // namespace

QVector<Asignacion> AsignacionesPorDefecto(const PlanEstados& plan) {
    QVector<Asignacion> r;
    QHash<int, Lado> lados;
    QHash<int, bool> noCorrientes;
    QHash<int, bool> cubiertas; // under a heading given by the default
    for (const CuentaEstado& c : plan.cuentas()) {
        const CuentaEstado* padre = c.padre ? plan.Busco(c.padre) : nullptr;
        const QString n = Llano(c.descripcion);
        Lado lado = padre ? lados.value(padre->cuenta) : LadoDeGrupo(c);
        // A result account under a balance-sheet group (or the reverse) goes by its own flag.
        if (c.resultado != (lado == Lado::Resultados))
            lado = c.resultado ? Lado::Resultados : (c.deudora ? Lado::Activo : Lado::Pasivo);
        lados.insert(c.cuenta, lado);
        const bool noCorriente = (padre && noCorrientes.value(padre->cuenta)) || NombreNoCorriente(n);
        noCorrientes.insert(c.cuenta, noCorriente);
        const bool cubierta = padre && cubiertas.value(padre->cuenta) && lados.value(padre->cuenta) == lado;
        cubiertas.insert(c.cuenta, cubierta);
        if (cubierta) continue;
        int rubro = 0;
        for (const Pista& p : Pistas(lado))
            if (n.contains(QLatin1String(p.palabra))) {
                rubro = p.rubro;
                break;
            }
        // Only a name that says a heading closes the branch; under a general heading (a top-level group,
        // or an account whose side differs from its group's, so that nothing is left out) the names
        // beneath may still say more.
        const bool especifico = rubro != 0;
        if (!rubro && (!padre || lados.value(padre->cuenta) != lado)) rubro = General(lado);
        if (!rubro) continue;
        const bool sinClase = rubro == 6 || rubro == 7; // fixed assets are non-current by nature
        r.append({c.cuenta, rubro, Clasificable(*RubroDe(rubro)) && (noCorriente || sinClase)});
        cubiertas[c.cuenta] = especifico;
    }
    return r;
}

bool LeoAsignaciones(const Contexto& ctx, QVector<Asignacion>* asignaciones, QString* error) {
    asignaciones->clear();
    QSqlQuery q = Consulto(ctx,
                           "SELECT Cuenta, Rubro, NoCorriente FROM RubrosCuentas WHERE EmpresaPropia=? AND "
                           "NumEjercicio=? ORDER BY Cuenta",
                           {ctx.empresa, ctx.ejercicio});
    if (!q.isActive()) {
        if (error) *error = TextoError(q.lastError());
        return false;
    }
    while (q.next())
        asignaciones->append({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt() != 0});
    return true;
}

bool AsignacionesEjercicio(const Contexto& ctx, const PlanEstados& plan, QVector<Asignacion>* asignaciones,
                           bool* porDefecto, QString* error) {
    if (!LeoAsignaciones(ctx, asignaciones, error)) return false;
    const bool vacia = asignaciones->isEmpty();
    if (vacia) *asignaciones = AsignacionesPorDefecto(plan);
    if (porDefecto) *porDefecto = vacia;
    return true;
}

QString VerificoAsignacion(const PlanEstados& plan, const Asignacion& a) {
    const CuentaEstado* c = plan.Busco(a.cuenta);
    if (!c) return QString("la cuenta %1 no existe en el plan de cuentas del ejercicio").arg(a.cuenta);
    const Rubro* r = RubroDe(a.rubro);
    if (!r) return QString("la cuenta %1 tiene un rubro que no existe (%2)").arg(plan.Nombre(a.cuenta)).arg(a.rubro);
    if (c->resultado && r->lado != Lado::Resultados)
        return "la cuenta " + plan.Nombre(a.cuenta) + " es de resultado y el rubro " + r->nombre +
               " es del Estado de Situación Patrimonial";
    if (!c->resultado && r->lado == Lado::Resultados)
        return "la cuenta " + plan.Nombre(a.cuenta) + " es patrimonial y el rubro " + r->nombre +
               " es del Estado de Resultados";
    return QString();
}

bool GraboAsignaciones(const Contexto& ctx, const QVector<Asignacion>& asignaciones, QString* error) {
    // The headings are part of the chart of accounts: whoever may not write the chart may not write them.
    if (QString e; !Autorizo(ctx, QStringLiteral("frmCuentas"), Accion::Escribir, &e)) {
        *error = "No se grabaron los rubros, " + e + ".";
        return false;
    }
    PlanEstados plan;
    if (!plan.Cargo(ctx, error)) return false;
    QHash<int, bool> vistas;
    for (const Asignacion& a : asignaciones) {
        QString motivo = VerificoAsignacion(plan, a);
        if (motivo.isEmpty() && vistas.contains(a.cuenta))
            motivo = "la cuenta " + plan.Nombre(a.cuenta) + " figura dos veces";
        vistas.insert(a.cuenta, true);
        if (!motivo.isEmpty()) {
            *error = "No se grabaron los rubros, " + motivo + ".";
            return false;
        }
    }
    Transaccion t(ctx);
    if (!t.ok()) {
        *error = "No se grabaron los rubros, " + t.error();
        return false;
    }
    Resultado r = Ejecuto(ctx, "DELETE FROM RubrosCuentas WHERE EmpresaPropia=? AND NumEjercicio=?",
                          {ctx.empresa, ctx.ejercicio});
    for (const Asignacion& a : asignaciones) {
        if (!r.ok) break;
        const bool noCorriente = a.noCorriente && Clasificable(*RubroDe(a.rubro));
        r = Ejecuto(ctx,
                    "INSERT INTO RubrosCuentas (EmpresaPropia, NumEjercicio, Cuenta, Rubro, NoCorriente) VALUES "
                    "(?, ?, ?, ?, ?)",
                    {ctx.empresa, ctx.ejercicio, a.cuenta, a.rubro, noCorriente ? -1 : 0});
    }
    if (!r.ok || !t.Confirmo()) {
        *error = "No se grabaron los rubros, " + (r.ok ? t.error() : r.error);
        return false;
    }
    return true;
}

FilasLeidas FilasRubros(const Contexto& ctx) {
    FilasLeidas r;
    PlanEstados plan;
    QVector<Asignacion> asignaciones;
    if (!plan.Cargo(ctx, &r.error) || !AsignacionesEjercicio(ctx, plan, &asignaciones, nullptr, &r.error)) {
        r.ok = false;
        return r;
    }
    QHash<int, Asignacion> por;
    for (const Asignacion& a : asignaciones)
        por.insert(a.cuenta, a);
    for (const CuentaEstado& c : plan.cuentas()) {
        if (!por.contains(c.cuenta)) continue;
        const Asignacion& a = por[c.cuenta];
        const Rubro* rubro = RubroDe(a.rubro);
        const QString nombre = plan.Nombre(c.cuenta);
        const QVariantList valores = {c.cuenta, nombre.section(' ', 0, 0), c.descripcion, a.rubro,
                                      rubro ? rubro->nombre : QString(), a.noCorriente ? -1 : 0};
        const QStringList campos = {"Cuenta", "Codigo", "Descripcion", "Rubro", "nomRubro", "NoCorriente"};
        QSqlRecord registro;
        for (int i = 0; i < campos.size(); ++i) {
            registro.append(QSqlField(campos[i], valores[i].metaType()));
            registro.setValue(i, valores[i]);
        }
        r.filas << FilaLeida(registro);
    }
    return r;
}

namespace {
Resultado CambioAsignaciones(const Contexto& ctx, const std::function<void(QVector<Asignacion>&)>& cambio) {
    Resultado r;
    PlanEstados plan;
    QVector<Asignacion> asignaciones;
    if (!plan.Cargo(ctx, &r.error) || !AsignacionesEjercicio(ctx, plan, &asignaciones, nullptr, &r.error) ||
        (cambio(asignaciones), !GraboAsignaciones(ctx, asignaciones, &r.error)))
        r.ok = false;
    return r;
}
} // namespace

Resultado GraboAsignacion(const Contexto& ctx, const Asignacion& a, int anterior) {
    return CambioAsignaciones(ctx, [&](QVector<Asignacion>& todas) {
        todas.removeIf([&](const Asignacion& x) { return x.cuenta == a.cuenta || (anterior && x.cuenta == anterior); });
        todas << a;
    });
}

Resultado BorroAsignacion(const Contexto& ctx, int cuenta) {
    if (QString e; !Autorizo(ctx, QStringLiteral("frmCuentas"), Accion::Eliminar, &e))
        return {false, 0, "No se eliminó el rubro, " + e + "."};
    return CambioAsignaciones(ctx, [cuenta](QVector<Asignacion>& todas) {
        todas.removeIf([cuenta](const Asignacion& x) { return x.cuenta == cuenta; });
    });
}

} // namespace Estados
