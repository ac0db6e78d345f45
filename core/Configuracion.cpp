#include "core/Configuracion.h"

#include "core/AppState.h"
#include "core/Archivos.h"
#include "core/Ini.h"
#include "core/Motor.h"
#include "core/Valores.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cmath>

QString CarpetaAjustes(const QString& carpetaPrograma, const QString& carpetaUsuario) {
    const QFileInfo programa(carpetaPrograma);
    if (programa.isDir() && programa.isWritable()) return QDir::cleanPath(programa.absoluteFilePath());
    return QDir::cleanPath(carpetaUsuario);
}

void FijoCarpetas(const QString& carpetaPrograma) {
    AppState& a = App();
    a.programFolder = QDir::cleanPath(carpetaPrograma);
    // One folder for every program of the suite (the window program and the report program share their
    // settings and database), whatever name each runs under.
    a.settingsFolder = CarpetaAjustes(
        carpetaPrograma,
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)).filePath("Partidex"));
    QDir().mkpath(a.settingsFolder);
}

void LeoConfiguracion() {
    AppState& a = App();
    a.globalIniPath = RutaCompleta(LeoLocal("Varios", "GlobalIni", "Global Partidex.ini"));
    // The engine the settings name (the file engine by default) reads the books' address from its
    // own keys.
    a.databasePath = MotorLlamado(LeoLocal("Base de Datos", "Motor", "SQLite"))
                         .almacen.DireccionDeAjustes([](const QString& clave, const QString& omision) {
                             return LeoLocal("Base de Datos", clave, omision);
                         });
    a.workgroupPath = RutaCompleta(LeoLocal("Base de Datos", "SystemWS", "System.mdw"));
    // Only the exact text selects the file engine's upper-case function.
    a.sqlAccess = LeoGlobal("Varios", "SqlAccess", "True") == "True";
    UsoFuncionesAccess(a.sqlAccess);
    LeoRutasMantenimiento();
}

void LeoRutasMantenimiento() {
    AppState& a = App();
    a.backupPath = RutaCompleta(LeoLocal(SeccionMantenimiento, "Base Back Up", "Partidex.BAK"));
    a.auxPath = RutaCompleta(LeoLocal(SeccionMantenimiento, "Base Aux", "Partidex.AUX"));
}

QString ProblemaConfiguracion() {
    const AppState& a = App();
    struct Archivo {
        QString ruta;
        const char* que;
    };
    const Archivo archivos[] = {{a.LocalIni(), "El archivo de configuración"},
                                {a.globalIniPath, "El archivo de configuración global"}};
    for (const Archivo& f : archivos) {
        if (RutaConControles(f.ruta))
            return QString::fromUtf8(f.que) + " " + RutaVisible(f.ruta) +
                   " tiene caracteres de control en su ruta; corrija la clave GlobalIni de [Varios] en " +
                   QDir::toNativeSeparators(a.LocalIni());
        const QString clase = ClaseNoComun(f.ruta);
        if (!clase.isEmpty())
            return QString::fromUtf8(f.que) + " " + QDir::toNativeSeparators(f.ruta) +
                   " no es un archivo sino " + clase +
                   "; reemplácelo por un archivo de texto o corrija su ruta";
    }
    // The books of a program folder that became read-only (a share, a folder without permission)
    // cannot be used there; a first start in the per-user folder would make an empty book instead.
    const QString dejada = QDir(a.programFolder).filePath("Partidex.MDB");
    const QString nueva = QDir(a.settingsFolder).filePath("Partidex.MDB");
    if (!a.programFolder.isEmpty() && QDir::cleanPath(a.programFolder) != QDir::cleanPath(a.settingsFolder) &&
        QFileInfo(dejada).isFile() && QDir::cleanPath(a.databasePath) == QDir::cleanPath(nueva) &&
        !QFileInfo::exists(nueva))
        return "La carpeta del programa " + QDir::toNativeSeparators(a.programFolder) +
               " no permite escribir, y la base de datos " + QDir::toNativeSeparators(dejada) +
               " que contiene no se puede usar allí; no se creó una base de datos nueva en " +
               QDir::toNativeSeparators(a.databasePath) +
               ". Copie la base de datos a una carpeta con permiso de escritura e indique su ubicación en "
               "la clave Base de la sección [Base de Datos] de " +
               QDir::toNativeSeparators(a.LocalIni());
    return QString();
}

