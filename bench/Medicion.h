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

// The book a benchmark runs on: the database (a file path, or a PostgreSQL server's database as
// "postgresql://user@host:port/base", a socket folder as "?host=/folder"), and the ledger journal of
// the same postings that the generator wrote beside it.
struct Libro {
    QString ruta;
    QString diario;
};

// Opens the benchmark's book as the shared connection: `--book PATH` or `--book postgresql://...`
// (written there by the generator when the file does not exist yet or the server's database is
// missing or empty, else inside `carpeta`), `--entries N` (200,000 by default), `--gen gen_book.py`,
// `--from-file BOOK` (a server's book copied from that file book instead of a new one),
// `--journal PATH` (by default the book's path plus ".journal", for a server book the database's name
// plus ".journal" in the working folder). Prints what it did; false with the reason printed when it
// cannot.
bool AbroLibro(const QStringList& argumentos, QTemporaryDir& carpeta, Libro* libro = nullptr);

// Writes a Partidex.ini into carpeta that names the book as the program's settings do, for the
// program's own commands run against it (--carpeta).
bool AjustesDelLibro(const QString& ruta, const QString& carpeta);

} // namespace Medicion
