// Times the ledgers and the general journal on the year of 200,000 entries and 700,000 lines written
// by the shared book generator, from the command to the filled grid, as the report screens refresh:
// the new table is built while the last one and its grid are still held, then the grid is emptied
// and filled from it. Prints wall and processor time and the peak memory of each report.
// The month figures: the ledger of the account with the most lines for March, and the general journal
// of March, the ledger also as the report screen builds it (on a worker thread, on a connection of its
// own, behind the progress window).
// Run: ./bench_libros [--book Partidex.MDB] [--entries N] [--veces N] [--solo mayores|cuentas|diario|mes]
// A book named that does not exist yet is written there by the shared generator.
#include "bench/Medicion.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Sesiones.h"
#include "core/ui/DialogoProgreso.h"
#include "core/ui/Grilla.h"
#include "core/ui/GrillaModelo.h"
#include "reports/DiarioGeneral.h"
#include "reports/Mayores.h"
#include "reports/ui/VuelcoTabla.h"
#include "reports/ui/frmRptDiarioGeneral.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

using namespace Medicion;

double Mediana(std::vector<double> v) {
    return Percentil(std::move(v), 0.5);
}

using Armado = std::function<bool(TablaReporte*, QString*)>;

void Mido(const char* nombre, Grilla* grilla, const Armado& armo, int veces, double meta) {
    TablaReporte tabla; // what the screen holds between refreshes
    std::vector<double> armado, total, cpu, cpuTabla;
    ReinicioPico();
    const double antes = MemoriaMb("VmRSS");
    for (int i = 0; i < veces; ++i) {
        QElapsedTimer reloj;
        reloj.start();
        const double c0 = CpuMs();
        TablaReporte nueva;
        QString error;
        if (!armo(&nueva, &error)) {
            std::fprintf(stderr, "%s: %s\n", nombre, qPrintable(error));
            return;
        }
        tabla = std::move(nueva);
        armado.push_back(reloj.nsecsElapsed() / 1e6);
        cpuTabla.push_back(CpuMs() - c0);
        grilla->Oculto(true);
        grilla->setFilas(0);
        VuelcoTabla(grilla, tabla);
        grilla->Recalculo();
        grilla->Oculto(false);
        total.push_back(reloj.nsecsElapsed() / 1e6);
        cpu.push_back(CpuMs() - c0);
        std::printf("  %s, run %d: table %.0f ms, filled grid %.0f ms, processor %.0f ms (table %.0f ms)\n",
                    nombre, i + 1, armado.back(), total.back(), cpu.back(), cpuTabla.back());
        std::fflush(stdout);
    }
    std::printf(
        "%s: %d rows; table %.0f ms, filled grid %.0f ms, processor %.0f ms (table %.0f ms) (median of "
        "%d; goal %.0f ms); memory before %.0f MB, peak %.0f MB (goal 400 MB); table %.0f MB, grid cells "
        "%.0f MB\n",
        nombre, int(tabla.filas.size()), Mediana(armado), Mediana(total), Mediana(cpu), Mediana(cpuTabla),
        veces, meta, antes, MemoriaMb("VmHWM"), tabla.filas.bytes() / 1048576.0,
        grilla->modelo()->bytesCeldas() / 1048576.0);
    std::fflush(stdout);
}

