#pragma once
// The frame every report screen shares: the period fields, the refresh, default filters, print and
// exit commands, the read-only grid sprRpt, the opening check and the saved layout. A report supplies
// its own filters, builds its rows from the period, and pours them into the grid; the grid is only
// replaced when the rows were built, so a refresh that fails leaves the report on screen as it was.
#include "core/Listado.h"
#include "core/ui/Pantallas.h"
#include "reports/TablaReporte.h"

#include <QDate>
#include <QWidget>

class Grilla;
class QCheckBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QToolButton;

class PantallaReporte : public QWidget, public Pantallas::AvisoEjercicio {
    Q_OBJECT
public:
    struct Datos {
        QString forma;   // form name, also the object name
        QString caption; // window caption
        QString clave;   // layout section of Partidex.ini
        QString trabajo; // print job name
        QString titulo;  // title in the print header ("... entre ")
        QString ayudaActualizar;
        QString textoDefecto = QStringLiteral("Selecciono por defecto");
    };
    PantallaReporte(const Datos& datos, QWidget* padre = nullptr);
    // The screen of the report declared with that screen name (reports/Informes.h).
    static Datos DeInforme(const QString& forma);

    // False when the screen refused to open (no current fiscal year; the user has been told).
    bool abierta() const { return aceptada; }

    QLineEdit* ftrFechaDe;
    QLineEdit* ftrFechaA;
    QToolButton* btnActualizar;
    QToolButton* btnImprimir;
    QPushButton* btnExportar;
    QPushButton* btnSeleccionoTodosFiltros;
    QCheckBox* chkImprimoSombras;
    QToolButton* btnSalir;
    Grilla* sprRpt;

    // The dates of the fiscal year, chkImprimoSombras ticked, and the report's own defaults.
    void ColocoFiltrosDefault();
    // Checks the period, builds the report and fills the grid. False (the user told why, the grid
    // unchanged) when a date is wrong or the query failed.
    bool ActualizoReporte();
    // Header text of the printed report.
    QString Encabezado() const;
    void Imprimo();
    // Writes the report built last to a file the user chooses, as PDF, CSV or XLSX by its extension.
    void Exporto();

    // A change of company or year empties the report and puts the new year's defaults in the filters.
    void EjercicioCambiado() override;
    // Opens the entry of a row in the journal editor, when the report was built in the current pair
    // (else the user is told and nothing opens).
    void AbroAsiento(const QString& asiento);

protected:
    // Where a report puts its own filter controls, after the period fields.
    QHBoxLayout* FiltrosPropios() const { return filtros; }
    // Called once the common frame is built (the report adds its controls and sets up the grid).
    void Inicio();
    virtual void PreparoGrilla() = 0;
    virtual void ColocoFiltrosPropios() {}
    // Builds the report's table for the period into `tabla` without touching the grid; false with the
    // engine's text when it fails (`tabla` then as it was).
    virtual bool Armo(const QDate& desde, const QDate& hasta, QString* error) = 0;
    // Writes the table built last into the grid (already emptied and hidden).
    virtual void Vuelco();
    // Added to the print header after the dates (the general journal names the company).
    virtual QString AgregadoEncabezado() const { return QString(); }

    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

    // The report built last: what the grid shows and what the export writes.
    TablaReporte tabla;
    // The company and year the report was built for.
    EjercicioListado armado;

private:
    Datos datos;
    QHBoxLayout* filtros;
    bool aceptada = true;
    bool ubicada = false;
};
