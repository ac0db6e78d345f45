#include "demo/Demostracion.h"

#include "core/Contexto.h"
#include "core/Basedatos.h"
#include "core/Configuracion.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "demo/Movimientos.h"
#include "fiscal/Cierre.h"
#include "fiscal/Ejercicios.h"
#include "fiscal/Empresas.h"
#include "inflation/IndicesAjuste.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTextStream>
#include <cstdio>

static void IniciaDatosDemostracion() {
    Q_INIT_RESOURCE(partidex_demo_datos);
}

namespace Demostracion {

namespace {
constexpr int AnioInicial = 2023;

// -1 for yes, 0 for no: the database's yes/no.
int SiNo(bool v) {
    return v ? -1 : 0;
}

Creacion Falla(const QString& texto) {
    Creacion r;
    r.mensaje = "No se pudo crear el libro de demostración, " + texto;
    return r;
}

int Proximo(const QString& tabla, const QString& campo) {
    return int(NumeroOCero(ValorCampo(tabla, "Max(" + campo + ")", "1=1"))) + 1;
}
} // namespace

QVector<CuentaModelo> PlanModelo(QString* error) {
    IniciaDatosDemostracion();
    QFile f(":/demo/plan_modelo.csv");
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = "no se pudo leer el plan de cuentas modelo";
        return {};
    }
    QVector<CuentaModelo> plan;
    QHash<QString, int> porCodigo;
    QTextStream in(&f);
    int linea = 0;
    while (!in.atEnd()) {
        const QString texto = in.readLine().trimmed();
        ++linea;
        if (texto.isEmpty() || texto.startsWith('#')) continue;
        const QStringList c = texto.split(';');
        const auto malo = [&](const QString& porque) {
            *error = QString("línea %1 del plan de cuentas modelo: %2").arg(linea).arg(porque);
            return QVector<CuentaModelo>();
        };
        if (c.size() != 5) return malo("se esperan cinco campos separados por ;");
        CuentaModelo m;
        m.codigo = c[0].trimmed();
        m.descripcion = c[1].trimmed();
        if (m.descripcion.isEmpty()) return malo("falta la descripción");
        const auto marca = [](const QString& v, const char* si, const char* no, bool* valor) {
            if (v == si)
                *valor = true;
            else if (v == no)
                *valor = false;
            else
                return false;
            return true;
        };
        if (!marca(c[2].trimmed(), "D", "A", &m.deudora) || !marca(c[3].trimmed(), "S", "N", &m.resultado) ||
            !marca(c[4].trimmed(), "S", "N", &m.ajustable))
            return malo("saldo D o A, resultado y ajustable S o N");
        const int punto = m.codigo.lastIndexOf('.');
        bool ok = false;
        m.numHijo = m.codigo.mid(punto + 1).toInt(&ok);
        if (!ok || m.numHijo <= 0) return malo("código " + m.codigo + " mal formado");
        if (punto >= 0) {
            const QString padre = m.codigo.left(punto);
            if (!porCodigo.contains(padre)) return malo("la cuenta madre " + padre + " no figura antes");
            m.padre = plan[porCodigo[padre]].cuenta;
        }
        if (porCodigo.contains(m.codigo)) return malo("el código " + m.codigo + " figura dos veces");
        m.cuenta = plan.size() + 1;
        porCodigo.insert(m.codigo, plan.size());
        plan.append(m);
    }
    if (plan.isEmpty()) *error = "el plan de cuentas modelo está vacío";
    return plan;
}

bool PlanVacio(int empresa, int ejercicio) {
    return NumeroOCero(ValorCampo("Cuentas", "Count(*)", "EmpresaPropia=? AND NumEjercicio=? AND Cuenta<>0",
                                  {empresa, ejercicio})) == 0;
}

bool CopioPlanModelo(int empresa, int ejercicio, QString* error) {
    const QVector<CuentaModelo> plan = PlanModelo(error);
    if (plan.isEmpty()) return false;
    Transaccion t;
    if (!t.ok()) {
        *error = t.error();
        return false;
    }
    if (NumeroOCero(ValorCampo("Cuentas", "Count(*)", "EmpresaPropia=? AND NumEjercicio=? AND Cuenta=0",
                               {empresa, ejercicio})) == 0) {
        *error = "el ejercicio no existe";
        return false;
    }
    if (!PlanVacio(empresa, ejercicio)) {
        *error = "el ejercicio ya tiene cuentas";
        return false;
    }
    for (const CuentaModelo& m : plan) {
        const Resultado r = Ejecuto(
            "INSERT INTO Cuentas (EmpresaPropia, NumEjercicio, Cuenta, CodInt, Descripcion, CuentaPadre, "
            "NumHijo, CondDebito, CuentaResultado, Ajustable) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {empresa, ejercicio, m.cuenta, m.codigo, m.descripcion, m.padre, m.numHijo, SiNo(m.deudora),
             SiNo(m.resultado), SiNo(m.ajustable)});
        if (!r.ok) {
            *error = r.error;
            return false;
        }
    }
    // Screens that show this chart load it again.
    const Resultado r =
        Ejecuto("DELETE FROM SesionesPlanes WHERE EmpresaPropia=? AND NumEjercicio=?", {empresa, ejercicio});
    if (!r.ok || !t.Confirmo()) {
        *error = r.ok ? t.error() : r.error;
        return false;
    }
    return true;
}

bool BaseSinEmpresas() {
    return NumeroOCero(ValorCampo("EmpresasPropia", "Count(*)", "1=1")) == 0;
}

