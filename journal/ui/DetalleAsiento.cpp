#include "journal/ui/DetalleAsiento.h"

#include "accounts/IngresoCuenta.h"
#include "core/AppState.h"
#include "core/Valores.h"
#include "core/ui/Cursor.h"
#include "core/ui/Grilla.h"
#include "core/ui/GrillaModelo.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "journal/ui/CompletadoCuenta.h"
#include "journal/ui/IngresoCuentaGrilla.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QToolTip>

namespace {
const QString AyudaMarca = QStringLiteral("Incorpora leyenda a leyendas estandar de la cuenta");
// Cells a line is typed in, in order.
const int Orden[] = {DetalleAsiento::ColCodInt,     DetalleAsiento::ColCodJer, DetalleAsiento::ColDescripcion,
                     DetalleAsiento::ColDebe,       DetalleAsiento::ColHaber,  DetalleAsiento::ColConcepto,
                     DetalleAsiento::ColFechaAjuste};

bool EsColumnaCuenta(int columna) {
    return columna >= DetalleAsiento::ColCodInt && columna <= DetalleAsiento::ColDescripcion;
}
// The account column a new line starts at: the one last typed in.
int ColumnaCuentaDefault() {
    const int columna = UltFormaIngresoCuenta();
    return EsColumnaCuenta(columna) ? columna : int(DetalleAsiento::ColCodInt);
}
} // namespace

DetalleAsiento::DetalleAsiento(Grilla* grilla, std::function<QString()> fechaAsiento,
                               std::function<bool()> editable)
    : QObject(grilla), g(grilla), fecha(std::move(fechaAsiento)), edito(std::move(editable)) {
    g->setColumnas(ColLeyendas);
    const char* encabezados[] = {
        "", "Cód.", "Cod. Jerárq", "Descripción", "Debe", "Haber", "Concepto", "", "Fecha Ajuste", ""};
    const int anchos[] = {0, 60, 90, 200, 100, 100, 200, 28, 90, 0};
    for (int c = 1; c <= ColLeyendas; ++c) {
        g->setEncabezado(c, QString::fromUtf8(encabezados[c - 1]));
        g->setAnchoColumna(c, anchos[c - 1]);
    }
    g->setColumnaEditable(ColCuenta, false);
    g->setColumnaEditable(ColLeyendas, false);
    TipoCelda importe;
    importe.clase = TipoCelda::Numero;
    importe.decimales = 2;
    importe.miles = true;
    importe.minimo = -double(Importe::Maximo) / 100.0;
    importe.maximo = double(Importe::Maximo) / 100.0;
    g->setTipoColumna(ColDebe, importe);
    g->setTipoColumna(ColHaber, importe);
    TipoCelda concepto;
    concepto.clase = TipoCelda::Combo;
    concepto.columnaItems = ColLeyendas;
    g->setTipoColumna(ColConcepto, concepto);
    TipoCelda marca;
    marca.clase = TipoCelda::Boton;
    g->setTipoColumna(ColMarca, marca);
    TipoCelda fechaAjuste;
    fechaAjuste.clase = TipoCelda::Fecha;
    g->setTipoColumna(ColFechaAjuste, fechaAjuste);
    AplicoMascara();

    connect(g, &Grilla::CambioCelda, this, &DetalleAsiento::CambioCelda);
    connect(g, &Grilla::DobleClick, this, &DetalleAsiento::DobleClick);
    connect(g, &Grilla::TeclaAbajo, this, &DetalleAsiento::Tecla);
    connect(g, &Grilla::CambioFila, this, &DetalleAsiento::CambioFila);
    connect(g, &Grilla::BotonPresionado, this, [this](int fila, int columna) {
        if (columna == ColMarca && g->texto(fila, ColMarca) == MarcaLeyenda) IncorporoLeyenda(fila);
    });
    visor = g->viewport();
    visor->installEventFilter(this);
    completo = new CompletadoCuenta(g);
    connect(completo, &CompletadoCuenta::Clic, this, &DetalleAsiento::TomoCompletado);
}

void DetalleAsiento::OlvidoCuentas() {
    completo->Oculto();
    completo->Olvido();
}

