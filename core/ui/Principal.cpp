#include "core/ui/Principal.h"

#include "core/ui/frmMain.h"

#include <QPrinter>

void RefrescoCaptionPrincipal() {
    if (frmMain* m = VentanaPrincipal()) m->ActualizoCaption();
}

QPrinter& ImpresoraComun() {
    // Kept for the whole run and never destroyed: its engine must not outlive the application object.
    static QPrinter* impresora = new QPrinter(QPrinter::HighResolution);
    return *impresora;
}
