#include "core/Progreso.h"

#include <QMutexLocker>
#include <algorithm>

bool Progreso::Etapa(const QString& texto, qint64 total, qint64 hechos) {
    {
        QMutexLocker l(&cerrojo);
        que = texto;
    }
    pasos = total;
    hecho = hechos;
    porcentaje = false;
    desdeParte = 0;
    hastaParte = 1;
    if (tramos.load() > 0 && tramo.load() < tramos.load()) ++tramo;
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

bool Progreso::Parte(double parte) {
    // Thousandths, never past the end before the stage says it is over.
    const double desde = desdeParte.load(), hasta = hastaParte.load();
    pasos = 1000;
    hecho = qint64(std::clamp(desde + std::clamp(parte, 0.0, 1.0) * (hasta - desde), 0.0, 0.999) * 1000);
    porcentaje = true;
    empezado = true;
    Late();
    return !cancelado.load();
}

void Progreso::ParteDeEtapa(double desde, double hasta) {
    desdeParte = std::clamp(desde, 0.0, 1.0);
    hastaParte = std::clamp(hasta, desdeParte.load(), 1.0);
    Parte(0);
}

void Progreso::Serie(int etapas) {
    tramos = std::max(0, etapas);
    tramo = 0;
}

double Progreso::Total() const {
    const qint64 n = pasos.load(), h = hecho.load();
    const double enEtapa = n > 0 ? std::min(1.0, double(h) / double(n)) : -1;
    const int k = tramo.load(), t = tramos.load();
    if (t <= 0 || k <= 0) return enEtapa;
    return (k - 1 + std::max(0.0, enEtapa)) / t;
}

QString Progreso::Que() const {
    QMutexLocker l(&cerrojo);
    return que;
}

void Progreso::Late() {
    if (latido) latido();
}
