#include "reports/Reporte.h"

#include "core/Contexto.h"
#include "core/Basedatos.h"
#include "core/CatalogoDatos.h"
#include "core/Dialecto.h"
#include "core/Motor.h"
#include "core/Sesiones.h"
#include "core/TipoAsiento.h"
#include "core/Valores.h"

#include <QStringList>

bool FechasEjercicio(const Contexto& ctx, QDate* comienzo, QDate* fin) {
    QSqlQuery q = Consulto(ctx,
                           "SELECT ComienzoEjercicio, FinEjercicio FROM Ejercicios WHERE EmpresaPropia=? AND "
                           "NumEjercicio=?",
                           {ctx.empresa, ctx.ejercicio});
    if (!q.next()) {
        *comienzo = *fin = QDate();
        return false;
    }
    *comienzo = FechaDeBase(q.value(0));
    *fin = FechaDeBase(q.value(1));
    return true;
}

bool VerificoPeriodo(const Contexto& ctx, const QString& desde, const QString& hasta, QDate* d1, QDate* d2,
                     QString* mensaje) {
    const QDate de = desde.trimmed().size() == 10 ? TextoAFecha(desde) : QDate();
    const QDate a = hasta.trimmed().size() == 10 ? TextoAFecha(hasta) : QDate();
    auto falla = [&](const QString& texto) {
        if (mensaje) *mensaje = texto;
        return false;
    };
    if (!de.isValid()) return falla("La fecha Desde no es una fecha válida; escríbala como dd/mm/aaaa.");
    if (!a.isValid()) return falla("La fecha Hasta no es una fecha válida; escríbala como dd/mm/aaaa.");
    QDate comienzo, fin;
    if (!FechasEjercicio(ctx, &comienzo, &fin))
        return falla(
            "No puede utilizar éste módulo si todavía no seleccionó un ejercicio (EmpresaPropia-Período)");
    auto fuera = [&](const QDate& f) { return f < comienzo || f > fin; };
    if (fuera(de) || fuera(a))
        return falla(QString("Las fechas deben estar dentro del ejercicio, del %1 al %2.")
                         .arg(FechaATexto(comienzo), FechaATexto(fin)));
    *d1 = de;
    *d2 = a;
    return true;
}

bool MaximosReporte::Verifico(const Contexto& ctx) {
    // The mark says the chart has not changed since this screen loaded it; the maxima must also be
    // those of the chart in use, since a mark of another company or year may still stand.
    if (ctx.Compartida() && conexion.isEmpty() && empresa == ctx.empresa && ejercicio == ctx.ejercicio &&
        PantallaRegistrada(ctx, pantalla))
        return false;
    niveles = MaximosDelPlan(ctx);
    empresa = ctx.empresa;
    ejercicio = ctx.ejercicio;
    conexion = ctx.conexion;
    if (ctx.Compartida()) VerificoRegistro(ctx, pantalla);
    return true;
}

int MaximosReporte::AnchoMascara() const {
    return ::AnchoMascara(niveles);
}

int AnchoMascara(const MaximosNivel& maximos) {
    int mayor = 0;
    for (int i = 1; i < maximos.size(); ++i)
        mayor = std::max(mayor, maximos[i]);
    return int(QString::number(mayor).size());
}

void MaximosReporte::Olvido() {
    niveles = MaximosNivel{0};
    empresa = ejercicio = -1;
    conexion.clear();
}

