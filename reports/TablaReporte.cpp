#include "reports/TablaReporte.h"

#include <cstring>
#include <numeric>

namespace {
constexpr uint64_t EsTexto = 1, EsMonto = 2, Aparte = 3;
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
    return d->textos[size_t(posicion >> BitsPieza)].data() + (posicion & (PiezaTexto - 1));
}

uint64_t FilasReporte::GuardoTexto(const char* utf8, size_t lon, size_t columna) {
    if (lon == 0) return 0;
    if (columna >= d->ultimosCodigos.size()) {
        d->ultimos.resize(columna + 1);
        d->ultimosCodigos.resize(columna + 1, 0);
    }
    const uint64_t anterior = d->ultimosCodigos[columna];
    if (anterior != 0 && Largo(anterior) == lon && std::memcmp(Bytes(anterior), utf8, lon) == 0)
        return anterior;
    if (d->textos.empty() || d->textos.back().size() + lon > PiezaTexto) {
        if (d->textos.size() >= (PosicionMaxima >> BitsPieza)) return 0;
        const bool primera = d->textos.empty();
        d->textos.emplace_back().reserve(primera ? 0 : PiezaTexto);
    }
    std::vector<char>& pieza = d->textos.back();
    const uint64_t posicion = (uint64_t(d->textos.size() - 1) << BitsPieza) | pieza.size();
    pieza.insert(pieza.end(), utf8, utf8 + lon);
    const uint64_t codigo = (posicion << 26) | (uint64_t(lon) << 2) | EsTexto;
    d->ultimosCodigos[columna] = codigo;
    d->ultimos[columna] = QString();
    return codigo;
}

uint64_t FilasReporte::GuardoAparte(CeldaReporte celda) {
    d->aparte.push_back(std::move(celda));
    return (uint64_t(d->aparte.size() - 1) << 2) | Aparte;
}

uint64_t FilasReporte::CodigoTexto(const QString& texto, size_t columna) {
    if (texto.isEmpty()) return 0;
    // The same shared text as the cell above (dates, account names): no need to compare.
    if (columna < d->ultimos.size() && d->ultimosCodigos[columna] != 0 &&
        texto.constData() == d->ultimos[columna].constData() && texto.size() == d->ultimos[columna].size())
        return d->ultimosCodigos[columna];
    const qsizetype n = texto.size();
    const auto* p = reinterpret_cast<const char16_t*>(texto.utf16());
    d->ascii.resize(size_t(n));
    bool soloAscii = true;
    for (qsizetype i = 0; i < n && soloAscii; ++i) {
        soloAscii = p[i] < 0x80;
        d->ascii[size_t(i)] = char(p[i]);
    }
    QByteArray utf8;
    const char* bytes = d->ascii.data();
    size_t lon = size_t(n);
    if (!soloAscii) {
        utf8 = texto.toUtf8();
        bytes = utf8.constData();
        lon = size_t(utf8.size());
    }
    uint64_t codigo = lon <= PiezaTexto ? GuardoTexto(bytes, lon, columna) : 0;
    if (codigo == 0) {
        // Longer than a piece: kept whole.
        return GuardoAparte(CeldaReporte(texto));
    }
    d->ultimos[columna] = texto;
    return codigo;
}

uint64_t FilasReporte::Codigo(const CeldaReporte& c, size_t columna) {
    if (c.importe) {
        const int64_t v = c.importe->centavos();
        // A cell holding both an amount and a text, or an amount past the word, is kept whole.
        if (c.texto.isEmpty() && v >= -MontoMaximo && v <= MontoMaximo) return (uint64_t(v) << 2) | EsMonto;
        return GuardoAparte(c);
    }
    return CodigoTexto(c.texto, columna);
}

void FilasReporte::append(const FilaReporte& f) {
    Escribo();
    for (qsizetype c = 0; c < f.celdas.size(); ++c)
        d->codigos.push_back(Codigo(f.celdas[c], size_t(c) + 1));
    FinFila(f.fuente, f.oculto);
}

