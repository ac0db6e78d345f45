#include "journal/ui/frmAsientos.h"

#include "accounts/ArbolCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "core/ui/AplicoPermisos.h"
#include "core/ui/DialogoProgreso.h"
#include "core/ui/Controles.h"
#include "core/ui/Cursor.h"
#include "core/ui/Disposicion.h"
#include "core/ui/Grilla.h"
#include "core/ui/GrillaDelegado.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "journal/Asiento.h"
#include "journal/LineasAsiento.h"
#include "journal/ListaAsientos.h"
#include "journal/ui/DetalleAsiento.h"
#include "journal/ui/GrillaListaAsientos.h"
#include "journal/ui/frmHistorialAsiento.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QShortcut>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString Seccion = QStringLiteral("Asientos");

QLineEdit* Campo(QWidget* padre, const char* nombre) {
    auto* e = new QLineEdit(padre);
    e->setObjectName(nombre);
    return e;
}
} // namespace

frmAsientos::~frmAsientos() = default;

frmAsientos::frmAsientos(QWidget* padre) : QWidget(padre) {
    setObjectName("frmAsientos");
    ArmoPantalla();
    if (!EjercicioActualExiste()) {
        Mensaje("No puede utilizar éste módulo si todavía no seleccionó un ejercicio (EmpresaPropia-Período)",
                Icono::Error);
        setProperty("rechazada", true);
        return;
    }
    SeparadorDecimalGrilla(sprDetAsiento);
    InicioGrillas(this);
    CargoPlan();
    firstActivation = true;
    dirty = adding = false;
    ColoresModo();
    Caption();
    resize(960, 640);
}

