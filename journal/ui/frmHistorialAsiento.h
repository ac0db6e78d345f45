#pragma once
// The history of one entry, read-only: every write recorded for it (who, when, from which workstation,
// what kind of change) with the entry as it was before and after.
#include "core/Contexto.h"

#include <QDialog>

class Grilla;
class QPushButton;

class frmHistorialAsiento : public QDialog {
    Q_OBJECT
public:
    frmHistorialAsiento(const Contexto& c, int asiento, QWidget* padre = nullptr);

    Grilla* sprHistorial = nullptr;
    QPushButton* btnCerrar = nullptr;
};
