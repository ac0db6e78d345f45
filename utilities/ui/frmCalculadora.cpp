#include "utilities/ui/frmCalculadora.h"

#include "core/ui/Controles.h"
#include "core/ui/Mensaje.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {
const char* const Operadores[] = {"+", "-", "X", "/", "="};
}

frmCalculadora::frmCalculadora(QWidget* padre) : QWidget(padre) {
    setObjectName("frmCalculadora");
    setWindowTitle("Calculadora");
    setFocusPolicy(Qt::StrongFocus);

    Readout = new QLabel(calculadora.Display(), this);
    Readout->setObjectName("Readout");
    PreparoValor(Readout, "Visor de la calculadora");
    Readout->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Readout->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Readout->setAutoFillBackground(true);
    QPalette pal = Readout->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    Readout->setPalette(pal);
    QFont f = Readout->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    Readout->setFont(f);
    Readout->setMinimumHeight(34);
    Readout->setTextInteractionFlags(Qt::TextSelectableByMouse);

    for (int d = 0; d <= 9; ++d) {
        Number[d] = Boton(QString("Number%1").arg(d), QString::number(d));
        connect(Number[d], &QPushButton::clicked, this, [this, d] {
            calculadora.Digito(d);
            Muestro();
        });
    }
    for (int i = 0; i < 5; ++i) {
        const QString o = Operadores[i];
        Operator[i] = Boton(QString("Operator%1").arg(i), o);
        connect(Operator[i], &QPushButton::clicked, this, [this, o] {
            const QString aviso = calculadora.Operador(o);
            if (!aviso.isEmpty()) Mensaje(aviso, Icono::Advertencia, Botones::Ok, "Calculator");
            Muestro();
        });
    }
    Operator[4]->setAccessibleName("Igual");
    Decimal = Boton("Decimal", ".");
    Decimal->setAccessibleName("Punto decimal");
    Percent = Boton("Percent", "%");
    CancelEntry = Boton("CancelEntry", "CE");
    Cancel = Boton("Cancel", "C");
    connect(Decimal, &QPushButton::clicked, this, [this] {
        calculadora.Punto();
        Muestro();
    });
    connect(Percent, &QPushButton::clicked, this, [this] {
        calculadora.Porcentaje();
        Muestro();
    });
    connect(CancelEntry, &QPushButton::clicked, this, [this] {
        calculadora.BorroEntrada();
        Muestro();
    });
    connect(Cancel, &QPushButton::clicked, this, [this] {
        calculadora.BorroTodo();
        Muestro();
    });

    auto* g = new QGridLayout(this);
    g->setContentsMargins(8, 8, 8, 8);
    g->setSpacing(5);
    g->addWidget(Readout, 0, 0, 1, 5);
    const int filas[3][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            g->addWidget(Number[filas[r][c]], r + 1, c);
    g->addWidget(Number[0], 4, 0, 1, 2);
    g->addWidget(Decimal, 4, 2);
    g->addWidget(Cancel, 1, 3);
    g->addWidget(CancelEntry, 1, 4);
    g->addWidget(Operator[0], 2, 3);
    g->addWidget(Operator[1], 2, 4);
    g->addWidget(Operator[2], 3, 3);
    g->addWidget(Operator[3], 3, 4);
    g->addWidget(Percent, 4, 3);
    g->addWidget(Operator[4], 4, 4);
    for (int r = 1; r <= 4; ++r)
        g->setRowStretch(r, 1);
    // 3360 x 3405 twips.
    resize(224, 227);
}

QPushButton* frmCalculadora::Boton(const QString& nombre, const QString& texto) {
    auto* b = new QPushButton(texto, this);
    b->setObjectName(nombre);
    b->setAccessibleName(texto);
    // The window keeps the keyboard focus, so that typed keys reach the calculator.
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    b->setMinimumSize(34, 28);
    return b;
}

void frmCalculadora::Muestro() {
    MuestroValor(Readout, calculadora.Display());
}

void frmCalculadora::keyPressEvent(QKeyEvent* e) {
    QPushButton* b = nullptr;
    const QString t = e->text();
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        b = Operator[4];
    else if (e->key() == Qt::Key_Escape)
        b = Cancel;
    else if (e->key() == Qt::Key_Delete || e->key() == Qt::Key_Backspace)
        b = CancelEntry;
    else if (t.size() == 1) {
        const QChar c = t[0];
        if (c >= '0' && c <= '9')
            b = Number[c.unicode() - '0'];
        else if (c == '.' || c == ',')
            b = Decimal;
        else if (c == '%')
            b = Percent;
        else if (c == '+')
            b = Operator[0];
        else if (c == '-')
            b = Operator[1];
        else if (c == '*' || c == 'x' || c == 'X')
            b = Operator[2];
        else if (c == '/')
            b = Operator[3];
        else if (c == '=')
            b = Operator[4];
        else if (c == 'c' || c == 'C')
            b = Cancel;
    }
    if (b)
        b->click();
    else
        QWidget::keyPressEvent(e);
}
