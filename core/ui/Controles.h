#pragma once
// Small builders shared by the screens: picture buttons and framed fields.
#include <QString>
#include <QStyle>

class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QWidget;

// A picture button with its tool tip, which is also its accessible name.
QToolButton* BotonImagen(QWidget* padre, const char* nombre, QStyle::StandardPixmap icono,
                         const QString& ayuda);
// A field inside a frame with a caption; the caption becomes the field's accessible name when it has
// none. `nombre` (the frame's object name) may be null.
QGroupBox* Marco(QWidget* padre, const char* nombre, const QString& titulo, QWidget* contenido);

// A date field typed as dd/mm/yyyy (an input mask, the format as its tool tip); `nombreAccesible`,
// when given, is what screen readers call it.
QLineEdit* CampoFecha(QWidget* padre, const char* nombre, const QString& nombreAccesible = QString());

// Limits a field to `largo` UTF-16 units, as QLineEdit::setMaxLength does, but never keeps half of a
// character: a character beyond the basic plane (an emoji) that the limit would cut in two is left out
// whole, whether typed or pasted.
void LargoMaximo(QLineEdit* campo, int largo);
// The login name and password fields: the same limits wherever a user types them.
constexpr int LargoNombreUsuario = 50;
constexpr int LargoContrasena = 128;

// A label that shows a value (a readout, a total): screen readers read the value itself, so it is the
// label's accessible name; the fixed words that say what it is go in the accessible description.
void PreparoValor(QLabel* etiqueta, const QString& descripcion);
// Shows a new value in such a label, and tells screen readers that it changed.
void MuestroValor(QLabel* etiqueta, const QString& valor);
