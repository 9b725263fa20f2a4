#pragma once

#include <array>

#include "FormularioNiveles.h"
#include "SelectorFecha.h"
#include "SumasYSaldos.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace orvo {

class SelectorFecha;

// Diálogo del balance de sumas y saldos, con o sin presupuesto.
class frmInfBalanceSaldos : public FormularioNiveles {
    Q_OBJECT
  public:
    explicit frmInfBalanceSaldos(Componente& componente, QWidget* padre = nullptr);

    // Lo que los controles piden, tal como lo recibe la construcción.
    OpcionesSumasYSaldos opciones() const;

  protected:
    bool comprobarPropio() override;
    bool RellenarInforme() override;
    QString nombrePlantilla() const override;
    QString tituloInforme() const override;

  private:
    bool conPresupuesto() const;

    QComboBox* empresa_;
    std::array<QLineEdit*, 2> subcuentas_{};
    std::array<SelectorFecha*, 2> fechas_{};
    std::array<QCheckBox*, 3> opciones_{};
};

}  // namespace orvo
