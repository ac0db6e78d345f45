#include "security/Usuarios.h"

#include "core/Basedatos.h"
#include "core/Contexto.h"
#include "core/Contrasenas.h"
#include "core/Dialecto.h"
#include "core/Motor.h"
#include "core/MotorAlmacen.h"
#include "core/Transaccion.h"
#include "core/Valores.h"
#include "core/Permisos.h"

namespace {

qint64 AdministradoresActivos() {
    return qint64(
        NumeroOCero(ValorCampo("Usuarios", "COUNT(*)", "Perfil=? AND Activo<>0", {PerfilAdministrador})));
}

// Inside the change's transaction: false, with the reason, when the change took away the last active
// administrator (a book that had none already is left to be mended).
bool QuedaAdministrador(qint64 antes, Resultado& r) {
    if (!r.ok || antes == 0 || AdministradoresActivos() > 0) return true;
    r.ok = false;
    r.error = QString::fromUtf8("debe quedar al menos un usuario activo con el perfil Administrador");
    return false;
}

// The user's login on a server that enforces the permissions, changed with his row, inside its
// transaction (nothing on a file).
void Cuenta(const AlmacenMotor::Cuenta& c, Resultado& r) {
    if (!r.ok) return;
    QSqlDatabase db = Conexion();
    QString error;
    if (MotorActual().almacen.GraboCuenta(db, c, &error)) return;
    r.ok = false;
    r.error = error;
}

} // namespace

ResultadoUsuario GraboUsuario(const Contexto& ctx, int usuario, const DatosUsuario& d) {
    ResultadoUsuario res;
    if (!Autorizo(ctx, QStringLiteral("frmUsuarios"), Accion::Escribir, &res.error)) {
        res.ok = false;
        return res;
    }
    const QVariant perfil = d.perfil.isValid() ? d.perfil : QVariant(QMetaType::fromType<int>());
    const int activo = d.activo ? -1 : 0;
    Transaccion t;
    Resultado r;
    if (!t.ok()) {
        r.ok = false;
        r.error = t.error();
    }
    const qint64 administradores = r.ok ? AdministradoresActivos() : 0;
    if (r.ok && usuario < 0) {
        res.usuario = int(NumeroOCero(ValorCampo("Usuarios", "Max(Usuario)", "1=1"))) + 1;
        r = Ejecuto("INSERT INTO Usuarios (Usuario, NombreCorto, descUsuario, Perfil, Contrasena, Activo) "
                    "VALUES (?, ?, ?, ?, ?, ?)",
                    {res.usuario, d.nombreCorto.toUpper(), d.descripcion, perfil,
                     HashContrasena(d.nombreCorto), activo});
        Cuenta({QString(), d.nombreCorto, perfil.toInt(), d.nombreCorto, d.activo}, r);
    } else if (r.ok) {
        res.usuario = usuario;
        const QString anterior = NombreCortoUsuario(usuario);
        if (d.contrasena.isEmpty())
            r = Ejecuto(
                "UPDATE Usuarios SET NombreCorto=?, descUsuario=?, Perfil=?, Activo=? WHERE Usuario=?",
                {d.nombreCorto.toUpper(), d.descripcion, perfil, activo, usuario});
        else
            r = Ejecuto("UPDATE Usuarios SET NombreCorto=?, descUsuario=?, Perfil=?, Contrasena=?, Activo=? "
                        "WHERE Usuario=?",
                        {d.nombreCorto.toUpper(), d.descripcion, perfil, HashContrasena(d.contrasena), activo,
                         usuario});
        if (r.ok && r.filas == 0) {
            r.ok = false;
            r.error = QStringLiteral("el usuario ya no existe");
        }
        if (QuedaAdministrador(administradores, r))
            Cuenta({anterior, d.nombreCorto, perfil.toInt(), d.contrasena, d.activo}, r);
    }
    if (r.ok && !t.Confirmo()) {
        r.ok = false;
        r.error = t.error();
    }
    res.ok = r.ok;
    res.error = r.error;
    return res;
}

CambioClave CambioContrasena(int usuario, const QString& actual, const QString& nueva, QString* error) {
    QSqlQuery q = Consulto("SELECT Contrasena FROM Usuarios WHERE Usuario=?", {usuario});
    if (!q.isActive()) {
        if (error) *error = UltimoError();
        return CambioClave::Falla;
    }
    if (!q.next()) {
        q.finish();
        return CambioClave::ActualIncorrecta;
    }
    const QVariant guardada = q.value(0);
    q.finish();
    // A row without a password matches nothing typed, not even an empty text.
    if (guardada.isNull() || !VerificoContrasena(actual, guardada.toString()))
        return CambioClave::ActualIncorrecta;
    // The stored value (never Null here) is part of the condition: a change made meanwhile by another
    // session wins.
    // The row and the server's login together, or neither.
    Transaccion t;
    Resultado r = t.ok() ? Ejecuto("UPDATE Usuarios SET Contrasena=? WHERE Usuario=? AND Contrasena=?",
                                   {HashContrasena(nueva), usuario, guardada})
                         : Resultado{false, 0, t.error()};
    if (r.ok && r.filas == 1) {
        QSqlDatabase db = Conexion();
        r.ok = MotorActual().almacen.ClaveDeCuenta(db, NombreCortoUsuario(usuario), nueva, &r.error);
    }
    if (r.ok && r.filas == 1 && !t.Confirmo()) {
        r.ok = false;
        r.error = t.error();
    }
    if (!r.ok) {
        if (error) *error = r.error;
        return CambioClave::Falla;
    }
    return r.filas == 1 ? CambioClave::Hecho : CambioClave::ActualIncorrecta;
}

FilasLeidas LeoUsuarios(const Contexto& ctx, bool activos, bool inactivos) {
    QString filtro;
    if (activos && !inactivos)
        filtro = "WHERE Activo<>0 ";
    else if (inactivos && !activos)
        filtro = "WHERE Activo=0 ";
    return LeoFilas(
        Consulto(ctx, "SELECT * FROM Usuarios " + filtro + "ORDER BY " + Dialecto::Alfabetico("descUsuario")));
}

std::optional<FilaLeida> LeoUsuario(const Contexto& ctx, int usuario) {
    return LeoFila(Consulto(ctx, "SELECT * FROM Usuarios WHERE Usuario=?", {usuario}));
}

QList<Opcion> OpcionesPerfiles(const Contexto& ctx) {
    return OpcionesCatalogo(ctx, "Perfiles", "descPerfil");
}

Resultado BorroUsuario(const Contexto& ctx, int usuario) {
    QString error;
    if (!Autorizo(ctx, QStringLiteral("frmUsuarios"), Accion::Eliminar, &error)) return {false, 0, error};
    Transaccion t;
    if (!t.ok()) return {false, 0, t.error()};
    const qint64 administradores = AdministradoresActivos();
    const QString nombre = NombreCortoUsuario(usuario);
    Resultado r = Ejecuto("DELETE FROM Usuarios WHERE Usuario=?", {usuario});
    if (QuedaAdministrador(administradores, r) && r.ok && r.filas > 0) {
        QSqlDatabase db = Conexion();
        if (!MotorActual().almacen.BorroCuenta(db, nombre, &r.error)) r.ok = false;
    }
    if (r.ok && !t.Confirmo()) {
        r.ok = false;
        r.error = t.error();
    }
    return r;
}

QString NombreCortoUsuario(int usuario) {
    return NuloAVacio(ValorCampo("Usuarios", "NombreCorto", "Usuario=?", {usuario}));
}
