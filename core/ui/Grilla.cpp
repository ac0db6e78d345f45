#include "core/ui/Grilla.h"

#include "core/ui/GrillaDelegado.h"
#include "core/ui/GrillaModelo.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>

Grilla::Grilla(QWidget* padre) : QTableView(padre), datos(std::make_unique<GrillaModelo>()) {
    setModel(datos.get());
    // The system's number format from the start: no grid shows a point where the others show a comma.
    SeparadorDecimalGrilla(this);
    setItemDelegate(new GrillaDelegado(this));
    setColumnHidden(0, true);
    formulas.resize(1);
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(true);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    connect(datos.get(), &GrillaModelo::EditadoPorUsuario, this, [this](int fila, int columna) {
        RecalculoFila(fila);
        emit CambioCelda(fila, columna);
    });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit DobleClick(i.row() + 1, i.column()); });
}

Grilla::~Grilla() {
    // The view lets go of the model before the model goes.
    setModel(nullptr);
}

GrillaModelo* Grilla::modelo() const {
    return datos.get();
}

void Grilla::setFilas(int filas) {
    datos->setFilas(filas);
}
int Grilla::filas() const {
    return datos->filas();
}

void Grilla::setColumnas(int columnas) {
    datos->setColumnas(columnas);
    formulas.resize(size_t(datos->columnas() + 1));
    setColumnHidden(0, true);
    ActualizoNombreAccesible();
}
int Grilla::columnas() const {
    return datos->columnas();
}

int Grilla::AgregoFila() {
    datos->setFilas(datos->filas() + 1);
    return datos->filas();
}

void Grilla::BorroFila(int fila) {
    datos->BorroFila(fila);
}
void Grilla::InsertoFila(int fila) {
    datos->InsertoFila(fila);
}

void Grilla::LimpioBloque(int fila1, int col1, int fila2, int col2) {
    fila1 = std::max(1, std::min(fila1, fila2 < 1 ? fila1 : fila2));
    fila2 = std::min(datos->filas(), std::max(fila1, fila2));
    col1 = std::max(0, col1);
    col2 = std::min(datos->columnas(), col2);
    const bool yaSilenciado = datos->silenciado();
    datos->Silencio(true);
    for (int f = fila1; f <= fila2; ++f)
        for (int c = col1; c <= col2; ++c)
            datos->setTexto(f, c, QString());
    if (!yaSilenciado) datos->Silencio(false);
}

QString Grilla::texto(int fila, int columna) const {
    return datos->mostrado(fila, columna);
}
void Grilla::setTexto(int fila, int columna, const QString& texto) {
    datos->setTexto(fila, columna, texto);
}
void Grilla::setTextoUtf8(int fila, int columna, QByteArrayView utf8) {
    datos->setTextoUtf8(fila, columna, utf8);
}
double Grilla::numero(int fila, int columna) const {
    return datos->numero(fila, columna);
}
void Grilla::setNumero(int fila, int columna, double valor) {
    datos->setNumero(fila, columna, valor);
}
std::optional<Importe> Grilla::importe(int fila, int columna) const {
    return datos->importe(fila, columna);
}
void Grilla::setImporte(int fila, int columna, Importe valor) {
    datos->setImporte(fila, columna, valor);
}

void Grilla::setFila(int fila, const QStringList& textos) {
    const int n = std::min(int(textos.size()), datos->columnas());
    for (int i = 0; i < n; ++i)
        datos->setTexto(fila, i + 1, textos[i]);
}

void Grilla::setEncabezado(int columna, const QString& texto) {
    datos->setEncabezado(columna, texto);
    ActualizoNombreAccesible();
}
QString Grilla::encabezado(int columna) const {
    return datos->encabezado(columna);
}

void Grilla::setAnchoColumna(int columna, int ancho) {
    if (columna < 1 || columna > datos->columnas()) return;
    if (ancho <= 0) {
        setColumnHidden(columna, true);
    } else {
        setColumnHidden(columna, false);
        setColumnWidth(columna, ancho);
    }
}

