#include "fiscal/ui/frmEjercicios.h"

#include "core/AppState.h"
#include "core/Contexto.h"
#include "core/Valores.h"
#include "core/ui/Controles.h"
#include "core/ui/Cursor.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Ofertas.h"
#include "core/ui/Pantallas.h"
#include "core/ui/Ventanas.h"
#include "fiscal/Ejercicios.h"
#include "fiscal/Empresas.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A typed date: the whole dd/mm/yyyy text and a real day, or an invalid date.
QDate FechaCampo(const QLineEdit* campo) {
    const QString t = campo->text();
    return t.size() == 10 ? TextoAFecha(t) : QDate();
}

QPushButton* BotonPlan(QWidget* padre, const char* nombre, const QString& texto, const QString& tip) {
    auto* b = new QPushButton(texto, padre);
    b->setObjectName(QLatin1String(nombre));
    b->setToolTip(tip);
    b->setAccessibleName(texto);
    b->setAutoDefault(false);
    return b;
}
} // namespace

frmEjercicios::frmEjercicios(QWidget* padre) : Catalogo(padre) {
    setObjectName("frmEjercicios");
    setWindowTitle("Ejercicios");

    // Company chooser above the list.
    cmbEmpresasPropia = new QComboBox(this);
    cmbEmpresasPropia->setObjectName("cmbEmpresasPropia");
    cmbEmpresasPropia->setAccessibleName("Empresa propia");
    fraEmpresasPropia = Marco(this, "fraEmpresasPropia", "Empresa propia", cmbEmpresasPropia);
    EncimaListaLayout()->addWidget(fraEmpresasPropia);

    // Year numbers are given by the system and there is no search: only the list of periods.
    fraBusqueda->hide();
    fraCodigo->hide();
    fraDescripcion->hide();
    manejoTeclasLista = true;
    sprMaster->setColumnas(3);
    sprMaster->setEncabezado(1, "Núm");
    sprMaster->setEncabezado(2, "Desde");
    sprMaster->setEncabezado(3, "Hasta");
    sprMaster->setAnchoColumna(1, 50);
    sprMaster->setAnchoColumna(2, 100);
    sprMaster->setAnchoColumna(3, 100);
    sprMaster->setAccessibleName("Ejercicios");

    // Detail: the period and the index table.
    inpComienzoEjercicio = CampoFecha(this, "inpComienzoEjercicio", "Desde");
    inpFinEjercicio = CampoFecha(this, "inpFinEjercicio", "Hasta");
    auto* periodo = new QHBoxLayout;
    periodo->addWidget(Marco(tabMaster, "fraComienzoEjercicio", "Desde", inpComienzoEjercicio));
    periodo->addWidget(Marco(tabMaster, "fraFinEjercicio", "Hasta", inpFinEjercicio));
    DetalleLayout()->addLayout(periodo);
    pnlTablaAjusteInflacion = new QPushButton(this);
    pnlTablaAjusteInflacion->setObjectName("pnlTablaAjusteInflacion");
    pnlTablaAjusteInflacion->setToolTip("Seleccionar tabla de ajuste");
    pnlTablaAjusteInflacion->setAccessibleName("Tabla Ajuste");
    pnlTablaAjusteInflacion->setAutoDefault(false);
    pnlTablaAjusteInflacion->setMinimumWidth(200);
    pnlTablaAjusteInflacion->installEventFilter(this);
    DetalleLayout()->addWidget(
        Marco(tabMaster, "fraTablaAjusteInflacion", "Tabla Ajuste", pnlTablaAjusteInflacion));

    // Chart management, on the whole window: it works on the year of the active row.
    btnCopiarPlanCuentas =
        BotonPlan(this, "btnCopiarPlanCuentas", "Copiar Plan de cuentas actual",
                  "Copia el plan de cuentas del ejercicio seleccionado al Portapapeles interno, "
                  "para pegarlo en otro ejercicio");
    btnPegarPlanCuentas =
        BotonPlan(this, "btnPegarPlanCuentas", "Pegar Plan de cuentas",
                  "Pega el plan de cuentas del Portapapeles interno en el ejercicio seleccionado");
    btnVerPlanCuentas = BotonPlan(this, "btnVerPlanCuentas", "Ver Plan de cuentas actual",
                                  "Abre módulo de plan de cuentas para ejercicio actual");
    fraPlanCuentas = new QGroupBox("Gestión Plan de cuentas", this);
    fraPlanCuentas->setObjectName("fraPlanCuentas");
    auto* plan = new QHBoxLayout(fraPlanCuentas);
    plan->addWidget(btnCopiarPlanCuentas);
    plan->addWidget(btnPegarPlanCuentas);
    plan->addWidget(btnVerPlanCuentas);
    if (auto* raiz = qobject_cast<QVBoxLayout*>(layout())) {
        auto* fila = new QHBoxLayout;
        fila->setContentsMargins(8, 0, 8, 8);
        fila->addWidget(fraPlanCuentas);
        raiz->addLayout(fila);
    }

    VigiloCambios(inpComienzoEjercicio);
    VigiloCambios(inpFinEjercicio);
    connect(cmbEmpresasPropia, &QComboBox::activated, this, &frmEjercicios::ElijoEmpresa);
    connect(pnlTablaAjusteInflacion, &QPushButton::clicked, this, &frmEjercicios::ElijoTabla);
    connect(btnCopiarPlanCuentas, &QPushButton::clicked, this, &frmEjercicios::CopioPlan);
    connect(btnPegarPlanCuentas, &QPushButton::clicked, this, &frmEjercicios::PegoPlan);
    connect(btnVerPlanCuentas, &QPushButton::clicked, this, &frmEjercicios::VerPlan);
    resize(720, 460);
}

