#include "core/ui/Catalogo.h"

#include "core/AppState.h"
#include "core/Contexto.h"
#include "core/Dialecto.h"
#include "core/Valores.h"
#include "core/ui/AplicoPermisos.h"
#include "core/ui/Controles.h"
#include "core/ui/Cursor.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/Ventanas.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// Sets a flag for the life of a scope.
class Bandera {
public:
    explicit Bandera(bool& b) : ref(b), antes(b) { ref = true; }
    ~Bandera() { ref = antes; }
    Bandera(const Bandera&) = delete;
    Bandera& operator=(const Bandera&) = delete;

private:
    bool& ref;
    bool antes;
};

} // namespace

Catalogo::Catalogo(QWidget* padre) : QDialog(padre) {
    resize(680, 440);
    setSizeGripEnabled(true);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(0, 0, 0, 0);
    raiz->setSpacing(0);

    // Tool strip: its colour tells the mode.
    Picture1 = new QFrame(this);
    Picture1->setObjectName("Picture1");
    Picture1->setAccessibleName("Barra de herramientas");
    Picture1->setAutoFillBackground(true);
    auto* tira = new QHBoxLayout(Picture1);
    tira->setContentsMargins(4, 2, 4, 2);
    btnRegAgregar = BotonImagen(this, "btnRegAgregar", QStyle::SP_FileIcon, "Agregar nuevo registro");
    btnRegBorrar = BotonImagen(this, "btnRegBorrar", QStyle::SP_TrashIcon, "Eliminar registro actual");
    btnGuardar = BotonImagen(this, "btnGuardar", QStyle::SP_DialogSaveButton, "Salvar registro actual");
    btnSalir = BotonImagen(this, "btnSalir", QStyle::SP_DialogCloseButton, "Salir de ventana actual");
    tira->addWidget(btnRegAgregar);
    tira->addWidget(btnRegBorrar);
    tira->addWidget(btnGuardar);
    tira->addStretch();
    tira->addWidget(btnSalir);
    raiz->addWidget(Picture1);
    PongoColorModo(false);

    auto* cuerpo = new QHBoxLayout;
    cuerpo->setContentsMargins(8, 8, 8, 8);
    cuerpo->setSpacing(12);
    raiz->addLayout(cuerpo, 1);

    // List side: what a screen puts above the list, the search field, the list and Seleccionar.
    auto* izquierda = new QVBoxLayout;
    encimaLista = new QVBoxLayout;
    izquierda->addLayout(encimaLista);
    inpBusqueda = new QLineEdit(this);
    inpBusqueda->setObjectName("inpBusqueda");
    inpBusqueda->setToolTip("Ingrese texto a buscar en listado");
    inpBusqueda->setPlaceholderText("Ingrese texto a buscar en listado");
    inpBusqueda->setAccessibleName("Búsqueda");
    fraBusqueda = Marco(this, "fraBusqueda", "Búsqueda", inpBusqueda);
    izquierda->addWidget(fraBusqueda);

    sprMaster = new Grilla(this);
    sprMaster->setObjectName("sprMaster");
    sprMaster->setAccessibleName("Listado");
    sprMaster->setColumnas(2);
    sprMaster->setEncabezado(1, "Código");
    sprMaster->setAnchoColumna(1, 0);
    sprMaster->setEncabezado(2, "Listado");
    sprMaster->setSoloLectura(true);
    sprMaster->setColorTexto(QColor(0, 0, 128));
    sprMaster->horizontalHeader()->setStretchLastSection(true);
    izquierda->addWidget(sprMaster, 1);

    btnSeleccionar = new QPushButton("Seleccionar", this);
    btnSeleccionar->setObjectName("btnSeleccionar");
    btnSeleccionar->setToolTip("Utilizar registro actual como selección");
    btnSeleccionar->setAccessibleName("Seleccionar");
    // Enter in a field must not pick the record behind the user's back.
    btnSeleccionar->setAutoDefault(false);
    btnSeleccionar->setDefault(false);
    auto* filaSeleccion = new QHBoxLayout;
    filaSeleccion->addStretch();
    filaSeleccion->addWidget(btnSeleccionar);
    izquierda->addLayout(filaSeleccion);
    cuerpo->addLayout(izquierda, 2);

    // Detail side: the panel sits a third of the free height down, as the original placement did.
    tabMaster = new QFrame(this);
    tabMaster->setObjectName("tabMaster");
    tabMaster->setAccessibleName("Detalle");
    tabMaster->setFrameShape(QFrame::StyledPanel);
    detalle = new QVBoxLayout(tabMaster);
    inpCodigo = new QLineEdit(this);
    inpCodigo->setObjectName("inpCodigo");
    inpCodigo->setAccessibleName("Código");
    inpCodigo->setValidator(new QRegularExpressionValidator(QRegularExpression("\\d{0,9}"), inpCodigo));
    fraCodigo = Marco(tabMaster, "fraCodigo", "Código", inpCodigo);
    inpDescripcion = new QLineEdit(this);
    inpDescripcion->setObjectName("inpDescripcion");
    inpDescripcion->setAccessibleName("Descripción");
    fraDescripcion = Marco(tabMaster, "fraDescripcion", "Descripción", inpDescripcion);
    detalle->addWidget(fraCodigo);
    detalle->addWidget(fraDescripcion);
    auto* derecha = new QVBoxLayout;
    derecha->addStretch(1);
    derecha->addWidget(tabMaster);
    derecha->addStretch(2);
    cuerpo->addLayout(derecha, 3);
    // What the profile's level restricts: adding, saving and the detail's fields; deleting.
    for (QWidget* w : {static_cast<QWidget*>(btnRegAgregar), static_cast<QWidget*>(btnGuardar),
                       static_cast<QWidget*>(tabMaster)})
        MarcoControl(w, "RO");
    MarcoControl(btnRegBorrar, "RO2");
    tabMaster->hide();

    connect(btnRegAgregar, &QToolButton::clicked, this, &Catalogo::Agrego);
    connect(btnRegBorrar, &QToolButton::clicked, this, &Catalogo::Borro);
    connect(btnGuardar, &QToolButton::clicked, this, [this] {
        if (dirty) Guardo();
    });
    connect(btnSeleccionar, &QPushButton::clicked, this, &Catalogo::Selecciono);
    connect(btnSalir, &QToolButton::clicked, this, &QWidget::close);
    connect(inpBusqueda, &QLineEdit::textEdited, this, &Catalogo::CambioBusqueda);
    VigiloCambios(inpCodigo);
    VigiloCambios(inpDescripcion);
    connect(sprMaster, &Grilla::CambioFila, this, [this](int, int nueva) {
        if (!moviendo) CambioDeFila(nueva);
    });
    connect(sprMaster, &Grilla::TeclaAbajo, this, &Catalogo::TeclaEnLista);
}

