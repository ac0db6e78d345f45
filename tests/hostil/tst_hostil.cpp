// Hostile text typed as a user types it, into the screens reached through the screen registry.
#include "tst_hostil.h"

#include "accounts/ui/ArbolPlan.h"
#include "accounts/ui/RegistroCuentas.h"
#include "accounts/ui/frmCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Sesiones.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "core/ui/Catalogo.h"
#include "core/ui/Grilla.h"
#include "core/ui/GrillaModelo.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "core/ui/frmAcceso.h"
#include "fiscal/Cierre.h"
#include "fiscal/ui/RegistroEjercicios.h"
#include "inflation/ui/RegistroInflacion.h"
#include "journal/ui/DetalleAsiento.h"
#include "journal/ui/RegistroAsientos.h"
#include "journal/ui/frmAsientos.h"
#include "maintenance/ui/RegistroMantenimiento.h"
#include "reports/ui/RegistroReportes.h"
#include "schema/Esquema.h"
#include "security/ui/RegistroSeguridad.h"
#include "tests/support/ui/EntornoPantallas.h"
#include "utilities/ui/RegistroUtilidades.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// ---- The values ----

struct Hostil {
    QString valor;
    bool pegado; // pasted from the clipboard rather than typed key by key
};

// 10,000 UTF-16 units with wildcards, quotes, accents and an astral character in every block.
QString Largo() {
    const QString bloque = QString::fromUtf8("Ñandú 50%_x\\'\"😀 ");
    QString s;
    while (s.size() < 10000)
        s += bloque;
    s.truncate(10000);
    if (s.back().isHighSurrogate()) s.back() = u'z';
    return s;
}

const QList<std::pair<const char*, Hostil>>& Valores() {
    static const QList<std::pair<const char*, Hostil>> v = {
        {"comillas", {QString::fromUtf8("O'Brien \"el\" '' `x`"), false}},
        {"comodines", {QString::fromUtf8("50% _a_ *?* [b]"), false}},
        {"barras", {QString::fromUtf8("C:\\tmp\\ \\\\ \\' \\% \\_"), false}},
        {"sentencia", {QString::fromUtf8("x'); DELETE FROM Cuentas; --"), false}},
        {"controles tecleados",
         {QString::fromUtf8("a\tb\r\nc\x1b"
                            "d"),
          false}},
        {"controles pegados",
         {QString::fromUtf8("a\tb\r\nc\x1b"
                            "d") +
              QChar(0) + u'e',
          true}},
        {"largo", {Largo(), true}},
        {"derecha a izquierda", {QString::fromUtf8("\u202Eשלום\u202C مرحبا \u202Dabc\u202C\u200F!"), false}},
        {"emoji", {QString::fromUtf8("😀 👍🏽 👨‍👩‍👧‍👦 🏳️‍🌈 𝄞"), false}},
        {"acentos combinados", {QString::fromUtf8("e\u0301 n\u0303 a\u0308\u0301 A\u030A"), false}},
        // Astral characters across the 50- and 128-unit limits of the login fields.
        {"limite pegado",
         {QString(49, u'x') + QString::fromUtf8("😀") + QString(76, u'y') + QString::fromUtf8("😀z"), true}},
        {"limite tecleado", {QString(49, u'x') + QString::fromUtf8("😀😀"), false}},
    };
    return v;
}

// What a field holds after the value was entered: typed control characters never land in a
// one-line field; a field's maximum length keeps a prefix that ends on a whole character.
QString Esperado(const QString& v, bool pegado, int largoMaximo = 32767) {
    QString e = v;
    if (!pegado) e.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    if (e.size() > largoMaximo) {
        e.truncate(largoMaximo);
        if (!e.isEmpty() && e.back().isHighSurrogate()) e.chop(1);
    }
    return e;
}

// What the books hold of a text: a server's text type holds no NUL, which is dropped there; the file
// engine keeps every character.
QString Guardado(const QString& v) {
    return PruebaEnPostgres() ? QString(v).remove(QChar(0)) : v;
}

// ---- Driving the screens ----

// Ends the program when a step takes longer than its limit: a hung screen fails the run instead of
// blocking it (a timer of the same thread could not fire while the screen hangs).
class Vigia {
public:
    explicit Vigia(const QString& paso, int segundos = 60)
        : hilo([this, p = paso.toUtf8(), segundos] {
              std::unique_lock<std::mutex> l(m);
              if (!cv.wait_for(l, std::chrono::seconds(segundos), [this] { return listo; })) {
                  std::fprintf(stderr, "FAIL! se colgó: %s\n", p.constData());
                  std::fflush(stderr);
                  std::_Exit(3);
              }
          }) {}
    ~Vigia() {
        {
            std::lock_guard<std::mutex> l(m);
            listo = true;
        }
        cv.notify_all();
        hilo.join();
    }

private:
    std::mutex m;
    std::condition_variable cv;
    bool listo = false;
    std::thread hilo;
};

