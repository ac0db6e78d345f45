#include "tests/support/ui/EntornoPantallas.h"

#include "core/ui/Mensaje.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

void PreparoPruebasPantallas() {
    Entorno::alPreparar = [] {
        MensajePrueba::Limpio();
        MensajePrueba::Automatico(true);
    };
    Entorno::alTerminar = [] { MensajePrueba::Limpio(); };
    MensajePrueba::Automatico(true);
    MensajePrueba::SinRespuesta([](const MensajePrueba::Mostrado& m) {
        QTest::qFail(qPrintable("mensaje sin respuesta preparada: " + m.texto), __FILE__, __LINE__);
    });
}

void AlAbrirModal(std::function<void(QWidget*)> f, int esperaMs) {
    auto* reloj = new QElapsedTimer;
    reloj->start();
    auto* t = new QTimer;
    t->setInterval(20);
    QObject::connect(t, &QTimer::timeout, [t, reloj, f, esperaMs] {
        QWidget* w = QApplication::activeModalWidget();
        if (w) {
            t->stop();
            t->deleteLater();
            delete reloj;
            f(w);
        } else if (reloj->elapsed() > esperaMs) {
            t->stop();
            t->deleteLater();
            delete reloj;
        }
    });
    t->start();
}

void Escribo(QLineEdit* campo, const QString& texto) {
    campo->setFocus();
    campo->selectAll();
    QTest::keyClick(campo, Qt::Key_Backspace);
    // Character by character, accents included (keyClicks takes only ASCII).
    for (const QChar c : texto)
        QTest::sendKeyEvent(QTest::Click, campo, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void Clic(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton);
}
