#include "reports/exporto/Exporto.h"
#include "reports/exporto/PaginasReporte.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <xlsxwriter.h>

namespace {

bool Falla(QString* error, const QString& ruta, const QString& razon) {
    if (error)
        *error = QString("No se pudo escribir el archivo %1: %2").arg(QDir::toNativeSeparators(ruta), razon);
    return false;
}

const CeldaReporte& Celda(const FilaReporte& f, int columna) {
    static const CeldaReporte vacia;
    return columna < f.celdas.size() ? f.celdas[columna] : vacia;
}

bool Negrita(FuenteFila f) {
    return f == FuenteFila::Negrita || f == FuenteFila::NegritaCursiva;
}
bool Cursiva(FuenteFila f) {
    return f == FuenteFila::Cursiva || f == FuenteFila::NegritaCursiva;
}

// A CSV field: quoted when it holds the separator, a quote, a line break or blanks at either end
// (which some readers would trim), inner quotes doubled.
void CampoCsv(QByteArray& salida, const QString& texto) {
    const QByteArray b = texto.toUtf8();
    const bool comillas = b.contains(',') || b.contains('"') || b.contains('\n') || b.contains('\r') ||
                          (!b.isEmpty() && (b.front() == ' ' || b.back() == ' ' || b.front() == '\t'));
    if (!comillas) {
        salida += b;
        return;
    }
    salida += '"';
    for (char c : b) {
        if (c == '"') salida += '"';
        salida += c;
    }
    salida += '"';
}

} // namespace

FormatoExporto FormatoDeRuta(const QString& ruta) {
    const QString ext = QFileInfo(ruta).suffix().toLower();
    if (ext == "pdf") return FormatoExporto::Pdf;
    if (ext == "csv") return FormatoExporto::Csv;
    if (ext == "xlsx") return FormatoExporto::Xlsx;
    return FormatoExporto::Ninguno;
}

QChar DecimalSistema() {
    return QLocale().toString(0.0, 'f', 2).contains(QLatin1Char(',')) ? QLatin1Char(',') : QLatin1Char('.');
}
QChar MilesSistema() {
    return DecimalSistema() == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
}

bool ExportoCsv(const TablaReporte& tabla, const QString& ruta, QString* error) {
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly)) return Falla(error, ruta, archivo.errorString());
    // Written in pieces, so that a long ledger never sits twice in memory.
    QByteArray salida;
    bool escrito = true;
    auto vuelco = [&](bool siempre) {
        if (!siempre && salida.size() < (1 << 20)) return;
        escrito = escrito && archivo.write(salida) == salida.size();
        salida.clear();
    };
    const int columnas = int(tabla.columnas.size());
    for (int c = 0; c < columnas; ++c) {
        if (c) salida += ',';
        CampoCsv(salida, tabla.columnas[c]);
    }
    salida += "\r\n";
    for (const FilaReporte& f : tabla.filas) {
        for (int c = 0; c < columnas; ++c) {
            if (c) salida += ',';
            const CeldaReporte& celda = Celda(f, c);
            if (celda.importe)
                salida += celda.importe->TextoPlano().toLatin1();
            else
                CampoCsv(salida, celda.texto);
        }
        salida += "\r\n";
        vuelco(false);
    }
    vuelco(true);
    if (!escrito || !archivo.commit()) return Falla(error, ruta, archivo.errorString());
    return true;
}

