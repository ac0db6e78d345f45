// The server engine's reader of long statements: the rows come through the server's own client
// library on the connection Qt's driver opened, each value read from the text the server sends, with
// no QVariant made of every cell. It gives the values Qt's driver would give (core/Lector.h). And the
// watch that stops a long statement in its middle when its operation is asked to stop.
#include "core/MotorPostgres.h"

#include "core/Lector.h"
#include "core/Progreso.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDriver>
#include <QTime>

#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <libpq-fe.h>

namespace {

// Type identifiers of the server's built-in types (pg_type.oid), those whose values Qt's driver
// gives as something other than a text.
enum : Oid {
    TipoBool = 16,
    TipoBytea = 17,
    TipoInt8 = 20,
    TipoInt2 = 21,
    TipoInt4 = 23,
    TipoOid = 26,
    TipoFloat4 = 700,
    TipoFloat8 = 701,
    TipoFecha = 1082,
    TipoHora = 1083,
    TipoMarca = 1114,
    TipoMarcaZona = 1184,
    TipoNumeric = 1700,
};

PGconn* Conexion(const QSqlDatabase& db) {
    if (!db.isValid() || !db.isOpen() || !db.driver()) return nullptr;
    const QVariant v = db.driver()->handle();
    // The driver names the type by its structure (pg_conn*), or by the library's name for it.
    if (!v.isValid() || (qstrcmp(v.typeName(), "pg_conn*") != 0 && qstrcmp(v.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(v.constData());
}

// The statement with its marks "?" numbered as the server takes them ($1, $2 ...); a mark inside a
// quoted text or name is left alone.
QByteArray Numerada(const QString& sql) {
    const QByteArray s = sql.toUtf8();
    QByteArray r;
    r.reserve(s.size() + 16);
    char comilla = 0;
    int n = 0;
    for (const char c : s) {
        if (comilla) {
            if (c == comilla) comilla = 0;
            r += c;
        } else if (c == '\'' || c == '"') {
            comilla = c;
            r += c;
        } else if (c == '?') {
            r += '$' + QByteArray::number(++n);
        } else {
            r += c;
        }
    }
    return r;
}

class LectorPostgres : public Lector {
public:
    LectorPostgres(PGconn* c, const QString& sql, const QVariantList& parametros, bool adelante)
        : c(c), filaAFila(adelante) {
        // A statement that is its own transaction can be stopped on the server when its rows are
        // left unread; one inside the caller's transaction is read to its end instead.
        propia = PQtransactionStatus(c) == PQTRANS_IDLE;
        std::vector<QByteArray> valores(size_t(parametros.size()));
        std::vector<const char*> punteros(valores.size(), nullptr);
        std::vector<int> largos(valores.size(), 0), formatos(valores.size(), 0);
        std::vector<Oid> tipos(valores.size(), 0);
        for (size_t i = 0; i < valores.size(); ++i) {
            const QVariant& v = parametros[qsizetype(i)];
            if (v.isNull()) continue;
            // Values go as the driver writes them into a statement: a text, a date or a number of a
            // type the server infers from where it stands; a real as an exact decimal; bytes as bytes.
            switch (v.typeId()) {
            case QMetaType::Bool: valores[i] = v.toBool() ? "true" : "false"; break;
            case QMetaType::Double:
            case QMetaType::Float:
                valores[i] = QByteArray::number(v.toDouble(), 'g', 17);
                tipos[i] = TipoNumeric;
                break;
            case QMetaType::QByteArray:
                valores[i] = v.toByteArray();
                tipos[i] = TipoBytea;
                formatos[i] = 1;
                break;
            case QMetaType::QDate: valores[i] = v.toDate().toString(Qt::ISODate).toUtf8(); break;
            case QMetaType::QDateTime: valores[i] = v.toDateTime().toString(Qt::ISODateWithMs).toUtf8(); break;
            default: valores[i] = v.toString().toUtf8();
            }
            punteros[i] = valores[i].constData();
            largos[i] = int(valores[i].size());
        }
        const QByteArray texto = Numerada(sql);
        if (!PQsendQueryParams(c, texto.constData(), int(valores.size()), tipos.data(), punteros.data(),
                               largos.data(), formatos.data(), 0)) {
            // Not even sent (the connection has a statement of the driver's under way): nothing
            // was asked of the server.
            error = Mensaje();
            terminado = true;
            return;
        }
        enviada = true;
        enCurso = true;
        if (filaAFila && !PQsetSingleRowMode(c)) filaAFila = false;
        if (filaAFila) {
            // The first row is awaited here, so that a statement the server refuses fails at once.
            primera = Siguiente();
        } else {
            // Every row at once: the connection is free again when the reader is made.
            r = PQgetResult(c);
            if (PQresultStatus(r) != PGRES_TUPLES_OK) Fallo();
            Termino();
            filas = r ? PQntuples(r) : 0;
        }
    }
    ~LectorPostgres() override {
        PQclear(r);
        if (!enCurso) return;
        if (propia) {
            if (PGcancel* p = PQgetCancel(c)) {
                char motivo[256];
                PQcancel(p, motivo, int(sizeof motivo));
                PQfreeCancel(p);
            }
        }
        Termino();
    }
    bool Siguiente() override {
        if (!filaAFila) return !terminado && ++fila < filas;
        if (terminado) return false;
        if (primera) {
            primera = false;
            return true;
        }
        PQclear(r);
        r = PQgetResult(c);
        switch (PQresultStatus(r)) {
        case PGRES_SINGLE_TUPLE: fila = 0; return true;
        case PGRES_TUPLES_OK:
            // The last row has come: what is left is the end of the statement.
            Termino();
            terminado = true;
            return false;
        default:
            // No result at all means another statement on this connection took the rest of the rows:
            // the rows read are not all there were.
            if (r)
                Fallo();
            else
                error = QStringLiteral("la lectura de las filas se interrumpió");
            Termino();
            terminado = true;
            return false;
        }
    }
    bool Nulo(int col) const override { return !r || PQgetisnull(r, fila, col); }
    qint64 Entero(int col) const override {
        if (Nulo(col)) return 0;
        switch (PQftype(r, col)) {
        case TipoFloat4:
        case TipoFloat8:
        case TipoNumeric: return qint64(Real(col));
        case TipoBool: return *PQgetvalue(r, fila, col) == 't';
        default: break;
        }
        const char* t = PQgetvalue(r, fila, col);
        qint64 n = 0;
        std::from_chars(t, t + PQgetlength(r, fila, col), n);
        return n;
    }
    double Real(int col) const override {
        if (Nulo(col)) return 0;
        if (PQftype(r, col) == TipoBool) return *PQgetvalue(r, fila, col) == 't';
        return std::strtod(PQgetvalue(r, fila, col), nullptr);
    }
    QByteArrayView Texto(int col) const override {
        if (Nulo(col)) return {};
        switch (PQftype(r, col)) {
        case TipoBool:
        case TipoBytea:
        case TipoFloat4:
        case TipoFloat8:
        case TipoNumeric:
        case TipoHora:
        case TipoMarca:
        case TipoMarcaZona: {
            // The server writes these otherwise than the driver's value reads as a text.
            if (col >= qsizetype(textos.size())) textos.resize(size_t(col) + 1);
            textos[size_t(col)] = Valor(col).toString().toUtf8();
            return textos[size_t(col)];
        }
        default: return QByteArrayView(PQgetvalue(r, fila, col), PQgetlength(r, fila, col));
        }
    }
    QVariant Valor(int col) const override {
        if (Nulo(col)) return QVariant();
        const char* t = PQgetvalue(r, fila, col);
        const QByteArrayView b(t, PQgetlength(r, fila, col));
        switch (PQftype(r, col)) {
        case TipoBool: return QVariant(*t == 't');
        case TipoInt2:
        case TipoInt4:
        case TipoOid: return QVariant(int(Entero(col)));
        case TipoInt8: return QVariant(qlonglong(Entero(col)));
        case TipoFloat4:
        case TipoFloat8:
        case TipoNumeric: return QVariant(Real(col));
        case TipoFecha: return QDate::fromString(QString::fromLatin1(b), Qt::ISODate);
        case TipoHora: return QTime::fromString(QString::fromLatin1(b), Qt::ISODateWithMs);
        case TipoMarca:
        case TipoMarcaZona: return QDateTime::fromString(QString::fromLatin1(b), Qt::ISODateWithMs);
        case TipoBytea: {
            size_t largo = 0;
            unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(t), &largo);
            const QByteArray v(reinterpret_cast<const char*>(bytes), qsizetype(largo));
            PQfreemem(bytes);
            return v;
        }
        default: return QString::fromUtf8(b);
        }
    }
    QString Error() const override { return error; }
    bool Enviada() const { return enviada; }

private:
    PGconn* c;
    bool filaAFila;
    bool propia = false;
    bool enviada = false;
    bool enCurso = false; // the statement's results are not all taken from the connection yet
    bool terminado = false;
    bool primera = false; // the first row, awaited when the statement was sent, is not handed out yet
    PGresult* r = nullptr;
    int fila = -1, filas = 0;
    QString error;
    mutable std::vector<QByteArray> textos;

    QString Mensaje() const { return QString::fromUtf8(PQerrorMessage(c)).trimmed(); }
    void Fallo() {
        const char* m = r ? PQresultErrorMessage(r) : nullptr;
        error = m && *m ? QString::fromUtf8(m).trimmed() : Mensaje();
        PQclear(r);
        r = nullptr;
    }
    // Takes what is left of the statement's results, so that the connection serves the next one.
    void Termino() {
        while (PGresult* resto = PQgetResult(c))
            PQclear(resto);
        enCurso = false;
    }
};

// Watches an operation from a thread of its own while its statements run on a connection: once the
// operation is asked to stop, the server is asked to cancel what the connection runs, and asked again
// now and then for as long as the watch lives (a request that came between two statements cancels
// nothing, and the next statement would run to its end). The request goes on a connection of its own
// to the server, the one thing the client library lets another thread do.
class Vigia {
public:
    Vigia(PGcancel* cancelacion, Progreso* progreso) : cancelacion(cancelacion), progreso(progreso) {
        hilo = std::thread([this] { Vigilo(); });
    }
    ~Vigia() {
        {
            const std::lock_guard<std::mutex> l(m);
            fin = true;
        }
        aviso.notify_all();
        hilo.join();
        PQfreeCancel(cancelacion);
    }
    Vigia(const Vigia&) = delete;
    Vigia& operator=(const Vigia&) = delete;

private:
    void Vigilo() {
        using namespace std::chrono_literals;
        std::unique_lock<std::mutex> l(m);
        while (!fin) {
            aviso.wait_for(l, 20ms);
            if (fin || !progreso->Cancelado()) continue;
            char motivo[256];
            PQcancel(cancelacion, motivo, int(sizeof motivo));
            aviso.wait_for(l, 200ms);
        }
    }

    PGcancel* cancelacion;
    Progreso* progreso;
    std::mutex m;
    std::condition_variable aviso;
    bool fin = false;
    std::thread hilo;
};

} // namespace

std::shared_ptr<void> AlmacenPostgres::Detenible(const QSqlDatabase& db, Progreso* progreso) const {
    PGconn* c = Conexion(db);
    if (!c || !progreso) return nullptr;
    PGcancel* cancelacion = PQgetCancel(c);
    if (!cancelacion) return nullptr;
    return std::make_shared<Vigia>(cancelacion, progreso);
}

std::unique_ptr<Lector> AlmacenPostgres::Leo(const QSqlDatabase& db, const QString& sql,
                                             const QVariantList& parametros, bool adelante) const {
    PGconn* c = Conexion(db);
    // A connection with a statement of the driver's still running is left to the driver.
    if (!c || PQisBusy(c) || PQtransactionStatus(c) == PQTRANS_ACTIVE)
        return AlmacenMotor::Leo(db, sql, parametros, adelante);
    auto lector = std::make_unique<LectorPostgres>(c, sql, parametros, adelante);
    if (!lector->Enviada()) return AlmacenMotor::Leo(db, sql, parametros, adelante);
    return lector;
}
