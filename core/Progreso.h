#pragma once
// How far a long operation has gone, and whether the user asked it to stop. The operation (logic, any
// thread) names each stage it enters with the number of steps it expects, counts the steps it has
// done, and asks at each step whether to go on; whoever shows it (core/ui/DialogoProgreso.h) reads
// the same object from the screens' thread and asks it to stop. An operation that is asked to stop
// leaves nothing half-written: it rolls back its transaction or removes what it had begun to write.
#include <QMutex>
#include <QString>
#include <atomic>
#include <functional>

// The reason an operation gives when it stopped because it was asked to.
inline const QString TextoCancelado = QStringLiteral("operación cancelada por el usuario");

class Progreso {
public:
    // A new stage: what it does, in the user's words, how many steps it takes (0: not known) and how
    // many of them are done already (a stage that is one step of several). False when the operation
    // must stop.
    bool Etapa(const QString& que, qint64 pasos = 0, qint64 hechos = 0);
    // Steps done so far in the stage; false when the operation must stop.
    bool Avance(qint64 hechos);
    // The same, with the number of steps of the stage, known once it has begun.
    bool Avance(qint64 hechos, qint64 total) {
        pasos = total;
        return Avance(hechos);
    }
    // How far the stage has gone when its steps are not counted but estimated (pages an engine has gone
    // through): a share from 0 to 1, shown as a percentage. False when the operation must stop.
    bool Parte(double parte);
    // A stage done in parts, each estimated on its own: from here to the next stage, a share reported by
    // Parte counts from `desde` to `hasta` of the stage.
    void ParteDeEtapa(double desde, double hasta);
    // The operation is a series of `etapas` stages, each Etapa from here on the next of them: shown as
    // the step of the series, the bar counting the whole series.
    void Serie(int etapas);
    // One step more; false when the operation must stop.
    bool Paso() { return Avance(hecho.load(std::memory_order_relaxed) + 1); }
    // Whether the operation may go on (the caller did not ask it to stop).
    bool Sigo() const { return !cancelado.load(); }

    // Asks the operation to stop at its next step. Reserved stages (SinCancelar) only take note.
    void Cancelo() { if (cancelable.load()) cancelado = true; }
    bool Cancelado() const { return cancelado.load(); }
    // From here on the operation cannot stop halfway (a restore that has begun to replace the books):
    // the request to stop is no longer taken.
    void SinCancelar() { cancelable = false; }
    bool Cancelable() const { return cancelable.load() && !cancelado.load(); }
    // A statement that reads the whole file on behalf of this operation may be stopped in its middle
    // when asked to (its caller throws away what it wrote); otherwise it reads on to its end.
    void Interrumpible() { interrumpible = true; }
    bool EsInterrumpible() const { return interrumpible.load(); }

    QString Que() const;
    qint64 Hecho() const { return hecho.load(); }
    qint64 Pasos() const { return pasos.load(); }
    bool EnPorcentaje() const { return porcentaje.load(); }
    // The stage's place in its series (from 1) and the series' length; 0 and 0 outside a series.
    int Tramo() const { return tramo.load(); }
    int Tramos() const { return tramos.load(); }
    // How far the whole operation has gone, from 0 to 1, or -1 when that is not known.
    double Total() const;
    // Whether the operation has reported anything yet (a question it asks first is not its work).
    bool Empezado() const { return empezado.load(); }

    // Run on the operation's thread at every report (a loop over rows reports every thousand or so): an
    // operation on the screens' thread lets the screens paint and take the stop request there.
    std::function<void()> latido;

private:
    mutable QMutex cerrojo;
    QString que;
    std::atomic<qint64> hecho{0};
    std::atomic<qint64> pasos{0};
    std::atomic<bool> cancelado{false};
    std::atomic<bool> cancelable{true};
    std::atomic<bool> interrumpible{false};
    std::atomic<bool> empezado{false};
    std::atomic<bool> porcentaje{false};
    std::atomic<int> tramo{0}, tramos{0};
    std::atomic<double> desdeParte{0}, hastaParte{1};
    void Late();
};

// The same for an operation that may have no one watching it (a null progress): never stops.
inline bool Etapa(Progreso* p, const QString& que, qint64 pasos = 0, qint64 hechos = 0) {
    return !p || p->Etapa(que, pasos, hechos);
}
inline bool Avance(Progreso* p, qint64 hechos) {
    return !p || p->Avance(hechos);
}
inline void Serie(Progreso* p, int etapas) {
    if (p) p->Serie(etapas);
}
inline void ParteDeEtapa(Progreso* p, double desde, double hasta) {
    if (p) p->ParteDeEtapa(desde, hasta);
}
inline bool Paso(Progreso* p) {
    return !p || p->Paso();
}
// For a loop over rows: reports every so many rows (counting them in *n), false when it must stop.
inline bool Fila(Progreso* p, qint64& n) {
    ++n;
    return !p || (n & 1023) != 0 || p->Avance(n);
}
