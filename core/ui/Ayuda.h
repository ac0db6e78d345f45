#pragma once
// The program's help: Spanish HTML pages embedded in the program (resources/help), shown in one
// viewer window. The contents page lists every page found, so a screen's page appears there as soon
// as it is added to the folder.
#include <QDialog>
#include <QList>
#include <QString>

class QTextBrowser;

// Registers the embedded resources (images, help pages) of the core library.
void IniciaRecursos();

struct PaginaAyuda {
    QString archivo; // file name inside the help folder ("acceso.html")
    QString titulo;  // its <title>
    int orden = 100; // <meta name="orden" content="n">: lower first, then by title
};
// Every help page except the contents page, in the order the contents page lists them.
QList<PaginaAyuda> PaginasAyuda();
// The page of the screen that holds `w` ("frmAsientos.html"), or empty (the contents) when none has one.
QString PaginaDe(QWidget* w);
// The contents page with the list of pages filled in.
QString IndiceAyuda();

class Ayuda : public QDialog {
    Q_OBJECT
public:
    explicit Ayuda(QWidget* padre = nullptr);
    void MuestroPagina(const QString& archivo);
    QTextBrowser* Navegador() const { return txtAyuda; }

private:
    QTextBrowser* txtAyuda;
};

// Opens the help viewer at a page ("index.html", the contents, when empty) and brings it to the front.
// While a modal screen is open the viewer belongs to it, so that it can be used.
Ayuda* MuestroAyuda(const QString& archivo = QString());
// F1 opens the help in every window of the program, the login window and modal screens included
// (the main window's own shortcut takes the key first where it can); Shift+F1 and the context-help
// button of a title bar open the page of the screen being worked in.
void InstaloTeclaAyuda();
// The open viewer, or nullptr.
Ayuda* VisorAyuda();
