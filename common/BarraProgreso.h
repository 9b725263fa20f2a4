#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

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

// Barra de progreso de los diálogos (abpProgreso): oculta salvo mientras se escriben filas.
class BarraProgreso : public QWidget, public IProgreso {
    Q_OBJECT
  public:
    explicit BarraProgreso(QWidget* padre = nullptr);
    void Iniciar(qint64 maximo, const QString& rotulo, int estilo) override;
    void setValor(qint64 valor) override;
    void Terminar() override;
    qint64 maximo() const { return maximo_; }
    qint64 valor() const { return valor_; }

  private:
    void mostrarValor();
    QLabel* rotulo_;
    QProgressBar* barra_;
    qint64 maximo_ = 0;
    qint64 valor_ = 0;
    int ultimoPorMil_ = -1;
};

}  // namespace orvo