int frmEjercicios::EjercicioActivo() const {
    return CodigoFila(sprMaster->filaActiva()).toInt();
}

void frmEjercicios::LlenoInicial() {
    // The caller hands in its company and year; closing without Seleccionar hands them back.
    chosenCompany = App().companyParameter;
    chosenYear = App().preselection;
    shownCompany = int(NumeroOCero(App().companyParameter));
    copySourceCompany = -1;
    btnVerPlanCuentas->setEnabled(Pantallas::Registrada("frmCuentas"));
    LlenoCombo(cmbEmpresasPropia, Empresas::Opciones(ContextoActual()), empresas);
    int indice = IndiceEnLista(shownCompany, empresas);
    // No current company yet: the first one in the list.
    if (indice < 0 && !empresas.isEmpty()) indice = 0;
    cmbEmpresasPropia->setCurrentIndex(indice);
    if (indice >= 0) shownCompany = empresas[indice];
    LlenoLista(int(NumeroOMenosUno(App().preselection)));
}

void frmEjercicios::ElijoEmpresa(int indice) {
    if (indice < 0 || indice >= empresas.size()) return;
    if (empresas[indice] == shownCompany) return;
    if (!PreguntoGuardar()) {
        cmbEmpresasPropia->setCurrentIndex(IndiceEnLista(shownCompany, empresas));
        return;
    }
    shownCompany = empresas[indice];
    LlenoLista(-1);
}

FilasLeidas frmEjercicios::ConsultoLista() {
    return Ejercicios::LeoEjercicios(ContextoActual(), shownCompany);
}

QStringList frmEjercicios::TextosFila(const FilaLeida& r) {
    return {NuloAVacio(r.Valor("NumEjercicio")), FechaATexto(r.Valor("ComienzoEjercicio")),
            FechaATexto(r.Valor("FinEjercicio"))};
}

int frmEjercicios::FilaPosicion(int codigo, const QString&) {
    const int f = FilaDeCodigo(codigo);
    return f > 0 ? f : sprMaster->filas();
}

std::optional<FilaLeida> frmEjercicios::ConsultoRegistro(const QString& codigo) {
    return Ejercicios::LeoEjercicio(ContextoActual(), shownCompany, int(NumeroOCero(QVariant(codigo))));
}

void frmEjercicios::MuestroCampos(const FilaLeida& r) {
    inpComienzoEjercicio->setText(FechaATexto(r.Valor("ComienzoEjercicio")));
    inpFinEjercicio->setText(FechaATexto(r.Valor("FinEjercicio")));
    indexTable = int(NumeroOMenosUno(r.Valor("TablaAjusteInflacion")));
    MuestroTabla(Ejercicios::DescripcionTabla(indexTable));
}

void frmEjercicios::MuestroTabla(const QString& descripcion) {
    textoTabla = descripcion;
    pnlTablaAjusteInflacion->setText(
        descripcion.isEmpty() ? QString()
                              : AjustoTexto(descripcion, pnlTablaAjusteInflacion->width(), this).trimmed());
    pnlTablaAjusteInflacion->setAccessibleDescription(descripcion);
}

void frmEjercicios::CamposNuevos() {
    inpComienzoEjercicio->clear();
    inpFinEjercicio->clear();
    indexTable = -1;
    MuestroTabla(QString());
    inpComienzoEjercicio->setFocus();
}

