#include "schema/Esquema.h"

#include <QRegularExpression>

namespace Esquema {

const QStringList& Definicion() {
    static const QStringList ddl = {
        // Companies kept in the books.
        "CREATE TABLE EmpresasPropia ("
        " EmpresaPropia INTEGER NOT NULL PRIMARY KEY,"
        " descEmpresaPropia TEXT,"
        " RespIVA INTEGER,"
        " EmpresaPropiaEj INTEGER,"
        " NumEjercicio INTEGER,"
        " CuentaCompras INTEGER,"
        " CuentaVentas INTEGER,"
        " CreditoDefecto INTEGER,"
        " DebitoDefecto INTEGER)",

        "CREATE TABLE TablasAjusteInflacion ("
        " TablaAjusteInflacion INTEGER NOT NULL PRIMARY KEY,"
        " descTablaAjusteInflacion TEXT)",

        "CREATE TABLE AjustesInflacion ("
        " TablaAjusteInflacion INTEGER NOT NULL REFERENCES TablasAjusteInflacion (TablaAjusteInflacion),"
        " Fecha DATE NOT NULL,"
        " Ajuste NUMERIC,"
        " PRIMARY KEY (TablaAjusteInflacion, Fecha))",

        "CREATE TABLE Ejercicios ("
        " EmpresaPropia INTEGER NOT NULL REFERENCES EmpresasPropia (EmpresaPropia),"
        " NumEjercicio INTEGER NOT NULL,"
        " ComienzoEjercicio DATE,"
        " FinEjercicio DATE,"
        " TablaAjusteInflacion INTEGER REFERENCES TablasAjusteInflacion (TablaAjusteInflacion),"
        " PRIMARY KEY (EmpresaPropia, NumEjercicio))",

        // The chart of accounts of one company and year. The parent relation is deferred so that a
        // whole chart can be written in any row order inside one transaction.
        "CREATE TABLE Cuentas ("
        " EmpresaPropia INTEGER NOT NULL,"
        " NumEjercicio INTEGER NOT NULL,"
        " Cuenta INTEGER NOT NULL,"
        " CodInt TEXT,"
        " Descripcion TEXT,"
        " CuentaPadre INTEGER NOT NULL DEFAULT 0,"
        " NumHijo INTEGER NOT NULL DEFAULT 0 CHECK (NumHijo BETWEEN -32768 AND 32767),"
        " CondDebito INTEGER NOT NULL DEFAULT 0,"
        " CuentaResultado INTEGER NOT NULL DEFAULT 0,"
        " Ajustable INTEGER NOT NULL DEFAULT 0,"
        " PRIMARY KEY (EmpresaPropia, NumEjercicio, Cuenta),"
        " CONSTRAINT EjerciciosCuentas FOREIGN KEY (EmpresaPropia, NumEjercicio)"
        "  REFERENCES Ejercicios (EmpresaPropia, NumEjercicio),"
        " CONSTRAINT CuentasCuentas FOREIGN KEY (EmpresaPropia, NumEjercicio, CuentaPadre)"
        "  REFERENCES Cuentas (EmpresaPropia, NumEjercicio, Cuenta) DEFERRABLE INITIALLY DEFERRED)",

        "CREATE TABLE ConceptosDetAsiento ("
        " ConceptoDetAsiento INTEGER NOT NULL PRIMARY KEY,"
        " descConceptoDetAsiento TEXT)",

        "CREATE TABLE ConceptosAsiento ("
        " ConceptoAsiento INTEGER NOT NULL PRIMARY KEY,"
        " descConceptoAsiento TEXT)",

        // Concept links go with their account.
        "CREATE TABLE CuentasConceptos ("
        " EmpresaPropia INTEGER NOT NULL,"
        " NumEjercicio INTEGER NOT NULL,"
        " Cuenta INTEGER NOT NULL,"
        " ConceptoDetAsiento INTEGER NOT NULL REFERENCES ConceptosDetAsiento (ConceptoDetAsiento),"
        " Debe INTEGER NOT NULL DEFAULT 0,"
        " PRIMARY KEY (EmpresaPropia, NumEjercicio, Cuenta, ConceptoDetAsiento, Debe),"
        " FOREIGN KEY (EmpresaPropia, NumEjercicio, Cuenta)"
        "  REFERENCES Cuentas (EmpresaPropia, NumEjercicio, Cuenta) ON DELETE CASCADE DEFERRABLE INITIALLY "
        "DEFERRED)",

        "CREATE TABLE Asientos ("
        " EmpresaPropia INTEGER NOT NULL,"
        " NumEjercicio INTEGER NOT NULL,"
        " Asiento INTEGER NOT NULL,"
        " Fecha DATE,"
        " Concepto TEXT,"
        " Especial INTEGER,"
        " PRIMARY KEY (EmpresaPropia, NumEjercicio, Asiento),"
        " FOREIGN KEY (EmpresaPropia, NumEjercicio) REFERENCES Ejercicios (EmpresaPropia, NumEjercicio))",

        // Lines go with their header; an account that has lines cannot be deleted.
        "CREATE TABLE DetAsientos ("
        " EmpresaPropia INTEGER NOT NULL,"
        " NumEjercicio INTEGER NOT NULL,"
        " Asiento INTEGER NOT NULL,"
        " Detalle INTEGER NOT NULL,"
        " Cuenta INTEGER,"
        " Importe NUMERIC,"
        " Concepto TEXT,"
        " FechaAjuste DATE,"
        " PRIMARY KEY (EmpresaPropia, NumEjercicio, Asiento, Detalle),"
        " FOREIGN KEY (EmpresaPropia, NumEjercicio, Asiento)"
        "  REFERENCES Asientos (EmpresaPropia, NumEjercicio, Asiento) ON DELETE CASCADE ON UPDATE CASCADE,"
        " FOREIGN KEY (EmpresaPropia, NumEjercicio, Cuenta)"
        "  REFERENCES Cuentas (EmpresaPropia, NumEjercicio, Cuenta) DEFERRABLE INITIALLY DEFERRED)",

        "CREATE TABLE Perfiles ("
        " Perfil INTEGER NOT NULL PRIMARY KEY,"
        " descPerfil TEXT)",

        "CREATE TABLE Modulos ("
        " Modulo INTEGER NOT NULL PRIMARY KEY,"
        " descModulo TEXT,"
        " nomModulo TEXT)",

        "CREATE TABLE ModulosHabilitaciones ("
        " Modulo INTEGER NOT NULL REFERENCES Modulos (Modulo),"
        " TipoHabilitacion INTEGER NOT NULL,"
        " PRIMARY KEY (Modulo, TipoHabilitacion))",

        "CREATE TABLE Usuarios ("
        " Usuario INTEGER NOT NULL PRIMARY KEY,"
        " NombreCorto TEXT NOT NULL,"
        " descUsuario TEXT,"
        " Perfil INTEGER REFERENCES Perfiles (Perfil),"
        " Contrasena TEXT,"
        " Activo INTEGER NOT NULL DEFAULT -1)",

        "CREATE TABLE Permisos ("
        " Perfil INTEGER NOT NULL REFERENCES Perfiles (Perfil),"
        " Modulo INTEGER NOT NULL REFERENCES Modulos (Modulo),"
        " TipoHabilitacion INTEGER NOT NULL,"
        " PRIMARY KEY (Perfil, Modulo))",

        "CREATE TABLE Sesiones ("
        " Sesion INTEGER NOT NULL PRIMARY KEY)",

        // A purged session takes its chart registrations with it.
        "CREATE TABLE SesionesPlanes ("
        " Sesion INTEGER NOT NULL REFERENCES Sesiones (Sesion) ON DELETE CASCADE,"
        " Pantalla INTEGER NOT NULL,"
        " EmpresaPropia INTEGER NOT NULL,"
        " NumEjercicio INTEGER NOT NULL)",

        "CREATE TABLE PrepararPagina ("
        " EmpresaPropia INTEGER NOT NULL REFERENCES EmpresasPropia (EmpresaPropia) ON DELETE CASCADE,"
        " TipoImpresion INTEGER,"
        " Control INTEGER,"
        " CoordX NUMERIC,"
        " CoordY NUMERIC,"
        " Ancho NUMERIC,"
        " Alto NUMERIC,"
        " TipoLetra TEXT,"
        " TamanoLetra NUMERIC,"
        " Bold INTEGER,"
        " Italic INTEGER,"
        " Underline INTEGER,"
        " Visible INTEGER,"
        " TextoFijo TEXT,"
        " Recuadro INTEGER,"
        " FormatoNumero TEXT)",

        // The history of every write of an entry: who, when, from where, and the entry before and
        // after, each record chained to the one before it by its hash. No relation to the entries: the
        // record of a deleted entry stays.
        "CREATE TABLE HistorialAsientos ("
        " Registro INTEGER NOT NULL PRIMARY KEY,"
        " EmpresaPropia INTEGER NOT NULL,"
        " NumEjercicio INTEGER NOT NULL,"
        " Asiento INTEGER NOT NULL,"
        " AsientoAnterior INTEGER,"
        " Tipo INTEGER NOT NULL,"
        " Usuario INTEGER,"
        " Sesion INTEGER,"
        " Estacion TEXT,"
        " Momento TEXT NOT NULL,"
        " Antes TEXT,"
        " Despues TEXT,"
        " HashAnterior TEXT NOT NULL,"
        " Hash TEXT NOT NULL)",

        // Indexes for the statements that run per account, per line or per report.
        "CREATE INDEX idxCuentasPadre ON Cuentas (EmpresaPropia, NumEjercicio, CuentaPadre, NumHijo)",
        "CREATE INDEX idxCuentasCodInt ON Cuentas (EmpresaPropia, NumEjercicio, CodInt)",
        "CREATE INDEX idxCuentasConceptosConcepto ON CuentasConceptos (ConceptoDetAsiento)",
        "CREATE INDEX idxAsientosFecha ON Asientos (EmpresaPropia, NumEjercicio, Fecha)",
        "CREATE INDEX idxAsientosEspecial ON Asientos (EmpresaPropia, NumEjercicio, Especial)",
        // Lines by account, holding the amount, so that per-account sums read the index alone.
        "CREATE INDEX idxDetAsientosCuenta ON DetAsientos (EmpresaPropia, NumEjercicio, Cuenta, Asiento, "
        "Importe)",
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
    };
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
        // The administrator may use everything; the operator everything but the users screen.
        filas << QString("INSERT INTO Permisos (Perfil, Modulo, TipoHabilitacion) VALUES (1, %1, 1)").arg(m);
        filas << QString("INSERT INTO Permisos (Perfil, Modulo, TipoHabilitacion) VALUES (2, %1, %2)")
                     .arg(m)
                     .arg(p[0] == "frmUsuarios" ? 0 : 1);
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
        // Tables with a primary key other than a plain INTEGER PRIMARY KEY get an automatic index.
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

} // namespace Esquema
