#pragma once
// The window of a long operation: what it does and how far it has gone, with a button that asks it to
// stop. It appears only once the operation has taken half a second, so a short one shows nothing but
// the busy pointer. The operation runs either on a worker thread (a report, on a connection of its
// own to the same books, or a file copy) while the window waits for it, or on the screens' thread when
// it must stay on the shared connection (a transaction), which then lets the screens' events in
// between its steps.
#include "core/Progreso.h"

#include <QDialog>
#include <QElapsedTimer>
#include <functional>

struct Contexto;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class DialogoProgreso : public QDialog {
    Q_OBJECT
public:
    // Milliseconds an operation runs before its window appears.
    static inline int demora = 500;
    // The clock the delay is measured by, in ms (the tests put one of their own).
    static std::function<qint64()> reloj;

    // Runs trabajo on this thread, showing its progress once the delay has passed.
    static bool EnEsteHilo(QWidget* padre, const QString& titulo, const std::function<bool(Progreso&)>& trabajo);
    // Runs trabajo on a worker thread; it must not touch the shared connection nor any screen.
    static bool EnOtroHilo(QWidget* padre, const QString& titulo, const std::function<bool(Progreso&)>& trabajo);
    // Runs trabajo on a worker thread with the context moved to a connection of its own to the shared
    // connection's books, the progress in the context. False with the reason in *error when that
    // connection cannot be opened (trabajo then does not run), else what trabajo returns.
    static bool ConConexion(QWidget* padre, const QString& titulo, Contexto ctx,
                            const std::function<bool(const Contexto&)>& trabajo, QString* error);

    // Runs f on the screens' thread and waits for it, from whatever thread (at once on that one): what an
    // operation on a worker thread must show or ask goes through here.
    static void EnPantallas(const std::function<void()>& f);

    QLabel* lblQue;
    QProgressBar* barra;
    QPushButton* btnCancelar;

protected:
    void reject() override; // Escape and the window's close button ask the operation to stop
    void closeEvent(QCloseEvent* e) override;

private:
    DialogoProgreso(QWidget* padre, const QString& titulo, Progreso& progreso);
    // Shows the window once the delay has passed, and brings it up to date.
    void Reviso();

    Progreso& progreso;
    qint64 inicio = -1;
    bool terminado = false;
};
