// The whole program's screens behind the main window's commands: each command whose screen exists is
// enabled, and each screen has its page in the help.
#include "accounts/ui/RegistroCuentas.h"
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
#include "tests/support/Entorno.h"
#include "utilities/ui/RegistroUtilidades.h"

#include <QAction>
#include <QApplication>
#include <QSet>
#include <QTest>

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
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    PruebaPrograma t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_programa.moc"
