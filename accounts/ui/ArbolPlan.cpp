#include "accounts/ui/ArbolPlan.h"

#include "accounts/ArbolCuentas.h"
#include "core/ui/Cursor.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <utility>

namespace {
const char* TipoArrastre = "application/x-partidex-cuenta";
constexpr int RolCuenta = Qt::UserRole;

// Drag picture: the node's text beside a document icon.
QPixmap ImagenArrastre(const QWidget* w, const QString& texto) {
    const QPixmap icono = w->style()->standardIcon(QStyle::SP_FileIcon).pixmap(16, 16);
    const QFontMetrics fm(w->font());
    QPixmap imagen(20 + fm.horizontalAdvance(texto) + 4, qMax(18, fm.height() + 2));
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.drawPixmap(0, (imagen.height() - 16) / 2, icono);
    p.setPen(QColor(0, 0, 128));
    p.drawText(QRect(20, 0, imagen.width() - 20, imagen.height()), Qt::AlignVCenter, texto);
    return imagen;
}
} // namespace

ArbolPlan::ArbolPlan(QWidget* padre) : QTreeWidget(padre) {
    setColumnCount(1);
    header()->hide();
    setUniformRowHeights(true);
    setAcceptDrops(true);
    setDragEnabled(false); // drags start here, on our own terms
    setDropIndicatorShown(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    QPalette pal = palette();
    pal.setColor(QPalette::Text, QColor(0, 0, 128));
    setPalette(pal);
}

int ArbolPlan::CuentaDe(const QTreeWidgetItem* nodo) {
    return nodo ? nodo->data(0, RolCuenta).toInt() : -1;
}

QTreeWidgetItem* ArbolPlan::Nodo(int cuenta) const {
    return nodos.value(cuenta, nullptr);
}

QTreeWidgetItem* ArbolPlan::NuevoNodo(int cuenta, const QString& texto) {
    auto* n = new QTreeWidgetItem(QStringList{texto});
    n->setData(0, RolCuenta, cuenta);
    n->setToolTip(0, QString());
    nodos.insert(cuenta, n);
    return n;
}

bool ArbolPlan::CargoArbol(int empresa, int ejercicio, MaximosNivel& maximos, int seleccion) {
    Espera espera;
    TerminoArrastre();
    dragNode = nullptr;
    clear();
    nodos.clear();
    // The whole tree is built detached and handed to the view at once: one insertion for the view.
    QTreeWidgetItem* raiz = NuevoNodo(0, "Cuentas");
    const bool ok = ::CargoArbol(empresa, ejercicio, maximos, [this](const NodoCuenta& n) {
        QTreeWidgetItem* padre = nodos.value(n.padre, nullptr);
        if (padre) padre->addChild(NuevoNodo(n.cuenta, n.texto));
    });
    addTopLevelItem(raiz);
    raiz->setExpanded(true);
    QTreeWidgetItem* elegido = seleccion > -1 ? Nodo(seleccion) : raiz;
    if (!elegido) elegido = raiz;
    setCurrentItem(elegido);
    elegido->setExpanded(true);
    scrollToItem(elegido);
    return ok;
}

bool ArbolPlan::Selecciono(int cuenta) {
    QTreeWidgetItem* n = Nodo(cuenta);
    if (!n) return false;
    setCurrentItem(n);
    scrollToItem(n);
    return true;
}

QTreeWidgetItem* ArbolPlan::AgregoNodo(int cuenta, int padre, const QString& texto) {
    QTreeWidgetItem* p = Nodo(padre);
    if (!p || nodos.contains(cuenta)) return nullptr;
    QTreeWidgetItem* n = NuevoNodo(cuenta, texto);
    p->addChild(n);
    return n;
}

QTreeWidgetItem* ArbolPlan::InsertoAntes(int cuenta, const QString& texto, QTreeWidgetItem* destino) {
    if (!destino || !destino->parent() || nodos.contains(cuenta)) return nullptr;
    QTreeWidgetItem* p = destino->parent();
    QTreeWidgetItem* n = NuevoNodo(cuenta, texto);
    p->insertChild(p->indexOfChild(destino), n);
    return n;
}

void ArbolPlan::QuitoNodo(int cuenta) {
    QTreeWidgetItem* n = Nodo(cuenta);
    if (!n || cuenta == 0) return;
    // The node's descendants leave the index with it.
    QList<QTreeWidgetItem*> pendientes{n};
    while (!pendientes.isEmpty()) {
        QTreeWidgetItem* x = pendientes.takeLast();
        nodos.remove(CuentaDe(x));
        if (x == dragNode) dragNode = nullptr;
        if (x == resaltado) resaltado = nullptr;
        for (int i = 0; i < x->childCount(); ++i)
            pendientes << x->child(i);
    }
    delete n;
}

void ArbolPlan::Resalto(QTreeWidgetItem* nodo) {
    if (resaltado == nodo) return;
    if (resaltado) resaltado->setBackground(0, QBrush());
    resaltado = nodo;
    if (resaltado) resaltado->setBackground(0, palette().color(QPalette::Highlight).lighter(160));
}

void ArbolPlan::IniciaArrastre(QTreeWidgetItem* nodo) {
    dragNode = nodo;
    dragging = false;
}

void ArbolPlan::TerminoArrastre() {
    dragging = false;
    Resalto(nullptr);
}

void ArbolPlan::SueltoEn(QTreeWidgetItem* destino) {
    QTreeWidgetItem* arrastrado = dragNode;
    TerminoArrastre();
    if (!arrastrado || !destino || destino == arrastrado || CuentaDe(destino) == 0) return;
    emit SueltaCuenta(CuentaDe(arrastrado), CuentaDe(destino));
}

void ArbolPlan::mousePressEvent(QMouseEvent* e) {
    const QPoint punto = e->position().toPoint();
    QTreeWidgetItem* bajo = itemAt(punto);
    if (e->button() == Qt::LeftButton) {
        IniciaArrastre(bajo);
        inicioArrastre = punto;
    }
    // Left of the node's text lies the expand sign: a press there expands or collapses, no more.
    const bool enSigno = bajo && punto.x() < visualItemRect(bajo).left();
    pulsadoActual = bajo && bajo == currentItem() && !enSigno ? bajo : nullptr;
    QTreeWidget::mousePressEvent(e);
}

void ArbolPlan::mouseReleaseEvent(QMouseEvent* e) {
    QTreeWidgetItem* pulsado = std::exchange(pulsadoActual, nullptr);
    QTreeWidget::mouseReleaseEvent(e);
    if (pulsado && !dragging && pulsado == currentItem() && itemAt(e->position().toPoint()) == pulsado)
        emit ClicNodoActual();
}

void ArbolPlan::mouseMoveEvent(QMouseEvent* e) {
    const QPoint punto = e->position().toPoint();
    if (!(e->buttons() & Qt::LeftButton) || dragging || !dragNode || CuentaDe(dragNode) == 0 ||
        (punto - inicioArrastre).manhattanLength() < QApplication::startDragDistance()) {
        QTreeWidget::mouseMoveEvent(e);
        return;
    }
    // The drag starts while the pointer is still over the pressed node (or one of the same text).
    QTreeWidgetItem* bajo = itemAt(punto);
    if (!bajo || bajo->text(0) != dragNode->text(0)) return;
    dragging = true;
    auto* datos = new QMimeData;
    datos->setData(TipoArrastre, QByteArray::number(CuentaDe(dragNode)));
    auto* drag = new QDrag(this);
    drag->setMimeData(datos);
    drag->setPixmap(ImagenArrastre(this, dragNode->text(0)));
    drag->exec(Qt::MoveAction);
    pulsadoActual = nullptr;
    TerminoArrastre();
}

void ArbolPlan::dragEnterEvent(QDragEnterEvent* e) {
    if (e->source() == this && e->mimeData()->hasFormat(TipoArrastre))
        e->acceptProposedAction();
    else
        e->ignore();
}

void ArbolPlan::dragMoveEvent(QDragMoveEvent* e) {
    if (e->source() != this) {
        e->ignore();
        return;
    }
    Resalto(itemAt(e->position().toPoint()));
    e->acceptProposedAction();
}

void ArbolPlan::dragLeaveEvent(QDragLeaveEvent* e) {
    Resalto(nullptr);
    e->accept();
}

void ArbolPlan::dropEvent(QDropEvent* e) {
    if (e->source() != this) {
        e->ignore();
        return;
    }
    // The tree itself never moves nodes: the owner stores the move and rearranges the nodes.
    e->setDropAction(Qt::IgnoreAction);
    e->accept();
    SueltoEn(resaltado ? resaltado : itemAt(e->position().toPoint()));
}

void ArbolPlan::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete) {
        emit TeclaSuprimir();
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        emit TeclaEnter();
        return;
    }
    QTreeWidget::keyPressEvent(e);
}