// Enters a value into a text field: key by key (one key per character, astral ones included), or
// pasted with Ctrl+V. What the field held before is selected and deleted first.
void Ingreso(QWidget* campo, const QString& v, bool pegado) {
    campo->setFocus();
    QTest::keyClick(campo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(campo, Qt::Key_Delete);
    if (pegado) {
        QGuiApplication::clipboard()->setText(v);
        QTest::keyClick(campo, Qt::Key_V, Qt::ControlModifier);
        return;
    }
    for (qsizetype i = 0; i < v.size();) {
        const qsizetype n = v[i].isHighSurrogate() && i + 1 < v.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, campo, Qt::Key_unknown, v.mid(i, n), Qt::NoModifier);
        i += n;
    }
}

// Enters a value into a grid cell through the editor the grid opens, and leaves it with Enter.
void IngresoEnCelda(Grilla* g, int fila, int columna, const QString& v, bool pegado) {
    g->setCeldaActual(fila, columna);
    g->edit(g->model()->index(fila - 1, columna));
    QWidget* editor = nullptr;
    for (QWidget* w : g->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if ((qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)) && w->isVisible()) editor = w;
    QVERIFY2(editor, "la grilla no abrió su editor");
    auto* combo = qobject_cast<QComboBox*>(editor);
    Ingreso(combo ? combo->lineEdit() : editor, v, pegado);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits on a queued call
}

// Opens a screen as its registered kind says, runs `f` on it and closes it with its own exit.
void EnPantalla(const QString& nombre, const std::function<void(QWidget*)>& f) {
    const auto forma = Pantallas::FormaDe(nombre);
    QVERIFY2(forma, qPrintable("no registrada: " + nombre));
    auto cierro = [](QWidget* w) {
        if (auto* s = w->findChild<QAbstractButton*>("btnSalir"); s && s->isVisible() && s->isEnabled())
            Clic(s);
    };
    if (*forma == Pantallas::Forma::Modal) {
        bool visto = false;
        QTimer t;
        t.setInterval(10);
        QObject::connect(&t, &QTimer::timeout, [&] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || visto) return;
            visto = true;
            t.stop();
            f(w);
            if (w->isVisible()) cierro(w);
            if (w->isVisible()) w->hide(); // a failed check: the dialog still closes
        });
        t.start();
        Pantallas::Abro(nombre);
        t.stop();
        QVERIFY2(visto, qPrintable("no abrió: " + nombre));
    } else {
        QWidget* w = Pantallas::Activo(nombre);
        QVERIFY2(w, qPrintable("no abrió: " + nombre));
        QPointer<QWidget> vivo(w);
        f(w);
        if (vivo && vivo->isVisible()) cierro(w);
        for (QMdiSubWindow* s : Pantallas::Marco()->subWindowList())
            delete s;
    }
}

void Registro() {
    Pantallas::Olvido();
    RegistroPantallasCuentas();
    RegistroPantallasAsientos();
    RegistroPantallasEjercicios();
    RegistroPantallasInflacion();
    RegistroPantallasSeguridad();
    RegistroPantallasMantenimiento();
    RegistroPantallasUtilidades();
    RegistroPantallasReportes();
    // The login window opens before the main window exists, not through the registry.
    Pantallas::Registro("frmAcceso", Pantallas::Forma::Modal, [](QWidget* p) { return new frmAcceso(p); });
}

// A database with a company, a year, the small chart, a session, and the chart made the current one.
void Preparo(Entorno& e) {
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    AppState& a = App();
    a.chartCompany = 1;
    a.chartYear = 1;
    a.preselection = -1;
    a.searchText = QString();
    a.currentSession = NuevaSesion();
    MensajePrueba::Limpio();
}

// ---- Stored fields ----

struct Campo {
    const char* pantalla;
    const char* control; // a field, or "ColConcepto": the line concept cell of the entry grid
    const char* tabla;
    const char* columna;
    const char* clave;       // the newest row is the one with the highest key
    const char* alcance;     // condition on the table
    bool mayusculas = false; // stored upper-cased (login names)
    // The closing legends: typed in the closing dialog, which stores them as the closing entries'
    // concepts, tells the user it is done, and the entries are read back in the journal editor.
    bool cierre = false;
};

