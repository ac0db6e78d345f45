// Times the chart operations on a chart of about 5,000 accounts in 5 levels, in a fresh database:
// loading the tree widget, the level maxima without a tree, and the codes of every account with a
// shared row set. Run: QT_QPA_PLATFORM=offscreen ./bench_cuentas
#include "accounts/ArbolCuentas.h"
#include "accounts/CodigosJerarquicos.h"
#include "accounts/ui/ArbolPlan.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Transaccion.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {
// Children per account at each level: 8 top-level accounts, then 5, 5, 5 and 4 below each.
const int Ramas[] = {8, 5, 5, 5, 4};

int CreoPlan() {
    Transaccion t;
    Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (1, 'Bench')");
    Ejecuto("INSERT INTO Ejercicios (EmpresaPropia, NumEjercicio, ComienzoEjercicio, FinEjercicio) "
            "VALUES (1, 1, '2024-01-01', '2024-12-31')");
    Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CuentaPadre, NumHijo) VALUES (1, 1, "
            "0, 0, 0)");
    int siguiente = 1;
    QVector<int> nivel{0};
    for (int ramas : Ramas) {
        QVector<int> proximo;
        for (int padre : nivel)
            for (int h = 1; h <= ramas; ++h) {
                // Ordinals with gaps (step 2) so that some levels need two digits.
                Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, "
                        "CuentaPadre, "
                        "NumHijo) VALUES (1, 1, ?, ?, ?, ?, ?)",
                        {siguiente, QString("C%1").arg(siguiente), QString("Cuenta %1").arg(siguiente), padre,
                         h * 2});
                proximo << siguiente++;
            }
        nivel = proximo;
    }
    Ejecuto("ANALYZE");
    t.Confirmo();
    return siguiente - 1;
}

double Ms(QElapsedTimer& r) {
    return r.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath("Partidex.MDB");
    QString error;
    if (!CreoBase(ruta, &error) || !AbroBase(ruta, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const int cuentas = CreoPlan();
    std::printf("Chart: %d accounts in 5 levels\n", cuentas);

    QElapsedTimer r;
    ArbolPlan arbol;
    MaximosNivel maximos;
    for (int vez = 1; vez <= 3; ++vez) {
        r.start();
        arbol.CargoArbol(1, 1, maximos, -1);
        std::printf("Tree widget load (%d nodes), run %d: %.1f ms (goal 500 ms)\n", arbol.CantidadNodos(),
                    vez, Ms(r));
    }
    arbol.show();
    r.start();
    arbol.CargoArbol(1, 1, maximos, cuentas);
    app.processEvents();
    std::printf("Tree widget load, shown, selecting the last account: %.1f ms\n", Ms(r));

    r.start();
    MaximosNivel soloMaximos;
    CargoArbol(1, 1, soloMaximos);
    std::printf("Level maxima without a tree: %.1f ms (widths %s)\n", Ms(r),
                qPrintable(MascaraCodJer(soloMaximos)));

    r.start();
    FilasPlan filas;
    filas.Cargo(1, 1);
    qsizetype largo = 0;
    for (int c = 1; c <= cuentas; ++c)
        largo += CodJerCuenta(c, 1, 1, soloMaximos, &filas).size();
    std::printf("Codes of all %d accounts with a shared row set (read included): %.1f ms (goal 100 ms)\n",
                cuentas, Ms(r));

    r.start();
    for (int c = 1; c <= cuentas; ++c)
        largo -= CodJerCuenta(c, 1, 1, soloMaximos).size();
    std::printf("Codes of all accounts, one lookup per ancestor: %.1f ms\n", Ms(r));

    r.start();
    int halladas = 0;
    for (int c = cuentas; c > cuentas - 1000; --c)
        halladas += CuentaDeCodJer(CodJerCuenta(c, 1, 1, soloMaximos, &filas), 1, 1) == c;
    std::printf("1000 typed codes resolved: %.1f ms (%d found)\n", Ms(r), halladas);
    CierroBase();
    return largo == 0 && halladas == 1000 ? 0 : 2;
}
