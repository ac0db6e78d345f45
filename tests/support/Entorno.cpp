#include "tests/support/Entorno.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Contrasenas.h"
#include "core/ui/Mensaje.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>

Entorno::Entorno(bool abrirBase) {
    CierroBase();
    UsoCostoMinimoContrasenas(true);
    AppState& a = App();
    a.programFolder = carpeta.path();
    a.settingsFolder = carpeta.path();
    a.Reinicio();
    a.databasePath = Ruta("Partidex.MDB");
    a.globalIniPath = Ruta("Global Partidex.ini");
    a.backupPath = Ruta("Partidex.BAK");
    a.auxPath = Ruta("Partidex.AUX");
    MensajePrueba::Limpio();
    MensajePrueba::Automatico(true);
    if (abrirBase) {
        QString error;
        if (!CreoBase(a.databasePath, &error) || !AbroBase(a.databasePath, &error))
            qFatal("No se pudo preparar la base de prueba: %s", qPrintable(error));
        a.currentUser = 1;
        a.loginAccepted = true;
    }
}

Entorno::~Entorno() {
    CierroBase();
    MensajePrueba::Limpio();
}

QString Entorno::Ruta(const QString& nombre) const { return carpeta.filePath(nombre); }
QString Entorno::RutaBase() const { return App().databasePath; }

int Entorno::CreoEmpresaYEjercicio(int empresa, int ejercicio, QDate desde, QDate hasta) {
    Ejecuto("INSERT OR IGNORE INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (?, ?)",
            {empresa, QString("Empresa de Prueba %1").arg(empresa)});
    Ejecuto("INSERT INTO Ejercicios (EmpresaPropia, NumEjercicio, ComienzoEjercicio, FinEjercicio) VALUES (?, ?, ?, ?)",
            {empresa, ejercicio, desde.toString(Qt::ISODate), hasta.toString(Qt::ISODate)});
    Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, CuentaPadre, NumHijo) "
            "VALUES (?, ?, 0, NULL, 'Plan de Cuentas', 0, 0)",
            {empresa, ejercicio});
    App().currentCompany = empresa;
    App().currentYear = ejercicio;
    return ejercicio;
}

void Entorno::CreoPlanChico(int empresa, int ejercicio) {
    struct Fila {
        int cuenta;
        const char* codInt;
        const char* desc;
        int padre, hijo, debito, resultado;
    };
    const Fila filas[] = {
        {1, "A", "ACTIVO", 0, 1, -1, 0},     {2, "CAJA", "CAJA", 1, 1, -1, 0},
        {3, "BCO", "BANCOS", 1, 2, -1, 0},   {4, "P", "PASIVO", 0, 2, 0, 0},
        {5, "PROV", "PROVEEDORES", 4, 1, 0, 0}, {6, "R", "RESULTADOS", 0, 3, 0, -1},
        {7, "VTAS", "VENTAS", 6, 1, 0, -1},  {8, "GTOS", "GASTOS", 6, 2, -1, -1},
    };
    for (const Fila& f : filas)
        Ejecuto("INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, CuentaPadre, NumHijo, "
                "CondDebito, CuentaResultado, Ajustable) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0)",
                {empresa, ejercicio, f.cuenta, f.codInt, f.desc, f.padre, f.hijo, f.debito, f.resultado});
}

void AlAbrirModal(std::function<void(QWidget*)> f, int esperaMs) {
    auto* reloj = new QElapsedTimer;
    reloj->start();
    auto* t = new QTimer;
    t->setInterval(20);
    QObject::connect(t, &QTimer::timeout, [t, reloj, f, esperaMs] {
        QWidget* w = QApplication::activeModalWidget();
        if (w) {
            t->stop();
            t->deleteLater();
            delete reloj;
            f(w);
        } else if (reloj->elapsed() > esperaMs) {
            t->stop();
            t->deleteLater();
            delete reloj;
        }
    });
    t->start();
}