const Campo campos[] = {
    {"frmConceptosAsiento", "inpDescripcion", "ConceptosAsiento", "descConceptoAsiento", "ConceptoAsiento",
     "1=1"},
    {"frmConceptosDetAsiento", "inpDescripcion", "ConceptosDetAsiento", "descConceptoDetAsiento",
     "ConceptoDetAsiento", "1=1"},
    {"frmTablasAjusteInflacion", "inpDescripcion", "TablasAjusteInflacion", "descTablaAjusteInflacion",
     "TablaAjusteInflacion", "1=1"},
    {"frmEmpresasPropia", "inpDescripcion", "EmpresasPropia", "descEmpresaPropia", "EmpresaPropia", "1=1"},
    {"frmUsuarios", "inpCodigo", "Usuarios", "NombreCorto", "Usuario", "1=1", true},
    {"frmUsuarios", "inpDescripcion", "Usuarios", "descUsuario", "Usuario", "1=1"},
    {"frmCuentas", "inpDescripcion", "Cuentas", "Descripcion", "Cuenta",
     "EmpresaPropia=1 AND NumEjercicio=1"},
    {"frmCuentas", "inpCodInt", "Cuentas", "CodInt", "Cuenta", "EmpresaPropia=1 AND NumEjercicio=1"},
    {"frmAsientos", "inpConcepto", "Asientos", "Concepto", "Asiento", "EmpresaPropia=1 AND NumEjercicio=1"},
    {"frmAsientos", "ColConcepto", "DetAsientos", "Concepto", "Asiento",
     "EmpresaPropia=1 AND NumEjercicio=1 AND Detalle=1"},
    {"frmCierreEjercicios", "inpLeyendaCierreResultados", "Asientos", "Concepto", "Asiento",
     "EmpresaPropia=1 AND NumEjercicio=1 AND Especial=1", false, true},
    {"frmCierreEjercicios", "inpLeyendaCierrePatrimonial", "Asientos", "Concepto", "Asiento",
     "EmpresaPropia=1 AND NumEjercicio=1 AND Especial=2", false, true},
    {"frmAperturaEjercicios", "inpLeyendaApertura", "Asientos", "Concepto", "Asiento",
     "EmpresaPropia=1 AND NumEjercicio=2 AND Especial=3", false, true},
};

int ClaveNueva(const Campo& c) {
    return NumeroOCero(ValorCampo(c.tabla, QString("MAX(%1)").arg(c.clave), c.alcance).value_or(QVariant()));
}

// Starts a new record on the screen with plain values in its other fields, and enters the value.
void NuevoRegistro(QWidget* w, const Campo& c, const QString& v, bool pegado) {
    const QString control = c.control;
    if (auto* f = qobject_cast<frmAsientos*>(w)) {
        Clic(f->btnRegAgregar);
        Grilla* g = f->sprDetAsiento;
        using D = DetalleAsiento;
        for (auto [fila, columna, texto] : {std::tuple{1, int(D::ColCodInt), "CAJA"},
                                            {1, int(D::ColDebe), "10"},
                                            {2, int(D::ColCodInt), "VTAS"},
                                            {2, int(D::ColHaber), "10"}}) {
            g->setCeldaActual(fila, columna);
            QVERIFY(g->modelo()->AceptoTipeado(fila, columna, texto));
            QCoreApplication::processEvents(); // the account typed is looked up on a queued call
        }
        if (control == "ColConcepto") {
            IngresoEnCelda(g, 1, D::ColConcepto, v, pegado);
            QCOMPARE(g->texto(1, D::ColConcepto), Esperado(v, pegado));
        } else {
            Ingreso(f->inpConcepto, v, pegado);
        }
        return;
    }
    if (auto* f = qobject_cast<frmCuentas*>(w)) {
        f->treMaster->Selecciono(0);
        Clic(f->btnRegAgregar);
        if (control != "inpDescripcion") Ingreso(f->inpDescripcion, "X", false);
    } else {
        auto* cat = qobject_cast<Catalogo*>(w);
        QVERIFY(cat);
        Clic(cat->btnRegAgregar);
        if (auto* perfil = w->findChild<QComboBox*>("cmbPerfil")) {
            QTest::keyClick(perfil, Qt::Key_Down);
            if (control != "inpCodigo") Ingreso(cat->inpCodigo, "hostil", false);
        }
    }
    Ingreso(w->findChild<QLineEdit*>(c.control), v, pegado);
}

