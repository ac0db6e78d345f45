// Settings files: whatever a Partidex.ini holds, reading never fails, and writing one key leaves every
// other key reading as before and the written key reading back as written.
#include "core/AppState.h"
#include "core/Configuracion.h"
#include "core/Ini.h"
#include "fuzz/Comun.h"

#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

const QString Ausente = QStringLiteral("\x01");

// Names that appear in the file's own lines, so that the keys it really holds are read back.
QList<QPair<QString, QString>> NombresDelArchivo(const QByteArray& bytes) {
    QList<QPair<QString, QString>> pares;
    QString seccion;
    for (const QByteArray& crudo : bytes.split('\n')) {
        const QString linea = QString::fromUtf8(crudo).remove(QChar(0xFEFF)).trimmed();
        if (linea.startsWith('[') && linea.contains(']')) {
            seccion = linea.mid(1, linea.indexOf(']') - 1).trimmed();
        } else if (linea.contains('=')) {
            pares.append({seccion, linea.left(linea.indexOf('=')).trimmed()});
            if (pares.size() == 24) break;
        }
    }
    return pares;
}

// A name as a settings line can hold it: no line breaks, no "]" in a section or "=" in a key.
bool NombreEscribible(const QString& nombre, QChar prohibido) {
    static const QRegularExpression cortes("[\\r\\n]");
    return !nombre.isEmpty() && nombre == nombre.trimmed() && !nombre.contains(prohibido) &&
           !nombre.contains(cortes) && !nombre.startsWith('[');
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    PreparoQt(argc, argv);
    FijoCarpetas(CarpetaFuzz());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    FuzzedDataProvider p(datos, tamano);
    const QString seccion = QString::fromStdString(p.ConsumeRandomLengthString(40));
    const QString clave = QString::fromStdString(p.ConsumeRandomLengthString(40));
    const QString valor = QString::fromStdString(p.ConsumeRandomLengthString(200));
    const std::string resto = p.ConsumeRemainingBytesAsString();
    const QByteArray contenido(resto.data(), qsizetype(resto.size()));

    // The program's own reading of its settings, from this file.
    AppState& a = App();
    const QString archivo = ArchivoFuzz("Partidex.ini", contenido);
    EXIJO(archivo == a.LocalIni(), a.LocalIni());
    LeoConfiguracion();
    for (const QString& ruta : {a.globalIniPath, a.databasePath, a.backupPath, a.auxPath})
        EXIJO(ruta.startsWith('/') || ruta.startsWith("\\\\") || (ruta.size() >= 2 && ruta[1] == ':'), ruta);
    RestauroEjercicio();
    // A year stored as a plain whole number is the year restored (a damaged value restores none).
    static const QRegularExpression entero("^[+-]?[0-9]{1,9}$");
    const QString ejercicio = LeoLocal("Varios", "UltNumEjercicio", QString());
    if (entero.match(ejercicio).hasMatch())
        EXIJO(a.currentYear == ejercicio.toInt(), QString::number(a.currentYear));

    const auto pares = NombresDelArchivo(contenido);
    QStringList antes;
    for (const auto& [s, k] : pares) {
        const QString leido = LeoIni(archivo, s, k, Ausente);
        EXIJO(leido.size() <= 127, leido);
        antes << leido;
    }

    if (!NombreEscribible(seccion, ']') || !NombreEscribible(clave, '=') || valor.contains('\n') ||
        valor.contains('\r'))
        return 0;
    EXIJO(EscriboIni(archivo, seccion, clave, valor), archivo);
    // Read back trimmed, and cut at 127 characters without keeping half of one.
    QString esperado = valor.trimmed();
    if (esperado.size() > 127) esperado = esperado.left(esperado[126].isHighSurrogate() ? 126 : 127);
    const QString leido = LeoIni(archivo, seccion, clave, Ausente);
    EXIJO(leido == esperado,
          "[" + seccion + "] " + clave + ": «" + leido + "» en lugar de «" + esperado + "»");
    for (int i = 0; i < pares.size(); ++i) {
        const auto& [s, k] = pares[i];
        if (s.compare(seccion, Qt::CaseInsensitive) == 0 && k.compare(clave, Qt::CaseInsensitive) == 0)
            continue;
        const QString despues = LeoIni(archivo, s, k, Ausente);
        EXIJO(despues == antes[i], "[" + s + "] " + k + ": «" + antes[i] + "» pasó a «" + despues + "»");
    }
    return 0;
}
