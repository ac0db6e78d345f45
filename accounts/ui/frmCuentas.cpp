#include "accounts/ui/frmCuentas.h"

#include "accounts/ArbolCuentas.h"
#include "accounts/ConsultasPlan.h"
#include "accounts/IngresoCuenta.h"
#include "accounts/ui/ArbolPlan.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Dialecto.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "core/ui/AplicoPermisos.h"
#include "core/ui/Controles.h"
#include "core/ui/Cursor.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/Ventanas.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

namespace {
constexpr int FilasConceptos = 500;

QLineEdit* Campo(QWidget* padre, const char* nombre, const QString& ayuda = QString()) {
    auto* e = new QLineEdit(padre);
    e->setObjectName(nombre);
    if (!ayuda.isEmpty()) e->setToolTip(ayuda);
    return e;
}

// An option pair in its frame: option 0 for the column being true, option 1 for false.
QGroupBox* Opciones(QWidget* padre, const QString& titulo, const char* nombre, const QString& si,
                    const QString& no, QRadioButton* (&opt)[2]) {
    auto* g = new QGroupBox(titulo, padre);
    g->setObjectName(QString("fra") + QString(nombre).mid(3));
    auto* l = new QHBoxLayout(g);
    l->setContentsMargins(4, 2, 4, 4);
    auto* grupo = new QButtonGroup(g);
    const QString textos[2] = {si, no};
    for (int i = 0; i < 2; ++i) {
        opt[i] = new QRadioButton(textos[i], g);
        opt[i]->setObjectName(QString(nombre) + QString::number(i));
        opt[i]->setAccessibleName(titulo + " " + textos[i]);
        grupo->addButton(opt[i], i);
        l->addWidget(opt[i]);
    }
    opt[0]->setChecked(true);
    return g;
}
} // namespace

frmCuentas::frmCuentas(QWidget* padre) : QDialog(padre) {
    setObjectName("frmCuentas");
    empresa = App().chartCompany;
    ejercicio = App().chartYear;
    eligiendo = std::exchange(App().chartPickOnly, false);
    ArmoPantalla();
    if (eligiendo) SoloElegir();
    if (!ExistePlan(empresa, ejercicio)) {
        Mensaje(TextosCuentas::SinEjercicio, Icono::Error);
        rechazada = true;
        setProperty("rechazada", true);
        return;
    }
    pickedAccount = -1;
    InicioGrillas(this);
    // The account to select; the menu hands in true, which means the root.
    const QVariant& pre = App().preselection;
    bool ok = false;
    const int preseleccion = pre.typeId() == QMetaType::Bool ? -1 : pre.toInt(&ok);
    treMaster->CargoArbol(empresa, ejercicio, maximos, ok ? preseleccion : -1);
    Caption();
    VerificoRegistro(ContextoActual().En(empresa, ejercicio), PantallaCuentas);
    MascaraBusqueda();
    MuestroCuenta();
    resize(900, 600);
    CentroVentana(this);
}

