// The calculator (its keys and what it shows, alone and through its window) and the about box.
#include "core/AppState.h"
#include "core/Motor.h"
#include "core/Soporte.h"
#include "core/ui/Ayuda.h"
#include "core/ui/Mensaje.h"
#include "core/ui/Pantallas.h"
#include "tests/support/ui/EntornoPantallas.h"
#include "utilities/Calculadora.h"
#include "utilities/ui/RegistroUtilidades.h"
#include "utilities/ui/frmAbout.h"
#include "utilities/ui/frmCalculadora.h"

#include <QAccessible>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

namespace {

// Key sequences are written as tokens: a number is typed digit by digit; ".", "+", "-", "X", "/", "=",
// "%", "CE" and "C" are the keys of those captions.
struct Paso {
    QString display;
    QStringList avisos;
};

Paso CorroEnCalculadora(const QString& secuencia) {
    Calculadora c;
    Paso p;
    for (const QString& t : secuencia.split(' ', Qt::SkipEmptyParts)) {
        if (t == ".")
            c.Punto();
        else if (t == "%")
            c.Porcentaje();
        else if (t == "CE")
            c.BorroEntrada();
        else if (t == "C")
            c.BorroTodo();
        else if (t[0].isDigit())
            for (QChar d : t)
                c.Digito(d.digitValue());
        else {
            const QString aviso = c.Operador(t);
            if (!aviso.isEmpty()) p.avisos << aviso;
        }
    }
    p.display = c.Display();
    return p;
}

QPushButton* BotonDe(frmCalculadora& f, const QString& t) {
    if (t == ".") return f.findChild<QPushButton*>("Decimal");
    if (t == "%") return f.findChild<QPushButton*>("Percent");
    if (t == "CE") return f.findChild<QPushButton*>("CancelEntry");
    if (t == "C") return f.findChild<QPushButton*>("Cancel");
    if (t[0].isDigit()) return f.findChild<QPushButton*>("Number" + t);
    const int i = QStringList{"+", "-", "X", "/", "="}.indexOf(t);
    return f.findChild<QPushButton*>(QString("Operator%1").arg(i));
}

} // namespace

class PruebaUtilidades : public QObject {
    Q_OBJECT
private slots:
    void init() {
        MensajePrueba::Limpio();
        MensajePrueba::Automatico(true);
    }