Catalogo::~Catalogo() = default;

QColor Catalogo::ColorModo() const {
    return Picture1->palette().color(QPalette::Window);
}

void Catalogo::PongoColorModo(bool agregando) {
    QPalette p = Picture1->palette();
    p.setColor(QPalette::Window,
               agregando ? EstadoEdicion::ColorAgregando() : EstadoEdicion::ColorMostrando());
    Picture1->setPalette(p);
}

void Catalogo::VigiloCambios(QLineEdit* campo) {
    connect(campo, &QLineEdit::textEdited, this, &Catalogo::MarcoEditado);
}
void Catalogo::VigiloCambios(QComboBox* lista) {
    connect(lista, &QComboBox::activated, this, &Catalogo::MarcoEditado);
}
void Catalogo::VigiloCambios(QCheckBox* casilla) {
    connect(casilla, &QCheckBox::clicked, this, &Catalogo::MarcoEditado);
}

QString Catalogo::CodigoFila(int fila) const {
    if (fila < 1 || fila > sprMaster->filas()) return QString();
    return sprMaster->texto(fila, 1);
}

int Catalogo::FilaDeCodigo(int codigo) const {
    const QString buscado = QString::number(codigo);
    for (int f = 1; f <= sprMaster->filas(); ++f)
        if (sprMaster->texto(f, 1).trimmed() == buscado) return f;
    return 0;
}