CodigoSql ArmoCodigoSql(const Contexto& ctx, int profundidad, int ancho) {
    CodigoSql c;
    QStringList piezas;
    // From the farthest ancestor down to the account; a slot above the root joins the root again
    // (its own parent) and, like the root, adds nothing.
    for (int k = profundidad - 1; k >= 0; --k) {
        const QString t = QString("Cuentas%1").arg(k);
        piezas << QString("(CASE WHEN %1.Cuenta IS NULL OR %1.Cuenta=0 THEN '' ELSE %2 || '.' END)")
                      .arg(t, MotorDe(ctx.Base()).dialecto.Rellenado(t + ".NumHijo", ancho));
    }
    c.expresion = piezas.isEmpty() ? QStringLiteral("''") : piezas.join(" || ");
    for (int i = 1; i <= profundidad; ++i)
        c.juntas += QString(" LEFT JOIN Cuentas AS Cuentas%1 ON Cuentas%2.CuentaPadre=Cuentas%1.Cuenta AND "
                            "Cuentas%2.NumEjercicio=Cuentas%1.NumEjercicio AND "
                            "Cuentas%2.EmpresaPropia=Cuentas%1.EmpresaPropia")
                        .arg(i)
                        .arg(i - 1);
    return c;
}

int Nivel(const QString& codigo) {
    return int(codigo.count(QLatin1Char('.')));
}

QString FormatoJerarquia(const QString& codigo, const MaximosNivel& maximos) {
    QStringList segmentos = codigo.split(QLatin1Char('.'));
    segmentos.removeLast(); // what follows the last "." (empty in a well-formed code)
    QStringList salida;
    for (int k = 0; k < segmentos.size(); ++k) {
        bool ok = false;
        const int n = segmentos[k].toInt(&ok);
        const int ancho = AnchoNivel(maximos, k + 1);
        salida << (ok ? QString::number(n).rightJustified(ancho, QLatin1Char('0')) : segmentos[k]);
    }
    return salida.join(QLatin1Char('.'));
}

FuenteFila FuenteNivel(int nivel) {
    if (nivel <= 1) return FuenteFila::Negrita;
    if (nivel == 2) return FuenteFila::NegritaCursiva;
    return FuenteFila::Cursiva;
}

std::optional<Importe> SaldoDebe(Importe debe, Importe haber) {
    if (debe >= haber && debe.signo() >= 0) return debe - haber;
    return std::nullopt;
}
std::optional<Importe> SaldoHaber(Importe debe, Importe haber) {
    if (debe < haber) return haber - debe;
    return std::nullopt;
}

Sumarizador::Sumarizador(const MaximosNivel& maximos, std::function<void(const FilaBalance&)> receptor)
    : maximos(maximos), receptor(std::move(receptor)) {}

RegistroReporte Sumarizador::CopioRegistro(const QSqlQuery& q) {
    RegistroReporte r;
    r.descripcion = NuloAVacio(q.value(0));
    r.codigo = NuloAVacio(q.value(1));
    r.codInt = q.value(2);
    if (!q.value(3).isNull()) r.sumaDebe = Importe::DeCentavosBase(q.value(3));
    if (!q.value(4).isNull()) r.sumaHaber = Importe::DeCentavosBase(q.value(4));
    r.tieneHijos = !q.value(5).isNull();
    return r;
}

void Sumarizador::AbroNivel(int nivel) {
    if (totalDebe.size() <= nivel) {
        totalDebe.resize(nivel + 1);
        totalHaber.resize(nivel + 1);
        abiertos.resize(nivel + 1);
    }
}

void Sumarizador::Agrego(const RegistroReporte& registro) {
    if (Nivel(registro.codigo) == 0) return; // the root row is not an account
    if (pendiente) Escribo(*pendiente, &registro);
    pendiente = registro;
}

void Sumarizador::Termino() {
    if (pendiente) Escribo(*pendiente, nullptr);
    pendiente.reset();
    Entrego();
}

