#include "core/Contrasenas.h"

#include "core/Basedatos.h"
#include "core/Contexto.h"

#include <sodium.h>

namespace {
bool costoMinimo = false;

bool IniciaSodio() {
    static const bool ok = sodium_init() >= 0;
    return ok;
}
} // namespace

void UsoCostoMinimoContrasenas(bool minimo) {
    costoMinimo = minimo;
}

bool EsHashContrasena(const QString& guardada) {
    return guardada.startsWith("$argon2id$");
}

QString HashContrasena(const QString& contrasena) {
    if (!IniciaSodio()) return QString();
    const QByteArray texto = contrasena.toUpper().toUtf8();
    char salida[crypto_pwhash_STRBYTES];
    const auto ops = costoMinimo ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE;
    const auto mem = costoMinimo ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE;
    if (crypto_pwhash_str_alg(salida, texto.constData(), texto.size(), ops, mem,
                              crypto_pwhash_ALG_ARGON2ID13) != 0)
        return QString();
    return QString::fromLatin1(salida);
}

bool VerificoContrasena(const QString& tipeada, const QString& guardada) {
    if (EsHashContrasena(guardada)) {
        if (!IniciaSodio()) return false;
        const QByteArray h = guardada.toLatin1();
        const QByteArray t = tipeada.toUpper().toUtf8();
        return crypto_pwhash_str_verify(h.constData(), t.constData(), t.size()) == 0;
    }
    return guardada.toUpper() == tipeada.toUpper();
}

int BuscoUsuario(const QString& nombre, const QString& contrasena) {
    return BuscoUsuario(Contexto(), nombre, contrasena);
}

int BuscoUsuario(const Contexto& ctx, const QString& nombre, const QString& contrasena) {
    const QList<UsuarioGuardado> usuarios = UsuariosDeNombre(ctx, nombre);
    const int usuario = UsuarioDeContrasena(usuarios, contrasena);
    GuardoComoHash(ctx, usuarios, usuario, contrasena);
    return usuario;
}

QList<UsuarioGuardado> UsuariosDeNombre(const Contexto& ctx, const QString& nombre) {
    // A Null password matches nothing, as a comparison with Null never holds.
    QSqlQuery q = Consulto(ctx,
                           "SELECT Usuario, Contrasena FROM Usuarios WHERE Activo<>0 AND UCase(NombreCorto)=? "
                           "AND Contrasena IS NOT NULL ORDER BY Usuario",
                           {nombre.toUpper()});
    QList<UsuarioGuardado> usuarios;
    while (q.next()) usuarios.append({q.value(0).toInt(), q.value(1).toString()});
    return usuarios;
}

int UsuarioDeContrasena(const QList<UsuarioGuardado>& usuarios, const QString& contrasena) {
    for (const UsuarioGuardado& u : usuarios)
        if (VerificoContrasena(contrasena, u.contrasena)) return u.usuario;
    return -1;
}

void GuardoComoHash(const Contexto& ctx, const QList<UsuarioGuardado>& usuarios, int usuario,
                    const QString& contrasena) {
    for (const UsuarioGuardado& u : usuarios)
        if (u.usuario == usuario && !EsHashContrasena(u.contrasena)) {
            Ejecuto(ctx, "UPDATE Usuarios SET Contrasena=? WHERE Usuario=?", {HashContrasena(contrasena), usuario});
            return;
        }
}
