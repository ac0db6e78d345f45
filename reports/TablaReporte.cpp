#include "reports/TablaReporte.h"

#include <algorithm>
#include <cstring>

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

// How the rows are packed. Each row is a count, then its hidden value's word (unless it repeats the row
// above in the same block), then its cells' words, every number in 7-bit groups (the high bit says
// another follows). A count holds the cells (from bit 3), the row's font (bits 1-2) and whether the
// hidden value repeats (bit 0). A row is found from its block's beginning by the lengths of the rows
// before it in the block. A word keeps its tag in its two low bits: empty cells one after another are
// one number (how many); an amount its cents (zigzag: small either side of zero); a text its length,
// then its position counted from its block's reference (a row's texts lie near each other); a cell kept
// whole its word as it is.
constexpr qsizetype FilasBloque = 64;
constexpr size_t PiezaFilas = size_t(1) << 20;

inline uint64_t Zigzag(int64_t v) {
    return (uint64_t(v) << 1) ^ uint64_t(v >> 63);
}
inline int64_t DeZigzag(uint64_t v) {
    return int64_t(v >> 1) ^ -int64_t(v & 1);
}
inline void PongoNumero(uint8_t*& p, uint64_t v) {
    while (v >= 0x80) {
        *p++ = uint8_t(v) | 0x80;
        v >>= 7;
    }
    *p++ = uint8_t(v);
}
// The most bytes a word takes packed.
constexpr size_t MaximoPalabra = 20;
inline uint64_t LeoNumero(const uint8_t*& p) {
    uint64_t v = 0;
    for (int corrimiento = 0;; corrimiento += 7) {
        const uint8_t b = *p++;
        v |= uint64_t(b & 0x7f) << corrimiento;
        if (!(b & 0x80)) return v;
    }
}
void PongoPalabra(uint8_t*& b, uint64_t w, uint64_t referencia) {
    switch (w & 3) {
    case EsTexto:
        PongoNumero(b, (uint64_t(Largo(w)) << 2) | EsTexto);
        PongoNumero(b, Zigzag(int64_t(w >> 26) - int64_t(referencia)));
        return;
    case EsMonto:
        PongoNumero(b, (Zigzag(int64_t(w) >> 2) << 2) | EsMonto);
        return;
    case 0:
        PongoNumero(b, uint64_t(1) << 2); // one empty cell
        return;
    default:
        PongoNumero(b, w);
        return;
    }
}
// A word; a run of empty cells reads as the empty word, with how many in *vacias (else 0).
uint64_t LeoPalabra(const uint8_t*& p, uint64_t referencia, uint64_t* vacias = nullptr) {
    const uint64_t v = LeoNumero(p);
    switch (v & 3) {
    case 0:
        if (vacias) *vacias = v >> 2;
        return 0;
    case EsTexto: {
        const uint64_t posicion = uint64_t(int64_t(referencia) + DeZigzag(LeoNumero(p)));
        return (posicion << 26) | (v & ~uint64_t(3)) | EsTexto;
    }
    case EsMonto:
        return (uint64_t(DeZigzag(v >> 2)) << 2) | EsMonto;
    default:
        return v;
    }
}
// One packed row from p: its count (returned), its hidden value's word in *oculto unless it repeats the
// row above (then *oculto is left as it was), its cells' words in *palabras. p is left past the row.
uint64_t LeoFila(const uint8_t*& p, uint64_t referencia, uint64_t* oculto, std::vector<uint64_t>* palabras) {
    const uint64_t cuenta = LeoNumero(p);
    if (!(cuenta & 1)) *oculto = LeoPalabra(p, referencia);
    const auto n = size_t(cuenta >> 3);
    palabras->clear();
    while (palabras->size() < n) {
        uint64_t vacias = 0;
        const uint64_t w = LeoPalabra(p, referencia, &vacias);
        if (vacias == 0)
            palabras->push_back(w);
        else
            palabras->insert(palabras->end(), size_t(vacias), 0);
    }
    return cuenta;
}
} // namespace