void Sumarizador::Escribo(const RegistroReporte& r, const RegistroReporte* siguiente) {
    const int nivel = Nivel(r.codigo);
    AbroNivel(nivel);
    if (siguiente && nivel < Nivel(siguiente->codigo)) {
        // A summary account whose descendants follow: it opens its level.
        abierto = nivel;
        abiertos[nivel] = r;
        totalDebe[nivel] = totalHaber[nivel] = Importe();
        ImprimoNombre(r, nivel, true, false);
        return;
    }
    if (!r.tieneHijos) {
        const Importe debe = r.sumaDebe.value_or(Importe());
        const Importe haber = r.sumaHaber.value_or(Importe());
        totalDebe[abierto] += debe;
        totalHaber[abierto] += haber;
        ImprimoNombre(r, nivel, false, false);
        ImprimoSumas(debe, haber);
    } else {
        // Its children were all filtered out: a heading alone, no totals.
        ImprimoNombre(r, nivel, true, false);
    }
    // Going up the tree (or at the end) closes every level deeper than the next account's parent.
    const int hasta = siguiente ? Nivel(siguiente->codigo) : 1;
    if (siguiente && hasta >= nivel) return;
    while (abierto >= hasta && abierto >= 1) {
        const int l = abierto;
        ImprimoNombre(abiertos[l], l, true, true);
        ImprimoSumas(totalDebe[l], totalHaber[l]);
        totalDebe[l - 1] += totalDebe[l];
        totalHaber[l - 1] += totalHaber[l];
        abierto = l - 1;
    }
}

void Sumarizador::ImprimoNombre(const RegistroReporte& r, int nivel, bool encabezado, bool total) {
    Entrego();
    FilaBalance f;
    const QString sangria(3 * std::max(0, nivel - 1), QLatin1Char(' '));
    f.nivel = nivel;
    f.encabezado = encabezado;
    f.total = total;
    if (encabezado || total) {
        f.fuente = FuenteNivel(nivel);
        f.sumar = sangria + (total ? "Total " + r.descripcion : r.descripcion);
    } else {
        f.imputable = r.descripcion;
    }
    if (!total) {
        f.codigo = sangria + FormatoJerarquia(r.codigo, maximos);
        f.codInt = NuloAVacio(r.codInt);
    }
    fila = f;
}

void Sumarizador::ImprimoSumas(Importe debe, Importe haber) {
    if (!fila) return;
    fila->conSumas = true;
    fila->debe = debe;
    fila->haber = -haber; // credits are stored negative and shown positive
}

void Sumarizador::Entrego() {
    if (fila && receptor) receptor(*fila);
    fila.reset();
}

QString EncabezadoReporte(const QString& titulo, const QString& desde, const QString& hasta,
                          const QString& agregado) {
    return "/fb1/fi1/fz\"12\"" + titulo + desde + " y " + hasta + agregado + "/rPágina: /p/n";
}

QStringList MembreteEmpresa(const Contexto& ctx) {
    if (ctx.empresa <= 0) return {};
    const std::optional<FilaLeida> fila = LeoFila(Consulto(
        ctx, "SELECT descEmpresaPropia, CUIT, Domicilio FROM EmpresasPropia WHERE EmpresaPropia=?", {ctx.empresa}));
    if (!fila) return {};
    const QString nombre = NuloAVacio(fila->Valor(0));
    if (nombre.isEmpty()) return {};
    QStringList lineas{nombre};
    // The tax number and the address, each on its own line, only when the company has them.
    const QString cuit = NuloAVacio(fila->Valor(1)).trimmed();
    if (!cuit.isEmpty()) lineas << "CUIT " + cuit;
    const QString domicilio = NuloAVacio(fila->Valor(2)).trimmed();
    if (!domicilio.isEmpty()) lineas << domicilio;
    return lineas;
}

QString TituloReporte(const QString& titulo, const QDate& desde, const QDate& hasta,
                      const QString& agregado) {
    return titulo + FechaATexto(desde) + " y " + FechaATexto(hasta) + agregado;
}

QString FueraDeCierres(const QString& asientos) {
    return QString("(%1.Especial IS NULL OR %1.Especial NOT IN (%2, %3))")
        .arg(asientos)
        .arg(int(Especial::CierreResultados))
        .arg(int(Especial::CierrePatrimonial));
}
