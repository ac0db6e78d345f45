// Times the journal on a year of 200,000 entries and 700,000 lines over a chart of 2,000 postable
// accounts, written by the shared book generator into a fresh Partidex database: the search listing
// every entry of the year folded into the editor's list (time and peak memory), other searches, and
// showing one entry (header and lines), and saving new entries through the journal's save.
// Run: ./bench_diario [--entries N] [--book Partidex.MDB] [--gen gen_book.py]
// With SOLO_GUARDO set in the environment only showing and saving are timed (the listings of a large
// book take minutes).
#include "bench/Medicion.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/Lector.h"
#include "core/Dialecto.h"
#include "core/Importe.h"
#include "core/Valores.h"
#include "journal/Asiento.h"
#include "journal/BusquedaAsientos.h"
#include "journal/ListaAsientos.h"
#include "journal/ui/frmAsientos.h"
#include "core/ui/Grilla.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
using namespace Medicion;

// Showing entry n, as the editor does: its header, then its lines with their accounts.
int MuestroAsiento(int n) {
    QSqlQuery c = Consulto(
        "SELECT * FROM Asientos WHERE EmpresaPropia = ? AND NumEjercicio = ? AND Asiento = ?", {1, 1, n});
    if (!c.next()) return 0;
    QSqlQuery l = Consulto(
        "SELECT DetAsientos.*, CodInt, Descripcion FROM Cuentas INNER JOIN DetAsientos "
        "ON Cuentas.Cuenta = DetAsientos.Cuenta AND Cuentas.NumEjercicio = DetAsientos.NumEjercicio "
        "AND Cuentas.EmpresaPropia = DetAsientos.EmpresaPropia "
        "WHERE DetAsientos.EmpresaPropia = ? AND DetAsientos.NumEjercicio = ? AND DetAsientos.Asiento = ? "
        "ORDER BY -" +
            Dialecto::Signo("Importe") + ", Concepto",
        {1, 1, n});
    int lineas = 0;
    while (l.next())
        ++lineas;
    return lineas;
}

// The rows of a query read one by one, every column, without folding them.
void LeoFilas(const char* nombre, const ConsultaSql& q) {
    QElapsedTimer r;
    r.start();
    const double cpu = CpuMs();
    // As the list reads them: every value of every row, straight from the engine.
    const std::unique_ptr<Lector> c = LeoAdelante(Contexto(), q.sql, q.parametros);
    long long filas = 0;
    while (c->Siguiente()) {
        for (int i = 0; i < 7; ++i)
            c->Valor(i);
        ++filas;
    }
    std::printf("%s: %lld rows read in %.0f ms (processor %.0f ms)\n", nombre, filas, Ms(r), CpuMs() - cpu);
}

// The statements a save of a new 10-line entry runs, in one write transaction: the next number,
// the header and the lines. The posting checks of the journal's own save are not included.
struct CuentaImputable {
    QString cuenta, codInt, descripcion;
};