// The field's text once the screen shows the record of key `clave` again.
QString Mostrado(QWidget* w, const Campo& c, int clave) {
    if (auto* f = qobject_cast<frmAsientos*>(w)) {
        Pantallas::MuestroAsientoEnEditor(clave);
        if (QByteArray(c.control) == "ColConcepto")
            return f->sprDetAsiento->texto(1, DetalleAsiento::ColConcepto);
        return f->inpConcepto->text();
    }
    if (auto* f = qobject_cast<frmCuentas*>(w)) {
        f->treMaster->Selecciono(clave);
    } else if (auto* cat = qobject_cast<Catalogo*>(w)) {
        for (int fila = 1; fila <= cat->sprMaster->filas(); ++fila)
            if (cat->CodigoFila(fila) == QString::number(clave)) cat->IrAFila(fila);
    }
    return w->findChild<QLineEdit*>(c.control)->text();
}

// ---- Searches ----

// What the entry search must find: a criterion contains the typed text, ignoring letter case, where
// only "*" (any run) and "?" (one character) are wildcards.
bool Coincide(const QString& texto, const QString& criterio) {
    QString patron;
    for (const uint cp : criterio.toUpper().toUcs4()) {
        if (cp == '*')
            patron += ".*";
        else if (cp == '?')
            patron += '.';
        else
            patron +=
                QRegularExpression::escape(QString::fromUcs4(reinterpret_cast<const char32_t*>(&cp), 1));
    }
    const QRegularExpression re(patron, QRegularExpression::DotMatchesEverythingOption);
    return re.match(texto.toUpper()).hasMatch();
}

// Every value and decoys that a search taking "%" or "_" as wildcards, or "\\" as an escape, would
// match: one decoy for each, so that each is caught on its own.
QStringList TextosDeBusqueda() {
    QStringList t;
    for (const auto& [nombre, h] : Valores()) {
        const QString v = Esperado(h.valor, h.pegado);
        t << v;
        for (const QString& senuelo : {QString(v).replace(u'%', QStringLiteral("ZZ")),
                                       QString(v).replace(u'_', u'Y'), QString(v).remove(u'\\')})
            if (senuelo != v && !t.contains(senuelo)) t << senuelo;
    }
    return t;
}

// No message was shown.
#define SIN_MENSAJES()                                                                                       \
    QVERIFY2(MensajePrueba::Textos().isEmpty(), qPrintable(MensajePrueba::Textos().join(" | ")))

} // namespace

// The main window's frame for child screens, active as it is when the user types.
static std::unique_ptr<QMdiArea> marco;

void PruebaHostil::init() {
    Registro();
    MensajePrueba::Limpio();
    marco = std::make_unique<QMdiArea>();
    Pantallas::FijoMarco(marco.get());
    marco->show();
    marco->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(marco.get()));
}

void PruebaHostil::cleanup() {
    Pantallas::FijoMarco(nullptr);
    marco.reset();
}

void PruebaHostil::guardoYLeo_data() {
    QTest::addColumn<int>("campo");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<bool>("pegado");
    for (int i = 0; i < int(std::size(campos)); ++i)
        for (const auto& [nombre, h] : Valores())
            QTest::addRow("%s.%s %s", campos[i].pantalla, campos[i].control, nombre)
                << i << h.valor << h.pegado;
}