FilasReporte::Guardado FilasReporte::Guardo(QStringView texto) {
    Escribo();
    if (texto.isEmpty()) return 0;
    const QByteArray utf8 = texto.toUtf8();
    const size_t lon = size_t(utf8.size());
    if (lon <= PiezaTexto) {
        if (d->textos.empty() || d->textos.back().size() + lon > PiezaTexto) {
            if (d->textos.size() < (PosicionMaxima >> BitsPieza)) {
                const bool primera = d->textos.empty();
                d->textos.emplace_back().reserve(primera ? 0 : PiezaTexto);
            }
        }
        std::vector<char>& pieza = d->textos.back();
        if (pieza.size() + lon <= PiezaTexto) {
            const uint64_t posicion = (uint64_t(d->textos.size() - 1) << BitsPieza) | pieza.size();
            pieza.insert(pieza.end(), utf8.constData(), utf8.constData() + lon);
            return (posicion << 26) | (uint64_t(lon) << 2) | EsTexto;
        }
    }
    return GuardoAparte(CeldaReporte(texto.toString()));
}

void FilasReporte::EscriboUtf8(QByteArrayView utf8) {
    // Bytes that are not UTF-8 are stored as their text would be, so that every stored text is.
    if (!utf8.isValidUtf8()) {
        EscriboTexto(QString::fromUtf8(utf8));
        return;
    }
    Escribo();
    const size_t columna = Columna();
    const size_t lon = size_t(utf8.size());
    uint64_t codigo = lon > 0 && lon <= PiezaTexto ? GuardoTexto(utf8.data(), lon, columna) : 0;
    // Longer than a piece (or no piece left): kept whole.
    if (codigo == 0 && lon > 0) codigo = GuardoAparte(CeldaReporte(QString::fromUtf8(utf8)));
    d->codigos.push_back(codigo);
}

void FilasReporte::Monto(Importe importe) {
    Escribo();
    d->codigos.push_back(Codigo(CeldaReporte(importe), Columna()));
}

void FilasReporte::FinFila(FuenteFila fuente, const QString& oculto) {
    Escribo();
    d->inicios.push_back(d->codigos.size());
    d->fuentes.push_back(uint8_t(fuente));
    d->ocultos.push_back(CodigoTexto(oculto, 0));
}

