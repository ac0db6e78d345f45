#include "security/ui/frmUsuarios.h"

#include "core/AppState.h"
#include "core/Contexto.h"
#include "core/Valores.h"
#include "core/ui/Controles.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Principal.h"
#include "core/ui/Ventanas.h"
#include "security/Usuarios.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

std::function<void()>& frmUsuarios::RefrescoCaption() {
    static std::function<void()> f = RefrescoCaptionPrincipal;
    return f;
}

frmUsuarios::frmUsuarios(QWidget* padre) : Catalogo(padre) {
    setObjectName("frmUsuarios");
    setWindowTitle("Usuarios");
    // No key handling in this list: Enter does not select and typing does not search.
    manejoTeclasLista = false;

    // The code field holds the login name: any text.
    inpCodigo->setValidator(nullptr);
    // No longer than the login window takes it, or the user could never log in.
    LargoMaximo(inpCodigo, LargoNombreUsuario);
    fraCodigo->setTitle("Usuario");
    inpCodigo->setAccessibleName("Usuario");
    fraDescripcion->setTitle("Nombre");
    inpDescripcion->setAccessibleName("Nombre");

    // List filters.
    ftrActivo0 = new QCheckBox("Activo", this);
    ftrActivo0->setObjectName("ftrActivo0");
    ftrActivo0->setAccessibleName("Activo");
    ftrActivo0->setChecked(true);
    ftrActivo1 = new QCheckBox("No Act", this);
    ftrActivo1->setObjectName("ftrActivo1");
    ftrActivo1->setAccessibleName("No Act");
    btnActualizar = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), QString(), this);
    btnActualizar->setObjectName("btnActualizar");
    btnActualizar->setToolTip("Actualizar listado en base a filtros");
    btnActualizar->setAccessibleName("Actualizar listado en base a filtros");
    btnActualizar->setAutoDefault(false);
    auto* filtros = new QHBoxLayout;
    filtros->addWidget(ftrActivo0);
    filtros->addWidget(ftrActivo1);
    filtros->addStretch();
    filtros->addWidget(btnActualizar);
    EncimaListaLayout()->addLayout(filtros);

    // Detail: profile, active, password.
    cmbPerfil = new QComboBox(this);
    cmbPerfil->setObjectName("cmbPerfil");
    cmbPerfil->setAccessibleName("Perfil");
    fraPerfiles = new QGroupBox("Perfil", tabMaster);
    fraPerfiles->setObjectName("fraPerfiles");
    (new QVBoxLayout(fraPerfiles))->addWidget(cmbPerfil);
    DetalleLayout()->addWidget(fraPerfiles);
    chkActivo = new QCheckBox("Activo", this);
    chkActivo->setObjectName("chkActivo");
    chkActivo->setAccessibleName("Activo");
    DetalleLayout()->addWidget(chkActivo);
    inpContrasena = new QLineEdit(this);
    inpContrasena->setObjectName("inpContrasena");
    inpContrasena->setEchoMode(QLineEdit::Password);
    LargoMaximo(inpContrasena, LargoContrasena);
    // One "*" per character typed, as in the login window.
    inpContrasena->setStyleSheet("lineedit-password-character: 42");
    inpContrasena->setAccessibleName("Contraseña");
    auto* fraContrasena = new QGroupBox("Contraseña", tabMaster);
    fraContrasena->setObjectName("fraContrasena");
    (new QVBoxLayout(fraContrasena))->addWidget(inpContrasena);
    DetalleLayout()->addWidget(fraContrasena);
    btnBorrarContrasena = new QPushButton(QStringLiteral("Blanquear Contraseña"), this);
    btnBorrarContrasena->setObjectName("btnBorrarContrasena");
    btnBorrarContrasena->setAccessibleName(QStringLiteral("Blanquear Contraseña"));
    btnBorrarContrasena->setAutoDefault(false);
    DetalleLayout()->addWidget(btnBorrarContrasena);

    // Typing a password does not mark the record by itself.
    VigiloCambios(cmbPerfil);
    VigiloCambios(chkActivo);
    connect(btnBorrarContrasena, &QPushButton::clicked, this, &frmUsuarios::BlanqueoContrasena);
    connect(btnActualizar, &QPushButton::clicked, this, &frmUsuarios::Actualizo);
}