void frmAsientos::ArmoPantalla() {
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
    clbMaster = new QWidget(Picture1);
    clbMaster->setObjectName("clbMaster");
    auto* bandas = new QHBoxLayout(clbMaster);
    bandas->setContentsMargins(0, 0, 0, 0);
    auto banda = [this, bandas](QList<QWidget*> botones) {
        auto* b = new QWidget(clbMaster);
        auto* l = new QHBoxLayout(b);
        l->setContentsMargins(0, 0, 8, 0);
        for (QWidget* w : botones) {
            w->setParent(b);
            l->addWidget(w);
        }
        bandas->addWidget(b);
    };
    btnBuscar = BotonImagen(clbMaster, "btnBuscar", QStyle::SP_FileDialogContentsView, "Buscar asiento/s");
    btnIzquierda =
        BotonImagen(clbMaster, "btnIzquierda", QStyle::SP_ArrowLeft, "Ir a número de asiento anterior");
    btnDerecha =
        BotonImagen(clbMaster, "btnDerecha", QStyle::SP_ArrowRight, "Ir a número de asiento posterior");
    btnUndo = BotonImagen(clbMaster, "btnUndo", QStyle::SP_DialogResetButton,
                          "Deshacer cambios en asiento actual (antes de grabar)");
    btnMas = BotonImagen(clbMaster, "btnMas", QStyle::SP_FileIcon,
                         "Agregar nuevo asiento, utilizando concepto y detalles de asiento actualmente "
                         "visible como base inicial");
    btnRegAgregar =
        BotonImagen(clbMaster, "btnRegAgregar", QStyle::SP_FileDialogNewFolder, "Agregar nuevo asiento (Ctrl+N)");
    btnCopiar = BotonImagen(clbMaster, "btnCopiar", QStyle::SP_DialogApplyButton,
                            "Copiar asiento: uno nuevo con las líneas, importes y conceptos del visible (Ctrl+D)");
    btnRegBorrar = BotonImagen(clbMaster, "btnRegBorrar", QStyle::SP_TrashIcon, "Eliminar registro actual");
    btnGuardar =
        BotonImagen(clbMaster, "btnGuardar", QStyle::SP_DialogSaveButton, "Grabar asiento actual (Ctrl+G)");
    btnImprimir = BotonImagen(clbMaster, "btnImprimir", QStyle::SP_FileDialogListView,
                              "Imprimir asientos visualizados");
    banda({btnBuscar, btnIzquierda, btnDerecha});
    btnHistorial = BotonImagen(clbMaster, "btnHistorial", QStyle::SP_FileDialogInfoView,
                               "Historial de cambios del asiento actual (Ctrl+H)");
    banda({btnUndo, btnMas, btnCopiar, btnRegAgregar, btnRegBorrar, btnGuardar, btnImprimir, btnHistorial});
    barra->addWidget(clbMaster);
    barra->addStretch();
    btnSalir = BotonImagen(Picture1, "btnSalir", QStyle::SP_DialogCloseButton, "Salir de ventana actual");
    barra->addWidget(btnSalir);
    principal->addWidget(Picture1);

    auto* division = new QSplitter(Qt::Vertical, this);
    division->setChildrenCollapsible(false);
    sprAsientos = new Grilla(division);
    sprAsientos->setObjectName("sprAsientos");
    sprAsientos->setColumnas(5);
    const char* titulos[] = {"Fecha", "Concepto", "Cuentas Debe", "Cuentas Haber", "Monto total"};
    const int anchos[] = {70, 220, 240, 240, 100};
    for (int c = 1; c <= 5; ++c) {
        sprAsientos->setEncabezado(c, QString::fromUtf8(titulos[c - 1]));
        sprAsientos->setAnchoColumna(c, anchos[c - 1]);
    }
    TipoCelda ajustado;
    ajustado.clase = TipoCelda::TextoAjustado;
    sprAsientos->setTipoColumna(2, ajustado);
    sprAsientos->setTipoColumna(3, ajustado);
    sprAsientos->setTipoColumna(4, ajustado);
    // An amount: shown as every amount of every grid is.
    TipoCelda monto;
    monto.clase = TipoCelda::Numero;
    monto.decimales = 2;
    sprAsientos->setTipoColumna(5, monto);
    sprAsientos->setSoloLectura(true);
    sprAsientos->setSelectionBehavior(QAbstractItemView::SelectRows);
    sprAsientos->setColorTexto(QColor(0, 0, 128));
    sprAsientos->setTitulo("Asientos");
    lista = std::make_unique<GrillaListaAsientos>(sprAsientos);
    division->addWidget(sprAsientos);

    // Entry panel
    picAsiento = new QWidget(division);
    picAsiento->setObjectName("picAsiento");
    auto* panel = new QVBoxLayout(picAsiento);
    panel->setContentsMargins(4, 0, 4, 0);
    auto* cabecera = new QHBoxLayout;
    lblNvoExistente = new QLabel(picAsiento);
    lblNvoExistente->setObjectName("lblNvoExistente");
    lblNvoExistente->setMinimumWidth(110);
    QFont negrita = lblNvoExistente->font();
    negrita.setBold(true);
    lblNvoExistente->setFont(negrita);
    chkEdito = new QCheckBox("Edito", picAsiento);
    chkEdito->setObjectName("chkEdito");
    chkEdito->setToolTip("Permitir edición de asiento actual (Ctrl+E)");
    chkEdito->setAccessibleName("Edito");
    inpFecha = Campo(picAsiento, "inpFecha");
    inpFecha->setValidator(new ValidadorFecha(inpFecha));
    inpFecha->setPlaceholderText("dd/mm/aaaa");
    inpFecha->setToolTip("dd/mm/aaaa; 15: día del mes visible; 15/3: día y mes del ejercicio; + / -: un día "
                         "más / menos; Enter pasa al concepto");
    inpFecha->installEventFilter(this);
    inpAsiento = Campo(picAsiento, "inpAsiento");
    inpAsiento->setValidator(new QIntValidator(1, 2147483647, inpAsiento));
    const QString ayudaNumero = "Si está vacío y es nuevo, autonumerable al momento de grabar";
    inpAsiento->setToolTip(ayudaNumero);
    inpConcepto = Campo(picAsiento, "inpConcepto");
    inpConcepto->installEventFilter(this);
    inpAsiento->installEventFilter(this);
    inpConcepto->setToolTip("Enter pasa a las líneas; doble click: conceptos de asiento");
    lblFecha = Marco(picAsiento, "lblFecha", "Fecha", inpFecha);
    lblAsiento = Marco(picAsiento, "lblAsiento", "Asiento", inpAsiento);
    lblAsiento->setToolTip(ayudaNumero);
    lblConcepto = Marco(picAsiento, "lblConcepto", "Concepto / Leyenda del Asiento", inpConcepto);
    cabecera->addWidget(lblNvoExistente);
    cabecera->addWidget(chkEdito);
    cabecera->addWidget(lblFecha);
    cabecera->addWidget(lblAsiento);
    cabecera->addWidget(lblConcepto, 1);
    panel->addLayout(cabecera);
    sprDetAsiento = new Grilla(picAsiento);
    sprDetAsiento->setObjectName("sprDetAsiento");
    sprDetAsiento->setTitulo("Detalle del asiento");
    lineas = new DetalleAsiento(
        sprDetAsiento, [this] { return inpFecha->text(); }, [this] { return chkEdito->isChecked(); });
    panel->addWidget(sprDetAsiento, 1);
    // Running totals: the difference in red while the entry does not balance.
    auto* totales = new QHBoxLayout;
    totales->addStretch();
    auto total = [this, totales](const char* nombre, const QString& titulo) {
        auto* valor = new QLabel(picAsiento);
        valor->setObjectName(nombre);
        valor->setAccessibleName(titulo);
        valor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        valor->setMinimumWidth(110);
        auto* rotulo = new QLabel(titulo, picAsiento);
        rotulo->setBuddy(valor);
        totales->addWidget(rotulo);
        totales->addWidget(valor);
        totales->addSpacing(12);
        return valor;
    };
    lblTotalDebe = total("lblTotalDebe", "Total Debe");
    lblTotalHaber = total("lblTotalHaber", "Total Haber");
    lblDiferencia = total("lblDiferencia", "Diferencia");
    panel->addLayout(totales);
    division->addWidget(picAsiento);
    division->setStretchFactor(0, 2);
    division->setStretchFactor(1, 3);
    principal->addWidget(division, 1);

    // Wiring
    connect(btnBuscar, &QToolButton::clicked, this, &frmAsientos::Busco);
    connect(btnIzquierda, &QToolButton::clicked, this, [this] { Muevo(-1); });
    connect(btnDerecha, &QToolButton::clicked, this, [this] { Muevo(1); });
    connect(btnUndo, &QToolButton::clicked, this, &frmAsientos::Deshago);
    connect(btnMas, &QToolButton::clicked, this, [this] { Agrego(true); });
    connect(btnRegAgregar, &QToolButton::clicked, this, [this] { Agrego(false); });
    connect(btnCopiar, &QToolButton::clicked, this, &frmAsientos::Copio);
    connect(btnRegBorrar, &QToolButton::clicked, this, &frmAsientos::Borro);
    connect(btnGuardar, &QToolButton::clicked, this, &frmAsientos::Guardo);
    connect(btnImprimir, &QToolButton::clicked, this, &frmAsientos::Imprimo);
    connect(btnSalir, &QToolButton::clicked, this, [this] {
        if (auto* s = qobject_cast<QMdiSubWindow*>(parentWidget()))
            s->close();
        else
            close();
    });
    auto* guardar = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this);
    guardar->setContext(Qt::WidgetWithChildrenShortcut);
    connect(guardar, &QShortcut::activated, this, [this] {
        // A key does no more than its command: not what the profile's level has disabled.
        if (btnGuardar->isEnabled()) Guardo();
    });
    connect(btnHistorial, &QToolButton::clicked, this, &frmAsientos::MuestroHistorial);
    auto* historial = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    historial->setContext(Qt::WidgetWithChildrenShortcut);
    connect(historial, &QShortcut::activated, this, &frmAsientos::MuestroHistorial);
    connect(chkEdito, &QCheckBox::clicked, this, &frmAsientos::ClicEdito);
    auto atajo = [this](QKeySequence teclas, auto accion) {
        auto* a = new QShortcut(teclas, this);
        a->setContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QShortcut::activated, this, accion);
    };
    atajo(QKeySequence(Qt::CTRL | Qt::Key_N), [this] {
        if (!btnRegAgregar->isEnabled()) return;
        Agrego(false);
        if (adding) FocoFecha();
    });
    atajo(QKeySequence(Qt::CTRL | Qt::Key_D), [this] {
        if (btnCopiar->isEnabled()) Copio();
    });
    atajo(QKeySequence(Qt::CTRL | Qt::Key_E), [this] {
        if (chkEdito->isVisible() && chkEdito->isEnabled()) chkEdito->click();
    });
    // What the profile's level restricts: every command that writes an entry, the lines grid; deleting
    // (also a module of its own).
    for (QWidget* w : std::initializer_list<QWidget*>{btnMas, btnCopiar, btnRegAgregar, btnGuardar, chkEdito,
                                                      sprDetAsiento})
        MarcoControl(w, "RO");
    MarcoControl(btnRegBorrar, "RO2");
    MarcoAccion(btnRegBorrar, Permisos::EliminacionAsientos, Accion::Eliminar);
    connect(lineas, &DetalleAsiento::TotalesCambiados, this, &frmAsientos::MuestroTotales);
    for (QLineEdit* e : {inpFecha, inpAsiento, inpConcepto})
        connect(e, &QLineEdit::textEdited, this, &frmAsientos::MarcoModificado);
    connect(lineas, &DetalleAsiento::Modificado, this, &frmAsientos::MarcoModificado);
    connect(sprAsientos, &Grilla::CambioFila, this, [this](int anterior, int nueva) {
        if (llenando) return;
        // Handled once the click is over: the save question may open a message box.
        QMetaObject::invokeMethod(
            this, [this, anterior, nueva] { CambioFilaLista(anterior, nueva); }, Qt::QueuedConnection);
    });
}

