#include "inflation/IndicesAjuste.h"

#include "core/Progreso.h"
#include "core/Basedatos.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "core/Permisos.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

QVector<ValorIndice> CargoValores(int tabla, const QDate& desde, const QDate& hasta, const Contexto& ctx) {
    QString sql = "SELECT Fecha, Ajuste FROM AjustesInflacion WHERE TablaAjusteInflacion=?";
    QVariantList p{tabla};
    if (desde.isValid()) {
        sql += " AND Fecha>=?";
        p << FechaSql(desde);
    }
    if (hasta.isValid()) {
        sql += " AND Fecha<=?";
        p << FechaSql(hasta);
    }
    QSqlQuery q = Consulto(ctx, sql + " ORDER BY Fecha", p);
    QVector<ValorIndice> v;
    while (q.next())
        v.append({FechaDeBase(q.value(0)), NumeroOCero(q.value(1))});
    return v;
}

std::optional<ValorIndice> IndiceAl(const QVector<ValorIndice>& serie, const QDate& fecha) {
    if (!fecha.isValid()) return std::nullopt;
    const auto i = std::lower_bound(serie.begin(), serie.end(), fecha,
                                    [](const ValorIndice& v, const QDate& f) { return v.fecha < f; });
    if (i == serie.end()) return std::nullopt;
    return *i;
}

std::optional<double> LeoValorIndice(const QString& texto) {
    QString t = texto.trimmed();
    t.remove(QLatin1Char(' '));
    if (t.isEmpty()) return std::nullopt;
    static const QRegularExpression forma("^\\d+([.,]\\d+)*$");
    if (!forma.match(t).hasMatch()) return std::nullopt;
    // The last separator is the decimal one; any earlier one groups thousands.
    const int coma = int(t.lastIndexOf(QLatin1Char(','))), punto = int(t.lastIndexOf(QLatin1Char('.')));
    const int decimal = std::max(coma, punto);
    if (decimal >= 0) {
        const QChar otro = t[decimal] == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
        QString entero = t.left(decimal);
        if (entero.contains(otro)) {
            // Thousands groups of three digits after the first.
            const QStringList grupos = entero.split(otro);
            for (int i = 1; i < grupos.size(); ++i)
                if (grupos[i].size() != 3) return std::nullopt;
            entero.remove(otro);
        }
        t = entero + QLatin1Char('.') + t.mid(decimal + 1);
    }
    bool ok = false;
    const double v = t.toDouble(&ok);
    // A value that the grids would show as 0 is none: it could not be saved from them again.
    if (!ok || !(v > 0) || TextoValorIndice(v) == QLatin1String("0")) return std::nullopt;
    return v;
}

QString TextoValorIndice(double valor, QChar decimal) {
    QString t = QString::number(valor, 'f', 6);
    while (t.endsWith(QLatin1Char('0')))
        t.chop(1);
    if (t.endsWith(QLatin1Char('.'))) t.chop(1);
    if (decimal != QLatin1Char('.')) t.replace(QLatin1Char('.'), decimal);
    return t;
}

bool VerificoFilas(const QVector<FilaIndice>& filas, QVector<ValorIndice>* valores, QString* error) {
    valores->clear();
    QHash<QDate, int> vistas;
    for (int i = 0; i < filas.size(); ++i) {
        const int n = i + 1;
        const QDate f = TextoAFecha(filas[i].fecha.trimmed());
        if (!f.isValid() || filas[i].fecha.trimmed().size() != 10) {
            *error = QString("la fecha de la fila %1 no es una fecha válida (dd/mm/aaaa)").arg(n);
            return false;
        }
        const auto v = LeoValorIndice(filas[i].valor);
        if (!v) {
            *error = QString("el valor de la fila %1 no es un número positivo").arg(n);
            return false;
        }
        if (vistas.contains(f)) {
            *error = QString("la fecha %1 figura en las filas %2 y %3; cada fecha lleva un solo valor")
                         .arg(FechaATexto(f))
                         .arg(vistas.value(f))
                         .arg(n);
            return false;
        }
        vistas.insert(f, n);
        valores->append({f, *v});
    }
    return true;
}

namespace {
bool Inserto(int tabla, const ValorIndice& v, QString* error) {
    const Resultado r =
        Ejecuto("INSERT INTO AjustesInflacion (TablaAjusteInflacion, Fecha, Ajuste) VALUES (?, ?, ?)",
                {tabla, FechaSql(v.fecha), v.ajuste});
    if (!r.ok) *error = r.error;
    return r.ok;
}

QDate FinDeMes(const QDate& d) {
    return QDate(d.year(), d.month(), d.daysInMonth());
}
QString Mes(const QDate& d) {
    return d.toString("MM/yyyy");
}
} // namespace

