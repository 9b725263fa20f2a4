#pragma once

#include <QDialog>
#include <QStringList>

class QPushButton;
class QTableWidget;

namespace orvo {

// Resultado de Archivo > Comprobar libros…: cada problema en una fila, con el asiento, la cuenta
// o el epígrafe al que toca, el resumen debajo y el botón que repara lo reparable.
class DialogoComprobacion : public QDialog {
    Q_OBJECT
  public:
    DialogoComprobacion(const QStringList& problemas, const QString& resumen,
                        QWidget* padre = nullptr);
    // Se cerró con «Reparar libros…».
    bool repararPedido() const { return repararPedido_; }
    QTableWidget* lista() const { return lista_; }
    QPushButton* botonReparar() const { return botonReparar_; }

    // "Asiento 12", "Cuenta 5720001", "Epígrafe A.II": dónde está el problema, leído de su texto.
    static QString lugar(const QString& problema);

  private:
    QTableWidget* lista_;
    QPushButton* botonReparar_;
    bool repararPedido_ = false;
};

}  // namespace orvo