// --- Mode, caption, chart widths --------------------------------------------------------------------

void frmAsientos::Caption() {
    setWindowTitle(QString("Asientos (%1 registros seleccionados)").arg(sprAsientos->filas()));
}

void frmAsientos::ColoresModo() {
    PintoModo(Picture1);
}

void frmAsientos::CargoPlan() {
    const AppState& a = App();
    listado = EjercicioListado::De(ContextoActual());
    CargoArbol(a.currentCompany, a.currentYear, maximos);
    VerificoRegistro(ContextoActual(), PantallaAsientos);
    lineas->maximos = maximos;
    lineas->AplicoMascara();
}

void frmAsientos::VerificoPlan() {
    const AppState& a = App();
    if (PantallaRegistrada(ContextoActual(), PantallaAsientos)) return;
    // The chart changed since it was read (here or in another session): widths and mask again.
    maximos = MaximosDelPlan(a.currentCompany, a.currentYear);
    RegistroPantalla(ContextoActual(), PantallaAsientos);
    lineas->maximos = maximos;
    lineas->AplicoMascara();
}

void frmAsientos::MarcoModificado() {
    if (llenando) return;
    dirty = true;
    listRow = sprAsientos->filaActiva();
}

int frmAsientos::AsientoDeFila(int fila) const {
    return fila >= 1 && fila <= sprAsientos->filas() ? sprAsientos->texto(fila, 0).toInt() : 0;
}

