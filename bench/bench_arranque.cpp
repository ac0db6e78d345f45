// Times what start-up does with a book before the login window: the examination of the file as a
// start makes it (its header and catalogue) and as a backup makes it (every page), the structure
// check, and opening the shared connection (which brings the planner's figures up to date), on a
// book of the shared generator; then the same on an empty book, for the ratio the start's time
// must keep whatever the book's size; then the books' rules and the scheduled backup, whole and by
// the stages its progress window names.
// Run: ./bench_arranque [--entries N] [--book Partidex.MDB] (see Medicion::AbroLibro)
#include "bench/Medicion.h"
#include "core/Basedatos.h"
#include "core/Motor.h"
#include "core/Progreso.h"
#include "maintenance/Mantenimiento.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace {

using namespace Medicion;

// Median of five runs, in ms.
double Mido(const std::function<void()>& paso) {
    std::vector<double> t;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer r;
        r.start();
        paso();
        t.push_back(Ms(r));
    }
    return Percentil(t, 0.5);
}

struct Cifras {
    double rapido, completo, estructura, apertura;
};

Cifras MidoBase(const QString& ruta) {
    Cifras c{};
    CierroBase();
    c.rapido = Mido([&] { ExaminoBase(ruta, Examen::Rapido); });
    c.completo = Mido([&] { ExaminoBase(ruta, Examen::Completo); });
    c.estructura = Mido([&] { Mantenimiento::VerificoEstructura(ruta, false); });
    c.apertura = Mido([&] {
        QString error;
        if (!AbroBase(ruta, &error)) std::printf("%s\n", qPrintable(error));
        CierroBase();
    });
    return c;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir carpeta;
    Libro libro;
    if (!AbroLibro(app.arguments(), carpeta, &libro)) return 1;
    CierroBase();
    const QString vacio = carpeta.filePath("vacio.MDB");
    QString error;
    if (!MotorDeRuta(libro.ruta).PorArchivo() || !CreoBase(vacio, &error)) {
        std::fprintf(stderr, "Only a file book is timed here %s\n", qPrintable(error));
        return 1;
    }
    const Cifras grande = MidoBase(libro.ruta), chico = MidoBase(vacio);
    const double antes = grande.rapido + grande.estructura + grande.apertura;
    const double antesVacio = chico.rapido + chico.estructura + chico.apertura;
    std::printf("Book %.0f MB, empty book %.1f MB (median of 5, ms):\n", QFileInfo(libro.ruta).size() / 1e6,
                QFileInfo(vacio).size() / 1e6);
    std::printf("  Examination at start (header, catalogue): %.1f / %.1f\n", grande.rapido, chico.rapido);
    std::printf("  Examination before a backup (every page): %.1f / %.1f\n", grande.completo, chico.completo);
    std::printf("  Structure check (counts; the rules before a backup): %.1f / %.1f\n", grande.estructura, chico.estructura);
    std::printf("  Opening (planner's figures brought up to date): %.1f / %.1f\n", grande.apertura,
                chico.apertura);
    std::printf("Before the login, backup not due: %.1f ms, empty book %.1f ms, ratio %.2f (goal 1.5)\n", antes,
                antesVacio, antes / antesVacio);
    // The books' rules, read once: what a backup reads beside its compacted copy, and a restore
    // asks of the backup before it replaces anything.
    QElapsedTimer r;
    r.start();
    const QString faltas = Mantenimiento::FaltasDeCoherencia(libro.ruta);
    std::printf("The books' rules read: %.0f ms, %s\n", Ms(r), faltas.isEmpty() ? "they hold" : qPrintable(faltas));
    // The backup a start makes when one is due, whole: the page check, the rules beside the
    // compacted copy and its full check, the copy written and checked (not written back unless
    // compacting gains a tenth).
    const Mantenimiento::Rutas rutas{libro.ruta, carpeta.filePath("respaldo.MDB"), carpeta.filePath("auxiliar.MDB")};
    // Each stage's time, as its progress window names them.
    Progreso progreso;
    std::atomic<bool> fin{false};
    std::vector<std::pair<QString, double>> etapas;
    r.start();
    std::thread vigia([&] {
        while (!fin.load()) {
            const QString que = progreso.Que();
            if (!que.isEmpty() && (etapas.empty() || etapas.back().first != que)) etapas.emplace_back(que, Ms(r));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    const bool hecho = Mantenimiento::HagoBackUp(rutas, QDate::currentDate(), -1, &progreso, nullptr,
                                                 Mantenimiento::Compactacion::SiGana);
    const double total = Ms(r);
    fin = true;
    vigia.join();
    std::printf("The scheduled backup: %.0f ms, %s\n", total, hecho ? "made" : "not made");
    for (size_t i = 0; i < etapas.size(); ++i)
        std::printf("  %s: %.0f ms\n", qPrintable(etapas[i].first),
                    (i + 1 < etapas.size() ? etapas[i + 1].second : total) - etapas[i].second);
    return 0;
}