void frmCuentas::ArmoPantalla() {
    setWindowTitle("Plan de Cuentas");
    auto* principal = new QVBoxLayout(this);
    principal->setContentsMargins(0, 0, 0, 4);
    principal->setSpacing(4);

    // Tool strip; its colour tells the mode.
    Picture1 = new QFrame(this);
    Picture1->setObjectName("Picture1");
    Picture1->setAutoFillBackground(true);
    Picture1->setAccessibleName("Barra de herramientas");
    auto* barra = new QHBoxLayout(Picture1);
    barra->setContentsMargins(4, 2, 4, 2);
    btnRegAgregar =
        BotonImagen(Picture1, "btnRegAgregar", QStyle::SP_FileDialogNewFolder, "Agregar nuevo registro");
    btnRegBorrar = BotonImagen(Picture1, "btnRegBorrar", QStyle::SP_TrashIcon, "Eliminar registro actual");
    btnGuardar = BotonImagen(Picture1, "btnGuardar", QStyle::SP_DialogSaveButton, "Salvar registro actual");
    btnSeleccionar = new QPushButton("Seleccionar", Picture1);
    btnSeleccionar->setObjectName("btnSeleccionar");
    btnSeleccionar->setToolTip("Utilizar registro actual como selección");
    btnSeleccionar->setAccessibleName("Seleccionar");
    btnSeleccionar->setAutoDefault(false);
    btnSalir = BotonImagen(Picture1, "btnSalir", QStyle::SP_DialogCloseButton, "Salir de ventana actual");
    for (QWidget* w : {static_cast<QWidget*>(btnRegAgregar), static_cast<QWidget*>(btnRegBorrar),
                       static_cast<QWidget*>(btnGuardar), static_cast<QWidget*>(btnSeleccionar)})
        barra->addWidget(w);
    barra->addStretch();
    barra->addWidget(btnSalir);
    principal->addWidget(Picture1);

    // Searches
    auto* busquedas = new QHBoxLayout;
    busquedas->setContentsMargins(6, 0, 6, 0);
    inpBusqCodInt = Campo(this, "inpBusqCodInt", "Ingrese código abreviado a buscar");
    inpBusqCodJer = Campo(this, "inpBusqCodJer", "Ingrese código jerárquico a buscar");
    inpBusqDescripcion = Campo(this, "inpBusqDescripcion", "Ingrese parte de la descripción a buscar");
    busquedas->addWidget(Marco(this, nullptr, "Búsq.Cod Abr", inpBusqCodInt), 1);
    busquedas->addWidget(Marco(this, nullptr, "Búsq.Cod Jer.", inpBusqCodJer), 1);
    busquedas->addWidget(Marco(this, nullptr, "Búsq.Descrip", inpBusqDescripcion), 2);
    principal->addLayout(busquedas);

    auto* division = new QSplitter(Qt::Horizontal, this);
    division->setChildrenCollapsible(false);
    treMaster = new ArbolPlan(division);
    treMaster->setObjectName("treMaster");
    treMaster->setToolTip("Click izq para mover, click derecho para seleccionar");
    treMaster->setAccessibleName("Plan de Cuentas");
    division->addWidget(treMaster);

    // Data panel
    pnlDatos = new QWidget(division);
    pnlDatos->setObjectName("pnlDatos");
    // What the profile's level restricts: adding, saving and the account's data; deleting.
    for (QWidget* w : {static_cast<QWidget*>(btnRegAgregar), static_cast<QWidget*>(btnGuardar), pnlDatos})
        MarcoControl(w, "RO");
    MarcoControl(btnRegBorrar, "RO2");
    auto* datos = new QVBoxLayout(pnlDatos);
    datos->setContentsMargins(6, 0, 6, 0);
    auto* fila1 = new QHBoxLayout;
    auto* lblCodigo = new QLabel("Código:", pnlDatos);
    lblCodigoPath = new QLabel(pnlDatos);
    lblCodigoPath->setObjectName("lblCodigoPath");
    lblCodigoPath->setAccessibleName("Código:");
    lblCodigoPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont negrita = lblCodigoPath->font();
    negrita.setBold(true);
    lblCodigoPath->setFont(negrita);
    fila1->addWidget(lblCodigo);
    fila1->addWidget(lblCodigoPath, 1);
    datos->addLayout(fila1);
    inpDescripcion = Campo(pnlDatos, "inpDescripcion");
    datos->addWidget(Marco(pnlDatos, nullptr, "Descripción", inpDescripcion));
    auto* fila2 = new QHBoxLayout;
    inpCodInt = Campo(pnlDatos, "inpCodInt");
    fila2->addWidget(Marco(pnlDatos, nullptr, "Cód.Abr (opc)", inpCodInt), 2);
    inpNumHijo = Campo(pnlDatos, "inpNumHijo");
    inpNumHijo->setValidator(new QIntValidator(0, MaxNumHijo, inpNumHijo));
    fraNumHijo = Marco(pnlDatos, "fraNumHijo", "Sub Jerarquía", inpNumHijo);
    fila2->addWidget(fraNumHijo, 1);
    datos->addLayout(fila2);
    auto* fila3 = new QHBoxLayout;
    fila3->addWidget(
        Opciones(pnlDatos, "Estado natural", "optCondDebito", "Débito", "Crédito", optCondDebito));
    fila3->addWidget(
        Opciones(pnlDatos, "Cuenta de Resultado", "optCuentaResultado", "Sí", "No", optCuentaResultado));
    fila3->addWidget(Opciones(pnlDatos, "Ajustable por inflac.", "optAjustable", "Sí", "No", optAjustable));
    datos->addLayout(fila3);

    auto grilla = [this](const char* nombre, const QString& titulo, const QString& ayuda, QGroupBox*& marco) {
        auto* g = new Grilla(pnlDatos);
        g->setObjectName(nombre);
        g->setColumnas(2);
        g->setFilas(FilasConceptos);
        g->setEncabezado(1, "Código");
        g->setEncabezado(2, "Leyenda");
        g->setAnchoColumna(1, 50);
        g->setAnchoColumna(2, 150);
        // The legend takes what the frame leaves, so the code column never scrolls out of sight.
        g->horizontalHeader()->setStretchLastSection(true);
        g->setSoloLectura(true);
        g->setColorTexto(QColor(0, 0, 128));
        g->setToolTip(ayuda);
        g->setAccessibleName(titulo);
        marco = new QGroupBox(titulo, pnlDatos);
        marco->setObjectName(QString("fra") + QString(nombre).mid(3));
        marco->setToolTip(ayuda);
        auto* l = new QVBoxLayout(marco);
        l->setContentsMargins(2, 2, 2, 2);
        l->addWidget(g);
        return g;
    };
    auto* fila4 = new QHBoxLayout;
    sprConceptosDebe =
        grilla("sprConceptosDebe", "Leyendas débito",
               "Con doble click, puede incorporar leyendas estandar, para los movimientos de débito",
               fraConceptosDebe);
    sprConceptosHaber =
        grilla("sprConceptosHaber", "Leyendas crédito",
               "Con doble click, puede incorporar leyendas estandar, para los movimientos de crédito",
               fraConceptosHaber);
    fila4->addWidget(fraConceptosDebe);
    fila4->addWidget(fraConceptosHaber);
    datos->addLayout(fila4, 1);
    division->addWidget(pnlDatos);
    division->setStretchFactor(0, 2);
    division->setStretchFactor(1, 3);
    division->setSizes({320, 560});
    principal->addWidget(division, 1);

    // Wiring
    connect(btnRegAgregar, &QToolButton::clicked, this, &frmCuentas::Agrego);
    connect(btnRegBorrar, &QToolButton::clicked, this, &frmCuentas::BorroCuenta);
    connect(btnGuardar, &QToolButton::clicked, this, [this] {
        if (dirty) GuardoCuenta();
    });
    connect(btnSeleccionar, &QPushButton::clicked, this, &frmCuentas::Selecciono);
    connect(btnSalir, &QToolButton::clicked, this, &frmCuentas::reject);
    connect(treMaster, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* actual, QTreeWidgetItem*) { CambioNodo(actual); });
    connect(treMaster, &QTreeWidget::itemCollapsed, this, &frmCuentas::Colapso);
    connect(treMaster, &ArbolPlan::ClicNodoActual, this, &frmCuentas::ElijoNodo);
    connect(treMaster, &ArbolPlan::SueltaCuenta, this, &frmCuentas::MuevoCuenta);
    connect(treMaster, &ArbolPlan::TeclaSuprimir, this, &frmCuentas::BorroCuenta);
    connect(treMaster, &ArbolPlan::TeclaEnter, this, &frmCuentas::Selecciono);
    for (QLineEdit* e : {inpDescripcion, inpCodInt, inpNumHijo})
        connect(e, &QLineEdit::textEdited, this, [this] { AnotoCambio(); });
    for (auto* par : {optCondDebito, optCuentaResultado, optAjustable})
        for (int i = 0; i < 2; ++i)
            connect(par[i], &QRadioButton::clicked, this, [this] { AnotoCambio(); });
    connect(inpBusqCodInt, &QLineEdit::textEdited, this, &frmCuentas::BuscoCodInt);
    connect(inpBusqDescripcion, &QLineEdit::textEdited, this, &frmCuentas::BuscoDescripcion);
    connect(inpBusqCodJer, &QLineEdit::textEdited, this,
            [this] { BuscoCodJer(inpBusqCodJer->displayText()); });
    for (QLineEdit* e : {inpBusqCodInt, inpBusqCodJer, inpBusqDescripcion})
        e->installEventFilter(this);
    for (Grilla* g : {sprConceptosDebe, sprConceptosHaber}) {
        connect(g, &Grilla::DobleClick, this, [this, g](int fila, int) { ElijoConcepto(g, fila); });
        connect(g, &Grilla::TeclaAbajo, this, [this, g](QKeyEvent* e) {
            if (e->key() != Qt::Key_Delete) return;
            e->accept();
            BorroLineaConcepto(g);
        });
    }
}

