#pragma once
// The list of matching postable accounts shown under an account cell while it is being typed: the
// best match first and highlighted, arrows move the highlight, the caller takes the highlighted
// account. It never takes the focus: the keys stay in the cell editor.
#include "accounts/CompletoCuentas.h"

#include <QObject>
#include <optional>

class Grilla;
class QLineEdit;
class QListWidget;

class CompletadoCuenta : public QObject {
    Q_OBJECT
public:
    explicit CompletadoCuenta(Grilla* grilla);

    // Forgets the accounts read: the next keystroke reads the chart again.
    void Olvido() { indice = IndiceCuentas(); }
    // The open editor of an account cell, or nullptr.
    QLineEdit* Editor() const;
    // Lists the accounts that the open editor's text names, under its cell (hidden when none).
    void Actualizo(const MaximosNivel& maximos);
    void Oculto();
    bool visible() const;
    // Moves the highlight (up: -1, down: +1); from then on the user has chosen with the arrows.
    void Muevo(int paso);
    bool elegidaConFlechas() const { return flechas; }
    std::optional<CuentaCompletable> Resaltada() const;
    // Whether the text is a short code exactly: the lookup of the text names the same account.
    bool CodigoExacto(const QString& texto) const { return indice.CodigoExacto(texto); }
    QListWidget* lista() const { return l; }

signals:
    void Clic(); // an account of the list was clicked

private:
    Grilla* g;
    QListWidget* l;
    IndiceCuentas indice;
    QList<CuentaCompletable> hallados;
    bool flechas = false;
};
