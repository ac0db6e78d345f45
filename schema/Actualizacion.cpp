#include "schema/Actualizacion.h"

#include "schema/Esquema.h"

namespace Esquema {

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
