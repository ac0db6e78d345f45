#include "core/DireccionPostgres.h"

#include <QUrl>
#include <QUrlQuery>

QString DireccionPostgres(const ServidorPostgres& s) {
    QUrl u;
    u.setScheme("postgresql");
    u.setUserName(s.usuario);
    u.setPath("/" + s.base);
    u.setPort(s.puerto);
    if (s.servidor.startsWith('/')) {
        QUrlQuery q;
        q.addQueryItem("host", s.servidor);
        u.setQuery(q);
        u.setHost(QString());
    } else {
        u.setHost(s.servidor);
    }
    // Without a host QUrl drops the port: written as libpq's own form.
    QString t = u.toString();
    if (s.servidor.startsWith('/') || s.servidor.isEmpty())
        t = "postgresql://" + (s.usuario.isEmpty() ? QString() : s.usuario + "@") + ":" +
            QString::number(s.puerto) + "/" + s.base + (u.hasQuery() ? "?" + u.query() : QString());
    return t;
}

bool EsDireccionPostgres(const QString& ruta) {
    return ruta.startsWith(QLatin1String("postgresql://")) || ruta.startsWith(QLatin1String("postgres://"));
}

ServidorPostgres ServidorDe(const QString& direccion) {
    ServidorPostgres s;
    const int esquema = direccion.indexOf("://");
    QString resto = direccion.mid(esquema + 3);
    QString consulta;
    if (const int p = resto.indexOf('?'); p >= 0) {
        consulta = resto.mid(p + 1);
        resto = resto.left(p);
    }
    const int barra = resto.indexOf('/');
    s.base = barra >= 0 ? QUrl::fromPercentEncoding(resto.mid(barra + 1).toUtf8()) : QString();
    QString autoridad = barra >= 0 ? resto.left(barra) : resto;
    if (const int arroba = autoridad.lastIndexOf('@'); arroba >= 0) {
        s.usuario = QUrl::fromPercentEncoding(autoridad.left(arroba).toUtf8());
        autoridad = autoridad.mid(arroba + 1);
    }
    if (const int dos = autoridad.lastIndexOf(':'); dos >= 0) {
        s.puerto = autoridad.mid(dos + 1).toInt();
        autoridad = autoridad.left(dos);
    }
    s.servidor = autoridad;
    const QUrlQuery q(consulta);
    if (q.hasQueryItem("host")) s.servidor = q.queryItemValue("host", QUrl::FullyDecoded);
    if (s.puerto <= 0) s.puerto = 5432;
    return s;
}
