#pragma once

#include <QWidget>

class QTextBrowser;

namespace orvo {

// Ayuda > Manual: el manual del usuario (HTML con sus imágenes) en una ventana del programa,
// con índice, atrás y adelante; no depende de que el sistema tenga un navegador.
class VentanaManual : public QWidget {
    Q_OBJECT
  public:
    // 'indice' es la página de entrada del manual (manual/index.html).
    explicit VentanaManual(const QString& indice, QWidget* padre = nullptr);
    QTextBrowser* visor() const { return visor_; }

  private:
    QTextBrowser* visor_;
};

}  // namespace orvo
