// A worker that drives the program's own operations on a book, so that a parent can kill it at any
// moment or run several at once, and then check that the book holds only whole operations.
//
//   obrero <carpeta> preparo
//   obrero <carpeta> <operacion> <cantidad> [semilla]
//       operacion: asientos, pego, cierre, backup, recupero, creo, sesiones, cuentas, mezcla
//   obrero <carpeta> verifico [--sin-huecos] [--muertos n] <registro>...
//
// The folder is the program's folder: its Partidex.ini names the database, which is opened through
// the program's start-up steps (settings, examination, connection, login, session), whatever engine
// the settings choose. Every operation prints one line once it is committed; "intento" lines announce
// the change about to be made, so that the check accepts it either done or not done after a kill.
// A failure prints "error <texto>" and ends the run with status 2.
#include "accounts/OperacionesCuentas.h"
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Configuracion.h"
#include "core/Contrasenas.h"
#include "core/Importe.h"
#include "core/Motor.h"
#include "core/Sesiones.h"
#include "core/TipoAsiento.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "fiscal/Cierre.h"
#include "fiscal/Ejercicios.h"
#include "journal/Asiento.h"
#include "journal/Historial.h"
#include "maintenance/Mantenimiento.h"
#include "schema/Esquema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace {

// The book every run works on: company 1 with five years.
constexpr int Empresa = 1;
constexpr int AnioAsientos = 1;   // 2024: entries, closing
constexpr int AnioPlanA = 2;      // 2021: a chart of 150 accounts
constexpr int AnioPlanB = 3;      // 2022: a chart of 90 accounts
constexpr int AnioDestino = 4;    // 2023: where those charts are pasted, by turns
constexpr int AnioSiguiente = 5;  // 2025: opened from the closing of 2024
constexpr int CuentaAjuste = 9;   // receives the year's result
constexpr int CuentaObreros = 10; // summary account under which chart edits are made
const int Imputables[] = {2, 3, 5, 7, 8};

QRandomGenerator azar;

// The books, backup and scratch paths the settings gave.
Mantenimiento::Rutas RutasDeLaPrueba() {
    const AppState& a = App();
    return {a.databasePath, a.backupPath, a.auxPath};
}
QString identidad;       // tells apart the accounts of each worker
qint64 esperaMaxima = 0; // the longest save of the run, in ms: how near the writers came to giving up

// One line per write, so that a kill never leaves half a line behind.
void Informo(const QString& linea) {
    const QByteArray b = (linea + '\n').toUtf8();
    qsizetype hecho = 0;
    while (hecho < b.size()) {
        const ssize_t n = ::write(1, b.constData() + hecho, size_t(b.size() - hecho));
        if (n <= 0) return;
        hecho += n;
    }
}

[[noreturn]] void Fallo(const QString& texto) {
    Informo("error " + QString(texto).replace('\n', ' '));
    std::exit(2);
}

// The program's start-up, without windows: settings, examination and connection, login, session.
void Arranco(const QString& carpeta) {
    FijoCarpetas(carpeta);
    LeoConfiguracion();
    const QString problema = ProblemaConfiguracion();
    if (!problema.isEmpty()) Fallo(problema);
    QString error;
    if (!AbroBase(App().databasePath, &error)) Fallo(error);
    const int usuario = BuscoUsuario(Esquema::UsuarioInicial, Esquema::ContrasenaInicial);
    if (usuario < 0) Fallo("no se pudo ingresar como " + Esquema::UsuarioInicial);
    AppState& a = App();
    a.currentUser = usuario;
    a.loginAccepted = true;
    a.currentCompany = Empresa;
    a.currentYear = AnioAsientos;
    a.currentSession = NuevaSesion();
    if (a.currentSession == 0) Fallo("no se pudo abrir una sesión, " + UltimoError());
}

void Verifico(bool ok, const QString& que) {
    if (!ok) Fallo(que + ": " + UltimoError());
}

int AgregoCuentaPlan(int ejercicio, int padre, int numHijo, const QString& descripcion, bool deudora,
                     bool resultado = false) {
    DatosCuenta d;
    d.descripcion = descripcion;
    d.numHijo = QString::number(numHijo);
    d.condDebito = deudora;
    d.cuentaResultado = resultado;
    const Grabacion g = AgregoCuenta(ContextoActual(), Empresa, ejercicio, padre, d);
    if (!g.ok()) Fallo(g.mensaje);
    return g.cuenta;
}