int Catalogo::NumeroInicial(const QVariant& v, int siNo) {
    if (!v.isValid() || v.isNull() || v.typeId() == QMetaType::Bool) return siNo;
    static const QRegularExpression re("^\\s*([-+]?\\d+)");
    const auto m = re.match(v.toString());
    if (!m.hasMatch()) return siNo;
    bool ok = false;
    const int n = m.captured(1).toInt(&ok);
    return ok ? n : siNo;
}

int Catalogo::ColumnaFoco() const {
    for (int c = 1; c <= sprMaster->columnas(); ++c)
        if (sprMaster->anchoColumna(c) > 0) return c;
    return 1;
}

// ---- Load and unload ----

void Catalogo::Cargo() {
    if (cargado) return;
    cargado = true;
    CentroVentana(this);
    App().selectionCode = -1;
    elegido.reset();
    sprMaster->setColorTexto(QColor(0, 0, 128));
    InicioGrillas(this);
    LlenoInicial();
    firstActivation = true;
}

void Catalogo::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    cerrado = false;
    // A dialog makes its first auto-default button the default one: Enter in a field would then
    // press it behind the user's back. No button of a catalogue is pressed by Enter.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    Cargo();
    // Where the focus goes once the window is activated (a failure to focus is harmless).
    if (firstActivation)
        if (QWidget* w = FocoInicial()) w->setFocus();
}

bool Catalogo::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && firstActivation) {
        firstActivation = false;
        if (QWidget* w = FocoInicial()) w->setFocus();
    }
    return QDialog::event(e);
}

void Catalogo::done(int r) {
    // Every way of closing (Salir, the window's close button, Escape, Seleccionar) passes here.
    if (!cerrado) {
        if (!PreguntoGuardar()) return;
        cerrado = true;
        Descargo();
    }
    QDialog::done(r);
    MuestroFondo();
}

// ---- Operations ----

void Catalogo::MuestroRegistro() {
    Bandera b(mostrando);
    tabMaster->hide();
    TerminoEdicion();
    PongoColorModo(false);
    const int fila = sprMaster->filaActiva();
    filaMostrada = fila;
    if (fila < 1) return;
    if (const std::optional<FilaLeida> r = ConsultoRegistro(CodigoFila(fila))) {
        tabMaster->show();
        MuestroCampos(*r);
    }
}

void Catalogo::LlenoLista(int codigo, const QString& texto) {
    QString error;
    {
        Espera espera;
        Bandera b(moviendo);
        sprMaster->Oculto(true);
        sprMaster->setFilas(0);
        QList<QStringList> filas;
        const FilasLeidas leidas = ConsultoLista();
        error = leidas.error;
        for (const FilaLeida& r : leidas.filas)
            filas.append(TextosFila(r));
        sprMaster->setFilas(int(filas.size()));
        for (int f = 0; f < filas.size(); ++f)
            for (int c = 0; c < filas[f].size() && c < sprMaster->columnas(); ++c)
                sprMaster->setTexto(f + 1, c + 1, filas[f][c]);
        const int fila = filas.isEmpty() ? 0 : FilaPosicion(codigo, texto);
        if (fila > 0) sprMaster->setCeldaActual(fila, ColumnaFoco());
        sprMaster->Oculto(false);
        if (fila > 0) sprMaster->MuestroCelda(fila, ColumnaFoco());
        ++llenados;
        MuestroRegistro();
    }
    if (!error.isEmpty()) Mensaje("No se pudo leer el listado; " + error, Icono::Advertencia);
}

void Catalogo::NuevoRegistro() {
    Bandera b(mostrando);
    tabMaster->show();
    CamposNuevos();
    PongoColorModo(true);
}

void Catalogo::Agrego() {
    if (!PreguntoGuardar()) return;
    editRow = sprMaster->filaActiva();
    NuevoRegistro();
    EmpiezoAlta();
    for (QLineEdit* campo : {inpDescripcion, inpCodigo})
        if (campo->isVisibleTo(this)) {
            campo->setFocus();
            campo->selectAll();
            break;
        }
}

