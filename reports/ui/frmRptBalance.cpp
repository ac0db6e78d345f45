#include "reports/ui/frmRptBalance.h"

#include "core/Sesiones.h"
#include "core/ui/Controles.h"
#include "core/ui/Grilla.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>

frmRptBalance::frmRptBalance(QWidget* padre)
    : PantallaReporte({"frmRptBalance", "Balance Sumas y Saldos", "Balance", "Balance",
                       "Balance Sumas y Saldos entre ", "Actualizar en base a fechas seleccionadas"},
                      padre) {
    cmbSaldos0 = new QComboBox(this);
    cmbSaldos0->setObjectName("cmbSaldos0");
    cmbSaldos0->addItems({"Todos", "Excluir Saldos 0", "Excluir Movim 0"});
    cmbSaldos0->setAccessibleName("Saldos");
    FiltrosPropios()->addWidget(Marco(this, "fraSaldos0", "Saldos", cmbSaldos0));
    Inicio();
}

MaximosReporte& frmRptBalance::Maximos() {
    static MaximosReporte m(PantallaBalance);
    return m;
}

void frmRptBalance::PreparoGrilla() {
    PreparoGrillaBalance(sprRpt);
}

void frmRptBalance::ColocoFiltrosPropios() {
    cmbSaldos0->setCurrentIndex(0);
}

bool frmRptBalance::Armo(const QDate& desde, const QDate& hasta, QString* error) {
    Maximos().Verifico();
    QVector<FilaBalance> nuevas;
    if (!ArmoBalance(Maximos(), desde, hasta, FiltroSaldos(cmbSaldos0->currentIndex()), &nuevas, error))
        return false;
    filas = std::move(nuevas);
    return true;
}

void frmRptBalance::Vuelco() {
    VuelcoBalance(sprRpt, filas);
}

namespace {
// A sum column of the row: nothing when the row carries no sums (headings).
std::optional<Importe> Suma(const Grilla& g, int fila, int columna) {
    const QString t = g.texto(fila, columna);
    if (t.isEmpty()) return std::nullopt;
    return Importe::Leo(t, nullptr, g.separadorDecimal());
}
QString TextoSaldo(const Grilla& g, int fila, bool debe) {
    const auto d = Suma(g, fila, 5);
    const auto h = Suma(g, fila, 6);
    if (!d || !h) return QString();
    const auto s = debe ? SaldoDebe(*d, *h) : SaldoHaber(*d, *h);
    return s ? s->TextoPlano() : QString();
}
} // namespace

void PreparoGrillaBalance(Grilla* g, bool miles) {
    const QStringList titulos = {"Cód. Jerárquico", "Desc. Sumar.", "Descripción Imputable",
                                 "Cod Int.",        "Sumas Debe",   "Sumas Haber",
                                 "Saldo Debe",      "Saldo Haber"};
    const QList<int> anchos = {110, 220, 220, 70, 110, 110, 110, 110};
    g->setColumnas(titulos.size());
    for (int c = 1; c <= titulos.size(); ++c) {
        g->setEncabezado(c, titulos[c - 1]);
        g->setAnchoColumna(c, anchos[c - 1]);
    }
    TipoCelda numero;
    numero.clase = TipoCelda::Numero;
    numero.decimales = 2;
    numero.miles = miles;
    numero.minimo = -99999999.99;
    numero.maximo = 99999999.99;
    for (int c = 5; c <= 8; ++c)
        g->setTipoColumna(c, numero);
    g->setFormula(7, [](const Grilla& g, int f) { return TextoSaldo(g, f, true); });
    g->setFormula(8, [](const Grilla& g, int f) { return TextoSaldo(g, f, false); });
}

void VuelcoBalance(Grilla* g, const QVector<FilaBalance>& filas) {
    g->setFilas(int(filas.size()));
    for (int i = 0; i < filas.size(); ++i) {
        const FilaBalance& f = filas[i];
        QStringList textos = {f.codigo, f.sumar, f.imputable, f.codInt};
        if (f.conSumas) textos << f.debe.TextoPlano() << f.haber.TextoPlano();
        g->setFila(i + 1, textos);
        if (f.fuente != FuenteFila::Normal)
            g->setFuenteFila(i + 1, f.fuente != FuenteFila::Cursiva, f.fuente != FuenteFila::Negrita);
    }
}