// A chart of n accounts in three levels, with concept links on some postable ones.
void GeneroPlan(int ejercicio, int n, const QString& prefijo) {
    QList<int> padres{0};
    for (int i = 1; i <= n; ++i) {
        const int padre = padres[(i * 7) % padres.size()];
        DatosCuenta d;
        d.descripcion = QString("%1 %2").arg(prefijo).arg(i);
        d.numHijo = QString::number(i);
        d.condDebito = i % 2 == 0;
        d.cuentaResultado = i % 5 == 0;
        if (i % 3 == 0) d.conceptosDebe = {1};
        if (i % 4 == 0) d.conceptosHaber = {1};
        const Grabacion g = AgregoCuenta(ContextoActual(), Empresa, ejercicio, padre, d);
        if (!g.ok()) Fallo(g.mensaje);
        if (padres.size() < 12) padres << g.cuenta;
    }
}

void GuardoUnAsiento();

void Preparo(const QString& carpeta) {
    // Logins of the runs check this hash: the lowest cost keeps each start quick.
    UsoCostoMinimoContrasenas(true);
    FijoCarpetas(carpeta);
    LeoConfiguracion();
    QString error;
    if (!CreoBase(App().databasePath, &error)) Fallo(error);
    if (!AbroBase(App().databasePath, &error)) Fallo(error);
    // The book's entries are written by its administrator, as every run's are.
    App().currentUser = BuscoUsuario(Esquema::UsuarioInicial, Esquema::ContrasenaInicial);
    Verifico(Ejecuto("INSERT INTO EmpresasPropia (EmpresaPropia, descEmpresaPropia) VALUES (?, 'Fallos')",
                     {Empresa})
                 .ok,
             "empresa");
    Verifico(Ejecuto("INSERT INTO ConceptosDetAsiento (ConceptoDetAsiento, descConceptoDetAsiento) VALUES "
                     "(1, 'Varios')")
                 .ok,
             "concepto");
    const int anios[] = {2024, 2021, 2022, 2023, 2025};
    for (int anio : anios) {
        const Ejercicios::Veredicto v =
            Ejercicios::GraboEjercicio(ContextoActual(), Empresa, -1, QDate(anio, 1, 1), QDate(anio, 12, 31), -1);
        if (!v.ok) Fallo(v.mensaje);
    }
    // The chart of the entries: 1 ACTIVO > 2 CAJA, 3 BANCOS; 4 PASIVO > 5 PROVEEDORES, 9 RESULTADO DEL
    // EJERCICIO; 6 RESULTADOS > 7 VENTAS, 8 GASTOS; 10 OBREROS (where chart edits go).
    AgregoCuentaPlan(AnioAsientos, 0, 1, "ACTIVO", true);
    AgregoCuentaPlan(AnioAsientos, 1, 1, "CAJA", true);
    AgregoCuentaPlan(AnioAsientos, 1, 2, "BANCOS", true);
    AgregoCuentaPlan(AnioAsientos, 0, 2, "PASIVO", false);
    AgregoCuentaPlan(AnioAsientos, 4, 1, "PROVEEDORES", false);
    AgregoCuentaPlan(AnioAsientos, 0, 3, "RESULTADOS", false, true);
    AgregoCuentaPlan(AnioAsientos, 6, 1, "VENTAS", false, true);
    AgregoCuentaPlan(AnioAsientos, 6, 2, "GASTOS", true, true);
    AgregoCuentaPlan(AnioAsientos, 4, 2, "RESULTADO DEL EJERCICIO", false);
    AgregoCuentaPlan(AnioAsientos, 1, 3, "OBREROS", true);
    GeneroPlan(AnioPlanA, 150, "Plan A");
    GeneroPlan(AnioPlanB, 90, "Plan B");
    const Ejercicios::Veredicto v = Ejercicios::PegoPlan(ContextoActual(), Empresa, AnioAsientos, Empresa, AnioSiguiente);
    if (!v.ok) Fallo(v.mensaje);
    // A year with balances, so that a closing has something to close from the first run on.
    App().currentCompany = Empresa;
    App().currentYear = AnioAsientos;
    for (int i = 0; i < 5; ++i)
        GuardoUnAsiento();
    Informo("preparado " + App().databasePath);
}

// --- Operations

