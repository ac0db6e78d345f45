#include "reports/ui/PantallaReporte.h"
#include "reports/Informes.h"
#include "core/AppState.h"

#include "core/Valores.h"
#include "core/ui/Controles.h"
#include "core/ui/Cursor.h"
#include "core/ui/DialogoProgreso.h"
#include "core/ui/Disposicion.h"
#include "core/ui/Grilla.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/TrabajoFondo.h"
#include "reports/Reporte.h"
#include "reports/exporto/Exporto.h"
#include "reports/exporto/PaginasReporte.h"
#include "core/ui/Impresion.h"
#include "reports/ui/VuelcoTabla.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLocale>
#include <QPointer>
#include <QTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

PantallaReporte::Datos PantallaReporte::DeInforme(const QString& forma) {
    const DescriptorInforme* d = InformeDeForma(forma);
    Q_ASSERT_X(d, "PantallaReporte::DeInforme", qPrintable(forma));
    if (!d) return {forma, forma, forma, forma, forma, QString()};
    Datos datos{d->forma, d->titulo, d->seccion, d->trabajo, d->encabezado, d->ayudaActualizar};
    datos.textoDefecto = d->textoDefecto;
    return datos;
}

PantallaReporte::PantallaReporte(const Datos& d, QWidget* padre) : QWidget(padre), datos(d) {
    setObjectName(d.forma);
    setWindowTitle(d.caption);

    ftrFechaDe = CampoFecha(this, "ftrFechaDe");
    ftrFechaA = CampoFecha(this, "ftrFechaA");
    btnActualizar = BotonImagen(this, "btnActualizar", QStyle::SP_BrowserReload, d.ayudaActualizar);
    btnImprimir = BotonImagen(this, "btnImprimir", QStyle::SP_FileDialogDetailedView,
                              "Imprimir Datos de la forma en que se ven en la grilla");
    btnExportar = new QPushButton("Exportar", this);
    btnExportar->setObjectName("btnExportar");
    btnExportar->setToolTip("Exportar el reporte a un archivo PDF, CSV o XLSX");
    btnExportar->setAccessibleName("Exportar");
    btnExportar->setAutoDefault(false);
    btnSalir = BotonImagen(this, "btnSalir", QStyle::SP_DialogCloseButton, "Salir de ventana actual");
    btnSeleccionoTodosFiltros = new QPushButton(d.textoDefecto, this);
    btnSeleccionoTodosFiltros->setObjectName("btnSeleccionoTodosFiltros");
    btnSeleccionoTodosFiltros->setAccessibleName(d.textoDefecto);
    btnSeleccionoTodosFiltros->setAutoDefault(false);
    chkImprimoSombras = new QCheckBox("Imprimo Sombras", this);
    chkImprimoSombras->setObjectName("chkImprimoSombras");
    chkImprimoSombras->setToolTip("En la impresión en papel");
    chkImprimoSombras->setAccessibleName("Imprimo Sombras");

    sprRpt = new Grilla(this);
    sprRpt->setObjectName("sprRpt");
    sprRpt->setSoloLectura(true);
    sprRpt->setTitulo(d.caption);

    filtros = new QHBoxLayout;
    auto* barra = new QHBoxLayout;
    barra->addWidget(Marco(this, "fraFechaDe", "Desde", ftrFechaDe));
    barra->addWidget(Marco(this, "fraFechaA", "Hasta", ftrFechaA));
    barra->addLayout(filtros);
    barra->addWidget(btnActualizar);
    barra->addWidget(btnSeleccionoTodosFiltros);
    barra->addWidget(chkImprimoSombras);
    barra->addStretch();
    barra->addWidget(btnImprimir);
    barra->addWidget(btnExportar);
    barra->addWidget(btnSalir);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(barra);
    todo->addWidget(sprRpt, 1);

    lectura = new TrabajoFondo(this);
    connect(btnActualizar, &QToolButton::clicked, this, [this] { ActualizoReporte(); });
    // Escape stops a report still being read.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] { DetengoLectura(); });
    // F5 refreshes the report as its button does, from anywhere in the window.
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
    f5->setContext(Qt::WidgetWithChildrenShortcut);
    connect(f5, &QShortcut::activated, btnActualizar, &QToolButton::click);
    btnActualizar->setToolTip(d.ayudaActualizar + " (F5)");
    connect(btnSeleccionoTodosFiltros, &QPushButton::clicked, this, [this] { ColocoFiltrosDefault(); });
    connect(btnImprimir, &QToolButton::clicked, this, [this] { Imprimo(); });
    connect(btnExportar, &QPushButton::clicked, this, [this] { Exporto(); });
    connect(btnSalir, &QToolButton::clicked, this, [this] {
        if (auto* s = parentWidget(); s && s->isWindow())
            s->close();
        else
            close();
    });

    if (!EjercicioActualExiste()) {
        Mensaje("No puede utilizar éste módulo si todavía no seleccionó un ejercicio (EmpresaPropia-Período)",
                Icono::Error);
        aceptada = false;
    }
    resize(900, 560);
}