// --- The list ---------------------------------------------------------------------------------------

void frmAsientos::ActSprRpt() {
    const ConsultaSql& consulta = App().entryListQuery;
    if (!consulta.vacia()) {
        Espera espera;
        ListaAsientos filas;
        QString error;
        bool cancelado = false;
        // Where the rows come one by one. A server's driver that streams a reading loses it when
        // another statement is sent, and the screens' events run statements while the reading goes on:
        // there the shared connection would take every row of the year at once, so the list is read on
        // a connection of its own, which sees what this program has committed. Inside a transaction
        // only the shared connection sees what it holds.
        bool leida;
        if (LecturaLargaAparte()) {
            QString motivo;
            leida = DialogoProgreso::ConConexion(
                this, "Lista de asientos", ContextoActual(),
                [&](const Contexto& propio) {
                    const bool ok = ArmoListaAsientos(propio, consulta, filas, &error);
                    cancelado = propio.progreso->Cancelado();
                    return ok;
                },
                &motivo);
            if (!motivo.isEmpty()) error = motivo;
        } else {
            leida = DialogoProgreso::EnEsteHilo(this, "Lista de asientos", [&](Progreso& p) {
                Contexto ctx = ContextoActual();
                ctx.progreso = &p;
                const bool ok = ArmoListaAsientos(ctx, consulta, filas, &error);
                cancelado = p.Cancelado();
                return ok;
            });
        }
        if (cancelado) {
            Caption(); // the list stays as it was
            return;
        }
        if (!leida) {
            Mensaje("No se pudo obtener la lista de asientos; " + error, Icono::Advertencia);
            Caption();
            return;
        }
        // The query was made in the current pair: the list now belongs to it.
        const int recordado =
            listado == EjercicioListado::De(ContextoActual()) ? AsientoDeFila(sprAsientos->filaActiva()) : 0;
        listado = EjercicioListado::De(ContextoActual());
        llenando = true;
        sprAsientos->Oculto(true);
        const qsizetype recordada = recordado != 0 ? filas.Busco(recordado) : -1;
        const int activa = int(recordada >= 0 ? recordada + 1 : filas.size());
        lista->Muestro(std::move(filas));
        sprAsientos->Oculto(false);
        sprAsientos->setCeldaActual(activa, -1);
        llenando = false;
        MuestroAsiento();
    }
    Caption();
}

