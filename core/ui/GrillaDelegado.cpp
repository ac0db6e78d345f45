#include "core/ui/GrillaDelegado.h"

#include "core/Valores.h"
#include "core/ui/Grilla.h"
#include "core/ui/GrillaModelo.h"
#include "core/ui/Mensaje.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

// ---- validators ----

ValidadorNumero::ValidadorNumero(const GrillaModelo* m, int c, QObject* padre)
    : QValidator(padre), modelo(m), columna(c) {}

QValidator::State ValidadorNumero::validate(QString& texto, int&) const {
    const TipoCelda& t = modelo->tipo(columna);
    const QChar d = modelo->separadorDecimal();
    const QChar m = modelo->separadorMiles();
    int decimales = -1;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar ch = texto[i];
        if (ch.isDigit()) {
            if (decimales >= 0) ++decimales;
            continue;
        }
        if (ch == QLatin1Char('-') && i == 0 && t.minimo < 0) continue;
        if (ch == d && decimales < 0 && t.decimales > 0) {
            decimales = 0;
            continue;
        }
        if (ch == m && decimales < 0 && m != d) continue;
        return Invalid;
    }
    if (decimales > t.decimales) return Invalid;
    const QString limpio = texto.trimmed();
    if (limpio.isEmpty()) return Acceptable;
    double v = 0;
    if (modelo->EsImporte(columna)) {
        const auto monto = LeoImporteGrilla(limpio, d, m);
        if (!monto) return Intermediate;
        v = monto->aDouble();
    } else if (!LeoNumeroGrilla(limpio, d, m, &v)) {
        return Intermediate;
    }
    return v >= t.minimo && v <= t.maximo ? Acceptable : Intermediate;
}

QValidator::State ValidadorFecha::validate(QString& texto, int&) const {
    if (texto.size() > 10) return Invalid;
    for (QChar ch : texto)
        if (!ch.isDigit() && ch != QLatin1Char('/')) return Invalid;
    if (texto.isEmpty()) return Acceptable;
    return TextoAFecha(texto).isValid() ? Acceptable : Intermediate;
}

QString MascaraQt(const QString& mascara) {
    static const QString especiales = QStringLiteral("AaNnXx90Dd#HhBb><!\\[]{};");
    QString r;
    for (QChar ch : mascara) {
        if (ch == QLatin1Char('9'))
            r += QLatin1Char('0');
        else if (ch.toUpper() == QLatin1Char('X'))
            r += QLatin1Char('x');
        else {
            if (especiales.contains(ch)) r += QLatin1Char('\\');
            r += ch;
        }
    }
    return r;
}

// ---- delegate ----

GrillaDelegado::GrillaDelegado(Grilla* g) : QStyledItemDelegate(g), grilla(g) {}

QWidget* GrillaDelegado::createEditor(QWidget* padre, const QStyleOptionViewItem& opcion,
                                      const QModelIndex& indice) const {
    const TipoCelda t = grilla->tipoColumna(indice.column());
    switch (t.clase) {
    case TipoCelda::Numero: {
        auto* e = new QLineEdit(padre);
        e->setFrame(false);
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        e->setValidator(new ValidadorNumero(grilla->modelo(), indice.column(), e));
        return e;
    }
    case TipoCelda::Fecha: {
        auto* e = new QLineEdit(padre);
        e->setFrame(false);
        e->setValidator(new ValidadorFecha(e));
        return e;
    }
    case TipoCelda::Mascara: {
        auto* e = new QLineEdit(padre);
        e->setFrame(false);
        e->setInputMask(MascaraQt(t.mascara));
        return e;
    }
    case TipoCelda::Combo: {
        auto* c = new QComboBox(padre);
        c->setEditable(true);
        if (t.columnaItems > 0)
            c->addItems(ItemsCelda(grilla->texto(indice.row() + 1, t.columnaItems)));
        else
            c->addItems(t.items);
        c->setInsertPolicy(QComboBox::NoInsert);
        return c;
    }
    case TipoCelda::Boton:
        return nullptr;
    default:
        return QStyledItemDelegate::createEditor(padre, opcion, indice);
    }
}

void GrillaDelegado::setEditorData(QWidget* editor, const QModelIndex& indice) const {
    const QString texto = indice.data(Qt::EditRole).toString();
    if (auto* c = qobject_cast<QComboBox*>(editor)) {
        c->setCurrentIndex(c->findText(texto));
        c->setEditText(texto);
    } else if (auto* e = qobject_cast<QLineEdit*>(editor)) {
        e->setText(texto);
        e->selectAll();
    } else {
        QStyledItemDelegate::setEditorData(editor, indice);
    }
}

