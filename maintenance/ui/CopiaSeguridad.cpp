#include "maintenance/ui/CopiaSeguridad.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/Sesiones.h"
#include "core/ui/DialogoProgreso.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "maintenance/Mantenimiento.h"
#include "maintenance/ui/PantallasMantenimiento.h"
#include "core/Permisos.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>

namespace {

const char* const Filtro = "Copias de seguridad (*.BAK *.bak);;Todos los archivos (*)";

QString Nativa(const QString& ruta) {
    return QDir::toNativeSeparators(QFileInfo(ruta).absoluteFilePath());
}

// Every child window closes, each after its own closing check; false when one refused.
bool CierroPantallas() {
    if (!Pantallas::ConsultoCierreHijas()) return false;
    QMdiArea* marco = Pantallas::Marco();
    if (!marco) return true;
    marco->closeAllSubWindows();
    return marco->subWindowList().isEmpty();
}

} // namespace

void CopioBaseDesdeMenu(QWidget* ventana) {
    // A copy reads the books; a restore replaces every record, so it needs leave to delete.
    if (!Autorizo(ContextoActual(), Permisos::CopiaSeguridad, Accion::Leer)) {
        Mensaje("Su perfil no tiene permiso para hacer copias de seguridad de la base de datos", Icono::Informacion);
        return;
    }
    const Mantenimiento::Rutas rutas = RutasDeAjustes();
    const QString archivo = ElijoArchivo(ModoArchivo::Guardar, "Copia de seguridad", rutas.respaldo, Filtro);
    if (archivo.isEmpty()) return;
    QString error;
    bool cancelado = false;
    const Contexto quien = ContextoActual();
    // Off the screens' thread, so that the progress keeps moving on a large book.
    const bool ok = DialogoProgreso::EnOtroHilo(ventana, "Copia de seguridad", [&](Progreso& p) {
        const bool hecho = Mantenimiento::CopioEnArchivo(quien, rutas, archivo, QDate::currentDate(), &error, &p);
        cancelado = p.Cancelado();
        return hecho;
    });
    if (cancelado) {
        Mensaje("Copia de seguridad cancelada: no se escribió " + Nativa(archivo), Icono::Informacion);
        return;
    }
    if (ok)
        Mensaje("Copia de seguridad escrita en " + Nativa(archivo), Icono::Informacion);
    else
        Mensaje("No se pudo escribir la copia de seguridad, " + error, Icono::Advertencia);
}

void RestauroBaseDesdeMenu(QWidget* ventana) {
    if (!Autorizo(ContextoActual(), Permisos::Recuperacion, Accion::Eliminar)) {
        Mensaje("Su perfil no tiene permiso para restaurar copias de seguridad de la base de datos",
                Icono::Informacion);
        return;
    }
    Mantenimiento::Rutas rutas = RutasDeAjustes();
    const QString archivo = ElijoArchivo(ModoArchivo::Abrir, "Restaurar copia", rutas.respaldo, Filtro);
    if (archivo.isEmpty()) return;
    if (Mantenimiento::MismoArchivo(archivo, rutas.base)) {
        Mensaje("No se pudo hacer la recuperación de la base de datos, la copia elegida es la base de datos misma",
                Icono::Advertencia);
        return;
    }
    rutas.respaldo = archivo;
    AppState& a = App();
    bool soltada = false;
    const Mantenimiento::Solicitante quien{ContextoActual(), {}, {}};
    // The restore works at file level on a worker thread; what it asks and what it must do with the
    // screens happens on theirs.
    const bool ok = DialogoProgreso::EnOtroHilo(ventana, "Restaurar copia", [&](Progreso& p) {
        return Mantenimiento::RecuperoBackUp(
            rutas, quien,
            [&] {
                DialogoProgreso::EnPantallas([&] {
                    // The screens hold rows of the books about to be replaced, and the restore needs
                    // the books alone: this program's own connection goes too.
                    if (!CierroPantallas()) return;
                    BorroSesion(a.currentSession);
                    a.currentSession = 0;
                    CierroBase();
                    soltada = true;
                });
                return soltada;
            },
            &p);
    });
    if (!soltada) return;
    if (ok) {
        Mensaje("Recuperación Exitosa: la base de datos " + Nativa(rutas.base) + " tiene ahora el contenido de " +
                    Nativa(archivo) + ". El programa se cerrará; al iniciarlo de nuevo trabajará con la base recuperada.",
                Icono::Informacion);
        // Opened again only so that the program ends as it always does; books of an older version
        // are left for the next start, which upgrades them after a backup.
        AbroBase(rutas.base);
        if (ventana) ventana->close();
        return;
    }
    // Refused: the books are as they were, and the program goes on with them.
    QString error;
    if (AbroBase(rutas.base, &error)) a.currentSession = NuevaSesion();
    if (a.currentSession == 0) {
        Mensaje("No se pudo abrir de nuevo la base de datos, " + (error.isEmpty() ? UltimoError() : error) +
                    ". El programa se cerrará.",
                Icono::Error);
        if (ventana) ventana->close();
    }
}
