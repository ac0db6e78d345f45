#pragma once
// The address of a database on a PostgreSQL server, where a file engine takes a
// path: "postgresql://user@host:port/database" (a Unix socket folder as host goes in "?host="); the
// password never goes in the address.
#include <QString>

// Where a server database is.
struct ServidorPostgres {
    QString servidor; // host name, address or the folder of a Unix socket; empty: libpq's default
    int puerto = 5432;
    QString base;
    QString usuario;
};
QString DireccionPostgres(const ServidorPostgres& s);
// True when ruta is a server address rather than a file path.
bool EsDireccionPostgres(const QString& ruta);
ServidorPostgres ServidorDe(const QString& direccion);
