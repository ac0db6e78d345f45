#pragma once
// Database maintenance at file level: structure check, compaction, backup and restore, and the
// automatic backup of start-up. It runs while this instance has not opened the shared connection, and
// it never replaces a database file that another connection holds open: the compaction goes through
// the engine's own compacted copy and online copy (core/MotorAlmacen.h), never a file copy over the database.
//
// This is logic only: whatever the user must see or answer goes through the Interlocutor, which the
// screens layer fills in (message boxes, the busy pointer, the notice window, the maintenance screen).
#include "core/Basedatos.h"
#include "core/Configuracion.h"
#include "core/Contexto.h"

#include <QDate>
#include <QString>
#include <functional>

class Progreso;

namespace Mantenimiento {

enum class Aviso { Ninguno, Informacion, Error, Pregunta };

struct Interlocutor {
    std::function<void(const QString& texto, Aviso icono)> informo; // a message with an OK button
    std::function<bool(const QString& texto)> pregunto;             // Yes/No question; true = Yes
    std::function<void(bool)> espero;                               // busy pointer on / off
    std::function<void(bool)> aviso;                                // notice window shown / closed
    std::function<void()> abroPantalla;                             // the maintenance screen, modal
    // Runs trabajo off the screens' thread behind the window of its progress (titulo), which may ask it
    // to stop; what trabajo returns. Without it the work runs where it is called, with nobody watching.
    std::function<bool(const QString& titulo, const std::function<bool(Progreso&)>& trabajo)> conProgreso;
};
// Without an interlocutor nothing is shown and questions are answered No.
void FijoInterlocutor(Interlocutor i);

// Settings of the maintenance, local file.
using ::SeccionMantenimiento;

// The files maintenance works on: the books, their backup and the scratch file of the compaction.
// The screens pass those of the settings (maintenance/ui/PantallasMantenimiento.h).
struct Rutas {
    QString base;
    QString respaldo;
    QString auxiliar;
};

// Counts of one database file, read at file level.
struct Estructura {
    bool abierta = false; // the file exists and is an SQLite database that could be read
    int indices = 0;      // every index of the schema, the automatic ones of keys included
    int relaciones = 0;   // foreign-key relations: distinct (table, relation) pairs
};
Estructura CuentoEstructura(const QString& ruta);

// 0 = indexes and relations as delivered and the books keep their rules; 1 = a count differs or a rule
// is broken (each is reported as a critical warning); 2 = the file cannot be opened (nothing is
// reported). Without coherencia the books' rules are not read (they are read before every backup,
// which must not copy broken books over the last sound backup; reading them takes time with the
// book's size).
int VerificoEstructura(const QString& ruta, bool coherencia = true, Progreso* progreso = nullptr);

// What is wrong with the books in the database at ruta (maintenance/Coherencia.h), in words; empty
// when they keep their rules.
QString FaltasDeCoherencia(const QString& ruta, Progreso* progreso = nullptr);

// Compacts the database into the scratch file (the engine's compacted copy), checks the compacted copy, and
// writes its content back into the database through the online backup. The scratch file stays on disk.
// Refused while the database is in use by another connection, and for a database that fails the
// examination (damaged, foreign, newer).
bool Compacto(const QString& base, const QString& aux);

// Examination (the engine's integrity check), structure check, compaction and backup of rutas.base
// into rutas.respaldo (through the scratch file rutas.auxiliar); on success the global
// UltimoBackUp(dd/mm/yyyy) becomes hoy. The new backup is written under a scratch name and checked
// before it takes the backup's name; the backup it replaces is kept as rutas.respaldo + ".1".
// estructura: the result of the structure check when the caller has just run it (its warnings are
// then not shown again), -1 to run it here, the books' rules included, as a stage of its own.
// progreso: where it reports its stages; stopped before the examination, the check of the books, the
// compaction or before the new backup takes its place, it returns false with nothing said and the last
// backup kept.
// examen: when given, it takes the diagnosis of the examination, and a book the examination refuses is
// not reported here (the caller says what is wrong with it).
// compactacion: whether the compacted copy is always written back over the book, or only when it is
// worth it (the scheduled backup: a book that would shrink by less than a tenth is left as it is, and
// the backup is made from the compacted copy all the same, so that a large book is not rewritten
// every day in front of the login).
enum class Compactacion { Siempre, SiGana };
bool HagoBackUp(const Rutas& rutas, const QDate& hoy = QDate::currentDate(), int estructura = -1,
                Progreso* progreso = nullptr, Diagnostico* examen = nullptr,
                Compactacion compactacion = Compactacion::Siempre);

// Whether two paths name the same file: the same file on disk when both exist (links resolved), the
// same absolute path otherwise.
bool MismoArchivo(const QString& a, const QString& b);

// On whose behalf the books are restored: a logged-in user (ctx, its user), or, before anybody has
// logged in, the name and password typed (nombre not empty), which must be those of an active user of
// the administrator profile of the books about to be replaced.
struct Solicitante {
    Contexto ctx;
    QString nombre;
    QString contrasena;
};

// Writes a copy of the books at rutas.base into archivo while they are open (by this program and by
// other workstations): the engine's consistent snapshot, written under a scratch name, checked, and
// only then given archivo's name (a failed copy leaves whatever archivo held). A copy written as
// rutas.respaldo is the scheduled backup: the previous one is kept as rutas.respaldo + ".1" and the
// global UltimoBackUp(dd/mm/yyyy) becomes hoy. Shows nothing, so that it may run off the screens'
// thread: false with the reason in *error (TextoCancelado when progreso asked it to stop: no file left
// behind, archivo as it was). Refused when quien's user may not copy the books.
bool CopioEnArchivo(const Contexto& quien, const Rutas& rutas, const QString& archivo, const QDate& hoy,
                    QString* error, Progreso* progreso = nullptr);

// Checks that quien may restore the books (the profile's grant of the restore; see Solicitante), asks,
// then restores rutas.base from rutas.respaldo through the online backup and records in the restored
// books' history who did it. alEmpezar runs once the user has agreed, before the work: a running program
// lets go of the books and shows its progress there; false from it stops the restore, nothing changed
// and nothing more said. progreso may stop it likewise until the replacement begins; from then on it is
// not taken.
bool RecuperoBackUp(const Rutas& rutas, const Solicitante& quien, const std::function<bool()>& alEmpezar = {},
                    Progreso* progreso = nullptr);

// Backup and scratch paths from the local settings (path rule), into the application state.
void LeoRutas();
// True when the automatic backup is due on hoy by the global schedule.
bool BackUpPendiente(const QDate& hoy);
// The start-up step, once the paths are read (LeoRutas): the automatic backup when due, the offer of
// the maintenance screen. estructura as for HagoBackUp. The backup shows its progress and may be
// stopped: then the last backup stays, its date is not moved (so it is due again at the next start),
// the user is told so and the start goes on. The backup's examination reads every page of the book:
// when it refuses the book, nothing is copied or said and its diagnosis is returned for the start to
// report; otherwise the diagnosis returned says Partidex.
Diagnostico MantenimientoInicial(const Rutas& rutas, const QDate& hoy = QDate::currentDate(), int estructura = -1);
// The checked backup taken before a database of an older version is upgraded (whatever the schedule),
// once the paths are read, with its progress. False when not made; *cancelado then tells whether the
// user stopped it (nothing said here: the caller says the book was not upgraded).
bool RespaldoPrevio(const Rutas& rutas, const QDate& hoy = QDate::currentDate(), bool* cancelado = nullptr);
// Asks "Ingresa a Módulo de Base de Datos" and on Yes opens the maintenance screen; true when opened.
bool OfrezcoPantalla();

} // namespace Mantenimiento
