#include "utilities/ui/frmAbout.h"

#include "core/AppState.h"
#include "core/Basedatos.h"
#include "core/Motor.h"
#include "core/Soporte.h"
#include "core/ui/Pantallas.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QSysInfo>
#include <QVBoxLayout>

#ifndef PARTIDEX_VERSION
#define PARTIDEX_VERSION "0.0.0"
#endif

namespace {
const QString Titulo = QStringLiteral("Partidex");

QString Tamano(qint64 bytes) {
    return QLocale(QLocale::Spanish, QLocale::Argentina).toString(bytes) + " bytes";
}
} // namespace

QString frmAbout::TextoVersion() {
    // Always three parts, whatever the build states.
    QStringList partes = QString(PARTIDEX_VERSION).split('.');
    while (partes.size() < 3)
        partes << "0";
    return "Version " + partes.mid(0, 3).join('.');
}

QStringList frmAbout::InformacionSistema() {
    const QString ruta = App().databasePath;
    QStringList l;
    l << Titulo + " " + TextoVersion().mid(8);
    l << "Qt " + QString(qVersion());
    l << MotorActual().almacen.Version();
    l << "Sistema operativo: " + QSysInfo::prettyProductName();
    l << "Núcleo: " + QSysInfo::kernelType() + " " + QSysInfo::kernelVersion() + " (" +
             QSysInfo::currentCpuArchitecture() + ")";
    const AlmacenMotor& almacen = MotorDeRuta(ruta).almacen;
    l << "Base de datos: " + (ruta.isEmpty() ? QString("(ninguna)") : almacen.Ubicacion(ruta));
    if (!ruta.isEmpty()) {
        using Estado = AlmacenMotor::Ocupacion::Estado;
        const AlmacenMotor::Ocupacion o = almacen.Ocupa(ruta, Conexion());
        if (o.estado == Estado::NoInformada) {
            l << "Tamaño de la base: el servidor no lo informa";
        } else if (o.estado == Estado::Conocida) {
            QString tamano = "Tamaño de la base: " + Tamano(o.bytes);
            // Changes not yet written into the database itself (a file's write-ahead log).
            if (o.pendientes > 0) tamano += " (más " + Tamano(o.pendientes) + " en el registro de escritura)";
            l << tamano;
        } else {
            l << "Tamaño de la base: el archivo no existe";
        }
    }
    return l;
}

frmAbout::frmAbout(QWidget* padre) : QDialog(padre) {
    setObjectName("frmAbout");
    setWindowTitle("About " + Titulo);
    setModal(true);

    picIcon = new QLabel(this);
    picIcon->setObjectName("picIcon");
    QIcon icono = QApplication::windowIcon();
    if (icono.isNull()) icono = style()->standardIcon(QStyle::SP_ComputerIcon);
    picIcon->setPixmap(icono.pixmap(48, 48));
    picIcon->setAccessibleName(Titulo);
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto etiqueta = [this](const char* nombre, const QString& texto) {
        auto* l = new QLabel(texto, this);
        l->setObjectName(nombre);
        l->setAccessibleName(texto);
        l->setWordWrap(true);
        return l;
    };
    lblTitle = etiqueta("lblTitle", Titulo);
    QFont f = lblTitle->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    lblTitle->setFont(f);
    lblVersion = etiqueta("lblVersion", TextoVersion());
    lblDescription = etiqueta("lblDescription", "Contabilidad por partida doble para empresas y estudios "
                                                "contables, con ajuste por inflación.");
    lblDisclaimer = etiqueta("lblDisclaimer", "Consultas: " + CorreoSoporte);
    lblDisclaimer->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setAccessibleName("OK");
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton("&System Info...", this);
    cmdSysInfo->setObjectName("cmdSysInfo");
    cmdSysInfo->setAccessibleName("System Info...");
    cmdSysInfo->setAutoDefault(false);

    auto* textos = new QVBoxLayout;
    textos->setSpacing(6);
    textos->addWidget(lblTitle);
    textos->addWidget(lblVersion);
    textos->addSpacing(6);
    textos->addWidget(lblDescription);
    textos->addStretch(1);

    auto* arriba = new QHBoxLayout;
    arriba->setSpacing(16);
    arriba->addWidget(picIcon, 0, Qt::AlignTop);
    arriba->addLayout(textos, 1);

    auto* linea = new QFrame(this);
    linea->setFrameShape(QFrame::HLine);
    linea->setFrameShadow(QFrame::Sunken);

    auto* botones = new QVBoxLayout;
    botones->addWidget(cmdOK);
    botones->addWidget(cmdSysInfo);
    auto* abajo = new QHBoxLayout;
    abajo->addWidget(lblDisclaimer, 1, Qt::AlignBottom);
    abajo->addLayout(botones);

    auto* capa = new QVBoxLayout(this);
    capa->setContentsMargins(16, 16, 16, 12);
    capa->addLayout(arriba);
    capa->addWidget(linea);
    capa->addLayout(abajo);
    setMinimumWidth(420);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::MuestroInformacionSistema);
}

void frmAbout::done(int r) {
    QDialog::done(r);
    MuestroFondo();
}

void frmAbout::MuestroInformacionSistema() {
    QDialog d(this);
    d.setObjectName("frmInformacionSistema");
    d.setWindowTitle("Información del sistema");
    auto* txt = new QPlainTextEdit(InformacionSistema().join('\n'), &d);
    txt->setObjectName("txtInformacion");
    txt->setAccessibleName("Información del sistema");
    txt->setReadOnly(true);
    txt->setMinimumSize(520, 170);
    auto* bb = new QDialogButtonBox(QDialogButtonBox::Ok, &d);
    bb->button(QDialogButtonBox::Ok)->setObjectName("cmdOK");
    bb->button(QDialogButtonBox::Ok)->setAccessibleName("OK");
    connect(bb, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    auto* capa = new QVBoxLayout(&d);
    capa->addWidget(txt);
    capa->addWidget(bb);
    d.exec();
}
