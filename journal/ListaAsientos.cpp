#include "journal/ListaAsientos.h"

#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/Lector.h"
#include "core/Progreso.h"
#include "core/Valores.h"

#include <optional>

namespace {
// Between an account's description and its short code in a line's text.
constexpr char Separador[] = "- ";
} // namespace

QString TextoLineaLista(const QString& descripcion, const QString& codInt) {
    return descripcion + QLatin1String(Separador) + codInt;
}

QDate ListaAsientos::fecha(qsizetype fila) const {
    const int dia = entradas[size_t(fila)].dia;
    return dia == Nulo ? QDate() : QDate::fromJulianDay(dia);
}

QString ListaAsientos::concepto(qsizetype fila) const {
    const Entrada& e = entradas[size_t(fila)];
    return QString::fromUtf8(conceptos.data() + e.concepto, qsizetype(e.largoConcepto));
}

qsizetype ListaAsientos::lineas(qsizetype fila, bool debe) const {
    const Entrada& e = entradas[size_t(fila)];
    return qsizetype(debe ? e.debe : e.haber);
}

qsizetype ListaAsientos::textoLinea(qsizetype fila, bool debe, qsizetype linea) const {
    const Entrada& e = entradas[size_t(fila)];
    return qsizetype(textosLineas[e.primera + (debe ? 0 : e.debe) + size_t(linea)]);
}

QString ListaAsientos::cuentas(qsizetype fila, bool debe) const {
    QString t;
    for (qsizetype i = 0, n = lineas(fila, debe); i < n; ++i) {
        if (i > 0) t += u'\n';
        t += textos[size_t(textoLinea(fila, debe, i))];
    }
    return t;
}

FilaListaAsientos ListaAsientos::operator[](qsizetype fila) const {
    const Entrada& e = entradas[size_t(fila)];
    FilaListaAsientos f;
    f.asiento = e.asiento;
    f.fecha = fecha(fila);
    f.concepto = concepto(fila);
    f.cuentasDebe = cuentas(fila, true);
    f.cuentasHaber = cuentas(fila, false);
    f.totalDebe = totalDebe(fila);
    f.tieneDebe = e.debe > 0;
    f.tieneHaber = e.haber > 0;
    return f;
}

qsizetype ListaAsientos::Busco(int asiento) const {
    for (size_t i = 0; i < entradas.size(); ++i)
        if (entradas[i].asiento == asiento) return qsizetype(i);
    return -1;
}

std::uint32_t ListaAsientos::Texto(const QByteArray& utf8) {
    auto it = indice.constFind(utf8);
    if (it != indice.constEnd()) return *it;
    const auto n = std::uint32_t(textos.size());
    textos.push_back(QString::fromUtf8(utf8));
    indice.insert(utf8, n);
    return n;
}

ListaAsientos::Entrada ListaAsientos::Nueva(int asiento, const QDate& fecha, QByteArrayView concepto) {
    Entrada e;
    e.asiento = asiento;
    e.dia = fecha.isValid() ? int(fecha.toJulianDay()) : Nulo;
    e.concepto = std::uint32_t(conceptos.size());
    e.largoConcepto = std::uint32_t(concepto.size());
    conceptos.insert(conceptos.end(), concepto.begin(), concepto.end());
    return e;
}

void ListaAsientos::Lineas(Entrada& e, const std::vector<std::uint32_t>& debe,
                           const std::vector<std::uint32_t>& haber) {
    e.primera = std::uint32_t(textosLineas.size());
    e.debe = std::uint32_t(debe.size());
    e.haber = std::uint32_t(haber.size());
    textosLineas.insert(textosLineas.end(), debe.begin(), debe.end());
    textosLineas.insert(textosLineas.end(), haber.begin(), haber.end());
}

ListaAsientos::Entrada ListaAsientos::Armo(const FilaListaAsientos& fila) {
    Entrada e = Nueva(fila.asiento, fila.fecha, fila.concepto.toUtf8());
    e.total = fila.totalDebe.centavos();
    // A side without lines has no text; one with lines, one text line each.
    auto lado = [&](const QString& columna, bool tiene) {
        std::vector<std::uint32_t> t;
        if (tiene || !columna.isEmpty())
            for (const QString& linea : columna.split(u'\n'))
                t.push_back(Texto(linea.toUtf8()));
        return t;
    };
    Lineas(e, lado(fila.cuentasDebe, fila.tieneDebe), lado(fila.cuentasHaber, fila.tieneHaber));
    return e;
}

