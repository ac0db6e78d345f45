#pragma once
// Small builders shared by the screens: picture buttons and framed fields.
#include <QString>
#include <QStyle>

class QGroupBox;
class QToolButton;
class QWidget;

// A picture button with its tool tip, which is also its accessible name.
QToolButton* BotonImagen(QWidget* padre, const char* nombre, QStyle::StandardPixmap icono, const QString& ayuda);
// A field inside a frame with a caption; the caption becomes the field's accessible name when it has
// none. `nombre` (the frame's object name) may be null.
QGroupBox* Marco(QWidget* padre, const char* nombre, const QString& titulo, QWidget* contenido);
