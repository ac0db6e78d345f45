#include "reports/TablaReporte.h"

#include <cstring>
#include <numeric>

namespace {
constexpr uint64_t EsTexto = 1, Monto = 2, Aparte = 3;
constexpr int BitsPieza = 16;
constexpr size_t PiezaTexto = size_t(1) << BitsPieza;
constexpr uint64_t LargoMaximo = (uint64_t(1) << 24) - 1;
constexpr int64_t MontoMaximo = (int64_t(1) << 61) - 1;
constexpr uint64_t PosicionMaxima = uint64_t(1) << 38;

size_t Largo(uint64_t codigo) {
    return size_t((codigo >> 2) & LargoMaximo);
}
} // namespace

void FilasReporte::clear() {
    *this = FilasReporte();
}

void FilasReporte::reserve(qsizetype) {
    // The pieces grow without copying: nothing to set aside.
}

const char* FilasReporte::Bytes(uint64_t codigo) const {
    const uint64_t posicion = codigo >> 26;
    return textos[size_t(posicion >> BitsPieza)].data() + (posicion & (PiezaTexto - 1));
}

uint64_t FilasReporte::GuardoTexto(const char* utf8, size_t lon, size_t columna) {
    if (lon == 0) return 0;
    if (columna >= ultimosCodigos.size()) {
        ultimos.resize(columna + 1);
        ultimosCodigos.resize(columna + 1, 0);
    }
    const uint64_t anterior = ultimosCodigos[columna];
    if (anterior != 0 && Largo(anterior) == lon && std::memcmp(Bytes(anterior), utf8, lon) == 0)
        return anterior;
    if (textos.empty() || textos.back().size() + lon > PiezaTexto) {
        if (textos.size() >= (PosicionMaxima >> BitsPieza)) return 0;
        const bool primera = textos.empty();
        textos.emplace_back().reserve(primera ? 0 : PiezaTexto);
    }
    std::vector<char>& pieza = textos.back();
    const uint64_t posicion = (uint64_t(textos.size() - 1) << BitsPieza) | pieza.size();
    pieza.insert(pieza.end(), utf8, utf8 + lon);
    const uint64_t codigo = (posicion << 26) | (uint64_t(lon) << 2) | EsTexto;
    ultimosCodigos[columna] = codigo;
    ultimos[columna] = QString();
    return codigo;
}

uint64_t FilasReporte::CodigoTexto(const QString& texto, size_t columna) {
    if (texto.isEmpty()) return 0;
    // The same shared text as the cell above (dates, account names): no need to compare.
    if (columna < ultimos.size() && ultimosCodigos[columna] != 0 &&
        texto.constData() == ultimos[columna].constData() && texto.size() == ultimos[columna].size())
        return ultimosCodigos[columna];
    const qsizetype n = texto.size();
    const auto* p = reinterpret_cast<const char16_t*>(texto.utf16());
    ascii.resize(size_t(n));
    bool soloAscii = true;
    for (qsizetype i = 0; i < n && soloAscii; ++i) {
        soloAscii = p[i] < 0x80;
        ascii[size_t(i)] = char(p[i]);
    }
    QByteArray utf8;
    const char* bytes = ascii.data();
    size_t lon = size_t(n);
    if (!soloAscii) {
        utf8 = texto.toUtf8();
        bytes = utf8.constData();
        lon = size_t(utf8.size());
    }
    uint64_t codigo = lon <= PiezaTexto ? GuardoTexto(bytes, lon, columna) : 0;
    if (codigo == 0) {
        // Longer than a piece: kept whole.
        aparte.push_back(CeldaReporte(texto));
        return (uint64_t(aparte.size() - 1) << 2) | Aparte;
    }
    ultimos[columna] = texto;
    return codigo;
}

uint64_t FilasReporte::Codigo(const CeldaReporte& c, size_t columna) {
    if (c.importe) {
        const int64_t v = c.importe->centavos();
        // A cell holding both an amount and a text, or an amount past the word, is kept whole.
        if (c.texto.isEmpty() && v >= -MontoMaximo && v <= MontoMaximo) return (uint64_t(v) << 2) | Monto;
        aparte.push_back(c);
        return (uint64_t(aparte.size() - 1) << 2) | Aparte;
    }
    return CodigoTexto(c.texto, columna);
}

void FilasReporte::append(const FilaReporte& f) {
    for (qsizetype c = 0; c < f.celdas.size(); ++c)
        codigos.push_back(Codigo(f.celdas[c], size_t(c) + 1));
    inicios.push_back(codigos.size());
    fuentes.push_back(uint8_t(f.fuente));
    ocultos.push_back(CodigoTexto(f.oculto, 0));
}

