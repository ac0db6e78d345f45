#include "journal/ListaAsientos.h"

#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/Lector.h"
#include "core/Progreso.h"
#include "core/Valores.h"

#include <algorithm>

QString TextoLineaLista(const QString& descripcion, const QString& codInt) {
    return descripcion + "- " + codInt;
}

void ListaAsientos::clear() {
    *this = ListaAsientos();
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

std::uint32_t ListaAsientos::Concepto(QByteArrayView utf8) {
    const auto desde = std::uint32_t(conceptos.size());
    conceptos.insert(conceptos.end(), utf8.begin(), utf8.end());
    return desde;
}

ListaAsientos::Entrada ListaAsientos::Armo(const FilaListaAsientos& fila) {
    Entrada e;
    e.asiento = fila.asiento;
    e.dia = fila.fecha.isValid() ? int(fila.fecha.toJulianDay()) : Nulo;
    e.total = fila.totalDebe.centavos();
    const QByteArray concepto = fila.concepto.toUtf8();
    e.concepto = Concepto(concepto);
    e.largoConcepto = std::uint32_t(concepto.size());
    e.primera = std::uint32_t(textosLineas.size());
    // A side without lines has no text; one with lines, one text line each.
    auto agrego = [&](const QString& columna, bool tiene, std::uint32_t* cuantas) {
        if (!tiene && columna.isEmpty()) return;
        for (const QString& linea : columna.split(u'\n')) {
            textosLineas.push_back(Texto(linea.toUtf8()));
            ++*cuantas;
        }
    };
    agrego(fila.cuentasDebe, fila.tieneDebe, &e.debe);
    agrego(fila.cuentasHaber, fila.tieneHaber, &e.haber);
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

size_t ListaAsientos::bytes() const {
    size_t b = entradas.capacity() * sizeof(Entrada) + textosLineas.capacity() * sizeof(std::uint32_t) +
               conceptos.capacity();
    for (const QString& t : textos)
        b += sizeof(QString) + size_t(t.capacity()) * 2;
    return b + size_t(indice.capacity()) * (sizeof(QByteArray) + 16);
}

bool ArmoListaAsientos(const ConsultaSql& consulta, ListaAsientos& filas, QString* error, Progreso* progreso) {
    // On the shared connection, so that the list holds what this program has just written; each value
    // as the engine holds it.
    const std::unique_ptr<Lector> q = LeoAdelante(Contexto(), consulta.sql, consulta.parametros);
    if (!q->Error().isEmpty()) {
        if (error) *error = q->Error();
        return false;
    }
    ListaAsientos nuevas;
    using Entrada = ListaAsientos::Entrada;
    // The lines of the entry being read, by side, until it ends.
    std::vector<std::uint32_t> debe, haber;
    QByteArray clave; // a line's text, reused
    auto cierro = [&] {
        if (nuevas.entradas.empty()) return;
        Entrada& e = nuevas.entradas.back();
        e.primera = std::uint32_t(nuevas.textosLineas.size());
        e.debe = std::uint32_t(debe.size());
        e.haber = std::uint32_t(haber.size());
        nuevas.textosLineas.insert(nuevas.textosLineas.end(), debe.begin(), debe.end());
        nuevas.textosLineas.insert(nuevas.textosLineas.end(), haber.begin(), haber.end());
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
        if (nuevas.entradas.empty() || nuevas.entradas.back().asiento != asiento) {
            cierro();
            Entrada e;
            e.asiento = asiento;
            // Number, date and concept are the entry's, the same on each of its rows.
            const QDate fecha = FechaDeBase(q->Valor(0));
            e.dia = fecha.isValid() ? int(fecha.toJulianDay()) : ListaAsientos::Nulo;
            const QByteArrayView concepto = q->Texto(1);
            e.concepto = nuevas.Concepto(concepto);
            e.largoConcepto = std::uint32_t(concepto.size());
            nuevas.entradas.push_back(e);
        }
        // An entry without lines comes as one row without a line: it lists with empty columns.
        if (q->Nulo(4)) continue;
        clave.clear();
        clave.append(q->Texto(2));
        clave.append("- ", 2);
        clave.append(q->Texto(5));
        const std::uint32_t texto = nuevas.Texto(clave);
        const Importe importe = Importe::DeBase(q->Valor(6));
        if (importe.signo() >= 0) {
            debe.push_back(texto);
            std::int64_t& total = nuevas.entradas.back().total;
            total = (Importe::DeCentavos(total) + importe).centavos();
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
