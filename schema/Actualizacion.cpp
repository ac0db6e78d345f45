#include "schema/Actualizacion.h"

#include "core/MotorDialecto.h"
#include "schema/Esquema.h"

namespace Esquema {

namespace {

QStringList PasoModulosDeAccion() {
    const struct {
        int modulo;
        const char* descripcion;
        const char* nombre;
        const char* pantalla; // the screen whose grant it inherits
    } nuevos[] = {{16, "Eliminación de asientos", "EliminacionAsientos", "frmAsientos"},
                  {17, "Importación de índices", "ImportacionIndices", "frmAjustesInflacion"},
                  {18, "Copia de seguridad", "CopiaSeguridad", "frmBaseDatos"},
                  {19, "Recuperación de Back Up", "RecuperacionBackUp", "frmBaseDatos"}};
    QStringList r;
    for (const auto& n : nuevos) {
        r << QString("INSERT INTO Modulos (Modulo, descModulo, nomModulo) VALUES (%1, '%2', '%3')")
                 .arg(n.modulo)
                 .arg(QString::fromUtf8(n.descripcion), QLatin1String(n.nombre));
        for (int nivel = 0; nivel <= 3; ++nivel)
            r << QString("INSERT INTO ModulosHabilitaciones (Modulo, TipoHabilitacion) VALUES (%1, %2)")
                     .arg(n.modulo)
                     .arg(nivel);
        // Every profile gets a row: the screen's level, or 0 when it had none.
        r << QString("INSERT INTO Permisos (Perfil, Modulo, TipoHabilitacion) SELECT f.Perfil, %1, "
                     "COALESCE((SELECT p.TipoHabilitacion FROM Permisos AS p INNER JOIN Modulos AS m ON m.Modulo = "
                     "p.Modulo WHERE p.Perfil = f.Perfil AND m.nomModulo = '%2'), 0) FROM Perfiles AS f")
                 .arg(n.modulo)
                 .arg(QLatin1String(n.pantalla));
    }
    return r;
}

QStringList SumasDelMotor(const DialectoMotor& d) {
    return d.SumasMensuales();
}

} // namespace

const QList<Paso>& Pasos() {
    static const QList<Paso> pasos = {
        // 2: the index of lines by account holds the amount, so that the balance and the ledgers sum
        // each account from the index alone instead of reading every line from the table.
        {2,
         {"DROP INDEX IF EXISTS idxDetAsientosCuenta",
          "CREATE INDEX idxDetAsientosCuenta ON DetAsientos (EmpresaPropia, NumEjercicio, Cuenta, Asiento, "
          "Importe)"},
         {}},
        // 3: the history of every write of an entry; it starts with the upgrade.
        {3,
         {"CREATE TABLE HistorialAsientos (Registro {entero} NOT NULL PRIMARY KEY, EmpresaPropia {entero} "
          "NOT NULL, NumEjercicio {entero} NOT NULL, Asiento {entero} NOT NULL, AsientoAnterior {entero}, "
          "Tipo {entero} NOT NULL, Usuario {entero}, Sesion {entero}, Estacion {texto}, Momento {texto} NOT "
          "NULL, Antes {texto}, Despues {texto}, HashAnterior {texto} NOT NULL, Hash {texto} NOT NULL)",
          "CREATE INDEX idxHistorialAsientosAsiento ON HistorialAsientos (EmpresaPropia, NumEjercicio, "
          "Asiento)",
          "CREATE INDEX idxHistorialAsientosMomento ON HistorialAsientos (Momento)"},
         {"HistorialAsientos"}},
        // 4: the company's tax number and address; the backup and restore of the books become a module
        // of their own, granted to the administrator profile alone.
        {4,
         {"ALTER TABLE EmpresasPropia ADD COLUMN CUIT {texto}",
          "ALTER TABLE EmpresasPropia ADD COLUMN Domicilio {texto}",
          "INSERT INTO Modulos (Modulo, descModulo, nomModulo) VALUES (15, 'Base de Datos', 'frmBaseDatos')",
          "INSERT INTO ModulosHabilitaciones (Modulo, TipoHabilitacion) VALUES (15, 0)",
          "INSERT INTO ModulosHabilitaciones (Modulo, TipoHabilitacion) VALUES (15, 1)",
          "INSERT INTO ModulosHabilitaciones (Modulo, TipoHabilitacion) VALUES (15, 2)",
          "INSERT INTO ModulosHabilitaciones (Modulo, TipoHabilitacion) VALUES (15, 3)",
          "INSERT INTO Permisos (Perfil, Modulo, TipoHabilitacion) "
          "SELECT Perfil, 15, CASE WHEN Perfil = 1 THEN 1 ELSE 0 END FROM Perfiles"},
         {}},
        // 5: the headings of the financial statements per account; a year without them takes the
        // default its chart gives.
        {5,
         {"CREATE TABLE RubrosCuentas (EmpresaPropia {entero} NOT NULL, NumEjercicio {entero} NOT NULL, "
          "Cuenta {entero} NOT NULL, Rubro {entero} NOT NULL, NoCorriente {entero} NOT NULL DEFAULT 0, "
          "PRIMARY KEY (EmpresaPropia, NumEjercicio, Cuenta), FOREIGN KEY (EmpresaPropia, NumEjercicio, "
          "Cuenta) REFERENCES Cuentas (EmpresaPropia, NumEjercicio, Cuenta) ON DELETE CASCADE DEFERRABLE "
          "INITIALLY DEFERRED)"},
         {"RubrosCuentas"}},
        // 6: the deletion of entries, the import of index values, the copy and the restore of the books
        // become modules of their own; each profile keeps what it had through the screen that did it.
        {6, PasoModulosDeAccion(), {}},
        // 7: the index of lines by account also holds the adjustment date, so that the restated balance
        // of the year sums each account from the index alone, in its order, as the plain one does.
        {7,
         {"DROP INDEX IF EXISTS idxDetAsientosCuenta",
          "CREATE INDEX idxDetAsientosCuenta ON DetAsientos (EmpresaPropia, NumEjercicio, Cuenta, Asiento, "
          "Importe, FechaAjuste)"},
         {}},
        // 8: the monthly sums of each account, filled from the lines and kept by triggers from then on.
        {8,
         {"CREATE TABLE SumasMensuales (EmpresaPropia {entero} NOT NULL, NumEjercicio {entero} NOT NULL, Mes "
          "{fecha} NOT NULL, Cuenta {entero} NOT NULL, Debe {centavos} NOT NULL DEFAULT 0, Haber {centavos} NOT "
          "NULL DEFAULT 0, Debitos {centavos} NOT NULL DEFAULT 0, Creditos {centavos} NOT NULL DEFAULT 0, "
          "PRIMARY KEY (EmpresaPropia, NumEjercicio, Mes, Cuenta))"},
         {"SumasMensuales"},
         SumasDelMotor,
         true},
        // 9: the triggers of the monthly sums read an entry and its lines through their keys, whatever
        // the planner's figures: made anew, the sums stay as they are.
        {9, {}, {}, SumasDelMotor},
    };
    return pasos;
}

QList<Paso> PasosDesde(int desde) {
    QList<Paso> r;
    for (const Paso& p : Pasos())
        if (p.version > desde) r << p;
    return r;
}

QStringList TablasDeVersion(int version) {
    QStringList tablas = Tablas();
    for (const Paso& p : PasosDesde(version))
        for (const QString& t : p.tablasNuevas)
            tablas.removeAll(t);
    return tablas;
}

} // namespace Esquema
