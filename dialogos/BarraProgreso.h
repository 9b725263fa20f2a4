#pragma once

#include <QWidget>

#include "Progreso.h"

class QLabel;
class QProgressBar;

namespace orvo {

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