// Postable accounts of the chart, for the entries the benchmark saves.
std::vector<CuentaImputable> CuentasImputables(int cuantas) {
    std::vector<CuentaImputable> r;
    QSqlQuery q =
        Consulto("SELECT C.Cuenta, C.CodInt, C.Descripcion FROM Cuentas C WHERE C.EmpresaPropia = 1 "
                 "AND C.NumEjercicio = 1 AND C.CuentaPadre IS NOT NULL AND NOT EXISTS (SELECT 1 FROM "
                 "Cuentas H WHERE H.EmpresaPropia = 1 AND H.NumEjercicio = 1 AND H.CuentaPadre = "
                 "C.Cuenta) ORDER BY C.Cuenta");
    while (q.next() && int(r.size()) < cuantas)
        r.push_back({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
    return r;
}

// Saves a new balanced entry of 10 lines through the journal's own save (numbering, the posting
// checks, header and lines in one transaction) and returns its time in ms; -1 when refused.
double GraboDiezLineas(const std::vector<CuentaImputable>& cuentas, int desde, const QDate& fecha) {
    AsientoEditado e;
    e.fecha = FechaATexto(fecha);
    e.concepto = "Asiento de medición";
    for (int d = 0; d < 10; ++d) {
        const CuentaImputable& c = cuentas[size_t(desde + d) % cuentas.size()];
        LineaEditada l;
        l.cuenta = c.cuenta;
        l.codInt = c.codInt;
        l.descripcion = c.descripcion.isEmpty() ? QStringLiteral("cuenta") : c.descripcion;
        (d < 5 ? l.debe : l.haber) = "123.45";
        l.concepto = "línea";
        l.fechaAjuste = e.fecha;
        e.lineas << l;
    }
    QElapsedTimer r;
    r.start();
    const ResultadoAsiento res = GuardoAsiento(ContextoActual(), e);
    const double ms = Ms(r);
    if (!res.ok) {
        std::printf("The save was refused: %s\n", qPrintable(res.mensaje));
        return -1;
    }
    return ms;
}

void Busco(const char* nombre, const CriteriosBusqueda& c, bool conMemoria) {
    QString error;
    const auto q = ArmoBusqueda(c, 1, 1, &error);
    if (!q) {
        std::printf("%s: %s\n", nombre, qPrintable(error));
        return;
    }
    for (int vez = 1; vez <= 2; ++vez) {
        ReinicioPico();
        const double antes = MemoriaMb("VmRSS");
        QElapsedTimer r;
        r.start();
        const double cpu = CpuMs();
        ListaAsientos filas;
        if (!ArmoListaAsientos(Contexto(), *q, filas, &error)) {
            std::printf("%s: %s\n", nombre, qPrintable(error));
            return;
        }
        const double ms = Ms(r);
        std::printf("%s, run %d: %d entries listed in %.0f ms (processor %.0f ms)", nombre, vez,
                    int(filas.size()), ms, CpuMs() - cpu);
        if (conMemoria)
            std::printf("; process peak %.0f MB (%.0f MB before, %.0f MB held by the list)",
                        MemoriaMb("VmHWM"), antes, MemoriaMb("VmRSS") - antes);
        std::printf("\n");
    }
}

// The same list through the editor's screen: read, shown in its grid, each row as high as its texts.
void Pantalla(const char* nombre, const ConsultaSql& consulta) {
    ReinicioPico();
    const double antes = MemoriaMb("VmRSS");
    frmAsientos f;
    f.show();
    App().entryListQuery = consulta;
    QElapsedTimer r;
    r.start();
    const double cpu = CpuMs();
    f.ActSprRpt();
    const double ms = Ms(r);
    std::printf("%s: %d rows in %.0f ms (processor %.0f ms); process peak %.0f MB (%.0f MB before, %.0f MB "
                "held by the screen)\n",
                nombre, f.sprAsientos->filas(), ms, CpuMs() - cpu, MemoriaMb("VmHWM"), antes,
                MemoriaMb("VmRSS") - antes);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir carpeta;
    if (!Medicion::AbroLibro(app.arguments(), carpeta)) return 1;
    App().currentCompany = 1;
    App().currentYear = 1;
    const DefectosBusqueda d = LeoDefectosBusqueda(1, 1);
    QSqlQuery n = Consulto("SELECT COUNT(*) FROM DetAsientos WHERE EmpresaPropia = 1 AND NumEjercicio = 1");
    std::printf("Book: %d entries, %lld lines\n", d.asientoA, n.next() ? n.value(0).toLongLong() : 0LL);

    const bool soloGuardo = qEnvironmentVariableIsSet("SOLO_GUARDO");
    // The search as the screen opens: every entry of the year.
    CriteriosBusqueda todo;
    todo.fechaDe = FechaATexto(d.fechaDe);
    todo.fechaA = FechaATexto(d.fechaA);
    todo.asientoDe = QString::number(d.asientoDe);
    todo.asientoA = QString::number(d.asientoA);
    if (!soloGuardo) {
    Busco("Every entry of the year (goal 3000 ms, 400 MB)", todo, true);
    LeoFilas("Every entry of the year, the query's rows alone", *ArmoBusqueda(todo, 1, 1));
    Pantalla("Every entry of the year through the editor's screen (goal 400 MB)", *ArmoBusqueda(todo, 1, 1));
    CriteriosBusqueda porNumero = todo;
    porNumero.orden = PorAsiento;
    Busco("Every entry, by number", porNumero, false);
    CriteriosBusqueda cuenta = todo;
    cuenta.descripcion = "cuenta 3.7.*";
    Busco("Account description \"cuenta 3.7.*\"", cuenta, false);
    CriteriosBusqueda monto = todo;
    monto.importeDesde = "9.990";
    monto.porImporte = EnHaber;
    Busco("A credit of 9.990 or more", monto, false);
    CriteriosBusqueda suma = todo;
    suma.importeDesde = "5000";
    suma.importeHasta = "5100";
    suma.porImporte = SumaDebitos;
    Busco("Debits adding 5.000 to 5.100", suma, false);
    CriteriosBusqueda concepto = todo;
    concepto.concepto = "prueba 1999*";
    Busco("Entry concept \"prueba 1999*\"", concepto, false);

    }
    // Showing entries spread over the year.
    std::vector<double> tiempos;
    int lineas = 0;
    for (int i = 0; i < 1000; ++i) {
        const int a = 1 + int(QRandomGenerator::global()->bounded(d.asientoA));
        QElapsedTimer r;
        r.start();
        lineas += MuestroAsiento(a);
        tiempos.push_back(Ms(r));
    }
    std::printf(
        "Showing an entry (header and lines), 1000 entries: median %.3f ms, 99%% under %.3f ms, max %.3f "
        "ms (goal 20 ms), %d lines\n",
        Percentil(tiempos, 0.5), Percentil(tiempos, 0.99), Percentil(tiempos, 1.0), lineas);

    // Saving new entries of 10 lines, then removing them so the book stays as generated.
    const int ultimo = d.asientoA;
    tiempos.clear();
    const std::vector<CuentaImputable> cuentas = CuentasImputables(400);
    for (int i = 0; i < 200 && cuentas.size() >= 10; ++i) {
        const double ms = GraboDiezLineas(cuentas, 2 * i, d.fechaA);
        if (ms < 0) break;
        tiempos.push_back(ms);
    }
    if (!tiempos.empty())
        std::printf("Saving a new 10-line entry (GuardoAsiento: checks, numbering, header and lines), %zu "
                    "entries: median %.3f ms (goal 10 ms), 99%% under %.3f ms\n",
                    tiempos.size(), Percentil(tiempos, 0.5), Percentil(tiempos, 0.99));
    Ejecuto("DELETE FROM Asientos WHERE EmpresaPropia = 1 AND NumEjercicio = 1 AND Asiento > ?", {ultimo});
    CierroBase();
    return 0;
}
