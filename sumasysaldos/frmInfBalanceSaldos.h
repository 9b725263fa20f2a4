#pragma once

#include "FormularioNiveles.h"
#include "SumasYSaldos.h"

class QCheckBox;
class QGroupBox;

namespace orvo {

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
    // Una cuenta lleva a su mayor (el de sus subcuentas) del mismo periodo y moneda.
    std::optional<Desglose> desglosar(const QHash<QString, QString>& fila) override;

  private:
    bool conPresupuesto() const;
    QGroupBox* marcoOpciones();

    QCheckBox* chkSaldoCero_;    // chkBalance1
    QCheckBox* chkPresupuesto_;  // chkBalance2
};

}  // namespace orvo
