#include "reports/ui/frmRptMayores.h"
#include "core/AppState.h"

#include "accounts/ArbolCuentas.h"
#include "accounts/ConsultasPlan.h"
#include "accounts/IngresoCuenta.h"
#include "core/Sesiones.h"
#include "core/ui/Controles.h"
#include "core/ui/Disposicion.h"
#include "core/ui/Grilla.h"
#include "core/ui/Pantallas.h"
#include "reports/Mayores.h"
#include "reports/ui/VuelcoTabla.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QSplitter>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {
constexpr const char* Seccion = "Mayores";

QLineEdit* Busqueda(QWidget* padre, const char* nombre, const QString& ayuda) {
    auto* c = new QLineEdit(padre);
    c->setObjectName(QLatin1String(nombre));
    c->setToolTip(ayuda);
    return c;
}
} // namespace

frmRptMayores::frmRptMayores(QWidget* padre)
    : PantallaReporte(DeInforme("frmRptMayores"), padre) {
    // The account selection and the report side by side, the split between them movable and kept.
    clbMaster = new QSplitter(Qt::Horizontal, this);
    clbMaster->setObjectName("clbMaster");
    picMaster = new QWidget(clbMaster);
    picMaster->setObjectName("picMaster");
    picRpt = new QWidget(clbMaster);
    picRpt->setObjectName("picRpt");

    inpBusqCodJer = Busqueda(picMaster, "inpBusqCodJer", "Ingrese código jerárquico a buscar");
    inpBusqDescripcion =
        Busqueda(picMaster, "inpBusqDescripcion", "Ingrese parte de la descripción a buscar");
    inpBusqCodInt = Busqueda(picMaster, "inpBusqCodInt", "Ingrese código abreviado a buscar");
    auto* busquedas = new QHBoxLayout;
    busquedas->addWidget(Marco(picMaster, "fraBusqCodJer", "Búsq.Jer.", inpBusqCodJer));
    busquedas->addWidget(Marco(picMaster, "fraBusqDescripcion", "Búsq.Desc", inpBusqDescripcion));
    busquedas->addWidget(Marco(picMaster, "fraBusqCodInt", "Búsq.Abr.", inpBusqCodInt));
    treMaster = new QTreeWidget(picMaster);
    treMaster->setObjectName("treMaster");
    treMaster->setHeaderHidden(true);
    treMaster->setAccessibleName("Cuentas");
    auto* izquierda = new QVBoxLayout(picMaster);
    izquierda->setContentsMargins(0, 0, 0, 0);
    izquierda->addLayout(busquedas);
    izquierda->addWidget(treMaster, 1);

    // The layout hands back the grid's old item, which is ours to delete.
    delete layout()->replaceWidget(sprRpt, clbMaster);
    sprRpt->setParent(picRpt);
    auto* derecha = new QVBoxLayout(picRpt);
    derecha->setContentsMargins(0, 0, 0, 0);
    derecha->addWidget(sprRpt);
    clbMaster->setStretchFactor(1, 3);

    chkConSaldoInicial = new QCheckBox("Calculo saldo inicial", this);
    chkConSaldoInicial->setObjectName("chkConSaldoInicial");
    chkConSaldoInicial->setToolTip("Inicia saldo de cada cuenta con el saldo anterior a la fecha 'desde'");
    chkConSaldoInicial->setAccessibleName("Calculo saldo inicial");
    FiltrosPropios()->addWidget(chkConSaldoInicial);

    connect(inpBusqCodInt, &QLineEdit::textEdited, this, [this](const QString& t) {
        BusquedaNodo(BuscoPorCodInt(t, App().currentCompany, App().currentYear));
    });
    connect(inpBusqDescripcion, &QLineEdit::textEdited, this, [this](const QString& t) {
        BusquedaNodo(BuscoPorDescripcion(t, App().currentCompany, App().currentYear));
    });
    connect(inpBusqCodJer, &QLineEdit::textEdited, this, [this] {
        BusquedaNodo(CuentaDeCodJer(inpBusqCodJer->displayText(), App().currentCompany, App().currentYear));
    });
    for (QLineEdit* c : {inpBusqCodJer, inpBusqDescripcion, inpBusqCodInt})
        c->installEventFilter(this);
    connect(sprRpt, &Grilla::DobleClick, this, [this](int fila, int) { MuestroAsiento(fila); });

    Inicio();
    RecuperoBandas(Seccion, clbMaster);
}

MaximosReporte& frmRptMayores::Maximos() {
    static MaximosReporte m(PantallaMayores);
    return m;
}

void frmRptMayores::PreparoGrilla() {
    TablaReporte columnas;
    ColumnasMayores(&columnas);
    PreparoGrillaReporte(sprRpt, columnas, {60, 80, 160, 90, 160, 70, 55, 160, 160, 90, 90, 90}, true,
                         {MayDescripcion, MayDescripcionImputable, MayConceptoAsiento, MayConceptoDetalle});
}

void frmRptMayores::ColocoFiltrosPropios() {
    CargoArbol();
    chkConSaldoInicial->setChecked(true);
}