QString AvisoConfiguracion() {
    const QString ini = App().LocalIni();
    if (LeoLocal("Base de Datos", "Contrasena", QString()).isEmpty()) return QString();
    if (!(QFile::permissions(ini) & (QFileDevice::ReadGroup | QFileDevice::ReadOther))) return QString();
    return "El archivo de configuración " + QDir::toNativeSeparators(ini) +
           " guarda la contraseña del servidor de base de datos (Contrasena=) y otros usuarios de este "
           "equipo pueden leerlo. Quíteles el permiso de lectura (chmod 600 \"" +
           QDir::toNativeSeparators(ini) + "\") o guarde la contraseña en ~/.pgpass y borre la clave.";
}

bool BasePorDefecto() {
    const AppState& a = App();
    // A control character cannot appear in a settings file, so it tells a missing key apart.
    const QString sinClave = QStringLiteral("\x01");
    if (LeoLocal("Base de Datos", "Base", sinClave) == sinClave) return true;
    // An empty server database is made ready without asking: the administrator made it for the books.
    if (!MotorDeRuta(a.databasePath).almacen.CreaArchivo()) return true;
    const QString ruta = QDir::cleanPath(a.databasePath);
    for (const QString& carpeta : {a.programFolder, a.settingsFolder})
        if (!carpeta.isEmpty() && ruta == QDir::cleanPath(QDir(carpeta).filePath("Partidex.MDB")))
            return true;
    return false;
}

namespace {
// A stored number rounded to an integer; what does not fit an integer counts as none.
int Entero(const QString& texto) {
    const double d = NumeroOCero(QVariant(texto));
    if (!std::isfinite(d) || d > 2147483647.0 || d < -2147483648.0) return 0;
    return int(std::lround(d));
}
} // namespace

void RestauroEjercicio() {
    AppState& a = App();
    a.currentYear = 0;
    a.currentCompany = 0;
    const QString ejercicio = LeoLocal("Varios", "UltNumEjercicio", QString());
    if (ejercicio.isEmpty()) return;
    a.currentYear = Entero(ejercicio);
    a.currentCompany = Entero(LeoLocal("Varios", "UltEmpresaPropia", QString()));
}

bool AdoptoEjercicio(const QVariant& empresa, const QVariant& ejercicio) {
    bool okEmpresa = false, okEjercicio = false;
    const int e = empresa.toInt(&okEmpresa);
    const int n = ejercicio.toInt(&okEjercicio);
    if (!okEmpresa || !okEjercicio) return false;
    AppState& a = App();
    // The entries to list were chosen in the pair before.
    if (e != a.currentCompany || n != a.currentYear) a.entryListQuery = {};
    a.currentCompany = e;
    a.currentYear = n;
    GuardoEjercicio(e, n);
    return true;
}

bool GuardoEjercicio(int empresa, int ejercicio) {
    const bool ok = EscriboLocal("Varios", "UltEmpresaPropia", QString::number(empresa));
    return EscriboLocal("Varios", "UltNumEjercicio", QString::number(ejercicio)) && ok;
}

bool EjercicioActualExiste() {
    const AppState& a = App();
    return ValorCampo("Ejercicios", "EmpresaPropia", "EmpresaPropia=? AND NumEjercicio=?",
                      {a.currentCompany, a.currentYear})
        .has_value();
}

// The settings files and the program folder are known here, with the rest of the settings.
QString RutaCompleta(const QString& valor) {
    if ((valor.size() >= 2 && valor[1] == ':') || valor.startsWith("\\\\") || valor.startsWith('/'))
        return valor;
    const AppState& a = App();
    QString relativa = valor;
    relativa.replace('\\', '/');
    const QString base = a.settingsFolder.isEmpty() ? a.programFolder : a.settingsFolder;
    // Joined by hand: QDir would take a name that starts with a colon for an embedded resource.
    return QDir::cleanPath(base + '/' + relativa);
}

QString LeoLocal(const QString& seccion, const QString& clave, const QString& defecto) {
    return LeoIni(App().LocalIni(), seccion, clave, defecto);
}
bool EscriboLocal(const QString& seccion, const QString& clave, const QString& valor) {
    return EscriboIni(App().LocalIni(), seccion, clave, valor);
}
QString LeoGlobal(const QString& seccion, const QString& clave, const QString& defecto) {
    return LeoIni(App().globalIniPath, seccion, clave, defecto);
}
bool EscriboGlobal(const QString& seccion, const QString& clave, const QString& valor) {
    return EscriboIni(App().globalIniPath, seccion, clave, valor);
}

QString BaseConfigurada() {
    return App().databasePath;
}

QString IniLocal() {
    return App().LocalIni();
}