void GuardoUnAsiento() {
    const int lineas = 2 + int(azar.bounded(11));
    QList<qint64> importes;
    qint64 suma = 0;
    for (int i = 0; i + 1 < lineas; ++i) {
        qint64 c = 1 + qint64(azar.bounded(999999));
        if (azar.bounded(2)) c = -c;
        importes << c;
        suma += c;
    }
    if (suma == 0) {
        importes[0] += 1;
        suma = 1;
    }
    importes << -suma;
    AsientoEditado e;
    e.fecha = FechaATexto(QDate(2024, 1, 1).addDays(azar.bounded(366)));
    e.concepto = "Obrero " + identidad;
    qint64 debe = 0;
    for (qint64 c : importes) {
        const int cuenta = Imputables[azar.bounded(5)];
        LineaEditada l;
        l.cuenta = QString::number(cuenta);
        l.descripcion = "Cuenta " + l.cuenta;
        const QString texto = Importe::DeCentavos(c > 0 ? c : -c).Texto(u'.');
        l.debe = c > 0 ? texto : QStringLiteral("0");
        l.haber = c > 0 ? QStringLiteral("0") : texto;
        if (c > 0) debe += c;
        e.lineas << l;
    }
    QElapsedTimer reloj;
    reloj.start();
    const ResultadoAsiento r = GuardoAsiento(ContextoActual(), e);
    // A year closed by another worker refuses the entry: nothing was written.
    if (r.cerrado) {
        Informo("rechazado cerrado");
        return;
    }
    // How long the save waited tells a lock held past the busy timeout from one refused at once.
    if (!r.ok) Fallo(r.mensaje + QString(" [%1 ms]").arg(reloj.elapsed()));
    esperaMaxima = qMax(esperaMaxima, reloj.elapsed());
    Informo(QString("asiento %1 %2 %3 %4 %5")
                .arg(App().currentCompany)
                .arg(App().currentYear)
                .arg(r.asiento)
                .arg(lineas)
                .arg(debe));
}

void PegoPlanes(int cantidad) {
    for (int i = 0; i < cantidad; ++i) {
        const int origen = i % 2 == 0 ? AnioPlanA : AnioPlanB;
        Informo(QString("intento pego %1").arg(origen));
        const Ejercicios::Veredicto v = Ejercicios::PegoPlan(ContextoActual(), Empresa, origen, Empresa, AnioDestino);
        if (!v.ok) Fallo(v.mensaje);
        Informo(QString("pego %1").arg(origen));
    }
}

int EntradaEspecial(int ejercicio, Especial clase) {
    return int(
        NumeroOCero(ValorCampo("Asientos", "Asiento", "EmpresaPropia=? AND NumEjercicio=? AND Especial=?",
                               {Empresa, ejercicio, ValorEspecial(clase)})));
}

// Closes 2024 and opens 2025; when 2024 is already closed, takes the closing and the opening back
// in one transaction so that the next turn can close it again.
void CierroEjercicios(int cantidad) {
    AppState& a = App();
    for (int i = 0; i < cantidad; ++i) {
        if (EntradaEspecial(AnioAsientos, Especial::CierrePatrimonial) != 0) {
            Informo("intento reabro");
            Transaccion t;
            if (!t.ok()) Fallo(t.error());
            const struct {
                int ejercicio;
                Especial clase;
            } entradas[] = {{AnioSiguiente, Especial::Apertura},
                            {AnioAsientos, Especial::CierrePatrimonial},
                            {AnioAsientos, Especial::CierreResultados}};
            for (const auto& x : entradas) {
                const int n = EntradaEspecial(x.ejercicio, x.clase);
                if (n == 0) continue;
                a.currentYear = x.ejercicio;
                const QString falla = BorroAsiento(ContextoActual(), n);
                if (!falla.isEmpty()) Fallo(falla);
            }
            a.currentYear = AnioAsientos;
            if (!t.Confirmo()) Fallo(t.error());
            Informo("reabro");
            continue;
        }
        Informo("intento cierro");
        const PeriodoEjercicio p{QDate(2024, 1, 1), QDate(2024, 12, 31)};
        const Generacion c = GeneroCierre(ContextoActual().En(Empresa, AnioAsientos), LeyendaCierreResultados(p),
                                          LeyendaCierrePatrimonial(p), CuentaAjuste);
        if (!c.ok) Fallo(c.mensaje);
        Informo(QString("cierro %1 %2").arg(c.resultados).arg(c.patrimonial));
        const Generacion o =
            GeneroApertura(ContextoActual().En(Empresa, AnioSiguiente), LeyendaApertura({QDate(2025, 1, 1), QDate(2025, 12, 31)}));
        if (!o.ok) Fallo(o.mensaje);
        Informo(QString("abro %1").arg(o.apertura));
    }
}

