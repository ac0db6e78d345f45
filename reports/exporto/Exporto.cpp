#include "reports/exporto/Exporto.h"
#include "reports/exporto/PaginasReporte.h"

#include "core/Valores.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRegularExpression>
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

// A text a spreadsheet would take for a formula: one that starts with "=", "+", "@", a tab or a
// carriage return, or with "-" when what follows is not a plain number (blanks before it ignored).
bool PareceFormula(const QString& texto) {
    if (texto.startsWith(u'\t') || texto.startsWith(u'\r')) return true;
    qsizetype i = 0;
    while (i < texto.size() && texto[i] == u' ')
        ++i;
    if (i == texto.size()) return false;
    const QChar c = texto[i];
    if (c == u'=' || c == u'+' || c == u'@' || c == u'\t' || c == u'\r') return true;
    if (c != u'-') return false;
    static const QRegularExpression numero(R"(^-\d+([.,]\d+)?$)");
    return !numero.match(QStringView(texto).mid(i)).hasMatch();
}

// Why a file cannot be written there, in the user's words; empty when nothing stands in the way.
QString RazonNoEscribible(const QString& ruta) {
    const QFileInfo archivo(ruta);
    const QString carpeta = QDir::toNativeSeparators(archivo.absolutePath());
    if (!archivo.absoluteDir().exists()) return QString("la carpeta %1 no existe").arg(carpeta);
    if (archivo.isDir()) return QStringLiteral("ese nombre es el de una carpeta");
    if (archivo.exists() && !archivo.isWritable()) return QStringLiteral("el archivo es de sólo lectura");
    if (!QFileInfo(archivo.absolutePath()).isWritable())
        return QString("no tiene permiso para escribir en la carpeta %1").arg(carpeta);
    return QString();
}