// A word of another store, made a word of this one.
uint64_t FilasReporte::Copio(const FilasReporte& o, uint64_t w, size_t columna) {
    switch (w & 3) {
    case EsTexto:
        if (const uint64_t codigo = GuardoTexto(o.Bytes(w), Largo(w), columna)) return codigo;
        aparte.push_back(o.Celda(w));
        return (uint64_t(aparte.size() - 1) << 2) | Aparte;
    case Aparte:
        aparte.push_back(o.aparte[size_t(w >> 2)]);
        return (uint64_t(aparte.size() - 1) << 2) | Aparte;
    default:
        return w;
    }
}

void FilasReporte::append(FilasReporte&& o) {
    if (isEmpty()) {
        *this = std::move(o);
        o.clear();
        return;
    }
    for (qsizetype i = 0; i < o.size(); ++i) {
        const uint64_t desde = o.Inicio(i), hasta = o.inicios[size_t(i)];
        for (uint64_t k = desde; k < hasta; ++k)
            codigos.push_back(Copio(o, o.codigos[size_t(k)], size_t(k - desde) + 1));
        inicios.push_back(codigos.size());
        fuentes.push_back(o.fuentes[size_t(i)]);
        ocultos.push_back(Copio(o, o.ocultos[size_t(i)], 0));
    }
    o.clear();
}

QString FilasReporte::Texto(uint64_t w) const {
    switch (w & 3) {
    case EsTexto:
        return QString::fromUtf8(Bytes(w), qsizetype(Largo(w)));
    case Monto:
        return Importe::DeCentavos(int64_t(w) >> 2).TextoPlano();
    case Aparte: {
        const CeldaReporte& c = aparte[size_t(w >> 2)];
        return c.importe ? c.importe->TextoPlano() : c.texto;
    }
    default:
        return QString();
    }
}

CeldaReporte FilasReporte::Celda(uint64_t w) const {
    switch (w & 3) {
    case Monto:
        return CeldaReporte(Importe::DeCentavos(int64_t(w) >> 2));
    case Aparte:
        return aparte[size_t(w >> 2)];
    default:
        return CeldaReporte(Texto(w));
    }
}

CeldaReporte FilasReporte::celda(qsizetype fila, qsizetype columna) const {
    if (columna < 0 || columna >= celdas(fila)) return CeldaReporte();
    return Celda(codigos[size_t(Inicio(fila) + uint64_t(columna))]);
}

QString FilasReporte::texto(qsizetype fila, qsizetype columna) const {
    if (columna < 0 || columna >= celdas(fila)) return QString();
    return Texto(codigos[size_t(Inicio(fila) + uint64_t(columna))]);
}

FilaReporte FilasReporte::at(qsizetype fila) const {
    FilaReporte f;
    const qsizetype n = celdas(fila);
    const uint64_t inicio = Inicio(fila);
    f.celdas.reserve(n);
    for (qsizetype c = 0; c < n; ++c)
        f.celdas.append(Celda(codigos[size_t(inicio + uint64_t(c))]));
    f.fuente = fuente(fila);
    f.oculto = oculto(fila);
    return f;
}

size_t FilasReporte::bytes() const {
    return codigos.bytes() + inicios.bytes() + fuentes.bytes() + ocultos.bytes() +
           aparte.capacity() * sizeof(CeldaReporte) +
           std::accumulate(textos.begin(), textos.end(), size_t(0),
                           [](size_t b, const std::vector<char>& p) { return b + p.capacity(); });
}

namespace {
bool Utf8DeCodigo(uint64_t w, const char* bytes, QByteArrayView* vista) {
    if (w == 0) {
        *vista = QByteArrayView();
        return true;
    }
    if ((w & 3) != EsTexto) return false;
    *vista = QByteArrayView(bytes, qsizetype(Largo(w)));
    return true;
}
} // namespace

bool FilasReporte::utf8(qsizetype fila, qsizetype columna, QByteArrayView* bytes) const {
    if (columna < 0 || columna >= celdas(fila)) return Utf8DeCodigo(0, nullptr, bytes);
    const uint64_t w = codigos[size_t(Inicio(fila) + uint64_t(columna))];
    return Utf8DeCodigo(w, (w & 3) == EsTexto ? Bytes(w) : nullptr, bytes);
}

bool FilasReporte::utf8Oculto(qsizetype fila, QByteArrayView* bytes) const {
    const uint64_t w = ocultos[size_t(fila)];
    return Utf8DeCodigo(w, (w & 3) == EsTexto ? Bytes(w) : nullptr, bytes);
}