// The backup runs, as at start-up, while this instance holds no connection to the book.
void HagoRespaldos(int cantidad) {
    Mantenimiento::Interlocutor i;
    i.informo = [](const QString& texto, Mantenimiento::Aviso) { Fallo(texto); };
    Mantenimiento::FijoInterlocutor(i);
    for (int n = 0; n < cantidad; ++n) {
        CierroBase();
        if (!Mantenimiento::HagoBackUp(RutasDeLaPrueba())) Fallo("el back up no se hizo");
        Informo("backup");
        QString error;
        if (!AbroBase(App().databasePath, &error)) Fallo(error);
    }
}

// A new database beside the book, made again and again: it is there whole or not at all.
QString RutaNueva() {
    return QDir(App().programFolder).filePath("Nueva.MDB");
}
void CreoBases(int cantidad) {
    UsoCostoMinimoContrasenas(true);
    for (int i = 0; i < cantidad; ++i) {
        if (QFileInfo::exists(RutaNueva()) && !QFile::remove(RutaNueva()))
            Fallo("no se pudo borrar " + RutaNueva());
        QString error;
        if (!CreoBase(RutaNueva(), &error)) Fallo(error);
        Informo("creo");
    }
}

// Restores the book from its backup, as the maintenance screen does when the user says yes.
void RecuperoRespaldo() {
    Mantenimiento::Interlocutor i;
    i.informo = [](const QString& texto, Mantenimiento::Aviso) { Fallo(texto); };
    i.pregunto = [](const QString&) { return true; };
    Mantenimiento::FijoInterlocutor(i);
    CierroBase();
    if (!Mantenimiento::RecuperoBackUp(RutasDeLaPrueba(), {{}, "ADMIN", "ADMIN"})) Fallo("la recuperación no se hizo");
    Informo("recupero");
}

void UnaSesion(int vuelta) {
    AppState& a = App();
    a.currentSession = NuevaSesion();
    if (a.currentSession == 0) Fallo("no se pudo abrir una sesión, " + UltimoError());
    // Another worker's chart edit may drop this registration at any moment: that only makes a
    // screen reload its chart, so it is not checked here.
    RegistroPantalla(ContextoActual().En(Empresa, AnioAsientos), PantallaAsientos);
    if (vuelta % 10 == 0) PurgoSesiones(App().currentSession);
    Informo(QString("sesion %1").arg(a.currentSession));
}

// Chart edits of this worker's own accounts under OBREROS: each one is added, renamed and, every
// other one, deleted. The accounts are known by their descriptions.
void EditoCuenta(int vuelta) {
    const QString nombre = QString("O%1-%2").arg(identidad).arg(vuelta);
    Informo("intento cuenta " + nombre + " " + nombre);
    DatosCuenta d;
    d.descripcion = nombre;
    d.numHijo = QString::number(100 + vuelta % 1000);
    const Grabacion g = AgregoCuenta(ContextoActual(), Empresa, AnioAsientos, CuentaObreros, d);
    if (!g.ok()) Fallo(g.mensaje);
    Informo("cuenta " + nombre + " " + nombre);
    d.descripcion = nombre + "m";
    Informo("intento cuenta " + nombre + " " + d.descripcion);
    const Grabacion m = ModificoCuenta(ContextoActual(), Empresa, AnioAsientos, g.cuenta, d);
    if (!m.ok()) Fallo(m.mensaje);
    Informo("cuenta " + nombre + " " + d.descripcion);
    if (vuelta % 2 == 1) {
        Informo("intento cuenta " + nombre + " -");
        const Eliminacion e = EliminoCuenta(ContextoActual(), Empresa, AnioAsientos, g.cuenta);
        if (!e.ok()) Fallo(e.mensaje);
        Informo("cuenta " + nombre + " -");
    }
}

// --- The check

struct Hallazgos {
    QStringList fallas;
    void Agrego(const QString& f) {
        if (fallas.size() < 50) Informo("falla " + f);
        fallas << f;
    }
};

qint64 Numero(const QString& sql, const QVariantList& parametros = {}) {
    QSqlQuery q = Consulto(sql, parametros);
    if (!q.next()) Fallo("no se pudo leer: " + sql + " " + UltimoError());
    return q.value(0).toLongLong();
}

