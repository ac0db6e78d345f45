#include "journal/ui/frmBusquedaAsientos.h"
#include "core/AppState.h"

#include "accounts/IngresoCuenta.h"
#include "core/Valores.h"
#include "core/ui/Controles.h"
#include "core/ui/GrillaDelegado.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/Ventanas.h"
#include "journal/BusquedaAsientos.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

QLineEdit* Campo(QWidget* padre, const char* nombre, const QString& accesible,
                 const QString& ayuda = QString()) {
    auto* f = new QLineEdit(padre);
    f->setObjectName(QLatin1String(nombre));
    f->setAccessibleName(accesible);
    if (!ayuda.isEmpty()) f->setToolTip(ayuda);
    return f;
}

QLineEdit* CampoConPatron(QWidget* padre, const char* nombre, const QString& accesible, const QString& patron,
                          int ancho) {
    QLineEdit* f = Campo(padre, nombre, accesible);
    f->setValidator(new QRegularExpressionValidator(QRegularExpression(patron), f));
    f->setMaximumWidth(ancho);
    return f;
}

// Two fields joined by a label ("Al", "A"), as one row inside a frame.
QWidget* Par(QWidget* padre, QWidget* uno, const QString& union_, QWidget* otro, QWidget* extra = nullptr) {
    auto* w = new QWidget(padre);
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(uno);
    auto* etiqueta = new QLabel(union_, w);
    l->addWidget(etiqueta);
    l->addWidget(otro);
    if (extra) l->addWidget(extra);
    l->addStretch();
    return w;
}

QPushButton* Boton(QWidget* padre, const char* nombre, const QString& texto, QStyle::StandardPixmap icono) {
    auto* b = new QPushButton(padre->style()->standardIcon(icono), texto, padre);
    b->setObjectName(QLatin1String(nombre));
    b->setAccessibleName(texto);
    // Enter is handled by the criteria fields themselves, never by a default button.
    b->setAutoDefault(false);
    b->setMinimumWidth(100);
    return b;
}

} // namespace

frmBusquedaAsientos::frmBusquedaAsientos(QWidget* padre) : QDialog(padre) {
    setObjectName("frmBusquedaAsientos");
    setWindowTitle("Búsqueda Asiento/s");
    ArmoPantalla();

    RecuperoFiltros();
    const DefectosBusqueda d = LeoDefectosBusqueda(App().currentCompany, App().currentYear);
    ftrFechaDe->setText(FechaATexto(d.fechaDe));
    ftrFechaA->setText(FechaATexto(d.fechaA));
    ftrAsientoDe->setText(QString::number(d.asientoDe));
    ftrAsientoA->setText(QString::number(d.asientoA));
    cmbPorImporte->setCurrentIndex(EnCualquiera);
    consulta = {};
}

void frmBusquedaAsientos::ArmoPantalla() {
    const QString comodinesConcepto = "Recuerde que puede ingresar un concepto parcial y usar comodines";
    fraDatos = new QFrame(this);
    fraDatos->setObjectName("fraDatos");

    ftrFechaDe = Campo(fraDatos, "ftrFechaDe", "Desde Fecha");
    ftrFechaA = Campo(fraDatos, "ftrFechaA", "Hasta Fecha");
    for (QLineEdit* f : {ftrFechaDe, ftrFechaA}) {
        f->setValidator(new ValidadorFecha(f));
        f->setMaximumWidth(110);
    }
    ftrAsientoDe = CampoConPatron(fraDatos, "ftrAsientoDe", "Desde Asiento", "\\d{0,9}", 90);
    ftrAsientoA = CampoConPatron(fraDatos, "ftrAsientoA", "Hasta Asiento", "\\d{0,9}", 90);
    ftrConcepto = Campo(fraDatos, "ftrConcepto", "Concepto asiento buscado", comodinesConcepto);
    ftrConceptoDetalle =
        Campo(fraDatos, "ftrConceptoDetalle", "Concepto detalle de asiento buscado", comodinesConcepto);
    ftrDescripcion = Campo(fraDatos, "ftrDescripcion", "Descripción de cuenta buscada",
                           "Recuerde que puede ingresar una descripción parcial y usar comodines");
    ftrCodInt = Campo(fraDatos, "ftrCodInt", "Cod.Int cta busc.", "Recuerde que puede usar comodines");
    ftrCodInt->setMaximumWidth(120);
    // Up to 99,999,999 with the cents, in the system's decimal character.
    ftrImporteDesde = CampoConPatron(fraDatos, "ftrImporteDesde", "Importe desde", "[0-9.,]{0,14}", 120);
    ftrImporteHasta = CampoConPatron(fraDatos, "ftrImporteHasta", "Importe hasta", "[0-9.,]{0,14}", 120);
    cmbPorImporte = new QComboBox(fraDatos);
    cmbPorImporte->setObjectName("cmbPorImporte");
    cmbPorImporte->setAccessibleName("Por importe");
    cmbPorImporte->addItems({"En Debe", "En Haber", "En cualquiera", "Suma débitos"});

    auto* fraOrden = new QGroupBox("Orden", fraDatos);
    fraOrden->setObjectName("fraOrden");
    auto* lOrden = new QHBoxLayout(fraOrden);
    auto* grupo = new QButtonGroup(fraOrden);
    const QString ordenes[2] = {"Por Fecha", "Por Asiento"};
    for (int i = 0; i < 2; ++i) {
        optOrden[i] = new QRadioButton(ordenes[i], fraOrden);
        optOrden[i]->setObjectName(QString("optOrden%1").arg(i));
        optOrden[i]->setAccessibleName(ordenes[i]);
        grupo->addButton(optOrden[i], i);
        lOrden->addWidget(optOrden[i]);
    }
    optOrden[PorFecha]->setChecked(true);

    auto* g = new QGridLayout(fraDatos);
    g->setContentsMargins(0, 0, 0, 0);
    g->addWidget(Marco(fraDatos, "fraFecha", "Desde Fecha", Par(fraDatos, ftrFechaDe, "Al", ftrFechaA)), 0,
                 0);
    g->addWidget(
        Marco(fraDatos, "fraAsiento", "Desde Asiento", Par(fraDatos, ftrAsientoDe, "Al", ftrAsientoA)), 0, 1);
    g->addWidget(Marco(fraDatos, "fraConcepto", "Concepto asiento buscado", ftrConcepto), 1, 0, 1, 2);
    g->addWidget(
        Marco(fraDatos, "fraConceptoDetalle", "Concepto detalle de asiento buscado", ftrConceptoDetalle), 2,
        0, 1, 2);
    g->addWidget(Marco(fraDatos, "fraDescripcion", "Descripción de cuenta buscada", ftrDescripcion), 3, 0);
    g->addWidget(Marco(fraDatos, "fraCodInt", "Cod.Int cta busc.", ftrCodInt), 3, 1);
    g->addWidget(Marco(fraDatos, "pnlPorImporte", "Por importe",
                       Par(fraDatos, ftrImporteDesde, "A", ftrImporteHasta, cmbPorImporte)),
                 4, 0);
    g->addWidget(fraOrden, 4, 1);

    btnOk = Boton(this, "btnOk", "Aceptar", QStyle::SP_DialogOkButton);
    btnCancel = Boton(this, "btnCancel", "Cancelar", QStyle::SP_DialogCancelButton);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(btnOk);
    botones->addWidget(btnCancel);

    // The criteria stay together in the middle of the window when it is resized.
    auto* todo = new QVBoxLayout(this);
    todo->addStretch();
    todo->addWidget(fraDatos);
    todo->addStretch();
    todo->addLayout(botones);

    for (QLineEdit* f : {ftrFechaDe, ftrFechaA, ftrAsientoDe, ftrAsientoA, ftrImporteDesde, ftrImporteHasta,
                         ftrConcepto, ftrConceptoDetalle, ftrDescripcion, ftrCodInt})
        f->installEventFilter(this);
    connect(btnOk, &QPushButton::clicked, this, &frmBusquedaAsientos::Acepto);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(620, 420);
}

