#pragma once
// Login window: identifies the user before the main window opens.
#include <QDialog>

class QLineEdit;
class QPushButton;

class frmAcceso : public QDialog {
    Q_OBJECT
public:
    explicit frmAcceso(QWidget* padre = nullptr);

    QLineEdit* inpUsuario;
    QLineEdit* inpContrasena;
    QPushButton* btnOk;
    QPushButton* btnCancel;

public slots:
    void AceptoUsuario();

protected:
    void showEvent(QShowEvent* e) override;
};
