#include "core/ui/Mensaje.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QQueue>

namespace {
QQueue<Respuesta> respuestas;
QQueue<QString> archivos;
QQueue<QString> filtrosElegidos; // the filter chosen with each queued name (empty: none)
QList<MensajePrueba::Mostrado> mostrados;
bool automatico = false;
std::function<void(const MensajePrueba::Mostrado&)> sinRespuesta;

// The answer that changes nothing: closing the box.
Respuesta Segura(Botones botones) {
    switch (botones) {
    case Botones::Ok:
        return Respuesta::Ok;
    case Botones::SiNo:
        return Respuesta::No;
    case Botones::OkCancelar:
    case Botones::SiNoCancelar:
        break;
    }
    return Respuesta::Cancelar;
}
} // namespace

namespace MensajePrueba {
void setNextAnswer(Respuesta r) {
    respuestas.enqueue(r);
}
void setNextFileName(const QString& ruta, const QString& filtro) {
    archivos.enqueue(ruta);
    filtrosElegidos.enqueue(filtro);
}
void Automatico(bool activo) {
    automatico = activo;
}
void SinRespuesta(std::function<void(const Mostrado&)> aviso) {
    sinRespuesta = std::move(aviso);
}
const QList<Mostrado>& Mostrados() {
    return mostrados;
}
QStringList Textos() {
    QStringList t;
    for (const auto& m : mostrados)
        t << m.texto;
    return t;
}
void Limpio() {
    respuestas.clear();
    archivos.clear();
    filtrosElegidos.clear();
    mostrados.clear();
}
} // namespace MensajePrueba

Respuesta Mensaje(const QString& texto, Icono icono, Botones botones, const QString& titulo) {
    if (!respuestas.isEmpty() || automatico) {
        mostrados.append({texto, icono, botones, titulo});
        if (!respuestas.isEmpty()) return respuestas.dequeue();
        if (sinRespuesta) sinRespuesta(mostrados.last());
        return Segura(botones);
    }
    QMessageBox caja(QApplication::activeWindow());
    caja.setWindowTitle(titulo);
    caja.setText(texto);
    switch (icono) {
    case Icono::Informacion:
        caja.setIcon(QMessageBox::Information);
        break;
    case Icono::Advertencia:
        caja.setIcon(QMessageBox::Warning);
        break;
    case Icono::Error:
        caja.setIcon(QMessageBox::Critical);
        break;
    case Icono::Pregunta:
        caja.setIcon(QMessageBox::Question);
        break;
    case Icono::Ninguno:
        break;
    }
    switch (botones) {
    case Botones::Ok:
        caja.setStandardButtons(QMessageBox::Ok);
        break;
    case Botones::OkCancelar:
        caja.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Botones::SiNo:
        caja.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Botones::SiNoCancelar:
        caja.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    caja.setAccessibleName(titulo);
    caja.setAccessibleDescription(texto);
    switch (caja.exec()) {
    case QMessageBox::Yes:
        return Respuesta::Si;
    case QMessageBox::No:
        return Respuesta::No;
    case QMessageBox::Cancel:
        return Respuesta::Cancelar;
    case QMessageBox::Ok:
        return Respuesta::Ok;
    default:
        // Closing the box with Escape or its close button counts as the safe answer.
        return Segura(botones);
    }
}

QString ElijoArchivo(ModoArchivo modo, const QString& titulo, const QString& carpeta, const QString& filtro,
                     QString* elegido) {
    if (!archivos.isEmpty()) {
        const QString f = filtrosElegidos.isEmpty() ? QString() : filtrosElegidos.dequeue();
        if (elegido) *elegido = f;
        return archivos.dequeue();
    }
    if (automatico) return QString();
    return modo == ModoArchivo::Abrir
               ? QFileDialog::getOpenFileName(QApplication::activeWindow(), titulo, carpeta, filtro, elegido)
               : QFileDialog::getSaveFileName(QApplication::activeWindow(), titulo, carpeta, filtro, elegido);
}
