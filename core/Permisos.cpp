#include "core/Permisos.h"

#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/Valores.h"

#include <QHash>
#include <QSqlQuery>

QString ModuloDePantalla(const QString& pantalla) {
    // Screens whose window name is not the one their module row carries.
    static const QHash<QString, QString> otros = {
        {QStringLiteral("frmCierreEjercicios"), QStringLiteral("frmCierreEjercicio")},
        {QStringLiteral("frmAperturaEjercicios"), QStringLiteral("frmAperturaEjercicio")},
        {QStringLiteral("frmRptDiarioGeneral"), QStringLiteral("frmRptDiario")},
        {QStringLiteral("frmRubrosEstados"), QStringLiteral("frmCuentas")},
    };
    const QString modulo = otros.value(pantalla, pantalla);
    return ValorCampo("Modulos", "Modulo", "nomModulo=?", {modulo}) ? modulo : QString();
}

QString DescripcionModulo(const QString& modulo) {
    const QString d = NuloAVacio(ValorCampo("Modulos", "descModulo", "nomModulo=?", {modulo}));
    return d.isEmpty() ? modulo : d;
}

int NivelPermisoUsuario(int usuario, const QString& ventana) {
    const Valor v =
        ValorCampo("(Permisos INNER JOIN Modulos ON Permisos.Modulo = Modulos.Modulo) "
                   "INNER JOIN Usuarios ON Permisos.Perfil = Usuarios.Perfil",
                   "TipoHabilitacion", "Usuarios.Usuario=? AND Modulos.nomModulo=?", {usuario, ventana});
    // The level is a byte.
    return int(NumeroOCero(v)) & 0xFF;
}

int NivelPermiso(const Contexto& ctx, const QString& ventana) {
    return NivelPermisoUsuario(ctx.usuario, ventana);
}

bool NivelPermite(int nivel, Accion accion) {
    switch (nivel) {
    case Permisos::Inhabilitado:
        return false;
    case Permisos::SoloLectura:
        return accion == Accion::Leer;
    case Permisos::SinEliminaciones:
        return accion != Accion::Eliminar;
    default:
        return true;
    }
}

bool Autorizo(const Contexto& ctx, const QString& modulo, Accion accion, QString* error) {
    if (ctx.sistema) return true;
    int nivel = 0;
    QString descripcion = modulo;
    if (ctx.usuario > 0) {
        QSqlQuery q = Consulto(ctx,
                               "SELECT p.TipoHabilitacion, m.descModulo FROM Usuarios AS u INNER JOIN Permisos AS p "
                               "ON p.Perfil = u.Perfil INNER JOIN Modulos AS m ON m.Modulo = p.Modulo "
                               "WHERE u.Usuario=? AND u.Activo<>0 AND m.nomModulo=?",
                               {ctx.usuario, modulo});
        if (q.next()) {
            nivel = int(NumeroOCero(q.value(0))) & 0xFF;
            if (!q.value(1).toString().isEmpty()) descripcion = q.value(1).toString();
        }
    }
    if (NivelPermite(nivel, accion)) return true;
    if (error) {
        const char* que = accion == Accion::Leer ? "consultar" : accion == Accion::Escribir ? "grabar" : "eliminar";
        *error = ctx.usuario > 0
                     ? QString::fromUtf8("su perfil no le permite %1 en «%2»").arg(QLatin1String(que), descripcion)
                     : QString::fromUtf8("no hay un usuario identificado para %1 en «%2»")
                           .arg(QLatin1String(que), descripcion);
    }
    return false;
}