void ListaAsientos::Agrego(const FilaListaAsientos& fila) {
    entradas.push_back(Armo(fila));
}

void ListaAsientos::Reemplazo(qsizetype fila, const FilaListaAsientos& nueva) {
    // The old lines and concept stay where they were, unused: a list is read anew often enough.
    entradas[size_t(fila)] = Armo(nueva);
}

void ListaAsientos::Quito(qsizetype fila) {
    entradas.erase(entradas.begin() + fila);
}

bool ArmoListaAsientos(const Contexto& ctx, const ConsultaSql& consulta, ListaAsientos& filas, QString* error) {
    // Each value as the engine holds it, row by row.
    Progreso* const progreso = ctx.progreso;
    const std::unique_ptr<Lector> q = LeoAdelante(ctx, consulta.sql, consulta.parametros);
    if (!q->Error().isEmpty()) {
        if (error) *error = q->Error();
        return false;
    }
    ListaAsientos nuevas;
    // The entry being read and its lines, by side, until it ends.
    std::optional<ListaAsientos::Entrada> actual;
    Importe total;
    std::vector<std::uint32_t> debe, haber;
    QByteArray clave; // a line's text, reused
    auto cierro = [&] {
        if (!actual) return;
        actual->total = total.centavos();
        nuevas.Lineas(*actual, debe, haber);
        nuevas.entradas.push_back(*actual);
        total = Importe();
        debe.clear();
        haber.clear();
    };
    Etapa(progreso, "Leyendo los asientos");
    qint64 leidas = 0;
    while (q->Siguiente()) {
        if (!Fila(progreso, leidas)) {
            if (error) *error = TextoCancelado;
            return false;
        }
        const int asiento = int(q->Entero(3));
        if (!actual || actual->asiento != asiento) {
            cierro();
            // Number, date and concept are the entry's, the same on each of its rows.
            actual = nuevas.Nueva(asiento, FechaDeBase(q->Valor(0)), q->Texto(1));
        }
        // An entry without lines comes as one row without a line: it lists with empty columns.
        if (q->Nulo(4)) continue;
        clave.clear();
        clave.append(q->Texto(2));
        clave.append(Separador);
        clave.append(q->Texto(5));
        const std::uint32_t texto = nuevas.Texto(clave);
        const Importe importe = Importe::DeBase(q->Valor(6));
        if (importe.signo() >= 0) {
            debe.push_back(texto);
            total += importe;
        } else {
            haber.push_back(texto);
        }
    }
    if (!q->Error().isEmpty()) {
        if (error) *error = q->Error();
        return false;
    }
    cierro();
    filas = std::move(nuevas);
    return true;
}

ConsultaSql ConsultaUnAsiento(int empresa, int ejercicio, int asiento) {
    return {"SELECT Asientos.Fecha, Asientos.Concepto, Cuentas.Descripcion, Asientos.Asiento, "
            "DetAsientos.Detalle, "
            "Cuentas.CodInt, DetAsientos.Importe "
            "FROM Asientos LEFT JOIN DetAsientos ON DetAsientos.EmpresaPropia = Asientos.EmpresaPropia "
            "AND DetAsientos.NumEjercicio = Asientos.NumEjercicio AND DetAsientos.Asiento = Asientos.Asiento "
            "LEFT JOIN Cuentas ON Cuentas.EmpresaPropia = DetAsientos.EmpresaPropia "
            "AND Cuentas.NumEjercicio = DetAsientos.NumEjercicio AND Cuentas.Cuenta = DetAsientos.Cuenta "
            "WHERE Asientos.EmpresaPropia = ? AND Asientos.NumEjercicio = ? AND Asientos.Asiento = ? "
            "ORDER BY DetAsientos.Detalle",
            {empresa, ejercicio, asiento}};
}