void GrillaDelegado::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& indice) const {
    QString texto;
    if (auto* c = qobject_cast<QComboBox*>(editor))
        texto = c->currentText();
    else if (auto* e = qobject_cast<QLineEdit*>(editor))
        // A picture's blanks are kept in place (text() would drop them and shift what follows): a code
        // typed only to a shallow level, "3.3" of "9.9.99.99", keeps its digits in their positions.
        texto = e->inputMask().isEmpty() ? e->text() : e->displayText();
    else
        return;
    const int columna = indice.column();
    if (grilla->tipoColumna(columna).clase == TipoCelda::Mascara) {
        // A partly typed picture leaves its trailing literals behind: drop them.
        const QString m = grilla->tipoColumna(columna).mascara;
        while (!texto.isEmpty()) {
            const qsizetype i = texto.size() - 1;
            const QChar mc = i < m.size() ? m[i] : QChar();
            if (texto[i] == QLatin1Char(' ') || (mc != QLatin1Char('9') && mc.toUpper() != QLatin1Char('X')))
                texto.chop(1);
            else
                break;
        }
    }
    QString motivo;
    if (!grilla->modelo()->AceptoTipeado(indice.row() + 1, columna, texto, &motivo) && !motivo.isEmpty()) {
        // Shown after the editor has closed, so the message box does not run inside the commit.
        QMetaObject::invokeMethod(
            grilla, [motivo] { Mensaje(motivo, Icono::Advertencia); }, Qt::QueuedConnection);
    }
}

bool GrillaDelegado::eventFilter(QObject* editor, QEvent* evento) {
    // The screen sees the keys typed into a cell editor first too.
    if (evento->type() == QEvent::KeyPress) {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        tecla->ignore();
        emit grilla->TeclaAbajo(tecla);
        if (tecla->isAccepted()) return true;
        tecla->accept();
    }
    return QStyledItemDelegate::eventFilter(editor, evento);
}

void GrillaDelegado::initStyleOption(QStyleOptionViewItem* opcion, const QModelIndex& indice) const {
    QStyledItemDelegate::initStyleOption(opcion, indice);
    if (grilla->tipoColumna(indice.column()).clase == TipoCelda::TextoAjustado)
        opcion->features |= QStyleOptionViewItem::WrapText;
    else
        opcion->features &= ~QStyleOptionViewItem::WrapText;
}

void GrillaDelegado::paint(QPainter* pintor, const QStyleOptionViewItem& opcion,
                           const QModelIndex& indice) const {
    const TipoCelda t = grilla->tipoColumna(indice.column());
    if (t.clase != TipoCelda::Boton) {
        QStyledItemDelegate::paint(pintor, opcion, indice);
        return;
    }
    QStyleOptionButton boton;
    boton.rect = opcion.rect.adjusted(1, 1, -1, -1);
    boton.text = indice.data(Qt::DisplayRole).toString();
    boton.state = QStyle::State_Enabled | QStyle::State_Raised;
    if (apretado == indice) boton.state = QStyle::State_Enabled | QStyle::State_Sunken;
    if (opcion.state & QStyle::State_HasFocus) boton.state |= QStyle::State_HasFocus;
    boton.fontMetrics = opcion.fontMetrics;
    boton.palette = opcion.palette;
    const QWidget* w = opcion.widget;
    QStyle* estilo = w ? w->style() : QApplication::style();
    estilo->drawControl(QStyle::CE_PushButton, &boton, pintor, w);
}

bool GrillaDelegado::editorEvent(QEvent* evento, QAbstractItemModel* modelo,
                                 const QStyleOptionViewItem& opcion, const QModelIndex& indice) {
    if (grilla->tipoColumna(indice.column()).clase == TipoCelda::Boton) {
        if (evento->type() == QEvent::MouseButtonPress) {
            auto* m = static_cast<QMouseEvent*>(evento);
            if (m->button() == Qt::LeftButton) {
                apretado = indice;
                grilla->viewport()->update(opcion.rect);
            }
        } else if (evento->type() == QEvent::MouseButtonRelease) {
            auto* m = static_cast<QMouseEvent*>(evento);
            const bool mismo = apretado == indice;
            apretado = QModelIndex();
            grilla->viewport()->update(opcion.rect);
            if (mismo && m->button() == Qt::LeftButton && opcion.rect.contains(m->position().toPoint())) {
                emit grilla->BotonPresionado(indice.row() + 1, indice.column());
                return true;
            }
        }
    }
    return QStyledItemDelegate::editorEvent(evento, modelo, opcion, indice);
}
