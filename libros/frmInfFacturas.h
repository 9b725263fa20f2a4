#pragma once

#include "FormularioInforme.h"
#include "LibrosIVA.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace orvo {

// Diálogo de los dos libros de IVA; el origen (cCOrigen) dice cuál.
class frmInfFacturas : public FormularioInforme {
    Q_OBJECT
  public:
    explicit frmInfFacturas(Componente& componente, QWidget* padre = nullptr);

    OpcionesLibrosIVA opciones() const;

  protected:
    void cargarPropio() override;
    bool RellenarInforme() override;
    QString nombrePlantilla() const override;
    QString tituloInforme() const override;
    // Los libros registro para la Agencia Tributaria: el de este libro en CSV o los dos en XLSX.
    void prepararImpresion(frmImprimir& imprimir) override;
    // Una factura lleva a su asiento en el diario.
    std::optional<Desglose> desglosar(const QHash<QString, QString>& fila) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    bool emitidas() const;
    // "Automática" habilita la caja del primer número; "Existente" la deshabilita.
    void optFacturasClick();
    QGroupBox* numeracion();  // marco "NUMERACIÓN"

    QRadioButton* optFacturas_[2];
    QLineEdit* txtFacturas_;
    QLabel* lblFacturas_;
};

}  // namespace orvo