// Every relation of the schema, checked with plain statements (any engine).
void VerificoRelaciones(Hallazgos& h) {
    QSqlDatabase db = Conexion();
    bool ok = false;
    const QList<RelacionBase> relaciones = MotorActual().catalogo.Relaciones(db, &ok);
    if (!ok || relaciones.isEmpty()) h.Agrego("no se pudieron leer las relaciones");
    for (const RelacionBase& r : relaciones) {
        QStringList presentes, iguales;
        for (int i = 0; i < r.columnas.size(); ++i) {
            presentes << "h." + r.columnas[i] + " IS NOT NULL";
            iguales << "p." + r.columnasReferidas.value(i) + " = h." + r.columnas[i];
        }
        const qint64 huerfanas = Numero("SELECT COUNT(*) FROM " + r.tabla + " AS h WHERE " +
                                        presentes.join(" AND ") + " AND NOT EXISTS (SELECT 1 FROM " +
                                        r.referida + " AS p WHERE " + iguales.join(" AND ") + ")");
        if (huerfanas)
            h.Agrego(QString("%1 filas de %2 sin su fila de %3").arg(huerfanas).arg(r.tabla, r.referida));
    }
}

// Rows of a year's chart (the root apart), as text, to compare two charts.
QStringList FilasPlan(int ejercicio) {
    QStringList filas;
    QSqlQuery q = Consulto("SELECT Cuenta, CodInt, Descripcion, CuentaPadre, NumHijo, CondDebito, "
                           "CuentaResultado, Ajustable FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=? "
                           "AND Cuenta<>0 ORDER BY Cuenta",
                           {Empresa, ejercicio});
    while (q.next()) {
        QStringList f;
        for (int i = 0; i < 8; ++i)
            f << q.value(i).toString();
        filas << f.join('|');
    }
    q = Consulto("SELECT Cuenta, ConceptoDetAsiento, Debe FROM CuentasConceptos WHERE EmpresaPropia=? AND "
                 "NumEjercicio=? ORDER BY Cuenta, ConceptoDetAsiento, Debe",
                 {Empresa, ejercicio});
    while (q.next())
        filas << "c|" + q.value(0).toString() + "|" + q.value(1).toString() + "|" + q.value(2).toString();
    return filas;
}

// The closing state of the book: numbers of the results closing and the balance-sheet closing of 2024
// and of the opening of 2025, 0 where there is none.
QString EstadoCierre() {
    return QString("%1/%2/%3")
        .arg(EntradaEspecial(AnioAsientos, Especial::CierreResultados))
        .arg(EntradaEspecial(AnioAsientos, Especial::CierrePatrimonial))
        .arg(EntradaEspecial(AnioSiguiente, Especial::Apertura));
}
// A state against an accepted one, where * stands for any entry number.
bool CoincideEstado(const QString& estado, const QString& patron) {
    const QStringList e = estado.split('/'), p = patron.split('/');
    for (int i = 0; i < 3; ++i)
        if (p[i] != e[i] && !(p[i] == "*" && e[i] != "0")) return false;
    return true;
}

