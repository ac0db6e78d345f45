#pragma once
#include <QObject>

class PruebaPaginas : public QObject {
    Q_OBJECT
private slots:
    void informes_data();
    void informes();
};
