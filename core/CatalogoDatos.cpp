#include "core/CatalogoDatos.h"

#include "core/Dialecto.h"
#include "core/Permisos.h"
#include "core/Transaccion.h"
#include "core/Valores.h"

#include "core/Contexto.h"

#include <QSqlRecord>
#include <limits>

FilaLeida::FilaLeida(const QSqlRecord& r) {
    for (int i = 0; i < r.count(); ++i) {
        nombres << r.fieldName(i);
        valores << r.value(i);
    }
}

QVariant FilaLeida::Valor(const QString& campo) const {
    for (int i = 0; i < nombres.size(); ++i)
        if (nombres[i].compare(campo, Qt::CaseInsensitive) == 0) return valores[i];
    return QVariant();
}

FilasLeidas LeoFilas(QSqlQuery q) {
    FilasLeidas r;
    if (!q.isActive()) {
        r.ok = false;
        r.error = TextoError(q.lastError());
        return r;
    }
    while (q.next())
        r.filas << FilaLeida(q.record());
    q.finish();
    return r;
}

std::optional<FilaLeida> LeoFila(QSqlQuery q) {
    std::optional<FilaLeida> r;
    if (q.next()) r = FilaLeida(q.record());
    q.finish();
    return r;
}

QList<Opcion> OpcionesCatalogo(const Contexto& ctx, const QString& tabla, const QString& campoMostrado) {
    QList<Opcion> r;
    QSqlQuery q = Consulto(ctx, "SELECT * FROM " + tabla + " ORDER BY " + Dialecto::Alfabetico(campoMostrado));
    const int columna = q.record().indexOf(campoMostrado);
    while (q.next())
        r.append({q.value(0).toInt(), NuloAVacio(q.value(columna))});
    q.finish();
    return r;
}

SentenciasCatalogo SentenciasCatalogo::De(const QString& tabla, const QString& campoCodigo,
                                          const QString& campoDescripcion, const QString& modulo) {
    SentenciasCatalogo s;
    s.modulo = modulo;
    s.tabla = tabla;
    s.campoCodigo = campoCodigo;
    s.campoDescripcion = campoDescripcion;
    // Rows of one table are distinct by their key already.
    s.lista = "SELECT * FROM " + tabla + " ORDER BY " + Dialecto::Alfabetico(tabla + "." + campoDescripcion);
    s.registro = "SELECT * FROM " + tabla + " WHERE " + campoCodigo + "=?";
    s.alta = "INSERT INTO " + tabla + " (" + campoCodigo + ", " + campoDescripcion + ") VALUES (?, ?)";
    s.cambio = "UPDATE " + tabla + " SET " + campoCodigo + "=?, " + campoDescripcion + "=? WHERE " +
               campoCodigo + "=?";
    s.baja = "DELETE FROM " + tabla + " WHERE " + tabla + "." + campoCodigo + "=?";
    return s;
}

QSqlQuery CatalogoDatos::ConsultoLista() const {
    return Consulto(sentencias.lista);
}

QSqlQuery CatalogoDatos::ConsultoRegistro(qint64 codigo) const {
    return Consulto(sentencias.registro, {codigo});
}

FilasLeidas CatalogoDatos::LeoLista(const Contexto& ctx) const {
    return LeoFilas(Consulto(ctx, sentencias.lista));
}

std::optional<FilaLeida> CatalogoDatos::LeoRegistro(const Contexto& ctx, qint64 codigo) const {
    return LeoFila(Consulto(ctx, sentencias.registro, {codigo}));
}

qint64 CatalogoDatos::ProximoCodigo() const {
    return qint64(NumeroOCero(ValorCampo(sentencias.tabla, "Max(" + sentencias.campoCodigo + ")", "1=1"))) +
           1;
}

namespace {
// A refusal of the user's profile, as a failed write.
std::optional<Resultado> Negado(const Contexto& ctx, const QString& modulo, Accion accion) {
    Resultado r;
    if (Autorizo(ctx, modulo, accion, &r.error)) return std::nullopt;
    r.ok = false;
    return r;
}
} // namespace

Resultado CatalogoDatos::Agrego(const Contexto& ctx, qint64 codigo, const QString& descripcion) const {
    if (auto n = Negado(ctx, sentencias.modulo, Accion::Escribir)) return *n;
    // An empty description is stored as an empty text, not as Null.
    return Ejecuto(ctx, sentencias.alta, {codigo, descripcion.isNull() ? QString("") : descripcion});
}

Resultado CatalogoDatos::Cambio(const Contexto& ctx, qint64 codigo, const QString& descripcion,
                                qint64 anterior) const {
    if (auto n = Negado(ctx, sentencias.modulo, Accion::Escribir)) return *n;
    Resultado r =
        Ejecuto(ctx, sentencias.cambio, {codigo, descripcion.isNull() ? QString("") : descripcion, anterior});
    if (r.ok && r.filas < 1) {
        r.ok = false;
        r.error = "el registro ya no existe";
    }
    return r;
}

Resultado CatalogoDatos::Borro(const Contexto& ctx, qint64 codigo) const {
    if (auto n = Negado(ctx, sentencias.modulo, Accion::Eliminar)) return *n;
    return Ejecuto(ctx, sentencias.baja, {codigo});
}

std::optional<qint32> CatalogoDatos::CodigoDeTexto(const QString& texto) {
    bool ok = false;
    const qint64 n = texto.trimmed().toLongLong(&ok);
    if (!ok || n < 0 || n > std::numeric_limits<qint32>::max()) return std::nullopt;
    return qint32(n);
}

Resultado CatalogoDatos::EnTransaccion(const std::function<Resultado()>& grabo) {
    Resultado r;
    Transaccion t;
    if (!t.ok()) {
        r.ok = false;
        r.error = t.error();
        return r;
    }
    r = grabo();
    if (r.ok && !t.Confirmo()) {
        r.ok = false;
        r.error = t.error();
    }
    return r;
}