PantallaReporte::~PantallaReporte() {
    // The reading ends before the rows it writes to go away.
    lectura->Detengo();
}

void PantallaReporte::Inicio() {
    PreparoGrilla();
    RecuperoColumnas(datos.clave, sprRpt);
    SeparadorDecimalGrilla(sprRpt);
    ColocoFiltrosDefault();
    // Wide enough for every column of the grid, as far as the screen allows (a saved size, restored
    // when the screen is shown, comes first; the window frame bounds it).
    int columnas = sprRpt->verticalHeader()->isVisible() ? sprRpt->verticalHeader()->width() : 0;
    for (int c = 1; c <= sprRpt->columnas(); ++c)
        columnas += sprRpt->anchoColumna(c);
    const int grilla = columnas + sprRpt->frameWidth() * 2 + sprRpt->verticalScrollBar()->sizeHint().width() + 4;
    const int margenes = layout()->contentsMargins().left() + layout()->contentsMargins().right();
    int ancho = std::max({width(), grilla + margenes, minimumSizeHint().width()});
    if (const QScreen* pantalla = screen()) ancho = std::min(ancho, pantalla->availableGeometry().width() - 60);
    resize(ancho, height());
}

void PantallaReporte::ColocoFiltrosDefault() {
    QDate comienzo, fin;
    FechasEjercicio(ContextoActual(), &comienzo, &fin);
    ftrFechaDe->setText(FechaATexto(comienzo));
    ftrFechaA->setText(FechaATexto(fin));
    chkImprimoSombras->setChecked(true);
    ColocoFiltrosPropios();
}

bool PantallaReporte::ActualizoReporte() {
    QDate d1, d2;
    QString mensaje;
    if (!VerificoPeriodo(ContextoActual(), ftrFechaDe->text(), ftrFechaA->text(), &d1, &d2, &mensaje)) {
        Mensaje(mensaje, Icono::Advertencia);
        return false;
    }
    const EjercicioListado pedido = EjercicioListado::De(ContextoActual());
    if (Escalonado()) {
        // What the builder hands over reaches this screen's thread, for this refresh only.
        DetengoLectura();
        const int esta = ++serieLectura;
        QPointer<PantallaReporte> yo(this);
        entrega = [yo, esta](FilasReporte&& filas) {
            auto parte = std::make_shared<FilasReporte>(std::move(filas));
            QMetaObject::invokeMethod(
                yo.data(),
                [yo, esta, parte] {
                    if (yo && yo->serieLectura == esta) yo->Recibo(std::move(*parte));
                },
                Qt::QueuedConnection);
        };
    }
    const Armado trabajo = Preparo(d1, d2, &mensaje);
    if (trabajo && Escalonado()) return LeoEscalonado(trabajo, pedido);
    if (trabajo) {
        TablaReporte nueva;
        bool cancelado = false;
        bool ok;
        {
            Espera espera;
            ok = DialogoProgreso::ConConexion(
                this, datos.caption, ContextoActual(),
                [&](const Contexto& ctx) {
                    const bool hecho = trabajo(ctx, &nueva, &mensaje);
                    cancelado = ctx.progreso->Cancelado();
                    return hecho && !cancelado;
                },
                &mensaje);
        }
        // Stopped by the user: the report on screen stays as it was, and nothing more is said.
        if (cancelado) return false;
        if (ok) {
            tabla = std::move(nueva);
            armado = EjercicioListado::De(ContextoActual());
            sprRpt->Oculto(true);
            sprRpt->setFilas(0);
            Vuelco();
            sprRpt->Recalculo();
            sprRpt->Oculto(false);
            return true;
        }
    }
    Mensaje("No se pudo actualizar el reporte, " + mensaje, Icono::Error);
    return false;
}

