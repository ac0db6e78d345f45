// partidex-informe: writes a report of a company and fiscal year to PDF, CSV or XLSX without a
// display, from the same code as the report screens, so that the monthly books can be scripted.
#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Configuracion.h"
#include "core/Contrasenas.h"
#include "core/Progreso.h"
#include "core/Dialecto.h"
#include "core/Motor.h"
#include "core/Sesiones.h"
#include "core/Valores.h"
#include "inflation/IndicesAjuste.h"
#include "journal/Escritura.h"
#include "journal/Historial.h"
#include "reports/Informes.h"
#include "reports/ReAjustado.h"
#include "reports/Reporte.h"
#include "reports/exporto/Exporto.h"
#include "core/Permisos.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMap>
#include <cstdio>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <termios.h>
#include <unistd.h>

namespace {

enum Salida { Bien = 0, Falla = 1, ArgumentoMalo = 2 };

// The options every report reads, and those of the commands that are not reports.
const QVector<OpcionInforme>& OpcionesComunes() {
    static const QVector<OpcionInforme> opciones = {
        {"--usuario", "NOMBRE", "usuario de Partidex (obligatorio)"},
        {"--carpeta", "CARPETA", "carpeta de Partidex.ini (por omisión, la del programa)"},
        {"--base", "BASE",
         "archivo de la base de datos, o su dirección postgresql://... en un\n"
         "servidor (por omisión, la que indica Partidex.ini)"},
        {"--empresa", "EMPRESA", "número o nombre de la empresa (por omisión, la última usada)"},
        {"--ejercicio", "NÚMERO", "ejercicio de la empresa (por omisión, el último usado o el más reciente)"},
        {"--desde", "dd/mm/aaaa", "primera fecha (por omisión, el comienzo del ejercicio)"},
        {"--hasta", "dd/mm/aaaa", "última fecha (por omisión, el fin del ejercicio)"}};
    return opciones;
}
const QVector<OpcionInforme>& OpcionesFinales() {
    static const QVector<OpcionInforme> opciones = {
        {"--tabla", "NÚMERO", "indices: tabla de índices donde se guarda la serie"},
        {"--reemplazo", "", "indices: reemplaza los meses ya guardados"},
        {"--verifico", "", "historial: verifica la cadena del historial en lugar de escribir un informe"},
        {"--csv-separador", "SEP",
         "CSV: separador de campos, ; (punto-y-coma, con coma decimal) o , (coma,\n"
         "con punto decimal); por omisión, el que corresponde al idioma del sistema"}};
    return opciones;
}

// Every option once, the first declaration of a name giving its help: the common ones, each report's,
// then the commands'.
QVector<OpcionInforme> TodasLasOpciones() {
    QVector<OpcionInforme> todas = OpcionesComunes();
    auto agrego = [&todas](const QVector<OpcionInforme>& opciones) {
        for (const OpcionInforme& o : opciones) {
            bool esta = false;
            for (const OpcionInforme& t : todas) esta = esta || t.nombre == o.nombre;
            if (!esta) todas << o;
        }
    };
    for (const DescriptorInforme& d : Informes()) agrego(d.opciones);
    agrego(OpcionesFinales());
    return todas;
}

// A help entry: the name in a column of `ancho`, its text beside it, continuation lines under the text.
QString Entrada(const QString& nombre, int ancho, const QString& texto) {
    const QStringList lineas = texto.split('\n');
    QString s = "  " + nombre;
    s += nombre.size() < ancho ? QString(ancho - nombre.size(), ' ') : QString("  ");
    s += lineas[0] + '\n';
    for (int i = 1; i < lineas.size(); ++i) s += QString(ancho + 2, ' ') + lineas[i] + '\n';
    return s;
}

QString Ayuda() {
    QString s = "Uso: partidex-informe [opciones] INFORME ARCHIVO\n"
                "\n"
                "Escribe un informe de una empresa y un ejercicio en ARCHIVO, como PDF, CSV o XLSX según su\n"
                "extensión (.pdf, .csv, .xlsx), sin abrir ventanas.\n"
                "\n"
                "Informes:\n";
    for (const DescriptorInforme& d : Informes()) s += Entrada(d.clave, 10, d.ayuda);
    s += "\n"
         "Verificación del historial: partidex-informe [opciones] historial --verifico\n"
         "  recorre la cadena del historial de asientos e informa el primer registro alterado o eliminado;\n"
         "  estado de salida 0 si está completo, 1 si está roto\n"
         "\n"
         "Importación de índices: partidex-informe [opciones] indices ARCHIVO.csv --tabla NÚMERO\n"
         "  lee una serie publicada (mes aaaa-mm o fecha, y valor; separada por comas o punto y coma) y\n"
         "  la guarda en la tabla; los meses ya guardados se reemplazan sólo con --reemplazo\n"
         "\n"
         "Usuario: cada pedido se hace como un usuario de Partidex, que se indica con --usuario; su\n"
         "  contraseña se toma de la variable de entorno PARTIDEX_CONTRASENA o, si no está definida y la\n"
         "  entrada es una terminal, se pide sin mostrarla. Los informes y la importación obedecen al perfil\n"
         "  del usuario, y el historial registra quién los pidió. En un servidor cuya dirección no nombra\n"
         "  un usuario, el programa entra al servidor con el login propio de ese usuario.\n"
         "\n"
         "Opciones:\n";
    for (const OpcionInforme& o : TodasLasOpciones())
        s += Entrada(o.valor.isEmpty() ? o.nombre : o.nombre + ' ' + o.valor, 24, o.ayuda);
    s += Entrada("-h, --ayuda, --help", 24, "muestra esta ayuda");
    s += "\n"
         "Estado de salida: 0 si el archivo se escribió, 2 ante un argumento incorrecto (usuario o\n"
         "contraseña incorrectos, pedido que el perfil no permite, empresa, ejercicio, cuenta, tabla de\n"
         "índices o fecha inexistente, fecha fuera del ejercicio, --desde posterior a --hasta, archivo que\n"
         "no se puede escribir), 1 ante otro error.\n";
    return s;
}

void Escribo(FILE* destino, const QString& texto) {
    std::fputs(texto.toLocal8Bit().constData(), destino);
    std::fputc('\n', destino);
    std::fflush(destino);
}

// Makes the report's table and writes it: 0, or the exit status with the reason on the error output.
// `antes` runs once the table is made or has failed, before anything is said or written (the user's
// identity, checked meanwhile); when it does not give 0, its status is the command's.
int EscriboInforme(const DescriptorInforme& d, const PedidoInforme& pedido, const QString& archivo,
                   QChar separador, const std::function<int()>& antes) {
    TablaReporte tabla;
    QString error;
    ArmadoInforme armado = ArmadoInforme::Falla;
    try {
        armado = d.armo(pedido, &tabla, &error);
    } catch (const std::exception& e) {
        // A sum beyond what money can hold: the report is not written, and the reason is said.
        if (const int estado = antes(); estado != Bien) return estado;
        Escribo(stderr, QString::fromUtf8(e.what()));
        return Falla;
    }
    if (const int estado = antes(); estado != Bien) return estado;
    switch (armado) {
    case ArmadoInforme::Bien:
        break;
    case ArmadoInforme::ArgumentoMalo:
        Escribo(stderr, error);
        return ArgumentoMalo;
    case ArmadoInforme::Falla:
        Escribo(stderr, "No se pudo armar el informe, " + error);
        return Falla;
    }
    if (!ExportoTabla(tabla, archivo, &error, separador)) {
        Escribo(stderr, error);
        return ArgumentoMalo;
    }
    return Bien;
}

struct Pedido {
    QString informe;
    QString archivo;
    QMap<QString, QString> opciones;
};

// Options take their value as the next argument or after "=". False with the reason when an option
// is unknown, lacks its value, or the positional arguments are not two.
bool LeoArgumentos(const QStringList& args, Pedido* p, bool* ayuda, QString* error) {
    QStringList conValor, sinValor;
    for (const OpcionInforme& o : TodasLasOpciones()) (o.valor.isEmpty() ? sinValor : conValor) << o.nombre;
    QStringList posicionales;
    for (int i = 1; i < args.size(); ++i) {
        const QString a = args[i];
        if (a == "-h" || a == "--help" || a == "--ayuda") {
            *ayuda = true;
            return true;
        }
        if (!a.startsWith("--")) {
            posicionales << a;
            continue;
        }
        const int igual = a.indexOf('=');
        const QString nombre = igual < 0 ? a : a.left(igual);
        if (sinValor.contains(nombre) && igual < 0) {
            p->opciones[nombre] = "sí";
            continue;
        }
        if (!conValor.contains(nombre)) {
            *error = "Opción desconocida: " + nombre;
            return false;
        }
        if (igual >= 0)
            p->opciones[nombre] = a.mid(igual + 1);
        else if (i + 1 < args.size())
            p->opciones[nombre] = args[++i];
        else {
            *error = "Falta el valor de la opción " + nombre;
            return false;
        }
    }
    // The check of the history writes nothing.
    if (posicionales == QStringList{"historial"} && p->opciones.contains("--verifico")) {
        p->informe = posicionales[0];
        return true;
    }
    if (posicionales.size() != 2) {
        *error = "Indique el informe y el archivo de salida.";
        return false;
    }
    p->informe = posicionales[0];
    p->archivo = posicionales[1];
    return true;
}

// The company by number or by name (letter case ignored); 0 when there is none such.
int BuscoEmpresa(const QString& texto) {
    bool numero = false;
    const int n = texto.toInt(&numero);
    QSqlQuery q =
        numero ? Consulto("SELECT EmpresaPropia FROM EmpresasPropia WHERE EmpresaPropia=?", {n})
               : Consulto("SELECT EmpresaPropia FROM EmpresasPropia WHERE " +
                              Dialecto::Mayusculas("descEmpresaPropia") + "=" + Dialecto::Mayusculas("?"),
                          {texto.trimmed()});
    return q.next() ? q.value(0).toInt() : 0;
}

bool ExisteEjercicio(int empresa, int ejercicio) {
    QSqlQuery q = Consulto("SELECT NumEjercicio FROM Ejercicios WHERE EmpresaPropia=? AND NumEjercicio=?",
                           {empresa, ejercicio});
    return q.next();
}

int UltimoEjercicio(int empresa) {
    QSqlQuery q = Consulto("SELECT MAX(NumEjercicio) FROM Ejercicios WHERE EmpresaPropia=?", {empresa});
    return q.next() ? q.value(0).toInt() : 0;
}

// The password of the command: from PARTIDEX_CONTRASENA, or typed on the terminal without echo.
// False when there is neither.
bool LeoContrasena(QString* contrasena) {
    if (qEnvironmentVariableIsSet("PARTIDEX_CONTRASENA")) {
        *contrasena = qEnvironmentVariable("PARTIDEX_CONTRASENA");
        return true;
    }
    if (!isatty(STDIN_FILENO)) return false;
    std::fputs("Contraseña: ", stderr);
    std::fflush(stderr);
    termios antes{};
    const bool terminal = tcgetattr(STDIN_FILENO, &antes) == 0;
    if (terminal) {
        termios callado = antes;
        callado.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &callado);
    }
    char linea[512];
    const bool leida = std::fgets(linea, sizeof linea, stdin) != nullptr;
    if (terminal) tcsetattr(STDIN_FILENO, TCSAFLUSH, &antes);
    std::fputc('\n', stderr);
    if (!leida) return false;
    *contrasena = QString::fromLocal8Bit(linea).remove(u'\n').remove(u'\r');
    return true;
}