const uint8_t* FilasReporte::Empacada(qsizetype fila, uint64_t* referencia) const {
    const size_t bloque = size_t(fila / FilasBloque);
    const uint64_t b = d->bloques[bloque];
    *referencia = d->referencias[bloque];
    size_t desde = b & 0xffffffffu;
    // A block's lengths lie in one piece of theirs.
    const qsizetype primera = qsizetype(bloque) * FilasBloque;
    const uint8_t* largos = d->largos.en(size_t(primera));
    for (qsizetype f = primera; f < fila; ++f) {
        const uint8_t largo = largos[f - primera];
        desde += largo < 255 ? largo : d->largosGrandes.value(f);
    }
    return d->bytes[size_t(b >> 32)].data() + desde;
}

void FilasReporte::Palabras(qsizetype fila, std::vector<uint64_t>* palabras) const {
    uint64_t referencia = 0, oculto = 0;
    const uint8_t* p = Empacada(fila, &referencia);
    LeoFila(p, referencia, &oculto, palabras);
}

qsizetype FilasReporte::celdas(qsizetype fila) const {
    uint64_t referencia = 0;
    const uint8_t* p = Empacada(fila, &referencia);
    return qsizetype(LeoNumero(p) >> 3);
}

FuenteFila FilasReporte::fuente(qsizetype fila) const {
    uint64_t referencia = 0;
    const uint8_t* p = Empacada(fila, &referencia);
    return FuenteFila((LeoNumero(p) >> 1) & 3);
}

uint64_t FilasReporte::Palabra(qsizetype fila, qsizetype columna) const {
    uint64_t referencia = 0;
    const uint8_t* p = Empacada(fila, &referencia);
    const uint64_t cuenta = LeoNumero(p);
    if (columna < 0 || columna >= qsizetype(cuenta >> 3)) return 0;
    if (!(cuenta & 1)) LeoPalabra(p, referencia);
    for (uint64_t falta = uint64_t(columna);;) {
        uint64_t vacias = 0;
        const uint64_t w = LeoPalabra(p, referencia, &vacias);
        const uint64_t ocupa = vacias == 0 ? 1 : vacias;
        if (falta < ocupa) return w;
        falta -= ocupa;
    }
}

uint64_t FilasReporte::Oculto(qsizetype fila) const {
    // A repeated hidden value is stored by the first row of its block that has it.
    for (;; --fila) {
        uint64_t referencia = 0;
        const uint8_t* p = Empacada(fila, &referencia);
        if (!(LeoNumero(p) & 1)) return LeoPalabra(p, referencia);
    }
}

void FilasReporte::Empaco(FuenteFila fuente, uint64_t oculto) {
    Datos& x = *d;
    const qsizetype fila = x.filas;
    const bool nuevoBloque = fila % FilasBloque == 0;
    if (nuevoBloque) {
        // A block begins in a new piece once the last one is nearly full, so that a block's rows lie
        // together (a block that does not fit makes its piece grow).
        if (x.bytes.empty() || x.bytes.back().size() + PiezaFilas / 64 > std::max(x.bytes.back().capacity(), PiezaFilas)) {
            const bool primera = x.bytes.empty();
            x.bytes.emplace_back().reserve(primera ? 0 : PiezaFilas);
        }
        x.bloques.push_back((uint64_t(x.bytes.size() - 1) << 32) | x.bytes.back().size());
        x.referencias.push_back(x.textos.empty() ? 0
                                                 : (uint64_t(x.textos.size() - 1) << BitsPieza) | x.textos.back().size());
    }
    const uint64_t referencia = x.referencias.back();
    const bool repetido = !nuevoBloque && oculto == x.ocultoAnterior;
    std::vector<uint8_t>& b = x.empaque;
    if (b.size() < MaximoPalabra * (x.fila.size() + 2)) b.resize(MaximoPalabra * (x.fila.size() + 2));
    uint8_t* p = b.data();
    PongoNumero(p, (uint64_t(x.fila.size()) << 3) | (uint64_t(fuente) << 1) | (repetido ? 1 : 0));
    if (!repetido) PongoPalabra(p, oculto, referencia);
    for (size_t c = 0; c < x.fila.size();) {
        if (x.fila[c] != 0) {
            PongoPalabra(p, x.fila[c++], referencia);
            continue;
        }
        size_t vacias = 0;
        for (; c < x.fila.size() && x.fila[c] == 0; ++c)
            ++vacias;
        PongoNumero(p, uint64_t(vacias) << 2);
    }
    const auto largo = size_t(p - b.data());
    std::vector<uint8_t>& pieza = x.bytes.back();
    pieza.insert(pieza.end(), b.data(), p);
    x.largos.push_back(uint8_t(std::min<size_t>(largo, 255)));
    if (largo >= 255) x.largosGrandes.insert(fila, uint32_t(largo));
    ++x.filas;
    x.ocultoAnterior = oculto;
    x.fila.clear();
}

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
        d->fila.push_back(Codigo(f.celdas[c], size_t(c) + 1));
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
    d->fila.push_back(codigo);
}

