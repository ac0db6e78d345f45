#include "core/ui/GrillaModelo.h"

#include "core/Valores.h"

#include <QFont>
#include <cmath>
#include <cstring>

// ---- ColumnaTexto ----

void ColumnaTexto::Redimensiono(int filas) {
    if (filas < int(celdas.size())) {
        for (size_t i = size_t(filas); i < celdas.size(); ++i)
            muerto += celdas[i].lon;
        celdas.resize(size_t(filas));
        if (filas == 0) {
            Vacio();
            return;
        }
        if (muerto > buf.size() / 2 && muerto > (1u << 20)) Compacto();
    } else {
        celdas.resize(size_t(filas));
    }
}

void ColumnaTexto::Vacio() {
    std::vector<char>().swap(buf);
    muerto = 0;
    for (Celda& c : celdas)
        c = Celda();
}

QString ColumnaTexto::texto(int fila) const {
    const Celda& c = celdas[size_t(fila)];
    if (c.lon == 0) return QString();
    return QString::fromUtf8(buf.data() + c.ini, qsizetype(c.lon));
}

char* ColumnaTexto::Lugar(int fila, size_t lon) {
    Celda& c = celdas[size_t(fila)];
    char* destino;
    if (lon <= c.lon) {
        // Fits where the old text was.
        muerto += c.lon - lon;
        destino = buf.data() + c.ini;
    } else {
        muerto += c.lon;
        if (buf.size() + lon > 0xFFFFFFFFu) Compacto();
        c.ini = uint32_t(buf.size());
        buf.resize(buf.size() + lon);
        destino = buf.data() + c.ini;
    }
    c.lon = uint32_t(lon);
    if (lon == 0) c.ini = 0;
    return destino;
}

void ColumnaTexto::setTexto(int fila, QStringView texto) {
    const qsizetype n = texto.size();
    const char16_t* p = texto.utf16();
    bool ascii = true;
    for (qsizetype i = 0; i < n; ++i)
        if (p[i] >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii) {
        const QByteArray utf8 = texto.toUtf8();
        setUtf8(fila, utf8.constData(), size_t(utf8.size()));
        return;
    }
    char* destino = Lugar(fila, size_t(n));
    for (qsizetype i = 0; i < n; ++i)
        destino[i] = char(p[i]);
    if (muerto > buf.size() / 2 && muerto > (1u << 20)) Compacto();
}

void ColumnaTexto::setUtf8(int fila, const char* utf8, size_t lon) {
    if (lon > 0)
        std::memcpy(Lugar(fila, lon), utf8, lon);
    else
        Lugar(fila, 0);
    if (muerto > buf.size() / 2 && muerto > (1u << 20)) Compacto();
}

void ColumnaTexto::BorroFilas(int fila, int cuantas) {
    for (int i = fila; i < fila + cuantas; ++i)
        muerto += celdas[size_t(i)].lon;
    celdas.erase(celdas.begin() + fila, celdas.begin() + fila + cuantas);
}

void ColumnaTexto::InsertoFilas(int fila, int cuantas) {
    celdas.insert(celdas.begin() + fila, size_t(cuantas), Celda());
}

void ColumnaTexto::Compacto() {
    std::vector<char> nuevo;
    nuevo.reserve(buf.size() - std::min(muerto, buf.size()));
    for (Celda& c : celdas) {
        if (c.lon == 0) continue;
        const uint32_t ini = uint32_t(nuevo.size());
        nuevo.insert(nuevo.end(), buf.begin() + c.ini, buf.begin() + c.ini + c.lon);
        c.ini = ini;
    }
    buf.swap(nuevo);
    muerto = 0;
}

// ---- numbers and masks ----

QString FormatoNumeroGrilla(double valor, int decimales, bool conMiles, QChar decimal, QChar miles) {
    decimales = std::clamp(decimales, 0, 15);
    QString s = QString::number(std::fabs(valor), 'f', decimales);
    bool cero = true;
    for (QChar ch : s)
        if (ch.isDigit() && ch != QLatin1Char('0')) {
            cero = false;
            break;
        }
    qsizetype punto = s.indexOf(QLatin1Char('.'));
    QString entera = punto < 0 ? s : s.left(punto);
    QString fraccion = punto < 0 ? QString() : s.mid(punto + 1);
    if (conMiles && entera.size() > 3) {
        QString agrupada;
        agrupada.reserve(entera.size() + entera.size() / 3);
        const qsizetype n = entera.size();
        for (qsizetype i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0) agrupada += miles;
            agrupada += entera[i];
        }
        entera = agrupada;
    }
    QString r = (valor < 0 && !cero) ? QStringLiteral("-") + entera : entera;
    if (!fraccion.isEmpty()) r += decimal + fraccion;
    return r;
}

