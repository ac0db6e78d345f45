#include "accounts/CompletoCuentas.h"

#include "accounts/ArbolCuentas.h"
#include "core/Basedatos.h"
#include "core/Valores.h"

#include <QHash>
#include <QSet>
#include <algorithm>

QString PliegoTexto(const QString& texto) {
    const QString d = texto.normalized(QString::NormalizationForm_D);
    QString r;
    r.reserve(d.size());
    for (const QChar ch : d)
        if (ch.category() != QChar::Mark_NonSpacing) r += ch;
    return r.toCaseFolded();
}

namespace {
// A half-typed picture leaves dots and blanks behind the last digit typed.
QString CodigoTipeado(const QString& texto) {
    QString t = texto;
    t.remove(QLatin1Char(' '));
    while (t.endsWith(QLatin1Char('.')))
        t.chop(1);
    return t;
}
} // namespace

bool IndiceCuentas::Cargo(const Contexto& ctx, const MaximosNivel& maximos) {
    QList<NodoCuenta> nodos;
    MaximosNivel leidos;
    if (!CargoArbol(ctx, leidos, [&nodos](const NodoCuenta& n) { nodos << n; })) return false;
    const MaximosNivel& m = maximos.size() > 1 ? maximos : leidos;
    QHash<int, QString> codInt;
    QSqlQuery q = Consulto(ctx, "SELECT Cuenta, CodInt FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=?",
                           {ctx.empresa, ctx.ejercicio});
    while (q.next())
        if (!q.isNull(1)) codInt.insert(q.value(0).toInt(), q.value(1).toString());
    q.finish();
    // A parent comes before its children: its code is known when theirs is written.
    QHash<int, QString> codigos;
    QSet<int> padres;
    for (const NodoCuenta& n : nodos) {
        const QString arriba = codigos.value(n.padre);
        const QString propio = n.nivel < m.size()
                                   ? QString::number(n.numHijo).rightJustified(AnchoNivel(m, n.nivel), QChar('0'))
                                   : QString();
        codigos.insert(n.cuenta, arriba.isEmpty() ? propio : arriba + QLatin1Char('.') + propio);
        padres.insert(n.padre);
    }
    QList<CuentaCompletable> cuentas;
    for (const NodoCuenta& n : nodos)
        if (n.cuenta != 0 && !padres.contains(n.cuenta))
            cuentas << CuentaCompletable{n.cuenta, codInt.value(n.cuenta), codigos.value(n.cuenta), n.texto};
    Cargo(cuentas);
    return true;
}

void IndiceCuentas::Cargo(const QList<CuentaCompletable>& cuentas) {
    filas.clear();
    filas.reserve(size_t(cuentas.size()));
    for (const CuentaCompletable& c : cuentas) {
        Fila f;
        f.c = c;
        f.codInt = PliegoTexto(c.codInt);
        f.descripcion = PliegoTexto(c.descripcion);
        f.palabras = f.descripcion.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        filas.push_back(std::move(f));
    }
    listo = true;
}

bool IndiceCuentas::CodigoExacto(const QString& texto) const {
    const QString t = PliegoTexto(texto.trimmed());
    return !t.isEmpty() && std::any_of(filas.begin(), filas.end(), [&t](const Fila& f) { return f.codInt == t; });
}

QList<CuentaCompletable> IndiceCuentas::Busco(const QString& texto, int maximo) const {
    QList<CuentaCompletable> r;
    const QString t = PliegoTexto(texto.trimmed());
    if (t.isEmpty() || maximo <= 0) return r;
    const QString codigo = CodigoTipeado(texto);
    const bool esCodigo = !codigo.isEmpty() && codigo[0].isDigit();
    const QStringList buscadas = t.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    auto todas = [&buscadas](const Fila& f, bool alComienzo) {
        for (const QString& b : buscadas) {
            bool hallada = false;
            if (alComienzo) {
                for (const QString& p : f.palabras)
                    if (p.startsWith(b)) {
                        hallada = true;
                        break;
                    }
            } else {
                // Inside a word only from three letters on: one or two letters are in most names.
                hallada = b.size() >= 3 && f.descripcion.contains(b);
            }
            if (!hallada) return false;
        }
        return true;
    };
    // Rank of every account that matches, in the chart's order within a rank.
    std::vector<std::pair<int, int>> hallados; // rank, row
    for (int i = 0; i < int(filas.size()); ++i) {
        const Fila& f = filas[size_t(i)];
        int rango = -1;
        if (!f.codInt.isEmpty() && f.codInt == t)
            rango = 0;
        else if (!f.codInt.isEmpty() && f.codInt.startsWith(t))
            rango = 1;
        else if (esCodigo && f.c.codJer.startsWith(codigo))
            rango = 2;
        else if (f.descripcion.startsWith(t))
            rango = 3;
        else if (todas(f, true))
            rango = 4;
        else if (todas(f, false))
            rango = 5;
        if (rango >= 0) hallados.emplace_back(rango, i);
    }
    const size_t n = std::min(hallados.size(), size_t(maximo));
    std::partial_sort(hallados.begin(), hallados.begin() + std::ptrdiff_t(n), hallados.end());
    for (size_t k = 0; k < n; ++k)
        r << filas[size_t(hallados[k].second)].c;
    return r;
}
