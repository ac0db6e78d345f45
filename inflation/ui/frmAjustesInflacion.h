#pragma once
// Ajustes Inflación: the dated values of one index table within a date range, edited as a grid of
// (date, value) rows that replaces the stored values of the loaded range when saved; also imports a
// published series from a CSV file.
#include "core/ui/EstadoEdicion.h"
#include "core/ui/Pantallas.h"

#include <QWidget>

class Grilla;
class QLineEdit;
class BotonAjustado;
class QToolButton;

class frmAjustesInflacion : public QWidget, public EstadoEdicion, public Pantallas::ConsultaCierre {
    Q_OBJECT
public:
    explicit frmAjustesInflacion(QWidget* padre = nullptr);

    BotonAjustado* pnlTablaAjusteInflacion;
    QLineEdit* inpFechaDe;
    QLineEdit* inpFechaA;
    Grilla* sprAjustesInflacion;
    QToolButton* btnActualizar;
    QToolButton* btnGuardar;
    QToolButton* btnRegAgregar;
    QToolButton* btnRegBorrar;
    QToolButton* btnImprimir;
    QToolButton* btnImportar;
    QToolButton* btnSalir;

    int indexTable = -1;
    QString loadedFrom; // the range of the last load: what a save replaces
    QString loadedTo;

    // Chooses the table shown (what the button does once the picker answers).
    void ElijoTabla(int tabla, const QString& descripcion);
    void CargoValores();
    bool Guardo();
    void AgregoFila();
    void BorroFila();
    void Importo();
    QString Encabezado() const;

    bool AceptoCierre() override;
    void CierreSuspendido() override;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    bool cerrado = false;

    void PidoTabla();
    void Actualizo();
    bool Pregunto(); // ask to save; false when cancelled
};
