#include "core/ui/frmAcceso.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Contrasenas.h"
#include "core/ui/Ayuda.h"
#include "core/ui/Controles.h"
#include "core/ui/Cursor.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Ventanas.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
QLineEdit* CampoEnMarco(QWidget* padre, QVBoxLayout* destino, const QString& titulo, const char* nombre,
                        int largo) {
    auto* marco = new QGroupBox(titulo, padre);
    auto* campo = new QLineEdit(marco);
    campo->setObjectName(nombre);
    campo->setAccessibleName(titulo);
    LargoMaximo(campo, largo);
    auto* l = new QVBoxLayout(marco);
    l->addWidget(campo);
    destino->addWidget(marco);
    return campo;
}

QPushButton* BotonConDibujo(QWidget* padre, const char* nombre, QStyle::StandardPixmap dibujo,
                            const QString& accion) {
    auto* b = new QPushButton(padre);
    b->setObjectName(nombre);
    b->setIcon(padre->style()->standardIcon(dibujo));
    b->setIconSize(QSize(24, 24));
    b->setMinimumSize(56, 40);
    b->setToolTip(accion);
    b->setAccessibleName(accion);
    // Enter is handled by the fields themselves, never by a default button.
    b->setAutoDefault(false);
    return b;
}
} // namespace

frmAcceso::frmAcceso(QWidget* padre, bool servidor) : QDialog(padre), alServidor(servidor) {
    IniciaRecursos();
    setObjectName("frmAcceso");
    setWindowTitle("Acceso a Sistema");
    setWindowIcon(QIcon(":/images/partidex.png"));
    App().loginAccepted = false;

    auto* logo = new QLabel(this);
    logo->setObjectName("imgLogo");
    logo->setPixmap(QIcon(":/images/partidex.png").pixmap(64, 64));
    logo->setAccessibleName("Partidex");
    logo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* campos = new QVBoxLayout;
    inpUsuario = CampoEnMarco(this, campos, "Usuario", "inpUsuario", LargoNombreUsuario);
    inpContrasena = CampoEnMarco(this, campos, "Contraseña", "inpContrasena", LargoContrasena);
    inpContrasena->setEchoMode(QLineEdit::Password);
    inpContrasena->setStyleSheet("lineedit-password-character: 42");

    btnOk = BotonConDibujo(this, "btnOk", QStyle::SP_DialogOkButton, "Aceptar");
    btnCancel = BotonConDibujo(this, "btnCancel", QStyle::SP_DialogCancelButton, "Cancelar");
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(btnOk);
    botones->addWidget(btnCancel);

    auto* arriba = new QHBoxLayout;
    arriba->addWidget(logo);
    arriba->addLayout(campos, 1);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(arriba);
    todo->addLayout(botones);
    setMinimumWidth(340);

    connect(btnOk, &QPushButton::clicked, this, &frmAcceso::AceptoUsuario);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(inpContrasena, &QLineEdit::returnPressed, this, &frmAcceso::AceptoUsuario);
    connect(inpUsuario, &QLineEdit::returnPressed, inpContrasena, qOverload<>(&QWidget::setFocus));
    inpUsuario->setFocus();
}

void frmAcceso::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    CentroVentana(this);
}

frmAcceso::frmAcceso(QWidget* padre, const QString& titulo,
                     std::function<bool(const QString&, const QString&)> alAceptar)
    : frmAcceso(padre) {
    setWindowTitle(titulo);
    acepto = std::move(alAceptar);
}

namespace {
const char* const Incorrecta = "Lo siento, Identificación o contraseña incorrecta";
}

bool frmAcceso::VerificoEnLibro() {
    int numero = -1;
    {
        Espera espera;
        numero = BuscoUsuario(usuario, contrasena);
    }
    contrasena.clear();
    App().loginAccepted = numero >= 0;
    if (numero < 0) {
        Mensaje(QString::fromUtf8(Incorrecta), Icono::Error);
        return false;
    }
    App().currentUser = numero;
    return true;
}

void frmAcceso::AceptoUsuario() {
    if (acepto) {
        if (acepto(inpUsuario->text(), inpContrasena->text())) accept();
        return;
    }
    if (alServidor) {
        QString error;
        AccesoServidor ingreso = AccesoServidor::Admitido;
        {
            Espera espera;
            ingreso = AccedoAlServidor(App().databasePath, inpUsuario->text(), inpContrasena->text(), &error);
        }
        if (ingreso == AccesoServidor::Rechazado) {
            Mensaje(QString::fromUtf8(Incorrecta), Icono::Error);
            return;
        }
        if (ingreso == AccesoServidor::SinServidor) {
            Mensaje("No se pudo conectar con el servidor de base de datos, " + error, Icono::Error);
            return;
        }
        usuario = inpUsuario->text();
        contrasena = inpContrasena->text();
        App().loginAccepted = true;
        accept();
        return;
    }
    int usuario = -1;
    {
        Espera espera; // the hash check takes a moment
        usuario = BuscoUsuario(inpUsuario->text(), inpContrasena->text());
    }
    if (usuario < 0) {
        Mensaje(QString::fromUtf8(Incorrecta), Icono::Error);
        return;
    }
    App().currentUser = usuario;
    App().loginAccepted = true;
    accept();
}
