#pragma once

#include <array>

#include "BalanceComparativo.h"
#include "FormularioBalance.h"

class QComboBox;

namespace orvo {

// Balance de situación o cuenta de pérdidas y ganancias de dos empresas frente a frente:
// A, la del anfitrión, y B, de entrada la del ejercicio anterior (CodEmpresaAnterior).
class frmInfBalancesComp : public FormularioBalance {
    Q_OBJECT
  public:
    explicit frmInfBalancesComp(Componente& componente, QWidget* padre = nullptr);
    OpcionesComparativo opciones() const;

  protected:
    void cargarPropio() override;
    bool comprobarPropio() override;
    bool RellenarInforme() override;
    QString nombrePlantilla() const override { return plantillaBalance(true); }
    QString tituloInforme() const override { return tituloBalance(true); }

  private:
    long empresaDe(int lista) const;
    void empresaAElegida();

    std::array<QComboBox*, 2> empresas_{};
};

}  // namespace orvo
