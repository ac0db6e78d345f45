#pragma once
// Fiscal years of a company: the catalogue of years, the copy of a chart of accounts from one year
// to another, and the choice of the (company, year) the main window works on.
#include "core/ui/Catalogo.h"

#include <QVector>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

class frmEjercicios : public Catalogo {
    Q_OBJECT
public:
    explicit frmEjercicios(QWidget* padre = nullptr);

    QGroupBox* fraEmpresasPropia = nullptr;
    QComboBox* cmbEmpresasPropia = nullptr;
    QLineEdit* inpComienzoEjercicio = nullptr;
    QLineEdit* inpFinEjercicio = nullptr;
    QPushButton* pnlTablaAjusteInflacion = nullptr;
    QGroupBox* fraPlanCuentas = nullptr;
    QPushButton* btnCopiarPlanCuentas = nullptr;
    QPushButton* btnPegarPlanCuentas = nullptr;
    QPushButton* btnVerPlanCuentas = nullptr;

    // State besides the catalogue's.
    int shownCompany = 0;
    int indexTable = -1;
    int copySourceCompany = -1;
    int copySourceYear = 0;
    QVariant chosenCompany;
    QVariant chosenYear;

    void ElijoEmpresa(int indice); // a company chosen in the combo
    void ElijoTabla();             // the index table button
    void CopioPlan();
    void PegoPlan();
    void VerPlan();

protected:
    void LlenoInicial() override;
    FilasLeidas ConsultoLista() override;
    QStringList TextosFila(const FilaLeida& r) override;
    int FilaPosicion(int codigo, const QString& texto) override;
    std::optional<FilaLeida> ConsultoRegistro(const QString& codigo) override;
    void MuestroCampos(const FilaLeida& r) override;
    void CamposNuevos() override;
    bool ValidoCampos() override;
    Resultado GraboRegistro(int* codigoGuardado) override;
    void DespuesDeGuardar(int codigoGuardado, bool eraNuevo) override;
    Resultado BorroRegistro(const QString& codigo) override;
    void EntregoSeleccion(int fila) override;
    void Descargo() override;
    QWidget* FocoInicial() override;
    bool eventFilter(QObject* objeto, QEvent* e) override;

private:
    void MuestroTabla(const QString& descripcion);
    int EjercicioActivo() const; // year of the active row, 0 when there is none
    QVector<int> empresas;
    QString textoTabla;
};