void DetalleAsiento::AplicoMascara() {
    TipoCelda t = g->tipoColumna(ColCodJer);
    t.clase = TipoCelda::Mascara;
    t.mascara = MascaraCodJer(maximos, '9');
    g->setTipoColumna(ColCodJer, t);
}

// --- Loading and reading back -----------------------------------------------------------------------

void DetalleAsiento::Cargo(const AsientoGuardado& asiento) {
    Espera espera;
    g->setFilas(0);
    g->setFilas(int(asiento.lineas.size()));
    int f = 0;
    for (const LineaGuardada& l : asiento.lineas) {
        ++f;
        g->setTexto(f, ColCuenta, QString::number(l.cuenta));
        g->setTexto(f, ColCodInt, l.codInt);
        g->setTexto(f, ColCodJer, l.codJer);
        g->setTexto(f, ColDescripcion, l.descripcion);
        // A line of zero is shown under "Debe".
        g->setImporte(f, l.importe.signo() >= 0 ? ColDebe : ColHaber, l.importe.abs());
        g->setTexto(f, ColConcepto, l.concepto);
        g->setTexto(f, ColMarca, l.marca ? MarcaLeyenda : QString());
        g->setTexto(f, ColFechaAjuste, FechaATexto(l.fechaAjuste));
        g->setTexto(f, ColLeyendas, ListaCelda(l.leyendas));
    }
    Recuento();
}

TotalesAsiento DetalleAsiento::Totales(int sinFila) const {
    const GrillaModelo* m = g->modelo();
    // An amount cell being typed counts with what it holds so far.
    const QLineEdit* editor = completo->Editor();
    const int filaEditada = g->filaActiva();
    const int columnaEditada = g->columnaActiva();
    QList<ImportesLinea> importes;
    int ultima = g->filas();
    while (ultima >= 1 && m->crudo(ultima, ColDebe).isEmpty() && m->crudo(ultima, ColHaber).isEmpty() &&
           !(editor && ultima == filaEditada))
        --ultima;
    for (int f = 1; f <= ultima; ++f) {
        if (f == sinFila) continue;
        ImportesLinea l{m->crudo(f, ColDebe), m->crudo(f, ColHaber)};
        if (editor && f == filaEditada && (columnaEditada == ColDebe || columnaEditada == ColHaber)) {
            const std::optional<Importe> i = LeoImporteGrilla(editor->text(), g->separadorDecimal(), QChar());
            const QString t = i ? i->TextoPlano() : QString();
            // A line is a debit or a credit: once stored, this amount empties the other.
            (columnaEditada == ColDebe ? l.debe : l.haber) = t;
            if (!t.isEmpty()) (columnaEditada == ColDebe ? l.haber : l.debe).clear();
        }
        importes << l;
    }
    return Totalizo(importes);
}

void DetalleAsiento::Recuento() {
    emit TotalesCambiados(Totales());
}

bool DetalleAsiento::FilaVacia(int fila) const {
    for (int c = ColCuenta; c <= ColFechaAjuste; ++c) {
        const QString t = g->texto(fila, c).trimmed();
        // The marker is the screen's own; an account cell left unresolved holds "-1", nothing typed.
        if (c == ColMarca || t.isEmpty() || (c == ColCuenta && t == QLatin1String("-1"))) continue;
        return false;
    }
    return true;
}

QList<LineaEditada> DetalleAsiento::Lineas() const {
    QList<LineaEditada> r;
    const GrillaModelo* m = g->modelo();
    int ultima = g->filas();
    while (ultima >= 1 && FilaVacia(ultima))
        --ultima;
    for (int f = 1; f <= ultima; ++f) {
        LineaEditada l;
        l.cuenta = g->texto(f, ColCuenta);
        l.codInt = g->texto(f, ColCodInt);
        l.descripcion = g->texto(f, ColDescripcion);
        // An account typed but not identified is named by what was typed, in whichever column.
        if (!CuentaResuelta(f) && l.descripcion.isEmpty())
            l.descripcion = !l.codInt.isEmpty() ? l.codInt : g->texto(f, ColCodJer).trimmed();
        // Amounts as stored in the cell: plain numbers with a point.
        l.debe = m->crudo(f, ColDebe);
        l.haber = m->crudo(f, ColHaber);
        l.concepto = g->texto(f, ColConcepto);
        l.fechaAjuste = g->texto(f, ColFechaAjuste);
        r << l;
    }
    return r;
}

