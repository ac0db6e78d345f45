#pragma once
// The logged-in user changes his own password.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class frmCambioContrasena : public QDialog {
    Q_OBJECT
public:
    explicit frmCambioContrasena(QWidget* padre = nullptr);

    QLabel* lblUsuario;
    QLineEdit* inpContrasenaActual;
    QLineEdit* inpNuevaContrasena;
    QLineEdit* inpConfirmacionContrasena;
    QPushButton* btnOk;
    QPushButton* btnCancel;

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    void Acepto();
    bool centrada = false;
};
