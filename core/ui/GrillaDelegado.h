#pragma once
// Drawing and editing of the grid's cell types: number and date editors with validators, picture
// masks, editable drop-downs, wrapped text and buttons drawn in the cell.
#include <QStyledItemDelegate>
#include <QValidator>

class Grilla;
class GrillaModelo;

// Accepts what can still become a number of the cell's type; the text is acceptable when it is
// empty or a number within the limits.
class ValidadorNumero : public QValidator {
public:
    ValidadorNumero(const GrillaModelo* modelo, int columna, QObject* padre);
    State validate(QString& texto, int& pos) const override;

private:
    const GrillaModelo* modelo;
    int columna;
};

// Digits and slashes up to dd/mm/yyyy; acceptable when empty or a valid date.
class ValidadorFecha : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& texto, int& pos) const override;
};

class GrillaDelegado : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GrillaDelegado(Grilla* grilla);

    QWidget* createEditor(QWidget* padre, const QStyleOptionViewItem& opcion,
                          const QModelIndex& indice) const override;
    void setEditorData(QWidget* editor, const QModelIndex& indice) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* modelo, const QModelIndex& indice) const override;
    void paint(QPainter* pintor, const QStyleOptionViewItem& opcion,
               const QModelIndex& indice) const override;
    bool editorEvent(QEvent* evento, QAbstractItemModel* modelo, const QStyleOptionViewItem& opcion,
                     const QModelIndex& indice) override;

protected:
    bool eventFilter(QObject* editor, QEvent* evento) override;
    void initStyleOption(QStyleOptionViewItem* opcion, const QModelIndex& indice) const override;

private:
    Grilla* grilla;
    QModelIndex apretado; // button cell under a pressed mouse button
};

// Qt input mask equivalent to a picture mask ("9" digit, "X" any character, others literal), with
// every position optional so that a partly typed code can be left.
QString MascaraQt(const QString& mascara);