bool LeoNumeroGrilla(const QString& texto, QChar decimal, QChar miles, double* valor) {
    QString t = texto.trimmed();
    if (t.isEmpty()) return false;
    QString c;
    c.reserve(t.size());
    if (decimal != miles && !t.contains(decimal) && t.contains(miles)) {
        // Without the decimal character the thousands character is a separator only when it
        // groups digits by three; otherwise the text is in the program's own form.
        const QStringList partes = t.split(miles);
        bool agrupa = !partes.first().isEmpty() && partes.first().size() <= 4;
        for (qsizetype i = 1; i < partes.size() && agrupa; ++i)
            agrupa = partes[i].size() == 3;
        if (!agrupa && partes.size() == 2 && miles == QLatin1Char('.'))
            c = t;
        else if (!agrupa)
            return false;
        else
            c = QString(t).remove(miles);
    } else {
        for (QChar ch : t) {
            if (ch == miles && decimal != miles) continue;
            c += ch == decimal ? QLatin1Char('.') : ch;
        }
    }
    for (QChar ch : c)
        if (!(ch.isDigit() || ch == QLatin1Char('.') || ch == QLatin1Char('-') || ch == QLatin1Char('+')))
            return false;
    bool ok = false;
    const double v = c.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    if (valor) *valor = v;
    return true;
}

std::optional<Importe> LeoImporteGrilla(const QString& texto, QChar decimal, QChar miles, QString* error) {
    QString t = texto;
    // The money reader knows "," and "." (and ignores spaces); other grid characters are mapped to them.
    if (!miles.isNull() && miles != decimal && miles != u',' && miles != u'.') t.remove(miles);
    if (decimal != u',' && decimal != u'.') {
        t.replace(decimal, u'.');
        decimal = u'.';
    }
    return Importe::Leo(t, error, decimal);
}

bool CumpleMascara(const QString& texto, const QString& mascara) {
    if (texto.size() > mascara.size()) return false;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar m = mascara[i];
        if (m == QLatin1Char('9')) {
            if (!texto[i].isDigit()) return false;
        } else if (m.toUpper() != QLatin1Char('X') && texto[i] != m) {
            return false;
        }
    }
    return true;
}

// ---- GrillaModelo ----

GrillaModelo::GrillaModelo(QObject* padre) : QAbstractTableModel(padre) {
    setColumnas(0);
}

int GrillaModelo::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : nFilas;
}

int GrillaModelo::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : int(cols.size());
}

QVariant GrillaModelo::data(const QModelIndex& indice, int rol) const {
    if (!indice.isValid() || indice.row() >= nFilas || indice.column() >= int(cols.size())) return QVariant();
    const int fila = indice.row() + 1;
    const int columna = indice.column();
    switch (rol) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        if (tipos[size_t(columna)].clase == TipoCelda::Boton && crudo(fila, columna).isEmpty())
            return tipos[size_t(columna)].textoBoton;
        return mostrado(fila, columna);
    case Qt::EditRole:
        return editado(fila, columna);
    case Qt::FontRole: {
        const uint8_t f = Fuente(indice.row());
        if (!f) return QVariant();
        QFont fuente;
        fuente.setBold(f & 1);
        fuente.setItalic(f & 2);
        return fuente;
    }
    case Qt::ForegroundRole:
        return color.isValid() ? QVariant(color) : QVariant();
    case Qt::TextAlignmentRole: {
        const TipoCelda& t = tipos[size_t(columna)];
        Qt::Alignment a = t.alineacion;
        if (t.clase == TipoCelda::Numero && (a & Qt::AlignHorizontal_Mask) == Qt::AlignLeft)
            a = (a & ~Qt::AlignHorizontal_Mask) | Qt::AlignRight;
        if (t.clase == TipoCelda::Boton) a = Qt::AlignCenter;
        return QVariant::fromValue(a);
    }
    default:
        return QVariant();
    }
}

