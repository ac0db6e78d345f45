#pragma once
// Stand-in screens registered by the tests under the real form names.
#include "core/ui/EstadoEdicion.h"
#include "core/ui/Pantallas.h"

#include <QCloseEvent>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <functional>

// A modal screen that runs an action when it opens and closes itself at once.
class DialogoFalso : public QDialog {
    Q_OBJECT
public:
    explicit DialogoFalso(QWidget* padre, std::function<void()> alAbrir = {}) : QDialog(padre) {
        if (alAbrir) alAbrir();
        QTimer::singleShot(0, this, &QDialog::accept);
    }
};

// A child screen with a caption; it may refuse to close (unsaved changes answered Cancel).
class HijaFalsa : public QWidget {
    Q_OBJECT
public:
    explicit HijaFalsa(const QString& titulo, bool rechazaCierre = false) : rechaza(rechazaCierre) {
        setWindowTitle(titulo);
        resize(300, 200);
    }
    bool rechaza;

protected:
    void closeEvent(QCloseEvent* e) override {
        if (rechaza)
            e->ignore();
        else
            e->accept();
    }
};

// The entry editor as the main window's commands reach it.
class EditorFalso : public QWidget, public Pantallas::EditorAsientos {
    Q_OBJECT
public:
    EditorFalso() { setWindowTitle("Asientos"); }
    QStringList comandos;
    void NuevoAsiento() override { comandos << "nuevo"; }
    void BuscoAsientos() override { comandos << "busco"; }
    void ListoAsiento(int asiento) override { comandos << QString::number(asiento); }
};

// A child screen holding unsaved edits, as the entry editor does: asked before anything closes.
class EditorConCambios : public QWidget, public EstadoEdicion, public Pantallas::ConsultaCierre {
    Q_OBJECT
public:
    EditorConCambios() {
        setWindowTitle("Editor");
        dirty = true;
    }
    int guardados = 0;
    bool AceptoCierre() override {
        return EstadoEdicion::AceptoCierre([this] { return Guardo(); });
    }
    void CierreSuspendido() override { EstadoEdicion::CierreSuspendido(); }

protected:
    void closeEvent(QCloseEvent* e) override {
        if (Sigo(PreguntoGuardar([this] { return Guardo(); })))
            e->accept();
        else
            e->ignore();
    }

private:
    bool Guardo() {
        ++guardados;
        return true;
    }
};
