#include "tests/support/ui/EntornoPantallas.h"

#include "core/ui/DialogoProgreso.h"
#include "core/ui/Mensaje.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

void PreparoPruebasPantallas() {
    Entorno::alPreparar = [] {
        MensajePrueba::Limpio();
        MensajePrueba::Automatico(true);
    };
    Entorno::alTerminar = [] {
        VerificoModalesEsperados();
        MensajePrueba::Limpio();
    };
    MensajePrueba::Automatico(true);
    MensajePrueba::SinRespuesta([](const MensajePrueba::Mostrado& m) {
        QTest::qFail(qPrintable("mensaje sin respuesta preparada: " + m.texto), __FILE__, __LINE__);
    });
}

namespace {
// The waits for a modal screen that has not opened yet; an obligatory one fails the test unmet.
struct Espera {
    QPointer<QTimer> reloj;
    bool obligatoria = true;
};
QList<Espera>& Esperas() {
    static QList<Espera> e;
    return e;
}

void Termino(QTimer* t) {
    Esperas().removeIf([t](const Espera& e) { return e.reloj == t; });
    t->stop();
    t->deleteLater();
}

void Espero(std::function<void(QWidget*)> f, int esperaMs, bool obligatoria) {
    auto* t = new QTimer;
    t->setInterval(20);
    Esperas() << Espera{t, obligatoria};
    QElapsedTimer reloj;
    reloj.start();
    QObject::connect(t, &QTimer::timeout, [t, reloj, f, esperaMs, obligatoria] {
        // A progress window is not a screen to answer: the one awaited comes after it.
        QWidget* w = QApplication::activeModalWidget();
        if (w && !qobject_cast<DialogoProgreso*>(w)) {
            Termino(t);
            f(w);
        } else if (reloj.elapsed() > esperaMs) {
            Termino(t);
            if (obligatoria)
                QTest::qFail(qPrintable(QString("la pantalla modal esperada no se abrió en %1 ms").arg(esperaMs)),
                             __FILE__, __LINE__);
        }
    });
    t->start();
}
} // namespace

void AlAbrirModal(std::function<void(QWidget*)> f, int esperaMs) {
    Espero(std::move(f), esperaMs, true);
}

void SiSeAbreModal(std::function<void(QWidget*)> f, int esperaMs) {
    Espero(std::move(f), esperaMs, false);
}

void VerificoModalesEsperados() {
    const QList<Espera> pendientes = Esperas();
    Esperas().clear();
    for (const Espera& e : pendientes) {
        if (!e.reloj) continue;
        e.reloj->stop();
        e.reloj->deleteLater();
        if (e.obligatoria)
            QTest::qFail("la pantalla modal esperada no se abrió durante la prueba", __FILE__, __LINE__);
    }
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
