#include "accounts/CodigosJerarquicos.h"

#include "accounts/ArbolCuentas.h"
#include "core/Basedatos.h"
#include "core/Dialecto.h"
#include "core/Valores.h"

#include <QStringList>

namespace {
// A chain longer than this can only come from a parent loop in damaged data.
constexpr int ProfundidadMaxima = 100000;

// The ordinal with at least `ancho` digits, zeros on the left; a wider ordinal is written in full.
QString Segmento(int n, int ancho) {
    const QString digitos = QString::number(qAbs(qint64(n))).rightJustified(ancho, QChar('0'));
    return n < 0 ? "-" + digitos : digitos;
}

// Ordinal chain of an account, from the account up to its top-level ancestor.
QVector<int> CadenaPorConsultas(int cuenta, const Contexto& ctx) {
    QVector<int> cadena;
    int actual = cuenta;
    while (cadena.size() < ProfundidadMaxima) {
        QSqlQuery q =
            Consulto(ctx,
                     "SELECT CuentaPadre, NumHijo FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=? "
                     "AND Cuenta=?",
                     {ctx.empresa, ctx.ejercicio, actual});
        if (!q.next()) break;
        const int padre = q.value(0).toInt();
        cadena.append(q.value(1).toInt());
        q.finish();
        if (padre == 0) break;
        actual = padre;
    }
    return cadena;
}

QVector<int> CadenaEnFilas(int cuenta, const FilasPlan& filas) {
    QVector<int> cadena;
    const FilasPlan::Fila* f = filas.Busco(cuenta);
    while (f && cadena.size() < ProfundidadMaxima) {
        cadena.append(f->numHijo);
        if (f->padre == 0) break;
        f = filas.Busco(f->padre);
    }
    return cadena;
}
} // namespace

int AnchoNivel(const MaximosNivel& maximos, int nivel) {
    if (nivel < 1 || nivel >= maximos.size()) return 0;
    return QString::number(qMax(0, maximos[nivel])).size();
}

bool FilasPlan::Cargo(const Contexto& ctx) {
    filas.clear();
    emp = ctx.empresa;
    ej = ctx.ejercicio;
    conexion = ctx.conexion;
    QSqlQuery q = Consulto(ctx,
                           "SELECT Cuenta, CuentaPadre, NumHijo FROM Cuentas WHERE EmpresaPropia=? AND "
                           "NumEjercicio=? ORDER BY Cuenta",
                           {ctx.empresa, ctx.ejercicio});
    if (!q.isActive()) return false;
    while (q.next())
        filas.insert(q.value(0).toInt(), Fila{q.value(1).toInt(), q.value(2).toInt()});
    q.finish();
    return true;
}

const FilasPlan::Fila* FilasPlan::Busco(int cuenta) const {
    auto it = filas.constFind(cuenta);
    return it == filas.constEnd() ? nullptr : &it.value();
}

QString CodJerCuenta(int cuenta, const Contexto& ctx, const MaximosNivel& maximos, const FilasPlan* filas) {
    if (cuenta == 0) return QString();
    const QVector<int> cadena =
        (filas && filas->De(ctx)) ? CadenaEnFilas(cuenta, *filas) : CadenaPorConsultas(cuenta, ctx);
    QString codigo;
    int nivel = 1;
    for (int i = cadena.size() - 1; i >= 0; --i, ++nivel) {
        if (nivel >= maximos.size()) break; // a level without maximum gives no segment
        if (!codigo.isEmpty()) codigo += '.';
        codigo += Segmento(cadena[i], AnchoNivel(maximos, nivel));
    }
    return codigo;
}

