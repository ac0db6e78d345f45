// Times the restated trial balance of a full year (200,000 entries, 700,000 lines, 2,000 postable
// accounts, a third of them adjustable) from the shared book generator, beside the plain trial balance
// of the same book: the rows as the screens and the exports get them.
// Run: ./bench_reajustado [--entries N] [--book Partidex.MDB] [--gen gen_book.py]
#include "bench/Medicion.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "reports/Balance.h"
#include "reports/ReAjustado.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {
using namespace Medicion;
void Mido(const char* nombre, const std::function<bool(QVector<FilaBalance>*, QString*)>& armo) {
    for (int vez = 1; vez <= 3; ++vez) {
        QVector<FilaBalance> filas;
        QString error;
        QElapsedTimer r;
        r.start();
        const double cpu = CpuMs();
        if (!armo(&filas, &error)) {
            std::printf("%s: %s\n", nombre, qPrintable(error));
            return;
        }
        Importe debe, haber;
        for (const FilaBalance& f : filas)
            if (f.conSumas && !f.total) {
                debe += f.debe;
                haber += f.haber;
            }
        std::printf("%s, run %d: %d rows in %.0f ms (processor %.0f ms); debits %s, credits %s\n", nombre,
                    vez, int(filas.size()), r.nsecsElapsed() / 1e6, CpuMs() - cpu,
                    qPrintable(debe.TextoPlano()), qPrintable(haber.TextoPlano()));
    }
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir carpeta;
    if (!Medicion::AbroLibro(app.arguments(), carpeta)) return 1;
    App().currentCompany = 1;
    App().currentYear = 1;
    App().currentSession = NuevaSesion();
    QSqlQuery n = Consulto("SELECT COUNT(*) FROM DetAsientos WHERE EmpresaPropia = 1 AND NumEjercicio = 1");
    std::printf("Book: %lld lines\n", n.next() ? n.value(0).toLongLong() : 0LL);

    const QDate desde(2024, 1, 1), hasta(2024, 12, 31);
    MaximosReporte balance(PantallaBalance);
    balance.Verifico(ContextoActual());
    Mido("Trial balance", [&](QVector<FilaBalance>* filas, QString* error) {
        return ArmoBalance(ContextoActual(), balance, desde, hasta, FiltroSaldos::Todos, filas, error);
    });
    MaximosReAjustado().Verifico(ContextoActual());
    const int tabla = TablaEjercicio(ContextoActual());
    const QDate ajustadoAl = UltimoIndiceHasta(ContextoActual(), tabla, hasta);
    std::printf("Restated to %s by table %d\n", qPrintable(FechaATexto(ajustadoAl)), tabla);
    Mido("Restated trial balance", [&](QVector<FilaBalance>* filas, QString* error) {
        return ArmoBalanceReAjustado(ContextoActual(), MaximosReAjustado(), desde, hasta, tabla, ajustadoAl, filas, error);
    });
    return 0;
}