bool Catalogo::Guardo() {
    if (!ValidoCampos()) return false;
    const bool eraNuevo = adding;
    int codigo = 0;
    Resultado r;
    {
        Espera espera;
        // Everything a screen writes for one record is stored whole or not at all.
        r = CatalogoDatos::EnTransaccion([&] { return GraboRegistro(&codigo); });
    }
    if (!r.ok) {
        Mensaje("Atención no se puede grabar el registro, " + r.error, Icono::Advertencia);
        return false;
    }
    DespuesDeGuardar(codigo, eraNuevo);
    LlenoLista(codigo, QString());
    return true;
}

bool Catalogo::PreguntoGuardar() {
    const Decision d = EstadoEdicion::PreguntoGuardar([this] { return Guardo(); });
    // Edits declined are dropped: the stored record is shown again.
    if (d == Decision::Descartado) MuestroRegistro();
    return Sigo(d);
}

void Catalogo::Borro() {
    if (adding) {
        MuestroRegistro();
        return;
    }
    const int fila = sprMaster->filaActiva();
    if (fila < 1) return;
    const QString codigo = CodigoFila(fila);
    if (Mensaje("Está seguro de eliminar permanentemente el registro seleccionado", Icono::Pregunta,
                Botones::SiNo) != Respuesta::Si)
        return;
    Resultado r;
    {
        Espera espera;
        r = BorroRegistro(codigo);
    }
    if (!r.ok || r.filas < 1) Mensaje("No se pudo eliminar el registro; " + r.error, Icono::Informacion);
    LlenoLista(-1);
}

void Catalogo::MarcoEditado() {
    // A record that may not be saved is never held as edited.
    if (mostrando || !btnGuardar->isEnabled()) return;
    AnotoCambio();
    editRow = sprMaster->filaActiva();
}

void Catalogo::Selecciono() {
    if (!PreguntoGuardar()) return;
    const int fila = sprMaster->filaActiva();
    if (fila < 1) return;
    EntregoSeleccion(fila);
    accept();
}

void Catalogo::IrAFila(int fila) {
    if (fila < 1 || fila > sprMaster->filas()) return;
    {
        Bandera b(moviendo);
        sprMaster->setCeldaActual(fila, ColumnaFoco());
        sprMaster->MuestroCelda(fila, ColumnaFoco());
    }
    CambioDeFila(fila);
}

void Catalogo::CambioDeFila(int nueva) {
    if (nueva == filaMostrada && !adding) return;
    // The view finishes its own click or key handling after this returns and selects what it was
    // told; afterwards the highlight is put back on the row that really is active.
    QTimer::singleShot(0, this, [this] {
        const int f = sprMaster->filaActiva();
        if (f < 1) return;
        Bandera b(moviendo);
        sprMaster->setCeldaActual(f, ColumnaFoco());
    });
    const QString destino = CodigoFila(nueva);
    const int llenadosAntes = llenados;
    if (!PreguntoGuardar()) {
        // Back to the record being edited, edits intact.
        const int vuelta = editRow >= 1 && editRow <= sprMaster->filas() ? editRow : filaMostrada;
        if (vuelta >= 1) {
            Bandera b(moviendo);
            sprMaster->setCeldaActual(vuelta, ColumnaFoco());
            sprMaster->MuestroCelda(vuelta, ColumnaFoco());
        }
        return;
    }
    // Saving refills (and re-sorts) the list: find the chosen record again by its code.
    int fila = nueva;
    if (llenados != llenadosAntes) {
        bool ok = false;
        const int codigo = destino.toInt(&ok);
        fila = ok ? FilaDeCodigo(codigo) : 0;
        if (fila < 1) fila = sprMaster->filaActiva();
    }
    if (fila >= 1) {
        Bandera b(moviendo);
        sprMaster->setCeldaActual(fila, ColumnaFoco());
    }
    MuestroRegistro();
    sprMaster->setFocus();
}

void Catalogo::CambioBusqueda(const QString& texto) {
    if (sprMaster->filas() < 1) return;
    {
        Bandera b(moviendo);
        BuscoEnGrilla(sprMaster, 2, texto);
    }
    const int fila = sprMaster->filaActiva();
    if (fila >= 1 && (fila != filaMostrada || adding)) CambioDeFila(fila);
}