bool GrillaModelo::setData(const QModelIndex& indice, const QVariant& valor, int rol) {
    if (rol != Qt::EditRole || !indice.isValid() || !(flags(indice) & Qt::ItemIsEditable)) return false;
    return AceptoTipeado(indice.row() + 1, indice.column(), valor.toString());
}

Qt::ItemFlags GrillaModelo::flags(const QModelIndex& indice) const {
    if (!indice.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    const int c = indice.column();
    if (!sinEdicion && c > 0 && editables[size_t(c)] && tipos[size_t(c)].clase != TipoCelda::Boton)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant GrillaModelo::headerData(int seccion, Qt::Orientation orientacion, int rol) const {
    if (rol != Qt::DisplayRole && rol != Qt::AccessibleTextRole) return QVariant();
    if (orientacion == Qt::Vertical)
        return seccion >= 0 && seccion < nFilas ? QVariant(seccion + 1) : QVariant();
    if (seccion < 0 || seccion >= encabezados.size()) return QVariant();
    return encabezados[seccion];
}

void GrillaModelo::setFilas(int filas) {
    filas = std::max(0, filas);
    if (filas == nFilas) return;
    if (filas == 0)
        origen.reset();
    else
        Propio();
    if (filas > nFilas) {
        beginInsertRows(QModelIndex(), nFilas, filas - 1);
        for (ColumnaTexto& c : cols)
            c.Redimensiono(filas);
        fuentes.resize(size_t(filas), 0);
        nFilas = filas;
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), filas, nFilas - 1);
        for (ColumnaTexto& c : cols)
            c.Redimensiono(filas);
        fuentes.resize(size_t(filas));
        if (filas == 0) std::vector<uint8_t>().swap(fuentes);
        nFilas = filas;
        endRemoveRows();
    }
}

void GrillaModelo::setColumnas(int columnas) {
    const int actual = int(cols.size());
    const int total = std::max(0, columnas) + 1;
    if (total == actual) return;
    Propio();
    if (total > actual)
        beginInsertColumns(QModelIndex(), actual, total - 1);
    else
        beginRemoveColumns(QModelIndex(), total, actual - 1);
    cols.resize(size_t(total));
    for (int c = actual; c < total; ++c)
        cols[size_t(c)].Redimensiono(nFilas);
    tipos.resize(size_t(total));
    editables.resize(size_t(total), true);
    while (encabezados.size() < total)
        encabezados.append(QString());
    while (encabezados.size() > total)
        encabezados.removeLast();
    if (total > actual)
        endInsertColumns();
    else
        endRemoveColumns();
}

void GrillaModelo::BorroFila(int fila) {
    if (fila < 1 || fila > nFilas) return;
    Propio();
    beginRemoveRows(QModelIndex(), fila - 1, fila - 1);
    for (ColumnaTexto& c : cols)
        c.BorroFilas(fila - 1, 1);
    fuentes.erase(fuentes.begin() + (fila - 1));
    --nFilas;
    endRemoveRows();
}

void GrillaModelo::InsertoFila(int fila) {
    if (fila < 1 || fila > nFilas + 1) return;
    Propio();
    beginInsertRows(QModelIndex(), fila - 1, fila - 1);
    for (ColumnaTexto& c : cols)
        c.InsertoFilas(fila - 1, 1);
    fuentes.insert(fuentes.begin() + (fila - 1), uint8_t(0));
    ++nFilas;
    endInsertRows();
}

QString GrillaModelo::crudo(int fila, int columna) const {
    if (fila < 1 || fila > nFilas || columna < 0 || columna >= int(cols.size())) return QString();
    if (origen) return origen->texto(fila - 1, columna);
    return cols[size_t(columna)].texto(fila - 1);
}

