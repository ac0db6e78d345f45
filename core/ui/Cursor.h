#pragma once
// The busy pointer as a guard: CursorEspera on construction, CursorNormal on destruction, so every
// way out of a handler restores the pointer.
#include <QApplication>

inline void CursorEspera() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
inline void CursorNormal() {
    if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

class Espera {
public:
    Espera() { CursorEspera(); }
    ~Espera() { CursorNormal(); }
    Espera(const Espera&) = delete;
    Espera& operator=(const Espera&) = delete;
};

// The normal pointer while the user reads or answers something in the middle of a long operation;
// the busy pointers that were up come back afterwards.
class SinEspera {
public:
    SinEspera() {
        while (QApplication::overrideCursor()) {
            QApplication::restoreOverrideCursor();
            ++apilados;
        }
    }
    ~SinEspera() {
        for (int n = 0; n < apilados; ++n)
            CursorEspera();
    }
    SinEspera(const SinEspera&) = delete;
    SinEspera& operator=(const SinEspera&) = delete;

private:
    int apilados = 0;
};
