#include "security/ui/frmCambioContrasena.h"

#include "core/AppState.h"
#include "core/Valores.h"
#include "core/ui/Controles.h"
#include "core/ui/Cursor.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/Ventanas.h"
#include "security/Usuarios.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
QLineEdit* CampoContrasena(QWidget* padre, QVBoxLayout* capas, const char* nombre, const QString& marco) {
    auto* caja = new QGroupBox(marco, padre);
    auto* l = new QVBoxLayout(caja);
    auto* campo = new QLineEdit(caja);
    campo->setObjectName(QLatin1String(nombre));
    campo->setEchoMode(QLineEdit::Password);
    // No longer than the login window takes it, or the new password could never be typed there.
    LargoMaximo(campo, LargoContrasena);
    // One "*" per character typed, as in the login window.
    campo->setStyleSheet("lineedit-password-character: 42");
    campo->setAccessibleName(marco);
    l->addWidget(campo);
    capas->addWidget(caja);
    return campo;
}
} // namespace

frmCambioContrasena::frmCambioContrasena(QWidget* padre) : QDialog(padre) {
    setObjectName("frmCambioContrasena");
    setWindowTitle(QStringLiteral("Cambio de Contraseña"));
    auto* capas = new QVBoxLayout(this);

    lblUsuario = new QLabel(this);
    lblUsuario->setObjectName("lblUsuario");
    lblUsuario->setText("Usuario: " + NombreCortoUsuario(App().currentUser));
    lblUsuario->setAccessibleName(lblUsuario->text());
    capas->addWidget(lblUsuario);

    inpContrasenaActual =
        CampoContrasena(this, capas, "inpContrasenaActual", QStringLiteral("Contraseña actual"));
    inpNuevaContrasena =
        CampoContrasena(this, capas, "inpNuevaContrasena", QStringLiteral("Nueva contraseña"));
    inpConfirmacionContrasena =
        CampoContrasena(this, capas, "inpConfirmacionContrasena", QStringLiteral("Confirmación contraseña"));

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    btnOk = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QString(), this);
    btnOk->setObjectName("btnOk");
    btnOk->setToolTip("Aceptar");
    btnOk->setAccessibleName("Aceptar");
    btnOk->setAutoDefault(false);
    btnCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QString(), this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setToolTip("Cancelar");
    btnCancel->setAccessibleName("Cancelar");
    btnCancel->setAutoDefault(false);
    for (QPushButton* b : {btnOk, btnCancel}) {
        b->setIconSize(QSize(24, 24));
        b->setMinimumSize(48, 36);
        botones->addWidget(b);
    }
    capas->addLayout(botones);
    setMinimumWidth(300);

    connect(btnOk, &QPushButton::clicked, this, &frmCambioContrasena::Acepto);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(inpConfirmacionContrasena, &QLineEdit::returnPressed, this, &frmCambioContrasena::Acepto);
}

void frmCambioContrasena::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!centrada) {
        CentroVentana(this);
        centrada = true;
    }
}

void frmCambioContrasena::done(int r) {
    QDialog::done(r);
    MuestroFondo();
}

void frmCambioContrasena::Acepto() {
    const QString nueva = inpNuevaContrasena->text();
    // Compared exactly, letter case included, although the stored hash ignores it.
    if (inpConfirmacionContrasena->text() != nueva) {
        Mensaje("La Nueva Contraseña debe coincidir con la Confirmación de contraseña", Icono::Informacion);
        return;
    }
    if (nueva.isEmpty()) {
        Mensaje("La nueva contraseña no puede ser nula", Icono::Informacion);
        return;
    }
    QString error;
    CambioClave r;
    {
        Espera espera;
        r = CambioContrasena(App().currentUser, inpContrasenaActual->text(), nueva, &error);
    }
    switch (r) {
    case CambioClave::Hecho:
        accept();
        break;
    case CambioClave::ActualIncorrecta:
        Mensaje("Lo siento, no se pudo actualizar contraseña, verifique que la identificación o contraseña "
                "actual "
                "sean correctas",
                Icono::Error);
        break;
    case CambioClave::Falla:
        Mensaje(error, Icono::Error);
        break;
    }
}