bool DetalleAsiento::CuentaResuelta(int fila) const {
    const QString c = g->texto(fila, ColCuenta).trimmed();
    return !c.isEmpty() && c != QLatin1String("-1");
}

bool DetalleAsiento::HayTipeado() const {
    for (int f = 1; f <= g->filas(); ++f)
        if (!FilaVacia(f)) return true;
    return false;
}

// --- Legends and markers ----------------------------------------------------------------------------

void DetalleAsiento::ActCmbConceptos(int cuenta, bool debe, const QList<int>& filas) {
    const QString lista = ListaCelda(LeyendasCuenta(ContextoActual(), cuenta, debe));
    for (int f : filas)
        g->setTexto(f, ColLeyendas, lista);
}

void DetalleAsiento::Marca(int fila) {
    const QString concepto = g->texto(fila, ColConcepto);
    bool marca = false;
    if (!concepto.isEmpty() && CuentaResuelta(fila))
        marca = !EsLeyendaEstandar(ContextoActual(), g->texto(fila, ColCuenta).toInt(), !g->texto(fila, ColDebe).isEmpty(),
                                   concepto);
    g->setTexto(fila, ColMarca, marca ? MarcaLeyenda : QString());
}

void DetalleAsiento::LimpioMarcas() {
    g->LimpioBloque(1, ColMarca, g->filas(), ColMarca);
}

void DetalleAsiento::IncorporoLeyenda(int fila) {
    const QString concepto = g->texto(fila, ColConcepto);
    const int cuenta = g->texto(fila, ColCuenta).toInt();
    const bool debe = !g->texto(fila, ColDebe).isEmpty();
    if (Mensaje(PreguntaIncorporoLeyenda(concepto, g->texto(fila, ColDescripcion), debe), Icono::Pregunta,
                Botones::SiNo) != Respuesta::Si)
        return;
    const QString error = ::IncorporoLeyenda(ContextoActual(), cuenta, debe, concepto);
    if (!error.isEmpty()) {
        Mensaje("No se pudo incorporar la leyenda; " + error, Icono::Advertencia);
        return;
    }
    // Every line of that account and side gets the new list; its marker is looked up again, so a
    // line with another concept keeps its own.
    QList<int> filas;
    for (int f = 1; f <= g->filas() && !g->texto(f, ColCuenta).isEmpty(); ++f)
        if (g->texto(f, ColCuenta).toInt() == cuenta && !g->texto(f, ColDebe).isEmpty() == debe) filas << f;
    ActCmbConceptos(cuenta, debe, filas);
    for (int f : filas)
        Marca(f);
}

// --- Changes typed by the user ----------------------------------------------------------------------

void DetalleAsiento::CambioCelda(int fila, int columna) {
    if (columna >= ColCodInt && columna <= ColDescripcion) {
        // The lookup may open the account picker: it waits until the cell editor has closed, so the
        // picker never opens from inside the editor's commit.
        pendienteFila = fila;
        pendienteColumna = columna;
        QMetaObject::invokeMethod(this, &DetalleAsiento::ProcesoPendiente, Qt::QueuedConnection);
    } else if (columna == ColDebe || columna == ColHaber) {
        // Only a date is copied: a half-typed entry date would leave a non-date in a date cell.
        if (const QString f = fecha();
            !TextoAFecha(g->texto(fila, ColFechaAjuste)).isValid() && TextoAFecha(f).isValid())
            g->setTexto(fila, ColFechaAjuste, f);
        // A line is a debit or a credit, never both.
        if (!g->texto(fila, columna).isEmpty())
            g->setTexto(fila, columna == ColDebe ? ColHaber : ColDebe, QString());
        const QString cuenta = g->texto(fila, ColCuenta);
        ActCmbConceptos(CuentaResuelta(fila) ? cuenta.toInt() : 0, columna == ColDebe, {fila});
        Marca(fila);
    } else if (columna == ColConcepto) {
        Marca(fila);
    }
    Recuento();
    emit Modificado();
}

