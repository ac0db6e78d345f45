#pragma once
// A long reading that runs on a worker thread, on a connection of its own to the shared connection's
// books, while the screens go on answering (a report that shows its rows as they are read). The
// screen that starts it is told on its own thread when it ends; it may ask it to stop, and waits for
// it before it starts another or goes away. One reading at a time per object.
#include "core/Contexto.h"
#include "core/Progreso.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QThread;

class TrabajoFondo : public QObject {
    Q_OBJECT
public:
    explicit TrabajoFondo(QObject* padre = nullptr);
    ~TrabajoFondo() override; // a reading still running is stopped and waited for

    // What the reading does with the context moved to its own connection (the progress in it); false
    // with the engine's text in *error when it fails. It must not touch the shared connection nor any
    // screen.
    using Trabajo = std::function<bool(const Contexto& ctx, QString* error)>;
    // Told on this object's thread: whether the reading did its work, and when it did not, why (the
    // engine's text; empty when it was asked to stop).
    using Fin = std::function<void(bool hecho, const QString& error)>;

    // Starts trabajo, first stopping the reading still running (whose end is then never told).
    void Inicio(Contexto ctx, Trabajo trabajo, Fin alTerminar);
    // Asks the reading to stop and waits for it; its end is not told.
    void Detengo();
    bool Activo() const;

    // Runs trabajo on this thread with the context on a connection of its own to the books of the
    // shared connection, opened and closed here. False with the reason in *error when that connection
    // cannot be opened (trabajo then does not run), else what trabajo returns.
    static bool ConConexionPropia(Contexto ctx, Progreso* progreso, const Trabajo& trabajo, QString* error);

private:
    std::unique_ptr<QThread> hilo;
    std::shared_ptr<Progreso> progreso;
    int serie = 0; // the reading whose end is told; an earlier one's is not
};