void FilasReporte::Monto(Importe importe) {
    Escribo();
    d->fila.push_back(Codigo(CeldaReporte(importe), Columna()));
}

void FilasReporte::FinFila(FuenteFila fuente, const QString& oculto) {
    Escribo();
    Empaco(fuente, CodigoTexto(oculto, 0));
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
    const bool trasladados = d->textos.size() + o.d->textos.size() <= (PosicionMaxima >> BitsPieza);
    uint64_t piezas = 0, apartes = 0;
    if (trasladados) {
        // The other store's texts are taken as they lie, their pieces after this one's: each word only
        // moves its position by the pieces (or the cells kept whole) that come before. Pieces another
        // copy still shares are copied whole.
        const bool propias = o.d.use_count() == 1;
        piezas = uint64_t(d->textos.size()) << (BitsPieza + 26);
        apartes = uint64_t(d->aparte.size()) << 2;
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
    }
    auto traslado = [&](uint64_t w, size_t columna) {
        if (!trasladados) return Copio(o, w, columna);
        switch (w & 3) {
        case EsTexto: return w + piezas;
        case Aparte: return w + apartes;
        default: return w;
        }
    };
    // Each row packed again (its block and its texts' reference are this store's), read in order: a
    // block's rows one after another from its beginning.
    uint64_t oculto = 0, referencia = 0;
    const uint8_t* p = nullptr;
    std::vector<uint64_t> palabras;
    for (qsizetype i = 0; i < o.size(); ++i) {
        if (i % FilasBloque == 0) p = o.Empacada(i, &referencia);
        const uint64_t cuenta = LeoFila(p, referencia, &oculto, &palabras);
        for (size_t c = 0; c < palabras.size(); ++c)
            d->fila.push_back(traslado(palabras[c], c + 1));
        Empaco(FuenteFila((cuenta >> 1) & 3), traslado(oculto, 0));
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
    return Celda(Palabra(fila, columna));
}

std::optional<Importe> FilasReporte::importe(qsizetype fila, qsizetype columna) const {
    const uint64_t w = Palabra(fila, columna);
    if ((w & 3) == EsMonto) return Importe::DeCentavos(int64_t(w) >> 2);
    if ((w & 3) == Aparte) {
        const CeldaReporte& c = d->aparte[size_t(w >> 2)];
        if (c.importe && c.texto.isEmpty()) return c.importe;
    }
    return std::nullopt;
}

QString FilasReporte::texto(qsizetype fila, qsizetype columna) const {
    return TextoDeCodigo(Palabra(fila, columna));
}

FilaReporte FilasReporte::at(qsizetype fila) const {
    FilaReporte f;
    std::vector<uint64_t> palabras;
    Palabras(fila, &palabras);
    f.celdas.reserve(qsizetype(palabras.size()));
    for (const uint64_t w : palabras)
        f.celdas.append(Celda(w));
    f.fuente = fuente(fila);
    f.oculto = oculto(fila);
    return f;
}

size_t FilasReporte::bytes() const {
    size_t b = d->largos.bytes() + size_t(d->largosGrandes.size()) * 16 + (d->bloques.capacity() + d->referencias.capacity()) * 8 +
               d->aparte.capacity() * sizeof(CeldaReporte);
    for (const std::vector<uint8_t>& p : d->bytes)
        b += p.capacity();
    for (const std::vector<char>& p : d->textos)
        b += p.capacity();
    return b;
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
    const uint64_t w = Palabra(fila, columna);
    return Utf8DeCodigo(w, (w & 3) == EsTexto ? Bytes(w) : nullptr, bytes);
}

