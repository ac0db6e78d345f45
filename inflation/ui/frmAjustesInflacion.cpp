#include "inflation/ui/frmAjustesInflacion.h"
#include "core/AppState.h"

#include "core/Valores.h"
#include "core/ui/AplicoPermisos.h"
#include "core/ui/DialogoProgreso.h"
#include "core/ui/BotonAjustado.h"
#include "core/ui/Controles.h"
#include "core/ui/Cursor.h"
#include "core/ui/Disposicion.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "inflation/IndicesAjuste.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString Seccion = QStringLiteral("AjustesInflacion");
} // namespace

frmAjustesInflacion::frmAjustesInflacion(QWidget* padre) : QWidget(padre) {
    setObjectName("frmAjustesInflacion");
    setWindowTitle("Ajustes Inflación");

    pnlTablaAjusteInflacion = new BotonAjustado(this);
    pnlTablaAjusteInflacion->setObjectName("pnlTablaAjusteInflacion");
    pnlTablaAjusteInflacion->setToolTip("Seleccionar tabla de ajuste");
    pnlTablaAjusteInflacion->setAccessibleName("Tabla Ajuste");
    pnlTablaAjusteInflacion->setMinimumWidth(220);
    inpFechaDe = CampoFecha(this, "inpFechaDe");
    inpFechaA = CampoFecha(this, "inpFechaA");
    btnActualizar = BotonImagen(this, "btnActualizar", QStyle::SP_BrowserReload,
                                "Actualizar información en base a fechas seleccionadas");
    btnGuardar = BotonImagen(this, "btnGuardar", QStyle::SP_DialogSaveButton, "Salvar cambios");
    btnRegAgregar =
        BotonImagen(this, "btnRegAgregar", QStyle::SP_FileDialogNewFolder, "Agregar nuevo registro");
    btnRegBorrar = BotonImagen(this, "btnRegBorrar", QStyle::SP_TrashIcon, "Eliminar registro actual");
    btnImprimir = BotonImagen(this, "btnImprimir", QStyle::SP_FileDialogDetailedView, "Imprimir información");
    btnImportar = BotonImagen(this, "btnImportar", QStyle::SP_DialogOpenButton,
                              "Importar índices publicados desde un archivo CSV");
    btnSalir = BotonImagen(this, "btnSalir", QStyle::SP_DialogCloseButton, "Salir de ventana actual");

    sprAjustesInflacion = new Grilla(this);
    sprAjustesInflacion->setObjectName("sprAjustesInflacion");
    sprAjustesInflacion->setColumnas(2);
    sprAjustesInflacion->setEncabezado(1, "Fecha");
    sprAjustesInflacion->setEncabezado(2, "Indice Ajuste");
    sprAjustesInflacion->setAnchoColumna(1, 110);
    sprAjustesInflacion->setAnchoColumna(2, 130);
    TipoCelda fecha;
    fecha.clase = TipoCelda::Fecha;
    sprAjustesInflacion->setTipoColumna(1, fecha);
    // What the profile's level restricts: editing the values, deleting one; the import has a module
    // of its own.
    for (QWidget* w : {static_cast<QWidget*>(btnGuardar), static_cast<QWidget*>(btnRegAgregar),
                       static_cast<QWidget*>(sprAjustesInflacion)})
        MarcoControl(w, "RO");
    MarcoControl(btnRegBorrar, "RO2");
    MarcoAccion(btnImportar, Permisos::ImportacionIndices, Accion::Escribir);

    auto* barra = new QHBoxLayout;
    barra->addWidget(Marco(this, "fraTablaAjusteInflacion", "Tabla Ajuste", pnlTablaAjusteInflacion));
    barra->addWidget(Marco(this, "fraFechaDe", "Desde", inpFechaDe));
    barra->addWidget(Marco(this, "fraFechaA", "Hasta", inpFechaA));
    for (QToolButton* b : {btnActualizar, btnGuardar, btnRegAgregar, btnRegBorrar, btnImprimir, btnImportar})
        barra->addWidget(b);
    barra->addStretch();
    barra->addWidget(btnSalir);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(barra);
    todo->addWidget(sprAjustesInflacion, 1);

    connect(pnlTablaAjusteInflacion, &QPushButton::clicked, this, &frmAjustesInflacion::PidoTabla);
    connect(btnActualizar, &QToolButton::clicked, this, &frmAjustesInflacion::Actualizo);
    connect(btnGuardar, &QToolButton::clicked, this, [this] {
        if (dirty) Guardo();
    });
    connect(btnRegAgregar, &QToolButton::clicked, this, &frmAjustesInflacion::AgregoFila);
    connect(btnRegBorrar, &QToolButton::clicked, this, &frmAjustesInflacion::BorroFila);
    connect(btnImprimir, &QToolButton::clicked, this,
            [this] { sprAjustesInflacion->Imprimo(Encabezado(), "Ajustes Inflación"); });
    connect(btnImportar, &QToolButton::clicked, this, &frmAjustesInflacion::Importo);
    connect(btnSalir, &QToolButton::clicked, this, [this] {
        if (auto* s = parentWidget(); s && s->isWindow())
            s->close();
        else
            close();
    });
    connect(sprAjustesInflacion, &Grilla::CambioCelda, this, [this] { AnotoCambio(); });

    SeparadorDecimalGrilla(sprAjustesInflacion);
    const QDate hoy = QDate::currentDate();
    inpFechaDe->setText(FechaATexto(hoy.addMonths(-6)));
    inpFechaA->setText(FechaATexto(hoy));
    RecuperoColumnas(Seccion, sprAjustesInflacion);
    CargoValores();
    InicioGrillas(this);
    resize(760, 480);
}

