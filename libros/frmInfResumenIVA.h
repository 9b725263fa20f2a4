#pragma once

#include "FormularioInforme.h"
#include "ResumenIVA.h"

class QBoxLayout;
class QComboBox;

namespace orvo {

// Resumen trimestral de IVA: un trimestre del ejercicio (o las fechas que se den), euros o
// pesetas.
class frmInfResumenIVA : public FormularioInforme {
    Q_OBJECT
  public:
    explicit frmInfResumenIVA(Componente& componente, QWidget* padre = nullptr);

    OpcionesResumenIVA opciones() const;

  protected:
    void empresaElegidaPropio(long codigo) override;
    bool comprobarPropio() override;
    bool RellenarInforme() override;
    QString nombrePlantilla() const override;
    QString tituloInforme() const override;

  private:
    // Un trimestre pone sus fechas (dentro del ejercicio) y fija los selectores; "Otras
    // fechas" los deja libres.
    void cboTrimestreClick();
    QBoxLayout* filaTrimestre();  // "TRIMESTRE:" y su lista

    QComboBox* cboTrimestre_;
};

}  // namespace orvo
