#pragma once
// Registry of screens by form name. Each screens library registers its forms at start-up; whoever
// opens a screen asks the registry by name and reads the answer from the selection hand-over values
// of the application state. A menu command whose form is not registered is disabled.
#include <QString>
#include <QWidget>
#include <functional>

class QMdiArea;

namespace Pantallas {

enum class Forma { Modal, Hija };
// Builds the screen. Returning nullptr, or a widget whose property "rechazada" is true, means the
// screen refused to open (it has already told the user why, if at all).
using Fabrica = std::function<QWidget*(QWidget* padre)>;

void Registro(const QString& nombre, Forma forma, Fabrica fabrica);
bool Registrada(const QString& nombre);
void Olvido(); // forgets every registration (tests)

// Opens a modal screen and waits until it closes. Returns the dialog's result code, or -1 when the
// form is not registered or refused to open.
int AbroModal(const QString& nombre, QWidget* padre = nullptr);
// Activates a child window in the main window's frame: created when not open, brought to the front.
// Returns the screen widget, or nullptr when it is not registered or refused to open.
QWidget* Activo(const QString& nombre);
// The open child screen of that name, or nullptr.
QWidget* Abierta(const QString& nombre);

// The main window hands over its frame for child windows and what to do when the last screen closes.
void FijoMarco(QMdiArea* marco);
QMdiArea* Marco();
void FijoFondo(std::function<void()> muestroFondo);
// Called by every screen when it closes: shows the main window's background when nothing else is open.
void MuestroFondo();

} // namespace Pantallas

using Pantallas::MuestroFondo;
