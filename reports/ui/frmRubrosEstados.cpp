#include "reports/ui/frmRubrosEstados.h"

#include "accounts/CodigosJerarquicos.h"
#include "core/AppState.h"
#include "core/Configuracion.h"
#include "core/Valores.h"
#include "core/ui/Controles.h"
#include "core/ui/Mensaje.h"
#include "reports/estados/Rubros.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmRubrosEstados::frmRubrosEstados(QWidget* padre) : Catalogo(padre) {
    setObjectName("frmRubrosEstados");
    setWindowTitle("Rubros de los Estados Contables");
    btnSeleccionar->hide();
    fraCodigo->setTitle("Cuenta (Cód. Jerárquico)");
    inpCodigo->setValidator(nullptr);
    inpCodigo->setAccessibleName("Código jerárquico de la cuenta");
    fraDescripcion->setTitle("Descripción");
    inpDescripcion->setReadOnly(true);
    cmbRubro = new QComboBox(this);
    cmbRubro->setObjectName("cmbRubro");
    cmbRubro->setAccessibleName("Rubro");
    for (const Estados::Rubro& r : Estados::Rubros())
        cmbRubro->addItem(r.nombre, r.codigo);
    chkNoCorriente = new QCheckBox("No corriente", this);
    chkNoCorriente->setObjectName("chkNoCorriente");
    chkNoCorriente->setAccessibleName("No corriente");
    DetalleLayout()->addWidget(Marco(this, "fraRubro", "Rubro", cmbRubro));
    DetalleLayout()->addWidget(chkNoCorriente);
    VigiloCambios(inpCodigo);
    VigiloCambios(cmbRubro);
    VigiloCambios(chkNoCorriente);
    if (!EjercicioActualExiste()) {
        Mensaje("No puede utilizar éste módulo si todavía no seleccionó un ejercicio (EmpresaPropia-Período)",
                Icono::Error);
        setProperty("rechazada", true);
    }
}

FilasLeidas frmRubrosEstados::ConsultoLista() {
    return Estados::FilasRubros(ContextoActual());
}

QStringList frmRubrosEstados::TextosFila(const FilaLeida& r) {
    QString texto = NuloAVacio(r.Valor("Codigo")) + " " + NuloAVacio(r.Valor("Descripcion")) + " — " +
                    NuloAVacio(r.Valor("nomRubro"));
    if (NumeroOCero(r.Valor("NoCorriente")) != 0) texto += " (no corriente)";
    return {NuloAVacio(r.Valor("Cuenta")), texto};
}

std::optional<FilaLeida> frmRubrosEstados::ConsultoRegistro(const QString& codigo) {
    for (const FilaLeida& f : Estados::FilasRubros(ContextoActual()).filas)
        if (NuloAVacio(f.Valor("Cuenta")) == codigo) return f;
    return std::nullopt;
}

void frmRubrosEstados::MuestroCampos(const FilaLeida& r) {
    mostrada = int(NumeroOCero(r.Valor("Cuenta")));
    inpCodigo->setText(NuloAVacio(r.Valor("Codigo")));
    inpDescripcion->setText(NuloAVacio(r.Valor("Descripcion")));
    cmbRubro->setCurrentIndex(cmbRubro->findData(int(NumeroOCero(r.Valor("Rubro")))));
    chkNoCorriente->setChecked(NumeroOCero(r.Valor("NoCorriente")) != 0);
}

void frmRubrosEstados::CamposNuevos() {
    mostrada = 0;
    inpCodigo->clear();
    inpDescripcion->clear();
    cmbRubro->setCurrentIndex(0);
    chkNoCorriente->setChecked(false);
}

int frmRubrosEstados::CuentaTipeada() const {
    const Contexto ctx = ContextoActual();
    return CuentaDeCodJer(inpCodigo->text().trimmed(), ctx.empresa, ctx.ejercicio);
}

bool frmRubrosEstados::ValidoCampos() {
    if (CuentaTipeada() <= 0) {
        Mensaje("Atención no se puede grabar el registro, escriba el código jerárquico de una cuenta del plan",
                Icono::Informacion);
        return false;
    }
    return true;
}

Resultado frmRubrosEstados::GraboRegistro(int* codigoGuardado) {
    const Estados::Asignacion a{CuentaTipeada(), cmbRubro->currentData().toInt(), chkNoCorriente->isChecked()};
    *codigoGuardado = a.cuenta;
    return Estados::GraboAsignacion(ContextoActual(), a, mostrada);
}

Resultado frmRubrosEstados::BorroRegistro(const QString& codigo) {
    return Estados::BorroAsignacion(ContextoActual(), codigo.toInt());
}