Creacion CreoDemostracion(const Contexto& ctx) {
    IniciaDatosDemostracion();
    const Valor existente =
        ValorCampo("EmpresasPropia", "EmpresaPropia", "descEmpresaPropia=?", {NombreEmpresa});
    if (NumeroOCero(existente) > 0) {
        Creacion r;
        r.empresa = int(NumeroOCero(existente));
        r.mensaje = QString("El libro de demostración ya existe: empresa %1, %2; no se modificó.")
                        .arg(r.empresa)
                        .arg(NombreEmpresa);
        return r;
    }
    Transaccion t;
    if (!t.ok()) return Falla(t.error());

    const int empresa = Proximo("EmpresasPropia", "EmpresaPropia");
    Resultado r = Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (?, ?)",
                          {empresa, NombreEmpresa});
    if (!r.ok) return Falla(r.error);
    r = Empresas::GraboDatosFiscales(empresa, CuitEmpresa, DomicilioEmpresa);
    if (!r.ok) return Falla(r.error);

    const int tabla = Proximo("TablasAjusteInflacion", "TablaAjusteInflacion");
    r = Ejecuto(
        "INSERT INTO TablasAjusteInflacion (TablaAjusteInflacion, descTablaAjusteInflacion) VALUES (?, ?)",
        {tabla, DescripcionTabla});
    if (!r.ok) return Falla(r.error);
    QString error;
    int importados = 0;
    if (!ImportoIndices(ctx, tabla, ":/demo/indice_ajuste_inflacion_ar.csv", false, &importados, &error))
        return Falla(error);

    int ejercicios[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const Ejercicios::Veredicto v = Ejercicios::GraboEjercicio(ctx, empresa, -1, QDate(AnioInicial + i, 1, 1),
                                                                   QDate(AnioInicial + i, 12, 31), tabla);
        if (!v.ok) return Falla(v.detalle.isEmpty() ? v.mensaje : v.detalle);
        ejercicios[i] = v.ejercicio;
        if (!CopioPlanModelo(empresa, v.ejercicio, &error)) return Falla(error);
    }

    QString codigoError;
    const QVector<CuentaModelo> plan = PlanModelo(&codigoError);
    Movimientos libro(plan, CargoValores(tabla));
    int asientos = 0;
    for (int i = 0; i < 2; ++i) {
        const Contexto anio = ctx.En(empresa, ejercicios[i]);
        if (i == 1) {
            const auto p = LeoPeriodo(empresa, ejercicios[1]);
            const Generacion g = GeneroApertura(anio, LeyendaApertura(*p));
            if (!g.ok) return Falla(g.mensaje);
            ++asientos;
        }
        if (!libro.GeneroAnio(anio, AnioInicial + i, i == 0, &asientos, &error)) return Falla(error);
        if (i == 0) {
            const auto p = LeoPeriodo(empresa, ejercicios[0]);
            const Generacion g = GeneroCierre(anio, LeyendaCierreResultados(*p),
                                              LeyendaCierrePatrimonial(*p), libro.Cuenta("3.2.3"));
            if (!g.ok) return Falla(g.mensaje);
            asientos += (g.resultados ? 1 : 0) + (g.patrimonial ? 1 : 0);
        }
    }
    if (!t.Confirmo()) return Falla(t.error());

    Creacion hecho;
    hecho.ok = true;
    hecho.empresa = empresa;
    hecho.asientos = asientos;
    hecho.mensaje = QString("Se creó el libro de demostración: empresa %1, %2, ejercicios %3 y %4 (%5 y %6), "
                            "%7 cuentas, %8 asientos y %9 valores de la tabla de ajuste %10.")
                        .arg(empresa)
                        .arg(NombreEmpresa)
                        .arg(ejercicios[0])
                        .arg(ejercicios[1])
                        .arg(AnioInicial)
                        .arg(AnioInicial + 1)
                        .arg(plan.size())
                        .arg(asientos)
                        .arg(importados)
                        .arg(tabla);
    return hecho;
}

int DemostracionDeConsola(const QString& carpetaPrograma) {
    const auto falla = [](const QString& texto) {
        std::fprintf(stderr, "%s\n", qPrintable(texto));
        return 1;
    };
    FijoCarpetas(carpetaPrograma);
    LeoConfiguracion();
    const QString problema = ProblemaConfiguracion();
    if (!problema.isEmpty()) return falla(problema);
    const QString ruta = BaseConfigurada();
    QString texto;
    const EstadoBase estado = ExaminoBase(ruta, &texto);
    if (estado == EstadoBase::NoExiste) {
        // Only the database a first start makes; a missing one named in the settings is a mistake.
        if (!BasePorDefecto())
            return falla("No existe la base de datos " + QDir::toNativeSeparators(ruta) +
                         "; revise la clave Base de la sección [Base de Datos] en " +
                         QDir::toNativeSeparators(IniLocal()) + ".");
        QString error;
        if (!CreoBase(ruta, &error)) return falla("No se pudo crear la base de datos " + ruta + ", " + error);
    } else if (estado != EstadoBase::Partidex) {
        return falla(texto + ". Use el programa para revisarla; el libro de demostración no se creó.");
    }
    QString error;
    if (!AbroBase(ruta, &error)) return falla(error);
    // A book the program generates for itself, before anybody can log in to it.
    const Creacion r = CreoDemostracion(Contexto::DelSistema());
    CierroBase();
    if (!r.ok && r.empresa == 0) return falla(r.mensaje);
    std::printf("%s\nBase de datos: %s\n", qPrintable(r.mensaje), qPrintable(QDir::toNativeSeparators(ruta)));
    return 0;
}

} // namespace Demostracion
