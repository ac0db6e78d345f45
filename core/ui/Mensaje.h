#pragma once
// Every message box of the program goes through Mensaje(), and every file picker through
// ElijoArchivo(), so that tests can answer them without blocking and read what was shown.
#include <QString>
#include <QStringList>
#include <functional>

enum class Icono { Ninguno, Informacion, Advertencia, Error, Pregunta };
enum class Botones { Ok, OkCancelar, SiNo, SiNoCancelar };
enum class Respuesta { Ok, Cancelar, Si, No };

Respuesta Mensaje(const QString& texto, Icono icono = Icono::Ninguno, Botones botones = Botones::Ok,
                  const QString& titulo = QStringLiteral("Partidex"));

enum class ModoArchivo { Abrir, Guardar };
// Returns the chosen path, or an empty text when cancelled.
QString ElijoArchivo(ModoArchivo modo, const QString& titulo, const QString& carpeta, const QString& filtro);

// Test hooks. While answers are queued, no dialog is shown: each call takes the next answer and
// records the text. With the queue empty and Automatico on, message boxes answer their default
// (Ok / Si) and are recorded too, so that an unexpected message never blocks a test.
namespace MensajePrueba {
struct Mostrado {
    QString texto;
    Icono icono;
    Botones botones;
    QString titulo;
};
void setNextAnswer(Respuesta r);
void setNextFileName(const QString& ruta);
void Automatico(bool activo);
const QList<Mostrado>& Mostrados();
QStringList Textos();
void Limpio();
} // namespace MensajePrueba
