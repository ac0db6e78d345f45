#include "reports/estados/Estados.h"

#include "core/Basedatos.h"
#include "core/Valores.h"
#include "journal/Escritura.h"
#include "reports/ReAjustado.h"
#include "reports/Reporte.h"

#include <QStringList>
#include <algorithm>

namespace Estados {

Importe Cifras::DeRubro(int rubro) const {
    return rubros.value({rubro, false}) + rubros.value({rubro, true});
}

Importe Cifras::DeLado(Lado lado, std::optional<bool> noCorriente) const {
    Importe t;
    for (auto i = rubros.cbegin(); i != rubros.cend(); ++i) {
        const Rubro* r = RubroDe(i.key().first);
        if (r && r->lado == lado && (!noCorriente || *noCorriente == i.key().second)) t += i.value();
    }
    return t;
}

Importe Cifras::Bruto() const {
    return DeRubro(Codigo::Ventas) + DeRubro(Codigo::CostoVentas);
}

Importe Cifras::Operativo() const {
    return Bruto() + DeRubro(Codigo::Comercializacion) + DeRubro(Codigo::Administracion);
}

Importe Cifras::AntesImpuesto() const {
    return Operativo() + DeRubro(Codigo::Financieros) + DeRubro(Codigo::OtrosResultados);
}

namespace {
// How many accounts a refusal names before it only counts the rest.
constexpr int Nombradas = 10;

QString Lista(const QStringList& cuentas) {
    QStringList l = cuentas.mid(0, Nombradas);
    if (cuentas.size() > Nombradas) l << QString("y %1 más").arg(cuentas.size() - Nombradas);
    return l.join("; ");
}

// The sum of the lines of each account in the period, closing entries left out, in historical amounts
// or restated; false with the message in *error.
bool SumasPeriodo(const Contexto& ctx, const QDate& desde, const QDate& hasta, int tabla, const QDate& ajustadoAl,
                  QMap<int, Importe>* sumas, QString* error) {
    sumas->clear();
    ConsultaSql c;
    const bool reexpreso = ajustadoAl.isValid();
    if (reexpreso) {
        if (!ConsultaSumasReAjustadas(ctx, tabla, desde, hasta, ajustadoAl, &c, error, true)) return false;
    } else {
        c.sql = "SELECT D.Cuenta, " + Importe::SumaSql("D.Importe") +
                " FROM DetAsientos AS D INNER JOIN Asientos AS A ON A.EmpresaPropia=D.EmpresaPropia AND "
                "A.NumEjercicio=D.NumEjercicio AND A.Asiento=D.Asiento WHERE D.EmpresaPropia=? AND "
                "D.NumEjercicio=? AND A.Fecha>=? AND A.Fecha<=? AND " +
                FueraDeCierres("A") + " GROUP BY D.Cuenta";
        c.parametros = {ctx.empresa, ctx.ejercicio, FechaSql(desde), FechaSql(hasta)};
    }
    QSqlQuery q = Consulto(ctx, c.sql, c.parametros);
    if (!q.isActive()) {
        *error = TextoError(q.lastError());
        return false;
    }
    int sinFecha = 0;
    while (q.next()) {
        const Importe suma = reexpreso ? Importe::DeCentavosBase(q.value(1)) + Importe::DeCentavosBase(q.value(2))
                                       : Importe::DeCentavosBase(q.value(1));
        if (reexpreso) sinFecha += q.value(3).toInt();
        (*sumas)[q.value(0).toInt()] += suma;
    }
    if (q.lastError().isValid()) {
        *error = TextoError(q.lastError());
        return false;
    }
    if (sinFecha > 0) {
        // A line that cannot be restated is never counted as it is, nor dropped.
        *error = TextoFaltantes(IndicesFaltantes(ctx, tabla, desde, hasta, ajustadoAl, true));
        return false;
    }
    return true;
}
} // namespace

bool CifrasPeriodo(const Contexto& ctx, const QDate& desde, const QDate& hasta, const Clasificador& clasificador,
                   bool otroPlan, int tablaAjuste, const QDate& ajustadoAl, Cifras* cifras, QString* error) {
    cifras->rubros.clear();
    PlanEstados plan;
    if (!plan.Cargo(ctx, error)) return false;
    QMap<int, Importe> sumas;
    if (!SumasPeriodo(ctx, desde, hasta, tablaAjuste, ajustadoAl, &sumas, error)) return false;
    QStringList sinRubro, otroEstado;
    for (auto i = sumas.cbegin(); i != sumas.cend(); ++i) {
        const CuentaEstado* c = plan.Busco(i.key());
        std::optional<Asignacion> a;
        if (c) a = otroPlan ? clasificador.DeRuta(c->ruta) : clasificador.De(c->cuenta);
        const Rubro* r = a ? RubroDe(a->rubro) : nullptr;
        if (!r) {
            sinRubro << (c ? plan.Nombre(c->cuenta) : QString("cuenta %1 (fuera del plan)").arg(i.key()));
            continue;
        }
        if (c->resultado != (r->lado == Lado::Resultados)) {
            otroEstado << plan.Nombre(c->cuenta) + " en " + r->nombre;
            continue;
        }
        // Assets show their debit balance; the rest their credit balance.
        const Importe monto = r->lado == Lado::Activo ? i.value() : -i.value();
        cifras->rubros[{r->codigo, Clasificable(*r) && a->noCorriente}] += monto;
    }
    if (sinRubro.isEmpty() && otroEstado.isEmpty()) return true;
    QStringList partes;
    if (!sinRubro.isEmpty())
        partes << "estas cuentas con movimientos no tienen rubro asignado: " + Lista(sinRubro);
    if (!otroEstado.isEmpty())
        partes << "estas cuentas tienen el rubro del otro estado (una cuenta de resultado va en el Estado de "
                  "Resultados, una patrimonial en el de Situación Patrimonial): " +
                      Lista(otroEstado);
    *error = "No se puede armar el estado" + QString(otroPlan ? " del ejercicio anterior" : "") + ", " +
             partes.join("; además, ") + ". Asígneles su rubro en Rubros de los Estados Contables.";
    cifras->rubros.clear();
    return false;
}

namespace {

const QString SinEjercicio = QStringLiteral(
    "No puede utilizar éste módulo si todavía no seleccionó un ejercicio (EmpresaPropia-Período)");

struct Columna {
    QString titulo;
    Cifras cifras;
};

// What both statements share: the period checked, the headings, the columns of both years.
struct Armado {
    QDate desde, hasta;
    QDate fin;      // the year's last day
    bool reexpreso = false;
    QVector<Columna> columnas;
    QStringList notas;
};

bool Preparo(const Contexto& ctx, const Pedido& p, bool situacion, Armado* a, QString* error) {
    QDate comienzo, fin;
    if (!FechasEjercicio(ctx, &comienzo, &fin)) {
        *error = SinEjercicio;
        return false;
    }
    a->desde = situacion || !p.desde.isValid() ? comienzo : p.desde;
    a->hasta = p.hasta.isValid() ? p.hasta : fin;
    a->fin = fin;
    const QString anio = FechaATexto(comienzo) + " al " + FechaATexto(fin);
    if (a->desde < comienzo || a->hasta > fin || a->hasta < comienzo || a->desde > fin) {
        *error = "Las fechas del estado deben estar dentro del ejercicio (del " + anio + ").";
        return false;
    }
    if (a->desde > a->hasta) {
        *error = "La fecha Desde es posterior a la fecha Hasta.";
        return false;
    }
    const bool reexpreso = p.ajustadoAl.isValid();
    a->reexpreso = reexpreso;
    QString tabla;
    if (reexpreso && !ExisteTablaAjuste(ctx, p.tablaAjuste, &tabla)) {
        *error = QString("No existe la tabla de ajuste %1; elija la tabla con que reexpresar.").arg(p.tablaAjuste);
        return false;
    }

    PlanEstados plan;
    QVector<Asignacion> asignaciones;
    bool porDefecto = false;
    if (!plan.Cargo(ctx, error) || !AsignacionesEjercicio(ctx, plan, &asignaciones, &porDefecto, error))
        return false;
    const Clasificador clasificador(plan, asignaciones);
    auto titulo = [situacion](const QDate& d, const QDate& h) {
        return situacion ? "Al " + FechaATexto(h) : FechaATexto(d) + " a " + FechaATexto(h);
    };
    Columna actual{titulo(a->desde, a->hasta), {}};
    if (!CifrasPeriodo(ctx, a->desde, a->hasta, clasificador, false, p.tablaAjuste, p.ajustadoAl, &actual.cifras,
                       error))
        return false;
    a->columnas = {actual};

    const int anterior = p.comparativo ? EjercicioAnterior(ctx) : 0;
    if (anterior) {
        const Contexto previo = ctx.conEjercicio(anterior);
        QDate c0, f0;
        FechasEjercicio(previo, &c0, &f0);
        // The whole previous year beside a whole year; beside a part of the year, the same part of the
        // previous one. The statement of financial position compares with the previous year's end.
        QDate d0 = c0, h0 = f0;
        if (!situacion && (a->desde != comienzo || a->hasta != fin)) {
            d0 = std::max(c0, a->desde.addYears(-1));
            h0 = std::min(f0, a->hasta.addYears(-1));
        }
        Columna previa{titulo(d0, h0), {}};
        if (!CifrasPeriodo(previo, d0, h0, clasificador, true, p.tablaAjuste, p.ajustadoAl, &previa.cifras, error))
            return false;
        a->columnas << previa;
    }
    if (reexpreso)
        a->notas << "Importes reexpresados al " + FechaATexto(p.ajustadoAl) + " por la tabla de ajuste " +
                        (tabla.isEmpty() ? QString::number(p.tablaAjuste) : tabla);
    else
        a->notas << "Importes en moneda histórica";
    if (p.comparativo)
        a->notas << (anterior ? QString("Comparativo con el ejercicio anterior")
                              : QString("La empresa no tiene ejercicio anterior para comparar"));
    if (porDefecto) a->notas << "Rubros propuestos por el plan de cuentas (no se grabaron rubros para el ejercicio)";
    return true;
}

// The rows of a statement, one amount column per year.
class Escritor {
public:
    Escritor(TablaReporte* t, const Armado& a) : t(t), a(a) {
        t->columnas = {"Rubro"};
        t->importes = {false};
        t->clases = {ClaseColumna::Texto};
        for (const Columna& c : a.columnas) {
            t->columnas << c.titulo;
            t->importes << true;
            t->clases << ClaseColumna::Importe;
        }
    }
    // A caption alone (a group's heading).
    void Titulo(const QString& texto, int nivel) {
        FilaReporte f;
        f.fuente = FuenteNivel(nivel);
        f.celdas = {texto};
        Agrego(f, nivel, false);
    }
    // A caption with one amount per column, computed from the column's figures.
    void Montos(const QString& texto, int nivel, FuenteFila fuente, const std::function<Importe(const Cifras&)>& monto,
                bool total = false) {
        FilaReporte f;
        f.fuente = fuente;
        f.celdas = {texto};
        for (const Columna& c : a.columnas)
            f.celdas << CeldaReporte(monto(c.cifras));
        Agrego(f, nivel, total);
    }
    // A heading's row, left out when it is zero in every column.
    void Rubro(const Estados::Rubro& r, int nivel, std::optional<bool> noCorriente) {
        bool alguno = false;
        auto monto = [&](const Cifras& c) {
            return noCorriente ? c.rubros.value({r.codigo, *noCorriente}) : c.DeRubro(r.codigo);
        };
        for (const Columna& c : a.columnas)
            alguno = alguno || !monto(c.cifras).esCero();
        if (alguno) Montos(r.nombre, nivel, FuenteFila::Normal, monto);
    }
    void Aviso(const QString& texto) {
        FilaReporte f;
        f.fuente = FuenteFila::Negrita;
        f.celdas = {"Atención: " + texto};
        Agrego(f, 0, true);
    }

private:
    TablaReporte* t;
    const Armado& a;
    void Agrego(const FilaReporte& f, int nivel, bool total) {
        if (total) t->totales << t->filas.size();
        t->niveles << quint8(nivel);
        t->filas.append(f);
    }
};

void Amueblo(const Contexto& ctx, const Armado& a, const QString& titulo, TablaReporte* t) {
    // The title is the statement and its date; the lines under it say whether the amounts are
    // historical or restated, and to what they are compared.
    t->titulo = titulo;
    t->membrete = MembreteEmpresa(ctx);
    t->notas = a.notas;
}

} // namespace

bool TablaSituacion(const Contexto& ctx, const Pedido& pedido, TablaReporte* tabla, QString* error) {
    Armado a;
    if (!Preparo(ctx, pedido, true, &a, error)) return false;
    TablaReporte t;
    Escritor e(&t, a);
    const struct {
        Lado lado;
        QString nombre;
    } lados[] = {{Lado::Activo, "Activo"}, {Lado::Pasivo, "Pasivo"}};
    for (const auto& l : lados) {
        e.Titulo(l.nombre.toUpper(), 1);
        for (const bool noCorriente : {false, true}) {
            const QString grupo = l.nombre + (noCorriente ? " No Corriente" : " Corriente");
            e.Titulo(grupo, 2);
            for (const Rubro& r : Rubros())
                if (r.lado == l.lado) e.Rubro(r, 3, noCorriente);
            e.Montos("Total del " + grupo, 2, FuenteNivel(2),
                     [&](const Cifras& c) { return c.DeLado(l.lado, noCorriente); });
        }
        e.Montos("Total del " + l.nombre, 1, FuenteNivel(1), [&](const Cifras& c) { return c.DeLado(l.lado); });
    }
    e.Titulo("PATRIMONIO NETO", 1);
    for (const Rubro& r : Rubros())
        if (r.lado == Lado::PatrimonioNeto) e.Rubro(r, 2, std::nullopt);
    e.Montos(a.hasta == a.fin ? "Resultado del Ejercicio" : "Resultado del Período", 2,
             FuenteFila::Normal, [](const Cifras& c) { return c.Resultado(); });
    e.Montos("Total del Patrimonio Neto", 1, FuenteNivel(1),
             [](const Cifras& c) { return c.Patrimonio() + c.Resultado(); });
    e.Montos("Total del Pasivo más Patrimonio Neto", 0, FuenteFila::Negrita,
             [](const Cifras& c) { return c.Pasivo() + c.Patrimonio() + c.Resultado(); }, true);
    // Balanced entries always balance the statement; a difference is a fault of the books, never hidden.
    QStringList difieren;
    for (const Columna& c : a.columnas) {
        const Importe d = c.cifras.Activo() - (c.cifras.Pasivo() + c.cifras.Patrimonio() + c.cifras.Resultado());
        if (!d.esCero()) difieren << c.titulo.toLower() + " en " + d.abs().Texto(u',', u'.');
    }
    // Restated, monetary accounts keep their amounts while the rest grow: the difference is the result
    // of exposure to inflation that the books have not recorded (or an unbalanced entry, which the
    // historical statement tells).
    if (!difieren.isEmpty())
        e.Aviso("el Activo y el Pasivo más el Patrimonio Neto difieren " + difieren.join(", ") +
                (a.reexpreso ? "; en moneda reexpresada es el resultado por exposición a la inflación "
                               "(RECPAM) que los asientos no registran, si el estado en moneda histórica "
                               "balancea."
                             : "; hay asientos desbalanceados."));
    Amueblo(ctx, a, "Estado de Situación Patrimonial al " + FechaATexto(a.hasta), &t);
    *tabla = t;
    return true;
}

bool TablaResultados(const Contexto& ctx, const Pedido& pedido, TablaReporte* tabla, QString* error) {
    Armado a;
    if (!Preparo(ctx, pedido, false, &a, error)) return false;
    TablaReporte t;
    Escritor e(&t, a);
    auto rubro = [&](int codigo) {
        const Rubro* r = RubroDe(codigo);
        e.Montos(r->nombre, 1, FuenteFila::Normal, [codigo](const Cifras& c) { return c.DeRubro(codigo); });
    };
    rubro(Codigo::Ventas);
    rubro(Codigo::CostoVentas);
    e.Montos("Resultado Bruto", 1, FuenteFila::Negrita, [](const Cifras& c) { return c.Bruto(); });
    rubro(Codigo::Comercializacion);
    rubro(Codigo::Administracion);
    e.Montos("Resultado Operativo", 1, FuenteFila::Negrita, [](const Cifras& c) { return c.Operativo(); });
    rubro(Codigo::Financieros);
    rubro(Codigo::OtrosResultados);
    e.Montos("Resultado antes del Impuesto a las Ganancias", 1, FuenteFila::Negrita,
             [](const Cifras& c) { return c.AntesImpuesto(); });
    rubro(Codigo::ImpuestoGanancias);
    e.Montos("Resultado del Ejercicio", 0, FuenteFila::Negrita, [](const Cifras& c) { return c.Resultado(); },
             true);
    Amueblo(ctx, a, "Estado de Resultados del " + FechaATexto(a.desde) + " al " + FechaATexto(a.hasta), &t);
    *tabla = t;
    return true;
}

} // namespace Estados