QString GrillaModelo::mostrado(int fila, int columna) const {
    QString t = crudo(fila, columna);
    const TipoCelda& tipo = tipos[size_t(std::clamp(columna, 0, int(cols.size()) - 1))];
    if (tipo.clase != TipoCelda::Numero || t.isEmpty()) return t;
    // Every amount of every grid reads alike: the decimal and thousands characters of the grid,
    // whatever the column asked for.
    if (EsImporte(columna)) {
        const auto v = Importe::Leo(t, nullptr, u'.');
        return v ? v->Texto(decimal, miles) : t;
    }
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? FormatoNumeroGrilla(v, tipo.decimales, tipo.miles, decimal, miles) : t;
}

QString GrillaModelo::editado(int fila, int columna) const {
    QString t = crudo(fila, columna);
    const TipoCelda& tipo = tipos[size_t(std::clamp(columna, 0, int(cols.size()) - 1))];
    if (tipo.clase != TipoCelda::Numero || t.isEmpty()) return t;
    if (EsImporte(columna)) {
        const auto v = Importe::Leo(t, nullptr, u'.');
        return v ? v->Texto(decimal) : t;
    }
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? FormatoNumeroGrilla(v, tipo.decimales, false, decimal, miles) : t;
}

QString GrillaModelo::Canonico(int columna, const QString& texto) const {
    if (tipos[size_t(columna)].clase != TipoCelda::Numero || texto.isEmpty()) return texto;
    // Fast path: a plain C-form number is stored as it is.
    bool simple = true;
    int puntos = 0;
    for (qsizetype i = 0; i < texto.size() && simple; ++i) {
        const char16_t ch = texto[i].unicode();
        if (ch == u'.')
            ++puntos;
        else if (!((ch >= u'0' && ch <= u'9') || (ch == u'-' && i == 0)))
            simple = false;
    }
    if (simple && puntos == 0) return texto;
    // An amount keeps two decimals at most: more go through the exact reading below.
    if (simple && puntos == 1 && decimal == QLatin1Char('.') &&
        (!EsImporte(columna) || texto.size() - texto.indexOf(u'.') <= 3))
        return texto;
    if (EsImporte(columna)) {
        if (const auto v = LeoImporteGrilla(texto, decimal, miles)) return v->TextoPlano();
        // A number with more decimals, given by the program, is kept to the cent.
        double d = 0;
        if (LeoNumeroGrilla(texto, decimal, miles, &d) && std::fabs(d) < 1e13)
            return Importe::DeDouble(d).TextoPlano();
        return texto; // not a number: shown as given
    }
    double v = 0;
    if (!LeoNumeroGrilla(texto, decimal, miles, &v)) return texto; // not a number: shown as given
    return QString::number(v, 'g', 15);
}

void GrillaModelo::setTexto(int fila, int columna, const QString& texto) {
    if (fila < 1 || fila > nFilas || columna < 0 || columna >= int(cols.size())) return;
    Propio();
    cols[size_t(columna)].setTexto(fila - 1, Canonico(columna, texto));
    Cambio(fila, columna);
}

void GrillaModelo::setTextoUtf8(int fila, int columna, QByteArrayView utf8) {
    if (fila < 1 || fila > nFilas || columna < 0 || columna >= int(cols.size())) return;
    if (tipos[size_t(columna)].clase == TipoCelda::Numero) {
        setTexto(fila, columna, QString::fromUtf8(utf8));
        return;
    }
    Propio();
    cols[size_t(columna)].setUtf8(fila - 1, utf8.data(), size_t(utf8.size()));
    Cambio(fila, columna);
}

void GrillaModelo::setNumero(int fila, int columna, double valor) {
    if (fila < 1 || fila > nFilas || columna < 0 || columna >= int(cols.size())) return;
    Propio();
    cols[size_t(columna)].setTexto(fila - 1, EsImporte(columna) && std::fabs(valor) < 1e13
                                                 ? Importe::DeDouble(valor).TextoPlano()
                                                 : QString::number(valor, 'g', 15));
    Cambio(fila, columna);
}

bool GrillaModelo::EsImporte(int columna) const {
    if (columna < 0 || columna >= int(cols.size())) return false;
    const TipoCelda& t = tipos[size_t(columna)];
    return t.clase == TipoCelda::Numero && t.decimales == 2;
}

void GrillaModelo::setImporte(int fila, int columna, Importe valor) {
    if (fila < 1 || fila > nFilas || columna < 0 || columna >= int(cols.size())) return;
    Propio();
    cols[size_t(columna)].setTexto(fila - 1, valor.TextoPlano());
    Cambio(fila, columna);
}