// The module whose grant the request needs, and what it does there.
std::pair<QString, Accion> PermisoDePedido(const Pedido& p) {
    if (p.informe == "indices") return {Permisos::ImportacionIndices, Accion::Escribir};
    if (p.informe == "mayores") return {QStringLiteral("frmRptMayores"), Accion::Leer};
    if (p.informe == "diario") return {QStringLiteral("frmRptDiario"), Accion::Leer};
    if (p.informe == "historial") return {QStringLiteral("frmAsientos"), Accion::Leer};
    return {QStringLiteral("frmRptBalance"), Accion::Leer};
}

// The user named by --usuario and his password, read before anything opens the books: on a server
// that checks each user's own login, they are the server's credentials too. Bien, or the exit status
// after saying why.
int LeoIdentidad(const Pedido& p, QString* nombre, QString* contrasena) {
    *nombre = p.opciones.value("--usuario").trimmed();
    if (nombre->isEmpty()) {
        Escribo(stderr, "Indique el usuario de Partidex con --usuario NOMBRE.");
        return ArgumentoMalo;
    }
    if (!LeoContrasena(contrasena)) {
        Escribo(stderr, "Falta la contraseña del usuario " + *nombre +
                            ": defina PARTIDEX_CONTRASENA o ejecute el programa desde una terminal.");
        return ArgumentoMalo;
    }
    return Bien;
}