void DetalleAsiento::ProcesoPendiente() {
    const int fila = pendienteFila;
    const int columna = pendienteColumna;
    pendienteFila = pendienteColumna = 0;
    if (fila < 1 || fila > g->filas()) return;
    const QString tipeado = g->texto(fila, columna);
    g->setCeldaActual(fila, columna);
    ::IngresoCuenta(g, columna, 0, maximos);
    // Leaving the picker without choosing keeps what was typed in its cell, to be corrected.
    if (g->texto(fila, ColCuenta) == QLatin1String("-1") && g->texto(fila, columna).isEmpty())
        g->setTexto(fila, columna, tipeado);
    ActCmbConceptos(0, true, {fila});
    g->setFocus();
}

void DetalleAsiento::DobleClick(int fila, int columna) {
    if (!edito() || fila < 1) return;
    if (columna >= ColCodInt && columna <= ColDescripcion) {
        if (DobleClickCuenta(g, fila, columna)) emit Modificado();
    } else if (columna == ColConcepto) {
        if (const auto e =
                Pantallas::Elijo("frmConceptosDetAsiento", g->texto(fila, ColConcepto), g->window())) {
            g->setTexto(fila, ColConcepto, e->texto);
            Marca(fila);
            emit Modificado();
        }
    }
}

// --- Keyboard ---------------------------------------------------------------------------------------

void DetalleAsiento::Tecla(QKeyEvent* e) {
    if (!edito()) return;
    const int k = e->key();
    const int fila = g->filaActiva();
    const int columna = g->columnaActiva();
    const bool cuenta = EsColumnaCuenta(columna);
    const bool enter = k == Qt::Key_Return || k == Qt::Key_Enter;
    if (completo->visible() && (k == Qt::Key_Up || k == Qt::Key_Down)) {
        e->accept();
        completo->Muevo(k == Qt::Key_Up ? -1 : 1);
    } else if (completo->visible() && k == Qt::Key_Escape) {
        e->accept();
        completo->Oculto();
    } else if (k == Qt::Key_F4 && cuenta && fila >= 1) {
        e->accept();
        AbroSelector();
    } else if (k == Qt::Key_Tab || k == Qt::Key_Backtab || enter) {
        e->accept();
        const bool atras = k == Qt::Key_Backtab || (k == Qt::Key_Tab && (e->modifiers() & Qt::ShiftModifier));
        // Enter takes the account chosen with the arrows, or the only one listed; otherwise what was
        // typed is looked up as usual (a short code as it is, a hierarchical code, which may stop at
        // a summary level, a part of a description), never a guess among several.
        if (enter && cuenta && completo->visible()) {
            const QLineEdit* editor = completo->Editor();
            const QString tipeado = editor ? editor->text() : g->texto(fila, columna);
            if (completo->elegidaConFlechas() ||
                (completo->lista()->count() == 1 && columna != ColCodJer && !completo->CodigoExacto(tipeado))) {
                TomoCompletado();
                return;
            }
        }
        completo->Oculto();
        g->TerminoEdicion();
        ProcesoPendiente();
        if (enter && fila >= 1) {
            if (cuenta) {
                // An account found goes on to its amount; one still unresolved waits to be corrected.
                if (CuentaResuelta(fila)) g->setCeldaActual(fila, ColDebe);
                return;
            }
            if (columna == ColDebe || columna == ColHaber) {
                if (!g->texto(fila, ColDebe).isEmpty() || !g->texto(fila, ColHaber).isEmpty()) {
                    // The amount typed ends the line: the next one starts at its account.
                    if (fila < g->filas()) g->setCeldaActual(fila + 1, ColumnaCuentaDefault());
                    return;
                }
                if (Propongo(fila)) return;
            }
        }
        Avanzo(atras);
    } else if (k == Qt::Key_Delete && !g->editando() && columna < ColDebe) {
        e->accept();
        BorroLinea();
    } else if (cuenta || columna == ColDebe || columna == ColHaber) {
        // Once the key has reached the cell editor: the accounts it names, the totals it makes.
        QTimer::singleShot(0, this, [this, cuenta] {
            if (cuenta) completo->Actualizo(maximos);
            Recuento();
        });
    }
}