std::optional<Importe> GrillaModelo::importe(int fila, int columna) const {
    const QString t = crudo(fila, columna);
    if (t.trimmed().isEmpty()) return std::nullopt;
    if (const auto v = Importe::Leo(t, nullptr, u'.')) return v;
    return LeoImporteGrilla(t, decimal, miles);
}

double GrillaModelo::numero(int fila, int columna) const {
    const QString t = crudo(fila, columna);
    if (t.isEmpty()) return 0;
    if (EsImporte(columna)) {
        const auto v = importe(fila, columna);
        return v ? v->aDouble() : 0;
    }
    bool ok = false;
    double v = 0;
    if (tipos[size_t(columna)].clase == TipoCelda::Numero) {
        v = t.toDouble(&ok);
        if (ok) return v;
    }
    return LeoNumeroGrilla(t, decimal, miles, &v) ? v : 0;
}

bool GrillaModelo::AceptoTipeado(int fila, int columna, const QString& tipeado, QString* motivo) {
    if (fila < 1 || fila > nFilas || columna < 1 || columna >= int(cols.size())) return false;
    const TipoCelda& t = tipos[size_t(columna)];
    QString guardo = tipeado;
    switch (t.clase) {
    case TipoCelda::Numero: {
        if (tipeado.trimmed().isEmpty()) {
            guardo.clear();
            break;
        }
        double v = 0;
        std::optional<Importe> monto;
        if (EsImporte(columna)) {
            // Amounts are read exactly: a third decimal is refused, never rounded away.
            QString error;
            monto = LeoImporteGrilla(tipeado, decimal, miles, &error);
            if (!monto) {
                if (motivo) *motivo = QStringLiteral("El número ingresado no es válido. ") + error;
                return false;
            }
            v = monto->aDouble();
        } else if (!LeoNumeroGrilla(tipeado, decimal, miles, &v)) {
            if (motivo) *motivo = QStringLiteral("El número ingresado no es válido.");
            return false;
        }
        if (v < t.minimo || v > t.maximo) {
            if (motivo)
                *motivo = QStringLiteral("El número debe estar entre %1 y %2.")
                              .arg(FormatoNumeroGrilla(t.minimo, t.decimales, t.miles, decimal, miles),
                                   FormatoNumeroGrilla(t.maximo, t.decimales, t.miles, decimal, miles));
            return false;
        }
        guardo = monto ? monto->TextoPlano() : QString::number(v, 'g', 15);
        break;
    }
    case TipoCelda::Fecha: {
        QString sinBlancos = tipeado;
        sinBlancos.remove(QLatin1Char(' '));
        if (sinBlancos.isEmpty() || sinBlancos == QLatin1String("//")) {
            guardo.clear();
            break;
        }
        const QDate d = TextoAFecha(sinBlancos);
        if (!d.isValid()) {
            if (motivo) *motivo = QStringLiteral("La fecha ingresada no es válida (dd/mm/aaaa).");
            return false;
        }
        guardo = FechaATexto(d);
        break;
    }
    case TipoCelda::Mascara:
        if (!CumpleMascara(tipeado, t.mascara)) {
            if (motivo)
                *motivo = QStringLiteral("El texto ingresado no corresponde al formato %1.").arg(t.mascara);
            return false;
        }
        break;
    default:
        break;
    }
    if (crudo(fila, columna) == guardo) return true;
    Propio();
    cols[size_t(columna)].setTexto(fila - 1, guardo);
    Cambio(fila, columna);
    emit EditadoPorUsuario(fila, columna);
    return true;
}

void GrillaModelo::setEncabezado(int columna, const QString& texto) {
    if (columna < 0 || columna >= encabezados.size()) return;
    encabezados[columna] = texto;
    emit headerDataChanged(Qt::Horizontal, columna, columna);
}

QString GrillaModelo::encabezado(int columna) const {
    return encabezados.value(columna);
}

void GrillaModelo::setTipo(int columna, const TipoCelda& tipo) {
    if (columna < 0 || columna >= int(cols.size())) return;
    tipos[size_t(columna)] = tipo;
    if (nFilas > 0 && !silencio) emit dataChanged(index(0, columna), index(nFilas - 1, columna));
}