int Grilla::anchoColumna(int columna) const {
    if (columna < 0 || columna > datos->columnas() || isColumnHidden(columna)) return 0;
    return columnWidth(columna);
}

void Grilla::setTipoColumna(int columna, const TipoCelda& tipo) {
    datos->setTipo(columna, tipo);
}

TipoCelda Grilla::tipoColumna(int columna) const {
    if (columna < 0 || columna > datos->columnas()) return TipoCelda();
    return datos->tipo(columna);
}

void Grilla::setFuenteFila(int fila, bool negrita, bool cursiva) {
    datos->setFuenteFila(fila, negrita, cursiva);
}
void Grilla::setColorTexto(const QColor& color) {
    datos->setColorTexto(color);
}

void Grilla::setFormula(int columna, std::function<QString(const Grilla&, int)> formula) {
    if (columna < 1 || columna > datos->columnas()) return;
    formulas[size_t(columna)] = std::move(formula);
}

void Grilla::Recalculo() {
    const bool yaSilenciado = datos->silenciado();
    datos->Silencio(true);
    for (int c = 1; c <= datos->columnas(); ++c) {
        if (!formulas[size_t(c)]) continue;
        for (int f = 1; f <= datos->filas(); ++f)
            datos->setTexto(f, c, formulas[size_t(c)](*this, f));
    }
    if (!yaSilenciado) datos->Silencio(false);
}

void Grilla::RecalculoFila(int fila) {
    for (int c = 1; c <= datos->columnas(); ++c)
        if (formulas[size_t(c)]) datos->setTexto(fila, c, formulas[size_t(c)](*this, fila));
}

void Grilla::setSoloLectura(bool soloLectura) {
    soloLectura = soloLectura || retenida;
    datos->setSoloLectura(soloLectura);
    setEditTriggers(soloLectura ? QAbstractItemView::NoEditTriggers
                                : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                      QAbstractItemView::AnyKeyPressed);
}
void Grilla::setSoloLecturaRetenida(bool r) {
    retenida = r;
    if (r) setSoloLectura(true);
}
bool Grilla::soloLectura() const {
    return datos->soloLectura();
}

void Grilla::setColumnaEditable(int columna, bool editable) {
    datos->setColumnaEditable(columna, editable);
}

void Grilla::setSeparadores(QChar decimal, QChar miles) {
    datos->setSeparadores(decimal, miles);
}
QChar Grilla::separadorDecimal() const {
    return datos->separadorDecimal();
}

void Grilla::setCeldaActual(int fila, int columna) {
    QItemSelectionModel* sel = selectionModel();
    if (fila < 1 || fila > datos->filas() || datos->columnas() < 1) {
        sel->clearSelection();
        sel->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        return;
    }
    if (columna == -1) {
        int c = currentIndex().isValid() ? currentIndex().column() : 1;
        if (c < 1) c = 1;
        sel->setCurrentIndex(datos->index(fila - 1, c), QItemSelectionModel::NoUpdate);
        sel->select(QItemSelection(datos->index(fila - 1, 1), datos->index(fila - 1, datos->columnas())),
                    QItemSelectionModel::ClearAndSelect);
        return;
    }
    columna = std::clamp(columna, 1, datos->columnas());
    sel->setCurrentIndex(datos->index(fila - 1, columna), QItemSelectionModel::ClearAndSelect);
}

int Grilla::filaActiva() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

int Grilla::columnaActiva() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() : 0;
}

void Grilla::MuestroCelda(int fila, int columna) {
    if (fila < 1 || fila > datos->filas() || datos->columnas() < 1) return;
    scrollTo(datos->index(fila - 1, std::clamp(columna, 1, datos->columnas())));
}