    void calculadora_data() {
        QTest::addColumn<QString>("secuencia");
        QTest::addColumn<QString>("display");
        QTest::addColumn<bool>("divisionPorCero");
        QTest::newRow("al abrir") << ""
                                  << "0." << false;
        QTest::newRow("entero tipeado") << "1 2"
                                        << "12." << false;
        QTest::newRow("decimales tipeados") << "1 . 2 5"
                                            << "1.25" << false;
        QTest::newRow("punto primero") << ". 5"
                                       << "0.5" << false;
        QTest::newRow("cero a la izquierda") << "0 5"
                                             << "05." << false;
        QTest::newRow("suma") << "7 + 5 ="
                              << "12" << false;
        QTest::newRow("igual repetido") << "7 + 5 = ="
                                        << "12" << false;
        QTest::newRow("negativo al comenzar") << "- 3 X 2 ="
                                              << "-6" << false;
        QTest::newRow("negativo de varias cifras") << "- 3 4"
                                                   << "-34." << false;
        QTest::newRow("negativo decimal") << "- . 5"
                                          << "-0.5" << false;
        QTest::newRow("decimal por entero") << "1 . 5 X 2 ="
                                            << "3" << false;
        QTest::newRow("resta") << "9 - 4 ="
                               << "5" << false;
        QTest::newRow("resta a negativo") << "4 - 9 ="
                                          << "-5" << false;
        QTest::newRow("segundo operando negativo") << "5 X - 3 ="
                                                   << "-15" << false;
        QTest::newRow("cadena") << "2 X 3 + 4 ="
                                << "10" << false;
        QTest::newRow("resultado intermedio") << "2 X 3 +"
                                              << "6" << false;
        QTest::newRow("división") << "1 / 3 ="
                                  << "0.333333333333333" << false;
        QTest::newRow("división por cero") << "8 / 0 ="
                                           << "8" << true;
        QTest::newRow("suma decimal exacta") << "0 . 1 + 0 . 2 ="
                                             << "0.3" << false;
        QTest::newRow("porcentaje") << "5 0 %"
                                    << "0.5" << false;
        QTest::newRow("porcentaje de un número") << "2 0 0 X 1 5 % ="
                                                 << "30" << false;
        QTest::newRow("CE borra la entrada") << "1 2 + 3 CE 4 ="
                                             << "16" << false;
        QTest::newRow("CE muestra 0.") << "1 2 CE"
                                       << "0." << false;
        QTest::newRow("C borra todo") << "7 + 5 = C"
                                      << "0." << false;
        QTest::newRow("después de C") << "7 + 5 = C 2 + 2 ="
                                      << "4" << false;
        QTest::newRow("sigue después de porcentaje y cifra") << "2 + 3 % 4 = 1 + 1 ="
                                                             << "2" << false;
        QTest::newRow("números grandes") << "9 9 9 9 9 9 9 9 X 9 9 9 9 9 9 9 9 ="
                                         << "9.9999998E+15" << false;
        QTest::newRow("exponente leído de nuevo") << "9 9 9 9 9 9 9 9 X 9 9 9 9 9 9 9 9 = / 2 ="
                                                  << "4.9999999E+15" << false;
    }
    void calculadora() {
        QFETCH(QString, secuencia);
        QFETCH(QString, display);
        QFETCH(bool, divisionPorCero);
        const Paso p = CorroEnCalculadora(secuencia);
        QCOMPARE(p.display, display);
        QCOMPARE(p.avisos, divisionPorCero ? QStringList{"Can't divide by zero"} : QStringList{});
    }

    void ventanaCalculadoraConBotones_data() { calculadora_data(); }
    void ventanaCalculadoraConBotones() {
        QFETCH(QString, secuencia);
        QFETCH(QString, display);
        QFETCH(bool, divisionPorCero);
        frmCalculadora f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        if (divisionPorCero) MensajePrueba::setNextAnswer(Respuesta::Ok);
        for (const QString& t : secuencia.split(' ', Qt::SkipEmptyParts)) {
            const QStringList teclas = t[0].isDigit() ? t.split("", Qt::SkipEmptyParts) : QStringList{t};
            for (const QString& k : teclas) {
                QPushButton* b = BotonDe(f, k);
                QVERIFY2(b, qPrintable(k));
                QTest::mouseClick(b, Qt::LeftButton);
            }
        }
        QCOMPARE(f.findChild<QLabel*>("Readout")->text(), display);
        // A screen reader reads the value itself; what the control is goes in the description.
        QAccessibleInterface* visor = QAccessible::queryAccessibleInterface(f.Readout);
        QVERIFY(visor);
        QCOMPARE(visor->text(QAccessible::Name), display);
        QCOMPARE(visor->text(QAccessible::Description), QString("Visor de la calculadora"));
        if (divisionPorCero) {
            QCOMPARE(MensajePrueba::Textos(), QStringList{"Can't divide by zero"});
            QCOMPARE(MensajePrueba::Mostrados().first().titulo, QString("Calculator"));
            QCOMPARE(MensajePrueba::Mostrados().first().icono, Icono::Advertencia);
        } else {
            QVERIFY(MensajePrueba::Textos().isEmpty());
        }
    }

