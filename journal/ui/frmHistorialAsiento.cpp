#include "journal/ui/frmHistorialAsiento.h"

#include "core/ui/Grilla.h"
#include "journal/Escritura.h"
#include "journal/Historial.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

frmHistorialAsiento::frmHistorialAsiento(const Contexto& c, int asiento, QWidget* padre) : QDialog(padre) {
    setObjectName("frmHistorialAsiento");
    setWindowTitle(QString("Historial del asiento %1").arg(asiento));
    auto* l = new QVBoxLayout(this);
    sprHistorial = new Grilla(this);
    sprHistorial->setObjectName("sprHistorial");
    sprHistorial->setTitulo("Historial del asiento");
    const char* titulos[] = {"Fecha y hora", "Usuario", "Sesión", "Estación", "Cambio", "Antes", "Después"};
    const int anchos[] = {130, 80, 60, 110, 90, 300, 300};
    sprHistorial->setColumnas(7);
    for (int i = 0; i < 7; ++i) {
        sprHistorial->setEncabezado(i + 1, QString::fromUtf8(titulos[i]));
        sprHistorial->setAnchoColumna(i + 1, anchos[i]);
    }
    // The time is never cut: as wide as a whole date and time in the grid's font.
    sprHistorial->setAnchoColumna(
        1, qMax(anchos[0], sprHistorial->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000 00:00:00")) + 16));
    const QList<CambioAsiento> cambios = HistorialDeAsiento(c, asiento);
    sprHistorial->setFilas(int(cambios.size()));
    for (int i = 0; i < cambios.size(); ++i) {
        const CambioAsiento& x = cambios[i];
        sprHistorial->setFila(i + 1, {x.momento.toLocalTime().toString("dd/MM/yyyy HH:mm:ss"), x.usuario,
                                      QString::number(x.sesion), x.estacion, NombreCambio(x.tipo),
                                      ResumenEstado(x.antes), ResumenEstado(x.despues)});
    }
    sprHistorial->setSoloLectura(true);
    l->addWidget(sprHistorial);
    auto* botones = new QDialogButtonBox(this);
    btnCerrar = botones->addButton("Cerrar", QDialogButtonBox::RejectRole);
    btnCerrar->setObjectName("btnCerrar");
    btnCerrar->setAccessibleName("Cerrar");
    connect(btnCerrar, &QPushButton::clicked, this, &QDialog::reject);
    l->addWidget(botones);
    resize(1100, 320);
}
