// Fills a grid of 1,000,000 rows by 9 columns cell by cell, as a report does, and prints the time
// taken and the peak resident memory of the process.
//   QT_QPA_PLATFORM=offscreen ./bench_grilla [rows [visible]]
#include "core/ui/Grilla.h"
#include "core/ui/GrillaModelo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace {
long KbDeStatus(const char* clave) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& linea : f.readAll().split('\n'))
        if (linea.startsWith(clave))
            return linea.mid(int(qstrlen(clave))).trimmed().split(' ').first().toLong();
    return -1;
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int filas = argc > 1 ? QByteArray(argv[1]).toInt() : 1000000;
    // "visible" as second argument fills without Oculto(), with one change signal per cell.
    const bool sinOcultar = argc > 2 && QByteArray(argv[2]) == "visible";
    constexpr int columnas = 9;

    // Texts prepared beforehand so that only the grid is measured.
    constexpr int variantes = 997;
    QList<QStringList> textos(columnas + 1);
    for (int v = 0; v < variantes; ++v) {
        textos[1]
            << QStringLiteral("%1.%2.%3").arg(v % 9 + 1).arg(v % 90 + 10).arg(v, 3, 10, QLatin1Char('0'));
        textos[2] << QStringLiteral("CUENTA DE PRUEBA NÚMERO %1").arg(v);
        textos[3] << QStringLiteral("%1/%2/2024")
                         .arg(v % 28 + 1, 2, 10, QLatin1Char('0'))
                         .arg(v % 12 + 1, 2, 10, QLatin1Char('0'));
        textos[4] << QString::number(v * 37 + 1);
        textos[5] << QString::number(v * 123.45, 'f', 2);
        textos[6] << QString::number(v * 7.01, 'f', 2);
        textos[7] << QString::number(-v * 3.3, 'f', 2);
        textos[8] << QStringLiteral("Concepto del asiento %1").arg(v);
        textos[9] << QString::number(v * 1000.5, 'f', 2);
    }

    Grilla g;
    g.setColumnas(columnas);
    TipoCelda numero;
    numero.clase = TipoCelda::Numero;
    numero.miles = true;
    for (int c : {5, 6, 7, 9})
        g.setTipoColumna(c, numero);
    TipoCelda fecha;
    fecha.clase = TipoCelda::Fecha;
    g.setTipoColumna(3, fecha);
    for (int c = 1; c <= columnas; ++c)
        g.setEncabezado(c, QStringLiteral("Columna %1").arg(c));
    g.resize(1000, 700);
    g.show();
    app.processEvents();
    const long antes = KbDeStatus("VmRSS:");

    QElapsedTimer reloj;
    reloj.start();
    if (!sinOcultar) g.Oculto(true);
    g.setFilas(filas);
    for (int f = 1; f <= filas; ++f) {
        const int v = f % variantes;
        for (int c = 1; c <= columnas; ++c)
            g.setTexto(f, c, textos[c][v]);
        if (f % 50 == 0) g.setFuenteFila(f, true, false);
    }
    if (!sinOcultar) g.Oculto(false);
    app.processEvents();
    const qint64 llenado = reloj.elapsed();

    reloj.restart();
    g.setCeldaActual(filas, 1);
    g.MuestroCelda(filas, 1);
    app.processEvents();
    const qint64 alFinal = reloj.elapsed();

    std::printf("filas=%d columnas=%d%s\n", filas, columnas, sinOcultar ? " (sin ocultar)" : "");
    std::printf("llenado: %lld ms\n", static_cast<long long>(llenado));
    std::printf("ir a la última fila: %lld ms\n", static_cast<long long>(alFinal));
    std::printf("celdas: %.1f MB\n", double(g.modelo()->bytesCeldas()) / (1024.0 * 1024.0));
    std::printf("RSS antes de llenar: %.1f MB\n", antes / 1024.0);
    std::printf("RSS al final: %.1f MB\n", KbDeStatus("VmRSS:") / 1024.0);
    std::printf("pico RSS (VmHWM): %.1f MB\n", KbDeStatus("VmHWM:") / 1024.0);
    std::printf("control: %s | %s | %s\n", qPrintable(g.texto(filas, 2)), qPrintable(g.texto(filas, 5)),
                qPrintable(g.texto(filas, 3)));
    return 0;
}