bool frmAjustesInflacion::Pregunto() {
    sprAjustesInflacion->TerminoEdicion();
    return EstadoEdicion::Sigo(PreguntoGuardar([this] { return Guardo(); }));
}

void frmAjustesInflacion::PidoTabla() {
    if (!Pregunto()) return;
    const std::optional<Eleccion> e = Pantallas::Elijo("frmTablasAjusteInflacion", indexTable, this);
    if (!e || e->codigo < 0) return;
    ElijoTabla(e->codigo, e->texto);
}

void frmAjustesInflacion::ElijoTabla(int tabla, const QString& descripcion) {
    indexTable = tabla;
    pnlTablaAjusteInflacion->setTextoCompleto(descripcion);
    CargoValores();
}

void frmAjustesInflacion::Actualizo() {
    if (Pregunto()) CargoValores();
}

void frmAjustesInflacion::CargoValores() {
    const QDate de = TextoAFecha(inpFechaDe->text()), a = TextoAFecha(inpFechaA->text());
    if (!de.isValid() || !a.isValid()) {
        Mensaje("Las fechas Desde y Hasta deben ser fechas válidas (dd/mm/aaaa).", Icono::Advertencia);
        return;
    }
    TerminoEdicion();
    Espera espera;
    Grilla* g = sprAjustesInflacion;
    g->Oculto(true);
    g->setFilas(0);
    const QVector<ValorIndice> valores = ::CargoValores(indexTable, de, a);
    g->setFilas(int(valores.size()));
    for (int i = 0; i < valores.size(); ++i)
        g->setFila(i + 1, {FechaATexto(valores[i].fecha),
                           TextoValorIndice(valores[i].ajuste, g->separadorDecimal())});
    g->Oculto(false);
    setWindowTitle(QString("Ajustes Inflación, %1 registros seleccionados").arg(g->filas()));
    loadedFrom = inpFechaDe->text();
    loadedTo = inpFechaA->text();
}

bool frmAjustesInflacion::Guardo() {
    Grilla* g = sprAjustesInflacion;
    g->TerminoEdicion();
    QVector<FilaIndice> filas;
    for (int f = 1; f <= g->filas(); ++f)
        filas.append({g->texto(f, 1), g->texto(f, 2)});
    QVector<ValorIndice> valores;
    QString error;
    bool ok = indexTable >= 0;
    if (!ok) error = "no se eligió una tabla de ajuste";
    if (ok) ok = VerificoFilas(filas, &valores, &error);
    if (ok) {
        Espera espera;
        ok = GuardoValores(ContextoActual(), indexTable, TextoAFecha(loadedFrom), TextoAFecha(loadedTo), valores, &error);
    }
    if (!ok) {
        Mensaje("Atención no se pueden grabar cambios, " + error, Icono::Advertencia);
        return false;
    }
    CargoValores();
    return true;
}