// Typed, saved with the screen's own button, read back from the database and shown again.
void PruebaHostil::guardoYLeo() {
    QFETCH(int, campo);
    QFETCH(QString, valor);
    QFETCH(bool, pegado);
    const Campo& c = campos[campo];
    Vigia v(QTest::currentDataTag());
    Entorno e;
    Preparo(e);
    int largo = 32767;
    const int antes = ClaveNueva(c);
    QString esperado;

    if (c.cierre) {
        // A year with a sale, so that both closing entries have lines.
        QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Concepto) VALUES "
                        "(1, 1, 1, '2024-03-01', 'venta')")
                    .ok);
        QVERIFY(
            Ejecuto(
                "INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, Importe) "
                "VALUES (1, 1, 1, 1, 2, 10), (1, 1, 1, 2, 7, -10)")
                .ok);
        if (QByteArray(c.pantalla) == "frmAperturaEjercicios") {
            // The year closed, and the next one with its chart made current.
            QVERIFY(GeneroCierre(ContextoActual().En(1, 1), "resultados", "patrimonial", 3).ok);
            e.CreoEmpresaYEjercicio(1, 2, QDate(2025, 1, 1), QDate(2025, 12, 31));
            e.CreoPlanChico(1, 2);
        }
        MensajePrueba::setNextAnswer(Respuesta::Ok); // the notice that the entries were made
    }

    EnPantalla(c.pantalla, [&](QWidget* w) {
        auto* campo = w->findChild<QLineEdit*>(c.control);
        if (campo) largo = campo->maxLength();
        esperado = Esperado(valor, pegado, largo);
        if (c.cierre) {
            Ingreso(campo, valor, pegado);
            if (auto* cuenta = w->findChild<QAbstractButton*>("pnlCuentaAjusteResultados")) {
                // The result adjustment account, chosen in the chart as a user does: BANCOS.
                QTimer eleccion;
                eleccion.setInterval(10);
                QObject::connect(&eleccion, &QTimer::timeout, [&] {
                    auto* plan = qobject_cast<frmCuentas*>(QApplication::activeModalWidget());
                    if (!plan) return;
                    eleccion.stop();
                    plan->treMaster->Selecciono(3);
                    Clic(plan->findChild<QAbstractButton*>("btnSeleccionar"));
                });
                eleccion.start();
                Clic(cuenta);
                QVERIFY(!eleccion.isActive());
            }
        } else
            NuevoRegistro(w, c, valor, pegado);
        if (campo) QCOMPARE(campo->text(), esperado);
        Clic(w->findChild<QAbstractButton*>(c.cierre ? "btnOk" : "btnGuardar"));
    });
    if (QTest::currentTestFailed()) return;
    QVERIFY2(MensajePrueba::Textos().size() == (c.cierre ? 1 : 0),
             qPrintable(MensajePrueba::Textos().join(" | ")));
    MensajePrueba::Limpio();
    const QString guardar = Guardado(c.mayusculas ? esperado.toUpper() : esperado);
    const int clave = ClaveNueva(c);
    QVERIFY(clave > antes);
    const QVariant guardado =
        ValorCampo(c.tabla, c.columna, QString("%1 AND %2=?").arg(c.alcance, c.clave), {clave})
            .value_or(QVariant());
    QCOMPARE(guardado.toString(), guardar);

    EnPantalla(c.cierre ? "frmAsientos" : c.pantalla,
               [&](QWidget* w) { QCOMPARE(Mostrado(w, c, clave), guardar); });
    SIN_MENSAJES();
    if (!c.mayusculas) return;
    // A login name: the new user logs in with it, typed the same way; the password is the name.
    EnPantalla("frmAcceso", [&](QWidget* w) {
        Ingreso(w->findChild<QLineEdit*>("inpUsuario"), valor, pegado);
        Ingreso(w->findChild<QLineEdit*>("inpContrasena"), esperado, pegado);
        Clic(w->findChild<QAbstractButton*>("btnOk"));
    });
    SIN_MENSAJES();
    QCOMPARE(App().currentUser, clave);
}

void PruebaHostil::leyendas_data() {
    QTest::addColumn<QString>("valor");
    for (const auto& [nombre, h] : Valores())
        QTest::addRow("%s", nombre) << Esperado(h.valor, h.pegado);
}

// A line concept offered for an account is listed whole in the line's drop-down, and chosen from it
// it is stored as it was.
void PruebaHostil::leyendas() {
    QFETCH(QString, valor);
    Vigia v(QTest::currentDataTag());
    Entorno e;
    Preparo(e);
    QVERIFY(
        Ejecuto("INSERT INTO ConceptosDetAsiento (ConceptoDetAsiento, descConceptoDetAsiento) VALUES (1, ?)",
                {valor})
            .ok);
    QVERIFY(
        Ejecuto(
            "INSERT INTO CuentasConceptos (EmpresaPropia, NumEjercicio, Cuenta, ConceptoDetAsiento, Debe) "
            "VALUES (1, 1, 2, 1, -1)")
            .ok);
    const Campo& c = *std::find_if(std::begin(campos), std::end(campos),
                                   [](const Campo& c) { return QByteArray(c.control) == "inpConcepto"; });
    EnPantalla("frmAsientos", [&](QWidget* w) {
        NuevoRegistro(w, c, QString(), false);
        Grilla* g = qobject_cast<frmAsientos*>(w)->sprDetAsiento;
        g->setCeldaActual(1, DetalleAsiento::ColConcepto);
        g->edit(g->model()->index(0, DetalleAsiento::ColConcepto));
        QComboBox* combo = nullptr;
        for (QComboBox* cb : g->viewport()->findChildren<QComboBox*>())
            if (cb->isVisible()) combo = cb;
        QVERIFY(combo);
        QCOMPARE(combo->count(), 1);
        QCOMPARE(combo->itemText(0), Guardado(valor));
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down); // the first item of the list
        QCOMPARE(combo->currentIndex(), 0);
        QTest::keyClick(combo, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(g->texto(1, DetalleAsiento::ColConcepto), Guardado(valor));
        Clic(w->findChild<QAbstractButton*>("btnGuardar"));
    });
    SIN_MENSAJES();
    QCOMPARE(NuloAVacio(ValorCampo("DetAsientos", "Concepto", "Asiento=1 AND Detalle=1")), Guardado(valor));
}