void frmUsuarios::LlenoInicial() {
    LlenoCombo(cmbPerfil, OpcionesPerfiles(ContextoActual()), perfiles);
    cmbPerfil->setCurrentIndex(-1);
    // The menu's true names no user: the list opens on its first row.
    LlenoLista(NumeroInicial(App().preselection, -1));
}

FilasLeidas frmUsuarios::ConsultoLista() {
    return LeoUsuarios(ContextoActual(), ftrActivo0->isChecked(), ftrActivo1->isChecked());
}

QStringList frmUsuarios::TextosFila(const FilaLeida& r) {
    return {NuloAVacio(r.Valor("Usuario")), NuloAVacio(r.Valor("descUsuario"))};
}

std::optional<FilaLeida> frmUsuarios::ConsultoRegistro(const QString& codigo) {
    return LeoUsuario(ContextoActual(), int(NumeroOCero(QVariant(codigo))));
}

void frmUsuarios::MuestroCampos(const FilaLeida& r) {
    inpCodigo->setText(NuloAVacio(r.Valor("NombreCorto")));
    inpDescripcion->setText(NuloAVacio(r.Valor("descUsuario")));
    cmbPerfil->setCurrentIndex(IndiceEnLista(r.Valor("Perfil"), perfiles));
    chkActivo->setChecked(NumeroOCero(r.Valor("Activo")) != 0);
    // The stored value is a hash: never shown. The field holds only what the user types.
    inpContrasena->clear();
}

void frmUsuarios::CamposNuevos() {
    inpCodigo->clear();
    inpDescripcion->clear();
    inpContrasena->clear();
    chkActivo->setChecked(true);
    cmbPerfil->setCurrentIndex(-1);
}

bool frmUsuarios::ValidoCampos() {
    if (inpCodigo->text().isEmpty()) {
        Mensaje(QStringLiteral("Complete la descripción corta de usuario"), Icono::Informacion);
        return false;
    }
    // A user without a profile would log in with no name in the caption and no permission row.
    const int i = cmbPerfil->currentIndex();
    if (i < 0 || i >= perfiles.size()) {
        Mensaje(QStringLiteral("Atención no se puede grabar el registro, elija un perfil"),
                Icono::Informacion);
        cmbPerfil->setFocus();
        return false;
    }
    return true;
}

Resultado frmUsuarios::GraboRegistro(int* codigoGuardado) {
    DatosUsuario d;
    d.nombreCorto = inpCodigo->text();
    d.descripcion = inpDescripcion->text().isNull() ? QString("") : inpDescripcion->text();
    const int i = cmbPerfil->currentIndex();
    if (i >= 0 && i < perfiles.size()) d.perfil = perfiles[i];
    d.contrasena = inpContrasena->text();
    d.activo = chkActivo->isChecked();
    const ResultadoUsuario u = GraboUsuario(ContextoActual(), adding ? -1 : CodigoFila(editRow).toInt(), d);
    Resultado r;
    r.ok = u.ok;
    r.error = u.error;
    r.filas = u.ok ? 1 : 0;
    *codigoGuardado = u.usuario;
    return r;
}

void frmUsuarios::DespuesDeGuardar(int codigoGuardado, bool eraNuevo) {
    if (!eraNuevo && codigoGuardado == App().currentUser && RefrescoCaption()) RefrescoCaption()();
}

Resultado frmUsuarios::BorroRegistro(const QString& codigo) {
    return BorroUsuario(ContextoActual(), int(NumeroOCero(QVariant(codigo))));
}

void frmUsuarios::BlanqueoContrasena() {
    if (Mensaje(QStringLiteral("Cambiará la contraseña del usuario actual por su nombre"), Icono::Advertencia,
                Botones::OkCancelar) != Respuesta::Ok)
        return;
    inpContrasena->setText(inpCodigo->text());
    MarcoEditado();
}

void frmUsuarios::Actualizo() {
    if (!PreguntoGuardar()) return;
    const int fila = sprMaster->filaActiva();
    LlenoLista(fila > 0 ? CodigoFila(fila).toInt() : -1);
}
