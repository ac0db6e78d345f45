// The whole program's screens behind the main window's commands: each command whose screen exists is
// enabled, and each screen has its page in the help.
#include "accounts/ui/RegistroCuentas.h"
#include "core/AppState.h"
#include "core/ui/Arranque.h"
#include "core/ui/Ayuda.h"
#include "core/ui/Pantallas.h"
#include "core/ui/frmMain.h"
#include "fiscal/ui/RegistroEjercicios.h"
#include "inflation/ui/RegistroInflacion.h"
#include "journal/ui/RegistroAsientos.h"
#include "maintenance/ui/RegistroMantenimiento.h"
#include "reports/ui/RegistroReportes.h"
#include "security/ui/RegistroSeguridad.h"
#include "tests/support/ui/EntornoPantallas.h"
#include "utilities/ui/RegistroUtilidades.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QProcess>
#include <QTextBrowser>
#include <QSet>
#include <QTest>

// A company and year with a small chart, current, and the chart picker set on it: every screen opens.
void PreparoLibro(Entorno& e) {
    e.CreoEmpresaYEjercicio();
    e.CreoPlanChico();
    App().chartCompany = 1;
    App().chartYear = 1;
    App().preselection = true;
}

class PruebaPrograma : public QObject {
    Q_OBJECT
private slots:
    void init() {
        Pantallas::Olvido();
        RegistroPantallasCuentas();
        RegistroPantallasAsientos();
        RegistroPantallasEjercicios();
        RegistroPantallasInflacion();
        RegistroPantallasSeguridad();
        RegistroPantallasMantenimiento();
        RegistroPantallasUtilidades();
        RegistroPantallasReportes();
    }
    void cleanup() {
        FijoMantenimientoInicial(nullptr);
        FijoVerificoEstructura(nullptr);
        Pantallas::Olvido();
    }

    // The screens built so far answer their commands.
    void comandosHabilitados() {
        Entorno e;
        frmMain m;
        m.ActualizoMenus();
        for (const char* nombre :
             {"M_ConceptosAsiento", "M_ConceptosDetAsiento", "M_Ejercicios", "M_EmpresasPropia",
              "M_PlanCuentas", "M_TablasAjusteInflacion", "M_Usuarios", "M_CambioContrasena", "M_Calculadora",
              "M_About", "M_Impresora", "Salir", "M_Contenido"}) {
            auto* a = m.findChild<QAction*>(nombre);
            QVERIFY2(a, nombre);
            QVERIFY2(a->isEnabled(), nombre);
        }
        QVERIFY(Pantallas::Registrada("frmBaseDatos"));
    }

    // "A command whose form is registered" and "a page of that form's name in the help" go together.
    void cadaPantallaConSuAyuda() {
        Entorno e;
        QSet<QString> paginas;
        for (const PaginaAyuda& p : PaginasAyuda())
            paginas << p.archivo;
        frmMain m;
        QStringList formas{"frmBaseDatos"};
        for (QAction* a : m.findChildren<QAction*>()) {
            const QString forma = a->property("forma").toString();
            if (!forma.isEmpty() && Pantallas::Registrada(forma)) formas << forma;
        }
        QVERIFY(formas.size() >= 11);
        for (const QString& forma : formas)
            QVERIFY2(paginas.contains(forma + ".html"), qPrintable(forma + " no tiene página de ayuda"));
    }

