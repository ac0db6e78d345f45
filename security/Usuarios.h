#pragma once
// Users who may log in, and their passwords (always stored as a hash, see core/Contrasenas.h).
#include "core/Basedatos.h"
#include "core/CatalogoDatos.h"

#include <QSqlQuery>
#include <QString>
#include <QVariant>

struct DatosUsuario {
    QString nombreCorto; // login name; stored in upper case
    QString descripcion; // full name
    QVariant perfil;     // profile number; Null when none is chosen
    QString contrasena;  // typed password; empty keeps the stored one (ignored for a new user)
    bool activo = true;
};

struct ResultadoUsuario {
    bool ok = true;
    int usuario = 0; // number of the user saved
    QString error;   // engine error text when not ok
};

// The profile that manages users; some active user must always hold it.
constexpr int PerfilAdministrador = 1;

// Stores a user. A new one (usuario -1) takes the highest number plus one and, as password, its own
// login name. An existing one keeps its password unless a new one is given.
// A change that would leave no active user of the administrator profile is refused whole (nobody could
// manage users afterwards), and so is any change by a user whose profile may not write users.
ResultadoUsuario GraboUsuario(const Contexto& ctx, int usuario, const DatosUsuario& datos);

enum class CambioClave { Hecho, ActualIncorrecta, Falla };
// Changes a user's password after checking the current one (letter case ignored; a plain password
// of an older row is accepted too). On Falla, *error holds the engine's text.
CambioClave CambioContrasena(int usuario, const QString& actual, const QString& nueva,
                             QString* error = nullptr);

// The users in alphabetical order of their names: the active ones, the inactive ones or both (neither
// chosen lists them all, as both do).
FilasLeidas LeoUsuarios(const Contexto& ctx, bool activos, bool inactivos);
std::optional<FilaLeida> LeoUsuario(const Contexto& ctx, int usuario);
// The profiles a user may have, in alphabetical order.
QList<Opcion> OpcionesPerfiles(const Contexto& ctx);
// Refused, as GraboUsuario, when it would leave no active administrator or the profile may not delete users.
Resultado BorroUsuario(const Contexto& ctx, int usuario);
// Login name of a user (empty when there is no such user).
QString NombreCortoUsuario(int usuario);
