#include "reports/Informes.h"

#include "core/Valores.h"
#include "reports/Balance.h"
#include "reports/DiarioGeneral.h"
#include "reports/HistorialCambios.h"
#include "reports/Mayores.h"
#include "reports/ReAjustado.h"

namespace {

ArmadoInforme Resultado(bool armado) {
    return armado ? ArmadoInforme::Bien : ArmadoInforme::Falla;
}

DescriptorInforme Balance() {
    DescriptorInforme d;
    d.clave = "balance";
    d.titulo = "Balance Sumas y Saldos";
    d.ayuda = "Balance Sumas y Saldos";
    d.opciones = {{"--saldos", "FILTRO", "balance: todos, sin-saldos-0 o sin-movimientos-0 (por omisión, todos)"}};
    d.forma = "frmRptBalance";
    d.menu = "M_Listados";
    d.orden = 30;
    d.comando = "M_Balance";
    d.caption = "&Balance Sumas y Saldos";
    d.seccion = d.trabajo = "Balance";
    d.encabezado = "Balance Sumas y Saldos entre ";
    d.ayudaActualizar = "Actualizar en base a fechas seleccionadas";
    d.armo = [](const PedidoInforme& p, TablaReporte* tabla, QString* error) {
        static const QMap<QString, FiltroSaldos> filtros = {{"todos", FiltroSaldos::Todos},
                                                             {"sin-saldos-0", FiltroSaldos::ExcluirSaldos0},
                                                             {"sin-movimientos-0", FiltroSaldos::ExcluirMovim0}};
        const QString filtro = p.opciones.value("--saldos", "todos");
        if (!filtros.contains(filtro)) {
            *error = "Filtro de saldos desconocido: " + filtro + " (todos, sin-saldos-0 o sin-movimientos-0).";
            return ArmadoInforme::ArgumentoMalo;
        }
        return Resultado(TablaBalance(p.ctx, p.desde, p.hasta, filtros.value(filtro), tabla, error));
    };
    return d;
}

DescriptorInforme Mayores() {
    DescriptorInforme d;
    d.clave = "mayores";
    d.titulo = "Mayores";
    d.ayuda = "Mayores de las cuentas indicadas con --cuentas";
    d.opciones = {{"--cuentas", "C1,C2,...", "mayores: códigos abreviados de las cuentas"}};
    d.forma = "frmRptMayores";
    d.menu = "M_Listados";
    d.orden = 20;
    d.comando = "M_Mayores";
    d.caption = "&Mayores";
    d.seccion = d.trabajo = "Mayores";
    d.encabezado = "Mayores entre ";
    d.ayudaActualizar = "Actualizar Mayores en base a cuentas seleccionadas";
    d.textoDefecto = "Selecciono los filtros por defecto";
    d.armo = [](const PedidoInforme& p, TablaReporte* tabla, QString* error) {
        const QStringList cuentas = p.opciones.value("--cuentas").split(',', Qt::SkipEmptyParts);
        if (cuentas.isEmpty()) {
            *error = "Indique las cuentas del mayor con --cuentas.";
            return ArmadoInforme::ArgumentoMalo;
        }
        bool desconocida = false;
        if (TablaMayores(p.ctx, p.desde, p.hasta, cuentas, tabla, error, &desconocida)) return ArmadoInforme::Bien;
        return desconocida ? ArmadoInforme::ArgumentoMalo : ArmadoInforme::Falla;
    };
    return d;
}

DescriptorInforme Diario() {
    DescriptorInforme d;
    d.clave = "diario";
    d.titulo = "Diario General";
    d.ayuda = "Diario General, con los asientos numerados desde --desde-asiento";
    d.opciones = {{"--desde-asiento", "NÚMERO",
                   "diario: número con el que se enumera el primer asiento del período; los\n"
                   "siguientes siguen de uno en uno (por omisión, 1)"}};
    d.forma = "frmRptDiarioGeneral";
    d.menu = "M_Listados";
    d.orden = 10;
    d.comando = "M_DiarioGeneral";
    d.caption = "&Diario General";
    d.seccion = d.trabajo = "Diario";
    d.encabezado = "Diario General entre ";
    d.ayudaActualizar = "Actualizar en base a fechas y asiento inicial seleccionados";
    d.armo = [](const PedidoInforme& p, TablaReporte* tabla, QString* error) {
        bool ok = false;
        const int desdeAsiento = p.opciones.value("--desde-asiento", "1").toInt(&ok);
        if (!ok || desdeAsiento < 1) {
            *error = "El primer asiento debe ser un número entero mayor que 0.";
            return ArmadoInforme::ArgumentoMalo;
        }
        return Resultado(TablaDiarioGeneral(p.ctx, p.desde, p.hasta, desdeAsiento, tabla, error));
    };
    return d;
}

DescriptorInforme ReAjustado() {
    DescriptorInforme d;
    d.clave = "reajustado";
    d.titulo = "Balance Sumas y Saldos ReAjustado";
    d.ayuda = "Balance Sumas y Saldos ReAjustado por la tabla de índices (--tabla, --ajustado-al)";
    d.opciones = {{"--tabla", "NÚMERO", "reajustado e indices: tabla de índices (por omisión, la del ejercicio)"},
                  {"--ajustado-al", "dd/mm/aaaa", "reajustado: fecha de reajuste (por omisión, el último índice)"}};
    d.forma = "frmRptBalanceReAjustado";
    d.menu = "M_Listados";
    d.orden = 40;
    d.comando = "M_BalanceReAjustado";
    d.caption = "Balance Sumas y Saldos &ReAjustado";
    d.seccion = d.trabajo = "Balance";
    d.encabezado = "Balance Sumas y Saldos entre ";
    d.ayudaActualizar = "Actualizar en base a fechas seleccionadas";
    d.armo = [](const PedidoInforme& p, TablaReporte* tabla, QString* error) {
        int numero = TablaEjercicio(p.ctx);
        if (p.opciones.contains("--tabla")) {
            bool ok = false;
            numero = p.opciones.value("--tabla").toInt(&ok);
            if (!ok) {
                *error = "La tabla de índices debe ser un número: " + p.opciones.value("--tabla");
                return ArmadoInforme::ArgumentoMalo;
            }
        } else if (numero < 0) {
            *error = "El ejercicio no indica tabla de ajuste; indíquela con --tabla.";
            return ArmadoInforme::ArgumentoMalo;
        }
        if (!ExisteTablaAjuste(p.ctx, numero)) {
            *error = QString("No existe la tabla de índices %1.").arg(numero);
            return ArmadoInforme::ArgumentoMalo;
        }
        QDate ajustadoAl = UltimoIndiceHasta(p.ctx, numero, p.hasta);
        if (p.opciones.contains("--ajustado-al")) {
            ajustadoAl = TextoAFecha(p.opciones.value("--ajustado-al"));
            if (!ajustadoAl.isValid()) {
                *error = "La fecha de reajuste no es válida: " + p.opciones.value("--ajustado-al");
                return ArmadoInforme::ArgumentoMalo;
            }
        }
        return Resultado(TablaBalanceReAjustado(p.ctx, p.desde, p.hasta, numero, ajustadoAl, tabla, error));
    };
    return d;
}

DescriptorInforme Historial() {
    DescriptorInforme d;
    d.clave = "historial";
    d.titulo = "Historial de cambios";
    d.ayuda = "Cambios de los asientos de la empresa hechos entre --desde y --hasta (por omisión,\n"
              "desde el primero hasta hoy): quién, cuándo, qué asiento, y el Debe antes y después";
    d.delEjercicio = false;
    d.armo = [](const PedidoInforme& p, TablaReporte* tabla, QString* error) {
        return Resultado(TablaHistorial(p.ctx.empresa, p.desde, p.hasta, tabla, error));
    };
    return d;
}

} // namespace

const QVector<DescriptorInforme>& Informes() {
    static const QVector<DescriptorInforme> informes = {Balance(), Mayores(), Diario(), ReAjustado(), Historial()};
    return informes;
}

const DescriptorInforme* Informe(const QString& clave) {
    for (const DescriptorInforme& d : Informes())
        if (d.clave == clave) return &d;
    return nullptr;
}

const DescriptorInforme* InformeDeForma(const QString& forma) {
    for (const DescriptorInforme& d : Informes())
        if (!d.forma.isEmpty() && d.forma == forma) return &d;
    return nullptr;
}
