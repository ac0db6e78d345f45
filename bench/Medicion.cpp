#include "bench/Medicion.h"
#include "core/AppState.h"

#include "core/Basedatos.h"
#include "core/Dialecto.h"
#include "core/DireccionPostgres.h"
#include "core/Ini.h"
#include "core/Motor.h"
#include "core/Transaccion.h"
#include "schema/Esquema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

#ifndef PARTIDEX_GEN_BOOK
#define PARTIDEX_GEN_BOOK "gen_book.py"
#endif

namespace Medicion {

double Ms(const QElapsedTimer& reloj) {
    return reloj.nsecsElapsed() / 1e6;
}

double CpuMs() {
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

double MemoriaMb(const char* clave) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& linea : f.readAll().split('\n'))
        if (linea.startsWith(clave))
            return linea.mid(linea.indexOf(':') + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

void ReinicioPico() {
#ifdef __GLIBC__
    // What an earlier measurement freed goes back to the system first, or it would count as held.
    malloc_trim(0);
#endif
    QFile f("/proc/self/clear_refs");
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

double Percentil(std::vector<double> tiempos, double parte) {
    if (tiempos.empty()) return 0;
    std::sort(tiempos.begin(), tiempos.end());
    return tiempos[std::min(tiempos.size() - 1, size_t(parte * double(tiempos.size())))];
}

namespace {

// A new file book filled by the shared generator, with its journal when one is named.
bool Genero(const QString& generador, const QString& ruta, int asientos, const QString& diario) {
    QString error;
    if (!CreoBase(ruta, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    QElapsedTimer r;
    r.start();
    QStringList argumentos{generador, ruta, "--entries", QString::number(asientos)};
    if (!diario.isEmpty()) argumentos << "--ledger" << diario;
    QProcess gen;
    gen.setProcessChannelMode(QProcess::ForwardedChannels);
    gen.start("python3", argumentos);
    if (!gen.waitForFinished(-1) || gen.exitCode() != 0) {
        std::fprintf(stderr, "The book generator failed (%s)\n", qPrintable(generador));
        return false;
    }
    std::printf("Book written in %.1f s\n", Ms(r) / 1000);
    return true;
}

// The server's database the address names, made on the server (UTF-8, byte order of texts, as the
// program asks of a new server database) when it is not there.
bool CreoEnServidor(const QString& ruta) {
    ServidorPostgres s = ServidorDe(ruta);
    const QString base = s.base;
    s.base = "postgres";
    const QString nombre = "medicion-servidor";
    bool ok = false;
    {
        QSqlDatabase db = MotorDeRuta(ruta).almacen.Agrego(nombre, DireccionPostgres(s), false);
        QSqlQuery q(db);
        ok = db.open() &&
             q.exec("CREATE DATABASE " + db.driver()->escapeIdentifier(base, QSqlDriver::TableName) +
                    " TEMPLATE template0 ENCODING 'UTF8' LOCALE 'C'");
        if (!ok)
            std::fprintf(stderr, "The database %s could not be made: %s\n", qPrintable(base),
                         qPrintable(TextoError(db.isOpen() ? q.lastError() : db.lastError())));
    }
    QSqlDatabase::removeDatabase(nombre);
    return ok;
}

// Tables of a database, each after the ones it refers to.
QStringList EnOrdenDeRelaciones(const Motor& motor, const QSqlDatabase& db) {
    QStringList pendientes = motor.catalogo.Tablas(db), orden;
    QHash<QString, QStringList> referidas;
    for (const RelacionBase& r : motor.catalogo.Relaciones(db))
        if (r.referida.compare(r.tabla, Qt::CaseInsensitive) != 0)
            referidas[r.tabla.toLower()] << r.referida.toLower();
    while (!pendientes.isEmpty()) {
        const qsizetype antes = pendientes.size();
        for (qsizetype i = 0; i < pendientes.size();) {
            bool lista = true;
            for (const QString& r : referidas.value(pendientes[i].toLower()))
                lista = lista && (orden.contains(r, Qt::CaseInsensitive) ||
                                  !pendientes.contains(r, Qt::CaseInsensitive));
            if (lista)
                orden << pendientes.takeAt(i);
            else
                ++i;
        }
        if (pendientes.size() == antes) { // a cycle: the rest in any order
            orden << pendientes;
            break;
        }
    }
    return orden;
}

// Every row of the file book at archivo into the shared connection's book, in one transaction, rows
// already there (the fixed rows of a new book) left alone. Rows go in batches of one statement each.
bool CopioLibro(const QString& archivo) {
    const QString nombre = "medicion-origen";
    bool ok = true;
    long long filas = 0;
    QElapsedTimer r;
    r.start();
    {
        const Motor& motor = MotorDeRuta(archivo);
        QSqlDatabase origen = motor.almacen.Agrego(nombre, archivo, true);
        if (!origen.open()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(archivo), qPrintable(TextoError(origen.lastError())));
            ok = false;
        }
        // The generated book is whole: its relations need not be checked row by row again (where the
        // server lets this user say so).
        QSqlDatabase destino = Conexion();
        MotorActual().almacen.ClavesForaneas(destino, false);
        Transaccion t;
        ok = ok && t.ok();
        for (const QString& tabla : ok ? EnOrdenDeRelaciones(motor, origen) : QStringList()) {
            // What the engine keeps from the lines, it makes again as they arrive.
            if (Esquema::TablasDerivadas().contains(tabla, Qt::CaseInsensitive)) continue;
            QSqlQuery leo(origen);
            leo.setForwardOnly(true);
            if (!leo.exec("SELECT * FROM " + tabla + " ORDER BY " + motor.dialecto.OrdenDeCarga())) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(tabla), qPrintable(TextoError(leo.lastError())));
                ok = false;
                break;
            }
            const QSqlRecord registro = leo.record();
            QStringList columnas, marcas;
            for (int c = 0; c < registro.count(); ++c) {
                columnas << registro.fieldName(c);
                marcas << "?";
            }
            const QString fila = "(" + marcas.join(", ") + ")";
            // Within the server's limit of bound values per statement.
            const int porLote = qMax(1, 20000 / qMax(1, int(columnas.size())));
            QHash<int, QSqlQuery> sentencias; // by rows per statement
            QVariantList valores;
            auto escribo = [&]() {
                const int n = int(valores.size() / columnas.size());
                if (n == 0) return true;
                if (!sentencias.contains(n)) {
                    QSqlQuery q(Conexion());
                    QStringList filasSql;
                    for (int i = 0; i < n; ++i)
                        filasSql << fila;
                    if (!q.prepare(Dialecto::InsertoOIgnoro(tabla + " (" + columnas.join(", ") + ") VALUES " +
                                                            filasSql.join(", ")))) {
                        std::fprintf(stderr, "%s: %s\n", qPrintable(tabla),
                                     qPrintable(TextoError(q.lastError())));
                        return false;
                    }
                    sentencias.insert(n, q);
                }
                QSqlQuery& q = sentencias[n];
                for (int i = 0; i < valores.size(); ++i)
                    q.bindValue(i, valores[i]);
                if (!q.exec()) {
                    std::fprintf(stderr, "%s: %s\n", qPrintable(tabla),
                                 qPrintable(TextoError(q.lastError())));
                    return false;
                }
                filas += n;
                valores.clear();
                return true;
            };
            while (ok && leo.next()) {
                for (int c = 0; c < columnas.size(); ++c)
                    valores << leo.value(c);
                if (valores.size() >= porLote * columnas.size()) ok = escribo();
            }
            ok = ok && escribo();
            if (!ok) break;
        }
        ok = ok && t.Confirmo();
        MotorActual().almacen.ClavesForaneas(destino, true);
    }
    QSqlDatabase::removeDatabase(nombre);
    if (!ok) return false;
    std::printf("Book copied into the server's database: %lld rows in %.1f s\n", filas, Ms(r) / 1000);
    // Visibility map and statistics, as the server's own vacuum leaves a table after a large load.
    r.restart();
    QString error;
    QSqlDatabase db = Conexion();
    if (!MotorActual().almacen.CompactoEnSitio(db, &error)) {
        std::fprintf(stderr, "Compaction and statistics: %s\n", qPrintable(error));
        return false;
    }
    std::printf("Compacted, statistics brought up to date in %.1f s\n", Ms(r) / 1000);
    return true;
}

} // namespace

bool AbroLibro(const QStringList& args, QTemporaryDir& carpeta, Libro* libro) {
    int asientos = 200000;
    QString ruta, diario, desde;
    QString generador = QStringLiteral(PARTIDEX_GEN_BOOK);
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--entries")
            asientos = args[i + 1].toInt();
        else if (args[i] == "--book")
            ruta = args[i + 1];
        else if (args[i] == "--gen")
            generador = args[i + 1];
        else if (args[i] == "--journal")
            diario = args[i + 1];
        else if (args[i] == "--from-file")
            desde = args[i + 1];
    }
    if (ruta.isEmpty()) ruta = carpeta.filePath("Partidex.MDB");
    const bool enServidor = !MotorDeRuta(ruta).PorArchivo();
    if (diario.isEmpty())
        diario =
            enServidor ? QDir::current().filePath(ServidorDe(ruta).base + ".journal") : ruta + ".journal";
    if (libro) *libro = {ruta, diario};
    QString error;
    if (enServidor) {
        // A server's database is filled from a file book the generator writes, then copied in.
        Diagnostico d = ExaminoBase(ruta, Examen::Rapido);
        if (d.estado == EstadoBase::SinPermiso) {
            if (!CreoEnServidor(ruta)) return false;
            d = ExaminoBase(ruta, Examen::Rapido);
        }
        if (d.estado == EstadoBase::NoExiste) {
            const QString archivo = desde.isEmpty() ? carpeta.filePath("Generado.MDB") : desde;
            if ((desde.isEmpty() && !Genero(generador, archivo, asientos, diario)) ||
                !CreoBase(ruta, &error) || !AbroBase(ruta, &error) || !CopioLibro(archivo)) {
                if (!error.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(error));
                return false;
            }
        } else if (d.estado != EstadoBase::Partidex) {
            std::fprintf(stderr, "%s\n", qPrintable(d.explicacion));
            return false;
        }
    } else if (!QFile::exists(ruta) && !Genero(generador, ruta, asientos, diario)) {
        return false;
    }
    // A book of an earlier run, made by an earlier version, is taken to this one as start-up would
    // (without its backup first), and the time it takes is told.
    if (!BaseAbierta() && ExaminoBase(ruta, Examen::Rapido).estado == EstadoBase::Anterior) {
        QElapsedTimer r;
        r.start();
        const double cpu = CpuMs();
        if (!ActualizoBase(ruta, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return false;
        }
        std::printf("Book upgraded to structure %d in %.1f s (processor %.1f s)\n", Esquema::Version, Ms(r) / 1000,
                    (CpuMs() - cpu) / 1000);
    }
    if (!BaseAbierta() && !AbroBase(ruta, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    // The book's first user, its administrator, logged in: what is written is written in his name.
    App().currentUser = 1;
    // Current planner statistics, as start-up keeps them.
    Ejecuto("ANALYZE");
    std::printf("Book: %s\n", qPrintable(ruta));
    return true;
}

bool AjustesDelLibro(const QString& ruta, const QString& carpeta) {
    const QString ini = QDir(carpeta).filePath("Partidex.ini");
    const QString s = QStringLiteral("Base de Datos");
    if (MotorDeRuta(ruta).PorArchivo()) return EscriboIni(ini, s, "Base", QFileInfo(ruta).absoluteFilePath());
    const ServidorPostgres p = ServidorDe(ruta);
    return EscriboIni(ini, s, "Motor", "PostgreSQL") && EscriboIni(ini, s, "Servidor", p.servidor) &&
           EscriboIni(ini, s, "Puerto", QString::number(p.puerto)) && EscriboIni(ini, s, "Base", p.base) &&
           EscriboIni(ini, s, "Usuario", p.usuario);
}

} // namespace Medicion
