#pragma once
// The main window: a frame for the child screens, the menu bar that reaches every screen, the
// background picture shown while no screen is open, and the end of the program when it closes.
#include "core/ui/Pantallas.h"

#include <QMainWindow>

class QLabel;
class QMdiArea;
class QMenu;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* padre = nullptr);
    ~frmMain() override;

    QMdiArea* marco;
    QLabel* pct1;

    // Caption from the current user, company and fiscal year.
    void ActualizoCaption();
    // Rebuilds the menus when the registered commands have changed since they were built (a screen
    // registered after the window exists); each menu does it as it opens.
    void ActualizoMenus();
    // Shows the background picture when no child screen remains open.
    void MuestroFondo();
    // The main window, its child screens and any other visible window of the program.
    int VentanasAbiertas() const;

signals:
    // The window has closed for good: session deleted and connection closed.
    void programaTerminado();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* e) override;

private:
    QMenu* Menu(const char* nombre, const QString& caption);
    void ArmoMenus();
    // Fills every menu with the main window's own commands and the registered ones, in their order.
    void LlenoMenus();
    void EjecutoComando(const Pantallas::Comando& c);
    void ArmoListaVentanas();
    void DibujoFondo();

    void Mosaico(bool horizontal);
    void OrganizoIconos();
    void SetupImpresora();
    void Salir();
    void Cascada();
    void MosaicoHorizontal();
    void MosaicoVertical();
    void OrganizarIconos();
    void Contenido();

    QList<QMenu*> menus;
    // The main window's own commands (printer, exit, arranging the windows, help contents).
    QList<Pantallas::Comando> propios;
    int versionMenus = -1;
    QMenu* menuVentana = nullptr;
    QList<QAction*> listaVentanas;
    bool terminado = false;
};
