#include "fiscal/ui/frmEmpresasPropia.h"

#include "core/Valores.h"
#include "core/ui/Controles.h"
#include "core/ui/Mensaje.h"
#include "fiscal/Empresas.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

frmEmpresasPropia::frmEmpresasPropia(QWidget* padre) : Catalogo(padre) {
    setObjectName("frmEmpresasPropia");
    setWindowTitle("Empresas Propias");
    sentencias = Empresas::Sentencias();

    inpCUIT = new QLineEdit(this);
    inpCUIT->setObjectName("inpCUIT");
    inpCUIT->setAccessibleName("CUIT");
    inpCUIT->setPlaceholderText("XX-XXXXXXXX-X");
    inpCUIT->setToolTip(QString::fromUtf8("Clave Única de Identificación Tributaria (optativa)"));
    // Digits and the separators people type; the check digit is checked on saving.
    inpCUIT->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9 .-]{0,15}"), inpCUIT));
    inpDomicilio = new QLineEdit(this);
    inpDomicilio->setObjectName("inpDomicilio");
    inpDomicilio->setAccessibleName("Domicilio");
    inpDomicilio->setMaxLength(200);
    DetalleLayout()->addWidget(Marco(tabMaster, "fraCUIT", "CUIT", inpCUIT));
    DetalleLayout()->addWidget(Marco(tabMaster, "fraDomicilio", "Domicilio", inpDomicilio));
    VigiloCambios(inpCUIT);
    VigiloCambios(inpDomicilio);
}

void frmEmpresasPropia::MuestroCampos(const FilaLeida& r) {
    Catalogo::MuestroCampos(r);
    inpCUIT->setText(NuloAVacio(r.Valor("CUIT")));
    inpDomicilio->setText(NuloAVacio(r.Valor("Domicilio")));
}

void frmEmpresasPropia::CamposNuevos() {
    Catalogo::CamposNuevos();
    inpCUIT->clear();
    inpDomicilio->clear();
}

bool frmEmpresasPropia::ValidoCampos() {
    if (!Catalogo::ValidoCampos()) return false;
    QString motivo;
    if (!Empresas::NormalizoCuit(inpCUIT->text(), &motivo)) {
        Mensaje("Atención no se puede grabar el registro, " + motivo, Icono::Error);
        inpCUIT->setFocus();
        inpCUIT->selectAll();
        return false;
    }
    return true;
}

Resultado frmEmpresasPropia::GraboRegistro(int* codigoGuardado) {
    Resultado r = Catalogo::GraboRegistro(codigoGuardado);
    if (!r.ok) return r;
    // In the same transaction as the insert or update: a failure stores nothing of the record.
    const Resultado fiscales = Empresas::GraboDatosFiscales(
        *codigoGuardado, Empresas::NormalizoCuit(inpCUIT->text()).value_or(QString()), inpDomicilio->text());
    if (!fiscales.ok) return fiscales;
    if (!adding) return r;
    return Empresas::CopioDisposicion(*codigoGuardado);
}
