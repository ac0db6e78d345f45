#include "core/Archivos.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool RutaConControles(const QString& ruta) {
    if (ruta.isEmpty()) return true;
    for (const QChar c : ruta)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return true;
    return false;
}

QString RutaVisible(const QString& ruta) {
    QString r;
    for (const QChar c : QDir::toNativeSeparators(ruta)) {
        if (c.unicode() == 0)
            r += QStringLiteral("\\0");
        else if (c == '\n')
            r += QStringLiteral("\\n");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            r += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar('0'));
        else
            r += c;
    }
    return r;
}

QString ClaseNoComun(const QString& ruta) {
    struct stat st = {};
    if (RutaConControles(ruta) || ::stat(QFile::encodeName(ruta).constData(), &st) != 0) return QString();
    if (S_ISREG(st.st_mode)) return QString();
    if (S_ISDIR(st.st_mode)) return QStringLiteral("una carpeta");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return QStringLiteral("un dispositivo");
    if (S_ISFIFO(st.st_mode)) return QString::fromUtf8("una tubería (FIFO)");
    if (S_ISSOCK(st.st_mode)) return QStringLiteral("un socket");
    return QStringLiteral("un archivo especial");
}

int BorroRestos(const QString& destino, const QString& prefijo) {
    const QFileInfo info(destino);
    const QRegularExpression nombre(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(info.fileName() + prefijo) + QStringLiteral("[0-9a-f]{8}(-wal|-shm)?")));
    const QDateTime limite = QDateTime::currentDateTimeUtc().addSecs(-3600);
    int borrados = 0;
    const QFileInfoList candidatos =
        QDir(info.absolutePath())
            .entryInfoList({info.fileName() + prefijo + "*"}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& f : candidatos)
        if (nombre.match(f.fileName()).hasMatch() && f.lastModified().toUTC() < limite &&
            QFile::remove(f.absoluteFilePath()))
            ++borrados;
    return borrados;
}

int ModoPrivado(const QString& ruta, bool grupoEscribe) {
    struct stat carpeta {};
    const QByteArray c = QFile::encodeName(QFileInfo(ruta).absolutePath());
    const bool compartida =
        ::stat(c.constData(), &carpeta) == 0 && (carpeta.st_mode & (S_ISGID | S_IWGRP)) != 0;
    if (!compartida) return 0600;
    return grupoEscribe ? 0660 : 0640;
}

bool CreoArchivoPrivado(const QString& ruta, bool grupoEscribe, QString* error) {
    const mode_t modo = mode_t(ModoPrivado(ruta, grupoEscribe));
    const int fd = ::open(QFile::encodeName(ruta).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, modo);
    // Exactly that mode, whatever the process's umask: the group's write to a shared book stays.
    if (fd >= 0 && ::fchmod(fd, modo) == 0 && ::close(fd) == 0) return true;
    if (fd >= 0) {
        ::close(fd);
        QFile::remove(ruta);
    }
    if (error) *error = "no se pudo crear el archivo " + QDir::toNativeSeparators(ruta);
    return false;
}
