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
// Returns the chosen path, or an empty text when cancelled; the filter the user left chosen (one of
// those of `filtro`, ";;" between them) in *elegido.
QString ElijoArchivo(ModoArchivo modo, const QString& titulo, const QString& carpeta, const QString& filtro,
                     QString* elegido = nullptr);

// Test hooks. While answers are queued, no dialog is shown: each call takes the next answer and
// records the text. With Automatico on no dialog is ever shown: a message box that finds the queue
// empty is recorded, handed to the SinRespuesta hook (the test fixture fails the test there) and
// answered with the safe answer (No, Cancelar, or Ok when that is the only button), never with "Sí";
// a file picker with no name queued returns the empty text, as when cancelled.
namespace MensajePrueba {
struct Mostrado {
    QString texto;
    Icono icono;
    Botones botones;
    QString titulo;
};
void setNextAnswer(Respuesta r);
// The next file picker returns ruta, with `filtro` as the filter chosen.
void setNextFileName(const QString& ruta, const QString& filtro = QString());
void Automatico(bool activo);
void SinRespuesta(std::function<void(const Mostrado&)> aviso);
const QList<Mostrado>& Mostrados();
QStringList Textos();
void Limpio();
} // namespace MensajePrueba
