#pragma once
// Shared fixture for screen tests: the logic fixture plus message boxes answered from a queue (a
// message the test did not queue an answer for fails the test), modal screens driven from timers,
// and the ways a user types and clicks.
#include "tests/support/Entorno.h"

#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <functional>

// Message boxes never block: each takes the next queued answer; one with no answer queued fails the
// running test and gets the safe answer. Called once by every screens test program.
void PreparoPruebasPantallas();

// Runs f on the next modal widget that becomes active (a dialog opened with exec() by the code
// under test), polling until it appears. A modal screen that does not open within esperaMs, or
// before the test's Entorno ends, fails the test. A progress window is never that screen.
void AlAbrirModal(std::function<void(QWidget*)> f, int esperaMs = 5000);
// A guard: runs f on a modal widget that becomes active before esperaMs pass or the test's Entorno
// ends, and fails nothing when none does (a test that expects no modal screen checks what f saw).
void SiSeAbreModal(std::function<void(QWidget*)> f, int esperaMs = 5000);
// Fails the running test for every modal screen still awaited by AlAbrirModal, and stops every wait
// (the end of every Entorno of a screens test calls it).
void VerificoModalesEsperados();

// The child control called nombre; the program stops when the screen lacks it.
template <class T> T* Control(QWidget& w, const char* nombre) {
    T* c = w.findChild<T*>(nombre);
    if (!c) qFatal("falta el control %s", nombre);
    return c;
}

// Replaces a field's text by typing, character by character (accents included), as a user does.
void Escribo(QLineEdit* campo, const QString& texto);
void Clic(QWidget* w);

template <class... Pruebas> int EjecutoPruebasPantallas(int argc, char* argv[]) {
    PreparoPruebasPantallas();
    return EjecutoPruebas<Pruebas...>(argc, argv);
}