// The journal through its screen, as the user refreshes it: from the command to the first rows on the
// grid, and to the last row read, while the screen answers.
void MidoPantallaDiario(const char* nombre, const QDate& desde, const QDate& hasta, int veces, double meta) {
    frmRptDiarioGeneral pantalla;
    pantalla.resize(1200, 700);
    pantalla.show();
    pantalla.ftrFechaDe->setText(desde.toString("dd/MM/yyyy"));
    pantalla.ftrFechaA->setText(hasta.toString("dd/MM/yyyy"));
    PantallaReporte::esperaEscalonada = 0;
    std::vector<double> primeras, todas, cpu;
    ReinicioPico();
    for (int i = 0; i < veces; ++i) {
        QElapsedTimer reloj;
        reloj.start();
        const double c0 = CpuMs();
        // The report shown before stays on the grid until the first part of the new one comes.
        bool vino = false;
        PantallaReporte::alRecibirParte = [&](PantallaReporte*) {
            PantallaReporte::alRecibirParte = nullptr;
            vino = true;
        };
        pantalla.ActualizoReporte();
        while (!vino && pantalla.Leyendo())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents(); // painted
        primeras.push_back(reloj.nsecsElapsed() / 1e6);
        pantalla.EsperoLectura();
        todas.push_back(reloj.nsecsElapsed() / 1e6);
        cpu.push_back(CpuMs() - c0);
        std::printf("  %s, run %d: first rows on the grid %.0f ms, every row %.0f ms (%d rows), processor %.0f ms\n",
                    nombre, i + 1, primeras.back(), todas.back(), pantalla.sprRpt->filas(), cpu.back());
        std::fflush(stdout);
    }
    std::printf("%s: first rows on the grid %.0f ms (goal %.0f ms), every row %.0f ms, processor %.0f ms (median "
                "of %d); peak memory %.0f MB (goal 400 MB)\n",
                nombre, Mediana(primeras), meta, Mediana(todas), Mediana(cpu), veces, MemoriaMb("VmHWM"));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString solo;
    int veces = 3;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--veces")
            veces = std::max(1, args[i + 1].toInt());
        else if (args[i] == "--solo")
            solo = args[i + 1];
    }
    QTemporaryDir carpeta;
    if (!Medicion::AbroLibro(args, carpeta)) return 1;
    AppState& a = App();
    a.currentCompany = 1;
    a.currentYear = 1;
    a.currentSession = NuevaSesion();
    const QDate d1(2024, 1, 1), d2(2024, 12, 31);

    // The ledgers' grid as their screen prepares it.
    auto GrillaDeMayores = [](Grilla* grilla) {
        TablaReporte columnas;
        ColumnasMayores(&columnas);
        PreparoGrillaReporte(grilla, columnas, {60, 80, 160, 90, 160, 70, 55, 160, 160, 90, 90, 90}, true,
                             {MayDescripcion, MayDescripcionImputable, MayConceptoAsiento, MayConceptoDetalle});
    };
    // The grids as the two screens prepare them.
    if (solo.isEmpty() || solo == "mayores" || solo == "cuentas") {
        Grilla grilla;
        GrillaDeMayores(&grilla);
        if (solo != "cuentas")
            Mido(
                "Ledger of the whole chart (root ticked)", &grilla,
                [&](TablaReporte* t, QString* e) {
                    return ArmoMayores(ContextoActual(), d1, d2, {{0, "Cuentas"}}, true, t, e);
                },
                veces, 2000);
        grilla.setFilas(0);
        if (solo != "mayores")
            Mido(
                "Ledger of every account (one block each)", &grilla,
                [&](TablaReporte* t, QString* e) { return TablaMayores(ContextoActual(), d1, d2, {}, t, e); }, veces, 2000);
    }
    if (solo.isEmpty() || solo == "mes") {
        const QDate m1(2024, 3, 1), m2(2024, 3, 31);
        QSqlQuery q = Consulto("SELECT Cuenta, COUNT(*) FROM DetAsientos WHERE EmpresaPropia=1 AND NumEjercicio=1 "
                               "GROUP BY Cuenta ORDER BY 2 DESC");
        const int cuenta = q.next() ? q.value(0).toInt() : 0;
        std::printf("Account %d holds %d lines of the year\n", cuenta, q.value(1).toInt());
        q.finish();
        Grilla grilla;
        GrillaDeMayores(&grilla);
        Mido(
            "Ledger of one account for March", &grilla,
            [&](TablaReporte* t, QString* e) {
                return ArmoMayores(ContextoActual(), m1, m2, {{cuenta, "Cuenta"}}, true, t, e);
            },
            veces, 500);
        grilla.setFilas(0);
        Mido(
            "Ledger of one account for March, through the progress window", &grilla,
            [&](TablaReporte* t, QString* e) {
                return DialogoProgreso::ConConexion(
                    nullptr, "Mayores", ContextoActual(),
                    [&](const Contexto& c) { return ArmoMayores(c, m1, m2, {{cuenta, "Cuenta"}}, true, t, e); }, e);
            },
            veces, 500);
        {
            // Let go before the screen's own run, so that its peak is its own.
            Grilla diario;
            TablaReporte columnasDiario;
            ColumnasDiario(&columnasDiario);
            PreparoGrillaReporte(&diario, columnasDiario, {70, 60, 220, 70, 90, 220, 100, 100, 220}, false);
            Mido(
                "General journal of March", &diario,
                [&](TablaReporte* t, QString* e) { return TablaDiarioGeneral(ContextoActual(), m1, m2, 1, t, e); },
                veces, 500);
        }
        MidoPantallaDiario("General journal of March, through its screen", m1, m2, veces, 500);
    }
    if (solo.isEmpty() || solo == "diario") {
        {
            Grilla grilla;
            TablaReporte columnas;
            ColumnasDiario(&columnas);
            PreparoGrillaReporte(&grilla, columnas, {70, 60, 220, 70, 90, 220, 100, 100, 220}, false);
            Mido(
                "General journal of the whole year", &grilla,
                [&](TablaReporte* t, QString* e) { return TablaDiarioGeneral(ContextoActual(), d1, d2, 1, t, e); },
                veces, 3000);
        }
        MidoPantallaDiario("General journal of the whole year, through its screen", d1, d2, veces, 3000);
    }
    BorroSesion(App().currentSession);
    CierroBase();
    return 0;
}