void PruebaHostil::contrasenas_data() {
    QTest::addColumn<QString>("valor");
    QTest::addColumn<bool>("pegado");
    for (const auto& [nombre, h] : Valores())
        QTest::addRow("%s", nombre) << h.valor << h.pegado;
}

// A new password typed in the password change, and then typed the same way at the login window.
void PruebaHostil::contrasenas() {
    QFETCH(QString, valor);
    QFETCH(bool, pegado);
    Vigia v(QTest::currentDataTag());
    Entorno e;
    Preparo(e);
    EnPantalla("frmCambioContrasena", [&](QWidget* w) {
        Ingreso(w->findChild<QLineEdit*>("inpContrasenaActual"), Esquema::UsuarioInicial, false);
        Ingreso(w->findChild<QLineEdit*>("inpNuevaContrasena"), valor, pegado);
        Ingreso(w->findChild<QLineEdit*>("inpConfirmacionContrasena"), valor, pegado);
        Clic(w->findChild<QAbstractButton*>("btnOk"));
        QVERIFY(!w->isVisible());
    });
    SIN_MENSAJES();
    App().currentUser = 0;
    EnPantalla("frmAcceso", [&](QWidget* w) {
        Ingreso(w->findChild<QLineEdit*>("inpUsuario"), Esquema::UsuarioInicial.toLower(), false);
        Ingreso(w->findChild<QLineEdit*>("inpContrasena"), valor, pegado);
        Clic(w->findChild<QAbstractButton*>("btnOk"));
    });
    SIN_MENSAJES();
    QCOMPARE(App().currentUser, 1);
}

void PruebaHostil::busquedas_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<bool>("pegado");
    for (const char* campo : {"ftrConcepto", "ftrConceptoDetalle", "ftrDescripcion", "ftrCodInt",
                              "inpBusqDescripcion", "inpBusqCodInt"})
        for (const auto& [nombre, h] : Valores())
            QTest::addRow("%s %s", campo, nombre) << campo << h.valor << h.pegado;
}

// Each text is an entry's concept, its first line's concept, and that line's account description and
// short code; the entry search given a typed text finds exactly the entries that contain it, and the
// chart's searches the first account that does.
void PruebaHostil::busquedas() {
    QFETCH(QString, campo);
    QFETCH(QString, valor);
    QFETCH(bool, pegado);
    Vigia v(QTest::currentDataTag());
    Entorno e;
    Preparo(e);
    const QStringList textos = TextosDeBusqueda();
    QSet<int> esperados;
    const QString criterio = Esperado(valor, pegado);
    Transaccion t; // one write for the whole book
    QVERIFY(t.ok());
    for (int i = 0; i < textos.size(); ++i) {
        const int asiento = i + 1;
        const int cuenta = 100 + i;
        QVERIFY(AgregoCuenta(cuenta, 1, 10 + i, textos[i], textos[i]));
        QVERIFY(Ejecuto("INSERT INTO Asientos (EmpresaPropia, NumEjercicio, Asiento, Fecha, Concepto) "
                        "VALUES (1, 1, ?, '2024-03-01', ?)",
                        {asiento, textos[i]})
                    .ok);
        QVERIFY(Ejecuto("INSERT INTO DetAsientos (EmpresaPropia, NumEjercicio, Asiento, Detalle, Cuenta, "
                        "Importe, Concepto) VALUES (1, 1, ?, 1, ?, 10, ?), (1, 1, ?, 2, 7, -10, 'contra')",
                        {asiento, cuenta, textos[i], asiento})
                    .ok);
        // The counterpart's texts (VENTAS, VTAS, "contra") can match wildcards too.
        const QString otro = campo == "ftrDescripcion" ? "VENTAS" : campo == "ftrCodInt" ? "VTAS" : "contra";
        if (Coincide(Guardado(textos[i]), Guardado(criterio)) ||
            (campo != "ftrConcepto" && Coincide(otro, Guardado(criterio))))
            esperados << asiento;
    }
    QVERIFY(esperados.contains(textos.indexOf(criterio) + 1));
    QVERIFY(t.Confirmo());

    if (campo.startsWith("inpBusq")) {
        // The chart's search goes to the first account, in the chart's order, that contains the text.
        const bool descripcion = campo == "inpBusqDescripcion";
        QSqlQuery q = Consulto("SELECT Cuenta, Descripcion, CodInt FROM Cuentas WHERE EmpresaPropia=1 AND "
                               "NumEjercicio=1 ORDER BY Cuenta");
        int primera = -1;
        while (primera < 0 && q.next())
            if (Coincide(q.value(descripcion ? 1 : 2).toString(), Guardado(criterio)))
                primera = q.value(0).toInt();
        QVERIFY(primera >= 0);
        EnPantalla("frmCuentas", [&](QWidget* w) {
            auto* f = w->findChild<QLineEdit*>(campo);
            Ingreso(f, valor, pegado);
            QCOMPARE(f->text(), criterio);
            QCOMPARE(qobject_cast<frmCuentas*>(w)->treMaster->CuentaSeleccionada(), primera);
        });
        SIN_MENSAJES();
        return;
    }

    App().entryListQuery = {};
    EnPantalla("frmBusquedaAsientos", [&](QWidget* w) {
        auto* f = w->findChild<QLineEdit*>(campo);
        Ingreso(f, valor, pegado);
        QCOMPARE(f->text(), criterio);
        Clic(w->findChild<QAbstractButton*>("btnOk"));
    });
    if (QTest::currentTestFailed()) return;
    SIN_MENSAJES();
    const ConsultaSql q = App().entryListQuery;
    QVERIFY(!q.vacia());
    QSqlQuery r = Consulto(q.sql, q.parametros);
    QVERIFY2(r.isActive(), qPrintable(r.lastError().text()));
    QSet<int> hallados;
    while (r.next())
        hallados << r.value("Asiento").toInt();
    QCOMPARE(hallados, esperados);
}

