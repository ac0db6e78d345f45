#include "reports/DiarioGeneral.h"

#include "core/Basedatos.h"
#include "core/Progreso.h"
#include "core/Valores.h"
#include "reports/Reporte.h"

#include <QHash>
#include <array>

namespace {
struct CuentaDiario {
    QString codInt;
    QString codJer; // the code text with the widest level's width, without its last "."
    QString descripcion;
};

bool Falla(TablaReporte* tabla, QString* error, const QString& texto) {
    tabla->filas.clear();
    if (error) *error = texto;
    return false;
}
// Hands the rows read so far over, the table left to go on with none.
void Entrego(const EntregaFilas& entrego, TablaReporte* tabla) {
    FilasReporte parte = std::move(tabla->filas); // shares them until the table lets them go
    tabla->filas.clear();
    entrego(std::move(parte));
}
} // namespace

void ColumnasDiario(TablaReporte* tabla) {
    tabla->columnas = QStringList{"Fecha",       "Asiento", "Concepto", "Cód Int.", "Cód Jer.",
                                  "Descripción", "Debe",    "Haber",    "Detalle"};
    tabla->importes = QVector<bool>(DiaColumnas, false);
    tabla->importes[DiaDebe - 1] = tabla->importes[DiaHaber - 1] = true;
    tabla->clases = {ClaseColumna::Fecha,  ClaseColumna::Numero, ClaseColumna::Texto,
                     ClaseColumna::Codigo, ClaseColumna::Codigo, ClaseColumna::Texto,
                     ClaseColumna::Importe, ClaseColumna::Importe, ClaseColumna::Texto};
    tabla->arrastre = true;
    tabla->tituloOculto = QStringLiteral("Asiento registrado");
    tabla->ocultoTras = DiaAsiento - 1;
}

QString AgregadoDiario(const Contexto& ctx) {
    if (ctx.empresa <= 0) return QString();
    return " para: " + NuloAVacio(ValorCampoTabla(ctx, "EmpresasPropia", "descEmpresaPropia", "EmpresaPropia=?",
                                                  {ctx.empresa}));
}

ConsultaSql ConsultaDiario(const Contexto& ctx, const QDate& desde, const QDate& hasta) {
    // Credit lines first, then lines of 0 (a missing amount counts as 0), then debit lines; lines of
    // one sign in the order they were entered.
    ConsultaSql c;
    c.sql =
        "SELECT Asientos.Asiento, Asientos.Fecha, Asientos.Concepto, DetAsientos.Cuenta, "
        "DetAsientos.Importe, "
        "DetAsientos.Concepto FROM Asientos LEFT JOIN DetAsientos ON "
        "DetAsientos.EmpresaPropia=Asientos.EmpresaPropia AND DetAsientos.NumEjercicio=Asientos.NumEjercicio "
        "AND DetAsientos.Asiento=Asientos.Asiento"
        " WHERE Asientos.EmpresaPropia=? AND Asientos.NumEjercicio=? AND Asientos.Fecha>=? AND "
        "Asientos.Fecha<=?"
        " ORDER BY Asientos.Fecha, Asientos.Asiento, CASE WHEN DetAsientos.Importe<0 THEN -1 WHEN "
        "DetAsientos.Importe>0 THEN 1 ELSE 0 END, DetAsientos.Detalle";
    c.parametros = {ctx.empresa, ctx.ejercicio, FechaSql(desde), FechaSql(hasta)};
    return c;
}

