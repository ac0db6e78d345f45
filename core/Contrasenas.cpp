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
    QSqlQuery q =
        Consulto(ctx, "SELECT Usuario, Contrasena FROM Usuarios WHERE Activo<>0 AND UCase(NombreCorto)=? "
                 "ORDER BY Usuario",
                 {nombre.toUpper()});
    int usuario = -1;
    QString guardada;
    while (q.next()) {
        // A Null password matches nothing, as a comparison with Null never holds.
        if (q.value(1).isNull()) continue;
        const QString c = q.value(1).toString();
        if (VerificoContrasena(contrasena, c)) {
            usuario = q.value(0).toInt();
            guardada = c;
            break;
        }
    }
    q.finish();
    if (usuario >= 0 && !EsHashContrasena(guardada))
        Ejecuto(ctx, "UPDATE Usuarios SET Contrasena=? WHERE Usuario=?", {HashContrasena(contrasena), usuario});
    return usuario;
}
