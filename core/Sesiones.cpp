#include "core/Sesiones.h"

#include "core/Basedatos.h"
#include "core/Transaccion.h"
#include "core/Valores.h"

#include <QHash>

int NuevaSesion() {
    for (int intento = 0; intento < 20; ++intento) {
        Transaccion t;
        if (!t.ok()) continue; // busy beyond the timeout: try again
        const int n = int(NumeroOCero(ValorCampo("Sesiones", "Max(Sesion)", "1=1"))) + 1;
        if (Ejecuto("INSERT INTO Sesiones (Sesion) VALUES (?)", {n}).ok && t.Confirmo()) return n;
    }
    return 0;
}

void PurgoSesiones(int sesion) {
    Ejecuto("DELETE FROM Sesiones WHERE Sesion < ?", {sesion - 100});
}

void BorroSesion(int sesion) {
    Ejecuto("DELETE FROM Sesiones WHERE Sesion = ?", {sesion});
}

namespace {
// Sessions of this program replaced after another instance purged their rows: old number, new one.
QHash<int, int> reemplazos;
} // namespace

int SesionVigente(int sesion) {
    for (int paso = 0; paso < 1000 && reemplazos.contains(sesion); ++paso)
        sesion = reemplazos.value(sesion);
    return sesion;
}

void RegistroPantalla(const Contexto& ctx, int pantalla) {
    int sesion = SesionVigente(ctx.sesion);
    if (!ValorCampo(ctx, "Sesiones", "Sesion", "Sesion=?", {sesion})) {
        const int nueva = NuevaSesion();
        if (nueva != sesion) reemplazos.insert(sesion, nueva);
        sesion = nueva;
    }
    Ejecuto(ctx, "INSERT INTO SesionesPlanes (Sesion, Pantalla, EmpresaPropia, NumEjercicio) VALUES (?, ?, ?, ?)",
            {sesion, pantalla, ctx.empresa, ctx.ejercicio});
}

bool PantallaRegistrada(const Contexto& ctx, int pantalla) {
    return ValorCampo(ctx, "SesionesPlanes", "Sesion",
                      "Sesion=? AND Pantalla=? AND EmpresaPropia=? AND NumEjercicio=?",
                      {SesionVigente(ctx.sesion), pantalla, ctx.empresa, ctx.ejercicio})
        .has_value();
}

void VerificoRegistro(const Contexto& ctx, int pantalla) {
    if (!PantallaRegistrada(ctx, pantalla)) RegistroPantalla(ctx, pantalla);
}

void EliminoSesionesPlanes(int empresa, int ejercicio) {
    Ejecuto("DELETE FROM SesionesPlanes WHERE EmpresaPropia=? AND NumEjercicio=?", {empresa, ejercicio});
}

QString NombreEjercicio(int empresa, int ejercicio) {
    const QString nombre =
        NuloAVacio(ValorCampoTabla("EmpresasPropia", "descEmpresaPropia", "EmpresaPropia=?", {empresa}));
    const QVariantList clave{empresa, ejercicio};
    auto fecha = [&](const char* campo) {
        const Valor v = ValorCampo("Ejercicios", campo, "EmpresaPropia=? AND NumEjercicio=?", clave);
        const QDate d = v ? FechaDeBase(*v) : QDate();
        return d.isValid() ? d.toString("dd/MM/yy") : QString();
    };
    return nombre + ", " + fecha("ComienzoEjercicio") + "-" + fecha("FinEjercicio");
}

QString CaptionPrincipal(const Contexto& ctx) {
    QString nombre, desc, perfil;
    QSqlQuery q = Consulto("SELECT descPerfil, NombreCorto, descUsuario FROM Perfiles INNER JOIN Usuarios "
                           "ON Perfiles.Perfil = Usuarios.Perfil WHERE Usuario=?",
                           {ctx.usuario});
    if (q.next()) {
        perfil = NuloAVacio(q.value(0));
        nombre = NuloAVacio(q.value(1));
        desc = NuloAVacio(q.value(2));
    }
    q.finish();
    QString caption = "Partidex, usuario: " + nombre + " (" + desc + "), Perfil: " + perfil;
    if (ctx.empresa > 0) caption += ", Ejercicio: " + NombreEjercicio(ctx.empresa, ctx.ejercicio);
    return caption;
}
