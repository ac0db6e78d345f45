#pragma once
// The maintenance screen: compaction with backup, and restore from the backup.
#include <QDialog>

class QPushButton;

class frmBaseDatos : public QDialog {
    Q_OBJECT
public:
    explicit frmBaseDatos(QWidget* padre = nullptr);

    QPushButton* btnBackUp;
    QPushButton* btnRecuperar;
    QPushButton* btnInicio;

private:
    void HagoBackUp();
    void RecuperoBackUp();
};
