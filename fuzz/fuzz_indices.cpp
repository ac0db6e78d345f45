// The import of a published index series from a CSV file: a file is either refused as a whole with the
// line that failed, or gives positive values on distinct dates in order, which, written back as a CSV
// file the way the grid shows them, read as the same series.
#include "core/Valores.h"
#include "fuzz/Comun.h"
#include "inflation/IndicesAjuste.h"

#include <cmath>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    PreparoQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    const QByteArray bytes(reinterpret_cast<const char*>(datos), qsizetype(tamano));
    const QString archivo = ArchivoFuzz("indices.csv", bytes);
    QVector<ValorIndice> valores;
    QString error;
    if (!LeoCsvIndices(archivo, &valores, &error)) {
        EXIJO(valores.isEmpty() && !error.isEmpty(), error);
        return 0;
    }
    EXIJO(!valores.isEmpty(), archivo);
    QByteArray escrito;
    for (int i = 0; i < valores.size(); ++i) {
        const ValorIndice& v = valores[i];
        EXIJO(v.fecha.isValid(), QString::number(i));
        EXIJO(std::isfinite(v.ajuste) && v.ajuste > 0, QString::number(v.ajuste, 'g', 17));
        if (i > 0) EXIJO(valores[i - 1].fecha < v.fecha, FechaATexto(v.fecha));
        escrito += (FechaATexto(v.fecha) + ";" + TextoValorIndice(v.ajuste, u',') + "\n").toUtf8();
    }
    QVector<ValorIndice> releidos;
    const bool ok = LeoCsvIndices(ArchivoFuzz("releido.csv", escrito), &releidos, &error);
    EXIJO(ok && releidos.size() == valores.size(), QString::fromUtf8(escrito) + " " + error);
    for (int i = 0; i < valores.size(); ++i) {
        EXIJO(releidos[i].fecha == valores[i].fecha, FechaATexto(releidos[i].fecha));
        // The grid shows six decimals: half a unit of the sixth is the most a value may move, give or
        // take what the binary fraction adds (0.0551615 is written 0.055162).
        EXIJO(std::abs(releidos[i].ajuste - valores[i].ajuste) <= 5e-7 * (1 + 1e-9) * std::max(1.0, valores[i].ajuste),
              QString::fromUtf8(escrito));
    }
    return 0;
}
