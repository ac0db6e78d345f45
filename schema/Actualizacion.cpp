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
