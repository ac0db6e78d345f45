#pragma once
// Sessions tell apart the instances that share the database; a screen's registration in
// SesionesPlanes tells it whether the chart it has loaded is still the stored one.
#include "core/Contexto.h"

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
// Deletes the sessions numbered below the given one minus 100.
void PurgoSesiones(int sesion);
// Deletes only the given session's row.
void BorroSesion(int sesion);
// Records that a screen has loaded the chart of the context's company and year in its session; takes
// a new session number first when that row was purged by another instance (SesionVigente then leads
// from the old number to the new one).
void RegistroPantalla(const Contexto& ctx, int pantalla);
// True when the screen's registration for the context's company and year is still present in its session.
bool PantallaRegistrada(const Contexto& ctx, int pantalla);
// First step of the validity protocol after loading a chart: registers when not yet registered.
void VerificoRegistro(const Contexto& ctx, int pantalla);
// The number a session goes by now: itself, or the one that replaced it after it was purged.
int SesionVigente(int sesion);
// Deletes every registration of (company, year), of all sessions: other screens reload that chart.
void EliminoSesionesPlanes(int empresa, int ejercicio);

// "Empresa de Prueba, 01/01/24-31/12/24": the company's name and the year's dates.
QString NombreEjercicio(int empresa, int ejercicio);
// Caption of the main window from the context's user, company and year.
QString CaptionPrincipal(const Contexto& ctx);
