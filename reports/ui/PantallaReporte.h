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
#include <functional>
#include <memory>

class Grilla;
class TrabajoFondo;
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
    ~PantallaReporte() override;
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
    // unchanged) when a date is wrong or the query failed. A report read a part at a time (Escalonado)
    // is waited for a moment (EsperaEscalonada ms); one that takes longer goes on being read while the
    // screens answer, its rows added to the grid as they come, and the caption says how many: Escape
    // stops it, and a report stopped or failed halfway is taken off the grid whole.
    bool ActualizoReporte();
    static inline int esperaEscalonada = 300;
    // Run once a part has reached the grid, before the next one (the tests act between two parts).
    static inline std::function<void(PantallaReporte*)> alRecibirParte;
    // Whether the report is still being read; waits until it is not (the tests, the benchmarks).
    bool Leyendo() const { return leyendo; }
    void EsperoLectura();
    // Stops the reading of the report (see ActualizoReporte).
    void DetengoLectura();
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
    // What builds a report's table for the period, on whatever connection and thread the context
    // names; false with the engine's text when it fails. It must not touch the screen.
    using Armado = std::function<bool(const Contexto& ctx, TablaReporte* tabla, QString* error)>;
    // Reads the report's own filters and returns what builds its table; nothing, with the reason in
    // *error, when a filter is wrong. The refresh runs it on a worker thread, on a connection of its
    // own, behind the progress window, and the table replaces `tabla` only when it was built whole.
    virtual Armado Preparo(const QDate& desde, const QDate& hasta, QString* error) = 0;
    // Writes the table built last into the grid (already emptied and hidden).
    virtual void Vuelco();
    // Added to the print header after the dates (the general journal names the company).
    virtual QString AgregadoEncabezado() const { return QString(); }
    // A report that hands its rows over as it reads them (through EntregaParcial) and is shown as they
    // come; its grid has no wrapped texts.
    virtual bool Escalonado() const { return false; }
    // What the table builder of an Escalonado report hands its rows to, for the refresh under way.
    EntregaFilas EntregaParcial() const { return entrega; }

    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

    // The report built last: what the grid shows and what the export writes.
    TablaReporte tabla;
    // The company and year the report was built for.
    EjercicioListado armado;

private:
    Datos datos;
    QHBoxLayout* filtros;
    // The reading of an Escalonado report: the rows read so far (the grid shows them from there), and
    // whether the first part came (until then the report built before stays on the grid).
    bool LeoEscalonado(const Armado& trabajo, const EjercicioListado& pedido);
    void Recibo(FilasReporte&& parte);
    void TerminoLectura(bool hecho, const QString& error, TablaReporte&& nueva, const EjercicioListado& pedido);
    void TituloLectura();
    TrabajoFondo* lectura;
    EntregaFilas entrega;
    std::shared_ptr<FilasReporte> leidas;
    int serieLectura = 0;
    bool leyendo = false;
    bool primeraParte = true;
    bool aceptada = true;
    bool ubicada = false;
};
