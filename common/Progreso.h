#pragma once

#include <QString>

namespace orvo {

// Lo que una construcción necesita de la barra de progreso; las pruebas usan ProgresoNulo.
class IProgreso {
  public:
    virtual ~IProgreso() = default;
    // Pone el máximo y el rótulo y se hace visible.
    virtual void Iniciar(qint64 maximo, const QString& rotulo, int estilo) = 0;
    virtual void setValor(qint64 valor) = 0;
    // Lleva el valor al máximo y se oculta.
    virtual void Terminar() = 0;
};

class ProgresoNulo : public IProgreso {
  public:
    void Iniciar(qint64, const QString&, int) override {}
    void setValor(qint64) override {}
    void Terminar() override {}
};

}  // namespace orvo
