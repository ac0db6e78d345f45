#pragma once
// Notice shown, not modal, while the automatic backup of start-up runs.
#include <QWidget>

class QLabel;

class frmInformaMantenimientoAutomatico : public QWidget {
    Q_OBJECT
public:
    explicit frmInformaMantenimientoAutomatico(QWidget* padre = nullptr);

    QLabel* lblAviso;
};