void GrillaModelo::setFuenteFila(int fila, bool negrita, bool cursiva) {
    if (fila < 1 || fila > nFilas) return;
    Propio();
    fuentes[size_t(fila - 1)] = uint8_t((negrita ? 1 : 0) | (cursiva ? 2 : 0));
    if (silencio)
        pendiente = true;
    else
        emit dataChanged(index(fila - 1, 0), index(fila - 1, columnas()), {Qt::FontRole});
}

void GrillaModelo::setColorTexto(const QColor& c) {
    color = c;
    if (nFilas > 0 && !silencio)
        emit dataChanged(index(0, 0), index(nFilas - 1, columnas()), {Qt::ForegroundRole});
}

void GrillaModelo::setSoloLectura(bool s) {
    sinEdicion = s;
    if (nFilas > 0 && !silencio) emit dataChanged(index(0, 0), index(nFilas - 1, columnas()));
}

void GrillaModelo::setColumnaEditable(int columna, bool editable) {
    if (columna >= 0 && columna < int(editables.size())) editables[size_t(columna)] = editable;
}

void GrillaModelo::setSeparadores(QChar d, QChar m) {
    decimal = d;
    miles = m;
    if (nFilas > 0 && !silencio) emit dataChanged(index(0, 0), index(nFilas - 1, columnas()));
}

void GrillaModelo::Silencio(bool activo) {
    if (activo == silencio) return;
    silencio = activo;
    if (!activo && pendiente) {
        pendiente = false;
        if (nFilas > 0) emit dataChanged(index(0, 0), index(nFilas - 1, columnas()));
    }
}

void GrillaModelo::Cambio(int fila, int columna) {
    if (silencio) {
        pendiente = true;
        return;
    }
    const QModelIndex i = index(fila - 1, columna);
    emit dataChanged(i, i);
}

void GrillaModelo::Muestro(std::shared_ptr<const OrigenGrilla> o) {
    setFilas(0);
    const int filas = o ? o->filas() : 0;
    if (filas <= 0) return;
    beginInsertRows(QModelIndex(), 0, filas - 1);
    origen = std::move(o);
    nFilas = filas;
    endInsertRows();
}

void GrillaModelo::Amplio(std::shared_ptr<const OrigenGrilla> o) {
    // Rows of the grid's own, or none yet: the new origin is shown from the start.
    if (!origen || nFilas == 0) {
        Muestro(std::move(o));
        return;
    }
    const int filas = o ? o->filas() : 0;
    if (filas < nFilas) {
        Muestro(std::move(o));
        return;
    }
    // The rows already shown stay where they are, with the selection and the scroll.
    if (filas == nFilas) {
        origen = std::move(o);
        return;
    }
    beginInsertRows(QModelIndex(), nFilas, filas - 1);
    origen = std::move(o);
    nFilas = filas;
    endInsertRows();
}

void GrillaModelo::CambioEnOrigen(int fila) {
    if (!origen || fila < 1 || fila > nFilas) return;
    if (silencio) {
        pendiente = true;
        return;
    }
    emit dataChanged(index(fila - 1, 0), index(fila - 1, columnas()));
}

void GrillaModelo::QuitadaDeOrigen(int fila) {
    if (!origen || fila < 1 || fila > nFilas) return;
    beginRemoveRows(QModelIndex(), fila - 1, fila - 1);
    --nFilas;
    endRemoveRows();
}

void GrillaModelo::Propio() {
    if (!origen) return;
    const std::shared_ptr<const OrigenGrilla> o = std::move(origen);
    origen.reset();
    fuentes.assign(size_t(nFilas), 0);
    for (int c = 0; c < int(cols.size()); ++c) {
        cols[size_t(c)].Redimensiono(nFilas);
        for (int f = 0; f < nFilas; ++f)
            if (const QString t = o->texto(f, c); !t.isEmpty()) cols[size_t(c)].setTexto(f, t);
    }
    for (int f = 0; f < nFilas; ++f)
        fuentes[size_t(f)] = o->fuente(f);
}

size_t GrillaModelo::bytesCeldas() const {
    size_t n = fuentes.capacity();
    for (const ColumnaTexto& c : cols)
        n += c.bytes();
    return n;
}
