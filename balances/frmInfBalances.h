#pragma once

#include "Balance.h"
#include "FormularioBalance.h"

namespace orvo {

// Balance de situación (origen BALANCESITUACION) o cuenta de pérdidas y ganancias
// (BALANCEPYG) de la empresa del anfitrión.
class frmInfBalances : public FormularioBalance {
    Q_OBJECT
  public:
    explicit frmInfBalances(Componente& componente, QWidget* padre = nullptr);
    // Las opciones que dan ahora los controles.
    OpcionesBalance opciones();

  protected:
    void cargarPropio() override;
    bool comprobarPropio() override;
    bool RellenarInforme() override;
    QString nombrePlantilla() const override { return plantillaBalance(false); }
    QString tituloInforme() const override { return tituloBalance(false); }
    // Una línea de cuenta lleva a su mayor (el de sus subcuentas) del mismo periodo y moneda.
    std::optional<Desglose> desglosar(const QHash<QString, QString>& fila) override;
};

}  // namespace orvo