QString PantallaReporte::Encabezado() const {
    return EncabezadoReporte(datos.titulo, ftrFechaDe->text(), ftrFechaA->text(), AgregadoEncabezado());
}

bool PantallaReporte::LeoEscalonado(const Armado& trabajo, const EjercicioListado& pedido) {
    leyendo = true;
    primeraParte = true;
    auto nueva = std::make_shared<TablaReporte>();
    lectura->Inicio(
        ContextoActual(), [trabajo, nueva](const Contexto& ctx, QString* error) { return trabajo(ctx, nueva.get(), error); },
        [this, nueva, pedido](bool hecho, const QString& error) { TerminoLectura(hecho, error, std::move(*nueva), pedido); });
    // A report read in a moment is shown whole before the refresh returns, as any other.
    QEventLoop espera;
    QTimer plazo;
    plazo.setSingleShot(true);
    connect(&plazo, &QTimer::timeout, &espera, &QEventLoop::quit);
    plazo.start(esperaEscalonada);
    QTimer reviso;
    connect(&reviso, &QTimer::timeout, &espera, [&] {
        if (!leyendo) espera.quit();
    });
    reviso.start(5);
    {
        Espera cursor;
        espera.exec(QEventLoop::ExcludeUserInputEvents);
    }
    TituloLectura();
    return true;
}

void PantallaReporte::Recibo(FilasReporte&& parte) {
    if (primeraParte) {
        // The first rows take the place of the report built before.
        primeraParte = false;
        tabla = TablaReporte();
        sprRpt->setFilas(0);
        leidas = std::make_shared<FilasReporte>();
    }
    leidas->append(std::move(parte));
    VuelcoCreciente(sprRpt, leidas);
    TituloLectura();
    if (const auto alRecibir = alRecibirParte) alRecibir(this); // a copy: the hook may let itself go
}

void PantallaReporte::TerminoLectura(bool hecho, const QString& error, TablaReporte&& nueva,
                                     const EjercicioListado& pedido) {
    leyendo = false;
    entrega = {};
    ++serieLectura; // parts of this reading still on their way are no longer taken
    const bool vino = !primeraParte;
    primeraParte = true;
    if (!hecho) {
        // Never half a report on the grid.
        if (vino) {
            tabla = TablaReporte();
            sprRpt->setFilas(0);
        }
        leidas.reset();
        setWindowTitle(datos.caption);
        if (!error.isEmpty()) Mensaje("No se pudo actualizar el reporte, " + error, Icono::Error);
        return;
    }
    if (!vino) {
        // Nothing in the period.
        tabla = TablaReporte();
        sprRpt->setFilas(0);
        leidas = std::make_shared<FilasReporte>();
    }
    nueva.filas = *leidas; // the grid's rows, shared
    tabla = std::move(nueva);
    armado = pedido;
    setWindowTitle(datos.caption);
}

void PantallaReporte::TituloLectura() {
    if (!leyendo) return;
    const qsizetype filas = leidas && !primeraParte ? leidas->size() : 0;
    setWindowTitle(datos.caption + " (leyendo: " + QLocale().toString(filas) + " filas; Esc detiene)");
}