bool frmEjercicios::ValidoCampos() {
    // No company stored yet: a year has nobody to belong to.
    if (IndiceEnLista(shownCompany, empresas) < 0) {
        Mensaje("Atención no se puede grabar el registro, elija una empresa propia", Icono::Error);
        return false;
    }
    const int ejercicio = adding ? -1 : CodigoFila(editRow).toInt();
    const Ejercicios::Veredicto v = Ejercicios::VerificoPeriodo(
        shownCompany, ejercicio, FechaCampo(inpComienzoEjercicio), FechaCampo(inpFinEjercicio));
    if (!v.ok) {
        Mensaje(v.mensaje, v.deMotor ? Icono::Advertencia : Icono::Error);
        return false;
    }
    return true;
}

Resultado frmEjercicios::GraboRegistro(int* codigoGuardado) {
    const int ejercicio = adding ? -1 : CodigoFila(editRow).toInt();
    const Ejercicios::Veredicto v = Ejercicios::GraboEjercicio(ContextoActual(), 
        shownCompany, ejercicio, FechaCampo(inpComienzoEjercicio), FechaCampo(inpFinEjercicio), indexTable);
    Resultado r;
    r.ok = v.ok;
    r.error = v.detalle;
    r.filas = v.ok ? 1 : 0;
    *codigoGuardado = v.ejercicio;
    return r;
}

void frmEjercicios::DespuesDeGuardar(int codigoGuardado, bool eraNuevo) {
    // A new year starts with only its root account: the model chart may be offered.
    if (eraNuevo) OfrezcoEjercicioNuevo(shownCompany, codigoGuardado);
}

Resultado frmEjercicios::BorroRegistro(const QString& codigo) {
    const Ejercicios::Veredicto v = Ejercicios::BorroEjercicio(ContextoActual(), shownCompany, codigo.toInt());
    Resultado r;
    r.ok = v.ok;
    r.error = v.detalle;
    r.filas = v.ok ? 1 : 0;
    return r;
}

void frmEjercicios::EntregoSeleccion(int fila) {
    Catalogo::EntregoSeleccion(fila);
    elegido->empresa = shownCompany;
    chosenYear = CodigoFila(fila);
    chosenCompany = shownCompany;
}

void frmEjercicios::Descargo() {
    App().companyParameter = chosenCompany;
    App().preselection = chosenYear;
}

QWidget* frmEjercicios::FocoInicial() {
    return sprMaster;
}

bool frmEjercicios::eventFilter(QObject* objeto, QEvent* e) {
    // The table's name is fitted to the button's width whenever it changes.
    if (objeto == pnlTablaAjusteInflacion && e->type() == QEvent::Resize) MuestroTabla(textoTabla);
    return Catalogo::eventFilter(objeto, e);
}

void frmEjercicios::ElijoTabla() {
    const std::optional<Eleccion> tabla = Pantallas::Elijo("frmTablasAjusteInflacion", indexTable, this);
    if (!tabla || tabla->codigo < 0) return;
    indexTable = tabla->codigo;
    MuestroTabla(tabla->texto);
    MarcoEditado();
}

void frmEjercicios::CopioPlan() {
    const int ejercicio = EjercicioActivo();
    if (ejercicio <= 0) return;
    copySourceCompany = shownCompany;
    copySourceYear = ejercicio;
}

void frmEjercicios::PegoPlan() {
    if (adding) {
        Mensaje("No puede pegar un plan de cuentas en un ejercicio que todavía no grabó", Icono::Informacion);
        return;
    }
    if (copySourceCompany < 0) {
        Mensaje("Debe Copiar un plan antes de poder pegar", Icono::Informacion);
        return;
    }
    const int destino = EjercicioActivo();
    if (destino <= 0) return;
    if (Mensaje("Está seguro que quiere que el plan de cuentas del ejercicio actual sea una copia del plan "
                "de cuentas "
                "del ejercicio: " +
                    Ejercicios::DescripcionEjercicio(copySourceCompany, copySourceYear) +
                    ", si existía un plan de cuentas, será reemplazado",
                Icono::Pregunta, Botones::SiNo) != Respuesta::Si)
        return;
    Ejercicios::Veredicto v;
    {
        Espera espera;
        v = Ejercicios::PegoPlan(ContextoActual(), copySourceCompany, copySourceYear, shownCompany, destino);
    }
    Mensaje(v.ok ? QStringLiteral("Pegado de Plan de cuentas exitoso") : v.mensaje, Icono::Informacion);
}

void frmEjercicios::VerPlan() {
    App().chartCompany = shownCompany;
    App().chartYear = EjercicioActivo();
    App().preselection = true;
    Pantallas::AbroModal("frmCuentas", this);
}