void Grilla::AjustoAltoFila(int fila) {
    if (fila < 1 || fila > datos->filas()) return;
    const bool negrita = datos->negrita(fila), cursiva = datos->cursiva(fila);
    int alto = AltoTexto(0, negrita, cursiva, QString()); // one line
    for (int c = 1; c <= datos->columnas(); ++c) {
        if (isColumnHidden(c)) continue;
        // A text that does not wrap is one line unless it breaks lines itself: only wrapped texts and
        // texts with breaks are measured (a long report measures many rows).
        if (datos->tipo(c).clase != TipoCelda::TextoAjustado &&
            !datos->crudo(fila, c).contains(QLatin1Char('\n')))
            continue;
        alto = std::max(alto, AltoTexto(c, negrita, cursiva, datos->mostrado(fila, c)));
    }
    FijoAltoFila(fila, alto);
}

int Grilla::AltoTexto(int columna, bool negrita, bool cursiva, const QString& texto) const {
    QFont f = font();
    f.setBold(negrita);
    f.setItalic(cursiva);
    const QFontMetrics fm(f);
    if (texto.isEmpty() || columna < 0 || columna > datos->columnas()) return fm.height();
    const bool ajustada = datos->tipo(columna).clase == TipoCelda::TextoAjustado;
    const int ancho = std::max(1, columnWidth(columna) - 6);
    return std::max(
        fm.height(),
        fm.boundingRect(QRect(0, 0, ancho, 1 << 20), ajustada ? Qt::TextWordWrap : 0, texto).height());
}

AnchosAscii::AnchosAscii(const QFont& fuente) {
    const QFontMetrics fm(fuente);
    for (int ch = 0; ch < 128; ++ch)
        anchos[ch] = fm.horizontalAdvance(QChar(ch));
}

int AnchosAscii::Ancho(QByteArrayView utf8) const {
    int ancho = 0;
    for (const char ch : utf8) {
        if (uchar(ch) >= 128 || uchar(ch) < 32) return 1 << 30;
        ancho += anchos[uchar(ch)];
    }
    return ancho;
}

int AnchosAscii::Ancho(QStringView texto) const {
    int ancho = 0;
    for (const QChar ch : texto) {
        if (ch.unicode() >= 128 || ch.unicode() < 32) return 1 << 30;
        ancho += anchos[ch.unicode()];
    }
    return ancho;
}

void Grilla::FijoAltoFila(int fila, int altoTexto) {
    if (fila < 1 || fila > datos->filas()) return;
    setRowHeight(fila - 1, std::max(altoTexto + 6, verticalHeader()->minimumSectionSize()));
}

void Grilla::Muestro(std::shared_ptr<const OrigenGrilla> origen) {
    datos->Muestro(std::move(origen));
}

void Grilla::Amplio(std::shared_ptr<const OrigenGrilla> origen) {
    datos->Amplio(std::move(origen));
}

void Grilla::CambioEnOrigen(int fila) {
    datos->CambioEnOrigen(fila);
}

void Grilla::QuitadaDeOrigen(int fila) {
    datos->QuitadaDeOrigen(fila);
}

void Grilla::Oculto(bool ocultar) {
    if (ocultar == ocultoPorMi) return;
    ocultoPorMi = ocultar;
    if (ocultar) {
        estabaVisible = !isHidden();
        setUpdatesEnabled(false);
        datos->Silencio(true);
        hide();
    } else {
        datos->Silencio(false);
        setUpdatesEnabled(true);
        if (estabaVisible) show();
    }
}

void Grilla::setTitulo(const QString& titulo) {
    tituloPropio = titulo;
    ActualizoNombreAccesible();
}

QString Grilla::titulo() const {
    return tituloPropio;
}

void Grilla::ActualizoNombreAccesible() {
    if (!tituloPropio.isEmpty()) {
        setAccessibleName(tituloPropio);
        return;
    }
    QStringList partes;
    for (int c = 1; c <= datos->columnas(); ++c)
        if (!datos->encabezado(c).isEmpty()) partes << datos->encabezado(c);
    setAccessibleName(partes.join(QStringLiteral(", ")));
}

QWidget* Grilla::EditorAbierto() const {
    if (!editando()) return nullptr;
    if (QWidget* e = indexWidget(currentIndex())) return e;
    // An editor opened on a cell that is not the current one: the view's own widget on its cell.
    for (QWidget* w : viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisible() && indexWidget(indexAt(w->geometry().center())) == w) return w;
    return nullptr;
}