void PantallaReporte::EsperoLectura() {
    while (leyendo)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void PantallaReporte::DetengoLectura() {
    if (!leyendo) return;
    lectura->Detengo();
    TerminoLectura(false, QString(), TablaReporte(), armado);
}

void PantallaReporte::Imprimo() {
    if (leyendo) {
        Mensaje("Espere a que termine de leerse el reporte (Esc lo detiene).", Icono::Informacion);
        return;
    }
    if (tabla.columnas.isEmpty()) {
        // Nothing built yet: the empty grid under the screen's header, as it is shown.
        sprRpt->Imprimo(Encabezado(), datos.trabajo, chkImprimoSombras->isChecked());
        return;
    }
    // The report built last, in the columns the grid shows, with the same pages as its PDF.
    QList<int> visibles;
    for (int c = 1; c <= sprRpt->columnas() && c <= tabla.columnas.size(); ++c)
        if (sprRpt->anchoColumna(c) > 0) visibles << c - 1;
    const PaginasReporte paginas(tabla, DecimalSistema(), MilesSistema(), visibles);
    Paginado::Opciones opciones = paginas.Opciones();
    opciones.sombreado = chkImprimoSombras->isChecked();
    VistaPrevia(this, datos.trabajo, paginas, paginas.Encabezado(), opciones);
}

void PantallaReporte::Vuelco() {
    VuelcoTabla(sprRpt, tabla);
}

void PantallaReporte::Exporto() {
    if (leyendo) {
        Mensaje("Espere a que termine de leerse el reporte (Esc lo detiene).", Icono::Informacion);
        return;
    }
    if (tabla.columnas.isEmpty()) {
        Mensaje("Actualice el reporte antes de exportarlo.", Icono::Informacion);
        return;
    }
    QString filtro;
    QString ruta =
        ElijoArchivo(ModoArchivo::Guardar, "Exportar", QDir::home().filePath(datos.trabajo + ".pdf"),
                     "PDF (*.pdf);;CSV (*.csv);;Excel (*.xlsx)", &filtro);
    if (ruta.isEmpty()) return;
    // A name typed without extension takes that of the format chosen in the dialog ("CSV (*.csv)").
    if (QFileInfo(ruta).suffix().isEmpty()) {
        static const QRegularExpression patron(R"(\*\.(\w+))");
        const QRegularExpressionMatch m = patron.match(filtro);
        ruta += "." + (m.hasMatch() ? m.captured(1) : QStringLiteral("pdf"));
    }
    QString error;
    bool escrito;
    {
        Espera espera;
        escrito = ExportoTabla(tabla, ruta, &error);
    }
    if (escrito)
        Mensaje("Reporte exportado a " + QDir::toNativeSeparators(ruta), Icono::Informacion);
    else
        Mensaje(error, Icono::Error);
}

void PantallaReporte::EjercicioCambiado() {
    DetengoLectura();
    tabla = TablaReporte();
    sprRpt->setFilas(0);
    setWindowTitle(datos.caption); // a report's caption may count the rows it showed
    armado = EjercicioListado::De(ContextoActual());
    ColocoFiltrosDefault();
}

void PantallaReporte::AbroAsiento(const QString& asiento) {
    if (asiento.isEmpty()) return;
    if (const QString r = VerificoListado(ContextoActual(), armado); !r.isEmpty()) {
        Mensaje(r, Icono::Advertencia);
        return;
    }
    bool ok = false;
    const int numero = asiento.trimmed().toInt(&ok);
    // A text that is not an entry number only brings the editor to the front.
    if (ok)
        Pantallas::MuestroAsientoEnEditor(numero);
    else
        Pantallas::Activo("frmAsientos");
}

void PantallaReporte::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // The saved geometry belongs to the frame that holds the screen, known only once it is shown.
    if (!ubicada) {
        ubicada = true;
        RecuperoVentana(datos.clave, this);
    }
}

void PantallaReporte::closeEvent(QCloseEvent* e) {
    DetengoLectura();
    GuardoVentana(datos.clave, this);
    GuardoColumnas(datos.clave, sprRpt);
    QWidget::closeEvent(e);
}
