// Shows "Plan de Cuentas" on a small chart (three levels, a tenth sibling, a move) so that it can be
// looked at: xvfb-run -a -s "-screen 0 1280x1024x24" ./muestra_cuentas [seconds] [account to show]
// With "arrastre" as third argument it prints where two nodes are, for a drag with xdotool.
#include "accounts/OperacionesCuentas.h"
#include "accounts/ui/ArbolPlan.h"
#include "accounts/ui/frmCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "core/ui/Grilla.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir carpeta;
    AppState& a = App();
    a.programFolder = a.settingsFolder = carpeta.path();
    QString error;
    if (!CreoBase(carpeta.filePath("Partidex.MDB"), &error) ||
        !AbroBase(carpeta.filePath("Partidex.MDB"), &error))
        return 1;
    a.currentUser = 1;
    a.currentSession = NuevaSesion();
    Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (1, 'Muestra')");
    Ejecuto("INSERT INTO Ejercicios (EmpresaPropia, NumEjercicio, ComienzoEjercicio, FinEjercicio) "
            "VALUES (1, 1, '2024-01-01', '2024-12-31')");
    Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CuentaPadre, NumHijo) VALUES (1, 1, "
            "0, 0, 0)");
    Ejecuto("INSERT INTO ConceptosDetAsiento VALUES (1, 'Cobro en efectivo'), (2, 'Depósito bancario')");
    auto agrego = [](int padre, const QString& desc, int hijo, const QString& cod = QString()) {
        DatosCuenta d;
        d.descripcion = desc;
        d.codInt = cod;
        d.numHijo = QString::number(hijo);
        return AgregoCuenta(Contexto::DelSistema(), 1, 1, padre, d).cuenta;
    };
    const int activo = agrego(0, "ACTIVO", 1, "A");
    const int caja = agrego(activo, "CAJA Y BANCOS", 1);
    const int efectivo = agrego(caja, "Efectivo", 1, "EF");
    agrego(caja, "Banco Nación cta. cte.", 2, "BN");
    agrego(activo, "CRÉDITOS", 2);
    agrego(0, "PASIVO", 2, "P");
    agrego(0, "PATRIMONIO NETO", 3);
    const int resultados = agrego(0, "RESULTADOS", 4);
    for (int i = 1; i <= 10; ++i)
        agrego(resultados, QString("Gasto %1").arg(i), i); // a tenth sibling
    const int mover = agrego(0, "A MOVER", 5);
    MuevoCuenta(Contexto::DelSistema(), 1, 1, mover, activo);
    Ejecuto("INSERT INTO CuentasConceptos VALUES (1, 1, ?, 1, -1), (1, 1, ?, 2, 0)", {efectivo, efectivo});

    a.chartCompany = 1;
    a.chartYear = 1;
    a.preselection = argc > 2 ? QString(argv[2]).toInt() : efectivo;
    frmCuentas f;
    f.show();
    const int segundos = argc > 1 ? QString(argv[1]).toInt() : 5;
    if (argc > 3 && QString(argv[3]) == "arrastre") {
        // Screen positions of "A MOVER" and "PATRIMONIO NETO", for a real drag with xdotool.
        QTimer::singleShot(500, [&] {
            ArbolPlan* t = f.treMaster;
            const QPoint desde = t->viewport()->mapToGlobal(t->visualItemRect(t->Nodo(mover)).center());
            const QPoint hasta = t->viewport()->mapToGlobal(t->visualItemRect(t->Nodo(7)).center());
            std::printf("%d %d %d %d\n", desde.x(), desde.y(), hasta.x(), hasta.y());
            std::fflush(stdout);
        });
    }
    if (argc > 3 && QString(argv[3]) == "alta") {
        // Adding under the selected account: the strip turns green.
        QTimer::singleShot(300, [&] {
            f.btnRegAgregar->click();
            f.inpDescripcion->setText("Nueva cuenta");
        });
    }
    QTimer::singleShot(segundos * 1000, [&] {
        f.dirty = false; // leave without the save question
        app.quit();
    });
    app.exec();
    std::printf("A MOVER: parent %s, ordinal %s\n",
                qPrintable(NuloAVacio(ValorCampo("Cuentas", "CuentaPadre", "Cuenta=?", {mover}))),
                qPrintable(NuloAVacio(ValorCampo("Cuentas", "NumHijo", "Cuenta=?", {mover}))));
    return 0;
}
