// Account completion in the journal's account cell: a chart of 5,000 postable accounts (and the
// summary accounts above them) is read once into the completion index, then every keystroke of a
// set of typed texts (short codes, hierarchical codes, words of descriptions, accents left out) is
// answered from it. Prints the load time and the median and 99th percentile per keystroke.
//   ./bench_completado [postable accounts]
#include "Medicion.h"
#include "accounts/CodigosJerarquicos.h"
#include "accounts/CompletoCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/Transaccion.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {
const char* const Palabras[] = {"Caja",     "Banco",      "Crédito",   "Débito",    "Proveedores", "Deudores",
                                "Ventas",   "Compras",    "Gastos",    "Impuesto",  "Retención",   "Percepción",
                                "Anticipo", "Documentos", "Acciones",  "Intereses", "Comisiones",  "Alquileres",
                                "Sueldos",  "Cargas",     "Servicios", "Seguros",   "Previsión",   "Amortización"};
constexpr int NPalabras = int(std::size(Palabras));
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int imputables = argc > 1 ? std::max(100, QByteArray(argv[1]).toInt()) : 5000;
    QTemporaryDir carpeta;
    App().settingsFolder = carpeta.path();
    const QString ruta = carpeta.filePath("completado.mdb");
    QString error;
    if (!CreoBase(ruta, &error) || !AbroBase(ruta, &error)) {
        std::fprintf(stderr, "No se pudo crear la base: %s\n", qPrintable(error));
        return 1;
    }
    const Contexto ctx = Contexto::De(1, 1);
    // Five top-level accounts, ten under each, the postable accounts evenly under those fifty.
    {
        Transaccion t(ctx);
        Ejecuto(ctx, "INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (1, 'Banco de pruebas')");
        Ejecuto(ctx, "INSERT INTO Ejercicios (EmpresaPropia, NumEjercicio, ComienzoEjercicio, FinEjercicio) "
                     "VALUES (1, 1, '2024-01-01', '2024-12-31')");
        const QString alta = "INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, "
                             "CuentaPadre, NumHijo) VALUES (1, 1, ?, ?, ?, ?, ?)";
        Ejecuto(ctx, alta, {0, QVariant(), "Plan de Cuentas", 0, 0});
        int cuenta = 0;
        for (int a = 1; a <= 5; ++a) {
            const int nivel1 = ++cuenta;
            Ejecuto(ctx, alta, {nivel1, QVariant(), QString("RUBRO %1").arg(a), 0, a});
            for (int b = 1; b <= 10; ++b) {
                const int nivel2 = ++cuenta;
                Ejecuto(ctx, alta, {nivel2, QVariant(), QString("%1 %2").arg(Palabras[(a * 10 + b) % NPalabras]).arg(b),
                                    nivel1, b});
                for (int c = 1; c <= imputables / 50; ++c) {
                    const int n = ++cuenta;
                    const QString descripcion = QString("%1 %2 %3")
                                                    .arg(Palabras[n % NPalabras], Palabras[(n / 7) % NPalabras])
                                                    .arg(n);
                    Ejecuto(ctx, alta, {n, n % 3 == 0 ? QVariant() : QVariant(QString("C%1").arg(n)), descripcion, nivel2, c});
                }
            }
        }
        if (!t.Confirmo()) {
            std::fprintf(stderr, "No se pudo grabar el plan: %s\n", qPrintable(t.error()));
            return 1;
        }
    }
    QElapsedTimer reloj;
    reloj.start();
    const MaximosNivel maximos = MaximosDelPlan(ctx);
    IndiceCuentas indice;
    if (!indice.Cargo(ctx, maximos)) {
        std::fprintf(stderr, "No se pudo leer el plan\n");
        return 1;
    }
    const double carga = Medicion::Ms(reloj);

    // What a bookkeeper types, one keystroke at a time: each prefix is one answer.
    const QStringList tipeados = {"c1234", "C4999", "3.07.050", "1.1", "credito proveedores", "amortizacion",
                                  "ventas 12",  "reten",  "prevision seguros 4321", "deu", "zzzz", "gastos"};
    std::vector<double> tiempos;
    qsizetype hallados = 0;
    for (int vuelta = 0; vuelta < 20; ++vuelta)
        for (const QString& t : tipeados)
            for (qsizetype n = 1; n <= t.size(); ++n) {
                QElapsedTimer r;
                r.start();
                hallados += indice.Busco(t.left(n)).size();
                tiempos.push_back(double(r.nsecsElapsed()) / 1e6);
            }
    std::printf("Plan: %d cuentas imputables (%d en el índice); lectura del plan al índice: %.1f ms\n", imputables,
                indice.Cantidad(), carga);
    std::printf("Por tecla (%zu teclas, %lld cuentas listadas): mediana %.3f ms, percentil 99 %.3f ms, máximo %.3f ms\n",
                tiempos.size(), static_cast<long long>(hallados), Medicion::Percentil(tiempos, 0.5),
                Medicion::Percentil(tiempos, 0.99), *std::max_element(tiempos.begin(), tiempos.end()));
    CierroBase();
    return 0;
}
