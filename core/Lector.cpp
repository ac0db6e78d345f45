#include "core/Lector.h"

#include "core/Basedatos.h"
#include "core/MotorAlmacen.h"
#include "core/MotorDialecto.h"

#include <QSqlError>

bool LectorConsulta::Siguiente() {
    return q.isActive() && q.next();
}

QByteArrayView LectorConsulta::Texto(int c) const {
    if (c >= textos.size()) textos.resize(c + 1);
    textos[c] = q.value(c).toString().toUtf8();
    return textos[c];
}

QString LectorConsulta::Error() const {
    const QSqlError e = q.lastError();
    return e.isValid() ? TextoError(e) : QString();
}

std::shared_ptr<void> AlmacenMotor::Detenible(const QSqlDatabase&, Progreso*) const {
    return nullptr;
}

std::unique_ptr<Lector> AlmacenMotor::Leo(const QSqlDatabase& db, const QString& sql, const QVariantList& parametros,
                                          bool adelante) const {
    QSqlQuery q(db);
    q.setForwardOnly(adelante);
    if (parametros.isEmpty()) {
        q.exec(sql);
    } else if (q.prepare(sql)) {
        for (int i = 0; i < parametros.size(); ++i)
            q.bindValue(i, parametros[i]);
        q.exec();
    }
    return std::make_unique<LectorConsulta>(std::move(q));
}
