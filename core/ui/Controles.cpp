#include "core/ui/Controles.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QVBoxLayout>

QToolButton* BotonImagen(QWidget* padre, const char* nombre, QStyle::StandardPixmap icono,
                         const QString& ayuda) {
    auto* b = new QToolButton(padre);
    b->setObjectName(QLatin1String(nombre));
    b->setIcon(padre->style()->standardIcon(icono));
    b->setIconSize(QSize(24, 24));
    b->setAutoRaise(true);
    b->setToolTip(ayuda);
    b->setAccessibleName(ayuda);
    return b;
}

QGroupBox* Marco(QWidget* padre, const char* nombre, const QString& titulo, QWidget* contenido) {
    auto* g = new QGroupBox(titulo, padre);
    if (nombre) g->setObjectName(QLatin1String(nombre));
    auto* l = new QVBoxLayout(g);
    l->setContentsMargins(6, 4, 6, 6);
    l->addWidget(contenido);
    if (contenido->accessibleName().isEmpty()) contenido->setAccessibleName(titulo);
    return g;
}

QLineEdit* CampoFecha(QWidget* padre, const char* nombre, const QString& nombreAccesible) {
    auto* f = new QLineEdit(padre);
    f->setObjectName(QLatin1String(nombre));
    f->setInputMask("99/99/9999;_");
    f->setToolTip("dd/mm/aaaa");
    if (!nombreAccesible.isEmpty()) f->setAccessibleName(nombreAccesible);
    // Never narrower than a whole date in its own font, with the cursor beside it.
    QStyleOptionFrame opcion;
    opcion.initFrom(f);
    const QFontMetrics medida(f->font());
    const QMargins margen = f->textMargins();
    const QSize texto(medida.horizontalAdvance(QStringLiteral("00/00/0000")) + medida.averageCharWidth() +
                          margen.left() + margen.right() + 4,
                      medida.height());
    f->setMinimumWidth(f->style()->sizeFromContents(QStyle::CT_LineEdit, &opcion, texto, f).width());
    return f;
}

void PreparoValor(QLabel* etiqueta, const QString& descripcion) {
    etiqueta->setAccessibleDescription(descripcion);
    etiqueta->setAccessibleName(etiqueta->text());
}

void MuestroValor(QLabel* etiqueta, const QString& valor) {
    etiqueta->setText(valor);
    etiqueta->setAccessibleName(valor);
    QAccessibleEvent cambio(etiqueta, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&cambio);
}

void LargoMaximo(QLineEdit* campo, int largo) {
    campo->setMaxLength(largo);
    QObject::connect(campo, &QLineEdit::textChanged, campo, [campo](const QString& t) {
        QString entero;
        entero.reserve(t.size());
        const int cursor = campo->cursorPosition();
        int antesDelCursor = 0;
        for (qsizetype i = 0; i < t.size(); ++i) {
            const bool suelto =
                (t[i].isHighSurrogate() && (i + 1 >= t.size() || !t[i + 1].isLowSurrogate())) ||
                (t[i].isLowSurrogate() && (i == 0 || !t[i - 1].isHighSurrogate()));
            if (!suelto)
                entero += t[i];
            else if (i < cursor)
                ++antesDelCursor;
        }
        if (entero.size() == t.size()) return;
        campo->setText(entero);
        campo->setCursorPosition(cursor - antesDelCursor);
    });
}