    void ventanaCalculadoraConTeclado_data() {
        QTest::addColumn<QString>("teclas");
        QTest::addColumn<QString>("display");
        QTest::newRow("suma") << "7+5="
                              << "12";
        QTest::newRow("por con asterisco") << "1.5*2="
                                           << "3";
        QTest::newRow("por con x") << "6x7="
                                   << "42";
        QTest::newRow("coma decimal") << "1,5+1="
                                      << "2.5";
        QTest::newRow("negativo") << "-3*2="
                                  << "-6";
        QTest::newRow("porcentaje") << "50%"
                                    << "0.5";
        QTest::newRow("división") << "9/4="
                                  << "2.25";
        QTest::newRow("letras ignoradas") << "1a2"
                                          << "12.";
    }
    void ventanaCalculadoraConTeclado() {
        QFETCH(QString, teclas);
        QFETCH(QString, display);
        frmCalculadora f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTest::keyClicks(&f, teclas);
        QCOMPARE(f.Readout->text(), display);
    }

    void tecladoEspeciales() {
        frmCalculadora f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTest::keyClicks(&f, "12+3");
        QTest::keyClick(&f, Qt::Key_Delete); // CE
        QCOMPARE(f.Readout->text(), QString("0."));
        QTest::keyClicks(&f, "4");
        QTest::keyClick(&f, Qt::Key_Return); // =
        QCOMPARE(f.Readout->text(), QString("16"));
        QTest::keyClick(&f, Qt::Key_Escape); // C
        QCOMPARE(f.Readout->text(), QString("0."));
        QTest::keyClicks(&f, "2+2");
        QTest::keyClick(&f, Qt::Key_Enter);
        QCOMPARE(f.Readout->text(), QString("4"));
    }

    void ventanaCalculadoraControles() {
        frmCalculadora f;
        QCOMPARE(f.windowTitle(), QString("Calculadora"));
        QCOMPARE(f.Readout->text(), QString("0."));
        const QStringList digitos = {"7", "8", "9", "4", "5", "6", "1", "2", "3", "0"};
        for (const QString& d : digitos)
            QCOMPARE(f.findChild<QPushButton*>("Number" + d)->text(), d);
        const QStringList ops = {"+", "-", "X", "/", "="};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(f.Operator[i]->text(), ops[i]);
        QCOMPARE(f.Decimal->text(), QString("."));
        QCOMPARE(f.Percent->text(), QString("%"));
        QCOMPARE(f.CancelEntry->text(), QString("CE"));
        QCOMPARE(f.Cancel->text(), QString("C"));
        for (QPushButton* b : f.findChildren<QPushButton*>())
            QVERIFY(!b->accessibleName().isEmpty());
    }

    void registroAbreUnaSolaCalculadora() {
        Pantallas::Olvido();
        RegistroPantallasUtilidades();
        QVERIFY(Pantallas::Registrada("frmCalculadora"));
        QVERIFY(Pantallas::Registrada("frmAbout"));
        // Opened while the frame is hidden, the window is left to the frame's own sizing.
        {
            QMdiArea oculto;
            Pantallas::FijoMarco(&oculto);
            QWidget* c = Pantallas::Activo("frmCalculadora");
            QVERIFY(c);
            oculto.resize(900, 700);
            oculto.show();
            QVERIFY(c->width() >= 200 && c->height() >= 150);
        }
        QMdiArea marco;
        marco.resize(900, 700);
        marco.show();
        Pantallas::FijoMarco(&marco);
        QWidget* w = Pantallas::Activo("frmCalculadora");
        QVERIFY(qobject_cast<frmCalculadora*>(w));
        // The window opens at its designed size, 3360 x 3405 twips, inside its frame.
        QCOMPARE(w->size(), QSize(224, 227));
        QCOMPARE(Pantallas::Activo("frmCalculadora"), w);
        QCOMPARE(marco.subWindowList().size(), 1);
        QString caption;
        AlAbrirModal([&](QWidget* d) {
            caption = d->windowTitle();
            d->findChild<QPushButton*>("cmdOK")->click();
        });
        QCOMPARE(Pantallas::AbroModal("frmAbout"), int(QDialog::Accepted));
        QCOMPARE(caption, QString("About Partidex"));
        Pantallas::FijoMarco(nullptr);
        Pantallas::Olvido();
    }