bool GuardoValores(const Contexto& ctx, int tabla, const QDate& desde, const QDate& hasta,
                   const QVector<ValorIndice>& valores, QString* error) {
    if (!Autorizo(ctx, QStringLiteral("frmAjustesInflacion"), Accion::Escribir, error)) return false;
    Transaccion t;
    if (!t.ok()) {
        *error = t.error();
        return false;
    }
    const Resultado r =
        Ejecuto("DELETE FROM AjustesInflacion WHERE TablaAjusteInflacion=? AND Fecha>=? AND Fecha<=?",
                {tabla, FechaSql(desde), FechaSql(hasta)});
    if (!r.ok) {
        *error = r.error;
        return false;
    }
    for (const ValorIndice& v : valores) {
        if ((v.fecha < desde || v.fecha > hasta) &&
            ValorCampo("AjustesInflacion", "Fecha", "TablaAjusteInflacion=? AND Fecha=?",
                       {tabla, FechaSql(v.fecha)})) {
            *error =
                QString("ya hay un valor guardado para el %1, fuera del rango cargado; cada fecha lleva un "
                        "solo valor")
                    .arg(FechaATexto(v.fecha));
            return false;
        }
        if (!Inserto(tabla, v, error)) return false;
    }
    if (!t.Confirmo()) {
        *error = t.error();
        return false;
    }
    return true;
}

namespace {
// Fields of one CSV line: separated by ";" when the line has any, otherwise by ","; double quotes
// enclose a field that holds the separator ("" inside stands for one quote).
QStringList Campos(const QString& linea) {
    const QChar sep = linea.contains(QLatin1Char(';')) ? QLatin1Char(';') : QLatin1Char(',');
    QStringList campos;
    QString actual;
    bool comillas = false;
    for (int i = 0; i < linea.size(); ++i) {
        const QChar c = linea[i];
        if (comillas) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < linea.size() && linea[i + 1] == QLatin1Char('"')) {
                    actual += c;
                    ++i;
                } else {
                    comillas = false;
                }
            } else {
                actual += c;
            }
        } else if (c == QLatin1Char('"')) {
            comillas = true;
        } else if (c == sep) {
            campos << actual.trimmed();
            actual.clear();
        } else {
            actual += c;
        }
    }
    campos << actual.trimmed();
    return campos;
}

// A month "yyyy-mm" gives its last day (*mes set); a date "yyyy-mm-dd" or "dd/mm/yyyy" itself.
QDate FechaCsv(const QString& texto, bool* mes) {
    *mes = false;
    static const QRegularExpression formaMes("^(\\d{4})-(\\d{1,2})$");
    if (const auto m = formaMes.match(texto); m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), 1);
        if (!d.isValid()) return QDate();
        *mes = true;
        return FinDeMes(d);
    }
    if (texto.size() == 10 && texto[4] == QLatin1Char('-')) return QDate::fromString(texto, "yyyy-MM-dd");
    if (texto.size() == 10 && texto[2] == QLatin1Char('/')) return TextoAFecha(texto);
    return QDate();
}
} // namespace

bool LeoCsvIndices(const QString& archivo, QVector<ValorIndice>* valores, QString* error) {
    valores->clear();
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QString("No se puede leer el archivo %1: %2").arg(archivo, f.errorString());
        return false;
    }
    QVector<ValorIndice> leidos;
    QHash<QDate, int> lineaDe;
    bool primera = true;
    int numero = 0;
    while (!f.atEnd()) {
        ++numero;
        QString linea = QString::fromUtf8(f.readLine()).trimmed();
        if (numero == 1 && linea.startsWith(QChar(0xFEFF))) linea.remove(0, 1);
        if (linea.isEmpty()) continue;
        const QStringList c = Campos(linea);
        bool mes = false;
        QDate fecha = FechaCsv(c.first(), &mes);
        // Column titles: a first line whose first field has no digit at all ("mes", "fecha").
        static const QRegularExpression digito("\\d");
        const bool titulos = primera && !c.first().contains(digito);
        primera = false;
        if (titulos) continue;
        auto falla = [&](const QString& por) {
            *error = QString("Línea %1: %2. No se importó ningún valor.").arg(numero).arg(por);
            return false;
        };
        if (!fecha.isValid())
            return falla(QString("«%1» no es un mes (aaaa-mm) ni una fecha").arg(c.first()));
        if (c.size() < 2 || c.size() > 3) return falla("se esperan un mes o una fecha y un valor");
        if (c.size() == 3) {
            // Month and date: the date is the one stored, and it must lie in that month.
            bool otroMes = false;
            const QDate d = FechaCsv(c[1], &otroMes);
            if (!d.isValid() || otroMes) return falla(QString("«%1» no es una fecha").arg(c[1]));
            if (mes && (d.year() != fecha.year() || d.month() != fecha.month()))
                return falla(QString("la fecha %1 no es del mes %2").arg(FechaATexto(d), c.first()));
            fecha = d;
        }
        const auto v = LeoValorIndice(c.last());
        if (!v) return falla(QString("el valor «%1» no es un número positivo").arg(c.last()));
        if (lineaDe.contains(fecha))
            return falla(QString("la fecha %1 ya figura en la línea %2")
                             .arg(FechaATexto(fecha))
                             .arg(lineaDe.value(fecha)));
        lineaDe.insert(fecha, numero);
        leidos.append({fecha, *v});
    }
    if (leidos.isEmpty()) {
        *error = QString("El archivo %1 no tiene valores para importar.").arg(archivo);
        return false;
    }
    std::sort(leidos.begin(), leidos.end(),
              [](const ValorIndice& a, const ValorIndice& b) { return a.fecha < b.fecha; });
    *valores = leidos;
    return true;
}