void frmAjustesInflacion::AgregoFila() {
    if (indexTable < 0) return;
    Grilla* g = sprAjustesInflacion;
    const int debajo = g->filaActiva() < 1 ? g->filas() + 1 : std::min(g->filaActiva() + 1, g->filas() + 1);
    if (debajo > g->filas())
        g->AgregoFila();
    else
        g->InsertoFila(debajo);
    g->setCeldaActual(debajo, 1);
}

void frmAjustesInflacion::BorroFila() {
    Grilla* g = sprAjustesInflacion;
    if (g->filas() == 0) return;
    const int fila = std::max(1, g->filaActiva());
    if (Mensaje(QString("Está seguro de eliminar la linea actual: %1").arg(fila), Icono::Pregunta,
                Botones::SiNo) != Respuesta::Si)
        return;
    g->BorroFila(fila);
    AnotoCambio();
}

void frmAjustesInflacion::Importo() {
    if (indexTable < 0) {
        Mensaje("Elija primero la tabla de ajuste en la que importar los índices.", Icono::Informacion);
        return;
    }
    if (!Pregunto()) return;
    const QString archivo = ElijoArchivo(ModoArchivo::Abrir, "Importar índices de ajuste", QString(),
                                         "Archivos CSV (*.csv *.txt);;Todos los archivos (*)");
    if (archivo.isEmpty()) return;
    QVector<ValorIndice> valores;
    QString error;
    if (!LeoCsvIndices(archivo, &valores, &error)) {
        Mensaje(error, Icono::Advertencia);
        return;
    }
    const QStringList meses = MesesGuardados(indexTable, valores);
    if (!meses.isEmpty() &&
        Mensaje(QString("La tabla ya tiene valores para %1 de los %2 meses del archivo (%3). ¿Los reemplaza "
                        "por los del archivo?")
                    .arg(meses.size())
                    .arg(valores.size())
                    .arg(meses.join(", ")),
                Icono::Pregunta, Botones::SiNo) != Respuesta::Si)
        return;
    bool ok;
    bool cancelado = false;
    {
        // One transaction on the shared connection: it runs here, the progress window between its rows.
        Espera espera;
        ok = DialogoProgreso::EnEsteHilo(this, "Importar valores", [&](Progreso& p) {
            const bool hecho = GuardoImportados(ContextoActual(), indexTable, valores, &error, &p);
            cancelado = p.Cancelado();
            return hecho;
        });
    }
    if (cancelado) {
        Mensaje("Importación cancelada: la tabla quedó como estaba.", Icono::Informacion);
        return;
    }
    if (!ok) {
        Mensaje("Atención no se pueden grabar cambios, " + error, Icono::Advertencia);
        return;
    }
    CargoValores();
    Mensaje(QString("Se importaron %1 valores.").arg(valores.size()), Icono::Informacion);
}

QString frmAjustesInflacion::Encabezado() const {
    const QString desc = NuloAVacio(ValorCampo("TablasAjusteInflacion", "descTablaAjusteInflacion",
                                               "TablaAjusteInflacion=?", {indexTable}));
    auto corta = [](const QString& t) {
        const QDate d = TextoAFecha(t);
        return d.isValid() ? d.toString("dd/MM/yy") : t;
    };
    return "/fb1/fi1/fz\"12\"Ajustes Inflación según " + desc + " entre " + corta(loadedFrom) + " y " +
           corta(loadedTo) + "/rPágina: /p/n";
}

bool frmAjustesInflacion::AceptoCierre() {
    sprAjustesInflacion->TerminoEdicion();
    return EstadoEdicion::AceptoCierre([this] { return Guardo(); });
}

void frmAjustesInflacion::CierreSuspendido() {
    EstadoEdicion::CierreSuspendido();
}

void frmAjustesInflacion::closeEvent(QCloseEvent* e) {
    if (!cerrado) {
        if (!Pregunto()) {
            e->ignore();
            return;
        }
        cerrado = true;
        GuardoColumnas(Seccion, sprAjustesInflacion);
    }
    e->accept();
}
