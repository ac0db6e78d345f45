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
    // Enables each command whose screen is registered (registration happens at start-up).
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
    QAction* Comando(QMenu* menu, const char* nombre, const QString& caption, const QString& forma,
                     void (frmMain::*accion)());
    QMenu* Menu(const char* nombre, const QString& caption);
    void ArmoMenus();
    void ArmoListaVentanas();
    void DibujoFondo();

    // Every command opens its screen here, as the registry says (child window or modal dialog).
    Pantallas::Apertura Abro(const QString& forma);
    void AbroCatalogo(const QString& forma);
    void ComandoAsientos(const QString& comando);
    void Mosaico(bool horizontal);
    void OrganizoIconos();

    void AjustesInflacion();
    void ConceptosAsiento();
    void ConceptosDetAsiento();
    void CambioEjercicio();
    void EmpresasPropia();
    void PlanCuentas();
    void TablasAjusteInflacion();
    void SetupImpresora();
    void NuevoAsiento();
    void BuscoAsientos();
    void DiarioGeneral();
    void Mayores();
    void Balance();
    void BalanceReAjustado();
    void Usuarios();
    void CambioContrasena();
    void Calculadora();
    void CierreEjercicio();
    void AperturaEjercicio();
    void Cascada();
    void MosaicoHorizontal();
    void MosaicoVertical();
    void OrganizarIconos();
    void Contenido();
    void AcercaDe();
    void Salir();

    QMenu* menuVentana = nullptr;
    QList<QAction*> listaVentanas;
    bool terminado = false;
};
