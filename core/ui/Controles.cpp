#include "core/ui/Controles.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
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
