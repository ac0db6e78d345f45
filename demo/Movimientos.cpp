#include "demo/Movimientos.h"

#include "core/Valores.h"
#include "journal/Asiento.h"

#include <cmath>

namespace Demostracion {

namespace {
const char* const Clientes[] = {"Distribuidora del Litoral S.R.L.",
                                "Almacén Don Tito",
                                "Supermercados Ñandú S.A.",
                                "Ferretería El Tornillo",
                                "Comercial Patagonia S.A.",
                                "Kiosco La Esquina",
                                "Mayorista Cuyo S.R.L.",
                                "Autoservicio Los Álamos"};
const char* const Proveedores[] = {"Molinos del Sur S.A.", "Alimentos La Pampa S.A.",
                                   "Envases Rosario S.R.L.", "Lácteos Tandil S.A."};
const char* const Meses[] = {"enero", "febrero", "marzo",     "abril",   "mayo",      "junio",
                             "julio", "agosto",  "setiembre", "octubre", "noviembre", "diciembre"};

Importe Porcentaje(Importe base, int porMil) {
    // Rounded to the cent, half away from zero.
    const std::int64_t c = base.centavos() * porMil;
    return Importe::DeCentavos((c >= 0 ? c + 500 : c - 500) / 1000);
}
} // namespace

Movimientos::Movimientos(const QVector<CuentaModelo>& plan, const QVector<ValorIndice>& serie)
    : indices(serie) {
    for (const CuentaModelo& m : plan) {
        cuentas.insert(m.codigo, m.cuenta);
        descripciones.insert(m.codigo, m.descripcion);
    }
}

int Movimientos::Cuenta(const QString& codigo) const {
    return cuentas.value(codigo);
}

Importe Movimientos::Precio(const QDate& fecha, std::int64_t pesos, int variacion) {
    // Base prices are those of January of the first year; later dates scale with the index.
    double escala = 1.0;
    const auto base = IndiceAl(indices, QDate(2023, 1, 1));
    const auto hoy = IndiceAl(indices, fecha);
    if (base && hoy && base->ajuste > 0) escala = hoy->ajuste / base->ajuste;
    std::uniform_int_distribution<int> d(-variacion, variacion);
    const double pesosVariados = double(pesos) * (1000 + d(azar)) / 1000.0 * escala;
    return Importe::DeCentavos(std::llround(pesosVariados) * 100);
}

bool Movimientos::Asiento(const QDate& fecha, const QString& concepto, const QList<Linea>& lineas) {
    AsientoEditado e;
    e.fecha = FechaATexto(fecha);
    e.concepto = concepto;
    for (const Linea& l : lineas) {
        if (l.second.esCero()) continue;
        LineaEditada le;
        le.cuenta = QString::number(Cuenta(l.first));
        le.codInt = l.first;
        le.descripcion = descripciones.value(l.first);
        (l.second.signo() > 0 ? le.debe : le.haber) = l.second.abs().TextoNumeral(u'.');
        // As the editor proposes it: the line is restated from the day of its entry.
        le.fechaAjuste = e.fecha;
        e.lineas.append(le);
        saldos[l.first] = saldos.value(l.first) + l.second;
    }
    const ResultadoAsiento r = GuardoAsiento(contexto, e);
    if (!r.ok) {
        *falla = "asiento del " + e.fecha + " (" + concepto + "): " + r.mensaje;
        return false;
    }
    ++*contados;
    return true;
}

bool Movimientos::GeneroAnio(const Contexto& ctx, int anio, bool primero, int* asientos, QString* error) {
    contexto = ctx;
    contados = asientos;
    falla = error;
    if (primero) {
        const QDate d(anio, 1, 2);
        const QList<Linea> aporte = {
            {"1.1.1.1", Importe::DeUnidades(850000)},   {"1.1.1.3", Importe::DeUnidades(14500000)},
            {"1.1.5.1", Importe::DeUnidades(9200000)},  {"1.2.3.4", Importe::DeUnidades(12800000)},
            {"1.2.3.6", Importe::DeUnidades(2650000)},  {"1.2.3.10", Importe::DeUnidades(1900000)},
            {"2.1.1.1", -Importe::DeUnidades(5900000)}, {"3.1.1", -Importe::DeUnidades(36000000)}};
        if (!Asiento(d, "Aporte inicial de los socios según estatuto", aporte)) return false;
    }
    for (int mes = 1; mes <= 12; ++mes) {
        const QDate inicio(anio, mes, 1);
        const QDate fin(anio, mes, inicio.daysInMonth());
        const QString nombreMes = QString::fromUtf8(Meses[mes - 1]) + " " + QString::number(anio);

        // Last month's salaries, social charges and taxes are paid in the first days.
        const Importe sueldos = saldos.value("2.1.3.1"), aportes = saldos.value("2.1.3.3"),
                      cargas = saldos.value("2.1.3.2");
        if (!sueldos.esCero() && !Asiento(QDate(anio, mes, 4), "Pago de sueldos del mes anterior",
                                          {{"2.1.3.1", -sueldos}, {"1.1.1.3", sueldos}}))
            return false;
        const Importe iva = saldos.value("2.1.4.2"), iibb = saldos.value("2.1.4.3");
        if (!(aportes + cargas + iva + iibb).esCero() &&
            !Asiento(QDate(anio, mes, 13), "Pago de aportes, contribuciones, IVA e Ingresos Brutos",
                     {{"2.1.3.3", -aportes},
                      {"2.1.3.2", -cargas},
                      {"2.1.4.2", -iva},
                      {"2.1.4.3", -iibb},
                      {"1.1.1.3", aportes + cargas + iva + iibb}}))
            return false;

        // Sales on account, and what the goods sold had cost.
        Importe ventasMes;
        for (int dia : {6, 16, 26}) {
            const QDate d(anio, mes, qMin(dia, inicio.daysInMonth()));
            const Importe neto = Precio(d, 2600000, 250);
            const Importe impuesto = Porcentaje(neto, 210);
            ventasMes = ventasMes + neto;
            const QString cliente = QString::fromUtf8(Clientes[azar() % std::size(Clientes)]);
            if (!Asiento(d, QString("Factura A 0002-%1 a %2").arg(++factura, 8, 10, QChar('0')).arg(cliente),
                         {{"1.1.3.1", neto + impuesto}, {"4.1.1", -neto}, {"2.1.4.1", -impuesto}}))
                return false;
        }
        const Importe costo = Porcentaje(ventasMes, 600);
        if (!Asiento(fin, "Costo de las mercaderías vendidas en " + nombreMes,
                     {{"5.1.1", costo}, {"1.1.5.1", -costo}}))
            return false;

        // Goods bought to replace what was sold.
        const QDate dCompra(anio, mes, 9);
        const Importe netoCompra = Porcentaje(costo, 950 + int(azar() % 120));
        const Importe ivaCompra = Porcentaje(netoCompra, 210);
        const QString proveedor = QString::fromUtf8(Proveedores[azar() % std::size(Proveedores)]);
        if (!Asiento(
                dCompra,
                QString("Compra de mercaderías, factura A 0001-%1 de %2")
                    .arg(++compra, 8, 10, QChar('0'))
                    .arg(proveedor),
                {{"1.1.5.1", netoCompra}, {"1.1.4.1", ivaCompra}, {"2.1.1.1", -(netoCompra + ivaCompra)}}))
            return false;

        // Collections and payments through the bank.
        const Importe cobro = Porcentaje(saldos.value("1.1.3.1"), 780);
        if (!Asiento(QDate(anio, mes, 20), "Cobranza de clientes, depósitos en Banco Nación",
                     {{"1.1.1.3", cobro}, {"1.1.3.1", -cobro}}))
            return false;
        const Importe pago = Porcentaje(-saldos.value("2.1.1.1"), 700);
        if (!Asiento(QDate(anio, mes, 22), "Pago a proveedores por transferencia",
                     {{"2.1.1.1", pago}, {"1.1.1.3", -pago}}))
            return false;

        // Rent, services and bank charges of the month.
        const Importe alquiler = Precio(fin, 320000, 0), luz = Precio(fin, 48000, 150),
                      telefono = Precio(fin, 26000, 100), bancarios = Precio(fin, 9500, 200);
        const Importe ivaGastos = Porcentaje(luz + telefono, 210);
        const Importe debitos = Porcentaje(pago + alquiler, 6);
        if (!Asiento(QDate(anio, mes, 10), "Alquiler, servicios y gastos bancarios de " + nombreMes,
                     {{"5.3.4", alquiler},
                      {"5.3.5", luz},
                      {"5.3.6", telefono},
                      {"1.1.4.1", ivaGastos},
                      {"5.4.2", bancarios},
                      {"5.4.3", debitos},
                      {"1.1.1.3", -(alquiler + luz + telefono + ivaGastos + bancarios + debitos)}}))
            return false;

        // Salaries of the month, paid in the first days of the next.
        const Importe brutoAdm = Precio(fin, 520000, 0), brutoCom = Precio(fin, 640000, 60);
        const Importe retenido = Porcentaje(brutoAdm + brutoCom, 170);
        const Importe contribAdm = Porcentaje(brutoAdm, 240), contribCom = Porcentaje(brutoCom, 240);
        if (!Asiento(fin, "Liquidación de sueldos de " + nombreMes,
                     {{"5.3.1", brutoAdm},
                      {"5.2.1", brutoCom},
                      {"5.3.2", contribAdm},
                      {"5.2.2", contribCom},
                      {"2.1.3.1", -(brutoAdm + brutoCom - retenido)},
                      {"2.1.3.3", -retenido},
                      {"2.1.3.2", -(contribAdm + contribCom)}}))
            return false;

        // The month's tax returns.
        const Importe debito = -saldos.value("2.1.4.1"), credito = saldos.value("1.1.4.1");
        if (debito > credito &&
            !Asiento(fin, "Declaración jurada de IVA de " + nombreMes,
                     {{"2.1.4.1", debito}, {"1.1.4.1", -credito}, {"2.1.4.2", -(debito - credito)}}))
            return false;
        const Importe brutos = Porcentaje(ventasMes, 35);
        if (!Asiento(fin, "Ingresos Brutos de " + nombreMes, {{"5.2.6", brutos}, {"2.1.4.3", -brutos}}))
            return false;
    }
    // Year-end depreciation of the fixed assets, on their original values.
    const QDate cierre(anio, 12, 31);
    const Importe rodados = Importe::DeUnidades(12800000 / 5), muebles = Importe::DeUnidades(2650000 / 10),
                  equipos = Importe::DeUnidades(1900000 / 3);
    return Asiento(cierre, "Amortizaciones del ejercicio " + QString::number(anio),
                   {{"5.3.10", rodados + muebles + equipos},
                    {"1.2.3.5", -rodados},
                    {"1.2.3.7", -muebles},
                    {"1.2.3.11", -equipos}});
}

} // namespace Demostracion