void frmCuentas::SoloElegir() {
    for (QWidget* w : {static_cast<QWidget*>(btnRegAgregar), static_cast<QWidget*>(btnRegBorrar),
                       static_cast<QWidget*>(btnGuardar)})
        w->hide();
    for (QLineEdit* e : {inpDescripcion, inpCodInt, inpNumHijo}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
    }
    for (auto* par : {optCondDebito, optCuentaResultado, optAjustable})
        for (int i = 0; i < 2; ++i)
            par[i]->setEnabled(false);
    treMaster->setDragEnabled(false);
    treMaster->setAcceptDrops(false);
    btnSeleccionar->setToolTip("Utilizar registro actual como selección (Enter)");
    for (QLineEdit* e : {inpBusqCodInt, inpBusqCodJer, inpBusqDescripcion})
        connect(e, &QLineEdit::returnPressed, this, &frmCuentas::Selecciono);
}

// --- Mode, caption, registration -------------------------------------------------------------------

void frmCuentas::ColoresModo() {
    PintoModo(Picture1);
}

int frmCuentas::CuentasEnArbol() const {
    return treMaster->CantidadNodos() - 1;
}

void frmCuentas::Caption() {
    setWindowTitle(QString("Plan de Cuentas (%1 cuentas)").arg(CuentasEnArbol()));
}

