#include "core/Sesiones.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Transaccion.h"
#include "core/Valores.h"

int NuevaSesion() {
    for (int intento = 0; intento < 20; ++intento) {
        Transaccion t;
        if (!t.ok()) continue; // busy beyond the timeout: try again
        const int n = int(NumeroOCero(ValorCampo("Sesiones", "Max(Sesion)", "1=1"))) + 1;
        if (Ejecuto("INSERT INTO Sesiones (Sesion) VALUES (?)", {n}).ok && t.Confirmo()) return n;
    }
    return 0;
}

void PurgoSesiones() {
    Ejecuto("DELETE FROM Sesiones WHERE Sesion < ?", {App().currentSession - 100});
}

void BorroSesion() {
    Ejecuto("DELETE FROM Sesiones WHERE Sesion = ?", {App().currentSession});
}

void RegistroPantalla(int pantalla, int empresa, int ejercicio) {
    AppState& a = App();
    if (!ValorCampo("Sesiones", "Sesion", "Sesion=?", {a.currentSession})) a.currentSession = NuevaSesion();
    Ejecuto("INSERT INTO SesionesPlanes (Sesion, Pantalla, EmpresaPropia, NumEjercicio) VALUES (?, ?, ?, ?)",
            {a.currentSession, pantalla, empresa, ejercicio});
}

bool PantallaRegistrada(int pantalla, int empresa, int ejercicio) {
    return ValorCampo("SesionesPlanes", "Sesion",
                      "Sesion=? AND Pantalla=? AND EmpresaPropia=? AND NumEjercicio=?",
                      {App().currentSession, pantalla, empresa, ejercicio})
        .has_value();
}

void VerificoRegistro(int pantalla, int empresa, int ejercicio) {
    if (!PantallaRegistrada(pantalla, empresa, ejercicio)) RegistroPantalla(pantalla, empresa, ejercicio);
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

QString CaptionPrincipal() {
    const AppState& a = App();
    QString nombre, desc, perfil;
    QSqlQuery q = Consulto("SELECT descPerfil, NombreCorto, descUsuario FROM Perfiles INNER JOIN Usuarios "
                           "ON Perfiles.Perfil = Usuarios.Perfil WHERE Usuario=?",
                           {a.currentUser});
    if (q.next()) {
        perfil = NuloAVacio(q.value(0));
        nombre = NuloAVacio(q.value(1));
        desc = NuloAVacio(q.value(2));
    }
    q.finish();
    QString caption = "Partidex, usuario: " + nombre + " (" + desc + "), Perfil: " + perfil;
    if (a.currentCompany > 0) caption += ", Ejercicio: " + NombreEjercicio(a.currentCompany, a.currentYear);
    return caption;
}
