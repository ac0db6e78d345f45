#include "reports/DiarioGeneral.h"

#include "core/Basedatos.h"
#include "core/Progreso.h"
#include "core/Valores.h"
#include "reports/Reporte.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <vector>

namespace {
// A line of the journal as read, until its day is put in order; its texts lie in the day's buffer.
struct LineaDiario {
    int asiento = 0;
    size_t conceptoAsiento = 0, largoConceptoAsiento = 0;
    int cuenta = -1; // -1: no account (or an entry without lines)
    Importe importe;
    int signo = 0;
    qint64 detalle = -1;
    size_t concepto = 0, largoConcepto = 0;
};

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
    // In date order only, as the index by date gives them: the lines of each day are put in the order
    // of the journal by its reader (sorting every line by entry and sign in the engine cost more than
    // reading them).
    ConsultaSql c;
    c.sql =
        "SELECT Asientos.Asiento, Asientos.Fecha, Asientos.Concepto, DetAsientos.Cuenta, "
        "DetAsientos.Importe, DetAsientos.Concepto, DetAsientos.Detalle FROM Asientos LEFT JOIN DetAsientos ON "
        "DetAsientos.EmpresaPropia=Asientos.EmpresaPropia AND DetAsientos.NumEjercicio=Asientos.NumEjercicio "
        "AND DetAsientos.Asiento=Asientos.Asiento"
        " WHERE Asientos.EmpresaPropia=? AND Asientos.NumEjercicio=? AND Asientos.Fecha>=? AND "
        "Asientos.Fecha<=?"
        " ORDER BY Asientos.Fecha";
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
    const std::unique_ptr<Lector> q = LeoAdelante(ctx, c.sql, c.parametros);
    int numero = desdeAsiento;
    std::optional<int> anterior;
    QString oculto;
    // Each account's texts are stored once in each part handed over (once in all without `entrego`):
    // the marks are good for the store that holds them, so a new part takes them anew.
    QHash<int, std::array<FilasReporte::Guardado, 3>> guardadas;
    FilasReporte& filas = tabla->filas;
    qint64 leidas = 0;
    qsizetype parte = PrimeraEntrega;
    // One day's lines, put in the journal's order before they are written: by entry, then credit lines,
    // lines of 0 (a missing amount counts as 0) and debit lines, those of one sign in the order they
    // were entered.
    std::vector<LineaDiario> dia;
    std::string textos; // the texts of the day's lines
    std::vector<qsizetype> orden;
    QByteArray fechaDia; // the day as stored
    QString fecha;       // and as printed
    auto texto = [&](size_t desde, size_t largo) { return QByteArrayView(textos.data() + desde, qsizetype(largo)); };
    auto escriboDia = [&] {
        orden.resize(dia.size());
        for (size_t i = 0; i < dia.size(); ++i)
            orden[i] = qsizetype(i);
        std::sort(orden.begin(), orden.end(), [&](qsizetype a, qsizetype b) {
            const LineaDiario &x = dia[size_t(a)], &y = dia[size_t(b)];
            if (x.asiento != y.asiento) return x.asiento < y.asiento;
            if (x.signo != y.signo) return x.signo < y.signo;
            return x.detalle < y.detalle;
        });
        for (const qsizetype i : orden) {
            const LineaDiario& l = dia[size_t(i)];
            if (l.asiento != anterior) {
                // A part ends with its last whole entry.
                if (entrego && filas.size() >= parte) {
                    Entrego(entrego, tabla);
                    guardadas.clear();
                    parte = CadaEntrega;
                }
                if (anterior) filas.FinFila(); // an empty row between two entries
                anterior = l.asiento;
                oculto = QString::number(l.asiento);
                // The header: date, printed number and concept, the other cells empty.
                filas.EscriboTexto(fecha);
                char cifras[24];
                const auto fin = std::to_chars(cifras, cifras + sizeof cifras, numero++).ptr;
                filas.EscriboUtf8(QByteArrayView(cifras, fin - cifras));
                filas.EscriboUtf8(texto(l.conceptoAsiento, l.largoConceptoAsiento));
                for (int c = DiaConcepto; c < DiaColumnas; ++c)
                    filas.Vacia();
                filas.FinFila(FuenteFila::NegritaCursiva, oculto);
            }
            auto g = guardadas.find(l.cuenta);
            if (g == guardadas.end()) {
                const CuentaDiario c = l.cuenta < 0 ? CuentaDiario{} : cuentas.value(l.cuenta);
                g = guardadas.insert(l.cuenta,
                                     {filas.Guardo(c.codInt), filas.Guardo(c.codJer), filas.Guardo(c.descripcion)});
            }
            for (int c = DiaFecha; c < DiaCodInt; ++c)
                filas.Vacia();
            for (const FilasReporte::Guardado t : *g)
                filas.Celda(t);
            // Debit or credit, each in its column.
            if (l.importe.signo() >= 0) {
                filas.Monto(l.importe);
                filas.Vacia();
            } else {
                filas.Vacia();
                filas.Monto(l.importe.abs());
            }
            filas.EscriboUtf8(texto(l.concepto, l.largoConcepto));
            filas.FinFila(FuenteFila::Normal, oculto);
        }
        dia.clear();
        textos.clear();
    };
    auto guardo = [&](QByteArrayView t, size_t* desde, size_t* largo) {
        *desde = textos.size();
        *largo = size_t(t.size());
        textos.append(t.data(), size_t(t.size()));
    };
    Etapa(ctx.progreso, "Leyendo los asientos del período");
    while (q->Siguiente()) {
        if (!Fila(ctx.progreso, leidas)) return Falla(tabla, error, TextoCancelado);
        const QByteArrayView dato = q->Texto(1);
        if (dato != fechaDia) {
            escriboDia();
            fechaDia = dato.toByteArray();
            fecha = FechaDeBase(q->Valor(1)).toString("dd/MM/yy");
        }
        LineaDiario l;
        l.asiento = int(q->Entero(0));
        // The entry's concept is kept once for its lines in a row.
        if (!dia.empty() && dia.back().asiento == l.asiento) {
            l.conceptoAsiento = dia.back().conceptoAsiento;
            l.largoConceptoAsiento = dia.back().largoConceptoAsiento;
        } else {
            guardo(q->Texto(2), &l.conceptoAsiento, &l.largoConceptoAsiento);
        }
        l.cuenta = q->Nulo(3) ? -1 : int(q->Entero(3));
        const QVariant importe = q->Valor(4);
        l.importe = Importe::DeBase(importe);
        // The sign of the amount as stored, a fraction of a cent included.
        const double monto = importe.isNull() ? 0 : importe.toDouble();
        l.signo = monto < 0 ? -1 : monto > 0 ? 1 : 0;
        guardo(q->Texto(5), &l.concepto, &l.largoConcepto);
        l.detalle = q->Nulo(6) ? -1 : q->Entero(6);
        dia.push_back(l);
    }
    if (!q->Error().isEmpty()) return Falla(tabla, error, q->Error());
    escriboDia();
    if (entrego && !tabla->filas.isEmpty()) Entrego(entrego, tabla);
    return true;
}