void frmCuentas::VerificoPlan() {
    if (PantallaRegistrada(ContextoActual().En(empresa, ejercicio), PantallaCuentas)) return;
    // Another change of this chart (here or in another session) may have changed the level widths.
    maximos = MaximosDelPlan(empresa, ejercicio);
    RegistroPantalla(ContextoActual().En(empresa, ejercicio), PantallaCuentas);
    MascaraBusqueda();
}

void frmCuentas::MascaraBusqueda() {
    // Unfilled positions stay blank, as the code lookup expects; "x" takes digits and the wildcards.
    QString mascara = MascaraCodJer(maximos, 'x');
    const bool vacia = mascara.isEmpty();
    // Setting a mask empties the field and moves its cursor: a code being typed stays unless the
    // widths really changed.
    if (inpBusqCodJer->inputMask() != mascara)
        inpBusqCodJer->setInputMask(vacia ? QString() : mascara + "; ");
    inpBusqCodJer->setEnabled(!vacia);
}

// --- Showing an account -----------------------------------------------------------------------------

void frmCuentas::CambioNodo(QTreeWidgetItem* actual) {
    if (cambiandoNodo || !actual) return;
    if (ArbolPlan::CuentaDe(actual) == selectedKey && !adding) return;
    ElijoNodo();
}

void frmCuentas::ElijoNodo() {
    if (cambiandoNodo) return;
    if (!PreguntoGuardar()) {
        cambiandoNodo = true;
        treMaster->Selecciono(selectedKey);
        cambiandoNodo = false;
        return;
    }
    MuestroCuenta();
}

