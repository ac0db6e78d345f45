#pragma once
// Small helpers shared by the catalogue tests.
#include "core/ui/Catalogo.h"
#include "core/ui/Grilla.h"

// Row of the list that shows the description, or 0.
inline int FilaDe(const Catalogo& c, const QString& descripcion) {
    for (int f = 1; f <= c.sprMaster->filas(); ++f)
        if (c.sprMaster->texto(f, 2) == descripcion) return f;
    return 0;
}

#include <QTest>

// Types text key by key as a user does (QTest::keyClicks only knows ASCII).
inline void Tecleo(QWidget* w, const QString& texto) {
    for (const QChar c : texto) {
        QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
