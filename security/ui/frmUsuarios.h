#pragma once
// The users who may log in: login name, full name, profile, password and whether they are active.
#include "core/ui/Catalogo.h"

#include <QVector>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

class frmUsuarios : public Catalogo {
    Q_OBJECT
public:
    explicit frmUsuarios(QWidget* padre = nullptr);

    QGroupBox* fraPerfiles = nullptr;
    QComboBox* cmbPerfil = nullptr;
    QCheckBox* chkActivo = nullptr;
    QLineEdit* inpContrasena = nullptr;
    QPushButton* btnBorrarContrasena = nullptr;
    QCheckBox* ftrActivo0 = nullptr; // list filter "Activo"
    QCheckBox* ftrActivo1 = nullptr; // list filter "No Act"
    QPushButton* btnActualizar = nullptr;

    void BlanqueoContrasena();
    void Actualizo();

    // What rebuilds the main window's caption after the logged-in user is saved (tests watch it).
    static std::function<void()>& RefrescoCaption();

protected:
    void LlenoInicial() override;
    FilasLeidas ConsultoLista() override;
    QStringList TextosFila(const FilaLeida& r) override;
    std::optional<FilaLeida> ConsultoRegistro(const QString& codigo) override;
    void MuestroCampos(const FilaLeida& r) override;
    void CamposNuevos() override;
    bool ValidoCampos() override;
    Resultado GraboRegistro(int* codigoGuardado) override;
    void DespuesDeGuardar(int codigoGuardado, bool eraNuevo) override;
    Resultado BorroRegistro(const QString& codigo) override;

private:
    QVector<int> perfiles;
};