void frmAsientos::CambioFilaLista(int, int nueva) {
    if (nueva < 1 || nueva > sprAsientos->filas()) return;
    if (!dirty && AsientoDeFila(nueva) == AsientoDeFila(listRow) && picAsiento->isVisible() && !adding)
        return;
    if (PreguntoGuardarAsiento(true)) {
        llenando = true;
        sprAsientos->setCeldaActual(listRow, -1);
        llenando = false;
        return;
    }
    MuestroAsiento();
}

void frmAsientos::Muevo(int paso) {
    const int n = sprAsientos->filas();
    const int f = sprAsientos->filaActiva();
    if (n == 0 || f < 1) return;
    if (PreguntoGuardarAsiento(true)) return;
    // From the first row back to the last, from the last on to the first.
    const int nueva = ((f - 1 + paso) % n + n) % n + 1;
    llenando = true;
    sprAsientos->setCeldaActual(nueva, -1);
    sprAsientos->MuestroCelda(nueva, 1);
    llenando = false;
    MuestroAsiento();
}

// --- Showing, new entries, editing ------------------------------------------------------------------

void frmAsientos::MuestroAsiento() {
    llenando = true;
    dirty = adding = false;
    ColoresModo();
    lblNvoExistente->clear();
    picAsiento->hide();
    huella.clear();
    const int fila = sprAsientos->filaActiva();
    if (fila >= 1) {
        listRow = fila;
        // A row of another pair, or of an entry gone since it was listed, is not shown.
        if (const QString r = VerificoAsientoListado(ContextoActual(), listado, AsientoDeFila(fila)); !r.isEmpty()) {
            llenando = false;
            Mensaje(r, Icono::Advertencia);
            return;
        }
        VerificoPlan();
        const AsientoGuardado a = LeoAsiento(ContextoActual(), AsientoDeFila(fila), maximos);
        if (a.existe) {
            chkEdito->setChecked(false);
            chkEdito->show();
            lblNvoExistente->setText("Asiento Existente");
            inpFecha->setText(FechaATexto(a.fecha));
            fechaMostrada = a.fecha;
            inpAsiento->setText(QString::number(a.asiento));
            inpConcepto->setText(a.concepto);
            lineas->Cargo(a);
            huella = a.huella;
            picAsiento->show();
            HabilitoEdicion(false);
            sprDetAsiento->setCeldaActual(1, DetalleAsiento::ColCodInt);
            lineas->PosicionoEnCodDefault();
        }
    }
    dirty = adding = false;
    llenando = false;
}

void frmAsientos::HabilitoEdicion(bool on) {
    lblFecha->setEnabled(on);
    lblAsiento->setEnabled(on);
    lblConcepto->setEnabled(on);
    sprDetAsiento->setSoloLectura(!on);
    if (on && sprDetAsiento->filas() < DetalleAsiento::FilasEdicion)
        sprDetAsiento->setFilas(DetalleAsiento::FilasEdicion);
}

void frmAsientos::ClicEdito() {
    const bool on = chkEdito->isChecked();
    if (!on) {
        // Unticking drops what was typed.
        if (adding)
            PreparoAsientoNuevo();
        else
            MuestroAsiento();
    }
    HabilitoEdicion(on);
}

void frmAsientos::PreparoAsientoNuevo() {
    llenando = true;
    QPalette p = Picture1->palette();
    p.setColor(QPalette::Window, ColorAgregando());
    Picture1->setPalette(p);
    lblNvoExistente->setText("Asiento Nuevo");
    picAsiento->hide();
    chkEdito->hide();
    chkEdito->setChecked(true);
    fechaMostrada = FechaNuevoAsiento(ContextoActual());
    inpFecha->setText(FechaATexto(fechaMostrada));
    inpAsiento->clear();
    huella.clear();
    lineas->OlvidoCuentas();
    if (copiando) {
        // Lines, amounts and concepts stay; the amounts now date from the new entry.
        for (int f = 1; f <= sprDetAsiento->filas(); ++f)
            if (!sprDetAsiento->texto(f, DetalleAsiento::ColFechaAjuste).isEmpty())
                sprDetAsiento->setTexto(f, DetalleAsiento::ColFechaAjuste, inpFecha->text());
    } else {
        lineas->LimpioMarcas();
    }
    if (basedOnShown && !copiando) {
        // The shown entry's accounts and concept stay; amounts, line concepts and dates go.
        sprDetAsiento->LimpioBloque(1, DetalleAsiento::ColDebe, sprDetAsiento->filas(),
                                    DetalleAsiento::ColFechaAjuste);
    } else if (!copiando) {
        inpConcepto->clear();
        sprDetAsiento->setFilas(0);
    }
    sprDetAsiento->setFilas(std::max(sprDetAsiento->filas(), int(DetalleAsiento::FilasEdicion)));
    picAsiento->show();
    HabilitoEdicion(true);
    FocoFecha();
    llenando = false;
    lineas->Recuento();
}