void Catalogo::TeclaEnLista(QKeyEvent* e) {
    if (!manejoTeclasLista) return;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        Selecciono();
        return;
    }
    const QString t = e->text();
    if (t.isEmpty() || !t.at(0).isPrint() || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return;
    e->accept();
    const int fila = FilaEnGrilla(sprMaster, 2, t);
    if (fila <= sprMaster->filas()) IrAFila(fila);
}

// ---- Hooks: the companies screen's rules over `sentencias` ----

void Catalogo::LlenoInicial() {
    const QVariant& p = App().preselection;
    if (posicionPorTexto)
        LlenoLista(-1, p.typeId() == QMetaType::Bool || p.isNull() ? QString() : p.toString());
    else
        LlenoLista(NumeroInicial(p, 0));
}

FilasLeidas Catalogo::ConsultoLista() {
    return Datos().LeoLista(ContextoActual());
}

QStringList Catalogo::TextosFila(const FilaLeida& r) {
    return {NuloAVacio(r.Valor(sentencias.campoCodigo)), NuloAVacio(r.Valor(sentencias.campoDescripcion))};
}

int Catalogo::FilaPosicion(int codigo, const QString& texto) {
    if (!posicionPorTexto) {
        const int f = FilaDeCodigo(codigo);
        return f > 0 ? f : 1;
    }
    // The last row that qualifies wins; an empty text matches nothing (after a save the text is empty).
    const QString buscado = QString::number(codigo);
    int elegida = 0;
    for (int f = 1; f <= sprMaster->filas(); ++f)
        if (sprMaster->texto(f, 1).trimmed() == buscado ||
            (!texto.isEmpty() && sprMaster->texto(f, 2) == texto))
            elegida = f;
    return elegida > 0 ? elegida : 1;
}

std::optional<FilaLeida> Catalogo::ConsultoRegistro(const QString& codigo) {
    return Datos().LeoRegistro(ContextoActual(), qint64(NumeroOCero(QVariant(codigo))));
}

void Catalogo::MuestroCampos(const FilaLeida& r) {
    inpCodigo->setText(QString::number(qint64(NumeroOCero(r.Valor(sentencias.campoCodigo)))));
    inpDescripcion->setText(NuloAVacio(r.Valor(sentencias.campoDescripcion)));
}

void Catalogo::CamposNuevos() {
    inpCodigo->setText(QString::number(Datos().ProximoCodigo()));
    inpDescripcion->clear();
}

bool Catalogo::ValidoCampos() {
    if (!CatalogoDatos::CodigoDeTexto(inpCodigo->text())) {
        Mensaje("Atención no se puede grabar el registro, ingrese un código numérico", Icono::Error);
        inpCodigo->setFocus();
        return false;
    }
    return true;
}

Resultado Catalogo::GraboRegistro(int* codigoGuardado) {
    const int codigo = CatalogoDatos::CodigoDeTexto(inpCodigo->text()).value_or(0);
    *codigoGuardado = codigo;
    if (adding) return Datos().Agrego(ContextoActual(), codigo, inpDescripcion->text());
    return Datos().Cambio(ContextoActual(), codigo, inpDescripcion->text(),
                          qint64(NumeroOCero(QVariant(CodigoFila(editRow)))));
}

void Catalogo::DespuesDeGuardar(int, bool) {}

Resultado Catalogo::BorroRegistro(const QString& codigo) {
    return Datos().Borro(ContextoActual(), qint64(NumeroOCero(QVariant(codigo))));
}

void Catalogo::EntregoSeleccion(int fila) {
    Eleccion e;
    e.codigo = CodigoFila(fila).toInt();
    e.texto = sprMaster->texto(fila, 2);
    elegido = e;
    // Screens that still read the hand-over values find the choice there too.
    App().selectionCode = e.codigo;
    App().selectionText = e.texto;
}

void Catalogo::Descargo() {}

QWidget* Catalogo::FocoInicial() {
    if (inpBusqueda->isVisibleTo(this)) return inpBusqueda;
    return sprMaster;
}
