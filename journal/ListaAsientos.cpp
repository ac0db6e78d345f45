#include "journal/ListaAsientos.h"

#include "core/Basedatos.h"
#include "core/Progreso.h"
#include "core/Valores.h"

QString TextoLineaLista(const QString& descripcion, const QString& codInt) {
    return descripcion + "- " + codInt;
}

bool ArmoListaAsientos(const ConsultaSql& consulta, QList<FilaListaAsientos>& filas, QString* error,
                       Progreso* progreso) {
    QSqlQuery q = Consulto(consulta.sql, consulta.parametros);
    if (!q.isActive()) {
        if (error) *error = TextoError(q.lastError());
        return false;
    }
    QList<FilaListaAsientos> nuevas;
    QStringList debe, haber;
    auto cierro = [&] {
        if (nuevas.isEmpty()) return;
        nuevas.last().cuentasDebe = debe.join(u'\n');
        nuevas.last().cuentasHaber = haber.join(u'\n');
        debe.clear();
        haber.clear();
    };
    Etapa(progreso, "Leyendo los asientos");
    qint64 leidas = 0;
    while (q.next()) {
        if (!Fila(progreso, leidas)) {
            if (error) *error = TextoCancelado;
            return false;
        }
        const int asiento = q.value(3).toInt();
        if (nuevas.isEmpty() || nuevas.last().asiento != asiento) {
            cierro();
            nuevas.append(FilaListaAsientos{});
            nuevas.last().asiento = asiento;
        }
        FilaListaAsientos& f = nuevas.last();
        // Number, date and concept come from the entry's last row.
        f.fecha = FechaDeBase(q.value(0));
        f.concepto = NuloAVacio(q.value(1));
        // An entry without lines comes as one row without a line: it lists with empty columns.
        if (q.value(4).isNull()) continue;
        const Importe importe = Importe::DeBase(q.value(6));
        const QString texto = TextoLineaLista(NuloAVacio(q.value(2)), NuloAVacio(q.value(5)));
        if (importe.signo() >= 0) {
            debe.append(texto);
            f.totalDebe += importe;
            f.tieneDebe = true;
        } else {
            haber.append(texto);
            f.tieneHaber = true;
        }
    }
    cierro();
    filas = std::move(nuevas);
    return true;
}

ConsultaSql ConsultaUnAsiento(int empresa, int ejercicio, int asiento) {
    return {"SELECT Asientos.Fecha, Asientos.Concepto, Cuentas.Descripcion, Asientos.Asiento, "
            "DetAsientos.Detalle, "
            "Cuentas.CodInt, DetAsientos.Importe "
            "FROM Asientos LEFT JOIN DetAsientos ON DetAsientos.EmpresaPropia = Asientos.EmpresaPropia "
            "AND DetAsientos.NumEjercicio = Asientos.NumEjercicio AND DetAsientos.Asiento = Asientos.Asiento "
            "LEFT JOIN Cuentas ON Cuentas.EmpresaPropia = DetAsientos.EmpresaPropia "
            "AND Cuentas.NumEjercicio = DetAsientos.NumEjercicio AND Cuentas.Cuenta = DetAsientos.Cuenta "
            "WHERE Asientos.EmpresaPropia = ? AND Asientos.NumEjercicio = ? AND Asientos.Asiento = ? "
            "ORDER BY DetAsientos.Detalle",
            {empresa, ejercicio, asiento}};
}