void frmAsientos::FocoFecha() {
    inpFecha->setFocus();
    // What is typed replaces the date proposed.
    inpFecha->selectAll();
}

void frmAsientos::Agrego(bool basado) {
    // A new entry being typed is stored without asking when another is started.
    if (PreguntoGuardarAsiento(!adding)) return;
    basedOnShown = basado;
    copiando = false;
    adding = true;
    PreparoAsientoNuevo();
    dirty = true;
    adding = true;
}

void frmAsientos::Copio() {
    if (!picAsiento->isVisible()) return;
    if (PreguntoGuardarAsiento(!adding)) return;
    basedOnShown = false;
    copiando = true;
    adding = true;
    PreparoAsientoNuevo();
    copiando = false;
    dirty = true;
    adding = true;
}

// --- Saving -----------------------------------------------------------------------------------------

bool frmAsientos::PreguntoGuardarAsiento(bool preguntar) {
    sprDetAsiento->TerminoEdicion();
    lineas->ProcesoPendiente();
    if (!dirty || sprDetAsiento->filas() == 0) {
        dirty = false;
        return false;
    }
    if (!lineas->HayTipeado() && inpConcepto->text().isEmpty()) {
        dirty = false;
        return false;
    }
    if (preguntar) return !Sigo(PreguntoGuardar([this] { return GraboAsiento(); }));
    return !GraboAsiento();
}

bool frmAsientos::GraboAsiento() {
    // A new entry goes into the pair it was started in, an edited one over the row listed there (an
    // entry changed or deleted since it was shown is the fingerprint's to refuse).
    if (const QString vigente = VerificoListado(ContextoActual(), listado); !vigente.isEmpty()) {
        Mensaje(vigente, Icono::Advertencia);
        return false;
    }
    AsientoEditado e;
    e.fecha = inpFecha->text();
    e.numero = inpAsiento->text();
    e.concepto = inpConcepto->text();
    e.adding = adding;
    const int filaLista = adding ? 0 : listRow;
    e.guardado = adding ? 0 : AsientoDeFila(filaLista);
    e.huella = huella;
    e.lineas = lineas->Lineas();
    ResultadoAsiento r;
    {
        Espera espera;
        r = GuardoAsiento(ContextoActual(), e);
    }
    if (!r.ok) {
        // Everything typed stays, and so does the mark of unsaved changes.
        Mensaje(r.mensaje, Icono::Advertencia);
        return false;
    }
    dirty = false;
    llenando = true;
    if (adding) {
        // A new entry goes at the end of the list, and becomes its active row.
        lista->Escribo(0, r.fila);
        sprAsientos->setCeldaActual(sprAsientos->filas(), -1);
        adding = false;
        Caption();
    } else if (filaLista >= 1) {
        lista->Escribo(filaLista, r.fila);
    }
    llenando = false;
    huella = HuellaAsiento(ContextoActual(), r.asiento);
    return true;
}

void frmAsientos::Guardo() {
    sprDetAsiento->TerminoEdicion();
    lineas->ProcesoPendiente();
    if (!dirty) return;
    if (!lineas->HayTipeado() && inpConcepto->text().isEmpty()) {
        dirty = false;
        return;
    }
    if (GraboAsiento()) MuestroAsiento();
}

void frmAsientos::Deshago() {
    if (!dirty) return;
    if (adding) {
        PreparoAsientoNuevo();
        dirty = false;
    } else {
        MuestroAsiento();
    }
}

