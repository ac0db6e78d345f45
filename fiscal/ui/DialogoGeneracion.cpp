#include "fiscal/ui/DialogoGeneracion.h"

#include "core/AppState.h"
#include "core/ui/AplicoPermisos.h"
#include "core/ui/Controles.h"
#include "core/ui/Cursor.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/Ventanas.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

DialogoGeneracion::DialogoGeneracion(QWidget* padre, const char* nombre, const QString& titulo)
    : QDialog(padre), empresa(App().currentCompany), ejercicio(App().currentYear) {
    setObjectName(QLatin1String(nombre));
    setWindowTitle(titulo);
    auto* capas = new QVBoxLayout(this);
    campos = new QVBoxLayout;
    capas->addLayout(campos);
    capas->addStretch();

    btnOk = BotonImagen(this, "btnOk", QStyle::SP_DialogOkButton, "Aceptar");
    btnCancel = BotonImagen(this, "btnCancel", QStyle::SP_DialogCancelButton, "Cancelar");
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    for (QToolButton* b : {btnOk, btnCancel}) {
        b->setFocusPolicy(Qt::StrongFocus);
        b->setMinimumSize(48, 36);
        botones->addWidget(b);
    }
    capas->addLayout(botones);
    // A profile that may only read sees what would be generated, and generates nothing.
    MarcoControl(btnOk, "RO");
    setMinimumWidth(460);
    connect(btnOk, &QToolButton::clicked, this, &DialogoGeneracion::Generar);
    connect(btnCancel, &QToolButton::clicked, this, &QDialog::reject);

    periodo = LeoPeriodo(empresa, ejercicio);
    if (!periodo) {
        Mensaje("No puede utilizar éste módulo si todavía no seleccionó un ejercicio (EmpresaPropia-Período)",
                Icono::Error);
        setProperty("rechazada", true);
    }
}

QLineEdit* DialogoGeneracion::Leyenda(const char* nombre, const QString& etiqueta, const QString& texto) {
    auto* campo = new QLineEdit(texto, this);
    campo->setObjectName(QLatin1String(nombre));
    campo->setAccessibleName(etiqueta);
    auto* rotulo = new QLabel(etiqueta, this);
    rotulo->setObjectName(QString(QLatin1String(nombre)).replace(0, 3, "lbl"));
    rotulo->setBuddy(campo);
    campos->addWidget(rotulo);
    campos->addWidget(campo);
    return campo;
}

void DialogoGeneracion::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!centrada) {
        CentroVentana(this);
        InicioGrillas(this);
        centrada = true;
    }
    btnCancel->setFocus();
}

void DialogoGeneracion::done(int r) {
    QDialog::done(r);
    MuestroFondo();
}

void DialogoGeneracion::Generar() {
    Generacion g;
    {
        Espera espera;
        g = Genero();
    }
    if (g.ok) {
        Mensaje(g.mensaje);
        accept();
        return;
    }
    // A refusal by a rule is information; a failed statement, rolled back, a warning.
    Mensaje(g.mensaje, g.rechazada ? Icono::Informacion : Icono::Advertencia);
}