void frmCuentas::Colapso(QTreeWidgetItem* nodo) {
    if (cambiandoNodo || !nodo) return;
    // A selected account hidden by the collapse gives way to the collapsed node, as in the tree the
    // chart was first kept in; either way the node now selected is shown.
    for (QTreeWidgetItem* n = treMaster->currentItem(); n; n = n->parent())
        if (n->parent() == nodo) {
            cambiandoNodo = true;
            treMaster->setCurrentItem(nodo);
            cambiandoNodo = false;
            break;
        }
    ElijoNodo();
}

void frmCuentas::LimpioConceptos(Grilla* g) {
    g->setFilas(0);
    g->setFilas(FilasConceptos);
}

void frmCuentas::LlenoConceptos(Grilla* g, int cuenta, bool debe) {
    LimpioConceptos(g);
    int fila = 0;
    for (const ConceptoCuenta& c : ConceptosDeCuenta(empresa, ejercicio, cuenta, debe)) {
        if (++fila >= FilasConceptos) break;
        g->setTexto(fila, 1, c.codigo);
        g->setTexto(fila, 2, c.descripcion);
    }
}

void frmCuentas::MuestroCuenta() {
    pnlDatos->setVisible(false);
    TerminoEdicion();
    ColoresModo();
    lblCodigoPath->clear();
    selectedKey = qMax(0, treMaster->CuentaSeleccionada());
    if (selectedKey == 0) return;
    const std::optional<DatosCuenta> d = LeoCuenta(empresa, ejercicio, selectedKey);
    if (!d) return;
    VerificoPlan();
    lblCodigoPath->setText(CodJerCuenta(selectedKey, empresa, ejercicio, maximos));
    inpDescripcion->setText(d->descripcion);
    inpCodInt->setText(d->codInt);
    inpNumHijo->setText(d->numHijo);
    optCondDebito[d->condDebito ? 0 : 1]->setChecked(true);
    optCuentaResultado[d->cuentaResultado ? 0 : 1]->setChecked(true);
    optAjustable[d->ajustable ? 0 : 1]->setChecked(true);

    QTreeWidgetItem* nodo = treMaster->Nodo(selectedKey);
    const bool imputable = nodo && nodo->childCount() == 0;
    fraConceptosDebe->setVisible(imputable);
    fraConceptosHaber->setVisible(imputable);
    if (imputable) {
        LlenoConceptos(sprConceptosDebe, selectedKey, true);
        LlenoConceptos(sprConceptosHaber, selectedKey, false);
    }
    pnlDatos->setVisible(true);
    fraNumHijo->setEnabled(false);
    TerminoEdicion();
}

// --- Adding, saving, deleting -----------------------------------------------------------------------

bool frmCuentas::PreguntoGuardar() {
    // Edits declined stay on the panel until the next account is shown, which drops them.
    return Sigo(EstadoEdicion::PreguntoGuardar([this] { return GuardoCuenta(); }));
}

void frmCuentas::Agrego() {
    if (eligiendo) return; // a picker changes nothing
    if (!PreguntoGuardar()) return;
    selectedKey = qMax(0, treMaster->CuentaSeleccionada());
    inpDescripcion->clear();
    inpCodInt->clear();
    QString aviso;
    const int sugerido = UltNumHijo(selectedKey, empresa, ejercicio, &aviso);
    inpNumHijo->setText(sugerido < 0 ? QString() : QString::number(sugerido));
    fraNumHijo->setEnabled(true);
    // The parent's code stays in sight while its new child is typed.
    VerificoPlan();
    lblCodigoPath->setText(CodJerCuenta(selectedKey, empresa, ejercicio, maximos));
    pnlDatos->setVisible(true);
    fraConceptosDebe->setVisible(true);
    fraConceptosHaber->setVisible(true);
    LimpioConceptos(sprConceptosDebe);
    LimpioConceptos(sprConceptosHaber);
    EmpiezoAlta();
    ColoresModo();
    if (!aviso.isEmpty()) {
        Mensaje(aviso, Icono::Advertencia);
        inpNumHijo->setFocus();
    } else {
        inpDescripcion->setFocus();
    }
}

