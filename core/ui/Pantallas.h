#pragma once
// Registry of screens by form name. Each screens library registers its forms at start-up; whoever
// opens a screen asks the registry by name. The registered kind decides how the screen opens (a
// modal dialog that the caller waits for, or a child window of the main window's frame), and a
// screen opened as a picker hands its choice back as a value (Selector, Elijo). A registration also
// names the commands of the main window's menus that reach the screen: the main window builds its
// menus from them.
#include "core/Eleccion.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <optional>

class QMdiArea;

namespace Pantallas {

enum class Forma { Modal, Hija };
// Builds the screen. Returning nullptr, or a widget whose property "rechazada" is true, means the
// screen refused to open (it has already told the user why, if at all).
using Fabrica = std::function<QWidget*(QWidget* padre)>;

// A command of the main window's menus: where it goes, what it says and what it does.
struct Comando {
    using Accion = std::function<void(QWidget* ventana)>;
    Comando() = default;
    Comando(QString menu, int orden, QString nombre, QString caption, bool separado = false, Accion accion = {})
        : menu(std::move(menu)), orden(orden), nombre(std::move(nombre)), caption(std::move(caption)),
          separado(separado), accion(std::move(accion)) {}

    QString menu;          // the main window's menu, by its name ("M_Archivos")
    int orden = 0;         // its place in that menu, lowest first
    QString nombre;        // the command's name ("M_Ejercicios")
    QString caption;       // its text, the access key marked with '&' ("&Ejercicios")
    bool separado = false; // a separator line above it (none at the top of a menu)
    // What it does, handed the main window; without one it opens its screen as the registered kind says.
    Accion accion;
    QString pantalla;      // the screen whose registration brought it (the registry fills it in)
};

// Registers a screen; a registration that names no commands keeps the commands registered before
// for that screen (a test replaces how a screen is built and keeps its place in the menus).
void Registro(const QString& nombre, Forma forma, Fabrica fabrica);
void Registro(const QString& nombre, Forma forma, Fabrica fabrica, QList<Comando> comandos);
// The commands registered for one of the main window's menus, in their order (equal orders as
// registered).
QList<Comando> Comandos(const QString& menu);
// Changes whenever the registered commands change: the main window rebuilds its menus then.
int VersionComandos();
bool Registrada(const QString& nombre);
// Every registered screen's name, sorted.
QStringList Registradas();
std::optional<Forma> FormaDe(const QString& nombre);
// A condition asked before the screen is built, each time it opens: false means it may not open now
// (the condition has told the user why). Lets a library that the opener cannot link add its checks.
void Condicion(const QString& nombre, std::function<bool()> condicion);
void Olvido(); // forgets every registration, command and condition (tests)

// A screen that can be used as a picker says what was chosen; nothing when it was closed without
// choosing. The registry reads it once the screen has closed, before it is destroyed.
class Selector {
public:
    virtual ~Selector() = default;
    virtual std::optional<Eleccion> Elegido() const = 0;
};

// A child window that may refuse to close (unsaved edits) answers before anything closes.
// AceptoCierre runs its closing check (the question about its edits) and, when it agrees, the close
// that follows asks nothing; CierreSuspendido tells it that another screen refused, so nothing closes
// and its next close asks again.
class ConsultaCierre {
public:
    virtual ~ConsultaCierre() = default;
    virtual bool AceptoCierre() = 0;
    virtual void CierreSuspendido() = 0;
};

// The journal entry editor as a menu command reaches it, whatever screen is registered for it.
class EditorAsientos {
public:
    virtual ~EditorAsientos() = default;
    virtual void NuevoAsiento() = 0;  // a new entry, the one being typed stored or asked about first
    virtual void BuscoAsientos() = 0; // the entry search, then the entries it found listed
    // That entry of the current year listed alone (the one being typed asked about first).
    virtual void ListoAsiento(int asiento) = 0;
};

// A child window that keeps rows of the current company and year takes part in a change of them.
// Before the change it asks about its edits (which are stored in the pair they were typed for);
// false keeps the pair as it is. After the change it empties or reloads what it listed for the pair
// before, so that nothing it shows belongs to the other.
class AvisoEjercicio {
public:
    virtual ~AvisoEjercicio() = default;
    virtual bool AceptoCambioEjercicio() { return true; }
    virtual void EjercicioCambiado() = 0;
};

// Outcome of opening a screen.
struct Apertura {
    bool abierta = false;             // false: not registered, or refused to open
    int resultado = -1;               // a modal screen's result code
    QWidget* hija = nullptr;          // a child window: the screen, open in the frame
    std::optional<Eleccion> eleccion; // a modal picker: what was chosen
};

// Opens a screen as its registered kind says: a child window is activated (created when not open,
// brought to the front) and returned at once; a modal screen runs until it closes.
Apertura Abro(const QString& nombre, QWidget* padre = nullptr);
// Opens a picker modally with the preselection value handed in (App().preselection) and returns
// what was chosen. A screen that is not a Selector is read from the selection hand-over values.
std::optional<Eleccion> Elijo(const QString& nombre, const QVariant& preseleccion, QWidget* padre = nullptr);

// Opens a modal screen and waits until it closes. Returns the dialog's result code, or -1 when the
// form is not registered or refused to open.
int AbroModal(const QString& nombre, QWidget* padre = nullptr);
// Activates a child window in the main window's frame: created when not open, brought to the front.
// Returns the screen widget, or nullptr when it is not registered or refused to open.
QWidget* Activo(const QString& nombre);
// The open child screen of that name, or nullptr.
QWidget* Abierta(const QString& nombre);
// Activates the entry editor (created when not open) with that entry listed alone. Returns the
// screen, or nullptr when it is not registered or refused to open.
QWidget* MuestroAsientoEnEditor(int asiento);
// Opens a catalogue screen from a menu, placed on its first record (the preselection true).
void AbroCatalogo(const QString& nombre, QWidget* padre);

// Asks every open child window whether it may close, before any closes: false, with nothing closed
// and every screen as it was, when one refuses. A screen that is not a ConsultaCierre is asked
// through a close event that does not close it.
bool ConsultoCierreHijas();

// Asks every open child window that keeps rows of the current pair whether the pair may change:
// false when one refuses (its edits stay as they were).
bool ConsultoCambioEjercicio();
// Tells every open child window that keeps rows of the current pair that it has changed.
void AvisoCambioEjercicio();

// The main window hands over its frame for child windows and what to do when the last screen closes.
void FijoMarco(QMdiArea* marco);
QMdiArea* Marco();
void FijoFondo(std::function<void()> muestroFondo);
// Called by every screen when it closes: shows the main window's background when nothing else is open.
void MuestroFondo();

} // namespace Pantallas

using Pantallas::MuestroFondo;
