#pragma once
// What the benchmarks share: timers, memory readings, percentiles, and the book they run on (the shared
// generator's, written once into a database file and reused by later runs).
#include <QString>
#include <QStringList>
#include <vector>

class QElapsedTimer;
class QTemporaryDir;

namespace Medicion {

// Milliseconds elapsed on a started timer.
double Ms(const QElapsedTimer& reloj);
// Processor time of this process in ms: what a run costs on an idle machine, whatever else the
// machine is doing meanwhile.
double CpuMs();
// A value of /proc/self/status in MB ("VmHWM", "VmRSS"); -1 when it cannot be read.
double MemoriaMb(const char* clave);
// Starts the peak-memory mark again from the current size.
void ReinicioPico();
// The value below which the given share of the times fall (0.5: the median).
double Percentil(std::vector<double> tiempos, double parte);

// Opens the benchmark's book as the shared connection: `--book PATH` (written there by the generator
// when it does not exist yet, else inside `carpeta`), `--entries N` (200,000 by default), `--gen
// gen_book.py`. Prints what it did; false with the reason printed when it cannot.
bool AbroLibro(const QStringList& argumentos, QTemporaryDir& carpeta);

} // namespace Medicion
