#pragma once
#include "core/Configuracion.h"
// What the report screens share without widgets: the period of a report, the level maxima each
// report keeps per chart, the hierarchical code computed inside SQL so that accounts sort in tree
// order, its display, and the roll-up writer of the balances that turns the ordered accounts into
// heading, detail and total rows.
#include "accounts/CodigosJerarquicos.h"
#include "core/Contexto.h"
#include "core/Importe.h"

#include <QDate>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <optional>

// Period of a report: the two typed dates (dd/mm/yyyy), both inside the current fiscal year. False
// with a Spanish explanation in *mensaje when a date is not a date or falls outside the year; the
// order of the two dates is not checked (a reversed range selects nothing).
bool VerificoPeriodo(const Contexto& ctx, const QString& desde, const QString& hasta, QDate* d1, QDate* d2,
                     QString* mensaje);
// First and last day of the context's fiscal year; invalid dates when there is no such year.
bool FechasEjercicio(const Contexto& ctx, QDate* comienzo, QDate* fin);

// Level maxima of one report screen. They outlive the screen's window and are reloaded only when
// the screen's mark in SesionesPlanes is missing (the chart changed, or another session purged it)
// or the company or year is not the one they were loaded for.
class MaximosReporte {
public:
    explicit MaximosReporte(int pantalla) : pantalla(pantalla) {}
    // Makes sure the maxima describe the context's chart; true when they were (re)loaded. On the
    // shared connection the screen's registration tells whether the chart changed since; on another
    // connection the maxima are read again.
    bool Verifico(const Contexto& ctx);
    const MaximosNivel& maximos() const { return niveles; }
    // Number of levels of the chart (0 for a chart with only the root row).
    int Profundidad() const { return niveles.size() - 1; }
    // Digits of the widest maximum of any level: the width of every segment of the SQL code.
    int AnchoMascara() const;
    // Forgets what was loaded (tests).
    void Olvido();

private:
    int pantalla;
    MaximosNivel niveles{0};
    int empresa = -1;
    int ejercicio = -1;
    QString conexion;
};

// The hierarchical code inside SQL: for the account aliased Cuentas0, its ordinals from the top-level
// ancestor down, each padded with zeros to `ancho` and followed by "." (root: empty text). `Juntas`
// are the ancestor joins that must follow "Cuentas AS Cuentas0" in the FROM clause.
struct CodigoSql {
    QString expresion;
    QString juntas;
};
// The padding is written for the context's engine.
CodigoSql ArmoCodigoSql(const Contexto& ctx, int profundidad, int ancho);

// Level of a code text: its number of "." ("03.05.09." is 3; the empty text is 0).
int Nivel(const QString& codigo);
// The code as users see it: segment k with the width of level k ("003.005.009." with maxima 7, 12,
// 104 shows "3.05.009"); a text without "." gives the empty text.
QString FormatoJerarquia(const QString& codigo, const MaximosNivel& maximos);

// Font of a whole report row.
enum class FuenteFila { Normal, Negrita, NegritaCursiva, Cursiva };
// Font of heading and total rows by level: 1 bold, 2 bold italic, deeper italic.
FuenteFila FuenteNivel(int nivel);

// One account as the balance queries give it: Descripcion, code text, CodInt, the sum of its debit
// lines and of its credit lines (negative) in the period or nothing, and whether it has children.
struct RegistroReporte {
    QString descripcion;
    QString codigo;
    QVariant codInt;
    std::optional<Importe> sumaDebe;
    std::optional<Importe> sumaHaber;
    bool tieneHijos = false;
};

// One written row of a balance: columns "Cód. Jerárquico", "Desc. Sumar.", "Descripción Imputable",
// "Cod Int." and, when conSumas, "Sumas Debe" and "Sumas Haber" (the credit shown positive).
struct FilaBalance {
    QString codigo;
    QString sumar;
    QString imputable;
    QString codInt;
    bool conSumas = false;
    Importe debe;
    Importe haber;
    int nivel = 0;
    bool encabezado = false;
    bool total = false;
    FuenteFila fuente = FuenteFila::Normal;
};

// "Saldo Debe" and "Saldo Haber" from the two sums: the debit balance when debits are not below
// credits, the credit balance when they are; the other side is empty.
std::optional<Importe> SaldoDebe(Importe debe, Importe haber);
std::optional<Importe> SaldoHaber(Importe debe, Importe haber);

// The roll-up writer of the balances. Accounts arrive ordered by code text (a parent right before its
// descendants); a summary account followed by its descendants is written as a heading, then its
// descendants, then a total row with the sums of every postable descendant; a summary account whose
// children were all filtered out is a heading alone; a postable account is a detail row with its
// sums. The root (empty code) is skipped. Level-1 totals go into level 0, which is never written.
class Sumarizador {
public:
    explicit Sumarizador(const MaximosNivel& maximos, std::function<void(const FilaBalance&)> receptor);
    // Copies the current row of a balance query (Descripcion, code, CodInt, SumaDebe, SumaHaber in
    // whole cents, PrimeroDeCuenta) into a record that no longer depends on the row set.
    static RegistroReporte CopioRegistro(const QSqlQuery& fila);
    void Agrego(const RegistroReporte& registro);
    // Writes the last account and closes every open level.
    void Termino();

private:
    const MaximosNivel& maximos;
    std::function<void(const FilaBalance&)> receptor;
    std::optional<RegistroReporte> pendiente; // R: the account read but not yet written
    int abierto = 0;                          // L: the level of the summary account open last
    QVector<Importe> totalDebe;
    QVector<Importe> totalHaber;
    QVector<RegistroReporte> abiertos;
    std::optional<FilaBalance> fila; // the row being written, handed on when the next one starts

    void Escribo(const RegistroReporte& r, const RegistroReporte* siguiente);
    void AbroNivel(int nivel);
    void ImprimoNombre(const RegistroReporte& r, int nivel, bool encabezado, bool total);
    void ImprimoSumas(Importe debe, Importe haber);
    void Entrego();
};

// Header text of a printed report in the grid's codes: bold italic 12 points, the title and the two
// dates (and an addition such as " para: " and the company), then "Página: " and the page number
// on the right.
QString EncabezadoReporte(const QString& titulo, const QString& desde, const QString& hasta,
                          const QString& agregado = QString());
// The lines a printed report carries above its title: the company's name, then "CUIT " and its tax
// number and the company's address when it has them (empty list when the context names no company).
QStringList MembreteEmpresa(const Contexto& ctx);
// The same title as plain text, for a report's table ("Mayores entre 01/01/2024 y 31/12/2024").
QString TituloReporte(const QString& titulo, const QDate& desde, const QDate& hasta,
                      const QString& agregado = QString());

// The condition that leaves out the closing entries (of the results and of the balance sheet) of the
// entries aliased `asientos`: what the financial statements read, since the year is shown before it
// is closed.
QString FueraDeCierres(const QString& asientos);

// Digits of the widest level maximum: the width of every segment of the code computed in SQL.
int AnchoMascara(const MaximosNivel& maximos);
