// Shows the year closing and year opening screens on a small book, so that they can be looked at:
// xvfb-run -a -s "-screen 0 1280x1024x24" ./muestra_cierre [seconds]
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "fiscal/ui/frmAperturaEjercicios.h"
#include "fiscal/ui/frmCierreEjercicios.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

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
    Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (1, 'Muestra')");
    Ejecuto("INSERT INTO Ejercicios (EmpresaPropia, NumEjercicio, ComienzoEjercicio, FinEjercicio) "
            "VALUES (1, 1, '2024-01-01', '2024-12-31'), (1, 2, '2025-01-01', '2025-12-31')");
    a.currentCompany = 1;
    a.currentYear = 1;
    frmCierreEjercicios cierre;
    cierre.adjustmentAccount = 9;
    // Shown once the button is laid out.
    cierre.adjustmentDescription = "RESULTADOS NO ASIGNADOS DE EJERCICIOS ANTERIORES";
    cierre.show();
    cierre.move(40, 40);
    a.currentYear = 2;
    frmAperturaEjercicios apertura;
    apertura.show();
    apertura.move(40, 400);
    QTimer::singleShot(1000 * (argc > 1 ? QString(argv[1]).toInt() : 5), &app, &QApplication::quit);
    return app.exec();
}
