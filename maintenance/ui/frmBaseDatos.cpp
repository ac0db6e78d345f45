#include "maintenance/ui/frmBaseDatos.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/ui/AplicoPermisos.h"
#include "core/ui/DialogoProgreso.h"
#include "core/ui/Mensaje.h"
#include "core/ui/frmAcceso.h"
#include "journal/Historial.h"
#include "maintenance/Mantenimiento.h"
#include "maintenance/ui/PantallasMantenimiento.h"

#include <QPushButton>
#include <QVBoxLayout>

frmBaseDatos::frmBaseDatos(QWidget* padre) : QDialog(padre) {
    setObjectName("frmBaseDatos");
    setWindowTitle("Base de Datos");
    setModal(true);

    auto boton = [this](const char* nombre, const QString& texto) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(nombre);
        b->setAccessibleName(QString(texto).remove('&'));
        b->setAutoDefault(false);
        b->setMinimumHeight(32);
        return b;
    };
    btnBackUp = boton("btnBackUp", "Compactar / Back Up");
    btnRecuperar = boton("btnRecuperar", "Recuperar de Back Up");
    btnVerificoHistorial = boton("btnVerificoHistorial", "Verificar historial de asientos");
    btnInicio = boton("btnInicio", "Inicio");
    // Offered at start-up, before anybody logs in; a user who opens it later may do what his
    // profile allows.
    MarcoAccion(btnBackUp, Permisos::CopiaSeguridad, Accion::Leer);
    MarcoAccion(btnRecuperar, Permisos::Recuperacion, Accion::Eliminar);

    auto* capa = new QVBoxLayout(this);
    capa->setContentsMargins(18, 18, 18, 18);
    capa->setSpacing(10);
    capa->addWidget(btnBackUp);
    capa->addWidget(btnRecuperar);
    capa->addWidget(btnVerificoHistorial);
    capa->addSpacing(8);
    capa->addWidget(btnInicio);
    setMinimumWidth(260);

    connect(btnBackUp, &QPushButton::clicked, this, &frmBaseDatos::HagoBackUp);
    connect(btnRecuperar, &QPushButton::clicked, this, &frmBaseDatos::RecuperoBackUp);
    connect(btnVerificoHistorial, &QPushButton::clicked, this, &frmBaseDatos::VerificoHistorial);
    connect(btnInicio, &QPushButton::clicked, this, &QDialog::accept);
}

// Both work at file level, apart from any connection of the program: on a worker thread behind the
// progress window (what they say or ask goes to the screens' thread).
void frmBaseDatos::HagoBackUp() {
    const Mantenimiento::Rutas rutas = RutasDeAjustes();
    if (DialogoProgreso::EnOtroHilo(this, "Compactar / Back Up", [&](Progreso& p) {
            return Mantenimiento::HagoBackUp(rutas, QDate::currentDate(), -1, &p);
        }))
        Mensaje("BackUp exitoso", Icono::Informacion);
}

void frmBaseDatos::RecuperoBackUp() {
    // Offered before anybody has logged in: an administrator of the books about to be replaced
    // identifies himself first (the restore checks it against them).
    Mantenimiento::Solicitante quien;
    frmAcceso acceso(this, QString::fromUtf8("Recuperación: identificación de un administrador"),
                     [&](const QString& nombre, const QString& contrasena) {
                         quien.nombre = nombre;
                         quien.contrasena = contrasena;
                         return true;
                     });
    if (acceso.exec() != QDialog::Accepted || quien.nombre.isEmpty()) return;
    const Mantenimiento::Rutas rutas = RutasDeAjustes();
    if (DialogoProgreso::EnOtroHilo(this, "Recuperar de Back Up", [&](Progreso& p) {
            return Mantenimiento::RecuperoBackUp(rutas, quien, {}, &p);
        }))
        Mensaje("Recuperación Exitosa", Icono::Informacion);
}

void frmBaseDatos::VerificoHistorial() {
    // Start-up offers this screen before the book is opened: then it is opened for the check alone.
    const bool abierta = BaseAbierta();
    QString error;
    if (!abierta && !AbroBase(App().databasePath, &error)) {
        Mensaje("No se pudo abrir la base de datos para verificar su historial; " + error, Icono::Error);
        return;
    }
    const VerificacionHistorial v = ::VerificoHistorial();
    if (!abierta) CierroBase();
    Mensaje(v.mensaje, v.entero ? Icono::Informacion : Icono::Advertencia);
}