void frmAsientos::Borro() {
    if (adding) {
        // The new entry is abandoned.
        MuestroAsiento();
        return;
    }
    const int fila = sprAsientos->filaActiva();
    if (fila < 1) return;
    const int asiento = AsientoDeFila(fila);
    if (const QString r = VerificoAsientoListado(ContextoActual(), listado, asiento); !r.isEmpty()) {
        Mensaje(r, Icono::Advertencia);
        return;
    }
    if (Mensaje("Está seguro de eliminar permanentemente el asiento actual", Icono::Pregunta,
                Botones::SiNo) != Respuesta::Si)
        return;

    const QString error = BorroAsiento(ContextoActual(), asiento, picAsiento->isVisible() ? huella : QString());
    if (!error.isEmpty()) {
        Mensaje(error, Icono::Informacion);
        return;
    }
    llenando = true;
    lista->Quito(fila);
    sprAsientos->setCeldaActual(std::min(fila, sprAsientos->filas()), -1);
    llenando = false;
    Caption();
    MuestroAsiento();
}

void frmAsientos::MuestroHistorial() {
    // A new entry has no history yet; a stored one is named by its row of the list.
    if (adding || !picAsiento->isVisible()) return;
    const int asiento = AsientoDeFila(sprAsientos->filaActiva());
    if (asiento <= 0) return;
    frmHistorialAsiento d(ContextoActual(), asiento, this);
    d.exec();
}

// --- Search, commands, concept picker, printing -----------------------------------------------------

void frmAsientos::Busco() {
    if (PreguntoGuardarAsiento(true)) return;
    if (!Pantallas::Registrada("frmBusquedaAsientos")) return;
    Pantallas::AbroModal("frmBusquedaAsientos", this);
    ActSprRpt();
}

void frmAsientos::NuevoAsiento() {
    Agrego(false);
    activateWindow();
    // The date of the new entry is typed at once.
    if (adding)
        FocoFecha();
    else
        setFocus();
}

void frmAsientos::BuscoAsientos() {
    Busco();
    activateWindow();
    setFocus();
}

void frmAsientos::ListoAsiento(int asiento) {
    if (!PreguntoGuardarAsiento(true)) {
        const AppState& a = App();
        App().entryListQuery = ConsultaUnAsiento(a.currentCompany, a.currentYear, asiento);
        ActSprRpt();
    }
    activateWindow();
    setFocus();
}

void frmAsientos::ElijoConcepto() {
    if (const auto e = Pantallas::Elijo("frmConceptosAsiento", inpConcepto->text(), this)) {
        inpConcepto->setText(e->texto);
        MarcoModificado();
    }
}

void frmAsientos::Imprimo() {
    sprAsientos->Imprimo("Asientos parcial/total", "Asientos");
}

// --- Opening and closing ----------------------------------------------------------------------------

bool frmAsientos::CompletoFecha() {
    const QDate d = FechaTecleada(inpFecha->text(), fechaMostrada, DiasDelEjercicio(ContextoActual()));
    if (!d.isValid()) return false;
    if (inpFecha->text() != FechaATexto(d)) {
        inpFecha->setText(FechaATexto(d));
        MarcoModificado();
    }
    SigoFecha(d);
    return true;
}

void frmAsientos::SigoFecha(const QDate& nueva) {
    // In a new entry the adjustment dates that took the entry's date (a copy's, or lines typed
    // before the date was corrected) follow it.
    if (adding && fechaMostrada.isValid() && nueva != fechaMostrada) {
        const QString antes = FechaATexto(fechaMostrada);
        for (int f = 1; f <= sprDetAsiento->filas(); ++f)
            if (sprDetAsiento->texto(f, DetalleAsiento::ColFechaAjuste) == antes)
                sprDetAsiento->setTexto(f, DetalleAsiento::ColFechaAjuste, FechaATexto(nueva));
    }
    fechaMostrada = nueva;
}

void frmAsientos::MuevoFecha(int dias) {
    const QDate d = FechaTecleada(inpFecha->text(), fechaMostrada, DiasDelEjercicio(ContextoActual()));
    const QDate base = d.isValid() ? d : fechaMostrada;
    if (!base.isValid()) return;
    SigoFecha(base.addDays(dias));
    inpFecha->setText(FechaATexto(fechaMostrada));
    inpFecha->selectAll();
    MarcoModificado();
}