    void acercaDe() {
        Entorno e(false);
        frmAbout f;
        QCOMPARE(f.windowTitle(), QString("About Partidex"));
        QVERIFY(f.isModal());
        QCOMPARE(f.findChild<QLabel*>("lblTitle")->text(), QString("Partidex"));
        QCOMPARE(f.findChild<QLabel*>("lblVersion")->text(), QString("Version ") + PARTIDEX_VERSION);
        QVERIFY(QString(PARTIDEX_VERSION).count('.') == 2);
        QVERIFY(!f.findChild<QLabel*>("lblDescription")->text().isEmpty());
        QCOMPARE(f.findChild<QLabel*>("lblDisclaimer")->text(), "Consultas: " + CorreoSoporte);
        QVERIFY(!f.findChild<QLabel*>("picIcon")->pixmap().isNull());
        QCOMPARE(f.cmdOK->text(), QString("OK"));
        QCOMPARE(f.cmdSysInfo->text(), QString("&System Info..."));
    }

    void informacionDelSistema() {
        Entorno e;
        frmAbout f;
        f.show();
        QString texto;
        AlAbrirModal([&](QWidget* d) {
            auto* t = d->findChild<QPlainTextEdit*>("txtInformacion");
            if (t) texto = t->toPlainText();
            d->findChild<QPushButton*>("cmdOK")->click();
        });
        QTest::mouseClick(f.cmdSysInfo, Qt::LeftButton);
        QVERIFY(texto.contains(QString("Partidex ") + PARTIDEX_VERSION));
        QVERIFY(texto.contains("Qt " + QString(qVersion())));
        // The engine names itself with its version.
        QVERIFY2(MotorActual().almacen.Version().contains(QRegularExpression(
                     MotorActual().PorArchivo() ? "^SQLite 3\\.\\d+" : "^PostgreSQL \\d+\\.\\d+")),
                 qPrintable(MotorActual().almacen.Version()));
        QVERIFY(texto.contains(MotorActual().almacen.Version()));
        QVERIFY(texto.contains(QSysInfo::kernelVersion()));
        QVERIFY(texto.contains(e.RutaBase()));
        const QRegularExpression tamano("Tamaño de la base: ([0-9.]+) bytes");
        const auto m = tamano.match(texto);
        QVERIFY2(m.hasMatch(), qPrintable(texto));
        // A server's database, even empty, takes megabytes on its disks.
        const qint64 bytes = m.captured(1).remove('.').toLongLong();
        if (MotorActual().PorArchivo())
            QCOMPARE(bytes, QFileInfo(e.RutaBase()).size());
        else
            QVERIFY2(bytes > 1000000, qPrintable(texto));
        QVERIFY(f.isVisible());
        QTest::mouseClick(f.cmdOK, Qt::LeftButton);
        QVERIFY(!f.isVisible());
    }

    // The help's contents list a page for each screen of this folder, and it opens.
    void paginasDeAyuda() {
        Entorno e(false);
        QStringList archivos;
        for (const PaginaAyuda& p : PaginasAyuda())
            archivos << p.archivo;
        for (const QString pagina : {"frmCalculadora.html", "frmAbout.html"}) {
            QVERIFY2(archivos.contains(pagina), qPrintable(pagina));
            Ayuda* visor = MuestroAyuda(pagina);
            QVERIFY(visor);
            QVERIFY(
                visor->Navegador()->toPlainText().contains(pagina == "frmAbout.html" ? "System Info" : "CE"));
            visor->close();
            QTRY_VERIFY(!VisorAyuda());
        }
        QVERIFY(IndiceAyuda().contains("frmCalculadora.html"));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    PreparoPruebasPantallas();
    PruebaUtilidades t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_utilidades.moc"
