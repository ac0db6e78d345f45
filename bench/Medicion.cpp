#include "bench/Medicion.h"

#include "core/Basedatos.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

#ifndef PARTIDEX_GEN_BOOK
#define PARTIDEX_GEN_BOOK "gen_book.py"
#endif

namespace Medicion {

double Ms(const QElapsedTimer& reloj) {
    return reloj.nsecsElapsed() / 1e6;
}

double CpuMs() {
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

double MemoriaMb(const char* clave) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& linea : f.readAll().split('\n'))
        if (linea.startsWith(clave))
            return linea.mid(linea.indexOf(':') + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

void ReinicioPico() {
    QFile f("/proc/self/clear_refs");
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

double Percentil(std::vector<double> tiempos, double parte) {
    if (tiempos.empty()) return 0;
    std::sort(tiempos.begin(), tiempos.end());
    return tiempos[std::min(tiempos.size() - 1, size_t(parte * double(tiempos.size())))];
}

bool AbroLibro(const QStringList& args, QTemporaryDir& carpeta) {
    int asientos = 200000;
    QString libro;
    QString generador = QStringLiteral(PARTIDEX_GEN_BOOK);
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--entries")
            asientos = args[i + 1].toInt();
        else if (args[i] == "--book")
            libro = args[i + 1];
        else if (args[i] == "--gen")
            generador = args[i + 1];
    }
    QString error;
    // A book named that does not exist yet is written there, to be used again by later runs.
    if (libro.isEmpty() || !QFile::exists(libro)) {
        if (libro.isEmpty()) libro = carpeta.filePath("Partidex.MDB");
        if (!CreoBase(libro, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return false;
        }
        QElapsedTimer r;
        r.start();
        QProcess gen;
        gen.setProcessChannelMode(QProcess::ForwardedChannels);
        gen.start("python3", {generador, libro, "--entries", QString::number(asientos)});
        if (!gen.waitForFinished(-1) || gen.exitCode() != 0) {
            std::fprintf(stderr, "The book generator failed (%s)\n", qPrintable(generador));
            return false;
        }
        std::printf("Book written in %.1f s\n", Ms(r) / 1000);
    }
    if (!AbroBase(libro, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    // Current planner statistics, as start-up keeps them.
    Ejecuto("ANALYZE");
    return true;
}

} // namespace Medicion
