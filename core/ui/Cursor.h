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
