#include "schema/Esquema.h"

#include <QRegularExpression>

namespace Esquema {

QString ConTipos(const QString& sentencia, const std::function<QString(Tipo)>& tipos) {
    static const struct {
        const char* marca;
        Tipo tipo;
    } marcas[] = {{"{entero}", Tipo::Entero}, {"{texto}", Tipo::Texto},    {"{fecha}", Tipo::Fecha},
                  {"{numero}", Tipo::Numero}, {"{importe}", Tipo::Importe},
                  {"{centavos}", Tipo::Centavos}};
    QString s = sentencia;
    for (const auto& m : marcas)
        if (s.contains(QLatin1String(m.marca))) s.replace(QLatin1String(m.marca), tipos(m.tipo));
    return s;
}

const QStringList& Definicion() {
    static const QStringList ddl = {
        // Companies kept in the books.
        "CREATE TABLE EmpresasPropia ("
        " EmpresaPropia {entero} NOT NULL PRIMARY KEY,"
        " descEmpresaPropia {texto},"
        " RespIVA {entero},"
        " EmpresaPropiaEj {entero},"
        " NumEjercicio {entero},"
        " CuentaCompras {entero},"
        " CuentaVentas {entero},"
        " CreditoDefecto {entero},"
        " DebitoDefecto {entero},"
        // The tax number (XX-XXXXXXXX-X) and the address the reports print under the company's name.
        " CUIT {texto},"
        " Domicilio {texto})",

        "CREATE TABLE TablasAjusteInflacion ("
        " TablaAjusteInflacion {entero} NOT NULL PRIMARY KEY,"
        " descTablaAjusteInflacion {texto})",

        "CREATE TABLE AjustesInflacion ("
        " TablaAjusteInflacion {entero} NOT NULL REFERENCES TablasAjusteInflacion (TablaAjusteInflacion),"
        " Fecha {fecha} NOT NULL,"
        " Ajuste {numero},"
        " PRIMARY KEY (TablaAjusteInflacion, Fecha))",

        "CREATE TABLE Ejercicios ("
        " EmpresaPropia {entero} NOT NULL REFERENCES EmpresasPropia (EmpresaPropia),"
        " NumEjercicio {entero} NOT NULL,"
        " ComienzoEjercicio {fecha},"
        " FinEjercicio {fecha},"
        " TablaAjusteInflacion {entero} REFERENCES TablasAjusteInflacion (TablaAjusteInflacion),"
        " PRIMARY KEY (EmpresaPropia, NumEjercicio))",

        // The chart of accounts of one company and year. The parent relation is deferred so that a
        // whole chart can be written in any row order inside one transaction.
        "CREATE TABLE Cuentas ("
        " EmpresaPropia {entero} NOT NULL,"
        " NumEjercicio {entero} NOT NULL,"
        " Cuenta {entero} NOT NULL,"
        " CodInt {texto},"
        " Descripcion {texto},"
        " CuentaPadre {entero} NOT NULL DEFAULT 0,"
        " NumHijo {entero} NOT NULL DEFAULT 0 CHECK (NumHijo BETWEEN -32768 AND 32767),"
        " CondDebito {entero} NOT NULL DEFAULT 0,"
        " CuentaResultado {entero} NOT NULL DEFAULT 0,"
        " Ajustable {entero} NOT NULL DEFAULT 0,"
        " PRIMARY KEY (EmpresaPropia, NumEjercicio, Cuenta),"
        " CONSTRAINT EjerciciosCuentas FOREIGN KEY (EmpresaPropia, NumEjercicio)"
        "  REFERENCES Ejercicios (EmpresaPropia, NumEjercicio),"
        " CONSTRAINT CuentasCuentas FOREIGN KEY (EmpresaPropia, NumEjercicio, CuentaPadre)"
        "  REFERENCES Cuentas (EmpresaPropia, NumEjercicio, Cuenta) DEFERRABLE INITIALLY DEFERRED)",

        "CREATE TABLE ConceptosDetAsiento ("
        " ConceptoDetAsiento {entero} NOT NULL PRIMARY KEY,"
        " descConceptoDetAsiento {texto})",

        "CREATE TABLE ConceptosAsiento ("
        " ConceptoAsiento {entero} NOT NULL PRIMARY KEY,"
        " descConceptoAsiento {texto})",

        // Concept links go with their account.
        "CREATE TABLE CuentasConceptos ("
        " EmpresaPropia {entero} NOT NULL,"
        " NumEjercicio {entero} NOT NULL,"
        " Cuenta {entero} NOT NULL,"
        " ConceptoDetAsiento {entero} NOT NULL REFERENCES ConceptosDetAsiento (ConceptoDetAsiento),"
        " Debe {entero} NOT NULL DEFAULT 0,"
        " PRIMARY KEY (EmpresaPropia, NumEjercicio, Cuenta, ConceptoDetAsiento, Debe),"
        " FOREIGN KEY (EmpresaPropia, NumEjercicio, Cuenta)"
        "  REFERENCES Cuentas (EmpresaPropia, NumEjercicio, Cuenta) ON DELETE CASCADE DEFERRABLE INITIALLY "
        "DEFERRED)",

        "CREATE TABLE Asientos ("
        " EmpresaPropia {entero} NOT NULL,"
        " NumEjercicio {entero} NOT NULL,"
        " Asiento {entero} NOT NULL,"
        " Fecha {fecha},"
        " Concepto {texto},"
        " Especial {entero},"
        " PRIMARY KEY (EmpresaPropia, NumEjercicio, Asiento),"
        " FOREIGN KEY (EmpresaPropia, NumEjercicio) REFERENCES Ejercicios (EmpresaPropia, NumEjercicio))",

        // Lines go with their header; an account that has lines cannot be deleted.
        "CREATE TABLE DetAsientos ("
        " EmpresaPropia {entero} NOT NULL,"
        " NumEjercicio {entero} NOT NULL,"
        " Asiento {entero} NOT NULL,"
        " Detalle {entero} NOT NULL,"
        " Cuenta {entero},"
        " Importe {importe},"
        " Concepto {texto},"
        " FechaAjuste {fecha},"
        " PRIMARY KEY (EmpresaPropia, NumEjercicio, Asiento, Detalle),"
        " FOREIGN KEY (EmpresaPropia, NumEjercicio, Asiento)"
        "  REFERENCES Asientos (EmpresaPropia, NumEjercicio, Asiento) ON DELETE CASCADE ON UPDATE CASCADE,"
        " FOREIGN KEY (EmpresaPropia, NumEjercicio, Cuenta)"
        "  REFERENCES Cuentas (EmpresaPropia, NumEjercicio, Cuenta) DEFERRABLE INITIALLY DEFERRED)",

        // The debits and the credits of each account per month of its entries' dates, in cents, and how
        // many lines each holds; a line of no account, no amount or an entry of no date counts nowhere.
        // The engine's triggers keep them as lines and entries are written (core/MotorDialecto.h), so
        // that a balance of whole months reads a few rows per account instead of every line.
        "CREATE TABLE SumasMensuales ("
        " EmpresaPropia {entero} NOT NULL,"
        " NumEjercicio {entero} NOT NULL,"
        " Mes {fecha} NOT NULL,"
        " Cuenta {entero} NOT NULL,"
        " Debe {centavos} NOT NULL DEFAULT 0,"
        " Haber {centavos} NOT NULL DEFAULT 0,"
        " Debitos {centavos} NOT NULL DEFAULT 0,"
        " Creditos {centavos} NOT NULL DEFAULT 0,"
        " PRIMARY KEY (EmpresaPropia, NumEjercicio, Mes, Cuenta))",

        "CREATE TABLE Perfiles ("
        " Perfil {entero} NOT NULL PRIMARY KEY,"
        " descPerfil {texto})",

        "CREATE TABLE Modulos ("
        " Modulo {entero} NOT NULL PRIMARY KEY,"
        " descModulo {texto},"
        " nomModulo {texto})",

        "CREATE TABLE ModulosHabilitaciones ("
        " Modulo {entero} NOT NULL REFERENCES Modulos (Modulo),"
        " TipoHabilitacion {entero} NOT NULL,"
        " PRIMARY KEY (Modulo, TipoHabilitacion))",

        "CREATE TABLE Usuarios ("
        " Usuario {entero} NOT NULL PRIMARY KEY,"
        " NombreCorto {texto} NOT NULL,"
        " descUsuario {texto},"
        " Perfil {entero} REFERENCES Perfiles (Perfil),"
        " Contrasena {texto},"
        " Activo {entero} NOT NULL DEFAULT -1)",

        "CREATE TABLE Permisos ("
        " Perfil {entero} NOT NULL REFERENCES Perfiles (Perfil),"
        " Modulo {entero} NOT NULL REFERENCES Modulos (Modulo),"
        " TipoHabilitacion {entero} NOT NULL,"
        " PRIMARY KEY (Perfil, Modulo))",

        "CREATE TABLE Sesiones ("
        " Sesion {entero} NOT NULL PRIMARY KEY)",

        // A purged session takes its chart registrations with it.
        "CREATE TABLE SesionesPlanes ("
        " Sesion {entero} NOT NULL REFERENCES Sesiones (Sesion) ON DELETE CASCADE,"
        " Pantalla {entero} NOT NULL,"
        " EmpresaPropia {entero} NOT NULL,"
        " NumEjercicio {entero} NOT NULL)",

        "CREATE TABLE PrepararPagina ("
        " EmpresaPropia {entero} NOT NULL REFERENCES EmpresasPropia (EmpresaPropia) ON DELETE CASCADE,"
        " TipoImpresion {entero},"
        " Control {entero},"
        " CoordX {numero},"
        " CoordY {numero},"
        " Ancho {numero},"
        " Alto {numero},"
        " TipoLetra {texto},"
        " TamanoLetra {numero},"
        " Bold {entero},"
        " Italic {entero},"
        " Underline {entero},"
        " Visible {entero},"
        " TextoFijo {texto},"
        " Recuadro {entero},"
        " FormatoNumero {texto})",

        // The history of every write of an entry: who, when, from where, and the entry before and
        // after, each record chained to the one before it by its hash. No relation to the entries: the
        // record of a deleted entry stays.
        "CREATE TABLE HistorialAsientos ("
        " Registro {entero} NOT NULL PRIMARY KEY,"
        " EmpresaPropia {entero} NOT NULL,"
        " NumEjercicio {entero} NOT NULL,"
        " Asiento {entero} NOT NULL,"
        " AsientoAnterior {entero},"
        " Tipo {entero} NOT NULL,"
        " Usuario {entero},"
        " Sesion {entero},"
        " Estacion {texto},"
        " Momento {texto} NOT NULL,"
        " Antes {texto},"
        " Despues {texto},"
        " HashAnterior {texto} NOT NULL,"
        " Hash {texto} NOT NULL)",

        // The heading of the financial statements each account (and the branch beneath it) is shown
        // under, per company and year; it goes with its account.
        "CREATE TABLE RubrosCuentas ("
        " EmpresaPropia {entero} NOT NULL,"
        " NumEjercicio {entero} NOT NULL,"
        " Cuenta {entero} NOT NULL,"
        " Rubro {entero} NOT NULL,"
        " NoCorriente {entero} NOT NULL DEFAULT 0,"
        " PRIMARY KEY (EmpresaPropia, NumEjercicio, Cuenta),"
        " FOREIGN KEY (EmpresaPropia, NumEjercicio, Cuenta)"
        "  REFERENCES Cuentas (EmpresaPropia, NumEjercicio, Cuenta) ON DELETE CASCADE DEFERRABLE INITIALLY "
        "DEFERRED)",

        // Indexes for the statements that run per account, per line or per report.
        "CREATE INDEX idxCuentasPadre ON Cuentas (EmpresaPropia, NumEjercicio, CuentaPadre, NumHijo)",
        "CREATE INDEX idxCuentasCodInt ON Cuentas (EmpresaPropia, NumEjercicio, CodInt)",
        "CREATE INDEX idxCuentasConceptosConcepto ON CuentasConceptos (ConceptoDetAsiento)",
        "CREATE INDEX idxAsientosFecha ON Asientos (EmpresaPropia, NumEjercicio, Fecha)",
        "CREATE INDEX idxAsientosEspecial ON Asientos (EmpresaPropia, NumEjercicio, Especial)",
        // Lines by account, holding the amount and the adjustment date, so that per-account sums, plain
        // or restated, read the index alone.
        "CREATE INDEX idxDetAsientosCuenta ON DetAsientos (EmpresaPropia, NumEjercicio, Cuenta, Asiento, "
        "Importe, FechaAjuste)",
        "CREATE INDEX idxEjerciciosTabla ON Ejercicios (TablaAjusteInflacion)",
        "CREATE INDEX idxEjerciciosComienzo ON Ejercicios (EmpresaPropia, ComienzoEjercicio)",
        "CREATE INDEX idxUsuariosPerfil ON Usuarios (Perfil)",
        "CREATE INDEX idxUsuariosNombre ON Usuarios (NombreCorto)",
        "CREATE INDEX idxPermisosModulo ON Permisos (Modulo)",
        "CREATE INDEX idxSesionesPlanes ON SesionesPlanes (Sesion, Pantalla, EmpresaPropia, NumEjercicio)",
        "CREATE INDEX idxSesionesPlanesPlan ON SesionesPlanes (EmpresaPropia, NumEjercicio)",
        "CREATE INDEX idxPrepararPagina ON PrepararPagina (EmpresaPropia)",
        "CREATE INDEX idxHistorialAsientosAsiento ON HistorialAsientos (EmpresaPropia, NumEjercicio, Asiento)",
        "CREATE INDEX idxHistorialAsientosMomento ON HistorialAsientos (Momento)",
    };
    return ddl;
}

QStringList FilasFijas(const QString& hashContrasenaInicial) {
    QStringList filas = {
        "INSERT INTO Perfiles (Perfil, descPerfil) VALUES (1, 'Administrador')",
        "INSERT INTO Perfiles (Perfil, descPerfil) VALUES (2, 'Operador')",
    };
    // Modules that permissions govern, by the window name that asks for them.
    const QStringList modulos = {
        "frmUsuarios|Usuarios",
        "frmEmpresasPropia|Empresas Propias",
        "frmEjercicios|Ejercicios",
        "frmCuentas|Plan de Cuentas",
        "frmAsientos|Asientos",
        "frmConceptosAsiento|Conceptos Asiento",
        "frmConceptosDetAsiento|Conceptos Detalles Asiento",
        "frmTablasAjusteInflacion|Tablas Ajuste Inflación",
        "frmAjustesInflacion|Ajustes Inflación",
        "frmCierreEjercicio|Cierre automático ejercicio",
        "frmAperturaEjercicio|Apertura automática ejercicio",
        "frmRptBalance|Balance Sumas y Saldos",
        "frmRptMayores|Mayores",
        "frmRptDiario|Diario General",
        "frmBaseDatos|Base de Datos",
        // Actions that are not screens of their own.
        "EliminacionAsientos|Eliminación de asientos",
        "ImportacionIndices|Importación de índices",
        "CopiaSeguridad|Copia de seguridad",
        "RecuperacionBackUp|Recuperación de Back Up",
    };
    // The operator may not manage users nor copy or replace the books.
    const QStringList vedadosOperador = {"frmUsuarios", "frmBaseDatos", "CopiaSeguridad", "RecuperacionBackUp"};
    for (int i = 0; i < modulos.size(); ++i) {
        const QStringList p = modulos[i].split('|');
        const int m = i + 1;
        filas << QString("INSERT INTO Modulos (Modulo, descModulo, nomModulo) VALUES (%1, '%2', '%3')")
                     .arg(m)
                     .arg(p[1], p[0]);
        for (int nivel = 0; nivel <= 3; ++nivel)
            filas << QString("INSERT INTO ModulosHabilitaciones (Modulo, TipoHabilitacion) VALUES (%1, %2)")
                         .arg(m)
                         .arg(nivel);
        // The administrator may use everything; the operator everything but the above.
        filas << QString("INSERT INTO Permisos (Perfil, Modulo, TipoHabilitacion) VALUES (1, %1, 1)").arg(m);
        filas << QString("INSERT INTO Permisos (Perfil, Modulo, TipoHabilitacion) VALUES (2, %1, %2)")
                     .arg(m)
                     .arg(vedadosOperador.contains(p[0]) ? 0 : 1);
    }
    QString hash = hashContrasenaInicial;
    hash.replace('\'', "''");
    filas << QString("INSERT INTO Usuarios (Usuario, NombreCorto, descUsuario, Perfil, Contrasena, Activo) "
                     "VALUES (1, '%1', 'Administrador', 1, '%2', -1)")
                 .arg(UsuarioInicial, hash);
    return filas;
}

QStringList Tablas() {
    static const QRegularExpression tabla(QStringLiteral("^CREATE TABLE (\\w+)"));
    QStringList nombres;
    for (const QString& s : Definicion()) {
        const QRegularExpressionMatch m = tabla.match(s);
        if (m.hasMatch()) nombres << m.captured(1);
    }
    return nombres;
}

int IndicesEsperados() {
    int n = 0;
    for (const QString& s : Definicion()) {
        if (s.startsWith("CREATE INDEX")) ++n;
        // Tables with a primary key other than a plain integer one get an automatic index.
        else if (s.startsWith("CREATE TABLE") && s.contains("PRIMARY KEY ("))
            ++n;
    }
    return n;
}

int RelacionesEsperadas() {
    int n = 0;
    for (const QString& s : Definicion())
        n += s.count("REFERENCES ");
    return n;
}

const QList<EscrituraModulo>& EscriturasDeModulos() {
    static const QList<EscrituraModulo> m = {
        {"frmEmpresasPropia", {"EmpresasPropia", "PrepararPagina"}},
        // A year's chart is copied with the headings of its statements.
        {"frmEjercicios", {"Ejercicios", "Cuentas", "CuentasConceptos", "RubrosCuentas"}},
        {"frmCuentas", {"Cuentas", "CuentasConceptos", "RubrosCuentas"}},
        {"frmAsientos", {"Asientos", "DetAsientos"}},
        {"EliminacionAsientos", {"Asientos", "DetAsientos"}},
        {"ImportacionIndices", {"AjustesInflacion"}},
        {"frmConceptosAsiento", {"ConceptosAsiento"}},
        {"frmConceptosDetAsiento", {"ConceptosDetAsiento"}},
        {"frmTablasAjusteInflacion", {"TablasAjusteInflacion"}},
        {"frmAjustesInflacion", {"AjustesInflacion"}},
        // The closing writes its entries; the opening its entry, and the next year's chart.
        {"frmCierreEjercicio", {"Asientos", "DetAsientos"}},
        {"frmAperturaEjercicio",
         {"Asientos", "DetAsientos", "Ejercicios", "Cuentas", "CuentasConceptos", "RubrosCuentas"}},
    };
    return m;
}

const QStringList& TablasDeTodos() {
    static const QStringList t = {"Sesiones", "SesionesPlanes"};
    return t;
}

const QStringList& TablasDeAdministrador() {
    static const QStringList t = {"Usuarios", "Permisos"};
    return t;
}

const QStringList& TablasDerivadas() {
    static const QStringList t = {"SumasMensuales"};
    return t;
}

const QStringList& TablasSoloAlta() {
    static const QStringList t = {"HistorialAsientos"};
    return t;
}

} // namespace Esquema