int CuentaDeCodJer(const QString& codigo, int empresa, int ejercicio) {
    if (!codigo.contains('.')) return -1;
    const QString texto = codigo + ". ";
    const int blancoPunto = texto.indexOf(" .");
    if (blancoPunto > 0 && texto[blancoPunto - 1] != ' ' && texto[blancoPunto - 1] != '.') return -1;

    const QStringList segmentos = texto.split('.');
    QStringList tablas, condiciones, orden;
    QVariantList valores;
    int k = 0;
    for (int i = 0; i < segmentos.size() - 1; ++i) { // the last piece follows the final dot: never a level
        const QString& s = segmentos[i];
        if (s.isEmpty() || s[0] == ' ') break;
        if (s.contains(' ')) return -1; // a level typed only in part
        // A level is digits and the wildcards "?" and "*": nothing else matches an ordinal, and the engine
        // would silently drop some characters of a pattern (a leading byte-order mark).
        for (const QChar ch : s)
            if (!((ch >= u'0' && ch <= u'9') || ch == u'?' || ch == u'*')) return -1;
        const QString alias = QString("Cuentas%1").arg(k);
        tablas << "Cuentas AS " + alias;
        // The chart's root (account 0, its own parent) heads no level.
        const QString padre =
            k == 0 ? QStringLiteral("? AND Cuentas0.Cuenta<>0") : QString("Cuentas%1.Cuenta").arg(k - 1);
        condiciones << alias + ".EmpresaPropia=? AND " + alias + ".NumEjercicio=? AND " + alias +
                           ".CuentaPadre=" + padre + " AND " +
                           Dialecto::Rellenado(alias + ".NumHijo", int(s.size())) + " LIKE ?" + EscapeLike;
        valores << empresa << ejercicio;
        if (k == 0) valores << 0;
        valores << ComodinesLike(s) + "%";
        orden << alias + ".NumHijo";
        ++k;
    }
    if (k == 0) return -1;
    // The first match in tree order, so that a short segment prefers the lowest ordinal.
    QSqlQuery q = Consulto(QString("SELECT Cuentas%1.Cuenta FROM %2 WHERE %3 ORDER BY %4")
                                   .arg(k - 1)
                                   .arg(tablas.join(", "), condiciones.join(" AND "), orden.join(", ")) +
                               Dialecto::Limite(1),
                           valores);
    const int cuenta = q.next() ? q.value(0).toInt() : -1;
    q.finish();
    return cuenta;
}

QString MascaraCodJer(const MaximosNivel& maximos, QChar marcador) {
    QStringList grupos;
    for (int nivel = 1; nivel < maximos.size(); ++nivel)
        grupos << QString(AnchoNivel(maximos, nivel), marcador);
    return grupos.join('.');
}

int UltNumHijo(int padre, int empresa, int ejercicio, QString* mensaje) {
    const QString condicion = "EmpresaPropia=? AND NumEjercicio=? AND CuentaPadre=? AND Cuenta<>0";
    const qint64 m1 =
        qint64(NumeroOCero(ValorCampo("Cuentas", "Max(NumHijo)", condicion, {empresa, ejercicio, padre})));
    if (m1 == 0) return 1;
    const qint64 m2 = qint64(NumeroOCero(ValorCampo("Cuentas", "Max(NumHijo)", condicion + " AND NumHijo<>?",
                                                    {empresa, ejercicio, padre, m1})));
    const qint64 sugerido = 2 * m1 - m2;
    if (sugerido > MaxNumHijo) {
        if (mensaje)
            *mensaje =
                QString("La Sub Jerarquía que continúa la numeración (%1) supera el máximo permitido (%2); "
                        "ingrese un número libre.")
                    .arg(sugerido)
                    .arg(MaxNumHijo);
        return -1;
    }
    return int(sugerido);
}

bool EsAncestro(int a, int b, int empresa, int ejercicio) {
    int actual = b;
    for (int paso = 0; paso < ProfundidadMaxima; ++paso) {
        const int padre = int(NumeroOCero(ValorCampo("Cuentas", "CuentaPadre",
                                                     "Cuenta=? AND EmpresaPropia=? AND NumEjercicio=?",
                                                     {actual, empresa, ejercicio})));
        if (padre == 0) return false;
        if (padre == a) return true;
        actual = padre;
    }
    return false;
}

MaximosNivel MaximosDelPlan(const Contexto& ctx) {
    MaximosNivel maximos;
    CargoArbol(ctx, maximos);
    return maximos;
}