int Verificacion(const QString& carpeta, const QStringList& argumentos) {
    Arranco(carpeta);
    Hallazgos h;
    const bool sinHuecos = argumentos.contains("--sin-huecos");
    // Workers killed during the run: each may have committed one entry it could not report.
    const int muertos =
        argumentos.contains("--muertos") ? argumentos.value(argumentos.indexOf("--muertos") + 1).toInt() : 0;

    {
        QString detalle;
        QSqlDatabase db = Conexion();
        if (!MotorActual().almacen.Integridad(db, true, &detalle, nullptr)) h.Agrego("integridad: " + detalle);
    }
    VerificoRelaciones(h);

    // Whole entries: balanced to the cent, lines numbered 1..n without a gap, never an entry without lines.
    const qint64 desbalanceados =
        Numero("SELECT COUNT(*) FROM (SELECT Asiento FROM DetAsientos GROUP BY EmpresaPropia, NumEjercicio, "
               "Asiento HAVING " +
               Importe::SumaSql("Importe") + " <> 0 OR MIN(Detalle) <> 1 OR MAX(Detalle) <> COUNT(*)) AS d");
    if (desbalanceados)
        h.Agrego(QString("%1 asientos desbalanceados o con líneas faltantes").arg(desbalanceados));
    const qint64 vacios =
        Numero("SELECT COUNT(*) FROM Asientos AS a WHERE NOT EXISTS (SELECT 1 FROM DetAsientos "
               "AS d WHERE d.EmpresaPropia = a.EmpresaPropia AND d.NumEjercicio = "
               "a.NumEjercicio AND d.Asiento = a.Asiento)");
    if (vacios) h.Agrego(QString("%1 asientos sin líneas").arg(vacios));

    // Closing entries both or neither; at most one of each kind and one opening.
    int cierres = 0;
    {
        QSqlQuery q =
            Consulto("SELECT NumEjercicio, SUM(CASE WHEN Especial=1 THEN 1 ELSE 0 END), SUM(CASE WHEN "
                     "Especial=2 THEN 1 ELSE 0 END), SUM(CASE WHEN Especial=3 THEN 1 ELSE 0 END) FROM "
                     "Asientos GROUP BY NumEjercicio");
        while (q.next()) {
            const int r = q.value(1).toInt(), p = q.value(2).toInt(), o = q.value(3).toInt();
            if (r != p || p > 1 || o > 1)
                h.Agrego(QString("ejercicio %1: %2 cierres de resultados, %3 patrimoniales, %4 aperturas")
                             .arg(q.value(0).toInt())
                             .arg(r)
                             .arg(p)
                             .arg(o));
            cierres += p;
        }
    }

    // A closed year admits no entry after its closing: every account's balance there is zero.
    if (EntradaEspecial(AnioAsientos, Especial::CierrePatrimonial) != 0) {
        const qint64 abiertas = Numero("SELECT COUNT(*) FROM (SELECT Cuenta FROM DetAsientos WHERE EmpresaPropia=? "
                                       "AND NumEjercicio=? GROUP BY Cuenta HAVING " +
                                           Importe::SumaSql("Importe") + " <> 0) AS s",
                                       {Empresa, AnioAsientos});
        if (abiertas) h.Agrego(QString("%1 cuentas con saldo en el ejercicio cerrado").arg(abiertas));
    }

    // Every entry was stored with its history record or not at all, the chain is whole and the entries
    // are as their latest records left them.
    {
        const VerificacionHistorial v = VerificoHistorial();
        if (!v.entero) h.Agrego(v.mensaje);
        QSqlQuery q = Consulto("SELECT EmpresaPropia, NumEjercicio, Asiento FROM Asientos ORDER BY 1, 2, 3");
        QList<Contexto> claves;
        QList<int> numeros;
        while (q.next()) {
            claves << Contexto{q.value(0).toInt(), q.value(1).toInt(), 0, 0, QString()};
            numeros << q.value(2).toInt();
        }
        q.finish();
        qint64 sinRegistro = 0;
        for (int i = 0; i < numeros.size(); ++i) {
            const QList<CambioAsiento> cambios = HistorialDeAsiento(claves[i], numeros[i]);
            // Every entry here was written after the history started (the check above compares the
            // entries that have records with their latest one).
            if (cambios.isEmpty())
                if (++sinRegistro <= 3)
                    h.Agrego(QString("el asiento %1 del ejercicio %2 no tiene registro de historial")
                                 .arg(numeros[i])
                                 .arg(claves[i].ejercicio));
        }
    }

    // A pasted chart is one of the two charts whole.
    const QStringList destino = FilasPlan(AnioDestino);
    const bool mezclado =
        !destino.isEmpty() && destino != FilasPlan(AnioPlanA) && destino != FilasPlan(AnioPlanB);
    if (mezclado)
        h.Agrego(QString("el plan pegado en el ejercicio %1 no es ningún plan entero (%2 filas)")
                     .arg(AnioDestino)
                     .arg(destino.size()));

    // What the workers reported is stored.
    QHash<QString, QString> reportados; // company/year/number -> log where reported
    QSet<int> sesiones;
    QHash<QString, QStringList> cuentas; // name -> states accepted (last done, pending)
    // What a killed run may have left: the chart last pasted or the one being pasted; the closing
    // state last reported or the one being reached. Empty: nothing reported, nothing to compare.
    QStringList pegados, cierre;
    QString cerrado;
    int asientos = 0, registros = 0;
    for (int r = 0; r < argumentos.size(); ++r) {
        const QString ruta = argumentos[r];
        if (ruta == "--muertos") ++r;
        if (ruta.startsWith("--")) continue;
        QFile f(ruta);
        if (!f.open(QIODevice::ReadOnly)) {
            h.Agrego("no se pudo leer " + ruta);
            continue;
        }
        ++registros;
        // A kill can cut the last line short: only whole lines count.
        const QList<QByteArray> lineas = f.readAll().split('\n');
        for (qsizetype i = 0; i + 1 < lineas.size(); ++i) {
            const QStringList p = QString::fromUtf8(lineas[i]).split(' ');
            if (p[0] == "error") h.Agrego(QFileInfo(ruta).fileName() + ": " + QString::fromUtf8(lineas[i]));
            if (p[0] == "asiento" && p.size() == 6) {
                ++asientos;
                const QString clave = p[1] + "/" + p[2] + "/" + p[3];
                if (reportados.contains(clave))
                    h.Agrego("el asiento " + clave + " se informó dos veces: " + reportados[clave] + " y " +
                             ruta);
                reportados[clave] = ruta;
                QSqlQuery a = Consulto("SELECT COUNT(*), " +
                                           Importe::SumaSql("CASE WHEN Importe > 0 THEN Importe "
                                                            "ELSE 0 END") +
                                           " FROM DetAsientos WHERE EmpresaPropia=? AND NumEjercicio=? AND "
                                           "Asiento=?",
                                       {p[1].toInt(), p[2].toInt(), p[3].toInt()});
                const bool hay = a.next();
                if (!hay || a.value(0).toInt() != p[4].toInt() ||
                    Importe::DeCentavosBase(a.value(1)).centavos() != p[5].toLongLong())
                    h.Agrego(
                        QString(
                            "el asiento informado %1 (%2 líneas, debe %3) se guardó con %4 líneas, debe %5")
                            .arg(clave, p[4], p[5])
                            .arg(hay ? a.value(0).toInt() : 0)
                            .arg(hay ? Importe::DeCentavosBase(a.value(1)).centavos() : 0));
            }
            if (p[0] == "sesion" && p.size() == 2) {
                if (sesiones.contains(p[1].toInt())) h.Agrego("la sesión " + p[1] + " se dio dos veces");
                sesiones << p[1].toInt();
            }
            if (p[0] == "cuenta" && p.size() == 3) cuentas[p[1]] = {p[2]};
            if (p[0] == "pego" && p.size() == 2) pegados = {p[1]};
            // Before the first report of a log the state is not known here ("-": any whole chart).
            if (p[0] == "intento" && p.size() == 3 && p[1] == "pego")
                pegados = QStringList(pegados.isEmpty() ? QStringList{"-"} : pegados) << p[2];
            // A year is closed only when it is open, and the closing is taken back whole.
            if (p[0] == "intento" && p.size() == 2 && p[1] == "cierro") cierre = {"0/0/0", "*/*/0"};
            if (p[0] == "cierro" && p.size() == 3) {
                cerrado = p[1] + "/" + p[2];
                cierre = {cerrado + "/0", cerrado + "/*"}; // the opening that follows is not announced
            }
            if (p[0] == "abro" && p.size() == 2) cierre = {cerrado + "/" + p[1]};
            if (p[0] == "intento" && p.size() == 2 && p[1] == "reabro")
                cierre = QStringList(cierre.isEmpty() ? QStringList{"*/*/0", "*/*/*"} : cierre) << "0/0/0";
            if (p[0] == "reabro") cierre = {"0/0/0"};
            // A change announced by the last whole line may or may not have been committed.
            if (p[0] == "intento" && p.size() == 4 && p[1] == "cuenta" && i + 2 == lineas.size())
                cuentas[p[2]] = {cuentas.value(p[2], {"-"}).first(), p[3]};
        }
    }
    bool pegadoEntero = pegados.isEmpty();
    for (const QString& o : pegados)
        pegadoEntero = pegadoEntero || destino == FilasPlan(o.toInt()) || (o == "-" && !mezclado);
    if (!pegadoEntero)
        h.Agrego("el plan del ejercicio " + QString::number(AnioDestino) + " no es el del ejercicio " +
                 pegados.join(" ni el del "));
    const QString estado = EstadoCierre();
    if (!cierre.isEmpty() && std::none_of(cierre.cbegin(), cierre.cend(),
                                          [&](const QString& p) { return CoincideEstado(estado, p); }))
        h.Agrego("cierre y apertura en " + estado + ", se esperaba " + cierre.join(" o "));
    for (auto c = cuentas.cbegin(); c != cuentas.cend(); ++c) {
        QSqlQuery a = Consulto("SELECT Descripcion FROM Cuentas WHERE EmpresaPropia=? AND NumEjercicio=? AND "
                               "Descripcion IN (?, ?)",
                               {Empresa, AnioAsientos, c.key(), c.key() + "m"});
        QStringList halladas;
        while (a.next())
            halladas << a.value(0).toString();
        const QString estado = halladas.isEmpty() ? QStringLiteral("-") : halladas.join(',');
        if (!c.value().contains(estado))
            h.Agrego("la cuenta " + c.key() + " es " + estado + ", se esperaba " + c.value().join(" o "));
    }

    if (sinHuecos) {
        QSqlQuery n =
            Consulto("SELECT EmpresaPropia, NumEjercicio, COUNT(*), MIN(Asiento), MAX(Asiento) FROM "
                     "Asientos GROUP BY EmpresaPropia, NumEjercicio");
        while (n.next())
            if (n.value(3).toInt() != 1 || n.value(4).toInt() != n.value(2).toInt())
                h.Agrego(QString("empresa %1, ejercicio %2: %3 asientos numerados de %4 a %5")
                             .arg(n.value(0).toInt())
                             .arg(n.value(1).toInt())
                             .arg(n.value(2).toInt())
                             .arg(n.value(3).toInt())
                             .arg(n.value(4).toInt()));
        const qint64 guardados = Numero("SELECT COUNT(*) FROM Asientos WHERE Especial IS NULL");
        if (guardados < asientos || guardados > asientos + muertos)
            h.Agrego(QString("%1 asientos guardados, %2 informados").arg(guardados).arg(asientos));
    }

    // A backup (and the generation before it) is a whole, sound book, or absent.
    CierroBase();
    if (QFileInfo::exists(RutaNueva())) {
        const Diagnostico d = ExaminoBase(RutaNueva(), Examen::Completo);
        if (d.estado != EstadoBase::Partidex) h.Agrego("la base creada: " + d.explicacion);
    }
    const Motor& motor = MotorDeRuta(App().databasePath);
    for (const QString& copia : {App().backupPath, App().backupPath + ".1"}) {
        if (!QFileInfo::exists(copia)) continue;
        // A server's backup is in the server's own format.
        QString detalle;
        if (motor.almacen.RespaldoPropio()) {
            if (!motor.almacen.RespaldoLegible(copia, &detalle))
                h.Agrego("la copia " + copia + ": " + detalle);
            continue;
        }
        const Diagnostico d = ExaminoBase(copia, Examen::Completo, true);
        if (d.estado != EstadoBase::Partidex) h.Agrego("la copia " + copia + ": " + d.explicacion);
    }
    Informo(QString("verificado %1 registros, %2 asientos informados, %3 sesiones, %4 cuentas editadas, %5 "
                    "cierres, %6 fallas")
                .arg(registros)
                .arg(asientos)
                .arg(sesiones.size())
                .arg(cuentas.size())
                .arg(cierres)
                .arg(h.fallas.size()));
    return h.fallas.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // On a file system that is full or bounded, a write fails with an error instead of ending the run.
    std::signal(SIGXFSZ, SIG_IGN);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        Informo("uso: obrero <carpeta> preparo | <operacion> <cantidad> [semilla] | verifico [--sin-huecos] "
                "<registro>...");
        return 64;
    }
    const QString carpeta = args[1], operacion = args[2];
    if (operacion == "preparo") {
        Preparo(carpeta);
        return 0;
    }
    if (operacion == "verifico") return Verificacion(carpeta, args.mid(3));

    const int cantidad = args.size() > 3 ? args[3].toInt() : 1;
    const quint32 semilla = args.size() > 4 ? args[4].toUInt() : quint32(::getpid());
    azar.seed(semilla);
    identidad = QString("%1x%2").arg(::getpid()).arg(semilla);
    Arranco(carpeta);
    if (operacion == "asientos") {
        for (int i = 0; i < cantidad; ++i)
            GuardoUnAsiento();
    } else if (operacion == "pego") {
        PegoPlanes(cantidad);
    } else if (operacion == "cierre") {
        CierroEjercicios(cantidad);
    } else if (operacion == "backup") {
        HagoRespaldos(cantidad);
    } else if (operacion == "recupero") {
        RecuperoRespaldo();
        Informo("fin");
        return 0;
    } else if (operacion == "creo") {
        CreoBases(cantidad);
    } else if (operacion == "sesiones") {
        for (int i = 0; i < cantidad; ++i)
            UnaSesion(i);
    } else if (operacion == "cuentas") {
        for (int i = 0; i < cantidad; ++i)
            EditoCuenta(i);
    } else if (operacion == "mezcla") {
        // Entries, with a session every tenth and a chart edit every twenty-fifth.
        for (int i = 0; i < cantidad; ++i) {
            GuardoUnAsiento();
            if (i % 10 == 0) UnaSesion(i);
            if (i % 25 == 0) EditoCuenta(i);
        }
        Informo(QString("espera %1").arg(esperaMaxima));
    } else {
        Informo("operación desconocida: " + operacion);
        return 64;
    }
    CierroBase();
    Informo("fin");
    return 0;
}