    // Screen readers and automation tools find every control of every screen by its name.
    void nombresAccesibles_data() {
        QTest::addColumn<QString>("forma");
        for (const char* f : {"frmEmpresasPropia", "frmTablasAjusteInflacion", "frmConceptosAsiento",
                              "frmConceptosDetAsiento", "frmEjercicios", "frmCuentas", "frmUsuarios",
                              "frmCambioContrasena", "frmAbout", "frmBaseDatos", "frmBusquedaAsientos"})
            QTest::newRow(f) << QString(f);
    }
    void nombresAccesibles() {
        QFETCH(QString, forma);
        Entorno e;
        PreparoLibro(e);
        QStringList sinNombre;
        int controles = 0;
        bool visto = false;
        AlAbrirModal([&](QWidget* w) {
            visto = true;
            for (QWidget* c : w->findChildren<QWidget*>()) {
                if (!c->isVisibleTo(w)) continue;
                QString nombre = c->accessibleName();
                if (auto* b = qobject_cast<QAbstractButton*>(c)) nombre += QString(b->text()).remove('&');
                const bool control = qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) ||
                                     qobject_cast<QComboBox*>(c) || qobject_cast<QAbstractItemView*>(c);
                // Editors that live inside another control (a combo's line edit, a spin's) take its name.
                const bool interno = qobject_cast<QComboBox*>(c->parentWidget()) ||
                                     qobject_cast<QAbstractItemView*>(c->parentWidget()) ||
                                     (c->parentWidget() &&
                                      qobject_cast<QAbstractItemView*>(c->parentWidget()->parentWidget()));
                if (control && !interno) ++controles;
                if (control && !interno && nombre.trimmed().isEmpty())
                    sinNombre << QString("%1 (%2)").arg(c->objectName(), c->metaObject()->className());
            }
            if (auto* d = qobject_cast<QDialog*>(w))
                d->reject();
            else
                w->close();
        });
        Pantallas::AbroModal(forma);
        QVERIFY2(visto, qPrintable(forma + " no abrió"));
        QVERIFY2(controles >= 2, qPrintable(QString("%1 controles").arg(controles)));
        QVERIFY2(sinNombre.isEmpty(), qPrintable(sinNombre.join(", ")));
    }

    // Shift+F1, or the title bar's context-help button, in a screen opens that screen's page.
    void ayudaDeLaPantalla_data() {
        QTest::addColumn<QString>("forma");
        QTest::addColumn<bool>("botonDelTitulo");
        QTest::newRow("frmCuentas") << QString("frmCuentas") << false;
        QTest::newRow("frmUsuarios") << QString("frmUsuarios") << false;
        QTest::newRow("frmEjercicios con el botón") << QString("frmEjercicios") << true;
    }
    void ayudaDeLaPantalla() {
        QFETCH(QString, forma);
        QFETCH(bool, botonDelTitulo);
        Entorno e;
        PreparoLibro(e);
        QString pagina;
        AlAbrirModal([&](QWidget* w) {
            QWidget* foco = nullptr;
            for (QLineEdit* l : w->findChildren<QLineEdit*>())
                if (l->isVisible() && l->isEnabled()) {
                    foco = l;
                    break;
                }
            if (!foco) foco = w;
            foco->setFocus();
            if (botonDelTitulo) {
                QEvent pide(QEvent::EnterWhatsThisMode);
                QCoreApplication::sendEvent(qApp, &pide);
            } else {
                QTest::keyClick(foco, Qt::Key_F1, Qt::ShiftModifier);
            }
            if (VisorAyuda()) {
                pagina = VisorAyuda()->Navegador()->source().fileName();
                VisorAyuda()->close();
            }
            if (auto* d = qobject_cast<QDialog*>(w))
                d->reject();
            else
                w->close();
        });
        Pantallas::AbroModal(forma);
        QCOMPARE(pagina, forma + ".html");
        QTRY_VERIFY(!VisorAyuda());
    }

    // The program's own command line, run without a display: what it answers and with which status.
    void lineaDeComandos_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<int>("estado");
        QTest::addColumn<QString>("salida"); // start of what it writes (standard output, then errors)
        QTest::newRow("versión") << QStringList{"--version"} << 0 << "Partidex ";
        QTest::newRow("ayuda") << QStringList{"--help"} << 0 << "Uso: Partidex";
        QTest::newRow("opción desconocida") << QStringList{"--bogus"} << 2 << "Partidex: opción desconocida: --bogus";
        QTest::newRow("corta desconocida") << QStringList{"-x"} << 2 << "Partidex: opción desconocida: -x";
        QTest::newRow("argumento suelto") << QStringList{"libro.mdb"} << 2
                                          << "Partidex: argumento desconocido: libro.mdb";
        QTest::newRow("tras una de Qt") << QStringList{"-style", "Fusion", "--bogus"} << 2
                                        << "Partidex: opción desconocida: --bogus";
        // The value of a Qt option is not taken for an argument of the program's.
        QTest::newRow("sin pantalla") << QStringList{"-style", "Fusion"} << 1 << "Partidex: no hay pantalla";
    }
    void lineaDeComandos() {
        QFETCH(QStringList, argumentos);
        QFETCH(int, estado);
        QFETCH(QString, salida);
        QProcess p;
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            ambiente.remove(v);
        p.setProcessEnvironment(ambiente);
        p.start(PARTIDEX_PROGRAMA, argumentos);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), estado);
        const QString escrito = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        QVERIFY2(escrito.startsWith(salida), qPrintable(escrito));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    PreparoPruebasPantallas();
    PruebaPrograma t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_programa.moc"
