#pragma once

#include "FormularioInforme.h"
#include "LibroDiario.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;

namespace orvo {

// Diálogo del libro Diario: meses, subcuentas, números de asiento y el orden de los apuntes.
class frmInfLibroDiario : public FormularioInforme {
    Q_OBJECT
  public:
    explicit frmInfLibroDiario(Componente& componente, QWidget* padre = nullptr);

    OpcionesLibroDiario opciones() const;

  protected:
    void empresaElegidaPropio(long codigo) override;
    bool comprobarPropio() override;
    bool RellenarInforme() override;
    QString nombrePlantilla() const override;
    QString tituloInforme() const override { return QStringLiteral("Informe de libro Diario"); }

  private:
    // Pone en las cajas de asientos de 0 al mayor número de la empresa.
    void ObtenerNumeroMaximo(Conexion& contabilidad, long empresa);
    QGroupBox* asientos();  // marco "ASIENTOS" con las cajas 2 y 3

    QLineEdit* asientos_[2];  // cajas 2 y 3
    QCheckBox* chkApuntesOrdenados_;
    QCheckBox* chkTipoDiario_;
};

}  // namespace orvo
