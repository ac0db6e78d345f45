#include "core/AppState.h"

#include "core/Contexto.h"
#include "core/Sesiones.h"

#include <QDir>

AppState& App() {
    static AppState estado;
    return estado;
}

QString AppState::LocalIni() const {
    return QDir(settingsFolder.isEmpty() ? programFolder : settingsFolder).filePath("Partidex.ini");
}

void AppState::Reinicio() {
    const QString carpeta = programFolder;
    const QString carpetaIni = settingsFolder;
    *this = AppState();
    programFolder = carpeta;
    settingsFolder = carpetaIni;
}

Contexto ContextoActual() {
    AppState& a = App();
    a.currentSession = SesionVigente(a.currentSession);
    return {a.currentCompany, a.currentYear, a.currentUser, a.currentSession, QString()};
}
