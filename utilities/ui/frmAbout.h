#pragma once
// The about box: title, version, description and the support contact; the system information button
// lists the versions of the program and of what it runs on, and the database in use.
#include <QDialog>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* padre = nullptr);

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

    void done(int r) override;

    // "Version major.minor.revision" of this build.
    static QString TextoVersion();
    // Lines shown by the system information dialog.
    static QStringList InformacionSistema();

private:
    void MuestroInformacionSistema();
};
