// Printing of the grid as shown: its visible columns and rows with their fonts, under the grid's
// header text, by the page renderer every report prints with.
#include "core/ui/Grilla.h"
#include "core/ui/GrillaModelo.h"
#include "core/ui/Impresion.h"
#include "core/ui/Principal.h"

#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

void VistaPrevia(QWidget* padre, const QString& trabajo, const Paginado::Origen& origen,
                 const QList<TramoEncabezado>& encabezado, const Paginado::Opciones& opciones) {
    QPrinter& impresora = ImpresoraComun();
    impresora.setDocName(trabajo);
    QPrintPreviewDialog vista(&impresora, padre ? padre->window() : nullptr);
    vista.setWindowTitle(trabajo);
    // A page is read at a size where its figures can be read: most of the screen it is on.
    if (QScreen* pantalla = (padre ? padre->window() : &vista)->screen()) {
        const QRect area = pantalla->availableGeometry();
        const QSize tamano(area.width() * 9 / 10, area.height() * 9 / 10);
        vista.resize(tamano);
        vista.move(area.center() - QPoint(tamano.width() / 2, tamano.height() / 2));
    }
    QObject::connect(&vista, &QPrintPreviewDialog::paintRequested, &vista,
                     [&](QPrinter* destino) { Paginado::Dibujo(*destino, origen, encabezado, opciones); });
    vista.exec();
}

namespace {

ClaseColumna ClaseDe(const TipoCelda& tipo) {
    switch (tipo.clase) {
    case TipoCelda::Numero:
        return ClaseColumna::Importe;
    case TipoCelda::Fecha:
        return ClaseColumna::Fecha;
    case TipoCelda::Mascara:
        return ClaseColumna::Codigo;
    default:
        return ClaseColumna::Texto;
    }
}

// The grid's visible columns, read as the grid shows them.
class PaginasGrilla : public Paginado::Origen {
public:
    PaginasGrilla(const Grilla& g, const GrillaModelo& m) : datos(m) {
        for (int c = 1; c <= g.columnas(); ++c)
            if (g.anchoColumna(c) > 0) visibles << c;
    }
    int columnas() const override { return int(visibles.size()); }
    QString titulo(int c) const override { return datos.encabezado(visibles[c]); }
    ClaseColumna clase(int c) const override { return ClaseDe(datos.tipo(visibles[c])); }
    qsizetype filas() const override { return datos.rowCount(); }
    QString texto(qsizetype f, int c) const override {
        return datos.data(datos.index(int(f), visibles[c]), Qt::DisplayRole).toString();
    }
    std::optional<Importe> importe(qsizetype, int) const override { return std::nullopt; }
    bool negrita(qsizetype f) const override { return datos.negrita(int(f) + 1); }
    bool cursiva(qsizetype f) const override { return datos.cursiva(int(f) + 1); }

private:
    const GrillaModelo& datos;
    QList<int> visibles;
};

} // namespace

Paginado::Opciones Grilla::OpcionesImpresion(bool sombreado) const {
    Paginado::Opciones o;
    const QFont base = font();
    o.familia = base.family();
    o.puntos = base.pointSizeF() > 0 ? base.pointSizeF() : 9;
    o.sombreado = sombreado;
    o.color = datos->colorTexto();
    return o;
}

int Grilla::ImprimoEn(QPrinter* impresora, const QString& encabezado, bool sombreado) {
    ultimasPaginas = 0;
    if (!impresora) return 0;
    const PaginasGrilla origen(*this, *datos);
    ultimasPaginas = Paginado::Dibujo(*impresora, origen, ParsoEncabezado(encabezado), OpcionesImpresion(sombreado)).paginas;
    return ultimasPaginas;
}

void Grilla::Imprimo(const QString& encabezado, const QString& nombreTrabajo, bool sombreado) {
    const PaginasGrilla origen(*this, *datos);
    VistaPrevia(this, nombreTrabajo, origen, ParsoEncabezado(encabezado), OpcionesImpresion(sombreado));
}

bool Grilla::ImprimoPdf(const QString& ruta, const QString& encabezado, const QString& nombreTrabajo,
                        bool sombreado) {
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setOutputFormat(QPrinter::PdfFormat);
    impresora.setOutputFileName(ruta);
    impresora.setDocName(nombreTrabajo);
    impresora.setPageSize(QPageSize(QPageSize::A4));
    const int paginas = ImprimoEn(&impresora, encabezado, sombreado);
    return paginas > 0 && QFile::exists(ruta);
}
