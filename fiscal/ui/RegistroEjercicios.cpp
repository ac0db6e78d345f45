#include "fiscal/ui/RegistroEjercicios.h"

#include "core/AppState.h"
#include "core/Configuracion.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/frmMain.h"
#include "fiscal/ChequeosEjercicio.h"
#include "fiscal/ui/frmAperturaEjercicios.h"
#include "fiscal/ui/frmCierreEjercicios.h"
#include "fiscal/ui/frmEjercicios.h"
#include "fiscal/ui/frmEmpresasPropia.h"

namespace {
// A refused check is told to the user and keeps its screen closed.
bool Admito(const Chequeo& c) {
    if (!c.ok) Mensaje(c.mensaje, Icono::Informacion);
    return c.ok;
}

// "Ejercicios" from the main window: the screen chooses the company and year the program works on,
// taken only while no other window is open; the open screen is asked about its edits first, and told
// about the change after.
void CambioEjercicio(QWidget* ventana) {
    AppState& a = App();
    a.preselection = a.currentYear;
    a.companyParameter = a.currentCompany;
    const Pantallas::Apertura ap = Pantallas::Abro("frmEjercicios", ventana);
    if (!ap.abierta) return; // the screen refused to open
    auto* principal = qobject_cast<frmMain*>(ventana);
    if (principal && principal->VentanasAbiertas() > 2) {
        Mensaje("Para cambiar un ejercicio debe cerrar primero todas las ventanas", Icono::Informacion);
        return;
    }
    // The pair chosen; left without a choice, the screen hands back the pair it was given.
    const bool elegido = ap.eleccion && ap.eleccion->empresa >= 0;
    const QVariant empresa = elegido ? QVariant(ap.eleccion->empresa) : a.companyParameter;
    const QVariant ejercicio = elegido ? QVariant(ap.eleccion->codigo) : a.preselection;
    bool okEmpresa = false, okEjercicio = false;
    const int nuevaEmpresa = empresa.toInt(&okEmpresa), nuevoEjercicio = ejercicio.toInt(&okEjercicio);
    const bool otro = nuevaEmpresa != a.currentCompany || nuevoEjercicio != a.currentYear;
    // What the open screen holds typed belongs to the pair it was typed for: asked about first.
    if (otro && okEmpresa && okEjercicio && !Pantallas::ConsultoCambioEjercicio()) return;
    if (!AdoptoEjercicio(empresa, ejercicio)) return;
    // Nothing the open screen listed for the pair before may be acted on in the new one.
    if (otro) Pantallas::AvisoCambioEjercicio();
    if (principal) principal->ActualizoCaption();
}
} // namespace

void RegistroPantallasEjercicios() {
    using Pantallas::Comando;
    Pantallas::Registro("frmEmpresasPropia", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmEmpresasPropia(p); },
                        {Comando("M_Archivos", 50, "M_EmpresasPropia", "E&mpresas Propias", false,
                                 [](QWidget* v) { Pantallas::AbroCatalogo("frmEmpresasPropia", v); })});
    Pantallas::Registro("frmEjercicios", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmEjercicios(p); },
                        {Comando("M_Archivos", 40, "M_Ejercicios", "&Ejercicios", false, CambioEjercicio)});
    Pantallas::Registro("frmCierreEjercicios", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmCierreEjercicios(p); },
                        {Comando("M_Especiales", 20, "M_CierreEjercicio", "&Cierre automático ejercicio", true)});
    Pantallas::Registro("frmAperturaEjercicios", Pantallas::Forma::Modal,
                        [](QWidget* p) -> QWidget* { return new frmAperturaEjercicios(p); },
                        {Comando("M_Especiales", 30, "M_AperturaEjercicio", "&Apertura automática ejercicio")});
    // The closing and the opening of the current year open only when their checks allow it, from the
    // menu or from anywhere else.
    Pantallas::Condicion("frmCierreEjercicios",
                         [] { return Admito(ChequeoCierre(App().currentCompany, App().currentYear)); });
    Pantallas::Condicion("frmAperturaEjercicios",
                         [] { return Admito(ChequeoApertura(App().currentCompany, App().currentYear)); });
}
