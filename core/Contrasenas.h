#pragma once
// Passwords are kept as a salted Argon2id hash of the upper-cased text, so that letter case is
// ignored as it always was and no password is ever stored in clear.
#include <QList>
#include <QString>

QString HashContrasena(const QString& contrasena);
// True when the typed password matches the stored value: a hash, or the plain text of an older row.
bool VerificoContrasena(const QString& tipeada, const QString& guardada);
bool EsHashContrasena(const QString& guardada);
// Tests hash with the engine's lowest cost to stay quick; never used by the program.
void UsoCostoMinimoContrasenas(bool minimo);

// Looks up an active user by login name and password (both compared without regard to letter case).
// Returns the Usuario number, or -1. An older row holding a plain password is rewritten as a hash.
int BuscoUsuario(const QString& nombre, const QString& contrasena);
// The same on the context's connection (a book other than the one the program opened; on a read-only
// connection an older row is left as it is).
struct Contexto;
int BuscoUsuario(const Contexto& ctx, const QString& nombre, const QString& contrasena);

// The same in two halves, for a caller that works out the slow hash on a thread of its own: the active
// users a login name names, each with what is stored as his password (a Null password opens nothing),
// in the order a password is tried on them; then which of them the password opens, or -1, touching no
// database (any thread may ask); then, once one has opened, his older plain password rewritten as a hash.
struct UsuarioGuardado {
    int usuario = 0;
    QString contrasena;
};
QList<UsuarioGuardado> UsuariosDeNombre(const Contexto& ctx, const QString& nombre);
int UsuarioDeContrasena(const QList<UsuarioGuardado>& usuarios, const QString& contrasena);
void GuardoComoHash(const Contexto& ctx, const QList<UsuarioGuardado>& usuarios, int usuario,
                    const QString& contrasena);