void frmBusquedaAsientos::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    CentroVentana(this);
}

bool frmBusquedaAsientos::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(e)->key();
        // Enter in any criterion accepts, whatever the field holds (a half-typed date is explained).
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            Acepto();
            return true;
        }
    } else if (e->type() == QEvent::MouseButtonDblClick && (o == ftrCodInt || o == ftrDescripcion)) {
        EligoCuenta(static_cast<QLineEdit*>(o));
        return true;
    }
    return QDialog::eventFilter(o, e);
}

void frmBusquedaAsientos::RecuperoFiltros() {
    if (const auto orden = OrdenRecordado()) optOrden[*orden]->setChecked(true);
}

void frmBusquedaAsientos::EscriboSituacionFiltros() {
    RecuerdoOrden(optOrden[PorFecha]->isChecked() ? PorFecha : PorAsiento);
}

void frmBusquedaAsientos::Acepto() {
    CriteriosBusqueda c;
    c.fechaDe = ftrFechaDe->text();
    c.fechaA = ftrFechaA->text();
    c.asientoDe = ftrAsientoDe->text();
    c.asientoA = ftrAsientoA->text();
    c.concepto = ftrConcepto->text();
    c.conceptoDetalle = ftrConceptoDetalle->text();
    c.descripcion = ftrDescripcion->text();
    c.codInt = ftrCodInt->text();
    c.importeDesde = ftrImporteDesde->text();
    c.importeHasta = ftrImporteHasta->text();
    c.porImporte = cmbPorImporte->currentIndex();
    c.orden = optOrden[PorFecha]->isChecked() ? PorFecha : PorAsiento;
    c.decimal = QLocale().toString(0.0, 'f', 2).contains(u',') ? u',' : u'.';
    QString error;
    const auto q = ArmoBusqueda(c, App().currentCompany, App().currentYear, &error);
    if (!q) {
        Mensaje(error, Icono::Advertencia);
        return;
    }
    consulta = *q;
    accept();
}

void frmBusquedaAsientos::EligoCuenta(QLineEdit* campo) {
    GraboUltFormaIngresoCuenta(campo == ftrCodInt ? PorCodInt : PorDescripcion);
    AppState& a = App();
    a.preselection = -1;
    a.searchText = campo->text().isEmpty() ? QString() : campo->text();
    a.chartCompany = a.currentCompany;
    a.chartYear = a.currentYear;
    a.selectionCode = -1;
    // A chart screen that cannot open leaves the fields as they were.
    Pantallas::AbroModal("frmCuentas", this);
    if (a.selectionCode < 0) return;
    ftrCodInt->setText(a.selectionText);
    ftrDescripcion->setText(a.pickDescripcion);
}

void frmBusquedaAsientos::done(int resultado) {
    // Cancelling hands back nothing, so the editor keeps its list.
    App().entryListQuery = resultado == QDialog::Accepted ? consulta : ConsultaSql{};
    if (!App().entryListQuery.vacia()) EscriboSituacionFiltros();
    QDialog::done(resultado);
}
