#include "core/Ini.h"

#include "core/Archivos.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringConverter>
#include <QStringDecoder>

namespace {

constexpr int LargoMaximoValor = 127;

// Reads the file as lines, each decoded on its own: UTF-8 when it is valid UTF-8, Latin-1 otherwise,
// so that one line written by another editor does not change how the others read. Only a regular file
// is opened: a FIFO would block the reader, a device or a folder holds no settings.
bool LeoLineas(const QString& archivo, QStringList& lineas) {
    if (RutaConControles(archivo) || !ClaseNoComun(archivo).isEmpty()) return false;
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    bytes.replace("\r\n", "\n");
    bytes.replace('\r', '\n');
    const QList<QByteArray> crudas = bytes.split('\n');
    lineas.clear();
    for (const QByteArray& b : crudas) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString linea = utf8.decode(b);
        if (utf8.hasError()) linea = QString::fromLatin1(b);
        lineas << linea;
    }
    if (!lineas.isEmpty() && lineas.last().isEmpty()) lineas.removeLast();
    return true;
}

// Section name of a "[Name]" line, or a null text when the line is not a section header.
QString SeccionDeLinea(const QString& linea) {
    const QString t = linea.trimmed();
    if (t.size() < 2 || !t.startsWith('[')) return QString();
    const int cierre = t.indexOf(']');
    if (cierre < 0) return QString();
    return t.mid(1, cierre - 1).trimmed();
}

bool ClaveDeLinea(const QString& linea, QString& clave, QString& valor) {
    const int igual = linea.indexOf('=');
    if (igual < 0) return false;
    clave = linea.left(igual).trimmed();
    valor = linea.mid(igual + 1).trimmed();
    return !clave.isEmpty();
}

// A value as the settings give it: without the blanks around it, and at most LargoMaximoValor
// characters, never half of one. (A value holding a NUL is kept whole: a path with one is refused.)
QString ValorLeido(QString v) {
    v = v.trimmed();
    if (v.size() > LargoMaximoValor)
        v.truncate(v[LargoMaximoValor - 1].isHighSurrogate() ? LargoMaximoValor - 1 : LargoMaximoValor);
    return v;
}

bool Igual(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

QString LeoIni(const QString& archivo, const QString& seccion, const QString& clave, const QString& defecto) {
    QStringList lineas;
    if (!LeoLineas(archivo, lineas)) return defecto;
    bool enSeccion = false;
    for (const QString& linea : lineas) {
        const QString s = SeccionDeLinea(linea);
        if (!s.isNull()) {
            enSeccion = Igual(s, seccion);
            continue;
        }
        if (!enSeccion) continue;
        QString k, v;
        // The first occurrence of a key wins, as with the system's own reader.
        if (ClaveDeLinea(linea, k, v) && Igual(k, clave)) return ValorLeido(v);
    }
    return defecto;
}

bool EscriboIni(const QString& archivo, const QString& seccion, const QString& clave, const QString& valor) {
    // Never written through a FIFO, a device or a folder, nor to a path the file system would cut.
    if (RutaConControles(archivo) || !ClaseNoComun(archivo).isEmpty()) return false;
    QStringList lineas;
    LeoLineas(archivo, lineas);
    const QString nueva = clave + "=" + valor;
    int inicioSeccion = -1, finSeccion = -1;
    bool enSeccion = false, escrito = false;
    for (int i = 0; i < lineas.size() && !escrito; ++i) {
        const QString s = SeccionDeLinea(lineas[i]);
        if (!s.isNull()) {
            if (enSeccion) break;
            enSeccion = Igual(s, seccion);
            if (enSeccion) inicioSeccion = finSeccion = i;
            continue;
        }
        if (!enSeccion) continue;
        QString k, v;
        if (ClaveDeLinea(lineas[i], k, v) && Igual(k, clave)) {
            lineas[i] = nueva;
            escrito = true;
        } else if (!lineas[i].trimmed().isEmpty()) {
            finSeccion = i;
        }
    }
    if (!escrito) {
        if (inicioSeccion >= 0) {
            lineas.insert(finSeccion + 1, nueva);
        } else {
            if (!lineas.isEmpty() && !lineas.last().trimmed().isEmpty()) lineas << QString();
            lineas << "[" + seccion + "]" << nueva;
        }
    }
    QDir().mkpath(QFileInfo(archivo).absolutePath());
    QSaveFile f(archivo);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(lineas.join("\n").toUtf8());
    f.write("\n");
    return f.commit();
}

