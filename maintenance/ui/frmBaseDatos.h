#pragma once
// The maintenance screen: compaction with backup, restore from the backup, and the check of the entry
// history's chain.
#include <QDialog>

class QPushButton;

class frmBaseDatos : public QDialog {
    Q_OBJECT
public:
    explicit frmBaseDatos(QWidget* padre = nullptr);

    QPushButton* btnBackUp;
    QPushButton* btnRecuperar;
    QPushButton* btnVerificoHistorial;
    QPushButton* btnInicio;

private:
    void HagoBackUp();
    void RecuperoBackUp();
    void VerificoHistorial();
};