QVariantList frmCuentas::Conceptos(const Grilla* g) const {
    QVariantList lista;
    for (int fila = 1; fila < g->filas(); ++fila) {
        const QString codigo = g->texto(fila, 1).trimmed();
        if (codigo.isEmpty()) break;
        lista << codigo;
    }
    return lista;
}

DatosCuenta frmCuentas::LeoPanel() const {
    DatosCuenta d;
    d.codInt = inpCodInt->text();
    d.descripcion = inpDescripcion->text();
    d.numHijo = inpNumHijo->text();
    d.condDebito = optCondDebito[0]->isChecked();
    d.cuentaResultado = optCuentaResultado[0]->isChecked();
    d.ajustable = optAjustable[0]->isChecked();
    d.conceptosDebe = Conceptos(sprConceptosDebe);
    d.conceptosHaber = Conceptos(sprConceptosHaber);
    return d;
}

bool frmCuentas::GuardoCuenta() {
    const DatosCuenta d = LeoPanel();
    Grabacion g;
    {
        Espera espera;
        g = adding ? AgregoCuenta(ContextoActual(), empresa, ejercicio, selectedKey, d)
                   : ModificoCuenta(ContextoActual(), empresa, ejercicio, selectedKey, d);
    }
    if (!g.ok()) {
        Mensaje(g.mensaje, g.falla == Grabacion::PadreImputable ? Icono::Error : Icono::Advertencia);
        if (g.falla == Grabacion::NumHijoInvalido) inpNumHijo->setFocus();
        return false;
    }
    if (adding) {
        QTreeWidgetItem* padre = treMaster->Nodo(selectedKey);
        treMaster->AgregoNodo(g.cuenta, selectedKey, d.descripcion);
        if (padre) padre->setExpanded(true);
        Caption();
        adding = false;
        MuestroCuenta(); // the parent again, now a summary account
        // Shown on the root, MuestroCuenta stops early: the code search still needs the new widths
        // (the first account of a chart enables it).
        VerificoPlan();
    } else if (QTreeWidgetItem* nodo = treMaster->Nodo(selectedKey)) {
        nodo->setText(0, d.descripcion);
        VerificoPlan();
        lblCodigoPath->setText(CodJerCuenta(selectedKey, empresa, ejercicio, maximos));
    }
    dirty = false;
    adding = false;
    ColoresModo();
    return true;
}

void frmCuentas::BorroCuenta() {
    if (eligiendo) return; // a picker changes nothing
    if (adding) {
        MuestroCuenta();
        return;
    }
    const int cuenta = treMaster->CuentaSeleccionada();
    if (cuenta <= 0) return;
    if (TieneHijos(empresa, ejercicio, cuenta)) {
        Mensaje(TextosCuentas::TieneDependencias, Icono::Error);
        return;
    }
    if (Mensaje("Está seguro de eliminar permanentemente el registro seleccionado", Icono::Pregunta,
                Botones::SiNo) != Respuesta::Si)
        return;
    const Eliminacion e = EliminoCuenta(ContextoActual(), empresa, ejercicio, cuenta);
    if (!e.ok()) {
        Mensaje(e.mensaje, e.falla == Eliminacion::TieneHijos ? Icono::Error : Icono::Informacion);
        return;
    }
    cambiandoNodo = true;
    treMaster->QuitoNodo(cuenta);
    cambiandoNodo = false;
    Caption();
    MuestroCuenta();
    VerificoPlan();
}

// --- Concept grids ----------------------------------------------------------------------------------

