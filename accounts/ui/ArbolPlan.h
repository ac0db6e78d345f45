#pragma once
// The account tree: one node per account under the root node "Cuentas" (key "k0"); a node's key is
// "k" followed by its account number. Nodes are found by key through an index, so selecting,
// adding or removing one costs no walk of the tree. Accounts are moved by dragging one node onto
// another; the drop is handed to whoever owns the tree.
#include "accounts/CodigosJerarquicos.h"

#include <QHash>
#include <QTreeWidget>

class ArbolPlan : public QTreeWidget {
    Q_OBJECT
public:
    explicit ArbolPlan(QWidget* padre = nullptr);

    // Loads the chart of (company, year) in one pass, computes its level maxima and selects the account
    // (a negative number selects the root). False when the chart could not be read.
    bool CargoArbol(int empresa, int ejercicio, MaximosNivel& maximos, int seleccion);

    static QString Clave(int cuenta) { return "k" + QString::number(cuenta); }
    // Account of a node (0 for the root), -1 for no node.
    static int CuentaDe(const QTreeWidgetItem* nodo);
    QTreeWidgetItem* Nodo(int cuenta) const; // nullptr when there is no such node
    QTreeWidgetItem* Raiz() const { return Nodo(0); }
    int CantidadNodos() const { return nodos.size(); }
    int CuentaSeleccionada() const { return CuentaDe(currentItem()); }

    // Selects and shows the node of the account; false (nothing changes) when there is no such node.
    bool Selecciono(int cuenta);
    // Adds a node as the last child of the account's node; nullptr when the parent has no node.
    QTreeWidgetItem* AgregoNodo(int cuenta, int padre, const QString& texto);
    // Adds a node just before another node, under the same parent.
    QTreeWidgetItem* InsertoAntes(int cuenta, const QString& texto, QTreeWidgetItem* destino);
    void QuitoNodo(int cuenta);

    // Drag state: the node pressed, whether a drag runs, the node highlighted as the drop target.
    QTreeWidgetItem* nodoArrastrado() const { return dragNode; }
    bool arrastrando() const { return dragging; }
    // The drop path: what a drop of `dragNode` on `destino` does (also called by tests).
    void SueltoEn(QTreeWidgetItem* destino);
    void IniciaArrastre(QTreeWidgetItem* nodo); // as a mouse press on the node does
    void TerminoArrastre();                     // drag state cleared, highlight removed

signals:
    // A node was dropped on another (neither itself nor the root): accounts `arrastrada` and `destino`.
    void SueltaCuenta(int arrastrada, int destino);
    void TeclaSuprimir();
    void TeclaEnter();
    // A click (not a drag, not on the expand sign) on the node that was already selected.
    void ClicNodoActual();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Resalto(QTreeWidgetItem* nodo);
    QTreeWidgetItem* NuevoNodo(int cuenta, const QString& texto);

    QHash<int, QTreeWidgetItem*> nodos;
    QTreeWidgetItem* dragNode = nullptr;
    QTreeWidgetItem* resaltado = nullptr;
    bool dragging = false;
    QPoint inicioArrastre;
    QTreeWidgetItem* pulsadoActual = nullptr; // the selected node, pressed again
};
