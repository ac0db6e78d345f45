#pragma once
#include <QObject>
#include <memory>

class Entorno;

class PruebaPaginas : public QObject {
    Q_OBJECT
public:
    PruebaPaginas();
    ~PruebaPaginas() override;
private slots:
    void initTestCase();
    void informes_data();
    void informes();

private:
    std::unique_ptr<Entorno> entorno;
    int empresa = 0;
};
