#pragma once
// Edit state of a screen that edits one record at a time (the catalogue screens, the chart screen,
// the entry editor): whether the panel was edited since it was shown (`dirty`), whether it holds a
// new record not yet stored (`adding`), the question asked before an edited record is left, and the
// colour of the mode strip.
//
// How a screen uses it
// --------------------
//   - derive from it (the screen then has `dirty` and `adding` as members) or hold one;
//   - TerminoEdicion() once a stored record is shown; EmpiezoAlta() when the panel starts a new
//     record; AnotoCambio() on every change the user makes;
//   - before leaving an edited record (another record, Add, Seleccionar, closing):
//         if (!EstadoEdicion::Sigo(PreguntoGuardar([this] { return Guardo(); }))) return;
//     and, when the answer was Descartado, show the stored record again (the edits are dropped);
//   - PintoModo(Picture1) gives the strip its colour: grey while showing, green while adding.
//   - a child window that may hold edits takes part in the exit of the program through
//     Pantallas::ConsultaCierre, answering with AceptoCierre()/CierreSuspendido() below.
#include <QColor>
#include <functional>

class QWidget;

class EstadoEdicion {
public:
    bool dirty = false;  // edited since the record was shown
    bool adding = false; // the panel holds a new record not yet stored

    // What became of the edits when the screen asked before leaving them.
    enum class Decision {
        SinCambios, // nothing was edited: nothing asked
        Guardado,   // answered Sí and the save succeeded
        Descartado, // answered No: the caller drops the edits (usually by showing the record again)
        Cancelado,  // answered Cancelar, or Sí and the save failed: stay on the edited record
    };
    // The one meaning of every answer: go on unless cancelled.
    static bool Sigo(Decision d) { return d != Decision::Cancelado; }

    // Not dirty: SinCambios without asking. Otherwise asks "Salva datos recientemente modificados?"
    // (question icon, Sí/No/Cancelar); Sí runs `guardo`, which returns whether it stored the record
    // (and has told the user why not). Guardado clears both flags; the others leave them as they are.
    Decision PreguntoGuardar(const std::function<bool()>& guardo);

    void TerminoEdicion() { dirty = adding = false; }
    void EmpiezoAlta() { dirty = adding = true; }
    void AnotoCambio() { dirty = true; }

    // The exit of the program asks every screen before it closes any. AceptoCierre asks as
    // PreguntoGuardar does; on No the flags are cleared so that the close that follows asks nothing,
    // and kept aside so that CierreSuspendido (another screen refused) puts them back.
    bool AceptoCierre(const std::function<bool()>& guardo);
    void CierreSuspendido();

    // Mode strip: grey (192,192,192) while a stored record is shown, green (0,192,0) while adding.
    static QColor ColorMostrando() { return QColor(192, 192, 192); }
    static QColor ColorAgregando() { return QColor(0, 192, 0); }
    void PintoModo(QWidget* tira) const;

private:
    bool suspendido = false; // flags cleared by AceptoCierre, to restore
    bool dirtyAntes = false;
    bool addingAntes = false;
};
