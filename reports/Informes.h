#pragma once
// Every report is declared once: its name on the command line, its title, its place in the menus,
// the options it reads and how its table is made. The screen registry and the menus, the
// command-line program and its help all read these declarations, so a new report is one more of them
// (and its screen, when it has one).
#include "core/Contexto.h"
#include "reports/TablaReporte.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QVector>
#include <functional>

// An option of the command line that a report reads.
struct OpcionInforme {
    QString nombre; // "--saldos"
    QString valor;  // what follows it in the help ("FILTRO")
    QString ayuda;  // its help; "\n" starts a continuation line
};

// What a report is asked for: the company and year (or the company alone), the period, and the
// options as typed.
struct PedidoInforme {
    Contexto ctx;
    QDate desde;
    QDate hasta;
    QMap<QString, QString> opciones;
};

enum class ArmadoInforme { Bien, ArgumentoMalo, Falla };

struct DescriptorInforme {
    QString clave;  // its name on the command line ("balance")
    QString titulo; // its title: the screen's caption
    QString ayuda;  // its line in the command line's help; "\n" starts a continuation line
    // Its period lies inside the fiscal year; otherwise it is when the changes were made, the company
    // alone matters, and the period defaults to everything until today.
    bool delEjercicio = true;
    QVector<OpcionInforme> opciones;

    // Its screen, when it has one: name, place in the menus, the section of its saved layout, the
    // print job, the printed title before the dates, the refresh button's tip and the caption of the
    // defaults button.
    QString forma;
    QString menu;
    int orden = 0;
    QString comando;
    QString caption;
    QString seccion;
    QString trabajo;
    QString encabezado;
    QString ayudaActualizar;
    QString textoDefecto = QStringLiteral("Selecciono por defecto");

    // Makes the table from what the command line asks. ArgumentoMalo when an option is wrong (the
    // reason in *error), Falla when the database failed.
    std::function<ArmadoInforme(const PedidoInforme&, TablaReporte*, QString*)> armo;
};

// The reports, in the order the help lists them.
const QVector<DescriptorInforme>& Informes();
// By command-line name or by screen name; nullptr when none is such.
const DescriptorInforme* Informe(const QString& clave);
const DescriptorInforme* InformeDeForma(const QString& forma);