void PruebaHostil::todosLosCampos_data() {
    QTest::addColumn<QString>("pantalla");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<bool>("pegado");
    // Every screen with a field to type into (the maintenance screen and the calculator have none).
    for (const char* p : {"frmAcceso",
                          "frmConceptosAsiento",
                          "frmConceptosDetAsiento",
                          "frmTablasAjusteInflacion",
                          "frmEmpresasPropia",
                          "frmEjercicios",
                          "frmUsuarios",
                          "frmCambioContrasena",
                          "frmCuentas",
                          "frmAsientos",
                          "frmBusquedaAsientos",
                          "frmAjustesInflacion",
                          "frmCierreEjercicios",
                          "frmAperturaEjercicios",
                          "frmRptBalance",
                          "frmRptMayores",
                          "frmRptDiarioGeneral",
                          "frmRptBalanceReAjustado"})
        for (const auto& [nombre, h] : Valores())
            QTest::addRow("%s %s", p, nombre) << p << h.valor << h.pegado;
}

// Every field the user can type into, on every screen: it takes the value as entered (a field with a
// format keeps only what fits it), nothing hangs, and no statement breaks.
void PruebaHostil::todosLosCampos() {
    QFETCH(QString, pantalla);
    QFETCH(QString, valor);
    QFETCH(bool, pegado);
    Vigia v(QTest::currentDataTag());
    Entorno e;
    Preparo(e);
    QVERIFY(AgregoLinea(2));
    if (pantalla == "frmAperturaEjercicios") {
        // A second year whose preceding one has its balance-sheet closing.
        QVERIFY(Ejecuto("UPDATE Asientos SET Especial=2").ok);
        e.CreoEmpresaYEjercicio(1, 2, QDate(2025, 1, 1), QDate(2025, 12, 31));
        e.CreoPlanChico(1, 2);
    }
    // Messages are part of the answer here (a date that is not a date is explained): each is recorded.
    QStringList avisos;
    MensajePrueba::SinRespuesta([&](const MensajePrueba::Mostrado& m) { avisos << m.texto; });
    const auto restauro = qScopeGuard([] { PreparoPruebasPantallas(); });
    // Any other dialog the screen opens on what was typed (the chart picker on a code it does not
    // know) is closed, as a user would with Escape.
    QWidget* enPrueba = nullptr;
    int ajenos = 0;
    QTimer cierroAjenos;
    cierroAjenos.setInterval(20);
    QObject::connect(&cierroAjenos, &QTimer::timeout, [&] {
        QWidget* m = QApplication::activeModalWidget();
        if (m && enPrueba && m != enPrueba) {
            ++ajenos;
            m->hide();
        }
    });
    cierroAjenos.start();
    int cuantos = 0;
    EnPantalla(pantalla, [&](QWidget* w) {
        enPrueba = w;
        // New record first where the screen has one, so that the detail fields are open.
        if (auto* b = w->findChild<QAbstractButton*>("btnRegAgregar"); b && b->isVisible() && b->isEnabled())
            Clic(b);
        const QString esperado = Esperado(valor, pegado);
        auto sinControles = [](QString t) {
            return t.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
        };
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (!c->isVisible() || !c->isEnabled()) continue;
            if (auto* l = qobject_cast<QLineEdit*>(c); l && !l->isReadOnly()) {
                if (qobject_cast<QComboBox*>(l->parentWidget())) continue; // through its combo
                if (qobject_cast<Grilla*>(l->parentWidget() ? l->parentWidget()->parentWidget() : nullptr))
                    continue; // a cell editor left open
                ++cuantos;
                Ingreso(l, valor, pegado);
                const QString t = l->text();
                if (const QValidator* val = l->validator()) {
                    QString copia = t;
                    int pos = 0;
                    QVERIFY2(val->validate(copia, pos) != QValidator::Invalid, qPrintable(l->objectName()));
                } else if (l->inputMask().isEmpty()) {
                    QVERIFY2(t == Esperado(valor, pegado, l->maxLength()), qPrintable(l->objectName()));
                }
            } else if (auto* cb = qobject_cast<QComboBox*>(c); cb && cb->isEditable()) {
                ++cuantos;
                Ingreso(cb->lineEdit(), valor, pegado);
                QCOMPARE(cb->currentText(), esperado);
            } else if (auto* p = qobject_cast<QPlainTextEdit*>(c); p && !p->isReadOnly()) {
                ++cuantos;
                Ingreso(p, valor, pegado);
                QCOMPARE(sinControles(p->toPlainText()), sinControles(valor));
            } else if (auto* t = qobject_cast<QTextEdit*>(c); t && !t->isReadOnly()) {
                ++cuantos;
                Ingreso(t, valor, pegado);
                QCOMPARE(sinControles(t->toPlainText()), sinControles(valor));
            } else if (auto* g = qobject_cast<Grilla*>(c); g && !g->soloLectura() && g->filas() > 0) {
                // Every editable cell of the first row, through the editor the grid opens.
                for (int col = 1; col <= g->columnas(); ++col) {
                    if (g->isColumnHidden(col) ||
                        !(g->model()->flags(g->model()->index(0, col)) & Qt::ItemIsEditable))
                        continue;
                    ++cuantos;
                    const TipoCelda tipo = g->tipoColumna(col);
                    const qsizetype avisosAntes = avisos.size();
                    const int ajenosAntes = ajenos;
                    IngresoEnCelda(g, 1, col, valor, pegado);
                    // A cell may refuse what was typed, but only by saying so (a message, or the
                    // picker it opens on a text it cannot resolve).
                    const bool rechazado = avisos.size() > avisosAntes || ajenos > ajenosAntes;
                    if (QTest::currentTestFailed()) return;
                    const QString celda = g->texto(1, col);
                    const QByteArray donde = g->objectName().toUtf8() + " col " + QByteArray::number(col);
                    switch (tipo.clase) {
                    case TipoCelda::Texto:
                    case TipoCelda::TextoAjustado:
                    case TipoCelda::Combo:
                        QVERIFY2(celda == esperado || (celda.isEmpty() && rechazado),
                                 (donde + " [" + celda.toUtf8() + "]").constData());
                        break;
                    case TipoCelda::Numero: {
                        bool numero = false;
                        celda.toDouble(&numero); // cells keep numbers in plain C form
                        QVERIFY2(celda.isEmpty() || numero, donde.constData());
                        break;
                    }
                    case TipoCelda::Fecha:
                        QVERIFY2(celda.isEmpty() || TextoAFecha(celda).isValid(),
                                 (donde + " " + celda.toUtf8()).constData());
                        break;
                    case TipoCelda::Mascara:
                        QVERIFY2(CumpleMascara(celda, tipo.mascara), donde.constData());
                        break;
                    case TipoCelda::Boton:
                        break;
                    }
                }
            }
            if (QTest::currentTestFailed()) return;
        }
        // Whatever the screen does with it on save, it says so clearly: no driver error reaches the user.
        if (auto* b = w->findChild<QAbstractButton*>("btnGuardar"); b && b->isVisible() && b->isEnabled())
            Clic(b);
        enPrueba = nullptr;
    });
    for (const QString& a : avisos)
        QVERIFY2(!a.contains("SQL", Qt::CaseInsensitive) && !a.contains("syntax", Qt::CaseInsensitive) &&
                     !a.contains("unrecognized") && !a.contains("near \""),
                 qPrintable(a));
    // Every screen of the table has fields to type into: none found means the screen did not open as
    // expected, not that it is safe.
    QVERIFY2(cuantos > 0, qPrintable(pantalla + ": ningún campo"));
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return EjecutoPruebasPantallas<PruebaHostil>(argc, argv);
}