// Who runs the command, once the books are open: the user and password read by LeoIdentidad, whose
// profile must allow the request; the request goes to the books' history in his name.
// The password's hash is slow on purpose (more than a tenth of a second): it is worked out on a thread
// of its own while the report is read, and nothing leaves the command (no file, no record in the
// history, no word about the books) before it has opened. A password that does not open stops the
// report at its next step.
class Identidad {
public:
    Identidad(const Pedido& p, const QString& nombre, const QString& contrasena)
        : pedido(p), contrasena(contrasena), usuarios(UsuariosDeNombre(Contexto(), nombre)) {
        // Several users of one name: which one runs the report is known only once the password opens.
        if (usuarios.size() == 1) quien.usuario = usuarios.front().usuario;
        verificacion = std::async(std::launch::async, [this] {
            const int usuario = UsuarioDeContrasena(usuarios, this->contrasena);
            if (usuario < 0) progreso.Cancelo();
            return usuario;
        });
        if (usuarios.size() != 1) Espero();
    }
    // The user's context while the password is checked: the one his name names, with the report's
    // progress, which a password that does not open stops.
    Contexto Supuesto() {
        Contexto c = quien;
        c.progreso = &progreso;
        return c;
    }
    // Bien once the password has opened and the profile allows the request, the request recorded in
    // the history; otherwise the exit status after saying why. Asked again, the same answer.
    int Espero() {
        if (estado < 0) estado = Identifico();
        return estado;
    }
    // Refused already (a name that names no single user is checked at once).
    bool Rechazada() const { return estado > 0; }

private:
    int Identifico() {
        quien.usuario = verificacion.get();
        if (quien.usuario < 0) {
            quien.usuario = 0;
            Escribo(stderr, "Lo siento, Identificación o contraseña incorrecta");
            return ArgumentoMalo;
        }
        GuardoComoHash(Contexto(), usuarios, quien.usuario, contrasena);
        const auto [modulo, accion] = PermisoDePedido(pedido);
        QString error;
        if (!Autorizo(quien, modulo, accion, &error)) {
            Escribo(stderr, "No se puede hacer el pedido: " + error + ".");
            return ArgumentoMalo;
        }
        // The check of the history writes nothing, not even its own record.
        if (pedido.opciones.contains("--verifico")) return Bien;
        const QString que = "partidex-informe " + pedido.informe +
                            (pedido.archivo.isEmpty() ? QString() : " " + QDir::toNativeSeparators(pedido.archivo));
        error = RegistroEvento(quien, int(TipoCambio::Informe), que);
        if (!error.isEmpty()) {
            Escribo(stderr, "No se pudo registrar el pedido en el historial, " + error);
            return Falla;
        }
        return Bien;
    }

