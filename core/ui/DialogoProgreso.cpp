#include "core/ui/DialogoProgreso.h"

#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/ui/TrabajoFondo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <cmath>
#include <memory>

std::function<qint64()> DialogoProgreso::reloj = [] {
    static QElapsedTimer r = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return r.elapsed();
};

DialogoProgreso::DialogoProgreso(QWidget* padre, const QString& titulo, Progreso& p)
    : QDialog(padre), progreso(p) {
    setObjectName("dlgProgreso");
    setWindowTitle(titulo);
    setAccessibleName(titulo);
    setWindowModality(Qt::ApplicationModal);
    lblQue = new QLabel(this);
    lblQue->setObjectName("lblQue");
    lblQue->setMinimumWidth(380);
    lblQue->setWordWrap(true);
    barra = new QProgressBar(this);
    barra->setObjectName("barra");
    barra->setAccessibleName("Avance");
    btnCancelar = new QPushButton("Cancelar", this);
    btnCancelar->setObjectName("btnCancelar");
    btnCancelar->setAccessibleName("Cancelar");
    btnCancelar->setAutoDefault(false);
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(lblQue);
    todo->addWidget(barra);
    todo->addWidget(btnCancelar, 0, Qt::AlignRight);
    connect(btnCancelar, &QPushButton::clicked, this, [this] {
        progreso.Cancelo();
        Reviso();
    });
}

void DialogoProgreso::Reviso() {
    if (terminado) return;
    if (!isVisible()) {
        // The delay counts from the first step, not from a question asked before the work.
        if (inicio < 0) {
            if (!progreso.Empezado()) return;
            inicio = reloj();
        }
        if (reloj() - inicio < demora) return;
        show();
    }
    QString que = progreso.Que();
    if (que.isEmpty()) que = QStringLiteral("Un momento…");
    if (progreso.Cancelado()) que = "Cancelando: " + que;
    const qint64 pasos = progreso.Pasos(), hecho = progreso.Hecho();
    if (pasos > 0 && progreso.EnPorcentaje())
        que += QString(" (%1 %)").arg(hecho * 100 / pasos);
    else if (pasos > 0)
        que += QString(" (%1 de %2)").arg(hecho).arg(pasos);
    else if (hecho > 0)
        que += QString(" (%1)").arg(hecho);
    if (progreso.Tramos() > 0) que += QString("\nPaso %1 de %2").arg(progreso.Tramo()).arg(progreso.Tramos());
    // The bar counts in thousandths, so that a count past what an int holds is shown too.
    if (const double total = progreso.Total(); total >= 0) {
        barra->setRange(0, 1000);
        barra->setValue(int(std::floor(total * 1000 + 1e-6)));
    } else {
        barra->setRange(0, 0); // moving, with no end known
    }
    lblQue->setText(que);
    btnCancelar->setEnabled(progreso.Cancelable());
}

void DialogoProgreso::reject() {
    progreso.Cancelo();
    Reviso();
}

void DialogoProgreso::closeEvent(QCloseEvent* e) {
    if (!terminado) {
        progreso.Cancelo();
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void DialogoProgreso::EnPantallas(const std::function<void()>& f) {
    if (QThread::currentThread() == qApp->thread())
        f();
    else
        QMetaObject::invokeMethod(qApp, [&] { f(); }, Qt::BlockingQueuedConnection);
}

bool DialogoProgreso::EnEsteHilo(QWidget* padre, const QString& titulo,
                                 const std::function<bool(Progreso&)>& trabajo) {
    Progreso p;
    DialogoProgreso d(padre, titulo, p);
    qint64 ultimo = -1000;
    p.latido = [&] {
        // Often enough for the screens to answer at once, seldom enough to cost nothing.
        const qint64 ahora = reloj();
        if (ahora - ultimo < 30) return;
        ultimo = ahora;
        d.Reviso();
        // Before the window is up no input reaches the other screens; once it is, it is modal.
        QApplication::processEvents(d.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    };
    const bool ok = trabajo(p);
    d.terminado = true;
    return ok;
}

bool DialogoProgreso::EnOtroHilo(QWidget* padre, const QString& titulo,
                                 const std::function<bool(Progreso&)>& trabajo) {
    Progreso p;
    DialogoProgreso d(padre, titulo, p);
    bool ok = false;
    std::unique_ptr<QThread> hilo(QThread::create([&] { ok = trabajo(p); }));
    QEventLoop espera;
    QObject::connect(hilo.get(), &QThread::finished, &espera, &QEventLoop::quit);
    QTimer reviso;
    reviso.setInterval(40);
    QObject::connect(&reviso, &QTimer::timeout, &d, [&] {
        const bool antes = d.isVisible();
        d.Reviso();
        // The window has come up: wait again, taking the user's input now (the window is modal). A
        // thread that ended while no wait was running told nobody: the wait ends here all the same.
        if (d.isVisible() != antes || hilo->isFinished()) espera.quit();
    });
    reviso.start();
    hilo->start();
    while (!hilo->isFinished())
        espera.exec(d.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    hilo->wait();
    d.terminado = true;
    return ok;
}

bool DialogoProgreso::ConConexion(QWidget* padre, const QString& titulo, Contexto ctx,
                                  const std::function<bool(const Contexto&)>& trabajo, QString* error) {
    bool abierta = false;
    QString motivo;
    const bool ok = EnOtroHilo(padre, titulo, [&](Progreso& p) {
        return TrabajoFondo::ConConexionPropia(
            ctx, &p,
            [&](const Contexto& propio, QString*) {
                abierta = true;
                return trabajo(propio);
            },
            &motivo);
    });
    if (!abierta && error) *error = motivo;
    return ok;
}
