// Hierarchical codes of the chart as typed into an entry: any text either names no account or names one
// whose ordinals it really matches level by level (wildcards "?" and "*" as the user's, every other
// character for itself), no text breaks the statement, and every account's code read back names it.
#include "accounts/CodigosJerarquicos.h"
#include "accounts/IngresoCuenta.h"
#include "core/Basedatos.h"
#include "fuzz/Comun.h"
#include "tests/support/Entorno.h"

#include <QMap>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

struct Nodo {
    int padre = 0;
    int numHijo = 0;
};
QMap<int, Nodo> plan;
MaximosNivel maximos;
FilasPlan filas;
Entorno* entorno = nullptr;

// Ordinals of three levels, of widths 2, 3 and 1, so that codes mix padded and full segments.
void ArmoPlan() {
    entorno->CreoEmpresaYEjercicio();
    int siguiente = 1;
    auto agrego = [&](int padre, int numHijo) {
        const int cuenta = siguiente++;
        if (!AgregoCuenta(cuenta, padre, numHijo, QString(), QString("K%1").arg(cuenta)))
            Falla("cuenta agregada", __FILE__, __LINE__, UltimoError());
        plan.insert(cuenta, {padre, numHijo});
        return cuenta;
    };
    for (int a : {1, 2, 3, 7, 12}) {
        const int n1 = agrego(0, a);
        for (int b : {1, 5, 10, 105}) {
            const int n2 = agrego(n1, b);
            if (b % 5 == 0)
                for (int c : {1, 2, 9})
                    agrego(n2, c);
        }
    }
    maximos = MaximosDelPlan(1, 1);
    if (!filas.Cargo(1, 1)) Falla("plan leído", __FILE__, __LINE__, UltimoError());
}

QVector<int> Ordinales(int cuenta) {
    QVector<int> cadena;
    for (int c = cuenta; c != 0; c = plan.value(c).padre)
        cadena.prepend(plan.value(c).numHijo);
    return cadena;
}

// The user's wildcards over a whole text: "?" one character, "*" any run; nothing else is special.
bool Coincide(QStringView texto, QStringView patron) {
    if (patron.isEmpty()) return texto.isEmpty();
    if (patron[0] == u'*')
        return Coincide(texto, patron.mid(1)) || (!texto.isEmpty() && Coincide(texto.mid(1), patron));
    if (texto.isEmpty()) return false;
    return (patron[0] == u'?' || patron[0] == texto[0]) && Coincide(texto.mid(1), patron.mid(1));
}

class Fila : public CeldasCuenta {
public:
    QString celdas[5];
    QString texto(int columna) const override { return celdas[columna]; }
    void setTexto(int columna, const QString& t) override { celdas[columna] = t; }
    void Activo(int) override {}
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    PreparoQt(argc, argv);
    entorno = new Entorno();
    ArmoPlan();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    FuzzedDataProvider p(datos, tamano);
    const int elegida = p.ConsumeIntegralInRange<int>(1, int(plan.size()));
    const std::string bytes = p.ConsumeRemainingBytesAsString();
    const QString escrito = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));

    // Whatever was typed: the account found matches every typed level, or none is found.
    const int cuenta = CuentaDeCodJer(escrito, 1, 1);
    QStringList niveles;
    for (const QString& s : (escrito + ". ").split('.').mid(0, (escrito + ". ").count('.'))) {
        if (s.isEmpty() || s[0] == ' ') break;
        niveles << s;
    }
    EXIJO(UltimoError().isEmpty() || niveles.size() > 60, escrito + ": " + UltimoError());
    if (cuenta >= 0) {
        EXIJO(plan.contains(cuenta), QString::number(cuenta));
        const QVector<int> ordinales = Ordinales(cuenta);
        EXIJO(ordinales.size() == niveles.size(), escrito + " -> " + QString::number(cuenta));
        for (int i = 0; i < niveles.size(); ++i) {
            const QString relleno = QString::number(ordinales[i]).rightJustified(niveles[i].size(), u'0');
            // The engine reads a pattern up to its first NUL.
            const QString patron = niveles[i].left(niveles[i].indexOf(QChar(0))) + "*";
            EXIJO(Coincide(relleno, patron), escrito + " -> " + QString::number(cuenta) + ", nivel " +
                                                 QString::number(i + 1) + ": " + relleno);
        }
    }

    // An account's code names that account, typed in full or as the grid keeps it (trailing blanks cut).
    const QString codigo = CodJerCuenta(elegida, 1, 1, maximos);
    EXIJO(CodJerCuenta(elegida, 1, 1, maximos, &filas) == codigo, codigo);
    if (codigo.contains('.')) EXIJO(CuentaDeCodJer(codigo, 1, 1) == elegida, codigo);
    Fila fila;
    fila.celdas[3] = codigo;
    bool abierto = false;
    IngresoCuenta(Contexto::De(1, 1), fila, 3, 0, maximos, [&](const PedidoPlan&) -> std::optional<Eleccion> {
        abierto = true;
        return std::nullopt;
    });
    EXIJO(!abierto && fila.celdas[1] == QString::number(elegida) &&
              fila.celdas[2] == QString("K%1").arg(elegida),
          codigo + " -> " + fila.celdas[1]);
    return 0;
}