    const Pedido& pedido;
    const QString contrasena;
    const QList<UsuarioGuardado> usuarios;
    Contexto quien;
    Progreso progreso;
    int estado = -1; // not known yet
    // Last, so that it is waited for before what its thread uses is gone.
    std::future<int> verificacion;
};

int Ejecuto(const QStringList& args) {
    Pedido p;
    bool ayuda = false;
    QString error;
    if (!LeoArgumentos(args, &p, &ayuda, &error)) {
        Escribo(stderr, error + "\nUse --ayuda para ver las opciones.");
        return ArgumentoMalo;
    }
    if (ayuda) {
        std::fputs(Ayuda().toLocal8Bit().constData(), stdout);
        return Bien;
    }
    auto falla = [](const QString& texto, int estado) {
        Escribo(stderr, texto);
        return estado;
    };
    const bool indices = p.informe == "indices";
    const bool verifico = p.informe == "historial" && p.opciones.contains("--verifico");
    const DescriptorInforme* d = Informe(p.informe);
    if (!indices && !verifico && !d) {
        QStringList claves;
        for (const DescriptorInforme& i : Informes()) claves << i.clave;
        const QString lista = claves.mid(0, claves.size() - 1).join(", ") + " o " + claves.last();
        return falla("Informe desconocido: " + p.informe + " (" + lista + ").", ArgumentoMalo);
    }
    if (!indices && !verifico && FormatoDeRuta(p.archivo) == FormatoExporto::Ninguno)
        return falla("El archivo de salida debe terminar en .pdf, .csv o .xlsx: " + p.archivo, ArgumentoMalo);
    QChar separador = SeparadorCsvSistema();
    if (p.opciones.contains("--csv-separador")) {
        static const QMap<QString, QChar> separadores = {
            {";", u';'}, {"punto-y-coma", u';'}, {",", u','}, {"coma", u','}};
        const QString s = p.opciones.value("--csv-separador");
        if (!separadores.contains(s))
            return falla("Separador de CSV desconocido: " + s + " (; o punto-y-coma, , o coma).", ArgumentoMalo);
        separador = separadores.value(s);
    }

    // Settings and database as the program finds them.
    AppState& a = App();
    const QString carpeta = p.opciones.value("--carpeta", QCoreApplication::applicationDirPath());
    if (!QFileInfo(carpeta).isDir()) return falla("No existe la carpeta " + carpeta, ArgumentoMalo);
    FijoCarpetas(QDir(carpeta).absolutePath());
    LeoConfiguracion();
    if (p.opciones.contains("--base")) {
        // A file is named from the working folder; a server's address stands as written.
        const QString base = p.opciones.value("--base");
        a.databasePath = MotorDeRuta(base).almacen.CreaArchivo() ? QFileInfo(base).absoluteFilePath() : base;
    }
    if (MotorDeRuta(a.databasePath).almacen.Falta(a.databasePath))
        return falla("No existe la base de datos " + a.databasePath, ArgumentoMalo);
    QString nombre, contrasena;
    if (const int estado = LeoIdentidad(p, &nombre, &contrasena); estado != Bien) return estado;
    // A server that knows each user by his own login lets the command in as that user.
    if (AccesoDelUsuario(a.databasePath)) {
        switch (AccedoAlServidor(a.databasePath, nombre, contrasena, &error)) {
        case AccesoServidor::Admitido:
            break;
        case AccesoServidor::Rechazado:
            return falla("Lo siento, Identificación o contraseña incorrecta", ArgumentoMalo);
        case AccesoServidor::SinServidor:
            return falla("No se pudo conectar con el servidor de base de datos, " + error, Falla);
        }
    }
    if (!AbroBase(a.databasePath, &error)) return falla(error, Falla);
    struct Cierre {
        ~Cierre() { CierroBase(); }
    } cierre;
    Identidad identidad(p, nombre, contrasena);
    if (identidad.Rechazada()) return identidad.Espero();
    // What comes from here on speaks of the books: said only to the user the password opened.
    auto fallaDelUsuario = [&](const QString& texto, int estado) {
        if (const int e = identidad.Espero(); e != Bien) return e;
        Escribo(stderr, texto);
        return estado;
    };
    if (indices || verifico) {
        if (const int estado = identidad.Espero(); estado != Bien) return estado;
    }
    const Contexto quien = identidad.Supuesto();
    auto antes = [&] { return identidad.Espero(); };

    if (indices) {
        bool ok = false;
        const int numero = p.opciones.value("--tabla").toInt(&ok);
        if (!ok) return fallaDelUsuario("Indique la tabla de índices con --tabla NÚMERO.", ArgumentoMalo);
        if (!ExisteTablaAjuste(Contexto(), numero))
            return fallaDelUsuario(QString("No existe la tabla de índices %1.").arg(numero), ArgumentoMalo);
        if (!QFileInfo(p.archivo).isFile())
            return fallaDelUsuario("No existe el archivo " + p.archivo, ArgumentoMalo);
        int importados = 0;
        if (!ImportoIndices(quien, numero, p.archivo, p.opciones.contains("--reemplazo"), &importados, &error))
            return fallaDelUsuario(error, Falla);
        std::printf("%d valores importados en la tabla %d\n", importados, numero);
        return Bien;
    }

    if (verifico) {
        const VerificacionHistorial v = VerificoHistorial();
        Escribo(v.entero ? stdout : stderr, v.mensaje);
        return v.entero ? Bien : Falla;
    }

    // The company and year last used, unless the command names others; the report takes them as its
    // context.
    RestauroEjercicio();
    const int ultimaEmpresa = a.currentCompany;
    int empresa = a.currentCompany, ejercicio = a.currentYear;
    if (p.opciones.contains("--empresa")) {
        empresa = BuscoEmpresa(p.opciones.value("--empresa"));
        if (empresa == 0)
            return fallaDelUsuario("No existe la empresa " + p.opciones.value("--empresa"), ArgumentoMalo);
    } else if (empresa == 0 || BuscoEmpresa(QString::number(empresa)) == 0) {
        return fallaDelUsuario("Indique la empresa con --empresa.", ArgumentoMalo);
    }
    if (!d->delEjercicio) {
        // The period is when the changes were made, whatever the year of the entries.
        QDate periodo[2] = {QDate(1900, 1, 1), QDate::currentDate()};
        const char* opciones[2] = {"--desde", "--hasta"};
        for (int i = 0; i < 2; ++i) {
            if (!p.opciones.contains(opciones[i])) continue;
            periodo[i] = TextoAFecha(p.opciones.value(opciones[i]));
            if (!periodo[i].isValid())
                return fallaDelUsuario(QString("La fecha de %1 no es válida: ").arg(opciones[i] + 2) +
                                           p.opciones.value(opciones[i]),
                                       ArgumentoMalo);
        }
        if (periodo[0] > periodo[1])
            return fallaDelUsuario("La fecha --desde es posterior a --hasta.", ArgumentoMalo);
        return EscriboInforme(*d, {quien.En(empresa, 0), periodo[0], periodo[1], p.opciones}, p.archivo,
                              separador, antes);
    }
    if (p.opciones.contains("--ejercicio")) {
        bool ok = false;
        ejercicio = p.opciones.value("--ejercicio").toInt(&ok);
        if (!ok || !ExisteEjercicio(empresa, ejercicio))
            return fallaDelUsuario(QString("No existe el ejercicio %1 de la empresa %2")
                                       .arg(p.opciones.value("--ejercicio"))
                                       .arg(empresa),
                                   ArgumentoMalo);
    } else if (empresa != ultimaEmpresa || !ExisteEjercicio(empresa, ejercicio)) {
        ejercicio = UltimoEjercicio(empresa);
        if (ejercicio == 0)
            return fallaDelUsuario(QString("La empresa %1 no tiene ejercicios.").arg(empresa), ArgumentoMalo);
    }

    Contexto ctx = quien.En(empresa, ejercicio);
    QDate comienzo, fin;
    FechasEjercicio(ctx, &comienzo, &fin);
    QDate desde, hasta;
    if (!VerificoPeriodo(ctx, p.opciones.value("--desde", FechaATexto(comienzo)),
                         p.opciones.value("--hasta", FechaATexto(fin)), &desde, &hasta, &error))
        return fallaDelUsuario(error, ArgumentoMalo);
    // The screens let a reversed range select nothing; a script that asks for one has a mistake.
    if (desde > hasta)
        return fallaDelUsuario(QString("La fecha --desde (%1) es posterior a --hasta (%2).")
                                   .arg(FechaATexto(desde), FechaATexto(hasta)),
                               ArgumentoMalo);

    // The level maxima of a report are kept per session, as the screens keep them.
    ctx.sesion = NuevaSesion();
    // A server's driver streams a reading only on a connection nothing else uses meanwhile; on the
    // shared one it would take every row of a long report at once (about 1 GB for the journal of a
    // 7,000,000-line year). The report is read on a connection of its own there, as the screens read
    // theirs.
    const QString propia = QStringLiteral("informe");
    Contexto lectura = ctx;
    if (LecturaLargaAparte()) {
        if (!AbroConexion(propia, DireccionAbierta(), &error)) {
            BorroSesion(ctx.sesion);
            return fallaDelUsuario("No se pudo abrir la base de datos: " + error, Falla);
        }
        lectura.conexion = propia;
    }
    const int estado = EscriboInforme(*d, {lectura, desde, hasta, p.opciones}, p.archivo, separador, antes);
    CierroConexion(propia);
    BorroSesion(ctx.sesion);
    return estado;
}

// Only a PDF needs fonts and a painter; it is drawn on the offscreen platform, never on a display.
bool PidePdf(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (FormatoDeRuta(QString::fromLocal8Bit(argv[i])) == FormatoExporto::Pdf) return true;
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // What a script reads on the error output is this program's own messages, not Qt's notices.
    qInstallMessageHandler([](QtMsgType tipo, const QMessageLogContext&, const QString& texto) {
        if (tipo == QtCriticalMsg || tipo == QtFatalMsg) Escribo(stderr, texto);
    });
    std::unique_ptr<QCoreApplication> app;
    if (PidePdf(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName("partidex-informe");
    try {
        return Ejecuto(QCoreApplication::arguments());
    } catch (const std::exception& e) {
        Escribo(stderr, QString::fromUtf8(e.what()));
        return 1;
    }
}
