// Times the trial balance on a year of 200,000 entries and 700,000 lines written by the shared book
// generator: the full year and a date range, from the command to the filled table and to the filled
// grid, the command-line export of the full year to CSV, and the peak memory; then runs `ledger bal`
// and `hledger bal` on the journal the generator wrote beside the book, checks that their balance
// of every account equals ours, and prints the time ratios.
// Run: ./bench_informes [--entries N] [--book Partidex.MDB | postgresql://...] [--gen gen_book.py]
//        [--journal PATH] [--informe partidex-informe]
// A book named that does not exist yet is generated there (with its journal, book + ".journal") and
// used again by later runs (see Medicion::AbroLibro).
#include "bench/Medicion.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Motor.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "core/ui/Grilla.h"
#include "reports/Balance.h"
#include "reports/exporto/Exporto.h"
#include "reports/ui/VuelcoTabla.h"
#include "reports/ui/frmRptBalance.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <vector>

#ifndef PARTIDEX_INFORME
#define PARTIDEX_INFORME "partidex-informe"
#endif

namespace {

using namespace Medicion;

// Processor time of the finished children of this process (the command-line program), in ms.
double CpuHijosMs() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return u.ru_utime.tv_sec * 1000.0 + u.ru_utime.tv_usec / 1000.0 + u.ru_stime.tv_sec * 1000.0 +
           u.ru_stime.tv_usec / 1000.0;
}

double Mediana(std::vector<double> v) {
    return Percentil(std::move(v), 0.5);
}

// Balance of every postable account (debits less credits) by its name in the generator's journal:
// "Activo cuenta 1.2.3" is "Activo:G1:R2:C3".
QHash<QString, Importe> SaldosNuestros(const TablaReporte& t) {
    static const QRegularExpression hoja("^(.*) cuenta (\\d+)\\.(\\d+)\\.(\\d+)$");
    QHash<QString, Importe> saldos;
    for (const FilaReporte& f : t.filas) {
        const QRegularExpressionMatch m = hoja.match(f.celdas.value(2).texto);
        if (!m.hasMatch()) continue;
        const Importe saldo =
            f.celdas.value(4).importe.value_or(Importe()) - f.celdas.value(5).importe.value_or(Importe());
        saldos.insert(
            QString("%1:G%2:R%3:C%4").arg(m.captured(1), m.captured(2), m.captured(3), m.captured(4)), saldo);
    }
    return saldos;
}

// Runs a peer on the journal; its output lines "account<TAB or ,>amount" become balances. Skipped with
// a message when the program is not installed.
bool Par(const QString& programa, const QStringList& args, double* ms, double* cpu,
         QHash<QString, Importe>* saldos) {
    if (QStandardPaths::findExecutable(programa).isEmpty()) {
        std::printf("%s: not installed, skipped (Debian package %s)\n", qPrintable(programa),
                    qPrintable(programa));
        return false;
    }
    QElapsedTimer r;
    r.start();
    const double antes = CpuHijosMs();
    QProcess p;
    p.start(programa, args);
    if (!p.waitForFinished(-1) || p.exitCode() != 0) {
        std::printf("%s failed: %s\n", qPrintable(programa), p.readAllStandardError().constData());
        return false;
    }
    *ms = Ms(r);
    *cpu = CpuHijosMs() - antes;
    for (const QByteArray& crudo : p.readAllStandardOutput().split('\n')) {
        QString linea = QString::fromUtf8(crudo).trimmed();
        linea.remove('"');
        const int corte = linea.lastIndexOf(QRegularExpression("[\t,|]"));
        if (corte <= 0) continue;
        QString monto = linea.mid(corte + 1).trimmed();
        const auto i = Importe::Leo(monto.remove(','), nullptr, u'.');
        if (i) saldos->insert(linea.left(corte).trimmed(), *i);
    }
    return true;
}

