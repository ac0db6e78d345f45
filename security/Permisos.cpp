#include "security/Permisos.h"

#include "core/Contexto.h"
#include "core/Valores.h"

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