bool ExportoXlsx(const TablaReporte& tabla, const QString& ruta, QString* error) {
    const QFileInfo destino(ruta);
    if (tabla.filas.size() + 2 > LXW_ROW_MAX)
        return Falla(error, ruta, QString("la hoja admite hasta %1 filas").arg(LXW_ROW_MAX - 2));
    // Written beside its destination under another name, then put in its place in one step.
    QTemporaryFile temporal(destino.absolutePath() + "/.partidex-XXXXXX.xlsx");
    if (!temporal.open()) return Falla(error, ruta, temporal.errorString());
    temporal.close();
    const QByteArray nombre = QFile::encodeName(temporal.fileName());

    lxw_workbook_options opciones{};
    opciones.constant_memory = LXW_TRUE; // rows go to disk as they are written
    QByteArray carpetaTemporal = QFile::encodeName(QDir::tempPath());
    opciones.tmpdir = carpetaTemporal.data();
    lxw_workbook* libro = workbook_new_opt(nombre.constData(), &opciones);
    if (!libro) return Falla(error, ruta, "no se pudo crear el libro");
    const QByteArray titulo = tabla.titulo.toUtf8();
    lxw_doc_properties propiedades{};
    propiedades.title = const_cast<char*>(titulo.constData());
    workbook_set_properties(libro, &propiedades);
    lxw_worksheet* hoja = workbook_add_worksheet(libro, "Informe");

    // Formats by font (normal, bold, bold italic, italic) for texts and for amounts.
    lxw_format* formatos[4][2];
    for (int f = 0; f < 4; ++f)
        for (int importe = 0; importe < 2; ++importe) {
            lxw_format* x = workbook_add_format(libro);
            if (Negrita(FuenteFila(f))) format_set_bold(x);
            if (Cursiva(FuenteFila(f))) format_set_italic(x);
            if (importe) format_set_num_format(x, "#,##0.00");
            formatos[f][importe] = x;
        }
    lxw_format* formatoTitulo = workbook_add_format(libro);
    format_set_bold(formatoTitulo);
    format_set_italic(formatoTitulo);
    format_set_font_size(formatoTitulo, 12);
    lxw_format* formatoEncabezado = workbook_add_format(libro);
    format_set_bold(formatoEncabezado);
    format_set_bottom(formatoEncabezado, LXW_BORDER_THIN);

    const int columnas = int(tabla.columnas.size());
    QVector<int> anchos(columnas, 8);
    for (int c = 0; c < columnas; ++c) {
        anchos[c] = std::max<int>(anchos[c], int(tabla.columnas[c].size()));
        if (tabla.importes.value(c)) anchos[c] = std::max(anchos[c], 14);
    }
    for (const FilaReporte& f : tabla.filas)
        for (int c = 0; c < columnas && c < f.celdas.size(); ++c)
            if (!f.celdas[c].importe) anchos[c] = std::max<int>(anchos[c], int(f.celdas[c].texto.size()));
    for (int c = 0; c < columnas; ++c)
        worksheet_set_column(hoja, lxw_col_t(c), lxw_col_t(c), std::min(anchos[c], 60) + 1, nullptr);
    worksheet_freeze_panes(hoja, 2, 0);
    worksheet_repeat_rows(hoja, 0, 1);
    if (columnas > 5) worksheet_set_landscape(hoja);

    lxw_error resultado = worksheet_write_string(hoja, 0, 0, titulo.constData(), formatoTitulo);
    for (int c = 0; c < columnas && resultado == LXW_NO_ERROR; ++c)
        resultado = worksheet_write_string(hoja, 1, lxw_col_t(c), tabla.columnas[c].toUtf8().constData(),
                                           formatoEncabezado);
    for (int i = 0; i < tabla.filas.size() && resultado == LXW_NO_ERROR; ++i) {
        const FilaReporte& f = tabla.filas[i];
        const lxw_row_t fila = lxw_row_t(i + 2);
        for (int c = 0; c < columnas && resultado == LXW_NO_ERROR; ++c) {
            const CeldaReporte& celda = Celda(f, c);
            lxw_format* formato = formatos[int(f.fuente)][tabla.importes.value(c) ? 1 : 0];
            if (celda.importe)
                resultado =
                    worksheet_write_number(hoja, fila, lxw_col_t(c), celda.importe->aDouble(), formato);
            else if (!celda.texto.isEmpty())
                resultado = worksheet_write_string(hoja, fila, lxw_col_t(c), celda.texto.toUtf8().constData(),
                                                   formato);
            else if (f.fuente != FuenteFila::Normal)
                resultado = worksheet_write_blank(hoja, fila, lxw_col_t(c), formato);
        }
    }
    const lxw_error cierre = workbook_close(libro); // frees the book in every case
    if (resultado != LXW_NO_ERROR) return Falla(error, ruta, QString::fromUtf8(lxw_strerror(resultado)));
    if (cierre != LXW_NO_ERROR) return Falla(error, ruta, QString::fromUtf8(lxw_strerror(cierre)));
    temporal.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                            QFileDevice::ReadOther);
    if (std::rename(nombre.constData(), QFile::encodeName(destino.absoluteFilePath()).constData()) != 0)
        return Falla(error, ruta, QString::fromLocal8Bit(std::strerror(errno)));
    temporal.setAutoRemove(false); // it is the destination now
    return true;
}

bool ExportoPdf(const TablaReporte& tabla, const QString& ruta, QString* error, QChar decimal, QChar miles) {
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly)) return Falla(error, ruta, archivo.errorString());
    {
        QPdfWriter pdf(&archivo);
        pdf.setTitle(tabla.titulo);
        pdf.setCreator("Partidex");
        pdf.setResolution(300);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                                      QPageLayout::Millimeter));
        const PaginasReporte paginas(tabla, decimal, miles);
        if (Paginado::Dibujo(pdf, paginas, paginas.Encabezado(), paginas.Opciones()).paginas == 0)
            return Falla(error, ruta, "no se pudo preparar el documento");
    }
    if (!archivo.commit()) return Falla(error, ruta, archivo.errorString());
    return true;
}

bool ExportoTabla(const TablaReporte& tabla, const QString& ruta, QString* error) {
    switch (FormatoDeRuta(ruta)) {
    case FormatoExporto::Pdf:
        return ExportoPdf(tabla, ruta, error);
    case FormatoExporto::Csv:
        return ExportoCsv(tabla, ruta, error);
    case FormatoExporto::Xlsx:
        return ExportoXlsx(tabla, ruta, error);
    case FormatoExporto::Ninguno:
        break;
    }
    return Falla(error, ruta, "el nombre debe terminar en .pdf, .csv o .xlsx");
}