void Grilla::TerminoEdicion() {
    // Found through the view, not the focus: the focus may be elsewhere (the window not active again
    // yet after a dialog closed) while the editor still holds what was typed, which must reach its cell.
    QWidget* editor = EditorAbierto();
    if (!editor) return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void Grilla::keyPressEvent(QKeyEvent* evento) {
    // Screens see the key first and may take it.
    evento->ignore();
    emit TeclaAbajo(evento);
    if (evento->isAccepted()) return;
    evento->accept();
    const QModelIndex i = currentIndex();
    if (i.isValid() && evento->key() == Qt::Key_Space && datos->tipo(i.column()).clase == TipoCelda::Boton) {
        emit BotonPresionado(i.row() + 1, i.column());
        return;
    }
    QTableView::keyPressEvent(evento);
}

void Grilla::currentChanged(const QModelIndex& actual, const QModelIndex& anterior) {
    QTableView::currentChanged(actual, anterior);
    const int f0 = anterior.isValid() ? anterior.row() + 1 : 0;
    const int c0 = anterior.isValid() ? anterior.column() : 0;
    const int f1 = actual.isValid() ? actual.row() + 1 : 0;
    const int c1 = actual.isValid() ? actual.column() : 0;
    if (anterior.isValid()) emit SalgoCelda(f0, c0, f1, c1);
    if (f0 != f1) emit CambioFila(f0, f1);
}

// ---- grid helpers ----

namespace {
bool Coincide(const QString& celda, const QString& busqueda) {
    if (busqueda.startsWith(QLatin1Char('*')))
        return celda.contains(QStringView(busqueda).mid(1), Qt::CaseInsensitive);
    return celda.startsWith(busqueda, Qt::CaseInsensitive);
}
} // namespace

QString ListaCelda(const QStringList& items) {
    QStringList escapados;
    for (QString i : items)
        escapados << i.replace(u'\\', QStringLiteral("\\\\")).replace(u'\t', QStringLiteral("\\t"));
    return escapados.join(u'\t');
}

QStringList ItemsCelda(const QString& lista) {
    QStringList items;
    QString item;
    for (qsizetype i = 0; i < lista.size(); ++i) {
        const QChar c = lista[i];
        if (c == u'\\' && i + 1 < lista.size()) {
            const QChar sigue = lista[++i];
            item += sigue == u't' ? QChar(u'\t') : sigue;
        } else if (c == u'\t') {
            if (!item.isEmpty()) items << item;
            item.clear();
        } else {
            item += c;
        }
    }
    if (!item.isEmpty()) items << item;
    return items;
}

int FilaEnGrilla(const Grilla* grilla, int columna, const QString& busqueda) {
    const int n = grilla->filas();
    for (int f = 1; f <= n; ++f)
        if (Coincide(grilla->texto(f, columna), busqueda)) return f;
    return n + 1;
}

void BuscoEnGrilla(Grilla* grilla, int columna, const QString& busqueda) {
    const int fila = std::min(FilaEnGrilla(grilla, columna, busqueda), grilla->filas());
    if (fila < 1) return;
    grilla->setCeldaActual(fila, std::max(1, columna));
    grilla->MuestroCelda(fila, std::max(1, columna));
    grilla->viewport()->update();
}

void SeparadorDecimalGrilla(Grilla* grilla) {
    if (!grilla) return;
    if (QLocale().toString(0.0, 'f', 2).contains(QLatin1Char(',')))
        grilla->setSeparadores(QLatin1Char(','), QLatin1Char('.'));
    else
        grilla->setSeparadores(QLatin1Char('.'), QLatin1Char(','));
}

void InicioGrillas(QWidget* ventana) {
    if (!ventana) return;
    QList<Grilla*> grillas = ventana->findChildren<Grilla*>();
    if (auto* g = qobject_cast<Grilla*>(ventana)) grillas.prepend(g);
    for (Grilla* g : grillas)
        g->setCeldaActual(1, 1);
}
