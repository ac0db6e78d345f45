#include "core/ui/Ventanas.h"

#include "core/CatalogoDatos.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void LlenoCombo(QComboBox* lista, const QList<Opcion>& opciones, QVector<int>& ids) {
    lista->clear();
    ids.clear();
    for (const Opcion& o : opciones) {
        ids.append(o.id);
        lista->addItem(o.texto);
    }
    if (lista->count() > 0) lista->setCurrentIndex(0);
}

int IndiceEnLista(const QVariant& valor, const QVector<int>& ids) {
    bool ok = false;
    const int v = valor.toInt(&ok);
    if (!ok) return -1;
    return int(ids.indexOf(v));
}

void CentroVentana(QWidget* ventana) {
    const QScreen* pantalla = ventana->screen() ? ventana->screen() : QGuiApplication::primaryScreen();
    if (!pantalla) return;
    const QRect r = pantalla->availableGeometry();
    const QSize s = ventana->frameGeometry().size();
    ventana->move(r.left() + (r.width() - s.width()) / 2, r.top() + (r.height() - s.height()) / 2);
}

void UbicoPanel(QWidget* ventana, QWidget* panel) {
    if (!ventana || !panel) return;
    const QWidget* tira = ventana->findChild<QWidget*>("Picture1");
    const QSize v = ventana->size(), p = panel->size();
    const int top = tira ? qMax(tira->height(), (v.height() - p.height()) / 3) : panel->y();
    const int left = qMax(0, (v.width() - p.width()) / 3);
    panel->move(left, top);
}

QString AjustoTexto(const QString& texto, int ancho, const QWidget* ventana) {
    const QFontMetrics fm = ventana ? ventana->fontMetrics() : QFontMetrics(QFont());
    const int limite = ancho - fm.horizontalAdvance("||||");
    const QString fuente = texto + QString(200, ' ');
    QString r;
    for (const QChar c : fuente) {
        if (fm.horizontalAdvance(r) >= limite) break;
        r += c;
    }
    return r;
}
