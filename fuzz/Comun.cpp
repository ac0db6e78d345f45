#include "fuzz/Comun.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

void PreparoQt(int* argc, char*** argv) {
    static QCoreApplication* app = nullptr;
    if (!app) app = new QCoreApplication(*argc, *argv);
}

QString CarpetaFuzz() {
    static QTemporaryDir carpeta;
    return carpeta.path();
}

QString ArchivoFuzz(const QString& nombre, const QByteArray& bytes) {
    const QString ruta = CarpetaFuzz() + "/" + nombre;
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        Falla("archivo de trabajo escrito", __FILE__, __LINE__, ruta);
    return ruta;
}

void Falla(const char* condicion, const char* archivo, int linea, const QString& detalle) {
    std::fprintf(stderr, "%s:%d: no se cumple %s\n  %s\n", archivo, linea, condicion,
                 QString(detalle).replace(QChar(0), QStringLiteral("\\0")).toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}
