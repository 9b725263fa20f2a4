#pragma once

#include "FormularioInforme.h"
#include "Listados.h"

class QCheckBox;
class QGroupBox;

namespace orvo {

// Diálogo del listado de epígrafes: la empresa y los documentos que se listan.
class frmInfEpigrafes : public FormularioInforme {
    Q_OBJECT
  public:
    explicit frmInfEpigrafes(Componente& componente, QWidget* padre = nullptr);

    OpcionesEpigrafes opciones();

  protected:
    bool comprobarPropio() override;
    bool RellenarInforme() override;
    QString nombrePlantilla() const override { return QStringLiteral("infCONT_Epigrafes.rpt"); }
    QString tituloInforme() const override { return QStringLiteral("Informe de epígrafes"); }

  private:
    QGroupBox* documentos();  // marco "DOCUMENTOS: " con sus dos casillas

    QCheckBox* chkDocumento_[2];
};

}  // namespace orvo
