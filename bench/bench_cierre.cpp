// Times the year closing on a year of 200,000 entries (about 700,000 lines over 2,000 postable
// accounts) written by the shared book generator, then the paste of its chart into the next year and
// the opening of that year.
// Run: ./bench_cierre [--entries N] [--book Partidex.MDB] [--gen gen_book.py]
// A book named that does not exist yet is written there; the closing is then stored in it.
#include "bench/Medicion.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "fiscal/Cierre.h"
#include "fiscal/Ejercicios.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

namespace {
using namespace Medicion;
long long Cuento(const QString& sql, const QVariantList& p = {}) {
    QSqlQuery q = Consulto(sql, p);
    return q.next() ? q.value(0).toLongLong() : -1;
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir carpeta;
    if (!Medicion::AbroLibro(app.arguments(), carpeta)) return 1;
    std::printf("Book: %lld entries, %lld lines\n",
                Cuento("SELECT COUNT(*) FROM Asientos WHERE EmpresaPropia = 1 AND NumEjercicio = 1"),
                Cuento("SELECT COUNT(*) FROM DetAsientos WHERE EmpresaPropia = 1 AND NumEjercicio = 1"));
    // The first postable equity account receives the result.
    const int ajuste =
        int(NumeroOCero(ValorCampo("Cuentas", "MIN(Cuenta)",
                                   "EmpresaPropia = 1 AND NumEjercicio = 1 AND CuentaResultado = 0 AND "
                                   "Descripcion LIKE 'Patrimonio Neto cuenta%'")));

    // Twice inside a transaction that is then rolled back, once for good.
    for (int vez = 1; vez <= 3; ++vez) {
        const bool deshago = vez < 3;
        Transaccion exterior;
        QElapsedTimer r;
        r.start();
        const double cpu = CpuMs();
        const Generacion g = GeneroCierre(ContextoActual().En(1, 1), "Cierre resultados", "Cierre patrimonial", ajuste);
        if (!deshago) exterior.Confirmo();
        const double ms = Ms(r);
        if (!g.ok) {
            std::printf("Closing failed: %s\n", qPrintable(g.mensaje));
            return 1;
        }
        std::printf(
            "Closing, run %d%s: entries %d (%lld lines) and %d (%lld lines) in %.0f ms (processor %.0f ms)\n",
            vez, deshago ? " (rolled back)" : " (stored)", g.resultados,
            Cuento("SELECT COUNT(*) FROM DetAsientos WHERE EmpresaPropia = 1 AND NumEjercicio = 1 AND "
                   "Asiento = ?",
                   {g.resultados}),
            g.patrimonial,
            Cuento("SELECT COUNT(*) FROM DetAsientos WHERE EmpresaPropia = 1 AND NumEjercicio = 1 AND "
                   "Asiento = ?",
                   {g.patrimonial}),
            ms, CpuMs() - cpu);
        if (deshago) exterior.Deshago();
    }

    const Ejercicios::Veredicto nuevo =
        Ejercicios::GraboEjercicio(ContextoActual(), 1, -1, QDate(2025, 1, 1), QDate(2025, 12, 31), -1);
    QElapsedTimer r;
    r.start();
    const Ejercicios::Veredicto pegado = Ejercicios::PegoPlan(ContextoActual(), 1, 1, 1, nuevo.ejercicio);
    std::printf("Chart pasted into year %d in %.0f ms%s\n", nuevo.ejercicio, Ms(r),
                pegado.ok ? "" : qPrintable(" - " + pegado.mensaje));
    r.restart();
    const Generacion a = GeneroApertura(ContextoActual().En(1, nuevo.ejercicio), "Apertura");
    std::printf("Opening: %s in %.0f ms\n",
                a.ok ? qPrintable(QString("entry %1").arg(a.apertura)) : qPrintable(a.mensaje), Ms(r));
    return 0;
}