// A CSV field: a formula-like text behind an apostrophe, so that it stays text; quoted when it holds
// the separator, a quote, a line break or blanks at either end (which some readers would trim), inner
// quotes doubled.
void CampoCsv(QByteArray& salida, const QString& texto, char separador) {
    QByteArray b = texto.toUtf8();
    if (PareceFormula(texto)) b.prepend('\'');
    const bool comillas = b.contains(separador) || b.contains('"') || b.contains('\n') || b.contains('\r') ||
                          b.contains('\t') || (!b.isEmpty() && (b.front() == ' ' || b.back() == ' '));
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

// The columns a spreadsheet gets: the table's own, the level after the first code column (when the
// table has levels and the format asks for it) and the hidden value where the table puts it.
struct ColumnaExportada {
    enum Tipo { Propia, Nivel, Oculta } tipo = Propia;
    int columna = 0;
    QString titulo;
};

QVector<ColumnaExportada> ColumnasExportadas(const TablaReporte& t, bool conNivel) {
    QVector<ColumnaExportada> v;
    bool nivel = conNivel && !t.niveles.isEmpty();
    for (int c = 0; c < t.columnas.size(); ++c) {
        v.append({ColumnaExportada::Propia, c, t.columnas[c]});
        if (nivel && t.Clase(c) == ClaseColumna::Codigo) {
            v.append({ColumnaExportada::Nivel, c, QStringLiteral("Nivel")});
            nivel = false;
        }
        if (!t.tituloOculto.isEmpty() && c == t.ocultoTras) v.append({ColumnaExportada::Oculta, c, t.tituloOculto});
    }
    return v;
}

// A cell as a spreadsheet gets it: codes without the blanks that indent them.
CeldaReporte CeldaExportada(const TablaReporte& t, const FilaReporte& f, qsizetype fila, const ColumnaExportada& x) {
    switch (x.tipo) {
    case ColumnaExportada::Nivel:
        return t.NivelFila(fila) > 0 ? CeldaReporte(QString::number(t.NivelFila(fila))) : CeldaReporte();
    case ColumnaExportada::Oculta:
        return CeldaReporte(f.oculto);
    case ColumnaExportada::Propia:
        break;
    }
    CeldaReporte c = Celda(f, x.columna);
    if (!c.importe && t.Clase(x.columna) == ClaseColumna::Codigo) c.texto = c.texto.trimmed();
    return c;
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

QChar SeparadorCsvSistema() {
    return DecimalSistema() == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(',');
}

bool ExportoCsv(const TablaReporte& tabla, const QString& ruta, QString* error, QChar separadorCsv) {
    const char separador = separadorCsv == QLatin1Char(';') ? ';' : ',';
    const char decimal = separador == ';' ? ',' : '.';
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly)) return Falla(error, ruta, archivo.errorString());
    // Written in pieces, so that a long ledger never sits twice in memory.
    QByteArray salida("\xEF\xBB\xBF"); // the mark that tells spreadsheets the text is UTF-8
    bool escrito = true;
    auto vuelco = [&](bool siempre) {
        if (!siempre && salida.size() < (1 << 20)) return;
        escrito = escrito && archivo.write(salida) == salida.size();
        salida.clear();
    };
    const QVector<ColumnaExportada> columnas = ColumnasExportadas(tabla, true);
    for (int c = 0; c < columnas.size(); ++c) {
        if (c) salida += separador;
        CampoCsv(salida, columnas[c].titulo, separador);
    }
    salida += "\r\n";
    for (qsizetype i = 0; i < tabla.filas.size(); ++i) {
        const FilaReporte f = tabla.filas[i];
        for (int c = 0; c < columnas.size(); ++c) {
            if (c) salida += separador;
            const CeldaReporte celda = CeldaExportada(tabla, f, i, columnas[c]);
            if (celda.importe)
                salida += celda.importe->TextoPlano().toLatin1().replace('.', decimal);
            else
                CampoCsv(salida, celda.texto, separador);
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

    // Formats by font (normal, bold, bold italic, italic) and by what the cell holds: text, amount
    // (two decimals), date, date and time.
    enum { Texto, Monto, Dia, DiaHora, Clases };
    lxw_format* formatos[4][Clases];
    for (int f = 0; f < 4; ++f)
        for (int clase = 0; clase < Clases; ++clase) {
            lxw_format* x = workbook_add_format(libro);
            if (Negrita(FuenteFila(f))) format_set_bold(x);
            if (Cursiva(FuenteFila(f))) format_set_italic(x);
            if (clase == Monto) format_set_num_format(x, "#,##0.00");
            if (clase == Dia) format_set_num_format(x, "dd/mm/yyyy");
            if (clase == DiaHora) format_set_num_format(x, "dd/mm/yyyy hh:mm:ss");
            formatos[f][clase] = x;
        }
    lxw_format* formatoTitulo = workbook_add_format(libro);
    format_set_bold(formatoTitulo);
    format_set_italic(formatoTitulo);
    format_set_font_size(formatoTitulo, 12);
    lxw_format* formatoEncabezado = workbook_add_format(libro);
    format_set_bold(formatoEncabezado);
    format_set_bottom(formatoEncabezado, LXW_BORDER_THIN);

    const QVector<ColumnaExportada> columnas = ColumnasExportadas(tabla, false);
    const int n = int(columnas.size());
    auto clase = [&](int c) {
        return columnas[c].tipo == ColumnaExportada::Oculta ? ClaseColumna::Numero : tabla.Clase(columnas[c].columna);
    };
    QVector<int> anchos(n, 8);
    for (int c = 0; c < n; ++c) {
        anchos[c] = std::max<int>(anchos[c], int(columnas[c].titulo.size()));
        if (clase(c) == ClaseColumna::Importe) anchos[c] = std::max(anchos[c], 14);
        if (clase(c) == ClaseColumna::Fecha) anchos[c] = std::max(anchos[c], 11);
    }
    for (qsizetype i = 0; i < tabla.filas.size(); ++i) {
        const FilaReporte f = tabla.filas[i];
        for (int c = 0; c < n; ++c) {
            const CeldaReporte x = CeldaExportada(tabla, f, i, columnas[c]);
            if (!x.importe) anchos[c] = std::max<int>(anchos[c], int(x.texto.size()));
        }
    }
    for (int c = 0; c < n; ++c)
        worksheet_set_column(hoja, lxw_col_t(c), lxw_col_t(c), std::min(anchos[c], 60) + 1, nullptr);
    worksheet_freeze_panes(hoja, 2, 0);
    worksheet_repeat_rows(hoja, 0, 1);
    if (n > 5) worksheet_set_landscape(hoja);
    // The levels fold under the total row that follows each group.
    if (!tabla.niveles.isEmpty()) worksheet_outline_settings(hoja, LXW_TRUE, LXW_TRUE, LXW_TRUE, LXW_FALSE);

    lxw_error resultado = worksheet_write_string(hoja, 0, 0, titulo.constData(), formatoTitulo);
    for (int c = 0; c < n && resultado == LXW_NO_ERROR; ++c)
        resultado = worksheet_write_string(hoja, 1, lxw_col_t(c), columnas[c].titulo.toUtf8().constData(),
                                           formatoEncabezado);
    static const QRegularExpression entero(R"(^-?\d{1,15}$)");
    for (qsizetype i = 0; i < tabla.filas.size() && resultado == LXW_NO_ERROR; ++i) {
        const FilaReporte f = tabla.filas[i];
        const lxw_row_t fila = lxw_row_t(i + 2);
        if (const int nivel = tabla.NivelFila(i); nivel > 1) {
            // Level 1 and the grand totals stay at the top; each deeper level one step in (up to
            // the seven steps a sheet has).
            lxw_row_col_options contorno{};
            contorno.level = uint8_t(std::min(nivel - 1, 7));
            resultado = worksheet_set_row_opt(hoja, fila, LXW_DEF_ROW_HEIGHT, nullptr, &contorno);
        }
        lxw_format* const* formato = formatos[int(f.fuente)];
        for (int c = 0; c < n && resultado == LXW_NO_ERROR; ++c) {
            const CeldaReporte celda = CeldaExportada(tabla, f, i, columnas[c]);
            const lxw_col_t col = lxw_col_t(c);
            const QString& texto = celda.texto;
            if (celda.importe) {
                resultado = worksheet_write_number(hoja, fila, col, celda.importe->aDouble(), formato[Monto]);
                continue;
            }
            if (!texto.isEmpty() && clase(c) == ClaseColumna::Fecha) {
                const QDate dia = TextoAFecha(texto.left(texto.indexOf(u' ') < 0 ? texto.size() : texto.indexOf(u' ')));
                const QTime hora = QTime::fromString(texto.mid(texto.indexOf(u' ') + 1), "HH:mm:ss");
                const bool conHora = texto.contains(u' ') && hora.isValid();
                if (dia.isValid()) {
                    lxw_datetime d{dia.year(), dia.month(), dia.day(), conHora ? hora.hour() : 0,
                                   conHora ? hora.minute() : 0, conHora ? double(hora.second()) : 0.0};
                    resultado = worksheet_write_datetime(hoja, fila, col, &d, formato[conHora ? DiaHora : Dia]);
                    continue;
                }
            }
            if (clase(c) == ClaseColumna::Numero && entero.match(texto).hasMatch()) {
                resultado = worksheet_write_number(hoja, fila, col, texto.toDouble(), formato[Texto]);
                continue;
            }
            if (!texto.isEmpty())
                resultado = worksheet_write_string(hoja, fila, col, texto.toUtf8().constData(), formato[Texto]);
            else if (f.fuente != FuenteFila::Normal)
                resultado = worksheet_write_blank(
                    hoja, fila, col, formato[clase(c) == ClaseColumna::Importe ? Monto : Texto]);
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

bool ExportoTabla(const TablaReporte& tabla, const QString& ruta, QString* error, QChar separadorCsv) {
    if (FormatoDeRuta(ruta) != FormatoExporto::Ninguno)
        if (const QString razon = RazonNoEscribible(ruta); !razon.isEmpty()) return Falla(error, ruta, razon);
    switch (FormatoDeRuta(ruta)) {
    case FormatoExporto::Pdf:
        return ExportoPdf(tabla, ruta, error);
    case FormatoExporto::Csv:
        return ExportoCsv(tabla, ruta, error, separadorCsv);
    case FormatoExporto::Xlsx:
        return ExportoXlsx(tabla, ruta, error);
    case FormatoExporto::Ninguno:
        break;
    }
    return Falla(error, ruta, "el nombre debe terminar en .pdf, .csv o .xlsx");
}