// Months named in the refusal of an import over stored ones: the count tells the rest.
constexpr int MesesMostrados = 12;

QStringList MesesGuardados(int tabla, const QVector<ValorIndice>& valores) {
    QSet<QString> guardados;
    for (const ValorIndice& v : CargoValores(tabla))
        guardados.insert(Mes(v.fecha));
    // Each month once, in the file's order; a set keeps it linear for a long daily series.
    QSet<QString> vistos;
    QStringList meses;
    for (const ValorIndice& v : valores) {
        const QString mes = Mes(v.fecha);
        if (guardados.contains(mes) && !vistos.contains(mes)) {
            vistos.insert(mes);
            meses << mes;
        }
    }
    return meses;
}

bool GuardoImportados(const Contexto& ctx, int tabla, const QVector<ValorIndice>& valores, QString* error,
                      Progreso* progreso) {
    if (!Autorizo(ctx, Permisos::ImportacionIndices, Accion::Escribir, error)) return false;
    Transaccion t;
    if (!t.ok()) {
        *error = t.error();
        return false;
    }
    QSet<QString> borrados;
    // Leaving early rolls the transaction back: a stopped import stores nothing.
    auto sigo = [&](qint64 hechos) {
        if (Avance(progreso, hechos)) return true;
        *error = TextoCancelado;
        return false;
    };
    Etapa(progreso, "Borrando los valores de los meses importados", valores.size());
    qint64 hechos = 0;
    for (const ValorIndice& v : valores) {
        if (!sigo(hechos++)) return false;
        if (borrados.contains(Mes(v.fecha))) continue;
        borrados.insert(Mes(v.fecha));
        const Resultado r = Ejecuto(
            "DELETE FROM AjustesInflacion WHERE TablaAjusteInflacion=? AND Fecha>=? AND Fecha<=?",
            {tabla, FechaSql(QDate(v.fecha.year(), v.fecha.month(), 1)), FechaSql(FinDeMes(v.fecha))});
        if (!r.ok) {
            *error = r.error;
            return false;
        }
    }
    Etapa(progreso, "Grabando los valores importados", valores.size());
    hechos = 0;
    for (const ValorIndice& v : valores) {
        if (!sigo(hechos++)) return false;
        if (!Inserto(tabla, v, error)) return false;
    }
    if (!sigo(hechos)) return false;
    if (!t.Confirmo()) {
        *error = t.error();
        return false;
    }
    return true;
}

bool ImportoIndices(const Contexto& ctx, int tabla, const QString& archivo, bool reemplazo, int* importados,
                    QString* error, Progreso* progreso) {
    QString mensaje;
    if (importados) *importados = 0;
    auto falla = [&](const QString& texto) {
        if (error) *error = texto;
        return false;
    };
    if (!ValorCampo("TablasAjusteInflacion", "TablaAjusteInflacion", "TablaAjusteInflacion=?", {tabla}))
        return falla(QString("No existe la tabla de ajuste %1.").arg(tabla));
    QVector<ValorIndice> valores;
    if (!LeoCsvIndices(archivo, &valores, &mensaje)) return falla(mensaje);
    const QStringList meses = MesesGuardados(tabla, valores);
    if (!meses.isEmpty() && !reemplazo)
        return falla(QString("La tabla ya tiene valores para %1 meses (%2); no se importó nada. Pida el "
                             "reemplazo para sustituirlos.")
                         .arg(meses.size())
                         .arg(meses.mid(0, MesesMostrados).join(", ") +
                              (meses.size() > MesesMostrados ? QString::fromUtf8("…") : QString())));
    if (!GuardoImportados(ctx, tabla, valores, &mensaje, progreso))
        return falla("No se pudieron grabar los valores importados, " + mensaje);
    if (importados) *importados = int(valores.size());
    return true;
}

QString DescripcionTabla(int tabla) {
    return NuloAVacio(
        ValorCampo("TablasAjusteInflacion", "descTablaAjusteInflacion", "TablaAjusteInflacion=?", {tabla}));
}
