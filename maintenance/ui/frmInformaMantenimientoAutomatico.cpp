#include "maintenance/ui/frmInformaMantenimientoAutomatico.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

frmInformaMantenimientoAutomatico::frmInformaMantenimientoAutomatico(QWidget* padre)
    : QWidget(padre, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
    setObjectName("frmInformaMantenimientoAutomatico");
    setWindowTitle("Partidex");

    auto* icono = new QLabel(this);
    icono->setObjectName("picIcono");
    icono->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    icono->setAccessibleName("Aviso");
    lblAviso = new QLabel(QString::fromUtf8("Mantenimiento automático de base de datos, aguarde..."), this);
    lblAviso->setObjectName("lblAviso");
    lblAviso->setAccessibleName(lblAviso->text());

    auto* capa = new QHBoxLayout(this);
    capa->setContentsMargins(20, 20, 20, 20);
    capa->setSpacing(12);
    capa->addWidget(icono);
    capa->addWidget(lblAviso, 1);
}
