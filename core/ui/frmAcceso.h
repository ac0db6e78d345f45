#pragma once
// Login window: identifies the user before the main window opens. On books a server reaches with
// each user's own login, it comes first: the server checks the user and password, and after the
// books are opened, VerificoEnLibro checks them against the book's users.
#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

class frmAcceso : public QDialog {
    Q_OBJECT
public:
    explicit frmAcceso(QWidget* padre = nullptr, bool alServidor = false);
    // Asks a user and password for an operation of its own (say, a restore before anybody logged in):
    // acepto receives them and says whether the window closes; nobody is logged in by it.
    frmAcceso(QWidget* padre, const QString& titulo, std::function<bool(const QString&, const QString&)> acepto);
    // The user and password the server let in, looked up among the book's users: true and the user
    // logged in, or false.
    bool VerificoEnLibro();

    QLineEdit* inpUsuario;
    QLineEdit* inpContrasena;
    QPushButton* btnOk;
    QPushButton* btnCancel;

public slots:
    void AceptoUsuario();

private:
    bool alServidor = false;
    QString usuario, contrasena;

protected:
    std::function<bool(const QString&, const QString&)> acepto;
    void showEvent(QShowEvent* e) override;
};
