#include "core/Progreso.h"

#include <QMutexLocker>

bool Progreso::Etapa(const QString& texto, qint64 total, qint64 hechos) {
    {
        QMutexLocker l(&cerrojo);
        que = texto;
    }
    pasos = total;
    hecho = hechos;
    empezado = true;
    Late();
    return !cancelado.load();
}

bool Progreso::Avance(qint64 hechos) {
    hecho = hechos;
    empezado = true;
    Late();
    return !cancelado.load();
}

QString Progreso::Que() const {
    QMutexLocker l(&cerrojo);
    return que;
}

void Progreso::Late() {
    if (latido) latido();
}