void frmAsientos::FocoLineas() {
    Grilla* g = sprDetAsiento;
    int fila = 1;
    while (fila < g->filas() && (!g->texto(fila, DetalleAsiento::ColDebe).isEmpty() ||
                                 !g->texto(fila, DetalleAsiento::ColHaber).isEmpty()))
        ++fila;
    g->setFocus();
    const QString cuenta = g->texto(fila, DetalleAsiento::ColCuenta);
    if (!cuenta.isEmpty() && cuenta != QLatin1String("-1")) {
        g->setCeldaActual(fila, DetalleAsiento::ColDebe);
    } else {
        g->setCeldaActual(fila, DetalleAsiento::ColCodInt);
        lineas->PosicionoEnCodDefault();
    }
}

void frmAsientos::MuestroTotales(const TotalesAsiento& t) {
    const QChar decimal = sprDetAsiento->separadorDecimal();
    const QChar miles = decimal == u',' ? u'.' : u',';
    lblTotalDebe->setText(t.debe.Texto(decimal, miles));
    lblTotalHaber->setText(t.haber.Texto(decimal, miles));
    lblDiferencia->setText(t.diferencia().Texto(decimal, miles));
    QPalette p = lblDiferencia->palette();
    p.setColor(QPalette::WindowText, t.balanceado() ? palette().color(QPalette::WindowText) : QColor(192, 0, 0));
    lblDiferencia->setPalette(p);
}

bool frmAsientos::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == inpConcepto && evento->type() == QEvent::MouseButtonDblClick && inpConcepto->isEnabled()) {
        ElijoConcepto();
        return true;
    }
    if (objeto == inpFecha && evento->type() == QEvent::FocusIn) {
        if (const QDate d = TextoAFecha(inpFecha->text()); d.isValid()) fechaMostrada = d;
    } else if (objeto == inpFecha && evento->type() == QEvent::FocusOut) {
        CompletoFecha();
    }
    if (evento->type() == QEvent::KeyPress && (objeto == inpFecha || objeto == inpAsiento || objeto == inpConcepto)) {
        auto* k = static_cast<QKeyEvent*>(evento);
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (objeto == inpFecha && (k->key() == Qt::Key_Plus || k->key() == Qt::Key_Minus)) {
            MuevoFecha(k->key() == Qt::Key_Plus ? 1 : -1);
            return true;
        }
        if (enter && k->modifiers() == Qt::NoModifier) {
            // Enter walks the header: the date, then the concept (the number, seldom typed, by Tab),
            // then the lines.
            if (objeto == inpFecha) {
                if (!CompletoFecha()) return true;
                inpConcepto->setFocus();
                inpConcepto->selectAll();
            } else if (objeto == inpAsiento) {
                inpConcepto->setFocus();
                inpConcepto->selectAll();
            } else {
                FocoLineas();
            }
            return true;
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

void frmAsientos::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!disenoRecuperado) {
        disenoRecuperado = true;
        RecuperoVentana(Seccion, this);
        RecuperoColumnas(Seccion, sprAsientos);
        RecuperoColumnas(Seccion, sprDetAsiento);
        RecuperoBandas(Seccion, clbMaster);
    }
    if (firstActivation) {
        firstActivation = false;
        btnSalir->setFocus();
        if (!adding && sprAsientos->filaActiva() < 1) picAsiento->hide();
    }
}

bool frmAsientos::AceptoCierre() {
    sprDetAsiento->TerminoEdicion();
    lineas->ProcesoPendiente();
    // A blank new entry holds nothing to ask about.
    if (!lineas->HayTipeado() && inpConcepto->text().isEmpty()) dirty = false;
    return EstadoEdicion::AceptoCierre([this] { return GraboAsiento(); });
}

void frmAsientos::CierreSuspendido() {
    EstadoEdicion::CierreSuspendido();
}

bool frmAsientos::AceptoCambioEjercicio() {
    return !PreguntoGuardarAsiento(true);
}

void frmAsientos::EjercicioCambiado() {
    // Nothing listed or typed for the pair before stays on screen; the new chart's widths are read.
    llenando = true;
    lista->Vacio();
    sprDetAsiento->setFilas(0);
    inpConcepto->clear();
    llenando = false;
    listRow = 0;
    CargoPlan();
    MuestroAsiento();
    Caption();
}

void frmAsientos::closeEvent(QCloseEvent* e) {
    if (!cerrado) {
        if (PreguntoGuardarAsiento(true)) {
            e->ignore();
            return;
        }
        cerrado = true;
        GuardoVentana(Seccion, this);
        GuardoColumnas(Seccion, sprAsientos);
        GuardoColumnas(Seccion, sprDetAsiento);
        GuardoBandas(Seccion, clbMaster);
    }
    e->accept();
}
