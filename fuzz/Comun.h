#pragma once
// What every fuzz target shares: the Qt application object, a scratch folder for the files a target
// writes, and a check that stops the run with the input's story when a property does not hold.
#include <QByteArray>
#include <QString>

// Builds the application object once (plugins such as the SQLite driver need one).
void PreparoQt(int* argc, char*** argv);
// A folder of this process, removed at exit.
QString CarpetaFuzz();
// Writes bytes as a whole file of the scratch folder and returns its path.
QString ArchivoFuzz(const QString& nombre, const QByteArray& bytes);
// Prints what failed and aborts, so that libFuzzer keeps the input as a crash.
[[noreturn]] void Falla(const char* condicion, const char* archivo, int linea, const QString& detalle);

#define EXIJO(condicion, detalle)                                                                            \
    do {                                                                                                     \
        if (!(condicion)) Falla(#condicion, __FILE__, __LINE__, detalle);                                    \
    } while (0)
