#pragma once
// Shared fixture for logic tests (Qt Core, Sql and Test only, no widgets): a temporary program folder
// with its own settings files and a fresh database, opened on the shared connection, with a
// logged-in user and, on request, a company, a year and a small chart of accounts.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>
#include <functional>

class Entorno {
public:
    // Creates the folder and the database and opens it; logs in the initial user (Usuario 1).
    explicit Entorno(bool abrirBase = true);
    ~Entorno();

    QString Carpeta() const { return carpeta.path(); }
    QString Ruta(const QString& nombre) const;
    QString RutaBase() const;

    // Company 1 "Empresa de Prueba", year 1 from 01/01/2024 to 31/12/2024 with its root account,
    // made current. Returns the year number.
    int CreoEmpresaYEjercicio(int empresa = 1, int ejercicio = 1, QDate desde = QDate(2024, 1, 1),
                              QDate hasta = QDate(2024, 12, 31));
    // A small chart under the root of (company, year):
    //   1 ACTIVO (1) > 1.1 CAJA (2, postable, debit), 1.2 BANCOS (3, postable, debit)
    //   2 PASIVO (4) > 2.1 PROVEEDORES (5, postable, credit)
    //   3 RESULTADOS (6, result) > 3.1 VENTAS (7, postable, credit), 3.2 GASTOS (8, postable, debit)
    void CreoPlanChico(int empresa = 1, int ejercicio = 1);
    // A book with some weight for query plans: company 1 with four years (2021 to 2024), each with the
    // small chart, 400 entries of three lines each, and current planner statistics. `fecha` is the
    // SQL expression of an entry's date over its number i and its year y. False when a statement fails.
    bool CreoLibroConPeso(const QString& fecha);

    // What every fixture does besides the database, set by the screens fixture (message answers).
    static inline std::function<void()> alPreparar;
    static inline std::function<void()> alTerminar;

private:
    QTemporaryDir carpeta;
    QString basePostgres; // the server database made for this test, dropped at its end
};

// True when the suite runs on the PostgreSQL cluster named by PARTIDEX_PRUEBA_PG: each fixture then
// makes its books in a database of their own there instead of a file.
bool PruebaEnPostgres();
// A new empty database on that cluster (its address), and its removal.
QString NuevaBasePostgres();
void BorroBasePostgres(const QString& direccion);
// Ends the server's side of the shared connection, as a restarted server does.
bool CortoConexion();
// For a test about the file engine's files themselves (headers, logs beside the file, file copies).
#define SOLO_ARCHIVO(motivo)                                                                                 \
    do {                                                                                                     \
        if (PruebaEnPostgres()) QSKIP(motivo);                                                               \
    } while (false)

// A trigger that refuses, with the text "falla provocada", each row inserted into tabla for which
// condicion (over NEW) holds, in the engine's own words.
QString DisparadorQueFalla(const QString& nombre, const QString& tabla, const QString& condicion);

// The date dias days after fecha (both SQL expressions), in the engine's own words.
QString FechaMasDias(const QString& fecha, const QString& dias);

// How a plan of CatalogoMotor::PlanConsulta reads, in the words of the engine that made it: whether it reads
// tabla (a table or the alias the statement gives it) whole, and whether it reads through indice.
bool PlanLeeEntera(const QStringList& pasos, const QString& tabla);
bool PlanUsaIndice(const QStringList& pasos, const QString& indice);

// An account of company 1, year 1 (description "C<n>" when none is given); false when not stored.
bool AgregoCuenta(int cuenta, int padre, int numHijo, const QString& descripcion = QString(),
                  const QString& codInt = QString());
// A new entry of (company, year) with one line of 10 on the account; false when not stored.
bool AgregoLinea(int cuenta, int empresa = 1, int ejercicio = 1);

// Rows of a table that meet a condition, read back from the database.
int Cuento(const QString& tabla, const QString& condicion = QStringLiteral("1=1"),
           const QVariantList& parametros = {});
// SHA-256 of a file's bytes (empty when it cannot be read): a file left untouched keeps it.
QByteArray Huella(const QString& ruta);
// Writes bytes as a whole file; false when it cannot be written.
bool EscriboArchivo(const QString& ruta, const QByteArray& bytes);

// Runs several QtTest classes in one executable (a Qt application object must exist); 0 when all pass.
#include <QTest>
template <class... Pruebas> int EjecutoPruebas(int argc, char* argv[]) {
    int fallas = 0;
    auto una = [&](auto&& prueba) { fallas += QTest::qExec(&prueba, argc, argv); };
    (una(Pruebas()), ...);
    return fallas == 0 ? 0 : 1;
}