void frmCuentas::ElijoConcepto(Grilla* g, int fila) {
    if (eligiendo) return; // a picker changes nothing
    if (fila < 1 || !Pantallas::Registrada("frmConceptosDetAsiento")) return;
    // A concept below the list's end would be lost at the next save: it goes to the first free row.
    int libre = 1;
    while (libre < g->filas() && !g->texto(libre, 1).trimmed().isEmpty())
        ++libre;
    if (fila > libre) fila = libre;
    if (fila >= g->filas()) return;
    const std::optional<Eleccion> c = Pantallas::Elijo("frmConceptosDetAsiento", g->texto(fila, 2), this);
    if (!c || c->codigo < 0) return;
    g->setTexto(fila, 1, QString::number(c->codigo));
    g->setTexto(fila, 2, c->texto);
    AnotoCambio();
}

void frmCuentas::BorroLineaConcepto(Grilla* g) {
    if (eligiendo) return; // a picker changes nothing
    const int fila = g->filaActiva();
    if (fila < 1) return;
    if (Mensaje("Está seguro de eliminar la linea actual", Icono::Pregunta, Botones::SiNo) != Respuesta::Si)
        return;
    g->BorroFila(fila);
    if (g->filas() < FilasConceptos) g->setFilas(FilasConceptos);
    AnotoCambio();
}

// --- Moving -----------------------------------------------------------------------------------------

void frmCuentas::MuevoCuenta(int arrastrada, int destino) {
    if (eligiendo) return; // a picker changes nothing
    QTreeWidgetItem* nodo = treMaster->Nodo(arrastrada);
    QTreeWidgetItem* nodoDestino = treMaster->Nodo(destino);
    if (!nodo || !nodoDestino || destino == 0 || arrastrada == destino) return;
    const bool conHijos = nodo->childCount() > 0;
    if (conHijos && !PreguntoGuardar()) return;
    Movimiento m;
    {
        Espera espera;
        m = ::MuevoCuenta(ContextoActual(), empresa, ejercicio, arrastrada, destino);
    }
    if (m.resultado == Movimiento::HijaDeSiMisma) {
        Mensaje(m.mensaje, Icono::Error);
        return;
    }
    if (m.resultado == Movimiento::Falla) {
        Mensaje(m.mensaje, Icono::Advertencia);
        return;
    }
    if (m.resultado != Movimiento::Hecho) return;
    cambiandoNodo = true;
    if (conHijos) {
        treMaster->CargoArbol(empresa, ejercicio, maximos, selectedKey);
        VerificoRegistro(ContextoActual().En(empresa, ejercicio), PantallaCuentas);
        MascaraBusqueda();
        Caption();
    } else {
        const QString texto = nodo->text(0);
        treMaster->QuitoNodo(arrastrada);
        treMaster->InsertoAntes(arrastrada, texto, treMaster->Nodo(destino));
    }
    if (!treMaster->Selecciono(selectedKey)) treMaster->Selecciono(0);
    cambiandoNodo = false;
    // The move may have shifted the shown account or changed a level's width.
    VerificoPlan();
    if (selectedKey > 0 && !adding) {
        lblCodigoPath->setText(CodJerCuenta(selectedKey, empresa, ejercicio, maximos));
        inpNumHijo->setText(QString::number(NumHijoDe(empresa, ejercicio, selectedKey)));
    }
}

// --- Searches ---------------------------------------------------------------------------------------

void frmCuentas::BusquedaNodo(int cuenta) {
    if (!PreguntoGuardar()) return;
    if (!treMaster->Nodo(cuenta)) return;
    cambiandoNodo = true;
    treMaster->Selecciono(cuenta);
    cambiandoNodo = false;
    MuestroCuenta();
}

void frmCuentas::BuscoCodInt(const QString& texto) {
    BusquedaNodo(BuscoPorCodInt(texto, empresa, ejercicio));
}

void frmCuentas::BuscoDescripcion(const QString& texto) {
    BusquedaNodo(BuscoPorDescripcion(texto, empresa, ejercicio));
}

void frmCuentas::BuscoCodJer(const QString& texto) {
    BusquedaNodo(CuentaDeCodJer(texto, empresa, ejercicio));
}

