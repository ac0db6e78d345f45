#include "reports/TablaReporte.h"

#include <cstring>

namespace {
constexpr uint64_t EsTexto = 1, Monto = 2, Aparte = 3;
constexpr uint64_t LargoMaximo = (uint64_t(1) << 24) - 1;
constexpr int64_t MontoMaximo = (int64_t(1) << 61) - 1;
} // namespace

void FilasReporte::clear() {
    *this = FilasReporte();
}

void FilasReporte::reserve(qsizetype filas) {
    fuentes.reserve(size_t(filas));
    ocultos.reserve(size_t(filas));
    inicios.reserve(size_t(filas) + 1);
}

uint64_t FilasReporte::CodigoTexto(const QString& texto, size_t columna) {
    if (texto.isEmpty()) return 0;
    if (columna >= ultimos.size()) {
        ultimos.resize(columna + 1);
        ultimosCodigos.resize(columna + 1, 0);
    }
    QString& ultimo = ultimos[columna];
    // The same shared text as the cell above (dates, account names): no need to compare.
    if (ultimosCodigos[columna] != 0 && texto.constData() == ultimo.constData() &&
        texto.size() == ultimo.size())
        return ultimosCodigos[columna];
    const qsizetype n = texto.size();
    const auto* p = reinterpret_cast<const char16_t*>(texto.utf16());
    bool ascii = true;
    for (qsizetype i = 0; i < n && ascii; ++i)
        ascii = p[i] < 0x80;
    QByteArray utf8;
    const char* origen = nullptr;
    size_t lon = size_t(n);
    if (!ascii) {
        utf8 = texto.toUtf8();
        origen = utf8.constData();
        lon = size_t(utf8.size());
    }
    if (lon > LargoMaximo || textos.size() + lon >= (uint64_t(1) << 38)) {
        aparte.push_back(CeldaReporte(texto));
        return (uint64_t(aparte.size() - 1) << 2) | Aparte;
    }
    const uint64_t anterior = ultimosCodigos[columna];
    if ((anterior & 3) == EsTexto && ((anterior >> 2) & LargoMaximo) == lon) {
        const char* previo = textos.data() + (anterior >> 26);
        bool igual = true;
        if (ascii) {
            for (size_t i = 0; i < lon && igual; ++i)
                igual = previo[i] == char(p[i]);
        } else {
            igual = std::memcmp(previo, origen, lon) == 0;
        }
        if (igual) {
            ultimo = texto;
            return anterior;
        }
    }
    const size_t ini = textos.size();
    textos.resize(ini + lon);
    char* destino = textos.data() + ini;
    if (ascii) {
        for (size_t i = 0; i < lon; ++i)
            destino[i] = char(p[i]);
    } else {
        std::memcpy(destino, origen, lon);
    }
    const uint64_t codigo = (uint64_t(ini) << 26) | (uint64_t(lon) << 2) | EsTexto;
    ultimo = texto;
    ultimosCodigos[columna] = codigo;
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

void FilasReporte::append(FilasReporte&& o) {
    if (isEmpty()) {
        *this = std::move(o);
        o.clear();
        return;
    }
    // The other store's words point into its own buffers: they are moved past ours.
    const uint64_t desplazo = uint64_t(textos.size()) << 26;
    const uint64_t desplazoAparte = uint64_t(aparte.size()) << 2;
    auto muevo = [&](uint64_t w) {
        switch (w & 3) {
        case EsTexto:
            return w + desplazo;
        case Aparte:
            return w + desplazoAparte;
        default:
            return w;
        }
    };
    const uint64_t base = codigos.size();
    codigos.reserve(codigos.size() + o.codigos.size());
    for (uint64_t w : o.codigos)
        codigos.push_back(muevo(w));
    for (size_t i = 1; i < o.inicios.size(); ++i)
        inicios.push_back(o.inicios[i] + base);
    fuentes.insert(fuentes.end(), o.fuentes.begin(), o.fuentes.end());
    for (uint64_t w : o.ocultos)
        ocultos.push_back(muevo(w));
    textos.insert(textos.end(), o.textos.begin(), o.textos.end());
    aparte.insert(aparte.end(), o.aparte.begin(), o.aparte.end());
    // The texts above the next row are now the other store's last ones.
    ultimos = std::move(o.ultimos);
    ultimosCodigos = std::move(o.ultimosCodigos);
    for (uint64_t& w : ultimosCodigos)
        w = muevo(w);
    o.clear();
}

QString FilasReporte::Texto(uint64_t w) const {
    switch (w & 3) {
    case EsTexto:
        return QString::fromUtf8(textos.data() + (w >> 26), qsizetype((w >> 2) & LargoMaximo));
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
    return Celda(codigos[size_t(inicios[size_t(fila)] + uint64_t(columna))]);
}

QString FilasReporte::texto(qsizetype fila, qsizetype columna) const {
    if (columna < 0 || columna >= celdas(fila)) return QString();
    return Texto(codigos[size_t(inicios[size_t(fila)] + uint64_t(columna))]);
}

FilaReporte FilasReporte::at(qsizetype fila) const {
    FilaReporte f;
    const qsizetype n = celdas(fila);
    f.celdas.reserve(n);
    for (qsizetype c = 0; c < n; ++c)
        f.celdas.append(Celda(codigos[size_t(inicios[size_t(fila)] + uint64_t(c))]));
    f.fuente = fuente(fila);
    f.oculto = oculto(fila);
    return f;
}

size_t FilasReporte::bytes() const {
    return codigos.capacity() * 8 + inicios.capacity() * 8 + fuentes.capacity() + ocultos.capacity() * 8 +
           textos.capacity() + aparte.capacity() * sizeof(CeldaReporte);
}
