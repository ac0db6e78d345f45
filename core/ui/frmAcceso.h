#pragma once
// Login window: identifies the user before the main window opens.
#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

class frmAcceso : public QDialog {
    Q_OBJECT
public:
    explicit frmAcceso(QWidget* padre = nullptr);
    // Asks a user and password for an operation of its own (say, a restore before anybody logged in):
    // acepto receives them and says whether the window closes; nobody is logged in by it.
    frmAcceso(QWidget* padre, const QString& titulo, std::function<bool(const QString&, const QString&)> acepto);

    QLineEdit* inpUsuario;
    QLineEdit* inpContrasena;
    QPushButton* btnOk;
    QPushButton* btnCancel;

public slots:
    void AceptoUsuario();

protected:
    std::function<bool(const QString&, const QString&)> acepto;
    void showEvent(QShowEvent* e) override;
};