void frmRptMayores::CargoArbol() {
    // Reloading the tree clears every tick; the level maxima are read again with it.
    treMaster->clear();
    nodos.clear();
    auto* raiz = new QTreeWidgetItem(treMaster, {QStringLiteral("Cuentas")});
    raiz->setFlags(raiz->flags() | Qt::ItemIsUserCheckable);
    raiz->setCheckState(0, Qt::Unchecked);
    nodos.insert(0, raiz);
    MaximosNivel leidos;
    ::CargoArbol(App().currentCompany, App().currentYear, leidos, [this](const NodoCuenta& n) {
        QTreeWidgetItem* padre = nodos.value(n.padre);
        if (!padre) return;
        auto* nodo = new QTreeWidgetItem(padre, {n.texto});
        nodo->setData(0, Qt::UserRole, n.cuenta);
        nodo->setFlags(nodo->flags() | Qt::ItemIsUserCheckable);
        nodo->setCheckState(0, Qt::Unchecked);
        nodos.insert(n.cuenta, nodo);
    });
    raiz->setData(0, Qt::UserRole, 0);
    raiz->setExpanded(true);
    treMaster->setCurrentItem(raiz);
    Maximos().Olvido();
    Maximos().Verifico(ContextoActual());
    MascaraBusqueda();
}

void frmRptMayores::MascaraBusqueda() {
    // Unfilled positions stay blank, as the code lookup expects; "x" takes digits and the wildcards.
    const QString mascara = MascaraCodJer(Maximos().maximos(), 'x');
    if (inpBusqCodJer->inputMask() != mascara + "; ")
        inpBusqCodJer->setInputMask(mascara.isEmpty() ? QString() : mascara + "; ");
    inpBusqCodJer->setEnabled(!mascara.isEmpty());
}

void frmRptMayores::BusquedaNodo(int cuenta) {
    QTreeWidgetItem* nodo = cuenta < 0 ? nullptr : Nodo(cuenta);
    if (!nodo) return;
    treMaster->setCurrentItem(nodo);
    treMaster->scrollToItem(nodo);
}

bool frmRptMayores::Armo(const QDate& desde, const QDate& hasta, QString* error) {
    if (Maximos().Verifico(ContextoActual())) MascaraBusqueda();
    QVector<BloqueMayor> bloques;
    for (QTreeWidgetItemIterator it(treMaster); *it; ++it)
        if ((*it)->checkState(0) == Qt::Checked)
            bloques.append({(*it)->data(0, Qt::UserRole).toInt(), (*it)->text(0)});
    TablaReporte nueva;
    if (!ArmoMayores(ContextoActual(), desde, hasta, bloques, chkConSaldoInicial->isChecked(), &nueva, error)) return false;
    tabla = std::move(nueva);
    return true;
}

void frmRptMayores::Vuelco() {
    VuelcoTabla(sprRpt, tabla);
    // The closing line of each block is not a line of the ledger.
    setWindowTitle(QString("Mayores (%1 detalles mostrados)").arg(sprRpt->filas() - tabla.totales.size()));
}

void frmRptMayores::MuestroAsiento(int fila) {
    AbroAsiento(sprRpt->texto(fila, MayAsiento));
}

bool frmRptMayores::event(QEvent* e) {
    // Every activation puts the focus in the search field of the last way of typing an account;
    // coming back from a message box is not an activation.
    if (e->type() == QEvent::WindowDeactivate)
        trasMensaje = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
    else if (e->type() == QEvent::WindowActivate && activada && !std::exchange(trasMensaje, false))
        Activacion();
    return PantallaReporte::event(e);
}

void frmRptMayores::showEvent(QShowEvent* e) {
    PantallaReporte::showEvent(e);
    // The first showing counts as an activation even where the window system activates nothing.
    if (!std::exchange(activada, true)) Activacion();
}

void frmRptMayores::Activacion() {
    AppState& a = App();
    const int forma = UltFormaIngresoCuenta();
    QLineEdit* campo = forma == PorCodJer        ? inpBusqCodJer
                       : forma == PorDescripcion ? inpBusqDescripcion
                                                 : inpBusqCodInt;
    if (!campo->isEnabled()) campo = inpBusqCodInt;
    campo->setFocus();
    if (!a.searchText.isNull()) {
        campo->setText(a.searchText);
        emit campo->textEdited(campo->text());
        a.searchText = QString();
    } else {
        a.preselection = -1;
    }
}

bool frmRptMayores::eventFilter(QObject* objeto, QEvent* e) {
    if (auto* campo = qobject_cast<QLineEdit*>(objeto)) {
        if (e->type() == QEvent::FocusIn && campo == inpBusqCodJer) {
            if (Maximos().Verifico(ContextoActual())) MascaraBusqueda();
        } else if (e->type() == QEvent::FocusOut) {
            // A message box taking the focus for a moment is not leaving the field.
            const Qt::FocusReason razon = static_cast<QFocusEvent*>(e)->reason();
            if (razon != Qt::ActiveWindowFocusReason && razon != Qt::PopupFocusReason) campo->clear();
        }
    }
    return PantallaReporte::eventFilter(objeto, e);
}

void frmRptMayores::closeEvent(QCloseEvent* e) {
    GuardoBandas(Seccion, clbMaster);
    PantallaReporte::closeEvent(e);
}
