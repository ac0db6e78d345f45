#include "journal/ListaAsientos.h"

#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/Lector.h"
#include "core/Progreso.h"
#include "core/Valores.h"

QString TextoLineaLista(const QString& descripcion, const QString& codInt) {
    return descripcion + "- " + codInt;
}

bool ArmoListaAsientos(const ConsultaSql& consulta, QList<FilaListaAsientos>& filas, QString* error,
                       Progreso* progreso) {
    // On the shared connection, so that the list holds what this program has just written; each value
    // as the engine holds it.
    const std::unique_ptr<Lector> q = LeoAdelante(Contexto(), consulta.sql, consulta.parametros);
    if (!q->Error().isEmpty()) {
        if (error) *error = q->Error();
        return false;
    }
    QList<FilaListaAsientos> nuevas;
    QString debe, haber;
    auto cierro = [&] {
        if (nuevas.isEmpty()) return;
        // Each kept at its length; the texts that grew line by line are used again for the next entry.
        nuevas.last().cuentasDebe = QString(debe.constData(), debe.size());
        nuevas.last().cuentasHaber = QString(haber.constData(), haber.size());
        debe.resize(0);
        haber.resize(0);
    };
    auto agrego = [&](QString& columna) {
        if (!columna.isEmpty()) columna += u'\n';
        columna += TextoLineaLista(QString::fromUtf8(q->Texto(2)), QString::fromUtf8(q->Texto(5)));
    };
    Etapa(progreso, "Leyendo los asientos");
    qint64 leidas = 0;
    while (q->Siguiente()) {
        if (!Fila(progreso, leidas)) {
            if (error) *error = TextoCancelado;
            return false;
        }
        const int asiento = int(q->Entero(3));
        if (nuevas.isEmpty() || nuevas.last().asiento != asiento) {
            cierro();
            nuevas.append(FilaListaAsientos{});
            FilaListaAsientos& f = nuevas.last();
            f.asiento = asiento;
            // Number, date and concept are the entry's, the same on each of its rows.
            f.fecha = FechaDeBase(q->Valor(0));
            f.concepto = QString::fromUtf8(q->Texto(1));
        }
        FilaListaAsientos& f = nuevas.last();
        // An entry without lines comes as one row without a line: it lists with empty columns.
        if (q->Nulo(4)) continue;
        const Importe importe = Importe::DeBase(q->Valor(6));
        if (importe.signo() >= 0) {
            agrego(debe);
            f.totalDebe += importe;
            f.tieneDebe = true;
        } else {
            agrego(haber);
            f.tieneHaber = true;
        }
    }
    if (!q->Error().isEmpty()) {
        if (error) *error = q->Error();
        return false;
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
