#pragma once

#include "FormularioInforme.h"
#include "Listados.h"

class QCheckBox;
class QGroupBox;

namespace orvo {

// Diálogo del listado de subcuentas: la empresa, el intervalo de códigos y si se muestran
// también las cuentas.
class frmInfSubcuentas : public FormularioInforme {
    Q_OBJECT
  public:
    explicit frmInfSubcuentas(Componente& componente, QWidget* padre = nullptr);

    // Las opciones que recogen ahora los controles.
    OpcionesSubcuentas opciones();

  protected:
    bool RellenarInforme() override;
    QString nombrePlantilla() const override { return QStringLiteral("infCONT_Subcuentas.rpt"); }
    QString tituloInforme() const override { return QStringLiteral("Informe de subcuentas"); }

  private:
    QGroupBox* intervalo();

    QCheckBox* chkSubcuentas_;
};

}  // namespace orvo
