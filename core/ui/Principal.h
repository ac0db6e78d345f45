#pragma once
// What other screens may ask of the main window without knowing it.

class frmMain;
class QPrinter;

// The main window of this run, or nullptr before start-up shows it.
frmMain* VentanaPrincipal();
// Rebuilds the main window's caption (the users screen calls it after storing the logged-in user).
void RefrescoCaptionPrincipal();
// The printer chosen with the printer setup of the main window, shared by every screen that prints.
QPrinter& ImpresoraComun();