// A word of another store, made a word of this one.
uint64_t FilasReporte::Copio(const FilasReporte& o, uint64_t w, size_t columna) {
    switch (w & 3) {
    case EsTexto:
        if (const uint64_t codigo = GuardoTexto(o.Bytes(w), Largo(w), columna)) return codigo;
        return GuardoAparte(o.Celda(w));
    case Aparte: return GuardoAparte(o.d->aparte[size_t(w >> 2)]);
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
    Escribo();
    if (d->textos.size() + o.d->textos.size() <= (PosicionMaxima >> BitsPieza)) {
        // The other store's texts are taken as they lie, their pieces after this one's: each word only
        // moves its position by the pieces (or the cells kept whole) that come before. Pieces another
        // copy still shares are copied whole.
        const bool propias = o.d.use_count() == 1;
        const uint64_t piezas = uint64_t(d->textos.size()) << (BitsPieza + 26);
        const uint64_t apartes = uint64_t(d->aparte.size()) << 2;
        for (std::vector<char>& pieza : o.d->textos) {
            if (propias)
                d->textos.push_back(std::move(pieza));
            else
                d->textos.push_back(pieza);
        }
        for (CeldaReporte& c : o.d->aparte) {
            if (propias)
                d->aparte.push_back(std::move(c));
            else
                d->aparte.push_back(c);
        }
        auto traslado = [&](uint64_t w) {
            switch (w & 3) {
            case EsTexto: return w + piezas;
            case Aparte: return w + apartes;
            default: return w;
            }
        };
        const uint64_t base = d->codigos.size();
        for (size_t k = 0; k < o.d->codigos.size(); ++k)
            d->codigos.push_back(traslado(o.d->codigos[k]));
        for (size_t i = 0; i < o.d->inicios.size(); ++i) {
            d->inicios.push_back(base + o.d->inicios[i]);
            d->fuentes.push_back(o.d->fuentes[i]);
            d->ocultos.push_back(traslado(o.d->ocultos[i]));
        }
        o.clear();
        return;
    }
    for (qsizetype i = 0; i < o.size(); ++i) {
        const uint64_t desde = o.Inicio(i), hasta = o.d->inicios[size_t(i)];
        for (uint64_t k = desde; k < hasta; ++k)
            d->codigos.push_back(Copio(o, o.d->codigos[size_t(k)], size_t(k - desde) + 1));
        d->inicios.push_back(d->codigos.size());
        d->fuentes.push_back(o.d->fuentes[size_t(i)]);
        d->ocultos.push_back(Copio(o, o.d->ocultos[size_t(i)], 0));
    }
    o.clear();
}

QString FilasReporte::TextoDeCodigo(uint64_t w) const {
    switch (w & 3) {
    case EsTexto:
        return QString::fromUtf8(Bytes(w), qsizetype(Largo(w)));
    case EsMonto:
        return Importe::DeCentavos(int64_t(w) >> 2).TextoPlano();
    case Aparte: {
        const CeldaReporte& c = d->aparte[size_t(w >> 2)];
        return c.importe ? c.importe->TextoPlano() : c.texto;
    }
    default:
        return QString();
    }
}

CeldaReporte FilasReporte::Celda(uint64_t w) const {
    switch (w & 3) {
    case EsMonto:
        return CeldaReporte(Importe::DeCentavos(int64_t(w) >> 2));
    case Aparte:
        return d->aparte[size_t(w >> 2)];
    default:
        return CeldaReporte(TextoDeCodigo(w));
    }
}

CeldaReporte FilasReporte::celda(qsizetype fila, qsizetype columna) const {
    if (columna < 0 || columna >= celdas(fila)) return CeldaReporte();
    return Celda(d->codigos[size_t(Inicio(fila) + uint64_t(columna))]);
}

std::optional<Importe> FilasReporte::importe(qsizetype fila, qsizetype columna) const {
    if (columna < 0 || columna >= celdas(fila)) return std::nullopt;
    const uint64_t w = d->codigos[size_t(Inicio(fila) + uint64_t(columna))];
    if ((w & 3) == EsMonto) return Importe::DeCentavos(int64_t(w) >> 2);
    if ((w & 3) == Aparte) {
        const CeldaReporte& c = d->aparte[size_t(w >> 2)];
        if (c.importe && c.texto.isEmpty()) return c.importe;
    }
    return std::nullopt;
}

QString FilasReporte::texto(qsizetype fila, qsizetype columna) const {
    if (columna < 0 || columna >= celdas(fila)) return QString();
    return TextoDeCodigo(d->codigos[size_t(Inicio(fila) + uint64_t(columna))]);
}

FilaReporte FilasReporte::at(qsizetype fila) const {
    FilaReporte f;
    const qsizetype n = celdas(fila);
    const uint64_t inicio = Inicio(fila);
    f.celdas.reserve(n);
    for (qsizetype c = 0; c < n; ++c)
        f.celdas.append(Celda(d->codigos[size_t(inicio + uint64_t(c))]));
    f.fuente = fuente(fila);
    f.oculto = oculto(fila);
    return f;
}

size_t FilasReporte::bytes() const {
    return d->codigos.bytes() + d->inicios.bytes() + d->fuentes.bytes() + d->ocultos.bytes() +
           d->aparte.capacity() * sizeof(CeldaReporte) +
           std::accumulate(d->textos.begin(), d->textos.end(), size_t(0),
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
    const uint64_t w = d->codigos[size_t(Inicio(fila) + uint64_t(columna))];
    return Utf8DeCodigo(w, (w & 3) == EsTexto ? Bytes(w) : nullptr, bytes);
}