bool TablaDiarioGeneral(const Contexto& ctx, const QDate& desde, const QDate& hasta, int desdeAsiento,
                        TablaReporte* tabla, QString* error, const EntregaFilas& entrego) {
    tabla->titulo = TituloReporte("Diario General entre ", desde, hasta, AgregadoDiario(ctx));
    ColumnasDiario(tabla);
    tabla->membrete = MembreteEmpresa(ctx);
    tabla->filas.clear();

    // The level widths are read again on every run: the codes of the whole journal depend on them.
    const MaximosNivel maximos = MaximosDelPlan(ctx);
    const int profundidad = int(maximos.size()) - 1;
    if (profundidad <= 0) return true; // a chart without accounts
    // Each account's code is computed once, not once per line.
    const CodigoSql codigo = ArmoCodigoSql(ctx, profundidad, AnchoMascara(maximos));
    QSqlQuery qc = Consulto(ctx, "SELECT Cuentas0.Cuenta, Cuentas0.CodInt, Cuentas0.Descripcion, " +
                                codigo.expresion + " FROM Cuentas AS Cuentas0" + codigo.juntas +
                                " WHERE Cuentas0.EmpresaPropia=? AND Cuentas0.NumEjercicio=?",
                            {ctx.empresa, ctx.ejercicio});
    if (!qc.isActive()) return Falla(tabla, error, TextoError(qc.lastError()));
    QHash<int, CuentaDiario> cuentas;
    while (qc.next()) {
        QString jer = NuloAVacio(qc.value(3));
        jer.chop(1);
        cuentas.insert(qc.value(0).toInt(), {NuloAVacio(qc.value(1)), jer, NuloAVacio(qc.value(2))});
    }

    // Nothing else runs on the connection while the lines are read: on a connection of its own (a
    // screen's reading) they come as the engine finds them.
    const ConsultaSql c = ConsultaDiario(ctx, desde, hasta);
    QSqlQuery q = ConsultoAdelante(ctx, c.sql, c.parametros);
    if (!q.isActive()) return Falla(tabla, error, TextoError(q.lastError()));
    int numero = desdeAsiento;
    std::optional<int> anterior;
    QString oculto;
    // Each account's texts are stored once in each part handed over (once in all without `entrego`):
    // the marks are good for the store that holds them, so a new part takes them anew.
    QHash<int, std::array<FilasReporte::Guardado, 3>> guardadas;
    FilasReporte& filas = tabla->filas;
    Etapa(ctx.progreso, "Leyendo los asientos del período");
    qint64 leidas = 0;
    qsizetype parte = PrimeraEntrega;
    while (q.next()) {
        if (!Fila(ctx.progreso, leidas)) return Falla(tabla, error, TextoCancelado);
        const int asiento = q.value(0).toInt();
        if (asiento != anterior) {
            // A part ends with its last whole entry.
            if (entrego && filas.size() >= parte) {
                Entrego(entrego, tabla);
                guardadas.clear();
                parte = CadaEntrega;
            }
            if (anterior) filas.FinFila(); // an empty row between two entries
            anterior = asiento;
            oculto = QString::number(asiento);
            // The header: date, printed number and concept, the other cells empty.
            filas.EscriboTexto(FechaDeBase(q.value(1)).toString("dd/MM/yy"));
            filas.EscriboTexto(QString::number(numero++));
            filas.EscriboTexto(NuloAVacio(q.value(2)));
            for (int c = DiaConcepto; c < DiaColumnas; ++c)
                filas.Vacia();
            filas.FinFila(FuenteFila::NegritaCursiva, oculto);
        }
        const QVariant cuenta = q.value(3);
        const int clave = cuenta.isNull() ? -1 : cuenta.toInt();
        auto g = guardadas.find(clave);
        if (g == guardadas.end()) {
            const CuentaDiario c = clave < 0 ? CuentaDiario{} : cuentas.value(clave);
            g = guardadas.insert(clave, {filas.Guardo(c.codInt), filas.Guardo(c.codJer), filas.Guardo(c.descripcion)});
        }
        for (int c = DiaFecha; c < DiaCodInt; ++c)
            filas.Vacia();
        for (const FilasReporte::Guardado texto : *g)
            filas.Celda(texto);
        // Debit (a missing amount counts as 0) or credit, each in its column.
        const Importe importe = Importe::DeBase(q.value(4));
        if (importe.signo() >= 0) {
            filas.Monto(importe);
            filas.Vacia();
        } else {
            filas.Vacia();
            filas.Monto(importe.abs());
        }
        filas.EscriboTexto(NuloAVacio(q.value(5)));
        filas.FinFila(FuenteFila::Normal, oculto);
    }
    if (q.lastError().isValid()) return Falla(tabla, error, TextoError(q.lastError()));
    if (entrego && !tabla->filas.isEmpty()) Entrego(entrego, tabla);
    return true;
}