int Compara(const char* nombre, const QHash<QString, Importe>& nuestros,
            const QHash<QString, Importe>& suyos) {
    int distintas = 0;
    for (auto it = nuestros.begin(); it != nuestros.end(); ++it) {
        const Importe suyo = suyos.value(it.key()); // an account without postings is absent there
        if (suyo != it.value()) {
            if (++distintas <= 5)
                std::printf("  %s differs on %s: ours %s, theirs %s\n", nombre, qPrintable(it.key()),
                            qPrintable(it.value().TextoPlano()), qPrintable(suyo.TextoPlano()));
        }
    }
    for (auto it = suyos.begin(); it != suyos.end(); ++it)
        if (!nuestros.contains(it.key()) && !it.value().esCero() && ++distintas <= 5)
            std::printf("  %s has an account we lack: %s\n", nombre, qPrintable(it.key()));
    std::printf("%s: %d accounts compared, %d differ\n", nombre, int(nuestros.size()), distintas);
    return distintas;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString informe = QStringLiteral(PARTIDEX_INFORME);
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2)
        if (args[i] == "--informe") informe = args[i + 1];

    QTemporaryDir carpeta;
    QString error;
    Libro libro;
    if (!AbroLibro(args, carpeta, &libro)) return 1;
    // The command-line program finds the book through its settings, as the program does.
    const QString ajustes = carpeta.filePath("ajustes");
    if (!QDir().mkpath(ajustes) || !AjustesDelLibro(libro.ruta, ajustes)) {
        std::fprintf(stderr, "The settings for partidex-informe could not be written in %s\n",
                     qPrintable(ajustes));
        return 1;
    }
    const QString diario = libro.diario;
    AppState& a = App();
    a.currentCompany = 1;
    a.currentYear = 1;
    a.currentSession = NuevaSesion();
    QSqlQuery n = Consulto("SELECT COUNT(*) FROM DetAsientos WHERE EmpresaPropia = 1 AND NumEjercicio = 1");
    std::printf("Book: %lld lines\n", n.next() ? n.value(0).toLongLong() : 0LL);
    n.finish();

    const QDate d1(2024, 1, 1), d2(2024, 12, 31);
    TablaReporte tabla;
    QElapsedTimer r;
    r.start();
    if (!TablaBalance(ContextoActual(), d1, d2, FiltroSaldos::Todos, &tabla, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("Full-year trial balance, first (chart maxima loaded): %.1f ms, %d rows\n", Ms(r),
                int(tabla.filas.size()));

    const struct {
        LecturaLineas lectura;
        const char* nombre;
        QDate desde;
    } lecturas[] = {{LecturaLineas::Ejercicio, "the whole year", d1},
                    {LecturaLineas::Periodo, "a quarter", QDate(2024, 4, 1)},
                    {LecturaLineas::EjercicioMenosFuera, "all but the first day", QDate(2024, 1, 2)}};
    for (const auto& l : lecturas) {
        const ConsultaSql c =
            ConsultaBalance(ContextoActual(), MaximosBalance().Profundidad(), MaximosBalance().AnchoMascara(), l.desde,
                            l.lectura == LecturaLineas::Periodo ? QDate(2024, 6, 30) : d2, l.lectura);
        std::printf("Plan of the balance query, %s:\n", l.nombre);
        for (const QString& paso : MotorActual().catalogo.PlanConsulta(Conexion(), c.sql, c.parametros))
            std::printf("  %s\n", qPrintable(paso));
    }

    Grilla grilla;
    PreparoGrillaBalance(&grilla);
    auto mido = [&](const char* nombre, const QDate& desde, const QDate& hasta, double meta) {
        std::vector<double> tabla5, grilla5, cpu5;
        for (int i = 0; i < 5; ++i) {
            TablaReporte t;
            QElapsedTimer reloj;
            reloj.start();
            const double cpu = CpuMs();
            TablaBalance(ContextoActual(), desde, hasta, FiltroSaldos::Todos, &t, &error);
            tabla5.push_back(Ms(reloj));
            grilla.Oculto(true);
            grilla.setFilas(0);
            VuelcoTabla(&grilla, t);
            grilla.Oculto(false);
            grilla5.push_back(Ms(reloj));
            cpu5.push_back(CpuMs() - cpu);
        }
        std::printf("%s: table %.1f ms, filled grid %.1f ms, processor %.1f ms (median of 5; goal %.0f ms)\n",
                    nombre, Mediana(tabla5), Mediana(grilla5), Mediana(cpu5), meta);
    };
    mido("Full-year trial balance", d1, d2, 300);
    mido("Trial balance 01/04/2024-30/06/2024", QDate(2024, 4, 1), QDate(2024, 6, 30), 1000);
    mido("Trial balance 15/11/2024-31/12/2024", QDate(2024, 11, 15), d2, 1000);
    mido("Trial balance 02/01/2024-31/12/2024", QDate(2024, 1, 2), d2, 1000);
    mido("Trial balance 01/01/2024-30/06/2024", d1, QDate(2024, 6, 30), 1000);
    mido("Trial balance 01/03/2024-31/10/2024", QDate(2024, 3, 1), QDate(2024, 10, 31), 1000);

    // Exactness: the level-1 totals add to equal debits and credits on a balanced book.
    Importe debe, haber;
    for (const FilaReporte& f : tabla.filas)
        if (f.celdas.value(1).texto.startsWith("Total ") && f.fuente == FuenteFila::Negrita) {
            debe += f.celdas.value(4).importe.value_or(Importe());
            haber += f.celdas.value(5).importe.value_or(Importe());
        }
    std::printf("Totals: debit %s, credit %s (%s)\n", qPrintable(debe.TextoPlano()),
                qPrintable(haber.TextoPlano()), debe == haber ? "equal" : "DIFFERENT");

    // The exports of the full year's table, in this process.
    for (const char* extension : {"csv", "xlsx", "pdf"}) {
        const QString ruta = carpeta.filePath(QString("balance-interno.") + extension);
        QElapsedTimer reloj;
        reloj.start();
        const bool ok = ExportoTabla(tabla, ruta, &error);
        std::printf("Export of the full-year table to %s: %.1f ms, %lld bytes%s\n", extension, Ms(reloj),
                    QFile(ruta).size(), ok ? "" : qPrintable(", " + error));
    }

    // The command-line export of the full year, process start to file written.
    std::vector<double> cli, cliCpu;
    const QString csv = carpeta.filePath("balance.csv");
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer reloj;
        reloj.start();
        const double antes = CpuHijosMs();
        QProcess p;
        // As the book's initial administrator.
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert("PARTIDEX_CONTRASENA", "ADMIN");
        p.setProcessEnvironment(entorno);
        p.start(informe, {"--usuario", "ADMIN", "balance", csv, "--carpeta", ajustes, "--empresa", "1", "--ejercicio", "1"});
        if (!p.waitForFinished(-1) || p.exitCode() != 0) {
            std::printf("partidex-informe failed (%s): %s\n", qPrintable(informe),
                        p.readAllStandardError().constData());
            break;
        }
        cli.push_back(Ms(reloj));
        cliCpu.push_back(CpuHijosMs() - antes);
    }
    if (!cli.empty())
        std::printf(
            "Command-line export of the full-year balance to CSV: %.1f ms, processor %.1f ms (median of %d; "
            "goal 1000 ms), %lld bytes\n",
            Mediana(cli), Mediana(cliCpu), int(cli.size()), QFile(csv).size());
    std::printf("Peak memory: %.1f MB (goal 400 MB)\n", MemoriaMb("VmHWM"));

    // Peers on the same postings.
    const QHash<QString, Importe> nuestros = SaldosNuestros(tabla);
    const double nuestro = Mediana(cli), nuestroCpu = Mediana(cliCpu);
    // A peer's time, and ours beside it when the command-line export ran.
    auto comparo = [&](const char* par, double ms, double cpu) {
        std::printf("%s bal: %.1f ms, processor %.1f ms", par, ms, cpu);
        if (!cli.empty())
            std::printf("; ours (CLI to CSV) / %s = %.3f, by processor time %.3f", par, nuestro / ms,
                        nuestroCpu / cpu);
        std::printf("\n");
    };
    if (!QFile::exists(diario)) {
        std::printf("No journal beside the book (%s): peers skipped\n", qPrintable(diario));
    } else {
        QHash<QString, Importe> suyos;
        double ms = 0, cpu = 0;
        if (Par("ledger",
                {"-f", diario, "bal", "--flat", "--no-total", "--balance-format",
                 "%(account)\t%(display_total)\n"},
                &ms, &cpu, &suyos)) {
            Compara("ledger", nuestros, suyos);
            comparo("ledger", ms, cpu);
        }
        suyos.clear();
        if (Par("hledger", {"-f", diario, "bal", "--flat", "--no-total", "-O", "csv"}, &ms, &cpu, &suyos)) {
            Compara("hledger", nuestros, suyos);
            comparo("hledger", ms, cpu);
        }
    }
    BorroSesion(App().currentSession);
    CierroBase();
    return 0;
}
