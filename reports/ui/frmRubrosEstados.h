#pragma once
// The headings of the financial statements of the current year: each account given a heading (and so
// its branch of the chart), with the heading and whether it is non-current. A year that never stored
// its headings shows the ones its chart proposes; the first change stores them all.
#include "core/ui/Catalogo.h"

class QCheckBox;
class QComboBox;

class frmRubrosEstados : public Catalogo {
    Q_OBJECT
public:
    explicit frmRubrosEstados(QWidget* padre = nullptr);

    QComboBox* cmbRubro = nullptr;
    QCheckBox* chkNoCorriente = nullptr;

protected:
    FilasLeidas ConsultoLista() override;
    QStringList TextosFila(const FilaLeida& r) override;
    std::optional<FilaLeida> ConsultoRegistro(const QString& codigo) override;
    void MuestroCampos(const FilaLeida& r) override;
    void CamposNuevos() override;
    bool ValidoCampos() override;
    Resultado GraboRegistro(int* codigoGuardado) override;
    Resultado BorroRegistro(const QString& codigo) override;

private:
    int mostrada = 0; // the account of the record shown (0 while adding)
    int CuentaTipeada() const;
};