bool DetalleAsiento::Propongo(int fila) {
    if (!CuentaResuelta(fila) || !g->texto(fila, ColDebe).isEmpty() || !g->texto(fila, ColHaber).isEmpty())
        return false;
    const std::optional<Balanceo> b = PropongoBalanceo(Totales(fila));
    if (!b) return false;
    const int destino = b->debe ? ColDebe : ColHaber;
    g->setCeldaActual(fila, destino);
    // As if typed: the adjustment date and the legends follow.
    g->modelo()->AceptoTipeado(fila, destino, b->importe.Texto(g->separadorDecimal()));
    return true;
}

void DetalleAsiento::TomoCompletado() {
    const std::optional<CuentaCompletable> c = completo->Resaltada();
    if (!c) return;
    const int fila = g->filaActiva();
    const int columna = g->columnaActiva();
    completo->Oculto();
    g->TerminoEdicion();
    // The account is known: no lookup of what was typed.
    pendienteFila = pendienteColumna = 0;
    GraboUltFormaIngresoCuenta(columna);
    g->setTexto(fila, ColCuenta, QString::number(c->cuenta));
    g->setTexto(fila, ColCodInt, c->codInt);
    g->setTexto(fila, ColCodJer, c->codJer);
    g->setTexto(fila, ColDescripcion, c->descripcion);
    ActCmbConceptos(0, true, {fila});
    g->setCeldaActual(fila, ColDebe);
    g->setFocus();
    emit Modificado();
}

void DetalleAsiento::AbroSelector() {
    const int fila = g->filaActiva();
    const int columna = g->columnaActiva();
    completo->Oculto();
    g->TerminoEdicion();
    const bool tipeado = pendienteFila == fila && pendienteColumna == columna;
    pendienteFila = pendienteColumna = 0;
    const QString texto = g->texto(fila, columna);
    // A text just typed no longer names the account the row held.
    if (tipeado) g->setTexto(fila, ColCuenta, "-1");
    const bool elegida = DobleClickCuenta(g, fila, columna);
    if (!elegida && g->texto(fila, ColCuenta) == QLatin1String("-1") && g->texto(fila, columna).isEmpty())
        g->setTexto(fila, columna, texto);
    g->setCeldaActual(fila, elegida ? int(ColDebe) : columna);
    g->setFocus();
    if (elegida || tipeado) {
        ActCmbConceptos(0, true, {fila});
        emit Modificado();
    }
}

void DetalleAsiento::Avanzo(bool atras) {
    int fila = g->filaActiva();
    const int columna = g->columnaActiva();
    if (fila < 1) return;
    const int n = int(std::size(Orden));
    int i = 0;
    while (i < n && Orden[i] < columna)
        ++i;
    if (!atras) {
        if (i < n && Orden[i] == columna) ++i;
        if (i >= n) {
            if (fila >= g->filas()) return;
            ++fila;
            g->setCeldaActual(fila, ColumnaCuentaDefault());
            return;
        }
    } else {
        --i;
        if (i < 0) {
            if (fila <= 1) return;
            --fila;
            i = n - 1;
        }
    }
    g->setCeldaActual(fila, Orden[i]);
}

void DetalleAsiento::CambioFila(int, int nueva) {
    completo->Oculto();
    if (moviendo || nueva < 1 || !edito()) return;
    if (!CuentaResuelta(nueva)) {
        moviendo = true;
        PosicionoEnCodDefault();
        moviendo = false;
    }
}

void DetalleAsiento::PosicionoEnCodDefault() {
    const int fila = std::max(1, g->filaActiva());
    if (fila > g->filas()) return;
    g->setCeldaActual(fila, ColumnaCuentaDefault());
}

void DetalleAsiento::BorroLinea() {
    const int fila = g->filaActiva();
    if (fila < 1) return;
    if (Mensaje("Está seguro de eliminar la linea actual", Icono::Pregunta, Botones::SiNo) != Respuesta::Si)
        return;
    g->BorroFila(fila);
    if (g->filas() < FilasEdicion) g->AgregoFila();
    g->setFocus();
    Recuento();
    emit Modificado();
}

bool DetalleAsiento::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == visor && evento->type() == QEvent::ToolTip) {
        auto* ayuda = static_cast<QHelpEvent*>(evento);
        if (g->indexAt(ayuda->pos()).column() == ColMarca)
            QToolTip::showText(ayuda->globalPos(), AyudaMarca, g->viewport());
        else
            QToolTip::hideText();
        return true;
    }
    return QObject::eventFilter(objeto, evento);
}
