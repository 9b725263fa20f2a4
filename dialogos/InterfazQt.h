#pragma once

#include <vector>

#include "Interfaces.h"

namespace orvo {

// La interfaz de verdad: cuadros de mensaje de Qt, pitido del sistema y cursor de espera.
class InterfazQt : public IInterfaz {
  public:
    void Beep() override;
    void MsgBox(const QString& texto, Icono icono, const QString& titulo) override;
    void setMousePointer(int puntero) override;
    int MousePointer() const override { return puntero_; }
    int mostrarModal(QDialog& dialogo) override;
    QString archivoGuardar(QWidget* padre, const QString& titulo, const QString& filtro,
                           QString* tipo = nullptr) override;
    QString carpeta(QWidget* padre, const QString& titulo) override;

  private:
    int puntero_ = kPunteroPredeterminado;
};

struct MensajeGrabado {
    QString texto;
    Icono icono;
    QString titulo;
};

// Interfaz que no espera a nadie: anota mensajes, pitidos y puntero, y deja que un guion
// maneje cada diálogo modal (las pruebas y el ejecutor de órdenes).
class InterfazGrabadora : public IInterfaz {
  public:
    void Beep() override { ++pitidos; }
    void MsgBox(const QString& texto, Icono icono, const QString& titulo) override;
    void setMousePointer(int puntero) override { puntero_ = puntero; }
    int MousePointer() const override { return puntero_; }
    // Abre el diálogo de verdad (exec) y, ya en su bucle, llama al guion; si al volver del
    // guion el diálogo sigue abierto, lo cierra como si se pulsara Escape.
    int mostrarModal(QDialog& dialogo) override;
    QString archivoGuardar(QWidget* padre, const QString& titulo, const QString& filtro,
                           QString* tipo = nullptr) override;
    // Consume las mismas respuestas que archivoGuardar.
    QString carpeta(QWidget* padre, const QString& titulo) override;

    std::vector<MensajeGrabado> mensajes;
    int pitidos = 0;
    QStringList dialogosMostrados;  // nombres de objeto, en orden
    std::function<void(QDialog&)> guion;
    std::function<void(const MensajeGrabado&)> alMensaje;
    QStringList respuestasGuardar;  // se consumen en orden; sin respuesta = cancelar
    QString tipoGuardar;            // el tipo de archivo que se da por elegido al guardar

  private:
    int puntero_ = kPunteroPredeterminado;
};

}  // namespace orvo
