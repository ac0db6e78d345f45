#pragma once
// Sessions tell apart the instances that share the database; a screen's registration in
// SesionesPlanes tells it whether the chart it has loaded is still the stored one.
#include <QString>

// Screen codes of SesionesPlanes.
enum PantallaPlan {
    PantallaCuentas = 1,
    PantallaAsientos = 2,
    PantallaMayores = 3,
    PantallaBalance = 4,
    PantallaDiario = 5,
    PantallaBalanceReajustado = 6,
};

// Creates a session row and returns its number (maximum plus one; a clash with another instance
// starting at the same moment is retried). Returns 0 when the row cannot be written.
int NuevaSesion();
// Deletes the sessions numbered below the current one minus 100.
void PurgoSesiones();
// Deletes only this run's session row.
void BorroSesion();
// Records that a screen has loaded the chart of (company, year) in this session; takes a new session
// number first when the current row was purged by another instance.
void RegistroPantalla(int pantalla, int empresa, int ejercicio);
// True when the screen's registration for (company, year) is still present in this session.
bool PantallaRegistrada(int pantalla, int empresa, int ejercicio);
// First step of the validity protocol after loading a chart: registers when not yet registered.
void VerificoRegistro(int pantalla, int empresa, int ejercicio);
// Deletes every registration of (company, year), of all sessions: other screens reload that chart.
void EliminoSesionesPlanes(int empresa, int ejercicio);

// "Empresa de Prueba, 01/01/24-31/12/24": the company's name and the year's dates.
QString NombreEjercicio(int empresa, int ejercicio);
// Caption of the main window from the current user, company and year.
QString CaptionPrincipal();
