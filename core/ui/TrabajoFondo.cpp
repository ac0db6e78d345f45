#include "core/ui/TrabajoFondo.h"

#include "core/Basedatos.h"
#include "core/Motor.h"

#include <QPointer>
#include <QThread>
#include <atomic>

TrabajoFondo::TrabajoFondo(QObject* padre) : QObject(padre) {}

TrabajoFondo::~TrabajoFondo() {
    Detengo();
}

bool TrabajoFondo::ConConexionPropia(Contexto ctx, Progreso* progreso, const Trabajo& trabajo, QString* error) {
    static std::atomic<int> numero{0};
    const QString nombre = QString("lectura-%1").arg(++numero);
    QString motivo;
    if (!AbroConexion(nombre, DireccionAbierta(), &motivo)) {
        if (error) *error = motivo;
        return false;
    }
    ctx.conexion = nombre;
    ctx.progreso = progreso;
    bool hecho;
    {
        // A statement of the work stops in its middle once the work is asked to stop.
        const QSqlDatabase db = ctx.Base();
        const std::shared_ptr<void> detenible = MotorDe(db).almacen.Detenible(db, progreso);
        hecho = trabajo(ctx, error);
    }
    CierroConexion(nombre);
    return hecho;
}

void TrabajoFondo::Inicio(Contexto ctx, Trabajo trabajo, Fin alTerminar) {
    Detengo();
    const int esta = ++serie;
    progreso = std::make_shared<Progreso>();
    QPointer<TrabajoFondo> yo(this);
    hilo.reset(QThread::create([=, p = progreso] {
        QString error;
        const bool hecho = ConConexionPropia(ctx, p.get(), trabajo, &error);
        const bool detenido = p->Cancelado();
        // Told on the screens' thread, unless another reading took its place or the object is gone.
        QMetaObject::invokeMethod(
            yo,
            [=] {
                if (!yo || yo->serie != esta) return;
                if (alTerminar) alTerminar(hecho && !detenido, detenido ? QString() : error);
            },
            Qt::QueuedConnection);
    }));
    hilo->start();
}

void TrabajoFondo::Detengo() {
    if (!hilo) return;
    ++serie; // its end, already queued or not, is no longer told
    if (progreso) progreso->Cancelo();
    hilo->wait();
    hilo.reset();
}

bool TrabajoFondo::Activo() const {
    return hilo && !hilo->isFinished();
}