bool frmCuentas::eventFilter(QObject* objeto, QEvent* evento) {
    auto* campo = qobject_cast<QLineEdit*>(objeto);
    if (campo) {
        if (evento->type() == QEvent::FocusIn && campo == inpBusqCodJer) {
            VerificoPlan();
        } else if (evento->type() == QEvent::MouseButtonRelease && campo == inpBusqCodJer &&
                   !campo->hasSelectedText() && campo->displayText().remove('.').trimmed().isEmpty()) {
            // A click lands the cursor where it points, past the blanks of an empty picture, where
            // nothing can be typed: the code is typed from its first position.
            campo->setCursorPosition(0);
        } else if (evento->type() == QEvent::FocusOut) {
            // A message box or the picker taking the focus for a moment is not leaving the field.
            const Qt::FocusReason razon = static_cast<QFocusEvent*>(evento)->reason();
            if (razon != Qt::ActiveWindowFocusReason && razon != Qt::PopupFocusReason) campo->clear();
        } else if (evento->type() == QEvent::KeyPress &&
                   static_cast<QKeyEvent*>(evento)->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

// --- Opening, picking, closing ----------------------------------------------------------------------

void frmCuentas::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!activada) {
        activada = true;
        Activacion();
    }
}

bool frmCuentas::event(QEvent* e) {
    // Every activation, not only the first, puts the focus back in the search field; coming back
    // from a message box is not an activation (the user goes on where the message interrupted).
    if (e->type() == QEvent::WindowDeactivate)
        trasMensaje = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
    else if (e->type() == QEvent::WindowActivate && activada && !std::exchange(trasMensaje, false))
        Activacion();
    return QDialog::event(e);
}

void frmCuentas::Activacion() {
    AppState& a = App();
    const int forma = UltFormaIngresoCuenta();
    QLineEdit* campo = forma == PorCodJer        ? inpBusqCodJer
                       : forma == PorDescripcion ? inpBusqDescripcion
                                                 : inpBusqCodInt;
    if (!campo->isEnabled()) campo = inpBusqCodInt;
    campo->setFocus();
    if (!a.searchText.isNull()) {
        campo->setText(a.searchText);
        if (campo == inpBusqCodJer)
            BuscoCodJer(campo->displayText());
        else if (campo == inpBusqDescripcion)
            BuscoDescripcion(campo->text());
        else
            BuscoCodInt(campo->text());
        a.searchText = QString();
    } else {
        a.preselection = -1;
    }
}

void frmCuentas::Selecciono() {
    if (!PreguntoGuardar()) return;
    QTreeWidgetItem* nodo = treMaster->currentItem();
    const int cuenta = ArbolPlan::CuentaDe(nodo);
    if (cuenta <= 0) return;
    // What is handed back is what is stored: edits just declined are dropped first.
    if (dirty || adding || cuenta != selectedKey) MuestroCuenta();
    pickedAccount = cuenta;
    Eleccion e;
    e.codigo = cuenta;
    e.texto = e.codInt = inpCodInt->text();
    e.codJer = lblCodigoPath->text();
    e.descripcion = nodo->text(0);
    elegido = e;
    // Screens that still read the hand-over values find the choice there too.
    AppState& a = App();
    a.selectionText = e.texto;
    a.pickCodInt = e.codInt;
    a.pickCodJer = e.codJer;
    a.pickDescripcion = e.descripcion;
    if (Cierro()) {
        TerminoCierre();
        QDialog::accept();
    }
}

bool frmCuentas::Cierro() {
    if (cerrando) return true;
    return PreguntoGuardar();
}

void frmCuentas::TerminoCierre() {
    cerrando = true;
    App().selectionCode = pickedAccount;
}

void frmCuentas::reject() {
    if (!Cierro()) return;
    TerminoCierre();
    QDialog::reject();
}

void frmCuentas::closeEvent(QCloseEvent* e) {
    if (!Cierro()) {
        e->ignore();
        return;
    }
    TerminoCierre();
    QDialog::closeEvent(e);
}
